// The main window with a large customer base: time from start to a usable window, time per
// keystroke of the search as the operator types, time of a title click, and peak memory.
//   bench_desktop [customers]        (default 100000; runs offscreen)
#include "base/app_paths.h"
#include "link/link_state.h"
#include "serial/memory_line.h"
#include "store/data_module.h"
#include "store/sql_script.h"
#include "workspace/ui/frm_principal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Peak and current resident memory of the process in MB (VmHWM and VmRSS).
std::pair<double, double> MemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    double peak = 0;
    double now = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts[0] == "VmHWM:")
                peak = parts[1].toDouble() / 1024.0;
            if (parts.size() >= 2 && parts[0] == "VmRSS:")
                now = parts[1].toDouble() / 1024.0;
        }
    }
    return {peak, now};
}

// Fills the database with `count` customers in the engine itself (one block, one transaction):
// names from first names, surnames and the number, addresses, neighbourhoods, codes and models
// spread over the rows.
bool FillCustomers(const QString& database, int count, QString* error) {
    TdmBancoDeDados dm;
    if (!dm.Connect(database)) {
        *error = dm.LastError();
        return false;
    }
    const QString block = QStringLiteral(
        "execute block (n integer = ?) as\n"
        "declare i integer = 1;\n"
        "declare nome varchar(30);\n"
        "begin\n"
        "  while (i <= n) do begin\n"
        "    nome = decode(mod(i, 10), 0, 'Ana', 1, 'Bruno', 2, 'Carla', 3, 'Diego', 4, 'Elisa', 5, "
        "'Fábio',\n"
        "                  6, 'Gisele', 7, 'Hugo', 8, 'Íris', 'João') || ' ' ||\n"
        "           decode(mod(i / 10, 8), 0, 'Silva', 1, 'Souza', 2, 'Oliveira', 3, 'Santos', 4, "
        "'Pereira',\n"
        "                  5, 'Lima', 6, 'Costa', 'Araújo') || ' ' || i;\n"
        "    insert into CLIENTES (ID_CLIENTE, NOME, FONE1, DATA_CRIACAO, HORA_CRIACAO, ID_GRUPO, PRODUTO,\n"
        "                          VERSAO_PRODUTO)\n"
        "      values (:i, :nome, '19' || (30000000 + :i), dateadd(-mod(:i, 3000) day to date "
        "'2024-01-01'),\n"
        "              time '08:00:00', 2, mod(:i, 4) + 1, '1.4');\n"
        "    insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC, P_ENDERECO,\n"
        "                        P_NUMERO, P_BAIRRO, P_CIDADE, P_CEP, P_ESTADO)\n"
        "      values (:i, :i, '19' || (32000000 + :i), lpad(mod(:i * 7, 10000), 4, '0'),\n"
        "              lpad(mod(:i * 13, 10000), 4, '0'), 'Rua ' || decode(mod(:i, 5), 0, 'das Flores', 1,\n"
        "              'Amapá', 2, 'XV de Novembro', 3, 'Barão de Jaguara', 'Doutor Quirino') || ', ' || "
        "mod(:i, 997),\n"
        "              mod(:i, 2000), decode(mod(:i, 6), 0, 'Centro', 1, 'Cambuí', 2, 'Taquaral', 3, "
        "'Guanabara',\n"
        "              4, 'Botafogo', 'Jardim Chapadão'), 'Campinas', '13000-000', mod(:i, 27) + 1);\n"
        "    i = i + 1;\n"
        "  end\n"
        "end");
    if (!dm.IBDB.Exec(block, {count})) {
        *error = dm.IBDB.LastError();
        return false;
    }
    for (const char* g : {"CLIENTES", "PAINEL", "FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS"}) {
        if (!dm.IBDB.Exec(QStringLiteral("set generator GEN_%1_ID to %2").arg(QLatin1String(g)).arg(count))) {
            *error = dm.IBDB.LastError();
            return false;
        }
    }
    if (!dm.CommitRetaining()) {
        *error = dm.IBDB.LastError();
        return false;
    }
    return true;
}

void Type(QWidget* field, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
    }
}

struct Stats {
    double mean = 0;
    double max = 0;
    int count = 0;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();

    // The database is made by a second run of this program, so that the engine's memory while
    // filling it does not count in the window's peak.
    if (args.size() == 4 && args[1] == QLatin1String("--make")) {
        QString error;
        if (!CreateNewDatabase(args[2], &error) || !FillCustomers(args[2], args[3].toInt(), &error)) {
            std::fprintf(stderr, "bench_desktop: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    const int customers = args.size() > 1 ? std::max(1, args[1].toInt()) : 100000;

    QTemporaryDir folder;
    qputenv("TELVORA_HOME", folder.path().toLocal8Bit());
    const QString database = ApplicationPath(QStringLiteral("zrv.fdb"));
    QElapsedTimer fill;
    fill.start();
    if (QProcess::execute(args[0], {QStringLiteral("--make"), database, QString::number(customers)}) != 0)
        return 1;
    std::printf("database with %d customers made in %.1f s\n", customers, fill.elapsed() / 1000.0);
    const double memoryBefore = MemoryMb().second;

    // Start: the main window's creation (reconnect, upkeep, groups, list, count), its first show
    // (sorted by the first column) and the events until it is on screen.
    TdmBancoDeDados dm;
    dm.Operator = LoggedOperator::FromRow(1, QStringLiteral("admin"), {});
    LinkState link;
    MemoryLine line;
    QElapsedTimer start;
    start.start();
    TfrmPrincipal main(dm, link, *line.port());
    const qint64 created = start.elapsed();
    main.show();
    QApplication::processEvents();
    const qint64 usable = start.elapsed();
    if (main.Model->rowCount() != customers) {
        std::fprintf(stderr, "bench_desktop: the list shows %d customers\n", main.Model->rowCount());
        return 1;
    }
    const auto [peakAfterStart, rssAfterStart] = MemoryMb();

    // Keystrokes: names typed letter by letter from an empty box, each a search from the first row.
    Stats keys;
    QRandomGenerator random(7);
    const QStringList names = {QStringLiteral("Fábio Santos 9"), QStringLiteral("joão araújo"),
                               QStringLiteral("Íris Lima 12"),   QStringLiteral("Hugo Pereira 99"),
                               QStringLiteral("Ana Silva 10"),   QStringLiteral("Zélia")};
    for (int round = 0; round < 20; ++round) {
        for (const QString& name : names) {
            main.edtLocalizar->clear();
            for (QChar c : name) {
                QElapsedTimer key;
                key.start();
                Type(main.edtLocalizar, QString(c));
                const double ms = key.nsecsElapsed() / 1e6;
                keys.mean += ms;
                keys.max = std::max(keys.max, ms);
                ++keys.count;
            }
        }
    }
    keys.mean /= std::max(1, keys.count);

    // The same with the customer number as the key.
    main.SetSearchKey(QStringLiteral("Nº do Cliente"));
    Stats numbers;
    for (int round = 0; round < 50; ++round) {
        main.edtLocalizar->clear();
        const QString id = QString::number(random.bounded(customers) + 1);
        for (QChar c : id) {
            QElapsedTimer key;
            key.start();
            Type(main.edtLocalizar, QString(c));
            const double ms = key.nsecsElapsed() / 1e6;
            numbers.mean += ms;
            numbers.max = std::max(numbers.max, ms);
            ++numbers.count;
        }
    }
    numbers.mean /= std::max(1, numbers.count);

    // Title clicks: by name (text), by state (number), by creation date.
    QElapsedTimer sort;
    sort.start();
    main.TitleClick(NOME);
    const qint64 sortName = sort.restart();
    main.TitleClick(P_ESTADO);
    const qint64 sortState = sort.restart();
    main.TitleClick(DATA_CRIACAO);
    const qint64 sortDate = sort.elapsed();

    // A reload (as after the record screen closes).
    QElapsedTimer reload;
    reload.start();
    main.ReloadList();
    const qint64 reloadMs = reload.elapsed();

    // One customer read again (after its record screen closed).
    QElapsedTimer refresh;
    refresh.start();
    main.RefreshCustomer(customers / 2);
    const qint64 refreshMs = refresh.elapsed();

    const auto [peak, rss] = MemoryMb();
    std::printf("\n| measure (%d customers) | value |\n|---|---|\n", customers);
    std::printf("| main window created (connect, upkeep, list loaded) | %lld ms |\n", created);
    std::printf("| start to usable main window (shown, sorted) | %lld ms |\n", usable);
    std::printf("| keystroke, name search (%d keys) | mean %.2f ms, max %.2f ms |\n", keys.count, keys.mean,
                keys.max);
    std::printf("| keystroke, customer-number search (%d keys) | mean %.2f ms, max %.2f ms |\n",
                numbers.count, numbers.mean, numbers.max);
    std::printf("| title click: name / state / date | %lld / %lld / %lld ms |\n", sortName, sortState,
                sortDate);
    std::printf("| whole list reload (group change) | %lld ms |\n", reloadMs);
    std::printf("| one customer read again (record screen closed) | %lld ms |\n", refreshMs);
    std::printf("| list storage | %.1f MB |\n", main.Model->List().MemoryBytes() / 1048576.0);
    std::printf("| resident memory before the window | %.0f MB |\n", memoryBefore);
    std::printf("| resident memory after start / at the end | %.0f / %.0f MB |\n", rssAfterStart, rss);
    std::printf("| peak resident memory (after start / at the end) | %.0f / %.0f MB |\n", peakAfterStart,
                peak);
    return 0;
}
