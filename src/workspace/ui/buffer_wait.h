#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class DbBufferReceiver;
class LinkController;
class TfrmPrincipal;
struct BufferCallReport;

// "Aguarda Buffer" of the main window joined to the link: the listening set-up's checks (someone
// to be called by, no panel code shared, or the operator goes on all the same), the modem set-up
// and the reception workers of the link controller, the logs stored into the main window's
// database, and what the main window shows meanwhile (the entries that cannot be used while
// listening are disabled, the ring indication stays up, each call is told in the status bar and
// the call log, never in a message box).
class CallLog;

class BufferWait : public QObject {
    Q_OBJECT
public:
    BufferWait(TfrmPrincipal& main, LinkController& link);
    ~BufferWait() override;

    // Switching listening on; false (the caller releases the button) when a check or the port
    // stopped it.
    bool Start();
    // Switching it off.
    void Stop();
    bool Listening() const;
    // The program is ending: a call being received is stopped (what it stored stays) and the
    // reception worker has ended when this returns, before the port and the database close.
    void Shutdown();
    // The list of this run's calls; null until listening was first switched on.
    CallLog* Calls() const { return m_callLog; }

Q_SIGNALS:
    // Listening ended by itself (the modem set-up failed or was cancelled).
    void Ended();

private:
    bool customersCanBeTold();
    void setListeningState(bool listening);
    void callEnded(const BufferCallReport& report);

    TfrmPrincipal& m_main;
    QPointer<LinkController> m_link;
    std::unique_ptr<DbBufferReceiver> m_receiver;
    bool m_stopping = false;
    CallLog* m_callLog = nullptr;
};
