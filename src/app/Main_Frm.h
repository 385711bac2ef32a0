#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>

namespace Ui {
class TForm_Main;
}
class QSessionManager;
class QTimer;
class TEmbeddedWB;
class TSkinData;
class TStatusBar;

// The program's one main window: the laboratory web application above the status bar.
// Every way of closing it, the page's own window.close() and the session's end included, first
// asks the user through the confirmation dialog.
class TForm_Main final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_Main)

public:
    // startUrl is the page the view opens at creation; the program always passes the
    // built-in start page.
    explicit TForm_Main(const QUrl &startUrl = defaultStartUrl(), QWidget *parent = nullptr);
    ~TForm_Main() override;

    static QUrl defaultStartUrl();

    // First show: maximised, or minimised when whatever started the program asked for it.
    void showAtStart();

    TEmbeddedWB *webBrowser() const;
    TStatusBar *statusBar() const;

    // Where the clock reads the time; the local time unless replaced.
    void setTimeSource(std::function<QDateTime()> now);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void FormCloseQuery(QObject *sender, bool &canClose);
    void Timer_MainTimer();
    void answerSessionEnd(QSessionManager &manager);

    std::unique_ptr<Ui::TForm_Main> ui;
    TSkinData *SkinData_Main = nullptr;
    QTimer *Timer_Main = nullptr;
    QUrl m_startUrl;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    // Set once the user has agreed to the session's end: the close that follows goes ahead.
    bool m_sessionConsented = false;
};

// The main window while the program runs; null before it is built and after it is gone.
extern TForm_Main *Form_Main;
