#include "workspace/customer_list_model.h"

#include "store/data_module.h"
#include "store/schema_tables.h"

#include <QCoreApplication>

CustomerListModel::CustomerListModel(QObject* parent) : QAbstractTableModel(parent) {
    FilterAllGroups();
}

int CustomerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.Count();
}

int CustomerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : CustomerListFieldCount;
}

QVariant CustomerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if ((role == Qt::DisplayRole || role == ValueRole) && !FieldShown(index.column()))
        return m_list.Text(index.row(), index.column()).isEmpty() ? QString() : kMaskedCode;
    if (role == Qt::DisplayRole)
        return m_list.DisplayText(index.row(), index.column());
    if (role == ValueRole)
        return m_list.Value(index.row(), index.column());
    return {};
}

void CustomerListModel::SetCodesShown(bool panelCode, bool pcCode) {
    if (panelCode == m_panelCodeShown && pcCode == m_pcCodeShown)
        return;
    m_panelCodeShown = panelCode;
    m_pcCodeShown = pcCode;
    if (m_list.Count() > 0)
        Q_EMIT dataChanged(index(0, CODIGO_PAINEL), index(m_list.Count() - 1, CODIGO_PC));
}

bool CustomerListModel::FieldShown(int field) const {
    if (field == CODIGO_PAINEL)
        return m_panelCodeShown;
    if (field == CODIGO_PC)
        return m_pcCodeShown;
    return true;
}

QVariant CustomerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return CustomerListTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void CustomerListModel::FilterAllGroups() {
    m_where = QStringLiteral(" where C.id_Grupo <> ?");
    m_whereParams = {kRecycleBinGroup};
    m_sortField = -1;
    m_sortOrder = SortOrder::None;
}

void CustomerListModel::FilterGroup(int groupId) {
    m_where = QStringLiteral(" where C.id_Grupo = ?");
    m_whereParams = {groupId};
    m_sortField = -1;
    m_sortOrder = SortOrder::None;
}

bool CustomerListModel::Reload(DbConnection& db, QString* error) {
    // The rows stream into a list of their own while the view keeps showing the old one; between
    // chunks the window repaints and runs its timers, and the operator's input waits for the end.
    CustomerList loaded;
    const bool ok = loaded.Load(db, kCustomerListSelect + m_where, m_whereParams, error,
                                [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    beginResetModel();
    if (ok)
        m_list = std::move(loaded);
    else
        m_list.Clear();
    ApplySort();
    endResetModel();
    return ok;
}

bool CustomerListModel::RefreshCustomer(DbConnection& db, int id, QString* error) {
    beginResetModel();
    const bool ok = m_list.Refresh(db, kCustomerListSelect + m_where, m_whereParams, id, nullptr, error);
    ApplySort();
    endResetModel();
    return ok;
}

void CustomerListModel::Clear() {
    beginResetModel();
    m_list.Clear();
    endResetModel();
}

CustomerListModel::SortOrder CustomerListModel::SortByTitleClick(int field) {
    const SortOrder order =
        m_sortOrder == SortOrder::Ascending ? SortOrder::Descending : SortOrder::Ascending;
    SortBy(field, order);
    return order;
}

void CustomerListModel::SortBy(int field, SortOrder order) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<int> ids;
    ids.reserve(before.size());
    for (const QModelIndex& index : before)
        ids << m_list.Id(index.row());
    m_sortField = field;
    m_sortOrder = order;
    ApplySort();
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i) {
        const int row = m_list.RowOfId(ids[i]);
        after << (row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CustomerListModel::ApplySort() {
    if (m_sortField < 0 || m_sortOrder == SortOrder::None)
        m_list.Unsort();
    else
        m_list.Sort(m_sortField, m_sortOrder == SortOrder::Descending);
}
