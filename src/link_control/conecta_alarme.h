#pragma once

#include "link_control/link_worker.h"
#include "serial/modem_init_list.h"

#include <QByteArray>
#include <QString>

#include <atomic>

// What a connection attempt takes from the settings, read when it starts.
struct ConnectionInputs {
    ModemInitList InitList; // the connection's modem initialisation list
    QByteArray DialCommand; // "ATDT" or "ATDP"
    bool HabilitaPausa = false;
    QString Digito; // the outside-line digit
    int NAT = 0;    // NºAT, the count of advanced lines
    // Longest wait for the modem's answer to the dial (LinkController::DialResultLimitMs).
    qint64 DialResultLimitMs = 300'000;
};

// The connection worker: initialises the modem, optionally defeats an answering machine on the
// panel's line, dials, waits for the carrier, identifies the panel, proves the panel code and the
// PC code, and proceeds into a session or asks the panel to call back. It ends with its end
// message ConectaAlarmeFim (`WM_CONECTA_ALARME_FIM`); the host's handler reads Cancelado
// (clear = connected), Erro and the link's CallbackPending.
//
// The steps run straight through in run(), one phase per function, in the order the operator sees
// them in the progress window.
class ConectaAlarme : public LinkWorker {
    Q_OBJECT
public:
    ConectaAlarme(ConectaAlarmeHost& host, ConnectionInputs inputs);

    // The operator pressed "Pressione aqui no segundo ring".
    std::atomic<bool> SegundoRing{false};

Q_SIGNALS:
    // The end message: emitted from the worker thread as its last act, after every call on the
    // main thread has returned.
    void ConectaAlarmeFim();

protected:
    void run() override;

private:
    void Executa();
    // The phases, in order. The two that can end the attempt by themselves return false then;
    // after the others the worker looks at Stopping().
    bool InicializaModem();
    void MudaVelocidade();
    void EnganaSecretaria();
    bool Disca();
    void Identifica();
    void VerificaCodigos();
    void Prossegue();
    void TerminaComSucesso();
    void TerminaComFalha();
    void TerminaComErro() noexcept;

    // The customer screen's send operation: "ATDT"/"ATDP" expanded to the dial line, a 300 ms pause
    // before the write. `before` and `after` run on the main thread in the same call, just before
    // and just after the write, so no received byte is handled in between.
    void EnviaComando(const QByteArray& command, const std::function<void()>& before = {},
                      const std::function<void()>& after = {});
    // A frame round: polls the mailbox for `roundMs`, handing each frame's answer slice of `count`
    // bytes (checked) to `onAnswer`, after `pauseMs` of pause once the frame is taken.
    void Rodada(qint64 roundMs, int count, qint64 pauseMs,
                const std::function<void(const QByteArray&)>& onAnswer);
    QByteArray FrameDeCodigos();
    void ProximoPasso();
    void MostraAviso(quint8 code);

    const ConnectionInputs m_inputs;
    QByteArray Comando; // the last command or frame handed to the send operation
    QString DigitoPABX; // the outside-line digit, when the pause is enabled
    bool PausaHabilitada = false;
    bool m_codeCheckReached = false; // from the code verification on, the handler closes the port
    bool m_retry = false;            // the retry mark of a round
    QByteArray m_refusedInitLine;    // the set-up line the modem answered ERROR, until an "OK" follows
};
