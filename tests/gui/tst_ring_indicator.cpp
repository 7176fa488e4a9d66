// The ring indication of the main window: the sound we make ourselves, the blinking label, and its
// end five seconds after the last ring (scaled clock).
#include "base/clock.h"
#include "widgets/ring_indicator.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class TestRingIndicator : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::instance().setScale(10); }

    void startsAndStopsWithTheRings() {
        QTemporaryDir folder;
        QLabel lblRing;
        RingIndicator ring(&lblRing, folder.path());
        QVERIFY(!ring.Showing());

        ring.Ring();
        QVERIFY(ring.Showing());
        QCOMPARE(lblRing.text(), QStringLiteral("Ring"));
        QFile sound(ring.SoundFile());
        QVERIFY(sound.open(QIODevice::ReadOnly));
        const QByteArray wav = sound.readAll();
        QVERIFY(wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt ");
        QVERIFY(wav.size() > 8000); // a second of sound at 8 kHz, 16 bits

        // It blinks, and a ring within the five seconds keeps it up.
        const QString before = lblRing.styleSheet();
        QTRY_VERIFY_WITH_TIMEOUT(lblRing.styleSheet() != before, 1000);
        QTest::qWait(300);
        ring.Ring();
        QTest::qWait(300);
        QVERIFY(ring.Showing());
        QTRY_VERIFY_WITH_TIMEOUT(!ring.Showing(), 2000);

        // While the program waits for panels to call, it stays up.
        bool waiting = true;
        ring.SetKeepShowing([&waiting] { return waiting; });
        ring.Ring();
        QTest::qWait(800);
        QVERIFY(ring.Showing());
    }
};

QTEST_MAIN(TestRingIndicator)
#include "tst_ring_indicator.moc"
