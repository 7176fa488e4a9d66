#include "store/column_limits.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace {

// TABLE.COLUMN (upper case) to its limit, from every CREATE TABLE of the schema script.
QHash<QString, ColumnLimit> ReadSchemaLimits() {
    QHash<QString, ColumnLimit> limits;
    QFile file(QStringLiteral(":/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return limits;
    const QString script = QString::fromUtf8(file.readAll());
    static const QRegularExpression table(QStringLiteral(R"(CREATE\s+TABLE\s+(\w+)\s*\((.*?)\n\);)"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column(
        QStringLiteral(R"(^\s*(\w+)\s+(VARCHAR|CHAR|INTEGER|SMALLINT|BIGINT|\w+)\s*(?:\((\d+)\))?(.*)$)"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto tables = table.globalMatch(script); tables.hasNext();) {
        const auto t = tables.next();
        const QString tableName = t.captured(1).toUpper();
        for (const QString& line : t.captured(2).split(QLatin1Char('\n'))) {
            const auto c = column.match(line);
            if (!c.hasMatch() || c.captured(1).compare(QLatin1String("CONSTRAINT"), Qt::CaseInsensitive) == 0)
                continue;
            const QString type = c.captured(2).toUpper();
            ColumnLimit limit;
            if (type == QLatin1String("VARCHAR") || type == QLatin1String("CHAR")) {
                limit.kind = ColumnLimit::Kind::Text;
                limit.length = c.captured(3).toInt();
            } else if (type == QLatin1String("INTEGER") || type == QLatin1String("SMALLINT") ||
                       type == QLatin1String("BIGINT")) {
                limit.kind = ColumnLimit::Kind::Integer;
            } else {
                limit.kind = ColumnLimit::Kind::Other;
            }
            limit.notNull = c.captured(4).contains(QLatin1String("NOT NULL"), Qt::CaseInsensitive);
            limits.insert(tableName + QLatin1Char('.') + c.captured(1).toUpper(), limit);
        }
    }
    return limits;
}

} // namespace

ColumnLimit ColumnLimitOf(const QString& table, const QString& column) {
    static const QHash<QString, ColumnLimit> limits = ReadSchemaLimits();
    return limits.value(table.toUpper() + QLatin1Char('.') + column.toUpper());
}

int ColumnLength(const QString& table, const QString& column) {
    const ColumnLimit limit = ColumnLimitOf(table, column);
    return limit.kind == ColumnLimit::Kind::Text ? limit.length : 0;
}
