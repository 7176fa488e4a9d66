// The programming window against the simulated panel in process (a memory line, the scaled clock):
// a section's send writes only that section's differing chunks, the PGM question can stop a send,
// equal sections send nothing, and a section received from the panel reaches the program's copy.
#include "base/clock.h"
#include "base/settings.h"
#include "gui/record_screen_fixture.h"
#include "link_control/link_controller.h"
#include "link_control/ui/frm_status.h"
#include "link_control/ui/widget_link_operator.h"
#include "panel_simulator.h"
#include "programming/ui/editor_requests.h"
#include "programming/ui/frm_prog_editor.h"
#include "programming/ui/section_widget.h"
#include "serial/memory_line.h"
#include "session/online_worker.h"
#include "store/audit_log.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QToolButton>

namespace {

constexpr int WaitMs = 30000;

// Runs the event loop without pauses until `done` holds (the line's answers arrive on this thread,
// and the scaled clock leaves no room for sleeping between events).
bool WaitUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(WaitMs, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    return done();
}

// A stored Orvan 10 customer that matches the simulated panel (version 1.4, codes 1234 and 5678),
// connected, with its programming window open and loaded with the panel's programming.
struct PanelRig {
    Fixture f;
    MemoryLine line;
    PanelSimulator panel;
    WidgetLinkOperator op{QStringLiteral("Telvora")};
    LinkController link{line.port(), &op};
    std::unique_ptr<TfrmProgMain> screen;
    TfrmProgEditor* editor = nullptr;

    bool Open() {
        panel.attach(&line);
        op.Attach(&link);
        // Times of day the editors take as they are (the simulator's pattern holds no BCD there).
        QByteArray image = panel.image();
        const QByteArray times = QByteArray::fromHex("1830123019002000");
        image.replace(17, times.size(), times);
        // The rest of the telephone block, which no field names, as the program fills it.
        image.replace(248, 8, QByteArray(8, '\xFF'));
        panel.setImage(image);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        link.SetLinkSettings(LinkSettingsFrom(settings));
        if (!f.Open())
            return false;
        f.context.link = &link;
        f.db.dm.SetConnectedProductSource([this] { return int(link.State().ConnectedProduct.load()); });
        const int customer = f.AddCustomer(1, "1.4", "Com painel", "1234", "5678");
        if (customer <= 0)
            return false;
        screen.reset(TfrmProgMain::OpenCustomer(f.context, customer));
        screen->show();
        Press(screen.get(), "imgConectar");
        if (!WaitUntil([this] { return link.State().ProgrammingReceived.load() && Idle(); }))
            return false;
        Press(screen.get(), "jvLookProgramar");
        editor = screen->ProgrammingWindow();
        if (!editor)
            return false;
        editor->CarregarTodosOsDados();
        return true;
    }

    bool Idle() const {
        OnLine* session = link.OnLineWorker();
        return session && !session->WriteProgrammingRequest && !session->ReadProgrammingRequest &&
               !session->WriteInProgress && !session->PgmChangeRequest && !session->PgmChangeInProgress &&
               !op.StatusWindow()->isVisible();
    }

    void HangUp() {
        Press(screen.get(), "imgDesconectar");
        QTRY_VERIFY_WITH_TIMEOUT(!link.OnLineWorker(), WaitMs);
    }

    ProgrammingImages& Images() { return screen->Record().Images(); }
    QWidget* Sec(const char* name) { return Find<QWidget>(editor, name); }
};

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void ChooseAction(TfrmProgEditor* editor, const QString& caption) {
    auto* button = Find<QToolButton>(editor, "btnAcoes");
    for (QAction* action : button->menu()->actions()) {
        if (action->text() == caption) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(caption));
}

} // namespace

class TestProgEditorLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    void sendOneSection() {
        PanelRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error() + rig.f.prompts.told.join('|')));
        const qsizetype writesBefore = rig.panel.chunkWrites().size();
        QByteArray expected = rig.panel.image();
        // Only the entry delay changes: byte 0, which shares its chunk and no field names, stays as
        // the panel holds it.
        expected[1] = char(45);
        QVERIFY(rig.Images().ImagemPC.byte(0) != quint8(expected[0]));

        auto* entry = Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoEntrada");
        QVERIFY(!SectionWidget::IsMarked(entry));
        Type(entry, "45");
        QVERIFY(SectionWidget::IsMarked(entry));
        Press(rig.Sec("secTempos"), "btnEnviar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.panel.image().at(1) == char(45) && rig.Idle(), WaitMs);
        // Verified on the panel: no longer marked once the session reports the write.
        QTRY_VERIFY_WITH_TIMEOUT(!SectionWidget::IsMarked(entry), WaitMs);
        QCOMPARE(rig.panel.image().toHex(' '), expected.toHex(' '));
        const QVector<sim::ChunkWrite>& writes = rig.panel.chunkWrites();
        QVERIFY(writes.size() > writesBefore);
        for (qsizetype i = writesBefore; i < writes.size(); ++i)
            QVERIFY2(
                writes[i].block == 0 && writes[i].chunk == 0,
                qPrintable(QStringLiteral("block %1 chunk %2").arg(writes[i].block).arg(writes[i].chunk)));
        QCOMPARE(rig.Images().ImagemAlarme.byte(1), quint8(45));
        QVERIFY2(rig.f.prompts.told.isEmpty(), qPrintable(rig.f.prompts.told.join('|')));

        // Now equal: the section's message, nothing sent.
        const qsizetype writesAfter = writes.size();
        Press(rig.Sec("secTempos"), "btnEnviar");
        QCOMPARE(rig.f.prompts.told, QStringList{SectionEqualMessage(ProgSection::Tempos)});
        QCOMPARE(rig.panel.chunkWrites().size(), writesAfter);
        rig.HangUp();
    }

    // "Enviar toda programação": the changes of several sections in one write; equal, the message.
    void sendWholeProgramming() {
        PanelRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error() + rig.f.prompts.told.join('|')));
        Type(Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoSaida"), "33");
        Type(Find<QLineEdit>(rig.Sec("secReporte"), "edtCodPanico2"), "4B");
        const qsizetype writesBefore = rig.panel.chunkWrites().size();
        ChooseAction(rig.editor, QStringLiteral("Enviar toda programação"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.panel.image().at(275) == char(0x4B) && rig.Idle(), WaitMs);
        QCOMPARE(rig.panel.image().at(2), char(33));
        QSet<int> blocks;
        for (qsizetype i = writesBefore; i < rig.panel.chunkWrites().size(); ++i)
            blocks << rig.panel.chunkWrites()[i].block;
        QCOMPARE(blocks, (QSet<int>{0, 17}));
        QCOMPARE(rig.f.db.Count("AUDITORIA", "where ACAO = ? and DETALHES = ?",
                                {AuditActionText(AuditAction::WriteProgramming), "toda a programação"}),
                 1);

        // Pressing the button runs the entry it shows: now nothing differs.
        rig.f.prompts.told.clear();
        Press(rig.editor, "btnAcoes");
        QCOMPARE(rig.f.prompts.told, QStringList{WholeSendEqualMessage(ProductFamily::TenZone)});
        rig.HangUp();
    }

    // The PGM question answered No sends nothing; Yes changes the PGM on the panel.
    void pgmQuestion() {
        PanelRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error() + rig.f.prompts.told.join('|')));
        Find<QComboBox>(rig.Sec("secPgms"), "cmbPgm3")->setCurrentIndex(2); // "12 - ..."
        const qsizetype writesBefore = rig.panel.chunkWrites().size();
        rig.f.prompts.asked.clear();
        rig.f.prompts.answers = {OperatorAnswer::No};
        Press(rig.Sec("secPgms"), "btnEnviar");
        QCOMPARE(rig.f.prompts.asked, QStringList{kMsgAlterarPgm});
        QVERIFY(!rig.link.OnLineWorker()->PgmChangeRequest);
        QCOMPARE(rig.panel.chunkWrites().size(), writesBefore);

        // The PGM module option asks its own question in the options' send.
        ClickIndicator(Find<QCheckBox>(rig.Sec("secOpcoes"), "chkOpcao22"));
        rig.f.prompts.asked.clear();
        rig.f.prompts.answers = {OperatorAnswer::No};
        Press(rig.Sec("secOpcoes"), "btnEnviar");
        QCOMPARE(rig.f.prompts.asked, QStringList{kMsgModuloPgm});
        QVERIFY(!rig.link.OnLineWorker()->PgmChangeRequest &&
                !rig.link.OnLineWorker()->WriteProgrammingRequest);
        ClickIndicator(Find<QCheckBox>(rig.Sec("secOpcoes"), "chkOpcao22"));
        // Sends the operator called off are not in the audit record; the one sent is.
        const QString writeText = AuditActionText(AuditAction::WriteProgramming);
        QCOMPARE(rig.f.db.Count("AUDITORIA", "where ACAO = ?", {writeText}), 0);

        rig.f.prompts.answers = {OperatorAnswer::Yes};
        Press(rig.Sec("secPgms"), "btnEnviar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.panel.image().at(28) == char(0x12) && rig.Idle(), WaitMs);
        for (qsizetype i = writesBefore; i < rig.panel.chunkWrites().size(); ++i)
            QCOMPARE(rig.panel.chunkWrites()[i].block, 1);
        QCOMPARE(rig.f.db.Count("AUDITORIA", "where ACAO = ? and DETALHES = ?", {writeText, "PGM's"}), 1);
        rig.HangUp();
    }

    // "Receber toda programação", then one section loaded from the panel's copy.
    void receiveOneSection() {
        PanelRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error() + rig.f.prompts.told.join('|')));
        QByteArray changed = rig.panel.image();
        changed[2] = char(77);     // exit delay
        changed[257] = char(0x05); // a report digit
        rig.panel.setImage(changed);
        const QByteArray pcBefore = rig.Images().ImagemPC.bytes();
        QWidget* tempos = rig.Sec("secTempos");
        ClickIndicator(Find<QRadioButton>(tempos, "rbFonteAlarme"));

        ChooseAction(rig.editor, QStringLiteral("Receber toda programação"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.Images().ImagemAlarme.byte(2) == 77 && rig.Idle(), WaitMs);
        QCOMPARE(rig.Images().ImagemPC.bytes(), pcBefore);
        // Shown once the session reports the read ended.
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLineEdit>(tempos, "edtTempoSaida")->text(), QStringLiteral("77"),
                                  WaitMs);

        Press(tempos, "btnCarregar");
        QCOMPARE(rig.Images().ImagemPC.byte(2), quint8(77));
        QCOMPARE(rig.Images().ImagemPC.byte(257), quint8(pcBefore.at(257)));
        QVERIFY(Find<QRadioButton>(tempos, "rbFontePC")->isChecked());
        QCOMPARE(Find<QLineEdit>(tempos, "edtTempoSaida")->text(), "77");
        rig.HangUp();
    }

    // The line drops in the middle of a whole send: what the panel did not take is never shown as
    // sent. Once connected again and read, the fields it lacks are still marked as differing, and
    // the next send writes only those.
    void sendCutByADroppedLine() {
        PanelRig rig;
        QVERIFY2(rig.Open(), qPrintable(rig.f.db.Error() + rig.f.prompts.told.join('|')));
        auto* entry = Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoEntrada");
        auto* panic = Find<QLineEdit>(rig.Sec("secReporte"), "edtCodPanico2");
        Type(entry, "45");
        Type(panic, "4B");
        // The panel hangs up right after answering the first write of the send.
        rig.panel.faults().dropAfterFrames = int(rig.panel.journal(QStringLiteral("answer")).size()) + 1;
        ChooseAction(rig.editor, QStringLiteral("Enviar toda programação"));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link.OnLineWorker(), WaitMs);
        QCOMPARE(rig.panel.image().at(275) == char(0x4B), false);

        rig.panel.faults().dropAfterFrames = 0;
        Press(rig.screen.get(), "imgConectar");
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.State().ProgrammingReceived.load() && rig.Idle(), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(SectionWidget::IsMarked(panic), WaitMs);
        QCOMPARE(SectionWidget::IsMarked(entry), rig.panel.image().at(1) != char(45));
        QCOMPARE(rig.Images().ImagemPC.byte(275), quint8(0x4B));

        const qsizetype writesBefore = rig.panel.chunkWrites().size();
        ChooseAction(rig.editor, QStringLiteral("Enviar toda programação"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.panel.image().at(275) == char(0x4B) && rig.Idle(), WaitMs);
        QCOMPARE(rig.panel.image().at(1), char(45));
        QTRY_VERIFY_WITH_TIMEOUT(!SectionWidget::IsMarked(panic) && !SectionWidget::IsMarked(entry), WaitMs);
        for (qsizetype i = writesBefore; i < rig.panel.chunkWrites().size(); ++i)
            QVERIFY(rig.panel.chunkWrites()[i].block == 17 || rig.panel.chunkWrites()[i].block == 0);
        rig.HangUp();
    }
};

QTEST_MAIN(TestProgEditorLink)
#include "tst_prog_editor_link.moc"
