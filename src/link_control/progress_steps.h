#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The step list of the connection progress window: lines of text, each pending, current or done.
// The link keeps the list and hands every change to the operator, who only shows it.
enum class StepState { Pending, Current, Done };

struct ProgressStep {
    QString text;
    StepState state = StepState::Pending;
    bool operator==(const ProgressStep&) const = default;
};

class ProgressSteps {
public:
    // A fresh list: the first line done, the second current, the rest pending.
    void Reset(const QStringList& lines);
    // "Take the next step": the line after the current one becomes current, the current one done.
    // Past the last line every line ends up done.
    void Next();
    // Appends a line in the given state.
    void Add(const QString& text, StepState state = StepState::Pending);
    // Inserts a pending line right after the current one (at the end when none is current).
    void InsertAfterCurrent(const QString& text);
    // Inserts a pending line at `position` (0-based), clamped to the list.
    void Insert(int position, const QString& text);
    void SetState(int index, StepState state);

    // Index of the current line, -1 when none is.
    int Current() const;
    const QList<ProgressStep>& Lines() const { return m_lines; }
    QStringList Texts() const;

private:
    QList<ProgressStep> m_lines;
};
