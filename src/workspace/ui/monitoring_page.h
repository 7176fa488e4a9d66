#pragma once

#include "workspace/monitoring_view.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <functional>

class LinkController;
class OnLine;
class ProgrammingImage;
class QAbstractButton;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
struct LoggedOperator;

// The record screen's "Monitorar" page: the panel's live state (zones, partitions, troubles, siren,
// battery, outputs, clock) redrawn from every status answer, and the buttons that raise the
// session's commands. The page never talks to the panel itself; while it is shown it asks the
// session for the status every 50 ms (`tmrPedeStatus`).
class MonitoringPage : public QWidget {
    Q_OBJECT
public:
    // `alarm`: the panel's copy of the programming (null while none); `zoneNames`: the customer's
    // ZONA1..ZONA10.
    MonitoringPage(LinkController* link, const LoggedOperator& op,
                   std::function<const ProgrammingImage*()> alarm, std::function<QStringList()> zoneNames,
                   QWidget* parent = nullptr);
    ~MonitoringPage() override;

    // `jvLookMonitorarClick`: false (with the permission message) when the operator may not
    // monitor. `fromButton`: the operator chose the page (not a refresh by the session).
    bool Select(bool fromButton);
    // Leaving the page stops the status requests.
    void Leave();
    // Told of every command sent to the panel, in the operator's words ("Armar partição A").
    void SetCommandRecorder(std::function<void(const QString&)> recorder) {
        m_recordCommand = std::move(recorder);
    }
    // `Atualiza_Monitorando`: an accepted status answer (s0..s5).
    void Atualiza_Monitorando(const QByteArray& status);
    // An accepted date and time answer's text ("Painel:  dd/mm/yyyy hh:mm:ss").
    void ShowPanelDateTime(const QString& text);

    const QByteArray& PanelStatus() const { return m_status; }
    quint8 BypassMask() const { return m_bypassMask; }

private:
    void build();
    void redraw();
    OnLine* session() const;
    // A session that takes commands: running and not hanging up.
    bool live() const;
    // The end of a waiting request: the area and the cursor are released.
    void release();
    // "Sem conexão: último estado lido ..." once no session runs and a status was read.
    void showWhenRead();
    // What every command button does first: nothing when it was already down, the permission
    // message, or the "not connected" box. The session when the command may go.
    OnLine* commandAllowed(QAbstractButton* button, int permission);
    void raised();
    void pollTick();
    void zoneCommand(int zone, bool bypass);
    void pgmCommand(int pgm, bool on);
    void partitionCommand(int partition, bool arm);
    void clockRequest(int which);

    LinkController* m_link;
    const LoggedOperator& m_operator;
    std::function<const ProgrammingImage*()> m_alarm; // null while no customer is open
    std::function<QStringList()> m_zoneNames;
    QByteArray m_status;
    QDateTime m_statusReadAt; // when m_status was read; invalid until a status came
    quint8 m_bypassMask = 0;  // `BypassMask`: built only by the zone buttons of this screen
    bool m_busy = false;      // a request raised: the area waits for its end
    QTimer tmrPedeStatus;
    QTimer tmrAtualizaHora;
    MonitoringLook m_look;

    struct ZoneRow {
        QLabel* name;
        QLabel* status;
        QToolButton* inibir;
        QToolButton* habilitar;
    };
    QVector<ZoneRow> m_zones;
    QWidget* m_area = nullptr;
    QLabel* lblEstadoLido = nullptr;
    QLabel* lblPartA = nullptr;
    QLabel* lblPartB = nullptr;
    QToolButton* sbArmePartA = nullptr;
    QToolButton* sbDesarmePartA = nullptr;
    QToolButton* sbArmePartB = nullptr;
    QToolButton* sbDesarmePartB = nullptr;
    QVector<QLabel*> m_troubles;
    QLabel* lblSirene = nullptr;
    QProgressBar* GaugeBateria = nullptr;
    QVector<QLabel*> m_pgmLabels;
    QVector<QToolButton*> m_pgmOn;
    QVector<QToolButton*> m_pgmOff;
    QLabel* lblDataHoraPC = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* btnEnviarData = nullptr;
    QPushButton* btnEnviarHora = nullptr;
    QPushButton* btnReceberDataHora = nullptr;
    std::function<void(const QString&)> m_recordCommand = [](const QString&) {};
    // The audit record of the operation raised last, written once it has ended (with the outcome
    // of a remote command).
    void recordWhenDone(const QString& what, bool command);
    void recordDone(const OnLine* worker);
    QString m_pendingRecord;
    bool m_pendingIsCommand = false;
};
