#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// The program's fixed formats, whatever the system's regional settings: dates "dd/mm/yyyy", the
// short time as hours and minutes, "." between thousands, "," before decimals, and Portuguese month
// and day names. Every date, time and number the program shows, parses or stores as text goes
// through here.

// Makes Brazilian Portuguese the default locale of the process, so that Qt's own editors (date
// edits, spin boxes) agree with the formats below. Called once at start, before any window exists.
void ApplyApplicationLocale();

// Brazilian Portuguese with the program's separators.
QLocale ApplicationLocale();

// Qt patterns of the short date ("dd/MM/yyyy") and the short time ("HH:mm").
QString ShortDatePattern();
QString ShortTimePattern();

QString FormatDate(const QDate& date);             // "05/03/2024"
QDate ParseDate(const QString& text);              // invalid QDate when it is not "d/m/yyyy"
QString FormatShortTime(const QTime& time);        // "14:05"
QString FormatDateTime(const QDateTime& dateTime); // "05/03/2024 14:05:09"

// A date or time with a Qt pattern where "MMM"/"MMMM" and "ddd"/"dddd" give the program's own month
// and day names (for instance "dd 'de' MMMM 'de' yyyy").
QString FormatWithNames(const QDateTime& dateTime, const QString& pattern);

// 1234567.891 with 2 decimals gives "1.234.567,89".
QString FormatNumber(double value, int decimals);
QString FormatInteger(qlonglong value); // 1234567 gives "1.234.567"
// Reads "1.234,5" or "1234,5"; *ok tells whether the text was a number.
double ParseNumber(const QString& text, bool* ok = nullptr);

// Month 1..12 and day of week 1..7 (1 = Monday, as QDate counts); empty out of range.
QString ShortMonthName(int month);   // "Jan" .. "Dec"
QString LongMonthName(int month);    // "Janeiro" .. "Dezembro"
QString ShortDayName(int dayOfWeek); // "Seg" .. "Dom"
QString LongDayName(int dayOfWeek);  // "Segunda-feira" .. "Domingo"
