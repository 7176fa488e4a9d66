#include "store/db_backup.h"

#include "store/db_connection.h"
#include "store/firebird_client.h"
#include "store/schema_tables.h"
#include "store/server_files.h"
#include "store/store_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <functional>
#include <ibase.h>
#include <system_error>
#include <unistd.h>

DatabaseBackup::DatabaseBackup(const QString& databaseName)
    : m_databaseName(NormalizeDatabaseName(databaseName)) {}

QString DatabaseBackup::DefaultFolder() const {
    QString path;
    ServiceManagerFor(m_databaseName, &path);
    return QFileInfo(path).absoluteDir().filePath(QStringLiteral("BKP"));
}

QString DatabaseBackup::BackupFileName(const QDateTime& when) {
    return QStringLiteral("ZRV") + when.toString(QStringLiteral("ddMMyyyyhhmm")) + QStringLiteral(".fbk");
}

bool DatabaseBackup::Fail(const QString& error) {
    m_lastError = error;
    return false;
}

namespace {

// A temporary file of a backup older than this was left by one that was ended by force: nothing
// writes it any more.
constexpr qint64 kStalePartSeconds = 600;

void RemoveStaleParts(const QString& folder, const QDateTime& now) {
    for (const QFileInfo& info :
         QDir(folder).entryInfoList({QStringLiteral("ZRV*.fbk.part")}, QDir::Files | QDir::Hidden)) {
        if (info.lastModified().secsTo(now) > kStalePartSeconds)
            QFile::remove(info.absoluteFilePath());
    }
}

// A backup folder made for a server on this machine gets the database folder's owner and
// permissions, so the server, which writes the backups, may write into it.
bool MakeServerFolder(const QString& folder) {
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder))
        return false;
    const QFileInfo parent(QFileInfo(folder).absolutePath());
    QFile::setPermissions(folder, parent.permissions());
    if (getuid() == 0 &&
        chown(QFile::encodeName(folder).constData(), parent.ownerId(), parent.groupId()) != 0)
        return false;
    return true;
}

} // namespace

bool DatabaseBackup::DoBackup(const QString& folder) {
    m_lastError.clear();
    m_lastBackupFile.clear();
    QString databasePath;
    const QString manager = ServiceManagerFor(m_databaseName, &databasePath);
    const bool remote = IsRemoteDatabaseName(m_databaseName);
    // Where this program sees the backup's folder: always for a local database, for a server only
    // when it is this machine.
    const bool visible = !remote || ServerFilesAreLocal(m_databaseName);
    const QString target = folder.isEmpty() ? DefaultFolder() : folder;
    if (!remote && !QDir().mkpath(target))
        return Fail(
            QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(target)));
    if (remote && visible && !MakeServerFolder(target))
        return Fail(
            QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(target)));
    const QDateTime now = m_now();
    if (visible)
        RemoveStaleParts(target, now);

    QString base = BackupFileName(now);
    // Names of a server elsewhere cannot be looked at: seconds and a random part keep two backups
    // of one minute apart.
    if (!visible)
        base =
            base.chopped(4) + QStringLiteral("_%1%2.fbk")
                                  .arg(now.toString(QStringLiteral("sszzz")))
                                  .arg(QRandomGenerator::global()->bounded(0x10000), 4, 16, QLatin1Char('0'));
    QString file = QDir(target).filePath(base);
    for (int n = 2; visible && (QFileInfo::exists(file) || QFileInfo::exists(file + QStringLiteral(".part")));
         ++n)
        file = QDir(target).filePath(base.chopped(4) + QStringLiteral("_%1.fbk").arg(n));
    // A local backup is written under a temporary name and renamed when complete. The server
    // cannot rename its files: it writes the final name, removed again when the backup fails.
    const QString written = remote ? file : file + QStringLiteral(".part");

    QByteArray request;
    request.append(char(isc_action_svc_backup));
    AppendServiceString(request, isc_spb_dbname, databasePath);
    AppendServiceString(request, isc_spb_bkp_file, written);
    AppendServiceInt(request, isc_spb_options, isc_spb_bkp_no_garbage_collect);
    request.append(char(isc_spb_verbose));
    QString error;
    if (!RunServiceRequest(manager, request, m_progress, &error, {}, m_stop)) {
        if (visible)
            QFile::remove(written);
        if (!remote && !QFileInfo::exists(databasePath))
            return Fail(MsgFileNotFound(databasePath));
        if (!remote && ProbeDatabase(m_databaseName) == AttachProblem::FileLocked)
            return Fail(MsgDatabaseInUse(databasePath));
        return Fail(error);
    }
    if (!remote && !QFile::rename(written, file)) {
        QFile::remove(written);
        return Fail(
            QStringLiteral("Não foi possível gravar o arquivo %1.").arg(QDir::toNativeSeparators(file)));
    }
    m_lastBackupFile = file;
    return true;
}

namespace {

// A line of the engine's output that tells the restore went wrong although the service itself
// may end without an error status (a backup file cut short ends with "Backup incomplete").
bool IsRestoreErrorLine(const QString& line) {
    return line.contains(QLatin1String("ERROR"), Qt::CaseSensitive) ||
           line.contains(QLatin1String("incomplete"), Qt::CaseInsensitive);
}

// The file a database path names: a symbolic link is followed to the real database, which is
// the file to replace (replacing the link would leave the real database stale).
QString RealDatabaseFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteDir().absoluteFilePath(info.symLinkTarget()) : canonical;
}

// The tables of the current shape that a database file lacks (all of them when it cannot be
// opened); *error receives the reason it could not be opened.
QStringList MissingSchemaTables(const QString& databaseName, QString* error) {
    QStringList missing;
    DbConnection db;
    if (!db.Connect(databaseName)) {
        *error = db.LastError();
        for (const TableDefinition& table : SchemaTables())
            missing << table.name;
        return missing;
    }
    for (const TableDefinition& table : SchemaTables()) {
        if (UpgradeCreatedTables().contains(table.name))
            continue;
        bool ok = false;
        const QVariant count =
            db.SelectValue(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = ?"),
                           {table.name}, &ok);
        if (!ok || count.toInt() == 0)
            missing << table.name;
    }
    db.Disconnect();
    return missing;
}

// Why a restored database cannot stand for the system's: it cannot be opened or lacks tables.
// Empty when it is whole.
QString RestoredProblem(const QString& databaseName) {
    QString openError;
    const QStringList missing = MissingSchemaTables(databaseName, &openError);
    if (missing.isEmpty())
        return {};
    return openError.isEmpty() ? QStringLiteral("O backup não contém as tabelas do sistema (%1).")
                                     .arg(missing.join(QStringLiteral(", ")))
                               : openError;
}

} // namespace

bool DatabaseBackup::RunRestore(const QString& manager, const QString& source, bool throughInput,
                                const QString& into, bool replace, QString* error) {
    // A readable backup file is handed to the engine through the service's input rather than by
    // name: a file cut short then ends the restore with an error, where the engine would
    // otherwise ask on the terminal for the next volume and report success without one.
    QFile input(source);
    if (throughInput && !input.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Não foi possível ler o arquivo %1: %2")
                     .arg(QDir::toNativeSeparators(source), input.errorString());
        return false;
    }
    QByteArray request;
    request.append(char(isc_action_svc_restore));
    AppendServiceString(request, isc_spb_bkp_file, throughInput ? QStringLiteral("stdin") : source);
    AppendServiceString(request, isc_spb_dbname, into);
    quint32 options = isc_spb_res_no_validity | isc_spb_res_one_at_a_time;
    options |= replace ? isc_spb_res_replace : isc_spb_res_create;
    AppendServiceInt(request, isc_spb_options, options);
    request.append(char(isc_spb_verbose));
    QString engineError;
    bool finished = false;
    const auto line = [this, &engineError, &finished](const QString& text) {
        if (engineError.isEmpty() && IsRestoreErrorLine(text))
            engineError = text.trimmed();
        // The engine's last line of a restore that went through the whole file.
        if (text.contains(QLatin1String("going home")))
            finished = true;
        if (m_progress)
            m_progress(text);
    };
    // A file the server reads by name and that ends early makes the engine ask for the next
    // volume (through the service's input): answered with nothing, so the service ends, and taken
    // as the sign of a backup cut short.
    bool askedForMore = false;
    std::function<QByteArray(int)> read = [&input, &askedForMore, throughInput](int size) {
        if (throughInput)
            return input.read(size);
        askedForMore = true;
        return QByteArray();
    };
    if (!RunServiceRequest(manager, request, line, error, read, m_stop))
        return false;
    // A server that reads a file cut short by name finds no next volume to ask for and may end
    // as if all went well, without its closing line.
    if (askedForMore || (!throughInput && !finished)) {
        *error =
            QStringLiteral("O arquivo de backup %1 está incompleto.").arg(QDir::toNativeSeparators(source));
        return false;
    }
    if (!engineError.isEmpty()) {
        *error = engineError;
        return false;
    }
    return true;
}

bool DatabaseBackup::DoRestauracao(const QString& fileName) {
    m_lastError.clear();
    m_lastBackupFile.clear();
    m_keptAsideFile.clear();
    m_safetyBackupError.clear();
    QString databasePath;
    const QString manager = ServiceManagerFor(m_databaseName, &databasePath);
    const bool remote = IsRemoteDatabaseName(m_databaseName);
    const bool visible = !remote || ServerFilesAreLocal(m_databaseName);

    QString source = fileName;
    if (!source.contains(QLatin1Char('/')) && !source.contains(QLatin1Char('\\')))
        source = QDir(DefaultFolder()).filePath(source);
    if (visible) {
        source = QFileInfo(source).absoluteFilePath();
        if (!QFileInfo(source).isFile())
            return Fail(MsgFileNotFound(source));
    }
    if (remote)
        return RestoreOnServer(manager, databasePath, source, visible);

    const QString target = RealDatabaseFile(databasePath);
    const bool targetExists = QFileInfo::exists(target);
    if (targetExists && ProbeDatabase(m_databaseName) == AttachProblem::FileLocked)
        return Fail(MsgDatabaseInUse(databasePath));

    // Restored beside the database under another name, checked, then moved over it: the database
    // is touched only once the new file is known to be whole. A leftover of a restore that was
    // ended by force goes first.
    const QString restoring = target + QStringLiteral(".restaurando");
    QFile::remove(restoring);
    QString error;
    bool ok = RunRestore(manager, source, true, restoring, false, &error);
    if (ok) {
        error = RestoredProblem(restoring);
        ok = error.isEmpty();
    }
    if (!ok) {
        QFile::remove(restoring);
        return Fail(error);
    }
    if (targetExists && !KeepCurrentDatabase(target)) {
        QFile::remove(restoring);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(restoring).toStdString(),
                            QFile::encodeName(target).toStdString(), ec);
    if (ec) {
        QFile::remove(restoring);
        return Fail(QStringLiteral("Não foi possível substituir o arquivo %1: %2")
                        .arg(QDir::toNativeSeparators(target), QString::fromLocal8Bit(ec.message())));
    }
    return true;
}

bool DatabaseBackup::RestoreOnServer(const QString& manager, const QString& databasePath,
                                     const QString& source, bool visible) {
    // The server's files are reached only through the engine, which cannot rename them: the
    // backup is first restored beside the database and checked, and only a backup known to be
    // whole is then restored over the database (by the engine, which refuses while others use it).
    const QString server = m_databaseName.left(m_databaseName.size() - databasePath.size());
    const bool exists = ProbeDatabase(m_databaseName) != AttachProblem::FileMissing;
    if (exists && !DoBackup())
        return false;
    const QString safety = m_lastBackupFile;

    const QString restoring = databasePath + QStringLiteral(".restaurando");
    QString error;
    // Replacing reuses the leftover of a restore that was ended by force.
    bool ok = RunRestore(manager, source, visible, restoring, true, &error);
    if (ok) {
        error = RestoredProblem(server + restoring);
        ok = error.isEmpty();
    }
    DropDatabase(server + restoring, nullptr);
    if (visible)
        QFile::remove(restoring);
    if (!ok)
        return Fail(error);

    ok = RunRestore(manager, source, visible, databasePath, true, &error);
    if (ok) {
        error = RestoredProblem(m_databaseName);
        ok = error.isEmpty();
    }
    if (ok)
        return true;
    // The restore over the database broke off after all (the disk, the server): the database
    // comes back from its safety backup.
    QString again;
    if (!safety.isEmpty() && RunRestore(manager, safety, visible, databasePath, true, &again) &&
        RestoredProblem(m_databaseName).isEmpty())
        error +=
            QStringLiteral("\rO banco de dados anterior foi recolocado a partir do backup de segurança.");
    return Fail(error);
}

bool DatabaseBackup::KeepCurrentDatabase(const QString& target) {
    if (DoBackup())
        return true;
    m_safetyBackupError = m_lastError;
    m_lastError.clear();
    // A file the engine cannot back up (a damaged database) is kept as it is under a new name.
    const QFileInfo info(target);
    const QString stamp = m_now().toString(QStringLiteral("ddMMyyyyhhmmss"));
    QString aside = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("_anterior_") +
                                                stamp + QLatin1Char('.') + info.suffix());
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("_anterior_") + stamp +
                                            QStringLiteral("_%1.").arg(n) + info.suffix());
    if (!QFile::copy(target, aside))
        return Fail(
            QStringLiteral("Não foi possível fazer o backup de segurança (%1) nem copiar o arquivo %2.")
                .arg(m_safetyBackupError, QDir::toNativeSeparators(target)));
    m_keptAsideFile = aside;
    return true;
}

bool BackupOnExit(int generalOptions, const QString& databaseName) {
    if ((generalOptions & (1 << 3)) == 0)
        return false;
    DatabaseBackup backup(databaseName);
    return backup.DoBackup();
}
