// The communication settings, the modem selection and the modem test windows, offscreen, over a
// fresh application folder; the modem test against the simulated modem on an in-memory line.
#include "base/app_paths.h"
#include "base/clock.h"
#include "base/ini_file.h"
#include "base/settings.h"
#include "gui/gui_helpers.h"
#include "link/link_state.h"
#include "link_control/link_controller.h"
#include "link_control/link_texts.h"
#include "link_control/ui/frm_comandos_at.h"
#include "link_control/ui/frm_config_conexao.h"
#include "link_control/ui/frm_teste.h"
#include "panel_simulator.h"
#include "serial/memory_line.h"
#include "serial/modem_catalogue.h"
#include "store/data_module.h"
#include "support/recording_link_operator.h"
#include "support/temp_database.h"
#include "workspace/customer_actions.h"
#include "workspace/ui/frm_principal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString kSerialModel = QStringLiteral("U.S. Robotics Serial Externo ou Interno");

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An application folder with a catalogue and the settings file the main window creates.
struct Folder {
    QTemporaryDir dir;
    Settings settings;

    explicit Folder(const QByteArray& catalogue = {}) {
        qputenv("TELVORA_HOME", dir.path().toLocal8Bit());
        if (catalogue.isEmpty())
            ModemCatalogue::ensureExists(dir.path());
        else
            WriteBytes(dir.filePath("Modem.ini"), catalogue);
        settings = CarregaConfiguracoes();
    }
    QString SettingsPath() const { return ApplicationPath(SettingsFileName()); }
    QString CataloguePath() const { return ModemCatalogue::filePath(dir.path()); }
    Settings Saved() const {
        IniFile ini;
        ini.load(SettingsPath());
        return ReadSettings(ini, dir.path());
    }
};

LoggedOperator Admin() {
    return LoggedOperator::FromRow(1, QStringLiteral("admin"), {});
}

// An operator with every permission but `refused`.
LoggedOperator Without(int refused) {
    QString permissions(LoggedOperator::kPermissionCount, QLatin1Char('1'));
    permissions[refused - 1] = QLatin1Char('0');
    return LoggedOperator::FromRow(2, QStringLiteral("operador"), permissions);
}

// The test window's log as plain lines, empty lines dropped.
QStringList LogLines(QTextEdit* log) {
    QStringList lines = log->toPlainText().split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

QTextCharFormat FormatOfLine(QTextEdit* log, const QString& line) {
    for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next())
        if (block.text() == line) {
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::NextCharacter);
            return cursor.charFormat();
        }
    return {};
}

} // namespace

class TestConnectionWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(20); }

    // "Ok" writes the dialog's keys with what the operator chose; the commands are the selected
    // model's string, split.
    void okWritesTheChosenSettings() {
        Folder folder;
        MessageLog messages;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.Label4->text(), kSerialModel);
        ClickIndicator(dialog.rbCom.at(2));
        ClickIndicator(dialog.rbPulso);
        dialog.cmbRings->setCurrentIndex(3);
        ClickIndicator(dialog.rbSpeaker.at(2));
        dialog.tbVolume->setValue(3);
        ClickIndicator(dialog.chkHabilitaPausa);
        dialog.edtDuracao->setText(QStringLiteral("5"));
        dialog.edtDigito->setText(QStringLiteral("9"));
        ClickIndicator(dialog.chkPABX);
        Press(&dialog, "btnOk");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        const Settings saved = folder.Saved();
        QCOMPARE(saved.ComPort, 3);
        QCOMPARE(saved.Discagem, QStringLiteral("Pulso"));
        QCOMPARE(saved.NRings, 4);
        QCOMPARE(saved.Speaker, 2);
        QCOMPARE(saved.Volume, 3);
        QCOMPARE(saved.HabilitaPausa, true);
        QCOMPARE(saved.Intervalo, 5);
        QCOMPARE(saved.Digito, QStringLiteral("9"));
        QCOMPARE(saved.PABX, 1);
        QCOMPARE(saved.Modem, kSerialModel);
        const ModemCatalogue defaults = ModemCatalogue::defaults();
        QCOMPARE(saved.NAT, 16);
        QCOMPARE(saved.AT.mid(1), SplitInitString(defaults.initString(1)));
        QVERIFY(saved.AT.contains(QStringLiteral("S10=255")));
        // The keys with "º" are written as the older installations have them, in Latin-1.
        const QByteArray bytes = ReadBytes(folder.SettingsPath());
        QVERIFY(bytes.contains("N\xba"
                               "AT=16\r\n"));
        QVERIFY(bytes.contains("N\xba"
                               "Rings=4\r\n"));
        QVERIFY(messages.requests.isEmpty());
    }

    // "Cancelar" leaves the file exactly as it was.
    void cancelWritesNothing() {
        Folder folder;
        const QByteArray before = ReadBytes(folder.SettingsPath());
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        ClickIndicator(dialog.rbCom.at(4));
        ClickIndicator(dialog.chkHabilitaPausa);
        Press(&dialog, "btnCancelar");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(ReadBytes(folder.SettingsPath()), before);
    }

    // A model string with a short S10 is saved with the floor in its place.
    void shortCarrierDelayIsRaised() {
        Folder folder("[MODEMS]\r\nN1=Lento\r\nSTR1=&F E0 S10=5 X3\r\n[INFO]\r\nNum_modems=1\r\nMODEM=1\r\n");
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        Press(&dialog, "btnOk");
        QCOMPARE(folder.Saved().AT.mid(1), (QStringList{"&F", "E0", "S10=015", "X3"}));
        QCOMPARE(folder.Saved().Modem, QStringLiteral("Lento"));
    }

    // The catalogue's model is known to the settings under its normalised name, written at once.
    void modelNameNormalisedAtOnce() {
        Folder folder("[MODEMS]\r\nN1=Modem USB 56k\r\nSTR1=&F0 "
                      "+MS=B103,0,300\r\n[INFO]\r\nNum_modems=1\r\nMODEM=1\r\n");
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        QCOMPARE(dialog.Label4->text(), QStringLiteral("Modem USB 56k"));
        QCOMPARE(folder.Saved().Modem, QStringLiteral("U.S. Robotics USB"));
        QCOMPARE(dialog.cbOutrosModems->currentText(), QStringLiteral("U.S. Robotics USB"));
    }

    // A port beyond the eight buttons: typed, it disables the buttons; above 255 it becomes 255.
    void typedPort_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("saved");
        QTest::newRow("12") << "12"
                            << "12" << 12;
        QTest::newRow("300") << "300"
                             << "255" << 255;
        QTest::newRow("255") << "255"
                             << "255" << 255;
    }
    void typedPort() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, saved);
        Folder folder;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.edOutraPorta, typed);
        QCOMPARE(dialog.edOutraPorta->text(), shown);
        for (QRadioButton* rb : dialog.rbCom) {
            QVERIFY(!rb->isEnabled());
            QVERIFY(!rb->isChecked());
        }
        Press(&dialog, "btnOk");
        QCOMPARE(folder.Saved().ComPort, saved);
    }

    // A stored port beyond the buttons shows in the field; emptying it goes back to port 1.
    void storedHighPortAndEmptying() {
        Folder folder;
        folder.settings.ComPort = 17;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.edOutraPorta->text(), QStringLiteral("17"));
        QCOMPARE(dialog.ChosenPort(), QStringLiteral("17"));
        dialog.edOutraPorta->setFocus();
        dialog.edOutraPorta->selectAll();
        QTest::keyClick(dialog.edOutraPorta, Qt::Key_Backspace);
        QCOMPARE(dialog.ChosenPort(), QStringLiteral("1"));
    }

    // "Mostrar portas válidas": a port whose device exists is enabled and listed, one whose device
    // is missing is disabled; the typed port is emptied.
    void showValidPorts() {
        Folder folder;
        const QString device = folder.dir.filePath("pts9");
        QVERIFY(WriteBytes(device, {}));
        folder.settings.Portas = {{3, device}, {2, folder.dir.filePath("gone")}};
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.edOutraPorta, QStringLiteral("40"));
        Press(&dialog, "btnMostrarPortas");
        QVERIFY(dialog.rbCom.at(2)->isEnabled());
        QVERIFY(!dialog.rbCom.at(1)->isEnabled());
        QVERIFY(dialog.lblPortasValidas->text().contains(QStringLiteral("Com 3 (%1)").arg(device)));
        QVERIFY(dialog.edOutraPorta->text().isEmpty());
        QVERIFY(dialog.edOutraPorta->isEnabled());
    }

    // The characters the port and pause fields refuse.
    void onlyDigitsInNumberFields() {
        Folder folder;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.edOutraPorta, QStringLiteral("a1b2"));
        QCOMPARE(dialog.edOutraPorta->text(), QStringLiteral("12"));
        ClickIndicator(dialog.chkHabilitaPausa);
        dialog.edtDuracao->clear();
        QTest::keyClicks(dialog.edtDuracao, QStringLiteral("x12345"));
        QCOMPARE(dialog.edtDuracao->text(), QStringLiteral("123"));
    }

    // An empty pause length is refused and nothing is written.
    void pauseLengthNotANumber() {
        Folder folder;
        MessageLog messages;
        const QByteArray before = ReadBytes(folder.SettingsPath());
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ClickIndicator(dialog.chkHabilitaPausa);
        dialog.edtDuracao->clear();
        Press(&dialog, "btnOk");
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(ReadBytes(folder.SettingsPath()), before);
    }

    // A settings file that cannot be written: the operator is told, the dialog stays open.
    void unwritableSettingsFile() {
        Folder folder;
        MessageLog messages;
        const QString path = folder.dir.filePath("sub/ZRVConfig.ini"); // its folder does not exist
        TfrmConfigConexao dialog(folder.settings, path, folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Press(&dialog, "btnOk");
        QVERIFY(
            messages.Last().startsWith(QStringLiteral("Não foi possível gravar o arquivo de configurações")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(folder.Saved().ComPort, 1);
    }

    // PABX unchecks the wait for the tone; checking the wait afterwards asks first.
    void pabxAndDialTone_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("checked");
        QTest::newRow("yes") << int(OperatorAnswer::Yes) << true;
        QTest::newRow("no") << int(OperatorAnswer::No) << false;
    }
    void pabxAndDialTone() {
        QFETCH(int, answer);
        QFETCH(bool, checked);
        Folder folder;
        folder.settings.AguardaTom = 1;
        MessageLog messages;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.chkAguardaTom->isChecked());
        ClickIndicator(dialog.chkPABX);
        QVERIFY(!dialog.chkAguardaTom->isChecked());
        QVERIFY(messages.requests.isEmpty());
        messages.answers << OperatorAnswer(answer);
        ClickIndicator(dialog.chkAguardaTom);
        QCOMPARE(messages.Texts(), QStringList{TfrmConfigConexao::PabxToneQuestion()});
        QCOMPARE(messages.requests.first().buttons, OperatorButtons::YesNo);
        QCOMPARE(dialog.chkAguardaTom->isChecked(), checked);
        Press(&dialog, "btnOk");
        QCOMPARE(folder.Saved().PABX, 1);
        QCOMPARE(folder.Saved().AguardaTom, checked ? 1 : 0);
    }

    // The pause controls follow "Habilitar pausa".
    void pauseControlsFollowTheCheckBox() {
        Folder folder;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        QVERIFY(!dialog.edtDuracao->isEnabled());
        QVERIFY(!dialog.edtDigito->isEnabled());
        dialog.chkHabilitaPausa->setChecked(true);
        QVERIFY(dialog.edtDuracao->isEnabled());
        QVERIFY(dialog.edtDigito->isEnabled());
    }

    // Each refused permission disables its group; without the general one, "Testar modem" stays.
    void permissions_data() {
        QTest::addColumn<int>("refused");
        QTest::addColumn<QStringList>("disabled");
        QTest::newRow("40 general") << 40
                                    << QStringList{"btnSelecionarModem", "rbCom1", "rbCom8",  "edOutraPorta",
                                                   "btnMostrarPortas",   "rbTom",  "rbPulso", "cmbRings"};
        QTest::newRow("9 additional")
            << 9 << QStringList{"rbSpeaker0",    "rbSpeaker3",       "tbVolume",   "chkPABX",
                                "chkAguardaTom", "chkHabilitaPausa", "edtDuracao", "edtDigito"};
        QTest::newRow("8 port") << 8 << QStringList{"rbCom1", "rbCom8", "edOutraPorta", "btnMostrarPortas"};
        QTest::newRow("11 volume") << 11 << QStringList{"tbVolume"};
        QTest::newRow("12 pause") << 12 << QStringList{"chkHabilitaPausa", "edtDuracao", "edtDigito"};
        QTest::newRow("13 dialling") << 13 << QStringList{"chkPABX", "chkAguardaTom"};
        QTest::newRow("7 modem") << 7 << QStringList{"btnSelecionarModem"};
        QTest::newRow("5 rings") << 5 << QStringList{"cmbRings"};
        QTest::newRow("6 dialling mode") << 6 << QStringList{"rbTom", "rbPulso"};
        QTest::newRow("10 speaker") << 10 << QStringList{"rbSpeaker0", "rbSpeaker3"};
    }
    void permissions() {
        QFETCH(int, refused);
        QFETCH(QStringList, disabled);
        Folder folder;
        folder.settings.HabilitaPausa = true; // the pause controls would be enabled otherwise
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Without(refused));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QStringList all{"btnSelecionarModem",
                              "rbCom1",
                              "rbCom8",
                              "edOutraPorta",
                              "btnMostrarPortas",
                              "rbTom",
                              "rbPulso",
                              "cmbRings",
                              "rbSpeaker0",
                              "rbSpeaker3",
                              "tbVolume",
                              "chkPABX",
                              "chkAguardaTom",
                              "chkHabilitaPausa",
                              "edtDuracao",
                              "edtDigito"};
        for (const QString& name : all) {
            auto* w = dialog.findChild<QWidget*>(name);
            QVERIFY2(w, qPrintable(name));
            QVERIFY2(w->isEnabled() == !disabled.contains(name), qPrintable(name));
        }
        QVERIFY(dialog.btnTestarModem->isEnabled());
        QVERIFY(dialog.btnOk->isEnabled());
        // Checking the pause again does not unlock a group the operator may not change.
        if (refused == 12) {
            dialog.chkHabilitaPausa->setChecked(false);
            dialog.chkHabilitaPausa->setChecked(true);
            QVERIFY(!dialog.edtDuracao->isEnabled());
        }
    }

    // The modem selection: the chosen model's string, edited, restored, kept or not.
    void comandosAt_data() {
        QTest::addColumn<int>("model");      // combo index
        QTest::addColumn<QString>("edited"); // typed over the string; empty: "Restaurar padrão"
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected"); // the model's STR afterwards
        QTest::newRow("restore ok") << 1 << QString() << true
                                    << BuiltInInitString(QStringLiteral("U.S. Robotics USB"));
        QTest::newRow("edit ok") << 2 << "&F E0 X1" << true << "&F E0 X1";
        QTest::newRow("edit cancel") << 2 << "&F E0 X1" << false << "E1 Q0";
        QTest::newRow("restore of a model without one") << 2 << QString() << true << "E1 Q0";
    }
    void comandosAt() {
        QFETCH(int, model);
        QFETCH(QString, edited);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        // A catalogue as a technician left it: lower-case name, a comment, an unknown key, a
        // damaged string for the USB model.
        const QByteArray original =
            "; cat\xe1logo\r\n[modems]\r\nN1=U.S. Robotics Serial Externo ou Interno\r\n"
            "STR1=&F0 E0\r\nN2=U.S. Robotics USB\r\nSTR2=&F0\r\nN3=Meu modem\r\n"
            "STR3=E1 Q0\r\nExtra=sim\r\n[Info]\r\nNum_modems=3\r\nModem=1\r\n";
        QTemporaryDir dir;
        const QString path = dir.filePath("modem.ini");
        QVERIFY(WriteBytes(path, original));
        QCOMPARE(ModemCatalogue::filePath(dir.path()), path);

        TfrmComandosAT dialog(path);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.cmbModems->count(), 3);
        QCOMPARE(dialog.cmbModems->currentIndex(), 0);
        QCOMPARE(dialog.edtComandos->text(), QStringLiteral("&F0 E0"));
        dialog.cmbModems->setCurrentIndex(model);
        QCOMPARE(dialog.edtComandos->text(), model == 1 ? QStringLiteral("&F0") : QStringLiteral("E1 Q0"));
        if (edited.isEmpty()) {
            Press(&dialog, "btnRestaurar");
        } else {
            dialog.edtComandos->clear();
            QTest::keyClicks(dialog.edtComandos, edited);
        }
        Press(&dialog, ok ? "btnOk" : "btnCancelar");

        ModemCatalogue after;
        QVERIFY(after.load(path));
        QCOMPARE(after.initString(model + 1), expected);
        if (!ok) {
            QCOMPARE(ReadBytes(path), original);
            return;
        }
        QCOMPARE(dialog.ModeloEscolhido(), after.name(model + 1));
        QCOMPARE(after.selected(), model + 1);
        // Every other line stays byte for byte, the keys' spelling included.
        QByteArray rest = ReadBytes(path);
        QByteArray expectedRest = original;
        expectedRest.replace("Modem=1", "Modem=" + QByteArray::number(model + 1));
        expectedRest.replace(model == 1 ? "STR2=&F0\r\n" : "STR3=E1 Q0\r\n",
                             "STR" + QByteArray::number(model + 1) + '=' + expected.toLatin1() + "\r\n");
        QCOMPARE(rest, expectedRest);
    }

    // "Selecionar modem" from the settings: the chosen model and its commands become the dialog's.
    void selectModemFromTheSettings() {
        Folder folder;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Admin());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        WhenModal<TfrmComandosAT>([](TfrmComandosAT* at) {
            at->cmbModems->setCurrentIndex(1);
            Press(at, "btnOk");
        });
        Press(&dialog, "btnSelecionarModem");
        const QString usb = QStringLiteral("U.S. Robotics USB");
        QCOMPARE(dialog.Label4->text(), usb);
        QCOMPARE(dialog.Commands(), SplitInitString(BuiltInInitString(usb)));
        Press(&dialog, "btnOk");
        QCOMPARE(folder.Saved().Modem, usb);
        QCOMPARE(folder.Saved().NAT, 17);
        QCOMPARE(folder.Saved().atLine(17), QStringLiteral("+MS=B103,0,300"));
    }

    // The test window against the simulated modem: the log in its colours, then a refused command.
    void testWindowLog() {
        MemoryLine line;
        PanelSimulator panel;
        panel.attach(&line);
        line.port()->SetBaudrate(9600);
        line.port()->SetOpened(true);
        const QStringList commands{"&F", "E0", "J7", "Q0"};
        TfrmTeste window(*line.port(), 3, QStringLiteral("Modelo"), commands);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Press(&window, "btnIniciar");
        QVERIFY(!window.btnIniciar->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window.btnIniciar->isEnabled(), 30000);
        QCOMPARE(LogLines(window.RichEdit1),
                 (QStringList{"Novo teste na Com 3 do Modem Modelo", "AT", "OK", "ATE0", "OK", "ATJ7",
                              TesteDeModem::RefusedText(), "ATQ0", "OK"}));
        const QTextCharFormat header = FormatOfLine(window.RichEdit1, "Novo teste na Com 3 do Modem Modelo");
        QCOMPARE(header.foreground().color(), QColor(Qt::blue));
        QVERIFY(header.fontUnderline());
        QCOMPARE(header.fontWeight(), int(QFont::Bold));
        const QTextCharFormat command = FormatOfLine(window.RichEdit1, "ATJ7");
        QCOMPARE(command.foreground().color(), QColor(Qt::black));
        QVERIFY(command.fontUnderline());
        const QTextCharFormat answer = FormatOfLine(window.RichEdit1, TesteDeModem::RefusedText());
        QCOMPARE(answer.foreground().color(), QColor(Qt::red));
        QVERIFY(!answer.fontUnderline());
        QCOMPARE(answer.fontWeight(), int(QFont::Bold));
        Press(&window, "btnSair");
        QVERIFY(!line.programOpened());
    }

    // No modem on the line: "O Modem não responde"; a second start begins with an empty log.
    void testWindowSilentModem() {
        MemoryLine line;
        line.port()->SetBaudrate(9600);
        line.port()->SetOpened(true);
        MessageLog messages;
        TfrmTeste window(*line.port(), 4, QStringLiteral("Modelo"), {"&F", "E0"});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Press(&window, "btnIniciar");
        QTRY_VERIFY_WITH_TIMEOUT(window.btnIniciar->isEnabled(), 30000);
        QCOMPARE(messages.Texts(), QStringList{TesteDeModem::SilentText()});
        QCOMPARE(LogLines(window.RichEdit1), (QStringList{"Novo teste na Com 4 do Modem Modelo", "AT"}));
        Press(&window, "btnIniciar");
        QTRY_COMPARE_WITH_TIMEOUT(LogLines(window.RichEdit1).size(), 2, 5000);
        Press(&window, "btnParar");
        QVERIFY(window.btnIniciar->isEnabled());
        QCOMPARE(messages.requests.size(), 1);
    }

    // "Testar modem" from the settings: a port that cannot be opened or is taken gives its message
    // and no test window; an open port shows the window, which runs and closes the port.
    void testModemFromTheSettings_data() {
        QTest::addColumn<int>("trouble"); // 0 none, 1 cannot open, 2 taken after the check
        QTest::addColumn<QString>("message");
        QTest::newRow("opens") << 0 << QString();
        QTest::newRow("cannot open")
            << 1
            << "A Porta Com 6 não está acessível\rVerifique se não há outro dispositivo "
               "usando esta porta.";
        QTest::newRow("taken") << 2 << LinkTexts::PortTakenByAnotherProgram();
    }
    void testModemFromTheSettings() {
        QFETCH(int, trouble);
        QFETCH(QString, message);
        Folder folder;
        MemoryLine line;
        PanelSimulator panel;
        panel.attach(&line);
        line.setOpenFails(trouble == 1);
        if (trouble == 2)
            line.setTakenAfter(1);
        MessageLog messages;
        folder.settings.ComPort = 6;
        TfrmConfigConexao dialog(folder.settings, folder.SettingsPath(), folder.dir.path(), Without(40));
        dialog.SetTestPortProvider([&line](QObject*) { return line.port(); });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        int shown = 0;
        QStringList log;
        if (trouble == 0)
            WhenModal<TfrmTeste>([&](TfrmTeste* window) {
                ++shown;
                QCOMPARE(line.programBaudrate(), 9600);
                Press(window, "btnIniciar");
                QTRY_VERIFY_WITH_TIMEOUT(window->btnIniciar->isEnabled(), 30000);
                log = LogLines(window->RichEdit1);
                Press(window, "btnSair");
            });
        QVERIFY(dialog.btnTestarModem->isEnabled());
        Press(&dialog, "btnTestarModem");
        QVERIFY(!line.programOpened());
        if (trouble == 0) {
            QCOMPARE(shown, 1);
            QVERIFY(messages.requests.isEmpty());
            // The header, then "AT" and the second to the sixteenth command of the default model, each
            // followed by "OK".
            QCOMPARE(log.size(), 1 + 2 * 16);
            QCOMPARE(log.at(log.size() - 2), QStringLiteral("ATV0"));
            QCOMPARE(log.last(), QStringLiteral("OK"));
            QCOMPARE(log.first(), QStringLiteral("Novo teste na Com 6 do Modem ") + kSerialModel);
        } else {
            QCOMPARE(messages.Texts(), QStringList{message});
        }
    }

    // From the main window: the port is closed while the dialog is up; afterwards the window reads
    // the settings again, hands them to the link and reopens the port with them.
    void mainWindowReopensThePort_data() {
        QTest::addColumn<bool>("portFails");
        QTest::newRow("opens") << false;
        QTest::newRow("cannot open") << true;
    }
    void mainWindowReopensThePort() {
        QFETCH(bool, portFails);
        TempDatabase db;
        QVERIFY(db.Create());
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        RecordingLinkOperator linkOperator;
        MessageLog messages;
        MemoryLine line;
        LinkController controller(line.port(), &linkOperator);
        TdmBancoDeDados dm;
        dm.Operator = Admin();
        TfrmPrincipal main(dm, controller.State(), *line.port());
        main.SetLinkController(&controller);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(line.programOpened());
        QVERIFY(main.mnuOpcoes->menuAction()->isVisible());
        QVERIFY(main.mnuOpcoes->actions().contains(main.actComunicacao));

        bool closedMeanwhile = false;
        WhenModal<TfrmConfigConexao>([&](TfrmConfigConexao* dialog) {
            closedMeanwhile = !line.programOpened();
            ClickIndicator(dialog->rbCom.at(4));
            ClickIndicator(dialog->rbPulso);
            line.setOpenFails(portFails);
            Press(dialog, "btnOk");
        });
        main.actComunicacao->trigger();
        QVERIFY(closedMeanwhile);
        QCOMPARE(main.Config().ComPort, 5);
        QCOMPARE(main.Config().Discagem, QStringLiteral("Pulso"));
        QCOMPARE(controller.Config().Port.Number, 5);
        QCOMPARE(line.port()->Port(), 5);
        if (portFails) {
            QVERIFY(!line.programOpened());
            QCOMPARE(messages.Texts(), QStringList{SerialPortMessage(5)});
        } else {
            QVERIFY(line.programOpened());
            QCOMPARE(line.programBaudrate(), 300);
            QVERIFY(messages.requests.isEmpty());
        }
        main.close();
    }

    // Without permission 4 the menu entry only says so.
    void mainWindowWithoutPermission() {
        TempDatabase db;
        QVERIFY(db.Create());
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        MessageLog messages;
        MemoryLine line;
        LinkState link;
        TdmBancoDeDados dm;
        dm.Operator = Without(4);
        TfrmPrincipal main(dm, link, *line.port());
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.actComunicacao->trigger(); // a dialog would block here
        QCOMPARE(messages.Texts(), QStringList{kMsgSemPermissao});
        QVERIFY(line.programOpened());
        main.close();
    }
};

QTEST_MAIN(TestConnectionWindows)
#include "tst_connection_windows.moc"
