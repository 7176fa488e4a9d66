// The one seam for messages and questions: queued answers come first and in order, the installed
// messenger answers the rest, a scoped messenger puts the previous one back, and without any
// messenger a question takes its preselected answer.
#include "base/operator_messages.h"

#include <QTest>

namespace {

class CountingMessenger : public OperatorMessenger {
public:
    explicit CountingMessenger(OperatorAnswer answer) : m_answer(answer) {}
    QStringList shown;
    OperatorAnswer Show(QObject*, const OperatorMessage& message) override {
        shown << message.text;
        return m_answer;
    }

private:
    OperatorAnswer m_answer;
};

} // namespace

class TestOperatorMessages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { OperatorMessages::ClearNextAnswers(); }

    void queuedAnswersComeFirstInOrder() {
        CountingMessenger messenger(OperatorAnswer::No);
        const ScopedOperatorMessenger installed(&messenger);
        OperatorMessages::SetNextAnswer(OperatorAnswer::Yes);
        OperatorMessages::SetNextAnswer(OperatorAnswer::Cancel);
        QCOMPARE(OperatorMessages::Ask(nullptr, "a", OperatorButtons::YesNoCancel), OperatorAnswer::Yes);
        QCOMPARE(OperatorMessages::Ask(nullptr, "b", OperatorButtons::YesNoCancel), OperatorAnswer::Cancel);
        QVERIFY(messenger.shown.isEmpty());
        QCOMPARE(OperatorMessages::Ask(nullptr, "c"), OperatorAnswer::No);
        QCOMPARE(messenger.shown, QStringList{"c"});
    }

    void scopedMessengerPutsThePreviousBack() {
        CountingMessenger outer(OperatorAnswer::Yes);
        const ScopedOperatorMessenger outerInstalled(&outer);
        {
            CountingMessenger inner(OperatorAnswer::No);
            const ScopedOperatorMessenger innerInstalled(&inner);
            QVERIFY(!OperatorMessages::AskYesNo(nullptr, "inner"));
        }
        QVERIFY(OperatorMessages::AskYesNo(nullptr, "outer"));
        QCOMPARE(outer.shown, QStringList{"outer"});
    }

    void withoutMessengerAQuestionTakesItsPreselectedAnswer_data() {
        QTest::addColumn<bool>("defaultNo");
        QTest::addColumn<OperatorAnswer>("answer");
        QTest::newRow("Yes preselected") << false << OperatorAnswer::Yes;
        QTest::newRow("No preselected") << true << OperatorAnswer::No;
    }
    void withoutMessengerAQuestionTakesItsPreselectedAnswer() {
        QFETCH(bool, defaultNo);
        QFETCH(OperatorAnswer, answer);
        QCOMPARE(OperatorMessages::Messenger(), nullptr);
        QCOMPARE(OperatorMessages::Ask(nullptr, "q", OperatorButtons::YesNo, defaultNo), answer);
    }
};

QTEST_MAIN(TestOperatorMessages)
#include "tst_operator_messages.moc"
