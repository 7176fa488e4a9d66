#include "link/receive_dispatcher.h"

#include "base/clock.h"
#include "base/run_on_thread.h"
#include "link/frame_codec.h"
#include "serial/com_port.h"
#include "serial/line_tap.h"

#include <QMetaObject>
#include <QThread>

#include <initializer_list>

namespace {

constexpr qint64 MainSendPauseMs = 100;
constexpr qint64 DialSendPauseMs = 300;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

ModemWorkerLink* firstOf(std::initializer_list<ModemWorkerLink*> workers) {
    for (ModemWorkerLink* w : workers) {
        if (w)
            return w;
    }
    return nullptr;
}

} // namespace

ReceiveDispatcher::ReceiveDispatcher(ComPort* port, QObject* parent) : QObject(parent), m_port(port) {
    connect(m_port, &ComPort::DataAvailable, this, &ReceiveDispatcher::ModemDataAvailable);
}

bool ReceiveDispatcher::HasResultWord(const QByteArray& text, const char* word) {
    return text.contains(word);
}

quint8 ReceiveDispatcher::NumericResult(int number) {
    switch (number) {
    case ResultOk:
    case ResultConnect:
    case ResultRing:
    case ResultNoCarrier:
    case ResultError:
    case ResultNoDialTone:
    case ResultBusy:
    case ResultNoAnswer:
        return quint8(number);
    default:
        // A Hayes modem that reports the line speed answers CONNECT with its own number ("5" for
        // 1200 bit/s, "9" for 600, "10" to "19" for 2400 to 115200, "28" on some for 38400).
        if (number == 5 || (number >= 9 && number <= 19) || number == 28)
            return ResultConnect;
        return ResultUnknown;
    }
}

bool ReceiveDispatcher::HasResultCode(const QByteArray& text, quint8 code) {
    // A result is a whole line of digits, ended by CR or LF; a line still arriving does not count
    // yet, and digits inside an echoed command line ("ATS0=1") never do.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineEnd(text[i]))
            continue;
        const QByteArray line = text.mid(start, i - start);
        start = i + 1;
        if (line.isEmpty() || line.size() > 3)
            continue;
        bool digits = true;
        for (char c : line)
            digits = digits && c >= '0' && c <= '9';
        if (digits && NumericResult(line.toInt()) == code)
            return true;
    }
    return false;
}

void ReceiveDispatcher::ModemDataAvailable() {
    const QByteArray bytes = m_port->ReadAll();
    const bool screenOpen = CustomerScreenOpen && CustomerScreenOpen();
    bool resumeBufferWorker = false;
    bool ring = false;
    {
        QMutexLocker lock(&m_state.m_rxMutex);
        QByteArray& rx = m_state.m_rxText;
        rx += bytes;

        // A "NO CARRIER" the connection or callback worker announced as expected (the panel hangs
        // up to call back, or the first call of the answering-machine bypass is abandoned).
        discardNoCarrier(m_state.CallBackWorker.load(), rx);
        discardNoCarrier(m_state.ConectaAlarmeWorker.load(), rx);

        const bool frameMode = m_state.FrameMode.load();
        if (frameMode)
            cutFrames(rx);

        const bool modemWorker = m_state.ConectaAlarmeWorker.load() || m_state.CallBackWorker.load() ||
                                 m_state.ConfigModemWorker.load() || m_state.BufferWorker.load();
        if (modemWorker && !frameMode)
            resumeBufferWorker = recogniseResults(rx);
        else if (!screenOpen)
            ring = HasResultWord(rx, "RING") || HasResultCode(rx, ResultRing);
        // Nobody consumes the text while the port is open and idle: keep only its end (enough for a
        // result word split across arrivals) so a modem left talking cannot grow it without bound.
        if (!modemWorker && !frameMode && rx.size() > IdleTailBytes)
            rx = rx.right(IdleTailBytes);
    }
    if (!m_state.ConectaAlarmeWorker.load())
        m_state.OkReceived = false;

    // The hooks run without the accumulator's lock, so they may empty it.
    if (resumeBufferWorker && ResumeBufferWorker) {
        ModemWorkerLink* worker = m_state.BufferWorker.load();
        if (ResumeBufferWorker()) {
            if (worker)
                worker->Suspended = false;
        } else {
            m_state.BufferWorker = nullptr;
        }
    }
    if (ring)
        Q_EMIT RingIndicated();
}

void ReceiveDispatcher::discardNoCarrier(ModemWorkerLink* worker, QByteArray& rx) {
    if (worker && m_state.IgnoreNoCarrier.load() &&
        (HasResultWord(rx, "NO CARRIER") || HasResultCode(rx, ResultNoCarrier))) {
        rx.clear();
        m_state.IgnoreNoCarrier = false;
    }
}

void ReceiveDispatcher::noteOutsideFrames(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    // Only bytes that belong to no frame are looked at: a frame's data may hold any byte values.
    m_outsideFrames += bytes;
    if (m_outsideFrames.size() > OutsideFramesKept)
        m_outsideFrames = m_outsideFrames.right(OutsideFramesKept);
    // The modem's NO CARRIER as a word or as its digit alone on a line.
    if (m_outsideFrames.contains("NO CARRIER") || m_outsideFrames.contains("\n3\r") ||
        m_outsideFrames.contains("\r3\r")) {
        m_state.CarrierLost = true;
        m_outsideFrames.clear();
    }
}

void ReceiveDispatcher::cutFrames(QByteArray& rx) {
    const QByteArray header(FrameCodec::Header);
    while (!rx.isEmpty()) {
        const qsizetype from = rx.indexOf(header);
        if (from < 0) {
            // No whole header: keep only what may be the start of one ("Z" or "ZR" at the end).
            const qsizetype kept = rx.endsWith(header.left(2)) ? 2 : rx.endsWith(header.left(1)) ? 1 : 0;
            noteOutsideFrames(QByteArrayView(rx).first(rx.size() - kept));
            rx = rx.right(kept);
            return;
        }
        // Bytes before the header can never belong to a frame.
        noteOutsideFrames(QByteArrayView(rx).first(from));
        rx.remove(0, from);
        if (rx.size() <= FrameCodec::HeaderSize)
            return; // wait for the type byte
        const int length = FrameCodec::FrameLength(quint8(rx[FrameCodec::HeaderSize]));
        if (length == 0) {
            // A type the program does not accept: this "ZRV" is not a frame. Look further on, so
            // that a real frame behind it is still found.
            rx.remove(0, 1);
            continue;
        }
        if (rx.size() < length)
            return; // wait for the rest of the frame
        // Deliver the frame; whatever came after it in the accumulator is dropped with it.
        if (LineTap* tap = LineTap::Current())
            tap->FrameDelivered(rx.left(length));
        m_state.DeliverFrame(rx.left(length));
        m_outsideFrames.clear();
        noteOutsideFrames(QByteArrayView(rx).sliced(length));
        rx.clear();
        return;
    }
}

bool ReceiveDispatcher::recogniseResults(QByteArray& rx) {
    ModemWorkerLink* const target =
        firstOf({m_state.ConectaAlarmeWorker.load(), m_state.CallBackWorker.load(),
                 m_state.ConfigModemWorker.load(), m_state.BufferWorker.load()});
    const auto found = [&rx](const char* word, quint8 code) {
        return HasResultWord(rx, word) || HasResultCode(rx, code);
    };
    bool resume = false;

    // Several results may be present in one pass: each is stored in turn, the last one wins. A
    // number the program does not know comes first, so that any known result overrides it.
    if (HasResultCode(rx, ResultUnknown))
        target->ResultCode = ResultUnknown;
    if (found("CONNECT", ResultConnect)) {
        target->ResultCode = ResultConnect;
        m_state.CarrierLost = false;
        rx.clear();
    }
    if (found("OK", ResultOk)) {
        rx = "OK";
        m_state.OkReceived = true;
        target->ResultCode = ResultOk;
    }
    if (found("RING", ResultRing)) {
        target->ResultCode = ResultRing;
        if (target == m_state.BufferWorker.load() && target->Suspended.load())
            resume = true;
    }
    static const struct {
        const char* word;
        ModemResult code;
    } failures[] = {
        {"NO CARRIER", ResultNoCarrier},    {"ERROR", ResultError},
        {"NO DIAL TONE", ResultNoDialTone}, {"BUSY", ResultBusy},
        {"NO ANSWER", ResultNoAnswer},
    };
    for (const auto& f : failures) {
        if (found(f.word, f.code))
            target->ResultCode = f.code;
    }

    if (rx == "OK") {
        ModemWorkerLink* const initWorker =
            firstOf({m_state.ConectaAlarmeWorker.load(), m_state.CallBackWorker.load(),
                     m_state.ConfigModemWorker.load()});
        if (initWorker && initWorker->IndiceComando.load() > initWorker->NumComandos.load())
            m_state.ModemInitDone = true;
        rx.clear();
    }
    return resume;
}

bool ReceiveDispatcher::send(const QByteArray& text, QString* error) {
    try {
        m_port->ClearOutputQueue();
        m_port->PurgeOutput();
        m_port->WriteText(text);
    } catch (const ECiaComPort& e) {
        if (error)
            *error = e.message();
        return false;
    }
    return true;
}

bool ReceiveDispatcher::EnviaComando(const QByteArray& text, QString* error) {
    if (QThread::currentThread() != thread()) {
        bool sent = false;
        RunBlockingOn(this, [&] { sent = EnviaComando(text, error); });
        return sent;
    }
    if (!send(text, error))
        return false;
    Clock::instance().sleepMs(MainSendPauseMs);
    m_state.OkReceived = false;
    return true;
}

bool ReceiveDispatcher::EnviaComando(const QByteArray& text, const DialInputs& dial, QString* error) {
    if (QThread::currentThread() != thread()) {
        bool sent = false;
        RunBlockingOn(this, [&] { sent = EnviaComando(text, dial, error); });
        return sent;
    }
    const QByteArray command = ExpandDialCommand(text, dial);
    Clock::instance().sleepMs(DialSendPauseMs);
    if (!send(command, error))
        return false;
    m_state.OkReceived = false;
    return true;
}

QByteArray ReceiveDispatcher::ExpandDialCommand(const QByteArray& text, const DialInputs& dial) {
    if (text != "ATDT" && text != "ATDP")
        return text;
    QByteArray command = text;
    if (dial.HabilitaPausa)
        command += dial.Digito.toLatin1() + ',';
    command += dial.FonePainel.toLatin1() + ";ATA\r";
    return command;
}

bool ReceiveDispatcher::ClosePort() {
    return m_port->CloseReportingState();
}
