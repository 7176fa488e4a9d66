// The session download of the panel's event log against the simulated panel on the scaled clock,
// stored into an embedded database: the exact rows of both families, a whole log, downloading
// again, faulty answers, a panel that starts sending its log at once and a line that drops halfway.
#include "base/clock.h"
#include "store/db_connection.h"
#include "support/connected_data_module.h"
#include "support/sim_session.h"

#include <QTest>

using Outcome = EventDownloadReport::Outcome;

namespace {

constexpr int kCustomer = 7;
const QDate kToday(2026, 6, 15);

sim::PanelSimConfig config(int product, const QByteArray& events) {
    sim::PanelSimConfig c;
    c.product = product;
    c.image = sim::defaultImage(c.family());
    c.events = events;
    return c;
}

QByteArray packed(int product, const QList<sim::SimEvent>& events) {
    QByteArray bytes;
    for (const sim::SimEvent& e : events)
        bytes += sim::packEvent(sim::familyOf(product), e);
    return bytes;
}

// The customer's rows in the order they were stored, one text per row.
QStringList storedRows(DbConnection& db) {
    QStringList rows;
    for (const QVariantList& r :
         SelectRows(db,
                    "select COD_EVENTO, DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA from BUFFER_EVENTOS "
                    "where ID_CLIENTE = ? order by COD_EVENTO",
                    {kCustomer})) {
        const auto text = [&](int i) {
            return r.value(i).isNull() ? QStringLiteral("-") : r.value(i).toString();
        };
        rows << QStringLiteral("%1 %2 %3 %4 %5|%6|%7")
                    .arg(text(0), r.value(1).toDate().toString(QStringLiteral("dd/MM/yyyy")),
                         r.value(2).toTime().toString(QStringLiteral("HH:mm")), text(3), text(4), text(5),
                         text(6));
    }
    return rows;
}

// A database with the customer, and a session with the simulated panel storing into it.
struct Download {
    explicit Download(ConnectedDataModule& db, const sim::PanelSimConfig& c) : s(c) {
        s.host.eventDb = &db.dm.IBDB;
        s.host.eventCustomer = kCustomer;
        s.host.eventToday = kToday;
        s.host.customerProduct = c.product;
    }
    bool start() {
        if (!s.connect())
            return false;
        s.host.startSession(0);
        // A request raised before the worker's start steps ran would be cleared by them.
        return SessionTestHost::waitFor([this] { return s.host.onLineIndicator; });
    }
    std::optional<EventDownloadReport> run() {
        s.worker().ReadBufferRequest = true;
        return s.host.waitForEventReport();
    }
    SimSession s;
};

bool openWithCustomer(ConnectedDataModule& db) {
    return db.Open() &&
           db.dm.IBDB.Exec("insert into CLIENTES (ID_CLIENTE, NOME) values (?, ?)",
                           {kCustomer, QStringLiteral("Cliente")}) &&
           db.dm.IBDB.CommitRetaining();
}

} // namespace

class TestEventDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    void storesTheExactRows_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QList<sim::SimEvent>>("events");
        QTest::addColumn<QStringList>("rows");
        // SimEvent: day, month, hour, minute, code, value (raw field), partition A.
        QTest::newRow("10-zone (Orvan 10 Max)")
            << 3 << QList<sim::SimEvent>{{1, 4, 10, 32, 1, 6, true},        {1, 4, 10, 40, 6, 10, true},
                                         {1, 4, 10, 41, 7, 10, true},       {1, 4, 11, 0, 2, 127, false},
                                         {2, 4, 3, 0, 15, 1 << 3, false},   {2, 4, 3, 5, 14, 14 << 3, false},
                                         {31, 11, 9, 9, 15, 8 << 3, false}, {3, 4, 9, 9, 12, 40, true},
                                         {3, 4, 9, 9, 12, 40, true}}
            << QStringList{QString::fromUtf8("1 01/04/2026 10:32 A ARME DO USUÁRIO |03|-"),
                           QString::fromUtf8("2 01/04/2026 10:40 A DISPARO DA ZONA |-|5"),
                           QString::fromUtf8("3 01/04/2026 10:41 A RESTAURAÇÃO DA ZONA |-|5"),
                           QString::fromUtf8("4 01/04/2026 11:00 B DESARME DO USUÁRIO |Mestre|-"),
                           QString::fromUtf8("5 02/04/2026 03:00 B PROBLEMA DE AC|-|-"),
                           QString::fromUtf8("6 02/04/2026 03:05 B ARME POR NÃO MOVIMENTO|-|-"),
                           QString::fromUtf8("7 30/11/2025 09:09 B RESTAURAÇÃO DE LINHA TELEFÔNICA|-|-"),
                           QString::fromUtf8("8 03/04/2026 09:09 A ARME REMOTO DO USUÁRIO |20|-"),
                           QString::fromUtf8("9 03/04/2026 09:09 A ARME REMOTO DO USUÁRIO |20|-")};
        QTest::newRow("5-zone (Orvan 5)")
            << 2 << QList<sim::SimEvent>{{1, 4, 5, 19, 2, 0, false}, {1, 4, 5, 20, 1, 4, false},
                                         {1, 4, 6, 0, 6, 3, false},  {1, 4, 6, 1, 6, 0, false},
                                         {2, 4, 0, 0, 15, 8, false}, {2, 4, 0, 1, 14, 2, false}}
            << QStringList{QString::fromUtf8("1 01/04/2026 05:19 B DESARME DO USUÁRIO |Mestre|-"),
                           QString::fromUtf8("2 01/04/2026 05:20 B ARME DO USUÁRIO |04|-"),
                           QString::fromUtf8("3 01/04/2026 06:00 B DISPARO DA ZONA |-|3"),
                           QString::fromUtf8("4 01/04/2026 06:01 B DISPARO DA ZONA |-|-"),
                           QString::fromUtf8("5 02/04/2026 00:00 B RESTAURAÇÃO DE COMUNICAÇÃO|-|-"),
                           QString::fromUtf8("6 02/04/2026 00:01 B PÂNICO 1|-|-")};
    }
    // Every event of the log becomes its row, in the panel's order, numbered from 1; the two
    // identical events of the 10-zone log are both kept. The end record ends the download.
    void storesTheExactRows() {
        QFETCH(int, product);
        QFETCH(QList<sim::SimEvent>, events);
        QFETCH(QStringList, rows);
        ConnectedDataModule db;
        QVERIFY(openWithCustomer(db));
        Download d(db, config(product, packed(product, events)));
        QVERIFY(d.start());
        const auto report = d.run();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(report->records, int(events.size() + 3) / 4);
        QCOMPARE(storedRows(db.dm.IBDB), rows);
        QCOMPARE(d.s.host.statusTexts.last(),
                 QStringLiteral("Aguarde! Recebendo buffer de eventos do painel."));
    }

    void wholeLogOnceAndNeverAgain_data() {
        QTest::addColumn<int>("product");
        QTest::newRow("10-zone") << 1;
        QTest::newRow("5-zone") << 2;
    }
    // A full log is stored whole; downloading it again in the same session, and in a new session
    // after the panel logged more, stores only what is new.
    void wholeLogOnceAndNeverAgain() {
        QFETCH(int, product);
        const sim::Family family = sim::familyOf(product);
        const int capacity = sim::logRecordCapacity(family) * 4;
        const QByteArray log = sim::generatedEvents(family, capacity - 4, 11);
        ConnectedDataModule db;
        QVERIFY(openWithCustomer(db));
        {
            Download d(db, config(product, log));
            QVERIFY(d.start());
            const auto first = d.run();
            QVERIFY(first);
            QCOMPARE(int(first->outcome), int(Outcome::Completed));
            QCOMPARE(db.Count("BUFFER_EVENTOS"), capacity - 4);
            QCOMPARE(d.s.host.eventStore->Stored(), capacity - 4);

            const auto again = d.run();
            QVERIFY(again);
            QCOMPARE(int(again->outcome), int(Outcome::Completed));
            QCOMPARE(d.s.host.eventStore->Stored(), 0);
            QCOMPARE(d.s.host.eventStore->AlreadyStored(), capacity - 4);
            QCOMPARE(db.Count("BUFFER_EVENTOS"), capacity - 4);
            QVERIFY(d.s.disconnect());
        }
        const QByteArray more = sim::generatedEvents(family, capacity, 11).mid(log.size());
        Download d(db, config(product, log + more));
        QVERIFY(d.start());
        const auto third = d.run();
        QVERIFY(third);
        QCOMPARE(d.s.host.eventStore->Stored(), 4);
        QCOMPARE(db.Count("BUFFER_EVENTOS"), capacity);
        const QStringList rows = storedRows(db.dm.IBDB);
        QVERIFY(rows.last().startsWith(QString::number(capacity) + QLatin1Char(' ')));
    }

    void faultyAnswersStoreEachEventOnce_data() {
        QTest::addColumn<int>("fault");
        QTest::newRow("bad checksum") << int(sim::Fault::Corrupt);
        QTest::newRow("rejected") << int(sim::Fault::Nak);
        QTest::newRow("no answer") << int(sim::Fault::Silence);
    }
    // One record request in ten is answered wrongly: a record that is not the one asked for is
    // asked again and never stored, so the rows are exactly those of a clean download.
    void faultyAnswersStoreEachEventOnce() {
        QFETCH(int, fault);
        const QByteArray log = sim::generatedEvents(sim::Family::TenZone, 120, 5);
        ConnectedDataModule clean;
        QVERIFY(openWithCustomer(clean));
        {
            Download d(clean, config(1, log));
            QVERIFY(d.start());
            QVERIFY(d.run());
        }
        sim::PanelSimConfig c = config(1, log);
        c.faults.rules = {{1u << int(sim::FrameKind::Event), sim::Fault(fault), 0, 0.1}};
        ConnectedDataModule db;
        QVERIFY(openWithCustomer(db));
        Download d(db, c);
        d.s.host.answerRetryPrompt = [] { return true; };
        QVERIFY(d.start());
        const auto report = d.run();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        if (fault != int(sim::Fault::Silence))
            QVERIFY(report->errorCount > 0);
        QCOMPARE(storedRows(db.dm.IBDB), storedRows(clean.dm.IBDB));
        QCOMPARE(d.s.host.eventRecordIndexes.size(), 30);
    }

    // The line drops halfway: what arrived is kept and the download says it did not end, at once on
    // the modem's NO CARRIER (no time-outs, no question); a second download of the same log stores
    // the rest and nothing twice.
    void droppedLineKeepsWhatWasStored() {
        const QByteArray log = sim::generatedEvents(sim::Family::TenZone, 200, 3);
        ConnectedDataModule db;
        QVERIFY(openWithCustomer(db));
        int kept = 0;
        {
            sim::PanelSimConfig c = config(1, log);
            c.faults.dropAfterFrames = 3 + 25; // the three connection frames, then 25 records
            Download d(db, c);
            QVERIFY(d.start());
            const auto report = d.run();
            QVERIFY(report);
            QCOMPARE(int(report->outcome), int(Outcome::Disconnected));
            QCOMPARE(report->records, 25);
            kept = db.Count("BUFFER_EVENTOS");
            QCOMPARE(kept, 100);
            QCOMPARE(d.s.host.retryPrompts, 0);
            QVERIFY(d.s.host.waitForEnd());
        }
        Download d(db, config(1, log));
        QVERIFY(d.start());
        const auto report = d.run();
        QVERIFY(report);
        QCOMPARE(d.s.host.eventStore->Stored(), 200 - kept);
        QCOMPARE(db.Count("BUFFER_EVENTOS"), 200);
    }

    void eventIdentity_data() {
        QTest::addColumn<QList<sim::SimEvent>>("firstLog");
        QTest::addColumn<QDate>("firstDay");
        QTest::addColumn<QList<sim::SimEvent>>("secondLog");
        QTest::addColumn<QDate>("secondDay");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("alreadyStored");
        // SimEvent: day, month, hour, minute, code (1 arm, 2 disarm, 14 auto-test...), value, partition A.
        const sim::SimEvent older{15, 6, 9, 0, 14, 0, false};
        const sim::SimEvent arm{15, 6, 10, 0, 1, 6, true};
        const sim::SimEvent disarm{15, 6, 10, 0, 2, 6, true};
        const sim::SimEvent ahead{17, 6, 8, 0, 14, 0, false};
        // The older arm rolled out of the log; the arm after the disarm is a new one.
        QTest::newRow("arm again after a disarm in the same minute")
            << QList<sim::SimEvent>{older, arm, disarm} << kToday << QList<sim::SimEvent>{disarm, arm}
            << kToday << 1 << 1;
        // Everything rolled out: the log holds only new events, one of them like an old one.
        QTest::newRow("whole log rolled out")
            << QList<sim::SimEvent>{arm} << kToday << QList<sim::SimEvent>{disarm, arm} << kToday << 2 << 0;
        QTest::newRow("two like events, the second new")
            << QList<sim::SimEvent>{older, arm} << kToday << QList<sim::SimEvent>{older, arm, arm} << kToday
            << 1 << 2;
        // A panel clock two days fast: the event is dated the same when it is read again days later.
        QTest::newRow("panel clock ahead, read again later")
            << QList<sim::SimEvent>{ahead} << kToday << QList<sim::SimEvent>{ahead} << kToday.addDays(3) << 0
            << 1;
    }
    // Which events of a later download are new is told by where they stand in the log, lined up
    // against the rows stored from the earlier one, not by their contents alone.
    void eventIdentity() {
        QFETCH(QList<sim::SimEvent>, firstLog);
        QFETCH(QDate, firstDay);
        QFETCH(QList<sim::SimEvent>, secondLog);
        QFETCH(QDate, secondDay);
        QFETCH(int, stored);
        QFETCH(int, alreadyStored);
        ConnectedDataModule db;
        QVERIFY(openWithCustomer(db));
        {
            Download d(db, config(1, packed(1, firstLog)));
            d.s.host.eventToday = firstDay;
            QVERIFY(d.start());
            QVERIFY(d.run());
            QCOMPARE(d.s.host.eventStore->Stored(), int(firstLog.size()));
        }
        Download d(db, config(1, packed(1, secondLog)));
        d.s.host.eventToday = secondDay;
        QVERIFY(d.start());
        const auto report = d.run();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(d.s.host.eventStore->Stored(), stored);
        QCOMPARE(d.s.host.eventStore->AlreadyStored(), alreadyStored);
        QCOMPARE(db.Count("BUFFER_EVENTOS"), int(firstLog.size()) + stored);
    }

    // A panel that answers the proceed frame with its first record is downloaded as soon as the
    // session starts, without anyone asking; an empty log ends at once with nothing stored.
    void panelThatSendsItsLogAtOnce_data() {
        QTest::addColumn<int>("events");
        QTest::newRow("log") << 10;
        QTest::newRow("empty log") << 0;
    }
    void panelThatSendsItsLogAtOnce() {
        QFETCH(int, events);
        sim::PanelSimConfig c = config(1, sim::generatedEvents(sim::Family::TenZone, events, 9));
        c.panel.logAfterProceed = true;
        ConnectedDataModule db;
        QVERIFY(openWithCustomer(db));
        Download d(db, c);
        QVERIFY(d.start());
        QVERIFY(d.s.host.Link().PanelSentBuffer.load());
        const auto report = d.s.host.waitForEventReport();
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(Outcome::Completed));
        QCOMPARE(db.Count("BUFFER_EVENTOS"), events);
        QCOMPARE(report->records, (events + 3) / 4);
    }
};

QTEST_GUILESS_MAIN(TestEventDownload)
#include "tst_event_download.moc"
