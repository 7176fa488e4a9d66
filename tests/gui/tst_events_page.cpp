// The record screen's "Eventos" page offscreen against a fresh embedded database: title clicks sort
// by two columns, the filter dialog narrows the list (and refuses dates in the wrong order), names
// show beside user numbers, "Apagar" follows its permission and question and never takes rows a
// download stored after the selection, "Imprimir" opens the preview and "Exportar CSV" writes the
// list as shown.
#include "gui/record_screen_fixture.h"
#include "report/event_report.h"
#include "session/online_host.h"
#include "store/audit_log.h"
#include "store/event_store.h"
#include "support/event_fixture.h"
#include "widgets/print_preview.h"
#include "workspace/event_csv.h"
#include "workspace/record_texts.h"
#include "workspace/ui/events_page.h"
#include "workspace/ui/frm_filtra_buffer.h"

#include <QAction>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

constexpr int kPermissionEventos = 29;
constexpr int kPermissionImprimir = 31;
constexpr int kPermissionApagar = 32;

QStringList ColumnTexts(QTableView* grid, int section) {
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, section).data().toString();
    return texts;
}

int SectionOf(QTableView* grid, const QString& caption) {
    for (int section = 0; section < grid->model()->columnCount(); ++section) {
        if (grid->model()->headerData(section, Qt::Horizontal).toString() == caption)
            return section;
    }
    return -1;
}

void ClickTitle(QTableView* grid, const QString& caption) {
    QHeaderView* header = grid->horizontalHeader();
    const int section = SectionOf(grid, caption);
    QVERIFY2(section >= 0, qPrintable(caption));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                             header->height() / 2));
}

void CtrlClickRow(QTableView* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      grid->visualRect(grid->model()->index(row, 0)).center());
}

// A record of one 10-zone event (1 April 10:32, user 03 arming partition A) and the end mark.
QByteArray OneEventRecord() {
    QByteArray record = QByteArray::fromHex("0A40A10D");
    record.append(12, char(0xFF));
    return record;
}

struct Screen {
    Fixture f;
    int id = 0;
    std::unique_ptr<TfrmProgMain> screen;
    QTableView* grid = nullptr;
    EventsPage* page = nullptr;

    bool Open(bool events = true) {
        if (!f.Open())
            return false;
        f.context.settings.PathLogoImpressao.clear();
        id = AddEventCustomer(f.db.dm, 1, QStringLiteral("Padaria Central"));
        if (!id || (events && !InsertEvents(f.db.dm.IBDB, id, SmallEventFixture())))
            return false;
        f.db.dm.IBDB.Exec(QStringLiteral("update USUARIOS set USUARIO5 = ?, MASTER = ? where ID_PAINEL = ?"),
                          {QStringLiteral("Ana"), QStringLiteral("Carla"), id});
        f.db.dm.CommitRetaining();
        screen.reset(TfrmProgMain::OpenCustomer(f.context, id));
        if (!screen)
            return false;
        screen->show();
        grid = Find<QTableView>(screen.get(), "dbgBufferEventos");
        page = screen->findChild<EventsPage*>();
        return grid && page;
    }
    void ShowEvents() { Press(screen.get(), "jvLookEventos"); }
    QStringList Numbers() const { return ColumnTexts(grid, 0); }
    QString Count() const { return Find<QLabel>(screen.get(), "dbtxtCount")->text(); }
};

} // namespace

class TestEventsPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleClicksSortByTwoColumns_data() {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("opened") << QStringList{} << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("number again: descending")
            << QStringList{"No. do Evento"} << QStringList{"6", "5", "4", "3", "2", "1"};
        QTest::newRow("number twice: ascending again")
            << QStringList{"No. do Evento", "No. do Evento"} << QStringList{"1", "2", "3", "4", "5", "6"};
        // Equal dates in the number order last chosen (descending).
        QTest::newRow("date after a descending sort: ascending")
            << QStringList{"No. do Evento", "Data"} << QStringList{"2", "1", "3", "5", "4", "6"};
        // Equal events in the date order last chosen (descending).
        QTest::newRow("date descending, then event")
            << QStringList{"Data", "Data", "Evento"} << QStringList{"6", "1", "4", "2", "3", "5"};
        QTest::newRow("time, then partition")
            << QStringList{"Hora", "Partição"} << QStringList{"1", "5", "2", "4", "6", "3"};
    }
    void titleClicksSortByTwoColumns() {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, numbers);
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        QCOMPARE(s.Count(), QStringLiteral("6"));
        for (const QString& title : titles)
            ClickTitle(s.grid, title);
        QCOMPARE(s.Numbers(), numbers);
        // The page opens again sorted by number, ascending.
        s.ShowEvents();
        QCOMPARE(s.Numbers(), (QStringList{"1", "2", "3", "4", "5", "6"}));
        QCOMPARE(s.grid->horizontalHeader()->sortIndicatorSection(), 0);
        QCOMPARE(s.grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    }

    void currentRowAndWidthsStayAfterASort() {
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        QTest::mouseClick(s.grid->viewport(), Qt::LeftButton, {},
                          s.grid->visualRect(s.grid->model()->index(5, 0)).center());
        QCOMPARE(s.grid->currentIndex().data().toString(), QStringLiteral("6"));
        // A width the operator gave a column survives the sort.
        QHeaderView* header = s.grid->horizontalHeader();
        const int zona = SectionOf(s.grid, QStringLiteral("Zona"));
        header->resizeSection(zona, 333);
        ClickTitle(s.grid, QStringLiteral("Evento"));
        QCOMPARE(s.grid->currentIndex().data().toString(), QStringLiteral("6"));
        QCOMPARE(s.grid->currentIndex().row(), 0);
        QCOMPARE(header->sectionSize(zona), 333);
    }

    void pageNeedsItsPermission() {
        Screen s;
        QVERIFY(s.Open());
        s.f.db.SetPermission(kPermissionEventos, false);
        s.ShowEvents();
        QCOMPARE(s.f.prompts.told, QStringList{kMsgSemPermissao});
        QVERIFY(!s.page->isVisible());
    }

    void datesAndTimesShortAndNamesBesideNumbers() {
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        const int user = SectionOf(s.grid, QStringLiteral("Usuário"));
        QCOMPARE(ColumnTexts(s.grid, 1).first(), QStringLiteral("01/03"));
        QCOMPARE(ColumnTexts(s.grid, 2).first(), QStringLiteral("08:00"));
        QCOMPARE(ColumnTexts(s.grid, user).mid(0, 4), (QStringList{"05", "Mestre", "", "12"}));
        Find<QCheckBox>(s.screen.get(), "chkUsuarios")->click();
        QCOMPARE(ColumnTexts(s.grid, user).mid(0, 4), (QStringList{"05 - Ana", "Mestre - Carla", "", "12"}));
    }

    void deleteFollowsPermissionAndQuestion_data() {
        QTest::addColumn<bool>("byKey"); // Ctrl+Delete in the grid instead of "Apagar"
        QTest::addColumn<bool>("granted");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all{"1", "2", "3", "4", "5", "6"};
        const QStringList kept{"1", "3", "5", "6"};
        for (bool byKey : {false, true}) {
            const QString way = byKey ? QStringLiteral("Ctrl+Delete, ") : QStringLiteral("Apagar, ");
            QTest::newRow(qPrintable(way + "without permission"))
                << byKey << false << int(OperatorAnswer::Yes) << QStringList{kMsgSemPermissao}
                << QStringList{} << all;
            QTest::newRow(qPrintable(way + "answered No"))
                << byKey << true << int(OperatorAnswer::No) << QStringList{}
                << QStringList{MsgApagarEventos(2)} << all;
            QTest::newRow(qPrintable(way + "answered Yes"))
                << byKey << true << int(OperatorAnswer::Yes) << QStringList{}
                << QStringList{kMsgApagarEventos + "\r2 eventos serão apagados."} << kept;
        }
    }
    void deleteFollowsPermissionAndQuestion() {
        QFETCH(bool, byKey);
        QFETCH(bool, granted);
        QFETCH(int, answer);
        QFETCH(QStringList, told);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, remaining);
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        auto* apagar = Find<QToolButton>(s.screen.get(), "JvLookOutButton1");
        // The list opens with a current row but nothing selected: "Apagar" waits for a selection.
        QVERIFY(s.grid->currentIndex().isValid());
        QVERIFY(!s.grid->selectionModel()->hasSelection());
        QVERIFY(!apagar->isEnabled());
        QTest::keyClick(s.grid, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(s.f.prompts.asked.isEmpty());
        CtrlClickRow(s.grid, 1);
        CtrlClickRow(s.grid, 3);
        QVERIFY(apagar->isEnabled());
        s.f.db.SetPermission(kPermissionApagar, granted);
        s.f.prompts.told.clear();
        s.f.prompts.answers = {OperatorAnswer(answer)};
        if (byKey)
            QTest::keyClick(s.grid, Qt::Key_Delete, Qt::ControlModifier);
        else
            Press(s.screen.get(), "JvLookOutButton1");
        QCOMPARE(s.f.prompts.told, told);
        QCOMPARE(s.f.prompts.asked, asked);
        if (!asked.isEmpty())
            QCOMPARE(s.f.prompts.askedWithNoPreselected, QList<bool>{true});
        QCOMPARE(s.Numbers(), remaining);
        QCOMPARE(s.Count(), QString::number(remaining.size()));
        QCOMPARE(s.f.db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {s.id}), remaining.size());
        // A deletion is recorded with its operator and customer; a refused one leaves no record.
        const int deletions = remaining.size() < 6 ? 1 : 0;
        QCOMPARE(s.f.db.Count("AUDITORIA", "where ID_CLIENTE = ? and ACAO = ?",
                              {s.id, AuditActionText(AuditAction::DeleteEvents)}),
                 deletions);
    }

    void deleteNeverTakesRowsStoredMeanwhile() {
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        s.grid->findChild<QAction*>(QStringLiteral("mnuSelecionarTodos"))->trigger();
        QCOMPARE(s.grid->selectionModel()->selectedRows().size(), 6);
        // While the session stores the panel's log, deleting waits for its end.
        QVERIFY(s.screen->BeginEventDownload(1));
        QVERIFY(s.screen->Atualiza_Tabela_Eventos(0, OneEventRecord()));
        s.f.prompts.answers = {OperatorAnswer::Yes};
        Press(s.screen.get(), "JvLookOutButton1");
        QCOMPARE(s.f.prompts.told, QStringList{kMsgAguardeDownload});
        QVERIFY(s.f.prompts.asked.isEmpty());
        QCOMPARE(s.f.db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {s.id}), 7);
        s.screen->EventDownloadEnded(EventDownloadReport());
        QCOMPARE(s.Numbers().size(), 7);

        // A panel calling in stores another event after the operator selected the six old rows:
        // it stays.
        s.grid->clearSelection();
        for (int row = 0; row < 6; ++row)
            CtrlClickRow(s.grid, row);
        EventStore reception(s.f.db.dm.IBDB, s.id, 1, EventCatalogue::Reception);
        QByteArray later = QByteArray::fromHex("0A40C10D");
        later.append(12, char(0xFF));
        QVERIFY(reception.StoreRecord(later, QDate(2026, 12, 10)));
        s.f.prompts.answers = {OperatorAnswer::Yes};
        Press(s.screen.get(), "JvLookOutButton1");
        QCOMPARE(s.Numbers(), (QStringList{"7", "8"}));
        QCOMPARE(s.f.db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {s.id}), 2);
    }

    void filterDialogNarrowsTheList() {
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        WhenModal<TfrmFiltraBuffer>([](TfrmFiltraBuffer* dialog) {
            QVERIFY(!dialog->lbxZona->isEnabled());
            ClickIndicator(dialog->chkZona);
            QVERIFY(dialog->lbxZona->isEnabled());
            dialog->lbxZona->item(2)->setSelected(true); // zone 3
            ClickIndicator(dialog->optPeloMenos);
            ClickIndicator(dialog->chkUsuario);
            dialog->lbxUsuario->item(0)->setSelected(true); // Mestre
            QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
        });
        Press(s.screen.get(), "JvLookOutButton7");
        QCOMPARE(s.Numbers(), (QStringList{"2", "3"}));
        QCOMPARE(s.Count(), QStringLiteral("2"));
        // Opening the page again keeps the filter and sorts by number again.
        ClickTitle(s.grid, QStringLiteral("No. do Evento"));
        s.ShowEvents();
        QCOMPARE(s.Numbers(), (QStringList{"2", "3"}));

        // Dates in the wrong order: the message, the dialog stays, Cancel leaves the list.
        WhenModal<TfrmFiltraBuffer>([&s](TfrmFiltraBuffer* dialog) {
            ClickIndicator(dialog->chkData);
            dialog->cmbDeData->setDate(QDate(2026, 3, 3));
            dialog->cmbAData->setDate(QDate(2026, 3, 1));
            QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
            QCOMPARE(s.f.prompts.told, QStringList{MsgFilterDatesReversed()});
            QVERIFY(dialog->isVisible());
            QTest::mouseClick(dialog->btnCancelar, Qt::LeftButton);
        });
        Press(s.screen.get(), "JvLookOutButton7");
        QCOMPARE(s.Numbers(), (QStringList{"2", "3"}));
        QCOMPARE(s.Count(), QStringLiteral("2"));
    }

    void filterDialogControlsFollowTheirBoxes_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<bool>("partition");
        QTest::addColumn<int>("users");
        QTest::newRow("10-zone family") << 3 << true << 49;
        QTest::newRow("5-zone model") << 2 << false << 16;
    }
    void filterDialogControlsFollowTheirBoxes() {
        QFETCH(int, productCode);
        QFETCH(bool, partition);
        QFETCH(int, users);
        TfrmFiltraBuffer dialog(productCode);
        dialog.show();
        QCOMPARE(dialog.chkParticao->isEnabled(), partition);
        QCOMPARE(dialog.lbxUsuario->count(), users);
        QVERIFY(dialog.optTodas->isChecked());
        for (QWidget* control : QList<QWidget*>{dialog.cmbDeData, dialog.cmbAData, dialog.cmbDeHorario,
                                                dialog.cmbAHorario, dialog.chkPart1, dialog.lbxEvento,
                                                dialog.lbxUsuario, dialog.lbxZona, dialog.edtDeNumEvento})
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        auto* label = dialog.findChildren<QLabel*>().first();
        const QColor grey = label->palette().color(QPalette::WindowText);
        ClickIndicator(dialog.chkNumEvento);
        QVERIFY(dialog.edtDeNumEvento->isEnabled() && dialog.edtANumEvento->isEnabled());
        QTest::keyClicks(dialog.edtDeNumEvento, QStringLiteral("1a'2"));
        QCOMPARE(dialog.edtDeNumEvento->text(), QStringLiteral("12"));
        ClickIndicator(dialog.chkData);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(grey != QColor(Qt::black));
        ClickIndicator(dialog.chkData);
        QCOMPARE(label->palette().color(QPalette::WindowText), grey);
        QVERIFY(!dialog.cmbDeData->isEnabled());
    }

    void filterOfAnUnsavedCustomerIsRefused() {
        Fixture f;
        QVERIFY(f.Open());
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(f.context, 2, QStringLiteral("1.4")));
        QVERIFY(screen);
        screen->show();
        Press(screen.get(), "jvLookEventos");
        auto* grid = Find<QTableView>(screen.get(), "dbgBufferEventos");
        QCOMPARE(grid->model()->rowCount(), 0);
        // The 5-zone model has no partition column.
        QCOMPARE(SectionOf(grid, QStringLiteral("Partição")), -1);
        Press(screen.get(), "JvLookOutButton7");
        QCOMPARE(f.prompts.told, QStringList{kMsgSalvarAntesDeFiltrar});
    }

    void imprimirShowsTheListInThePreview() {
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        bool opened = false;
        int pages = 0;
        QString title;
        WhenModal<PrintPreview>([&](PrintPreview* preview) {
            opened = true;
            title = preview->windowTitle();
            if (auto* widget = preview->findChild<QPrintPreviewWidget*>())
                pages = widget->pageCount();
            preview->reject();
        });
        Press(s.screen.get(), "JvLookOutButton6");
        QTRY_VERIFY(opened);
        QCOMPARE(pages, 1);
        QVERIFY(title.startsWith(QStringLiteral("Telvora")));
        QVERIFY(Find<QToolButton>(s.screen.get(), "JvLookOutButton6")->isEnabled());

        s.f.db.SetPermission(kPermissionImprimir, false);
        Press(s.screen.get(), "JvLookOutButton6");
        QCOMPARE(s.f.prompts.told, QStringList{kMsgSemPermissao});
    }

    void exportWritesTheListAsShown() {
        Screen s;
        QVERIFY(s.Open());
        s.ShowEvents();
        ClickTitle(s.grid, QStringLiteral("Zona"));
        ClickTitle(s.grid, QStringLiteral("Zona"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("eventos.csv"));
        s.page->AskCsvPath = [path] { return path; };
        Press(s.screen.get(), "btnExportarCsv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList numbers;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray& line : lines.mid(1)) {
            if (!line.isEmpty())
                numbers << QString::fromUtf8(line.left(line.indexOf(';')));
        }
        QCOMPARE(numbers, (QStringList{"5", "3", "1", "2", "4", "6"}));
    }
};

QTEST_MAIN(TestEventsPage)
#include "tst_events_page.moc"
