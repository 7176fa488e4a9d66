#pragma once

#include "link_control/progress_steps.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class LinkCustomerScreen;
class LinkOperator;
class LinkState;
struct DialInputs;

// What the connection worker (`ConectaAlarme`, conecta_alarme.h) needs from the main window. The
// link controller implements it and creates the worker in `IniciaConexao`; tests can implement it
// with a plain object.
//
// Threads. The worker calls Link() and RunOnMain() from its own thread; every other method is
// called only inside a RunOnMain call, that is on the main thread while the worker waits, so an
// implementation is ordinary main-thread code and needs no locking of its own.
//
// End. The worker's last act is its signal ConectaAlarme::ConectaAlarmeFim (the end message
// `WM_CONECTA_ALARME_FIM`); the host connects it with a queued connection.
class ConectaAlarmeHost {
public:
    virtual ~ConectaAlarmeHost() = default;

    // The main window's link state; the same object for the worker's whole life.
    virtual LinkState& Link() = 0;
    // Runs `work` on the main thread and waits for it; an exception `work` throws is rethrown in
    // the caller's thread.
    virtual void RunOnMain(const std::function<void()>& work) = 0;

    // --- main thread only ---
    virtual LinkOperator* Operator() const = 0;
    // The open customer screen, or null when none is open.
    virtual LinkCustomerScreen* CustomerScreen() const = 0;
    // The customer screen's send operation (ReceiveDispatcher::EnviaComando with the dial inputs).
    virtual bool EnviaComando(const QByteArray& command, const DialInputs& dial, QString* error) = 0;
    virtual void ClosePort() = 0;
    // Closes the port, sets the speed and opens it again with nothing left over. Throws when the
    // port cannot be opened.
    virtual void ReopenPort(int baudrate) = 0;
    // Supervision timer: a logical interval starts it, 0 stops it.
    virtual void SetSupervision(qint64 intervalMs) = 0;
    // The warning dialog with a modem or code warning.
    virtual void Mostra_Aviso(int code) = 0;
    // The progress window's step list.
    virtual void StepNext() = 0;
    virtual void StepAdd(const QString& text, StepState state = StepState::Pending) = 0;
    virtual void StepInsertAfterCurrent(const QString& text) = 0;
    // The callback wait's own step changes: a new list, a line inserted at a position, and one
    // line's state (the blinking of the current line while the phone rings).
    virtual void StepsReset(const QStringList& lines) = 0;
    virtual void StepInsert(int position, const QString& text) = 0;
    virtual void StepSetState(int index, StepState state) = 0;
    // Makes sure the port is open for the panel's call back: at 300 baud for a serial modem, at the
    // port's speed for a USB-type modem, with nothing left over from before. A port that cannot be
    // opened is reported to the operator (and the wait goes on: nothing will arrive).
    virtual void AbrePortaCallBack() = 0;
};
