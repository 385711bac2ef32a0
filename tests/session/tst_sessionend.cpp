#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <QPointer>
#include <QtTest>

#include "../app/modalhelper.h"
#include "Main_Frm.h"
#include "Unit_MessageBox.h"
#include "errorbox.h"

using namespace Qt::StringLiterals;

namespace {

// The test's own session manager, a child process talking through two pipes.
class SessionManager
{
public:
    bool start()
    {
        int toChild[2];
        int fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            return false;
        m_pid = fork();
        if (m_pid < 0)
            return false;
        if (m_pid == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            close(toChild[1]);
            close(fromChild[0]);
            execl(SESSION_MANAGER_PROGRAM, SESSION_MANAGER_PROGRAM, static_cast<char *>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_in = toChild[1];
        m_out = fromChild[0];
        fcntl(m_out, F_SETFL, fcntl(m_out, F_GETFL) | O_NONBLOCK);
        // The address comes first; give the manager up to five seconds.
        for (int i = 0; i < 500; ++i) {
            readAvailable();
            if (!m_lines.isEmpty())
                break;
            usleep(10000);
        }
        const QString first = m_lines.isEmpty() ? QString() : m_lines.takeFirst();
        if (!first.startsWith(u"SESSION_MANAGER="_s))
            return false;
        m_address = first.mid(16);
        return true;
    }

    void stop()
    {
        if (m_pid <= 0)
            return;
        send("quit");
        close(m_in);
        for (int i = 0; i < 200; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid)
                return;
            usleep(10000);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }

    QString address() const { return m_address; }

    void send(const char *command)
    {
        const std::string line = std::string(command) + '\n';
        [[maybe_unused]] const auto written = write(m_in, line.data(), line.size());
    }

    // Everything the manager has reported so far.
    QStringList lines()
    {
        readAvailable();
        return m_lines;
    }
    void forget() { m_lines.clear(); }

private:
    void readAvailable()
    {
        char buffer[512];
        ssize_t got;
        while ((got = read(m_out, buffer, sizeof buffer)) > 0)
            m_pending.append(buffer, got);
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            m_lines << QString::fromUtf8(m_pending.left(end));
            m_pending.remove(0, end + 1);
        }
    }

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    QByteArray m_pending;
    QStringList m_lines;
    QString m_address;
};

SessionManager manager;

} // namespace

// A log-off or shut-down through a real XSMP session manager: the query is answered with the
// dialog; no refuses the session's end, yes lets it go ahead and the close that follows does
// not ask again.
class TestSessionEnd final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusedShutdownKeepsTheProgram();
    void shutdownWhileTheDialogIsUpIsRefusedAndLeavesIt();
    // Last: a consented shut-down ends the application.
    void consentedShutdownEndsWithoutAskingAgain();

private:
    std::unique_ptr<TForm_Main> m_window;
};

void TestSessionEnd::initTestCase()
{
    QTRY_VERIFY(manager.lines().contains(u"registered"_s));
    m_window = std::make_unique<TForm_Main>(QUrl(u"about:blank"_s));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestSessionEnd::refusedShutdownKeepsTheProgram()
{
    manager.forget();
    int asked = 0;
    whenModal([&](QWidget *modal) {
        ++asked;
        typeKeys(modal, {{Qt::Key_Tab}, {Qt::Key_Tab}, {Qt::Key_Return}});
    });
    manager.send("shutdown");
    QTRY_VERIFY_WITH_TIMEOUT(manager.lines().contains(u"shutdown-cancelled"_s), 10000);
    QTRY_VERIFY(manager.lines().filter(u"save-done"_s).size() == 1);
    QVERIFY(manager.lines().contains(u"interact-done cancel=1"_s));
    QVERIFY(!manager.lines().contains(u"die"_s));
    QCOMPARE(asked, 1);
    QCOMPARE(Form_MessageBox, nullptr);
    QVERIFY(m_window->isVisible());
}

void TestSessionEnd::shutdownWhileTheDialogIsUpIsRefusedAndLeavesIt()
{
    manager.forget();
    bool refused = false;
    bool sameDialogUp = false;
    whenModal([&](QWidget *modal) {
        QPointer<QWidget> inUse = modal;
        manager.send("shutdown");
        refused = QTest::qWaitFor([] { return manager.lines().contains(u"shutdown-cancelled"_s); }, 10000);
        sameDialogUp = inUse && inUse->isVisible() && QApplication::activeModalWidget() == inUse
                       && Form_MessageBox == inUse;
        typeKeys(modal, {{Qt::Key_Escape}});
    });
    QVERIFY(!m_window->close());
    QVERIFY(refused);
    QVERIFY(sameDialogUp);
    QVERIFY(manager.lines().contains(u"interact-done cancel=1"_s));
    QVERIFY(!manager.lines().contains(u"die"_s));
    QVERIFY(m_window->isVisible());
}

void TestSessionEnd::consentedShutdownEndsWithoutAskingAgain()
{
    manager.forget();
    int asked = 0;
    whenModal([&](QWidget *modal) {
        ++asked;
        typeKeys(modal, {{Qt::Key_Tab}, {Qt::Key_Return}});
        // Should the close that follows ask again, count it and answer no.
        whenModal([&](QWidget *again) {
            ++asked;
            typeKeys(again, {{Qt::Key_Escape}});
        });
    });
    manager.send("shutdown");
    QTRY_VERIFY_WITH_TIMEOUT(manager.lines().contains(u"die"_s), 10000);
    QVERIFY(manager.lines().contains(u"interact-done cancel=0"_s));
    QVERIFY(manager.lines().contains(u"save-done success=1"_s));
    // The manager's Die closes the windows; the main window goes without a second question.
    QTRY_VERIFY(!m_window->isVisible());
    QCOMPARE(asked, 1);
    QCOMPARE(Form_MessageBox, nullptr);
}

int main(int argc, char *argv[])
{
    if (!manager.start()) {
        std::fprintf(stderr, "the session manager did not start\n");
        return 1;
    }
    setenv("SESSION_MANAGER", manager.address().toLocal8Bit().constData(), 1);
    int status = 0;
    {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        TApplication app(argc, argv);
        TestSessionEnd test;
        status = QTest::qExec(&test, argc, argv);
    }
    manager.stop();
    return status;
}

#include "tst_sessionend.moc"
