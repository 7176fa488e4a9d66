#pragma once

#include "access/login.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TdmBancoDeDados;

// The operator set-up window, one page shown at a time (no tabs): the first operator of a new
// database, and the forgotten password of the login.
class TfrmPrimeiraSenha : public QDialog {
    Q_OBJECT
public:
    enum class Page { FirstOperator, ForgottenPassword };

    TfrmPrimeiraSenha(TdmBancoDeDados& dm, Page page, QWidget* parent = nullptr);

    // The forgotten-password page compares with these.
    void SetStoredSecret(const StoredSecret& secret) { m_secret = secret; }

    // Page 1: first operator.
    QLineEdit* dbedtUsuario;
    QLineEdit* dbedtSenha;
    QLineEdit* dbedtConfirmaSenha;
    QComboBox* cmbPergunta;
    QLineEdit* dbedtResposta;
    QPushButton* btnOK;
    QPushButton* btnCancelar;
    // Page 2: forgotten password.
    QComboBox* cmbPerguntaEsqueci;
    QLineEdit* edtRespostaEsqueci;
    QLabel* lblSenha;
    QLabel* lblSenhaRevelada;
    QPushButton* btnOKEsqueci;
    QPushButton* btnFechar;

    void btnOKClick();
    void btnOKEsqueciClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFirstOperatorPage();
    QWidget* BuildForgottenPage();
    void EnterMovesOn(QWidget* field);

    TdmBancoDeDados& m_dm;
    QStackedWidget* m_pages;
    StoredSecret m_secret;
};
