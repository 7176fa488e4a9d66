#include "access/ui/frm_primeira_senha.h"

#include "access/ui/frm_permissoes.h"

#include "widgets/balloon_tip.h"
#include "widgets/help.h"
#include "base/operator_messages.h"
#include "store/data_module.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* NewEdit(QWidget* parent, const char* name, int maxLength, bool secret = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    if (secret) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    return edit;
}

QLabel* Note(QWidget* parent, const QString& text) {
    auto* note = new QLabel(text, parent);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #30405a"));
    return note;
}

} // namespace

TfrmPrimeiraSenha::TfrmPrimeiraSenha(TdmBancoDeDados& dm, Page page, QWidget* parent)
    : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmPrimeiraSenha"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(BuildFirstOperatorPage());
    m_pages->addWidget(BuildForgottenPage());
    m_pages->addWidget(BuildOperatorEditorPage());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    if (page == Page::FirstOperator) {
        m_pages->setCurrentIndex(0);
        SetHelpTopic(this, 2);
        // The new operator's row is started at once; OK fills and posts it.
        if (m_dm.DSetUsuariosSoft.Active() || m_dm.DSetUsuariosSoft.Open())
            m_dm.DSetUsuariosSoft.Insert();
        dbedtUsuario->setFocus();
    } else if (page == Page::ForgottenPassword) {
        m_pages->setCurrentIndex(1);
        SetHelpTopic(this, 29);
        cmbPerguntaEsqueci->setFocus();
    } else {
        m_pages->setCurrentIndex(2);
        SetHelpTopic(this, 15);
        dbedtNomeUsuario->setFocus();
    }
    setMinimumWidth(460);
}

TfrmPrimeiraSenha::TfrmPrimeiraSenha(TdmBancoDeDados& dm, const OperatorRecord& record, QWidget* parent)
    : TfrmPrimeiraSenha(dm, Page::OperatorEditor, parent) {
    m_record = record;
    const bool isNew = record.id == 0;
    lblTituloUsuario->setText(isNew ? kTituloNovoUsuario : kTituloModificandoUsuario);
    dbedtNomeUsuario->setText(record.usuario);
    dbedtSenhaUsuario->setText(record.senha);
    dbedtConfirmaSenhaUsuario->setText(record.confirmacao);
    cmbPerguntaUsuario->setCurrentIndex(int(SecretQuestions().indexOf(record.pergunta)));
    dbedtRespostaUsuario->setText(record.resposta);
    chkAtivado->setChecked(isNew || record.ativo);
    // The administrator is always active and holds every permission.
    chkAtivado->setEnabled(!record.IsAdministrator());
    btnPermissoes->setEnabled(!record.IsAdministrator() &&
                              m_dm.Operator.HasPermission(Permission::ModificarUsuario));
}

QWidget* TfrmPrimeiraSenha::BuildFirstOperatorPage() {
    auto* page = new QWidget(this);
    auto* heading = new QLabel(QStringLiteral("Cadastro do primeiro usuário"), page);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    heading->setFont(bold);
    dbedtUsuario = NewEdit(page, "dbedtUsuario", 30);
    dbedtSenha = NewEdit(page, "dbedtSenha", 8, true);
    dbedtConfirmaSenha = NewEdit(page, "dbedtConfirmaSenha", 8, true);
    auto* lettersAndDigits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]*")), page);
    for (QLineEdit* edit : {dbedtUsuario, dbedtSenha, dbedtConfirmaSenha})
        edit->setValidator(lettersAndDigits);
    cmbPergunta = new QComboBox(page);
    cmbPergunta->setObjectName(QStringLiteral("cmbPergunta"));
    cmbPergunta->addItems(SecretQuestions());
    cmbPergunta->setCurrentIndex(0);
    dbedtResposta = NewEdit(page, "dbedtResposta", 50);
    btnOK = new QPushButton(QStringLiteral("&OK"), page);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    // Enter in a field moves on; Enter on the last stop confirms.
    btnOK->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), page);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nome do usuário:"), dbedtUsuario);
    form->addRow(QStringLiteral("Senha do usuário:"), dbedtSenha);
    form->addRow(QStringLiteral("Confirmação da senha:"), dbedtConfirmaSenha);
    form->addRow(QStringLiteral("Pergunta secreta:"), cmbPergunta);
    form->addRow(QStringLiteral("Resposta secreta:"), dbedtResposta);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancelar);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addWidget(
        Note(page, QStringLiteral("A pergunta e a resposta secretas permitem recuperar a senha "
                                  "esquecida na tela de entrada, pelo botão \"Esqueci a senha\".")));
    layout->addStretch();
    layout->addLayout(buttons);

    for (QWidget* field : {static_cast<QWidget*>(dbedtUsuario), static_cast<QWidget*>(dbedtSenha),
                           static_cast<QWidget*>(dbedtConfirmaSenha), static_cast<QWidget*>(cmbPergunta),
                           static_cast<QWidget*>(dbedtResposta)})
        EnterMovesOn(field);
    connect(btnOK, &QPushButton::clicked, this, &TfrmPrimeiraSenha::btnOKClick);
    connect(btnCancelar, &QPushButton::clicked, this, [this] {
        if (m_dm.DSetUsuariosSoft.Editing())
            m_dm.DSetUsuariosSoft.Cancel();
        reject();
    });
    return page;
}

QWidget* TfrmPrimeiraSenha::BuildForgottenPage() {
    auto* page = new QWidget(this);
    cmbPerguntaEsqueci = new QComboBox(page);
    cmbPerguntaEsqueci->setObjectName(QStringLiteral("cmbPerguntaEsqueci"));
    cmbPerguntaEsqueci->addItems(SecretQuestions());
    cmbPerguntaEsqueci->setCurrentIndex(-1);
    edtRespostaEsqueci = NewEdit(page, "edtRespostaEsqueci", 50);
    lblSenha = new QLabel(QStringLiteral("Senha:"), page);
    lblSenhaRevelada = new QLabel(page);
    lblSenhaRevelada->setObjectName(QStringLiteral("lblSenhaRevelada"));
    lblSenhaRevelada->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = lblSenhaRevelada->font();
    bold.setBold(true);
    lblSenhaRevelada->setFont(bold);
    lblSenha->setVisible(false);
    btnOKEsqueci = new QPushButton(QStringLiteral("&OK"), page);
    btnOKEsqueci->setObjectName(QStringLiteral("btnOKEsqueci"));
    btnOKEsqueci->setDefault(true);
    btnFechar = new QPushButton(QStringLiteral("&Fechar"), page);
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Pergunta secreta:"), cmbPerguntaEsqueci);
    form->addRow(QStringLiteral("Resposta secreta:"), edtRespostaEsqueci);
    form->addRow(lblSenha, lblSenhaRevelada);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOKEsqueci);
    buttons->addWidget(btnFechar);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Note(page, QStringLiteral("Escolha a pergunta secreta cadastrada para este usuário e "
                                                "escreva a resposta correta para ver a senha.")));
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    connect(btnOKEsqueci, &QPushButton::clicked, this, &TfrmPrimeiraSenha::btnOKEsqueciClick);
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

QWidget* TfrmPrimeiraSenha::BuildOperatorEditorPage() {
    auto* page = new QWidget(this);
    lblTituloUsuario = new QLabel(page);
    lblTituloUsuario->setObjectName(QStringLiteral("lblTituloUsuario"));
    QFont bold = lblTituloUsuario->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblTituloUsuario->setFont(bold);
    dbedtNomeUsuario = NewEdit(page, "dbedtNomeUsuario", 30);
    dbedtSenhaUsuario = NewEdit(page, "dbedtSenhaUsuario", 8, true);
    dbedtConfirmaSenhaUsuario = NewEdit(page, "dbedtConfirmaSenhaUsuario", 8, true);
    auto* lettersAndDigits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]*")), page);
    for (QLineEdit* edit : {dbedtNomeUsuario, dbedtSenhaUsuario, dbedtConfirmaSenhaUsuario})
        edit->setValidator(lettersAndDigits);
    cmbPerguntaUsuario = new QComboBox(page);
    cmbPerguntaUsuario->setObjectName(QStringLiteral("cmbPerguntaUsuario"));
    cmbPerguntaUsuario->addItems(SecretQuestions());
    cmbPerguntaUsuario->setCurrentIndex(-1);
    dbedtRespostaUsuario = NewEdit(page, "dbedtRespostaUsuario", 50);
    chkAtivado = new QCheckBox(QStringLiteral("Ativado"), page);
    chkAtivado->setObjectName(QStringLiteral("chkAtivado"));
    btnPermissoes = new QPushButton(QStringLiteral("Permissões"), page);
    btnPermissoes->setObjectName(QStringLiteral("btnPermissoes"));
    btnPermissoes->setAutoDefault(false);
    btnOKUsuario = new QPushButton(QStringLiteral("&OK"), page);
    btnOKUsuario->setObjectName(QStringLiteral("btnOKUsuario"));
    btnOKUsuario->setDefault(true);
    btnCancelarUsuario = new QPushButton(QStringLiteral("&Cancelar"), page);
    btnCancelarUsuario->setObjectName(QStringLiteral("btnCancelarUsuario"));
    btnCancelarUsuario->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nome do usuário:"), dbedtNomeUsuario);
    form->addRow(QStringLiteral("Senha do usuário:"), dbedtSenhaUsuario);
    form->addRow(QStringLiteral("Confirmação da senha:"), dbedtConfirmaSenhaUsuario);
    form->addRow(QStringLiteral("Pergunta secreta:"), cmbPerguntaUsuario);
    form->addRow(QStringLiteral("Resposta secreta:"), dbedtRespostaUsuario);
    form->addRow(QString(), chkAtivado);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnPermissoes);
    buttons->addStretch();
    buttons->addWidget(btnOKUsuario);
    buttons->addWidget(btnCancelarUsuario);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lblTituloUsuario);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);

    for (QWidget* field :
         {static_cast<QWidget*>(dbedtNomeUsuario), static_cast<QWidget*>(dbedtSenhaUsuario),
          static_cast<QWidget*>(dbedtConfirmaSenhaUsuario), static_cast<QWidget*>(cmbPerguntaUsuario),
          static_cast<QWidget*>(dbedtRespostaUsuario), static_cast<QWidget*>(chkAtivado)})
        EnterMovesOn(field);
    connect(btnOKUsuario, &QPushButton::clicked, this, &TfrmPrimeiraSenha::btnOKUsuarioClick);
    connect(btnPermissoes, &QPushButton::clicked, this, &TfrmPrimeiraSenha::btnPermissoesClick);
    connect(btnCancelarUsuario, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

void TfrmPrimeiraSenha::EnterMovesOn(QWidget* field) {
    field->installEventFilter(this);
}

bool TfrmPrimeiraSenha::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPrimeiraSenha::btnOKClick() {
    NewOperator op{dbedtUsuario->text(), dbedtSenha->text(), dbedtConfirmaSenha->text(),
                   cmbPergunta->currentIndex() >= 0 ? cmbPergunta->currentText() : QString(),
                   dbedtResposta->text()};
    switch (CheckNewOperator(op)) {
    case NewOperatorProblem::EmptyUsuario:
        BalloonTip::ShowFieldError(dbedtUsuario, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::EmptySenha:
        BalloonTip::ShowFieldError(dbedtSenha, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::EmptyConfirmacao:
        BalloonTip::ShowFieldError(dbedtConfirmaSenha, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::NoPergunta:
        BalloonTip::ShowFieldError(cmbPergunta, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::EmptyResposta:
        BalloonTip::ShowFieldError(dbedtResposta, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::Mismatch:
        BalloonTip::ShowFieldError(dbedtConfirmaSenha, kMsgConfirmacaoIncorreta);
        return;
    case NewOperatorProblem::None:
        break;
    }
    QString error;
    if (!CreateFirstOperator(m_dm, op, &error)) {
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
        return;
    }
    accept();
}

void TfrmPrimeiraSenha::btnOKUsuarioClick() {
    const NewOperator typed{
        dbedtNomeUsuario->text(), dbedtSenhaUsuario->text(), dbedtConfirmaSenhaUsuario->text(),
        cmbPerguntaUsuario->currentIndex() >= 0 ? cmbPerguntaUsuario->currentText() : QString(),
        dbedtRespostaUsuario->text()};
    switch (CheckNewOperator(typed)) {
    case NewOperatorProblem::EmptyUsuario:
        BalloonTip::ShowFieldError(dbedtNomeUsuario, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::EmptySenha:
        BalloonTip::ShowFieldError(dbedtSenhaUsuario, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::EmptyConfirmacao:
        BalloonTip::ShowFieldError(dbedtConfirmaSenhaUsuario, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::NoPergunta:
        BalloonTip::ShowFieldError(cmbPerguntaUsuario, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::EmptyResposta:
        BalloonTip::ShowFieldError(dbedtRespostaUsuario, kMsgPreenchimentoObrigatorio);
        return;
    case NewOperatorProblem::Mismatch:
        BalloonTip::ShowFieldError(dbedtConfirmaSenhaUsuario, kMsgConfirmacaoIncorreta);
        return;
    case NewOperatorProblem::None:
        break;
    }
    OperatorRecord edited = m_record;
    edited.usuario = typed.usuario;
    edited.senha = typed.senha;
    edited.confirmacao = typed.confirmacao;
    edited.pergunta = typed.pergunta;
    edited.resposta = typed.resposta;
    edited.ativo = chkAtivado->isChecked();
    QString error;
    const OperatorChange change = SaveOperator(m_dm, &edited, &error);
    if (change == OperatorChange::Failed) {
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
        return;
    }
    if (change != OperatorChange::Done) {
        OperatorMessages::Tell(this, OperatorChangeMessage(change), MessageIcon::Warning);
        return;
    }
    m_record = edited;
    accept();
}

void TfrmPrimeiraSenha::btnPermissoesClick() {
    if (!m_dm.Operator.HasPermission(Permission::ModificarUsuario) || m_record.IsAdministrator())
        return;
    TfrmPermissoes editor(m_record.permissoes, this);
    if (editor.exec() == QDialog::Accepted)
        m_record.permissoes = editor.Permissoes();
}

void TfrmPrimeiraSenha::btnOKEsqueciClick() {
    if (cmbPerguntaEsqueci->currentIndex() < 0) {
        BalloonTip::ShowFieldError(cmbPerguntaEsqueci, kMsgEscolhaPergunta);
        return;
    }
    if (edtRespostaEsqueci->text().isEmpty()) {
        BalloonTip::ShowFieldError(edtRespostaEsqueci, kMsgEscrevaResposta);
        return;
    }
    if (cmbPerguntaEsqueci->currentText() != m_secret.pergunta ||
        edtRespostaEsqueci->text() != m_secret.resposta) {
        OperatorMessages::Tell(this, kMsgRespostaIncorreta);
        return;
    }
    lblSenha->setVisible(true);
    lblSenhaRevelada->setText(m_secret.senha);
}
