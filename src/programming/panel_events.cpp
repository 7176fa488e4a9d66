#include "programming/panel_events.h"

#include <algorithm>

namespace {

constexpr int FirstSubCodeEntry = 14;    // code 14: entry 14 + sub-code
constexpr int FirstTroubleEntry = 28;    // code 15: entry 28 + sub-code ...
constexpr int FirstTroubleEntryMax = 29; // ... on the Max and Eco models of the session list
constexpr int LastTroubleSubCode = 8;    // higher sub-codes give the list's last entry

bool isUserEvent(int code) {
    return (code >= 0 && code <= 5) || code == 12 || code == 13;
}

bool isZoneEvent(int code) {
    return code >= 6 && code <= 11;
}

int clampDay(int day) {
    return day == 0 || day > 31 ? 31 : day;
}

int clampMonth(int month) {
    return month == 0 || month > 12 ? 12 : month;
}

} // namespace

int PanelEvents::AreaRecords(ProductFamily family) {
    return family == ProductFamily::FiveZone ? 69 : 192;
}

int PanelEvents::ExpectedRecords(ProductFamily family) {
    return family == ProductFamily::FiveZone ? 32 : 96;
}

bool PanelEvents::IsEnd(QByteArrayView bytes) {
    return !bytes.isEmpty() &&
           std::all_of(bytes.begin(), bytes.end(), [](char c) { return quint8(c) == 0xFF; });
}

PanelEvent PanelEvents::Unpack(ProductFamily family, QByteArrayView event) {
    const quint8 b0 = quint8(event[0]);
    const quint8 b1 = quint8(event[1]);
    const quint8 b2 = quint8(event[2]);
    const quint8 b3 = quint8(event[3]);
    PanelEvent e;
    if (family == ProductFamily::FiveZone) {
        e.day = b0 & 0x1F;
        e.minute = ((b1 & 0x07) << 3) | (b0 >> 5);
        e.hour = b1 >> 3;
        e.code = b2 >> 4;
        e.value = b2 & 0x0F;
        e.subCode = e.value;
        e.month = b3 >> 4;
        e.partitionBit = 0;
    } else {
        e.day = b0 >> 3;
        e.month = ((b0 & 0x07) << 1) | (b1 >> 7);
        e.minute = (b1 >> 1) & 0x3F;
        e.hour = ((b1 & 0x01) << 4) | (b2 >> 4);
        e.code = b2 & 0x0F;
        e.value = b3 >> 1;
        e.subCode = (e.value >> 3) & 0x0F;
        e.partitionBit = b3 & 0x01;
    }
    e.day = clampDay(e.day);
    e.month = clampMonth(e.month);
    if (e.hour > 23)
        e.hour = 0;
    if (e.minute > 59)
        e.minute = 0;
    return e;
}

QString PanelEvents::EventText(int productCode, EventCatalogue catalogue, const PanelEvent& event) {
    int index = event.code;
    if (event.code == 14) {
        index = FirstSubCodeEntry + event.subCode;
    } else if (event.code == 15) {
        const bool maxEco = catalogue == EventCatalogue::Session && productCode != 1 && productCode != 2;
        index =
            (maxEco ? FirstTroubleEntryMax : FirstTroubleEntry) + std::min(event.subCode, LastTroubleSubCode);
    }
    return CatalogueEntry(productCode, catalogue, index);
}

QDate PanelEvents::EventDate(const PanelEvent& event, const QDate& today) {
    const auto dated = [&](int year) {
        const int day = std::min(event.day, QDate(year, event.month, 1).daysInMonth());
        return QDate(year, event.month, day);
    };
    // The latest of the neighbouring years that does not put the event further ahead of today than
    // a panel clock that runs a little fast can: a December event read in January is last year's,
    // a 1 January event read on 31 December (the panel ahead) next year's, and an event a day or
    // two ahead of today stays in today's year, so that it is dated the same whenever it is read.
    const QDate latest = today.addDays(PanelClockAheadDays);
    for (int year = today.year() + 1; year > today.year() - 1; --year) {
        const QDate date = dated(year);
        if (date <= latest)
            return date;
    }
    return dated(today.year() - 1);
}

EventRow PanelEvents::Decode(int productCode, EventCatalogue catalogue, QByteArrayView bytes,
                             const QDate& today) {
    const ProductFamily family =
        FamilyOf(productCode) == ProductFamily::FiveZone ? ProductFamily::FiveZone : ProductFamily::TenZone;
    const bool fiveZone = family == ProductFamily::FiveZone;
    const PanelEvent e = Unpack(family, bytes);
    EventRow row;
    row.data = EventDate(e, today);
    row.hora = QTime(e.hour, e.minute, 0);
    row.particao = !fiveZone && e.partitionBit ? QStringLiteral("A") : QStringLiteral("B");
    row.evento = EventText(productCode, catalogue, e);
    const int number = fiveZone ? e.value : e.value >> 1;
    if (isUserEvent(e.code)) {
        const bool master = fiveZone ? e.value == 0 : (e.value == 0 || e.value == 126 || e.value == 127);
        row.usuario =
            master ? QStringLiteral("Mestre") : QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
    } else if (isZoneEvent(e.code) && e.value != 0) {
        row.zona = QString::number(number);
    }
    return row;
}

QList<EventRow> PanelEvents::DecodeRecord(int productCode, EventCatalogue catalogue, QByteArrayView record,
                                          const QDate& today) {
    QList<EventRow> rows;
    for (int e = 0; e < EventsPerRecord && (e + 1) * EventSize <= record.size(); ++e) {
        const QByteArrayView event = record.sliced(e * EventSize, EventSize);
        if (IsEnd(event))
            break;
        rows.append(Decode(productCode, catalogue, event, today));
    }
    return rows;
}

QString PanelEvents::DescribeNumbers(const PanelEvent& event) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
        .arg(event.code)
        .arg(event.value)
        .arg(event.day)
        .arg(event.month)
        .arg(event.hour)
        .arg(event.minute)
        .arg(event.partitionBit);
}
