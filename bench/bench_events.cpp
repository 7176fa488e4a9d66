// The event log: decoding and storing many events, and the session download of a full 10-zone log
// over the paced 300 bit/s line divided by the floor the protocol itself sets.
//
//   bench_events [--scale N] [--events N] [--seed N]
//
// Storing: N events (default 10 000, many times the longest log a panel holds) decoded and stored
// for one customer of a fresh embedded database, one record at a time as a download hands them
// over, each row committed; then the same events again, all found already stored.
//
// Download: the full log of a 10-zone panel (96 records, the end record not held) on a fresh call.
// Floors, from the simulator's journal, as in bench_transfer: line + pauses adds the time on the
// line of every byte sent and received and every pause around a record request (300 ms before, send
// operation 100 ms and 300 ms after); the critical path takes per request the pause before it plus
// the longer of the pauses after it and the panel's answer.
#include "base/clock.h"
#include "programming/panel_events.h"
#include "store/db_connection.h"
#include "store/event_store.h"
#include "support/connected_data_module.h"
#include "support/sim_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr double ByteMs = 10.0 * 1000.0 / 300.0;
constexpr int Customer = 1;

struct Floors {
    double linePlusPauses = 0;
    double criticalPath = 0;
    int requests = 0;
};

Floors floorsOf(const PanelSimulator& sim, int from) {
    Floors f;
    const QVector<sim::JournalEntry>& journal = sim.journal();
    const double think = 50; // PanelBehaviour::answerDelayMs
    for (int i = from; i < journal.size(); ++i) {
        const sim::JournalEntry& in = journal[i];
        if (in.dir != "in" || in.kind != "frame" || in.text.toLower() != "event")
            continue;
        ++f.requests;
        QByteArray answer;
        for (int j = i + 1; j < journal.size(); ++j) {
            if (journal[j].dir == "out" && journal[j].kind == "answer") {
                answer = journal[j].bytes;
                break;
            }
        }
        const double before = 300;
        const double after = 100 + 300;
        f.linePlusPauses += (in.bytes.size() + answer.size()) * ByteMs + before + after;
        const double answerTime = answer.isEmpty() ? 0 : think + answer.size() * ByteMs;
        f.criticalPath += before + std::max(after, answerTime);
    }
    return f;
}

bool openWithCustomer(ConnectedDataModule& db) {
    return db.Open() &&
           db.dm.IBDB.Exec("insert into CLIENTES (ID_CLIENTE, NOME) values (?, ?)",
                           {Customer, QStringLiteral("Cliente")}) &&
           db.dm.IBDB.CommitRetaining();
}

// Stores the records of `log` as one download; the real time it took, -1 on failure.
qint64 storeAll(ConnectedDataModule& db, const QByteArray& log, int* stored) {
    QElapsedTimer timer;
    timer.start();
    EventStore store(db.dm.IBDB, Customer, 1, EventCatalogue::Session);
    if (!store.Begin())
        return -1;
    const QDate today = QDate::currentDate();
    for (qsizetype at = 0; at < log.size(); at += PanelEvents::RecordSize) {
        QByteArray record = log.mid(at, PanelEvents::RecordSize);
        record.append(QByteArray(PanelEvents::RecordSize - record.size(), char(0xFF)));
        if (!store.StoreRecord(record, today))
            return -1;
    }
    *stored = store.Stored();
    return timer.elapsed();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double scale = 1;
    int events = 10000;
    quint32 seed = 7;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--scale")
            scale = args[i + 1].toDouble();
        else if (args[i] == "--events")
            events = args[i + 1].toInt();
        else if (args[i] == "--seed")
            seed = args[i + 1].toUInt();
    }
    Clock::instance().setScale(scale);
    QTextStream out(stdout);
    bool ok = true;

    {
        ConnectedDataModule db;
        if (!openWithCustomer(db)) {
            out << "database: " << db.Error() << "\n";
            return 1;
        }
        // Distinct events of every code (the simulator's own log stops at what a panel holds).
        QByteArray log;
        for (int i = 0; i < events; ++i) {
            const int code = i % 16;
            const int value = code >= 14 ? (i / 16 % 9) << 3 : (1 + i / 16 % 10) << 1;
            log += sim::packEvent(sim::Family::TenZone, {1 + i % 28, 1 + i / 28 % 12, i / 336 % 24,
                                                         i / 8064 % 60, code, value, bool(i % 2)});
        }
        int first = 0;
        int again = -1;
        const qint64 firstMs = storeAll(db, log, &first);
        const qint64 againMs = storeAll(db, log, &again);
        ok = ok && firstMs >= 0 && againMs >= 0 && first == events && again == 0;
        out << QStringLiteral("storing %1 events: %2 ms (%3 ms per event, %4 ms per record); "
                              "again, all already stored: %5 ms; stored %6 then %7\n")
                   .arg(events)
                   .arg(firstMs)
                   .arg(double(firstMs) / events, 0, 'f', 3)
                   .arg(4.0 * firstMs / events, 0, 'f', 3)
                   .arg(againMs)
                   .arg(first)
                   .arg(again);
    }

    {
        ConnectedDataModule db;
        if (!openWithCustomer(db))
            return 1;
        sim::PanelSimConfig c;
        c.product = 1;
        c.image = sim::defaultImage(c.family());
        c.line300 = true;
        c.seed = seed;
        const int capacity = sim::logRecordCapacity(c.family()) * PanelEvents::EventsPerRecord;
        c.events = sim::generatedEvents(c.family(), capacity, seed);
        SimSession s(c);
        s.host.eventDb = &db.dm.IBDB;
        s.host.eventCustomer = Customer;
        s.host.customerProduct = 1;
        if (!s.connect())
            return 1;
        s.host.startSession(0);
        SessionTestHost::waitFor([&] { return s.host.onLineIndicator; }, 600000);
        s.worker().StatusRequest = true;
        SessionTestHost::waitFor([&] { return !s.worker().StatusRequest; }, 600000);
        const int from = s.sim.journal().size();
        const qint64 start = Clock::instance().nowMs();
        s.worker().ReadBufferRequest = true;
        const auto report = s.host.waitForEventReport(3600000);
        const qint64 wall = Clock::instance().nowMs() - start;
        const Floors f = floorsOf(s.sim, from);
        const int stored = s.host.eventStore ? s.host.eventStore->Stored() : 0;
        ok = ok && report && report->succeeded() && stored == capacity;
        out << QStringLiteral("\nclock scale %1; times in logical ms\n\n").arg(scale);
        out << "| run | wall | floor line+pauses | ratio | floor critical path | ratio | requests | events "
               "stored |\n";
        out << "|---|---|---|---|---|---|---|---|\n";
        out << QStringLiteral("| full 10-zone log | %1 | %2 | %3 | %4 | %5 | %6 | %7 |\n")
                   .arg(wall)
                   .arg(qRound64(f.linePlusPauses))
                   .arg(wall / f.linePlusPauses, 0, 'f', 3)
                   .arg(qRound64(f.criticalPath))
                   .arg(wall / f.criticalPath, 0, 'f', 3)
                   .arg(f.requests)
                   .arg(stored);
        s.disconnect();
    }
    out.flush();
    return ok ? 0 : 1;
}
