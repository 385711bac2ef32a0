#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "browsertest.h"
#include "fixtureserver.h"
#include "tembeddedwb.h"

// Receives the addresses the program hands to the desktop.
class DesktopRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl &url) { opened << url; }
};

class tst_WebPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QTRY_COMPARE(QApplication::topLevelWidgets().size(), 0); }
    void pageDialogs_data();
    void pageDialogs();
    void leavePageQuestion();
    void fileChooserHonoursAcceptedTypes();
    void httpAuthentication_data();
    void httpAuthentication();
    void selfSignedCertificateIsRefused();
    void permissionIsAskedOncePerRun_data();
    void permissionIsAskedOncePerRun();
    void externalSchemeAsksFirst_data();
    void externalSchemeAsksFirst();
};

void tst_WebPage::initTestCase()
{
    setUpApplication();
    QPixmap icon(32, 32);
    icon.fill(Qt::darkCyan);
    QApplication::setWindowIcon(QIcon(icon));
}

void tst_WebPage::pageDialogs_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("answer");

    QTest::newRow("alert") << u"alert('样品已保存 <b>x</b>'); window.answer = 'done';"_qs
                           << u"样品已保存 <b>x</b>"_qs << true << QString() << u"done"_qs;
    QTest::newRow("confirm yes") << u"window.answer = String(confirm('确认删除样品？'));"_qs
                                 << u"确认删除样品？"_qs << true << QString() << u"true"_qs;
    QTest::newRow("confirm no") << u"window.answer = String(confirm('确认删除样品？'));"_qs
                                << u"确认删除样品？"_qs << false << QString() << u"false"_qs;
    QTest::newRow("prompt typed") << u"window.answer = String(prompt('样品数量', '1'));"_qs
                                  << u"样品数量"_qs << true << u"12"_qs << u"12"_qs;
    QTest::newRow("prompt cancelled") << u"window.answer = String(prompt('样品数量', '1'));"_qs
                                      << u"样品数量"_qs << false << u"12"_qs << u"null"_qs;
}

void tst_WebPage::pageDialogs()
{
    QFETCH(QString, script);
    QFETCH(QString, message);
    QFETCH(bool, accept);
    QFETCH(QString, typed);
    QFETCH(QString, answer);

    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/keys"))));
    QString title, text;
    qint64 iconKey = 0;
    whenModal<QDialog>([&](QDialog *dialog) {
        title = dialog->windowTitle();
        iconKey = dialog->windowIcon().cacheKey();
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            text = box->text();
            QCOMPARE(box->textFormat(), Qt::PlainText);
        } else if (auto *input = qobject_cast<QInputDialog *>(dialog)) {
            text = input->labelText();
            QCOMPARE(input->textValue(), u"1"_qs);
            input->setTextValue(typed);
        }
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            for (QAbstractButton *button : box->buttons())
                if (box->buttonRole(button) == (accept ? QMessageBox::AcceptRole : QMessageBox::RejectRole))
                    return button->click();
        }
        accept ? dialog->accept() : dialog->reject();
    });
    shell.view->page()->runJavaScript(u"setTimeout(() => { "_qs + script + u" }, 0);"_qs);
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("String(window.answer)")).toString(), answer);
    QCOMPARE(title, testWindowTitle());
    QCOMPARE(iconKey, QApplication::windowIcon().cacheKey());
    QCOMPARE(text, message);
}

void tst_WebPage::leavePageQuestion()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/leave"))));
    // The question is only asked once the user has acted on the page.
    QTRY_VERIFY((clickElement(shell.view, QStringLiteral("field")),
                 js(shell.view->page(), QStringLiteral("navigator.userActivation.hasBeenActive")).toBool()));

    for (const bool leave : {false, true}) {
        QString title;
        whenModal<QMessageBox>([&](QMessageBox *box) {
            title = box->windowTitle();
            for (QAbstractButton *button : box->buttons())
                if (box->buttonRole(button) == (leave ? QMessageBox::AcceptRole : QMessageBox::RejectRole))
                    return button->click();
        });
        QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
        shell.view->load(server.url(QStringLiteral("/samples")));
        QTRY_COMPARE(title, testWindowTitle());
        if (leave) {
            QTRY_COMPARE(shell.view->url(), server.url(QStringLiteral("/samples")));
        } else {
            QVERIFY(!QSignalSpy(shell.view, &QWebEngineView::urlChanged).wait(500));
            QCOMPARE(shell.view->url(), server.url(QStringLiteral("/leave")));
            QCOMPARE(server.requestCount(QStringLiteral("/samples")), 0);
        }
    }
}

void tst_WebPage::fileChooserHonoursAcceptedTypes()
{
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/register"))));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("results.csv"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("a,b\n");
    out.close();

    QStringList filters;
    bool native = true;
    whenModal<QFileDialog>([&](QFileDialog *dialog) {
        filters = dialog->nameFilters();
        native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
        chooseFile(dialog, file);
    });
    clickElement(shell.view, QStringLiteral("file"));
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("document.getElementById('file').files.length")).toInt(), 1);
    QCOMPARE(js(shell.view->page(), QStringLiteral("document.getElementById('file').files[0].name")).toString(),
             u"results.csv"_qs);
    QVERIFY(!native);
    QVERIFY(!filters.isEmpty());
    QVERIFY2(filters.first().contains(u"*.csv") && filters.first().contains(u"*.png"), qPrintable(filters.first()));
}

void tst_WebPage::httpAuthentication_data()
{
    QTest::addColumn<QStringList>("attempts"); // "user:password" per prompt, "" = cancel
    QTest::addColumn<QString>("pageText");

    QTest::newRow("right") << QStringList{u"lab:lims"_qs} << u"已通过验证"_qs;
    QTest::newRow("wrong, then right") << QStringList{u"lab:nope"_qs, u"lab:lims"_qs} << u"已通过验证"_qs;
    QTest::newRow("wrong, then cancel") << QStringList{u"lab:nope"_qs, QString()} << u"401 需要登录"_qs;
    QTest::newRow("cancel") << QStringList{QString()} << u"401 需要登录"_qs;
}

void tst_WebPage::httpAuthentication()
{
    QFETCH(QStringList, attempts);
    QFETCH(QString, pageText);

    FixtureServer server; // a new origin per case: no remembered credentials
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/keys"))));
    int prompts = 0;
    std::function<void(QDialog *)> answer = [&](QDialog *dialog) {
        const QString attempt = attempts.value(prompts++);
        if (dialog->windowTitle() != testWindowTitle())
            qWarning("credentials dialog without the application caption");
        if (attempt.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("user"))->setText(attempt.section(u':', 0, 0));
        dialog->findChild<QLineEdit *>(QStringLiteral("password"))->setText(attempt.section(u':', 1));
        if (prompts < attempts.size())
            whenModal<QDialog>(answer);
        dialog->accept();
    };
    whenModal<QDialog>(answer);
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->load(server.url(QStringLiteral("/auth")));
    QVERIFY(loaded.wait(20000));
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.body.innerText")).toString().contains(pageText));
    QCOMPARE(prompts, attempts.size());
    // One request without credentials, one per answered prompt: a cancel is never retried.
    QTRY_COMPARE(server.requestCount(QStringLiteral("/auth")), 1 + int(std::count_if(attempts.cbegin(), attempts.cend(), [](const QString &a) { return !a.isEmpty(); })));
    QVERIFY(!loaded.wait(500));
}

void tst_WebPage::selfSignedCertificateIsRefused()
{
    FixtureServer tls({QStringLiteral("--tls")});
    QVERIFY(tls.isRunning());
    Shell shell;
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(tls.url(QStringLiteral("/samples")));
    shell.window.show();
    QTRY_VERIFY(js(shell.view->page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString().contains(u"安全证书"));
    const QString text = js(shell.view->page(), QStringLiteral("document.body.innerText")).toString();
    QVERIFY2(text.contains(u"127.0.0.1"), qPrintable(text));
    QCOMPARE(tls.requestCount(QStringLiteral("/samples")), 0);
    QVERIFY(!loaded.wait(1000)); // and it stays put
}

void tst_WebPage::permissionIsAskedOncePerRun_data()
{
    QTest::addColumn<bool>("allow");
    QTest::addColumn<QString>("state");
    QTest::newRow("allowed") << true << u"granted"_qs;
    QTest::newRow("refused") << false << u"denied"_qs;
}

void tst_WebPage::permissionIsAskedOncePerRun()
{
    QFETCH(bool, allow);
    QFETCH(QString, state);

    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/perm"))));
    QString question;
    int asked = 0;
    whenModal<QMessageBox>([&](QMessageBox *box) {
        ++asked;
        question = box->text();
        allow ? box->button(QMessageBox::Yes)->click() : box->button(QMessageBox::No)->click();
    });
    const QString request = QStringLiteral(
        "window.state = ''; Notification.requestPermission().then(r => window.state = r); true");
    js(shell.view->page(), request);
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("window.state")).toString(), state);
    QCOMPARE(asked, 1);
    QVERIFY2(question.contains(u"127.0.0.1") && question.contains(u"通知"), qPrintable(question));

    // Asked again in the same run: the answer stands without a second question.
    shell.view->reload();
    QVERIFY(QSignalSpy(shell.view, &QWebEngineView::loadFinished).wait(15000));
    js(shell.view->page(), request);
    QTRY_COMPARE(js(shell.view->page(), QStringLiteral("window.state")).toString(), state);
    QCOMPARE(asked, 1);
}

void tst_WebPage::externalSchemeAsksFirst_data()
{
    QTest::addColumn<bool>("allow");
    QTest::newRow("opened") << true;
    QTest::newRow("refused") << false;
}

void tst_WebPage::externalSchemeAsksFirst()
{
    QFETCH(bool, allow);
    DesktopRecorder desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &desktop, "openUrl");
    FixtureServer server;
    Shell shell;
    QVERIFY(openShell(shell, server.url(QStringLiteral("/samples"))));
    QString question;
    whenModal<QMessageBox>([&](QMessageBox *box) {
        question = box->text();
        box->button(allow ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    clickElement(shell.view, QStringLiteral("mail"));
    QTRY_VERIFY(!question.isEmpty());
    QVERIFY2(question.contains(u"mailto:lab@example.com"), qPrintable(question));
    if (allow)
        QTRY_COMPARE(desktop.opened, QList<QUrl>{QUrl(QStringLiteral("mailto:lab@example.com"))});
    else
        QVERIFY(desktop.opened.isEmpty());
    QCOMPARE(shell.view->url(), server.url(QStringLiteral("/samples")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

QTEST_MAIN(tst_WebPage)
#include "tst_webpage.moc"
