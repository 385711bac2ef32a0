#include "tstatusbar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

QList<int> panelRightEdges(const QList<int> &widths, int barWidth)
{
    QList<int> edges;
    int right = 0;
    for (qsizetype i = 0; i < widths.size(); ++i) {
        right += widths.at(i);
        edges.append(i + 1 == widths.size() ? barWidth : right);
    }
    return edges;
}

TStatusBar::TStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    // Every pixel is painted here; nothing behind the bar needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A window of its own: where the web view is composed through OpenGL, any repaint in a shared
    // window recomposes the whole window (measured: ~450 ms CPU per 10 s for a one-second clock
    // beside the view on software OpenGL, ~8 ms with the bar in its own window).
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::addPanel(int width, Qt::Alignment alignment, const QString &text)
{
    m_panels.append({width, alignment, text});
    update();
}

QString TStatusBar::panelText(int index) const
{
    return m_panels.value(index).text;
}

void TStatusBar::setPanelText(int index, const QString &text)
{
    if (index < 0 || index >= m_panels.size() || m_panels.at(index).text == text)
        return;
    m_panels[index].text = text;
    update(panelRect(index));
}

QRect TStatusBar::panelRect(int index) const
{
    QList<int> widths;
    for (const Panel &panel : m_panels)
        widths.append(panel.width);
    const QList<int> edges = panelRightEdges(widths, width());
    if (index < 0 || index >= edges.size())
        return {};
    const int left = index == 0 ? 0 : edges.at(index - 1);
    return QRect(left, 0, std::max(0, edges.at(index) - left), height());
}

void TStatusBar::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < panelCount(); ++i) {
        const QRect extent = panelRect(i);
        if (extent.isEmpty() || !extent.intersects(event->rect()))
            continue;
        // Panels sit 2 pixels apart, below a 2-pixel top border, like the common control's.
        const QRect bevel = extent.adjusted(0, 2, i + 1 == panelCount() ? 0 : -2, 0);
        qDrawShadePanel(&painter, bevel, palette(), true, 1);
        const QRect textRect = bevel.adjusted(2, 1, -2, -1);
        // A text wider than its panel (a substitute font with wider Latin letters than the
        // layout's) starts at the left edge, so its beginning stays readable.
        Qt::Alignment alignment = m_panels.at(i).alignment;
        if (painter.fontMetrics().horizontalAdvance(m_panels.at(i).text) > textRect.width())
            alignment = (alignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
        painter.drawText(textRect, static_cast<int>(alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                         m_panels.at(i).text);
    }
}
