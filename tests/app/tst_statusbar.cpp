#include <QLocale>
#include <QPaintEvent>
#include <QtTest>

#include "statustexts.h"
#include "tstatusbar.h"

using namespace Qt::StringLiterals;

namespace {

// Collects what a widget repaints.
class PaintWatch final : public QObject
{
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted |= static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

void addMainPanels(TStatusBar &bar)
{
    bar.addPanel(0, Qt::AlignLeft);
    bar.addPanel(100, Qt::AlignHCenter, u"岚序软件"_s);
    bar.addPanel(220, Qt::AlignHCenter, u"http://www.example.com"_s);
    bar.addPanel(500, Qt::AlignHCenter, u"E_Mail：a@b.c"_s);
    bar.addPanel(50, Qt::AlignLeft);
}

} // namespace

// The status bar's texts, its panel extents and what a clock tick repaints.
class TestStatusBar final : public QObject
{
    Q_OBJECT

private slots:
    void clock_data();
    void clock();
    void contactLineComposition();
    void extentsAtTwoWidths_data();
    void extentsAtTwoWidths();
    void tickRepaintsOnlyTheClockPanel();
    void textTooWideForItsPanelShowsItsBeginning();
};

void TestStatusBar::clock_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("afternoon") << QDateTime(QDate(2024, 3, 5), QTime(21, 7, 2)) << u"zh_CN"_s
                               << u"2024年3月5日 21:07:02"_s;
    QTest::newRow("single-digit month and day, small time")
        << QDateTime(QDate(2024, 1, 9), QTime(0, 5, 9)) << u"zh_CN"_s << u"2024年1月9日 00:05:09"_s;
    QTest::newRow("midnight") << QDateTime(QDate(2024, 12, 31), QTime(0, 0, 0)) << u"en_US"_s
                              << u"2024年12月31日 00:00:00"_s;
    QTest::newRow("noon is not 00") << QDateTime(QDate(2025, 10, 10), QTime(12, 0, 0)) << u"en_US"_s
                                    << u"2025年10月10日 12:00:00"_s;
    QTest::newRow("locale with a dot time separator")
        << QDateTime(QDate(2024, 3, 5), QTime(21, 7, 2)) << u"fi_FI"_s << u"2024年3月5日 21:07:02"_s;
    QTest::newRow("locale with other digits")
        << QDateTime(QDate(2024, 3, 5), QTime(21, 7, 2)) << u"ar_EG"_s << u"2024年3月5日 21:07:02"_s;
}

void TestStatusBar::clock()
{
    QFETCH(QDateTime, time);
    QFETCH(QString, locale);
    QFETCH(QString, expected);

    const QLocale before;
    QLocale::setDefault(QLocale(locale));
    const QString text = clockText(time);
    QLocale::setDefault(before);
    QCOMPARE(text, expected);
}

void TestStatusBar::contactLineComposition()
{
    QCOMPARE(contactLine(u"lims@example.com"_s, u"10000000"_s, u"000-00000000"_s),
             u"E_Mail\uFF1Alims@example.com\u3000QQ\uFF1A10000000\u3000电话\uFF1A000-00000000"_s);
}

void TestStatusBar::extentsAtTwoWidths_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("1024") << 1024;
    QTest::newRow("1920") << 1920;
}

void TestStatusBar::extentsAtTwoWidths()
{
    QFETCH(int, width);
    TStatusBar bar;
    addMainPanels(bar);
    bar.resize(width, 25);

    const QList<QPair<int, int>> expected{{0, 0}, {0, 100}, {100, 320}, {320, 820}, {820, width}};
    for (int i = 0; i < bar.panelCount(); ++i) {
        const QRect rect = bar.panelRect(i);
        QCOMPARE((QPair<int, int>{rect.left(), rect.left() + rect.width()}), expected.at(i));
    }
}

void TestStatusBar::tickRepaintsOnlyTheClockPanel()
{
    TStatusBar bar;
    addMainPanels(bar);
    bar.resize(1280, 25);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QTRY_VERIFY(bar.panelText(4).isEmpty());

    PaintWatch watch;
    bar.installEventFilter(&watch);
    bar.setPanelText(4, u"2024年3月5日 21:07:02"_s);
    QTRY_COMPARE(watch.paints, 1);
    QVERIFY(!watch.painted.isEmpty());
    QVERIFY(QRegion(bar.panelRect(4)).contains(watch.painted.boundingRect()));

    // The next tick repaints where the text stands, not the whole wide clock panel.
    watch.painted = {};
    watch.paints = 0;
    bar.setPanelText(4, u"2024年3月5日 21:07:03"_s);
    QTRY_COMPARE(watch.paints, 1);
    QVERIFY(QRegion(bar.panelRect(4)).contains(watch.painted.boundingRect()));
    QVERIFY(watch.painted.boundingRect().width() < bar.panelRect(4).width() / 2);

    // The same text again repaints nothing: a marker update that follows is painted alone.
    watch.painted = {};
    watch.paints = 0;
    bar.setPanelText(4, u"2024年3月5日 21:07:03"_s);
    bar.setPanelText(3, u"E_Mail：a@b.c"_s);
    bar.update(QRect(0, 0, 1, 1));
    QTRY_COMPARE(watch.paints, 1);
    QCOMPARE(watch.painted, QRegion(0, 0, 1, 1));
}

void TestStatusBar::textTooWideForItsPanelShowsItsBeginning()
{
    // Drawn as if it were left-aligned; a text that fits stays centred.
    const auto render = [](Qt::Alignment alignment, const QString &text) {
        TStatusBar bar;
        bar.addPanel(120, alignment, text);
        bar.addPanel(50, Qt::AlignLeft);
        bar.resize(300, 25);
        return bar.grab().toImage().copy(bar.panelRect(0));
    };
    const QString wide = u"E_Mail：lims@example.com　QQ：10000000"_s;
    QCOMPARE(render(Qt::AlignHCenter, wide), render(Qt::AlignLeft, wide));
    QVERIFY(render(Qt::AlignHCenter, u"QQ"_s) != render(Qt::AlignLeft, u"QQ"_s));
}

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
