#include "buttonskin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

ButtonImage buttonImageFor(bool enabled, bool pressed, bool hot, bool focused, bool isDefault)
{
    if (!enabled) {
        return ButtonImage::Disabled;
    }
    if (pressed) {
        return ButtonImage::Pressed;
    }
    if (hot || focused) {
        return ButtonImage::Hot;
    }
    if (isDefault) {
        return ButtonImage::Default;
    }
    return ButtonImage::Normal;
}

SkinGlyphPlacement placeGlyph(const QRect &content, QSize glyph, QSize text, int layout, int margin,
                          int spacing)
{
    const bool noGlyph = glyph.isEmpty();
    const bool noText = text.isEmpty();
    if (noGlyph) {
        glyph = QSize(0, 0);
    }
    const bool horizontal = layout == 0 || layout == 1;
    const int extent = horizontal ? content.width() : content.height();
    const int glyphExtent = horizontal ? glyph.width() : glyph.height();
    const int textExtent = horizontal ? text.width() : text.height();
    int gap = (noGlyph || noText) ? 0 : spacing;

    int glyphPos = 0; // from the layout side's edge
    int textPos = 0;
    if (margin < 0) {
        if (gap < 0) {
            gap = (extent - glyphExtent - textExtent) / 3;
        }
        glyphPos = (extent - glyphExtent - gap - textExtent) / 2;
    } else {
        glyphPos = margin;
        if (gap < 0) {
            gap = (extent - margin - glyphExtent - textExtent) / 2;
        }
    }
    textPos = glyphPos + glyphExtent + gap;

    SkinGlyphPlacement result;
    const auto place = [&content, horizontal, layout](int pos, QSize size) {
        QRect r(QPoint(0, 0), size);
        if (horizontal) {
            const int x = layout == 0 ? content.left() + pos : content.right() + 1 - pos - size.width();
            r.moveTo(x, content.top() + (content.height() - size.height()) / 2);
        } else {
            const int y = layout == 2 ? content.top() + pos : content.bottom() + 1 - pos - size.height();
            r.moveTo(content.left() + (content.width() - size.width()) / 2, y);
        }
        return r;
    };
    if (!noGlyph) {
        result.glyph = place(glyphPos, glyph);
    }
    result.text = place(noGlyph && margin < 0 ? (extent - textExtent) / 2 : textPos, text);
    return result;
}

BitBtnSkin::BitBtnSkin(QAbstractButton *button, SkinThemePtr theme)
    : QObject(button), m_button(button), m_keep(theme), m_theme(*m_keep)
{
    setObjectName(QStringLiteral("SkinBitBtn"));
    button->installEventFilter(this);
    button->update();
}

BitBtnSkin::~BitBtnSkin() = default;

void BitBtnSkin::setState(bool pressed, bool hot)
{
    if (pressed != m_pressed || hot != m_hot) {
        m_pressed = pressed;
        m_hot = hot;
        m_button->setDown(pressed);
        m_button->update();
    }
}

bool BitBtnSkin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_button) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Paint:
        paint();
        return true;
    case QEvent::Enter:
        setState(m_pressed, true);
        return false;
    case QEvent::Leave:
        setState(false, false);
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_button->isEnabled()) {
            return true;
        }
        if (m_button->focusPolicy() & Qt::ClickFocus) {
            m_button->setFocus(Qt::MouseFocusReason);
        }
        setState(true, true);
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool inside = m_button->rect().contains(mouse->position().toPoint());
        // Leaving drops the press for good: coming back does not re-arm it.
        if (!inside) {
            setState(false, false);
        } else if (!m_hot) {
            setState(m_pressed, true);
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton) {
            return true;
        }
        const bool click = m_pressed && m_button->rect().contains(mouse->position().toPoint());
        setState(false, m_button->rect().contains(mouse->position().toPoint()));
        if (click) {
            m_button->click();
        }
        return true;
    }
    default:
        return false;
    }
}

void BitBtnSkin::paint()
{
    QPainter painter(m_button);
    const auto *push = qobject_cast<QPushButton *>(m_button);
    // isDown() also covers Space held down, which is the button's own doing.
    const ButtonImage state = buttonImageFor(m_button->isEnabled(), m_button->isDown(), m_hot,
                                             m_button->hasFocus(), push && push->isDefault());
    drawNineSlice(painter, m_button->rect(), m_theme.button(state), m_theme.buttonSlice);

    const QIcon icon = m_button->icon();
    const QSize iconSize = icon.isNull() ? QSize() : m_button->iconSize();
    const QString text = m_button->text();
    const QFontMetrics metrics(m_button->font());
    const QSize textSize = text.isEmpty()
        ? QSize()
        : metrics.size(Qt::TextShowMnemonic, text);
    const auto property = [this](const char *name, int fallback) {
        const QVariant value = m_button->property(name);
        return value.isValid() ? value.toInt() : fallback;
    };
    const QRect content = m_button->rect().adjusted(2, 2, -2, -2);
    const SkinGlyphPlacement place = placeGlyph(content, iconSize, textSize, property("Layout", 0),
                                            property("Margin", -1), property("Spacing", 4));
    const bool enabled = m_button->isEnabled();
    const int shift = m_button->isDown() ? 1 : 0;
    if (!icon.isNull()) {
        icon.paint(&painter, place.glyph.translated(shift, shift), Qt::AlignCenter,
                   enabled ? QIcon::Normal : QIcon::Disabled);
    }
    if (!text.isEmpty()) {
        painter.setFont(m_button->font());
        painter.setPen(enabled ? m_theme.buttonText : m_theme.buttonTextDisabled);
        painter.drawText(place.text.translated(shift, shift),
                         Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, text);
    }
}
