#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTableWidget;

// Asked before the program waits for panels to call in, when customers share a panel code: a
// calling panel is known by its code alone, so a call from one of them could be taken for
// another's. Lists the customers concerned; "&Sim" goes on all the same, "&Não" (the default, and
// the answer when the dialog is closed) stops.
class TfrmDialogEsperaLig : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDialogEsperaLig(QWidget* parent = nullptr);

    // One row per customer: its panel code and its name. The grid is shown once it has rows.
    void AddRow(const QString& panelCode, const QString& name);

    QTableWidget* StringGrid1;
    QPushButton* btnSim;
    QPushButton* btnNao;
};
