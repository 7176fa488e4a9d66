#include "support/recording_link_operator.h"

QStringList RecordingLinkOperator::messageTexts() const {
    QStringList texts;
    for (const Message& m : messages)
        texts.append(m.text);
    return texts;
}

QStringList RecordingLinkOperator::stepTexts() const {
    QStringList texts;
    for (const ProgressStep& s : steps)
        texts.append(s.text);
    return texts;
}

int RecordingLinkOperator::currentStep() const {
    for (int i = 0; i < steps.size(); ++i) {
        if (steps.at(i).state == StepState::Current)
            return i;
    }
    return -1;
}

OperatorAnswer RecordingLinkOperator::Show(QObject*, const OperatorMessage& message) {
    if (message.buttons == OperatorButtons::Ok) {
        messages.append({message.icon, message.text});
        return OperatorAnswer::Ok;
    }
    questions.append(message.text);
    return answer ? OperatorAnswer::Yes : OperatorAnswer::No;
}

void RecordingLinkOperator::ProgressShow() {
    progressVisible = true;
    ++progressShows;
}

void RecordingLinkOperator::ProgressClose() {
    if (progressVisible)
        ++progressCloses;
    progressVisible = false;
}

void RecordingLinkOperator::ProgressSteps(const QList<ProgressStep>& list) {
    steps = list;
    if (onSteps)
        onSteps(list);
}

void RecordingLinkOperator::ProgressSetBar(bool visible, int, int, int value) {
    barVisible = visible;
    barValue = value;
}

void RecordingLinkOperator::StatusShow(const QString& text, bool, int, int) {
    statusVisible = true;
    statusTexts.append(text);
}

void RecordingLinkOperator::StatusClose() {
    statusVisible = false;
    ++statusCloses;
}

RecordingCustomerScreen::RecordingCustomerScreen() = default;

void RecordingCustomerScreen::SetTempoEnganaSecretaria(int seconds) {
    tempoEnganaSecretaria = seconds;
    storedBypassTimes.append(seconds);
}

void RecordingCustomerScreen::SetVersaoProduto(const QString& version) {
    versaoProduto = version;
    storedVersions.append(version);
}

ProgrammingImages* RecordingCustomerScreen::Imagens(int productCode) {
    return productCode == 2 ? &fiveZone : &tenZone;
}
