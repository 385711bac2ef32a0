#include "skinframe.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "captionbar.h"
#include "skintheme.h"

using Platform::FrameArea;

Platform::FrameArea frameHitTest(QSize size, QPoint pos, const FrameMetrics &metrics,
                                 bool resizable, bool maximized)
{
    const int w = size.width();
    const int h = size.height();
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= w || pos.y() >= h) {
        return FrameArea::None;
    }
    if (resizable && !maximized) {
        const int b = metrics.border;
        const int c = qMax(metrics.cornerGrip, b);
        const bool left = pos.x() < b;
        const bool right = pos.x() >= w - b;
        const bool top = pos.y() < b;
        const bool bottom = pos.y() >= h - b;
        const bool nearLeft = pos.x() < c;
        const bool nearRight = pos.x() >= w - c;
        const bool nearTop = pos.y() < c;
        const bool nearBottom = pos.y() >= h - c;
        if ((top && nearLeft) || (left && nearTop)) {
            return FrameArea::TopLeft;
        }
        if ((top && nearRight) || (right && nearTop)) {
            return FrameArea::TopRight;
        }
        if ((bottom && nearLeft) || (left && nearBottom)) {
            return FrameArea::BottomLeft;
        }
        if ((bottom && nearRight) || (right && nearBottom)) {
            return FrameArea::BottomRight;
        }
        if (left) {
            return FrameArea::Left;
        }
        if (right) {
            return FrameArea::Right;
        }
        if (top) {
            return FrameArea::Top;
        }
        if (bottom) {
            return FrameArea::Bottom;
        }
    }
    if (pos.y() < metrics.border + metrics.captionHeight) {
        return FrameArea::Caption;
    }
    return FrameArea::Client;
}

Qt::Edges edgesForArea(Platform::FrameArea area)
{
    switch (area) {
    case FrameArea::Left:
        return Qt::LeftEdge;
    case FrameArea::Right:
        return Qt::RightEdge;
    case FrameArea::Top:
        return Qt::TopEdge;
    case FrameArea::Bottom:
        return Qt::BottomEdge;
    case FrameArea::TopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case FrameArea::TopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case FrameArea::BottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FrameArea::BottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

namespace {

Qt::CursorShape cursorForArea(FrameArea area)
{
    switch (area) {
    case FrameArea::Left:
    case FrameArea::Right:
        return Qt::SizeHorCursor;
    case FrameArea::Top:
    case FrameArea::Bottom:
        return Qt::SizeVerCursor;
    case FrameArea::TopLeft:
    case FrameArea::BottomRight:
        return Qt::SizeFDiagCursor;
    case FrameArea::TopRight:
    case FrameArea::BottomLeft:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

// An invisible band along one edge of a skinned window that resizes it; the corners are the
// band's ends. Only shown while the window can be resized.
class FrameGrip final : public QWidget
{
public:
    FrameGrip(QWidget *window, const SkinFrame &frame) : QWidget(window), m_frame(frame)
    {
        setObjectName(QStringLiteral("SkinFrameGrip"));
        setMouseTracking(true);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        setCursor(cursorForArea(areaAt(event->position().toPoint())));
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const Qt::Edges edges = edgesForArea(areaAt(event->position().toPoint()));
        if (event->button() == Qt::LeftButton && edges && window()->windowHandle()) {
            window()->windowHandle()->startSystemResize(edges);
        }
    }

private:
    FrameArea areaAt(QPoint local) const { return m_frame.areaAt(mapTo(window(), local)); }

    const SkinFrame &m_frame;
};

SkinFrame::SkinFrame(QWidget *window, SkinThemePtr theme)
    : QObject(window), m_window(window), m_keep(theme), m_theme(*m_keep)
{
    setObjectName(QStringLiteral("SkinFrame"));
    m_metrics.border = m_theme.borderWidth;
    m_metrics.captionHeight = m_theme.captionHeight;
    m_metrics.cornerGrip = qMax(16, m_theme.borderWidth * 3);

    const Qt::WindowFlags flags = window->windowFlags();
    // Told to the window system straight away where the window exists already, so it is never
    // mapped with the system frame.
    window->overrideWindowFlags(flags | Qt::FramelessWindowHint);
    if (QWindow *handle = window->windowHandle()) {
        handle->setFlags(flags | Qt::FramelessWindowHint);
    }
    applyMargins();

    m_caption = new CaptionBar(window, m_keep, *this);
    for (FrameGrip *&grip : m_grips) {
        grip = new FrameGrip(window, *this);
    }
    window->installEventFilter(this);
    attachNative();
    relayout();
}

SkinFrame::~SkinFrame()
{
    if (m_attached) {
        Platform::detachCustomFrame(m_window->windowHandle());
    }
}

void SkinFrame::attachNative()
{
    // The native window may not exist yet when the frame is made; it does by the first show.
    if (!m_attached && Platform::hasNativeCustomFrames() && m_window->windowHandle()
        && m_window->windowHandle()->handle()) {
        m_attached = Platform::attachCustomFrame(m_window->windowHandle(),
                                                 [this](QPoint pos) { return areaAt(pos); });
    }
}

bool SkinFrame::isFilling() const
{
    return m_window->isMaximized() || m_window->isFullScreen();
}

FrameMetrics SkinFrame::metrics() const
{
    // A maximised window has no border: its edges are the screen's. A full-screen one (a page's
    // video or presentation) has no caption either.
    FrameMetrics m = m_metrics;
    if (isFilling()) {
        m.border = 0;
    }
    if (m_window->isFullScreen()) {
        m.captionHeight = 0;
    }
    return m;
}

void SkinFrame::applyMargins()
{
    const FrameMetrics m = metrics();
    const QMargins margins(m.border, m.border + m.captionHeight, m.border, m.border);
    if (m_window->contentsMargins() != margins) {
        m_window->setContentsMargins(margins);
    }
}

bool SkinFrame::resizable() const
{
    return m_window->minimumSize() != m_window->maximumSize()
        && !m_window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

Platform::FrameArea SkinFrame::areaAt(QPoint windowPos) const
{
    const FrameArea area = frameHitTest(m_window->size(), windowPos, metrics(), resizable(),
                                        isFilling());
    if (area == FrameArea::Caption
        && m_caption->isOverControl(m_caption->mapFrom(m_window, windowPos))) {
        return FrameArea::Client;
    }
    return area;
}

void SkinFrame::relayout()
{
    const int w = m_window->width();
    const int h = m_window->height();
    applyMargins();
    const int b = metrics().border;
    m_caption->setGeometry(b, b, w - 2 * b, m_metrics.captionHeight);
    m_caption->setVisible(!m_window->isFullScreen());
    m_grips[0]->setGeometry(0, 0, w, b);
    m_grips[1]->setGeometry(0, h - b, w, b);
    m_grips[2]->setGeometry(0, 0, b, h);
    m_grips[3]->setGeometry(w - b, 0, b, h);
    const bool showGrips = !m_attached && resizable() && !isFilling();
    for (FrameGrip *grip : m_grips) {
        grip->setVisible(showGrips);
        grip->raise();
    }
    m_caption->syncWithWindow();
}

void SkinFrame::paintBorder()
{
    QPainter painter(m_window);
    const QColor color = m_window->isActiveWindow() ? m_theme.frameActive : m_theme.frameInactive;
    const QRect outer = m_window->rect();
    const QRect inner = outer.marginsRemoved(m_window->contentsMargins());
    painter.setClipRegion(QRegion(outer).subtracted(QRegion(inner)));
    painter.fillRect(outer, color);
    painter.setPen(color.darker(135));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
}

bool SkinFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Paint:
            paintBorder();
            break;
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case QEvent::Show:
            attachNative();
            relayout();
            break;
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
            m_caption->syncWithWindow();
            break;
        case QEvent::ActivationChange:
            m_window->update();
            m_caption->update();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
