#pragma once

#include "link_control/panel_link_worker.h"
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
class ConectaAlarme : public PanelLinkWorker {
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
    // The commands of a set-up line the modem refused, one at a time (refused ones listed).
    void EnviaUmAUm(const ModemInitStep& step);
    void MudaVelocidade();
    void EnganaSecretaria();
    bool Disca();
    void Prossegue();
    void TerminaComSucesso();
    void TerminaComFalha();
    void TerminaComErro() noexcept;

    const ConnectionInputs m_inputs;
    bool m_codeCheckReached = false; // from the code verification on, the handler closes the port
};
