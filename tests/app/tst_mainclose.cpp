#include <QLabel>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWindow>
#include <QtTest>

#include "Main_Frm.h"
#include "Unit_MessageBox.h"
#include "errorbox.h"
#include "modalhelper.h"
#include "tembeddedwb.h"

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

// Every route that closes the main window asks first; a no leaves window and page as they were.
class TestMainClose final : public QObject
{
    Q_OBJECT

private slots:
    void refusedCloseChangesNothingAndAsksAgain();
};

void TestMainClose::refusedCloseChangesNothingAndAsksAgain()
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

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    TestMainClose test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainclose.moc"
