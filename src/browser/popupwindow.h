#pragma once

#include <QWebEnginePage>
#include <QWidget>

class TEmbeddedWB;

// A top-level program window for a page that opened a new window (target=_blank, window.open).
// It shares the opener's profile, follows the page's size request and closes on window.close().
class PopupWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PopupWindow)

public:
    PopupWindow(QWidget *opener, QWebEnginePage::WebWindowType type);
    ~PopupWindow() override;

    TEmbeddedWB *view() const { return m_view; }

private:
    void applyRequestedGeometry(const QRect &geometry);

    TEmbeddedWB *m_view;
    bool m_geometryRequested = false;
};
