#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QVector>

// The panel's event log: a list of 4-byte packed events. The program fetches it one 16-byte
// record (four events) at a time; the record after the last event, and every record beyond, is
// all 0xFF, and the unused event places of the last record are 0xFF too.
namespace sim {

enum class Family { TenZone, FiveZone };

Family familyOf(int product);
int imageSize(Family family);  // 304 or 256
int blockCount(Family family); // 19 or 16
// Most records the panel keeps (96 on the 10-zone family, 32 on the 5-zone model).
int logRecordCapacity(Family family);

// One event in plain numbers. `value` is the raw user/zone field: on the 10-zone family 7 bits
// (user or zone number n is n << 1, the sub-code of codes 14 and 15 is sub << 3), on the 5-zone
// model 4 bits (the number itself, or the sub-code).
struct SimEvent {
    int day = 1;
    int month = 1;
    int hour = 0;
    int minute = 0;
    int code = 0;
    int value = 0;
    bool partitionA = false; // 10-zone family only
};

QByteArray packEvent(Family family, const SimEvent& event);
SimEvent unpackEvent(Family family, const QByteArray& fourBytes);

// Deterministic log of n events of the usual kinds (arming, disarming, zone alarms and restores,
// troubles, auto-test), in time order, the same for the same n and seed.
QByteArray generatedEvents(Family family, int count, quint32 seed);

// Reads a list of events from JSON: each element is either a hexadecimal text of four bytes or an
// object {"day","month","hour","minute","code", and one of "user","zone","sub","value",
// "partition":"A"|"B"}. Returns false and the reason on error.
bool eventsFromJson(Family family, const QJsonValue& value, QByteArray* events, QString* error);

// Record r of a log (16 bytes).
QByteArray logRecord(const QByteArray& events, int record);

} // namespace sim
