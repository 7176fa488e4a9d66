// The record screen's "Imprimir" offscreen against a fresh embedded database: it opens the print
// preview of the customer's six pages after saving, saves them as PDF from the preview, tells a
// missing logo and still shows the pages, and refuses without permission or for an unsaved customer.
#include "gui/record_screen_fixture.h"
#include "printing/print_header.h"
#include "widgets/print_preview.h"
#include "workspace/record_texts.h"

#include <QAction>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QTemporaryDir>

namespace {

constexpr int kPermissionImprimir = 39;

// What the preview showed while it was up.
struct PreviewSeen {
    bool opened = false;
    QString title;
    int pages = 0;
    bool hasPdfAction = false;
    bool hasRtfAction = false;
    bool fitsTheScreen = false;
};

// Closes the next print preview after noting what it shows (and saving it as `pdf` when given).
void ClosePreviewWhenShown(PreviewSeen* seen, const QString& pdf = QString(),
                           const QString& rtf = QString()) {
    WhenModal<PrintPreview>([seen, pdf, rtf](PrintPreview* preview) {
        seen->opened = true;
        seen->title = preview->windowTitle();
        if (auto* pages = preview->findChild<QPrintPreviewWidget*>())
            seen->pages = pages->pageCount();
        seen->hasPdfAction = preview->findChild<QAction*>(QStringLiteral("actSalvarPdf")) != nullptr;
        seen->hasRtfAction = preview->findChild<QAction*>(QStringLiteral("actSalvarRtf")) != nullptr;
        seen->fitsTheScreen = preview->screen()->availableGeometry().size().expandedTo(preview->size()) ==
                              preview->screen()->availableGeometry().size();
        if (!pdf.isEmpty())
            preview->SaveAsPdf(pdf);
        if (!rtf.isEmpty())
            preview->SaveAsRtf(rtf);
        preview->reject();
    });
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void imprimirOpensThePreview_data() {
        QTest::addColumn<int>("productCode");
        QTest::addColumn<QString>("version");
        QTest::newRow("Orvan 10") << 1 << "1.4";
        QTest::newRow("Orvan 5") << 2 << "1.4";
    }
    void imprimirOpensThePreview() {
        QFETCH(int, productCode);
        QFETCH(QString, version);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        f.context.settings.PathLogoImpressao.clear();
        const int id = f.AddCustomer(productCode, version, QStringLiteral("Mercado Central"), "1234");
        QVERIFY(id > 0);
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        QVERIFY(screen);
        screen->show();
        // An edit not saved yet: printing saves it first ("Salvar Conta?" answered Yes).
        TypeInto(screen.get(), "dbedtNome", QStringLiteral("Mercado Novo"));
        f.prompts.asked.clear();
        f.prompts.answers = {OperatorAnswer::Yes};
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("programacao.pdf"));
        const QString rtf = dir.filePath(QStringLiteral("programacao.rtf"));
        PreviewSeen seen;
        ClosePreviewWhenShown(&seen, pdf, rtf);
        Press(screen.get(), "JvLookImprimirTudo");
        QTRY_VERIFY(seen.opened);
        QCOMPARE(f.prompts.asked, QStringList{kMsgSalvarConta});
        QCOMPARE(f.db.Count("CLIENTES", "where NOME = ?", {"Mercado Novo"}), 1);
        QCOMPARE(seen.pages, 6);
        QVERIFY(seen.title.startsWith(QStringLiteral("Telvora")));
        QVERIFY(seen.hasPdfAction);
        QVERIFY(seen.hasRtfAction);
        QVERIFY(seen.fitsTheScreen);
        QVERIFY(QFileInfo(pdf).size() > 0);
        // "Formato RichText": the same six pages, the customer's name among their texts.
        QFile file(rtf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("{\\rtf1"));
        QCOMPARE(bytes.count("\\page\n"), 5);
        QVERIFY(bytes.contains("Mercado Novo"));
        QVERIFY2(f.prompts.told.isEmpty(), qPrintable(f.prompts.told.join('|')));
    }

    void missingLogoIsToldAndThePagesStillShow() {
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        QTemporaryDir dir;
        const QString logo = dir.filePath(QStringLiteral("LogoImpressao.jpg"));
        f.context.settings.PathLogoImpressao = logo;
        const int id = f.AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Mercado"), "1234");
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::OpenCustomer(f.context, id));
        screen->show();
        f.prompts.told.clear();
        PreviewSeen seen;
        ClosePreviewWhenShown(&seen);
        Press(screen.get(), "JvLookImprimirTudo");
        QTRY_VERIFY(seen.opened);
        QCOMPARE(seen.pages, 6);
        QCOMPARE(f.prompts.told, QStringList{LogoMissingMessage(logo)});
    }

    void refusals_data() {
        QTest::addColumn<bool>("permitted");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("message");
        QTest::newRow("no permission")
            << false << true << "Este usuário não tem permissão para esta operação";
        QTest::newRow("not saved") << true << false << "É necessário salvar antes de imprimir";
    }
    void refusals() {
        QFETCH(bool, permitted);
        QFETCH(bool, saved);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY2(f.Open(), qPrintable(f.db.Error()));
        f.db.SetPermission(kPermissionImprimir, permitted);
        std::unique_ptr<TfrmProgMain> screen;
        if (saved) {
            const int id = f.AddCustomer(1, QStringLiteral("1.4"), QStringLiteral("Mercado"), "1234");
            screen.reset(TfrmProgMain::OpenCustomer(f.context, id));
        } else {
            screen.reset(TfrmProgMain::NewCustomer(f.context, 1, QStringLiteral("1.4")));
        }
        QVERIFY(screen);
        screen->show();
        f.prompts.told.clear();
        f.prompts.asked.clear();
        // Should a preview open anyway (modal, inside the click), it is closed so that the test
        // fails instead of hanging.
        PreviewSeen seen;
        ClosePreviewWhenShown(&seen);
        Press(screen.get(), "JvLookImprimirTudo");
        QCOMPARE(f.prompts.told, QStringList{message});
        QVERIFY(f.prompts.asked.isEmpty());
        QVERIFY(!seen.opened);
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_report_preview.moc"
