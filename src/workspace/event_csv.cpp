#include "workspace/event_csv.h"

#include "base/locale_format.h"
#include "base/whole_file.h"

#include <QDir>
#include <QStringList>

namespace {

QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The catalogue's user and zone names end with a blank (the number has its own column).
QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

} // namespace

QByteArray EventsCsv(const QList<EventListRow>& rows, bool withPartition) {
    QStringList header{QStringLiteral("No. do Evento"), QStringLiteral("Data"), QStringLiteral("Hora")};
    if (withPartition)
        header << QStringLiteral("Partição");
    header << QStringLiteral("Evento") << QStringLiteral("Usuário") << QStringLiteral("Zona");
    const QLatin1String lineEnd("\r\n");
    QString text = header.join(QLatin1Char(';')) + lineEnd;
    for (const EventListRow& row : rows) {
        QStringList fields{row.number < 0 ? QString() : QString::number(row.number),
                           row.data.isValid() ? FormatDate(row.data) : QString(),
                           row.hora.isValid() ? FormatShortTime(row.hora) : QString()};
        if (withPartition)
            fields << row.particao;
        fields << WithoutTrailingBlanks(row.evento) << row.usuario << row.zona;
        for (QString& field : fields)
            field = Field(field);
        text += fields.join(QLatin1Char(';')) + lineEnd;
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool WriteEventsCsv(const QList<EventListRow>& rows, bool withPartition, const QString& path,
                    QString* error) {
    return WriteWholeFile(path, EventsCsv(rows, withPartition), error);
}
