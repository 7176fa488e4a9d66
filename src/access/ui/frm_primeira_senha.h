#pragma once

#include "access/login.h"
#include "access/operators.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TdmBancoDeDados;

// The operator set-up window, one page shown at a time (no tabs): the first operator of a new
// database, the forgotten password of the login, and the operator editor of the operator list.
class TfrmPrimeiraSenha : public QDialog {
    Q_OBJECT
public:
    enum class Page { FirstOperator, ForgottenPassword, OperatorEditor };

    TfrmPrimeiraSenha(TdmBancoDeDados& dm, Page page, QWidget* parent = nullptr);
    // The operator editor on `record`: "Novo Usuário" for a new one (id 0), "Modificando Cadastro
    // do Usuário" otherwise. OK stores it.
    TfrmPrimeiraSenha(TdmBancoDeDados& dm, const OperatorRecord& record, QWidget* parent = nullptr);

    // The operator as the editor holds it (stored when the window closed with OK).
    const OperatorRecord& EditedOperator() const { return m_record; }

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
    // Page 3: operator editor.
    QLabel* lblTituloUsuario;
    QLineEdit* dbedtNomeUsuario;
    QLineEdit* dbedtSenhaUsuario;
    QLineEdit* dbedtConfirmaSenhaUsuario;
    QComboBox* cmbPerguntaUsuario;
    QLineEdit* dbedtRespostaUsuario;
    QCheckBox* chkAtivado;
    QPushButton* btnPermissoes;
    QPushButton* btnOKUsuario;
    QPushButton* btnCancelarUsuario;

    void btnOKClick();
    void btnOKEsqueciClick();
    void btnOKUsuarioClick();
    void btnPermissoesClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFirstOperatorPage();
    QWidget* BuildForgottenPage();
    QWidget* BuildOperatorEditorPage();
    void EnterMovesOn(QWidget* field);

    TdmBancoDeDados& m_dm;
    QStackedWidget* m_pages;
    StoredSecret m_secret;
    OperatorRecord m_record;
};
