// The desktop program started on a folder without its database: it says so and waits for the
// operator, and never makes an empty database in its place (the customers would seem gone).
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestDesktopStart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingDatabaseIsNotReplaced() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TELVORA_HOME", home.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TMPDIR", home.path()); // its own single-instance lock
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("TELVORA_BUILD_DIR") + "/src/telvora");
        QVERIFY(program.waitForStarted());
        // The message waits for the operator: the program is still up, and nothing was created.
        QVERIFY(!program.waitForFinished(3000));
        QVERIFY(!QFileInfo::exists(QDir(home.path()).filePath("zrv.fdb")));
        program.kill();
        program.waitForFinished();
        QVERIFY(!QFileInfo::exists(QDir(home.path()).filePath("zrv.fdb")));
    }
};

QTEST_GUILESS_MAIN(TestDesktopStart)
#include "tst_desktop_start.moc"
