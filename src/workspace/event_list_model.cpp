#include "workspace/event_list_model.h"

#include "programming/product_codes.h"
#include "store/db_connection.h"

EventListModel::EventListModel(QObject* parent) : QAbstractTableModel(parent) {
    SetCustomer(0, 1);
}

void EventListModel::SetCustomer(int customerId, int productCode) {
    beginResetModel();
    m_productCode = productCode;
    m_query = EventQuery();
    m_query.customerId = customerId;
    m_query.withPartition = FamilyOf(productCode) != ProductFamily::FiveZone;
    m_query.order = {{EventColumn::Numero, false}};
    m_columns = {EventColumn::Numero, EventColumn::Data, EventColumn::Hora};
    if (m_query.withPartition)
        m_columns << EventColumn::Particao;
    m_columns << EventColumn::Evento << EventColumn::Usuario << EventColumn::Zona;
    m_rows.clear();
    m_count = -1;
    endResetModel();
}

void EventListModel::SetFilter(const EventFilter& filter) {
    m_query.filter = filter;
    m_query.order = {{EventColumn::Numero, false}};
}

void EventListModel::SortByTitleClick(int section, bool reset) {
    if (section < 0 || section >= m_columns.size())
        return;
    m_query.order = OrderAfterTitleClick(m_query.order, m_columns.at(section), reset);
}

EventSortKey EventListModel::SortKey() const {
    return m_query.order.value(0);
}

bool EventListModel::Reload(DbConnection& db, QString* error) {
    // Asked again while the rows stream in (the window's events run between chunks): the load
    // that runs starts over once it is done, so the newest rows are the ones shown.
    if (m_loading) {
        m_reloadAgain = true;
        return true;
    }
    if (m_query.customerId == 0) {
        beginResetModel();
        m_rows.clear();
        m_count = 0;
        endResetModel();
        return true;
    }
    m_loading = true;
    // The rows are read on a thread of their own while the grid keeps showing the old ones; the
    // window repaints and runs its timers meanwhile (a download goes on storing).
    QList<EventListRow> rows;
    bool read = false;
    int count = -1;
    do {
        m_reloadAgain = false;
        read = m_loader.Load(db.DatabaseName(), m_query, &rows, &count, error);
    } while (read && m_reloadAgain);
    m_loading = false;
    if (!read || count < 0)
        return false;
    beginResetModel();
    m_rows = std::move(rows);
    m_count = count;
    endResetModel();
    return true;
}

bool EventListModel::RefreshCount(DbConnection& db, QString* error) {
    const int count = m_query.customerId == 0 ? 0 : EventList::Count(db, m_query, error);
    if (count < 0)
        return false;
    m_count = count;
    return true;
}

int EventListModel::RowOfKey(qint32 key) const {
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).id == key)
            return row;
    }
    return -1;
}

void EventListModel::SetNames(const EventNames& names) {
    m_names = names;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void EventListModel::SetShowUserNames(bool show) {
    m_showUserNames = show;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void EventListModel::SetShowZoneNames(bool show) {
    m_showZoneNames = show;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QString EventListModel::Caption(EventColumn column) {
    switch (column) {
    case EventColumn::Numero:
        return QStringLiteral("No. do Evento");
    case EventColumn::Data:
        return QStringLiteral("Data");
    case EventColumn::Hora:
        return QStringLiteral("Hora");
    case EventColumn::Particao:
        return QStringLiteral("Partição");
    case EventColumn::Evento:
        return QStringLiteral("Evento");
    case EventColumn::Usuario:
        return QStringLiteral("Usuário");
    case EventColumn::Zona:
        return QStringLiteral("Zona");
    }
    return {};
}

QString EventListModel::CellText(int row, int section) const {
    if (row < 0 || row >= m_rows.size() || section < 0 || section >= m_columns.size())
        return {};
    const EventListRow& r = m_rows.at(row);
    switch (m_columns.at(section)) {
    case EventColumn::Numero:
        return r.number < 0 ? QString() : QString::number(r.number);
    case EventColumn::Data:
        return r.data.isValid() ? r.data.toString(QStringLiteral("dd/MM")) : QString();
    case EventColumn::Hora:
        return r.hora.isValid() ? r.hora.toString(QStringLiteral("HH:mm")) : QString();
    case EventColumn::Particao:
        return r.particao;
    case EventColumn::Evento:
        return r.evento;
    case EventColumn::Usuario:
        return m_showUserNames ? m_names.UserText(r.usuario) : r.usuario;
    case EventColumn::Zona:
        return m_showZoneNames ? m_names.ZoneText(r.zona) : r.zona;
    }
    return {};
}

int EventListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int EventListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant EventListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return CellText(index.row(), index.column());
    if (role == KeyRole)
        return m_rows.at(index.row()).id;
    return {};
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return Caption(m_columns.at(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}
