#pragma once

#include "link/receive_dispatcher.h"
#include "programming/programming_images.h"
#include "session/online_host.h"
#include "session/online_worker.h"
#include "store/event_store.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class ComPort;

// A main window for the session worker in tests: the dispatcher on a given port (the program's end
// of a line to a simulated panel), the response timer, the two pairs of programming images and an
// operator whose answers the test scripts. Everything it is told is recorded for the test to check.
class SessionTestHost : public QObject, public OnLineHost {
    Q_OBJECT
public:
    explicit SessionTestHost(ComPort* port, QObject* parent = nullptr);
    ~SessionTestHost() override;

    ReceiveDispatcher dispatcher;
    QTimer tmrOnline;
    ProgrammingImages images10{1};
    ProgrammingImages images5{2};
    ProgrammingImages& images(int product) { return product == 2 ? images5 : images10; }

    // Creates and starts the worker as Inicia_OnLine and the connection's end handler do: frame mode
    // on, the worker started, then Blocks, ReadProgrammingRequest and StatusRequest when `blocks`
    // is not 0.
    OnLine* startSession(quint32 blocks);
    std::unique_ptr<OnLine> worker;
    bool ended = false; // OnLineFim arrived and the thread was waited for
    // Waits (processing events) until cond() holds or `realMs` pass.
    static bool waitFor(const std::function<bool()>& cond, int realMs = 20000);
    bool waitForEnd(int realMs = 20000) {
        return waitFor([this] { return ended; }, realMs);
    }
    // Waits for the next transfer report.
    std::optional<TransferReport> waitForReport(int realMs = 60000);

    // --- the operator ---
    std::function<bool()> answerRetryPrompt = [] { return false; };
    // Called whenever the status window is shown (the operator may press "Cancelar" from here).
    std::function<void(const StatusWindowContent&)> onStatusShown;
    // Called with every figure the status window shows.
    std::function<void(const QString&)> onEfficiency;

    // --- what the host was told ---
    int retryPrompts = 0;
    QStringList statusTexts;
    QStringList figures;
    QList<TransferReport> reports;
    QList<QByteArray> statuses;
    QStringList panelClockTexts;
    bool statusWindowOpen = false;
    bool onLineIndicator = false;
    bool closeButtonEnabled = true;
    bool windowsClosedForDisconnect = false;
    bool customerWindow = true;
    std::optional<int> customerProduct;
    QList<QByteArray> sent; // every text given to SendFrame

    // --- OnLineHost ---
    LinkState& Link() override { return dispatcher.State(); }
    bool SendFrame(const QByteArray& text) override;
    void ClosePort() override;
    bool PortOpened() override;
    void SetResponseTimerInterval(int logicalMs) override;
    void StartResponseTimer() override;
    void StopResponseTimer() override;
    void ShowStatusWindow(const StatusWindowContent& content) override;
    void SetStatusGauge(int position) override { gauge = position; }
    void ShowEfficiency(const QString& figure) override;
    void CloseStatusWindow() override;
    bool AskContinueTrying() override;
    bool CustomerWindowExists() override { return customerWindow; }
    std::optional<int> CustomerProduct() override { return customerProduct; }
    void SetCloseButtonEnabled(bool enabled) override { closeButtonEnabled = enabled; }
    void SetOnLineIndicator(bool online) override { onLineIndicator = online; }
    void RefreshMonitoringView() override {}
    void Atualiza_Monitorando(const QByteArray& panelStatus) override { statuses.append(panelStatus); }
    void ShowPanelDateTime(const QByteArray&, const QString& text) override { panelClockTexts.append(text); }
    void ClearBufferDownloading() override {}
    void RepaintProgrammingWindows() override {}
    void CloseWindowsForDisconnect() override;
    QByteArray ImageBytes(int product, ImageCopy which, int offset, int count) override;
    void SetImageBytes(int product, ImageCopy which, int offset, const QByteArray& bytes) override;
    void ClearImagemAlarme() override;
    void TransferEnded(const TransferReport& report) override { reports.append(report); }
    bool BeginEventDownload(int product) override;
    bool Atualiza_Tabela_Eventos(int index, const QByteArray& record) override;
    void EventDownloadEnded(const EventDownloadReport& report) override { eventReports.append(report); }

    // --- event buffer ---
    // With a database set, records are stored for `eventCustomer` dated as of `eventToday`;
    // without one they are only recorded.
    DbConnection* eventDb = nullptr;
    int eventCustomer = 0;
    QDate eventToday = QDate::currentDate();
    std::unique_ptr<EventStore> eventStore;
    QList<int> eventRecordIndexes; // every record handed over for storing, in order
    QList<EventDownloadReport> eventReports;
    // Waits for the next download report.
    std::optional<EventDownloadReport> waitForEventReport(int realMs = 60000);

    int gauge = 0;

private:
    int m_reportsTaken = 0;
    int m_eventReportsTaken = 0;
};
