// What the events page hands out besides the grid: the CSV of the listed rows (exact lines for a
// filtered, sorted list of a real database), the names beside user and zone numbers, and the event
// texts the filter offers (every text a download of the model can store, and only those).
#include "programming/panel_events.h"
#include "store/event_list.h"
#include "support/connected_data_module.h"
#include "support/event_fixture.h"
#include "workspace/event_csv.h"
#include "workspace/event_filter_lists.h"
#include "workspace/event_names.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList Lines(const QByteArray& csv) {
    QString text = QString::fromUtf8(csv);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestEventExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void csvOfAFilteredSortedList() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        const int customer = AddEventCustomer(db.dm, 1, QStringLiteral("Padaria"));
        QVERIFY(customer > 0);
        QVERIFY(InsertEvents(db.dm.IBDB, customer, SmallEventFixture()));
        EventQuery query;
        query.customerId = customer;
        query.filter.byPartition = query.filter.partitionB = true;
        query.order = {{EventColumn::Data, true}};
        QList<EventListRow> rows;
        QString error;
        QVERIFY2(EventList::Read(db.dm.IBDB, query, &rows, &error), qPrintable(error));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("eventos.csv"));
        QVERIFY2(WriteEventsCsv(rows, true, path, &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(Lines(bytes.mid(3)),
                 (QStringList{
                     QStringLiteral("No. do Evento;Data;Hora;Partição;Evento;Usuário;Zona"),
                     QStringLiteral("6;04/03/2026;09:45;B;ARME D'ACESSO;05;"),
                     QStringLiteral("4;03/03/2026;02:10;B;DESARME DO USUÁRIO;12;"),
                     QStringLiteral("3;02/03/2026;23:15;B;DISPARO DA ZONA;;3"),
                 }));
    }

    void csvQuotesFieldsThatWouldSplit_data() {
        QTest::addColumn<QString>("evento");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "AUTOTESTE"
                               << "AUTOTESTE";
        QTest::newRow("semicolon") << "A;B"
                                   << "\"A;B\"";
        QTest::newRow("quote") << "PORTA \"FUNDOS\""
                               << "\"PORTA \"\"FUNDOS\"\"\"";
        QTest::newRow("line break") << "A\nB"
                                    << "\"A\nB\"";
    }
    void csvQuotesFieldsThatWouldSplit() {
        QFETCH(QString, evento);
        QFETCH(QString, field);
        EventListRow row;
        row.number = 7;
        row.data = QDate(2026, 1, 2);
        row.hora = QTime(3, 4);
        row.evento = evento;
        row.usuario = QStringLiteral("Mestre");
        // The 5-zone model has no partition column.
        const QString text = QString::fromUtf8(EventsCsv({row}, false).mid(3));
        QCOMPARE(text, QStringLiteral("No. do Evento;Data;Hora;Evento;Usuário;Zona\r\n7;02/01/2026;03:04;") +
                           field + QStringLiteral(";Mestre;\r\n"));
    }

    void namesBesideNumbers_data() {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("zona");
        QTest::addColumn<QString>("userText");
        QTest::addColumn<QString>("zoneText");
        QTest::newRow("user 03 with a name") << "03"
                                             << ""
                                             << "03 - Ana"
                                             << "";
        QTest::newRow("user without a name") << "04"
                                             << ""
                                             << "04"
                                             << "";
        QTest::newRow("user 12") << "12"
                                 << ""
                                 << "12 - Bruno"
                                 << "";
        QTest::newRow("master, any case") << "MESTRE"
                                          << ""
                                          << "MESTRE - Carla"
                                          << "";
        QTest::newRow("zone with a name") << ""
                                          << "3"
                                          << ""
                                          << "3 - Porta";
        QTest::newRow("zone 10 without") << ""
                                         << "10"
                                         << ""
                                         << "10";
    }
    void namesBesideNumbers() {
        QFETCH(QString, usuario);
        QFETCH(QString, zona);
        QFETCH(QString, userText);
        QFETCH(QString, zoneText);
        const EventNames names(
            {{"USUARIO3", "Ana"}, {"USUARIO4", QVariant()}, {"USUARIO12", "Bruno"}, {"MASTER", "Carla"}},
            {{"ZONA3", "Porta"}, {"ZONA10", QVariant()}});
        QCOMPARE(names.UserText(usuario), userText);
        QCOMPARE(names.ZoneText(zona), zoneText);
    }

    void filterOffersEveryTextAModelStores_data() {
        QTest::addColumn<int>("productCode");
        QTest::newRow("Orvan 10") << 1;
        QTest::newRow("Orvan 5") << 2;
        QTest::newRow("Orvan 10 Max") << 3;
        QTest::newRow("Orvan 9 Max") << 4;
    }
    void filterOffersEveryTextAModelStores() {
        QFETCH(int, productCode);
        const QStringList offered = FilterEventEntries(productCode);
        QSet<QString> stored;
        for (EventCatalogue catalogue : {EventCatalogue::Session, EventCatalogue::Reception}) {
            for (int code = 0; code < 16; ++code) {
                for (int sub = 0; sub < 16; ++sub) {
                    PanelEvent event;
                    event.code = code;
                    event.subCode = sub;
                    stored << PanelEvents::EventText(productCode, catalogue, event);
                }
            }
        }
        stored.remove(QString());
        QCOMPARE(QSet<QString>(offered.cbegin(), offered.cend()), stored);
        QCOMPARE(offered.size(), stored.size());
        QCOMPARE(offered.contains(QStringLiteral("ARME POR NÃO MOVIMENTO")), productCode >= 3);
        QVERIFY(offered.indexOf(QStringLiteral("ACESSO REMOTO")) <
                offered.indexOf(QStringLiteral("AUTO-ARME")));
        QCOMPARE(FilterUserEntries(productCode).size(), productCode == 2 ? 16 : 49);
        QCOMPARE(FilterZoneEntries(productCode).last(),
                 productCode == 2 ? QStringLiteral("5") : QStringLiteral("10"));
    }
};

QTEST_GUILESS_MAIN(TestEventExport)
#include "tst_event_export.moc"
