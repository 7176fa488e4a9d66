// The options, database and about windows of the main window's menus: what they write into the
// settings file, the customer list's columns, and backup and restore with their progress.

#include "base/app_paths.h"
#include "base/ini_file.h"
#include "base/settings.h"
#include "gui/gui_helpers.h"
#include "link/link_state.h"
#include "serial/memory_line.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/db_backup.h"
#include "store/db_connection.h"
#include "store/store_messages.h"
#include "store/ui/frm_backup_bd.h"
#include "store/ui/frm_restaura_bd.h"
#include "support/temp_database.h"
#include "workspace/column_choice.h"
#include "workspace/customer_actions.h"
#include "workspace/customer_list.h"
#include "workspace/ui/frm_about.h"
#include "workspace/ui/frm_escolher_colunas.h"
#include "workspace/ui/frm_opcoes_gerais.h"
#include "workspace/ui/frm_principal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

namespace {

LoggedOperator Operator(bool administrator) {
    LoggedOperator op;
    op.name = administrator ? QStringLiteral("ADMIN") : QStringLiteral("TECNICO");
    op.administrator = administrator;
    op.permissions.fill(true);
    return op;
}

// A settings file of the test's application folder with a key and a comment the dialogs do not own.
QString SettingsWithForeignKeys(const QString& folder) {
    const QString path = QDir(folder).filePath(SettingsFileName());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("; mantido pelo instalador\n[Config]\nComPort=7\nOpcoes Gerais=10\n");
    file.close();
    return path;
}

int CustomerCount(const QString& database) {
    DbConnection db;
    if (!db.Connect(database))
        return -1;
    return db.SelectValue("select count(*) from CLIENTES").toInt();
}

QStringList ShownColumns(TfrmPrincipal& main) {
    QStringList names;
    const QHeaderView* header = main.DBGrid1->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int field = header->logicalIndex(visual);
        if (!header->isSectionHidden(field))
            names << CustomerListFieldName(field);
    }
    return names;
}

QListWidgetItem* Item(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TestOptionsWindows : public QObject {
    Q_OBJECT

private slots:
    // The chooser starts from the setting (unknown and repeated names dropped), and each operation
    // leaves the setting its order says.
    void columnChoice_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("read") << "nome, P_ENDERECO ,BOGUS,NOME"
                              << ""
                              << "NOME, P_ENDERECO";
        QTest::newRow("check appends") << "NOME"
                                       << "check P_CEP"
                                       << "NOME, P_CEP";
        QTest::newRow("uncheck removes") << "NOME, P_CEP, FONE1"
                                         << "uncheck P_CEP"
                                         << "NOME, FONE1";
        QTest::newRow("show all keeps order")
            << "P_CEP, NOME"
            << "show Clientes"
            << "P_CEP, NOME, ID_CLIENTE, FONE1, FONE2, FONE3, DATA_CRIACAO, "
               "HORA_CRIACAO, PRODUTO, VERSAO_PRODUTO";
        QTest::newRow("hide group") << "NOME, P_CEP, FONE1"
                                    << "hide Clientes"
                                    << "P_CEP";
        QTest::newRow("hide all") << "NOME, P_CEP"
                                  << "hide all"
                                  << "";
        QTest::newRow("move up") << "NOME, P_CEP, FONE1"
                                 << "up 2"
                                 << "NOME, FONE1, P_CEP";
        QTest::newRow("move up at top") << "NOME, P_CEP"
                                        << "up 0"
                                        << "NOME, P_CEP";
        QTest::newRow("move down at end") << "NOME, P_CEP"
                                          << "down 1"
                                          << "NOME, P_CEP";
        QTest::newRow("move down") << "NOME, P_CEP"
                                   << "down 0"
                                   << "P_CEP, NOME";
    }
    void columnChoice() {
        QFETCH(QString, start);
        QFETCH(QString, operation);
        QFETCH(QString, expected);
        ColumnChoice choice(start);
        const QStringList op = operation.split(QLatin1Char(' '));
        const auto group = [&] {
            return op.value(1) == QLatin1String("Clientes") ? ColumnChoice::Group::Clientes
                                                            : ColumnChoice::Group::Painel;
        };
        if (op.first() == QLatin1String("check") || op.first() == QLatin1String("uncheck"))
            choice.SetChecked(op.at(1), op.first() == QLatin1String("check"));
        else if (op.first() == QLatin1String("show"))
            choice.ShowAll(group());
        else if (op.first() == QLatin1String("hide") && op.at(1) == QLatin1String("all")) {
            choice.HideAll(ColumnChoice::Group::Clientes);
            choice.HideAll(ColumnChoice::Group::Painel);
        } else if (op.first() == QLatin1String("hide"))
            choice.HideAll(group());
        else if (op.first() == QLatin1String("up"))
            choice.MoveUp(op.at(1).toInt());
        else if (op.first() == QLatin1String("down"))
            choice.MoveDown(op.at(1).toInt());
        QCOMPARE(choice.Colunas(), expected);
    }

    // From the main window: the chosen columns show in the list at once and are stored; hiding
    // every column stores an empty "Colunas" and shows no column.
    void columnChooserFromMainWindow() {
        TempDatabase db;
        QVERIFY(db.Create());
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        const QString settings = SettingsWithForeignKeys(db.Folder());
        MessageLog messages;
        MemoryLine line;
        LinkState link;
        TdmBancoDeDados dm;
        dm.Operator = Operator(false);
        TfrmPrincipal main(dm, link, *line.port());
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(main.mnuOpcoes->actions().contains(main.actEscolherColunas));
        // A new installation has its print logo: the general options open on it without a word.
        QVERIFY(!QImage(db.FilePath(QStringLiteral("Templates/LogoImpressao.jpg"))).isNull());
        WhenModal<TfrmOpcoesGerais>([](TfrmOpcoesGerais* dialog) {
            QVERIFY(!dialog->Logo().isNull());
            Press(dialog, "btnCancelar");
        });
        main.actGerais->trigger();

        WhenModal<TfrmEscolherColunas>([](TfrmEscolherColunas* dialog) {
            Press(dialog, "btnOcultarClientes");
            Press(dialog, "btnOcultarPainel");
            QListWidgetItem* cep = Item(dialog->lstPainel, QStringLiteral("CEP"));
            cep->setCheckState(Qt::Checked);
            Item(dialog->lstClientes, QStringLiteral("Nº DO CLIENTE"))->setCheckState(Qt::Checked);
            dialog->lstMostradas->setCurrentRow(1);
            Press(dialog, "btnCima");
            QCOMPARE(dialog->lstMostradas->item(0)->text(), QStringLiteral("Nº DO CLIENTE"));
            Press(dialog, "btnOk");
        });
        main.actEscolherColunas->trigger();
        QCOMPARE(ShownColumns(main), (QStringList{"ID_CLIENTE", "P_CEP"}));
        QCOMPARE(main.Config().Colunas, QStringLiteral("ID_CLIENTE, P_CEP"));
        IniFile ini;
        QVERIFY(ini.load(settings));
        QCOMPARE(ini.value(QStringLiteral("Config"), QStringLiteral("Colunas")),
                 QStringLiteral("ID_CLIENTE, P_CEP"));
        QCOMPARE(ini.value(QStringLiteral("Config"), QStringLiteral("ComPort")), QStringLiteral("7"));

        WhenModal<TfrmEscolherColunas>([](TfrmEscolherColunas* dialog) {
            Press(dialog, "btnOcultarClientes");
            Press(dialog, "btnOcultarPainel");
            QCOMPARE(dialog->lstMostradas->count(), 0);
            Press(dialog, "btnOk");
        });
        main.actEscolherColunas->trigger();
        QVERIFY(ShownColumns(main).isEmpty());
        QVERIFY(ini.load(settings));
        QCOMPARE(ini.value(QStringLiteral("Config"), QStringLiteral("Colunas")), QString());

        // Cancel changes nothing.
        WhenModal<TfrmEscolherColunas>([](TfrmEscolherColunas* dialog) {
            Press(dialog, "btnMostrarClientes");
            Press(dialog, "btnCancelar");
        });
        main.actEscolherColunas->trigger();
        QVERIFY(ShownColumns(main).isEmpty());
        QVERIFY(messages.requests.isEmpty());
        main.close();
    }

    // The general options write their keys exactly (the Latin-1 names included) and nothing else;
    // reopening shows what was stored.
    void generalOptionsWriteTheirKeys() {
        QTemporaryDir folder;
        const QString path = SettingsWithForeignKeys(folder.path());
        MessageLog messages;
        Settings settings = DefaultSettings(folder.path());
        settings.OpcoesGerais = 10 | 16; // a bit the dialog does not own stays
        settings.Estado_Default = 25;
        {
            TfrmOpcoesGerais dialog(settings, path);
            QCOMPARE(messages.Texts().size(), 1); // the stock logo is not there yet
            QVERIFY(dialog.rbAvisar->isChecked());
            QVERIFY(dialog.chkBackup->isChecked());
            QCOMPARE(dialog.cmbEstado->currentText(), QStringLiteral("São Paulo"));
            dialog.rbPermitir->setChecked(true);
            dialog.chkBackup->setChecked(true);
            dialog.cmbEstado->setCurrentIndex(-1);
            dialog.edtCidade->setText(QStringLiteral("Ribeirão Preto"));
            QTest::keyClicks(dialog.edtCEP, QStringLiteral("14a0x25-000"));
            dialog.edtLinha1->setText(QStringLiteral("Segurança Ávila"));
            dialog.chkNegrito1->setChecked(false);
            dialog.chkNegrito1->setChecked(true);
            dialog.chkSublinhado1->setChecked(true);
            dialog.chkItalico2->setChecked(true);
            Press(&dialog, "btnLogoZrv");
            QVERIFY(!dialog.Logo().isNull());
            Press(&dialog, "btnOk");
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.Result().OpcoesGerais, 16 | 11);
        }
        IniFile ini;
        QVERIFY(ini.load(path));
        const QString c = QStringLiteral("Config");
        QCOMPARE(ini.value(c, QStringLiteral("Opcoes Gerais")), QStringLiteral("27"));
        QCOMPARE(ini.value(c, QStringLiteral("Estado_Default")), QStringLiteral("0"));
        QCOMPARE(ini.value(c, QStringLiteral("Cidade_Default")), QStringLiteral("Ribeirão Preto"));
        QCOMPARE(ini.value(c, QStringLiteral("CEP_Default")), QStringLiteral("14025-000"));
        QCOMPARE(ini.value(c, QStringLiteral("1ª Linha")), QStringLiteral("Segurança Ávila"));
        QCOMPARE(ini.value(c, QStringLiteral("Formato 1ª Linha")), QStringLiteral("fsBoldfsUnderline"));
        QCOMPARE(ini.value(c, QStringLiteral("Formato 2ª Linha")), QStringLiteral("fsItalic"));
        const QString logo = QDir(folder.path()).filePath(QStringLiteral("Templates/LogoImpressao.jpg"));
        QCOMPARE(QDir::fromNativeSeparators(ini.value(c, QStringLiteral("PathLogoImpressao"))), logo);
        QVERIFY(!QImage(logo).isNull());
        QCOMPARE(ini.value(c, QStringLiteral("ComPort")), QStringLiteral("7"));
        QVERIFY(ini.value(c, QStringLiteral("Modem")).isEmpty()); // keys it does not own stay unwritten

        // Reopened on the stored settings, the dialog shows them; the logo loads without a message.
        messages.requests.clear();
        Settings stored = ReadSettings(ini, folder.path());
        TfrmOpcoesGerais again(stored, path);
        QVERIFY(messages.requests.isEmpty());
        QVERIFY(again.rbPermitir->isChecked());
        QVERIFY(again.chkBackup->isChecked());
        QCOMPARE(again.cmbEstado->currentIndex(), -1);
        QVERIFY(again.chkNegrito1->isChecked() && again.chkSublinhado1->isChecked());
        QVERIFY(!again.chkItalico1->isChecked());
        QVERIFY(again.lblAmostra1->font().underline());
        QVERIFY(!again.Logo().isNull());
    }

    // A missing logo is told and the dialog still opens; a file that is not a picture is refused
    // and the logo stays; a settings file that cannot be written is told, the dialog stays open
    // and the settings are kept.
    void generalOptionsBadInput() {
        QTemporaryDir folder;
        MessageLog messages;
        Settings settings = DefaultSettings(folder.path());
        const QString missing = QDir(folder.path()).filePath(QStringLiteral("Templates/LogoImpressao.jpg"));
        TfrmOpcoesGerais dialog(settings,
                                QDir(folder.path()).filePath(QStringLiteral("no/such/folder/ZRVConfig.ini")));
        QCOMPARE(
            messages.Texts(),
            QStringList{QStringLiteral("O arquivo ") + QDir::toNativeSeparators(missing) +
                        QStringLiteral(" não pôde ser encontrado.\rClique no botão \"Alterar imagem ...\" "
                                       "para definir um novo logotipo")});
        Press(&dialog, "btnLimpar");
        QVERIFY(!dialog.Logo().isNull());
        const QImage blank = dialog.Logo();

        const QString text = QDir(folder.path()).filePath(QStringLiteral("notes.jpg"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        dialog.SetPictureChooser([text] { return text; });
        messages.requests.clear();
        Press(&dialog, "btnAlterarImagem");
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY(messages.Last().contains(QStringLiteral("não é uma imagem")));
        QCOMPARE(dialog.Logo(), blank);

        dialog.show();
        messages.requests.clear();
        dialog.edtCidade->setText(QStringLiteral("Campinas"));
        Press(&dialog, "btnOk");
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY(
            messages.Last().startsWith(QStringLiteral("Não foi possível gravar o arquivo de configurações")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Result().Cidade_Default, settings.Cidade_Default);
    }

    void aboutBox() {
        QWidget owner;
        owner.resize(800, 600);
        owner.show();
        TfrmAbout about(&owner);
        QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(about.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(about.lblVersao->text().startsWith(QStringLiteral("Versão ")));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        // Dragged anywhere with the left button.
        const QPoint before = about.pos();
        QWidget* frame = about.lblProduto->parentWidget();
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(45, 35), frame->mapToGlobal(QPointF(45, 35)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &move);
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(45, 35));
        QCOMPARE(about.pos(), before + QPoint(40, 30));
        Press(&about, "btnFechar");
        QVERIFY(!about.isVisible());
    }

    // A backup into another folder with the progress window; a folder that cannot be made fails
    // with the system's message.
    void backupWindow() {
        TempDatabase db;
        QVERIFY(db.Create());
        MessageLog messages;
        TfrmBackupBD dialog(db.Path());
        QVERIFY(!dialog.edtPasta->isEnabled() && !dialog.btnProcurar->isEnabled());
        ClickIndicator(dialog.rbOutroLocal);
        QVERIFY(dialog.edtPasta->isEnabled() && dialog.btnProcurar->isEnabled());
        const QString target = db.FilePath(QStringLiteral("copias"));
        dialog.SetFolderChooser([target] { return target; });
        Press(&dialog, "btnProcurar");
        QCOMPARE(QDir::fromNativeSeparators(dialog.edtPasta->text()), target);
        bool progressShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                progressShown |= w->objectName() == QLatin1String("frmProgresso");
        });
        watch.start(1);
        Press(&dialog, "btnFazerBackup");
        watch.stop();
        QCOMPARE(messages.Texts(), QStringList{kMsgBackupSucesso});
        QVERIFY(progressShown);
        QCOMPARE(QFileInfo(dialog.LastBackupFile()).absolutePath(), target);
        QVERIFY(QFileInfo(dialog.LastBackupFile()).size() > 0);

        messages.requests.clear();
        QFile blocker(db.FilePath(QStringLiteral("arquivo")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        dialog.edtPasta->setText(db.FilePath(QStringLiteral("arquivo/sub")));
        Press(&dialog, "btnFazerBackup");
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY(messages.Last().startsWith(kMsgBackupErro));
    }

    // The restore window lists the BKP folder oldest first and sorts on a title click; an empty
    // folder starts with "Outro local".
    void restoreWindowList() {
        TempDatabase db;
        QVERIFY(db.Create());
        {
            TfrmRestauraBD empty(db.Path(), {});
            QVERIFY(!empty.rbPastaPadrao->isEnabled());
            QVERIFY(empty.rbOutroLocal->isChecked());
            QVERIFY(!empty.grpArquivos->isEnabled());
            QVERIFY(empty.edtArquivo->isEnabled());
        }
        const QDir bkp(db.FilePath(QStringLiteral("BKP")));
        QVERIFY(QDir().mkpath(bkp.path()));
        const QDateTime base = QDateTime::currentDateTime().addDays(-3);
        const QList<QPair<QString, int>> files = {{"b.fbk", 2}, {"C.fbk", 0}, {"a.fbk", 1}};
        for (const auto& [name, day] : files) {
            QFile f(bkp.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("x");
            f.flush(); // the time is set after the last write
            f.setFileTime(base.addDays(day), QFileDevice::FileModificationTime);
            f.close();
        }
        TfrmRestauraBD dialog(db.Path(), {});
        QVERIFY(dialog.rbPastaPadrao->isChecked());
        auto names = [&] {
            QStringList list;
            for (int row = 0; row < dialog.grdArquivos->rowCount(); ++row)
                list << dialog.grdArquivos->item(row, 0)->text();
            return list;
        };
        QCOMPARE(names(), (QStringList{"C.fbk", "a.fbk", "b.fbk"}));
        QCOMPARE(dialog.grdArquivos->currentRow(), 0);
        QHeaderView* header = dialog.grdArquivos->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(names(), (QStringList{"a.fbk", "b.fbk", "C.fbk"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(names(), (QStringList{"b.fbk", "a.fbk", "C.fbk"}));
        ClickIndicator(dialog.rbOutroLocal);
        QVERIFY(!dialog.grpArquivos->isEnabled());
        QVERIFY(dialog.edtArquivo->isEnabled() && dialog.btnProcurar->isEnabled());
    }

    // From the main window, by the administrator: a backup restored brings the database back (the
    // customer added afterwards is gone), the list is reloaded, and a file that is not a backup
    // leaves the database untouched. Another operator is refused.
    void restoreFromMainWindow() {
        TempDatabase db;
        QVERIFY(db.Create());
        qputenv("TELVORA_HOME", db.Folder().toLocal8Bit());
        DatabaseBackup backup(db.Path());
        QVERIFY(backup.DoBackup());
        const QString saved = QFileInfo(backup.LastBackupFile()).fileName();
        QVERIFY(TempDatabase::RunScript(
            db.Path(),
            QStringLiteral("insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (1, 'Depois', 2);"
                           "insert into PAINEL (ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, "
                           "CODIGO_PC) values (1, 1, '1', '1234', '5678');")));
        QCOMPARE(CustomerCount(db.Path()), 1);

        MessageLog messages;
        MemoryLine line;
        LinkState link;
        TdmBancoDeDados dm;
        dm.Operator = Operator(false);
        TfrmPrincipal main(dm, link, *line.port());
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(main.Model->rowCount(), 1);
        QVERIFY(main.mnuBancoDados->actions().contains(main.actRestauracao));
        main.actRestauracao->trigger(); // a dialog would block here
        QCOMPARE(messages.Texts(), QStringList{kMsgSemPermissao});

        dm.Operator = Operator(true);
        messages.requests.clear();
        const QString junk = db.FilePath(QStringLiteral("lixo.fbk"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'z'));
        file.close();
        bool disconnected = false;
        WhenModal<TfrmRestauraBD>([&](TfrmRestauraBD* dialog) {
            disconnected = !dm.Connected();
            ClickIndicator(dialog->rbOutroLocal);
            dialog->edtArquivo->setText(junk);
            Press(dialog, "btnRestaurar");
            Press(dialog, "btnCancelar");
        });
        main.actRestauracao->trigger();
        QVERIFY(disconnected);
        QCOMPARE(messages.requests.size(), 2); // the question, then the refusal
        QVERIFY(messages.Last().startsWith(kMsgRestauracaoErro));
        QVERIFY(dm.Connected());
        QCOMPARE(main.Model->rowCount(), 1);

        // Answering No to the question replaces nothing.
        messages.requests.clear();
        QString when;
        auto restoreSaved = [&] {
            WhenModal<TfrmRestauraBD>([&](TfrmRestauraBD* dialog) {
                QCOMPARE(dialog->rbPastaPadrao->text(), QStringLiteral("Pasta Telvora/BKP"));
                const auto found = dialog->grdArquivos->findItems(saved, Qt::MatchExactly);
                QCOMPARE(found.size(), 1);
                dialog->grdArquivos->selectRow(found.first()->row());
                when = dialog->grdArquivos->item(found.first()->row(), 1)->text();
                Press(dialog, "btnRestaurar");
                if (dialog->isVisible())
                    Press(dialog, "btnCancelar");
            });
            main.actRestauracao->trigger();
        };
        messages.answers = {OperatorAnswer::No};
        restoreSaved();
        QCOMPARE(messages.Texts(),
                 QStringList{QStringLiteral("Restaurar o backup %1, de %2?\rO banco de dados atual, com 1 "
                                            "cliente(s), será substituído pelo do backup.")
                                 .arg(saved, when)});
        QVERIFY(messages.requests.first().defaultNo);
        QCOMPARE(CustomerCount(db.Path()), 1);

        messages.requests.clear();
        restoreSaved();
        QCOMPARE(messages.requests.size(), 2);
        // The success names the safety copy of the database replaced, in the backup folder.
        QVERIFY2(messages.Last().startsWith(kMsgRestauracaoSucesso +
                                            "\rCópia de segurança do banco de dados anterior: " +
                                            QDir::toNativeSeparators(db.FilePath("BKP/"))),
                 qPrintable(messages.Last()));
        QVERIFY(dm.Connected());
        QCOMPARE(main.Model->rowCount(), 0);
        QCOMPARE(CustomerCount(db.Path()), 0);
        // The restored database records who restored which file.
        QList<AuditRow> audit;
        QString error;
        QVERIFY2(ReadAudit(dm, {}, &audit, &error), qPrintable(error));
        QCOMPARE(audit.size(), 1);
        QCOMPARE(audit.first().action, AuditActionText(AuditAction::Restore));
        QCOMPARE(audit.first().usuario, QStringLiteral("ADMIN"));
        QCOMPARE(audit.first().details, saved);
        main.close();
    }
};

QTEST_MAIN(TestOptionsWindows)
#include "tst_options_windows.moc"
