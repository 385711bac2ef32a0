#pragma once

#include <QPointer>
#include <QWebEngineView>

#include "keyrouting.h"

class QWebEngineProfile;

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

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void watchParent();
    bool handleUnconsumedKey(QKeyEvent *event);

    QPointer<QWidget> m_watchedParent;
};
