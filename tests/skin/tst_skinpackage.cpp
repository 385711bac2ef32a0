#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <zlib.h>

#include "skinpackage.h"
#include "skintheme.h"
#include "tskindata.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray builtInPackage()
{
    QFile file(TSkinData::defaultPackagePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A package around an arbitrary payload, with a header that is right or wrong as asked.
QByteArray rawPackage(const QByteArray &payload, quint16 version = SkinPackageFormat::currentVersion,
                      qint64 declaredSizeDelta = 0, bool goodCrc = true)
{
    const QByteArray stored = qCompress(payload).mid(4); // drop Qt's size prefix: a zlib stream
    QByteArray out("QLSK");
    const auto put = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.append(char(quint8(value >> (8 * i))));
        }
    };
    put(version, 2);
    put(0, 2);
    put(quint32(payload.size() + declaredSizeDelta), 4);
    put(quint32(stored.size()), 4);
    const auto crc = crc32(0L, reinterpret_cast<const Bytef *>(stored.constData()), uInt(stored.size()));
    put(quint32(goodCrc ? crc : crc ^ 1u), 4);
    return out + stored;
}

QByteArray entry(quint8 type, const QByteArray &name, const QByteArray &value)
{
    return QByteArray(1, char(type)) + char(name.size()) + name + value;
}

QByteArray u32(quint32 v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i) {
        b.append(char(quint8(v >> (8 * i))));
    }
    return b;
}

} // namespace

class tst_SkinPackage : public QObject
{
    Q_OBJECT

private slots:
    void builtInPackageIsComplete();
    void roundTrip();
    void read_data();
    void read();
    void truncatedAtEveryLength();
    void randomBytes();
};

void tst_SkinPackage::builtInPackageIsComplete()
{
    const SkinReadResult result = readSkinPackage(builtInPackage());
    QCOMPARE(result.status, SkinReadStatus::Ok);
    QVERIFY(SkinTheme::fromPackage(result.package).has_value());
}

void tst_SkinPackage::roundTrip()
{
    SkinPackage package;
    QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(10, 20, 30, 40));
    package.images.insert(u"a.image"_s, image);
    package.colors.insert(u"a.color"_s, QColor(1, 2, 3, 4));
    package.metrics.insert(u"a.metric"_s, -7);
    const SkinReadResult result = readSkinPackage(writeSkinPackage(package));
    QCOMPARE(result.status, SkinReadStatus::Ok);
    QCOMPARE(result.package.images.value(u"a.image"_s), image);
    QCOMPARE(result.package.colors.value(u"a.color"_s), QColor(1, 2, 3, 4));
    QCOMPARE(result.package.metrics.value(u"a.metric"_s), -7);
}

void tst_SkinPackage::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SkinReadStatus>("status");

    const QByteArray good = builtInPackage();
    const QByteArray metricPayload = QByteArray("\x01\x00", 2) + entry(3, "m", u32(5));
    QByteArray flipped = good;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x40);
    QImage tooLarge(SkinPackageFormat::maxImageSide + 1, 1, QImage::Format_RGB32);
    tooLarge.fill(Qt::white);
    SkinPackage large;
    large.images.insert(u"big"_s, tooLarge);

    QTest::newRow("valid") << good << SkinReadStatus::Ok;
    QTest::newRow("minimal valid payload") << rawPackage(metricPayload) << SkinReadStatus::Ok;
    QTest::newRow("empty") << QByteArray() << SkinReadStatus::Empty;
    QTest::newRow("older version") << writeSkinPackage({}, 1) << SkinReadStatus::OlderVersion;
    QTest::newRow("older version, header only") << QByteArray("QLSK\x01\x00", 6)
                                                << SkinReadStatus::OlderVersion;
    QTest::newRow("version zero") << QByteArray("QLSK\x00\x00", 6) << SkinReadStatus::OlderVersion;
    QTest::newRow("newer version") << rawPackage(metricPayload, SkinPackageFormat::currentVersion + 1)
                                   << SkinReadStatus::Damaged;
    QTest::newRow("not a package") << QByteArray("PK\x03\x04 some zip") << SkinReadStatus::Damaged;
    QTest::newRow("one byte") << QByteArray("Q") << SkinReadStatus::Damaged;
    QTest::newRow("byte flipped") << flipped << SkinReadStatus::Damaged;
    QTest::newRow("trailing byte") << good + 'x' << SkinReadStatus::Damaged;
    QTest::newRow("bad checksum") << rawPackage(metricPayload, SkinPackageFormat::currentVersion, 0, false)
                                  << SkinReadStatus::Damaged;
    QTest::newRow("payload longer than declared")
        << rawPackage(metricPayload, SkinPackageFormat::currentVersion, -1) << SkinReadStatus::Damaged;
    QTest::newRow("payload shorter than declared")
        << rawPackage(metricPayload, SkinPackageFormat::currentVersion, 1) << SkinReadStatus::Damaged;
    QTest::newRow("declared size beyond the limit")
        << rawPackage(metricPayload, SkinPackageFormat::currentVersion,
                      qint64(SkinPackageFormat::maxPayloadSize))
        << SkinReadStatus::Damaged;
    QTest::newRow("more entries than present")
        << rawPackage(QByteArray("\x02\x00", 2) + entry(3, "m", u32(5))) << SkinReadStatus::Damaged;
    QTest::newRow("entry cut short")
        << rawPackage(QByteArray("\x01\x00", 2) + entry(3, "m", "\x05\x00")) << SkinReadStatus::Damaged;
    QTest::newRow("duplicate name")
        << rawPackage(QByteArray("\x02\x00", 2) + entry(3, "m", u32(5)) + entry(2, "m", u32(5)))
        << SkinReadStatus::Damaged;
    QTest::newRow("unknown entry type")
        << rawPackage(QByteArray("\x01\x00", 2) + entry(9, "m", u32(5))) << SkinReadStatus::Damaged;
    QTest::newRow("image length past the end")
        << rawPackage(QByteArray("\x01\x00", 2) + entry(1, "i", u32(0xffffffffu)))
        << SkinReadStatus::Damaged;
    QTest::newRow("image that is not a PNG")
        << rawPackage(QByteArray("\x01\x00", 2) + entry(1, "i", u32(4) + "abcd")) << SkinReadStatus::Damaged;
    QTest::newRow("image larger than allowed") << writeSkinPackage(large) << SkinReadStatus::Damaged;
    QTest::newRow("control character in name")
        << rawPackage(QByteArray("\x01\x00", 2) + entry(3, "a\nb", u32(5))) << SkinReadStatus::Damaged;
}

void tst_SkinPackage::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SkinReadStatus, status);
    QCOMPARE(readSkinPackage(bytes).status, status);
}

void tst_SkinPackage::truncatedAtEveryLength()
{
    // Every prefix of a real package is either recognised as older (never: it is current) or
    // rejected; none may crash or be taken for a whole package.
    const QByteArray good = builtInPackage();
    QVERIFY(!good.isEmpty());
    for (qsizetype n = 1; n < good.size(); n += (n < 64 ? 1 : 97)) {
        const SkinReadStatus status = readSkinPackage(good.left(n)).status;
        QVERIFY2(status == SkinReadStatus::Damaged, qPrintable(QString::number(n)));
    }
}

void tst_SkinPackage::randomBytes()
{
    QRandomGenerator random(20261211);
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes(random.bounded(1, 512), Qt::Uninitialized);
        for (char &c : bytes) {
            c = char(random.bounded(256));
        }
        if (i % 2 == 0) {
            bytes.replace(0, 6, QByteArray("QLSK\x02\x00", 6)); // get past the magic and version
        }
        QCOMPARE_NE(readSkinPackage(bytes).status, SkinReadStatus::Ok);
    }
}

QTEST_GUILESS_MAIN(tst_SkinPackage)
#include "tst_skinpackage.moc"
