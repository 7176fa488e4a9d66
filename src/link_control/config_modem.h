#pragma once

#include "link_control/link_worker.h"
#include "link_control/thread_buffer.h"
#include "serial/modem_init_list.h"

// What the modem set-up for waiting on panel calls takes from the settings when it starts.
struct ConfigModemInputs {
    ModemInitList InitList; // the configuration's list (auto-answer off, "S00=000")
    int NAT = 0;            // NºAT, the count of advanced lines the loop bounds count from
};

// Prepares the modem before the program waits for panels to call in with their log: sends the
// configuration list one line per "OK" (a line answered ERROR again command by command, leaving
// out and telling the refused ones: ListeningNotice), showing the status window "Configurando o modem." with
// a gauge and "Cancelar", and ends with its end message ConfigModemFim (`WM_CONFIG_MODEM_FIM`). The handler
// reads Cancelado (clear = the modem is ready) and Erro.
//
// The supervision timer runs while it works: six ticks without an answer cancel it and it tells
// the operator "O Modem não responde".
class ThreadConfigModem : public LinkWorker {
    Q_OBJECT
public:
    ThreadConfigModem(ConectaAlarmeHost& host, BufferWorkerHost& sends, ConfigModemInputs inputs);

    // The status window's text while the modem is set up.
    static QString StatusText();

Q_SIGNALS:
    // The end message: emitted from the worker thread as its last act.
    void ConfigModemFim();

protected:
    void run() override;

private:
    void Executa();
    // Sends one line through the main window's send operation (`after` runs on the main thread
    // right after the write); its closing pause runs on this thread. A `fresh` line first empties
    // the receive accumulator and the result code: what is there answered earlier lines.
    void Envia(const QByteArray& line, const std::function<void()>& after = {}, bool fresh = false);
    // The commands of a line the modem refused, one at a time; each refused one is told.
    void EnviaUmAUm(const ModemInitStep& step);
    void TerminaComFalha();
    void TerminaComErro() noexcept;

    BufferWorkerHost& m_sends;
    const ConfigModemInputs m_inputs;
};
