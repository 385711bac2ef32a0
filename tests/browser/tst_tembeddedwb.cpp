#include <QLineEdit>
#include <QPdfDocument>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QMessageBox>
#include <QCloseEvent>
#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QFileDialog>

#include <csignal>
#include <sys/types.h>
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
#include "findbar.h"
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
    void signInSurvivesRestart();
    void accelerators_data();
    void accelerators();
    void failuresRecoverWithF5_data();
    void failuresRecoverWithF5();
    void pageFullScreenRequestAndEscape();
    void hungPageLetsCloseQueryAnswer();
    void printsAsSeenOrSavesPdf();
};

namespace {

enum class Effect { Reloaded, WentBack, WentForward, Stopped, FindBarOpen, PrintPreview, ZoomedIn, ZoomedOut, ZoomReset, FullScreenAndBack, KeptByPage };

// Real X key input where the display allows it, else Qt key events to the page's focus proxy.
void pressKey(TEmbeddedWB *view, const QString &xdotoolName, Qt::Key key, Qt::KeyboardModifiers mods)
{
    static const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (QGuiApplication::platformName() == u"xcb" && !xdotool.isEmpty() && view->window()->isActiveWindow()) {
        QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("key"), xdotoolName}), 0);
        return;
    }
    QTest::keyClick(view->focusProxy() ? view->focusProxy() : static_cast<QWidget *>(view), key, mods);
}

void focusPageBody(Shell &shell)
{
    js(shell.view->page(), QStringLiteral("document.activeElement && document.activeElement.blur()"));
    shell.window.activateWindow();
    shell.view->setFocus();
    QTRY_VERIFY(shell.window.isActiveWindow());
    QTRY_VERIFY(shell.view->focusProxy() && shell.view->focusProxy()->hasFocus());
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.hasFocus()")).toBool());
    // Until the engine has settled its own focus, keys pass the page by; wait until a harmless
    // one arrives.
    js(shell.view->page(), QStringLiteral("window.probe = 0; document.addEventListener('keydown', e => { if (e.key === 'Shift') ++window.probe; })"));
    QTRY_VERIFY((QTest::keyClick(shell.view->focusProxy(), Qt::Key_Shift),
                 js(shell.view->page(), QStringLiteral("window.probe")).toInt() > 0));
}

} // namespace

Q_DECLARE_METATYPE(Effect)


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

void tst_TEmbeddedWB::signInSurvivesRestart()
{
    FixtureServer server;
    QTemporaryDir home; // a fresh profile folder for the two program starts
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    auto run = [&env](const QStringList &args) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(LIMS_SIGNIN_HOLDER), args);
        if (!program.waitForFinished(30000)) {
            program.kill();
            program.waitForFinished();
        }
        return QString::fromUtf8(program.readAllStandardOutput()).trimmed();
    };
    const QString signedIn = run({QStringLiteral("signin"), server.url().toString(), QStringLiteral("化验员")});
    QCOMPARE(signedIn, u"当前用户：化验员"_qs);
    QVERIFY(QFileInfo(home.filePath(QStringLiteral("data/QuorLimsDemoSignInTest/QtWebEngine/QuorLims"))).isDir());
    // A new start of the program: the server still knows the user by the stored cookie.
    const QString again = run({QStringLiteral("whoami"), server.url(QStringLiteral("/whoami")).toString()});
    QCOMPARE(again, u"当前用户：化验员"_qs);
}

void tst_TEmbeddedWB::accelerators_data()
{
    QTest::addColumn<QString>("xkey");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Effect>("effect");

    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    const QString keys = QStringLiteral("/keys"), consume = QStringLiteral("/consume");
    QTest::newRow("F5") << u"F5"_qs << int(Qt::Key_F5) << none << keys << Effect::Reloaded;
    QTest::newRow("Ctrl+R") << u"ctrl+r"_qs << int(Qt::Key_R) << ctrl << keys << Effect::Reloaded;
    QTest::newRow("Ctrl+F5") << u"ctrl+F5"_qs << int(Qt::Key_F5) << ctrl << keys << Effect::Reloaded;
    QTest::newRow("Alt+Left") << u"alt+Left"_qs << int(Qt::Key_Left) << alt << keys << Effect::WentBack;
    QTest::newRow("Alt+Right") << u"alt+Right"_qs << int(Qt::Key_Right) << alt << keys << Effect::WentForward;
    QTest::newRow("Escape") << u"Escape"_qs << int(Qt::Key_Escape) << none << keys << Effect::Stopped;
    QTest::newRow("Ctrl+F") << u"ctrl+f"_qs << int(Qt::Key_F) << ctrl << keys << Effect::FindBarOpen;
    QTest::newRow("Ctrl+P") << u"ctrl+p"_qs << int(Qt::Key_P) << ctrl << keys << Effect::PrintPreview;
    QTest::newRow("Ctrl+plus") << u"ctrl+plus"_qs << int(Qt::Key_Plus) << (ctrl | Qt::ShiftModifier) << keys << Effect::ZoomedIn;
    QTest::newRow("Ctrl+minus") << u"ctrl+minus"_qs << int(Qt::Key_Minus) << ctrl << keys << Effect::ZoomedOut;
    QTest::newRow("Ctrl+0") << u"ctrl+0"_qs << int(Qt::Key_0) << ctrl << keys << Effect::ZoomReset;
    QTest::newRow("F11, Escape") << u"F11"_qs << int(Qt::Key_F11) << none << keys << Effect::FullScreenAndBack;
    QTest::newRow("F5 the page takes") << u"F5"_qs << int(Qt::Key_F5) << none << consume << Effect::KeptByPage;
    QTest::newRow("Ctrl+F the page takes") << u"ctrl+f"_qs << int(Qt::Key_F) << ctrl << consume << Effect::KeptByPage;
}

void tst_TEmbeddedWB::accelerators()
{
    QFETCH(QString, xkey);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(QString, path);
    QFETCH(Effect, effect);

    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/register"))));
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->load(server.url(path));
    QVERIFY(loaded.wait(15000));
    loaded.clear();
    if (effect == Effect::WentForward) {
        shell.view->back();
        QVERIFY(loaded.wait(15000));
        loaded.clear();
    }
    if (effect == Effect::ZoomReset)
        shell.view->setZoomFactor(1.5);
    focusPageBody(shell);
    QSignalSpy started(shell.view, &QWebEngineView::loadStarted);
    if (effect == Effect::Stopped) {
        shell.view->load(server.url(QStringLiteral("/slow?ms=8000")));
        QVERIFY(started.wait(5000));
        loaded.clear();
    }
    bool sawPreview = false;
    if (effect == Effect::PrintPreview) {
        whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *dialog) {
            sawPreview = true;
            dialog->reject();
        });
    }

    pressKey(shell.view, xkey, Qt::Key(key), mods);

    switch (effect) {
    case Effect::Reloaded:
        QTRY_COMPARE(server.requestCount(path), 2);
        QTRY_COMPARE(loaded.size(), 1);
        break;
    case Effect::WentBack:
        QTRY_COMPARE(shell.view->url(), server.url(QStringLiteral("/register")));
        break;
    case Effect::WentForward:
        QTRY_COMPARE(shell.view->url(), server.url(path));
        break;
    case Effect::Stopped:
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, 4000); // long before the server answers
        QCOMPARE(loaded.first().first().toBool(), false);
        break;
    case Effect::FindBarOpen:
        QTRY_VERIFY(shell.view->findBar() && shell.view->findBar()->isVisible());
        QTRY_VERIFY(shell.view->findBar()->field()->hasFocus());
        QTest::keyClicks(shell.view->findBar()->field(), QStringLiteral("abc"));
        QTest::keyClick(shell.view->findBar()->field(), Qt::Key_Escape);
        QVERIFY(!shell.view->findBar()->isVisible());
        break;
    case Effect::PrintPreview:
        QTRY_VERIFY(sawPreview);
        QTRY_VERIFY(!shell.view->isPrinting());
        break;
    case Effect::ZoomedIn:
        QTRY_VERIFY(shell.view->zoomFactor() > 1.05);
        break;
    case Effect::ZoomedOut:
        QTRY_VERIFY(shell.view->zoomFactor() < 0.95);
        break;
    case Effect::ZoomReset:
        QTRY_COMPARE(shell.view->zoomFactor(), 1.0);
        break;
    case Effect::FullScreenAndBack:
        QTRY_VERIFY(shell.window.isFullScreen());
        focusPageBody(shell);
        pressKey(shell.view, QStringLiteral("Escape"), Qt::Key_Escape, Qt::NoModifier);
        QTRY_VERIFY(!shell.window.isFullScreen());
        break;
    case Effect::KeptByPage:
        QTRY_COMPARE(js(shell.view->page(), QStringLiteral("window.consumed.length")).toInt(), 1);
        QVERIFY(!started.wait(500));
        QCOMPARE(server.requestCount(path), 1);
        QVERIFY(!shell.view->findBar() || !shell.view->findBar()->isVisible());
        break;
    }
}

void tst_TEmbeddedWB::failuresRecoverWithF5_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("server unreachable") << u"unreachable"_qs;
    QTest::newRow("HTTP 500") << u"500"_qs;
    QTest::newRow("renderer killed") << u"killed"_qs;
}

void tst_TEmbeddedWB::failuresRecoverWithF5()
{
    QFETCH(QString, failure);
    const quint16 port = closedPort();
    std::unique_ptr<FixtureServer> server;
    if (failure != u"unreachable")
        server = std::make_unique<FixtureServer>();
    const QUrl url = failure == u"unreachable" ? QUrl(QStringLiteral("http://127.0.0.1:%1/DemoQuorLims").arg(port))
        : failure == u"500" ? server->url(QStringLiteral("/status?code=500"))
                            : server->url(QStringLiteral("/keys"));
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(url);
    shell.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell.window));
    QVERIFY(loaded.wait(15000));
    const QString pageText = js(shell.view->page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();

    if (failure == u"unreachable") {
        QCOMPARE(loaded.first().first().toBool(), false);
        QVERIFY2(pageText.contains(u"ERR_CONNECTION_REFUSED"), qPrintable(pageText)); // the engine's error page
        server = std::make_unique<FixtureServer>(QStringList{QStringLiteral("--port"), QString::number(port)});
        QVERIFY(server->isRunning());
    } else if (failure == u"500") {
        QVERIFY2(pageText.contains(u"500"), qPrintable(pageText));
    } else {
        const qint64 pid = shell.view->page()->renderProcessPid();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_VERIFY(shell.view->rendererGoneNotice() && shell.view->rendererGoneNotice()->isVisible());
        QCOMPARE(shell.view->rendererGoneNotice()->geometry(), shell.view->rect());
        QVERIFY(shell.view->rendererGoneNotice()->findChild<QLabel *>()->text().contains(u"渲染进程"));
    }
    loaded.clear();
    shell.window.activateWindow();
    QTRY_VERIFY(shell.window.isActiveWindow());
    if (failure != u"killed")
        focusPageBody(shell);
    pressKey(shell.view, QStringLiteral("F5"), Qt::Key_F5, Qt::NoModifier);
    QVERIFY(loaded.wait(15000));
    QCOMPARE(loaded.last().first().toBool(), failure != u"500"); // an HTTP error stays a failed load
    if (failure == u"unreachable")
        QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.getElementById('user') !== null")).toBool());
    else if (failure == u"500")
        QTRY_COMPARE(server->requestCount(QStringLiteral("/status?code=500")), 2);
    else {
        QVERIFY(!shell.view->rendererGoneNotice()->isVisible());
        QTRY_VERIFY(js(shell.view->page(), QStringLiteral("Array.isArray(window.keylog)")).toBool());
        QCOMPARE(server->requestCount(QStringLiteral("/keys")), 2);
    }
}

void tst_TEmbeddedWB::pageFullScreenRequestAndEscape()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/fullscreen"))));
    focusPageBody(shell);
    clickElement(shell.view, QStringLiteral("box"));
    QTRY_VERIFY(shell.window.isFullScreen());
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.fullscreenElement !== null")).toBool());
    pressKey(shell.view, QStringLiteral("Escape"), Qt::Key_Escape, Qt::NoModifier);
    QTRY_VERIFY(!shell.window.isFullScreen());
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.fullscreenElement === null")).toBool());
}

// A window whose close asks first, as the program's main window does.
class AskingWindow : public QMainWindow
{
public:
    int asked = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++asked;
        if (QMessageBox::question(this, testWindowTitle(), QStringLiteral("确认退出系统？")) == QMessageBox::Yes)
            event->accept();
        else
            event->ignore();
    }
};

void tst_TEmbeddedWB::hungPageLetsCloseQueryAnswer()
{
    FixtureServer server;
    auto *window = new AskingWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<AskingWindow> guard(window);
    auto *view = new TEmbeddedWB(window);
    window->setCentralWidget(view);
    window->resize(800, 600);
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    view->Navigate2(server.url(QStringLiteral("/hang")));
    window->show();
    QVERIFY(loaded.wait(15000));
    // The page's script now runs for ever: a script call never answers.
    QTRY_VERIFY(!evalJs(view->page(), QStringLiteral("1"), 1000).has_value());

    whenModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    QElapsedTimer clock;
    clock.start();
    QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
    QTRY_VERIFY(!guard);
    qInfo("close query answered and window gone after %lld ms", clock.elapsed());
}

void tst_TEmbeddedWB::printsAsSeenOrSavesPdf()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/print"))));
    QTemporaryDir dir;
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    const QString saved = dir.filePath(QStringLiteral("saved.pdf"));
    int previews = 0;

    // "Save as PDF" in the preview: the engine's own PDF, text kept.
    auto savedLoads = [&saved] {
        QPdfDocument pdf;
        return pdf.load(saved) == QPdfDocument::Error::None && pdf.pageCount() > 0;
    };
    bool printingWhileOpen = false;
    whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        ++previews;
        printingWhileOpen = shell.view->isPrinting();
        whenModal<QFileDialog>([&](QFileDialog *files) {
            chooseFile(files, saved);
        });
        preview->findChild<QAction *>(QStringLiteral("SaveAsPdf"))->trigger();
        whenReady(savedLoads, [preview] { preview->close(); });
    });
    shell.view->page()->runJavaScript(QStringLiteral("window.print()"));
    QTRY_VERIFY_WITH_TIMEOUT(previews == 1 && !shell.view->isPrinting() && savedLoads(), 30000);
    QVERIFY(printingWhileOpen);
    QPdfDocument savedPdf;
    QCOMPARE(savedPdf.load(saved), QPdfDocument::Error::None);
    QVERIFY(savedPdf.getAllText(0).text().contains(u"QLREPORT"));

    // Printing, with a PDF printer in place of paper. A second print request while the first
    // runs opens no second preview.
    whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        ++previews;
        shell.view->page()->runJavaScript(QStringLiteral("window.print()"));
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(printed);
        whenModal<QPrintDialog>([](QPrintDialog *dialog) { dialog->accept(); });
        for (QAction *action : preview->findChildren<QAction *>()) {
            if (action->text() == QPrintPreviewDialog::tr("Print")) {
                action->trigger();
                break;
            }
        }
    });
    QTest::keyClick(shell.view->focusProxy(), Qt::Key_P, Qt::ControlModifier);
    QPdfDocument printedPdf;
    QTRY_VERIFY_WITH_TIMEOUT(previews == 2 && !shell.view->isPrinting() && printedPdf.load(printed) == QPdfDocument::Error::None, 30000);
    QCOMPARE(previews, 2);
    QVERIFY(printedPdf.pageCount() >= 1);
    // Printed as seen: the heading's yellow background is on the paper.
    const QImage page = printedPdf.render(0, QSize(600, 850));
    bool yellow = false;
    for (int y = 0; y < page.height() && !yellow; y += 2)
        for (int x = 0; x < page.width() && !yellow; x += 2) {
            const QColor c = page.pixelColor(x, y);
            yellow = c.red() > 230 && c.green() > 200 && c.blue() < 60;
        }
    QVERIFY(yellow);
}

QTEST_MAIN(tst_TEmbeddedWB)
#include "tst_tembeddedwb.moc"
