#include "sim_event_log.h"

#include "sim_bytes.h"

#include <QJsonArray>
#include <QJsonObject>

namespace sim {

Family familyOf(int product) {
    return product == 2 ? Family::FiveZone : Family::TenZone;
}

int imageSize(Family family) {
    return family == Family::FiveZone ? 256 : 304;
}

int blockCount(Family family) {
    return family == Family::FiveZone ? 16 : 19;
}

int logRecordCapacity(Family family) {
    return family == Family::FiveZone ? 32 : 96;
}

QByteArray packEvent(Family family, const SimEvent& e) {
    QByteArray b(4, '\0');
    if (family == Family::TenZone) {
        b[0] = char(((e.day & 0x1F) << 3) | ((e.month >> 1) & 0x07));
        b[1] = char(((e.month & 1) << 7) | ((e.minute & 0x3F) << 1) | ((e.hour >> 4) & 1));
        b[2] = char(((e.hour & 0x0F) << 4) | (e.code & 0x0F));
        b[3] = char(((e.value & 0x7F) << 1) | (e.partitionA ? 1 : 0));
    } else {
        b[0] = char(((e.minute & 0x07) << 5) | (e.day & 0x1F));
        b[1] = char(((e.hour & 0x1F) << 3) | ((e.minute >> 3) & 0x07));
        b[2] = char(((e.code & 0x0F) << 4) | (e.value & 0x0F));
        b[3] = char((e.month & 0x0F) << 4);
    }
    return b;
}

SimEvent unpackEvent(Family family, const QByteArray& bytes) {
    const QByteArray b = bytes.leftJustified(4, char(0xFF), true);
    const quint8 b0 = quint8(b[0]), b1 = quint8(b[1]), b2 = quint8(b[2]), b3 = quint8(b[3]);
    SimEvent e;
    if (family == Family::TenZone) {
        e.day = b0 >> 3;
        e.month = ((b0 & 7) << 1) | (b1 >> 7);
        e.minute = (b1 >> 1) & 0x3F;
        e.hour = ((b1 & 1) << 4) | (b2 >> 4);
        e.code = b2 & 0xF;
        e.value = b3 >> 1;
        e.partitionA = b3 & 1;
    } else {
        e.day = b0 & 0x1F;
        e.minute = ((b1 & 7) << 3) | (b0 >> 5);
        e.hour = b1 >> 3;
        e.code = b2 >> 4;
        e.value = b2 & 0xF;
        e.month = b3 >> 4;
    }
    return e;
}

QByteArray generatedEvents(Family family, int count, quint32 seed) {
    // code, number kind (0 user, 1 zone, 2 sub-code), number or sub-code
    struct Kind {
        int code;
        int kind;
        int number;
    };
    static const Kind kinds[] = {
        {1, 0, 1},  {2, 0, 1},  {6, 1, 3},  {7, 1, 3},  {1, 0, 0},  {15, 2, 1}, {15, 2, 5},
        {2, 0, 0},  {14, 2, 1}, {11, 1, 2}, {6, 1, 5},  {7, 1, 5},  {3, 0, 2},  {2, 0, 2},
        {14, 2, 6}, {15, 2, 2}, {15, 2, 6}, {12, 0, 0}, {13, 0, 0},
    };
    const int kindCount = int(sizeof(kinds) / sizeof(kinds[0]));
    count = qBound(0, count, logRecordCapacity(family) * 4);
    QByteArray out;
    qint64 minutes = (seed % 97) * 11; // start time within the year
    for (int i = 0; i < count; ++i) {
        const Kind& k = kinds[(i + int(seed % kindCount)) % kindCount];
        minutes += 17 + (i * 7 + int(seed % 13)) % 53;
        const qint64 dayOfYear = (minutes / (24 * 60)) % 336; // 12 months of 28 days keep every date valid
        SimEvent e;
        e.month = int(dayOfYear / 28) + 1;
        e.day = int(dayOfYear % 28) + 1;
        e.hour = int((minutes / 60) % 24);
        e.minute = int(minutes % 60);
        e.code = k.code;
        if (family == Family::TenZone) {
            e.value = k.kind == 2 ? (k.number << 3) : (k.number << 1);
            e.partitionA = (i % 3) != 2;
        } else {
            e.value = k.number & 0xF;
        }
        out += packEvent(family, e);
    }
    return out;
}

bool eventsFromJson(Family family, const QJsonValue& value, QByteArray* events, QString* error) {
    if (!value.isArray()) {
        *error = QStringLiteral("the event list must be a JSON array");
        return false;
    }
    QByteArray out;
    const QJsonArray list = value.toArray();
    for (int i = 0; i < list.size(); ++i) {
        const QJsonValue item = list.at(i);
        if (item.isString()) {
            bool ok = false;
            const QByteArray bytes = fromHex(item.toString(), &ok);
            if (!ok || bytes.size() != 4) {
                *error = QStringLiteral("event %1: expected four bytes in hexadecimal").arg(i + 1);
                return false;
            }
            out += bytes;
            continue;
        }
        if (!item.isObject()) {
            *error = QStringLiteral("event %1: expected an object or a hexadecimal text").arg(i + 1);
            return false;
        }
        const QJsonObject o = item.toObject();
        SimEvent e;
        e.day = o.value("day").toInt(1);
        e.month = o.value("month").toInt(1);
        e.hour = o.value("hour").toInt(0);
        e.minute = o.value("minute").toInt(0);
        e.code = o.value("code").toInt(0);
        const bool ten = family == Family::TenZone;
        if (o.contains("value"))
            e.value = o.value("value").toInt();
        else if (o.contains("user"))
            e.value = ten ? o.value("user").toInt() << 1 : o.value("user").toInt();
        else if (o.contains("zone"))
            e.value = ten ? o.value("zone").toInt() << 1 : o.value("zone").toInt();
        else if (o.contains("sub"))
            e.value = ten ? o.value("sub").toInt() << 3 : o.value("sub").toInt();
        e.partitionA = o.value("partition").toString().compare("A", Qt::CaseInsensitive) == 0;
        out += packEvent(family, e);
    }
    if ((out.size() + 15) / 16 > logRecordCapacity(family)) {
        *error = QStringLiteral("the panel keeps at most %1 events").arg(logRecordCapacity(family) * 4);
        return false;
    }
    *events = out;
    return true;
}

QByteArray logRecord(const QByteArray& events, int record) {
    QByteArray out(16, char(0xFF));
    const int from = record * 16;
    if (record < 0 || from >= events.size())
        return out;
    const QByteArray part = events.mid(from, 16);
    out.replace(0, part.size(), part);
    return out;
}

} // namespace sim
