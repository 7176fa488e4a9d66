// Decoding the panel's packed events into BUFFER_EVENTOS columns: both families' bit layouts, the
// catalogue lists of each model, the user and zone columns, clamping and the year of an event.
#include "programming/panel_events.h"
#include "sim_event_log.h"

#include <QTest>

Q_DECLARE_METATYPE(EventCatalogue)

namespace {

QByteArray tenZone(int day, int month, int hour, int minute, int code, int value, bool partitionA = false) {
    return sim::packEvent(sim::Family::TenZone, {day, month, hour, minute, code, value, partitionA});
}

QByteArray fiveZone(int day, int month, int hour, int minute, int code, int value) {
    return sim::packEvent(sim::Family::FiveZone, {day, month, hour, minute, code, value, false});
}

const QDate kMidYear(2026, 6, 15);

} // namespace

class TestPanelEvents : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodesOneEvent_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<EventCatalogue>("catalogue");
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<QString>("particao");
        QTest::addColumn<QString>("evento");
        QTest::addColumn<QString>("usuario"); // "-": null
        QTest::addColumn<QString>("zona");    // "-": null
        const auto S = EventCatalogue::Session;
        const auto R = EventCatalogue::Reception;
        const QDate apr1(2026, 4, 1);

        QTest::newRow("10-zone arm, user 3, partition A")
            << 1 << S << QByteArray::fromHex("0A40A10D") << kMidYear << apr1 << QTime(10, 32) << "A"
            << QString::fromUtf8("ARME DO USUÁRIO ") << "03"
            << "-";
        QTest::newRow("5-zone disarm by the master")
            << 2 << S << QByteArray::fromHex("612A2040") << kMidYear << apr1 << QTime(5, 19) << "B"
            << QString::fromUtf8("DESARME DO USUÁRIO ") << "Mestre"
            << "-";
        QTest::newRow("10-zone v 127 is the master")
            << 1 << S << tenZone(2, 3, 8, 5, 1, 127) << kMidYear << QDate(2026, 3, 2) << QTime(8, 5) << "B"
            << QString::fromUtf8("ARME DO USUÁRIO ") << "Mestre"
            << "-";
        QTest::newRow("10-zone v 126 is the master")
            << 1 << S << tenZone(2, 3, 8, 5, 13, 126) << kMidYear << QDate(2026, 3, 2) << QTime(8, 5) << "B"
            << QString::fromUtf8("DESARME REMOTO DO USUÁRIO ") << "Mestre"
            << "-";
        QTest::newRow("10-zone zone 5 alarm") << 3 << S << tenZone(9, 5, 23, 59, 6, 10, true) << kMidYear
                                              << QDate(2026, 5, 9) << QTime(23, 59) << "A"
                                              << "DISPARO DA ZONA "
                                              << "-"
                                              << "5";
        QTest::newRow("zone event without a zone")
            << 1 << S << tenZone(9, 5, 1, 0, 7, 0) << kMidYear << QDate(2026, 5, 9) << QTime(1, 0) << "B"
            << QString::fromUtf8("RESTAURAÇÃO DA ZONA ") << "-"
            << "-";
        QTest::newRow("5-zone zone 3 bypass") << 2 << S << fiveZone(7, 2, 12, 40, 11, 3) << kMidYear
                                              << QDate(2026, 2, 7) << QTime(12, 40) << "B"
                                              << "BYPASS DA ZONA "
                                              << "-"
                                              << "3";
        QTest::newRow("5-zone user 4 stay arm")
            << 2 << S << fiveZone(7, 2, 12, 40, 3, 4) << kMidYear << QDate(2026, 2, 7) << QTime(12, 40) << "B"
            << QString::fromUtf8("ARME STAY DO USUÁRIO ") << "04"
            << "-";
        // Code 14: entry 14 + sub-code; code 15: the model's trouble list.
        QTest::newRow("auto-test") << 1 << S << tenZone(1, 1, 0, 0, 14, 1 << 3) << kMidYear
                                   << QDate(2026, 1, 1) << QTime(0, 0) << "B"
                                   << "AUTOTESTE"
                                   << "-"
                                   << "-";
        QTest::newRow("Eco code 14 sub 14")
            << 4 << S << tenZone(1, 1, 0, 0, 14, 14 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("ARME POR NÃO MOVIMENTO") << "-"
            << "-";
        QTest::newRow("Orvan 10 code 14 sub 14")
            << 1 << S << tenZone(1, 1, 0, 0, 14, 14 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("PROBLEMA DA SAÍDA AUXILIAR") << "-"
            << "-";
        QTest::newRow("Max code 15 sub 1") << 3 << S << tenZone(1, 1, 0, 0, 15, 1 << 3) << kMidYear
                                           << QDate(2026, 1, 1) << QTime(0, 0) << "B"
                                           << "PROBLEMA DE AC"
                                           << "-"
                                           << "-";
        QTest::newRow("Max code 15 sub 4")
            << 3 << S << tenZone(1, 1, 0, 0, 15, 4 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("RESTAURAÇÃO DA SAÍDA AUXILIAR") << "-"
            << "-";
        QTest::newRow("Orvan 10 code 15 sub 4")
            << 1 << S << tenZone(1, 1, 0, 0, 15, 4 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("RESTAURAÇÃO DE SAÍDA AUXILIAR") << "-"
            << "-";
        QTest::newRow("Orvan 10 code 15 sub 12")
            << 1 << S << tenZone(1, 1, 0, 0, 15, 12 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("RESTAURAÇÃO DE LINHA TELEFÔNICA") << "-"
            << "-";
        QTest::newRow("Max code 15 sub 8")
            << 3 << S << tenZone(1, 1, 0, 0, 15, 8 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("RESTAURAÇÃO DE LINHA TELEFÔNICA") << "-"
            << "-";
        QTest::newRow("Orvan 5 code 15 sub 8")
            << 2 << S << fiveZone(1, 1, 0, 0, 15, 8) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0) << "B"
            << QString::fromUtf8("RESTAURAÇÃO DE COMUNICAÇÃO") << "-"
            << "-";
        QTest::newRow("reception list, Max code 15 sub 8")
            << 3 << R << tenZone(1, 1, 0, 0, 15, 8 << 3) << kMidYear << QDate(2026, 1, 1) << QTime(0, 0)
            << "B" << QString::fromUtf8("RESTAURAÇÃO DE COMUNICAÇÃO") << "-"
            << "-";
        // Clamping and dates.
        QTest::newRow("31 November is the 30th")
            << 1 << S << tenZone(31, 11, 7, 0, 15, 0) << QDate(2026, 12, 20) << QDate(2026, 11, 30)
            << QTime(7, 0) << "B" << QString::fromUtf8("PROBLEMA DA SAÍDA AUXILIAR") << "-"
            << "-";
        QTest::newRow("December read in January is last year")
            << 1 << S << tenZone(28, 12, 22, 10, 14, 0) << QDate(2027, 1, 3) << QDate(2026, 12, 28)
            << QTime(22, 10) << "B"
            << "AUTO-ARME"
            << "-"
            << "-";
        QTest::newRow("tomorrow stays this year (panel clock ahead)")
            << 1 << S << tenZone(16, 6, 0, 5, 14, 0) << kMidYear << QDate(2026, 6, 16) << QTime(0, 5) << "B"
            << "AUTO-ARME"
            << "-"
            << "-";
        QTest::newRow("day 0 of February in a common year")
            << 1 << S << tenZone(0, 2, 3, 3, 14, 0) << kMidYear << QDate(2026, 2, 28) << QTime(3, 3) << "B"
            << "AUTO-ARME"
            << "-"
            << "-";
        QTest::newRow("30 February in a leap year")
            << 1 << S << tenZone(30, 2, 3, 3, 14, 0) << QDate(2028, 6, 1) << QDate(2028, 2, 29) << QTime(3, 3)
            << "B"
            << "AUTO-ARME"
            << "-"
            << "-";
        QTest::newRow("month 0, hour 25, minute 63")
            << 1 << S << tenZone(5, 0, 25, 63, 14, 0) << QDate(2026, 12, 20) << QDate(2026, 12, 5)
            << QTime(0, 0) << "B"
            << "AUTO-ARME"
            << "-"
            << "-";
        QTest::newRow("5-zone month 13") << 2 << S << fiveZone(5, 13, 1, 2, 14, 0) << QDate(2026, 12, 20)
                                         << QDate(2026, 12, 5) << QTime(1, 2) << "B"
                                         << "AUTO-ARME"
                                         << "-"
                                         << "-";
    }
    void decodesOneEvent() {
        QFETCH(int, product);
        QFETCH(EventCatalogue, catalogue);
        QFETCH(QByteArray, event);
        QFETCH(QDate, today);
        QFETCH(QDate, data);
        QFETCH(QTime, hora);
        QFETCH(QString, particao);
        QFETCH(QString, evento);
        QFETCH(QString, usuario);
        QFETCH(QString, zona);
        const EventRow row = PanelEvents::Decode(product, catalogue, event, today);
        QCOMPARE(row.data, data);
        QCOMPARE(row.hora, hora);
        QCOMPARE(row.particao, particao);
        QCOMPARE(row.evento, evento);
        QCOMPARE(row.usuario.isNull() ? QStringLiteral("-") : row.usuario, usuario);
        QCOMPARE(row.zona.isNull() ? QStringLiteral("-") : row.zona, zona);
    }

    // A record's events end at its first all-0xFF event; what follows it is not an event.
    void recordStopsAtTheFirstEmptyEvent() {
        const QByteArray record = tenZone(1, 4, 10, 32, 1, 6, true) + QByteArray(4, char(0xFF)) +
                                  tenZone(2, 4, 10, 32, 2, 6, true) + tenZone(3, 4, 10, 32, 2, 6, true);
        const QList<EventRow> rows = PanelEvents::DecodeRecord(1, EventCatalogue::Session, record, kMidYear);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().data, QDate(2026, 4, 1));
        QVERIFY(PanelEvents::IsEnd(QByteArray(16, char(0xFF))));
        QVERIFY(!PanelEvents::IsEnd(QByteArray(15, char(0xFF)) + '\0'));
    }
};

QTEST_GUILESS_MAIN(TestPanelEvents)
#include "tst_panel_events.moc"
