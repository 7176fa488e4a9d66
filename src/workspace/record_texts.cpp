#include "workspace/record_texts.h"

QString RecordHeaderCaption(bool orvan9Max, bool isOrvan10, bool isOrvan5, bool isProduct3Or4,
                            const QString& storedVersion) {
    const QString head = QStringLiteral("Informações sobre o cliente\re o painel ");
    if (orvan9Max)
        return head + QStringLiteral("Orvan 9 V1.0");
    if (isOrvan10)
        return head + QStringLiteral("Orvan 10 V") + storedVersion;
    if (isOrvan5)
        return head + QStringLiteral("Orvan 5 V") + storedVersion;
    if (isProduct3Or4)
        return head +
               (storedVersion == QLatin1String("1.3") ? QStringLiteral("Orvan 10 Max V")
                                                      : QStringLiteral("Orvan 10 Eco V")) +
               storedVersion;
    return {};
}
