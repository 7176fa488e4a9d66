#include "workspace/ui/events_page.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/event_list.h"
#include "workspace/event_csv.h"
#include "workspace/record_texts.h"
#include "workspace/ui/frm_filtra_buffer.h"
#include "workspace/ui/frm_report_buffer.h"
#include "workspace/ui/record_widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kEventoChars = 34;
constexpr int kNameChars = 26;
constexpr int kArrowWidth = 16;

QVariantMap RowOf(const DataSet& set) {
    QVariantMap row;
    if (!set.Active() || set.CurrentRow() < 0)
        return row;
    for (const QString& field : set.FieldNames())
        row.insert(field.toUpper(), set.Value(field));
    return row;
}

} // namespace

EventsPage::EventsPage(TdmBancoDeDados& dm, QWidget* parent)
    : QWidget(parent), m_dm(dm), m_model(new EventListModel(this)) {
    setObjectName(QStringLiteral("tsEventos"));

    dbgBufferEventos = Named(new QTableView, "dbgBufferEventos");
    dbgBufferEventos->setModel(m_model);
    dbgBufferEventos->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgBufferEventos->setSelectionMode(QAbstractItemView::ExtendedSelection);
    dbgBufferEventos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgBufferEventos->setAlternatingRowColors(true);
    dbgBufferEventos->setShowGrid(true);
    dbgBufferEventos->setWordWrap(false);
    dbgBufferEventos->verticalHeader()->setDefaultSectionSize(dbgBufferEventos->fontMetrics().height() + 6);
    QPalette palette = dbgBufferEventos->palette();
    palette.setColor(QPalette::AlternateBase, QColor(249, 249, 249));
    palette.setColor(QPalette::Base, Qt::white);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor(166, 202, 240));
        palette.setColor(group, QPalette::HighlightedText, QColor(0, 0, 128));
    }
    dbgBufferEventos->setPalette(palette);
    QHeaderView* header = dbgBufferEventos->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    connect(header, &QHeaderView::sectionClicked, this, &EventsPage::TitleClicked);
    dbgBufferEventos->installEventFilter(this);
    dbgBufferEventos->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* selectAll = new QAction(QStringLiteral("Selecionar todos"), dbgBufferEventos);
    selectAll->setObjectName(QStringLiteral("mnuSelecionarTodos"));
    connect(selectAll, &QAction::triggered, this, &EventsPage::SelecionarTodos);
    dbgBufferEventos->addAction(selectAll);
    connect(dbgBufferEventos->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EventsPage::UpdateDeleteButton);
    connect(m_model, &QAbstractItemModel::modelReset, this, &EventsPage::UpdateDeleteButton);

    auto button = [](const QString& caption, const char* name) {
        auto* b = Named(new QToolButton, name);
        b->setText(caption);
        b->setMinimumSize(88, 40);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };
    JvLookOutButton6 = button(QStringLiteral("Imprimir"), "JvLookOutButton6");
    JvLookOutButton1 = button(QStringLiteral("Apagar"), "JvLookOutButton1");
    JvLookOutButton7 = button(QStringLiteral("Filtrar"), "JvLookOutButton7");
    btnExportarCsv = button(QStringLiteral("Exportar CSV"), "btnExportarCsv");
    JvLookOutButton1->setEnabled(false);
    connect(JvLookOutButton6, &QToolButton::clicked, this, &EventsPage::ImprimirClick);
    connect(JvLookOutButton1, &QToolButton::clicked, this, &EventsPage::ApagarClick);
    connect(JvLookOutButton7, &QToolButton::clicked, this, &EventsPage::FiltrarClick);
    connect(btnExportarCsv, &QToolButton::clicked, this, &EventsPage::ExportarClick);

    chkUsuarios = Named(new QCheckBox(QStringLiteral("Exibir nome dos usuários")), "chkUsuarios");
    chkZonas = Named(new QCheckBox(QStringLiteral("Exibir identificação das zonas")), "chkZonas");
    connect(chkUsuarios, &QCheckBox::toggled, this, [this](bool checked) {
        m_model->SetShowUserNames(checked);
        SetColumnWidth(m_model->SectionOf(EventColumn::Usuario));
    });
    connect(chkZonas, &QCheckBox::toggled, this, [this](bool checked) {
        m_model->SetShowZoneNames(checked);
        SetColumnWidth(m_model->SectionOf(EventColumn::Zona));
    });

    auto* lblNumEventos = Named(new QLabel(QStringLiteral("Nº de eventos:")), "lblNumEventos");
    dbtxtCount = Named(new QLabel, "dbtxtCount");

    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {JvLookOutButton6, JvLookOutButton1, JvLookOutButton7, btnExportarCsv})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(lblNumEventos);
    buttons->addWidget(dbtxtCount);
    auto* options = new QHBoxLayout;
    options->addWidget(chkUsuarios);
    options->addWidget(chkZonas);
    options->addStretch();
    auto* root = new QVBoxLayout(this);
    root->addLayout(buttons);
    root->addWidget(dbgBufferEventos, 1);
    root->addLayout(options);
}

EventsPage::~EventsPage() = default;

void EventsPage::Tell(const QString& text) {
    OperatorMessages::Tell(this, text, MessageIcon::Warning);
}

bool EventsPage::Select(const EventsCustomer& customer) {
    if (!m_dm.Operator.HasPermission(Permission::Eventos)) {
        Tell(kMsgSemPermissao);
        return false;
    }
    // The same customer keeps the filter of its dialog; the order starts over in any case.
    const bool sameCustomer = customer.id != 0 && customer.id == m_model->CustomerId() &&
                              customer.productCode == m_model->ProductCode();
    if (!sameCustomer) {
        m_model->SetCustomer(customer.id, customer.productCode);
        for (int section = 0; section < m_model->columnCount(); ++section)
            SetColumnWidth(section);
    }
    if (customer.productCode != m_customer.productCode && m_filterDialog) {
        delete m_filterDialog;
        m_filterDialog = nullptr;
    }
    m_customer = customer;
    m_model->SetNames(EventNames(RowOf(m_dm.DSetUsuarios), RowOf(m_dm.DSetZonas)));
    SortBy(0, true);
    return true;
}

void EventsPage::Refresh() {
    if (m_model->CustomerId() != 0)
        Reload();
}

void EventsPage::TitleClicked(int section) {
    SortBy(section, false);
}

void EventsPage::SortBy(int section, bool reset) {
    if (m_model->CustomerId() == 0) {
        Reload();
        return;
    }
    m_model->SortByTitleClick(section, reset);
    Reload();
}

bool EventsPage::Reload() {
    const QModelIndex current = dbgBufferEventos->currentIndex();
    const qint32 key = current.isValid() ? m_model->data(current, EventListModel::KeyRole).toInt() : 0;
    // The rows the operator selected stay selected (a download refreshes the list after every
    // record); rows stored meanwhile are never selected for them.
    const QList<qint32> selected = SelectedKeys();
    QString error;
    const bool ok = m_model->Reload(m_dm.IBDB, &error);
    if (!ok && !error.isEmpty())
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    // The widths the operator gave the columns stay; only the sorted column is widened when its
    // title and the arrow do not fit.
    QHeaderView* header = dbgBufferEventos->horizontalHeader();
    const EventSortKey sort = m_model->SortKey();
    const int sorted = m_model->SectionOf(sort.column);
    header->setSortIndicator(sorted, sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (sorted >= 0 && header->sectionSize(sorted) < TitleWidth(sorted))
        header->resizeSection(sorted, TitleWidth(sorted));
    ShowCount();
    if (m_model->rowCount() > 0) {
        // The current row is kept (or the first), but only rows the operator selected are
        // selected: only those can be deleted.
        const int row = key ? m_model->RowOfKey(key) : -1;
        QItemSelectionModel* selection = dbgBufferEventos->selectionModel();
        selection->setCurrentIndex(m_model->index(row < 0 ? 0 : row, 0), QItemSelectionModel::NoUpdate);
        dbgBufferEventos->clearSelection();
        // One pass over the rows, the selection made once: a list can hold many thousand rows.
        const QSet<qint32> keys(selected.cbegin(), selected.cend());
        QItemSelection again;
        const int last = m_model->columnCount() - 1;
        int runStart = -1;
        for (int r = 0; !keys.isEmpty() && r <= m_model->rowCount(); ++r) {
            const bool wanted =
                r < m_model->rowCount() &&
                keys.contains(m_model->data(m_model->index(r, 0), EventListModel::KeyRole).toInt());
            if (wanted && runStart < 0)
                runStart = r;
            if (!wanted && runStart >= 0) {
                again.select(m_model->index(runStart, 0), m_model->index(r - 1, last));
                runStart = -1;
            }
        }
        if (!again.isEmpty())
            selection->select(again, QItemSelectionModel::Select);
    }
    UpdateDeleteButton();
    return ok;
}

void EventsPage::ShowCount() {
    dbtxtCount->setText(m_model->EventCount() < 0 ? QString() : QString::number(m_model->EventCount()));
}

int EventsPage::TitleWidth(int section) const {
    const QFontMetrics metrics = dbgBufferEventos->horizontalHeader()->fontMetrics();
    return metrics.horizontalAdvance(EventListModel::Caption(m_model->Columns().value(section))) +
           kArrowWidth + 10;
}

void EventsPage::SetColumnWidth(int section) {
    if (section < 0 || section >= m_model->columnCount())
        return;
    const int chars = dbgBufferEventos->fontMetrics().averageCharWidth();
    const EventColumn column = m_model->Columns().at(section);
    int width = TitleWidth(section);
    if (column == EventColumn::Evento)
        width = qMax(width, chars * kEventoChars);
    else if (column == EventColumn::Usuario && chkUsuarios->isChecked())
        width = qMax(width, chars * kNameChars);
    else if (column == EventColumn::Zona && chkZonas->isChecked())
        width = qMax(width, chars * kNameChars);
    dbgBufferEventos->horizontalHeader()->resizeSection(section, width);
}

void EventsPage::UpdateDeleteButton() {
    JvLookOutButton1->setEnabled(!m_deleting && dbgBufferEventos->selectionModel()->hasSelection());
}

QList<qint32> EventsPage::SelectedKeys() const {
    QList<qint32> keys;
    for (const QModelIndex& index : dbgBufferEventos->selectionModel()->selectedRows())
        keys << m_model->data(index, EventListModel::KeyRole).toInt();
    return keys;
}

void EventsPage::SelecionarTodos() {
    if (m_model->CustomerId() == 0)
        return;
    dbgBufferEventos->clearSelection();
    dbgBufferEventos->selectAll();
    UpdateDeleteButton();
}

void EventsPage::ApagarClick() {
    const QList<qint32> keys = SelectedKeys();
    if (keys.isEmpty()) {
        JvLookOutButton1->setEnabled(false);
        return;
    }
    if (!m_dm.Operator.HasPermission(Permission::ApagarEventos)) {
        Tell(kMsgSemPermissao);
        return;
    }
    if (m_model->CustomerId() == 0)
        return;
    // Rows stored by a running download are not among the selected keys, but the download relies
    // on what the customer held when it began: deleting waits for its end.
    if (DownloadRunning && DownloadRunning()) {
        Tell(kMsgAguardeDownload);
        return;
    }
    if (!OperatorMessages::AskYesNo(this, MsgApagarEventos(int(keys.size())), true))
        return;
    m_deleting = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool deleted = EventList::Delete(m_dm.IBDB, m_model->CustomerId(), keys, nullptr, &error);
    if (deleted)
        RecordAudit(m_dm, m_dm.Operator.name, m_model->CustomerId(), AuditAction::DeleteEvents,
                    QStringLiteral("%1 eventos").arg(keys.size()));
    Reload();
    QApplication::restoreOverrideCursor();
    m_deleting = false;
    UpdateDeleteButton();
    if (!deleted)
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
}

void EventsPage::FiltrarClick() {
    if (m_model->CustomerId() == 0) {
        Tell(kMsgSalvarAntesDeFiltrar);
        return;
    }
    if (!m_filterDialog)
        m_filterDialog = new TfrmFiltraBuffer(m_customer.productCode, this);
    if (m_filterDialog->exec() == QDialog::Accepted) {
        m_model->SetFilter(m_filterDialog->Filter());
        SortBy(0, true);
        return;
    }
    QString error;
    if (!m_model->RefreshCount(m_dm.IBDB, &error))
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    ShowCount();
}

void EventsPage::ImprimirClick() {
    if (!m_dm.Operator.HasPermission(Permission::ImprimirEventos)) {
        Tell(kMsgSemPermissao);
        return;
    }
    if (m_report)
        return;
    JvLookOutButton6->setEnabled(false);
    m_report = std::make_unique<TfrmReportBuffer>(
        EventReportDocument(m_customer.id, m_customer.name, m_customer.productCode, m_model->Rows()));
    m_report->MostraPreview(PrintHeaderSource ? PrintHeaderSource() : PrintHeader(), this);
    m_report.reset();
    JvLookOutButton6->setEnabled(true);
}

void EventsPage::ExportarClick() {
    QString path;
    if (AskCsvPath) {
        path = AskCsvPath();
    } else {
        path = QFileDialog::getSaveFileName(
            this, ApplicationTitle(),
            QDir::home().filePath(QStringLiteral("eventos_cliente_%1.csv").arg(m_customer.id)),
            QStringLiteral("CSV (*.csv)"));
    }
    if (!path.isEmpty())
        ExportCsv(path);
}

bool EventsPage::ExportCsv(const QString& path) {
    QString error;
    if (WriteEventsCsv(m_model->Rows(), m_model->WithPartition(), path, &error))
        return true;
    OperatorMessages::Tell(this, error, MessageIcon::Critical);
    return false;
}

bool EventsPage::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Delete deletes the selected rows the way "Apagar" does (permission and question).
    if (watched == dbgBufferEventos && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)) {
            ApagarClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
