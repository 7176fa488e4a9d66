#include "report/report_texts.h"

#include "base/locale_format.h"
#include "programming/field_texts.h"

#include <QDate>
#include <QTime>

namespace {

// The value as a whole number; false when it is empty or not a number.
bool WholeNumber(const QVariant& value, int* number) {
    if (value.isNull())
        return false;
    bool ok = false;
    *number = value.toString().trimmed().toInt(&ok);
    return ok;
}

} // namespace

QString ValueText(const QVariant& value) {
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm"));
    case QMetaType::QDate:
        return FormatDate(value.toDate());
    case QMetaType::QDateTime:
        return FormatDate(value.toDateTime().date());
    default:
        return value.toString();
    }
}

QString DashWhenEmpty(const QString& text) {
    return text.trimmed().isEmpty() ? QStringLiteral("-") : text;
}

QString MaskedCode(const QString& code, bool visible) {
    return visible ? code : QStringLiteral("****");
}

QString StateText(const QVariant& estado, const QString& stateName) {
    if (!stateName.isEmpty())
        return stateName;
    return DashWhenEmpty(ValueText(estado));
}

QString AutoTestText(const QVariant& interval) {
    int n = 0;
    if (!WholeNumber(interval, &n) || n < 0 || n > 255)
        return ValueText(interval);
    return AutoTestIntervalText(n);
}

bool NoMovementEnabled(const QVariant& minutes) {
    int n = 0;
    return WholeNumber(minutes, &n) && n > 0;
}

QString NoMovementText(const QVariant& minutes) {
    return NoMovementEnabled(minutes) ? QString() : QStringLiteral("Arme por \"Não Movimento\" desabilitado");
}

QString ClockAdjustText(const QVariant& adjustment) {
    const QString text = ValueText(adjustment);
    int n = 0;
    if (!WholeNumber(adjustment, &n) || n < 0 || n > 59)
        return text;
    return text + QStringLiteral(" - ") + ClockAdjustmentText(n);
}

QString ReportModeText(const QVariant& progbit1) {
    static const char* const modes[] = {"[DESABILITADO]", "[DIVIDIDO]", "[DUPLO]", "[ALTERNADO]"};
    return QString::fromUtf8(modes[progbit1.toInt() & 3]);
}

QString RingsText(const QVariant& position) {
    int n = 0;
    if (!WholeNumber(position, &n))
        return ValueText(position);
    return QString::number(n + 1);
}

QString ListEntryText(const QStringList& list, const QVariant& position) {
    int n = 0;
    if (!WholeNumber(position, &n) || n < 0 || n >= list.size())
        return QString();
    return list.at(n);
}

bool BitSet(const QVariant& mask, int bit) {
    int n = 0;
    return WholeNumber(mask, &n) && (n >> bit) & 1;
}
