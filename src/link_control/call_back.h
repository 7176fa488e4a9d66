#pragma once

#include "link_control/panel_link_worker.h"

// What the callback wait takes from the settings when it starts.
struct CallBackInputs {
    int Rings = 2;     // NºRings: the modem answers on the ring after this many
    bool Pabx = false; // "Utiliza PABX": a RING within 0.6 s of the start or of an answer waits
};

// The callback wait: after the panel agreed to call back, waits for its call on the same modem,
// answers it after the configured number of rings, waits for the carrier, identifies the panel and
// proves the codes as the connection worker does, and sends proceed. It ends with its end message
// CallBackFim (`WM_CALLBACK_FIM`); the host's handler reads Cancelado (clear = connected) and Erro.
//
// The wait is not supervised: a panel that never calls back keeps it going until the operator
// cancels.
class CallBack : public PanelLinkWorker {
    Q_OBJECT
public:
    CallBack(ConectaAlarmeHost& host, CallBackInputs inputs);

    // The rings the worker waits for before it answers (NºRings, or 2 when it is not above 0).
    int RingsToWait() const { return m_rings; }

Q_SIGNALS:
    // The end message: emitted from the worker thread as its last act.
    void CallBackFim();

protected:
    void run() override;

private:
    void Executa();
    void Inicia();
    // Waits for the rings and the carrier: false when the wait ended without a carrier.
    bool AguardaChamada();
    // One more ring: counted and shown, and answered once the count passes the rings to wait.
    void ContaRing(bool& ringLineAdded, int& count, qint64& lastAnswer);
    void Pisca();
    // Proceed, answered C7 (or 'V', which ends the exchange all the same).
    void Prossegue();
    void TerminaComSucesso(bool skippedToEnd);
    void TerminaComFalha();
    void TerminaComErro() noexcept;

    const CallBackInputs m_inputs;
    int m_rings = 2;
};
