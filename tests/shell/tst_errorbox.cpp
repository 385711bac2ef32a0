#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

#include "apptitle.h"
#include "errorbox.h"

using namespace Qt::StringLiterals;

namespace {

// Throws from its event handler, as a faulty handler of the program would.
class Thrower final : public QObject
{
public:
    using QObject::QObject;
    int handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User) {
            ++handled;
            throw std::runtime_error("无法打开页面");
        }
        return QObject::event(event);
    }
};

} // namespace

class TestErrorBox final : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void exceptionInHandlerIsShownAndProgramGoesOn();
};

void TestErrorBox::text_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("letter") << u"Access violation"_s << u"Access violation."_s;
    QTest::newRow("already full stop") << u"Failed."_s << u"Failed."_s;
    // Characters that sort before the full stop get none.
    QTest::newRow("exclamation") << u"Failed!"_s << u"Failed!"_s;
    QTest::newRow("hyphen") << u"a-"_s << u"a-"_s;
    QTest::newRow("space") << u"a "_s << u"a "_s;
    QTest::newRow("slash") << u"a/"_s << u"a/."_s;
    QTest::newRow("digit") << u"code 5"_s << u"code 5."_s;
    QTest::newRow("chinese") << u"无法连接"_s << u"无法连接."_s;
    QTest::newRow("full-width stop") << u"完成。"_s << u"完成。."_s;
}

void TestErrorBox::text()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorBoxText(message), shown);
}

void TestErrorBox::exceptionInHandlerIsShownAndProgramGoesOn()
{
    Thrower thrower;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int boxes = 0;
    // The box is modal: read it and dismiss it from inside its own loop.
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            ++boxes;
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->accept();
        }
    });
    poll.start(10);

    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTRY_COMPARE(boxes, 1);
    QCOMPARE(caption, applicationTitle());
    QCOMPARE(text, u"无法打开页面."_s);
    QCOMPARE(icon, QMessageBox::Critical);

    // The next event is handled again: the failure ended only its own event.
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTRY_COMPARE(boxes, 2);
    QCOMPARE(thrower.handled, 2);
}

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    TestErrorBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorbox.moc"
