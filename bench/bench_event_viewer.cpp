// Event viewer benchmark: in the benchmarks' database of 2 000 000 events, one customer's 20 000
// events read and counted as the events page shows them (ordered by number), sorted by another
// column (the event, then the number), and filtered (three months and two users). Each measurement
// runs in a child process of its own and is compared with isql-fb running the same statements, with
// the parameters written in, on the same file. The longest stretch the calling thread's event loop
// was held up while the rows came in (the window's repaints) is reported too.
//
//   bench_event_viewer [FOLDER]      FOLDER keeps the database between runs (default: temporary)
//   bench_event_viewer --measure shown|sorted|filtered DATABASE    one measurement
#include "bench_database.h"
#include "bench_spawn.h"
#include "store/event_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using bench::Out;

EventQuery QueryFor(const QString& mode) {
    EventQuery query;
    query.customerId = bench::kBusyCustomer;
    query.order = {{EventColumn::Numero, false}};
    if (mode == QLatin1String("sorted")) {
        query.order = OrderAfterTitleClick(query.order, EventColumn::Evento, false);
    } else if (mode == QLatin1String("filtered")) {
        query.filter.byDate = true;
        query.filter.fromDate = QDate(2026, 6, 1);
        query.filter.toDate = QDate(2026, 8, 31);
        query.filter.byUser = true;
        query.filter.users = {QStringLiteral("Mestre"), QStringLiteral("5")};
    }
    return query;
}

// The statement with its parameters written in, for isql-fb.
QString WithValues(const QString& sql, const QVariantList& params) {
    QString text;
    qsizetype next = 0;
    for (const QChar c : sql) {
        if (c != QLatin1Char('?')) {
            text += c;
            continue;
        }
        const QVariant value = params.value(next++);
        switch (value.typeId()) {
        case QMetaType::QDate:
            text += QStringLiteral("date '%1'").arg(value.toDate().toString(Qt::ISODate));
            break;
        case QMetaType::QTime:
            text += QStringLiteral("time '%1'").arg(value.toTime().toString(QStringLiteral("HH:mm:ss")));
            break;
        case QMetaType::QString:
            text += QLatin1Char('\'') + value.toString().replace(QLatin1Char('\''), QStringLiteral("''")) +
                    QLatin1Char('\'');
            break;
        default:
            text += value.toString();
        }
    }
    return text;
}

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

// One measurement as the events page runs it (rows and count read on a thread of their own, over
// a connection of their own); prints "<ms> <rows> <peak kB> <longest ms between two ticks>", the
// ticks being a 5 ms timer of the calling thread, as a window's repaints would be.
int Measure(const QString& mode, const QString& path) {
    QElapsedTimer timer;
    timer.start();
    const EventQuery query = QueryFor(mode);
    QList<EventListRow> rows;
    int count = -1;
    QString error;
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = qMax(longest, sinceTick.restart()); });
    sinceTick.start();
    tick.start();
    EventListLoader loader;
    const bool read = loader.Load(path, query, &rows, &count, &error);
    longest = qMax(longest, sinceTick.elapsed());
    if (!read || count != rows.size()) {
        Out() << "failed: " << error << Qt::endl;
        return 1;
    }
    Out() << timer.elapsed() << ' ' << rows.size() << ' ' << PeakMemoryKb() << ' ' << longest << Qt::endl;
    return 0;
}

QString WriteIsqlScript(const QString& folder, const QString& mode) {
    const EventQuery query = QueryFor(mode);
    QVariantList selectParams, countParams;
    const QString select = query.SelectSql(&selectParams);
    const QString count = query.CountSql(&countParams);
    const QString path = QDir(folder).filePath(QStringLiteral("viewer-%1.sql").arg(mode));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("SET LIST OFF;\nSET COUNT OFF;\n");
    file.write((WithValues(select, selectParams) + QStringLiteral(";\n")).toUtf8());
    file.write((WithValues(count, countParams) + QStringLiteral(";\n")).toUtf8());
    return path;
}

int RunAll(const QString& folderArgument) {
    QTemporaryDir temporary;
    const QString folder = folderArgument.isEmpty() ? temporary.path() : QDir(folderArgument).absolutePath();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("bench.fdb"));
    if (!QFileInfo::exists(path)) {
        Out() << "Building " << path << " (" << bench::kCustomers << " customers, " << bench::kEvents
              << " events)" << Qt::endl;
        if (!bench::Populate(path))
            return 1;
    }
    const QString self = QCoreApplication::applicationFilePath();
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    const QStringList isqlCommand = {isql, "-q", "-ch", "ISO8859_1", "-user", "SYSDBA", "-i"};
    struct Row {
        QString name;
        QString mode;
    };
    const QList<Row> rows = {{"shown (20 000 rows by number, and counted)", "shown"},
                             {"sorted by event, then number", "sorted"},
                             {"filtered (3 months, 2 users)", "filtered"}};
    double load[3] = {};
    getloadavg(load, 3);
    Out() << "\nLoad average at start: " << load[0] << Qt::endl;
    Out() << "\n| measurement | rows | telvora wall | telvora CPU | longest stretch between repaints | "
             "isql-fb wall | isql-fb CPU | ratio wall | ratio CPU |\n|---|---|---|---|---|---|---|---|---|"
          << Qt::endl;
    bool goals = true;
    for (const Row& row : rows) {
        const QString script = WriteIsqlScript(folder, row.mode);
        bench::Spawn({self, "--measure", row.mode, path});
        bench::Spawn(isqlCommand + QStringList{script, path});
        bench::ChildRun ours{1e9, 1e9, 0, {}}, theirs{1e9, 1e9, 0, {}};
        QString rowsRead;
        qint64 longest = 0;
        for (int i = 0; i < 5; ++i) {
            const bench::ChildRun a = bench::Spawn({self, "--measure", row.mode, path}, true);
            const bench::ChildRun b = bench::Spawn(isqlCommand + QStringList{script, path});
            if (a.seconds < 0 || b.seconds < 0) {
                Out() << "measurement failed: " << a.output << Qt::endl;
                return 1;
            }
            const QStringList fields = a.output.split(QLatin1Char(' '));
            rowsRead = fields.value(1);
            longest = qMax(longest, fields.value(3).trimmed().toLongLong());
            ours = {qMin(ours.seconds, a.seconds), qMin(ours.cpuSeconds, a.cpuSeconds), 0, {}};
            theirs = {qMin(theirs.seconds, b.seconds), qMin(theirs.cpuSeconds, b.cpuSeconds), 0, {}};
        }
        const double ratio = ours.seconds / theirs.seconds;
        const double cpuRatio = ours.cpuSeconds / theirs.cpuSeconds;
        goals = goals && (ratio <= 1.5 || cpuRatio <= 1.5);
        auto s = [](double seconds) { return QString::number(seconds, 'f', 3) + QStringLiteral(" s"); };
        Out() << "| " << row.name << " | " << rowsRead << " | " << s(ours.seconds) << " | "
              << s(ours.cpuSeconds) << " | " << longest << " ms | " << s(theirs.seconds) << " | "
              << s(theirs.cpuSeconds) << " | " << QString::number(ratio, 'f', 2) << " | "
              << QString::number(cpuRatio, 'f', 2) << " |" << Qt::endl;
    }
    Out() << "\nGoal (within 1.5 times isql-fb): " << (goals ? "met" : "NOT met") << Qt::endl;
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
