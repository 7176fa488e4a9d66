#include "base/clock.h"
#include "base/settings.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "link_control/ui/frm_conecta_alarme.h"
#include "link_control/ui/frm_status.h"
#include "link_control/ui/widget_link_operator.h"

#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "support/recording_link_operator.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {
const QString Title = QStringLiteral("Telvora 1.0");

// The distance between the centres of two windows' frames.
int CentreDistance(const QWidget* a, const QWidget* b) {
    return (a->frameGeometry().center() - b->frameGeometry().center()).manhattanLength();
}
} // namespace

class TestLinkWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(50); }

    // The step list shows each line's state: current bold, done and pending not.
    void progressShowsSteps() {
        TfrmConectaAlarme window(Title);
        ProgressSteps steps;
        steps.Reset(
            {"Software conectado a porta Com 3", "Configurando o Modem X.", "Discando para telefone nº 1"});
        steps.Next();
        window.SetSteps(steps.Lines());
        QCOMPARE(window.windowTitle(), Title);
        QCOMPARE(window.JvInstallLabel1->count(), 3);
        QCOMPARE(window.ShownState(0), StepState::Done);
        QCOMPARE(window.ShownState(1), StepState::Done);
        QCOMPARE(window.ShownState(2), StepState::Current);
        QVERIFY(window.JvInstallLabel1->item(2)->font().bold());
        QVERIFY(!window.JvInstallLabel1->item(1)->font().bold());
        QCOMPARE(window.btnCancelar->text(), QStringLiteral("Cancelar"));
        QVERIFY(window.Button2->isHidden());
        QVERIFY(window.JvSpecialProgress1->isHidden());
    }

    // Closing by the operator ("Cancelar", the close box, Escape) cancels; closing by the program
    // does not; while "Cancelar" is disabled the operator cannot close the window.
    void progressCloseAndCancel() {
        TfrmConectaAlarme window(Title);
        int cancels = 0;
        window.OnCancel = [&] { ++cancels; };

        window.ShowProgress();
        QVERIFY(window.isVisible());
        QTest::mouseClick(window.btnCancelar, Qt::LeftButton);
        QCOMPARE(cancels, 1);
        QVERIFY(!window.isVisible());

        window.ShowProgress();
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(cancels, 2);
        QVERIFY(!window.isVisible());

        window.ShowProgress();
        window.CloseByProgram();
        QCOMPARE(cancels, 2);
        QVERIFY(!window.isVisible());

        window.ShowProgress();
        window.SetCancelEnabled(false);
        window.close();
        QCOMPARE(cancels, 2);
        QVERIFY(window.isVisible());
        window.CloseByProgram();
        QVERIFY(!window.isVisible());

        // The flag that tells the program's close from the operator's does not stick.
        window.SetCancelEnabled(true);
        window.ShowProgress();
        window.close();
        QCOMPARE(cancels, 3);
    }

    // A cancel that closes the window from inside (the end-message handler running while the
    // operator's close waits for the worker) leaves it closed, once.
    void progressCancelClosingFromInside() {
        TfrmConectaAlarme window(Title);
        int cancels = 0;
        window.OnCancel = [&] {
            ++cancels;
            window.CloseByProgram();
        };
        window.ShowProgress();
        window.close();
        QCOMPARE(cancels, 1);
        QVERIFY(!window.isVisible());
    }

    void progressBarAndSecondRing() {
        TfrmConectaAlarme window(Title);
        int presses = 0;
        window.OnSecondRing = [&] { ++presses; };
        window.ShowProgress();
        window.SetBar(true, 1, 18, 12);
        QVERIFY(window.JvSpecialProgress1->isVisible());
        QCOMPARE(window.JvSpecialProgress1->maximum(), 18);
        QCOMPARE(window.JvSpecialProgress1->value(), 12);
        window.SetBar(true, 1, 18, 20); // the index passes the top on the last line
        QCOMPARE(window.JvSpecialProgress1->value(), 18);
        window.SetSecondRingButton(true);
        QCOMPARE(window.Button2->text(), QStringLiteral("Pressione aqui no segundo ring"));
        QTest::mouseClick(window.Button2, Qt::LeftButton);
        QCOMPARE(presses, 1);
        window.SetText(QStringLiteral("Aguardando chamada do painel ..."));
        QCOMPARE(window.RichEdit1->toPlainText(), QStringLiteral("Aguardando chamada do painel ..."));
        QVERIFY(!window.RichEdit1->isEnabled());
        window.CloseByProgram();
    }

    // The operator's close acts as "Cancelar" and leaves the window up; the program's close hides
    // it and resets the efficiency figure.
    void statusCloseAndCancel() {
        TfrmStatus window(Title);
        int cancels = 0;
        int hidden = 0;
        window.OnCancel = [&] { ++cancels; };
        window.OnHidden = [&] { ++hidden; };
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        window.ShowStatus(QStringLiteral("Aguarde! Recebendo a programação do painel."), true, 0, 18);
        QVERIFY(window.Gauge1->isVisible());
        QVERIFY(window.JvWaitingGradient1->isHidden());
        QCOMPARE(window.Gauge1->value(), 0);
        window.SetGauge(7);
        window.SetEfficiency(true, QStringLiteral("87,50%"));
        QVERIFY(window.lblQuality->isVisible());
        QCOMPARE(window.lblQuality->text(), QStringLiteral("87,50%"));

        window.close();
        QCOMPARE(cancels, 1);
        QVERIFY(window.isVisible());
        QTest::mouseClick(window.btnCancelar, Qt::LeftButton);
        QCOMPARE(cancels, 2);

        // Dropping stay-on-top for a question is not a close.
        window.SetStayOnTop(false);
        QVERIFY(window.isVisible());
        window.SetStayOnTop(true);
        QCOMPARE(hidden, 0);

        window.CloseByProgram();
        QVERIFY(!window.isVisible());
        QCOMPARE(hidden, 1);
        QCOMPARE(cancels, 2);
        QCOMPARE(window.lblQuality->text(), QStringLiteral("100,00%"));

        window.ShowStatus(QStringLiteral("Aguarde! Desconectando."), false, 0, 0);
        QVERIFY(window.Gauge1->isHidden());
        QVERIFY(window.JvWaitingGradient1->isVisible());
        QCOMPARE(window.JvLabel1->text(), QStringLiteral("Aguarde! Desconectando."));
        window.close();
        QCOMPARE(cancels, 3);
        window.CloseByProgram();
    }

    // The progress window over a real connection: it shows the steps as they go, and "Cancelar"
    // during the modem set-up ends the attempt, closes the window and drops the line.
    void progressWindowDrivesAConnection() {
        MemoryLine line;
        PanelSimulator panel;
        panel.attach(&line);
        WidgetLinkOperator op(Title);
        RecordingCustomerScreen screen;
        LinkController link(line.port(), &op);
        op.Attach(&link);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        link.SetLinkSettings(LinkSettingsFrom(settings));
        link.SetCustomerScreen(&screen);
        QSignalSpy ended(&link, &LinkController::ConnectionEnded);

        TfrmConectaAlarme* window = op.ProgressWindow();
        QVERIFY(link.Conectar(false));
        QVERIFY(window->isVisible());
        QCOMPARE(window->JvInstallLabel1->item(0)->text(),
                 QStringLiteral("Software conectado a porta Com 1"));
        QTRY_VERIFY(window->JvSpecialProgress1->isVisible());
        QCOMPARE(window->ShownState(1), StepState::Current);

        QTest::mouseClick(window->btnCancelar, Qt::LeftButton);
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(ended.first().at(0).toBool(), false);
        QVERIFY(!window->isVisible());
        QVERIFY(!link.ConectaAlarmeWorker());
        QVERIFY(!line.programOpened());
        QVERIFY(panel.lastDialled().isEmpty());
    }

    // A connection that succeeds closes the window by itself.
    void progressWindowClosesOnSuccess() {
        MemoryLine line;
        PanelSimulator panel;
        panel.attach(&line);
        WidgetLinkOperator op(Title);
        RecordingCustomerScreen screen;
        LinkController link(line.port(), &op);
        op.Attach(&link);
        Settings settings;
        settings.setAtLines(DefaultAdvancedLines());
        link.SetLinkSettings(LinkSettingsFrom(settings));
        link.SetCustomerScreen(&screen);
        link.State().StoredVersion.store(QStringLiteral("1.4"));
        QSignalSpy ended(&link, &LinkController::ConnectionEnded);

        QVERIFY(link.Conectar(false));
        QVERIFY(ended.wait(30000));
        QCOMPARE(ended.first().at(0).toBool(), true);
        TfrmConectaAlarme* window = op.ProgressWindow();
        QVERIFY(!window->isVisible());
        QCOMPARE(window->JvInstallLabel1->count(), 7);
        QCOMPARE(window->ShownState(6), StepState::Current);
        QVERIFY(window->btnCancelar->isEnabled());
    }

    // The longest list of steps (the answering-machine bypass, a long modem name, the connected
    // line) is shown whole: no scroll bar, no empty text box. Both link windows open centred on
    // the modal window they belong to, and the fixed-size progress window cannot be maximised.
    void windowsFitAndCentreOnTheirOwner() {
        QWidget owner;
        owner.setWindowTitle(QStringLiteral("Cliente"));
        owner.setWindowModality(Qt::ApplicationModal);
        owner.setGeometry(300, 200, 300, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowActive(&owner));

        WidgetLinkOperator op(Title);
        ProgressSteps steps;
        const QString phone = QStringLiteral("0 41 3333-4444 ramal 5555");
        steps.Reset({LinkTexts::StepPortConnected(3),
                     LinkTexts::StepConfiguringModem(QStringLiteral("Modem externo de dados e voz V.92 56K")),
                     LinkTexts::StepDialling(phone), LinkTexts::StepPressAtSecondRing(),
                     LinkTexts::StepWaitingBypassTime(), LinkTexts::StepDialling(phone),
                     LinkTexts::StepConnectingToPanel(), LinkTexts::StepCheckingCodes()});
        steps.Add(LinkTexts::StepCodesCorrect(false));
        steps.Add(LinkTexts::StepConnectedToPanel(3, QStringLiteral("1.4"), QStringLiteral("1.4")));
        for (int i = 0; i < 20 && steps.Lines().constLast().state != StepState::Current; ++i)
            steps.Next();
        op.ProgressSteps(steps.Lines());
        op.ProgressShow();
        TfrmConectaAlarme* window = op.ProgressWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QListWidget* list = window->JvInstallLabel1;
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        QVERIFY(!list->verticalScrollBar()->isVisible());
        const QRect viewport = list->viewport()->rect();
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem* item = list->item(i);
            QFontMetrics metrics(item->font());
            const QRect shown = list->visualItemRect(item);
            QVERIFY2(viewport.contains(shown), qPrintable(item->text()));
            QVERIFY2(metrics.horizontalAdvance(item->text()) + list->iconSize().width() <= viewport.width(),
                     qPrintable(item->text()));
        }
        QVERIFY(window->RichEdit1->isHidden());
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY2(CentreDistance(window, &owner) <= 2,
                 qPrintable(QStringLiteral("%1 against %2")
                                .arg(window->frameGeometry().center().x())
                                .arg(owner.frameGeometry().center().x())));
        window->CloseByProgram();

        op.StatusShow(QStringLiteral("Aguarde! Recebendo a programação do painel."), true, 0, 18);
        TfrmStatus* status = op.StatusWindow();
        QVERIFY(QTest::qWaitForWindowExposed(status));
        QVERIFY(CentreDistance(status, &owner) <= 2);
        QVERIFY(!status->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        op.StatusClose();
    }

    // While the status window is up every other window is disabled, and enabled again after.
    void statusDisablesOtherWindows() {
        QWidget customer;
        customer.show();
        QWidget alreadyDisabled;
        alreadyDisabled.setEnabled(false);
        alreadyDisabled.show();
        WidgetLinkOperator op(Title);
        op.StatusShow(QStringLiteral("Aguarde! Programando o painel."), true, 0, 10);
        QVERIFY(!customer.isEnabled());
        QVERIFY(op.StatusWindow()->isEnabled());
        op.StatusClose();
        QVERIFY(customer.isEnabled());
        QVERIFY(!alreadyDisabled.isEnabled());
        QVERIFY(!op.StatusWindow()->isVisible());
    }
};

QTEST_MAIN(TestLinkWindows)
#include "tst_link_windows.moc"
