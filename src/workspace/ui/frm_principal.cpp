#include "workspace/ui/frm_principal.h"

#include "access/ui/operator_menu.h"
#include "base/app_paths.h"
#include "base/app_title.h"
#include "base/locale_format.h"
#include "base/operator_messages.h"
#include "base/settings.h"
#include "link/link_state.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "link_control/ui/frm_config_conexao.h"
#include "programming/product_codes.h"
#include "programming/ui/frm_tipo_do_produto.h"
#include "serial/com_port.h"
#include "serial/modem_catalogue.h"
#include "serial/port_opening.h"
#include "store/data_module.h"
#include "store/db_backup.h"
#include "store/schema_tables.h"
#include "store/store_messages.h"
#include "store/upkeep.h"
#include "widgets/balloon_tip.h"
#include "widgets/help.h"
#include "widgets/message_box.h"
#include "widgets/message_hook.h"
#include "widgets/ring_indicator.h"
#include "widgets/window_memory.h"
#include "workspace/customer_actions.h"
#include "workspace/ui/buffer_wait.h"
#include "workspace/ui/customer_row_delegate.h"
#include "workspace/ui/frm_grupos.h"
#include "workspace/ui/frm_opcoes_gerais.h"
#include "workspace/ui/frm_prog_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kLocalizarPor = QStringLiteral("Localizar por ");

// Display width of each list column in characters when the window first shows.
constexpr int kColumnChars[CustomerListFieldCount] = {
    10,         // ID_CLIENTE
    30,         // NOME
    15, 15, 15, // FONE1..3
    12,         // DATA_CRIACAO
    10,         // HORA_CRIACAO
    11,         // PRODUTO
    10,         // VERSAO_PRODUTO
    10, 10,     // CODIGO_PAINEL, CODIGO_PC
    15,         // FONE_PAINEL
    30,         // P_ENDERECO
    8,          // P_NUMERO
    16,         // P_COMPLEMENTO
    18,         // P_BAIRRO
    20,         // P_CIDADE
    11,         // P_CEP
    21,         // P_ESTADO
};

// The sort arrow of the header and the room around it.
constexpr int kSortArrowWidth = 16;

} // namespace

TfrmPrincipal::TfrmPrincipal(TdmBancoDeDados& dm, LinkState& link, ComPort& port, QWidget* parent,
                             const QString& databaseName)
    : QMainWindow(parent), m_dm(dm), m_link(link), m_port(port) {
    setObjectName(QStringLiteral("frmPrincipal"));
    // Step 1: the message hook and the link flags' initial values.
    m_hook = new MessageHook(this);
    m_hook->SetListProvider(
        [this]() -> QAbstractItemView* { return m_recordScreenOpen ? nullptr : DBGrid1; });
    m_hook->SetShiftHeld([this] { return ShiftHeld; });
    m_link.Orvan9Max = false;
    m_link.ProgrammingReceived = false;
    m_link.IgnoreNoCarrier = true;
    m_dm.SetConnectedProductSource([this] { return int(m_link.ConnectedProduct.load()); });

    m_opener = [](TfrmPrincipal& main, int customerId) { return main.OpenWithRecordScreen(customerId); };
    BuildActions();
    BuildMenus();
    BuildScreen();
    RunCreationSteps(databaseName);
}

TfrmPrincipal::~TfrmPrincipal() {
    m_dm.SetConnectedProductSource({});
    if (m_fontId >= 0)
        QFontDatabase::removeApplicationFont(m_fontId);
}

void TfrmPrincipal::SetLinkController(LinkController* controller) {
    m_controller = controller;
    PassSettingsToLink();
    // A RING while the port is open and idle (no customer screen, no worker listening).
    if (m_controller) {
        if (!m_ring)
            m_ring = new RingIndicator(lblRing, m_settings.PathBD, this);
        connect(&m_controller->Dispatcher(), &ReceiveDispatcher::RingIndicated, m_ring, &RingIndicator::Ring,
                Qt::UniqueConnection);
        m_ring->SetKeepShowing([this] { return actAguardaBuffer->isChecked(); });
        if (!m_bufferWait)
            m_bufferWait = new BufferWait(*this, *m_controller);
    }
}

void TfrmPrincipal::PassSettingsToLink() {
    if (m_controller)
        m_controller->SetLinkSettings(LinkSettingsFrom(m_settings));
}

void TfrmPrincipal::BuildActions() {
    auto action = [this](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* a = new QAction(style()->standardIcon(icon), caption, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    actIncluirCliente =
        action("actIncluirCliente", QStringLiteral("Incluir Cliente"), QStyle::SP_FileDialogNewFolder);
    actIncluirCliente->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    actVerCliente = action("actVerCliente", QStringLiteral("Ver Cliente"), QStyle::SP_FileDialogContentsView);
    actVerCliente->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    actExcluirCliente = action("actExcluirCliente", QStringLiteral("Excluir Cliente"), QStyle::SP_TrashIcon);
    actExcluirCliente->setShortcut(QKeySequence(Qt::Key_Delete));
    actSair = action("actSair", QStringLiteral("Sair"), QStyle::SP_DialogCloseButton);
    actTrocarUsuario = new QAction(QStringLiteral("&Trocar de usuário ..."), this);
    actTrocarUsuario->setObjectName(QStringLiteral("actTrocarUsuario"));
    actAjuda = new QAction(QStringLiteral("&Ajuda do Telvora... (F1)"), this);
    actAjuda->setObjectName(QStringLiteral("actAjuda"));
    actComunicacao = new QAction(QStringLiteral("&Comunicação ..."), this);
    actComunicacao->setObjectName(QStringLiteral("actComunicacao"));
    auto menuAction = [this](const char* name, const QString& caption, void (TfrmPrincipal::*slot)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actGerais = menuAction("actGerais", QStringLiteral("&Gerais ..."), &TfrmPrincipal::OpcoesGerais);
    actEscolherColunas = menuAction("actEscolherColunas", QStringLiteral("&Escolher colunas ..."),
                                    &TfrmPrincipal::EscolherColunas);
    actBackup = menuAction("actBackup", QStringLiteral("Bac&kup ..."), &TfrmPrincipal::FazerBackup);
    actRestauracao =
        menuAction("actRestauracao", QStringLiteral("&Restauração ..."), &TfrmPrincipal::Restauracao);
    actSobre = menuAction("actSobre", QStringLiteral("&Sobre o Telvora ..."), &TfrmPrincipal::Sobre);
    for (QAction* a : {actIncluirCliente, actVerCliente, actExcluirCliente})
        a->setShortcutContext(Qt::WindowShortcut);
    connect(actIncluirCliente, &QAction::triggered, this, &TfrmPrincipal::actIncluirClienteExecute);
    connect(actVerCliente, &QAction::triggered, this, &TfrmPrincipal::actVerClienteExecute);
    connect(actExcluirCliente, &QAction::triggered, this, &TfrmPrincipal::actExcluirClienteExecute);
    connect(actSair, &QAction::triggered, this, &QWidget::close);
    connect(actTrocarUsuario, &QAction::triggered, this, &TfrmPrincipal::TrocarUsuario);
    connect(actAjuda, &QAction::triggered, this, [this] { ShowHelpTopic(this, 1); });
    connect(actComunicacao, &QAction::triggered, this, &TfrmPrincipal::ConfigurarComunicacao);
    actAguardaBuffer = action("actAguardaBuffer", QStringLiteral("Aguarda Buffer"), QStyle::SP_DriveNetIcon);
    actAguardaBuffer->setCheckable(true);
    connect(actAguardaBuffer, &QAction::triggered, this, &TfrmPrincipal::actAguardaBufferExecute);
}

void TfrmPrincipal::BuildMenus() {
    mnuArquivo = menuBar()->addMenu(QStringLiteral("Arquivo"));
    mnuArquivo->setObjectName(QStringLiteral("mnuArquivo"));
    mnuArquivo->addAction(actIncluirCliente);
    mnuArquivo->addAction(actVerCliente);
    mnuArquivo->addAction(actExcluirCliente);
    mnuArquivo->addSeparator();
    mnuArquivo->addAction(actTrocarUsuario);
    mnuArquivo->addSeparator();
    mnuArquivo->addAction(actSair);
    mnuOpcoes = menuBar()->addMenu(QStringLiteral("&Opções"));
    mnuOpcoes->setObjectName(QStringLiteral("mnuOpcoes"));
    mnuBancoDados = menuBar()->addMenu(QStringLiteral("&Banco de dados"));
    mnuBancoDados->setObjectName(QStringLiteral("mnuBancoDados"));
    mnuAjuda = menuBar()->addMenu(QStringLiteral("A&juda"));
    mnuAjuda->setObjectName(QStringLiteral("mnuAjuda"));
    mnuAjuda->addAction(actAjuda);
    mnuAjuda->addAction(actSobre);
    mnuOpcoes->addAction(actGerais);
    mnuOpcoes->addAction(actComunicacao);
    AddOperatorMenuEntries(mnuOpcoes, m_dm, this);
    // The logged-in operator may have renamed himself in the operator list (runs after it closed).
    if (auto* usuarios = mnuOpcoes->findChild<QAction*>(QStringLiteral("actUsuarios")))
        connect(usuarios, &QAction::triggered, this, &TfrmPrincipal::ShowOperatorName);
    mnuOpcoes->addAction(actEscolherColunas);
    mnuBancoDados->addAction(actBackup);
    mnuBancoDados->addAction(actRestauracao);
}

void TfrmPrincipal::BuildScreen() {
    auto* top = addToolBar(QStringLiteral("Ações"));
    top->setObjectName(QStringLiteral("tbAcoes"));
    top->setMovable(false);
    top->setIconSize(QSize(32, 32));
    top->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (QAction* a : {actIncluirCliente, actVerCliente, actExcluirCliente, actSair}) {
        top->addAction(a);
        // The buttons never take the focus: "Ver Cliente" acts on the list that has it.
        if (QWidget* button = top->widgetForAction(a))
            button->setFocusPolicy(Qt::NoFocus);
    }
    top->addAction(actAguardaBuffer);
    btnAguardaBuffer = qobject_cast<QToolButton*>(top->widgetForAction(actAguardaBuffer));
    btnAguardaBuffer->setObjectName(QStringLiteral("btnAguardaBuffer"));
    btnAguardaBuffer->setFocusPolicy(Qt::NoFocus);
    top->addSeparator();
    auto* groupBox = new QWidget(top);
    auto* groupLayout = new QHBoxLayout(groupBox);
    groupLayout->setContentsMargins(12, 0, 12, 0);
    groupLayout->addWidget(new QLabel(QStringLiteral("Grupo:"), groupBox));
    cmbGrupo = new QComboBox(groupBox);
    cmbGrupo->setObjectName(QStringLiteral("cmbGrupo"));
    cmbGrupo->setMinimumWidth(180);
    groupLayout->addWidget(cmbGrupo);
    btnConfigurarGrupos = new QPushButton(QStringLiteral("Configurar ..."), groupBox);
    btnConfigurarGrupos->setObjectName(QStringLiteral("btnConfigurarGrupos"));
    btnConfigurarGrupos->setFocusPolicy(Qt::NoFocus);
    groupLayout->addWidget(btnConfigurarGrupos);
    connect(btnConfigurarGrupos, &QPushButton::clicked, this, &TfrmPrincipal::ConfigurarGrupos);
    top->addWidget(groupBox);
    connect(cmbGrupo, &QComboBox::activated, this, [this] { ApplyGroupFilter(); });

    Model = new CustomerListModel(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(Model);
    DBGrid1->setItemDelegate(new CustomerRowDelegate(DBGrid1));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setWordWrap(false);
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    QFont bold = DBGrid1->font();
    bold.setBold(true);
    DBGrid1->setFont(bold);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(QFontMetrics(bold).height() + 6);
    QHeaderView* header = DBGrid1->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setMinimumHeight(std::max(header->sizeHint().height(), kSortArrowWidth + 4));
    const int charWidth = QFontMetrics(bold).averageCharWidth();
    for (int f = 0; f < CustomerListFieldCount; ++f) {
        const int title = header->fontMetrics().horizontalAdvance(CustomerListTitle(f)) + 16;
        header->resizeSection(f, std::max(kColumnChars[f] * charWidth + 8, title));
    }
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionClicked, this, &TfrmPrincipal::TitleClick);
    connect(DBGrid1, &QTableView::pressed, this, [this] { TitleJustClicked = false; });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] {
        if (!TitleJustClicked)
            actVerClienteExecute();
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfrmPrincipal::UpdateActions);
    connect(Model, &QAbstractItemModel::modelReset, this, &TfrmPrincipal::UpdateActions);

    auto* bottom = new QWidget(this);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(6, 4, 6, 4);
    bottomLayout->addWidget(new QLabel(QStringLiteral("Localizar:"), bottom));
    edtLocalizar = new QLineEdit(bottom);
    edtLocalizar->setObjectName(QStringLiteral("edtLocalizar"));
    edtLocalizar->setMinimumWidth(260);
    edtLocalizar->installEventFilter(this);
    bottomLayout->addWidget(edtLocalizar);
    JvArrowButton1 = new QToolButton(bottom);
    JvArrowButton1->setObjectName(QStringLiteral("JvArrowButton1"));
    JvArrowButton1->setPopupMode(QToolButton::MenuButtonPopup);
    JvArrowButton1->setFocusPolicy(Qt::NoFocus);
    auto* keys = new QMenu(JvArrowButton1);
    for (const SearchKey& key : SearchKeys()) {
        QAction* a = keys->addAction(key.caption);
        connect(a, &QAction::triggered, this, [this, caption = key.caption] { SetSearchKey(caption); });
    }
    JvArrowButton1->setMenu(keys);
    SetSearchKey(QStringLiteral("Nome"));
    bottomLayout->addWidget(JvArrowButton1);
    bottomLayout->addStretch();
    lblNumClientes = new QLabel(bottom);
    lblNumClientes->setObjectName(QStringLiteral("lblNumClientes"));
    bottomLayout->addWidget(lblNumClientes);
    bottomLayout->addSpacing(16);
    lblRing = new QLabel(bottom);
    lblRing->setObjectName(QStringLiteral("lblRing"));
    bottomLayout->addWidget(lblRing);
    bottomLayout->addSpacing(16);
    lblData = new QLabel(bottom);
    lblHora = new QLabel(bottom);
    bottomLayout->addWidget(lblData);
    bottomLayout->addWidget(lblHora);
    connect(edtLocalizar, &QLineEdit::textEdited, this, &TfrmPrincipal::SearchAsTyped);
    connect(JvArrowButton1, &QToolButton::clicked, this, &TfrmPrincipal::SearchNext);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(bottom);
    setCentralWidget(central);

    lblUsuario = new QLabel(this);
    lblUsuario->setObjectName(QStringLiteral("lblUsuario"));
    lblUsuario->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(lblUsuario, 1);

    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &TfrmPrincipal::UpdateClock);
    clock->start(1000);
    UpdateClock();
    RememberWindowGeometry(this, QSize(1024, 700));
}

void TfrmPrincipal::UpdateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    lblData->setText(FormatDate(now.date()));
    lblHora->setText(FormatShortTime(now.time()));
}

void TfrmPrincipal::RunCreationSteps(const QString& databaseName) {
    const QString folder = ApplicationFolder();
    QString error;
    ModemCatalogue::ensureExists(folder, &error);
    m_settings = CarregaConfiguracoes(&error);
    EnsureStockPictures(m_settings.PathBD);
    Atualiza_Grid_TelaInicial(m_settings.Colunas);
    SetHelpTopic(this, 3);
    const QString title = ApplicationTitle(BuildVersion());
    QApplication::setApplicationDisplayName(title);
    setWindowTitle(title);

    m_databaseName = databaseName.isEmpty() ? DatabaseNameOf(m_settings) : databaseName;
    const bool remote = m_databaseName.contains(QLatin1Char(':')) && !QFileInfo::exists(m_databaseName);
    if (!remote && !QFileInfo::exists(m_databaseName)) {
        OperatorMessages::Tell(this, kMsgBancoNaoEncontrado);
        m_databaseFailed = true;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return;
    }

    const QString font = QDir(m_settings.PathBD).filePath(QStringLiteral("Templates/BANFFN.TTF"));
    if (QFileInfo::exists(font))
        m_fontId = QFontDatabase::addApplicationFont(font);

    bool ok = m_dm.Connect(m_databaseName);
    if (ok)
        ok = RunStartupUpkeep(m_dm, nullptr, &error);
    if (ok) {
        Atualiza_Combos();
        ok = !m_databaseFailed;
    }
    if (!ok) {
        m_databaseFailed = true;
        Model->Clear();
        OperatorMessages::Tell(this, kMsgErroAbrirBancoInicio, MessageIcon::Critical);
    }
    edtLocalizar->setPlaceholderText(QStringLiteral("Digite aqui para localizar"));
}

void TfrmPrincipal::Atualiza_Grid_TelaInicial(const QString& columns) {
    QHeaderView* header = DBGrid1->horizontalHeader();
    const QVector<int> shown = ColumnsFromSetting(columns);
    for (int f = 0; f < CustomerListFieldCount; ++f)
        header->setSectionHidden(f, !shown.contains(f));
    for (int i = 0; i < shown.size(); ++i)
        header->moveSection(header->visualIndex(shown[i]), i);
}

void TfrmPrincipal::Atualiza_Combos() {
    QList<CustomerGroup> groups;
    QString error;
    cmbGrupo->clear();
    cmbGrupo->addItem(kGroupAll);
    if (!ReadGroups(m_dm, &groups, &error)) {
        m_databaseFailed = true;
        return;
    }
    for (const CustomerGroup& g : groups)
        cmbGrupo->addItem(g.name, g.id);
    cmbGrupo->setCurrentIndex(0);
    ApplyGroupFilter();
}

void TfrmPrincipal::ConfigurarGrupos() {
    // The list comes back to the customer it was on, when that one is still listed.
    const int current = CurrentId();
    TfrmGrupos dialog(m_dm, this);
    dialog.exec();
    Atualiza_Combos();
    if (const int row = current >= 0 ? Model->RowOfId(current) : -1; row >= 0)
        SelectRow(row);
}

void TfrmPrincipal::ApplyGroupFilter() {
    const QString chosen = cmbGrupo->currentText();
    ViewingRecycleBin = chosen == kRecycleBinGroupName;
    if (chosen == kGroupAll || chosen.isEmpty())
        Model->FilterAllGroups();
    else
        Model->FilterGroup(GroupIdByName(m_dm, chosen));
    // The group change drops the sort, and its arrow with it.
    SortedColumn = -1;
    SortDescending = false;
    DBGrid1->horizontalHeader()->setSortIndicatorShown(false);
    if (!ReloadList())
        m_databaseFailed = true;
    RefreshCount();
}

bool TfrmPrincipal::ReloadList(int selectCustomerId) {
    const int row = CurrentRow();
    const int keep = selectCustomerId >= 0 ? selectCustomerId : CurrentId();
    QString error;
    ApplyCodePermissions();
    const bool ok = Model->Reload(m_dm.IBDB, &error);
    // A failed load leaves the list empty and says so; before the window is shown the start-up
    // reports the database failure itself.
    if (!ok && isVisible()) {
        qWarning("customer list: %s", qPrintable(error));
        OperatorMessages::Tell(this, MsgErroAbrirTabela(m_dm.DSetTelaInicial.Name()), MessageIcon::Critical);
    }
    int target = keep >= 0 ? Model->RowOfId(keep) : -1;
    if (target < 0 && Model->rowCount() > 0)
        target = std::clamp(row, 0, Model->rowCount() - 1);
    SelectRow(target);
    UpdateActions();
    Q_EMIT ListReloaded();
    return ok;
}

void TfrmPrincipal::RefreshCustomer(int customerId) {
    if (customerId <= 0 || !m_dm.Connected()) {
        ReloadList();
        return;
    }
    const int row = CurrentRow();
    QString error;
    if (!Model->RefreshCustomer(m_dm.IBDB, customerId, &error)) {
        ReloadList(customerId);
        return;
    }
    int target = Model->RowOfId(customerId);
    if (target < 0 && Model->rowCount() > 0)
        target = std::clamp(row, 0, Model->rowCount() - 1);
    SelectRow(target);
    UpdateActions();
    Q_EMIT ListReloaded();
}

void TfrmPrincipal::RefreshCount() {
    const int count = m_dm.Connected() ? CountCustomers(m_dm) : -1;
    lblNumClientes->setText(QStringLiteral("Nº de clientes: ") +
                            (count >= 0 ? QString::number(count) : QString()));
}

void TfrmPrincipal::TitleClick(int field) {
    TitleJustClicked = true;
    const CustomerListModel::SortOrder order = Model->SortByTitleClick(field);
    SortDescending = order == CustomerListModel::SortOrder::Descending;
    SortedColumn = field;
    QHeaderView* header = DBGrid1->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(field, SortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    const int needed =
        header->fontMetrics().horizontalAdvance(CustomerListTitle(field)) + kSortArrowWidth + 10;
    if (header->sectionSize(field) < needed)
        header->resizeSection(field, needed + 10);
    if (CurrentRow() >= 0)
        DBGrid1->scrollTo(Model->index(CurrentRow(), field));
}

int TfrmPrincipal::SearchField() const {
    return SearchFieldFromCaption(JvArrowButton1->text());
}

void TfrmPrincipal::SetSearchKey(const QString& caption) {
    // Looking a customer up by a code the operator may not see would tell the code.
    if (!Model->FieldShown(SearchFieldFromCaption(kLocalizarPor + caption))) {
        OperatorMessages::Tell(this, kMsgSemPermissao);
        return;
    }
    JvArrowButton1->setText(kLocalizarPor + caption);
}

void TfrmPrincipal::ApplyCodePermissions() {
    Model->SetCodesShown(m_dm.Operator.HasPermission(Permission::VerCodigoPainel),
                         m_dm.Operator.HasPermission(Permission::VerSenhaPc));
    if (!Model->FieldShown(SearchField()))
        JvArrowButton1->setText(kLocalizarPor + QStringLiteral("Nome"));
}

void TfrmPrincipal::SearchAsTyped(const QString& text) {
    if (text.isEmpty())
        return;
    const int row = Model->List().Find(SearchField(), text, 0);
    if (row >= 0)
        SelectRow(row);
}

void TfrmPrincipal::SearchNext() {
    const QString text = edtLocalizar->text();
    if (text.isEmpty())
        return;
    const int field = SearchField();
    int row = Model->List().Find(field, text, CurrentRow() + 1);
    if (row < 0)
        row = Model->List().Find(field, text, 0);
    if (row < 0) {
        OperatorMessages::Tell(this, kMsgNenhumRegistro);
        return;
    }
    SelectRow(row);
}

int TfrmPrincipal::CurrentRow() const {
    const QModelIndex current = DBGrid1->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int TfrmPrincipal::CurrentId() const {
    return Model->IdAt(CurrentRow());
}

void TfrmPrincipal::SelectRow(int row) {
    if (row < 0 || row >= Model->rowCount()) {
        DBGrid1->selectionModel()->clear();
        return;
    }
    int column = DBGrid1->horizontalHeader()->logicalIndexAt(0);
    if (column < 0)
        column = DBGrid1->horizontalHeader()->logicalIndex(0);
    const QModelIndex index = Model->index(row, std::max(0, column));
    DBGrid1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    DBGrid1->scrollTo(index);
}

void TfrmPrincipal::UpdateActions() {
    const bool empty = Model->rowCount() == 0;
    actExcluirCliente->setEnabled(!empty);
    actVerCliente->setEnabled(!empty && !ViewingRecycleBin && !AguardandoBuffer());
}

bool TfrmPrincipal::AguardandoBuffer() const {
    return m_bufferWait && m_bufferWait->Listening();
}

void TfrmPrincipal::actAguardaBufferExecute(bool checked) {
    const auto release = [this, checked] {
        const QSignalBlocker blocker(actAguardaBuffer);
        actAguardaBuffer->setChecked(!checked);
    };
    if (!m_bufferWait) {
        release();
        return;
    }
    if (!checked) {
        m_bufferWait->Stop();
        return;
    }
    if (!HasPermission(Permission::BaixarEventos) || !m_bufferWait->Start())
        release();
}

bool TfrmPrincipal::HasPermission(Permission permission) {
    if (m_dm.Operator.HasPermission(permission))
        return true;
    OperatorMessages::Tell(this, kMsgSemPermissao);
    return false;
}

bool TfrmPrincipal::ChooseProduct() {
    TfrmTipoDoProduto chooser(this);
    const bool chosen = chooser.exec() == QDialog::Accepted;
    // The version of the model last selected is kept even when the choice is cancelled.
    const ProductChoice choice = chooser.Choice();
    if (!choice.version.isEmpty())
        m_link.StoredVersion.store(choice.version);
    if (chosen) {
        m_link.ConnectedProduct = quint8(choice.productCode);
        if (choice.orvan9)
            m_link.Orvan9Max = true;
    }
    return chosen;
}

int TfrmPrincipal::OpenRecordScreen(int customerId) {
    if (!m_opener)
        return 0;
    m_recordScreenOpen = true;
    const int id = m_opener(*this, customerId);
    m_recordScreenOpen = false;
    return id;
}

int TfrmPrincipal::OpenWithRecordScreen(int customerId) {
    const RecordScreenContext context{&m_dm, m_settings, m_controller};
    std::unique_ptr<TfrmProgMain> screen(
        customerId < 0 ? TfrmProgMain::NewCustomer(context, m_link.ConnectedProduct.load(),
                                                   m_link.StoredVersion.load(), this)
                       : TfrmProgMain::OpenCustomer(context, customerId, this));
    if (!screen)
        return customerId;
    screen->exec();
    // Default templates chosen in the programming window hold for the rest of this run.
    m_settings.ProgDefault10 = screen->ScreenSettings().ProgDefault10;
    m_settings.ProgDefault10Eco = screen->ScreenSettings().ProgDefault10Eco;
    m_settings.ProgDefault5 = screen->ScreenSettings().ProgDefault5;
    return screen->CustomerId();
}

void TfrmPrincipal::actIncluirClienteExecute() {
    if (!actIncluirCliente->isEnabled() || !HasPermission(Permission::AdicionarCliente))
        return;
    try {
        m_port.SetOpened(false);
    } catch (const ECiaComPort&) {
    }
    if (!ChooseProduct()) {
        ReopenPort();
        return;
    }
    // The chosen model alone decides the new customer's family.
    m_link.Orvan9Max = m_link.ConnectedProduct.load() == 4;
    const int id = OpenRecordScreen(-1);
    if (id > 0)
        RefreshCustomer(id);
    m_link.ConnectedProduct = quint8(kNoConnectedProduct);
    ReopenPort();
    RefreshCount();
}

void TfrmPrincipal::actVerClienteExecute() {
    QWidget* focus = QApplication::focusWidget();
    const bool fromList = focus == DBGrid1 || focus == edtLocalizar || DBGrid1->isAncestorOf(focus);
    if (!actVerCliente->isEnabled() || !fromList || !HasPermission(Permission::VisualizarCliente) ||
        Model->rowCount() == 0)
        return;
    CurrentCustomerId = CurrentId();
    if (CurrentCustomerId < 0)
        return;
    try {
        m_port.SetOpened(false);
    } catch (const ECiaComPort&) {
    }
    QString error;
    const CustomerToOpen customer = SelectCustomerToOpen(m_dm, CurrentCustomerId, &error);
    if (!error.isEmpty())
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    if (customer.found) {
        m_link.StoredVersion.store(customer.version);
        QString produto = customer.produto.trimmed();
        if (produto == QLatin1String("0")) {
            OperatorMessages::Tell(this, kMsgProdutoNaoIdentificado, MessageIcon::Warning);
            if (ChooseProduct()) {
                // The version chosen with the model is the customer's from now on.
                if (StoreCustomerProduct(m_dm, CurrentCustomerId, m_link.ConnectedProduct.load(),
                                         m_link.StoredVersion.load(), &error))
                    produto = QString::number(m_link.ConnectedProduct.load());
                else
                    OperatorMessages::Tell(this, error, MessageIcon::Critical);
            }
        }
        bool numeric = false;
        const int code = produto.toInt(&numeric);
        if (numeric && code >= 1 && code <= 9) {
            m_link.Orvan9Max = IsOrvan9Max(m_link.ConnectedProduct.load(), produto);
            OpenRecordScreen(CurrentCustomerId);
            m_link.ConnectedProduct = quint8(kNoConnectedProduct);
        }
    }
    RefreshCustomer(CurrentCustomerId);
    ReopenPort();
    RefreshCount();
}

void TfrmPrincipal::actExcluirClienteExecute() {
    if (!actExcluirCliente->isEnabled() || !HasPermission(Permission::ExcluirCliente) ||
        Model->rowCount() == 0)
        return;
    const int id = CurrentId();
    if (id < 0 || !OperatorMessages::AskYesNo(this, DeleteQuestion(ViewingRecycleBin), true))
        return;
    QString error;
    if (!RemoveCustomer(m_dm, id, ViewingRecycleBin, &error))
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    RefreshCustomer(id);
    RefreshCount();
}

void TfrmPrincipal::TrocarUsuario() {
    m_dm.FirstRun = false;
    hide();
    const bool ok = m_loginHandler && m_loginHandler(*this);
    if (!ok) {
        close();
        return;
    }
    ShowOperatorName();
    show();
}

void TfrmPrincipal::ConfigurarComunicacao() {
    if (!HasPermission(Permission::AlterarComunicacao))
        return;
    // The modem test of the dialog needs the port to itself.
    try {
        m_port.SetOpened(false);
    } catch (const ECiaComPort&) {
    }
    EditConnectionSettings();
    ReopenPort();
}

void TfrmPrincipal::EditConnectionSettings() {
    {
        TfrmConfigConexao dialog(m_settings, ApplicationPath(SettingsFileName()), ApplicationFolder(),
                                 m_dm.Operator, this);
        dialog.exec();
    }
    QString error;
    m_settings = CarregaConfiguracoes(&error);
    if (!error.isEmpty())
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    PassSettingsToLink();
}

bool TfrmPrincipal::ReopenPort() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PortOpening opening = ::ReopenPort(m_port, PortChoice{m_settings.ComPort, m_settings.Portas}, 300);
    QApplication::restoreOverrideCursor();
    if (opening != PortOpening::Opened) {
        OperatorMessages::Tell(this,
                               opening == PortOpening::Taken ? LinkTexts::PortTakenByAnotherProgram()
                                                             : SerialPortMessage(m_settings.ComPort),
                               MessageIcon::Critical);
        return false;
    }
    return true;
}

void TfrmPrincipal::ApplyFirstColumnWidths() {
    QHeaderView* header = DBGrid1->horizontalHeader();
    const int charWidth = QFontMetrics(DBGrid1->font()).averageCharWidth();
    header->resizeSection(PRODUTO, 11 * charWidth + 8);
    header->resizeSection(P_CEP, 11 * charWidth + 8);
    header->resizeSection(P_ESTADO, 21 * charWidth + 8);
}

void TfrmPrincipal::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FirstShow();
    }
}

void TfrmPrincipal::ShowOperatorName() {
    lblUsuario->setText(QStringLiteral("Usuário: ") + m_dm.Operator.name);
    ApplyCodePermissions(); // another operator may see other codes
}

void TfrmPrincipal::FirstShow() {
    ApplyFirstColumnWidths();
    if (m_dm.FirstRun) {
        if (m_firstRunHandler)
            m_firstRunHandler(*this);
        m_dm.FirstRun = false;
    }
    ShowOperatorName();
    if (!m_databaseFailed) {
        ReopenPort();
        const int first = DBGrid1->horizontalHeader()->logicalIndex(0);
        if (first >= 0 && !DBGrid1->horizontalHeader()->isSectionHidden(first))
            TitleClick(first);
        TitleJustClicked = false;
        if (CurrentRow() < 0)
            SelectRow(0);
    }
    DBGrid1->setFocus();
}

void TfrmPrincipal::closeEvent(QCloseEvent* event) {
    BalloonTip::HideCurrent();
    // A call being received ends first: its worker still sends on the port and stores into the
    // database.
    if (m_bufferWait)
        m_bufferWait->Shutdown();
    if (m_fontId >= 0) {
        QFontDatabase::removeApplicationFont(m_fontId);
        m_fontId = -1;
    }
    try {
        m_port.SetOpened(false);
    } catch (const ECiaComPort&) {
    }
    const bool connected = m_dm.Connected();
    m_dm.Disconnect();
    if (connected)
        BackupOnExit(m_settings.OpcoesGerais, m_databaseName);
    event->accept();
}

bool TfrmPrincipal::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && (key->modifiers() & Qt::ShiftModifier))
            ShiftHeld = true;
        else if (event->type() == QEvent::KeyRelease &&
                 (key->key() == Qt::Key_Shift || !(key->modifiers() & Qt::ShiftModifier)))
            ShiftHeld = false; // the release of Shift itself may still carry the modifier
        if (event->type() == QEvent::KeyPress &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            actVerClienteExecute();
            return true;
        }
    }
    if (watched == edtLocalizar && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, edtLocalizar, &QLineEdit::selectAll);
    return QMainWindow::eventFilter(watched, event);
}
