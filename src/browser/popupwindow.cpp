#include "popupwindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "pagerules.h"
#include "tembeddedwb.h"

PopupWindow::PopupWindow(QWidget *opener, QWebEnginePage::WebWindowType type)
    : QWidget(opener, Qt::Window)
    , m_view(new TEmbeddedWB(this))
{
    setObjectName(QStringLiteral("PopupWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QGuiApplication::applicationDisplayName());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    QWebEnginePage *page = m_view->page();
    connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    connect(page, &QWebEnginePage::geometryChangeRequested, this, &PopupWindow::applyRequestedGeometry);
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString &title) {
        setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
    });

    const QScreen *screen = opener ? opener->screen() : QGuiApplication::primaryScreen();
    resize(newWindowSize({}, screen->availableSize()));
    if (type == QWebEnginePage::WebBrowserBackgroundTab)
        setAttribute(Qt::WA_ShowWithoutActivating);
    // The engine asks for the page's size right after handing over the new view; showing
    // later avoids a first frame in the wrong size.
    QTimer::singleShot(0, this, [this] {
        show();
        if (!testAttribute(Qt::WA_ShowWithoutActivating)) {
            raise();
            activateWindow();
            m_view->setFocus();
        }
    });
}

PopupWindow::~PopupWindow() = default;

void PopupWindow::applyRequestedGeometry(const QRect &geometry)
{
    const QRect available = screen()->availableGeometry();
    resize(newWindowSize(geometry.size(), available.size()));
    if (!m_geometryRequested && geometry.topLeft() != QPoint(0, 0) && available.contains(geometry.topLeft()))
        move(geometry.topLeft());
    m_geometryRequested = true;
}
