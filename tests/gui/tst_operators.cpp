// The operator windows against a fresh embedded database: the main window's entries guarded by
// their permissions, the operator list's buttons, the operator editor creating and editing an
// operator, the guard of the last administrator, a name with a quote, and the audit record window.
#include "access/login.h"
#include "access/operators.h"
#include "access/ui/frm_auditoria.h"
#include "access/ui/frm_permissoes.h"
#include "access/ui/frm_primeira_senha.h"
#include "access/ui/frm_usuarios.h"
#include "gui/gui_helpers.h"
#include "link/link_state.h"
#include "serial/memory_line.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "support/connected_data_module.h"
#include "workspace/ui/frm_principal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kNoPermission = QStringLiteral("Este usuário não tem permissão para esta operação");

QString Granting(const QList<int>& permissions) {
    QString text;
    PermissionText(permissions, &text);
    return text;
}

// Operators stored directly: key, name, active, PERMISSOES.
bool AddRow(TdmBancoDeDados& dm, int id, const QString& name, bool active, const QString& permissoes) {
    return dm.IBDB.Exec(QStringLiteral("insert into USUARIOS_SOFTWARE (ID_USER_SOFT, USUARIO, SENHA, "
                                       "CONFIRMA_SENHA, PERGUNTA, RESPOSTA, ATIVO, PERMISSOES) values "
                                       "(?, ?, 'x1', 'x1', 'Time favorito?', 'azul', ?, ?)"),
                        {id, name, active ? "T" : "F", permissoes}) &&
           dm.IBDB.Exec(QStringLiteral("set generator GEN_USUARIOS_SOFTWARE_ID to 10")) &&
           dm.CommitRetaining();
}

QVariant Field(TdmBancoDeDados& dm, const QString& name, const QString& field) {
    return dm.IBDB.SelectValue(
        QStringLiteral("select %1 from USUARIOS_SOFTWARE where USUARIO = ?").arg(field), {name});
}

QStringList Shown(TfrmUsuarios& list) {
    auto* grid = list.findChild<QTableWidget*>("grdUsuarios");
    QStringList names;
    for (int r = 0; r < grid->rowCount(); ++r)
        names << grid->item(r, 0)->text();
    return names;
}

void Select(TfrmUsuarios& list, const QString& name) {
    auto* grid = list.findChild<QTableWidget*>("grdUsuarios");
    const int row = int(Shown(list).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    grid->setCurrentCell(row, 0);
}

// Watches for modal dialogs while it lives: records the object name of each and closes it.
class ModalWatch {
public:
    ModalWatch() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened << dialog->objectName();
                dialog->reject();
            }
        });
        m_timer.start(5);
    }
    QStringList opened;

private:
    QTimer m_timer;
};

void Fill(TfrmPrimeiraSenha* editor, const QString& name, const QString& password, int question,
          const QString& answer) {
    for (QLineEdit* edit : {editor->dbedtNomeUsuario, editor->dbedtSenhaUsuario,
                            editor->dbedtConfirmaSenhaUsuario, editor->dbedtRespostaUsuario})
        edit->clear();
    QTest::keyClicks(editor->dbedtNomeUsuario, name);
    QTest::keyClicks(editor->dbedtSenhaUsuario, password);
    QTest::keyClicks(editor->dbedtConfirmaSenhaUsuario, password);
    editor->cmbPerguntaUsuario->setCurrentIndex(question);
    QTest::keyClicks(editor->dbedtRespostaUsuario, answer);
}

} // namespace

class TestOperators : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The main window's entries: the operator list needs permission 14, the audit record the
    // administrator; a refusal shows the system's message and opens nothing.
    void mainWindowEntries_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("permissoes");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("opens"); // empty: refused
        QTest::newRow("operators without 14")
            << 2 << Granting({1, 2, 3, 15, 16, 17}) << "actUsuarios" << QString();
        QTest::newRow("operators with 14") << 2 << Granting({14}) << "actUsuarios"
                                           << "frmUsuarios";
        QTest::newRow("audit by an operator holding everything")
            << 2 << QString(40, '1') << "actAuditoria" << QString();
        QTest::newRow("audit by the administrator") << 1 << QString() << "actAuditoria"
                                                    << "frmAuditoria";
    }
    void mainWindowEntries() {
        QFETCH(int, id);
        QFETCH(QString, permissoes);
        QFETCH(QString, action);
        QFETCH(QString, opens);
        TempDatabase db;
        QVERIFY2(db.Create(), qPrintable(db.Error()));
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        TdmBancoDeDados dm;
        LinkState link;
        MemoryLine line;
        dm.Operator = LoggedOperator::FromRow(id, "ana", permissoes);
        MessageLog messages;
        TfrmPrincipal main(dm, link, *line.port());
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto* entry = main.findChild<QAction*>(action);
        QVERIFY(entry);
        QVERIFY(main.mnuOpcoes->actions().contains(entry));
        ModalWatch watch;
        entry->trigger();
        QCOMPARE(watch.opened, opens.isEmpty() ? QStringList{} : QStringList{opens});
        QCOMPARE(messages.Texts().contains(kNoPermission), opens.isEmpty());
    }

    // The logged-in operator renamed in the operator list: the status line shows the new name once
    // the list closes.
    void statusLineFollowsOwnRename() {
        TempDatabase db;
        QVERIFY2(db.Create(), qPrintable(db.Error()));
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        TdmBancoDeDados dm;
        LinkState link;
        MemoryLine line;
        dm.Operator = LoggedOperator::FromRow(2, "ana", Granting({14}));
        MessageLog messages;
        TfrmPrincipal main(dm, link, *line.port());
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.lblUsuario->text(), QStringLiteral("Usuário: ana"));
        WhenModal<TfrmUsuarios>([&dm](TfrmUsuarios* list) {
            dm.Operator.name = QStringLiteral("ana maria"); // as the editor's OK does for oneself
            list->reject();
        });
        main.findChild<QAction*>("actUsuarios")->trigger();
        QCOMPARE(main.lblUsuario->text(), QStringLiteral("Usuário: ana maria"));
    }

    // "&Novo ...", "&Editar ..." and "E&xcluir" follow permissions 15, 16 and 17; the editor's
    // "Permissões" follows 16; a double-click edits only with 16.
    void listButtons_data() {
        QTest::addColumn<QList<int>>("granted");
        QTest::newRow("all three") << QList<int>{14, 15, 16, 17};
        QTest::newRow("add only") << QList<int>{14, 15};
        QTest::newRow("modify only") << QList<int>{14, 16};
        QTest::newRow("delete only") << QList<int>{14, 17};
    }
    void listButtons() {
        QFETCH(QList<int>, granted);
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        QVERIFY(AddRow(db.dm, 3, "bia", true, Granting({1})));
        db.dm.Operator = LoggedOperator::FromRow(2, "TESTE", Granting(granted));
        TfrmUsuarios list(db.dm);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(Find<QPushButton>(&list, "btnNovo")->isEnabled(), granted.contains(15));
        QCOMPARE(Find<QPushButton>(&list, "btnEditar")->isEnabled(), granted.contains(16));
        QCOMPARE(Find<QPushButton>(&list, "btnExcluir")->isEnabled(), granted.contains(17));
        TfrmPrimeiraSenha editor(db.dm, OperatorRecord{});
        QCOMPARE(editor.btnPermissoes->isEnabled(), granted.contains(16));

        Select(list, "bia");
        auto* grid = list.findChild<QTableWidget*>("grdUsuarios");
        const QRect cell = grid->visualItemRect(grid->item(0, 0));
        ModalWatch watch;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(watch.opened, granted.contains(16) ? QStringList{"frmPrimeiraSenha"} : QStringList{});
    }

    // The administrator is listed only for the administrator.
    void administratorListedOnlyForItself() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        QVERIFY(AddRow(db.dm, 1, "chefe", true, QString()));
        QVERIFY(AddRow(db.dm, 3, "bia", true, Granting({14})));
        db.dm.Operator = LoggedOperator::FromRow(3, "bia", Granting({14}));
        QCOMPARE(Shown(*std::make_unique<TfrmUsuarios>(db.dm)), QStringList{"bia"});
        db.dm.Operator = LoggedOperator::FromRow(1, "chefe", QString());
        QCOMPARE(Shown(*std::make_unique<TfrmUsuarios>(db.dm)), (QStringList{"chefe", "bia"}));
    }

    void editorCreatesAndEditsAnOperator() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        TdmBancoDeDados& dm = db.dm;
        MessageLog messages;
        QVERIFY(AddRow(dm, 1, "chefe", true, QString())); // the administrator, not listed for TESTE
        TfrmUsuarios list(dm);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));

        // New: the title, "Ativado" checked, two permissions chosen in the permission editor.
        QString title;
        bool activeAtStart = false;
        WhenModal<TfrmPrimeiraSenha>([&](TfrmPrimeiraSenha* editor) {
            title = editor->lblTituloUsuario->text();
            activeAtStart = editor->chkAtivado->isChecked();
            Fill(editor, "joao", "j1", 2, "Matrix");
            WhenModal<TfrmPermissoes>([](TfrmPermissoes* permissions) {
                ClickIndicator(Find<QCheckBox>(permissions, "chk1"));
                Find<QTabWidget>(permissions, "pgcPermissoes")->setCurrentIndex(1);
                ClickIndicator(Find<QCheckBox>(permissions, "chk18"));
                Press(permissions, "btnOK");
            });
            Press(editor, "btnPermissoes");
            Press(editor, "btnOKUsuario");
        });
        Press(&list, "btnNovo");
        QCOMPARE(title, kTituloNovoUsuario);
        QVERIFY(activeAtStart);
        QCOMPARE(Shown(list), QStringList{"joao"});
        QCOMPARE(Field(dm, "joao", "SENHA").toString(), QStringLiteral("j1"));
        QCOMPARE(Field(dm, "joao", "CONFIRMA_SENHA").toString(), QStringLiteral("j1"));
        QCOMPARE(Field(dm, "joao", "PERGUNTA").toString(), SecretQuestions().at(2));
        QCOMPARE(Field(dm, "joao", "RESPOSTA").toString(), QStringLiteral("Matrix"));
        QCOMPARE(Field(dm, "joao", "ATIVO").toString(), QStringLiteral("T"));
        QCOMPARE(Field(dm, "joao", "PERMISSOES").toString(), Granting({1, 18}));
        QVERIFY(TryLogin(dm, "joao", "j1").result == LoginAttempt::Result::Ok);

        // Edit: the stored values shown; deactivated with a new password.
        QStringList shown;
        WhenModal<TfrmPrimeiraSenha>([&](TfrmPrimeiraSenha* editor) {
            shown << editor->lblTituloUsuario->text() << editor->dbedtNomeUsuario->text()
                  << editor->cmbPerguntaUsuario->currentText() << editor->dbedtRespostaUsuario->text();
            editor->dbedtSenhaUsuario->clear();
            editor->dbedtConfirmaSenhaUsuario->clear();
            QTest::keyClicks(editor->dbedtSenhaUsuario, "j2");
            QTest::keyClicks(editor->dbedtConfirmaSenhaUsuario, "j2");
            ClickIndicator(editor->chkAtivado);
            Press(editor, "btnOKUsuario");
        });
        Select(list, "joao");
        Press(&list, "btnEditar");
        QCOMPARE(shown, (QStringList{kTituloModificandoUsuario, "joao", SecretQuestions().at(2), "Matrix"}));
        QCOMPARE(Field(dm, "joao", "SENHA").toString(), QStringLiteral("j2"));
        QCOMPARE(Field(dm, "joao", "ATIVO").toString(), QStringLiteral("F"));
        QCOMPARE(Field(dm, "joao", "PERMISSOES").toString(), Granting({1, 18}));

        // A second operator of the same name is refused and the editor stays open.
        bool stayed = false;
        WhenModal<TfrmPrimeiraSenha>([&](TfrmPrimeiraSenha* editor) {
            Fill(editor, "joao", "k1", 0, "x");
            Press(editor, "btnOKUsuario");
            stayed = editor->isVisible();
            Press(editor, "btnCancelarUsuario");
        });
        Press(&list, "btnNovo");
        QVERIFY(stayed);
        QCOMPARE(messages.Last(), kMsgUsuarioJaExiste);
        QCOMPARE(db.Count("USUARIOS_SOFTWARE"), 2);

        // Deleting asks first, No preselected; No keeps the operator.
        Select(list, "joao");
        messages.answers = {OperatorAnswer::No};
        Press(&list, "btnExcluir");
        QCOMPARE(messages.Last(), kAskApagarUsuario);
        QVERIFY(messages.requests.last().defaultNo);
        QCOMPARE(Shown(list), QStringList{"joao"});
        Press(&list, "btnExcluir");
        QVERIFY(Shown(list).isEmpty());
    }

    // Editing one's own permissions holds at once; editing another's leaves one's own alone.
    void ownPermissionsTakeEffectAtOnce() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        TdmBancoDeDados& dm = db.dm;
        QVERIFY(AddRow(dm, 2, "ana", true, Granting({14, 16})));
        QVERIFY(AddRow(dm, 3, "bia", true, Granting({14, 16})));
        dm.Operator = LoggedOperator::FromRow(2, "ana", Granting({14, 16}));
        OperatorRecord bia;
        QString error;
        QVERIFY(LoadOperator(dm, "bia", &bia, &error));
        bia.permissoes = Granting({3, 14, 16});
        QCOMPARE(SaveOperator(dm, &bia, &error), OperatorChange::Done);
        QVERIFY(!dm.Operator.HasPermission(Permission::ExcluirCliente));
        OperatorRecord ana;
        QVERIFY(LoadOperator(dm, "ana", &ana, &error));
        ana.permissoes = Granting({3, 14, 16});
        QCOMPARE(SaveOperator(dm, &ana, &error), OperatorChange::Done);
        QVERIFY(dm.Operator.HasPermission(Permission::ExcluirCliente));
    }

    // The administrator cannot be deleted, deactivated or given other permissions; without it, the
    // last active operator able to reach the permission editor keeps that ability.
    void lastAdministratorGuard() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        TdmBancoDeDados& dm = db.dm;
        MessageLog messages;
        QVERIFY(AddRow(dm, 1, "chefe", true, QString(30, '1')));
        dm.Operator = LoggedOperator::FromRow(1, "chefe", QString());
        {
            TfrmUsuarios list(dm);
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            Select(list, "chefe");
            Press(&list, "btnExcluir");
            QCOMPARE(messages.Texts(), QStringList{kMsgUsuarioNaoPodeSerExcluido});
            QCOMPARE(Shown(list), QStringList{"chefe"});
            // Opening it pads its permissions to forty; "Ativado" and "Permissões" are locked.
            WhenModal<TfrmPrimeiraSenha>([](TfrmPrimeiraSenha* editor) {
                QVERIFY(!editor->chkAtivado->isEnabled());
                QVERIFY(!editor->btnPermissoes->isEnabled());
                Press(editor, "btnCancelarUsuario");
            });
            Press(&list, "btnEditar");
            QCOMPARE(Field(dm, "chefe", "PERMISSOES").toString(), QString(40, '1'));
        }
        OperatorRecord chefe;
        QString error;
        QVERIFY(LoadOperator(dm, "chefe", &chefe, &error));
        chefe.ativo = false;
        chefe.permissoes = QString(40, '0');
        QCOMPARE(SaveOperator(dm, &chefe, &error), OperatorChange::Done);
        QCOMPARE(Field(dm, "chefe", "ATIVO").toString(), QStringLiteral("T"));
        QCOMPARE(Field(dm, "chefe", "PERMISSOES").toString(), QString(40, '1'));
        QCOMPARE(DeleteOperator(dm, "chefe", &error), OperatorChange::NotAllowed);

        // A database whose key 1 is gone: ana is the only one who can reach the permission editor.
        QVERIFY(dm.IBDB.Exec("delete from USUARIOS_SOFTWARE") && dm.CommitRetaining());
        QVERIFY(AddRow(dm, 2, "ana", true, Granting({14, 16, 17})));
        QVERIFY(AddRow(dm, 3, "bia", true, Granting({14, 17})));
        QVERIFY(AddRow(dm, 4, "caio", false, Granting({14, 16})));
        dm.Operator = LoggedOperator::FromRow(2, "ana", Granting({14, 16, 17}));
        messages.requests.clear();
        {
            TfrmUsuarios list(dm);
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            Select(list, "ana");
            Press(&list, "btnExcluir");
            QCOMPARE(messages.Last(), kMsgUltimoAdministrador);
            QCOMPARE(Shown(list), (QStringList{"ana", "bia", "caio"}));
            // Through the editor: deactivating is refused and the editor stays.
            bool stayed = false;
            WhenModal<TfrmPrimeiraSenha>([&](TfrmPrimeiraSenha* editor) {
                ClickIndicator(editor->chkAtivado);
                Press(editor, "btnOKUsuario");
                stayed = editor->isVisible();
                Press(editor, "btnCancelarUsuario");
            });
            Select(list, "ana");
            Press(&list, "btnEditar");
            QVERIFY(stayed);
            QCOMPARE(messages.Last(), kMsgUltimoAdministrador);
            QCOMPARE(Field(dm, "ana", "ATIVO").toString(), QStringLiteral("T"));
        }
        OperatorRecord ana;
        QVERIFY(LoadOperator(dm, "ana", &ana, &error));
        ana.permissoes = Granting({14, 17});
        QCOMPARE(SaveOperator(dm, &ana, &error), OperatorChange::LastAdministrator);
        // Once bia may reach the editor too, ana may go.
        OperatorRecord bia;
        QVERIFY(LoadOperator(dm, "bia", &bia, &error));
        bia.permissoes = Granting({14, 16});
        QCOMPARE(SaveOperator(dm, &bia, &error), OperatorChange::Done);
        QCOMPARE(DeleteOperator(dm, "ana", &error), OperatorChange::Done);
        QCOMPARE(db.Count("USUARIOS_SOFTWARE"), 2);
    }

    // A name holding a quote, stored by an older program, is edited and deleted like any other.
    void nameWithQuoteIsData() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        TdmBancoDeDados& dm = db.dm;
        MessageLog messages;
        QVERIFY(AddRow(dm, 2, "o'brien", true, Granting({1})));
        QVERIFY(AddRow(dm, 3, "obrien", true, Granting({2})));
        TfrmUsuarios list(dm);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(Shown(list), (QStringList{"o'brien", "obrien"}));
        QString name;
        WhenModal<TfrmPrimeiraSenha>([&](TfrmPrimeiraSenha* editor) {
            name = editor->dbedtNomeUsuario->text();
            Press(editor, "btnCancelarUsuario");
        });
        Select(list, "o'brien");
        Press(&list, "btnEditar");
        QCOMPARE(name, QStringLiteral("o'brien"));
        Select(list, "o'brien");
        Press(&list, "btnExcluir");
        QCOMPARE(Shown(list), QStringList{"obrien"});
        QVERIFY(messages.Texts() == QStringList{kAskApagarUsuario});
    }

    // The audit window lists the rows and narrows them to a customer and a first day.
    void auditWindow() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        QVERIFY(RecordAudit(db.dm, "ana", 5, AuditAction::Connect));
        QVERIFY(RecordAudit(db.dm, "bia", 6, AuditAction::DeleteCustomer, "apagado"));
        MessageLog messages;
        TfrmAuditoria window(db.dm);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.grdAuditoria->rowCount(), 2);
        QCOMPARE(window.grdAuditoria->item(1, 1)->text(), QStringLiteral("bia"));
        QCOMPARE(window.grdAuditoria->item(1, 4)->text(), QStringLiteral("Exclusão de cliente"));
        QTest::keyClicks(window.edtCliente, "5");
        Press(&window, "btnFiltrar");
        QCOMPARE(window.grdAuditoria->rowCount(), 1);
        QCOMPARE(window.grdAuditoria->item(0, 1)->text(), QStringLiteral("ana"));
        window.edtCliente->clear();
        QTest::keyClicks(window.edtDesde, QDate::currentDate().addDays(1).toString("dd/MM/yyyy"));
        Press(&window, "btnFiltrar");
        QCOMPARE(window.grdAuditoria->rowCount(), 0);
        QVERIFY(messages.requests.isEmpty());
    }
};

QTEST_MAIN(TestOperators)
#include "tst_operators.moc"
