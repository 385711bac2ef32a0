#include <QTest>

#include "hostsettings.h"
#include "keyrouting.h"

Q_DECLARE_METATYPE(BrowserAction)

class tst_KeyRouting : public QObject
{
    Q_OBJECT

private slots:
    void actionForKey_data();
    void actionForKey();
    void acceptLanguage_data();
    void acceptLanguage();
};

void tst_KeyRouting::actionForKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<bool>("reserved");
    QTest::addColumn<BrowserAction>("action");

    using M = Qt::KeyboardModifiers;
    const M none = Qt::NoModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
            shift = Qt::ShiftModifier, pad = Qt::KeypadModifier;
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << true << BrowserAction::None;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << pad << true << BrowserAction::None;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << true << BrowserAction::None;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << true << BrowserAction::None;
    QTest::newRow("Alt+Backspace is no Back") << int(Qt::Key_Backspace) << alt << true << BrowserAction::None;
    QTest::newRow("Left") << int(Qt::Key_Left) << none << true << BrowserAction::None;
    QTest::newRow("Shift+Right") << int(Qt::Key_Right) << shift << true << BrowserAction::None;
    QTest::newRow("Ctrl+Left") << int(Qt::Key_Left) << ctrl << true << BrowserAction::None;
    QTest::newRow("keypad Left") << int(Qt::Key_Left) << pad << false << BrowserAction::None;
    QTest::newRow("Up") << int(Qt::Key_Up) << none << false << BrowserAction::None;
    QTest::newRow("Alt+Left") << int(Qt::Key_Left) << alt << false << BrowserAction::Back;
    QTest::newRow("Alt+Right") << int(Qt::Key_Right) << alt << false << BrowserAction::Forward;
    QTest::newRow("F5") << int(Qt::Key_F5) << none << false << BrowserAction::Reload;
    QTest::newRow("Ctrl+R") << int(Qt::Key_R) << ctrl << false << BrowserAction::Reload;
    QTest::newRow("Ctrl+F5") << int(Qt::Key_F5) << ctrl << false << BrowserAction::ReloadBypassingCache;
    QTest::newRow("Ctrl+Shift+R") << int(Qt::Key_R) << (ctrl | shift) << false << BrowserAction::ReloadBypassingCache;
    QTest::newRow("Shift+F5") << int(Qt::Key_F5) << shift << false << BrowserAction::None;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << false << BrowserAction::Stop;
    QTest::newRow("Ctrl+F") << int(Qt::Key_F) << ctrl << false << BrowserAction::Find;
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << ctrl << false << BrowserAction::Print;
    QTest::newRow("Ctrl+Shift+P") << int(Qt::Key_P) << (ctrl | shift) << false << BrowserAction::None;
    QTest::newRow("Ctrl+plus (shifted)") << int(Qt::Key_Plus) << (ctrl | shift) << false << BrowserAction::ZoomIn;
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << ctrl << false << BrowserAction::ZoomIn;
    QTest::newRow("Ctrl+keypad plus") << int(Qt::Key_Plus) << (ctrl | pad) << false << BrowserAction::ZoomIn;
    QTest::newRow("Ctrl+minus") << int(Qt::Key_Minus) << ctrl << false << BrowserAction::ZoomOut;
    QTest::newRow("Ctrl+0") << int(Qt::Key_0) << ctrl << false << BrowserAction::ZoomReset;
    QTest::newRow("F11") << int(Qt::Key_F11) << none << false << BrowserAction::FullScreen;
    QTest::newRow("plain R") << int(Qt::Key_R) << none << false << BrowserAction::None;
    QTest::newRow("Ctrl+Alt+F") << int(Qt::Key_F) << (ctrl | alt) << false << BrowserAction::None;
}

void tst_KeyRouting::actionForKey()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(bool, reserved);
    QFETCH(BrowserAction, action);
    QCOMPARE(keyReservedForPage(key, mods), reserved);
    QCOMPARE(browserActionForKey(key, mods), action);
}

void tst_KeyRouting::acceptLanguage_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QString>("header");

    QTest::newRow("C locale") << QStringList{u"C"_qs} << u"zh-CN,zh;q=0.9,en;q=0.8"_qs;
    QTest::newRow("POSIX") << QStringList{u"POSIX"_qs} << u"zh-CN,zh;q=0.9,en;q=0.8"_qs;
    QTest::newRow("nothing") << QStringList{} << u"zh-CN,zh;q=0.9,en;q=0.8"_qs;
    QTest::newRow("zh_CN") << QStringList{u"zh_CN"_qs} << u"zh-CN,zh;q=0.9"_qs;
    QTest::newRow("Qt's zh list") << QStringList{u"zh-Hans-CN"_qs, u"zh-CN"_qs, u"zh"_qs}
                                  << u"zh-Hans-CN,zh;q=0.9,zh-CN;q=0.8"_qs;
    QTest::newRow("en then de") << QStringList{u"en-US"_qs, u"en"_qs, u"de-DE"_qs}
                                << u"en-US,en;q=0.9,de-DE;q=0.8,de;q=0.7"_qs;
    QTest::newRow("many stay positive")
        << QStringList{u"a1"_qs, u"a2"_qs, u"a3"_qs, u"a4"_qs, u"a5"_qs, u"a6"_qs, u"a7"_qs, u"a8"_qs, u"a9"_qs, u"b1"_qs, u"b2"_qs}
        << u"a1,a2;q=0.9,a3;q=0.8,a4;q=0.7,a5;q=0.6,a6;q=0.5,a7;q=0.4,a8;q=0.3,a9;q=0.2,b1;q=0.1,b2;q=0.1"_qs;
}

void tst_KeyRouting::acceptLanguage()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(QString, header);
    QCOMPARE(acceptLanguageFor(uiLanguages), header);
}

QTEST_APPLESS_MAIN(tst_KeyRouting)
#include "tst_keyrouting.moc"
