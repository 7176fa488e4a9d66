#include "app/app_title.h"

#include <QStringList>

QString ApplicationTitle() {
    const QStringList parts = QStringLiteral(TELVORA_VERSION).split(QLatin1Char('.'));
    return QStringLiteral("Telvora ") + parts.mid(0, 2).join(QLatin1Char('.'));
}
