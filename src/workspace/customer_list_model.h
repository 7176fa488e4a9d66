#pragma once

#include "workspace/customer_list.h"

#include <QAbstractTableModel>

class DbConnection;

// The customer list of the main window as a table: one column per list field (in the select's
// order; the view hides and orders them), one row per customer in the current sort. It keeps the
// statement's where clause (the group filter) and its order (the title clicks) and reloads the
// rows from the database when asked.
class CustomerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class SortOrder { None, Ascending, Descending };
    // Value role: the field as the database gave it (CustomerList::Value).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit CustomerListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const CustomerList& List() const { return m_list; }

    // Whether the panel code and the PC code are shown: without them their columns show "****",
    // as the record screen masks them for an operator without permission 20 or 21.
    void SetCodesShown(bool panelCode, bool pcCode);
    bool FieldShown(int field) const;

    // Every group but the recycle bin (the filter "TODOS"), or one group. Drops the sort order;
    // takes effect at the next Reload().
    void FilterAllGroups();
    void FilterGroup(int groupId);
    QString WhereClause() const { return m_where; }
    QVariantList WhereParams() const { return m_whereParams; }

    // Runs the list statement with the current filter, streaming its rows in chunks, and reapplies
    // the current sort. On failure the list is empty (no other read stands in) and *error tells why.
    bool Reload(DbConnection& db, QString* error = nullptr);
    void Clear();
    // Reads one customer again (after its record screen closed or it was deleted or moved) and
    // puts it in its sorted place, or drops it when the filter no longer shows it.
    bool RefreshCustomer(DbConnection& db, int id, QString* error = nullptr);

    // A title click: the direction alternates with every click, whichever column is clicked (the
    // list was sorted ascending: now descending; otherwise ascending). Answers the new order.
    SortOrder SortByTitleClick(int field);
    void SortBy(int field, SortOrder order);
    int SortField() const { return m_sortField; }
    SortOrder CurrentSortOrder() const { return m_sortOrder; }

    int IdAt(int row) const { return m_list.Id(row); }
    int RowOfId(int id) const { return m_list.RowOfId(id); }

private:
    void ApplySort();

    CustomerList m_list;
    QString m_where;
    QVariantList m_whereParams;
    int m_sortField = -1;
    SortOrder m_sortOrder = SortOrder::None;
    bool m_panelCodeShown = true;
    bool m_pcCodeShown = true;
};

// What a masked code shows.
inline const QString kMaskedCode = QStringLiteral("****");
