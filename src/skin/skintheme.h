#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

#include <memory>
#include <optional>

struct SkinPackage;

// States of the button image strip, top to bottom.
enum class ButtonImage { Normal, Hot, Pressed, Default, Disabled };

// States of a caption button's strip, left to right.
enum class CaptionButtonState { Normal, Hot, Pressed };

enum class CaptionButtonKind { Minimize, Maximize, Restore, Close };

// A loaded skin: what the frame, the caption bar, the buttons and the menus are drawn from.
// Built only from a package that holds every entry, so drawing code never meets a gap.
class SkinTheme final
{
public:
    static std::optional<SkinTheme> fromPackage(const SkinPackage &package);
    // Names the package must hold, for the package tool's check.
    static QStringList requiredImages();
    static QStringList requiredColors();
    static QStringList requiredMetrics();

    int borderWidth = 0;
    int captionHeight = 0;
    int captionButtonWidth = 0;
    int captionSlice = 0;
    int buttonSlice = 0;
    int menuSlice = 0;

    QColor window;
    QColor captionText;
    QColor captionTextInactive;
    QColor frameActive;
    QColor frameInactive;
    QColor buttonText;
    QColor buttonTextDisabled;
    QColor menuText;
    QColor menuTextSelected;
    QColor menuTextDisabled;
    QColor menuSeparator;
    QColor controlBorder;
    QColor controlAccent;
    QColor controlBase;

    QPixmap captionActive;
    QPixmap captionInactive;
    QPixmap menuPanel;
    QPixmap menuSelected;

    QPixmap button(ButtonImage state) const;
    QPixmap captionButton(CaptionButtonKind kind, CaptionButtonState state) const;

private:
    QImage m_buttons;
    QImage m_captionButtons[4];
};

using SkinThemePtr = std::shared_ptr<const SkinTheme>;

// Draws source scaled into target keeping a border of `slice` pixels unscaled on every side.
class QPainter;
void drawNineSlice(QPainter &painter, const QRect &target, const QPixmap &source, int slice);
