#include <QtTest>

#include "buttonskin.h"
#include "skinframe.h"
#include "skinkinds.h"

using namespace Qt::StringLiterals;
using Platform::FrameArea;
using namespace SkinKinds;

class tst_SkinLogic : public QObject
{
    Q_OBJECT

private slots:
    void frameHitTest_data();
    void frameHitTest();
    void buttonImage_data();
    void buttonImage();
    void classMapping_data();
    void classMapping();
    void glyphPlacement_data();
    void glyphPlacement();
};

void tst_SkinLogic::frameHitTest_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("resizable");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<FrameArea>("area");

    // A 400x300 window, border 4, caption 28 below it, corners 16 along each edge.
    QTest::newRow("left edge") << QPoint(0, 150) << true << false << FrameArea::Left;
    QTest::newRow("left border, last pixel") << QPoint(3, 150) << true << false << FrameArea::Left;
    QTest::newRow("left border + 1") << QPoint(4, 150) << true << false << FrameArea::Client;
    QTest::newRow("right edge") << QPoint(399, 150) << true << false << FrameArea::Right;
    QTest::newRow("right border - 1") << QPoint(395, 150) << true << false << FrameArea::Client;
    QTest::newRow("right border, first pixel") << QPoint(396, 150) << true << false << FrameArea::Right;
    QTest::newRow("top edge") << QPoint(200, 0) << true << false << FrameArea::Top;
    QTest::newRow("top border + 1 is caption") << QPoint(200, 4) << true << false << FrameArea::Caption;
    QTest::newRow("caption last row") << QPoint(200, 31) << true << false << FrameArea::Caption;
    QTest::newRow("below caption") << QPoint(200, 32) << true << false << FrameArea::Client;
    QTest::newRow("bottom edge") << QPoint(200, 299) << true << false << FrameArea::Bottom;
    QTest::newRow("bottom border - 1") << QPoint(200, 295) << true << false << FrameArea::Client;
    QTest::newRow("top-left corner") << QPoint(0, 0) << true << false << FrameArea::TopLeft;
    QTest::newRow("top-left along top") << QPoint(15, 1) << true << false << FrameArea::TopLeft;
    QTest::newRow("top past corner") << QPoint(16, 1) << true << false << FrameArea::Top;
    QTest::newRow("top-left along left") << QPoint(1, 15) << true << false << FrameArea::TopLeft;
    QTest::newRow("top-right corner") << QPoint(399, 0) << true << false << FrameArea::TopRight;
    QTest::newRow("bottom-left corner") << QPoint(0, 299) << true << false << FrameArea::BottomLeft;
    QTest::newRow("bottom-right corner") << QPoint(399, 299) << true << false << FrameArea::BottomRight;
    QTest::newRow("bottom-right along right") << QPoint(398, 284) << true << false << FrameArea::BottomRight;
    QTest::newRow("outside left") << QPoint(-1, 150) << true << false << FrameArea::None;
    QTest::newRow("outside bottom") << QPoint(200, 300) << true << false << FrameArea::None;
    QTest::newRow("maximised: no left edge") << QPoint(0, 150) << true << true << FrameArea::Client;
    QTest::newRow("maximised: top is caption") << QPoint(200, 0) << true << true << FrameArea::Caption;
    QTest::newRow("maximised: no corner") << QPoint(399, 299) << true << true << FrameArea::Client;
    QTest::newRow("fixed size: no edge") << QPoint(0, 150) << false << false << FrameArea::Client;
    QTest::newRow("fixed size: top is caption") << QPoint(0, 0) << false << false << FrameArea::Caption;
}

void tst_SkinLogic::frameHitTest()
{
    QFETCH(QPoint, pos);
    QFETCH(bool, resizable);
    QFETCH(bool, maximized);
    QFETCH(FrameArea, area);
    const FrameMetrics metrics{4, 28, 16};
    QCOMPARE(::frameHitTest(QSize(400, 300), pos, metrics, resizable, maximized), area);
}

void tst_SkinLogic::buttonImage_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<ButtonImage>("image");

    QTest::newRow("normal") << true << false << false << false << false << ButtonImage::Normal;
    QTest::newRow("default") << true << false << false << false << true << ButtonImage::Default;
    QTest::newRow("hot") << true << false << true << false << false << ButtonImage::Hot;
    QTest::newRow("focused") << true << false << false << true << false << ButtonImage::Hot;
    QTest::newRow("focused default") << true << false << false << true << true << ButtonImage::Hot;
    QTest::newRow("pressed") << true << true << false << false << false << ButtonImage::Pressed;
    QTest::newRow("pressed beats hot, focus, default") << true << true << true << true << true
                                                       << ButtonImage::Pressed;
    QTest::newRow("disabled") << false << false << false << false << false << ButtonImage::Disabled;
    QTest::newRow("disabled beats everything") << false << true << true << true << true
                                               << ButtonImage::Disabled;
}

void tst_SkinLogic::buttonImage()
{
    QFETCH(bool, enabled);
    QFETCH(bool, pressed);
    QFETCH(bool, hot);
    QFETCH(bool, focused);
    QFETCH(bool, isDefault);
    QFETCH(ButtonImage, image);
    QCOMPARE(buttonImageFor(enabled, pressed, hot, focused, isDefault), image);
}

void tst_SkinLogic::classMapping_data()
{
    QTest::addColumn<QStringList>("mapping");
    QTest::addColumn<QString>("className");
    QTest::addColumn<SkinDrawKind>("kind");
    QTest::addColumn<quint32>("gate");

    const QStringList standard = standardClassMapping();
    QTest::newRow("bitmap button") << standard << u"TRzBitBtn"_s << SkinDrawKind::BitBtn << quint32(xcButton);
    QTest::newRow("case-insensitive") << standard << u"trzBITBTN"_s << SkinDrawKind::BitBtn << quint32(xcButton);
    QTest::newRow("whole name only") << standard << u"TRzBitBtnX"_s << SkinDrawKind::None << 0u;
    QTest::newRow("no prefix match") << standard << u"RzBitBtn"_s << SkinDrawKind::None << 0u;
    QTest::newRow("label not mapped") << standard << u"TRzLabel"_s << SkinDrawKind::None << 0u;
    QTest::newRow("status bar") << standard << u"TStatusBar"_s << SkinDrawKind::StatusBar << quint32(xcStatusBar);
    QTest::newRow("check box") << standard << u"QCheckBox"_s << SkinDrawKind::CheckBox << quint32(xcCheckBox);
    QTest::newRow("first line wins") << QStringList{u"Foo=edit"_s, u"foo=button"_s} << u"FOO"_s
                                     << SkinDrawKind::Edit << quint32(xcEdit);
    QTest::newRow("spaces around") << QStringList{u" Foo = checkbox "_s} << u"Foo"_s
                                   << SkinDrawKind::CheckBox << quint32(xcCheckBox);
    QTest::newRow("unknown kind") << QStringList{u"Foo=sparkles"_s} << u"Foo"_s << SkinDrawKind::None << 0u;
    QTest::newRow("line without class") << QStringList{u"=button"_s} << QString() << SkinDrawKind::None << 0u;
}

void tst_SkinLogic::classMapping()
{
    QFETCH(QStringList, mapping);
    QFETCH(QString, className);
    QFETCH(SkinDrawKind, kind);
    QFETCH(quint32, gate);
    const SkinDrawKind found = drawKindForClass(mapping, className);
    QCOMPARE(found, kind);
    QCOMPARE(quint32(gateForDrawKind(found)), gate);
}

void tst_SkinLogic::glyphPlacement_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QRect>("glyph");
    QTest::addColumn<QRect>("text");

    // Content 0,0 71x21; glyph 16x16; text 26x12.
    QTest::newRow("left, margin 2, spacing 4") << 0 << 2 << 4 << QRect(2, 2, 16, 16) << QRect(22, 4, 26, 12);
    QTest::newRow("right, margin 2, spacing 4") << 1 << 2 << 4 << QRect(53, 2, 16, 16) << QRect(23, 4, 26, 12);
    QTest::newRow("left, centred") << 0 << -1 << 4 << QRect(12, 2, 16, 16) << QRect(32, 4, 26, 12);
    QTest::newRow("top, margin 0") << 2 << 0 << 1 << QRect(27, 0, 16, 16) << QRect(22, 17, 26, 12);
    QTest::newRow("bottom, margin 0") << 3 << 0 << 1 << QRect(27, 5, 16, 16) << QRect(22, -8, 26, 12);
}

void tst_SkinLogic::glyphPlacement()
{
    QFETCH(int, layout);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(QRect, glyph);
    QFETCH(QRect, text);
    const SkinGlyphPlacement placed = placeGlyph(QRect(0, 0, 71, 21), QSize(16, 16), QSize(26, 12),
                                             layout, margin, spacing);
    QCOMPARE(placed.glyph, glyph);
    QCOMPARE(placed.text, text);
}

QTEST_APPLESS_MAIN(tst_SkinLogic)
#include "tst_skinlogic.moc"
