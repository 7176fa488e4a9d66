#pragma once

#include "store/event_list.h"
#include "store/event_query.h"
#include "workspace/event_names.h"

#include <QAbstractTableModel>
#include <QList>

class DbConnection;

// The events of the open customer as the events page shows them: the columns of the customer's
// family ("Partição" only for the 10-zone family), the current filter and order (both run in the
// database), the count of the rows the filter selects, and the user and zone names beside the
// numbers when asked for.
class EventListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The row's key (ID_BUFFER_EVENTOS) under Qt::UserRole.
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit EventListModel(QObject* parent = nullptr);

    // Shows no rows and starts over with the customer: no filter, ordered by event number. A
    // customer that was never saved (key 0) has no events.
    void SetCustomer(int customerId, int productCode);
    int CustomerId() const { return m_query.customerId; }
    int ProductCode() const { return m_productCode; }
    bool WithPartition() const { return m_query.withPartition; }

    const QList<EventColumn>& Columns() const { return m_columns; }
    // The grid column of an event column, -1 when the family does not show it.
    int SectionOf(EventColumn column) const { return int(m_columns.indexOf(column)); }

    const EventQuery& Query() const { return m_query; }
    // A new filter; the order goes back to the event number ascending. Takes effect at Reload().
    void SetFilter(const EventFilter& filter);
    // A title click on grid column `section` (see OrderAfterTitleClick); takes effect at Reload().
    void SortByTitleClick(int section, bool reset);
    // The column the list is sorted by, and whether downwards.
    EventSortKey SortKey() const;

    // Reads the rows and the count of the current statement on a thread of their own, over a
    // connection of their own to the database of `db` (EventListLoader; the window repaints
    // meanwhile). On failure the rows stay as they were and *error tells why.
    bool Reload(DbConnection& db, QString* error = nullptr);
    bool Loading() const { return m_loading; }
    // Counts the rows of the current statement again (the rows shown stay as they are).
    bool RefreshCount(DbConnection& db, QString* error = nullptr);
    // The rows the filter selects, as counted by the database (-1 before the first Reload()).
    int EventCount() const { return m_count; }
    const QList<EventListRow>& Rows() const { return m_rows; }
    // The row with that key, -1 when it is not shown.
    int RowOfKey(qint32 key) const;

    void SetNames(const EventNames& names);
    void SetShowUserNames(bool show);
    void SetShowZoneNames(bool show);
    bool ShowUserNames() const { return m_showUserNames; }
    bool ShowZoneNames() const { return m_showZoneNames; }

    // The texts of a cell: the date as day and month, the time as hours and minutes, the user and
    // zone with their names when shown.
    QString CellText(int row, int section) const;
    static QString Caption(EventColumn column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    EventQuery m_query;
    int m_productCode = 0;
    QList<EventColumn> m_columns;
    QList<EventListRow> m_rows;
    int m_count = -1;
    bool m_loading = false;
    bool m_reloadAgain = false;
    EventListLoader m_loader;
    EventNames m_names;
    bool m_showUserNames = false;
    bool m_showZoneNames = false;
};
