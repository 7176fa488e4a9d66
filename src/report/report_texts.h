#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The rules that turn stored values into the programming report's texts.

// A stored value as printed: a time of day as "hh:mm", a date as "dd/mm/yyyy", anything else as
// its text; null prints nothing.
QString ValueText(const QVariant& value);
// The value's text, or "-" when it is empty.
QString DashWhenEmpty(const QString& text);
// "****" in place of a code the operator may not see.
QString MaskedCode(const QString& code, bool visible);

// "Estado:": the state's name, "-" when the column is empty, another number unchanged.
QString StateText(const QVariant& estado, const QString& stateName);

// The auto-test interval as text: "Autoteste desabilitado", "Intervalo de 5 horas de autoteste",
// "Intervalo de 1 minuto de autoteste" and so on; a value outside 0..255 unchanged.
QString AutoTestText(const QVariant& interval);
// "Arme por "Não Movimento" desabilitado" for 0 or a value that is not a number; empty otherwise.
QString NoMovementText(const QVariant& minutes);
bool NoMovementEnabled(const QVariant& minutes);

// "Ajuste de relógio:": "0 - Sem ajuste", "12 - Relógio adianta 12 seg. por dia",
// "35 - Relógio atrasa 5 seg. por dia"; anything else the value alone.
QString ClockAdjustText(const QVariant& adjustment);

// "Reporte:" from PROGBIT_1: "[DESABILITADO]", "[DIVIDIDO]", "[DUPLO]" or "[ALTERNADO]".
QString ReportModeText(const QVariant& progbit1);

// "Número de rings:": the stored list position plus one; nothing when empty.
QString RingsText(const QVariant& position);

// The list entry at a stored position; nothing when the position is empty or outside the list.
QString ListEntryText(const QStringList& list, const QVariant& position);

// Whether bit `bit` of an integer column is set (an empty column has no bit set).
bool BitSet(const QVariant& mask, int bit);
