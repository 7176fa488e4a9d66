#pragma once

#include "serial/modem_catalogue.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The modem-selection dialog: one of the catalogue's models and its initialisation string, which
// the operator may edit or put back to the built-in one ("Restaurar padrão"). "Ok" stores the
// string of the chosen model and the choice in the catalogue; "Cancelar" leaves it untouched.
// The catalogue is read as it stands and changed only in those two keys, so its other models,
// comments and letter case stay as they were.
class TfrmComandosAT : public QDialog {
    Q_OBJECT
public:
    // `cataloguePath`: the Modem.ini to read and, on "Ok", to update.
    explicit TfrmComandosAT(const QString& cataloguePath, QWidget* parent = nullptr);

    // The model chosen on "Ok".
    QString ModeloEscolhido() const { return m_chosenModel; }

    QComboBox* cmbModems;
    QLineEdit* edtComandos;
    QPushButton* btnRestaurar;
    QPushButton* btnOk;
    QPushButton* btnCancelar;

    void RestaurarPadrao();
    // Writes the choice; stays open when the catalogue cannot be written.
    void Confirmar();

private:
    void ShowModel(int comboIndex);

    QString m_path;
    ModemCatalogue m_catalogue;
    QString m_chosenModel;
};
