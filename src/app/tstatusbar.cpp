#include "tstatusbar.h"

#include <utility>

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
    const QString old = std::exchange(m_panels[index].text, text);
    // Only where the old or the new text stands: the clock changes a few digits a second, and
    // repainting its whole panel (most of a wide window) would cost many times more.
    const QRect box = panelTextRect(index);
    const QFontMetrics metrics = fontMetrics();
    const QRect dirty = metrics.boundingRect(box, textFlags(index, old), old)
                        | metrics.boundingRect(box, textFlags(index, text), text);
    update(dirty.adjusted(-1, -1, 1, 1) & box);
}

QRect TStatusBar::panelBevel(int index) const
{
    // Panels sit 2 pixels apart, below a 2-pixel top border, like the common control's.
    return panelRect(index).adjusted(0, 2, index + 1 == panelCount() ? 0 : -2, 0);
}

QRect TStatusBar::panelTextRect(int index) const
{
    return panelBevel(index).adjusted(2, 1, -2, -1);
}

int TStatusBar::textFlags(int index, const QString &text) const
{
    // A text wider than its panel (a substitute font with wider Latin letters than the
    // layout's) starts at the left edge, so its beginning stays readable.
    Qt::Alignment alignment = m_panels.at(index).alignment;
    if (fontMetrics().horizontalAdvance(text) > panelTextRect(index).width())
        alignment = (alignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    return static_cast<int>(alignment | Qt::AlignVCenter) | Qt::TextSingleLine;
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
        qDrawShadePanel(&painter, panelBevel(i), palette(), true, 1);
        painter.drawText(panelTextRect(i), textFlags(i, m_panels.at(i).text), m_panels.at(i).text);
    }
}
