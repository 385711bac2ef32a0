#include <QLabel>
#include <QSignalSpy>
#include <QSizeGrip>
#include <QWebEnginePage>
#include <QWindow>
#include <QtTest>

#include "Main_Frm.h"
#include "Unit_MessageBox.h"
#include "errorbox.h"
#include "modalhelper.h"
#include "tembeddedwb.h"
#include "tstatusbar.h"

using namespace Qt::StringLiterals;

namespace {

QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return u"<no answer>"_s;
    return result;
}

} // namespace

// The main window on a real X server: every route that closes it asks first, and a no leaves
// window and page as they were; the status bar's clock and size grip.
class TestFormMain final : public QObject
{
    Q_OBJECT

private slots:
    void refusedCloseChangesNothingAndAsksAgain();
    void clockBlankUntilFirstTickThenTicksWhileTheDialogIsOpen();
    void sizeGripOnlyWhileNotMaximised();
};

void TestFormMain::refusedCloseChangesNothingAndAsksAgain()
{
    const QUrl page(u"data:text/html,<title>lab</title><input id=f value=start>"_s);
    TForm_Main window(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWebEnginePage *webPage = window.webBrowser()->page();
    QTRY_COMPARE_WITH_TIMEOUT(webPage->title(), u"lab"_s, 10000);
    QCOMPARE(evaluate(webPage, u"document.getElementById('f').value = 'typed'"_s).toString(),
             u"typed"_s);

    int asked = 0;
    QString question;
    const auto refuse = [&] {
        whenModal([&](QWidget *modal) {
            ++asked;
            question = modal->findChild<QLabel *>(u"Label_Tip"_s)->text();
            typeKeys(modal, {{Qt::Key_Escape}});
        });
    };

    // The caption's close button, the skin's and the window menu call close().
    refuse();
    QVERIFY(!window.close());
    QCOMPARE(asked, 1);
    QCOMPARE(question, u"确认退出系统？"_s);

    // The window manager's close request (Alt+F4, task bar) arrives through the platform window.
    refuse();
    window.windowHandle()->close();
    QCOMPARE(asked, 2);

    // The page's own window.close().
    refuse();
    evaluate(webPage, u"window.close()"_s);
    QTRY_COMPARE(asked, 3);
    QTRY_COMPARE(Form_MessageBox, nullptr);

    QVERIFY(window.isVisible());
    QCOMPARE(webPage->url(), page);
    QCOMPARE(evaluate(webPage, u"document.getElementById('f').value"_s).toString(), u"typed"_s);
}

void TestFormMain::clockBlankUntilFirstTickThenTicksWhileTheDialogIsOpen()
{
    TForm_Main window(QUrl(u"about:blank"_s));
    int ticks = 0;
    window.setTimeSource([&] { return QDateTime(QDate(2024, 1, 9), QTime(0, 0, ticks++)); });
    TStatusBar *bar = window.statusBar();
    QCOMPARE(bar->panelText(4), QString());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStringList seenWhileAsking;
    whenModal([&](QWidget *modal) {
        QTRY_COMPARE_WITH_TIMEOUT(ticks, 2, 5000);
        seenWhileAsking << bar->panelText(4);
        typeKeys(modal, {{Qt::Key_Escape}});
    });
    QVERIFY(!window.close());
    QCOMPARE(seenWhileAsking, QStringList{u"2024年1月9日 00:00:01"_s});
}

void TestFormMain::sizeGripOnlyWhileNotMaximised()
{
    TForm_Main window(QUrl(u"about:blank"_s));
    const auto *grip = window.statusBar()->findChild<QSizeGrip *>();
    QVERIFY(grip);
    window.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(grip->isVisible());
    // In the client area's lower right corner (inside a frame a skin may draw).
    const QRect client = window.contentsRect();
    QCOMPARE(grip->mapTo(&window, QPoint(grip->width(), grip->height())),
             client.bottomRight() + QPoint(1, 1));
    window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    QTRY_VERIFY(!grip->isVisible());
    window.showNormal();
    QTRY_VERIFY(grip->isVisible());
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    TestFormMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_formmain.moc"
