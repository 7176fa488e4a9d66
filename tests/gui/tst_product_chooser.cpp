// The product type choice: what each model answers, and what the dialog shows.
#include "gui/gui_helpers.h"
#include "programming/ui/frm_tipo_do_produto.h"

#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestProductChooser : public QObject {
    Q_OBJECT

    static QRadioButton* Button(TfrmTipoDoProduto& dialog, const QString& name) {
        return dialog.findChild<QRadioButton*>(name);
    }

private Q_SLOTS:
    void choices_data() {
        QTest::addColumn<QString>("model"); // button name without "rbt"; empty: OK at once
        QTest::addColumn<QString>("how");   // "button", "picture" (colour or grey), "double"
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("orvan9");
        QTest::newRow("OK at once: Orvan 5") << ""
                                             << "" << 2 << "1.4" << false;
        QTest::newRow("Orvan 10") << "Orvan10"
                                  << "button" << 1 << "1.4" << false;
        QTest::newRow("Orvan 10 Eco") << "OrvanEco"
                                      << "button" << 3 << "1.2" << false;
        QTest::newRow("Orvan 10 Max by picture") << "OrvanMax"
                                                 << "picture" << 3 << "1.3" << false;
        QTest::newRow("Orvan 9") << "Orvan9"
                                 << "button" << 4 << "1.0" << true;
        QTest::newRow("double click on grey Orvan 10") << "Orvan10"
                                                       << "double" << 1 << "1.4" << false;
    }
    void choices() {
        QFETCH(QString, model);
        QFETCH(QString, how);
        QFETCH(int, product);
        QFETCH(QString, version);
        QFETCH(bool, orvan9);
        TfrmTipoDoProduto dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.rbtOrvan5->isChecked());
        QCOMPARE(dialog.Choice().version, QStringLiteral("1.4"));
        if (how == "button") {
            ClickIndicator(Button(dialog, "rbt" + model));
        } else if (how == "picture") {
            QTest::mouseClick(dialog.Picture("img" + model + "PB"), Qt::LeftButton);
        } else if (how == "double") {
            QTest::mouseDClick(dialog.Picture("img" + model + "PB"), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        if (!model.isEmpty() && how != "double") {
            QVERIFY(Button(dialog, "rbt" + model)->isChecked());
            // The chosen model framed and in colour, the others unframed and grey.
            for (QRadioButton* b : dialog.Buttons()) {
                const QString m = b->objectName().mid(3);
                const bool chosen = m == model;
                QCOMPARE(dialog.Frame("shp" + m)->frameShape(), chosen ? QFrame::Box : QFrame::NoFrame);
                QCOMPARE(dialog.Picture("img" + m + "Color")->isVisible(), chosen);
                QCOMPARE(dialog.Picture("img" + m + "PB")->isVisible(), !chosen);
            }
        }
        QCOMPARE(dialog.Choice().version, version);
        if (how != "double") {
            QCOMPARE(dialog.Choice().productCode, 0); // only OK sets the product
            QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Choice().productCode, product);
        QCOMPARE(dialog.Choice().orvan9, orvan9);
    }

    void cancelKeepsTheLastSelectedVersion() {
        TfrmTipoDoProduto dialog;
        dialog.show();
        ClickIndicator(dialog.rbtOrvan10);
        ClickIndicator(dialog.rbtOrvanMax);
        QTest::mouseClick(dialog.btnCancelar, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.Choice().version, QStringLiteral("1.3"));
        QCOMPARE(dialog.Choice().productCode, 0);
        QVERIFY(!dialog.Choice().orvan9);
    }

    void picturesAreDrawn() {
        TfrmTipoDoProduto dialog;
        QCOMPARE(dialog.size(), QSize(860, 516));
        for (QRadioButton* b : dialog.Buttons()) {
            const QString m = b->objectName().mid(3);
            const QImage colour = dialog.Picture("img" + m + "Color")->pixmap().toImage();
            const QImage grey = dialog.Picture("img" + m + "PB")->pixmap().toImage();
            QVERIFY2(!colour.isNull() && colour.width() >= 100, qPrintable(m));
            // Somewhere the colour picture has colour and the grey one has none.
            bool coloured = false;
            bool greyOnly = true;
            for (int y = 0; y < colour.height(); y += 3) {
                for (int x = 0; x < colour.width(); x += 3) {
                    const QColor c = colour.pixelColor(x, y);
                    const QColor g = grey.pixelColor(x, y);
                    coloured = coloured || (c.alpha() > 0 && c.saturation() > 80);
                    greyOnly = greyOnly && (g.alpha() == 0 || g.saturation() == 0);
                }
            }
            QVERIFY2(coloured, qPrintable(m));
            QVERIFY2(greyOnly, qPrintable(m));
        }
    }
};

QTEST_MAIN(TestProductChooser)
#include "tst_product_chooser.moc"
