#include <QSignalSpy>
#include <QTest>

#include "browsertest.h"
#include "fixtureserver.h"
#include "popupwindow.h"
#include "tembeddedwb.h"

class tst_PopupWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void cleanup() { QTRY_COMPARE(QApplication::topLevelWidgets().size(), 0); }
    void blankLinkOpensWindowOnSameSession();
    void scriptWindowTakesRequestedSizeAndClosesItself();
    void mainViewCloseIsLeftToItsWindow();
};

void tst_PopupWindow::blankLinkOpensWindowOnSameSession()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url()));
    // Sign in through the demo's form: the session is a cookie set by the server.
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    js(shell.view->page(), QStringLiteral("document.getElementById('user').value = '化验员';"
                                          "document.getElementById('login').submit();"));
    QVERIFY(loaded.wait(15000));
    QCOMPARE(shell.view->url(), server.url(QStringLiteral("/samples")));

    QSignalSpy opened(shell.view, &TEmbeddedWB::newWindowOpened);
    clickElement(shell.view, QStringLiteral("blank"));
    QTRY_COMPARE(opened.size(), 1);
    QPointer<QWidget> popup = opened.first().first().value<QWidget *>();
    QVERIFY(popup);
    QTRY_VERIFY(popup->isVisible());
    QVERIFY(popup->isWindow());
    auto *popupView = popup->findChild<TEmbeddedWB *>();
    QVERIFY(popupView);
    QCOMPARE(popupView->page()->profile(), shell.view->page()->profile());
    // The server saw the session cookie on the new window's request.
    QTRY_COMPARE(js(popupView->page(), QStringLiteral("document.getElementById('user') && document.getElementById('user').textContent")).toString(),
                 u"当前用户：化验员"_qs);
    QCOMPARE(server.requestCount(QStringLiteral("/whoami")), 1);
    QVERIFY(shell.window.isVisible());
    popup->close();
    QTRY_VERIFY(!popup);
}

void tst_PopupWindow::scriptWindowTakesRequestedSizeAndClosesItself()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/samples"))));
    QSignalSpy opened(shell.view, &TEmbeddedWB::newWindowOpened);
    clickElement(shell.view, QStringLiteral("open"));
    QTRY_COMPARE(opened.size(), 1);
    QPointer<QWidget> popup = opened.first().first().value<QWidget *>();
    QTRY_VERIFY(popup && popup->isVisible());
    auto *popupView = popup->findChild<TEmbeddedWB *>();
    QTRY_COMPARE(popupView->size(), QSize(640, 480));
    QTRY_VERIFY(js(popupView->page(), QStringLiteral("document.getElementById('close') !== null")).toBool());

    // The page's own window.close() closes the program window it lives in, and only that one.
    clickElement(popupView, QStringLiteral("close"));
    QTRY_VERIFY(!popup);
    QVERIFY(shell.window.isVisible());
}

void tst_PopupWindow::mainViewCloseIsLeftToItsWindow()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url()));
    QSignalSpy closeRequested(shell.view->page(), &QWebEnginePage::windowCloseRequested);
    js(shell.view->page(), QStringLiteral("window.close()"));
    // The request reaches the main window, which decides (its close query); the view itself
    // neither closes nor hides anything.
    QTRY_COMPARE(closeRequested.size(), 1);
    QVERIFY(shell.window.isVisible());

    // Also after the user has moved on in the application, where the engine alone would refuse.
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->load(server.url(QStringLiteral("/samples")));
    QVERIFY(loaded.wait(15000));
    js(shell.view->page(), QStringLiteral("window.close()"));
    QTRY_COMPARE(closeRequested.size(), 2);
    QVERIFY(shell.window.isVisible());
    QVERIFY(shell.view->isVisible());
}

QTEST_MAIN(tst_PopupWindow)
#include "tst_popupwindow.moc"
