#pragma once

#include "programming/image_layout.h"

#include <QList>
#include <QString>

// The names the command line gives the programming editor's sections (--sections), in the order of
// the editor's navigator: zonas, usuarios, tempos, comunicacao, opcoes, pgms, reporte.
QStringList CliSectionNames();

// A comma-separated list of section names ("zonas,tempos"), in the order given, each once. False,
// with the message for the operator in `error`, when a name is not a section's or the list is
// empty.
bool ParseCliSections(const QString& text, QList<ProgSection>* sections, QString* error);
