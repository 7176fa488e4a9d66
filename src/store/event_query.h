#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

// The columns of the event viewer, in the grid's order ("Partição" only for the 10-zone family).
enum class EventColumn { Numero, Data, Hora, Particao, Evento, Usuario, Zona };

// One key of the viewer's order.
struct EventSortKey {
    EventColumn column = EventColumn::Numero;
    bool descending = false;
    bool operator==(const EventSortKey&) const = default;
};

// What the filter dialog chose: each criterion counts only when its box is checked and it is
// complete (a range with both ends, a list with at least one entry, a partition ticked).
struct EventFilter {
    bool byDate = false;
    QDate fromDate, toDate;
    // A time range whose start is after its end runs over midnight ("22:00 a 06:00": the night).
    bool byTime = false;
    QTime fromTime, toTime;
    bool byPartition = false;
    bool partitionA = false, partitionB = false;
    bool byEvent = false;
    QStringList events;
    // "Mestre" or user numbers as the list shows them ("5", "12"); the stored form is two digits.
    bool byUser = false;
    QStringList users;
    bool byZone = false;
    QStringList zones;
    // The edits' texts (digits); the range counts only when both are filled.
    bool byNumber = false;
    QString fromNumber, toNumber;
    // Every criterion must hold ("todos"), or one suffices ("pelo menos um").
    bool matchAll = true;

    bool operator==(const EventFilter&) const = default;
};

// Why a filter cannot be applied, in the operator's words; empty when it can. Dates or numbers in
// the wrong order and impossible dates are refused rather than giving an empty list.
QString CheckEventFilter(const EventFilter& filter);
QString MsgFilterDatesReversed();
QString MsgFilterNumbersReversed();
QString MsgFilterDateInvalid(const QString& text);
QString MsgFilterNumberInvalid(const QString& text);

// The stored USUARIO of a user chosen in the filter: one-character entries get a leading "0".
QString StoredUserValue(const QString& entry);

// The viewer's statement over BUFFER_EVENTOS for one customer: its filter and order, every value a
// parameter. The order has the clicked column first, then the column sorted before it, then the
// row's key, so rows that tie on the clicked column keep a fixed order.
struct EventQuery {
    int customerId = 0;
    // The 10-zone family has the partition column; the 5-zone model has none.
    bool withPartition = true;
    EventFilter filter;
    QList<EventSortKey> order;

    // Columns of the select: ID_BUFFER_EVENTOS, COD_EVENTO, DATA, HORA, PARTICAO, EVENTO, USUARIO,
    // ZONA (PARTICAO is selected for both families; the 5-zone grid does not show it).
    QString SelectSql(QVariantList* params) const;
    QString CountSql(QVariantList* params) const;

private:
    QString WhereSql(QVariantList* params) const;
};

// The order after a title click on `column`, given the current order: the same column reverses
// its direction, another column sorts ascending and keeps the previous one as the second key; a
// reset (the page just opened) sorts ascending whatever came before.
QList<EventSortKey> OrderAfterTitleClick(const QList<EventSortKey>& current, EventColumn column, bool reset);
