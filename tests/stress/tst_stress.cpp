#include <QApplication>
#include <QtTest>

#include "Unit_MessageBox.h"
#include "modalhelper.h"
#include "tskindata.h"

using namespace Qt::StringLiterals;

// Many confirmations in a row, plain and skinned: each builds and destroys its own dialog, so
// nothing may pile up. Built with the sanitizer preset, this is the leak and memory-error run.
class TestStress final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void manyConfirmations();
    void manySkinnedDialogs();
    void cleanup();

private:
    int askMany(int count);
    qsizetype m_baseline = 0;
};

void TestStress::initTestCase()
{
    m_baseline = QApplication::topLevelWidgets().size();
}

// Answers every other dialog yes (Shift+Enter) and the rest no (Escape); returns how many
// answers came back as expected.
int TestStress::askMany(int count)
{
    int right = 0;
    for (int i = 0; i < count; ++i) {
        const bool yes = i % 2 == 0;
        whenModal([yes](QWidget *dialog) {
            typeKeys(dialog, {yes ? KeyStroke{Qt::Key_Return, Qt::ShiftModifier} : KeyStroke{Qt::Key_Escape}});
        });
        if (AskConfirm(u"确认退出系统？"_s) == yes && Form_MessageBox == nullptr)
            ++right;
    }
    return right;
}

void TestStress::manyConfirmations()
{
    QCOMPARE(askMany(1000), 1000);
}

void TestStress::manySkinnedDialogs()
{
    QObject owner;
    auto *skin = new TSkinData(&owner);
    QVERIFY(skin->loadSkin() == SkinReadStatus::Ok);
    skin->setActive(true);
    int skinned = 0;
    for (int i = 0; i < 100; ++i) {
        whenModal([&skinned](QWidget *dialog) {
            if (TSkinData::isSkinned(dialog))
                ++skinned;
            typeKeys(dialog, {KeyStroke{Qt::Key_Escape}});
        });
        QVERIFY(!AskConfirm(u"确认退出系统？"_s));
    }
    QCOMPARE(skinned, 100);
}

void TestStress::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(QApplication::topLevelWidgets().size(), m_baseline);
}

QTEST_MAIN(TestStress)
#include "tst_stress.moc"
