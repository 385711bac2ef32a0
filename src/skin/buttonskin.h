#pragma once

#include <QObject>
#include <QRect>

#include "skintheme.h"

class QAbstractButton;

// Which of the skin's button images a button in this state shows. A disabled button shows
// the disabled image whatever else holds; then pressed, hot or focused, default, normal.
ButtonImage buttonImageFor(bool enabled, bool pressed, bool hot, bool focused, bool isDefault);

// Where a bitmap button's glyph and caption go. layout: 0 glyph left of the caption, 1 right,
// 2 above, 3 below. margin: pixels between the layout side's edge and the glyph, -1 centres
// glyph and caption together. spacing: pixels between glyph and caption, -1 centres the
// caption in the space the glyph leaves.
struct SkinGlyphPlacement
{
    QRect glyph;
    QRect text;
};
SkinGlyphPlacement placeGlyph(const QRect &content, QSize glyph, QSize text, int layout, int margin,
                          int spacing);

// Takes over a bitmap button's painting and mouse handling; the keyboard stays the button's
// own. Lives as a child of the button.
class BitBtnSkin final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BitBtnSkin)

public:
    BitBtnSkin(QAbstractButton *button, SkinThemePtr theme);
    ~BitBtnSkin() override;

    bool isHot() const { return m_hot; }
    bool isPressed() const { return m_pressed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paint();
    void setState(bool pressed, bool hot);

    QAbstractButton *m_button;
    SkinThemePtr m_keep; // keeps the skin alive as long as anything draws from it
    const SkinTheme &m_theme;
    bool m_pressed = false;
    bool m_hot = false;
};
