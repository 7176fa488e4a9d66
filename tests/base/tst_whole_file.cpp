// A file is written whole or not at all: whatever fails on the way (the content cannot be made, a
// full disk, a folder that is not there) leaves an existing file with its old bytes and nothing
// else beside it, with the system's reason in the message.
#include "base/whole_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestWholeFile : public QObject {
    Q_OBJECT
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

private Q_SLOTS:
    void failureLeavesTheOldFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("the content fails half-way") << "old.csv"
                                                    << "o conteúdo falhou";
        QTest::newRow("no such folder") << "nao/existe/x.csv"
                                        << "No such file or directory";
        QTest::newRow("a folder") << "pasta"
                                  << "directory";
        QTest::newRow("a full disk") << "/dev/full"
                                     << "No space left on device";
    }
    void failureLeavesTheOldFile() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString old = dir.filePath("old.csv");
        QFile seed(old);
        QVERIFY(seed.open(QIODevice::WriteOnly) && seed.write("linha antiga\r\n") > 0);
        seed.close();
        QVERIFY(QDir(dir.path()).mkdir("pasta"));
        const QString path = target.startsWith('/') ? target : dir.filePath(target);

        QString error;
        const bool written = WriteWholeFile(
            path,
            [](QIODevice& device, QString* why) {
                // Far more than any buffer, so part of it reaches the disk before the failure.
                if (device.write(QByteArray(1 << 20, 'x')) < 0)
                    return false;
                *why = QStringLiteral("o conteúdo falhou");
                return false;
            },
            &error);
        QVERIFY(!written);
        QVERIFY2(
            error.startsWith(
                QStringLiteral("Não foi possível gravar o arquivo %1: ").arg(QDir::toNativeSeparators(path))),
            qPrintable(error));
        QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
        QCOMPARE(Read(old), QByteArray("linha antiga\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"old.csv", "pasta"}));
    }

    void successReplacesTheWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.zrv");
        QString error;
        QVERIFY2(WriteWholeFile(path, QByteArray(400, 'a'), &error), qPrintable(error));
        QVERIFY2(WriteWholeFile(path, QByteArray(256, 'b'), &error), qPrintable(error));
        QCOMPARE(Read(path), QByteArray(256, 'b'));
    }
};

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_whole_file.moc"
