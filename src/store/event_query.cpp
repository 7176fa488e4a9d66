#include "store/event_query.h"

namespace {

// The ORDER BY terms of a column. Zones are numbers kept as text: the shorter text first puts
// zone 10 after zone 9.
QStringList OrderTerms(EventColumn column) {
    switch (column) {
    case EventColumn::Numero:
        return {QStringLiteral("B.COD_EVENTO")};
    case EventColumn::Data:
        return {QStringLiteral("B.DATA")};
    case EventColumn::Hora:
        return {QStringLiteral("B.HORA")};
    case EventColumn::Particao:
        return {QStringLiteral("B.PARTICAO")};
    case EventColumn::Evento:
        return {QStringLiteral("B.EVENTO")};
    case EventColumn::Usuario:
        return {QStringLiteral("B.USUARIO")};
    case EventColumn::Zona:
        return {QStringLiteral("char_length(B.ZONA)"), QStringLiteral("B.ZONA")};
    }
    return {};
}

QString Placeholders(qsizetype count) {
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

bool Complete(const QString& a, const QString& b) {
    return !a.trimmed().isEmpty() && !b.trimmed().isEmpty();
}

} // namespace

QString MsgFilterDatesReversed() {
    return QStringLiteral("A data inicial do filtro é posterior à data final.");
}

QString MsgFilterNumbersReversed() {
    return QStringLiteral("O número inicial do filtro é maior que o número final.");
}

QString MsgFilterDateInvalid(const QString& text) {
    if (text.isEmpty())
        return QStringLiteral("Data inválida no filtro (dd/mm/aaaa).");
    return QStringLiteral("Data inválida: %1 (dd/mm/aaaa).").arg(text);
}

QString MsgFilterNumberInvalid(const QString& text) {
    return QStringLiteral("Número de evento inválido: %1.").arg(text);
}

QString CheckEventFilter(const EventFilter& filter) {
    if (filter.byDate) {
        if (!filter.fromDate.isValid() || !filter.toDate.isValid())
            return MsgFilterDateInvalid(QString());
        if (filter.fromDate > filter.toDate)
            return MsgFilterDatesReversed();
    }
    if (filter.byNumber && Complete(filter.fromNumber, filter.toNumber)) {
        // COD_EVENTO is a 32-bit integer.
        bool fromOk = false, toOk = false;
        const int from = filter.fromNumber.trimmed().toInt(&fromOk);
        const int to = filter.toNumber.trimmed().toInt(&toOk);
        if (!fromOk)
            return MsgFilterNumberInvalid(filter.fromNumber);
        if (!toOk)
            return MsgFilterNumberInvalid(filter.toNumber);
        if (from > to)
            return MsgFilterNumbersReversed();
    }
    return {};
}

QString StoredUserValue(const QString& entry) {
    return entry.size() == 1 ? QStringLiteral("0") + entry : entry;
}

QString EventQuery::WhereSql(QVariantList* params) const {
    QString sql = QStringLiteral(" where B.ID_CLIENTE = ?");
    params->append(customerId);
    QStringList criteria;
    QVariantList values;
    const EventFilter& f = filter;
    if (f.byDate && f.fromDate.isValid() && f.toDate.isValid()) {
        criteria << QStringLiteral("(B.DATA between ? and ?)");
        values << f.fromDate << f.toDate;
    }
    if (f.byTime && f.fromTime.isValid() && f.toTime.isValid()) {
        criteria << (f.fromTime <= f.toTime ? QStringLiteral("(B.HORA between ? and ?)")
                                            : QStringLiteral("(B.HORA >= ? or B.HORA <= ?)"));
        values << f.fromTime << f.toTime;
    }
    if (f.byPartition && withPartition && (f.partitionA || f.partitionB)) {
        QStringList partitions;
        if (f.partitionA)
            partitions << QStringLiteral("A");
        if (f.partitionB)
            partitions << QStringLiteral("B");
        criteria << QStringLiteral("(B.PARTICAO in (%1))").arg(Placeholders(partitions.size()));
        for (const QString& p : std::as_const(partitions))
            values << p;
    }
    const auto addList = [&](bool checked, const QStringList& entries, const char* column, bool users) {
        if (!checked || entries.isEmpty())
            return;
        criteria << QStringLiteral("(%1 in (%2))").arg(QLatin1String(column), Placeholders(entries.size()));
        for (const QString& entry : entries)
            values << (users ? StoredUserValue(entry) : entry);
    };
    addList(f.byEvent, f.events, "B.EVENTO", false);
    addList(f.byUser, f.users, "B.USUARIO", true);
    addList(f.byZone, f.zones, "B.ZONA", false);
    if (f.byNumber && Complete(f.fromNumber, f.toNumber)) {
        criteria << QStringLiteral("(B.COD_EVENTO between ? and ?)");
        values << f.fromNumber.trimmed().toInt() << f.toNumber.trimmed().toInt();
    }
    if (!criteria.isEmpty()) {
        if (f.matchAll)
            sql += QStringLiteral(" and ") + criteria.join(QStringLiteral(" and "));
        else
            sql += QStringLiteral(" and (") + criteria.join(QStringLiteral(" or ")) + QLatin1Char(')');
    }
    params->append(values);
    return sql;
}

QString EventQuery::SelectSql(QVariantList* params) const {
    QString sql = QStringLiteral("select B.ID_BUFFER_EVENTOS, B.COD_EVENTO, B.DATA, B.HORA, B.PARTICAO, "
                                 "B.EVENTO, B.USUARIO, B.ZONA from BUFFER_EVENTOS B") +
                  WhereSql(params);
    QStringList terms;
    for (const EventSortKey& key : order) {
        for (const QString& term : OrderTerms(key.column))
            terms << term + (key.descending ? QStringLiteral(" desc") : QStringLiteral(" asc"));
    }
    terms << QStringLiteral("B.ID_BUFFER_EVENTOS asc");
    return sql + QStringLiteral(" order by ") + terms.join(QStringLiteral(", "));
}

QString EventQuery::CountSql(QVariantList* params) const {
    return QStringLiteral("select count(*) from BUFFER_EVENTOS B") + WhereSql(params);
}

QList<EventSortKey> OrderAfterTitleClick(const QList<EventSortKey>& current, EventColumn column, bool reset) {
    if (reset || current.isEmpty())
        return {{column, false}};
    if (current.first().column == column) {
        QList<EventSortKey> order = current;
        order.first().descending = !order.first().descending;
        return order;
    }
    return {{column, false}, current.first()};
}
