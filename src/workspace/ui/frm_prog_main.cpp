#include "workspace/ui/frm_prog_main.h"

#include "base/app_title.h"
#include "base/locale_format.h"
#include "widgets/balloon_tip.h"
#include "widgets/field_binder.h"
#include "widgets/help.h"
#include "widgets/input_rules.h"
#include "widgets/operator_prompts.h"
#include "link_control/link_controller.h"
#include "session/online_worker.h"
#include "store/data_module.h"
#include "workspace/record_texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr int kPermissionConectar = 18;
constexpr int kPermissionConectarCallback = 19;
constexpr int kPermissionVerCodigoPainel = 20;
constexpr int kPermissionVerSenhaPc = 21;
constexpr int kMaxTempoSecretaria = 255;

QString ForScreen(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* NewEdit(const char* name, int maxLength) {
    auto* edit = Named(new QLineEdit, name);
    edit->setMaxLength(maxLength);
    return edit;
}

bool IsInside(const QWidget* widget, const QWidget* container) {
    return widget && container && (widget == container || container->isAncestorOf(widget));
}

} // namespace

TfrmProgMain* TfrmProgMain::OpenCustomer(const RecordScreenContext& context, int idCliente, QWidget* parent) {
    auto* screen = new TfrmProgMain(context, parent);
    screen->m_loadingRecord = true;
    const bool opened = screen->m_record.OpenExisting(idCliente);
    screen->m_loadingRecord = false;
    if (!opened) {
        screen->Tell(screen->m_record.LastError());
        delete screen;
        return nullptr;
    }
    screen->LoadFields();
    return screen;
}

TfrmProgMain* TfrmProgMain::NewCustomer(const RecordScreenContext& context, int productCode,
                                        const QString& storedVersion, QWidget* parent) {
    auto* screen = new TfrmProgMain(context, parent);
    screen->m_loadingRecord = true;
    const bool begun = screen->m_record.BeginNew(
        productCode, storedVersion, NewCustomerDefaults::FromSettings(context.settings, productCode));
    screen->m_loadingRecord = false;
    if (!begun) {
        screen->Tell(screen->m_record.LastError());
        delete screen;
        return nullptr;
    }
    // A default template that exists but cannot be read is reported; the built-in programming
    // stands in for it. A template in the older line form that could not be rewritten is reported
    // too (its image was used).
    if (const FactoryProgramming* factory = screen->m_record.Factory()) {
        const DefaultTemplate& t = factory->defaultTemplate;
        const QString path =
            NewCustomerDefaults::FromSettings(context.settings, productCode).defaultTemplatePath;
        if (t.status == TemplateStatus::Unreadable)
            screen->Tell(MsgTemplateUnreadable(path, t.error));
        else if (!t.error.isEmpty())
            screen->Tell(MsgTemplateNotRewritten(path, t.error));
    }
    screen->LoadFields();
    return screen;
}

TfrmProgMain::TfrmProgMain(const RecordScreenContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_dm(*context.dm), m_link(context.link), m_record(*context.dm),
      m_binder(new FieldBinder(this)) {
    setObjectName(QStringLiteral("frmProgMain"));
    setWindowTitle(ApplicationTitle());
    setMinimumSize(800, 600);
    SetHelpTopic(this, 30);
    BuildScreen();
    BindFields();
    if (m_link) {
        // The port stays closed while a customer is open, until a connection opens it.
        m_link->ClosePort();
        m_link->SetCustomerScreen(this);
    }
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &TfrmProgMain::CodesAreaFocusChanged);
}

TfrmProgMain::~TfrmProgMain() {
    qApp->removeEventFilter(this);
    BalloonTip::HideCurrent();
    m_record.Close();
    if (m_link && m_link->CustomerScreen() == this) {
        m_link->SetCustomerScreen(nullptr);
        // The link starts over (no customer, no product, port closed); a session that closed this
        // screen is still hanging up, and the reset waits for its end.
        LinkController* link = m_link;
        if (link->OnLineWorker()) {
            auto connection = std::make_shared<QMetaObject::Connection>();
            *connection = connect(link, &LinkController::SessionEnded, link, [link, connection] {
                QObject::disconnect(*connection);
                link->Inicia_todas_as_variaveis();
            });
        } else {
            link->Inicia_todas_as_variaveis();
        }
    }
}

OperatorPrompts& TfrmProgMain::Prompts() const {
    return m_context.prompts ? *m_context.prompts : OperatorPrompts::Desktop();
}

int TfrmProgMain::Ask(const QString& text, PromptButtons buttons, bool defaultNo) {
    return Prompts().Ask(this, text, buttons, defaultNo);
}

void TfrmProgMain::Tell(const QString& text) {
    Prompts().Tell(this, QMessageBox::Warning, text);
}

// --- building -------------------------------------------------------------------------------

void TfrmProgMain::BuildScreen() {
    auto* root = new QVBoxLayout(this);

    auto* topBar = new QHBoxLayout;
    btnSalvar = Named(new QPushButton(QStringLiteral("Salvar")), "btnSalvar");
    btnSalvar->setAutoDefault(false);
    connect(btnSalvar, &QPushButton::clicked, this, &TfrmProgMain::btnSalvarClick);
    topBar->addWidget(btnSalvar);
    auto linkButton = [](const QString& caption, const QString& hint, const char* name) {
        auto* button = Named(new QToolButton, name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setMinimumSize(88, 40);
        return button;
    };
    imgConectar = linkButton(QStringLiteral("Conectar"), kHintConectar, "imgConectar");
    imgCallBack = linkButton(QStringLiteral("Callback"), kHintCallBack, "imgCallBack");
    imgDesconectar = linkButton(QStringLiteral("Desconectar"), kHintDesconectar, "imgDesconectar");
    connect(imgConectar, &QToolButton::clicked, this, &TfrmProgMain::imgConectarClick);
    connect(imgCallBack, &QToolButton::clicked, this, &TfrmProgMain::imgCallBackClick);
    connect(imgDesconectar, &QToolButton::clicked, this, &TfrmProgMain::imgDesconectarClick);
    Label34 = Named(new QLabel, "Label34");
    lblOnOffLine = Named(new QLabel(QStringLiteral("Off Line")), "lblOnOffLine");
    for (QWidget* w : {static_cast<QWidget*>(imgConectar), static_cast<QWidget*>(imgCallBack),
                       static_cast<QWidget*>(imgDesconectar), static_cast<QWidget*>(Label34),
                       static_cast<QWidget*>(lblOnOffLine)})
        topBar->addWidget(w);
    topBar->addStretch();
    // Without a link there is nothing to connect to; without the callback wait no callback.
    imgConectar->setVisible(m_link);
    imgCallBack->setVisible(m_link && m_link->Inicia_CallBack);
    imgDesconectar->hide();
    Label34->hide();
    lblOnOffLine->setVisible(m_link);
    root->addLayout(topBar);

    auto* body = new QHBoxLayout;
    auto* pageBar = new QVBoxLayout;
    auto barButton = [](const QString& caption, const char* name) {
        auto* button = Named(new QToolButton, name);
        button->setText(caption);
        button->setMinimumSize(96, 56);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return button;
    };
    jvLookMostraCliente = barButton(QStringLiteral("Cliente"), "jvLookMostraCliente");
    jvLookRetornar = barButton(QStringLiteral("Retornar"), "jvLookRetornar");
    jvLookRetornar->setToolTip(kHintRetornar);
    connect(jvLookMostraCliente, &QToolButton::clicked, this, &TfrmProgMain::jvLookMostraClienteClick);
    connect(jvLookRetornar, &QToolButton::clicked, this, &TfrmProgMain::jvLookRetornarClick);
    pageBar->addWidget(jvLookMostraCliente);
    pageBar->addStretch();
    pageBar->addWidget(jvLookRetornar);
    body->addLayout(pageBar);

    pgcPrincipal = Named(new QStackedWidget, "pgcPrincipal");
    auto* customerPage = Named(new QWidget, "tsCliente");
    auto* customerLayout = new QVBoxLayout(customerPage);
    lblCabecalho = Named(new QLabel(kCaptionPaginaCliente), "lblCabecalho");
    QFont headerFont = lblCabecalho->font();
    headerFont.setBold(true);
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.3);
    lblCabecalho->setFont(headerFont);
    customerLayout->addWidget(lblCabecalho);
    pgcCliente = Named(new QTabWidget, "pgcCliente");
    pgcCliente->addTab(BuildCustomerTab(), QStringLiteral("Cliente"));
    pgcCliente->addTab(BuildAddressTab(), QStringLiteral("Endereços"));
    dbmemoObs = Named(new QPlainTextEdit, "dbmemoObs");
    pgcCliente->addTab(dbmemoObs, QStringLiteral("Observações"));
    customerLayout->addWidget(pgcCliente);
    pgcPrincipal->addWidget(customerPage);
    body->addWidget(pgcPrincipal, 1);
    root->addLayout(body, 1);
}

QWidget* TfrmProgMain::BuildCustomerTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);

    auto* nameForm = new QFormLayout;
    dbedtNome = NewEdit("dbedtNome", 30);
    cmbGrupo = Named(new QComboBox, "cmbGrupo");
    nameForm->addRow(QStringLiteral("Nome:"), dbedtNome);
    nameForm->addRow(QStringLiteral("Grupo:"), cmbGrupo);
    auto* created = new QHBoxLayout;
    lblDataCriacao = Named(new QLabel, "lblDataCriacao");
    lblHoraCriacao = Named(new QLabel, "lblHoraCriacao");
    created->addWidget(new QLabel(QStringLiteral("Data de Criação")));
    created->addWidget(lblDataCriacao);
    created->addSpacing(24);
    created->addWidget(new QLabel(QStringLiteral("Hora de Criação")));
    created->addWidget(lblHoraCriacao);
    created->addStretch();
    nameForm->addRow(created);
    layout->addLayout(nameForm);

    grpCodigos = Named(new QGroupBox(QStringLiteral("Códigos para comunicação com o painel")), "grpCodigos");
    auto* codes = new QGridLayout(grpCodigos);
    dbedtCodigoPainel = NewEdit("dbedtCodigoPainel", 4);
    dbedtCodigoPC = NewEdit("dbedtCodigoPC", 4);
    InputRules::AcceptOnly(dbedtCodigoPainel, InputRules::kDigits);
    InputRules::AcceptOnly(dbedtCodigoPC, InputRules::kDigits);
    chkAlterarCodigos =
        Named(new QCheckBox(QStringLiteral("Alterar códigos de comunicação")), "chkAlterarCodigos");
    auto* source = Named(new QGroupBox(QStringLiteral("Fonte dos Dados")), "grpFonteDados");
    auto* sourceLayout = new QHBoxLayout(source);
    rbFontePCCodigos = Named(new QRadioButton(QStringLiteral("PC")), "rbFontePCCodigos");
    RadioButton2 = Named(new QRadioButton(QStringLiteral("Alarme")), "RadioButton2");
    rbFontePCCodigos->setChecked(true);
    sourceLayout->addWidget(rbFontePCCodigos);
    sourceLayout->addWidget(RadioButton2);
    Button5 = Named(new QPushButton(QStringLiteral("Enviar para o Painel")), "Button5");
    Button5->setAutoDefault(false);
    codes->addWidget(new QLabel(QStringLiteral("Código do painel:")), 0, 0);
    codes->addWidget(dbedtCodigoPainel, 0, 1);
    codes->addWidget(new QLabel(QStringLiteral("Código do PC:")), 1, 0);
    codes->addWidget(dbedtCodigoPC, 1, 1);
    codes->addWidget(chkAlterarCodigos, 2, 0, 1, 2);
    codes->addWidget(source, 0, 2, 2, 1);
    codes->addWidget(Button5, 2, 2);
    layout->addWidget(grpCodigos);
    connect(chkAlterarCodigos, &QCheckBox::toggled, this, &TfrmProgMain::UpdateCodeFieldsEnabled);
    connect(rbFontePCCodigos, &QRadioButton::clicked, this, &TfrmProgMain::rbFontePCCodigosClick);
    connect(RadioButton2, &QRadioButton::clicked, this, &TfrmProgMain::RadioButton2Click);
    connect(dbedtCodigoPainel, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_record.CopyPanelCodeToImage(text); });
    connect(dbedtCodigoPC, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_record.CopyPcCodeToImage(text); });
    connect(Button5, &QPushButton::clicked, this, &TfrmProgMain::Button5Click);
    connect(dbedtCodigoPainel, &QLineEdit::editingFinished, this, &TfrmProgMain::PanelCodeLeft);
    connect(dbedtCodigoPC, &QLineEdit::editingFinished, this, &TfrmProgMain::PcCodeLeft);

    auto* panelPhone =
        Named(new QGroupBox(QStringLiteral("Telefone para comunicação com o painel")), "grpFonePainel");
    auto* phoneLayout = new QHBoxLayout(panelPhone);
    dbedtFonePainel = NewEdit("dbedtFonePainel", 17);
    dbedtFonePainel->setToolTip(kHintFonePainel);
    InputRules::AcceptOnly(dbedtFonePainel, InputRules::kPhoneCharacters);
    dbchkSecretaria = Named(new QCheckBox(QStringLiteral("Engana secretária eletrônica")), "dbchkSecretaria");
    dbedtTempoSecret = NewEdit("dbedtTempoSecret", 3);
    dbedtTempoSecret->setMaximumWidth(48);
    // The time is a number of seconds: only digits, whatever the telephone field takes.
    InputRules::AcceptOnly(dbedtTempoSecret, InputRules::kDigits);
    sbTempoSecretUp = Named(new QToolButton, "sbTempoSecretUp");
    sbTempoSecretUp->setArrowType(Qt::UpArrow);
    sbTempoSecretDown = Named(new QToolButton, "sbTempoSecretDown");
    sbTempoSecretDown->setArrowType(Qt::DownArrow);
    lblSeg = Named(new QLabel(QStringLiteral("seg.")), "lblSeg");
    phoneLayout->addWidget(new QLabel(QStringLiteral("Telefone:")));
    phoneLayout->addWidget(dbedtFonePainel);
    phoneLayout->addWidget(dbchkSecretaria);
    phoneLayout->addWidget(dbedtTempoSecret);
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(sbTempoSecretUp);
    spin->addWidget(sbTempoSecretDown);
    phoneLayout->addLayout(spin);
    phoneLayout->addWidget(lblSeg);
    phoneLayout->addStretch();
    layout->addWidget(panelPhone);
    connect(dbchkSecretaria, &QCheckBox::toggled, this, &TfrmProgMain::UpdateAnsweringMachineFields);
    connect(sbTempoSecretUp, &QToolButton::clicked, this, [this] { StepTempoSecretaria(+1); });
    connect(sbTempoSecretDown, &QToolButton::clicked, this, [this] { StepTempoSecretaria(-1); });
    connect(dbedtTempoSecret, &QLineEdit::editingFinished, this, &TfrmProgMain::TempoSecretariaLeft);

    auto* contacts = Named(new QGroupBox(QStringLiteral("Telefones para contato")), "grpFonesContato");
    auto* contactLayout = new QFormLayout(contacts);
    dbedtFone1 = NewEdit("dbedtFone1", 17);
    dbedtFone2 = NewEdit("dbedtFone2", 17);
    dbedtFone3 = NewEdit("dbedtFone3", 17);
    contactLayout->addRow(QStringLiteral("Telefone 1:"), dbedtFone1);
    contactLayout->addRow(QStringLiteral("Telefone 2:"), dbedtFone2);
    contactLayout->addRow(QStringLiteral("Telefone 3:"), dbedtFone3);
    layout->addWidget(contacts);
    layout->addStretch();
    return tab;
}

QWidget* TfrmProgMain::BuildAddressTab() {
    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);
    auto addressGroup = [](const QString& title, const char* name, QLineEdit* street, QLineEdit* number,
                           QLineEdit* complement, QLineEdit* district, QLineEdit* city, QLineEdit* cep,
                           QComboBox* state) {
        auto* group = Named(new QGroupBox(title), name);
        auto* form = new QFormLayout(group);
        form->addRow(QStringLiteral("Endereço:"), street);
        form->addRow(QStringLiteral("Número:"), number);
        form->addRow(QStringLiteral("Complemento:"), complement);
        form->addRow(QStringLiteral("Bairro:"), district);
        form->addRow(QStringLiteral("Cidade:"), city);
        form->addRow(QStringLiteral("CEP:"), cep);
        form->addRow(QStringLiteral("Estado:"), state);
        InputRules::AcceptOnly(cep, InputRules::kPostalCodeCharacters);
        return group;
    };
    dbedtEndereco = NewEdit("dbedtEndereco", 50);
    dbedtNumero = NewEdit("dbedtNumero", 10);
    dbedtComplemento = NewEdit("dbedtComplemento", 30);
    dbedtBairro = NewEdit("dbedtBairro", 30);
    dbedtCidade = NewEdit("dbedtCidade", 50);
    dbedtCep = NewEdit("dbedtCep", 9);
    cmbEstado = Named(new QComboBox, "cmbEstado");
    dbedtPEndereco = NewEdit("dbedtPEndereco", 50);
    dbedtPNumero = NewEdit("dbedtPNumero", 10);
    dbedtPComplemento = NewEdit("dbedtPComplemento", 30);
    dbedtPBairro = NewEdit("dbedtPBairro", 30);
    dbedtPCidade = NewEdit("dbedtPCidade", 50);
    dbedtPCep = NewEdit("dbedtPCep", 9);
    cmbPEstado = Named(new QComboBox, "cmbPEstado");
    layout->addWidget(addressGroup(QStringLiteral("Endereço de Cobrança"), "grpEnderecoCobranca",
                                   dbedtEndereco, dbedtNumero, dbedtComplemento, dbedtBairro, dbedtCidade,
                                   dbedtCep, cmbEstado));
    layout->addWidget(addressGroup(QStringLiteral("Endereço do Painel"), "grpEnderecoPainel", dbedtPEndereco,
                                   dbedtPNumero, dbedtPComplemento, dbedtPBairro, dbedtPCidade, dbedtPCep,
                                   cmbPEstado));
    return tab;
}

void TfrmProgMain::BindFields() {
    DataSet& c = m_dm.DSetClientes;
    DataSet& p = m_dm.DSetPainel;
    const std::pair<QLineEdit*, const char*> clientes[] = {
        {dbedtNome, "NOME"},     {dbedtEndereco, "ENDERECO"},
        {dbedtNumero, "NUMERO"}, {dbedtComplemento, "COMPLEMENTO"},
        {dbedtBairro, "BAIRRO"}, {dbedtCidade, "CIDADE"},
        {dbedtCep, "CEP"},       {dbedtFone1, "FONE1"},
        {dbedtFone2, "FONE2"},   {dbedtFone3, "FONE3"}};
    for (const auto& [edit, field] : clientes)
        m_binder->BindText(edit, c, QString::fromLatin1(field));
    const std::pair<QLineEdit*, const char*> painel[] = {{dbedtCodigoPainel, "CODIGO_PAINEL"},
                                                         {dbedtCodigoPC, "CODIGO_PC"},
                                                         {dbedtFonePainel, "FONE_PAINEL"},
                                                         {dbedtPEndereco, "P_ENDERECO"},
                                                         {dbedtPNumero, "P_NUMERO"},
                                                         {dbedtPComplemento, "P_COMPLEMENTO"},
                                                         {dbedtPBairro, "P_BAIRRO"},
                                                         {dbedtPCidade, "P_CIDADE"},
                                                         {dbedtPCep, "P_CEP"}};
    for (const auto& [edit, field] : painel)
        m_binder->BindText(edit, p, QString::fromLatin1(field));
    m_binder->BindText(dbedtTempoSecret, p, QStringLiteral("TEMPO_ENGANA_SECRETARIA"),
                       FieldBinder::TextKind::Integer);
    m_binder->BindCheck(dbchkSecretaria, p, QStringLiteral("ENGANA_SECRETARIA"), QStringLiteral("1"),
                        QStringLiteral("0"));
    m_binder->BindLookup(cmbGrupo, c, QStringLiteral("ID_GRUPO"));
    m_binder->BindLookup(cmbEstado, c, QStringLiteral("ESTADO"));
    m_binder->BindLookup(cmbPEstado, p, QStringLiteral("P_ESTADO"));
    m_binder->BindMemo(dbmemoObs, c, QStringLiteral("OBS"));
}

void TfrmProgMain::FillLookups() {
    // Groups: every group but the recycle bin, which shows only for a customer already in it.
    // Filling the lists selects entries on the way: nothing of that may reach the rows.
    const QSignalBlocker blockGroups(cmbGrupo);
    const QSignalBlocker blockState(cmbEstado);
    const QSignalBlocker blockPanelState(cmbPEstado);
    const QVariant currentGroup = m_dm.DSetClientes.Value(QStringLiteral("ID_GRUPO"));
    cmbGrupo->clear();
    DataSet& groups = m_dm.DSetGrupos;
    for (int row = 0; row < groups.RecordCount(); ++row) {
        const int id = groups.Value(row, groups.FieldIndex(QStringLiteral("ID_GRUPO"))).toInt();
        if (id == 1 && currentGroup.toInt() != 1)
            continue;
        cmbGrupo->addItem(groups.Value(row, groups.FieldIndex(QStringLiteral("NOME_GRUPO"))).toString(), id);
    }
    DataSet& states = m_dm.DSetEstados;
    for (QComboBox* combo : {cmbEstado, cmbPEstado}) {
        combo->clear();
        combo->addItem(QString()); // no state
        for (int row = 0; row < states.RecordCount(); ++row)
            combo->addItem(states.Value(row, states.FieldIndex(QStringLiteral("ESTADO"))).toString(),
                           states.Value(row, states.FieldIndex(QStringLiteral("ID_ESTADO"))).toInt());
    }
}

void TfrmProgMain::LoadFields() {
    m_loadingRecord = true;
    FillLookups();
    const bool wasLoading = m_record.LoadingFromImage;
    // The code fields show the stored codes; the image already holds them.
    m_record.LoadingFromImage = true;
    m_binder->Load();
    m_record.LoadingFromImage = wasLoading;
    const QVariant date = m_dm.DSetClientes.Value(QStringLiteral("DATA_CRIACAO"));
    const QVariant time = m_dm.DSetClientes.Value(QStringLiteral("HORA_CRIACAO"));
    lblDataCriacao->setText(date.isNull() ? QString() : FormatDate(date.toDate()));
    lblHoraCriacao->setText(time.isNull() ? QString() : FormatShortTime(time.toTime()));
    ApplyCodePermissions();
    UpdateCodeFieldsEnabled();
    UpdateAnsweringMachineFields();
    m_loadingRecord = false;
}

void TfrmProgMain::ApplyCodePermissions() {
    const std::pair<QLineEdit*, int> codes[] = {{dbedtCodigoPainel, kPermissionVerCodigoPainel},
                                                {dbedtCodigoPC, kPermissionVerSenhaPc}};
    for (const auto& [edit, permission] : codes) {
        const bool allowed = m_dm.Operator.HasPermission(permission);
        edit->setReadOnly(!allowed);
        edit->setEchoMode(allowed ? QLineEdit::Normal : QLineEdit::Password);
        if (!allowed)
            edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
}

void TfrmProgMain::UpdateCodeFieldsEnabled() {
    const bool enabled = chkAlterarCodigos->isChecked() && rbFontePCCodigos->isChecked();
    dbedtCodigoPainel->setEnabled(enabled);
    dbedtCodigoPC->setEnabled(enabled);
}

void TfrmProgMain::UpdateAnsweringMachineFields() {
    const bool on = dbchkSecretaria->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(dbedtTempoSecret), static_cast<QWidget*>(sbTempoSecretUp),
                       static_cast<QWidget*>(sbTempoSecretDown), static_cast<QWidget*>(lblSeg)})
        w->setVisible(on);
}

void TfrmProgMain::UpdateHeaderCaption() {
    // The link's Orvan9Max flag (set from the customer's model when it was opened, and by an
    // identified panel); without a link the customer's model alone.
    const bool orvan9Max = m_link ? m_link->State().Orvan9Max.load() : m_dm.IsOrvan9Max();
    const QString caption = RecordHeaderCaption(orvan9Max, m_dm.IsOrvan10(), m_dm.IsOrvan5(),
                                                m_dm.IsProduct3Or4(), m_record.StoredVersion());
    lblCabecalho->setText(caption.isEmpty() ? kCaptionPaginaCliente : ForScreen(caption));
}

void TfrmProgMain::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    chkAlterarCodigos->setChecked(false);
    UpdateCodeFieldsEnabled();
    UpdateHeaderCaption();
    // After the dialog's own focus handling, which would select the whole name.
    QTimer::singleShot(0, this, &TfrmProgMain::jvLookMostraClienteClick);
}

// --- pages ----------------------------------------------------------------------------------

void TfrmProgMain::jvLookMostraClienteClick() {
    pgcPrincipal->setCurrentIndex(0);
    pgcCliente->setCurrentIndex(0);
    dbedtNome->setFocus(Qt::OtherFocusReason);
    dbedtNome->deselect();
    dbedtNome->end(false);
}

// --- codes ----------------------------------------------------------------------------------

bool TfrmProgMain::CodeKeyAllowed(QLineEdit* field) const {
    const int permission = field == dbedtCodigoPainel ? kPermissionVerCodigoPainel : kPermissionVerSenhaPc;
    return m_loadingRecord || m_dm.Operator.HasPermission(permission);
}

void TfrmProgMain::PanelCodeLeft() {
    const QString text = dbedtCodigoPainel->text();
    // An emptied panel code stays empty: the save asks for it instead of inventing one.
    if (m_dm.DSetPainel.Editing() && !text.isEmpty()) {
        const QString padded = PanelCodeOnLeave(text);
        if (padded != text)
            dbedtCodigoPainel->setText(padded);
    }
}

void TfrmProgMain::PcCodeLeft() {
    const QString text = dbedtCodigoPC->text();
    const QString padded = PcCodeOnLeave(text);
    if (padded != text)
        dbedtCodigoPC->setText(padded);
}

void TfrmProgMain::NormaliseCodeFields() {
    if (!rbFontePCCodigos->isChecked())
        return;
    PanelCodeLeft();
    if (m_dm.DSetPainel.Editing())
        PcCodeLeft();
}

void TfrmProgMain::CodesAreaFocusChanged(QWidget* old, QWidget* now) {
    if (!now || now->window() != this)
        return;
    if (IsInside(old, grpCodigos) && !IsInside(now, grpCodigos))
        chkAlterarCodigos->setChecked(false);
}

void TfrmProgMain::rbFontePCCodigosClick() {
    rbFontePCCodigos->setChecked(true);
    UpdateCodeFieldsEnabled();
    const PanelCodes codes = PanelCodesOf(m_record.Images().ImagemPC);
    {
        const QSignalBlocker blockPanel(dbedtCodigoPainel);
        const QSignalBlocker blockPc(dbedtCodigoPC);
        dbedtCodigoPainel->setText(codes.panelCode);
        dbedtCodigoPC->setText(codes.pcCode);
    }
    // The change handlers run once more: the codes go back into the image and, where they differ,
    // into the panel row.
    for (QLineEdit* edit : {dbedtCodigoPainel, dbedtCodigoPC})
        m_binder->Write(edit);
    m_record.CopyPanelCodeToImage(dbedtCodigoPainel->text());
    m_record.CopyPcCodeToImage(dbedtCodigoPC->text());
}

void TfrmProgMain::RadioButton2Click() {
    RadioButton2->setChecked(true);
    UpdateCodeFieldsEnabled();
    // The panel's codes are only shown: neither the image nor the panel row takes them.
    const PanelCodes codes = PanelCodesOf(m_record.Images().ImagemAlarme);
    const QSignalBlocker blockPanel(dbedtCodigoPainel);
    const QSignalBlocker blockPc(dbedtCodigoPC);
    dbedtCodigoPainel->setText(codes.panelCode);
    dbedtCodigoPC->setText(codes.pcCode);
}

// --- answering-machine bypass ------------------------------------------------------------------

void TfrmProgMain::TempoSecretariaLeft() {
    const QString text = dbedtTempoSecret->text();
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (ok && value > kMaxTempoSecretaria)
        dbedtTempoSecret->setText(QString::number(kMaxTempoSecretaria));
    else if (!text.isEmpty() && !ok) // more digits than a number holds
        dbedtTempoSecret->setText(QString::number(kMaxTempoSecretaria));
}

void TfrmProgMain::StepTempoSecretaria(int delta) {
    const int value = dbedtTempoSecret->text().toInt();
    dbedtTempoSecret->setText(QString::number(std::clamp(value + delta, 0, kMaxTempoSecretaria)));
}

// --- close entry -----------------------------------------------------------------------------

void TfrmProgMain::Desabilita_botao_fechar() {
    m_closeEnabled = false;
}

void TfrmProgMain::Habilita_botao_fechar() {
    m_closeEnabled = true;
}

// --- keys ------------------------------------------------------------------------------------

bool TfrmProgMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    BalloonTip::HideCurrent();
    switch (key->key()) {
    case Qt::Key_F5:
        if (imgConectar->isVisible())
            imgConectarClick();
        return true;
    case Qt::Key_F6:
        if (imgCallBack->isVisible())
            imgCallBackClick();
        return true;
    case Qt::Key_F7:
        if (imgDesconectar->isVisible())
            imgDesconectarClick();
        return true;
    default:
        break;
    }

    if (widget == dbedtCodigoPainel || widget == dbedtCodigoPC) {
        auto* edit = static_cast<QLineEdit*>(widget);
        const bool typing =
            !key->text().isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
        if (typing && key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter &&
            key->key() != Qt::Key_Tab && !CodeKeyAllowed(edit)) {
            Tell(kMsgSemPermissao);
            return true;
        }
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        !qobject_cast<QPlainTextEdit*>(widget) && !qobject_cast<QPushButton*>(widget) &&
        !qobject_cast<QToolButton*>(widget)) {
        // Enter moves to the next field, after the field's own leave rules.
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            Q_EMIT edit->editingFinished();
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- saving ----------------------------------------------------------------------------------

QLineEdit* TfrmProgMain::FieldEdit(RecordField field) const {
    switch (field) {
    case RecordField::Nome:
        return dbedtNome;
    case RecordField::CodigoPainel:
        return dbedtCodigoPainel;
    case RecordField::CodigoPc:
        return dbedtCodigoPC;
    case RecordField::FonePainel:
        return dbedtFonePainel;
    case RecordField::None:
        break;
    }
    return nullptr;
}

void TfrmProgMain::ShowFieldError(RecordField field, const QString& message) {
    pgcPrincipal->setCurrentIndex(0);
    pgcCliente->setCurrentIndex(0);
    QLineEdit* edit = FieldEdit(field);
    if (field == RecordField::CodigoPainel || field == RecordField::CodigoPc) {
        if (!rbFontePCCodigos->isChecked())
            rbFontePCCodigosClick();
        chkAlterarCodigos->setChecked(true);
    }
    BalloonTip::ShowFieldError(edit, message);
}

void TfrmProgMain::btnSalvarClick() {
    RunSave(SaveOrigin::Button);
}

void TfrmProgMain::RunSave(SaveOrigin origin) {
    if (!m_dm.ModoEditOuInsert() && !m_record.ProgramacaoAlterada)
        return;
    m_exitAnswer = origin == SaveOrigin::Button ? Ask(kMsgSalvarConta, PromptButtons::YesNo)
                                                : Ask(kMsgSalvarAntesDeSair, PromptButtons::YesNoCancel);
    if (m_exitAnswer == AnswerNo) {
        m_record.ProgramacaoAlterada = false;
        return;
    }
    if (m_exitAnswer != AnswerYes)
        return;

    // A code typed just before saving has not been left yet: its leave rules apply first.
    NormaliseCodeFields();
    const SaveCheck check = CheckBeforeSave(m_record, RepeatRuleOf(m_context.settings.OpcoesGerais));
    switch (check.outcome) {
    case SaveCheck::Outcome::Passed:
        break;
    case SaveCheck::Outcome::Missing:
        ShowFieldError(check.field, kMsgCampoObrigatorio);
        m_exitAnswer = AnswerCancel;
        return;
    case SaveCheck::Outcome::RepeatRefused:
        ShowFieldError(RecordField::CodigoPainel, kMsgCodigoRepetidoProibido);
        m_exitAnswer = AnswerCancel;
        return;
    case SaveCheck::Outcome::RepeatAskToGoOn:
        if (Ask(kMsgCodigoRepetidoContinuar, PromptButtons::YesNo, true) != AnswerYes) {
            m_exitAnswer = AnswerCancel;
            return;
        }
        break;
    case SaveCheck::Outcome::Failed:
        Tell(check.error);
        m_exitAnswer = AnswerCancel;
        return;
    }

    QString error;
    if (!m_record.Save(&error)) {
        // Nothing was written; the edits stay on the screen for another try.
        Tell(error);
        m_exitAnswer = AnswerCancel;
        return;
    }
    m_loadingRecord = true;
    const bool wasLoading = m_record.LoadingFromImage;
    m_record.LoadingFromImage = true;
    m_binder->Load();
    m_record.LoadingFromImage = wasLoading;
    m_loadingRecord = false;
}

// --- leaving ---------------------------------------------------------------------------------

void TfrmProgMain::jvLookRetornarClick() {
    Leave(true);
}

void TfrmProgMain::Leave(bool fromButton) {
    m_exitAnswer = AnswerNone;
    auto stop = [&] {
        if (fromButton)
            m_exitAnswer = AnswerNone;
    };
    if (m_dm.ModoEditOuInsert()) {
        RunSave(SaveOrigin::Leave);
        if (m_exitAnswer == AnswerCancel)
            return stop();
    }
    if (m_record.ProgramacaoAlterada)
        RunSave(SaveOrigin::Leave);
    if (m_exitAnswer == AnswerNo)
        m_record.Discard();
    if (m_exitAnswer == AnswerCancel)
        return stop();
    if (m_exitAnswer == AnswerNone && SessionRunning()) {
        m_exitAnswer = Ask(kMsgDesconectarESair, PromptButtons::YesNo, true);
        if (m_exitAnswer != AnswerYes)
            return stop();
    }
    m_exitAnswer = AnswerYes;
    if (OnLine* session = m_link ? m_link->OnLineWorker() : nullptr) {
        // The session hangs up and then closes this screen (CloseWindowsForDisconnect).
        session->CloseWindowsOnDisconnect = true;
        session->DisconnectRequest = true;
    } else {
        Finish();
    }
    m_record.ProgramacaoAlterada = false;
}

void TfrmProgMain::Finish() {
    if (m_finished)
        return;
    m_finished = true;
    m_customerIdAtClose = m_record.CustomerId();
    BalloonTip::HideCurrent();
    m_loadingRecord = true;
    m_record.Close();
    m_loadingRecord = false;
    done(QDialog::Accepted);
}

int TfrmProgMain::CustomerId() const {
    return m_finished ? m_customerIdAtClose : m_record.CustomerId();
}

void TfrmProgMain::closeEvent(QCloseEvent* event) {
    if (m_finished) {
        event->accept();
        return;
    }
    event->ignore();
    if (!m_closeEnabled)
        return;
    if (m_exitAnswer == AnswerNone)
        Leave(false);
    // The leave steps close the screen themselves when they get through, or have the session
    // close it once it hung up.
    m_exitAnswer = AnswerNone;
}

void TfrmProgMain::reject() {
    // Escape does not leave the screen: leaving goes through "Retornar" and its questions.
}

// --- link ------------------------------------------------------------------------------------

bool TfrmProgMain::SessionRunning() const {
    return m_link && m_link->OnLineWorker();
}

void TfrmProgMain::imgConectarClick() {
    Connect(false);
}

void TfrmProgMain::imgCallBackClick() {
    if (!m_dm.Operator.HasPermission(kPermissionConectarCallback)) {
        Tell(kMsgSemPermissao);
        return;
    }
    Connect(true);
}

void TfrmProgMain::Connect(bool withCallback) {
    if (!m_link)
        return;
    if (m_record.CustomerId() == 0) {
        Tell(kMsgSalvarAntesDeConectar);
        return;
    }
    if (!m_dm.Operator.HasPermission(kPermissionConectar)) {
        Tell(kMsgSemPermissao);
        return;
    }
    m_link->State().StoredVersion.store(m_record.StoredVersion());
    m_link->Conectar(withCallback);
}

void TfrmProgMain::imgDesconectarClick() {
    if (OnLine* session = m_link ? m_link->OnLineWorker() : nullptr)
        session->DisconnectRequest = true;
}

void TfrmProgMain::Button5Click() {
    OnLine* session = m_link ? m_link->OnLineWorker() : nullptr;
    if (!session) {
        Tell(kMsgNaoConectado);
        return;
    }
    ChunkMarks marks;
    if (!MarkPanelCodes(m_record.Images(), marks)) {
        Tell(PanelCodesEqualMessage());
        return;
    }
    // Parameters first, the request flag last.
    for (int b = 0; b < kMaxBlocks; ++b) {
        if (marks.Blocks & (1u << b))
            session->Chunks[b] = marks.Chunks[b];
    }
    session->Blocks = marks.Blocks;
    session->WriteProgrammingRequest = true;
}

QString TfrmProgMain::FonePainel() const {
    return m_dm.DSetPainel.Value(QStringLiteral("FONE_PAINEL")).toString();
}

QString TfrmProgMain::CodigoPainel() const {
    return m_dm.DSetPainel.Value(QStringLiteral("CODIGO_PAINEL")).toString();
}

QString TfrmProgMain::CodigoPC() const {
    return m_dm.DSetPainel.Value(QStringLiteral("CODIGO_PC")).toString();
}

bool TfrmProgMain::EnganaSecretaria() const {
    return m_dm.DSetPainel.Value(QStringLiteral("ENGANA_SECRETARIA")).toString() == QLatin1String("1");
}

int TfrmProgMain::TempoEnganaSecretaria() {
    bool ok = false;
    const int seconds = dbedtTempoSecret->text().toInt(&ok);
    if (!ok) {
        dbedtTempoSecret->setText(QStringLiteral("0"));
        return 0;
    }
    return std::clamp(seconds, 0, kMaxTempoSecretaria);
}

void TfrmProgMain::SetTempoEnganaSecretaria(int seconds) {
    dbedtTempoSecret->setText(QString::number(std::clamp(seconds, 0, kMaxTempoSecretaria)));
}

QString TfrmProgMain::Produto() const {
    const QVariant produto = m_dm.DSetClientes.Value(QStringLiteral("PRODUTO"));
    return produto.isNull() ? QString() : produto.toString();
}

void TfrmProgMain::SetVersaoProduto(const QString& version) {
    m_record.SetStoredVersion(version);
    m_dm.DSetClientes.SetValue(QStringLiteral("VERSAO_PRODUTO"), version);
}

void TfrmProgMain::SetConnectedImages(bool connected) {
    imgConectar->setVisible(!connected);
    imgCallBack->setVisible(!connected && m_link && m_link->Inicia_CallBack);
    imgDesconectar->setVisible(connected);
}

void TfrmProgMain::SetCloseEnabled(bool enabled) {
    if (enabled)
        Habilita_botao_fechar();
    else
        Desabilita_botao_fechar();
}

void TfrmProgMain::SetVersionLabel(const QString& text) {
    Label34->setText(text);
    Label34->show();
}

void TfrmProgMain::SetCaptionLabel(const QString& text) {
    lblCabecalho->setText(ForScreen(text));
}

void TfrmProgMain::SetOnLineIndicator(bool online) {
    lblOnOffLine->setText(online ? QStringLiteral("On Line") : QStringLiteral("Off Line"));
}

void TfrmProgMain::CloseWindowsForDisconnect() {
    Finish();
}

ProgrammingImages* TfrmProgMain::Imagens(int productCode) {
    if (!m_record.IsOpen() || FamilyOf(productCode) != m_record.Images().family())
        return nullptr;
    return &m_record.Images();
}
