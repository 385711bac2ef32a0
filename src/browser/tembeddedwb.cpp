#include "tembeddedwb.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "hostsettings.h"

TEmbeddedWB::TEmbeddedWB(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new QWebEnginePage(sharedProfile(), this));
    setFocusPolicy(Qt::StrongFocus);
    watchParent();
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
        return p;
    }();
    return profile;
}

bool TEmbeddedWB::event(QEvent *event)
{
    // Shortcut override travels from the page's focus proxy up through the view: accepting it
    // here keeps every shortcut of the window off the keys that belong to the page.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
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

bool TEmbeddedWB::handleUnconsumedKey(QKeyEvent *event)
{
    const BrowserAction action = browserActionForKey(event->key(), event->modifiers());
    if (action == BrowserAction::None)
        return false;
    triggerBrowserAction(action);
    event->accept();
    return true;
}

void TEmbeddedWB::triggerBrowserAction(BrowserAction action)
{
    switch (action) {
    case BrowserAction::None:
        break;
    case BrowserAction::Reload:
        page()->triggerAction(QWebEnginePage::Reload);
        break;
    case BrowserAction::ReloadBypassingCache:
        page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
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
    case BrowserAction::ZoomIn:
        setZoomFactor(std::min(5.0, zoomFactor() * 1.1));
        break;
    case BrowserAction::ZoomOut:
        setZoomFactor(std::max(0.25, zoomFactor() / 1.1));
        break;
    case BrowserAction::ZoomReset:
        setZoomFactor(1.0);
        break;
    case BrowserAction::Find:
    case BrowserAction::Print:
    case BrowserAction::FullScreen:
        break;
    }
}
