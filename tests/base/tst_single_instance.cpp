#include "base/single_instance.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondInstanceAsksFirstToComeForward() {
        const QString name = QStringLiteral("TelvoraTest%1").arg(QCoreApplication::applicationPid());
        {
            SingleInstance first(name);
            QVERIFY(first.start());
            QVERIFY(first.isRunning());
            QSignalSpy forward(&first, &SingleInstance::comeForwardRequested);

            QLockFile other(first.lockFilePath());
            QVERIFY(!other.tryLock(0));

            SingleInstance second(name);
            QVERIFY(!second.start());
            QVERIFY(!second.isRunning());
            QVERIFY(forward.wait(5000));
            QCOMPARE(forward.count(), 1);

            SingleInstance third(name);
            QVERIFY(!third.start());
            QTRY_COMPARE(forward.count(), 2);
        }
        // The lock goes with the first instance: the next start runs.
        SingleInstance next(name);
        QVERIFY(next.start());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
