#include "base/ini_file.h"
#include "serial/com_port_map.h"
#include "serial/tcia_com_port.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal: the test holds the master end, the port opens the slave as "COM 3".
class Pty {
public:
    Pty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~Pty() { closeMaster(); }
    bool ok() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }
    void closeMaster() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    void write(const QByteArray& bytes) {
        QCOMPARE(::write(m_master, bytes.constData(), bytes.size()), bytes.size());
    }
    // Everything the port sent, waiting (with the event loop running) until `count` bytes came.
    QByteArray read(qsizetype count, int timeoutMs = 5000) {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < timeoutMs) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0)
                got.append(buf, n);
            else
                QTest::qWait(5);
        }
        return got;
    }
    // What the port's side of the line is set to (a master shares its slave's settings).
    termios settings() const {
        termios t{};
        tcgetattr(m_master, &t);
        return t;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

constexpr int PortNumber = 3;

QByteArray allByteValues() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

} // namespace

class TestTCiaComPort : public QObject {
    Q_OBJECT
private:
    Pty* m_pty = nullptr;
    TCiaComPort* m_port = nullptr;

private Q_SLOTS:
    void init() {
        m_pty = new Pty;
        QVERIFY(m_pty->ok());
        m_port = new TCiaComPort;
        m_port->SetDeviceMap({{PortNumber, m_pty->slavePath()}});
        m_port->SetPort(PortNumber);
    }
    void cleanup() {
        delete m_port;
        delete m_pty;
    }

    void bytesBothWaysAt8N1() {
        m_port->SetOpened(true);
        QVERIFY(m_port->Opened());
        const termios t = m_pty->settings();
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), tcflag_t(0));
        QCOMPARE(t.c_oflag & OPOST, tcflag_t(0));
        QCOMPARE(cfgetospeed(&t), speed_t(B300));

        // Program to line: every byte value, 0x00 and 0xFF included.
        const QByteArray out = allByteValues();
        QCOMPARE(m_port->WriteText(out), int(out.size()));
        QCOMPARE(m_pty->read(out.size()), out);

        // Line to program: announced on the port's own thread, read whole.
        QSignalSpy spy(m_port, &ComPort::DataAvailable);
        QThread* announcedOn = nullptr;
        connect(m_port, &ComPort::DataAvailable, this, [&] { announcedOn = QThread::currentThread(); });
        const QByteArray in = QByteArray("\x00\xFFZRV\xC7\xC7\r\n", 9);
        m_pty->write(in);
        QByteArray got;
        QTRY_VERIFY((got += m_port->ReadAll()).size() >= in.size());
        QCOMPARE(got, in);
        QVERIFY(spy.count() > 0);
        QCOMPARE(announcedOn, m_port->thread());

        QVERIFY(m_port->CloseReportingState());
        QVERIFY(!m_port->Opened());
        QVERIFY(!m_port->CloseReportingState());
    }

    // With a quiet period the pieces of a burst come to the program as one announcement once the
    // line has gone quiet; a negative period is refused and the old one kept.
    void quietPeriodAnnouncesTheBatchOnce() {
        try {
            m_port->SetRxTimeout(-1);
            QFAIL("a negative quiet period was accepted");
        } catch (const ECiaComPort& e) {
            QCOMPARE(e.message(), QStringLiteral("Value can not be negatieve"));
        }
        QCOMPARE(m_port->RxTimeout(), 0);

        m_port->SetRxTimeout(400);
        m_port->SetOpened(true);
        QSignalSpy spy(m_port, &ComPort::DataAvailable);
        for (const char* piece : {"AT", "DT", "123\r"}) {
            m_pty->write(piece);
            QTest::qWait(30);
        }
        QCOMPARE(spy.count(), 0);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(m_port->ReadAll(), QByteArray("ATDT123\r"));
        QTest::qWait(450);
        QCOMPARE(spy.count(), 1);
    }

    void baudrateWhileClosedAppliesAtNextOpen() {
        m_port->SetBaudrate(9600);
        QVERIFY(!m_port->Opened());
        m_port->SetOpened(true);
        QCOMPARE(cfgetospeed(&static_cast<const termios&>(m_pty->settings())), speed_t(B9600));
        m_port->SetBaudrate(300); // open: applies at once
        QCOMPARE(cfgetospeed(&static_cast<const termios&>(m_pty->settings())), speed_t(B300));
    }

    void openFailuresNameTheDevice() {
        m_port->SetDeviceMap({{PortNumber, QStringLiteral("/nonexistent/ttyModem")}});
        QVERIFY(!m_port->CanOpen());
        try {
            m_port->SetOpened(true);
            QFAIL("opened a missing device");
        } catch (const ECiaComPort& e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot open port '/nonexistent/ttyModem'"));
        }
        QVERIFY(!m_port->Opened());
    }

    void canOpenProbesWithoutLeavingOpen() {
        QVERIFY(m_port->CanOpen());
        QVERIFY(!m_port->Opened());
        m_port->SetOpened(true);
        QVERIFY(m_port->CanOpen());
        QVERIFY(m_port->Opened());
    }

    void writingToClosedPort() {
        try {
            m_port->WriteText("AT\r");
            QFAIL("wrote to a closed port");
        } catch (const ECiaComPort& e) {
            QCOMPARE(e.message(), QStringLiteral("Port not open"));
        }
        m_port->SetOpened(true);
        QCOMPARE(m_port->WriteText(QByteArray()), 0);
    }

    // A long text goes to the driver in pieces of TxBuffer bytes; the rest waits in the output
    // queue, which ClearOutputQueue empties without touching the piece already handed over.
    void outputQueue() {
        m_port->SetOpened(true);
        QByteArray text;
        for (int i = 0; text.size() < 3 * TCiaComPort::TxBuffer; ++i)
            text += QByteArray::number(i) + ' ';
        QCOMPARE(m_port->WriteText(text), int(text.size()));
        QCOMPARE(m_pty->read(text.size()), text);

        m_port->WriteText(text);
        m_port->ClearOutputQueue();
        QCOMPARE(m_pty->read(text.size(), 1000), text.left(TCiaComPort::TxBuffer));

        // PurgeOutput drops the piece too, as long as it is still on the program's side.
        m_port->WriteText(text);
        m_port->PurgeOutput();
        m_port->WriteText("ATH0\r");
        QCOMPARE(m_pty->read(5, 1000), QByteArray("ATH0\r"));
    }

    void purgeInputDropsUnreadBytes() {
        m_port->SetOpened(true);
        QSignalSpy spy(m_port, &ComPort::DataAvailable);
        m_pty->write("stale");
        QTRY_VERIFY(spy.count() > 0);
        m_port->PurgeInput();
        QCOMPARE(m_port->ReadAll(), QByteArray());
        m_pty->write("fresh");
        QByteArray got;
        QTRY_COMPARE(got += m_port->ReadAll(), QByteArray("fresh"));
    }

    void closesWhenTheDeviceGoesAway() {
        m_port->SetOpened(true);
        m_pty->closeMaster();
        QTRY_VERIFY(!m_port->Opened());
    }

    void devicePaths() {
        const QHash<int, QString> overrides{{3, QStringLiteral("/dev/ttyUSB0")}, {4, QStringLiteral("  ")}};
        QCOMPARE(ComPortMap::DevicePath(3, overrides), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(ComPortMap::DevicePath(4, overrides), ComPortMap::DefaultDevicePath(4));
#ifndef Q_OS_WIN
        QCOMPARE(ComPortMap::DefaultDevicePath(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(ComPortMap::DefaultDevicePath(7), QStringLiteral("/dev/ttyS6"));
        QCOMPARE(ComPortMap::DefaultDevicePath(255), QStringLiteral("/dev/ttyS254"));
#endif
        // Numbers outside 1..255 open nothing, whatever the file says.
        TCiaComPort port;
        port.SetDeviceMap({{0, m_pty->slavePath()}});
        port.SetPort(0);
        QVERIFY(!port.CanOpen());
    }

    void overridesFromTheSettingsFile() {
        const IniFile ini = IniFile::fromBytes(
            "[Config]\r\nComPort=3\r\n"
            "[portas]\r\ncom3=/dev/ttyUSB0\r\nCOM255= /dev/pts/7 \r\n"
            "COM0=/dev/null\r\nCOM256=/dev/null\r\nCOM9=\r\nCOM1x=/dev/null\r\nCOM05=/dev/ttyACM0\r\n");
        const QHash<int, QString> overrides = ComPortMap::ReadOverrides(ini);
        const QHash<int, QString> expected{{3, QStringLiteral("/dev/ttyUSB0")},
                                           {255, QStringLiteral("/dev/pts/7")},
                                           {5, QStringLiteral("/dev/ttyACM0")}};
        QCOMPARE(overrides, expected);
        QVERIFY(ComPortMap::ReadOverrides(IniFile()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTCiaComPort)
#include "tst_tcia_com_port.moc"
