#include <QtTest>

#include "sessionend.h"

using namespace Qt::StringLiterals;

namespace {

// Records what the decision did with the session's query.
class RecordingQuery final : public SessionEndQuery
{
public:
    explicit RecordingQuery(bool interaction)
        : m_interaction(interaction)
    {
    }
    bool allowsInteraction() override
    {
        calls << u"allowsInteraction"_s;
        return m_interaction;
    }
    void cancel() override { calls << u"cancel"_s; }
    void release() override { calls << u"release"_s; }

    QStringList calls;

private:
    bool m_interaction;
};

} // namespace

// The answer to a log-off or shut-down query.
class TestSessionDecision final : public QObject
{
    Q_OBJECT

private slots:
    void decision_data();
    void decision();
};

void TestSessionDecision::decision_data()
{
    QTest::addColumn<bool>("interaction");
    QTest::addColumn<bool>("userSaysYes");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("consented");

    QTest::newRow("may ask, yes") << true << true
                                  << QStringList{u"allowsInteraction"_s, u"release"_s} << 1 << true;
    QTest::newRow("may ask, no") << true << false
                                 << QStringList{u"allowsInteraction"_s, u"cancel"_s} << 1 << false;
    QTest::newRow("may not ask") << false << true
                                 << QStringList{u"allowsInteraction"_s, u"release"_s} << 0 << false;
}

void TestSessionDecision::decision()
{
    QFETCH(bool, interaction);
    QFETCH(bool, userSaysYes);
    QFETCH(QStringList, calls);
    QFETCH(int, asked);
    QFETCH(bool, consented);

    RecordingQuery query(interaction);
    int timesAsked = 0;
    const bool result = answerSessionEnd(query, [&] {
        ++timesAsked;
        return userSaysYes;
    });
    QCOMPARE(query.calls, calls);
    QCOMPARE(timesAsked, asked);
    QCOMPARE(result, consented);
}

QTEST_GUILESS_MAIN(TestSessionDecision)
#include "tst_sessiondecision.moc"
