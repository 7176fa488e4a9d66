#include "support/session_host.h"

#include "base/clock.h"
#include "serial/com_port.h"
#include "session/session_send.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

SessionTestHost::SessionTestHost(ComPort* port, QObject* parent) : QObject(parent), dispatcher(port) {
    connect(&tmrOnline, &QTimer::timeout, this, [this] {
        if (worker)
            worker->ResponseTimerExpired();
    });
}

SessionTestHost::~SessionTestHost() {
    if (worker && worker->isRunning()) {
        worker->requestInterruption();
        // Let the worker's last calls into this object run before it goes away.
        waitFor([this] { return ended || worker->isFinished(); }, 20000);
    }
}

OnLine* SessionTestHost::startSession(quint32 blocks) {
    Link().FrameMode = true;
    worker = std::make_unique<OnLine>(*this);
    connect(
        worker.get(), &OnLine::OnLineFim, this,
        [this] {
            worker->wait();
            tmrOnline.stop();
            ended = true;
        },
        Qt::QueuedConnection);
    worker->DisconnectRequest = false;
    worker->ReadDateTimeRequest = false;
    worker->ReadProgrammingRequest = false;
    worker->ReadBufferRequest = false;
    worker->start();
    if (blocks) {
        worker->Blocks = blocks;
        worker->ReadProgrammingRequest = true;
        worker->StatusRequest = true;
    }
    return worker.get();
}

bool SessionTestHost::waitFor(const std::function<bool()>& cond, int realMs) {
    QDeadlineTimer deadline(realMs);
    while (!cond()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qSleep(1);
    }
    return true;
}

std::optional<TransferReport> SessionTestHost::waitForReport(int realMs) {
    if (!waitFor([this] { return reports.size() > m_reportsTaken; }, realMs))
        return std::nullopt;
    return reports.at(m_reportsTaken++);
}

std::optional<EventDownloadReport> SessionTestHost::waitForEventReport(int realMs) {
    if (!waitFor([this] { return eventReports.size() > m_eventReportsTaken; }, realMs))
        return std::nullopt;
    return eventReports.at(m_eventReportsTaken++);
}

bool SessionTestHost::BeginEventDownload(int product) {
    if (!eventDb)
        return true;
    eventStore = std::make_unique<EventStore>(*eventDb, eventCustomer, product, EventCatalogue::Session);
    return eventStore->Begin();
}

bool SessionTestHost::Atualiza_Tabela_Eventos(int index, const QByteArray& record) {
    eventRecordIndexes.append(index);
    return !eventStore || eventStore->StoreRecord(record, eventToday);
}

bool SessionTestHost::SendFrame(const QByteArray& text) {
    sent.append(text);
    return SendFrameWithoutPause(dispatcher, text);
}

void SessionTestHost::ClosePort() {
    dispatcher.ClosePort();
}

bool SessionTestHost::PortOpened() {
    return dispatcher.Modem()->Opened();
}

void SessionTestHost::SetResponseTimerInterval(int logicalMs) {
    tmrOnline.setInterval(Clock::instance().realInterval(logicalMs));
}

void SessionTestHost::StartResponseTimer() {
    tmrOnline.start();
}

void SessionTestHost::StopResponseTimer() {
    tmrOnline.stop();
}

void SessionTestHost::ShowStatusWindow(const StatusWindowContent& content) {
    statusWindowOpen = true;
    statusTexts.append(content.Text);
    if (onStatusShown)
        onStatusShown(content);
}

void SessionTestHost::ShowEfficiency(const QString& figure) {
    figures.append(figure);
    if (onEfficiency)
        onEfficiency(figure);
}

void SessionTestHost::CloseStatusWindow() {
    if (statusWindowOpen) {
        statusWindowOpen = false;
        // The status window's hide handler sets CancelRequested; the worker clears it after.
        Link().CancelRequested = true;
    }
}

bool SessionTestHost::AskContinueTrying() {
    ++retryPrompts;
    return answerRetryPrompt();
}

void SessionTestHost::CloseWindowsForDisconnect() {
    windowsClosedForDisconnect = true;
    customerWindow = false;
}

QByteArray SessionTestHost::ImageBytes(int product, ImageCopy which, int offset, int count) {
    ProgrammingImages& pair = images(product);
    const ProgrammingImage& image = which == ImageCopy::PC ? pair.ImagemPC : pair.ImagemAlarme;
    return image.bytes().mid(offset, count);
}

void SessionTestHost::SetImageBytes(int product, ImageCopy which, int offset, const QByteArray& bytes) {
    ProgrammingImages& pair = images(product);
    ProgrammingImage& image = which == ImageCopy::PC ? pair.ImagemPC : pair.ImagemAlarme;
    for (int i = 0; i < bytes.size() && offset + i < image.size(); ++i)
        image.setByte(offset + i, quint8(bytes[i]));
}

void SessionTestHost::ClearImagemAlarme() {
    images10.clearAlarm();
    images5.clearAlarm();
}
