// Where the program keeps its settings and database: beside the executable in a build tree or a
// folder of the user's own, in the user's data folder for an installed program or a folder the
// user may not write to.
#include "base/app_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestAppPaths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void applicationFolder_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<bool>("userFolder");
        QTest::newRow("build tree") << "build" << false;
        QTest::newRow("installed under a prefix") << "installed" << true;
        QTest::newRow("folder not writable") << "read-only" << true;
    }
    void applicationFolder() {
        QFETCH(QString, layout);
        QFETCH(bool, userFolder);
        QTemporaryDir root;
        const QString bin = root.filePath("prefix/bin");
        QVERIFY(QDir().mkpath(bin));
        if (layout == "installed") {
            QVERIFY(QDir().mkpath(root.filePath("prefix/share/telvora")));
            QFile schema(root.filePath("prefix/share/telvora/schema.sql"));
            QVERIFY(schema.open(QIODevice::WriteOnly));
        } else if (layout == "read-only") {
            if (geteuid() == 0)
                QSKIP("the administrator may write to any folder");
            QVERIFY(QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QString user = root.filePath("home/.local/share/Telvora");
        QCOMPARE(ChooseApplicationFolder(bin, user), userFolder ? user : bin);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // $TELVORA_HOME wins over every rule (tests, the demo, installations side by side).
    void environmentFolderFirst() {
        QTemporaryDir home;
        qputenv("TELVORA_HOME", home.filePath("own").toUtf8());
        QCOMPARE(ApplicationFolder(), home.filePath("own"));
        QVERIFY(QDir(home.filePath("own")).exists());
        QCOMPARE(ApplicationPath("zrv.fdb"), home.filePath("own/zrv.fdb"));
        qunsetenv("TELVORA_HOME");
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_app_paths.moc"
