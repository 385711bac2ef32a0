#include <QSignalSpy>
#include <QtTest>

#include "trzbitbtn.h"

using namespace Qt::StringLiterals;

// The bitmap button: where glyph and caption go, the glyph strip as an icon, Enter.
class TestTRzBitBtn final : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void stripBecomesTransparentIcon();
    void enterWithModifierIsRefused();
};

void TestTRzBitBtn::placement_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QSize>("glyph");
    QTest::addColumn<QRect>("expectedGlyph");
    QTest::addColumn<QRect>("expectedCaption");

    // Face 75x25 at (10, 20); caption 30x15.
    QTest::newRow("left, margin 2, spacing 4")
        << 0 << 2 << 4 << QSize(16, 16) << QRect(12, 24, 16, 16) << QRect(32, 25, 30, 15);
    QTest::newRow("right") << 1 << 2 << 4 << QSize(16, 16) << QRect(67, 24, 16, 16)
                           << QRect(33, 25, 30, 15);
    QTest::newRow("top") << 2 << 2 << 4 << QSize(16, 16) << QRect(39, 22, 16, 16)
                         << QRect(32, 42, 30, 15);
    QTest::newRow("bottom") << 3 << 2 << 4 << QSize(16, 16) << QRect(39, 27, 16, 16)
                            << QRect(32, 8, 30, 15);
    QTest::newRow("margin -1 centres glyph and caption together")
        << 0 << -1 << 4 << QSize(16, 16) << QRect(22, 24, 16, 16) << QRect(42, 25, 30, 15);
    QTest::newRow("spacing -1 centres the caption in what is left")
        << 0 << 2 << -1 << QSize(16, 16) << QRect(12, 24, 16, 16) << QRect(41, 25, 30, 15);
    QTest::newRow("no glyph: caption centred") << 0 << 2 << 4 << QSize() << QRect()
                                               << QRect(32, 25, 30, 15);
}

void TestTRzBitBtn::placement()
{
    QFETCH(int, layout);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(QSize, glyph);
    QFETCH(QRect, expectedGlyph);
    QFETCH(QRect, expectedCaption);

    const GlyphPlacement place =
        placeGlyphAndCaption(QRect(10, 20, 75, 25), glyph, QSize(30, 15), layout, margin, spacing);
    QCOMPARE(place.glyph, expectedGlyph);
    QCOMPARE(place.caption, expectedCaption);
}

void TestTRzBitBtn::stripBecomesTransparentIcon()
{
    // Lower-left pixel is the key colour; the enabled image has a red dot, the disabled a grey
    // one; the key colour also appears inside the images and must vanish there too.
    const QColor key(236, 233, 216);
    QImage strip(32, 16, QImage::Format_Indexed8);
    strip.setColorTable({key.rgb(), qRgb(255, 0, 0), qRgb(128, 128, 128)});
    strip.fill(0);
    strip.setPixel(5, 5, 1);
    strip.setPixel(16 + 5, 5, 2);

    const QIcon icon = iconFromGlyphStrip(strip);
    const QImage enabled = icon.pixmap(16, 16, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(16, 16, QIcon::Disabled).toImage();
    QCOMPARE(enabled.size(), QSize(16, 16));
    QCOMPARE(enabled.pixelColor(5, 5), QColor(255, 0, 0));
    QCOMPARE(disabled.pixelColor(5, 5), QColor(128, 128, 128));
    QCOMPARE(enabled.pixelColor(0, 15).alpha(), 0);
    QCOMPARE(enabled.pixelColor(10, 2).alpha(), 0);
    QCOMPARE(disabled.pixelColor(15, 15).alpha(), 0);

    TRzBitBtn button;
    button.setGlyph(QPixmap::fromImage(strip));
    QCOMPARE(button.iconSize(), QSize(16, 16));
    QCOMPARE(button.icon().pixmap(16, 16, QIcon::Disabled).toImage().pixelColor(5, 5),
             QColor(128, 128, 128));
}

void TestTRzBitBtn::enterWithModifierIsRefused()
{
    QWidget window;
    auto *button = new TRzBitBtn(&window);
    button->setText(u"确定"_s);
    button->setDefault(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(button, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(clicked.count(), 0);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestTRzBitBtn)
#include "tst_trzbitbtn.moc"
