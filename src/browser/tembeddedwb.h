#pragma once

#include <QWebEngineView>

class QWebEngineProfile;

// The view that shows the laboratory web application.
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
};
