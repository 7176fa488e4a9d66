#include "workspace/ui/frm_prog_main.h"

#include "base/app_paths.h"
#include "base/app_title.h"
#include "base/locale_format.h"
#include "link_control/link_controller.h"
#include "printing/print_header.h"
#include "programming/ui/frm_prog_editor.h"
#include "programming/ui/frm_report_prog.h"
#include "session/online_worker.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/event_store.h"
#include "store/latin1_text.h"
#include "widgets/balloon_tip.h"
#include "widgets/field_binder.h"
#include "widgets/help.h"
#include "widgets/window_memory.h"
#include "workspace/field_checks.h"
#include "workspace/record_texts.h"
#include "workspace/ui/address_page.h"
#include "workspace/ui/customer_page.h"
#include "workspace/ui/events_page.h"
#include "workspace/ui/link_bar.h"
#include "workspace/ui/monitoring_page.h"
#include "workspace/ui/record_link.h"
#include "workspace/ui/record_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
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
#include <utility>

namespace {

const QString kMsgSalvarAntesDeImprimir = QStringLiteral("É necessário salvar antes de imprimir");

QString ForScreen(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
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
      m_presenter(m_record, *context.dm, RepeatRuleOf(context.settings.OpcoesGerais), *this),
      m_binder(new FieldBinder(this)) {
    setObjectName(QStringLiteral("frmProgMain"));
    setWindowTitle(ApplicationTitle());
    setMinimumSize(800, 600);
    RememberWindowGeometry(this, QSize(800, 600));
    SetHelpTopic(this, 30);
    BuildScreen();
    ConnectCustomerPage();
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
    // The programming window works on the record: it goes first.
    delete m_editor;
    m_editor = nullptr;
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

void TfrmProgMain::Tell(const QString& text) {
    if (text.isEmpty()) // the action went ahead
        return;
    OperatorMessages::Tell(this, text, MessageIcon::Warning);
}

// --- building -------------------------------------------------------------------------------

void TfrmProgMain::BuildScreen() {
    auto* root = new QVBoxLayout(this);

    auto* topBar = new QHBoxLayout;
    btnSalvar = Named(new QPushButton(QStringLiteral("Salvar")), "btnSalvar");
    btnSalvar->setAutoDefault(false);
    connect(btnSalvar, &QPushButton::clicked, this, &TfrmProgMain::btnSalvarClick);
    topBar->addWidget(btnSalvar);
    m_linkBar = new LinkBar(m_link, m_link != nullptr);
    connect(m_linkBar, &LinkBar::ConnectRequested, this, &TfrmProgMain::Connect);
    connect(m_linkBar, &LinkBar::DisconnectRequested, this, [this] {
        if (m_link)
            DisconnectRecord(*m_link);
    });
    topBar->addWidget(m_linkBar);
    JvLookOutButton5 = Named(new QToolButton, "JvLookOutButton5");
    JvLookOutButton5->setText(QStringLiteral("Download"));
    JvLookOutButton5->setToolTip(kHintDownload);
    JvLookOutButton5->setMinimumSize(88, 40);
    JvLookOutButton5->setVisible(m_link);
    connect(JvLookOutButton5, &QToolButton::clicked, this, &TfrmProgMain::JvLookOutButton5Click);
    topBar->addWidget(JvLookOutButton5);
    topBar->addStretch();
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
    jvLookMonitorar = barButton(QStringLiteral("Monitorar"), "jvLookMonitorar");
    connect(jvLookMonitorar, &QToolButton::clicked, this, &TfrmProgMain::jvLookMonitorarClick);
    connect(jvLookRetornar, &QToolButton::clicked, this, &TfrmProgMain::jvLookRetornarClick);
    JvLookImprimirTudo = barButton(QStringLiteral("Imprimir"), "JvLookImprimirTudo");
    JvLookImprimirTudo->setToolTip(QStringLiteral("Imprimir programação"));
    connect(JvLookImprimirTudo, &QToolButton::clicked, this, &TfrmProgMain::JvLookImprimirTudoClick);
    jvLookProgramar = barButton(QStringLiteral("Programar"), "jvLookProgramar");
    connect(jvLookProgramar, &QToolButton::clicked, this, &TfrmProgMain::jvLookProgramarClick);
    pageBar->addWidget(jvLookMostraCliente);
    pageBar->addWidget(jvLookProgramar);
    pageBar->addWidget(jvLookMonitorar);
    jvLookEventos = barButton(QStringLiteral("Eventos"), "jvLookEventos");
    connect(jvLookEventos, &QToolButton::clicked, this, &TfrmProgMain::jvLookEventosClick);
    pageBar->addWidget(jvLookEventos);
    pageBar->addWidget(JvLookImprimirTudo);
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
    m_customerPage = new CustomerPage;
    m_addressPage = new AddressPage;
    pgcCliente->addTab(m_customerPage, QStringLiteral("Cliente"));
    pgcCliente->addTab(m_addressPage, QStringLiteral("Endereços"));
    dbmemoObs = Named(new QPlainTextEdit, "dbmemoObs");
    pgcCliente->addTab(dbmemoObs, QStringLiteral("Observações"));
    customerLayout->addWidget(pgcCliente);
    pgcPrincipal->addWidget(customerPage);
    m_monitoringPage = new MonitoringPage(
        m_link, m_dm.Operator,
        [this]() -> const ProgrammingImage* {
            return m_record.IsOpen() ? &m_record.Images().ImagemAlarme : nullptr;
        },
        [this] {
            QStringList names;
            for (int z = 1; z <= 10; ++z) {
                const QVariant name = m_dm.DSetZonas.Value(QStringLiteral("ZONA%1").arg(z));
                names << (name.isNull() ? QString() : name.toString());
            }
            return names;
        });
    m_monitoringPage->SetCommandRecorder([this](const QString& command) {
        RecordAudit(m_dm, m_dm.Operator.name, m_record.CustomerId(), AuditAction::Command, command);
    });
    pgcPrincipal->addWidget(m_monitoringPage);
    m_eventsPage = new EventsPage(m_dm);
    m_eventsPage->DownloadRunning = [this] { return m_bufferDownloading; };
    m_eventsPage->PrintHeaderSource = [this] { return PrintHeader::FromSettings(m_context.settings); };
    pgcPrincipal->addWidget(m_eventsPage);
    body->addWidget(pgcPrincipal, 1);
    root->addLayout(body, 1);
}

void TfrmProgMain::ConnectCustomerPage() {
    CustomerPage* page = m_customerPage;
    connect(page->rbFontePCCodigos, &QRadioButton::clicked, this, &TfrmProgMain::rbFontePCCodigosClick);
    connect(page->rbFonteAlarmeCodigos, &QRadioButton::clicked, this,
            &TfrmProgMain::rbFonteAlarmeCodigosClick);
    connect(page->dbedtCodigoPainel, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_record.CopyPanelCodeToImage(text); });
    connect(page->dbedtCodigoPC, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_record.CopyPcCodeToImage(text); });
    connect(page->btnEnviarCodigos, &QPushButton::clicked, this, &TfrmProgMain::btnEnviarCodigosClick);
    connect(page->dbedtCodigoPainel, &QLineEdit::editingFinished, this, &TfrmProgMain::PanelCodeLeft);
    connect(page->dbedtCodigoPC, &QLineEdit::editingFinished, this, &TfrmProgMain::PcCodeLeft);
}

void TfrmProgMain::BindFields() {
    DataSet& c = m_dm.DSetClientes;
    DataSet& p = m_dm.DSetPainel;
    const std::pair<QLineEdit*, const char*> clientes[] = {
        {m_customerPage->dbedtNome, "NOME"},    {m_addressPage->dbedtEndereco, "ENDERECO"},
        {m_addressPage->dbedtNumero, "NUMERO"}, {m_addressPage->dbedtComplemento, "COMPLEMENTO"},
        {m_addressPage->dbedtBairro, "BAIRRO"}, {m_addressPage->dbedtCidade, "CIDADE"},
        {m_addressPage->dbedtCep, "CEP"},       {m_customerPage->dbedtFone1, "FONE1"},
        {m_customerPage->dbedtFone2, "FONE2"},  {m_customerPage->dbedtFone3, "FONE3"}};
    for (const auto& [edit, field] : clientes) {
        m_binder->BindText(edit, c, QString::fromLatin1(field));
        m_textFields << edit;
    }
    const std::pair<QLineEdit*, const char*> painel[] = {{m_customerPage->dbedtCodigoPainel, "CODIGO_PAINEL"},
                                                         {m_customerPage->dbedtCodigoPC, "CODIGO_PC"},
                                                         {m_customerPage->dbedtFonePainel, "FONE_PAINEL"},
                                                         {m_addressPage->dbedtPEndereco, "P_ENDERECO"},
                                                         {m_addressPage->dbedtPNumero, "P_NUMERO"},
                                                         {m_addressPage->dbedtPComplemento, "P_COMPLEMENTO"},
                                                         {m_addressPage->dbedtPBairro, "P_BAIRRO"},
                                                         {m_addressPage->dbedtPCidade, "P_CIDADE"},
                                                         {m_addressPage->dbedtPCep, "P_CEP"}};
    for (const auto& [edit, field] : painel) {
        m_binder->BindText(edit, p, QString::fromLatin1(field));
        m_textFields << edit;
    }
    m_binder->BindText(m_customerPage->dbedtTempoSecret, p, QStringLiteral("TEMPO_ENGANA_SECRETARIA"),
                       FieldBinder::TextKind::Integer);
    m_binder->BindCheck(m_customerPage->dbchkSecretaria, p, QStringLiteral("ENGANA_SECRETARIA"),
                        QStringLiteral("1"), QStringLiteral("0"));
    m_binder->BindLookup(m_customerPage->cmbGrupo, c, QStringLiteral("ID_GRUPO"));
    m_binder->BindLookup(m_addressPage->cmbEstado, c, QStringLiteral("ESTADO"));
    m_binder->BindLookup(m_addressPage->cmbPEstado, p, QStringLiteral("P_ESTADO"));
    m_binder->BindMemo(dbmemoObs, c, QStringLiteral("OBS"));
    m_textFields << dbmemoObs;
    // A character the database cannot keep is pointed out as soon as its field is left.
    for (QWidget* field : std::as_const(m_textFields)) {
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            connect(edit, &QLineEdit::editingFinished, this, [this, edit] { RefuseTextNotLatin1(edit); });
    }
}

void TfrmProgMain::FillLookups() {
    // Groups: every group but the recycle bin, which shows only for a customer already in it.
    // Filling the lists selects entries on the way: nothing of that may reach the rows.
    const QSignalBlocker blockGroups(m_customerPage->cmbGrupo);
    const QSignalBlocker blockState(m_addressPage->cmbEstado);
    const QSignalBlocker blockPanelState(m_addressPage->cmbPEstado);
    const QVariant currentGroup = m_dm.DSetClientes.Value(QStringLiteral("ID_GRUPO"));
    m_customerPage->cmbGrupo->clear();
    DataSet& groups = m_dm.DSetGrupos;
    for (int row = 0; row < groups.RecordCount(); ++row) {
        const int id = groups.Value(row, groups.FieldIndex(QStringLiteral("ID_GRUPO"))).toInt();
        if (id == 1 && currentGroup.toInt() != 1)
            continue;
        m_customerPage->cmbGrupo->addItem(
            groups.Value(row, groups.FieldIndex(QStringLiteral("NOME_GRUPO"))).toString(), id);
    }
    DataSet& states = m_dm.DSetEstados;
    for (QComboBox* combo : {m_addressPage->cmbEstado, m_addressPage->cmbPEstado}) {
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
    m_customerPage->lblDataCriacao->setText(date.isNull() ? QString() : FormatDate(date.toDate()));
    // The creation time to the second, as stored and as the customer list shows it.
    m_customerPage->lblHoraCriacao->setText(
        time.isNull() ? QString() : time.toTime().toString(QStringLiteral("HH:mm:ss")));
    ApplyCodePermissions();
    m_customerPage->UpdateCodeFieldsEnabled();
    m_customerPage->UpdateAnsweringMachineFields();
    m_loadingRecord = false;
}

void TfrmProgMain::ApplyCodePermissions() {
    const std::pair<QLineEdit*, Permission> codes[] = {
        {m_customerPage->dbedtCodigoPainel, Permission::VerCodigoPainel},
        {m_customerPage->dbedtCodigoPC, Permission::VerSenhaPc}};
    for (const auto& [edit, permission] : codes) {
        const bool allowed = m_dm.Operator.HasPermission(permission);
        edit->setReadOnly(!allowed);
        edit->setEchoMode(allowed ? QLineEdit::Normal : QLineEdit::Password);
        if (!allowed)
            edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
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
    m_customerPage->chkAlterarCodigos->setChecked(false);
    m_customerPage->UpdateCodeFieldsEnabled();
    UpdateHeaderCaption();
    // After the dialog's own focus handling, which would select the whole name.
    QTimer::singleShot(0, this, &TfrmProgMain::jvLookMostraClienteClick);
}

// --- pages ----------------------------------------------------------------------------------

void TfrmProgMain::jvLookMostraClienteClick() {
    m_monitoringPage->Leave();
    pgcPrincipal->setCurrentIndex(0);
    pgcCliente->setCurrentIndex(0);
    m_customerPage->dbedtNome->setFocus(Qt::OtherFocusReason);
    m_customerPage->dbedtNome->deselect();
    m_customerPage->dbedtNome->end(false);
}

void TfrmProgMain::jvLookProgramarClick() {
    if (!m_dm.Operator.HasPermission(Permission::Programar)) {
        Tell(kMsgSemPermissao);
        return;
    }
    OnLine* session = m_link ? m_link->OnLineWorker() : nullptr;
    if (session && !m_link->State().ProgrammingReceived.load()) {
        session->Blocks = (1u << BlockCount(m_record.Images().family())) - 1;
        session->ReadProgrammingRequest = true;
    }
    // The status requests of the monitoring page stop while the programming is edited.
    m_monitoringPage->Leave();
    if (!m_editor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        EditorHost host;
        host.record = &m_record;
        host.op = &m_dm.Operator;
        host.link = m_link;
        host.settings = &m_context.settings;
        host.settingsPath = ApplicationPath(SettingsFileName());
        host.versionChanged = [this] {
            if (m_link)
                m_link->State().StoredVersion.store(m_record.StoredVersion());
            UpdateHeaderCaption();
        };
        host.orvan9Max = [this] { return m_link ? m_link->State().Orvan9Max.load() : m_dm.IsOrvan9Max(); };
        host.receivedVersion = [this] {
            return m_link && m_link->OnLineWorker() ? m_link->State().ReceivedVersion.load() : QString();
        };
        m_editor = TfrmProgEditor::ForProduct(host, this);
        QApplication::restoreOverrideCursor();
    }
    jvLookMostraClienteClick();
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void TfrmProgMain::RepaintProgrammingWindows() {
    if (m_editor)
        m_editor->RefreshAlarmViews();
}

void TfrmProgMain::TransferEnded(const TransferReport&) {
    RepaintProgrammingWindows();
}

void TfrmProgMain::jvLookMonitorarClick() {
    if (!m_monitoringPage->Select(true)) {
        jvLookMonitorar->setDown(false);
        return;
    }
    pgcPrincipal->setCurrentWidget(m_monitoringPage);
}

void TfrmProgMain::jvLookEventosClick() {
    const EventsCustomer customer{m_record.CustomerId(), m_record.ProductCode(),
                                  m_dm.DSetClientes.Value(QStringLiteral("NOME")).toString()};
    if (!m_eventsPage->Select(customer)) {
        jvLookEventos->setDown(false);
        return;
    }
    // The status requests of the monitoring page stop while the events are shown.
    m_monitoringPage->Leave();
    pgcPrincipal->setCurrentWidget(m_eventsPage);
}

void TfrmProgMain::MonitoringViewRefresh() {
    if (pgcPrincipal->currentWidget() == m_monitoringPage)
        m_monitoringPage->Select(false);
}

void TfrmProgMain::Atualiza_Monitorando(const QByteArray& panelStatus) {
    m_monitoringPage->Atualiza_Monitorando(panelStatus);
}

void TfrmProgMain::ShowPanelDateTime(const QByteArray&, const QString& text) {
    m_monitoringPage->ShowPanelDateTime(text);
}

// --- codes ----------------------------------------------------------------------------------

bool TfrmProgMain::CodeKeyAllowed(QLineEdit* field) const {
    const Permission permission =
        field == m_customerPage->dbedtCodigoPainel ? Permission::VerCodigoPainel : Permission::VerSenhaPc;
    return m_loadingRecord || m_dm.Operator.HasPermission(permission);
}

void TfrmProgMain::PanelCodeLeft() {
    const QString text = m_customerPage->dbedtCodigoPainel->text();
    // Only while the panel row is being edited: an emptied code gets the factory code back.
    if (m_dm.DSetPainel.Editing()) {
        const QString padded = PanelCodeOnLeave(text);
        if (padded != text)
            m_customerPage->dbedtCodigoPainel->setText(padded);
    }
}

void TfrmProgMain::PcCodeLeft() {
    const QString text = m_customerPage->dbedtCodigoPC->text();
    const QString padded = PcCodeOnLeave(text);
    if (padded != text)
        m_customerPage->dbedtCodigoPC->setText(padded);
}

void TfrmProgMain::ApplyCodeLeaveRules() {
    if (!m_customerPage->rbFontePCCodigos->isChecked())
        return;
    PanelCodeLeft();
    if (m_dm.DSetPainel.Editing())
        PcCodeLeft();
}

void TfrmProgMain::CodesAreaFocusChanged(QWidget* old, QWidget* now) {
    if (!now || now->window() != this)
        return;
    if (IsInside(old, m_customerPage->grpCodigos) && !IsInside(now, m_customerPage->grpCodigos))
        m_customerPage->chkAlterarCodigos->setChecked(false);
}

void TfrmProgMain::rbFontePCCodigosClick() {
    m_customerPage->rbFontePCCodigos->setChecked(true);
    m_customerPage->UpdateCodeFieldsEnabled();
    const PanelCodes codes = PanelCodesOf(m_record.Images().ImagemPC);
    m_customerPage->ShowCodesQuietly(codes.panelCode, codes.pcCode);
    // The change handlers run once more: the codes go back into the image and, where they differ,
    // into the panel row.
    for (QLineEdit* edit : {m_customerPage->dbedtCodigoPainel, m_customerPage->dbedtCodigoPC})
        m_binder->Write(edit);
    m_record.CopyPanelCodeToImage(m_customerPage->dbedtCodigoPainel->text());
    m_record.CopyPcCodeToImage(m_customerPage->dbedtCodigoPC->text());
}

void TfrmProgMain::rbFonteAlarmeCodigosClick() {
    m_customerPage->rbFonteAlarmeCodigos->setChecked(true);
    m_customerPage->UpdateCodeFieldsEnabled();
    // The panel's codes are only shown: neither the image nor the panel row takes them.
    const PanelCodes codes = PanelCodesOf(m_record.Images().ImagemAlarme);
    m_customerPage->ShowCodesQuietly(codes.panelCode, codes.pcCode);
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
    if (m_linkBar->HandleKey(key->key()))
        return true;

    if (widget == m_customerPage->dbedtCodigoPainel || widget == m_customerPage->dbedtCodigoPC) {
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
        return m_customerPage->dbedtNome;
    case RecordField::CodigoPainel:
        return m_customerPage->dbedtCodigoPainel;
    case RecordField::CodigoPc:
        return m_customerPage->dbedtCodigoPC;
    case RecordField::FonePainel:
        return m_customerPage->dbedtFonePainel;
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
        if (!m_customerPage->rbFontePCCodigos->isChecked())
            rbFontePCCodigosClick();
        m_customerPage->chkAlterarCodigos->setChecked(true);
    }
    BalloonTip::ShowFieldError(edit, message);
}

void TfrmProgMain::ShowInvalidField(const CustomerField& field, const QString& message) {
    if (QString::fromLatin1(field.column) == QLatin1String("CODIGO_PAINEL")) {
        ShowFieldError(RecordField::CodigoPainel, message);
        return;
    }
    if (QString::fromLatin1(field.column) == QLatin1String("CODIGO_PC")) {
        ShowFieldError(RecordField::CodigoPc, message);
        return;
    }
    auto* widget = findChild<QWidget*>(QString::fromLatin1(field.widget));
    if (!widget)
        return;
    pgcPrincipal->setCurrentIndex(0);
    for (int page = 0; page < pgcCliente->count(); ++page) {
        if (IsInside(widget, pgcCliente->widget(page)))
            pgcCliente->setCurrentIndex(page);
    }
    BalloonTip::ShowFieldError(widget, message);
}

QString TfrmProgMain::TextOf(const QWidget* field) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(field))
        return edit->text();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(field))
        return memo->toPlainText();
    return {};
}

bool TfrmProgMain::RefuseTextNotLatin1(QWidget* field) {
    const QString text = TextOf(field);
    if (IsLatin1Text(text))
        return false;
    pgcPrincipal->setCurrentIndex(0);
    for (int page = 0; page < pgcCliente->count(); ++page) {
        if (IsInside(field, pgcCliente->widget(page)))
            pgcCliente->setCurrentIndex(page);
    }
    BalloonTip::ShowFieldError(field, MsgTextNotLatin1(text));
    return true;
}

bool TfrmProgMain::ShowTextNotLatin1() {
    for (QWidget* field : std::as_const(m_textFields)) {
        if (RefuseTextNotLatin1(field))
            return true;
    }
    return false;
}

void TfrmProgMain::btnSalvarClick() {
    m_presenter.Save();
}

void TfrmProgMain::JvLookImprimirTudoClick() {
    // One report at a time: a click while its preview is shown does nothing.
    if (m_printing)
        return;
    if (!m_dm.Operator.HasPermission(Permission::ImprimirProgramacao)) {
        Tell(kMsgSemPermissao);
        return;
    }
    if (m_record.IsNew()) {
        Tell(kMsgSalvarAntesDeImprimir);
        return;
    }
    // The status requests of the monitoring page stop while the report is prepared.
    m_monitoringPage->Leave();
    // The report reads the database: what the screen holds is saved first, as "Salvar" does.
    m_presenter.Save();
    std::unique_ptr<TfrmReportProg> report = TfrmReportProg::ForProduct(m_record.ProductCode());
    if (!report)
        return;
    m_printing = true;
    if (report->AbreConsultas(m_dm.IBDB, m_record.CustomerId(), ReportPermissions::Of(m_dm.Operator), this))
        report->MostraPreview(PrintHeader::FromSettings(m_context.settings), this);
    m_printing = false;
}

void TfrmProgMain::ReloadFields() {
    m_loadingRecord = true;
    const bool wasLoading = m_record.LoadingFromImage;
    m_record.LoadingFromImage = true;
    m_binder->Load();
    m_record.LoadingFromImage = wasLoading;
    m_loadingRecord = false;
}

// --- leaving ---------------------------------------------------------------------------------

void TfrmProgMain::jvLookRetornarClick() {
    m_presenter.Leave(true);
}

void TfrmProgMain::HangUpAndClose() {
    // The session hangs up and then closes this screen (CloseWindowsForDisconnect).
    if (OnLine* session = m_link ? m_link->OnLineWorker() : nullptr) {
        session->CloseWindowsOnDisconnect = true;
        session->DisconnectRequest = true;
    }
}

void TfrmProgMain::CloseScreen() {
    if (m_finished)
        return;
    m_finished = true;
    m_customerIdAtClose = m_record.CustomerId();
    BalloonTip::HideCurrent();
    if (m_editor)
        m_editor->hide();
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
    // While a session runs the frame's close cannot be greyed out on every desktop: it asks as
    // "Retornar" does, and the session hangs up before the screen closes.
    if (m_closeEnabled || SessionRunning())
        m_presenter.CloseRequested();
}

void TfrmProgMain::reject() {
    // Escape does not leave the screen: leaving goes through "Retornar" and its questions.
}

// --- link ------------------------------------------------------------------------------------

bool TfrmProgMain::SessionRunning() const {
    return m_link && m_link->OnLineWorker();
}

void TfrmProgMain::Connect(bool withCallback) {
    if (m_link)
        Tell(ConnectRecord(*m_link, m_record, m_dm.Operator, withCallback));
}

void TfrmProgMain::btnEnviarCodigosClick() {
    Tell(SendRecordCodes(m_link, m_record));
}

void TfrmProgMain::JvLookOutButton5Click() {
    if (!m_dm.Operator.HasPermission(Permission::BaixarEventos)) {
        Tell(kMsgSemPermissao);
        return;
    }
    if (m_record.CustomerId() == 0) {
        Tell(kMsgSalvarAntesDeBaixar);
        return;
    }
    if (OnLine* session = m_link ? m_link->OnLineWorker() : nullptr)
        session->ReadBufferRequest = true;
}

bool TfrmProgMain::BeginEventDownload(int product) {
    m_events =
        std::make_unique<EventStore>(m_dm.IBDB, m_record.CustomerId(), product, EventCatalogue::Session);
    // No wait for another workstation's download of the customer: this runs on the window's
    // thread, and waiting would freeze the program; the operator is told and may try again.
    if (m_events->Begin(0)) {
        m_bufferDownloading = true;
        return true;
    }
    Tell(m_events->LastError());
    return false;
}

bool TfrmProgMain::Atualiza_Tabela_Eventos(int, const QByteArray& record) {
    if (m_events && m_events->StoreRecord(record, QDate::currentDate())) {
        // The events page shows each record's events as soon as they are stored.
        if (pgcPrincipal->currentWidget() == m_eventsPage)
            m_eventsPage->Refresh();
        return true;
    }
    if (m_events)
        Tell(m_events->LastError());
    return false;
}

void TfrmProgMain::EventDownloadEnded(const EventDownloadReport& report) {
    m_bufferDownloading = false;
    if (m_events)
        m_events->End();
    if (pgcPrincipal->currentWidget() == m_eventsPage)
        m_eventsPage->Refresh();
    if (report.outcome == EventDownloadReport::Outcome::Disconnected ||
        report.outcome == EventDownloadReport::Outcome::Cancelled)
        OperatorMessages::Tell(this, DownloadIncompleteMessage(m_events ? m_events->Stored() : 0),
                               MessageIcon::Information);
}

QString TfrmProgMain::FonePainel() const {
    return m_record.FonePainel();
}

QString TfrmProgMain::CodigoPainel() const {
    return m_record.CodigoPainel();
}

QString TfrmProgMain::CodigoPC() const {
    return m_record.CodigoPC();
}

bool TfrmProgMain::EnganaSecretaria() const {
    return m_record.EnganaSecretaria();
}

int TfrmProgMain::TempoEnganaSecretaria() {
    bool ok = false;
    const int seconds = m_customerPage->dbedtTempoSecret->text().toInt(&ok);
    if (!ok) {
        m_customerPage->dbedtTempoSecret->setText(QStringLiteral("0"));
        return 0;
    }
    return std::clamp(seconds, 0, CustomerPage::kMaxTempoSecretaria);
}

void TfrmProgMain::SetTempoEnganaSecretaria(int seconds) {
    m_customerPage->dbedtTempoSecret->setText(
        QString::number(std::clamp(seconds, 0, CustomerPage::kMaxTempoSecretaria)));
}

QString TfrmProgMain::Produto() const {
    return m_record.Produto();
}

void TfrmProgMain::SetVersaoProduto(const QString& version) {
    m_record.StoreVersaoProduto(version);
}

void TfrmProgMain::SetConnectedImages(bool connected) {
    m_linkBar->SetConnected(connected);
    // At the end of a session the panel's copy was cleared.
    RepaintProgrammingWindows();
}

void TfrmProgMain::SetCloseEnabled(bool enabled) {
    m_closeEnabled = enabled;
}

void TfrmProgMain::SetVersionLabel(const QString& text) {
    m_linkBar->SetVersion(text);
}

void TfrmProgMain::SetCaptionLabel(const QString& text) {
    lblCabecalho->setText(ForScreen(text));
}

void TfrmProgMain::SetOnLineIndicator(bool online) {
    m_linkBar->SetOnLine(online);
}

void TfrmProgMain::CloseWindowsForDisconnect() {
    if (m_editor)
        m_editor->hide();
    CloseScreen();
}

ProgrammingImages* TfrmProgMain::Imagens(int productCode) {
    if (!m_record.IsOpen() || FamilyOf(productCode) != m_record.Images().family())
        return nullptr;
    return &m_record.Images();
}
