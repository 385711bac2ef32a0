#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QShortcut>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>

#include "browsertest.h"
#include "fixtureserver.h"
#include "hostsettings.h"
#include "tembeddedwb.h"

class tst_TEmbeddedWB : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void startPageIsRequestedOnce();
    void acceptLanguageReachesServer();
    void editingKeysReachPage_data();
    void editingKeysReachPage();
    void backspaceOutsideFieldStaysOnPage();
    void pageFocusTakesTypingWithoutClick();
    void unreachableStartPageLeavesViewUsable();
};

void tst_TEmbeddedWB::initTestCase()
{
    setUpApplication();
}

void tst_TEmbeddedWB::cleanup()
{
    QTRY_COMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_TEmbeddedWB::startPageIsRequestedOnce()
{
    FixtureServer server;
    QVERIFY(server.isRunning());
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    // Navigation starts while the window is still hidden, as at program start.
    shell.view->Navigate2(server.url());
    shell.window.show();
    QVERIFY(loaded.wait(15000));
    QCOMPARE(loaded.first().first().toBool(), true);
    QVERIFY(!loaded.wait(500)); // no second load follows
    QCOMPARE(server.requestCount(QString()), 1);
}

void tst_TEmbeddedWB::acceptLanguageReachesServer()
{
    FixtureServer server;
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(server.url(QStringLiteral("/headers")));
    QVERIFY(loaded.wait(15000));
    const QString sent = js(shell.view->page(), QStringLiteral("document.getElementById('lang').textContent")).toString();
    QCOMPARE(sent, TEmbeddedWB::sharedProfile()->httpAcceptLanguage());
    QVERIFY(!sent.isEmpty());
    QVERIFY(!sent.startsWith(u"C"));
}

void tst_TEmbeddedWB::editingKeysReachPage_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("domKey");
    QTest::addColumn<QString>("valueAfter");
    QTest::addColumn<int>("caretAfter");

    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << u"Backspace"_qs << u"ab"_qs << 2;
    QTest::newRow("Enter") << int(Qt::Key_Return) << u"Enter"_qs << u"abc"_qs << 3;
    QTest::newRow("Left") << int(Qt::Key_Left) << u"ArrowLeft"_qs << u"abc"_qs << 2;
    QTest::newRow("Right") << int(Qt::Key_Right) << u"ArrowRight"_qs << u"abc"_qs << 3;
}

void tst_TEmbeddedWB::editingKeysReachPage()
{
    QFETCH(int, key);
    QFETCH(QString, domKey);
    QFETCH(QString, valueAfter);
    QFETCH(int, caretAfter);

    FixtureServer server;
    Shell shell;
    // Window shortcuts on the same keys must never see them while the page has the focus.
    int stolen = 0;
    for (const auto seq : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right}) {
        auto *shortcut = new QShortcut(QKeySequence(seq), &shell.window);
        connect(shortcut, &QShortcut::activated, this, [&stolen] { ++stolen; });
    }
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(server.url(QStringLiteral("/keys")));
    shell.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell.window));
    QVERIFY(loaded.wait(15000));
    shell.window.activateWindow();
    js(shell.view->page(), QStringLiteral("var f = document.getElementById('field'); f.focus(); f.setSelectionRange(3, 3);"));
    QTRY_VERIFY(shell.view->focusProxy() && shell.view->focusProxy()->hasFocus());
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.hasFocus()")).toBool());

    QTest::keyClick(shell.view->focusProxy(), Qt::Key(key));
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("window.keylog.join(',')")).toString().contains(domKey));
    QCOMPARE(js(shell.view->page(), QStringLiteral("document.getElementById('field').value")).toString(), valueAfter);
    QCOMPARE(js(shell.view->page(), QStringLiteral("document.getElementById('field').selectionStart")).toInt(), caretAfter);
    QCOMPARE(stolen, 0);
}

void tst_TEmbeddedWB::backspaceOutsideFieldStaysOnPage()
{
    FixtureServer server;
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(server.url());
    shell.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell.window));
    QVERIFY(loaded.wait(15000));
    shell.view->load(server.url(QStringLiteral("/keys")));
    QVERIFY(loaded.wait(15000));
    QVERIFY(shell.view->history()->canGoBack());
    js(shell.view->page(), QStringLiteral("document.activeElement.blur()"));
    shell.view->setFocus();
    QTRY_VERIFY(shell.view->focusProxy() && shell.view->focusProxy()->hasFocus());

    QSignalSpy started(shell.view, &QWebEngineView::loadStarted);
    for (const auto mods : {Qt::NoModifier, Qt::ShiftModifier, Qt::AltModifier})
        QTest::keyClick(shell.view->focusProxy(), Qt::Key_Backspace, mods);
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("window.keylog.filter(k => k === 'Backspace').length")).toInt(), 3);
    QVERIFY(!started.wait(300));
    QCOMPARE(shell.view->url(), server.url(QStringLiteral("/keys")));
}

void tst_TEmbeddedWB::pageFocusTakesTypingWithoutClick()
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (QGuiApplication::platformName() != u"xcb" || xdotool.isEmpty())
        QSKIP("needs an X display and xdotool for real key input");
    FixtureServer server;
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(server.url());
    shell.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell.window));
    QVERIFY(loaded.wait(15000));
    shell.window.activateWindow();
    // The login page focuses its user-name field itself; no click is made anywhere.
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.hasFocus() && document.activeElement.id === 'user'")).toBool());
    QTRY_VERIFY(QApplication::focusWidget() && shell.view->isAncestorOf(QApplication::focusWidget()));

    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), QStringLiteral("lab1")}), 0);
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("document.getElementById('user').value")).toString(), u"lab1"_qs);
}

void tst_TEmbeddedWB::unreachableStartPageLeavesViewUsable()
{
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    const QUrl nowhere(QStringLiteral("http://127.0.0.1:%1/DemoQuorLims").arg(closedPort()));
    shell.view->Navigate2(nowhere);
    shell.window.show();
    QVERIFY(loaded.wait(15000));
    QCOMPARE(loaded.takeFirst().first().toBool(), false);
    QVERIFY(shell.window.isVisible());

    FixtureServer server;
    shell.view->load(server.url());
    QVERIFY(loaded.wait(15000));
    QCOMPARE(loaded.takeFirst().first().toBool(), true);
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("document.getElementById('user') !== null")).toBool(), true);
}

QTEST_MAIN(tst_TEmbeddedWB)
#include "tst_tembeddedwb.moc"
