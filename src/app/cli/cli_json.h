#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QTextStream>

class QDateTime;

// The machine-readable output of telvora-cli (--json): every result a command reports is one JSON
// object on one line of the standard output, compact, in UTF-8, flushed at once so that a reader
// of a long-running command (listen) gets each line as it happens. Every object names what it
// reports in "kind"; the field names of each kind are listed in the manual page and are kept.
namespace CliJson {

// One record: {"kind": kind} followed by the fields.
QJsonObject Record(const QString& kind, const QJsonObject& fields = {});

// The record as one line (no line break inside, a "\n" after it).
void WriteLine(QTextStream& out, const QJsonObject& record);

// A moment as the records carry it: "yyyy-MM-ddTHH:mm:ss", local time; null when invalid.
QJsonValue Moment(const QDateTime& when);

// A customer number as the records carry it: null for none (0).
QJsonValue Customer(int id);

} // namespace CliJson
