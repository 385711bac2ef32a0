#pragma once

#include <QWebEnginePage>

class QAuthenticator;
class QWebEngineCertificateError;

// The page of every view: answers the engine's questions the way a user's browser would, with
// the program's own dialogs (application title as caption, application icon).
class WebPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebPage)

public:
    WebPage(QWebEngineProfile *profile, QObject *parent);
    ~WebPage() override;

signals:
    // A refused certificate ended a load; the view shows why.
    void certificateRefused(const QUrl &url, const QString &description);

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    void askCredentials(const QUrl &url, QAuthenticator *authenticator, const QString &host);
    void refuseCertificate(const QWebEngineCertificateError &error);
    void askPermission(const QUrl &origin, Feature feature);
    void askExternalOpen(const QUrl &url);
    QWidget *dialogParent() const;
};
