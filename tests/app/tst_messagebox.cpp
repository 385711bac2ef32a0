#include <algorithm>
#include <stdexcept>

#include <QPointer>
#include <QtTest>

#include "Unit_MessageBox.h"
#include "modalhelper.h"
#include "trzbitbtn.h"
#include "trzlabel.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<KeyStroke>)

namespace {

QString focusedName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Reserves a frame and caption inside every confirmation dialog, as a skin does when it polishes one.
class FrameReserver final : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Polish && qobject_cast<TForm_MessageBox *>(watched))
            static_cast<QWidget *>(watched)->setContentsMargins(4, 30, 4, 4);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// The exit confirmation dialog and AskConfirm, on the real dialog.
class TestMessageBox final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void keys_data();
    void keys();
    void closingTheWindowAnswersNo();
    void clientAreaKeepsItsSizeInsideAReservedFrame();
    void placement_data();
    void placement();

    void everyCallBuildsAFreshDialog();
    void secondRequestWhileUpIsRefused();
    void exceptionStillDestroysTheDialog();
    // Last: once the application has been told to end, no further event loop runs.
    void applicationEndingAnswersNo();
};

void TestMessageBox::cleanup()
{
    QCOMPARE(Form_MessageBox, nullptr);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        QVERIFY2(!qobject_cast<TForm_MessageBox *>(window), "a dialog outlived its call");
}

void TestMessageBox::keys_data()
{
    QTest::addColumn<QList<KeyStroke>>("keys");
    QTest::addColumn<int>("result");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("Enter at once") << QList<KeyStroke>{{Qt::Key_Return}} << 2;
    QTest::newRow("keypad Enter at once")
        << QList<KeyStroke>{{Qt::Key_Enter, Qt::KeypadModifier}} << 2;
    QTest::newRow("Shift+Enter") << QList<KeyStroke>{{Qt::Key_Return, Qt::ShiftModifier}} << 1;
    QTest::newRow("Ctrl+Enter") << QList<KeyStroke>{{Qt::Key_Return, Qt::ControlModifier}} << 1;
    QTest::newRow("Alt+Enter") << QList<KeyStroke>{{Qt::Key_Return, Qt::AltModifier}} << 1;
    QTest::newRow("Tab, Ctrl+Enter on OK")
        << QList<KeyStroke>{{Qt::Key_Tab}, {Qt::Key_Return, Qt::ControlModifier}} << 1;
    QTest::newRow("Escape") << QList<KeyStroke>{{Qt::Key_Escape}} << 2;
    QTest::newRow("Tab, Shift+Escape")
        << QList<KeyStroke>{{Qt::Key_Tab}, {Qt::Key_Escape, Qt::ShiftModifier}} << 2;
    QTest::newRow("Tab, Enter") << QList<KeyStroke>{{Qt::Key_Tab}, {Qt::Key_Return}} << 1;
    QTest::newRow("Tab, Space") << QList<KeyStroke>{{Qt::Key_Tab}, {Qt::Key_Space}} << 1;
    QTest::newRow("Space at once") << QList<KeyStroke>{{Qt::Key_Space}} << 2;
    QTest::newRow("Tab, Tab, Enter (wraps)")
        << QList<KeyStroke>{{Qt::Key_Tab}, {Qt::Key_Tab}, {Qt::Key_Return}} << 2;
    QTest::newRow("Shift+Tab, Enter (wraps back)")
        << QList<KeyStroke>{{Qt::Key_Backtab, Qt::ShiftModifier}, {Qt::Key_Return}} << 1;
    QTest::newRow("Right, Enter") << QList<KeyStroke>{{Qt::Key_Right}, {Qt::Key_Return}} << 1;
    QTest::newRow("Down, Enter") << QList<KeyStroke>{{Qt::Key_Down}, {Qt::Key_Return}} << 1;
    QTest::newRow("Left, Enter (wraps back)")
        << QList<KeyStroke>{{Qt::Key_Left}, {Qt::Key_Return}} << 1;
    QTest::newRow("Up, Up, Enter")
        << QList<KeyStroke>{{Qt::Key_Up}, {Qt::Key_Up}, {Qt::Key_Return}} << 2;
    QTest::newRow("Right, Left, Space")
        << QList<KeyStroke>{{Qt::Key_Right}, {Qt::Key_Left, none}, {Qt::Key_Space}} << 2;
}

void TestMessageBox::keys()
{
    QFETCH(QList<KeyStroke>, keys);
    QFETCH(int, result);

    TForm_MessageBox dialog;
    dialog.setMessage(u"确认退出系统？"_s);
    QString firstFocus;
    whenModal([&](QWidget *modal) {
        firstFocus = focusedName();
        typeKeys(modal, keys);
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(firstFocus, u"RzBitBtn_Cancel"_s);
    QVERIFY(!dialog.isVisible());
}

void TestMessageBox::closingTheWindowAnswersNo()
{
    for (const bool throughPlatform : {false, true}) {
        TForm_MessageBox dialog;
        whenModal([&](QWidget *modal) {
            typeKeys(modal, {{Qt::Key_Tab}});
            if (throughPlatform)
                modal->windowHandle()->close();
            else
                modal->close();
        });
        QCOMPARE(dialog.exec(), 2);
    }
}

void TestMessageBox::clientAreaKeepsItsSizeInsideAReservedFrame()
{
    FrameReserver reserver;
    qApp->installEventFilter(&reserver);
    TForm_MessageBox dialog;
    QSize shownSize;
    QPoint tipAt;
    QSize tipSize;
    bool glyphsLoaded = false;
    whenModal([&](QWidget *modal) {
        shownSize = modal->size();
        const auto buttons = modal->findChildren<TRzBitBtn *>();
        glyphsLoaded = buttons.size() == 2
            && std::all_of(buttons.begin(), buttons.end(), [](TRzBitBtn *button) {
                   return !button->icon().pixmap(16, 16, QIcon::Disabled).isNull()
                       && button->glyph().size() == QSize(32, 16);
               });
        const auto *tip = modal->findChild<TRzLabel *>(u"Label_Tip"_s);
        tipAt = tip->mapTo(modal, QPoint(0, 0));
        tipSize = tip->size();
        modal->close();
    });
    dialog.exec();
    qApp->removeEventFilter(&reserver);
    QCOMPARE(shownSize, QSize(342 + 8, 173 + 34));
    QCOMPARE(tipAt, QPoint(21 + 4, 30 + 30));
    QCOMPARE(tipSize, QSize(300, 75));
    QVERIFY(glyphsLoaded);
}

void TestMessageBox::placement_data()
{
    QTest::addColumn<QRect>("primary");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QPoint>("expected");

    const QRect hd(0, 0, 1920, 1080);
    // The dialog is 350x200 in every row.
    QTest::newRow("one screen") << hd << QList<QRect>{hd} << QPoint(785, 440);
    QTest::newRow("second screen right: centred across the desktop")
        << hd << QList<QRect>{hd, QRect(1920, 0, 1920, 1080)} << QPoint(1745, 440);
    QTest::newRow("taller second screen right")
        << hd << QList<QRect>{hd, QRect(1920, 0, 1280, 1440)} << QPoint(1425, 620);
    QTest::newRow("screen left of the primary: centred on the primary")
        << QRect(1920, 0, 1920, 1080) << QList<QRect>{hd, QRect(1920, 0, 1920, 1080)}
        << QPoint(1920 + 785, 440);
    QTest::newRow("screen left of the primary, negative coordinates")
        << hd << QList<QRect>{QRect(-1920, 0, 1920, 1080), hd} << QPoint(785, 440);
    QTest::newRow("screen above the primary")
        << QRect(0, 1080, 1920, 1080) << QList<QRect>{hd, QRect(0, 1080, 1920, 1080)}
        << QPoint(785, 1080 + 440);
    QTest::newRow("narrower screen left, rule still lands on the primary")
        << QRect(1280, 0, 1920, 1080) << QList<QRect>{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)}
        << QPoint(1280 + 1425, 440);
    QTest::newRow("screen smaller than the dialog: top left, never negative")
        << QRect(0, 0, 300, 150) << QList<QRect>{QRect(0, 0, 300, 150)} << QPoint(0, 0);
}

void TestMessageBox::placement()
{
    QFETCH(QRect, primary);
    QFETCH(QList<QRect>, screens);
    QFETCH(QPoint, expected);
    QCOMPARE(dialogPlacement(QSize(350, 200), primary, screens), expected);
}

void TestMessageBox::everyCallBuildsAFreshDialog()
{
    QPointer<QWidget> first;
    whenModal([&](QWidget *modal) {
        first = modal;
        QCOMPARE(modal, Form_MessageBox);
        QCOMPARE(modal->findChild<TRzLabel *>(u"Label_Tip"_s)->text(), u"第一个问题"_s);
        typeKeys(modal, {{Qt::Key_Tab}, {Qt::Key_Escape}});
    });
    QVERIFY(!AskConfirm(u"第一个问题"_s));
    QVERIFY(first.isNull());
    QCOMPARE(Form_MessageBox, nullptr);

    QString focusAtStart;
    QString text;
    whenModal([&](QWidget *modal) {
        focusAtStart = focusedName();
        text = modal->findChild<TRzLabel *>(u"Label_Tip"_s)->text();
        typeKeys(modal, {{Qt::Key_Tab}, {Qt::Key_Return}});
    });
    QVERIFY(AskConfirm(u"第二个问题"_s));
    QCOMPARE(focusAtStart, u"RzBitBtn_Cancel"_s);
    QCOMPARE(text, u"第二个问题"_s);
}

void TestMessageBox::secondRequestWhileUpIsRefused()
{
    bool secondAnswer = true;
    bool stillUp = false;
    QString focusAfter;
    whenModal([&](QWidget *modal) {
        typeKeys(modal, {{Qt::Key_Tab}});
        QPointer<QWidget> inUse = modal;
        secondAnswer = AskConfirm(u"确认退出系统？"_s);
        stillUp = inUse && inUse->isVisible() && Form_MessageBox == inUse
                  && QApplication::activeModalWidget() == inUse;
        focusAfter = focusedName();
        typeKeys(modal, {{Qt::Key_Return}});
    });
    QVERIFY(AskConfirm(u"确认退出系统？"_s));
    QVERIFY(!secondAnswer);
    QVERIFY(stillUp);
    QCOMPARE(focusAfter, u"RzBitBtn_Ok"_s);
}

void TestMessageBox::exceptionStillDestroysTheDialog()
{
    QPointer<QWidget> dialog;
    whenModal([&](QWidget *modal) {
        dialog = modal;
        throw std::runtime_error("failure inside the dialog's loop");
    });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, AskConfirm(u"确认退出系统？"_s));
    QVERIFY(dialog.isNull());
    QCOMPARE(Form_MessageBox, nullptr);
}

void TestMessageBox::applicationEndingAnswersNo()
{
    TForm_MessageBox dialog;
    whenModal([](QWidget *modal) {
        typeKeys(modal, {{Qt::Key_Tab}});
        QCoreApplication::exit(0);
    });
    QCOMPARE(dialog.exec(), 2);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
