#pragma once

#include "link_control/link_worker.h"

#include <QByteArray>
#include <QString>

#include <functional>

// What the connection worker and the callback wait share once a carrier is up: the send
// operation, the 1-s answer rounds, the panel's identification and the proof of the panel code and
// the PC code. Both workers run the same exchange; only what surrounds it differs.
class PanelLinkWorker : public LinkWorker {
    Q_OBJECT
protected:
    // The pauses and ticks both workers keep with the panel and the modem (logical ms).
    static constexpr qint64 SupervisionTickMs = 1000;
    static constexpr qint64 KeepAliveMs = 3000;
    static constexpr qint64 FramePauseMs = 500;
    static constexpr qint64 AfterFramePauseMs = 300;
    explicit PanelLinkWorker(ConectaAlarmeHost& host) : LinkWorker(host) {}

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

    // How a customer without a stored product (PRODUTO null) is taken.
    enum class NullProduct { TakeReceived, Fail };
    // The panel tells its product, version and panel code in answer rounds of `roundMs`; both must
    // match the customer (warnings 9 and 10 otherwise).
    void Identifica(qint64 roundMs, NullProduct nullProduct);
    // The code frame proves both codes; the panel may refuse the PC code up to five repeats
    // (warning 11), or ask to call back by itself ('V': CallbackPending).
    void VerificaCodigos();

    QByteArray Comando; // the last command or frame handed to the send operation
    QString DigitoPABX; // the outside-line digit, when the pause is enabled
    bool PausaHabilitada = false;
    bool m_retry = false; // the retry mark of a round
};
