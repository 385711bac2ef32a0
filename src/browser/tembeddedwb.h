#pragma once

#include <QPointer>
#include <QWebEngineView>

#include "keyrouting.h"

class FindBar;
class QPrinter;
class QWebEngineFullScreenRequest;
class QWebEngineProfile;
class WebPage;

// The view that shows the laboratory web application, with the behaviour a user expects of a
// browser: keys, dialogs, downloads, printing, new windows, sign-in, permissions, error pages.
class TEmbeddedWB final : public QWebEngineView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEmbeddedWB)

public:
    explicit TEmbeddedWB(QWidget *parent = nullptr);
    ~TEmbeddedWB() override;

    // Starts loading url and returns at once; the page loads while the caller goes on,
    // also before the view has ever been shown.
    void Navigate2(const QUrl &url);

    // The persistent profile every view of the program shares, so a sign-in carries over
    // between windows and runs.
    static QWebEngineProfile *sharedProfile();

    // Runs the command an accelerator stands for.
    void triggerBrowserAction(BrowserAction action);

    // The notice shown over the view while its renderer is gone, or null.
    QWidget *rendererGoneNotice() const { return m_goneNotice; }
    FindBar *findBar() const { return m_findBar; }
    bool isPrinting() const { return m_printing; }

signals:
    // A new top-level window was opened for a page of this view.
    void newWindowOpened(QWidget *window);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;

private:
    void watchParent();
    bool handleUnconsumedKey(QKeyEvent *event);
    void reloadPage(bool bypassCache);
    void openFindBar();
    void printWithPreview();
    void renderForPrinter(QPrinter *printer);
    void saveAsPdf(QPrinter *printer, QWidget *dialogParent);
    void setFullScreen(bool on);
    void handleFullScreenRequest(QWebEngineFullScreenRequest request);
    void showRendererGone(const QString &reason);
    void hideRendererGone();

    WebPage *m_page;
    QPointer<QWidget> m_watchedParent;
    FindBar *m_findBar = nullptr;
    QWidget *m_goneNotice = nullptr;
    QUrl m_goneUrl;
    bool m_printing = false;
    bool m_loading = false;
    bool m_fullScreen = false;
    bool m_pageFullScreen = false;
    Qt::WindowStates m_stateBeforeFullScreen;
};
