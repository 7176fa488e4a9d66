#pragma once

#include "base/settings.h"
#include "store/logged_operator.h"

#include <QDialog>

#include <functional>

class ComPort;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

// The communication settings: serial port, modem model and its initialisation commands, tone or
// pulse, rings, the modem's speaker and volume, PABX and the pause after the outside-line digit.
// It starts from the main window's settings and the modem catalogue; "Ok" writes the keys it owns
// into the settings file (nothing else of the file changes) and closes, "Cancelar" closes without
// writing. The operator's permissions decide which groups can be changed.
class TfrmConfigConexao : public QDialog {
    Q_OBJECT
public:
    // The serial port the modem test talks through, created for the test and owned by `owner`
    // (or by someone else; the window only opens and closes it).
    using TestPortProvider = std::function<ComPort*(QObject* owner)>;

    // `settings`: the main window's copy; `settingsPath`: ZRVConfig.ini; `catalogueFolder`: where
    // Modem.ini is.
    TfrmConfigConexao(const Settings& settings, const QString& settingsPath, const QString& catalogueFolder,
                      const LoggedOperator& op, QWidget* parent = nullptr);

    void SetTestPortProvider(TestPortProvider provider) { m_testPort = std::move(provider); }
    // The settings as "Ok" wrote them.
    const Settings& Result() const { return m_settings; }
    // The working state.
    QString ChosenPort() const { return m_port; }
    QString ModelName() const { return m_model; }
    const QStringList& Commands() const { return m_commands; }

    QGroupBox* gbGerais;
    QLabel* Label4; // the model name
    QPushButton* btnTestarModem;
    QPushButton* btnSelecionarModem;
    QComboBox* cbOutrosModems;
    QGroupBox* gbPorta;
    QList<QRadioButton*> rbCom; // "Com 1" .. "Com 8"
    QLabel* lblOutraPorta;
    QLineEdit* edOutraPorta;
    QPushButton* btnMostrarPortas;
    QLabel* lblPortasValidas;
    QGroupBox* gbModoDiscagem;
    QRadioButton* rbTom;
    QRadioButton* rbPulso;
    QGroupBox* gbRings;
    QComboBox* cmbRings;
    QGroupBox* gbAdicionais;
    QGroupBox* gbAutoFalante;
    QList<QRadioButton*> rbSpeaker; // values 0 .. 3
    QGroupBox* gbVolume;
    QSlider* tbVolume;
    QGroupBox* gbDiscagem;
    QCheckBox* chkPABX;
    QCheckBox* chkAguardaTom;
    QGroupBox* gbPausa;
    QCheckBox* chkHabilitaPausa;
    QLineEdit* edtDuracao;
    QLineEdit* edtDigito;
    QPushButton* btnOk;
    QPushButton* btnCancelar;

    // "Mostrar portas válidas": enables the port buttons whose device exists and empties "Especificar
    // outra porta:" when `fromButton`.
    void MostrarPortasValidas(bool fromButton = true);
    void SelecionarModem();
    void TestarModem();
    // Writes and closes; stays open (nothing written) when the pause length is not a number or the
    // file cannot be written.
    void Confirmar();

    static QString PabxToneQuestion();

private:
    void buildScreen();
    void loadValues();
    void applyPermissions(const LoggedOperator& op);
    void readCatalogue();
    void portTyped(const QString& text);
    void uncheckPortButtons();
    void updatePauseControls();

    Settings m_settings;
    QString m_settingsPath;
    QString m_catalogueFolder;
    QString m_port;
    QString m_model;
    QStringList m_commands;
    bool m_loading = false;
    QButtonGroup* m_portGroup = nullptr;
    QButtonGroup* m_speakerGroup = nullptr;
    TestPortProvider m_testPort;
};
