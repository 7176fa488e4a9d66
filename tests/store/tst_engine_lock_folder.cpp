// The embedded engine's lock files go only into a folder of this user's that nobody else may
// write: the session's runtime folder first, else the usual name in the temporary folder, and when
// someone else holds that name (another user's folder, one anyone may write, a symbolic link) a
// private folder of the process's own, removed at its end. The command works in every case and
// never writes into the folder it refused.
#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestEngineLockFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyAPrivateFolderIsUsed_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("runtimeFolder");
        QTest::newRow("nothing planted, no runtime folder") << "" << false;
        QTest::newRow("nothing planted, runtime folder") << "" << true;
        QTest::newRow("folder anyone may write") << "open" << false;
        QTest::newRow("folder anyone may write, runtime folder") << "open" << true;
        QTest::newRow("symbolic link to another folder") << "link" << false;
        QTest::newRow("another user's folder") << "foreign" << false;
    }
    void onlyAPrivateFolderIsUsed() {
        QFETCH(QString, planted);
        QFETCH(bool, runtimeFolder);
        QTemporaryDir home;
        QTemporaryDir temp;
        QTemporaryDir runtime;
        QTemporaryDir elsewhere;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString usual = QDir(temp.path()).filePath(QStringLiteral("telvora-firebird-%1").arg(getuid()));
        QString watched = usual;
        if (planted == "open") {
            QVERIFY(QDir().mkdir(usual));
            QVERIFY(QFile::setPermissions(usual, QFile::Permissions(0x7777)));
        } else if (planted == "link") {
            QVERIFY(QFile::link(elsewhere.path(), usual));
            watched = elsewhere.path();
        } else if (planted == "foreign") {
            if (getuid() != 0)
                QSKIP("Only the superuser can make a folder of another user's here.");
            QVERIFY(QDir().mkdir(usual));
            QVERIFY(chown(QFile::encodeName(usual).constData(), 65534, 65534) == 0);
        }

        const CliRun run = RunCli(home.path(), {"--db", home.filePath("zrv.fdb"), "db", "init"},
                                  {{"TMPDIR", temp.path()},
                                   {"FIREBIRD_LOCK", ""},
                                   {"XDG_RUNTIME_DIR", runtimeFolder ? runtime.path() : QString()}},
                                  60000);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(QFile::exists(home.filePath("zrv.fdb")));
        if (!planted.isEmpty())
            QVERIFY2(QDir(watched).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     "the engine wrote into a folder it should have refused");
        const QString runtimeLocks = QDir(runtime.path()).filePath("telvora-firebird");
        QCOMPARE(QFileInfo(runtimeLocks).isDir(), runtimeFolder);
        if (planted.isEmpty() && !runtimeFolder)
            QVERIFY(QFileInfo(usual).isDir());
        // A folder of the process's own goes with it.
        QCOMPARE(QDir(temp.path()).entryList({"telvora-firebird-*-*"}, QDir::AllEntries), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestEngineLockFolder)
#include "tst_engine_lock_folder.moc"
