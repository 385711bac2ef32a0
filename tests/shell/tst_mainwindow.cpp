#include <functional>

#include <QProcess>
#include <QResizeEvent>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QtTest>

#include "Main_Frm.h"
#include "apptitle.h"
#include "errorbox.h"
#include "tembeddedwb.h"

using namespace Qt::StringLiterals;

namespace {

// Nothing listens on the discard port: the start page cannot be reached.
const QUrl unreachable(u"http://127.0.0.1:9/DemoQuorLims"_s);

// Reports every size a widget takes.
class ResizeWatch final : public QObject
{
public:
    explicit ResizeWatch(std::function<void(QSize)> onResize)
        : m_onResize(std::move(onResize))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_onResize(static_cast<QResizeEvent *>(event)->size());
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QSize)> m_onResize;
};

} // namespace

// The main window on a real X server with a window manager.
class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void startPageRequestedBeforeFirstShow();
    void restoreGivesLayoutBoundsAndMinimumHolds();
};

void TestMainWindow::startPageRequestedBeforeFirstShow()
{
    TForm_Main window(unreachable);
    QSignalSpy started(window.webBrowser(), &QWebEngineView::loadStarted);
    QCOMPARE(window.windowTitle(), applicationTitle());
    QVERIFY(started.count() > 0 || started.wait());
    QVERIFY(!window.isVisible());
    QCOMPARE(started.count(), 1);
    QCOMPARE(window.webBrowser()->page()->requestedUrl(), unreachable);
}

void TestMainWindow::restoreGivesLayoutBoundsAndMinimumHolds()
{
    TForm_Main window(unreachable);
    window.showAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.isMaximized());
    QVERIFY(window.width() > 1024);

    window.showNormal();
    QTRY_COMPARE(window.size(), QSize(1024, 768));
    QTRY_COMPARE(window.pos(), QPoint(193, 106));

    // Ask the window manager itself for a smaller window, as a drag on the border would, then
    // for a larger one: the window manager handles them in order, so once the second has arrived
    // the first has had its effect, which the smallest size seen tells.
    QSize smallest = window.size();
    ResizeWatch watch([&](QSize size) { smallest = smallest.boundedTo(size); });
    window.installEventFilter(&watch);
    const QString id = QString::number(window.winId());
    QCOMPARE(QProcess::execute(u"xdotool"_s, {u"windowsize"_s, id, u"600"_s, u"400"_s}), 0);
    QCOMPARE(QProcess::execute(u"xdotool"_s, {u"windowsize"_s, id, u"1100"_s, u"800"_s}), 0);
    QTRY_COMPARE(window.size(), QSize(1100, 800));
    QCOMPARE(smallest, QSize(1024, 768));
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
