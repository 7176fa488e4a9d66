#include "panel_simulator.h"
#include "serial/tcia_com_port.h"
#include "sim/sim_test_util.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace simtest;

namespace {
QString simulatorPath() {
    return qEnvironmentVariable("TELVORA_BUILD_DIR") + "/tools/panel-sim/telvora-panel-sim";
}

// The program's end of the pseudo-terminal, opened the way a serial port is: raw, at a speed.
class PtyEnd {
public:
    ~PtyEnd() { close(); }

    bool open(const QString& path, speed_t speed) {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return false;
        termios t{};
        ::tcgetattr(m_fd, &t);
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
        return ::tcsetattr(m_fd, TCSANOW, &t) == 0;
    }

    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    void send(const QByteArray& bytes) {
        rx.clear();
        QVERIFY(::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }

    // Reads until `n` bytes are there (or `until` appears), for at most `realMs`.
    QByteArray read(int n, int realMs = 5000, const QByteArray& until = {}) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < realMs) {
            if (until.isEmpty() ? rx.size() >= n : rx.contains(until))
                break;
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buffer[512];
                const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
                if (got > 0)
                    rx.append(buffer, int(got));
            }
        }
        const QByteArray out = until.isEmpty() ? rx.left(n) : rx;
        rx.remove(0, out.size());
        return out;
    }
    QByteArray readUntil(const QByteArray& text, int realMs = 5000) { return read(0, realMs, text); }
    QByteArray ask(const QByteArray& frame, int n) {
        send(frame);
        return read(n);
    }

    QByteArray rx;

private:
    int m_fd = -1;
};

QVector<QJsonObject> journalLines(const QString& path) {
    QVector<QJsonObject> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            out.append(QJsonDocument::fromJson(line).object());
    }
    return out;
}
} // namespace

// The simulator as its own process on a pseudo-terminal, driven the way the application drives a
// modem: every byte goes through a real terminal device.
class TestPty : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scriptedSessionOverPseudoTerminal() {
        QTemporaryDir dir;
        const QString journal = dir.filePath("journal.jsonl");
        QProcess simulator;
        simulator.start(simulatorPath(), {"--pty", "--once", "--journal", journal, "--clock-scale", "20",
                                          "--events", "6", "--seed", "5"});
        QVERIFY2(simulator.waitForReadyRead(5000), qPrintable(simulator.errorString()));
        const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
        QVERIFY2(QRegularExpression("^/dev/pts/\\d+$").match(device).hasMatch(), qPrintable(device));

        PtyEnd port;
        // Initialisation at 9600 baud, the program's lines for the default catalogue.
        QVERIFY(port.open(device, B9600));
        const struct {
            const char* sent;
            const char* answer;
        } init[] = {
            {"AT\r", "AT\r\r\nOK\r\n"},
            {"AT&C0&D2&F0&H0\r", "AT&C0&D2&F0&H0\r\r\nOK\r\n"},
            {"AT&I0&K0&N1E0\r", "AT&I0&K0&N1E0\r\r\nOK\r\n"},
            {"ATL0M1Q0S0=0\r", "\r\nOK\r\n"},
            {"ATS10=255S12=50S7=120S9=1\r", "\r\nOK\r\n"},
            {"ATV0X3\r", "\r\n0\r\n"},
        };
        for (const auto& step : init) {
            port.send(step.sent);
            QCOMPARE(port.readUntil(step.answer), QByteArray(step.answer));
        }
        // A serial modem: reopen the port at 300 baud, then dial.
        port.close();
        QTest::qWait(100);
        QVERIFY(port.open(device, B300));
        port.send("ATDT5551234;ATA\r");
        QCOMPARE(port.readUntil("\r\n1\r\n"), QByteArray("\r\n1\r\n"));

        QCOMPARE(port.ask(bytes("B3 43 00 00 00 00 00 F0"), 9), bytes("5A 52 56 43 01 14 12 34 70"));
        QCOMPARE(port.ask(bytes("B3 28 12 34 56 78 00 93"), 5), bytes("5A 52 56 C7 C7"));
        QCOMPARE(port.ask(bytes("B3 50 00 00 00 00 00 E3"), 5), bytes("5A 52 56 C7 C7"));

        QByteArray image;
        for (int b = 0; b < 19; ++b) {
            const QByteArray frame =
                b < 16 ? request(0x88, quint8(b * 16)) : request(0x70, quint8(0x20 * (b - 15)));
            const QByteArray a = port.ask(frame, 22);
            QCOMPARE(a.size(), 22);
            QCOMPARE(a.left(5), QByteArray("ZRV") + frame.mid(1, 2));
            image += a.mid(5, 16);
        }
        QCOMPARE(image.mid(112, 4), bytes("12 34 56 78"));

        QCOMPARE(port.ask(bytes("B3 C4 18 01 02 03 04 6B"), 5), bytes("5A 52 56 C7 C7"));
        image.replace(24, 4, bytes("01 02 03 04"));
        QCOMPARE(port.ask(bytes("B3 88 10 00 00 00 00 2B"), 22),
                 answer(0x88, bytes("10") + image.mid(16, 16)));

        int eventCount = 0;
        for (int r = 0; r < 10; ++r) {
            const QByteArray a = port.ask(request(0xE2, quint8(r)), 22);
            QCOMPARE(a.left(5), QByteArray("ZRV\xE2") + char(r));
            if (a.mid(5, 16) == QByteArray(16, char(0xFF)))
                break;
            for (int e = 0; e < 4; ++e)
                eventCount += a.mid(5 + 4 * e, 4) == bytes("FF FF FF FF") ? 0 : 1;
        }
        QCOMPARE(eventCount, 6);

        QCOMPARE(port.ask(bytes("B3 36 54 01 00 00 00 D0"), 11), answer(0x18, bytes("00 01 00 DC 00 00")));
        QCOMPARE(port.ask(bytes("B8"), 11), answer(0x18, bytes("00 01 00 DC 00 00")));

        // Hang-up as the session does it: "ATH0" and three "AT" go to the panel as data, then the
        // port closes, which ends the call (and, with --once, the simulator).
        port.send("ATH0\rAT\rAT\rAT\r");
        QVERIFY(port.read(1, 500).isEmpty());
        port.close();
        QVERIFY(simulator.waitForFinished(5000));
        QCOMPARE(simulator.exitCode(), 0);

        const QVector<QJsonObject> lines = journalLines(journal);
        QVERIFY(lines.size() > 20);
        QStringList writes, events;
        for (const QJsonObject& o : lines) {
            if (o["kind"] == "frame" && o["text"] == "write")
                writes << QString("%1/%2").arg(o["block"].toInt()).arg(o["chunk"].toInt());
            if (o["kind"] == "event")
                events << o["text"].toString();
        }
        QCOMPARE(writes, QStringList{"1/2"});
        QVERIFY2(events.contains("port speed 300 bit/s"), qPrintable(events.join('|')));
        QVERIFY(events.contains("hang-up: the program closed the port"));
        const QJsonObject final = lines.last()["final"].toObject();
        QCOMPARE(QByteArray::fromHex(final["image"].toString().toLatin1()), image);
        QCOMPARE(final["status"].toString(), QString("00 01 00 DC 00 00"));
        QCOMPARE(final["events"].toInt(), 6);
    }

    void applicationPortSeesTheModem() {
        // The application's own serial port on the simulator's pseudo-terminal: the modem sees the
        // port open and close (DTR) and its speed, and answers through the real terminal device.
        Clock::instance().setScale(50);
        PanelSimulator sim;
        QString device, error;
        QVERIFY2(sim.openPty(&device, &error), qPrintable(error));
        TCiaComPort port;
        port.SetDeviceMap({{3, device}});
        port.SetPort(3);
        port.SetBaudrate(9600);
        QByteArray rx;
        connect(&port, &ComPort::DataAvailable, this, [&] { rx += port.ReadAll(); });
        QVERIFY(!sim.programPortOpen());
        port.SetOpened(true);
        QTRY_VERIFY(sim.programPortOpen());
        QTRY_COMPARE(sim.programBaudrate(), 9600);
        port.WriteText("AT\r");
        QTRY_COMPARE(rx, QByteArray("AT\r\r\nOK\r\n"));

        port.SetOpened(false);
        QTRY_VERIFY(!sim.programPortOpen());
        port.SetBaudrate(300);
        port.SetOpened(true);
        QTRY_VERIFY(sim.programPortOpen());
        QTRY_COMPARE(sim.programBaudrate(), 300);
        rx.clear();
        port.WriteText("ATE0V0\r");
        QTRY_VERIFY(rx.endsWith("\r\n0\r\n"));
        rx.clear();
        port.WriteText("ATDT5551234;ATA\r");
        QTRY_COMPARE(rx, QByteArray("\r\n1\r\n"));
        rx.clear();
        port.WriteText(bytes("B3 43 00 00 00 00 00 F0"));
        QTRY_COMPARE(rx, bytes("5A 52 56 43 01 14 12 34 70"));

        port.SetOpened(false);
        QTRY_VERIFY(!sim.carrier());
        QCOMPARE(sim.journal("event").last().text, QString("hang-up: the program closed the port"));
    }

    void refusesToStartWithBadArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no pty") << QStringList{"--product", "1"} << "--pty";
        QTest::newRow("missing image")
            << QStringList{"--pty", "--image", "/nonexistent/x.zrv"} << "cannot read";
        QTest::newRow("bad scale") << QStringList{"--pty", "--clock-scale", "0"} << "--clock-scale";
    }

    void refusesToStartWithBadArguments() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QProcess simulator;
        simulator.start(simulatorPath(), args);
        QVERIFY(simulator.waitForFinished(5000));
        QCOMPARE(simulator.exitCode(), 2);
        QVERIFY(simulator.readAllStandardOutput().isEmpty());
        QVERIFY(QString::fromLocal8Bit(simulator.readAllStandardError()).contains(message));
    }
};

QTEST_GUILESS_MAIN(TestPty)
#include "tst_pty.moc"
