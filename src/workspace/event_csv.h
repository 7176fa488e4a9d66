#pragma once

#include "store/event_list.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A list of events as a spreadsheet file: UTF-8 (with the byte-order mark that spreadsheets look
// for), one header row, fields separated by ";" as Brazilian spreadsheets expect, dates
// "dd/mm/yyyy" and times "hh:mm", lines ending in CR LF. A field holding ";", a quote or a line
// break is quoted, its quotes doubled. The columns are the viewer's: "No. do Evento", "Data",
// "Hora", "Partição" (10-zone family only), "Evento", "Usuário", "Zona"; the values as stored.
QByteArray EventsCsv(const QList<EventListRow>& rows, bool withPartition);
// Writes EventsCsv into `path`; false with *error (the operator's words) when it cannot.
bool WriteEventsCsv(const QList<EventListRow>& rows, bool withPartition, const QString& path,
                    QString* error = nullptr);
