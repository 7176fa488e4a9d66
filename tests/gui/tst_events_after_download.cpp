// The "Eventos" page with a real session download from the simulated panel in process (a memory
// line, the scaled clock): the page shown while "Download" runs lists each record's events as they
// are stored and the whole log once the download ends, in number order with its count, and a second
// download adds nothing.
#include "base/clock.h"
#include "base/settings.h"
#include "gui/record_screen_fixture.h"
#include "link_control/link_controller.h"
#include "link_control/ui/frm_status.h"
#include "link_control/ui/widget_link_operator.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "session/online_worker.h"

#include <QLabel>
#include <QTableView>

namespace {

constexpr int WaitMs = 30000;

// The screen's customer matches the simulated panel: Orvan 10 version 1.4, codes 1234 and 5678.
struct LinkRig {
    Fixture f;
    MemoryLine line;
    PanelSimulator panel;
    WidgetLinkOperator op{QStringLiteral("Telvora")};
    LinkController link{line.port(), &op};
    int customer = 0;

    bool Open() {
        panel.attach(&line);
        op.Attach(&link);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        link.SetLinkSettings(LinkSettingsFrom(settings));
        if (!f.Open())
            return false;
        f.context.link = &link;
        f.db.dm.SetConnectedProductSource([this] { return int(link.State().ConnectedProduct.load()); });
        customer = f.AddCustomer(1, "1.4", "Com painel", "1234", "5678");
        return customer > 0;
    }
};

} // namespace

class TestEventsAfterDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    void pageListsTheDownloadedLog() {
        LinkRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error()));
        rig.panel.setEvents(sim::generatedEvents(sim::Family::TenZone, 10, 4));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(rig.f.context, rig.customer));
        QVERIFY(screen);
        screen->show();
        Press(screen.get(), "jvLookEventos");
        auto* grid = Find<QTableView>(screen.get(), "dbgBufferEventos");
        auto* count = Find<QLabel>(screen.get(), "dbtxtCount");
        QCOMPARE(grid->model()->rowCount(), 0);
        QCOMPARE(count->text(), QStringLiteral("0"));

        Press(screen.get(), "imgConectar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
        // What the page lists each time it is filled again while the first download runs.
        QList<int> shown;
        const QMetaObject::Connection filled =
            QObject::connect(grid->model(), &QAbstractItemModel::modelReset, grid,
                             [&] { shown << grid->model()->rowCount(); });
        for (int round = 0; round < 2; ++round) {
            Press(screen.get(), "JvLookOutButton5");
            QTRY_VERIFY_WITH_TIMEOUT(rig.op.StatusWindow()->isVisible(), WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!rig.op.StatusWindow()->isVisible(), WaitMs);
            if (round == 0) {
                // Record by record (four events each, then two), as each is stored.
                QObject::disconnect(filled);
                shown.removeAll(0); // the page emptied before the download began
                QVERIFY2(shown.size() >= 3, qPrintable(QString::number(shown.size())));
                QCOMPARE(shown.mid(0, 3), (QList<int>{4, 8, 10}));
            }
            QTRY_COMPARE_WITH_TIMEOUT(grid->model()->rowCount(), 10, WaitMs);
            QCOMPARE(count->text(), QStringLiteral("10"));
            QStringList numbers;
            for (int row = 0; row < 10; ++row)
                numbers << grid->model()->index(row, 0).data().toString();
            QCOMPARE(numbers, (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        }
        QVERIFY2(rig.f.prompts.told.isEmpty(), qPrintable(rig.f.prompts.told.join('|')));
        Press(screen.get(), "imgDesconectar");
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
    }
};

QTEST_MAIN(TestEventsAfterDownload)
#include "tst_events_after_download.moc"
