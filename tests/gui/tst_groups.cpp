// The customer groups dialog against a fresh embedded database: new, rename, delete (its customers
// go to the recycle bin), names in upper case, and no closing while a name is edited.
#include "gui/gui_helpers.h"
#include "store/data_module.h"
#include "support/connected_data_module.h"
#include "workspace/customer_groups.h"
#include "workspace/customer_record.h"
#include "workspace/ui/frm_grupos.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

QStringList Names(TdmBancoDeDados& dm) {
    QList<CustomerGroup> groups;
    QString error;
    ReadEditableGroups(dm, &groups, &error);
    QStringList names;
    for (const CustomerGroup& g : groups)
        names << g.name;
    return names;
}

int GroupOf(TdmBancoDeDados& dm, int customer) {
    return dm.IBDB
        .SelectValue(QStringLiteral("select ID_GRUPO from CLIENTES where ID_CLIENTE = ?"), {customer})
        .toInt();
}

} // namespace

class TestGroups : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newRenameDelete() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        MessageLog prompts;
        TdmBancoDeDados& dm = db.dm;
        const QStringList before = Names(dm); // the database's own groups but LIXEIRA

        TfrmGrupos dialog(dm);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Press(&dialog, "btnNovo");
        QVERIFY(dialog.Editing());
        auto* grid = dialog.findChild<QTableWidget*>("grdGrupos");
        const auto editor = [grid] {
            return qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
        };
        auto* edit = editor();
        QVERIFY(edit);
        QTest::keyClicks(edit, "vip-1 ");
        QCOMPARE(edit->text(), QStringLiteral("vip1")); // only letters and digits are typed
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible()); // no closing while editing
        Press(&dialog, "btnGravar");
        QVERIFY(!dialog.Editing());
        QCOMPARE(Names(dm), before + QStringList{"VIP1"});

        // Rename the new group.
        grid->setCurrentCell(grid->rowCount() - 1, 0);
        Press(&dialog, "btnEditar");
        edit = editor();
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClicks(edit, "ouro");
        Press(&dialog, "btnGravar");
        QCOMPARE(Names(dm), before + QStringList{"OURO"});

        // A customer of the group goes to the recycle bin when the group is deleted; "No" keeps it.
        const int group = dm.IBDB
                              .SelectValue(QStringLiteral("select ID_GRUPO from GRUPOS where NOME_GRUPO = ?"),
                                           {QStringLiteral("OURO")})
                              .toInt();
        int customer = 0;
        {
            CustomerRecord record(dm);
            QVERIFY(record.BeginNew(1, "1.4", NewCustomerDefaults()));
            dm.DSetClientes.SetValue("NOME", "Loja");
            dm.DSetPainel.SetValue("FONE_PAINEL", "5551234");
            QString error;
            QVERIFY2(record.Save(&error), qPrintable(error));
            customer = record.CustomerId();
        }
        QVERIFY(dm.IBDB.Exec(QStringLiteral("update CLIENTES set ID_GRUPO = ? where ID_CLIENTE = ?"),
                             {group, customer}));
        QVERIFY(dm.CommitRetaining());
        grid->setCurrentCell(grid->rowCount() - 1, 0);
        prompts.answers = {OperatorAnswer::No};
        Press(&dialog, "btnExcluir");
        QCOMPARE(prompts.Last(), kAskApagarGrupo);
        QCOMPARE(Names(dm), before + QStringList{"OURO"});
        grid->setCurrentCell(grid->rowCount() - 1, 0);
        prompts.answers = {OperatorAnswer::Yes};
        Press(&dialog, "btnExcluir");
        QCOMPARE(Names(dm), before);
        QCOMPARE(GroupOf(dm, customer), 1);

        // The recycle bin itself is never saved over or deleted.
        QString error;
        QVERIFY(!SaveGroup(dm, 1, QStringLiteral("X"), &error));
        QVERIFY(!DeleteGroup(dm, 1, &error));
    }
};

QTEST_MAIN(TestGroups)
#include "tst_groups.moc"
