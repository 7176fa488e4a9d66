#pragma once

#include "app/cli/cli_command.h"
#include "base/operator_messages.h"
#include "base/settings.h"
#include "link_control/link_operator.h"
#include "programming/chunk_marks.h"
#include "session/online_host.h"
#include "session/online_worker.h"
#include "session/panel_commands.h"
#include "store/audit_log.h"
#include "store/data_module.h"

#include <QList>
#include <QSet>

#include <memory>

class CustomerRecord;
class LinkController;
class OnLine;
class ProgrammingImages;
class TCiaComPort;

// The operator of the command line: the link's messages and the connection steps printed as they
// come, questions answered from the command's flags. It is the program's messenger while it lives.
class CliLinkOperator : public LinkOperator, public OperatorMessenger {
public:
    CliLinkOperator(CliContext& context, bool keepTrying)
        : m_context(context), m_keepTrying(keepTrying), m_messenger(this) {}

    QString LastEfficiency() const { return m_efficiency; }

    // Messages are printed (information to the output, the rest to the errors). The retry prompt
    // is answered Yes only with --keep-trying; any other question (the version question) No, which
    // changes nothing.
    OperatorAnswer Show(QObject* context, const OperatorMessage& message) override;
    void SetBusyCursor(bool) override {}
    void ProgressShow() override {}
    void ProgressClose() override {}
    void ProgressSteps(const QList<ProgressStep>& steps) override;
    void ProgressSetCancelEnabled(bool) override {}
    void ProgressSetBar(bool, int, int, int) override {}
    void ProgressSetSecondRingButton(bool) override {}
    void ProgressSetText(const QString& text) override;
    void StatusShow(const QString& text, bool showGauge, int gaugeMin, int gaugeMax) override;
    void StatusSetGauge(int) override {}
    void StatusSetEfficiency(bool visible, const QString& figure) override;
    void StatusClose() override {}

private:
    CliContext& m_context;
    bool m_keepTrying;
    QSet<QString> m_stepsShown;
    QString m_efficiency;
    ScopedOperatorMessenger m_messenger;
};

// A connection to a stored customer's panel made the way the customer screen makes it (the link
// controller, its connection worker and the session worker), for the commands that read and write
// the programming. The customer's rows are read, never written.
class CliPanelSession {
public:
    explicit CliPanelSession(CliContext& context);
    ~CliPanelSession();

    // Opens the database and the customer. False, with the reason printed, when either fails.
    bool Open(int customerId);

    // Opens the database and the customer (unless Open did), reads the settings (--port N and
    // --device PATH given before the command override the port and its device), connects, and
    // waits for the read of the whole programming that follows every connection. False, with the
    // reason printed, when any of it fails; the line is then down. With `callback` the panel is
    // asked to call back, and the job goes on on its call; a panel that asks to call back by itself
    // is waited for as well.
    bool ConnectAndRead(int customerId, bool keepTrying, bool callback = false);

    int ProductCode() const;
    ProgrammingImages& Images();
    OnLine* Worker() const;
    QString LastEfficiency() const { return m_operator ? m_operator->LastEfficiency() : QString(); }

    // Writes the marked chunks (through the PGM change procedure when `pgmChange`) and waits until
    // everything it raised is over. The reports of every write it caused are returned; the
    // command-line program stops a block that does not read back equal after `verifyLimit` rounds.
    QList<TransferReport> Write(const ChunkMarks& marks, bool pgmChange, quint8 changedPgms,
                                bool moduleChanged, int verifyLimit);

    // Asks for the panel's status and waits for it: s0..s5. False when the session ended first.
    bool ReadStatus(QByteArray* status);
    // Reads the panel's date and time: the six bytes and their text. False when the session ended.
    bool ReadClock(QByteArray* clock, QString* text);
    // Writes the date and then the time, `offsetMs` away from the computer's clock.
    bool WriteClock(qint64 offsetMs);
    // Sends a remote command and waits for its end: how it ended (the status showed its effect
    // within `repeatLimit` answers, the panel answered without it, did not answer). Nothing when the
    // session ended first.
    std::optional<OnLine::CommandOutcome> Command(const PanelCommand& command, int repeatLimit);
    // Downloads the panel's event log into BUFFER_EVENTOS and waits for the end of the download:
    // its report and the events stored and found already stored. Nothing when the session ended
    // before the download did. Once per session.
    struct EventDownload {
        EventDownloadReport report;
        int stored = 0;
        int alreadyStored = 0;
    };
    std::optional<EventDownload> DownloadEvents();

    // Adds a row to the audit record for the open customer and the command's operator.
    void Audit(AuditAction action, const QString& details = {});

    // Hangs up and waits for the session to end.
    void HangUp();
    bool SessionRunning() const;
    // An interrupt or a termination request came: the job is stopping.
    bool Interrupted() const { return m_interrupted; }

private:
    class Screen;
    // Runs the event loop until `done` holds or the session ended; false when it ended first.
    bool waitFor(const std::function<bool()>& done);

    CliContext& m_context;
    TdmBancoDeDados m_dm;
    std::unique_ptr<CustomerRecord> m_record;
    Settings m_settings;
    std::unique_ptr<TCiaComPort> m_port;
    std::unique_ptr<CliLinkOperator> m_operator;
    std::unique_ptr<Screen> m_screen;
    std::unique_ptr<LinkController> m_link;
    bool m_sessionEnded = false;
    bool m_interrupted = false;
};

// The settings file with the port chosen before the command word (--port N, --device PATH). False,
// with the reason printed, for a port that does not exist.
bool ReadCliPortSettings(CliContext& context, Settings* settings);

// Options of the programming commands, after the command word.
struct CliPanelOptions {
    int customerId = 0;
    QString out;
    QString templatePath;
    std::optional<QString> sections; // --sections zonas,tempos,...
    bool keepTrying = false;
    bool callback = false; // --callback: the panel calls back before the session
};
// Reads --customer ID (required) and the options named in `allowed` ("out", "template",
// "sections", "keep-trying", "callback"). False, with the reason printed, on a malformed line.
bool TakePanelOptions(CliContext& context, const QStringList& args, const QStringList& allowed,
                      CliPanelOptions* options);
