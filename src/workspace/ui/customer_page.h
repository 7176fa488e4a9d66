#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// The "Cliente" tab of the customer record screen: name and group, creation date and time, the
// codes for talking to the panel, the panel's telephone with the answering-machine bypass, and the
// contact telephones. It keeps its own display rules (which code fields are editable, the bypass
// time shown only with the bypass, the time's range); the screen binds the fields to the rows and
// decides the rest.
class CustomerPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxTempoSecretaria = 255;

    explicit CustomerPage(QWidget* parent = nullptr);

    // The code fields are editable while "Alterar códigos de comunicação" is ticked and the codes
    // come from the PC.
    void UpdateCodeFieldsEnabled();
    bool CodesFromPc() const;
    // Shows the codes of one source without anything reaching the rows or the images.
    void ShowCodesQuietly(const QString& panelCode, const QString& pcCode);

    // Name and group.
    QLineEdit* dbedtNome = nullptr;
    QComboBox* cmbGrupo = nullptr;
    QLabel* lblDataCriacao = nullptr;
    QLabel* lblHoraCriacao = nullptr;

    // "Códigos para comunicação com o painel".
    QGroupBox* grpCodigos = nullptr;
    QLineEdit* dbedtCodigoPainel = nullptr;
    QLineEdit* dbedtCodigoPC = nullptr;
    QCheckBox* chkAlterarCodigos = nullptr;
    QRadioButton* rbFontePCCodigos = nullptr;
    QRadioButton* rbFonteAlarmeCodigos = nullptr;
    QPushButton* btnEnviarCodigos = nullptr;

    // "Telefone para comunicação com o painel".
    QLineEdit* dbedtFonePainel = nullptr;
    QCheckBox* dbchkSecretaria = nullptr;
    QLineEdit* dbedtTempoSecret = nullptr;

    // "Telefones para contato".
    QLineEdit* dbedtFone1 = nullptr;
    QLineEdit* dbedtFone2 = nullptr;
    QLineEdit* dbedtFone3 = nullptr;

    // The bypass time and its arrows are shown only with the bypass ticked.
    void UpdateAnsweringMachineFields();

private:
    void TempoSecretariaLeft();
    void StepTempoSecretaria(int delta);

    QToolButton* sbTempoSecretUp = nullptr;
    QToolButton* sbTempoSecretDown = nullptr;
    QLabel* lblSeg = nullptr;
};
