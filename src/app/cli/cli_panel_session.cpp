#include "app/cli/cli_panel_session.h"

#include "base/app_paths.h"
#include "base/ini_file.h"
#include "base/termination_request.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "programming/product_codes.h"
#include "programming/programming_images.h"
#include "serial/com_port_map.h"
#include "serial/tcia_com_port.h"
#include "session/online_worker.h"
#include "store/event_store.h"
#include "workspace/customer_record.h"

#include <QDate>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <bit>

// --- operator ------------------------------------------------------------------------------------

OperatorAnswer CliLinkOperator::Show(QObject*, const OperatorMessage& message) {
    if (message.buttons == OperatorButtons::Ok) {
        if (message.icon == MessageIcon::Information)
            m_context.Say(message.text);
        else
            m_context.Complain(message.text);
        return OperatorAnswer::Ok;
    }
    const bool yes = message.text == LinkTexts::ContinueTryingQuestion() && m_keepTrying;
    m_context.Say(message.text + QStringLiteral(" ") + (yes ? QStringLiteral("Sim") : QStringLiteral("Não")));
    return yes ? OperatorAnswer::Yes : OperatorAnswer::No;
}

void CliLinkOperator::ProgressSteps(const QList<ProgressStep>& steps) {
    // Each step is printed once, when it is reached.
    for (const ProgressStep& step : steps) {
        if (step.state == StepState::Pending || m_stepsShown.contains(step.text))
            continue;
        m_stepsShown.insert(step.text);
        m_context.Say(step.text);
    }
}

void CliLinkOperator::ProgressSetText(const QString& text) {
    if (!text.isEmpty())
        m_context.Say(text);
}

void CliLinkOperator::StatusShow(const QString& text, bool, int, int) {
    m_context.Say(text);
}

void CliLinkOperator::StatusSetEfficiency(bool visible, const QString& figure) {
    if (visible && !figure.isEmpty())
        m_efficiency = figure;
}

// --- customer screen -----------------------------------------------------------------------------

// The customer screen as the link sees it, over the customer record; nothing of it is saved.
class CliPanelSession::Screen : public LinkCustomerScreen {
public:
    Screen(CustomerRecord& record, CliContext& context) : m_record(record), m_context(context) {}

    QList<TransferReport> reports;

    QString FonePainel() const override { return painel(QStringLiteral("FONE_PAINEL")).toString(); }
    QString CodigoPainel() const override { return painel(QStringLiteral("CODIGO_PAINEL")).toString(); }
    QString CodigoPC() const override { return painel(QStringLiteral("CODIGO_PC")).toString(); }
    bool EnganaSecretaria() const override {
        return painel(QStringLiteral("ENGANA_SECRETARIA")).toString() == QLatin1String("1");
    }
    int TempoEnganaSecretaria() override {
        bool ok = false;
        const int seconds = painel(QStringLiteral("TEMPO_ENGANA_SECRETARIA")).toString().toInt(&ok);
        return ok ? seconds : 0;
    }
    void SetTempoEnganaSecretaria(int seconds) override {
        m_context.Say(QStringLiteral("Tempo entre dois rings (chamadas) %1").arg(seconds));
    }
    QString Produto() const override {
        const QVariant produto = m_record.DataModule().DSetClientes.Value(QStringLiteral("PRODUTO"));
        return produto.isNull() ? QString() : produto.toString();
    }
    void SetVersaoProduto(const QString& version) override { m_record.SetStoredVersion(version); }
    void SetConnectedImages(bool) override {}
    void SetCloseEnabled(bool) override {}
    void SetVersionLabel(const QString&) override {}
    void SetCaptionLabel(const QString&) override {}
    void MonitoringViewRefresh() override {}
    void SetOnLineIndicator(bool) override {}
    void Atualiza_Monitorando(const QByteArray&) override {}
    void ClearBufferDownloading() override {}
    void RepaintProgrammingWindows() override {}
    void CloseWindowsForDisconnect() override {}
    ProgrammingImages* Imagens(int productCode) override {
        ProgrammingImages& images = m_record.Images();
        return FamilyOf(productCode) == images.family() ? &images : nullptr;
    }
    void TransferEnded(const TransferReport& report) override { reports.append(report); }

    // The session download stores into BUFFER_EVENTOS as the customer screen does.
    bool BeginEventDownload(int product) override {
        events = std::make_unique<EventStore>(m_record.DataModule().IBDB, m_record.CustomerId(), product,
                                              EventCatalogue::Session);
        if (events->Begin())
            return true;
        m_context.Complain(events->LastError());
        return false;
    }
    bool Atualiza_Tabela_Eventos(int, const QByteArray& record) override {
        if (events && events->StoreRecord(record, QDate::currentDate()))
            return true;
        if (events)
            m_context.Complain(QStringLiteral("Erro ao gravar o evento: %1").arg(events->LastError()));
        return false;
    }
    void EventDownloadEnded(const EventDownloadReport& report) override {
        if (events)
            events->End();
        eventReports.append(report);
    }

    std::unique_ptr<EventStore> events;
    QList<EventDownloadReport> eventReports;

private:
    QVariant painel(const QString& field) const { return m_record.DataModule().DSetPainel.Value(field); }

    CustomerRecord& m_record;
    CliContext& m_context;
};

// --- session -------------------------------------------------------------------------------------

CliPanelSession::CliPanelSession(CliContext& context) : m_context(context) {}

CliPanelSession::~CliPanelSession() {
    if (SessionRunning())
        HangUp();
    m_link.reset();
    if (m_interrupted)
        m_context.Complain(QStringLiteral("Linha desligada e porta fechada."));
    if (m_record)
        m_record->Close();
}

bool CliPanelSession::Open(int customerId) {
    if (!m_dm.Connect(m_context.databaseName)) {
        m_context.Complain(m_dm.LastError());
        return false;
    }
    // The database client library takes SIGINT and SIGTERM over when it starts: take them back.
    TerminationRequest::instance().Install();
    m_record = std::make_unique<CustomerRecord>(m_dm);
    if (!m_record->OpenExisting(customerId)) {
        m_context.Complain(m_record->LastError());
        m_record.reset();
        return false;
    }
    return true;
}

void CliPanelSession::Audit(AuditAction action, const QString& details) {
    if (m_record && !RecordAudit(m_dm, m_context.operatorName, m_record->CustomerId(), action, details))
        m_context.Complain(
            QStringLiteral("O registro de operações não foi gravado: %1").arg(m_dm.IBDB.LastError()));
}

bool ReadCliPortSettings(CliContext& context, Settings* settings) {
    *settings = ReadSettingsOrDefaults();
    const QString port = context.options.value(QStringLiteral("port"));
    if (!port.isEmpty()) {
        bool ok = false;
        const int number = port.toInt(&ok);
        if (!ok || !ComPortMap::IsValidPort(number)) {
            context.Complain(QStringLiteral("Porta inválida: %1").arg(port));
            return false;
        }
        settings->ComPort = number;
    }
    const QString device = context.options.value(QStringLiteral("device"));
    if (!device.isEmpty())
        settings->Portas.insert(settings->ComPort, device);
    return true;
}

bool CliPanelSession::ConnectAndRead(int customerId, bool keepTrying, bool callback) {
    if (!m_record && !Open(customerId))
        return false;

    if (!ReadCliPortSettings(m_context, &m_settings))
        return false;

    // The controller opens the port on the chosen number and device map when it connects.
    m_port = std::make_unique<TCiaComPort>();
    m_operator = std::make_unique<CliLinkOperator>(m_context, keepTrying);
    m_screen = std::make_unique<Screen>(*m_record, m_context);
    m_link = std::make_unique<LinkController>(m_port.get(), m_operator.get());
    m_link->SetLinkSettings(LinkSettingsFrom(m_settings));
    m_link->SetCustomerScreen(m_screen.get());
    m_link->State().StoredVersion.store(m_record->StoredVersion());
    QObject::connect(m_link.get(), &LinkController::SessionEnded, m_link.get(),
                     [this] { m_sessionEnded = true; });
    // An interrupt or a termination request stops the attempt or the session at its next safe
    // point; the waits below end when the link is down.
    TerminationRequest& termination = TerminationRequest::instance();
    if (termination.Requested())
        return false;
    QObject::connect(&termination, &TerminationRequest::Received, m_link.get(), [this, &termination] {
        if (m_interrupted)
            return;
        m_interrupted = true;
        m_context.Complain(QStringLiteral("Interrompido (%1): cancelando e desligando a linha.")
                               .arg(termination.Description()));
        m_link->Encerrar();
    });

    bool ended = false;
    bool connected = false;
    QObject::connect(m_link.get(), &LinkController::ConnectionEnded, m_link.get(), [&](bool ok, bool) {
        // The panel agreed to call back: the job goes on on its call.
        if (m_link->CallBackWorker())
            return;
        ended = true;
        connected = ok;
    });
    QObject::connect(m_link.get(), &LinkController::CallBackEnded, m_link.get(), [&](bool ok) {
        ended = true;
        connected = ok;
    });
    if (!m_link->Conectar(callback))
        return false;
    Audit(AuditAction::Connect, callback ? QStringLiteral("com callback") : QString());
    // The connection worker is supervised (no progress for 6 s, or 25 s once dialled, ends it); the
    // wait for a call back ends when the panel calls or on an interrupt.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (ended)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    if (!connected)
        return false;

    if (!waitFor([this] { return !m_screen->reports.isEmpty(); }))
        return false;
    const TransferReport& read = m_screen->reports.first();
    if (!read.succeeded()) {
        m_context.Complain(QStringLiteral("A programação do painel não foi recebida por completo."));
        return false;
    }
    m_context.Say(QStringLiteral("Programação recebida: %1 blocos.").arg(std::popcount(read.done)));
    return true;
}

int CliPanelSession::ProductCode() const {
    return m_record ? m_record->Images().productCode() : 0;
}

ProgrammingImages& CliPanelSession::Images() {
    return m_record->Images();
}

OnLine* CliPanelSession::Worker() const {
    return m_link ? m_link->OnLineWorker() : nullptr;
}

bool CliPanelSession::ReadStatus(QByteArray* status) {
    OnLine* session = Worker();
    if (!session)
        return false;
    session->PanelStatus.store(QByteArray());
    session->StatusRequest = true;
    if (!waitFor([session] { return !session->StatusRequest && session->PanelStatus.load().size() == 6; }))
        return false;
    *status = session->PanelStatus.load();
    return true;
}

bool CliPanelSession::ReadClock(QByteArray* clock, QString* text) {
    OnLine* session = Worker();
    if (!session)
        return false;
    session->PanelClock.store(QByteArray());
    session->ReadDateTimeRequest = true;
    if (!waitFor([session] { return !session->ReadDateTimeRequest && session->OperationDone; }))
        return false;
    *clock = session->PanelClock.load();
    *text = session->PanelClockText.load();
    return clock->size() == 6;
}

bool CliPanelSession::WriteClock(qint64 offsetMs) {
    OnLine* session = Worker();
    if (!session)
        return false;
    session->ClockOffsetMs = offsetMs;
    session->WriteDateRequest = true;
    if (!waitFor([session] { return !session->WriteDateRequest && session->OperationDone; }))
        return false;
    session->WriteTimeRequest = true;
    return waitFor([session] { return !session->WriteTimeRequest && session->OperationDone; });
}

std::optional<OnLine::CommandOutcome> CliPanelSession::Command(const PanelCommand& command, int repeatLimit) {
    OnLine* session = Worker();
    if (!session || m_interrupted)
        return std::nullopt;
    session->CommandRepeatLimit = repeatLimit;
    RaiseCommand(*session, command);
    if (!waitFor([session] { return !session->CommandRequest && session->OperationDone; }))
        return std::nullopt;
    return session->LastCommandOutcome.load();
}

bool CliPanelSession::SessionRunning() const {
    return Worker() != nullptr && !m_sessionEnded;
}

bool CliPanelSession::waitFor(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    bool result = false;
    const auto check = [&] {
        if (done()) {
            result = true;
            loop.quit();
        } else if (m_sessionEnded || !Worker()) {
            loop.quit();
        }
    };
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start(5);
    check();
    if (!result && !m_sessionEnded && Worker())
        loop.exec();
    return result;
}

QList<TransferReport> CliPanelSession::Write(const ChunkMarks& marks, bool pgmChange, quint8 changedPgms,
                                             bool moduleChanged, int verifyLimit) {
    OnLine* worker = Worker();
    // Nothing more is asked of the panel once the job was told to stop.
    if (!worker || m_interrupted)
        return {};
    const qsizetype before = m_screen->reports.size();
    worker->VerifyLimit = verifyLimit;
    for (int b = 0; b < kMaxBlocks; ++b)
        worker->Chunks[b] = marks.Chunks[b];
    worker->WriteBytes.store(marks.Content);
    worker->Blocks = marks.Blocks;
    if (pgmChange) {
        worker->ChangedPgms = changedPgms;
        worker->PgmModuleChanged = moduleChanged;
        worker->CommandCode = 0x22;
        worker->PgmChangeRequest = true;
    } else {
        worker->WriteProgrammingRequest = true;
    }
    waitFor([worker] {
        return !worker->PgmChangeRequest && !worker->PgmChangeInProgress &&
               !worker->WriteProgrammingRequest && !worker->WriteInProgress;
    });
    return m_screen->reports.mid(before);
}

std::optional<CliPanelSession::EventDownload> CliPanelSession::DownloadEvents() {
    OnLine* worker = Worker();
    if (!worker || m_interrupted)
        return std::nullopt;
    // A panel that started sending its log when the call began is downloaded by the session on its
    // own: that download is the one waited for, not a second one.
    if (!m_link->State().PanelSentBuffer.load())
        worker->ReadBufferRequest = true;
    if (!waitFor([&] { return !m_screen->eventReports.isEmpty(); }))
        return std::nullopt;
    EventDownload result;
    result.report = m_screen->eventReports.last();
    if (m_screen->events) {
        result.stored = m_screen->events->Stored();
        result.alreadyStored = m_screen->events->AlreadyStored();
    }
    return result;
}

void CliPanelSession::HangUp() {
    if (OnLine* worker = Worker()) {
        if (!m_sessionEnded) {
            worker->DisconnectRequest = true;
            waitFor([] { return false; });
        }
    }
}

// --- options -------------------------------------------------------------------------------------

static const bool keepTryingIsAFlag = RegisterCliFlag(QStringLiteral("keep-trying"));
static const bool callbackIsAFlag = RegisterCliFlag(QStringLiteral("callback"));

bool TakePanelOptions(CliContext& context, const QStringList& args, const QStringList& allowed,
                      CliPanelOptions* options) {
    QMap<QString, QString> given;
    QStringList words;
    QString error;
    if (!SplitArguments(args, QStringList{QStringLiteral("customer")} + allowed, &given, &words, &error)) {
        context.WrongUse(error);
        return false;
    }
    if (!words.isEmpty()) {
        context.WrongUse(UnexpectedArgumentText(words.first()));
        return false;
    }
    bool ok = false;
    options->customerId = given.value(QStringLiteral("customer")).toInt(&ok);
    if (!ok || options->customerId <= 0) {
        context.WrongUse(QStringLiteral("Informe o cliente: --customer ID"));
        return false;
    }
    options->out = given.value(QStringLiteral("out"));
    options->templatePath = given.value(QStringLiteral("template"));
    if (given.contains(QStringLiteral("sections")))
        options->sections = given.value(QStringLiteral("sections"));
    options->keepTrying = given.contains(QStringLiteral("keep-trying"));
    options->callback = given.contains(QStringLiteral("callback"));
    return true;
}
