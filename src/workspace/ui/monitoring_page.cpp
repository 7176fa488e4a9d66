#include "workspace/ui/monitoring_page.h"

#include "base/locale_format.h"
#include "base/operator_messages.h"
#include "link_control/link_controller.h"
#include "programming/programming_image.h"
#include "session/online_worker.h"
#include "session/operation_audit.h"
#include "session/panel_commands.h"
#include "store/logged_operator.h"
#include "workspace/record_texts.h"

#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int StatusPollMs = 50;
constexpr int ClockTickMs = 1000;
constexpr int BatteryEmpty = 192;
constexpr int BatteryFull = 230;
// Blocks 1, 2 and 3 of the panel's copy (PGM modes and options, zone attributes) must have been
// read for the view to mean anything.
constexpr quint32 MonitoringBlocks = 0x0E;

const QString kMsgNaoConectadoAoPainel =
    QStringLiteral("Operação inválida.\rO software não está conectado ao painel de alarme.");
const QString kMsgDownloadNecessario =
    QStringLiteral("Para o funcionamento correto do modo online, o software Telvora\rfará o download somente "
                   "da programação necessária");

// The view's gradients as style sheets: normal (light blue, navy caption), alarm (red), bypassed
// (grey, grey caption).
QString StyleOf(MonitorLook look, bool redCaption = false) {
    QString style;
    switch (look) {
    case MonitorLook::Normal:
        style = QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #94CCFF, "
                               "stop:1 #DFEFFF); color: #000080;");
        break;
    case MonitorLook::Alarm:
        style = QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #E92C30, "
                               "stop:1 #FCE3E3); color: #000080;");
        break;
    case MonitorLook::Bypassed:
        style = QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #C9C9CB, "
                               "stop:1 #EBEBEB); color: #808080;");
        break;
    }
    if (redCaption)
        style += QStringLiteral("color: red;");
    return QStringLiteral("QLabel { %1 padding: 2px; }").arg(style);
}

QString ForScreen(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QToolButton* StateButton(const QString& caption, const QString& name) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(caption);
    button->setCheckable(true);
    button->setMinimumWidth(72);
    return button;
}

QLabel* Caption(const QString& text, const QString& name) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    label->setStyleSheet(StyleOf(MonitorLook::Normal));
    return label;
}

} // namespace

MonitoringPage::MonitoringPage(LinkController* link, const LoggedOperator& op,
                               std::function<const ProgrammingImage*()> alarm,
                               std::function<QStringList()> zoneNames, QWidget* parent)
    : QWidget(parent), m_link(link), m_operator(op), m_alarm(std::move(alarm)),
      m_zoneNames(std::move(zoneNames)) {
    setObjectName(QStringLiteral("tsMonitorar"));
    build();
    tmrPedeStatus.setInterval(StatusPollMs);
    connect(&tmrPedeStatus, &QTimer::timeout, this, &MonitoringPage::pollTick);
    tmrAtualizaHora.setInterval(ClockTickMs);
    connect(&tmrAtualizaHora, &QTimer::timeout, this, [this] {
        const QDateTime now = QDateTime::currentDateTime();
        lblDataHoraPC->setText(QStringLiteral("PC:  ") + FormatDate(now.date()) + QLatin1Char(' ') +
                               now.time().toString(QStringLiteral("HH:mm:ss")));
    });
    tmrAtualizaHora.start();
    redraw();
}

MonitoringPage::~MonitoringPage() {
    // A screen closed while a command was waiting must not leave the hourglass behind.
    if (m_busy)
        QApplication::restoreOverrideCursor();
}

void MonitoringPage::build() {
    auto* root = new QVBoxLayout(this);
    // Shown once the session is over: what the page shows is the last status read, not the panel
    // as it is now.
    lblEstadoLido = new QLabel;
    lblEstadoLido->setObjectName(QStringLiteral("lblEstadoLido"));
    lblEstadoLido->setStyleSheet(QStringLiteral("QLabel { color: #800000; font-weight: bold; }"));
    lblEstadoLido->hide();
    root->addWidget(lblEstadoLido);
    m_area = new QWidget;
    auto* columns = new QHBoxLayout(m_area);
    root->addWidget(m_area);

    // Zones: name, state and the bypass buttons of the board zones.
    auto* zones = new QGroupBox(QStringLiteral("Zonas"));
    auto* zoneGrid = new QGridLayout(zones);
    // Ten rows; the 5-zone model shows the first five.
    for (int z = 1; z <= 10; ++z) {
        ZoneRow row;
        row.name = Caption(QStringLiteral("ZONA %1").arg(z), QStringLiteral("lblZona%1").arg(z));
        row.status = Caption(QStringLiteral("FECHADA"), QStringLiteral("lblStatusZona%1").arg(z));
        row.inibir = StateButton(QStringLiteral("Inibir"), QStringLiteral("sbInibeZona%1").arg(z));
        row.habilitar = StateButton(QStringLiteral("Habilitar"), QStringLiteral("sbHabilitaZona%1").arg(z));
        zoneGrid->addWidget(row.name, z - 1, 0);
        zoneGrid->addWidget(row.status, z - 1, 1);
        zoneGrid->addWidget(row.inibir, z - 1, 2);
        zoneGrid->addWidget(row.habilitar, z - 1, 3);
        connect(row.inibir, &QToolButton::clicked, this, [this, z] { zoneCommand(z, true); });
        connect(row.habilitar, &QToolButton::clicked, this, [this, z] { zoneCommand(z, false); });
        m_zones.append(row);
    }
    zoneGrid->setRowStretch(10, 1);
    columns->addWidget(zones);

    auto* right = new QVBoxLayout;
    columns->addLayout(right);

    auto* partitions = new QGroupBox(QStringLiteral("Partições"));
    auto* partGrid = new QGridLayout(partitions);
    lblPartA = Caption(QString(), QStringLiteral("lblParticaoA"));
    lblPartB = Caption(QString(), QStringLiteral("lblParticaoB"));
    sbArmePartA = StateButton(QStringLiteral("Armar"), QStringLiteral("sbArmePartA"));
    sbDesarmePartA = StateButton(QStringLiteral("Desarmar"), QStringLiteral("sbDesarmePartA"));
    sbArmePartB = StateButton(QStringLiteral("Armar"), QStringLiteral("sbArmePartB"));
    sbDesarmePartB = StateButton(QStringLiteral("Desarmar"), QStringLiteral("sbDesarmePartB"));
    partGrid->addWidget(lblPartA, 0, 0);
    partGrid->addWidget(sbArmePartA, 0, 1);
    partGrid->addWidget(sbDesarmePartA, 0, 2);
    partGrid->addWidget(lblPartB, 1, 0);
    partGrid->addWidget(sbArmePartB, 1, 1);
    partGrid->addWidget(sbDesarmePartB, 1, 2);
    connect(sbArmePartA, &QToolButton::clicked, this, [this] { partitionCommand(1, true); });
    connect(sbDesarmePartA, &QToolButton::clicked, this, [this] { partitionCommand(1, false); });
    connect(sbArmePartB, &QToolButton::clicked, this, [this] { partitionCommand(2, true); });
    connect(sbDesarmePartB, &QToolButton::clicked, this, [this] { partitionCommand(2, false); });
    right->addWidget(partitions);

    auto* troubles = new QGroupBox(QStringLiteral("Problemas"));
    auto* troubleRow = new QHBoxLayout(troubles);
    for (int t = 0; t < kTroubleCaptions.size(); ++t) {
        m_troubles.append(Caption(kTroubleCaptions.at(t), QStringLiteral("lblProblema%1").arg(t + 1)));
        troubleRow->addWidget(m_troubles.last());
    }
    auto* siren = new QGroupBox(QStringLiteral("Sirene"));
    auto* sirenRow = new QHBoxLayout(siren);
    lblSirene = Caption(QString(), QStringLiteral("lblSirene"));
    sirenRow->addWidget(lblSirene);
    auto* battery = new QGroupBox(QStringLiteral("Bateria"));
    auto* batteryRow = new QHBoxLayout(battery);
    GaugeBateria = new QProgressBar;
    GaugeBateria->setObjectName(QStringLiteral("GaugeBateria"));
    GaugeBateria->setOrientation(Qt::Vertical);
    GaugeBateria->setRange(BatteryEmpty, BatteryFull);
    GaugeBateria->setValue(BatteryEmpty);
    batteryRow->addWidget(GaugeBateria);
    auto* line = new QHBoxLayout;
    line->addWidget(siren);
    line->addWidget(battery);
    right->addWidget(troubles);
    right->addLayout(line);

    auto* pgms = new QGroupBox(QStringLiteral("PGM"));
    auto* pgmGrid = new QGridLayout(pgms);
    for (int p = 1; p <= 4; ++p) {
        m_pgmLabels.append(Caption(QStringLiteral("PGM %1").arg(p), QStringLiteral("lblPgm%1").arg(p)));
        m_pgmOn.append(StateButton(QStringLiteral("On"), QStringLiteral("sbPgmOn%1").arg(p)));
        m_pgmOff.append(StateButton(QStringLiteral("Off"), QStringLiteral("sbPgmOff%1").arg(p)));
        pgmGrid->addWidget(m_pgmLabels.last(), p - 1, 0);
        pgmGrid->addWidget(m_pgmOn.last(), p - 1, 1);
        pgmGrid->addWidget(m_pgmOff.last(), p - 1, 2);
        connect(m_pgmOn.last(), &QToolButton::clicked, this, [this, p] { pgmCommand(p, true); });
        connect(m_pgmOff.last(), &QToolButton::clicked, this, [this, p] { pgmCommand(p, false); });
    }
    right->addWidget(pgms);

    auto* clock = new QGroupBox(QStringLiteral("Data e hora"));
    auto* clockGrid = new QGridLayout(clock);
    lblDataHoraPC = new QLabel;
    lblDataHoraPC->setObjectName(QStringLiteral("lblDataHoraPC"));
    Label5 = new QLabel(QStringLiteral("Painel:"));
    Label5->setObjectName(QStringLiteral("Label5"));
    btnEnviarData = new QPushButton(QStringLiteral("Enviar data"));
    btnEnviarData->setObjectName(QStringLiteral("btnEnviarData"));
    btnEnviarHora = new QPushButton(QStringLiteral("Enviar hora"));
    btnEnviarHora->setObjectName(QStringLiteral("btnEnviarHora"));
    btnReceberDataHora = new QPushButton(QStringLiteral("Receber D && H"));
    btnReceberDataHora->setObjectName(QStringLiteral("btnReceberDataHora"));
    clockGrid->addWidget(lblDataHoraPC, 0, 0, 1, 3);
    clockGrid->addWidget(Label5, 1, 0, 1, 3);
    clockGrid->addWidget(btnEnviarData, 2, 0);
    clockGrid->addWidget(btnEnviarHora, 2, 1);
    clockGrid->addWidget(btnReceberDataHora, 2, 2);
    connect(btnEnviarData, &QPushButton::clicked, this, [this] { clockRequest(0); });
    connect(btnEnviarHora, &QPushButton::clicked, this, [this] { clockRequest(1); });
    connect(btnReceberDataHora, &QPushButton::clicked, this, [this] { clockRequest(2); });
    right->addWidget(clock);
    right->addStretch();
}

OnLine* MonitoringPage::session() const {
    return m_link ? m_link->OnLineWorker() : nullptr;
}

bool MonitoringPage::live() const {
    // A session that is hanging up takes no more commands.
    const OnLine* worker = session();
    return worker && !worker->DisconnectRequest;
}

void MonitoringPage::release() {
    if (!m_busy)
        return;
    recordDone(session());
    m_busy = false;
    m_area->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void MonitoringPage::showWhenRead() {
    const bool old = !session() && m_statusReadAt.isValid();
    lblEstadoLido->setVisible(old);
    if (old)
        lblEstadoLido->setText(QString::fromUtf8("Sem conexão: último estado lido do painel em %1 às %2")
                                   .arg(FormatDate(m_statusReadAt.date()),
                                        m_statusReadAt.time().toString(QStringLiteral("HH:mm:ss"))));
}

bool MonitoringPage::Select(bool fromButton) {
    if (!m_operator.HasPermission(Permission::Monitorar)) {
        OperatorMessages::Tell(this, kMsgSemPermissao, MessageIcon::Warning);
        return false;
    }
    OnLine* worker = session();
    const bool live = this->live();
    // A command or clock operation still waiting when the session ended is over with it.
    if (!worker)
        release();
    showWhenRead();
    for (QWidget* w : {static_cast<QWidget*>(btnEnviarData), static_cast<QWidget*>(btnEnviarHora),
                       static_cast<QWidget*>(btnReceberDataHora), static_cast<QWidget*>(sbArmePartA),
                       static_cast<QWidget*>(sbDesarmePartA)})
        w->setEnabled(live);
    if (live)
        tmrPedeStatus.start();
    else
        tmrPedeStatus.stop();
    redraw();
    const ProgrammingImage* alarm = m_alarm();
    if (fromButton && worker && alarm) {
        // The view needs blocks 1 to 3 of the panel's copy; a block of zeros was never read.
        quint32 missing = 0;
        for (int b = 1; b <= 3; ++b) {
            if (alarm->bytes().mid(b * 16, 16).count('\0') == 16)
                missing |= 1u << b;
        }
        if (missing) {
            OperatorMessages::Tell(this, kMsgDownloadNecessario, MessageIcon::Information);
            worker->Blocks = missing & MonitoringBlocks;
            worker->ReadProgrammingRequest = true;
        }
    }
    return true;
}

void MonitoringPage::Leave() {
    // While a request waits the timer goes on, so that its end still releases the area and the
    // cursor; it stops itself then.
    if (!m_busy)
        tmrPedeStatus.stop();
}

void MonitoringPage::Atualiza_Monitorando(const QByteArray& status) {
    m_status = status;
    m_statusReadAt = QDateTime::currentDateTime();
    showWhenRead();
    redraw();
}

void MonitoringPage::ShowPanelDateTime(const QString& text) {
    Label5->setText(text);
}

void MonitoringPage::redraw() {
    const ProgrammingImage* alarm = m_alarm();
    if (!alarm)
        return;
    const bool live = this->live();
    m_look = DrawMonitoring(m_status, *alarm, m_zoneNames());
    for (int z = 0; z < m_zones.size(); ++z) {
        ZoneRow& row = m_zones[z];
        const bool shown = z < m_look.Zones.size();
        for (QWidget* w : {static_cast<QWidget*>(row.name), static_cast<QWidget*>(row.status)})
            w->setVisible(shown);
        if (!shown) {
            row.inibir->hide();
            row.habilitar->hide();
            continue;
        }
        const ZoneLook& look = m_look.Zones.at(z);
        row.status->setText(look.Status);
        row.status->setStyleSheet(StyleOf(look.StatusLook, look.StatusRed));
        row.name->setStyleSheet(StyleOf(look.NameLook));
        row.name->setToolTip(ForScreen(look.Hint));
        row.inibir->setVisible(look.HasButtons);
        row.habilitar->setVisible(look.HasButtons);
        row.inibir->setChecked(look.InibirDown);
        row.habilitar->setChecked(look.HabilitarDown);
        row.inibir->setEnabled(look.ButtonsEnabled);
        row.habilitar->setEnabled(look.ButtonsEnabled);
    }
    sbArmePartA->setText(ForScreen(m_look.ArmCaption));
    lblPartA->setText(ForScreen(m_look.PartitionA));
    lblPartA->setStyleSheet(StyleOf(m_look.PartitionALook));
    sbArmePartA->setChecked(m_look.ArmADown);
    sbDesarmePartA->setChecked(m_look.DisarmADown);
    sbArmePartA->setEnabled(live && m_look.ArmAEnabled);
    sbDesarmePartA->setEnabled(live);
    lblPartB->setText(ForScreen(m_look.PartitionB));
    lblPartB->setStyleSheet(StyleOf(m_look.PartitionBLook));
    for (QToolButton* b : {sbArmePartB, sbDesarmePartB})
        b->setEnabled(m_look.PartitionBEnabled);
    sbArmePartB->setEnabled(m_look.PartitionBEnabled && m_look.ArmBEnabled);
    sbArmePartB->setChecked(m_look.ArmBDown);
    sbDesarmePartB->setChecked(m_look.DisarmBDown);
    for (int t = 0; t < m_troubles.size(); ++t)
        m_troubles[t]->setStyleSheet(StyleOf(m_look.Troubles[t]));
    lblSirene->setText(m_look.Siren);
    lblSirene->setStyleSheet(StyleOf(m_look.SirenLook));
    GaugeBateria->setValue(std::clamp(m_look.Battery, BatteryEmpty, BatteryFull));
    GaugeBateria->setStyleSheet(m_look.BatteryLow
                                    ? QStringLiteral("QProgressBar::chunk { background: #E92C30; }")
                                    : QStringLiteral("QProgressBar::chunk { background: #97F0D8; }"));
    for (int p = 0; p < 4; ++p) {
        m_pgmLabels[p]->setStyleSheet(StyleOf(m_look.Pgm[p]));
        m_pgmOn[p]->setChecked(m_look.PgmOnDown[p]);
        m_pgmOff[p]->setChecked(!m_look.PgmOnDown[p]);
        m_pgmOn[p]->setEnabled(m_look.PgmEnabled[p]);
        m_pgmOff[p]->setEnabled(m_look.PgmEnabled[p]);
    }
}

OnLine* MonitoringPage::commandAllowed(QAbstractButton* button, int permission) {
    // A click toggled the button: it was down before when it is up now. A button already down sends
    // nothing; either way the view shows the panel's state again.
    const bool wasDown = !button->isChecked();
    redraw();
    if (wasDown)
        return nullptr;
    if (!m_operator.HasPermission(permission)) {
        OperatorMessages::Tell(this, kMsgSemPermissao, MessageIcon::Warning);
        return nullptr;
    }
    OnLine* worker = session();
    if (!worker)
        OperatorMessages::Tell(this, kMsgNaoConectadoAoPainel, MessageIcon::Warning);
    return worker;
}

void MonitoringPage::raised() {
    // The area waits, with the hourglass, until the operation ends (the status window closes).
    m_busy = true;
    m_area->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!tmrPedeStatus.isActive())
        tmrPedeStatus.start();
}

void MonitoringPage::recordWhenDone(const QString& what, bool command) {
    m_pendingRecord = what;
    m_pendingIsCommand = command;
}

void MonitoringPage::recordDone(const OnLine* worker) {
    if (m_pendingRecord.isEmpty())
        return;
    // A command with what became of it; a session gone before the end is an interrupted command.
    QString text = m_pendingRecord;
    if (m_pendingIsCommand)
        text += QStringLiteral(": ") + CommandAuditText(worker ? worker->LastCommandOutcome.load()
                                                               : OnLine::CommandOutcome::Stopped);
    m_pendingRecord.clear();
    m_recordCommand(text);
}

void MonitoringPage::pollTick() {
    OnLine* worker = session();
    if (m_busy) {
        const bool pending =
            worker && (worker->CommandRequest || worker->WriteDateRequest || worker->WriteTimeRequest ||
                       worker->ReadDateTimeRequest || !worker->OperationDone);
        if (!pending) {
            release();
            if (!isVisible())
                tmrPedeStatus.stop();
        }
    }
    if (worker && isVisible() && !worker->StatusRequest)
        worker->StatusRequest = true;
}

void MonitoringPage::zoneCommand(int zone, bool bypass) {
    ZoneRow& row = m_zones[zone - 1];
    OnLine* worker = commandAllowed(bypass ? row.inibir : row.habilitar,
                                    int(bypass ? Permission::InibirZonas : Permission::HabilitarZonas));
    if (!worker)
        return;
    const quint8 bit = quint8(1u << (zone - 1));
    m_bypassMask = bypass ? quint8(m_bypassMask | bit) : quint8(m_bypassMask & ~bit);
    RaiseCommand(*worker, PanelCommand::Bypass(m_bypassMask));
    recordWhenDone(QStringLiteral("%1 zona %2")
                       .arg(bypass ? QStringLiteral("Inibir") : QStringLiteral("Habilitar"))
                       .arg(zone),
                   true);
    raised();
}

void MonitoringPage::pgmCommand(int pgm, bool on) {
    OnLine* worker = commandAllowed(on ? m_pgmOn[pgm - 1] : m_pgmOff[pgm - 1],
                                    int(on ? Permission::AcionarPgm : Permission::DesacionarPgm));
    if (!worker)
        return;
    RaiseCommand(*worker, on ? PanelCommand::OutputOn(pgm) : PanelCommand::OutputOff(pgm));
    recordWhenDone(QStringLiteral("%1 PGM %2")
                       .arg(on ? QStringLiteral("Acionar") : QStringLiteral("Desacionar"))
                       .arg(pgm),
                   true);
    raised();
}

void MonitoringPage::partitionCommand(int partition, bool arm) {
    QToolButton* button =
        partition == 1 ? (arm ? sbArmePartA : sbDesarmePartA) : (arm ? sbArmePartB : sbDesarmePartB);
    const bool forced = partition == 1 && arm && m_look.ArmCaption != QLatin1String("Armar");
    const Permission permission = !arm     ? Permission::Desarmar
                                  : forced ? Permission::ArmarForcado
                                           : Permission::Armar;
    OnLine* worker = commandAllowed(button, int(permission));
    if (!worker)
        return;
    RaiseCommand(*worker, arm ? PanelCommand::Arm(partition) : PanelCommand::Disarm(partition));
    recordWhenDone(QStringLiteral("%1 partição %2")
                       .arg(PermissionCaption(int(permission)),
                            partition == 1 ? QStringLiteral("A") : QStringLiteral("B")),
                   true);
    raised();
}

void MonitoringPage::clockRequest(int which) {
    OnLine* worker = session();
    if (!worker)
        return;
    (which == 0   ? worker->WriteDateRequest
     : which == 1 ? worker->WriteTimeRequest
                  : worker->ReadDateTimeRequest) = true;
    if (which < 2)
        recordWhenDone(which == 0 ? QStringLiteral("Enviar data") : QStringLiteral("Enviar hora"), false);
    raised();
}
