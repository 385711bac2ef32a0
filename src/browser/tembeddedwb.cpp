#include "tembeddedwb.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>

#include "downloadmanager.h"
#include "findbar.h"
#include "hostsettings.h"
#include "popupwindow.h"
#include "webpage.h"

TEmbeddedWB::TEmbeddedWB(QWidget *parent)
    : QWebEngineView(parent)
    , m_page(new WebPage(sharedProfile(), this))
{
    setPage(m_page);
    setFocusPolicy(Qt::StrongFocus);
    watchParent();

    // window.print() must not open a modal dialog inside the engine's call.
    connect(m_page, &QWebEnginePage::printRequested, this,
            [this] { QTimer::singleShot(0, this, &TEmbeddedWB::printWithPreview); });
    connect(m_page, &QWebEnginePage::fullScreenRequested, this, &TEmbeddedWB::handleFullScreenRequest);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                showRendererGone(status == QWebEnginePage::CrashedTerminationStatus
                                     ? QStringLiteral("页面的渲染进程已崩溃。")
                                     : QStringLiteral("页面的渲染进程已被终止。"));
            });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_loading = true;
        hideRendererGone();
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] { m_loading = false; });
    connect(m_page, &WebPage::certificateRefused, this, [this](const QUrl &url, const QString &description) {
        // The engine's error page shows only a code; this names the problem in the user's words.
        const QString html = QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset='utf-8'><title>安全证书有问题</title><link rel='icon' href='data:,'></head>"
            "<body style='font-family:sans-serif;margin:40px'><h1>已拒绝连接：安全证书有问题</h1>"
            "<p>网站 <b>%1</b> 的安全证书不可信，本程序不会打开此网站。</p>"
            "<p>原因：%2</p><p>请联系系统管理员。</p></body></html>")
                                 .arg(url.host().toHtmlEscaped(), description.toHtmlEscaped());
        QTimer::singleShot(0, this, [this, html, url] { m_page->setHtml(html, url); });
    });
}

TEmbeddedWB::~TEmbeddedWB() = default;

void TEmbeddedWB::Navigate2(const QUrl &url)
{
    load(url);
    // The main window picks no focus widget of its own; giving it to the view now lets a page
    // that focuses a field take typing as soon as the window appears.
    setFocus(Qt::OtherFocusReason);
}

QWebEngineProfile *TEmbeddedWB::sharedProfile()
{
    // Owned by the application object so it outlives every page that uses it.
    static QWebEngineProfile *profile = [] {
        auto *p = new QWebEngineProfile(QStringLiteral("QuorLims"), QCoreApplication::instance());
        configureProfile(p);
        new DownloadManager(p);
        return p;
    }();
    return profile;
}

bool TEmbeddedWB::event(QEvent *event)
{
    // Shortcut override travels from the page's focus proxy up through the view: accepting it
    // here keeps every window shortcut off the keys that belong to the page, and lets the page
    // see accelerator keys before they become commands.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        // The engine reports Escape as handled even when the page ignores it, so it never
        // comes back unconsumed: stop and leave full screen as it goes by, and still let the
        // page have it.
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat()
            && (m_fullScreen || m_loading)) {
            const BrowserAction action = m_fullScreen ? BrowserAction::FullScreen : BrowserAction::Stop;
            QTimer::singleShot(0, this, [this, action] { triggerBrowserAction(action); });
        }
        if (keyReservedForPage(key->key(), key->modifiers())
            || browserActionForKey(key->key(), key->modifiers()) != BrowserAction::None) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ParentChange)
        watchParent();
    return QWebEngineView::event(event);
}

void TEmbeddedWB::watchParent()
{
    // Keys the page leaves unconsumed are handed to the view's parent, not to the view.
    if (m_watchedParent == parentWidget())
        return;
    if (m_watchedParent)
        m_watchedParent->removeEventFilter(this);
    m_watchedParent = parentWidget();
    if (m_watchedParent)
        m_watchedParent->installEventFilter(this);
}

bool TEmbeddedWB::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedParent && event->type() == QEvent::KeyPress
        && handleUnconsumedKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QWebEngineView::eventFilter(watched, event);
}

void TEmbeddedWB::keyPressEvent(QKeyEvent *event)
{
    if (!handleUnconsumedKey(event))
        QWebEngineView::keyPressEvent(event);
}

void TEmbeddedWB::resizeEvent(QResizeEvent *event)
{
    QWebEngineView::resizeEvent(event);
    if (m_findBar && m_findBar->isVisible())
        m_findBar->placeInView();
    if (m_goneNotice)
        m_goneNotice->setGeometry(rect());
}

bool TEmbeddedWB::handleUnconsumedKey(QKeyEvent *event)
{
    const BrowserAction action = browserActionForKey(event->key(), event->modifiers());
    if (action == BrowserAction::None || action == BrowserAction::Stop) // Escape: see event()
        return false;
    // Unconsumed keys come back from inside the engine's own call stack; print preview and
    // the other commands must run after it has returned.
    QTimer::singleShot(0, this, [this, action] { triggerBrowserAction(action); });
    event->accept();
    return true;
}

void TEmbeddedWB::triggerBrowserAction(BrowserAction action)
{
    switch (action) {
    case BrowserAction::None:
        break;
    case BrowserAction::Reload:
        reloadPage(false);
        break;
    case BrowserAction::ReloadBypassingCache:
        reloadPage(true);
        break;
    case BrowserAction::Back:
        page()->triggerAction(QWebEnginePage::Back);
        break;
    case BrowserAction::Forward:
        page()->triggerAction(QWebEnginePage::Forward);
        break;
    case BrowserAction::Stop:
        page()->triggerAction(QWebEnginePage::Stop);
        break;
    case BrowserAction::Find:
        openFindBar();
        break;
    case BrowserAction::Print:
        printWithPreview();
        break;
    case BrowserAction::ZoomIn:
        setZoomFactor(std::min(5.0, zoomFactor() * 1.1));
        break;
    case BrowserAction::ZoomOut:
        setZoomFactor(std::max(0.25, zoomFactor() / 1.1));
        break;
    case BrowserAction::ZoomReset:
        setZoomFactor(1.0);
        break;
    case BrowserAction::FullScreen:
        setFullScreen(!m_fullScreen);
        break;
    }
}

void TEmbeddedWB::reloadPage(bool bypassCache)
{
    // After a renderer loss the old page cannot reload itself; a fresh load starts a new one.
    if (m_goneNotice && m_goneNotice->isVisible()) {
        load(m_goneUrl);
        return;
    }
    page()->triggerAction(bypassCache ? QWebEnginePage::ReloadAndBypassCache : QWebEnginePage::Reload);
}

void TEmbeddedWB::openFindBar()
{
    if (!m_findBar)
        m_findBar = new FindBar(this);
    m_findBar->open();
}

QWebEngineView *TEmbeddedWB::createWindow(QWebEnginePage::WebWindowType type)
{
    // Owned by the program's first window, so a window opened from a pop-up outlives that
    // pop-up and all of them close with the program.
    QWidget *owner = window();
    while (owner->parentWidget())
        owner = owner->parentWidget()->window();
    auto *popup = new PopupWindow(owner, type);
    emit newWindowOpened(popup);
    return popup->view();
}

void TEmbeddedWB::printWithPreview()
{
    if (m_printing)
        return; // one print job at a time
    m_printing = true;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title());
    QPrintPreviewDialog dialog(&printer, window());
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("打印预览 - %1").arg(QGuiApplication::applicationDisplayName()));
    dialog.setWindowIcon(QApplication::windowIcon());
    if (auto *toolBar = dialog.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *pdf = toolBar->addAction(QStringLiteral("另存为 PDF"));
        pdf->setObjectName(QStringLiteral("SaveAsPdf"));
        connect(pdf, &QAction::triggered, &dialog, [this, &printer, &dialog] { saveAsPdf(&printer, &dialog); });
    }
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, &dialog](QPrinter *target) {
        // The engine renders on its own thread into the printer: nothing may touch the
        // dialog or its printer until it is done.
        dialog.setEnabled(false);
        renderForPrinter(target);
        dialog.setEnabled(true);
    });
    dialog.exec();
    m_printing = false;
}

void TEmbeddedWB::renderForPrinter(QPrinter *printer)
{
    // The preview paints synchronously while the engine renders asynchronously: wait here.
    QEventLoop loop;
    bool ok = false;
    connect(this, &QWebEngineView::printFinished, &loop, [&loop, &ok](bool success) {
        ok = success;
        loop.quit();
    });
    print(printer);
    loop.exec();
    if (!ok) {
        QPainter painter;
        if (painter.begin(printer)) {
            painter.drawText(QRect(0, 0, 4000, 400), Qt::AlignLeft | Qt::AlignTop,
                             QStringLiteral("无法生成打印内容。"));
        }
    }
}

void TEmbeddedWB::saveAsPdf(QPrinter *printer, QWidget *dialogParent)
{
    // The engine's own PDF keeps the text selectable and searchable, unlike a printed raster.
    QFileDialog dialog(dialogParent, QStringLiteral("另存为 PDF - %1").arg(QGuiApplication::applicationDisplayName()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setNameFilter(QStringLiteral("PDF 文件 (*.pdf)"));
    dialog.selectFile(title().isEmpty() ? QStringLiteral("page.pdf") : title() + QStringLiteral(".pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    page()->printToPdf(dialog.selectedFiles().first(), printer->pageLayout());
}

void TEmbeddedWB::setFullScreen(bool on)
{
    QWidget *top = window();
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    if (on) {
        m_stateBeforeFullScreen = top->windowState();
        top->setWindowState((m_stateBeforeFullScreen & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
    } else {
        if (m_pageFullScreen) {
            m_pageFullScreen = false;
            page()->triggerAction(QWebEnginePage::ExitFullScreen);
        }
        top->setWindowState(m_stateBeforeFullScreen & ~Qt::WindowFullScreen);
    }
}

void TEmbeddedWB::handleFullScreenRequest(QWebEngineFullScreenRequest request)
{
    request.accept();
    m_pageFullScreen = request.toggleOn();
    setFullScreen(request.toggleOn());
}

void TEmbeddedWB::showRendererGone(const QString &reason)
{
    m_goneUrl = url();
    if (!m_goneNotice) {
        // A widget over the view: the engine keeps showing the dead page's last picture.
        m_goneNotice = new QWidget(this);
        m_goneNotice->setObjectName(QStringLiteral("RendererGoneNotice"));
        m_goneNotice->setAutoFillBackground(true);
        auto *layout = new QVBoxLayout(m_goneNotice);
        auto *label = new QLabel(m_goneNotice);
        label->setObjectName(QStringLiteral("RendererGoneText"));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        auto *button = new QPushButton(QStringLiteral("重新加载"), m_goneNotice);
        button->setObjectName(QStringLiteral("RendererGoneReload"));
        layout->addStretch();
        layout->addWidget(label);
        layout->addWidget(button, 0, Qt::AlignCenter);
        layout->addStretch();
        connect(button, &QPushButton::clicked, this, [this] { reloadPage(false); });
    }
    m_goneNotice->findChild<QLabel *>()->setText(
        reason + QStringLiteral("\n\n点击“重新加载”或按 F5 重新打开此页面。"));
    m_goneNotice->setGeometry(rect());
    m_goneNotice->show();
    m_goneNotice->raise();
    if (hasFocus() || (focusProxy() && focusProxy()->hasFocus()) || !QApplication::focusWidget())
        m_goneNotice->findChild<QPushButton *>()->setFocus();
}

void TEmbeddedWB::hideRendererGone()
{
    if (m_goneNotice && m_goneNotice->isVisible()) {
        m_goneNotice->hide();
        setFocus();
    }
}
