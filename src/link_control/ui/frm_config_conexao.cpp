#include "link_control/ui/frm_config_conexao.h"

#include "base/app_title.h"
#include "base/ini_file.h"
#include "base/operator_messages.h"
#include "link_control/link_texts.h"
#include "link_control/ui/frm_comandos_at.h"
#include "link_control/ui/frm_teste.h"
#include "serial/com_port.h"
#include "serial/com_port_map.h"
#include "serial/connection_settings.h"
#include "serial/modem_catalogue.h"
#include "serial/tcia_com_port.h"
#include "widgets/help.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int kPortButtons = 8;
constexpr int kHighestPort = 255;
constexpr int kTestBaudrate = 9600;

QString PortNotAccessible(int port) {
    return QStringLiteral("A Porta Com ") + QString::number(port) +
           QStringLiteral(" não está acessível\rVerifique se não há outro dispositivo usando esta porta.");
}

QString PortAlreadyInUse() {
    return QStringLiteral("Porta Serial já está sendo utilizada por outro aplicativo");
}

QString NotANumber(const QString& text) {
    return QStringLiteral("'%1' não é um valor inteiro válido.").arg(text);
}

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

TfrmConfigConexao::TfrmConfigConexao(const Settings& settings, const QString& settingsPath,
                                     const QString& catalogueFolder, const LoggedOperator& op,
                                     QWidget* parent)
    : QDialog(parent), m_settings(settings), m_settingsPath(settingsPath),
      m_catalogueFolder(catalogueFolder) {
    setObjectName(QStringLiteral("frmConfigConexao"));
    SetHelpTopic(this, 4);
    setWindowTitle(ApplicationTitle());
    m_testPort = [](QObject* owner) -> ComPort* { return new TCiaComPort(owner); };
    buildScreen();
    m_loading = true;
    loadValues();
    applyPermissions(op);
    updatePauseControls();
    m_loading = false;
}

QString TfrmConfigConexao::PabxToneQuestion() {
    return QStringLiteral("Não é recomendado habilitar esta função quando se utiliza o PABX.\r"
                          "Tem certeza que dejesa habilitar essa função?");
}

void TfrmConfigConexao::buildScreen() {
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    // "Configurações gerais": model, port, dialling mode, rings.
    gbGerais = new QGroupBox(QStringLiteral("Configurações gerais"), this);
    named(gbGerais, "gbGerais");
    auto* gerais = new QGridLayout(gbGerais);
    gerais->addWidget(new QLabel(QStringLiteral("Modem a ser utilizado"), gbGerais), 0, 0, 1, 2);
    Label4 = new QLabel(gbGerais);
    named(Label4, "Label4");
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    gerais->addWidget(Label4, 1, 0, 1, 2);
    btnTestarModem = new QPushButton(QStringLiteral("Testar modem"), gbGerais);
    named(btnTestarModem, "btnTestarModem");
    btnSelecionarModem = new QPushButton(QStringLiteral("Selecionar modem"), gbGerais);
    named(btnSelecionarModem, "btnSelecionarModem");
    gerais->addWidget(btnTestarModem, 2, 0);
    gerais->addWidget(btnSelecionarModem, 2, 1);
    cbOutrosModems = new QComboBox(gbGerais);
    named(cbOutrosModems, "cbOutrosModems");
    cbOutrosModems->addItems(
        {QStringLiteral("U.S. Robotics Serial Externo ou Interno"), QStringLiteral("U.S. Robotics USB")});
    cbOutrosModems->setVisible(false);

    gbPorta = new QGroupBox(QStringLiteral("Escolher a porta serial"), gbGerais);
    named(gbPorta, "gbPorta");
    auto* porta = new QGridLayout(gbPorta);
    m_portGroup = new QButtonGroup(this);
    for (int n = 1; n <= kPortButtons; ++n) {
        auto* rb = new QRadioButton(QStringLiteral("Com %1").arg(n), gbPorta);
        rb->setObjectName(QStringLiteral("rbCom%1").arg(n));
        rb->setToolTip(QDir::toNativeSeparators(ComPortMap::DevicePath(n, m_settings.Portas)));
        m_portGroup->addButton(rb, n);
        rbCom.append(rb);
        porta->addWidget(rb, (n - 1) / 4, (n - 1) % 4);
    }
    lblOutraPorta = new QLabel(QStringLiteral("Especificar outra porta:"), gbPorta);
    edOutraPorta = new QLineEdit(gbPorta);
    named(edOutraPorta, "edOutraPorta");
    edOutraPorta->setMaxLength(3);
    edOutraPorta->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), edOutraPorta));
    edOutraPorta->setToolTip(
        QStringLiteral("Se houver outra porta além das 8 indicadas acima, coloque aqui"));
    lblOutraPorta->setBuddy(edOutraPorta);
    btnMostrarPortas = new QPushButton(QStringLiteral("Mostrar portas válidas"), gbPorta);
    named(btnMostrarPortas, "btnMostrarPortas");
    lblPortasValidas = new QLabel(gbPorta);
    named(lblPortasValidas, "lblPortasValidas");
    lblPortasValidas->setWordWrap(true);
    porta->addWidget(lblOutraPorta, 2, 0, 1, 2);
    porta->addWidget(edOutraPorta, 2, 2);
    porta->addWidget(btnMostrarPortas, 3, 0, 1, 4);
    porta->addWidget(lblPortasValidas, 4, 0, 1, 4);
    gerais->addWidget(gbPorta, 3, 0, 1, 2);

    gbModoDiscagem = new QGroupBox(QStringLiteral("Modo de discagem"), gbGerais);
    named(gbModoDiscagem, "gbModoDiscagem");
    auto* modo = new QHBoxLayout(gbModoDiscagem);
    rbTom = new QRadioButton(QStringLiteral("Tom"), gbModoDiscagem);
    named(rbTom, "rbTom");
    rbPulso = new QRadioButton(QStringLiteral("Pulso"), gbModoDiscagem);
    named(rbPulso, "rbPulso");
    modo->addWidget(rbTom);
    modo->addWidget(rbPulso);
    gerais->addWidget(gbModoDiscagem, 4, 0);

    gbRings = new QGroupBox(QStringLiteral("Nº de Rings para atendimento automático"), gbGerais);
    named(gbRings, "gbRings");
    auto* rings = new QHBoxLayout(gbRings);
    cmbRings = new QComboBox(gbRings);
    named(cmbRings, "cmbRings");
    for (int n = 1; n <= 8; ++n)
        cmbRings->addItem(QString::number(n));
    rings->addWidget(cmbRings);
    gerais->addWidget(gbRings, 4, 1);

    // "Configurações adicionais": speaker, volume, PABX, pause.
    gbAdicionais = new QGroupBox(QStringLiteral("Configurações adicionais"), this);
    named(gbAdicionais, "gbAdicionais");
    auto* adicionais = new QVBoxLayout(gbAdicionais);
    gbAutoFalante = new QGroupBox(QStringLiteral("Auto-falante do Modem "), gbAdicionais);
    named(gbAutoFalante, "gbAutoFalante");
    auto* falante = new QVBoxLayout(gbAutoFalante);
    m_speakerGroup = new QButtonGroup(this);
    const QStringList speakerCaptions{
        QStringLiteral("Sempre desligado"), QStringLiteral("Ligado até conectar-se"),
        QStringLiteral("Sempre Ligado"), QStringLiteral("Desligado na discagem. Ligado até conectar")};
    for (int i = 0; i < speakerCaptions.size(); ++i) {
        auto* rb = new QRadioButton(speakerCaptions.at(i), gbAutoFalante);
        rb->setObjectName(QStringLiteral("rbSpeaker%1").arg(i));
        m_speakerGroup->addButton(rb, i);
        rbSpeaker.append(rb);
        falante->addWidget(rb);
    }
    adicionais->addWidget(gbAutoFalante);

    gbVolume = new QGroupBox(QStringLiteral("Volume do Auto-falante "), gbAdicionais);
    named(gbVolume, "gbVolume");
    auto* volume = new QHBoxLayout(gbVolume);
    tbVolume = new QSlider(Qt::Horizontal, gbVolume);
    named(tbVolume, "tbVolume");
    tbVolume->setRange(1, 4);
    tbVolume->setPageStep(1);
    tbVolume->setTickPosition(QSlider::TicksBelow);
    tbVolume->setToolTip(QStringLiteral("Alguns modems USRobotics não tem essa função"));
    volume->addWidget(tbVolume);
    adicionais->addWidget(gbVolume);

    gbDiscagem = new QGroupBox(QStringLiteral("Discagem"), gbAdicionais);
    named(gbDiscagem, "gbDiscagem");
    auto* discagem = new QVBoxLayout(gbDiscagem);
    chkPABX = new QCheckBox(QStringLiteral("Utiliza PABX"), gbDiscagem);
    named(chkPABX, "chkPABX");
    chkAguardaTom = new QCheckBox(QStringLiteral("Aguardar tom de linha antes de discar"), gbDiscagem);
    named(chkAguardaTom, "chkAguardaTom");
    discagem->addWidget(chkPABX);
    discagem->addWidget(chkAguardaTom);
    adicionais->addWidget(gbDiscagem);

    gbPausa = new QGroupBox(QStringLiteral("Pausa após discagem do 1º dígito "), gbAdicionais);
    named(gbPausa, "gbPausa");
    auto* pausa = new QGridLayout(gbPausa);
    chkHabilitaPausa = new QCheckBox(QStringLiteral("Habilitar pausa"), gbPausa);
    named(chkHabilitaPausa, "chkHabilitaPausa");
    edtDuracao = new QLineEdit(gbPausa);
    named(edtDuracao, "edtDuracao");
    edtDuracao->setMaxLength(3);
    edtDuracao->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), edtDuracao));
    edtDigito = new QLineEdit(gbPausa);
    named(edtDigito, "edtDigito");
    edtDigito->setMaxLength(15);
    pausa->addWidget(chkHabilitaPausa, 0, 0, 1, 3);
    pausa->addWidget(new QLabel(QStringLiteral("Duração da pausa:"), gbPausa), 1, 0);
    pausa->addWidget(edtDuracao, 1, 1);
    pausa->addWidget(new QLabel(QStringLiteral("seg."), gbPausa), 1, 2);
    pausa->addWidget(new QLabel(QStringLiteral("Dígito(s) para linha externa:"), gbPausa), 2, 0);
    pausa->addWidget(edtDigito, 2, 1, 1, 2);
    adicionais->addWidget(gbPausa);

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    named(btnOk, "btnOk");
    btnOk->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    named(btnCancelar, "btnCancelar");
    for (QPushButton* b : {btnTestarModem, btnSelecionarModem, btnMostrarPortas, btnCancelar})
        b->setAutoDefault(false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(gbGerais);
    groups->addWidget(gbAdicionais);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);

    connect(m_portGroup, &QButtonGroup::idClicked, this, [this](int n) {
        m_port = QString::number(n);
        edOutraPorta->clear();
    });
    connect(edOutraPorta, &QLineEdit::textEdited, this, &TfrmConfigConexao::portTyped);
    connect(btnMostrarPortas, &QPushButton::clicked, this, [this] { MostrarPortasValidas(true); });
    connect(btnSelecionarModem, &QPushButton::clicked, this, &TfrmConfigConexao::SelecionarModem);
    connect(btnTestarModem, &QPushButton::clicked, this, &TfrmConfigConexao::TestarModem);
    connect(chkPABX, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.PABX = on ? 1 : 0;
        if (on)
            chkAguardaTom->setChecked(false);
    });
    connect(chkAguardaTom, &QCheckBox::toggled, this, [this](bool on) {
        if (on && chkPABX->isChecked() && !m_loading &&
            !OperatorMessages::AskYesNo(this, PabxToneQuestion())) {
            const QSignalBlocker quiet(chkAguardaTom);
            chkAguardaTom->setChecked(false);
            on = false;
        }
        m_settings.AguardaTom = on ? 1 : 0;
    });
    connect(chkHabilitaPausa, &QCheckBox::toggled, this, &TfrmConfigConexao::updatePauseControls);
    connect(btnOk, &QPushButton::clicked, this, &TfrmConfigConexao::Confirmar);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmConfigConexao::readCatalogue() {
    ModemCatalogue catalogue;
    catalogue.load(ModemCatalogue::filePath(m_catalogueFolder));
    const int index = catalogue.selected();
    Label4->setText(catalogue.name(index));
    m_commands = SplitInitString(catalogue.initString(index));
}

void TfrmConfigConexao::loadValues() {
    readCatalogue();
    m_port = QString::number(m_settings.ComPort);
    // The model the catalogue selects, under the name the rest of the program knows it by; the
    // settings file learns it at once.
    m_model = ConnectionSettings::NormalisedModemName(Label4->text());
    if (m_model != m_settings.Modem) {
        m_settings.Modem = m_model;
        QString error;
        if (!ConnectionSettings::SaveModemName(m_settingsPath, m_model, &error))
            OperatorMessages::Tell(this, error, MessageIcon::Critical);
    }
    for (int i = 0; i < cbOutrosModems->count(); ++i)
        if (cbOutrosModems->itemText(i).compare(m_model, Qt::CaseInsensitive) == 0)
            cbOutrosModems->setCurrentIndex(i);

    cmbRings->setCurrentIndex(qBound(0, m_settings.NRings - 1, cmbRings->count() - 1));
    (m_settings.Discagem == QLatin1String("Pulso") ? rbPulso : rbTom)->setChecked(true);

    chkPABX->setChecked(m_settings.PABX == 1);
    chkAguardaTom->setChecked(m_settings.AguardaTom == 1);
    if (QAbstractButton* speaker = m_speakerGroup->button(m_settings.Speaker))
        speaker->setChecked(true);
    tbVolume->setValue(m_settings.Volume);
    chkHabilitaPausa->setChecked(m_settings.HabilitaPausa);
    edtDuracao->setText(QString::number(m_settings.Intervalo));
    edtDigito->setText(m_settings.Digito);

    if (m_settings.ComPort >= 1 && m_settings.ComPort <= kPortButtons)
        rbCom.at(m_settings.ComPort - 1)->setChecked(true);
    else
        edOutraPorta->setText(m_port);
}

void TfrmConfigConexao::applyPermissions(const LoggedOperator& op) {
    const auto allow = [&op](QWidget* w, Permission p) {
        if (!op.HasPermission(p))
            w->setEnabled(false);
    };
    if (!op.HasPermission(Permission::ConfiguracoesGerais)) {
        // The whole group but the modem test, which changes nothing.
        for (QObject* child : gbGerais->children())
            if (auto* w = qobject_cast<QWidget*>(child); w && w != btnTestarModem)
                w->setEnabled(false);
    }
    allow(gbAdicionais, Permission::ConfiguracoesAdicionais);
    allow(gbPorta, Permission::AlterarPortaSerial);
    allow(gbVolume, Permission::AlterarVolume);
    allow(gbPausa, Permission::AlterarDiscagemPrimeiroDigito);
    allow(gbDiscagem, Permission::Discagem);
    // The model is chosen with "Selecionar modem"; the combo box behind it is hidden.
    allow(cbOutrosModems, Permission::AlterarModem);
    allow(btnSelecionarModem, Permission::AlterarModem);
    allow(gbRings, Permission::AlterarRings);
    allow(gbModoDiscagem, Permission::AlterarModoDiscagem);
    allow(gbAutoFalante, Permission::AlterarAutoFalante);
}

void TfrmConfigConexao::updatePauseControls() {
    // A group the operator may not change stays disabled as a whole, whatever the check box says.
    const bool on = chkHabilitaPausa->isChecked();
    for (QWidget* w : gbPausa->findChildren<QWidget*>())
        if (w != chkHabilitaPausa)
            w->setEnabled(on);
}

void TfrmConfigConexao::uncheckPortButtons() {
    m_portGroup->setExclusive(false);
    for (QRadioButton* rb : rbCom)
        rb->setChecked(false);
    m_portGroup->setExclusive(true);
}

void TfrmConfigConexao::portTyped(const QString& text) {
    if (text.isEmpty()) {
        MostrarPortasValidas(false);
        m_port = QStringLiteral("1");
        if (rbCom.first()->isEnabled())
            rbCom.first()->setChecked(true);
        return;
    }
    for (QRadioButton* rb : rbCom)
        rb->setEnabled(false);
    uncheckPortButtons();
    if (text.toInt() > kHighestPort) {
        edOutraPorta->setText(QString::number(kHighestPort));
        edOutraPorta->selectAll();
    }
    m_port = edOutraPorta->text();
}

void TfrmConfigConexao::MostrarPortasValidas(bool fromButton) {
    BusyCursor busy;
    for (QRadioButton* rb : rbCom)
        rb->setEnabled(false);
    const QStringList system = ConnectionSettings::SystemSerialPorts();
    const QList<int> found = ConnectionSettings::ExistingPortNumbers(system, m_settings.Portas);
    QStringList listed;
    for (int n : found) {
        if (n <= kPortButtons)
            rbCom.at(n - 1)->setEnabled(true);
        listed << QStringLiteral("Com %1 (%2)")
                      .arg(n)
                      .arg(QDir::toNativeSeparators(ComPortMap::DevicePath(n, m_settings.Portas)));
    }
    lblPortasValidas->setText(listed.isEmpty() ? QStringLiteral("Nenhuma porta serial encontrada.")
                                               : listed.join(QStringLiteral(", ")));
    if (fromButton)
        edOutraPorta->clear();
    for (QWidget* w : {static_cast<QWidget*>(edOutraPorta), static_cast<QWidget*>(lblOutraPorta),
                       static_cast<QWidget*>(btnMostrarPortas)})
        w->setEnabled(true);
}

void TfrmConfigConexao::SelecionarModem() {
    TfrmComandosAT dialog(ModemCatalogue::filePath(m_catalogueFolder), this);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    readCatalogue();
    if (chosen)
        m_model = dialog.ModeloEscolhido();
}

void TfrmConfigConexao::TestarModem() {
    bool numeric = false;
    int number = m_port.toInt(&numeric);
    if (!numeric)
        number = 1;
    QObject owner;
    ComPort* port = nullptr;
    {
        BusyCursor busy;
        port = m_testPort(&owner);
        if (!port)
            return;
        port->SetPort(number);
        port->SetDeviceMap(m_settings.Portas);
        port->SetBaudrate(kTestBaudrate);
        if (!port->CanOpen()) {
            OperatorMessages::Tell(this, PortNotAccessible(number), MessageIcon::Critical);
            return;
        }
        if (port->Opened()) {
            OperatorMessages::Tell(this, PortAlreadyInUse(), MessageIcon::Critical);
            return;
        }
        try {
            port->SetOpened(true);
        } catch (const ECiaComPort& e) {
            OperatorMessages::Tell(this,
                                   e.cause() == ECiaComPort::AccessDenied
                                       ? LinkTexts::PortTakenByAnotherProgram()
                                       : LinkTexts::PortNumberCannotBeOpened(number),
                                   MessageIcon::Critical);
            return;
        }
        port->PurgeInput();
    }
    TfrmTeste test(*port, number, m_model, m_commands, this);
    test.exec();
}

void TfrmConfigConexao::Confirmar() {
    Settings s = m_settings;
    s.Speaker = qMax(0, m_speakerGroup->checkedId());
    s.Volume = tbVolume->value();
    bool numeric = false;
    s.Intervalo = edtDuracao->text().toInt(&numeric);
    if (!numeric) {
        OperatorMessages::Tell(this, NotANumber(edtDuracao->text()), MessageIcon::Critical);
        edtDuracao->setFocus();
        return;
    }
    s.Digito = edtDigito->text();
    s.HabilitaPausa = chkHabilitaPausa->isChecked();
    s.PABX = chkPABX->isChecked() ? 1 : 0;
    s.AguardaTom = chkAguardaTom->isChecked() ? 1 : 0;
    m_commands = ConnectionSettings::CommandsToSave(m_commands);
    s.setAtLines(m_commands);
    s.ComPort = m_port.toInt(&numeric);
    if (!numeric)
        s.ComPort = 1;
    s.Modem = m_model;
    s.NRings = cmbRings->currentIndex() + 1;
    s.Discagem = rbPulso->isChecked() ? QStringLiteral("Pulso") : QStringLiteral("Tom");
    QString error;
    if (!ConnectionSettings::SaveFile(m_settingsPath, s, &error)) {
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
        return;
    }
    m_settings = s;
    accept();
}
