#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "browsertest.h"
#include "downloadmanager.h"
#include "fixtureserver.h"
#include "tembeddedwb.h"

namespace {

// What demo/server.py sends for /download?size=n.
QByteArray payload(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) % 251);
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DownloadRow *latestRow(QWidget *window)
{
    auto *downloads = window->findChild<DownloadsWindow *>();
    return downloads ? downloads->findChild<DownloadRow *>() : nullptr;
}

} // namespace

class tst_DownloadManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void cleanup() { QTRY_COMPARE(QApplication::topLevelWidgets().size(), 0); }
    void savesExactlyTheServedBytes();
    void unfinishedDownloadLeavesNoFile_data();
    void unfinishedDownloadLeavesNoFile();
};

void tst_DownloadManager::savesExactlyTheServedBytes()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/samples"))));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("chosen.bin"));
    QString suggested;
    whenModal<QFileDialog>([&](QFileDialog *dialog) {
        suggested = dialog->selectedFiles().value(0);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        chooseFile(dialog, target);
    });
    shell.view->load(server.url(QStringLiteral("/download?size=700000&delay=20&name=lab-data.bin")));
    QTRY_VERIFY_WITH_TIMEOUT(latestRow(&shell.window) && latestRow(&shell.window)->state() == u"已完成", 20000);
    QVERIFY2(suggested.endsWith(u"/lab-data.bin"), qPrintable(suggested));
    QCOMPARE(readAll(target), payload(700000));
    QVERIFY(shell.window.findChild<DownloadsWindow *>()->isVisible());
    QCOMPARE(shell.view->url(), server.url(QStringLiteral("/samples"))); // the page stays

    // The next download starts in the folder chosen last; the server's name is suggested.
    QString folder;
    whenModal<QFileDialog>([&](QFileDialog *dialog) {
        folder = dialog->directory().absolutePath();
        suggested = dialog->selectedFiles().value(0);
        chooseFile(dialog, dir.filePath(QStringLiteral("report.csv")));
    });
    clickElement(shell.view, QStringLiteral("report"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(QStringLiteral("report.csv"))), 20000);
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    QVERIFY2(suggested.endsWith(u"/samples-report.csv"), qPrintable(suggested));
    QVERIFY(QString::fromUtf8(readAll(dir.filePath(QStringLiteral("report.csv")))).contains(u"S-0001,血清"));
}

void tst_DownloadManager::unfinishedDownloadLeavesNoFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("state");
    QTest::newRow("connection cut") << u"cut"_qs << u"失败"_qs;
    QTest::newRow("cancelled in the window") << u"cancel"_qs << u"已取消"_qs;
    QTest::newRow("save dialog cancelled") << u"dialog"_qs << QString();
}

void tst_DownloadManager::unfinishedDownloadLeavesNoFile()
{
    QFETCH(QString, how);
    QFETCH(QString, state);

    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/samples"))));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("partial.bin"));
    bool asked = false;
    whenModal<QFileDialog>([&](QFileDialog *dialog) {
        asked = true;
        if (how == u"dialog")
            return dialog->reject();
        chooseFile(dialog, target);
    });
    shell.view->load(server.url(how == u"cut" ? QStringLiteral("/download?size=3000000&delay=30&cut=1")
                                             : QStringLiteral("/download?size=6000000&delay=200")));
    QTRY_VERIFY(asked);
    if (how == u"dialog") {
        QVERIFY(!QSignalSpy(shell.view, &QWebEngineView::loadStarted).wait(300));
        QVERIFY(!latestRow(&shell.window));
    } else {
        QTRY_VERIFY(latestRow(&shell.window));
        if (how == u"cancel") {
            QTRY_VERIFY(latestRow(&shell.window)->state().contains(u"%"));
            latestRow(&shell.window)->findChild<QPushButton *>(QStringLiteral("DownloadCancel"))->click();
        }
        QTRY_VERIFY2_WITH_TIMEOUT(latestRow(&shell.window)->state().startsWith(state),
                                  qPrintable(latestRow(&shell.window)->state()), 20000);
        auto *notice = shell.window.findChild<QMessageBox *>(QStringLiteral("DownloadFailedNotice"));
        QCOMPARE(notice != nullptr, how == u"cut");
        if (notice) {
            QVERIFY(notice->isVisible());
            QVERIFY(notice->text().contains(u"partial.bin"));
            QCOMPARE(notice->windowTitle(), testWindowTitle());
        }
    }
    QVERIFY(!QFile::exists(target));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

QTEST_MAIN(tst_DownloadManager)
#include "tst_downloadmanager.moc"
