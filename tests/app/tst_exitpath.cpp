#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Runs xdotool and returns its output lines; empty when it fails.
QStringList xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(u"xdotool"_s, arguments);
    if (!tool.waitForFinished(5000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// The program's shown top-level windows: under a reparenting window manager they sit in a frame
// right below the root; child windows with a window of their own lie deeper.
QStringList visibleWindows(qint64 pid)
{
    return xdotool({u"search"_s, u"--onlyvisible"_s, u"--maxdepth"_s, u"2"_s, u"--pid"_s,
                    QString::number(pid)});
}

} // namespace

// The whole program under a window manager, driven by real key presses: Alt+F4 asks, Enter at
// once keeps the program, Alt+F4, Tab, Enter ends it with status 0.
class TestExitPath final : public QObject
{
    Q_OBJECT

private slots:
    void altF4AsksAndOnlyYesEndsTheProgram();
};

void TestExitPath::altF4AsksAndOnlyYesEndsTheProgram()
{
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(PROGRAM_PATH), {});
    QVERIFY(program.waitForStarted());
    const qint64 pid = program.processId();

    QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(pid).size(), 1, 20000);
    const QString mainWindow = visibleWindows(pid).constFirst();
    QVERIFY(!xdotool({u"windowactivate"_s, u"--sync"_s, mainWindow}).isEmpty()
            || xdotool({u"getactivewindow"_s}).value(0) == mainWindow);

    xdotool({u"key"_s, u"alt+F4"_s});
    QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(pid).size(), 2, 10000);
    QString dialog;
    for (const QString &window : visibleWindows(pid)) {
        if (window != mainWindow)
            dialog = window;
    }
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({u"getactivewindow"_s}).value(0), dialog, 5000);
    // Centred on the screen (a window manager's caption may shift it down a little).
    const QStringList screen = xdotool({u"getdisplaygeometry"_s}).value(0).split(u' ');
    QStringList shell = xdotool({u"getwindowgeometry"_s, u"--shell"_s, dialog});
    QMap<QString, int> at;
    for (const QString &line : std::as_const(shell))
        at.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
    const int centreX = at.value(u"X"_s) + at.value(u"WIDTH"_s) / 2;
    const int centreY = at.value(u"Y"_s) + at.value(u"HEIGHT"_s) / 2;
    QVERIFY2(qAbs(centreX - screen.value(0).toInt() / 2) <= 2, qPrintable(shell.join(u' ')));
    QVERIFY2(qAbs(centreY - screen.value(1).toInt() / 2) <= 25, qPrintable(shell.join(u' ')));

    xdotool({u"key"_s, u"Return"_s});
    QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(pid).size(), 1, 10000);
    QCOMPARE(program.state(), QProcess::Running);

    QTRY_COMPARE_WITH_TIMEOUT(xdotool({u"getactivewindow"_s}).value(0), mainWindow, 5000);
    xdotool({u"key"_s, u"alt+F4"_s});
    QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(pid).size(), 2, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({u"getactivewindow"_s}).value(0) != mainWindow, 5000);
    xdotool({u"key"_s, u"Tab"_s, u"Return"_s});
    QVERIFY(program.waitForFinished(15000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestExitPath)
#include "tst_exitpath.moc"
