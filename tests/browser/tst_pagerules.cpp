#include <QSize>
#include <QTest>

#include "pagerules.h"

class tst_PageRules : public QObject
{
    Q_OBJECT

private slots:
    void webSchemes_data();
    void webSchemes();
    void fileFilters_data();
    void fileFilters();
    void newWindowSize_data();
    void newWindowSize();
};

void tst_PageRules::webSchemes_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<bool>("web");
    for (const char *s : {"http", "https", "HTTPS", "file", "data", "blob", "about", "javascript"})
        QTest::newRow(s) << QString::fromLatin1(s) << true;
    for (const char *s : {"mailto", "tel", "ms-word", "ftp2", "vnd.lab-scanner", ""})
        QTest::newRow(s[0] ? s : "empty") << QString::fromLatin1(s) << false;
}

void tst_PageRules::webSchemes()
{
    QFETCH(QString, scheme);
    QFETCH(bool, web);
    QCOMPARE(isWebScheme(scheme), web);
}

void tst_PageRules::fileFilters_data()
{
    QTest::addColumn<QStringList>("accept");
    QTest::addColumn<QStringList>("mustContain"); // patterns in the first filter
    QTest::addColumn<int>("filters");

    QTest::newRow("nothing") << QStringList{} << QStringList{u"*"_qs} << 1;
    QTest::newRow("extensions") << QStringList{u".csv"_qs, u".XLSX"_qs} << QStringList{u"*.csv"_qs, u"*.xlsx"_qs} << 2;
    QTest::newRow("mime type") << QStringList{u"image/png"_qs} << QStringList{u"*.png"_qs} << 2;
    QTest::newRow("mime family") << QStringList{u"image/*"_qs} << QStringList{u"*.png"_qs, u"*.jpg"_qs} << 2;
    QTest::newRow("unknown only") << QStringList{u"x-nothing/none"_qs} << QStringList{u"*"_qs} << 1;
    QTest::newRow("mixed, spaces") << QStringList{u" .csv "_qs, u"application/pdf"_qs} << QStringList{u"*.csv"_qs, u"*.pdf"_qs} << 2;
}

void tst_PageRules::fileFilters()
{
    QFETCH(QStringList, accept);
    QFETCH(QStringList, mustContain);
    QFETCH(int, filters);
    const QStringList result = nameFiltersForAccept(accept);
    QCOMPARE(result.size(), filters);
    QVERIFY(result.last().endsWith(u"(*)")); // all files stays available, as in any browser
    const QString first = result.first();
    const QString patterns = first.section(u'(', -1).chopped(1);
    for (const QString &pattern : mustContain)
        QVERIFY2(patterns.split(u' ').contains(pattern), qPrintable(first));
}

void tst_PageRules::newWindowSize_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("as asked") << QSize(640, 480) << QSize(1920, 1040) << QSize(640, 480);
    QTest::newRow("nothing asked") << QSize() << QSize(1920, 1040) << QSize(1024, 768);
    QTest::newRow("tiny ask") << QSize(1, 1) << QSize(1920, 1040) << QSize(1024, 768);
    QTest::newRow("larger than screen") << QSize(5000, 3000) << QSize(1920, 1040) << QSize(1920, 1040);
    QTest::newRow("default on small screen") << QSize() << QSize(800, 600) << QSize(800, 600);
}

void tst_PageRules::newWindowSize()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, available);
    QFETCH(QSize, expected);
    QCOMPARE(::newWindowSize(requested, available), expected);
}

QTEST_APPLESS_MAIN(tst_PageRules)
#include "tst_pagerules.moc"
