#include "store/backup_files.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QList<BackupFileEntry> ListBackupFiles(const QString& folder) {
    QList<BackupFileEntry> files;
    // Name filters ignore letter case unless asked otherwise: "ZRV1.FBK" is listed too.
    for (const QFileInfo& info :
         QDir(folder).entryInfoList({QStringLiteral("*.fbk")}, QDir::Files, QDir::Name))
        files.append({info.fileName(), info.lastModified()});
    SortBackupFiles(files, BackupFileColumn::Time, false);
    return files;
}

void SortBackupFiles(QList<BackupFileEntry>& files, BackupFileColumn column, bool descending) {
    std::stable_sort(files.begin(), files.end(),
                     [column, descending](const BackupFileEntry& a, const BackupFileEntry& b) {
                         const int order = column == BackupFileColumn::Name
                                               ? a.name.compare(b.name, Qt::CaseInsensitive)
                                               : (a.time < b.time ? -1 : (b.time < a.time ? 1 : 0));
                         return descending ? order > 0 : order < 0;
                     });
}
