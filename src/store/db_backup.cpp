#include "store/db_backup.h"

#include "store/firebird_client.h"
#include "store/store_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
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

    const QString base = BackupFileName(QDateTime::currentDateTime());
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

bool DatabaseBackup::DoRestauracao(const QString& fileName) {
    m_lastError.clear();
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

    const bool targetExists = remote || QFileInfo::exists(databasePath);
    if (targetExists) {
        if (!remote && ProbeDatabase(m_databaseName) == AttachProblem::FileLocked)
            return Fail(MsgDatabaseInUse(databasePath));
        if (!DoBackup())
            return false;
    }

    // Restored beside the database under another name, then moved over it.
    const QString restoring = remote ? databasePath : databasePath + QStringLiteral(".restaurando");
    if (!remote)
        QFile::remove(restoring);
    QByteArray request;
    request.append(char(isc_action_svc_restore));
    AppendServiceString(request, isc_spb_bkp_file, source);
    AppendServiceString(request, isc_spb_dbname, restoring);
    quint32 options = isc_spb_res_no_validity | isc_spb_res_one_at_a_time;
    options |= remote ? isc_spb_res_replace : isc_spb_res_create;
    AppendServiceInt(request, isc_spb_options, options);
    request.append(char(isc_spb_verbose));
    QString error;
    if (!RunServiceRequest(manager, request, m_progress, &error)) {
        if (!remote)
            QFile::remove(restoring);
        return Fail(error);
    }
    if (!remote) {
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(restoring).toStdString(),
                                QFile::encodeName(databasePath).toStdString(), ec);
        if (ec) {
            QFile::remove(restoring);
            return Fail(
                QStringLiteral("Não foi possível substituir o arquivo %1: %2")
                    .arg(QDir::toNativeSeparators(databasePath), QString::fromLocal8Bit(ec.message())));
        }
    }
    return true;
}

bool BackupOnExit(int generalOptions, const QString& databaseName) {
    if ((generalOptions & (1 << 3)) == 0)
        return false;
    DatabaseBackup backup(databaseName);
    return backup.DoBackup();
}
