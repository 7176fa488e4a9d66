#include "base/locale_format.h"

#include <QDateTime>

namespace {

// The names exactly as the program has always shown them (the short December is "Dec").
const char16_t* const kShortMonths[] = {u"Jan", u"Fev", u"Mar", u"Abr", u"Mai", u"Jun",
                                        u"Jul", u"Ago", u"Set", u"Out", u"Nov", u"Dec"};
const char16_t* const kLongMonths[] = {u"Janeiro",  u"Fevereiro", u"Março",    u"Abril",
                                       u"Maio",     u"Junho",     u"Julho",    u"Agosto",
                                       u"Setembro", u"Outubro",   u"Novembro", u"Dezembro"};
// Monday first, as QDate::dayOfWeek counts.
const char16_t* const kShortDays[] = {u"Seg", u"Ter", u"Qua", u"Qui", u"Sex", u"Sáb", u"Dom"};
const char16_t* const kLongDays[] = {u"Segunda-feira", u"Terça-feira", u"Quarta-feira", u"Quinta-feira",
                                     u"Sexta-feira",   u"Sábado",      u"Domingo"};

QString pick(const char16_t* const* table, int count, int index) {
    return index >= 1 && index <= count ? QString::fromUtf16(table[index - 1]) : QString();
}

QString quoted(const QString& literal) {
    QString escaped = literal;
    escaped.replace(u'\'', QLatin1String("''"));
    return u'\'' + escaped + u'\'';
}

} // namespace

QLocale ApplicationLocale() {
    QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    // Thousands separators only where a format asks for them (FormatNumber, FormatInteger).
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

void ApplyApplicationLocale() {
    QLocale::setDefault(ApplicationLocale());
}

QString ShortDatePattern() {
    return QStringLiteral("dd/MM/yyyy");
}

QString ShortTimePattern() {
    return QStringLiteral("HH:mm");
}

QString FormatDate(const QDate& date) {
    return date.isValid() ? date.toString(ShortDatePattern()) : QString();
}

QDate ParseDate(const QString& text) {
    return QDate::fromString(text.trimmed(), QStringLiteral("d/M/yyyy"));
}

QString FormatShortTime(const QTime& time) {
    return time.isValid() ? time.toString(ShortTimePattern()) : QString();
}

QString FormatDateTime(const QDateTime& dateTime) {
    return dateTime.isValid() ? dateTime.toString(ShortDatePattern() + QStringLiteral(" HH:mm:ss"))
                              : QString();
}

QString FormatWithNames(const QDateTime& dateTime, const QString& pattern) {
    // Turn the name fields into quoted literals and let Qt format the rest.
    QString rewritten;
    const QDate date = dateTime.date();
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            const qsizetype end = pattern.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end + 1;
            rewritten += pattern.mid(i, stop - i);
            i = stop;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run) == c)
            ++run;
        if (c == u'M' && run >= 3)
            rewritten += quoted(run == 3 ? ShortMonthName(date.month()) : LongMonthName(date.month()));
        else if (c == u'd' && run >= 3)
            rewritten += quoted(run == 3 ? ShortDayName(date.dayOfWeek()) : LongDayName(date.dayOfWeek()));
        else
            rewritten += pattern.mid(i, run);
        i += run;
    }
    return QLocale::c().toString(dateTime, rewritten);
}

QString FormatNumber(double value, int decimals) {
    QLocale locale = ApplicationLocale();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(value, 'f', decimals);
}

QString FormatInteger(qlonglong value) {
    QLocale locale = ApplicationLocale();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(value);
}

double ParseNumber(const QString& text, bool* ok) {
    QLocale locale = ApplicationLocale();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toDouble(text.trimmed(), ok);
}

QString ShortMonthName(int month) {
    return pick(kShortMonths, 12, month);
}

QString LongMonthName(int month) {
    return pick(kLongMonths, 12, month);
}

QString ShortDayName(int dayOfWeek) {
    return pick(kShortDays, 7, dayOfWeek);
}

QString LongDayName(int dayOfWeek) {
    return pick(kLongDays, 7, dayOfWeek);
}
