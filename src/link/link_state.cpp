#include "link/link_state.h"

QByteArray LinkState::RxText() const {
    QMutexLocker lock(&m_rxMutex);
    return m_rxText;
}

void LinkState::SetRxText(const QByteArray& text) {
    QMutexLocker lock(&m_rxMutex);
    m_rxText = text;
}

void LinkState::ClearRxText() {
    QMutexLocker lock(&m_rxMutex);
    m_rxText.clear();
}

void LinkState::SetFrameReady(bool ready) {
    QMutexLocker lock(&m_frameMutex);
    m_frameReady = ready;
    if (!ready)
        m_frameText.clear();
}

QByteArray LinkState::FrameText() {
    QMutexLocker lock(&m_frameMutex);
    if (m_frameText.isEmpty())
        m_frameText = QByteArray(1, '\0');
    return m_frameText;
}

void LinkState::SetFrameText(const QByteArray& text) {
    QMutexLocker lock(&m_frameMutex);
    m_frameText = text;
}

std::optional<QByteArray> LinkState::TakeFrame() {
    QMutexLocker lock(&m_frameMutex);
    if (!m_frameReady.load())
        return std::nullopt;
    QByteArray frame;
    frame.swap(m_frameText);
    m_frameReady = false;
    return frame;
}

void LinkState::DeliverFrame(const QByteArray& frame) {
    QMutexLocker lock(&m_frameMutex);
    m_frameText = frame;
    m_frameReady = !frame.isEmpty();
}

void LinkState::ResetLink() {
    ConectaAlarmeWorker = nullptr;
    CallBackWorker = nullptr;
    ConfigModemWorker = nullptr;
    BufferWorker = nullptr;
    OnLineWorker = nullptr;
    ClearRxText();
    OkReceived = false;
    ModemInitDone = false;
    CallbackPending = false;
    SetFrameReady(false);
    FrameMode = false;
    CancelRequested = false;
    DialPhase = false;
    CallbackRequested = false;
    PanelSentBuffer = false;
    UsbModem = false;
    TimeoutTicks = 0;
    ConnectedProduct = 255;
}
