#include "skintheme.h"

#include <QPainter>

#include "skinpackage.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int buttonStates = 5;
constexpr int captionButtonStates = 3;

const char *const captionButtonNames[4] = {"captionbutton.minimize", "captionbutton.maximize",
                                           "captionbutton.restore", "captionbutton.close"};

} // namespace

QStringList SkinTheme::requiredImages()
{
    QStringList names{u"caption.active"_s, u"caption.inactive"_s, u"button"_s, u"menu.panel"_s,
                      u"menu.selected"_s};
    for (const char *name : captionButtonNames) {
        names << QString::fromLatin1(name);
    }
    return names;
}

QStringList SkinTheme::requiredColors()
{
    return {u"window"_s,        u"caption.text"_s,       u"caption.text.inactive"_s,
            u"frame.active"_s,  u"frame.inactive"_s,     u"button.text"_s,
            u"button.text.disabled"_s, u"menu.text"_s,   u"menu.text.selected"_s,
            u"menu.text.disabled"_s,   u"menu.separator"_s, u"control.border"_s,
            u"control.accent"_s,       u"control.base"_s};
}

QStringList SkinTheme::requiredMetrics()
{
    return {u"frame.border"_s, u"caption.height"_s, u"caption.button.width"_s,
            u"caption.slice"_s, u"button.slice"_s,  u"menu.slice"_s};
}

std::optional<SkinTheme> SkinTheme::fromPackage(const SkinPackage &package)
{
    for (const QString &name : requiredImages()) {
        if (!package.images.contains(name)) {
            return std::nullopt;
        }
    }
    for (const QString &name : requiredColors()) {
        if (!package.colors.value(name).isValid()) {
            return std::nullopt;
        }
    }
    for (const QString &name : requiredMetrics()) {
        if (!package.metrics.contains(name)) {
            return std::nullopt;
        }
    }
    const auto metric = [&package](const QString &name, int low, int high) {
        const int value = package.metrics.value(name);
        return value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
    };
    SkinTheme theme;
    const auto border = metric(u"frame.border"_s, 1, 16);
    const auto caption = metric(u"caption.height"_s, 16, 64);
    const auto buttonWidth = metric(u"caption.button.width"_s, 16, 96);
    const auto captionSlice = metric(u"caption.slice"_s, 0, 64);
    const auto buttonSlice = metric(u"button.slice"_s, 0, 32);
    const auto menuSlice = metric(u"menu.slice"_s, 0, 32);
    if (!border || !caption || !buttonWidth || !captionSlice || !buttonSlice || !menuSlice) {
        return std::nullopt;
    }
    theme.borderWidth = *border;
    theme.captionHeight = *caption;
    theme.captionButtonWidth = *buttonWidth;
    theme.captionSlice = *captionSlice;
    theme.buttonSlice = *buttonSlice;
    theme.menuSlice = *menuSlice;

    const auto color = [&package](const char *name) {
        return package.colors.value(QString::fromLatin1(name));
    };
    theme.window = color("window");
    theme.captionText = color("caption.text");
    theme.captionTextInactive = color("caption.text.inactive");
    theme.frameActive = color("frame.active");
    theme.frameInactive = color("frame.inactive");
    theme.buttonText = color("button.text");
    theme.buttonTextDisabled = color("button.text.disabled");
    theme.menuText = color("menu.text");
    theme.menuTextSelected = color("menu.text.selected");
    theme.menuTextDisabled = color("menu.text.disabled");
    theme.menuSeparator = color("menu.separator");
    theme.controlBorder = color("control.border");
    theme.controlAccent = color("control.accent");
    theme.controlBase = color("control.base");

    // Strips must divide evenly into their states, else the states would bleed into each other.
    theme.m_buttons = package.images.value(u"button"_s);
    if (theme.m_buttons.height() % buttonStates != 0
        || theme.m_buttons.height() / buttonStates <= 2 * theme.buttonSlice
        || theme.m_buttons.width() <= 2 * theme.buttonSlice) {
        return std::nullopt;
    }
    for (int i = 0; i < 4; ++i) {
        const QImage strip = package.images.value(QString::fromLatin1(captionButtonNames[i]));
        if (strip.width() % captionButtonStates != 0) {
            return std::nullopt;
        }
        theme.m_captionButtons[i] = strip;
    }
    theme.captionActive = QPixmap::fromImage(package.images.value(u"caption.active"_s));
    theme.captionInactive = QPixmap::fromImage(package.images.value(u"caption.inactive"_s));
    theme.menuPanel = QPixmap::fromImage(package.images.value(u"menu.panel"_s));
    theme.menuSelected = QPixmap::fromImage(package.images.value(u"menu.selected"_s));
    return theme;
}

QPixmap SkinTheme::button(ButtonImage state) const
{
    const int h = m_buttons.height() / buttonStates;
    return QPixmap::fromImage(m_buttons.copy(0, int(state) * h, m_buttons.width(), h));
}

QPixmap SkinTheme::captionButton(CaptionButtonKind kind, CaptionButtonState state) const
{
    const QImage &strip = m_captionButtons[int(kind)];
    const int w = strip.width() / captionButtonStates;
    return QPixmap::fromImage(strip.copy(int(state) * w, 0, w, strip.height()));
}

void drawNineSlice(QPainter &painter, const QRect &target, const QPixmap &source, int slice)
{
    const int s = qMin(slice, qMin(target.width(), target.height()) / 2);
    const int sw = source.width();
    const int sh = source.height();
    const int x[4] = {target.left(), target.left() + s, target.right() + 1 - s, target.right() + 1};
    const int y[4] = {target.top(), target.top() + s, target.bottom() + 1 - s, target.bottom() + 1};
    const int sx[4] = {0, slice, sw - slice, sw};
    const int sy[4] = {0, slice, sh - slice, sh};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRect to(QPoint(x[col], y[row]), QPoint(x[col + 1] - 1, y[row + 1] - 1));
            const QRect from(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
            if (to.isValid() && from.isValid()) {
                painter.drawPixmap(to, source, from);
            }
        }
    }
}
