#include "app/cli/cli_json.h"

#include <QDateTime>
#include <QJsonDocument>

namespace CliJson {

QJsonObject Record(const QString& kind, const QJsonObject& fields) {
    QJsonObject record = fields;
    record.insert(QStringLiteral("kind"), kind);
    return record;
}

void WriteLine(QTextStream& out, const QJsonObject& record) {
    out << QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Compact)) << '\n';
    out.flush();
}

QJsonValue Moment(const QDateTime& when) {
    if (!when.isValid())
        return QJsonValue::Null;
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QJsonValue Customer(int id) {
    return id > 0 ? QJsonValue(id) : QJsonValue(QJsonValue::Null);
}

} // namespace CliJson
