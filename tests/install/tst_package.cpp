// The installation and the Debian package, from the programs as built: `cmake --install` into a
// temporary prefix gives programs that run from there and keep the database in the user's data
// folder, and the package holds exactly the installed files and depends on the Debian packages the
// programs use.
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Start(const QString& program, const QStringList& arguments,
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    Run run;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        run.err = process.errorString();
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString BuildDir() {
    return qEnvironmentVariable("TELVORA_BUILD_DIR");
}

// What the installation holds under the prefix, relative to it.
const QStringList kInstalledFiles{
    "bin/telvora",
    "bin/telvora-cli",
    "share/applications/com.telvora.Telvora.desktop",
    "share/doc/telvora/copyright",
    "share/doc/telvora/examples/telvora-listen.service",
    "share/icons/hicolor/scalable/apps/com.telvora.Telvora.svg",
    "share/metainfo/com.telvora.Telvora.metainfo.xml",
    "share/telvora/schema.sql",
};

} // namespace

class TestPackage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installedProgramRunsAndKeepsItsDatabaseInTheUsersFolder() {
        const QString cmake = QStandardPaths::findExecutable("cmake");
        QVERIFY(!cmake.isEmpty());
        QTemporaryDir root;
        const QString prefix = root.filePath("usr");
        Run run = Start(cmake, {"--install", BuildDir(), "--prefix", prefix});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        QStringList installed;
        for (QDirIterator it(prefix, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            installed << QDir(prefix).relativeFilePath(it.next());
        installed.sort();
        QCOMPARE(installed, kInstalledFiles);

        const QString cli = QDir(prefix).filePath("bin/telvora-cli");
        run = Start(cli, {"--version"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QStringLiteral("telvora-cli %1\n").arg(TELVORA_VERSION));

        // A user of the installed program: its own data folder, no application folder given.
        QProcessEnvironment user = QProcessEnvironment::systemEnvironment();
        user.remove("TELVORA_HOME");
        user.insert("HOME", root.filePath("home"));
        user.insert("XDG_DATA_HOME", root.filePath("home/.local/share"));
        run = Start(cli, {"db", "init"}, user);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(QFile::exists(root.filePath("home/.local/share/Telvora/zrv.fdb")));
        QVERIFY(!QFile::exists(QDir(prefix).filePath("bin/zrv.fdb")));
        // The next command finds it there.
        run = Start(cli, {"customer", "add", "--nome", "Instalado", "--produto", "1"}, user);
        QVERIFY2(run.code == 0, qPrintable(run.err));

        const QString appstream = QStandardPaths::findExecutable("appstreamcli");
        if (!appstream.isEmpty()) {
            run =
                Start(appstream, {"validate", "--no-net",
                                  QDir(prefix).filePath("share/metainfo/com.telvora.Telvora.metainfo.xml")});
            QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        }
    }

    void debianPackageFilesAndDependencies() {
        const QString cpack = QStandardPaths::findExecutable("cpack");
        const QString dpkgDeb = QStandardPaths::findExecutable("dpkg-deb");
        if (cpack.isEmpty() || dpkgDeb.isEmpty() ||
            QStandardPaths::findExecutable("dpkg-shlibdeps").isEmpty())
            QSKIP("cpack, dpkg-deb or dpkg-shlibdeps missing (scripts/deps installs them)");
        QTemporaryDir out;
        Run run = Start(cpack, {"-G", "DEB", "--config", QDir(BuildDir()).filePath("CPackConfig.cmake"), "-B",
                                out.path()});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        const QStringList debs = QDir(out.path()).entryList({"telvora_*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        const QString deb = QDir(out.path()).filePath(debs.first());

        run = Start(dpkgDeb, {"-c", deb});
        QCOMPARE(run.code, 0);
        QStringList files;
        for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith('d'))
                files << line.section(' ', -1).remove(QRegularExpression("^\\./usr/"));
        }
        files.sort();
        QCOMPARE(files, kInstalledFiles);

        run = Start(dpkgDeb, {"-f", deb, "Package", "Version", "Depends"});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains("Package: telvora\n"), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("Version: %1\n").arg(TELVORA_VERSION)), qPrintable(run.out));
        const QString depends = run.out.section("Depends: ", 1);
        // Found in the programs by dpkg-shlibdeps, and loaded at run time (the embedded engine, the
        // SVG image plugin, Qt's Portuguese texts).
        for (const char* package :
             {"libfbclient2", "libqt6core6", "libqt6widgets6", "libqt6serialport6", "libqt6network6",
              "firebird3.0-server-core", "libqt6svg6", "qt6-translations-l10n"})
            QVERIFY2(QRegularExpression(
                         QStringLiteral("(^|[ ,])%1([ ,(]|$)").arg(QRegularExpression::escape(package)))
                         .match(depends.trimmed())
                         .hasMatch(),
                     qPrintable(QStringLiteral("%1 not in: %2").arg(package, depends)));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
