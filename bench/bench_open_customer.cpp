// Time to open one customer among many: the customer record screen created for a stored customer
// (its eight rows selected by key, the programming loaded into the image, the fields filled and the
// screen shown) and closed again, for customers picked at random from a database of 100 000.
//
//   bench_open_customer [--customers N] [--opens N] [--database path]
//
// Without --database a new database is made in a temporary folder and filled; with it an existing
// file is used as it is when it already holds customers (so a filled database can be kept).
#include "base/operator_messages.h"
#include "bench_customers.h"
#include "programming/factory_programming.h"
#include "store/data_module.h"
#include "store/schema_tables.h"
#include "store/sql_script.h"
#include "workspace/customer_record.h"
#include "workspace/ui/frm_prog_main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int customers = 100000;
    int opens = 50;
    QString databaseName;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--customers"))
            customers = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--opens"))
            opens = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--database"))
            databaseName = args[i + 1];
    }
    QTemporaryDir folder;
    if (databaseName.isEmpty())
        databaseName = folder.filePath(QStringLiteral("zrv.fdb"));
    bench::QuietHost host;
    TdmBancoDeDados dm;
    customers = bench::OpenFilledDatabase(dm, host, databaseName, customers);
    if (customers == 0)
        return 1;

    bench::PrintedMessages prompts;
    const ScopedOperatorMessenger installed(&prompts);
    RecordScreenContext context;
    context.dm = &dm;
    QList<double> screenMs;
    QList<double> recordMs;
    QRandomGenerator random(20240305);
    for (int n = 0; n < opens; ++n) {
        const int id = 1 + int(random.bounded(quint32(customers)));
        QElapsedTimer timer;
        timer.start();
        {
            CustomerRecord record(dm);
            if (!record.OpenExisting(id)) {
                std::fprintf(stderr, "%s\n", qPrintable(record.LastError()));
                return 1;
            }
        }
        recordMs << timer.nsecsElapsed() / 1e6;

        timer.restart();
        TfrmProgMain* screen = TfrmProgMain::OpenCustomer(context, id);
        if (!screen)
            return 1;
        screen->show();
        QCoreApplication::processEvents();
        screenMs << timer.nsecsElapsed() / 1e6;
        screen->findChild<QAbstractButton*>(QStringLiteral("jvLookRetornar"))->click();
        delete screen;
    }
    const bench::Figures record = bench::Summary(recordMs);
    const bench::Figures screen = bench::Summary(screenMs);
    std::printf("customers: %d, opens: %d\n", customers, opens);
    std::printf("open customer rows and programming: first %.1f ms, median %.1f ms, max %.1f ms\n",
                record.first, record.median, record.max);
    std::printf("open customer record screen:        first %.1f ms, median %.1f ms, max %.1f ms\n",
                screen.first, screen.median, screen.max);
    std::printf("goal: under 500 ms: %s\n", screen.max < 500 ? "met" : "NOT met");
    return prompts.count == 0 ? 0 : 1;
}
