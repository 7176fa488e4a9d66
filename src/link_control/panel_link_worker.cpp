#include "link_control/panel_link_worker.h"

#include "base/clock.h"
#include "link/frame_codec.h"
#include "link/receive_dispatcher.h"
#include "link_control/conecta_alarme_host.h"
#include "link_control/link_operator.h"
#include "programming/product_codes.h"

namespace {

constexpr qint64 PollMs = 5;
constexpr qint64 CodeRoundMs = 1000;
constexpr int MaxCodeRepeats = 5;

} // namespace

void PanelLinkWorker::Rodada(qint64 roundMs, int count, qint64 pauseMs,
                             const std::function<void(const QByteArray&)>& onAnswer) {
    LinkState& state = m_host.Link();
    const Clock& clock = Clock::instance();
    const qint64 start = clock.nowMs();
    while (clock.nowMs() - start < roundMs) {
        if (Stopping())
            return;
        if (const std::optional<QByteArray> frame = state.TakeFrame()) {
            Sleep(pauseMs);
            if (const std::optional<QByteArray> slice = FrameCodec::AnswerSlice(*frame, count))
                onAnswer(*slice);
        } else {
            Sleep(PollMs);
        }
    }
}

void PanelLinkWorker::Identifica(qint64 roundMs, NullProduct nullProduct) {
    LinkState& state = m_host.Link();
    const QByteArray request = FrameCodec::BuildShortCommand(FrameCodec::CmdIdentify);
    EnviaComando(request);
    Sleep(FramePauseMs);
    for (;;) {
        m_retry = true;
        Rodada(roundMs, FrameCodec::IdentifySlice, 2 * AfterFramePauseMs, [&](const QByteArray& s) {
            const quint8 type = quint8(s.at(0));
            if (type == FrameCodec::TypeNak) {
                m_retry = true;
                return;
            }
            if (type != FrameCodec::TypeIdentify || s.size() < FrameCodec::IdentifySlice)
                return;
            const quint8 product = quint8(s.at(1));
            state.ReceivedVersion.store(FrameCodec::DecodeVersion(quint8(s.at(2))));
            state.ConnectedProduct = product;
            state.Orvan9Max = product == 4;

            QString produto;
            QByteArray panelCode;
            OnMain([&] {
                LinkCustomerScreen* screen = m_host.CustomerScreen();
                if (!screen)
                    throw LinkWorkerError(QStringLiteral("no customer screen"));
                produto = screen->Produto();
                panelCode = FrameCodec::PackCode(screen->CodigoPainel());
            });
            if (produto.isNull() && nullProduct == NullProduct::Fail)
                throw LinkWorkerError(QStringLiteral("PRODUTO is empty"));
            const int stored = produto.isNull() ? product : ProductCodeOf(produto);
            if (stored < 0)
                throw LinkWorkerError(QStringLiteral("PRODUTO is not a product code"));
            if (stored != product) {
                MostraAviso(9);
                Cancelado = true;
            }
            if (s.mid(3, 2) != panelCode) {
                MostraAviso(10);
                Cancelado = true;
            }
            m_retry = false;
        });
        if (!m_retry || Stopping())
            break;
        EnviaComando(request);
        Sleep(FramePauseMs);
    }
    if (!Stopping())
        ProximoPasso();
    state.TimeoutTicks = 0;
}

QByteArray PanelLinkWorker::FrameDeCodigos() {
    QByteArray frame;
    OnMain([&] {
        LinkCustomerScreen* screen = m_host.CustomerScreen();
        if (!screen)
            throw LinkWorkerError(QStringLiteral("no customer screen"));
        frame = FrameCodec::BuildCodeFrame(screen->CodigoPainel(), screen->CodigoPC());
    });
    return frame;
}

void PanelLinkWorker::VerificaCodigos() {
    LinkState& state = m_host.Link();
    QByteArray frame = FrameDeCodigos();
    if (frame.isEmpty()) {
        // The panel code matched the panel's own, so the PC code is not four digits: the panel
        // could only refuse it.
        MostraAviso(11);
        Cancelado = true;
        return;
    }
    EnviaComando(frame);
    Sleep(FramePauseMs);
    state.TimeoutTicks = 0;
    int repeats = 0;
    for (;;) {
        m_retry = true;
        Rodada(CodeRoundMs, FrameCodec::ShortAnswerSlice, AfterFramePauseMs, [&](const QByteArray& s) {
            switch (quint8(s.at(0))) {
            case FrameCodec::TypeAck:
                m_retry = false;
                break;
            case FrameCodec::TypeNak:
                if (repeats < MaxCodeRepeats) {
                    m_retry = true;
                } else {
                    MostraAviso(11);
                    Sleep(3000);
                    m_retry = false;
                    Cancelado = true;
                }
                break;
            case FrameCodec::TypeCallback:
                m_retry = false;
                state.CallbackPending = true;
                state.IgnoreNoCarrier = true;
                state.CallbackRequested = false;
                Cancelado = true;
                break;
            default:
                break;
            }
        });
        if (!m_retry || Stopping()) {
            state.TimeoutTicks = 0;
            return;
        }
        ++repeats;
        frame = FrameDeCodigos();
        EnviaComando(frame);
        Sleep(FramePauseMs);
    }
}

void PanelLinkWorker::EnviaComando(const QByteArray& command, const std::function<void()>& before,
                                   const std::function<void()>& after) {
    Comando = command;
    // Once the attempt is over (cancelled, stopped) no frame goes to the panel and nothing is
    // dialled; the commands that abandon a call still go. Looked at on the main thread, where the
    // cancel is raised, so that a cancel during the pause before a send is never too late.
    const bool forThePanel = command.startsWith(char(FrameCodec::StartByte)) || command.startsWith("ATD");
    OnMain([&] {
        if (forThePanel && Stopping())
            return;
        LinkCustomerScreen* screen = m_host.CustomerScreen();
        const DialInputs dial{DigitoPABX, PausaHabilitada, screen ? screen->FonePainel() : QString()};
        if (before)
            before();
        QString error;
        if (!m_host.EnviaComando(command, dial, &error))
            throw LinkWorkerError(error);
        if (after)
            after();
    });
}

void PanelLinkWorker::ProximoPasso() {
    OnMain([&] { m_host.StepNext(); });
}

void PanelLinkWorker::MostraAviso(quint8 code) {
    CodigoAviso = code;
    OnMain([&] { m_host.Mostra_Aviso(code); });
}
