#pragma once

#include <QString>

// The describing texts that stand beside some programming fields, shared by the editors and the
// programming report.

// The auto-test interval: "Autoteste desabilitado" (0), "Intervalo de 1 hora de autoteste",
// "Intervalo de 5 horas de autoteste" (1..200), "Intervalo de 1 minuto de autoteste",
// "Intervalo de 3 minutos de autoteste" (201..255 = value − 200 minutes); empty outside 0..255.
QString AutoTestIntervalText(int interval);

// The arm after no movement: "Arme por "Não Movimento" desabilitado" for 0 (and anything that is
// not a positive number), else "Armar após 15 min. por "Não Movimento"".
QString NoMovementText(int minutes);

// The clock adjustment without its number: "Relógio adianta 12 seg. por dia" (1..29),
// "Relógio atrasa 5 seg. por dia" (31..59), "Sem ajuste" otherwise.
QString ClockAdjustmentText(int adjustment);
