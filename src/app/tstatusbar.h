#pragma once

#include <QList>
#include <QStatusBar>
#include <QString>

// Right edges of a panel row: each panel ends at the running sum of the widths up to and
// including it, and the last one always runs to the bar's right end.
QList<int> panelRightEdges(const QList<int> &widths, int barWidth);

// A status bar of fixed-width text panels with lowered bevels. Changing one panel's text
// repaints that panel only, so a ticking clock never makes the rest of the window repaint.
class TStatusBar final : public QStatusBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TStatusBar)

public:
    explicit TStatusBar(QWidget *parent = nullptr);
    ~TStatusBar() override;

    void addPanel(int width, Qt::Alignment alignment, const QString &text = {});
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    // The panel's extent across the whole height of the bar.
    QRect panelRect(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect panelBevel(int index) const;
    QRect panelTextRect(int index) const;
    int textFlags(int index, const QString &text) const;

    struct Panel
    {
        int width = 0;
        Qt::Alignment alignment;
        QString text;
    };
    QList<Panel> m_panels;
};
