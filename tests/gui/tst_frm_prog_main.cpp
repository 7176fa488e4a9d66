// The customer record screen offscreen against a fresh embedded database: adding a customer of each
// model through the screen, saving with its checks (required fields, repeated panel codes under each
// rule), leaving with its questions, the typing rules and the code group.
#include "base/locale_format.h"
#include "gui/record_screen_fixture.h"
#include "store/latin1_text.h"
#include "support/connected_data_module.h"
#include "widgets/balloon_tip.h"
#include "workspace/record_texts.h"
#include "workspace/ui/frm_prog_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

class TestFrmProgMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { BalloonTip::HideCurrent(); }

    void addCustomerOfEachModel_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("header");
        QTest::newRow("Orvan 10") << 1 << "1.4"
                                  << "Informações sobre o cliente\ne o painel Orvan 10 V1.4";
        QTest::newRow("Orvan 5") << 2 << "1.4"
                                 << "Informações sobre o cliente\ne o painel Orvan 5 V1.4";
        QTest::newRow("Orvan 10 Eco") << 3 << "1.2"
                                      << "Informações sobre o cliente\ne o painel Orvan 10 Eco V1.2";
        QTest::newRow("Orvan 10 Max") << 3 << "1.3"
                                      << "Informações sobre o cliente\ne o painel Orvan 10 Max V1.3";
        QTest::newRow("Orvan 9 Max") << 4 << "1.0"
                                     << "Informações sobre o cliente\ne o painel Orvan 9 V1.0";
    }
    void addCustomerOfEachModel() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        QFETCH(QString, header);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        const QString name = QStringLiteral("Padaria D'Ouro");
        const int id = f.AddCustomer(productCode, version, name, "0");
        QVERIFY2(id > 0, qPrintable(f.prompts.told.join('|')));
        QCOMPARE(f.prompts.asked, QStringList{kMsgSalvarConta});

        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        QVERIFY(screen);
        screen->show();
        QCOMPARE(Find<QLabel>(screen.get(), "lblCabecalho")->text(), header);
        QCOMPARE(Find<QLineEdit>(screen.get(), "dbedtNome")->text(), name);
        QCOMPARE(Find<QLineEdit>(screen.get(), "dbedtFonePainel")->text(), "4133334444");
        // "0" was padded when saved; every other byte is the model's factory programming.
        QCOMPARE(Find<QLineEdit>(screen.get(), "dbedtCodigoPainel")->text(), "0000");
        ProgrammingImage expected = BuiltInFactoryImage(productCode);
        expected.setText(ProgField::PanelCode, "0000");
        if (productCode == 2) { // the 5-zone users' codes are kept as "no code" (FF FF)
            for (int n = 1; n <= 15; ++n)
                expected.setUserCode(n, QString());
        }
        QVERIFY(screen->Record().Images().ImagemPC == expected);
        QCOMPARE(Find<QLabel>(screen.get(), "lblDataCriacao")->text(), FormatDate(QDate::currentDate()));

        // Nothing changed: "Retornar" closes without a question.
        f.prompts.asked.clear();
        Press(screen.get(), "jvLookRetornar");
        QVERIFY(!screen->isVisible());
        QVERIFY(f.prompts.asked.isEmpty());
        QCOMPARE(screen->CustomerId(), id);
    }

    // Showing a stored customer starts no edit: leaving it asks nothing.
    void openingChangesNothing() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        const int id = f.AddCustomer(2, "1.4", "Grupo VIP", "1234");
        QVERIFY(f.db.dm.IBDB.Exec("insert into GRUPOS (ID_GRUPO, NOME_GRUPO) values (3, 'VIP')"));
        QVERIFY(f.db.dm.IBDB.Exec("update CLIENTES set ID_GRUPO = 3, ESTADO = 5 where ID_CLIENTE = ?", {id}));
        QVERIFY(f.db.dm.IBDB.Exec("update PAINEL set P_ESTADO = 27, ENGANA_SECRETARIA = '1', "
                                  "TEMPO_ENGANA_SECRETARIA = 12 where ID_CLIENTE = ?",
                                  {id}));
        QVERIFY(f.db.dm.CommitRetaining());

        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        screen->show();
        QCOMPARE(Find<QComboBox>(screen.get(), "cmbGrupo")->currentText(), "VIP");
        QCOMPARE(Find<QComboBox>(screen.get(), "cmbEstado")->currentText(), "Bahia");
        auto* panelState = Find<QComboBox>(screen.get(), "cmbPEstado");
        QCOMPARE(panelState->currentText(), "Tocantins");
        QCOMPARE(Find<QLineEdit>(screen.get(), "dbedtTempoSecret")->text(), "12");
        QVERIFY(Find<QCheckBox>(screen.get(), "dbchkSecretaria")->isChecked());
        QVERIFY(!f.db.dm.ModoEditOuInsert());
        f.prompts.asked.clear();
        Press(screen.get(), "jvLookRetornar");
        QVERIFY(f.prompts.asked.isEmpty());
        QVERIFY(!screen->isVisible());

        // The state can be taken away again.
        screen.reset(TfrmProgMain::OpenCustomer(f.context, id));
        screen->show();
        Find<QComboBox>(screen.get(), "cmbPEstado")->setCurrentIndex(0);
        f.prompts.answers = {OperatorAnswer::Yes};
        Press(screen.get(), "btnSalvar");
        QVERIFY(f.db.dm.IBDB.SelectValue("select P_ESTADO from PAINEL where ID_CLIENTE = ?", {id}).isNull());
        QCOMPARE(f.db.dm.IBDB.SelectValue("select ESTADO from CLIENTES where ID_CLIENTE = ?", {id}).toInt(),
                 5);
    }

    void leavingWithChanges_data() {
        QTest::addColumn<OperatorAnswer>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("storedName");
        QTest::newRow("No discards and closes") << OperatorAnswer::No << true << "Antes";
        QTest::newRow("Cancel stays") << OperatorAnswer::Cancel << false << "Antes";
        QTest::newRow("Yes saves and closes") << OperatorAnswer::Yes << true << "Depois";
    }
    void leavingWithChanges() {
        QFETCH(OperatorAnswer, answer);
        QFETCH(bool, closed);
        QFETCH(QString, storedName);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        const int id = f.AddCustomer(1, "1.4", "Antes", "1234");
        QVERIFY(id > 0);

        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        screen->show();
        TypeInto(screen.get(), "dbedtNome", "Depois");
        f.prompts.asked.clear();
        f.prompts.answers = {answer};
        Press(screen.get(), "jvLookRetornar");
        QCOMPARE(f.prompts.asked, QStringList{kMsgSalvarAntesDeSair});
        QCOMPARE(!screen->isVisible(), closed);
        QCOMPARE(screen->ExitAnswer(), closed ? OperatorAnswer::Yes : OperatorAnswer::None);
        QCOMPARE(f.db.dm.IBDB.SelectValue("select NOME from CLIENTES where ID_CLIENTE = ?", {id}).toString(),
                 storedName);
        if (!closed) {
            QCOMPARE(Find<QLineEdit>(screen.get(), "dbedtNome")->text(), "Depois");
            // Closing by the frame asks again.
            f.prompts.answers = {OperatorAnswer::No};
            screen->close();
            QVERIFY(!screen->isVisible());
        }
        QVERIFY(!f.db.dm.ModoEditOuInsert());
        QVERIFY(!f.db.dm.DSetClientes.Active());
    }

    void repeatedPanelCode_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<OperatorAnswer>("answer"); // to "Deseja continuar?"
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("balloon");
        QTest::newRow("Não permitir") << 1 << OperatorAnswer::None << false << kMsgCodigoRepetidoProibido;
        QTest::newRow("Permitir, porém avisar: Yes") << 2 << OperatorAnswer::Yes << true << "";
        QTest::newRow("Permitir, porém avisar: No") << 2 << OperatorAnswer::No << false << "";
        QTest::newRow("Permitir") << 3 << OperatorAnswer::None << true << "";
    }
    void repeatedPanelCode() {
        QFETCH(int, rule);
        QFETCH(OperatorAnswer, answer);
        QFETCH(bool, saved);
        QFETCH(QString, balloon);
        Fixture f;
        QVERIFY2(f.Open(rule | 8), qPrintable(f.db.Error()));
        QVERIFY(f.AddCustomer(1, "1.4", "Primeiro", "4321") > 0);

        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 2, "1.4"));
        screen->show();
        TypeInto(screen.get(), "dbedtNome", "Segundo");
        TypeInto(screen.get(), "dbedtFonePainel", "4133335555");
        auto* alterar = Find<QCheckBox>(screen.get(), "chkAlterarCodigos");
        alterar->setChecked(true);
        TypeInto(screen.get(), "dbedtCodigoPainel", "4321");
        alterar->setChecked(false);
        f.prompts.asked.clear();
        f.prompts.answers = {OperatorAnswer::Yes, answer};
        Press(screen.get(), "btnSalvar");

        const QStringList expectedQuestions = rule == 2
                                                  ? QStringList{kMsgSalvarConta, kMsgCodigoRepetidoContinuar}
                                                  : QStringList{kMsgSalvarConta};
        QCOMPARE(f.prompts.asked, expectedQuestions);
        if (rule == 2)
            QCOMPARE(f.prompts.askedWithNoPreselected.last(), true);
        QCOMPARE(f.db.Count("PAINEL", "where CODIGO_PAINEL = ?", {"4321"}), saved ? 2 : 1);
        QCOMPARE(screen->ExitAnswer(), saved ? OperatorAnswer::Yes : OperatorAnswer::Cancel);
        if (!balloon.isEmpty()) {
            QCOMPARE(BalloonTip::CurrentMessage(), balloon);
            QCOMPARE(BalloonTip::CurrentAnchor(), Find<QLineEdit>(screen.get(), "dbedtCodigoPainel"));
            QVERIFY(alterar->isChecked());
        }
    }

    void requiredFields_data() {
        QTest::addColumn<QByteArray>("emptied");
        QTest::newRow("name") << QByteArray("dbedtNome");
        QTest::newRow("telephone") << QByteArray("dbedtFonePainel");
    }
    void requiredFields() {
        QFETCH(QByteArray, emptied);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        TypeInto(screen.get(), "dbedtNome", "Nome");
        TypeInto(screen.get(), "dbedtFonePainel", "4133335555");
        Find<QCheckBox>(screen.get(), "chkAlterarCodigos")->setChecked(true);
        TypeInto(screen.get(), emptied.constData(), "");
        Find<QLineEdit>(screen.get(), "dbedtFone1")->setFocus();
        f.prompts.answers = {OperatorAnswer::Yes};
        Press(screen.get(), "btnSalvar");

        auto* field = Find<QLineEdit>(screen.get(), emptied.constData());
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgCampoObrigatorio);
        QCOMPARE(BalloonTip::CurrentAnchor(), field);
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QCOMPARE(screen->ExitAnswer(), OperatorAnswer::Cancel);
        QCOMPARE(f.db.Count("CLIENTES"), 0);
        QVERIFY(screen->isVisible());
        // A key in the screen takes the balloon away.
        QTest::keyClick(field, Qt::Key_1);
        QVERIFY(!BalloonTip::IsShown());
    }

    // A new customer's creation time is shown and stored to the second, as the customer list and
    // customers added elsewhere have it.
    void creationTimeToTheSecond() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        const QTime now = QTime::currentTime();
        const QTime before(now.hour(), now.minute(), now.second());
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        QVERIFY(screen);
        screen->show();
        const QTime after = QTime::currentTime();
        if (after < before)
            QSKIP("the clock passed midnight");
        const QString shown = Find<QLabel>(screen.get(), "lblHoraCriacao")->text();
        const QTime created = QTime::fromString(shown, QStringLiteral("HH:mm:ss"));
        QVERIFY2(created.isValid() && created >= before && created <= after, qPrintable(shown));

        TypeInto(screen.get(), "dbedtNome", "Agora");
        TypeInto(screen.get(), "dbedtFonePainel", "4133334444");
        f.prompts.answers = {OperatorAnswer::Yes};
        Press(screen.get(), "btnSalvar");
        const int id = screen->CustomerId();
        QVERIFY2(id > 0, qPrintable(f.prompts.told.join('|')));
        QCOMPARE(
            f.db.dm.IBDB.SelectValue("select HORA_CRIACAO from CLIENTES where ID_CLIENTE = ?", {id}).toTime(),
            created);
        std::unique_ptr<TfrmProgMain> stored(TfrmProgMain::OpenCustomer(f.context, id));
        QVERIFY(stored);
        QCOMPARE(Find<QLabel>(stored.get(), "lblHoraCriacao")->text(), shown);
    }

    // Text with characters outside ISO 8859-1 is sent back to its field with the balloon; the
    // stored row keeps its value, nothing is written altered.
    void textOutsideLatin1_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("stored");
        QTest::newRow("name") << QByteArray("dbedtNome") << "select NOME from CLIENTES where ID_CLIENTE = ?"
                              << "Antes";
        QTest::newRow("panel city, address page")
            << QByteArray("dbedtPCidade") << "select P_CIDADE from PAINEL where ID_CLIENTE = ?"
            << "Curitiba";
    }
    void textOutsideLatin1() {
        QFETCH(QByteArray, field);
        QFETCH(QString, select);
        QFETCH(QString, stored);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        const int id = f.AddCustomer(1, "1.4", "Antes", "1234");
        QVERIFY(id > 0);
        QVERIFY(f.db.dm.IBDB.Exec("update PAINEL set P_CIDADE = 'Curitiba' where ID_CLIENTE = ?", {id}));
        QVERIFY(f.db.dm.CommitRetaining());

        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        const QString typed = QStringLiteral("Loja \u2013 \u201CSol\u201D \u20AC");
        auto* edit = Find<QLineEdit>(screen.get(), field.constData());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        for (const QChar c : typed) { // as a keyboard layout with these characters types them
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
        QCOMPARE(edit->text(), typed);
        // Leaving the field points at it at once.
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(BalloonTip::CurrentMessage(), MsgTextNotLatin1(typed));
        QCOMPARE(BalloonTip::CurrentAnchor(), edit);
        BalloonTip::HideCurrent();

        f.prompts.told.clear();
        f.prompts.answers = {OperatorAnswer::Yes};
        Press(screen.get(), "btnSalvar");
        QCOMPARE(BalloonTip::CurrentMessage(), MsgTextNotLatin1(typed));
        QCOMPARE(BalloonTip::CurrentAnchor(), edit);
        QVERIFY(edit->isVisible());
        QVERIFY(f.prompts.told.isEmpty());
        QCOMPARE(screen->ExitAnswer(), OperatorAnswer::Cancel);
        QVERIFY(screen->isVisible());
        QCOMPARE(edit->text(), typed);
        QCOMPARE(f.db.dm.IBDB.SelectValue(select, {id}).toString(), stored);
    }

    void typingRules_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("panel telephone") << QByteArray("dbedtFonePainel") << "0,41 a3#3*-x"
                                         << "0,413#3*";
        QTest::newRow("postal code") << QByteArray("dbedtCep") << "80.010-a000"
                                     << "80010-000";
        QTest::newRow("panel postal code") << QByteArray("dbedtPCep") << "8x1"
                                           << "81";
        QTest::newRow("panel code") << QByteArray("dbedtCodigoPainel") << "1a2b"
                                    << "12";
        QTest::newRow("PC code") << QByteArray("dbedtCodigoPC") << "9#8"
                                 << "98";
        QTest::newRow("bypass time") << QByteArray("dbedtTempoSecret") << "1#2*"
                                     << "12";
        QTest::newRow("contact telephone takes any key") << QByteArray("dbedtFone1") << "(41) 3333-x"
                                                         << "(41) 3333-x";
        QTest::newRow("name takes any key") << QByteArray("dbedtNome") << "Ze's #1"
                                            << "Ze's #1";
    }
    void typingRules() {
        QFETCH(QByteArray, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        Find<QCheckBox>(screen.get(), "chkAlterarCodigos")->setChecked(true);
        Find<QCheckBox>(screen.get(), "dbchkSecretaria")->setChecked(true);
        TypeInto(screen.get(), field.constData(), typed);
        QCOMPARE(Find<QLineEdit>(screen.get(), field.constData())->text(), shown);
        QVERIFY(f.prompts.told.isEmpty());
    }

    void enterMovesToTheNextField() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        auto* nome = Find<QLineEdit>(screen.get(), "dbedtNome");
        QTRY_COMPARE(QApplication::focusWidget(), nome);
        QTest::keyClick(nome, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Find<QWidget>(screen.get(), "cmbGrupo"));
        QVERIFY(screen->isVisible());
        QVERIFY(f.prompts.asked.isEmpty());
    }

    // The code fields without the permission to see them: masked, and a typed key is refused.
    void codesWithoutPermission() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        f.db.SetPermission(20, false);
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        Find<QCheckBox>(screen.get(), "chkAlterarCodigos")->setChecked(true);
        auto* panel = Find<QLineEdit>(screen.get(), "dbedtCodigoPainel");
        auto* pc = Find<QLineEdit>(screen.get(), "dbedtCodigoPC");
        QCOMPARE(panel->echoMode(), QLineEdit::Password);
        QCOMPARE(pc->echoMode(), QLineEdit::Normal);
        panel->setFocus();
        QTest::keyClick(panel, Qt::Key_5);
        QCOMPARE(f.prompts.told, QStringList{kMsgSemPermissao});
        QCOMPARE(panel->text(), "6093");
        QTest::keyClicks(pc, "1");
        QCOMPARE(f.prompts.told.size(), 1);
    }

    // Leaving the code fields pads them ("7" is 0007 in the field, AA A7 in the image), an emptied
    // PC code becomes 6093 again, and leaving the codes area unchecks "Alterar códigos".
    void leavingTheCodeFields() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        auto* alterar = Find<QCheckBox>(screen.get(), "chkAlterarCodigos");
        alterar->setChecked(true);
        auto* panel = Find<QLineEdit>(screen.get(), "dbedtCodigoPainel");
        auto* pc = Find<QLineEdit>(screen.get(), "dbedtCodigoPC");
        TypeInto(screen.get(), "dbedtCodigoPainel", "7");
        QCOMPARE(screen->Record().Images().ImagemPC.bytes().mid(112, 2), QByteArray::fromHex("AAA7"));
        TypeInto(screen.get(), "dbedtCodigoPC", "");
        QCOMPARE(panel->text(), "0007");
        QCOMPARE(f.db.dm.DSetPainel.Value("CODIGO_PAINEL").toString(), "0007");
        QVERIFY(alterar->isChecked());
        Find<QLineEdit>(screen.get(), "dbedtFonePainel")->setFocus();
        QTRY_VERIFY(!alterar->isChecked());
        QCOMPARE(pc->text(), "6093");
        QVERIFY(!panel->isEnabled() && !pc->isEnabled());
        QCOMPARE(screen->Record().Images().ImagemPC.bytes().mid(114, 2), QByteArray::fromHex("6A93"));

        // An emptied panel code gets the factory code back on leaving, as the PC code does.
        alterar->setChecked(true);
        TypeInto(screen.get(), "dbedtCodigoPainel", "");
        Find<QLineEdit>(screen.get(), "dbedtFonePainel")->setFocus();
        QTRY_COMPARE(panel->text(), "6093");
        QCOMPARE(f.db.dm.DSetPainel.Value("CODIGO_PAINEL").toString(), "6093");
        QCOMPARE(screen->Record().Images().ImagemPC.bytes().mid(112, 2), QByteArray::fromHex("6A93"));
    }

    // "Alarme" shows the panel's codes without writing them anywhere; "PC" brings the program's back.
    void codeSourceViews() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        const int id = f.AddCustomer(1, "1.4", "Codigos", "1234");
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        screen->show();
        ProgrammingImages& images = screen->Record().Images();
        images.ImagemAlarme.setText(ProgField::PanelCode, "8765");
        images.ImagemAlarme.setText(ProgField::PcCode, "0102");
        const QByteArray before = images.ImagemPC.bytes();
        auto* panel = Find<QLineEdit>(screen.get(), "dbedtCodigoPainel");
        Find<QCheckBox>(screen.get(), "chkAlterarCodigos")->setChecked(true);

        Find<QRadioButton>(screen.get(), "rbFonteAlarmeCodigos")->click();
        QCOMPARE(panel->text(), "8765");
        QCOMPARE(Find<QLineEdit>(screen.get(), "dbedtCodigoPC")->text(), "0102");
        QVERIFY(!panel->isEnabled());
        QCOMPARE(images.ImagemPC.bytes(), before);
        QVERIFY(!f.db.dm.ModoEditOuInsert());

        Find<QRadioButton>(screen.get(), "rbFontePCCodigos")->click();
        QCOMPARE(panel->text(), "1234");
        QVERIFY(panel->isEnabled());
        QCOMPARE(images.ImagemPC.bytes(), before);
        QVERIFY(!f.db.dm.ModoEditOuInsert());
    }

    void answeringMachineFields() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        auto* bypass = Find<QCheckBox>(screen.get(), "dbchkSecretaria");
        auto* time = Find<QLineEdit>(screen.get(), "dbedtTempoSecret");
        QVERIFY(!bypass->isChecked()); // the 10-zone factory programming switched it off
        QVERIFY(!time->isVisible());
        bypass->setChecked(true);
        QVERIFY(time->isVisible());
        QCOMPARE(f.db.dm.DSetPainel.Value("ENGANA_SECRETARIA").toString(), "1");

        TypeInto(screen.get(), "dbedtTempoSecret", "300");
        Find<QLineEdit>(screen.get(), "dbedtFone1")->setFocus();
        QTRY_COMPARE(time->text(), "255");
        Find<QToolButton>(screen.get(), "sbTempoSecretUp")->click();
        QCOMPARE(time->text(), "255");
        auto* down = Find<QToolButton>(screen.get(), "sbTempoSecretDown");
        down->click();
        QCOMPARE(f.db.dm.DSetPainel.Value("TEMPO_ENGANA_SECRETARIA").toInt(), 254);
        TypeInto(screen.get(), "dbedtTempoSecret", "1");
        down->click();
        down->click();
        QCOMPARE(time->text(), "0");
    }

    void closingByTheFrame() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 1, "1.4"));
        screen->show();
        // A new customer is pending: the frame's close asks; Cancel keeps the screen.
        f.prompts.answers = {OperatorAnswer::Cancel};
        screen->close();
        QVERIFY(screen->isVisible());
        QCOMPARE(f.prompts.asked, QStringList{kMsgSalvarAntesDeSair});
        QCOMPARE(screen->ExitAnswer(), OperatorAnswer::None);
        // Greyed out, the frame's close does nothing at all.
        screen->SetCloseEnabled(false);
        screen->close();
        QVERIFY(screen->isVisible());
        QCOMPARE(f.prompts.asked.size(), 1);
        screen->SetCloseEnabled(true);
        f.prompts.answers = {OperatorAnswer::No};
        screen->close();
        QVERIFY(!screen->isVisible());
        QCOMPARE(f.db.Count("CLIENTES"), 0);
    }
};

QTEST_MAIN(TestFrmProgMain)
#include "tst_frm_prog_main.moc"
