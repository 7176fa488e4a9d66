// Backup and restore in the engine's standard format: a backup of the program restores with gbak
// and a gbak backup restores with the program; a failed restore leaves the database as it was.
#include "store/db_backup.h"
#include "store/db_connection.h"
#include "store/firebird_client.h"
#include "store/store_messages.h"
#include "support/temp_database.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString kName = QString::fromUtf8("João D'Ávila");

bool AddCustomer(const QString& database) {
    QString error;
    const bool ok = TempDatabase::RunScript(
        database,
        QString::fromUtf8(
            "insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (1, 'João D''Ávila', 2);"),
        &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

QString CustomerName(const QString& database) {
    DbConnection db;
    if (!db.Connect(database))
        return QStringLiteral("<%1>").arg(db.LastError());
    return db.SelectValue("select NOME from CLIENTES where ID_CLIENTE = 1").toString();
}

int Gbak(const QStringList& arguments, QString* output) {
    PrepareFirebirdEnvironment(); // gbak shares our lock folder
    const QString gbak = QStandardPaths::findExecutable("gbak");
    if (gbak.isEmpty())
        return -1;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(gbak, arguments + QStringList{"-user", "SYSDBA", "-password", "quillbern"});
    process.waitForFinished(60000);
    *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Enough customers that the data, not only the tables, fills most of a backup.
bool AddManyCustomers(const QString& database, int count) {
    DbConnection db;
    if (!db.Connect(database))
        return false;
    for (int id = 2; id < count + 2; ++id) {
        if (!db.Exec("insert into CLIENTES (ID_CLIENTE, NOME, ID_GRUPO) values (?, ?, 2)",
                     {id, QStringLiteral("Cliente %1 de nome longo").arg(id)}))
            return false;
    }
    return db.Commit();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void programBackupRestoresWithGbak() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        DatabaseBackup backup(temp.Path());
        QStringList lines;
        backup.SetProgress([&lines](const QString& line) { lines << line; });
        const QDateTime before = QDateTime::currentDateTime();
        QVERIFY2(backup.DoBackup(), qPrintable(backup.LastError()));
        QVERIFY(!lines.isEmpty()); // verbose output drives the progress bar

        const QFileInfo file(backup.LastBackupFile());
        QCOMPARE(file.absolutePath(), QDir(temp.Folder()).filePath("BKP"));
        QVERIFY2(QRegularExpression("^ZRV\\d{12}\\.fbk$").match(file.fileName()).hasMatch(),
                 qPrintable(file.fileName()));
        const QDateTime stamp = QDateTime::fromString(file.fileName().mid(3, 12), "ddMMyyyyhhmm");
        QVERIFY(stamp.isValid());
        QVERIFY(stamp.secsTo(before) < 60 && stamp <= QDateTime::currentDateTime());
        QCOMPARE(QDir(file.absolutePath()).entryList(QDir::Files), QStringList{file.fileName()});

        QString output;
        const QString restored = temp.FilePath("by_gbak.fdb");
        QCOMPARE(Gbak({"-c", file.absoluteFilePath(), restored}, &output), 0);
        QCOMPARE(CustomerName(restored), kName);
    }

    void gbakBackupRestoresWithTheProgram() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        QString output;
        const QString external = temp.FilePath("external.fbk");
        QCOMPARE(Gbak({"-b", temp.Path(), external}, &output), 0);
        QVERIFY(TempDatabase::RunScript(temp.Path(), "delete from CLIENTES;"));
        QCOMPARE(CustomerName(temp.Path()), QString());

        DatabaseBackup backup(temp.Path());
        QVERIFY2(backup.DoRestauracao(external), qPrintable(backup.LastError()));
        QCOMPARE(CustomerName(temp.Path()), kName);
        // The database as it was before the restore is in the default folder.
        const QString safety = backup.LastBackupFile();
        QCOMPARE(QFileInfo(safety).absolutePath(), QDir(temp.Folder()).filePath("BKP"));
        const QString check = temp.FilePath("safety.fdb");
        QCOMPARE(Gbak({"-c", safety, check}, &output), 0);
        QCOMPARE(CustomerName(check), QString());
        QCOMPARE(QDir(temp.Folder()).entryList({"*.restaurando"}, QDir::Files), QStringList());
    }

    void restoreCreatesAMissingDatabaseWithoutSafetyBackup() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        DatabaseBackup source(temp.Path());
        QVERIFY(source.DoBackup(temp.FilePath("elsewhere")));

        const QString target = temp.FilePath("new/zrv.fdb");
        QVERIFY(QDir().mkpath(temp.FilePath("new")));
        DatabaseBackup backup(target);
        QVERIFY2(backup.DoRestauracao(source.LastBackupFile()), qPrintable(backup.LastError()));
        QVERIFY(backup.LastBackupFile().isEmpty());
        QCOMPARE(CustomerName(target), kName);
    }

    // A backup of an older file, made before the audit table existed, still restores.
    void backupOfTheOlderShapeRestores() {
        TempDatabase temp;
        QVERIFY(temp.Create(TempDatabase::Shape::Older));
        QVERIFY(AddCustomer(temp.Path()));
        DatabaseBackup source(temp.Path());
        QVERIFY(source.DoBackup(temp.FilePath("elsewhere")));
        TempDatabase current;
        QVERIFY(current.Create());
        DatabaseBackup backup(current.Path());
        QVERIFY2(backup.DoRestauracao(source.LastBackupFile()), qPrintable(backup.LastError()));
        QCOMPARE(CustomerName(current.Path()), kName);
    }

    void failedRestoreLeavesTheDatabaseAsItWas_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("content"); // empty: no file at all
        QTest::newRow("missing file, bare name") << "nao_existe.fbk"
                                                 << "";
        QTest::newRow("not a backup") << "lixo.fbk"
                                      << "isto nao e um backup";
    }

    void failedRestoreLeavesTheDatabaseAsItWas() {
        QFETCH(QString, file);
        QFETCH(QString, content);
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        DatabaseBackup backup(temp.Path());
        const QString path = QDir(backup.DefaultFolder()).filePath(file);
        if (!content.isEmpty()) {
            QVERIFY(QDir().mkpath(backup.DefaultFolder()));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content.toLatin1());
        }
        QVERIFY(!backup.DoRestauracao(file));
        if (content.isEmpty())
            QCOMPARE(backup.LastError(), MsgFileNotFound(path));
        else
            QVERIFY(!backup.LastError().isEmpty());
        QCOMPARE(CustomerName(temp.Path()), kName);
        QCOMPARE(QDir(temp.Folder()).entryList({"*.restaurando"}, QDir::Files), QStringList());
    }

    // Backups that must never replace the database: one cut short (the engine restores the tables,
    // then runs out of data), one cut to a few pages, and a backup of another database.
    void badBackupIsRefusedAndTheDatabaseStays_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("cut short") << "cut";
        QTest::newRow("cut to 2000 bytes") << "2000";
        QTest::newRow("another database") << "other";
    }

    void badBackupIsRefusedAndTheDatabaseStays() {
        QFETCH(QString, kind);
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        QVERIFY(AddManyCustomers(temp.Path(), 1500));
        DatabaseBackup source(temp.Path());
        QVERIFY2(source.DoBackup(temp.FilePath("fonte")), qPrintable(source.LastError()));
        const QByteArray whole = ReadFile(source.LastBackupFile());
        QVERIFY(whole.size() > 20000);

        const QString bad = temp.FilePath("ruim.fbk");
        if (kind == "cut") {
            QVERIFY(WriteFile(bad, whole.left(whole.size() * 3 / 4)));
        } else if (kind == "2000") {
            QVERIFY(WriteFile(bad, whole.left(2000)));
        } else {
            QString error;
            const QString other = temp.FilePath("outro.fdb");
            QVERIFY2(CreateDatabaseFile(other, &error), qPrintable(error));
            QVERIFY(TempDatabase::RunScript(other, "create table AGENDA (ID integer);"));
            DatabaseBackup otherBackup(other);
            QVERIFY2(otherBackup.DoBackup(temp.FilePath("outro")), qPrintable(otherBackup.LastError()));
            QVERIFY(QFile::copy(otherBackup.LastBackupFile(), bad));
        }

        DatabaseBackup backup(temp.Path());
        QVERIFY(!backup.DoRestauracao(bad));
        QVERIFY(!backup.LastError().isEmpty());
        QCOMPARE(CustomerName(temp.Path()), kName);
        DbConnection db;
        QVERIFY(db.Connect(temp.Path()));
        QCOMPARE(db.SelectValue("select count(*) from CLIENTES").toInt(), 1501);
        db.Disconnect();
        QCOMPARE(QDir(temp.Folder()).entryList({"*.restaurando"}, QDir::Files), QStringList());
        // Nothing was replaced, so no safety copy was needed either.
        QVERIFY(!QDir(backup.DefaultFolder()).exists());
    }

    // A database whose first pages are overwritten cannot be backed up; it is kept aside under a
    // new name and the restore goes on.
    void damagedDatabaseIsKeptAsideAndRestored() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        DatabaseBackup source(temp.Path());
        QVERIFY(source.DoBackup(temp.FilePath("fonte")));

        QFile damaged(temp.Path());
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        QVERIFY(damaged.write(QByteArray(3 * 8192, 'x')) == 3 * 8192);
        damaged.close();
        const QByteArray damagedBytes = ReadFile(temp.Path());

        DatabaseBackup backup(temp.Path());
        QVERIFY2(backup.DoRestauracao(source.LastBackupFile()), qPrintable(backup.LastError()));
        QCOMPARE(CustomerName(temp.Path()), kName);
        QVERIFY(!backup.SafetyBackupError().isEmpty());
        QVERIFY(!backup.KeptAsideFile().isEmpty());
        QCOMPARE(QFileInfo(backup.KeptAsideFile()).absolutePath(), QFileInfo(temp.Path()).absolutePath());
        QCOMPARE(ReadFile(backup.KeptAsideFile()), damagedBytes);
    }

    // zrv.fdb a symbolic link to the real file: the real file gets the restored data and the link
    // stays a link.
    void restoreThroughASymbolicLinkReplacesTheRealFile() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        QVERIFY(AddCustomer(temp.Path()));
        DatabaseBackup source(temp.Path());
        QVERIFY(source.DoBackup(temp.FilePath("fonte")));

        QVERIFY(QDir().mkpath(temp.FilePath("dados")));
        const QString real = temp.FilePath("dados/zrv.fdb");
        QVERIFY(QFile::rename(temp.Path(), real));
        QVERIFY(QFile::link(real, temp.Path()));
        QVERIFY(TempDatabase::RunScript(real, "delete from CLIENTES;"));

        DatabaseBackup backup(temp.Path());
        QVERIFY2(backup.DoRestauracao(source.LastBackupFile()), qPrintable(backup.LastError()));
        QVERIFY(QFileInfo(temp.Path()).isSymLink());
        QCOMPARE(CustomerName(real), kName);
        QCOMPARE(CustomerName(temp.Path()), kName);
    }

    // The name carries day, month, year, hour and minute in that order; every field differs from
    // the others, so a swapped pair shows.
    void backupNameFollowsTheClock_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("name");
        QTest::newRow("8 Dec 2026 21:30") << QDateTime({2026, 12, 8}, {21, 30}) << "ZRV081220262130.fbk";
        QTest::newRow("5 Nov 2027 09:07") << QDateTime({2027, 11, 5}, {9, 7}) << "ZRV051120270907.fbk";
        QTest::newRow("31 Jan 2028 00:59") << QDateTime({2028, 1, 31}, {0, 59}) << "ZRV310120280059.fbk";
    }

    void backupNameFollowsTheClock() {
        QFETCH(QDateTime, when);
        QFETCH(QString, name);
        TempDatabase temp;
        QVERIFY(temp.Create());
        DatabaseBackup backup(temp.Path());
        backup.SetClock([when] { return when; });
        QVERIFY2(backup.DoBackup(), qPrintable(backup.LastError()));
        QCOMPARE(QFileInfo(backup.LastBackupFile()).fileName(), name);
        // A second backup in the same minute keeps the first.
        QVERIFY(backup.DoBackup());
        QCOMPARE(QFileInfo(backup.LastBackupFile()).fileName(), name.chopped(4) + "_2.fbk");
    }

    void backupOnExitFollowsOptionBit3_data() {
        QTest::addColumn<int>("options");
        QTest::addColumn<bool>("backedUp");
        QTest::newRow("default options 10") << 10 << true;
        QTest::newRow("bit 3 clear") << 2 << false;
        QTest::newRow("only bit 3") << 8 << true;
    }

    void backupOnExitFollowsOptionBit3() {
        QFETCH(int, options);
        QFETCH(bool, backedUp);
        TempDatabase temp;
        QVERIFY(temp.Create());
        QCOMPARE(BackupOnExit(options, temp.Path()), backedUp);
        QCOMPARE(QDir(temp.FilePath("BKP")).entryList({"ZRV*.fbk"}, QDir::Files).size(), backedUp ? 1 : 0);
    }

    void twoBackupsInOneMinuteKeepBoth() {
        TempDatabase temp;
        QVERIFY(temp.Create());
        DatabaseBackup backup(temp.Path());
        QVERIFY(backup.DoBackup());
        const QString first = backup.LastBackupFile();
        QVERIFY(backup.DoBackup());
        QVERIFY(backup.LastBackupFile() != first);
        QVERIFY(QFileInfo::exists(first));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
