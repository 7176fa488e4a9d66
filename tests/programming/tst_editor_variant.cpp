// How the programming windows adapt to the model and the stored version: the telephone
// characters, the emergency options, the describing texts, the no-movement time, the communication
// formats and the model shown, per product code, version and the Orvan 9 Max mark.
#include "programming/editor_variant.h"

#include <QTest>

class TestEditorVariant : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void variant_data() {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("orvan9Max");
        QTest::addColumn<bool>("phonePauses"); // "#", "*" and "," taken
        QTest::addColumn<bool>("oldPanic");
        QTest::addColumn<bool>("armDisarm");
        QTest::addColumn<bool>("autoTestText");
        QTest::addColumn<bool>("noMovement");
        QTest::addColumn<int>("formats");
        QTest::addColumn<QString>("model");
        QTest::newRow("Orvan 10 1.0")
            << 1 << "1.0" << false << false << true << false << false << false << 26 << "Orvan 10";
        QTest::newRow("Orvan 10 1.1")
            << 1 << "1.1" << false << false << false << true << true << false << 26 << "Orvan 10";
        QTest::newRow("Orvan 10 1.4")
            << 1 << "1.4" << false << true << false << true << true << false << 26 << "Orvan 10";
        QTest::newRow("Orvan 10 Eco 1.0")
            << 3 << "1.0" << false << false << false << false << true << true << 26 << "Orvan 10 Eco";
        QTest::newRow("Orvan 10 Max")
            << 3 << "1.3" << false << true << false << false << true << true << 2 << "Orvan 10 Max";
        QTest::newRow("Orvan 9 Max") << 4 << "1.0" << true << true << false << false << true << true << 26
                                     << "Orvan 9 Max";
        QTest::newRow("Orvan 5 1.1") << 2 << "1.1" << false << false << true << false << false << false << 2
                                     << "Orvan 5";
        QTest::newRow("Orvan 5 1.2") << 2 << "1.2" << false << false << false << true << true << false << 2
                                     << "Orvan 5";
        QTest::newRow("Orvan 5 1.5") << 2 << "1.5" << false << true << false << true << true << false << 2
                                     << "Orvan 5";
    }
    void variant() {
        QFETCH(int, product);
        QFETCH(QString, version);
        QFETCH(bool, orvan9Max);
        QFETCH(bool, phonePauses);
        QFETCH(bool, oldPanic);
        QFETCH(bool, armDisarm);
        QFETCH(bool, autoTestText);
        QFETCH(bool, noMovement);
        QFETCH(int, formats);
        QFETCH(QString, model);
        const EditorVariant v = EditorVariant::For(product, version, orvan9Max);
        QCOMPARE(v.phoneCharacters.contains(QLatin1Char(',')), phonePauses);
        QCOMPARE(v.oldPanicOptions, oldPanic);
        QCOMPARE(v.armDisarmReport, armDisarm);
        QCOMPARE(v.autoTestText, autoTestText);
        QCOMPARE(v.noMovement, noMovement);
        QCOMPARE(v.formatList.size(), formats);
        QCOMPARE(v.modelName, model);

        // Every option bit is offered at most once, and only options the family's bytes hold.
        QSet<int> numbers;
        for (const EditorOption& option : EditorOptions(v)) {
            QVERIFY2(!numbers.contains(option.number), qPrintable(option.caption));
            numbers.insert(option.number);
            const int index = option.number >> 4;
            QVERIFY(index <= 3 || (product == 2 && (index == 4 || index == 8)));
        }
        // The shared bit 3 of the last option byte is the arm/disarm report only where it is offered.
        const int shared = product == 2 ? 0x83 : 0x33;
        bool armDisarmOffered = false;
        for (const EditorOption& option : EditorOptions(v))
            armDisarmOffered |= option.number == shared && option.caption.startsWith("Enviar arme/desarme");
        QCOMPARE(armDisarmOffered, armDisarm);
    }

    // Options whose caption changes with the product code.
    void captionsFollowTheProduct() {
        const auto caption = [](int product, int number) {
            for (const EditorOption& option : EditorOptions(EditorVariant::For(product, "1.2")))
                if (option.number == number)
                    return option.caption;
            return QString();
        };
        QCOMPARE(caption(1, 0x14), "Habilita acesso via telefone");
        QCOMPARE(caption(3, 0x14), "Detectar Tom de linha antes de discar");
        QCOMPARE(caption(1, 0x25), "Zona 8 para controle remoto");
        QCOMPARE(caption(3, 0x25), "Disparar sirene no problema de linha telefônica");
    }
};

QTEST_MAIN(TestEditorVariant)
#include "tst_editor_variant.moc"
