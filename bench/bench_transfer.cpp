// Wall time of the programming transfers against the simulated panel on a paced 300 bit/s line,
// divided by the floor the protocol itself sets.
//
//   bench_transfer [--scale N] [--seed N] [--fault-rate R]
//
// Four runs, each on a fresh call: a full read of a 10-zone panel and a write of all 76 chunks,
// first with a clean line, then with a fraction R (default 0.10) of the panel's answers to block
// reads and chunk writes rejected (0xD5), garbled (bad checksum) or lost, one third each.
//
// Floors, from the simulator's journal of each run:
//  - line + pauses: the time on the line of every byte sent and received (10 bits a byte at
//    300 bit/s) plus every pause the protocol prescribes around a send (send operation 100 ms;
//    chunk 300 ms after; read request 300 ms before and 600 ms after; status 300 ms before; 500 ms
//    at the end of a write), all added up as if nothing overlapped;
//  - critical path: per request, the pause before it plus the longer of the pauses after it and
//    the panel's answer (its think time and the answer's bytes on the line): what an ideal program
//    could not beat with the same pauses, since the pauses after a send overlap the answer.
// The clock runs at real speed unless --scale says otherwise (a scaled clock magnifies the
// program's own overheads in logical time).
#include "base/clock.h"
#include "support/sim_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

constexpr double ByteMs = 10.0 * 1000.0 / 300.0;
constexpr int BlockCount = 19;

struct Floors {
    double linePlusPauses = 0;
    double criticalPath = 0;
    int requests = 0;
    int faults = 0;
};

// Pauses the protocol puts before and after a request of this journal kind.
void pausesOf(const QString& kind, double* before, double* after) {
    *before = 0;
    *after = 0;
    if (kind == "write") {
        *after = 100 + 300;
    } else if (kind == "read") {
        *before = 300;
        *after = 100 + 600;
    } else if (kind == "status") {
        *before = 300;
        *after = 100;
    }
}

Floors floorsOf(const PanelSimulator& sim, int from, int to, bool write) {
    Floors f;
    const QVector<sim::JournalEntry>& journal = sim.journal();
    const double think = 50; // PanelBehaviour::answerDelayMs
    for (int i = from; i < to && i < journal.size(); ++i) {
        const sim::JournalEntry& in = journal[i];
        if (in.dir != "in" || in.kind != "frame")
            continue;
        ++f.requests;
        QByteArray answer;
        for (int j = i + 1; j < to && j < journal.size(); ++j) {
            if (journal[j].dir == "out" && journal[j].kind == "answer") {
                answer = journal[j].bytes;
                if (!journal[j].fault.isEmpty())
                    ++f.faults;
                break;
            }
        }
        double before = 0;
        double after = 0;
        pausesOf(in.text.toLower(), &before, &after);
        const double line = (in.bytes.size() + answer.size()) * ByteMs;
        f.linePlusPauses += line + before + after;
        const double answerTime = answer.isEmpty() ? 0 : think + answer.size() * ByteMs;
        f.criticalPath += before + std::max(after, answerTime);
    }
    if (write) {
        f.linePlusPauses += 500;
        f.criticalPath += 500;
    }
    return f;
}

sim::PanelSimConfig panelConfig(quint32 seed) {
    sim::PanelSimConfig c;
    c.product = 1;
    c.image = sim::defaultImage(c.family());
    c.line300 = true;
    c.seed = seed;
    return c;
}

void addFaults(PanelSimulator& sim, double rate) {
    // One draw per rule, in order: three rules of p each give a total of 1 - (1 - p)^3 = rate.
    const double p = 1.0 - std::pow(1.0 - rate, 1.0 / 3.0);
    QVector<sim::FaultRule> rules;
    for (sim::Fault fault : {sim::Fault::Nak, sim::Fault::Corrupt, sim::Fault::Silence}) {
        sim::FaultRule r;
        r.kinds = (1u << int(sim::FrameKind::Read)) | (1u << int(sim::FrameKind::Write));
        r.fault = fault;
        r.probability = p;
        rules.append(r);
    }
    sim.faults().rules = rules;
}

struct Run {
    QString name;
    qint64 wallMs = 0;
    Floors floors;
    TransferReport report;
    bool panelHoldsTemplate = true;
    bool ok = false;
};

// A fresh call with a session worker that has read nothing yet and finished its first status poll.
bool startCall(SimSession& s) {
    if (!s.connect())
        return false;
    s.host.customerProduct = 1;
    s.host.answerRetryPrompt = [] { return true; };
    s.host.startSession(0);
    s.worker().StatusRequest = true;
    return SessionTestHost::waitFor([&] { return !s.worker().StatusRequest; }, 600000);
}

Run runRead(quint32 seed, double faultRate) {
    Run run;
    run.name =
        faultRate > 0 ? QStringLiteral("read, %1 % faults").arg(faultRate * 100) : QStringLiteral("read");
    SimSession s(panelConfig(seed));
    if (!startCall(s))
        return run;
    if (faultRate > 0)
        addFaults(s.sim, faultRate);
    const int from = s.sim.journal().size();
    const qint64 start = Clock::instance().nowMs();
    s.worker().Blocks = 0x7FFFF;
    s.worker().ReadProgrammingRequest = true;
    const auto report = s.host.waitForReport(3600000);
    run.wallMs = Clock::instance().nowMs() - start;
    run.floors = floorsOf(s.sim, from, s.sim.journal().size(), false);
    if (!report)
        return run;
    run.report = *report;
    // The read must have brought the panel's memory (the zone bytes are normalised).
    const QByteArray alarme = s.host.images10.ImagemAlarme.bytes();
    const QByteArray panel = s.sim.image();
    for (int n = 0; n < panel.size(); ++n)
        if ((n < 48 || n > 59) && alarme[n] != panel[n])
            run.panelHoldsTemplate = false;
    run.ok = report->succeeded() && run.panelHoldsTemplate;
    s.disconnect();
    return run;
}

Run runWrite(quint32 seed, double faultRate) {
    Run run;
    run.name = faultRate > 0 ? QStringLiteral("write 76 chunks, %1 % faults").arg(faultRate * 100)
                             : QStringLiteral("write 76 chunks");
    SimSession s(panelConfig(seed));
    if (!startCall(s))
        return run;
    // A template that differs from the panel in every byte.
    QByteArray templ = s.sim.image();
    for (char& c : templ)
        c = char(quint8(c) + 0x5B);
    s.host.images10.ImagemPC.setBytes(templ);
    if (faultRate > 0)
        addFaults(s.sim, faultRate);
    std::array<quint8, 19> chunks;
    chunks.fill(0x0F);
    const int from = s.sim.journal().size();
    const qint64 start = Clock::instance().nowMs();
    s.requestWrite(0x7FFFF, chunks);
    const auto report = s.host.waitForReport(3600000);
    run.wallMs = Clock::instance().nowMs() - start;
    run.floors = floorsOf(s.sim, from, s.sim.journal().size(), true);
    if (!report)
        return run;
    run.report = *report;
    // The panel keeps image bytes 41..47 of the 10-zone family for itself.
    const QByteArray panel = s.sim.image();
    for (int n = 0; n < panel.size(); ++n)
        if ((n < 41 || n > 47) && panel[n] != templ[n])
            run.panelHoldsTemplate = false;
    run.ok = report->succeeded() && run.panelHoldsTemplate;
    s.disconnect();
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double scale = 1;
    quint32 seed = 7;
    double faultRate = 0.10;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--scale")
            scale = args[i + 1].toDouble();
        else if (args[i] == "--seed")
            seed = args[i + 1].toUInt();
        else if (args[i] == "--fault-rate")
            faultRate = args[i + 1].toDouble();
    }
    Clock::instance().setScale(scale);
    QTextStream out(stdout);

    QList<Run> runs;
    runs << runRead(seed, 0) << runWrite(seed, 0) << runRead(seed, faultRate) << runWrite(seed, faultRate);

    out << QStringLiteral("clock scale %1, seed %2; times in logical ms\n\n").arg(scale).arg(seed);
    out << QStringLiteral("| run | wall | floor line+pauses | ratio | floor critical path | ratio | "
                          "requests | faults | errors | efficiency | panel correct |\n");
    out << "|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const Run& r : runs) {
        out << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 | %11 |\n")
                   .arg(r.name)
                   .arg(r.wallMs)
                   .arg(qRound64(r.floors.linePlusPauses))
                   .arg(r.wallMs / r.floors.linePlusPauses, 0, 'f', 3)
                   .arg(qRound64(r.floors.criticalPath))
                   .arg(r.wallMs / r.floors.criticalPath, 0, 'f', 3)
                   .arg(r.floors.requests)
                   .arg(r.floors.faults)
                   .arg(r.report.errorCount)
                   .arg(OnLine::EfficiencyText(r.report.framesPlanned, r.report.errorCount))
                   .arg(r.ok ? "yes" : "NO");
    }
    out << "\n";
    for (int i = 0; i < 2; ++i) {
        const Run& clean = runs[i];
        const Run& faulty = runs[i + 2];
        out << QStringLiteral("%1: faulty / clean wall = %2\n")
                   .arg(clean.name)
                   .arg(double(faulty.wallMs) / clean.wallMs, 0, 'f', 3);
    }
    out.flush();
    for (const Run& r : runs)
        if (!r.ok)
            return 1;
    return 0;
}
