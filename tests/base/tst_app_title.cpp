// The application title from the build's version.
#include "base/app_title.h"

#include <QtTest>

class TestAppTitle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void title_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("title");
        QTest::newRow("last part 0 dropped") << "1.12.0.128"
                                             << "Telvora 1.12";
        QTest::newRow("2.0.0.5") << "2.0.0.5"
                                 << "Telvora 2.0";
        QTest::newRow("third part kept") << "1.12.3.9"
                                         << "Telvora 1.12.3";
        QTest::newRow("third part ending in 0 kept") << "1.0.10.2"
                                                     << "Telvora 1.0.10";
        QTest::newRow("three parts") << "1.0.0"
                                     << "Telvora 1.0";
        QTest::newRow("no version") << ""
                                    << "Telvora";
    }
    void title() {
        QFETCH(QString, version);
        QFETCH(QString, title);
        QCOMPARE(ApplicationTitle(version), title);
    }
};

QTEST_GUILESS_MAIN(TestAppTitle)
#include "tst_app_title.moc"
