#include "workspace/ui/buffer_wait.h"

#include "base/operator_messages.h"
#include "link_control/buffer_texts.h"
#include "link_control/link_controller.h"
#include "link_control/ui/frm_dialog_espera_lig.h"
#include "store/calling_customers.h"
#include "store/data_module.h"
#include "store/db_buffer_receiver.h"
#include "workspace/ui/call_log.h"
#include "workspace/ui/frm_principal.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

namespace {

// How long a call's line stays in the status bar.
constexpr int kCallLineMs = 60000;

} // namespace

BufferWait::BufferWait(TfrmPrincipal& main, LinkController& link)
    : QObject(&main), m_main(main), m_link(&link),
      m_receiver(std::make_unique<DbBufferReceiver>(main.DataModule().IBDB)) {
    link.SetBufferReceiver(m_receiver.get());
    connect(&link, &LinkController::BufferCallEnded, this, &BufferWait::callEnded);
    // A set-up command the modem refused: listening goes on without it.
    connect(&link, &LinkController::ListeningNoted, this,
            [this](const QString& text) { m_main.statusBar()->showMessage(text, kCallLineMs); });
    connect(&link, &LinkController::BufferWaitEnded, this, [this] {
        if (m_stopping)
            return;
        setListeningState(false);
        Q_EMIT Ended();
    });
}

BufferWait::~BufferWait() {
    Shutdown();
}

void BufferWait::Shutdown() {
    if (!m_link)
        return;
    m_stopping = true;
    m_link->EncerraEsperaBuffer();
    m_link->SetBufferReceiver(nullptr);
    m_link = nullptr;
}

bool BufferWait::Listening() const {
    return m_link && m_link->AguardandoBuffer();
}

bool BufferWait::customersCanBeTold() {
    DbConnection& db = m_main.DataModule().IBDB;
    QString error;
    int count = 0;
    if (!CallingCustomers::CountListening(db, &count, &error)) {
        OperatorMessages::Tell(&m_main, error, MessageIcon::Critical);
        return false;
    }
    if (count == 0) {
        OperatorMessages::Tell(&m_main, BufferTexts::NoCustomers());
        return false;
    }
    QList<SharedPanelCode> shared;
    if (!CallingCustomers::SharedPanelCodes(db, &shared, &error)) {
        OperatorMessages::Tell(&m_main, error, MessageIcon::Critical);
        return false;
    }
    if (shared.isEmpty())
        return true;
    TfrmDialogEsperaLig dialog(&m_main);
    for (const SharedPanelCode& panel : shared)
        dialog.AddRow(panel.codigoPainel, panel.nome);
    return dialog.exec() == QDialog::Accepted;
}

bool BufferWait::Start() {
    if (!m_link || Listening() || !customersCanBeTold())
        return false;
    // The port number and the modem as the settings have them now.
    m_main.PassSettingsToLink();
    if (!m_link->IniciaEsperaBuffer())
        return false;
    if (!m_callLog) {
        m_callLog = new CallLog(&m_main);
        m_main.addDockWidget(Qt::BottomDockWidgetArea, m_callLog);
    }
    m_callLog->show();
    setListeningState(true);
    return true;
}

void BufferWait::Stop() {
    if (!m_link)
        return;
    m_stopping = true;
    m_link->EncerraEsperaBuffer();
    m_stopping = false;
    setListeningState(false);
}

void BufferWait::setListeningState(bool listening) {
    // While listening the modem is the reception's: nothing that would open a customer, change
    // the communication, the operators or the database can be used.
    m_main.actIncluirCliente->setEnabled(!listening);
    m_main.actComunicacao->setEnabled(!listening);
    m_main.actTrocarUsuario->setEnabled(!listening);
    m_main.mnuBancoDados->setEnabled(!listening);
    for (QAction* action : m_main.mnuOpcoes->actions()) {
        const QString text = action->text();
        if (text.contains(QStringLiteral("Usuários"), Qt::CaseInsensitive) ||
            text.contains(QStringLiteral("senha"), Qt::CaseInsensitive))
            action->setEnabled(!listening);
    }
    if (m_main.actAguardaBuffer->isChecked() != listening) {
        const QSignalBlocker blocker(m_main.actAguardaBuffer);
        m_main.actAguardaBuffer->setChecked(listening);
    }
    m_main.UpdateActions();
    if (!listening)
        m_main.ReopenPort();
}

void BufferWait::callEnded(const BufferCallReport& report) {
    // Told without a message box: a box would hold the next call until someone closed it.
    m_main.statusBar()->showMessage(BufferTexts::CallSummary(report), kCallLineMs);
    if (m_callLog)
        m_callLog->Add(report);
}
