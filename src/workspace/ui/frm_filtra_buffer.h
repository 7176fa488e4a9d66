#pragma once

#include "store/event_query.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimeEdit;

// `TfrmFiltraBuffer`, the events page's filter: one check box per criterion enabling its controls
// (dates, times of day, partitions, events, users, zones, event numbers) and the choice between
// every criterion and at least one. Made for one customer's model the first time "Filtrar" is
// pressed and kept, with its settings, while the record screen is open. OK refuses dates or numbers
// in the wrong order (the message says why, the dialog stays); Cancel changes nothing.
class TfrmFiltraBuffer : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFiltraBuffer(int productCode, QWidget* parent = nullptr);

    // The criteria as chosen.
    EventFilter Filter() const;

    void accept() override;

    QCheckBox *chkData, *chkHorario, *chkParticao, *chkEvento, *chkUsuario, *chkZona, *chkNumEvento;
    QDateEdit *cmbDeData, *cmbAData;
    QTimeEdit *cmbDeHorario, *cmbAHorario;
    QCheckBox *chkPart1, *chkPart2;
    QListWidget *lbxEvento, *lbxUsuario, *lbxZona;
    QLineEdit *edtDeNumEvento, *edtANumEvento;
    QRadioButton *optTodas, *optPeloMenos;
    QPushButton *btnOK, *btnCancelar;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A box's controls and "De:"/"a" labels follow its state.
    void BoxToggled(QCheckBox* box, bool checked);

    QList<QLabel*> m_dateLabels, m_timeLabels, m_numberLabels;
};
