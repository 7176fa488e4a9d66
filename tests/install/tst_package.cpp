// The installation and the Debian package, from the programs as built: `cmake --install` into a
// temporary prefix gives programs that run from there and keep the database in the user's data
// folder (the desktop program started from its menu entry on a new account makes it, and writes
// nothing under the prefix), the manual pages and the bash completion work from there, and the
// package holds exactly the installed files, depends on the Debian packages the programs use and
// passes lintian without an error or a warning.
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
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
    "share/bash-completion/completions/telvora-cli",
    "share/doc/telvora/changelog.gz",
    "share/doc/telvora/copyright",
    "share/doc/telvora/examples/telvora-listen.service",
    "share/icons/hicolor/scalable/apps/com.telvora.Telvora.svg",
    "share/man/man1/telvora-cli.1.gz",
    "share/man/man1/telvora.1.gz",
    "share/metainfo/com.telvora.Telvora.metainfo.xml",
    "share/telvora/schema.sql",
};

// Every file under the folder with its size and time of change: what a run must leave alone.
QStringList Snapshot(const QString& folder) {
    QStringList files;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo info(it.next());
        files << QStringLiteral("%1 %2 %3")
                     .arg(QDir(folder).relativeFilePath(info.filePath()))
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

// The commands of `telvora-cli --help`, each with its words and the options of its line.
struct HelpCommand {
    QStringList words;
    QStringList options;
};
QList<HelpCommand> CommandsOfTheHelp(const QString& help) {
    QList<HelpCommand> commands;
    const QRegularExpression word(QStringLiteral("^[a-z][a-z-]*$"));
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    for (const QString& line :
         help.section(QStringLiteral("Comandos:\n"), 1).split('\n', Qt::SkipEmptyParts)) {
        HelpCommand command;
        // The words and the usage, before the summary (which stands after a wide gap when the
        // usage is short).
        const QString usage = line.trimmed().section(QStringLiteral("  "), 0, 0);
        for (const QString& token : usage.split(' ', Qt::SkipEmptyParts)) {
            if (!word.match(token).hasMatch())
                break;
            command.words << token;
        }
        for (auto m = option.globalMatch(line); m.hasNext();)
            command.options << m.next().captured();
        command.options.removeDuplicates();
        commands << command;
    }
    return commands;
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_prefix;

    QString installed(const QString& relative) const { return QDir(m_prefix).filePath(relative); }

    // A user of the installed program on a new account: its own home and data folder, no
    // application folder given, the installed programs first in the path.
    QProcessEnvironment newAccount(const QString& name) const {
        QProcessEnvironment user = QProcessEnvironment::systemEnvironment();
        user.remove("TELVORA_HOME");
        user.remove("XDG_DATA_HOME");
        user.insert("HOME", m_root.filePath(name));
        user.insert("TMPDIR", m_root.filePath(name));
        user.insert("PATH", installed("bin") + ":" + user.value("PATH"));
        QDir().mkpath(m_root.filePath(name));
        return user;
    }

    // An account whose database holds customers 1 and 2.
    QProcessEnvironment customersAccount() {
        const QProcessEnvironment user = newAccount("completion");
        if (!QFile::exists(m_root.filePath("completion/.local/share/Telvora/zrv.fdb"))) {
            Start(installed("bin/telvora-cli"), {"db", "init"}, user);
            // Each with a panel code of its own: the default repeat rule would ask about a repeat.
            for (const char* code : {"1001", "1002"})
                Start(installed("bin/telvora-cli"),
                      {"customer", "add", "--nome", QStringLiteral("Cliente %1").arg(code), "--produto", "1",
                       "--codigo-painel", code},
                      user);
        }
        return user;
    }

    // What bash offers for the line (the word being completed is the line's last one).
    QStringList complete(const QString& line, const QProcessEnvironment& user) const {
        const QString script = QStringLiteral(
            "source /usr/share/bash-completion/bash_completion\n"
            "source \"$1\"\n"
            "COMP_LINE=\"$2\"; COMP_POINT=${#COMP_LINE}\n"
            "read -ra COMP_WORDS <<< \"$COMP_LINE\"\n"
            "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')\n"
            "COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))\n"
            "_telvora_cli telvora-cli \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD-1]}\"\n"
            "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
        const Run run = Start(
            "bash",
            {"-c", script, "complete", installed("share/bash-completion/completions/telvora-cli"), line},
            user);
        return run.out.split('\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase() {
        const QString cmake = QStandardPaths::findExecutable("cmake");
        QVERIFY(!cmake.isEmpty());
        m_prefix = m_root.filePath("usr");
        const Run run = Start(cmake, {"--install", BuildDir(), "--prefix", m_prefix});
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
    }

    void installedProgramRunsAndKeepsItsDatabaseInTheUsersFolder() {
        QStringList files;
        for (QDirIterator it(m_prefix, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << QDir(m_prefix).relativeFilePath(it.next());
        files.sort();
        QCOMPARE(files, kInstalledFiles);

        const QString cli = installed("bin/telvora-cli");
        Run run = Start(cli, {"--version"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QStringLiteral("telvora-cli %1\n").arg(TELVORA_VERSION));

        const QProcessEnvironment user = newAccount("cli");
        run = Start(cli, {"db", "init"}, user);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(QFile::exists(m_root.filePath("cli/.local/share/Telvora/zrv.fdb")));
        QVERIFY(!QFile::exists(installed("bin/zrv.fdb")));
        // The next command finds it there.
        run = Start(cli, {"customer", "add", "--nome", "Instalado", "--produto", "1"}, user);
        QVERIFY2(run.code == 0, qPrintable(run.err));

        const QString appstream = QStandardPaths::findExecutable("appstreamcli");
        if (!appstream.isEmpty()) {
            run = Start(appstream, {"validate", "--no-net",
                                    installed("share/metainfo/com.telvora.Telvora.metainfo.xml")});
            QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        }
    }

    // The menu entry's command on an account that never ran the program: the first-time set-up
    // (the first operator's window) comes up on a database made in the user's data folder, and
    // nothing under the installation changes.
    void desktopEntryStartsTheFirstTimeSetUpOnANewAccount() {
        QSettings entry(installed("share/applications/com.telvora.Telvora.desktop"), QSettings::IniFormat);
        const QString exec = entry.value("Desktop Entry/Exec").toString();
        QCOMPARE(exec, QStringLiteral("telvora"));
        const QProcessEnvironment user = newAccount("desktop");
        const QString program = QStandardPaths::findExecutable(exec, {installed("bin")});
        QCOMPARE(program, installed("bin/telvora"));
        const QStringList before = Snapshot(m_prefix);

        QProcessEnvironment environment = user;
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess telvora;
        telvora.setProcessEnvironment(environment);
        telvora.start(program, {});
        QVERIFY(telvora.waitForStarted());
        const QString database = m_root.filePath("desktop/.local/share/Telvora/zrv.fdb");
        const bool made = QTest::qWaitFor([&] { return QFile::exists(database); }, 60000);
        // Still running: the first operator's window waits for the operator.
        const bool waiting = !telvora.waitForFinished(2000);
        telvora.kill();
        telvora.waitForFinished();
        QVERIFY2(made, qPrintable(telvora.readAllStandardError()));
        QVERIFY2(waiting, qPrintable(telvora.readAllStandardError()));
        QCOMPARE(Snapshot(m_prefix), before);

        // The database is a whole one: the command line opens it and stores a customer.
        const Run run = Start(installed("bin/telvora-cli"),
                              {"customer", "add", "--nome", "Novo", "--produto", "2"}, user);
        QVERIFY2(run.code == 0, qPrintable(run.err));
    }

    // The manual pages as man shows them from the installation, and every command and option of
    // the program's own help in the page.
    void manualPagesCoverEveryCommand() {
        const QString man = QStandardPaths::findExecutable("man");
        if (man.isEmpty())
            QSKIP("man missing");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MANPATH", installed("share/man"));
        environment.insert("MANWIDTH", "100");
        Run page = Start(man, {"-P", "cat", "telvora"}, environment);
        QVERIFY2(page.code == 0 && page.out.contains("customer database and remote programming"),
                 qPrintable(page.out + page.err));
        page = Start(man, {"-P", "cat", "telvora-cli"}, environment);
        QVERIFY2(page.code == 0, qPrintable(page.err));
        // The pages are not hyphenated: compare words with single spaces.
        const QString text =
            QString(page.out)
                .replace(QRegularExpression(QStringLiteral("[\u2010\u2212]")), QStringLiteral("-"))
                .simplified();
        for (const char* section :
             {"SYNOPSIS", "COMMANDS", "JSON OUTPUT", "EXIT STATUS", "ENVIRONMENT", "FILES", "EXAMPLES"})
            QVERIFY2(text.contains(section), section);
        const Run help = Start(installed("bin/telvora-cli"), {"--help"});
        QCOMPARE(help.code, 0);
        const QList<HelpCommand> commands = CommandsOfTheHelp(help.out);
        QVERIFY(commands.size() > 15);
        for (const HelpCommand& command : commands) {
            QVERIFY2(text.contains(command.words.join(' ')), qPrintable(command.words.join(' ')));
            for (const QString& option : command.options)
                QVERIFY2(text.contains(option), qPrintable(command.words.join(' ') + " " + option));
        }
    }

    // Completion in bash as bash-completion loads it: the command words, each command's options
    // (every one its help line names), and the customer numbers of the database.
    void bashCompletesCommandsOptionsAndCustomers_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("offered"); // all of these, among what is offered
        QTest::addColumn<QStringList>("notOffered");
        QTest::newRow("first word") << "telvora-cli "
                                    << QStringList{"db", "panel", "listen", "read-programming"}
                                    << QStringList{"init"};
        QTest::newRow("second word") << "telvora-cli db " << QStringList{"init", "backup", "restore"}
                                     << QStringList{"status"};
        QTest::newRow("after general options")
            << "telvora-cli --db x.fdb --port 3 pa" << QStringList{"panel"} << QStringList{"db"};
        QTest::newRow("general options")
            << "telvora-cli --" << QStringList{"--db", "--json", "--device"} << QStringList{"--customer"};
        QTest::newRow("customer numbers")
            << "telvora-cli panel status --customer " << QStringList{"1", "2"} << QStringList{"3"};
        QTest::newRow("panel action")
            << "telvora-cli panel command --customer 1 " << QStringList{"arm", "set-clock"} << QStringList{};
        QTest::newRow("partition") << "telvora-cli panel command --customer 1 arm " << QStringList{"A", "B"}
                                   << QStringList{};
    }
    void bashCompletesCommandsOptionsAndCustomers() {
        QFETCH(QString, line);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, notOffered);
        const QStringList words = complete(line, customersAccount());
        for (const QString& word : offered)
            QVERIFY2(words.contains(word), qPrintable(word + " not in: " + words.join(' ')));
        for (const QString& word : notOffered)
            QVERIFY2(!words.contains(word), qPrintable(word + " in: " + words.join(' ')));
    }

    void bashCompletesEveryOptionOfTheHelp() {
        const Run help = Start(installed("bin/telvora-cli"), {"--help"});
        const QList<HelpCommand> commands = CommandsOfTheHelp(help.out);
        QVERIFY(commands.size() > 15);
        for (const HelpCommand& command : commands) {
            const QStringList words =
                complete("telvora-cli " + command.words.join(' ') + " --", customersAccount());
            for (const QString& option : command.options)
                QVERIFY2(words.contains(option),
                         qPrintable(command.words.join(' ') + ": " + option + " not in " + words.join(' ')));
            QVERIFY2(words.contains("--json"), qPrintable(command.words.join(' ')));
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

        // Debian's checks of a package: no error and no warning (notes and pedantic tags allowed).
        const QString lintian = QStandardPaths::findExecutable("lintian");
        QVERIFY2(!lintian.isEmpty(), "lintian missing (scripts/deps installs it)");
        run = Start(lintian, {"--fail-on", "error,warning", deb});
        const QStringList complaints = run.out.split('\n').filter(QRegularExpression("^[EW]: "));
        QVERIFY2(run.code == 0 && complaints.isEmpty(), qPrintable(run.out + run.err));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
