#pragma once

#include <QString>

#include <functional>

class QWidget;

// Long database work (backup, restore) runs on a worker thread while a modal progress window shows
// its caption and advances its bar with each line the work reports, so the window never freezes.
// The progress window cannot be closed meanwhile: the work cannot be stopped half-way safely.
using ProgressLine = std::function<void(const QString& line)>;
using ProgressWork = std::function<bool(const ProgressLine& line)>;

// Runs `work` and answers its result once it ended (false when it threw).
bool RunWithProgress(QWidget* parent, const QString& caption, const ProgressWork& work);
