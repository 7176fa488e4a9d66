// Time to open the programming window of a stored customer among many, and to switch between its
// sections: the record screen is opened for a customer picked at random from a database of
// 100 000, then "Programar" is pressed (the window built, every section filled from the image and
// shown), then the navigator goes through the seven sections and each one's "Alarme" and "PC"
// views, each step painted before the clock stops.
//
//   bench_editors [--customers N] [--opens N] [--database path] [--screenshot file.png]
//
// Goals: the window open under 300 ms, a section switch under 50 ms.
#include "base/operator_messages.h"
#include "bench_customers.h"
#include "programming/ui/frm_prog_editor.h"
#include "programming/ui/section_widget.h"
#include "workspace/ui/frm_prog_main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Runs `step` and paints what it changed; the elapsed milliseconds.
template <typename F> double Timed(QWidget* window, F step) {
    QElapsedTimer timer;
    timer.start();
    step();
    window->repaint();
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int customers = 100000;
    int opens = 20;
    QString databaseName;
    QString screenshot;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--customers"))
            customers = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--opens"))
            opens = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--database"))
            databaseName = args[i + 1];
        else if (args[i] == QLatin1String("--screenshot"))
            screenshot = args[i + 1];
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
    QList<double> openMs;
    QList<double> switchMs;
    QList<double> viewMs;
    QRandomGenerator random(20261210);
    for (int n = 0; n < opens; ++n) {
        const int id = 1 + int(random.bounded(quint32(customers)));
        TfrmProgMain* screen = TfrmProgMain::OpenCustomer(context, id);
        if (!screen)
            return 1;
        screen->show();
        QCoreApplication::processEvents();
        auto* programar = screen->findChild<QAbstractButton*>(QStringLiteral("jvLookProgramar"));
        QWidget* editorWindow = nullptr;
        openMs << Timed(screen, [&] {
            programar->click();
            editorWindow = screen->ProgrammingWindow();
        });
        TfrmProgEditor* editor = screen->ProgrammingWindow();
        if (!editor || !editorWindow->isVisible())
            return 1;
        if (n == 0 && !screenshot.isEmpty()) {
            editor->resize(1100, 760);
            QCoreApplication::processEvents();
            editor->grab().save(screenshot);
        }
        for (int round = 0; round < 2; ++round) {
            for (ProgSection section : kSectionLoadOrder)
                switchMs << Timed(editor, [&] { editor->ShowSection(section); });
        }
        for (SectionWidget* section : editor->Sections()) {
            viewMs << Timed(editor, [&] { section->rbFonteAlarme->click(); });
            viewMs << Timed(editor, [&] { section->rbFontePC->click(); });
        }
        screen->findChild<QAbstractButton*>(QStringLiteral("jvLookRetornar"))->click();
        delete screen;
    }
    const bench::Figures open = bench::Summary(openMs);
    const bench::Figures sw = bench::Summary(switchMs);
    const bench::Figures view = bench::Summary(viewMs);
    std::printf("customers: %d, windows opened: %d\n", customers, opens);
    std::printf("open the programming window: first %.1f ms, median %.1f ms, max %.1f ms\n", open.first,
                open.median, open.max);
    std::printf("switch section (navigator):  first %.1f ms, median %.1f ms, max %.1f ms\n", sw.first,
                sw.median, sw.max);
    std::printf("switch a section PC/Alarme:  first %.1f ms, median %.1f ms, max %.1f ms\n", view.first,
                view.median, view.max);
    std::printf("goals: open under 300 ms: %s; section switch under 50 ms: %s\n",
                open.max < 300 ? "met" : "NOT met", sw.max < 50 ? "met" : "NOT met");
    return prompts.count == 0 ? 0 : 1;
}
