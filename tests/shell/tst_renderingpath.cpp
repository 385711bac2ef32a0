#include <QtTest>

#include "renderingpath.h"

using namespace Qt::StringLiterals;

class TestRenderingPath final : public QObject
{
    Q_OBJECT

private slots:
    void softwareRenderer_data();
    void softwareRenderer();
};

void TestRenderingPath::softwareRenderer_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");

    QTest::newRow("mesa llvmpipe") << u"llvmpipe (LLVM 15.0.6, 256 bits)"_s << true;
    QTest::newRow("mesa softpipe") << u"softpipe"_s << true;
    QTest::newRow("windows generic") << u"GDI Generic"_s << true;
    QTest::newRow("windows basic") << u"Microsoft Basic Render Driver"_s << true;
    QTest::newRow("no name") << QString() << true;
    QTest::newRow("intel") << u"Mesa Intel(R) UHD Graphics 620 (KBL GT2)"_s << false;
    QTest::newRow("nvidia") << u"NVIDIA GeForce GTX 1060/PCIe/SSE2"_s << false;
    QTest::newRow("amd") << u"AMD Radeon RX 580 Series (radeonsi, polaris10, LLVM 15.0.6)"_s << false;
}

void TestRenderingPath::softwareRenderer()
{
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    QCOMPARE(isSoftwareRenderer(renderer), software);
}

QTEST_GUILESS_MAIN(TestRenderingPath)
#include "tst_renderingpath.moc"
