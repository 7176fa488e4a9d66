#pragma once

#include "programming/product_codes.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

// The panel's event log as the program reads it: 16-byte records of four packed 4-byte events,
// and one event turned into the columns of a BUFFER_EVENTOS row.
//
// Both ways a log comes in (the session download and a panel calling in with its log) decode with
// these functions; they differ only in the catalogue list used above entry 27 (EventCatalogue).

// Which list of event names is used from entry 28 on: the session download chooses the list of
// the panel's model; a panel calling in is read with one list for every family.
enum class EventCatalogue { Session, Reception };

// One event's fields as packed, after the out-of-range values were clamped.
struct PanelEvent {
    int day = 31;
    int month = 12;
    int hour = 0;
    int minute = 0;
    int code = 0;
    int value = 0;        // the user/zone field v (7 bits on the 10-zone family, 4 on the 5-zone)
    int subCode = 0;      // codes 14 and 15
    int partitionBit = 0; // 10-zone family only; the 5-zone model has none
};

// The columns of one BUFFER_EVENTOS row (ID_CLIENTE is the caller's). `usuario` and `zona` are null
// strings when the event has no user or zone.
struct EventRow {
    QDate data;
    QTime hora;
    QString particao;
    QString evento;
    QString usuario;
    QString zona;
    bool operator==(const EventRow&) const = default;
};

namespace PanelEvents {

inline constexpr int EventSize = 4;
inline constexpr int RecordSize = 16;
inline constexpr int EventsPerRecord = 4;

// Records an event area holds: 192 on the 10-zone family, 69 on the 5-zone model. A download ends
// after the area's last record even when the panel would go on.
int AreaRecords(ProductFamily family);
// Record requests a whole log takes, the progress range: 96 or 32.
int ExpectedRecords(ProductFamily family);

// All 0xFF: the end of the log (a record) or of a record's events (an event).
bool IsEnd(QByteArrayView bytes);

// The fields of one event of the family, clamped: a day of 0 or above 31 becomes 31, a month of 0
// or above 12 becomes 12, an hour above 23 and a minute above 59 become 0.
PanelEvent Unpack(ProductFamily family, QByteArrayView event);

// EVENTO: the catalogue entry of the event for the customer's product code.
QString EventText(int productCode, EventCatalogue catalogue, const PanelEvent& event);
// The catalogue entry `index` as a list gives it (empty beyond the list).
QString CatalogueEntry(int productCode, EventCatalogue catalogue, int index);

// DATA: the panel sends no year. The event is dated in the latest year (the year before today's,
// today's or the next) that puts it at most PanelClockAheadDays after today: an event further
// ahead is last year's (a December event read in January), one a little ahead comes from a panel
// clock that runs fast. The day is brought within its month (30 April, 28 or 29 February as that
// year has it).
inline constexpr int PanelClockAheadDays = 31;
QDate EventDate(const PanelEvent& event, const QDate& today);

// The row of one event (not an end event).
EventRow Decode(int productCode, EventCatalogue catalogue, QByteArrayView event, const QDate& today);
// The rows of one record, stopping at the first all-0xFF event.
QList<EventRow> DecodeRecord(int productCode, EventCatalogue catalogue, QByteArrayView record,
                             const QDate& today);

// The decoded numbers of an event for an error message, separated by blanks: event code, v, day,
// month, hour, minute, partition bit.
QString DescribeNumbers(const PanelEvent& event);

} // namespace PanelEvents
