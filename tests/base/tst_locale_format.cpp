#include "base/locale_format.h"

#include <QDateTime>
#include <QTest>

class TestLocaleFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void datesAndTimes() {
        QCOMPARE(FormatDate(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
        QCOMPARE(ParseDate("05/03/2024"), QDate(2024, 3, 5));
        QCOMPARE(ParseDate("5/3/2024"), QDate(2024, 3, 5));
        QVERIFY(!ParseDate("30/02/2024").isValid());
        QVERIFY(!ParseDate("2024-03-05").isValid());
        QCOMPARE(FormatShortTime(QTime(14, 5, 9)), QStringLiteral("14:05"));
        QCOMPARE(FormatShortTime(QTime(0, 0)), QStringLiteral("00:00"));
        QCOMPARE(FormatDateTime(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 1))),
                 QStringLiteral("31/12/2023 23:59:01"));
    }

    void names() {
        QCOMPARE(LongMonthName(3), QStringLiteral("Março"));
        QCOMPARE(ShortMonthName(2), QStringLiteral("Fev"));
        QCOMPARE(ShortMonthName(12), QStringLiteral("Dec"));
        QVERIFY(LongMonthName(13).isEmpty());
        // 5 March 2024 was a Tuesday; the names replace Qt's and quoted text stays as it is.
        const QDateTime t(QDate(2024, 3, 5), QTime(8, 30));
        QCOMPARE(FormatWithNames(t, "dddd, dd 'de' MMMM 'de' yyyy"),
                 QStringLiteral("Terça-feira, 05 de Março de 2024"));
        QCOMPARE(FormatWithNames(QDateTime(QDate(2023, 12, 2), QTime()), "ddd dd/MMM"),
                 QStringLiteral("Sáb 02/Dec"));
        QCOMPARE(FormatWithNames(t, "'MMMM' HH:mm"), QStringLiteral("MMMM 08:30"));
        QCOMPARE(LongDayName(7), QStringLiteral("Domingo"));
    }

    void numbers_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands and decimals") << 1234567.891 << 2 << "1.234.567,89";
        QTest::newRow("small negative") << -0.5 << 1 << "-0,5";
        QTest::newRow("no decimals") << 1000.0 << 0 << "1.000";
    }
    void numbers() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(FormatNumber(value, decimals), text);
        bool ok = false;
        QCOMPARE(ParseNumber(text, &ok), QString::number(value, 'f', decimals).toDouble());
        QVERIFY(ok);
    }

    void integersAndDefaultLocale() {
        QCOMPARE(FormatInteger(1234567), QStringLiteral("1.234.567"));
        bool ok = true;
        ParseNumber("1,2,3", &ok);
        QVERIFY(!ok);
        ApplyApplicationLocale();
        QCOMPARE(QLocale().toString(2.5), QStringLiteral("2,5"));
        QCOMPARE(QLocale().toString(12345), QStringLiteral("12345")); // plain numbers are not grouped
    }
};

QTEST_GUILESS_MAIN(TestLocaleFormat)
#include "tst_locale_format.moc"
