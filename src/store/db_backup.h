#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Backup and restore of the database in the engine's standard backup format (.fbk), through the
// backup service of the client library: in this process for a plain path, on the server for
// "host:path" (whose files are then paths on the server). Backups go by default into the folder
// BKP beside the database file, named "ZRV" + ddMMyyyyhhmm + ".fbk".
class DatabaseBackup {
public:
    explicit DatabaseBackup(const QString& databaseName);

    QString DatabaseName() const { return m_databaseName; }
    // BKP beside the database file.
    QString DefaultFolder() const;
    static QString BackupFileName(const QDateTime& when);

    // Where the backup's name takes the date and time from (the system clock by default).
    void SetClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Each line of the service's output while it runs (the progress windows advance with them).
    void SetProgress(std::function<void(const QString&)> progress) { m_progress = std::move(progress); }
    // Asked while the engine works: true ends the backup or restore (a stop request), which then
    // fails with MsgServiceStopped and leaves no file behind; the database stays as it was.
    void SetStopRequest(std::function<bool()> stop) { m_stop = std::move(stop); }

    // Backs the database up into the folder (empty: the default folder, created when missing).
    // The file is written under a temporary name and renamed when complete, so a failed backup
    // leaves no file that looks like a backup; a file of the same minute is never overwritten, and
    // temporary files of backups ended by force are removed. On a server the engine writes the
    // final name itself (it cannot rename): a unique one, the folder made when the server is this
    // machine.
    bool DoBackup(const QString& folder = {});

    // Restores a backup file (a bare name is looked up in the default folder) into the database
    // file, replacing it when it exists (through a symbolic link, the file it points to). The
    // backup is restored under a temporary name and checked: the engine ended without error and
    // the result has the system's tables. Only then is the current file saved, by a safety backup
    // into the default folder or, when the engine cannot back it up (a damaged file), by a copy
    // under a new name beside it, and replaced. A failed restore leaves the database as it was.
    // On a server the same: after the safety backup the file is restored beside the database and
    // checked, and only a backup known to be whole is then restored over it by the engine.
    // The database must not be connected meanwhile.
    bool DoRestauracao(const QString& fileName);

    // The backup file written by the last DoBackup (and the safety backup of DoRestauracao).
    QString LastBackupFile() const { return m_lastBackupFile; }
    // The copy of a database the last DoRestauracao could not back up, and why the backup failed.
    QString KeptAsideFile() const { return m_keptAsideFile; }
    QString SafetyBackupError() const { return m_safetyBackupError; }
    // Why the last operation failed ("O arquivo ... não foi encontrado." for a missing backup).
    QString LastError() const { return m_lastError; }

private:
    bool Fail(const QString& error);
    bool KeepCurrentDatabase(const QString& target);
    bool RunRestore(const QString& manager, const QString& source, bool throughInput, const QString& into,
                    bool replace, QString* error);
    bool RestoreOnServer(const QString& manager, const QString& databasePath, const QString& source,
                         bool visible);

    QString m_databaseName;
    std::function<void(const QString&)> m_progress;
    std::function<bool()> m_stop;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    QString m_lastBackupFile;
    QString m_lastError;
    QString m_keptAsideFile;
    QString m_safetyBackupError;
};

// The backup on exit: when bit 3 of the general options ("Opcoes Gerais") is set, backs the
// database up into the default folder without any message. Answers whether a backup was made.
bool BackupOnExit(int generalOptions, const QString& databaseName);
