// Login and first operator: the windows against a fresh embedded database.
#include "access/login.h"
#include "access/ui/frm_primeira_senha.h"
#include "access/ui/frm_splash.h"
#include "base/termination_request.h"
#include "widgets/balloon_tip.h"
#include "widgets/stoppable_dialog.h"
#include "gui/gui_helpers.h"
#include "store/data_module.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <csignal>

class TestLogin : public QObject {
    Q_OBJECT

private:
    // A database with operators: 1 the administrator with an empty permission text, 2 an
    // inactive one, 3 an ordinary one with the first three permissions only, 4 one with a quote.
    void CreateOperators(TempDatabase& db) {
        QVERIFY2(db.Create(), qPrintable(db.Error()));
        QString error;
        QVERIFY2(
            TempDatabase::RunScript(
                db.Path(),
                "insert into USUARIOS_SOFTWARE (ID_USER_SOFT, USUARIO, SENHA, CONFIRMA_SENHA, PERGUNTA, "
                "RESPOSTA, ATIVO, PERMISSOES) values (1, 'admin', 'abc', 'abc', 'Time favorito?', 'Azul', "
                "'T', '');"
                "insert into USUARIOS_SOFTWARE values (2, 'inativo', 'x1', 'x1', 'Filme favorito?', 'F', "
                "'F', "
                "'1111111111111111111111111111111111111111');"
                "insert into USUARIOS_SOFTWARE values (3, 'maria', 'm1', 'm1', 'Comida predileta?', 'Arroz', "
                "'T', '110');"
                "insert into USUARIOS_SOFTWARE values (4, 'o''brien', 'q1', 'q1', 'Time favorito?', 'Q', "
                "'T', "
                "'1');"
                "set generator GEN_USUARIOS_SOFTWARE_ID to 4;",
                &error),
            qPrintable(error));
    }

    // Types the name and password and presses "Entrar".
    static void Enter(TfrmSplash& login, const QString& name, const QString& password) {
        login.edtUsuario->clear();
        login.edtSenha->clear();
        QTest::keyClicks(login.edtUsuario, name);
        QTest::keyClicks(login.edtSenha, password);
        QTest::mouseClick(login.btnEntrar, Qt::LeftButton);
    }

private Q_SLOTS:
    void firstSetupThenLogin() {
        TempDatabase db;
        QVERIFY2(db.Create(), qPrintable(db.Error()));
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(db.Path()));
        QVERIFY(dm.DSetUsuariosSoft.Open());
        QVERIFY(dm.DSetUsuariosSoft.IsEmpty());

        TfrmPrimeiraSenha setup(dm, TfrmPrimeiraSenha::Page::FirstOperator);
        setup.show();
        QVERIFY(QTest::qWaitForWindowActive(&setup));
        QCOMPARE(setup.cmbPergunta->currentText(), QStringLiteral("Time favorito?"));
        // Name, password and confirmation take letters and digits only.
        QTest::keyClicks(setup.dbedtUsuario, "Jo-ao 1");
        QCOMPARE(setup.dbedtUsuario->text(), QStringLiteral("Joao1"));
        QTest::keyClicks(setup.dbedtSenha, "s3nha");
        QTest::keyClicks(setup.dbedtConfirmaSenha, "s3nhx");
        QTest::mouseClick(setup.btnOK, Qt::LeftButton);
        QVERIFY(BalloonTip::IsShown());
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgPreenchimentoObrigatorio);
        QCOMPARE(BalloonTip::CurrentAnchor(), setup.dbedtResposta);
        QTest::keyClicks(setup.dbedtResposta, "Verde");
        QVERIFY(!BalloonTip::IsShown()); // any key hides it
        QTest::mouseClick(setup.btnOK, Qt::LeftButton);
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgConfirmacaoIncorreta);
        QCOMPARE(BalloonTip::CurrentAnchor(), setup.dbedtConfirmaSenha);
        QCOMPARE(setup.dbedtConfirmaSenha->selectedText(), QStringLiteral("s3nhx"));
        QCOMPARE(QApplication::focusWidget(), setup.dbedtConfirmaSenha);
        setup.dbedtConfirmaSenha->setText(QStringLiteral("s3nha"));
        QTest::mouseClick(setup.btnOK, Qt::LeftButton);
        QCOMPARE(setup.result(), int(QDialog::Accepted));
        QVERIFY(dm.FirstRun);
        QVERIFY(dm.Operator.administrator);
        QCOMPARE(dm.Operator.name, QStringLiteral("Joao1"));

        const auto rows = SelectRows(
            dm.IBDB, "select ID_USER_SOFT, ATIVO, PERMISSOES, PERGUNTA, RESPOSTA from USUARIOS_SOFTWARE");
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toInt(), 1);
        QCOMPARE(rows[0][1].toString(), QStringLiteral("T"));
        QCOMPARE(rows[0][2].toString(), QString(255, QLatin1Char('1')));
        QCOMPARE(rows[0][3].toString(), QStringLiteral("Time favorito?"));

        // The new operator logs in; surrounding blanks of the name are trimmed.
        dm.Operator = {};
        TfrmSplash login(dm);
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        QVERIFY(!login.btnEntrar->isEnabled());
        Enter(login, "  Joao1 ", "s3nha");
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(dm.Operator.name, QStringLiteral("Joao1"));
        QVERIFY(dm.Operator.administrator);
    }

    void loginComplaints() {
        TempDatabase db;
        CreateOperators(db);
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(db.Path()));
        MessageLog messages;
        TfrmSplash login(dm);
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));

        Enter(login, "ninguem", "abc");
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgUsuarioIncorreto);
        QCOMPARE(BalloonTip::CurrentAnchor(), login.edtUsuario);

        Enter(login, "admin", "abd");
        QVERIFY(BalloonTip::IsShown());
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgSenhaIncorreta);
        QCOMPARE(BalloonTip::CurrentAnchor(), login.edtSenha);
        QCOMPARE(QApplication::focusWidget(), login.edtSenha);
        QCOMPARE(login.edtSenha->selectedText(), QStringLiteral("abd"));
        QVERIFY(login.isVisible());

        // An inactive operator with the right password gets the message, not a balloon.
        Enter(login, "inativo", "x1");
        QCOMPARE(messages.Last(), kMsgUsuarioInativo);
        QVERIFY(!BalloonTip::IsShown());
        QVERIFY(login.isVisible());
        QCOMPARE(login.result(), int(QDialog::Rejected));

        // A name with a quote is looked up like any other.
        Enter(login, "o'brien", "q1");
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(dm.Operator.name, QStringLiteral("o'brien"));
    }

    void permissionsOfTheLoggedOperator() {
        TempDatabase db;
        CreateOperators(db);
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(db.Path()));

        // The administrator with an empty permission text holds every permission.
        const LoginAttempt admin = TryLogin(dm, "admin", "abc");
        QCOMPARE(admin.result, LoginAttempt::Result::Ok);
        QVERIFY(admin.op.administrator);
        for (int p = 1; p <= 40; ++p)
            QVERIFY2(admin.op.HasPermission(p), qPrintable(QString::number(p)));

        // An ordinary operator holds only what its characters grant.
        const LoginAttempt maria = TryLogin(dm, "maria", "m1");
        QCOMPARE(maria.result, LoginAttempt::Result::Ok);
        QVERIFY(!maria.op.administrator);
        QVERIFY(maria.op.HasPermission(1));
        QVERIFY(maria.op.HasPermission(2));
        QVERIFY(!maria.op.HasPermission(3));
        QVERIFY(!maria.op.HasPermission(4));
        QVERIFY(!maria.op.HasPermission(40));

        // A password is compared exactly, letter case included.
        QCOMPARE(TryLogin(dm, "maria", "M1").result, LoginAttempt::Result::WrongPassword);
    }

    void forgottenPassword() {
        TempDatabase db;
        CreateOperators(db);
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(db.Path()));
        MessageLog messages;

        TfrmSplash login(dm);
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        QTest::keyClicks(login.edtUsuario, "nobody");
        QTest::mouseClick(login.btnEsqueciSenha, Qt::LeftButton);
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgUsuarioInexistente);

        const StoredSecret secret = FindSecret(dm, " maria ");
        QVERIFY(secret.found);
        TfrmPrimeiraSenha page(dm, TfrmPrimeiraSenha::Page::ForgottenPassword);
        page.SetStoredSecret(secret);
        page.show();
        QTest::mouseClick(page.btnOKEsqueci, Qt::LeftButton);
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgEscolhaPergunta);
        page.cmbPerguntaEsqueci->setCurrentText(QStringLiteral("Time favorito?"));
        QTest::mouseClick(page.btnOKEsqueci, Qt::LeftButton);
        QCOMPARE(BalloonTip::CurrentMessage(), kMsgEscrevaResposta);
        // The right answer under another question is refused.
        QTest::keyClicks(page.edtRespostaEsqueci, "Arroz");
        QTest::mouseClick(page.btnOKEsqueci, Qt::LeftButton);
        QCOMPARE(messages.Last(), kMsgRespostaIncorreta);
        QVERIFY(page.lblSenhaRevelada->text().isEmpty());
        page.cmbPerguntaEsqueci->setCurrentText(QStringLiteral("Comida predileta?"));
        QTest::mouseClick(page.btnOKEsqueci, Qt::LeftButton);
        QCOMPARE(page.lblSenhaRevelada->text(), QStringLiteral("m1"));
    }

    // A system shutdown while the login waits for the operator closes it as a cancel. (The request
    // stays recorded for the process; no other test here depends on it.)
    void terminationClosesTheLogin() {
        TempDatabase db;
        CreateOperators(db);
        TdmBancoDeDados dm;
        QVERIFY(dm.Connect(db.Path()));
        TfrmSplash login(dm);
        QTimer::singleShot(50, [] { TerminationRequest::instance().Raise(SIGTERM); });
        QCOMPARE(ExecUntilTerminated(login), int(QDialog::Rejected));
        QVERIFY(!login.isVisible());
        // A request that came before the window opens keeps it from waiting at all.
        TfrmSplash again(dm);
        QCOMPARE(ExecUntilTerminated(again), int(QDialog::Rejected));
    }

    void openAndLoginChoosesTheWindow() {
        // Without operators the data module runs the first-time set-up, otherwise the login.
        struct Host : DataModuleHost {
            QStringList calls;
            void ShowMessage(const QString& text) override { calls << text; }
            bool RunFirstTimeSetup(TdmBancoDeDados&) override {
                calls << "setup";
                return true;
            }
            bool RunLogin(TdmBancoDeDados&) override {
                calls << "login";
                return false;
            }
            void TerminateApplication() override { calls << "end"; }
        };
        TempDatabase empty;
        QVERIFY(empty.Create());
        TempDatabase withOperators;
        CreateOperators(withOperators);
        Host host;
        TdmBancoDeDados dm;
        dm.SetHost(&host);
        QVERIFY(dm.OpenAndLogin(empty.Path()));
        QVERIFY(!dm.OpenAndLogin(withOperators.Path()));
        QCOMPARE(host.calls, QStringList({"setup", "login"}));
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
