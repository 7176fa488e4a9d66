#pragma once

#include "link/link_state.h"

#include <QByteArray>
#include <QThread>

#include <atomic>
#include <functional>
#include <stdexcept>

class ConectaAlarmeHost;

// An unexpected failure inside a link worker (a send on a closed port, a customer value that
// cannot be read): the worker ends through its error path (Erro set).
class LinkWorkerError : public std::runtime_error {
public:
    explicit LinkWorkerError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Base of the modem-phase workers (connection, callback wait): a thread running straight-line
// code that never reads the port. It polls the link state and its own flags, and runs every send
// and every window update on the main thread through its host while it waits.
//
// Termination is cooperative: the supervisor "terminates" a worker with requestInterruption(),
// which every wait below notices.
class LinkWorker : public QThread, public ModemWorkerLink {
    Q_OBJECT
public:
    // The attempt is over without success (cancel, time-out, failure, or callback agreed).
    std::atomic<bool> Cancelado{false};
    // An unexpected error ended the attempt.
    std::atomic<bool> Erro{false};
    // Warning code handed to Mostra_Aviso.
    std::atomic<quint8> CodigoAviso{0};
    // The supervision timer ended the attempt (no progress within its tick limit). The worker's
    // way out tells the operator that the modem or the panel does not respond.
    std::atomic<bool> SupervisionExpired{false};

    // Terminated or cancelled: every wait ends.
    bool Stopping() const { return Cancelado.load() || isInterruptionRequested(); }

protected:
    explicit LinkWorker(ConectaAlarmeHost& host);

    // Runs `work` on the main thread and waits; an exception it throws is rethrown here.
    void OnMain(const std::function<void()>& work);
    // The same, for the last calls of an error path: never throws.
    void OnMainQuietly(const std::function<void()>& work) noexcept;

    // Sleeps the given logical time; the sleeps that end early stop when the worker is stopping.
    void Sleep(qint64 ms) const;
    // Returns false when the worker was stopping before the time was up.
    bool SleepUnlessStopping(qint64 ms) const;
    // Polls `condition` until it holds (true) or the worker is stopping (false).
    bool WaitUntil(const std::function<bool()>& condition) const;

    ConectaAlarmeHost& m_host;
};
