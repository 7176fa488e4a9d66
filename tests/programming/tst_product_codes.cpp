#include "programming/product_codes.h"

#include <QTest>

class TestProductCodes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void customerModel_data() {
        QTest::addColumn<QString>("produto");
        QTest::addColumn<QString>("versao");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<QString>("folder");
        QTest::newRow("Orvan 10") << "1"
                                  << "1.4"
                                  << "Orvan 10"
                                  << "ORVAN 10" << 19 << "Orvan10";
        QTest::newRow("Orvan 5") << "2"
                                 << "1.3"
                                 << "Orvan 5"
                                 << "ORVAN 5" << 16 << "Orvan5";
        QTest::newRow("code 3 with 1.3 is the Max") << "3"
                                                    << "1.3"
                                                    << "Orvan 10 Max"
                                                    << "ORVAN 10 MAX" << 19 << "Orvan10Eco";
        QTest::newRow("code 3 otherwise is the Eco") << "3"
                                                     << "1.2"
                                                     << "Orvan 10 Eco"
                                                     << "ORVAN 10 ECO" << 19 << "Orvan10Eco";
        QTest::newRow("code 3 without a version") << "3"
                                                  << ""
                                                  << "Orvan 10 Eco"
                                                  << "ORVAN 10 ECO" << 19 << "Orvan10Eco";
        QTest::newRow("code 4 whatever its version") << "4"
                                                     << "1.3"
                                                     << "Orvan 9 Max"
                                                     << "ORVAN 9 MAX" << 19 << "Orvan10Eco";
        QTest::newRow("unidentified") << "0"
                                      << "1.0"
                                      << ""
                                      << "" << 0 << "";
        QTest::newRow("unknown code") << "7"
                                      << "1.0"
                                      << ""
                                      << "" << 0 << "";
        QTest::newRow("two digits are not code 1") << "12"
                                                   << "1.0"
                                                   << ""
                                                   << "" << 0 << "";
        QTest::newRow("not a number") << "x"
                                      << "1.0"
                                      << ""
                                      << "" << 0 << "";
    }
    void customerModel() {
        QFETCH(QString, produto);
        QFETCH(QString, versao);
        const ProductModel model = ModelOf(produto, versao);
        QTEST(ModelName(model), "name");
        QTEST(ModelNameUpper(model), "upper");
        const int code = ProductCodeOf(produto);
        QTEST(ProgrammingBlockCount(FamilyOf(code)), "blocks");
        QTEST(TemplateFolder(code), "folder");
    }

    void versions() {
        QCOMPARE(OfferedVersions(1), QStringList({"1.0", "1.1", "1.2", "1.3", "1.4"}));
        QCOMPARE(OfferedVersions(2), QStringList({"1.0", "1.1", "1.2", "1.3", "1.4", "1.5"}));
        QCOMPARE(OfferedVersions(3), QStringList({"1.0", "1.1", "1.2", "1.3"}));
        QCOMPARE(OfferedVersions(4), QStringList({"1.0"}));
        QVERIFY(OfferedVersions(0).isEmpty());

        // A new customer of each model is stored with its code and starting version, and reads
        // back as the same model.
        const ProductModel models[] = {ProductModel::Orvan10, ProductModel::Orvan5, ProductModel::Orvan10Max,
                                       ProductModel::Orvan10Eco, ProductModel::Orvan9Max};
        const char* expected[] = {"1.4", "1.4", "1.3", "1.2", "1.0"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(NewCustomerVersion(models[i]), QString::fromLatin1(expected[i]));
            QCOMPARE(ModelOf(ProductCodeOf(models[i]), NewCustomerVersion(models[i])), models[i]);
        }
    }

    void predicates_data() {
        QTest::addColumn<int>("connected");
        QTest::addColumn<QString>("produto");
        QTest::addColumn<QString>("answers"); // IsOrvan10, IsOrvan5, IsProduct3, IsOrvan9Max, IsProduct3Or4
        QTest::newRow("stored Orvan 10, nothing connected") << kNoConnectedProduct << "1"
                                                            << "10000";
        QTest::newRow("stored Orvan 5") << kNoConnectedProduct << "2"
                                        << "01000";
        QTest::newRow("stored code 3") << kNoConnectedProduct << "3"
                                       << "00101";
        QTest::newRow("stored code 4") << kNoConnectedProduct << "4"
                                       << "00011";
        QTest::newRow("connected panel agrees") << 3 << "3"
                                                << "00101";
        // The panel's own product byte counts as well as the stored code.
        QTest::newRow("connected panel differs") << 4 << "1"
                                                 << "10011";
        QTest::newRow("connected, no customer row") << 2 << ""
                                                    << "01000";
        QTest::newRow("first character decides") << kNoConnectedProduct << "12"
                                                 << "10000";
        QTest::newRow("unidentified") << kNoConnectedProduct << "0"
                                      << "00000";
        QTest::newRow("nothing at all") << kNoConnectedProduct << ""
                                        << "00000";
    }
    void predicates() {
        QFETCH(int, connected);
        QFETCH(QString, produto);
        QString answers;
        for (bool b :
             {IsOrvan10(connected, produto), IsOrvan5(connected, produto), IsProduct3(connected, produto),
              IsOrvan9Max(connected, produto), IsProduct3Or4(connected, produto)})
            answers += b ? u'1' : u'0';
        QTEST(answers, "answers");
    }
};

QTEST_GUILESS_MAIN(TestProductCodes)
#include "tst_product_codes.moc"
