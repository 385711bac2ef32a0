// Frames under a real X server and window manager, driven by real X input (xdotool).
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "captionbar.h"
#include "skinframe.h"
#include "skintestsupport.h"
#include "skintheme.h"

using namespace Qt::StringLiterals;

namespace {

// Runs one xdotool command chain while the event loop keeps going, so the program answers the
// presses and moves as they come (a system move starts on the first move after a press).
bool xdotool(const QStringList &args)
{
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(u"xdotool"_s, args);
    return finished.wait(10000) && process.exitCode() == 0;
}

QStringList moveTo(QPoint p)
{
    return {u"mousemove"_s, QString::number(p.x()), QString::number(p.y()), u"sleep"_s, u"0.05"_s};
}

// Presses at one global point, drags to another in steps and releases there. The first motion
// is one pixel to the right; the window manager follows the pointer from the first motion on or
// from the press, depending on when the program sees the press, so sizes may be one pixel off.
bool drag(QPoint from, QPoint to)
{
    QStringList args = moveTo(from) + QStringList{u"mousedown"_s, u"1"_s} + moveTo(from + QPoint(1, 0));
    for (int i = 1; i <= 5; ++i) {
        args += moveTo(from + (to - from) * i / 5);
    }
    return xdotool(args + QStringList{u"mouseup"_s, u"1"_s});
}

} // namespace

class tst_SkinX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void moveResizeMaximizeRestore();

private:
    TSkinData m_skin;
};

void tst_SkinX11::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb") {
        QSKIP("needs an X server");
    }
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty()) {
        QSKIP("needs xdotool");
    }
    QCOMPARE(m_skin.loadSkin(), SkinReadStatus::Ok);
}

void tst_SkinX11::moveResizeMaximizeRestore()
{
    QMainWindow window;
    window.setWindowTitle(u"实验室信息管理系统（LIMS）"_s);
    window.setStatusBar(new TStatusBar);
    window.setCentralWidget(new QWidget);
    window.setMinimumSize(600, 400);
    window.setGeometry(193, 106, 700, 500);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.geometry(), QRect(193, 106, 700, 500));
    const SkinTheme &theme = *m_skin.theme();
    auto *caption = window.findChild<CaptionBar *>();
    QVERIFY(caption);

    // Move by the caption.
    const QPoint grab = window.mapToGlobal(QPoint(200, theme.borderWidth + theme.captionHeight / 2));
    QVERIFY(drag(grab, grab + QPoint(61, 40)));
    QTRY_VERIFY((window.pos() - QPoint(253, 146)).manhattanLength() <= 1);
    QCOMPARE(window.size(), QSize(700, 500));

    // Resize by the right edge and by the bottom-right corner.
    const QPoint right = window.mapToGlobal(QPoint(window.width() - 2, 250));
    QVERIFY(drag(right, right + QPoint(81, 0)));
    QTRY_VERIFY(qAbs(window.width() - 780) <= 1);
    const QPoint corner = window.mapToGlobal(QPoint(window.width() - 2, window.height() - 2));
    const QSize before = window.size();
    QVERIFY(drag(corner, corner + QPoint(-29, 50)));
    QTRY_VERIFY(qAbs(window.width() - (before.width() - 30)) <= 1
                && qAbs(window.height() - (before.height() + 50)) <= 1);
    // Not below the minimum size.
    const QPoint bottom = window.mapToGlobal(QPoint(300, window.height() - 2));
    QVERIFY(drag(bottom, bottom + QPoint(0, -400)));
    QTRY_VERIFY(window.height() <= 410);
    QCOMPARE(window.height(), 400);
    const QRect normal = window.geometry();

    // Double click on the caption maximises; the panels' space (none here) is left alone.
    const QPoint title = window.mapToGlobal(QPoint(150, theme.borderWidth + theme.captionHeight / 2));
    QVERIFY(xdotool(moveTo(title) + QStringList{u"click"_s, u"--repeat"_s, u"2"_s, u"--delay"_s, u"60"_s, u"1"_s}));
    QTRY_VERIFY(window.isMaximized());
    QTRY_COMPARE(window.geometry(), window.screen()->availableGeometry());
    QCOMPARE(window.contentsMargins(), QMargins(0, theme.captionHeight, 0, 0)); // no border
    QVERIFY(caption->button(CaptionButtonKind::Restore)->isVisible());
    QCOMPARE(caption->button(CaptionButtonKind::Maximize)->objectName(), u"SkinCaptionRestore"_s);

    // The caption's restore button brings back the same bounds.
    CaptionButton *restore = caption->button(CaptionButtonKind::Restore);
    const QPoint restoreAt = restore->mapToGlobal(restore->rect().center());
    QVERIFY(xdotool(moveTo(restoreAt) + QStringList{u"click"_s, u"1"_s}));
    QTRY_VERIFY(!window.isMaximized());
    QTRY_COMPARE(window.geometry(), normal);
    const int b = theme.borderWidth;
    QCOMPARE(window.contentsMargins(), QMargins(b, b + theme.captionHeight, b, b));
}

QTEST_MAIN(tst_SkinX11)
#include "tst_skinx11.moc"
