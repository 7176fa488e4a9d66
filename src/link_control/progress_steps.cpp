#include "link_control/progress_steps.h"

#include <algorithm>

void ProgressSteps::Reset(const QStringList& lines) {
    m_lines.clear();
    for (int i = 0; i < lines.size(); ++i) {
        const StepState state = i == 0 ? StepState::Done : i == 1 ? StepState::Current : StepState::Pending;
        m_lines.append({lines.at(i), state});
    }
}

void ProgressSteps::Next() {
    const int current = Current();
    // Without a current line the step goes from the last done line onwards.
    int from = current;
    if (from < 0) {
        from = -1;
        for (int i = 0; i < m_lines.size(); ++i) {
            if (m_lines.at(i).state == StepState::Done)
                from = i;
        }
    }
    if (from >= 0)
        m_lines[from].state = StepState::Done;
    if (from + 1 < m_lines.size())
        m_lines[from + 1].state = StepState::Current;
}

void ProgressSteps::Add(const QString& text, StepState state) {
    m_lines.append({text, state});
}

void ProgressSteps::InsertAfterCurrent(const QString& text) {
    const int current = Current();
    Insert(current < 0 ? int(m_lines.size()) : current + 1, text);
}

void ProgressSteps::Insert(int position, const QString& text) {
    position = std::clamp(position, 0, int(m_lines.size()));
    m_lines.insert(position, {text, StepState::Pending});
}

void ProgressSteps::SetState(int index, StepState state) {
    if (index >= 0 && index < m_lines.size())
        m_lines[index].state = state;
}

int ProgressSteps::Current() const {
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).state == StepState::Current)
            return i;
    }
    return -1;
}

QStringList ProgressSteps::Texts() const {
    QStringList texts;
    for (const ProgressStep& line : m_lines)
        texts.append(line.text);
    return texts;
}
