// The programming windows of both families over a stored customer, offscreen: what each control
// writes into ImagemPC, the read-only "Alarme" view, the zone type rules, the field checks, the
// refusals of the section commands, the 5-zone layout, and the template dialog (save, load into
// another customer, a short file refused, the older line form, the version change).
#include "gui/record_screen_fixture.h"
#include "programming/ui/editor_requests.h"
#include "programming/ui/frm_prog_editor.h"
#include "programming/ui/frm_salvar_programacao.h"
#include "programming/ui/section_widget.h"
#include "widgets/balloon_tip.h"
#include "workspace/record_texts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

// A stored customer of a model, its record screen and its programming window.
struct EditorRig {
    Fixture f;
    int customer = 0;
    std::unique_ptr<TfrmProgMain> screen;
    TfrmProgEditor* editor = nullptr;

    bool Open(int product, const QString& version) {
        if (!f.Open())
            return false;
        customer = f.AddCustomer(product, version, QStringLiteral("Cliente"), QStringLiteral("1234"));
        return customer > 0 && OpenScreen(customer);
    }

    bool OpenScreen(int id) {
        screen.reset(); // closing a screen closes the customer sets: before the next one opens them
        screen.reset(TfrmProgMain::OpenCustomer(f.context, id));
        if (!screen)
            return false;
        screen->show();
        Press(screen.get(), "jvLookProgramar");
        editor = screen->ProgrammingWindow();
        return editor && editor->isVisible();
    }

    ProgrammingImages& Images() { return screen->Record().Images(); }
    QWidget* Sec(const char* name) { return Find<QWidget>(editor, name); }
};

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// Does what a table row says to a control of a section: "type" into a field, "choose" a list
// position, "click" a check box.
void Act(QWidget* section, const QString& control, const QString& kind, const QString& value) {
    QWidget* w = section->findChild<QWidget*>(control);
    QVERIFY2(w, qPrintable(control));
    if (kind == QLatin1String("type"))
        Type(qobject_cast<QLineEdit*>(w), value);
    else if (kind == QLatin1String("choose"))
        qobject_cast<QComboBox*>(w)->setCurrentIndex(value.toInt());
    else
        ClickIndicator(qobject_cast<QAbstractButton*>(w));
}

QTemporaryDir* g_home = nullptr;

QString TemplateFolder(const char* model) {
    return g_home->filePath(QStringLiteral("Templates/%1").arg(QString::fromLatin1(model)));
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Opens "Configurações ..." and runs `act` on the dialog, which then closes with "Fechar".
void WithTemplateDialog(TfrmProgEditor* editor, std::function<void(TfrmSalvarProgramacao*)> act) {
    bool ran = false;
    WhenModal<TfrmSalvarProgramacao>([&](TfrmSalvarProgramacao* dialog) {
        act(dialog);
        ran = true;
        QTest::mouseClick(dialog->btnFechar, Qt::LeftButton);
    });
    editor->Configuracoes();
    QVERIFY(ran);
}

void SelectFile(TfrmSalvarProgramacao* dialog, const QString& name) {
    const QList<QListWidgetItem*> items = dialog->lstArquivos->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    dialog->lstArquivos->setCurrentItem(items.first());
}

} // namespace

class TestProgEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        g_home = new QTemporaryDir;
        qputenv("TELVORA_HOME", g_home->path().toLocal8Bit());
    }
    void cleanupTestCase() { delete g_home; }

    // Each control writes exactly its own bytes, with the encodings of the image.
    void controlsWriteTheirBytes_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("expected");
        const QString v14 = QStringLiteral("1.4");
        auto row = [&](const char* name, int product, const QString& version, const char* section,
                       const char* control, const char* kind, const char* value, int offset,
                       const char* hex) {
            QTest::newRow(name) << product << version << section << control << kind
                                << QString::fromUtf8(value) << offset << QByteArray::fromHex(hex);
        };
        row("entry delay", 1, v14, "secTempos", "edtTempoEntrada", "type", "45", 1, "2D");
        row("entry delay above 255", 1, v14, "secTempos", "edtTempoEntrada", "type", "300", 1, "FF");
        row("auto-arm hour, one digit", 1, v14, "secTempos", "edtHoraAutoArme", "type", "7", 17, "07");
        row("auto-test minutes", 1, v14, "secTempos", "edtIntervaloAutoTeste", "type", "203", 7, "CB");
        row("user 1 code with a 0", 1, v14, "secUsuarios", "edtSenhaUsuario1", "type", "1203", 128, "12A3");
        row("user 48 code, padded", 1, v14, "secUsuarios", "edtSenhaUsuario48", "type", "48", 222, "AA48");
        row("user 3 no longer disarms", 1, v14, "secUsuarios", "chkUsuario3_4", "click", "", 66, "03");
        row("master code", 1, v14, "secUsuarios", "edtSenhaMaster", "type", "9876", 124, "9876");
        row("phone with pause, * and #", 1, v14, "secComunicacao", "edtFoneCentral1", "type", "0,21*3#", 224,
            "AE21B3CFFFFFFFFF");
        row("account B with a letter", 1, v14, "secComunicacao", "edtContaB", "type", "B12", 118, "AB12");
        row("format DTMF", 1, v14, "secComunicacao", "cmbFormato", "choose", "24", 25, "80");
        row("3 rings", 1, v14, "secComunicacao", "cmbRings", "choose", "2", 16, "03");
        row("partitioned", 1, v14, "secOpcoes", "chkOpcao03", "click", "", 32, "18");
        row("report duplo", 1, v14, "secOpcoes", "cmbReporte", "choose", "2", 32, "12");
        row("duress digit 0", 1, v14, "secOpcoes", "edtDigitoCoacao", "type", "0", 15, "0A");
        row("PGM 2 mode", 1, v14, "secPgms", "cmbPgm2", "choose", "2", 27, "12");
        row("report digit C", 1, v14, "secReporte", "edtDigArme", "type", "c", 257, "0C");
        row("report code 3A", 1, v14, "secReporte", "edtCodPanico1", "type", "3A", 274, "3A");
        row("zone 4 24-hour", 1, v14, "secZonas", "cmbTipoZona4", "choose", "5", 49, "08");
        row("keypad zone 9 chime", 1, v14, "secZonas", "chkZona9_bit7", "click", "", 60, "81");
        row("phone without pauses before 1.4", 1, "1.3", "secComunicacao", "edtFonePC", "type", "9,1#", 240,
            "91FFFFFFFFFFFFFF");
        row("no movement, Eco", 3, "1.2", "secTempos", "edtNaoMovimento", "type", "15", 9, "0F");
        // 5-zone: the master code after the installer's, users from byte 65, options up to byte 40.
        row("5-zone user 1 code", 2, "1.5", "secUsuarios", "edtSenhaUsuario1", "type", "1203", 130, "12A3");
        row("5-zone master code", 2, "1.5", "secUsuarios", "edtSenhaMaster", "type", "2222", 128, "2222");
        row("5-zone user 1 arms no more", 2, "1.5", "secUsuarios", "chkUsuario1_0", "click", "", 65, "02");
        row("5-zone restore after siren", 2, "1.5", "secOpcoes", "chkOpcao84", "click", "", 40, "10");
        row("5-zone report code", 2, "1.5", "secReporte", "edtCodAutoArme", "type", "5B", 176, "5B");
        row("5-zone phone 1.5 takes a pause", 2, "1.5", "secComunicacao", "edtFonePC", "type", "9,1", 240,
            "9E1FFFFFFFFFFFFF");
    }
    void controlsWriteTheirBytes() {
        QFETCH(int, product);
        QFETCH(QString, version);
        QFETCH(QString, section);
        QFETCH(QString, control);
        QFETCH(QString, kind);
        QFETCH(QString, value);
        QFETCH(int, offset);
        QFETCH(QByteArray, expected);
        EditorRig rig;
        QVERIFY2(rig.Open(product, version), qPrintable(rig.f.db.Error()));
        rig.screen->Record().ProgramacaoAlterada = false;
        const QByteArray before = rig.Images().ImagemPC.bytes();

        Act(rig.Sec(qPrintable(section)), control, kind, value);

        const QByteArray after = rig.Images().ImagemPC.bytes();
        QCOMPARE(after.mid(offset, expected.size()).toHex(' '), expected.toHex(' '));
        for (int n = 0; n < after.size(); ++n) {
            if (n < offset || n >= offset + expected.size())
                QVERIFY2(after[n] == before[n], qPrintable(QStringLiteral("byte %1 changed").arg(n)));
        }
        QVERIFY(rig.screen->Record().ProgramacaoAlterada);
    }

    // "Alarme" shows the panel's copy, disabled; "PC" shows the program's copy again.
    void alarmViewIsReadOnly() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        ProgrammingImages& images = rig.Images();
        images.ImagemAlarme = images.ImagemPC;
        images.ImagemAlarme.setByte(1, 17);
        images.ImagemAlarme.setUserCode(2, QStringLiteral("4321"));
        const QByteArray pc = images.ImagemPC.bytes();
        QWidget* tempos = rig.Sec("secTempos");
        QWidget* usuarios = rig.Sec("secUsuarios");
        auto* entry = Find<QLineEdit>(tempos, "edtTempoEntrada");
        QCOMPARE(entry->text(), "60");

        ClickIndicator(Find<QRadioButton>(tempos, "rbFonteAlarme"));
        ClickIndicator(Find<QRadioButton>(usuarios, "rbFonteAlarme"));
        QCOMPARE(entry->text(), "17");
        QCOMPARE(Find<QLineEdit>(usuarios, "edtSenhaUsuario2")->text(), "4321");
        QVERIFY(!entry->isEnabled());
        QTest::keyClicks(entry, "99");
        QCOMPARE(images.ImagemPC.bytes(), pc);
        // The other sections still show the program's copy.
        QVERIFY(Find<QLineEdit>(rig.Sec("secReporte"), "edtDigArme")->isEnabled());

        ClickIndicator(Find<QRadioButton>(tempos, "rbFontePC"));
        QCOMPARE(entry->text(), "60");
        QVERIFY(entry->isEnabled());
        QCOMPARE(images.ImagemPC.bytes(), pc);
    }

    // What differs from the panel's copy is marked, in either view, and no longer once equal;
    // blocks never read from a panel mark nothing.
    void differencesMarked() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        auto* entry = Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoEntrada");
        auto* exit = Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoSaida");
        auto* tone = Find<QCheckBox>(rig.Sec("secOpcoes"), "chkOpcao04");
        auto* zone1 = Find<QComboBox>(rig.Sec("secZonas"), "cmbTipoZona1");
        auto* zone2 = Find<QComboBox>(rig.Sec("secZonas"), "cmbTipoZona2");
        auto* disarm3 = Find<QCheckBox>(rig.Sec("secUsuarios"), "chkUsuario3_4");
        auto* arm3 = Find<QCheckBox>(rig.Sec("secUsuarios"), "chkUsuario3_3");
        auto* code3 = Find<QLineEdit>(rig.Sec("secUsuarios"), "edtSenhaUsuario3");
        const QList<QWidget*> all{entry, exit, tone, zone1, zone2, disarm3, arm3, code3};
        for (QWidget* w : all)
            QVERIFY2(!SectionWidget::IsMarked(w), qPrintable(w->objectName()));

        ProgrammingImages& images = rig.Images();
        images.ImagemAlarme = images.ImagemPC;
        images.ImagemAlarme.setByte(1, 17);
        images.ImagemAlarme.setUserAttribute(3, UserDisarm, false);
        images.ImagemAlarme.setUserCode(3, QStringLiteral("3333"));
        images.ImagemAlarme.setOption(0x04, !images.ImagemPC.option(0x04));
        images.ImagemAlarme.setZoneType(2, ZoneType::Zona24h);
        rig.editor->RefreshAlarmViews();
        const QList<QWidget*> marked{entry, tone, zone2, disarm3, code3};
        for (QWidget* w : all)
            QVERIFY2(SectionWidget::IsMarked(w) == marked.contains(w), qPrintable(w->objectName()));
        // The mark shows on every kind of control, a combo box's ground included, and a marked
        // control tells the panel's value.
        // Amber as drawn (a style may shade it): much red, some green, little blue.
        auto amberPixels = [](QWidget* w) {
            const QImage image = w->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c(image.pixel(x, y));
                    n += c.red() >= 0xF0 && c.green() >= 0xB0 && c.green() <= 0xF0 && c.blue() <= 0xB0;
                }
            }
            return n;
        };
        for (QWidget* w : QList<QWidget*>{entry, zone2})
            QVERIFY2(amberPixels(w) > w->width(), qPrintable(w->objectName()));
        QCOMPARE(amberPixels(zone1), 0);
        QCOMPARE(entry->toolTip(), QStringLiteral("Valor no painel: 17"));
        QCOMPARE(disarm3->toolTip(), QStringLiteral("Valor no painel: desmarcado"));
        QVERIFY(zone1->toolTip().isEmpty());
        QCOMPARE(Find<QLabel>(rig.editor, "lblLegendaDiferencas")->text(), kLegendaDiferencas);

        ClickIndicator(Find<QRadioButton>(rig.Sec("secTempos"), "rbFonteAlarme"));
        QVERIFY(SectionWidget::IsMarked(entry));
        ClickIndicator(Find<QRadioButton>(rig.Sec("secTempos"), "rbFontePC"));
        Type(entry, "17");
        QVERIFY(!SectionWidget::IsMarked(entry));
        QVERIFY(entry->toolTip().isEmpty());
        ClickIndicator(disarm3);
        QVERIFY(!SectionWidget::IsMarked(disarm3));
    }

    // A zone type clears and disables the attributes it rules out, in the image as on screen.
    void zoneTypeRules_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("ruledOut"); // ZoneAttribute values
        const QList<int> h24{int(ZoneAttribute::Stay), int(ZoneAttribute::Follower),
                             int(ZoneAttribute::AutoBypass), int(ZoneAttribute::BypassAllowed)};
        QTest::newRow("10-zone 24h") << 1 << 4 << int(ZoneType::Zona24h) << h24;
        QTest::newRow("10-zone entry delay")
            << 1 << 2 << int(ZoneType::TempoDeEntrada) << QList<int>{int(ZoneAttribute::Follower)};
        QTest::newRow("10-zone disabled")
            << 1 << 8 << int(ZoneType::Desabilitada)
            << QList<int>{int(ZoneAttribute::PartitionA), int(ZoneAttribute::Stay),
                          int(ZoneAttribute::Silent), int(ZoneAttribute::Fire)};
        QTest::newRow("5-zone 24h") << 2 << 3 << int(ZoneType::Zona24h) << h24;
        QTest::newRow("5-zone keypad zone 24h") << 2 << 5 << int(ZoneType::Zona24h) << h24;
    }
    void zoneTypeRules() {
        QFETCH(int, product);
        QFETCH(int, zone);
        QFETCH(int, type);
        QFETCH(QList<int>, ruledOut);
        EditorRig rig;
        QVERIFY2(rig.Open(product, product == 2 ? "1.5" : "1.4"), qPrintable(rig.f.db.Error()));
        QWidget* zonas = rig.Sec("secZonas");
        for (int a : ruledOut) {
            auto* box = Find<QCheckBox>(zonas, qPrintable(QStringLiteral("chkZona%1_%2").arg(zone).arg(a)));
            if (!box->isChecked())
                ClickIndicator(box);
            QVERIFY(rig.Images().ImagemPC.zoneAttribute(ZoneAttribute(a), zone));
        }
        Find<QComboBox>(zonas, qPrintable(QStringLiteral("cmbTipoZona%1").arg(zone)))->setCurrentIndex(type);
        const ProgrammingImage& pc = rig.Images().ImagemPC;
        QCOMPARE(int(pc.zoneType(zone)), type);
        for (int a : ruledOut) {
            auto* box = Find<QCheckBox>(zonas, qPrintable(QStringLiteral("chkZona%1_%2").arg(zone).arg(a)));
            QVERIFY2(!box->isChecked() && !box->isEnabled(), qPrintable(box->text()));
            QVERIFY(!pc.zoneAttribute(ZoneAttribute(a), zone));
        }
    }

    // "Particionada" turns the stay boxes into partition B and keeps a 24-hour zone's box.
    void partitionedRecaptionsStay() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        QWidget* zonas = rig.Sec("secZonas");
        auto* stay = Find<QCheckBox>(zonas, "chkZona4_3");
        QCOMPARE(stay->text(), "Zona stay");
        ClickIndicator(Find<QCheckBox>(rig.Sec("secOpcoes"), "chkOpcao03"));
        QCOMPARE(stay->text(), "Pertence a partição B");
        QCOMPARE(Find<QCheckBox>(zonas, "chkZona10_bit1")->text(), "Pertence a partição B");
        Find<QComboBox>(zonas, "cmbTipoZona4")->setCurrentIndex(int(ZoneType::Zona24h));
        QVERIFY(stay->isEnabled());
    }

    // A time left out of range: the balloon, the focus kept, and the commands go back to the times
    // until it is corrected.
    void timeCheckedOnLeave() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        QVERIFY(QTest::qWaitForWindowActive(rig.editor));
        QWidget* tempos = rig.Sec("secTempos");
        auto* entry = Find<QLineEdit>(tempos, "edtTempoEntrada");
        auto* hour = Find<QLineEdit>(tempos, "edtHoraAutoTeste");
        Type(hour, "24");
        QTest::keyClick(hour, Qt::Key_Tab);
        QCOMPARE(BalloonTip::CurrentMessage(), "Só é válido número entre 0 e 23");
        Type(hour, "12");
        QTest::keyClick(hour, Qt::Key_Tab);
        QVERIFY(!rig.editor->Context().ValidationPending);

        Type(entry, "300");
        QTest::keyClick(entry, Qt::Key_Tab);
        QVERIFY(BalloonTip::IsShown());
        QCOMPARE(BalloonTip::CurrentMessage(), "Só é válido número entre 0 e 255");
        QCOMPARE(QApplication::focusWidget(), entry);
        QVERIFY(rig.editor->Context().ValidationPending);
        QCOMPARE(rig.Images().ImagemPC.byte(1), quint8(255));

        rig.f.prompts.told.clear();
        Press(rig.editor, "sbReporte");
        QCOMPARE(rig.editor->CurrentSection(), ProgSection::Tempos);
        Press(rig.Sec("secReporte"), "btnEnviar");
        QVERIFY(rig.f.prompts.told.isEmpty());

        Type(entry, "30");
        QTest::keyClick(entry, Qt::Key_Tab);
        QVERIFY(!rig.editor->Context().ValidationPending);
        Press(rig.editor, "sbReporte");
        QCOMPARE(rig.editor->CurrentSection(), ProgSection::Reporte);
    }

    // The section commands refused, with the system's messages; nothing is sent.
    void commandsRefused_data() {
        QTest::addColumn<int>("lacking"); // permission the operator lacks, 0: none
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("message");
        QTest::newRow("not connected") << 0 << "secTempos" << kMsgNaoConectado;
        QTest::newRow("without Enviar programação") << 34 << "secTempos" << kMsgSemPermissao;
        QTest::newRow("users without the accounts' permission") << 35 << "secUsuarios" << kMsgSemPermissao;
        QTest::newRow("other sections need only 34") << 35 << "secZonas" << kMsgNaoConectado;
    }
    void commandsRefused() {
        QFETCH(int, lacking);
        QFETCH(QString, section);
        QFETCH(QString, message);
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        if (lacking)
            rig.f.db.SetPermission(lacking, false);
        rig.f.prompts.told.clear();
        Press(rig.Sec(qPrintable(section)), "btnEnviar");
        QCOMPARE(rig.f.prompts.told, QStringList{message});
    }

    void openingNeedsProgramar() {
        EditorRig rig;
        QVERIFY(rig.f.Open());
        const int id = rig.f.AddCustomer(1, "1.4", "Sem permissao", "1234");
        rig.f.db.SetPermission(33, false);
        rig.screen.reset(TfrmProgMain::OpenCustomer(rig.f.context, id));
        rig.screen->show();
        rig.f.prompts.told.clear();
        Press(rig.screen.get(), "jvLookProgramar");
        QCOMPARE(rig.f.prompts.told, QStringList{kMsgSemPermissao});
        QVERIFY(!rig.screen->ProgrammingWindow());
    }

    // Model and version differences the window shows.
    void variants_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("formats");
        QTest::addColumn<bool>("noMovement");
        QTest::addColumn<bool>("phoneControl");
        QTest::addColumn<QString>("exitBeep");
        QTest::newRow("Orvan 10 1.0")
            << 1 << "1.0" << 26 << false << true << "Bipe no teclado ao contar tempo de saída";
        QTest::newRow("Orvan 10 1.4")
            << 1 << "1.4" << 26 << false << true << "Bipe no teclado ao contar tempo de entrada e saída";
        QTest::newRow("Orvan 10 Max")
            << 3 << "1.3" << 2 << true << false << "Bipe no teclado ao contar tempo de entrada e saída";
        QTest::newRow("Orvan 10 Eco")
            << 3 << "1.2" << 26 << true << false << "Bipe no teclado ao contar tempo de entrada e saída";
        QTest::newRow("Orvan 5 1.2") << 2 << "1.2" << 2 << false << false
                                     << "Bipe no teclado ao contar tempo de saída";
    }
    void variants() {
        QFETCH(int, product);
        QFETCH(QString, version);
        QFETCH(int, formats);
        QFETCH(bool, noMovement);
        QFETCH(bool, phoneControl);
        QFETCH(QString, exitBeep);
        EditorRig rig;
        QVERIFY2(rig.Open(product, version), qPrintable(rig.f.db.Error()));
        QCOMPARE(Find<QComboBox>(rig.Sec("secComunicacao"), "cmbFormato")->count(), formats);
        QCOMPARE(Find<QLineEdit>(rig.Sec("secTempos"), "edtNaoMovimento")->isVisible(), noMovement);
        if (product != 2) {
            QCOMPARE(Find<QLineEdit>(rig.Sec("secReporte"), "edtCodNaoMovimento")->isVisible(), noMovement);
            QCOMPARE(Find<QCheckBox>(rig.Sec("secUsuarios"), "chkUsuario1_5")->isVisible(), phoneControl);
        } else {
            QVERIFY(!rig.Sec("secReporte")->findChild<QLineEdit*>("edtCodNaoMovimento"));
            QVERIFY(!rig.Sec("secUsuarios")->findChild<QCheckBox*>("chkUsuario16_0"));
        }
        QCOMPARE(Find<QCheckBox>(rig.Sec("secOpcoes"), "chkOpcao20")->text(), exitBeep);
    }

    // What the window changed is stored with the customer: reopened, the same image and names.
    void savedWithTheCustomer() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        Type(Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoEntrada"), "45");
        Type(Find<QLineEdit>(rig.Sec("secUsuarios"), "edtSenhaUsuario5"), "5150");
        Type(Find<QLineEdit>(rig.Sec("secZonas"), "dbedtZona3"), "Cozinha");
        Find<QComboBox>(rig.Sec("secZonas"), "cmbTipoZona2")
            ->setCurrentIndex(int(ZoneType::TempoDeEntradaESaida));
        ClickIndicator(Find<QCheckBox>(rig.Sec("secOpcoes"), "chkOpcao15"));
        const QByteArray image = rig.Images().ImagemPC.bytes();
        Press(rig.editor, "sbRetornar");
        QVERIFY(!rig.editor->isVisible());
        rig.f.prompts.answers = {OperatorAnswer::Yes, OperatorAnswer::Yes};
        Press(rig.screen.get(), "btnSalvar");
        QVERIFY2(!rig.screen->Record().ProgramacaoAlterada, qPrintable(rig.f.prompts.told.join('|')));

        QVERIFY(rig.OpenScreen(rig.customer));
        QCOMPARE(rig.Images().ImagemPC.bytes().toHex(' '), image.toHex(' '));
        QCOMPARE(Find<QLineEdit>(rig.Sec("secZonas"), "dbedtZona3")->text(), "Cozinha");
        QCOMPARE(Find<QComboBox>(rig.Sec("secZonas"), "cmbTipoZona2")->currentIndex(),
                 int(ZoneType::TempoDeEntradaESaida));
    }

    // Enter moves to the next field; a field that fails its check keeps the focus.
    void enterMovesOn() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        QVERIFY(QTest::qWaitForWindowActive(rig.editor));
        auto* entry = Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoEntrada");
        Type(entry, "20");
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoSaida"));
        Type(entry, "256");
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), entry);
        QVERIFY(rig.editor->Context().ValidationPending);
    }

    // The user codes show only with "Ver senhas dos usuários"; the users change only with
    // "Alterar senhas e atributos dos usuários".
    void userPermissions_data() {
        QTest::addColumn<bool>("seeCodes");
        QTest::addColumn<bool>("changeUsers");
        QTest::newRow("both") << true << true;
        QTest::newRow("codes hidden") << false << true;
        QTest::newRow("users locked") << true << false;
    }
    void userPermissions() {
        QFETCH(bool, seeCodes);
        QFETCH(bool, changeUsers);
        EditorRig rig;
        QVERIFY(rig.f.Open());
        rig.customer = rig.f.AddCustomer(1, "1.4", "Cliente", "1234");
        rig.f.db.SetPermission(36, seeCodes);
        rig.f.db.SetPermission(37, changeUsers);
        QVERIFY(rig.OpenScreen(rig.customer));
        QWidget* usuarios = rig.Sec("secUsuarios");
        for (const char* name : {"edtSenhaMaster", "edtSenhaUsuario1"}) {
            auto* code = Find<QLineEdit>(usuarios, name);
            QCOMPARE(code->isReadOnly(), !seeCodes);
            QCOMPARE(code->echoMode() == QLineEdit::Normal, seeCodes);
        }
        QCOMPARE(Find<QWidget>(usuarios, "Usuario01")->isEnabled(), changeUsers);
    }

    // "Carregar todos os dados do alarme para o PC" needs a saved customer.
    void loadAllNeedsASavedCustomer() {
        Fixture f;
        QVERIFY(f.Open());
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        Press(screen.get(), "jvLookProgramar");
        TfrmProgEditor* editor = screen->ProgrammingWindow();
        QVERIFY(editor);
        const QByteArray pc = screen->Record().Images().ImagemPC.bytes();
        f.prompts.told.clear();
        editor->CarregarTodosOsDados();
        QCOMPARE(f.prompts.told, QStringList{kMsgSalvarAntesDeCarregar});
        QCOMPARE(screen->Record().Images().ImagemPC.bytes(), pc);
    }

    // A section loaded from the panel's copy: its bytes only, hours checked.
    void loadOneSectionFromAlarm() {
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        ProgrammingImages& images = rig.Images();
        images.ImagemAlarme = images.ImagemPC;
        images.ImagemAlarme.setByte(2, 99);     // exit delay
        images.ImagemAlarme.setByte(18, 0x7A);  // auto-arm minute, not a minute
        images.ImagemAlarme.setByte(257, 0x05); // report digit: another section
        const quint8 reportDigit = images.ImagemPC.byte(257);
        Press(rig.Sec("secTempos"), "btnCarregar");
        QCOMPARE(images.ImagemPC.byte(2), quint8(99));
        QCOMPARE(images.ImagemPC.byte(18), quint8(0x59));
        QCOMPARE(images.ImagemPC.byte(257), reportDigit);
        QCOMPARE(Find<QLineEdit>(rig.Sec("secTempos"), "edtTempoSaida")->text(), "99");
        QVERIFY(rig.screen->Record().ProgramacaoAlterada);
    }

    // Saved through the dialog and loaded into another customer: the same bytes.
    void templateRoundTrip() {
        EditorRig a;
        QVERIFY2(a.Open(1, "1.4"), qPrintable(a.f.db.Error()));
        Type(Find<QLineEdit>(a.Sec("secTempos"), "edtTempoEntrada"), "45");
        Type(Find<QLineEdit>(a.Sec("secUsuarios"), "edtSenhaUsuario7"), "7777");
        const QByteArray image = a.Images().ImagemPC.bytes();
        const QString path = TemplateFolder("Orvan10") + QStringLiteral("/Padrao_1.zrv");
        // An older, longer file of that name: replaced whole (a file of any other size than the
        // image's would be refused when read back).
        WriteFile(path, QByteArray(400, '\x77'));
        a.f.prompts.asked.clear();
        a.f.prompts.askedWithNoPreselected.clear();
        a.f.prompts.answers = {OperatorAnswer::Yes};
        WithTemplateDialog(a.editor, [](TfrmSalvarProgramacao* d) {
            QTest::keyClicks(d->edtNome, "Pad/r@o_1"); // "/" and "@" are not taken
            QCOMPARE(d->edtNome->text(), "Padro_1");
            d->edtNome->setText(QStringLiteral("Padrao_1"));
            QTest::mouseClick(d->btnSalvar, Qt::LeftButton);
            QVERIFY(d->edtNome->text().isEmpty());
            QVERIFY(!d->lstArquivos->findItems("Padrao_1.zrv", Qt::MatchExactly).isEmpty());
        });
        QCOMPARE(a.f.prompts.asked, QStringList{"Já existe um arquivo com este nome.\rDeseja substituí-lo?"});
        QCOMPARE(a.f.prompts.askedWithNoPreselected, QList<bool>{true});
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), image);

        const int other = a.f.AddCustomer(1, "1.4", "Outro", "4321");
        QVERIFY(a.OpenScreen(other));
        QVERIFY(a.Images().ImagemPC.bytes() != image);
        WithTemplateDialog(a.editor, [](TfrmSalvarProgramacao* d) {
            SelectFile(d, "Padrao_1.zrv");
            QTest::mouseClick(d->btnCarregar, Qt::LeftButton);
        });
        // Everything but the codes is the template's: the panel and PC codes stay this customer's
        // (4321 and 6093, each 0 read as A), so the next send does not lock the program out.
        QByteArray expected = image;
        expected.replace(112, 4, QByteArray::fromHex("43216A93"));
        QCOMPARE(image.mid(112, 4), QByteArray::fromHex("12346A93"));
        QCOMPARE(a.Images().ImagemPC.bytes(), expected);
        QCOMPARE(Find<QLineEdit>(a.Sec("secTempos"), "edtTempoEntrada")->text(), "45");
        QVERIFY(a.screen->Record().ProgramacaoAlterada);
    }

    // Only the image's size or its line form loads; any other file is refused and changes nothing.
    void templateFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loads");
        QByteArray plain;
        for (int i = 0; i < 304; ++i)
            plain.append(char(i * 7));
        QByteArray lines;
        for (int l = 0; l < 19; ++l)
            lines += plain.mid(l * 16, 16) + "\r\n";
        QTest::newRow("plain") << plain << true;
        QTest::newRow("lines of 16 with CR LF") << lines << true;
        QTest::newRow("longer file") << plain + QByteArray(40, '\x55') << false;
        QTest::newRow("lines ending in LF only") << QByteArray(lines).replace("\r\n", "\n") << false;
        QTest::newRow("short") << plain.left(256) << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void templateFiles() {
        QFETCH(QByteArray, content);
        QFETCH(bool, loads);
        EditorRig rig;
        QVERIFY2(rig.Open(1, "1.4"), qPrintable(rig.f.db.Error()));
        WriteFile(TemplateFolder("Orvan10") + QStringLiteral("/teste.zrv"), content);
        const QByteArray before = rig.Images().ImagemPC.bytes();
        rig.f.prompts.told.clear();
        WithTemplateDialog(rig.editor, [](TfrmSalvarProgramacao* d) {
            SelectFile(d, "teste.zrv");
            QTest::mouseClick(d->btnCarregar, Qt::LeftButton);
        });
        if (loads) {
            QByteArray plain;
            for (int i = 0; i < 304; ++i)
                plain.append(char(i * 7));
            plain.replace(112, 4, QByteArray::fromHex("12346A93")); // the customer's own codes
            QCOMPARE(rig.Images().ImagemPC.bytes(), plain);
            QVERIFY(rig.f.prompts.told.isEmpty());
        } else {
            QCOMPARE(rig.Images().ImagemPC.bytes(), before);
            QCOMPARE(rig.f.prompts.told.size(), 1);
        }
    }

    // "Fechar" stores the chosen version; the window follows it at once.
    void versionChange() {
        EditorRig rig;
        QVERIFY2(rig.Open(3, "1.2"), qPrintable(rig.f.db.Error()));
        QCOMPARE(Find<QComboBox>(rig.Sec("secComunicacao"), "cmbFormato")->count(), 26);
        WithTemplateDialog(rig.editor, [](TfrmSalvarProgramacao* d) {
            QCOMPARE(d->cmbVersao->currentText(), "Versão 1.2");
            QCOMPARE(d->cmbVersao->count(), 4);
            d->cmbVersao->setCurrentIndex(3);
        });
        QCOMPARE(rig.screen->Record().StoredVersion(), "1.3");
        QCOMPARE(rig.f.db.dm.DSetClientes.Value(QStringLiteral("VERSAO_PRODUTO")).toString(), "1.3");
        QCOMPARE(Find<QComboBox>(rig.Sec("secComunicacao"), "cmbFormato")->count(), 2);
        QCOMPARE(Find<QLabel>(rig.editor, "lblModelo")->text(), "Orvan 10 Max");
    }

    // "Definir como padrão" keeps the chosen template for the model.
    void defaultTemplate() {
        EditorRig rig;
        QVERIFY2(rig.Open(2, "1.5"), qPrintable(rig.f.db.Error()));
        WriteFile(TemplateFolder("Orvan5") + QStringLiteral("/escritorio.zrv"), QByteArray(256, '\x11'));
        WithTemplateDialog(rig.editor, [](TfrmSalvarProgramacao* d) {
            QVERIFY(!d->btnDefinirPadrao->isEnabled());
            SelectFile(d, "escritorio.zrv");
            QTest::mouseClick(d->btnDefinirPadrao, Qt::LeftButton);
            QCOMPARE(d->lblArquivoPadrao->text(), "escritorio.zrv");
        });
        QCOMPARE(QFileInfo(rig.screen->ScreenSettings().ProgDefault5).fileName(), "escritorio.zrv");
        QFile ini(g_home->filePath(QStringLiteral("ZRVConfig.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(ini.readAll());
        QVERIFY2(text.contains(QStringLiteral("Orvan5/escritorio.zrv")), qPrintable(text));
    }
};

QTEST_MAIN(TestProgEditor)
#include "tst_prog_editor.moc"
