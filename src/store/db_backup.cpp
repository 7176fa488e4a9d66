#include "store/db_backup.h"

#include "store/db_connection.h"
#include "store/firebird_client.h"
#include "store/schema_tables.h"
#include "store/store_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <functional>
#include <ibase.h>
#include <system_error>

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

bool DatabaseBackup::DoBackup(const QString& folder) {
    m_lastError.clear();
    m_lastBackupFile.clear();
    QString databasePath;
    const QString manager = ServiceManagerFor(m_databaseName, &databasePath);
    const bool remote = IsRemoteDatabaseName(m_databaseName);
    const QString target = folder.isEmpty() ? DefaultFolder() : folder;
    if (!remote && !QDir().mkpath(target))
        return Fail(
            QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(target)));

    const QString base = BackupFileName(m_now());
    QString file = QDir(target).filePath(base);
    for (int n = 2; !remote && QFileInfo::exists(file); ++n)
        file = QDir(target).filePath(base.chopped(4) + QStringLiteral("_%1.fbk").arg(n));
    const QString partial = file + QStringLiteral(".part");

    QByteArray request;
    request.append(char(isc_action_svc_backup));
    AppendServiceString(request, isc_spb_dbname, databasePath);
    AppendServiceString(request, isc_spb_bkp_file, partial);
    AppendServiceInt(request, isc_spb_options, isc_spb_bkp_no_garbage_collect);
    request.append(char(isc_spb_verbose));
    QString error;
    if (!RunServiceRequest(manager, request, m_progress, &error)) {
        if (!remote)
            QFile::remove(partial);
        if (!remote && !QFileInfo::exists(databasePath))
            return Fail(MsgFileNotFound(databasePath));
        if (!remote && ProbeDatabase(m_databaseName) == AttachProblem::FileLocked)
            return Fail(MsgDatabaseInUse(databasePath));
        return Fail(error);
    }
    if (!remote && !QFile::rename(partial, file)) {
        QFile::remove(partial);
        return Fail(
            QStringLiteral("Não foi possível gravar o arquivo %1.").arg(QDir::toNativeSeparators(file)));
    }
    if (remote)
        file = partial;
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

} // namespace

bool DatabaseBackup::DoRestauracao(const QString& fileName) {
    m_lastError.clear();
    m_lastBackupFile.clear();
    m_keptAsideFile.clear();
    m_safetyBackupError.clear();
    QString databasePath;
    const QString manager = ServiceManagerFor(m_databaseName, &databasePath);
    const bool remote = IsRemoteDatabaseName(m_databaseName);

    QString source = fileName;
    if (!source.contains(QLatin1Char('/')) && !source.contains(QLatin1Char('\\')))
        source = QDir(DefaultFolder()).filePath(source);
    if (!remote) {
        source = QFileInfo(source).absoluteFilePath();
        if (!QFileInfo(source).isFile())
            return Fail(MsgFileNotFound(source));
    }

    const QString target = remote ? databasePath : RealDatabaseFile(databasePath);
    const bool targetExists = remote || QFileInfo::exists(target);
    if (targetExists && !remote && ProbeDatabase(m_databaseName) == AttachProblem::FileLocked)
        return Fail(MsgDatabaseInUse(databasePath));
    // On a server the restore replaces the database in place: its safety backup comes first.
    if (remote && !DoBackup())
        return false;

    // Restored beside the database under another name, checked, then moved over it: the database
    // is touched only once the new file is known to be whole.
    const QString restoring = remote ? databasePath : target + QStringLiteral(".restaurando");
    if (!remote)
        QFile::remove(restoring);
    // A local backup file is handed to the engine through the service's input rather than by
    // name: a file cut short then ends the restore with an error, where the engine would
    // otherwise ask on the terminal for the next volume and report success without one.
    QFile input(source);
    if (!remote && !input.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                        .arg(QDir::toNativeSeparators(source), input.errorString()));
    QByteArray request;
    request.append(char(isc_action_svc_restore));
    AppendServiceString(request, isc_spb_bkp_file, remote ? source : QStringLiteral("stdin"));
    AppendServiceString(request, isc_spb_dbname, restoring);
    quint32 options = isc_spb_res_no_validity | isc_spb_res_one_at_a_time;
    options |= remote ? isc_spb_res_replace : isc_spb_res_create;
    AppendServiceInt(request, isc_spb_options, options);
    request.append(char(isc_spb_verbose));
    QString error;
    QString engineError;
    const auto line = [this, &engineError](const QString& text) {
        if (engineError.isEmpty() && IsRestoreErrorLine(text))
            engineError = text.trimmed();
        if (m_progress)
            m_progress(text);
    };
    std::function<QByteArray(int)> read;
    if (!remote)
        read = [&input](int size) { return input.read(size); };
    bool ok = RunServiceRequest(manager, request, line, &error, read);
    if (ok && !engineError.isEmpty()) {
        ok = false;
        error = engineError;
    }
    if (!remote && ok) {
        QString openError;
        const QStringList missing = MissingSchemaTables(restoring, &openError);
        if (!missing.isEmpty()) {
            ok = false;
            error = openError.isEmpty() ? QStringLiteral("O backup não contém as tabelas do sistema (%1).")
                                              .arg(missing.join(QStringLiteral(", ")))
                                        : openError;
        }
    }
    if (!ok) {
        if (!remote)
            QFile::remove(restoring);
        return Fail(error);
    }

    if (remote)
        return true;
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
