#include "programming/field_texts.h"

QString AutoTestIntervalText(int n) {
    if (n == 0)
        return QStringLiteral("Autoteste desabilitado");
    if (n == 1)
        return QStringLiteral("Intervalo de 1 hora de autoteste");
    if (n >= 2 && n <= 200)
        return QStringLiteral("Intervalo de %1 horas de autoteste").arg(n);
    if (n == 201)
        return QStringLiteral("Intervalo de 1 minuto de autoteste");
    if (n >= 202 && n <= 255)
        return QStringLiteral("Intervalo de %1 minutos de autoteste").arg(n - 200);
    return QString();
}

QString NoMovementText(int minutes) {
    if (minutes <= 0)
        return QStringLiteral("Arme por \"Não Movimento\" desabilitado");
    return QStringLiteral("Armar após %1 min. por \"Não Movimento\"").arg(minutes);
}

QString ClockAdjustmentText(int n) {
    if (n >= 1 && n <= 29)
        return QStringLiteral("Relógio adianta %1 seg. por dia").arg(n);
    if (n >= 31 && n <= 59)
        return QStringLiteral("Relógio atrasa %1 seg. por dia").arg(n - 30);
    return QStringLiteral("Sem ajuste");
}
