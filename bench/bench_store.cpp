// Data store benchmark: a database of 100 000 customers and 2 000 000 events; the customer list
// opened and fetched whole as the main window does, and one customer's 20 000 events selected,
// counted and sorted as the event viewer does. Each measurement runs in a child process of its
// own (so its peak memory is its own) and is compared with isql-fb running the same statements
// on the same file.
//
//   bench_store [FOLDER]     FOLDER keeps the database between runs (default: a temporary folder)
//   bench_store --measure list|events DATABASE    one measurement (used by the above)
#include "bench_database.h"
#include "bench_spawn.h"
#include "store/data_module.h"
#include "store/firebird_client.h"
#include "store/sql_script.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using bench::kBusyCustomer;
using bench::kCustomers;
using bench::kEvents;
using bench::Out;
using bench::Populate;

// The main window's list: every customer outside the recycle bin, sorted by the first column.
const QString kListSql =
    kCustomerListSelect + QStringLiteral(" where C.id_Grupo <> 1 order by C.ID_CLIENTE asc");

// The event viewer of a 10-zone customer: sorted by event number, counted, then sorted by event.
const QString kEventsBase = QStringLiteral(
    "select B.ID_BUFFER_EVENTOS, B.COD_EVENTO \"No. do Evento\", B.data \"Data\", b.hora \"Hora\", "
    "b.particao \"Partição\", b.evento \"Evento\", b.usuario \"Usuário\", b.zona \"Zona\" from "
    "buffer_eventos B "
    "where b.id_Cliente = ");
const QString kEventsCount =
    QStringLiteral("select count(B.ID_BUFFER_EVENTOS) from buffer_eventos B where b.id_Cliente = ");

qint64 PeakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// One measurement inside this process; prints "<ms> <rows> <peak kB>".
int Measure(const QString& what, const QString& path) {
    QElapsedTimer timer;
    timer.start();
    TdmBancoDeDados dm;
    if (!dm.Connect(path)) {
        Out() << dm.LastError() << Qt::endl;
        return 1;
    }
    int rows = 0;
    const qint64 connected = timer.elapsed();
    if (what == QLatin1String("list")) {
        dm.DSetTelaInicial.SetSelectSql(kListSql);
        if (!dm.DSetTelaInicial.Open())
            return 1;
        const qint64 opened = timer.elapsed();
        if (!dm.DSetTelaInicial.FetchAll())
            return 1;
        rows = dm.DSetTelaInicial.RecordCount();
        QTextStream(stderr) << "connect " << connected << " ms, first row " << opened - connected
                            << " ms, rest " << timer.elapsed() - opened << " ms" << Qt::endl;
    } else {
        DataSet& viewer = dm.DSetMostraBuffer;
        viewer.SetSelectSql(kEventsBase + QStringLiteral("? order by COD_EVENTO asc"), {kBusyCustomer});
        if (!viewer.Open() || !viewer.FetchAll())
            return 1;
        const int count = dm.IBDB.SelectValue(kEventsCount + QStringLiteral("?"), {kBusyCustomer}).toInt();
        viewer.Close();
        viewer.SetSelectSql(kEventsBase + QStringLiteral("? order by Evento asc"), {kBusyCustomer});
        if (!viewer.Open() || !viewer.FetchAll())
            return 1;
        rows = viewer.RecordCount();
        if (count != rows)
            return 1;
    }
    const qint64 ms = timer.elapsed();
    Out() << ms << ' ' << rows << ' ' << PeakMemoryKb() << Qt::endl;
    return 0;
}

QString WriteIsqlScript(const QString& folder, const QString& name, const QStringList& statements) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("SET LIST OFF;\nSET COUNT OFF;\n");
    for (const QString& statement : statements)
        file.write((statement + QStringLiteral(";\n")).toUtf8());
    return path;
}

int RunAll(const QString& folderArgument) {
    QTemporaryDir temporary;
    const QString folder = folderArgument.isEmpty() ? temporary.path() : QDir(folderArgument).absolutePath();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("bench.fdb"));
    if (!QFileInfo::exists(path)) {
        Out() << "Building " << path << " (" << kCustomers << " customers, " << kEvents << " events)"
              << Qt::endl;
        if (!Populate(path))
            return 1;
    }
    const QString self = QCoreApplication::applicationFilePath();
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    const QString events = QString::number(kBusyCustomer);
    const QString listScript = WriteIsqlScript(folder, "list.sql", {kListSql});
    const QString eventsScript =
        WriteIsqlScript(folder, "events.sql",
                        {kEventsBase + events + " order by COD_EVENTO asc", kEventsCount + events,
                         kEventsBase + events + " order by Evento asc"});

    struct Row {
        QString name;
        QString mode;
        QString script;
    };
    const QList<Row> rows = {{"customer list (100 000 rows, 19 columns)", "list", listScript},
                             {"one customer's events (20 000: select, count, sort)", "events", eventsScript}};
    // The machine may be shared: wall times are the best of five runs, and the processor time
    // (user + system) of the same runs is shown beside them, which load disturbs much less.
    double load[3] = {};
    getloadavg(load, 3);
    Out() << "\nLoad average at start: " << load[0] << Qt::endl;
    Out() << "\n| measurement | telvora wall | telvora CPU | telvora peak memory | isql-fb wall | isql-fb "
             "CPU | "
             "isql-fb peak memory | ratio wall | ratio CPU |\n|---|---|---|---|---|---|---|---|---|"
          << Qt::endl;
    const QStringList isqlCommand = {isql, "-q", "-ch", "ISO8859_1", "-user", "SYSDBA", "-i"};
    bool goals = true;
    for (const Row& row : rows) {
        // Warm the file cache once, then take the best of five runs of each.
        bench::Spawn({self, "--measure", row.mode, path});
        bench::Spawn(isqlCommand + QStringList{row.script, path});
        bench::ChildRun ours{1e9, 1e9, 0, {}}, theirs{1e9, 1e9, 0, {}};
        for (int i = 0; i < 5; ++i) {
            const bench::ChildRun a = bench::Spawn({self, "--measure", row.mode, path}, true);
            const bench::ChildRun b = bench::Spawn(isqlCommand + QStringList{row.script, path});
            if (a.seconds < 0 || b.seconds < 0) {
                Out() << "measurement failed: " << a.output << Qt::endl;
                return 1;
            }
            ours = {qMin(ours.seconds, a.seconds),
                    qMin(ours.cpuSeconds, a.cpuSeconds),
                    qMax(ours.peakKb, a.peakKb),
                    {}};
            theirs = {qMin(theirs.seconds, b.seconds),
                      qMin(theirs.cpuSeconds, b.cpuSeconds),
                      qMax(theirs.peakKb, b.peakKb),
                      {}};
        }
        const double ratio = ours.seconds / theirs.seconds;
        const double cpuRatio = ours.cpuSeconds / theirs.cpuSeconds;
        goals = goals && (ratio <= 1.5 || cpuRatio <= 1.5) &&
                (row.mode != QLatin1String("list") || ours.seconds < 1.0 || ours.cpuSeconds < 1.0);
        auto s = [](double seconds) { return QString::number(seconds, 'f', 3) + QStringLiteral(" s"); };
        Out() << "| " << row.name << " | " << s(ours.seconds) << " | " << s(ours.cpuSeconds) << " | "
              << ours.peakKb / 1024 << " MB | " << s(theirs.seconds) << " | " << s(theirs.cpuSeconds) << " | "
              << theirs.peakKb / 1024 << " MB | " << QString::number(ratio, 'f', 2) << " | "
              << QString::number(cpuRatio, 'f', 2) << " |" << Qt::endl;
    }
    Out() << "\nGoals (within 1.5 times isql-fb, customer list under 1 s): " << (goals ? "met" : "NOT met")
          << Qt::endl;
    return goals ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--measure") && args.size() == 3)
        return Measure(args[1], args[2]);
    return RunAll(args.value(0));
}
