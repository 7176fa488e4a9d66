#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The backup files ("*.fbk") of a folder as the restore window lists them: name and the file's
// time.
struct BackupFileEntry {
    QString name;
    QDateTime time;
};

enum class BackupFileColumn { Name, Time };

// The files of `folder`, oldest first (a missing folder gives none).
QList<BackupFileEntry> ListBackupFiles(const QString& folder);

// Sorts by a column: names ignoring letter case, times as times; ties keep their order.
void SortBackupFiles(QList<BackupFileEntry>& files, BackupFileColumn column, bool descending);
