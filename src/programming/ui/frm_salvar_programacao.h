#pragma once

#include <QDialog>

class CustomerRecord;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct Settings;

// `TfrmSalvarProgramacao`, "Configurações ..." of a programming window: the model's templates
// (files *.zrv under Templates/<model folder>, the raw `ImagemPC`), loading one into `ImagemPC`,
// saving `ImagemPC` as one, choosing the model's default template (kept in `settings` and written
// into the settings file), and the panel version stored for the customer.
class TfrmSalvarProgramacao : public QDialog {
    Q_OBJECT
public:
    TfrmSalvarProgramacao(CustomerRecord& record, Settings& settings, const QString& settingsPath,
                          QWidget* parent = nullptr);

    // The model's template folder (application folder, "Templates", the model's folder).
    QString TemplateFolder() const;

    QListWidget* lstArquivos = nullptr;
    QPushButton* btnCarregar = nullptr;
    QPushButton* btnDefinirPadrao = nullptr;
    QLabel* lblArquivoPadrao = nullptr;
    QLineEdit* edtNome = nullptr;
    QPushButton* btnSalvar = nullptr;
    QComboBox* cmbVersao = nullptr;
    QPushButton* btnFechar = nullptr;

Q_SIGNALS:
    // A template was loaded into `ImagemPC`: the window shows every section from "PC".
    void TemplateLoaded();
    // "Fechar" stored the chosen version: the windows follow it.
    void VersionChosen();

private:
    void FillFileList();
    void ShowDefault();
    void btnCarregarClick();
    void btnDefinirPadraoClick();
    void btnSalvarClick();
    void btnFecharClick();
    void Tell(const QString& text);

    CustomerRecord& m_record;
    Settings& m_settings;
    QString m_settingsPath;
};
