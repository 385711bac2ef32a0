#pragma once

#include <QMainWindow>
#include <QUrl>

#include <memory>

namespace Ui {
class TForm_Main;
}
class TEmbeddedWB;

// The program's one main window: the laboratory web application above the status bar.
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

private:
    void FormCreate();

    std::unique_ptr<Ui::TForm_Main> ui;
    QUrl m_startUrl;
};

// The main window while the program runs; null before it is built and after it is gone.
extern TForm_Main *Form_Main;
