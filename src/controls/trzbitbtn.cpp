#include "trzbitbtn.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>

GlyphPlacement placeGlyphAndCaption(const QRect &face, QSize glyphSize, QSize captionSize,
                                    int layout, int margin, int spacing)
{
    const auto centred = [](int total, int extent) { return (total - extent) / 2; };
    if (glyphSize.isEmpty()) {
        const QPoint at(centred(face.width(), captionSize.width()),
                        centred(face.height(), captionSize.height()));
        return {QRect(), QRect(face.topLeft() + at, captionSize)};
    }

    const bool horizontal = layout == 0 || layout == 1;
    const int total = horizontal ? face.width() : face.height();
    const int glyphExtent = horizontal ? glyphSize.width() : glyphSize.height();
    const int captionExtent = horizontal ? captionSize.width() : captionSize.height();
    if (captionExtent == 0)
        spacing = 0;
    if (margin < 0 && spacing < 0) {
        margin = (total - glyphExtent - captionExtent) / 3;
        spacing = margin;
    } else if (margin < 0) {
        margin = (total - glyphExtent - spacing - captionExtent) / 2;
    } else if (spacing < 0) {
        spacing = (total - margin - glyphExtent - captionExtent) / 2;
    }

    const bool glyphFirst = layout == 0 || layout == 2;
    const int glyphAt = glyphFirst ? margin : total - margin - glyphExtent;
    const int captionAt = glyphFirst ? glyphAt + glyphExtent + spacing
                                     : glyphAt - spacing - captionExtent;
    if (horizontal) {
        return {QRect(face.left() + glyphAt,
                      face.top() + centred(face.height(), glyphSize.height()), glyphSize.width(),
                      glyphSize.height()),
                QRect(face.left() + captionAt,
                      face.top() + centred(face.height(), captionSize.height()),
                      captionSize.width(), captionSize.height())};
    }
    return {QRect(face.left() + centred(face.width(), glyphSize.width()), face.top() + glyphAt,
                  glyphSize.width(), glyphSize.height()),
            QRect(face.left() + centred(face.width(), captionSize.width()),
                  face.top() + captionAt, captionSize.width(), captionSize.height())};
}

QIcon iconFromGlyphStrip(const QImage &strip)
{
    if (strip.isNull())
        return {};
    QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = argb.pixel(0, argb.height() - 1);
    for (int y = 0; y < argb.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (line[x] == transparent)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    const int side = argb.height();
    const int images = std::max(1, argb.width() / side);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(argb.copy(0, 0, side, side)), QIcon::Normal);
    if (images > 1)
        icon.addPixmap(QPixmap::fromImage(argb.copy(side, 0, side, side)), QIcon::Disabled);
    return icon;
}

TRzBitBtn::TRzBitBtn(QWidget *parent)
    : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setIconSize(QSize(16, 16));
}

TRzBitBtn::~TRzBitBtn() = default;

void TRzBitBtn::setGlyph(const QPixmap &strip)
{
    m_glyph = strip;
    setIcon(iconFromGlyphStrip(strip.toImage()));
    setIconSize(strip.isNull() ? QSize(16, 16) : QSize(strip.height(), strip.height()));
}

void TRzBitBtn::setMargin(int margin)
{
    m_margin = margin;
    update();
}

void TRzBitBtn::setSpacing(int spacing)
{
    m_spacing = spacing;
    update();
}

void TRzBitBtn::setGlyphLayout(int layout)
{
    m_layout = std::clamp(layout, 0, 3);
    update();
}

void TRzBitBtn::setFrameColor(const QColor &color)
{
    m_frameColor = color;
    update();
}

void TRzBitBtn::setFaceColor(const QColor &color)
{
    m_faceColor = color;
    update();
}

void TRzBitBtn::setHotTrack(bool on)
{
    m_hotTrack = on;
    update();
}

QSize TRzBitBtn::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    const bool horizontal = m_layout == 0 || m_layout == 1;
    const int gap = std::max(m_margin, 0) * 2 + std::max(m_spacing, 0);
    if (horizontal)
        return {caption.width() + iconSize().width() + gap + 4,
                std::max(caption.height(), iconSize().height()) + 8};
    return {std::max(caption.width(), iconSize().width()) + 8,
            caption.height() + iconSize().height() + gap + 4};
}

void TRzBitBtn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool enabled = isEnabled();
    const bool hot = enabled && m_hotTrack && underMouse();
    const bool pressed = isDown();

    QColor face = m_faceColor;
    if (pressed) {
        face = m_faceColor.darker(110);
    } else if (hot) {
        // Hot tracking tints the face toward the frame colour.
        face = QColor::fromRgbF(m_faceColor.redF() * 0.85f + m_frameColor.redF() * 0.15f,
                                m_faceColor.greenF() * 0.85f + m_frameColor.greenF() * 0.15f,
                                m_faceColor.blueF() * 0.85f + m_frameColor.blueF() * 0.15f);
    }
    painter.fillRect(rect(), face);

    const QColor frame = enabled ? m_frameColor : palette().color(QPalette::Disabled, QPalette::WindowText);
    painter.setPen(frame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (isDefault() && enabled)
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    if (hasFocus()) {
        QPen dotted(frame, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }

    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    const QSize glyphSize = icon().isNull() ? QSize() : iconSize();
    QRect faceRect = rect();
    if (pressed)
        faceRect.translate(1, 1);
    const GlyphPlacement place =
        placeGlyphAndCaption(faceRect, glyphSize, caption, m_layout, m_margin, m_spacing);
    if (!glyphSize.isEmpty())
        icon().paint(&painter, place.glyph, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    painter.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
    painter.drawText(place.caption, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void TRzBitBtn::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        event->ignore();
        return;
    }
    QPushButton::keyPressEvent(event);
}

bool TRzBitBtn::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
        if (m_hotTrack)
            update();
        break;
    default:
        break;
    }
    return QPushButton::event(event);
}
