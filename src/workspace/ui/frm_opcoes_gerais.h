#pragma once

#include "base/settings.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// `TfrmOpcoesGerais`, "&Gerais ...": the panel-code repeat rule, the city, state and postal code a
// new customer starts with, the print header (two lines with their styles and the logo) and the
// backup when the program ends. "&OK" writes these keys into the settings file (nothing else of
// the file changes) and saves the shown logo as Templates/LogoImpressao.jpg; "&Cancelar" closes
// without change.
class TfrmOpcoesGerais : public QDialog {
    Q_OBJECT
public:
    // `settings`: the main window's copy; `settingsPath`: ZRVConfig.ini.
    TfrmOpcoesGerais(const Settings& settings, const QString& settingsPath, QWidget* parent = nullptr);

    // The settings as "&OK" wrote them (the copy given when the dialog was cancelled).
    const Settings& Result() const { return m_settings; }

    // Where "Alterar &imagem ..." takes its picture from (a file dialog by default; empty: none).
    void SetPictureChooser(std::function<QString()> chooser) { m_choosePicture = std::move(chooser); }

    // The picture the logo shows (null when none could be loaded).
    const QImage& Logo() const { return m_logo; }

    QLineEdit* edtCidade;
    QComboBox* cmbEstado;
    QLineEdit* edtCEP;
    QLineEdit* edtLinha1;
    QLineEdit* edtLinha2;
    QCheckBox* chkNegrito1;
    QCheckBox* chkItalico1;
    QCheckBox* chkSublinhado1;
    QCheckBox* chkNegrito2;
    QCheckBox* chkItalico2;
    QCheckBox* chkSublinhado2;
    QLabel* lblAmostra1;
    QLabel* lblAmostra2;
    QLabel* imgLogo;
    QPushButton* btnAlterarImagem;
    QPushButton* btnLimpar;
    QPushButton* btnLogoZrv;
    QRadioButton* rbNaoPermitir;
    QRadioButton* rbAvisar;
    QRadioButton* rbPermitir;
    QCheckBox* chkBackup;
    QPushButton* btnOk;
    QPushButton* btnCancelar;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    // Loads a picture into the logo; a file that is missing or not a picture is told and the shown
    // logo stays. Answers whether it loaded.
    bool LoadPicture(const QString& path);
    void ChooseStyle(QString& styles, QLabel* sample, const QString& word, bool on);
    void Confirmar();

    Settings m_settings;
    QString m_settingsPath;
    QString m_style1;
    QString m_style2;
    QImage m_logo;
    QString m_logoSource; // the file the shown logo came from
    std::function<QString()> m_choosePicture;
};

// The stock pictures of the logo buttons under `pathBD`/Templates: "Blank.jpg" (a white picture)
// and "LogoZrv.jpg" (the program's name), written when missing. Answers the file's path.
QString StockPicture(const QString& pathBD, const QString& name);
// The pictures an installation is delivered with under `pathBD`/Templates, written when missing:
// the two above and the print header's logo "LogoImpressao.jpg" (the program's name), so that a new
// installation prints with a logo and its general options open on one.
void EnsureStockPictures(const QString& pathBD);
