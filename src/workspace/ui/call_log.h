#pragma once

#include <QDockWidget>

class QTableWidget;
struct BufferCallReport;

// The main window's call log while it waits for panels to call in: one row for every call of this
// run (time, customer, result, events stored and found stored before), the newest at the bottom.
// It shows up with the first listening and stays for the run, so a night's calls can be read in
// the morning; nothing of it is stored.
class CallLog : public QDockWidget {
    Q_OBJECT
public:
    explicit CallLog(QWidget* parent = nullptr);

    void Add(const BufferCallReport& report);
    QTableWidget* Table() const { return tblChamadas; }

private:
    QTableWidget* tblChamadas;
};
