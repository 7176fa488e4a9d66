#include "base/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString MsgFileNotWritten(const QString& path, const QString& reason) {
    return QStringLiteral("Não foi possível gravar o arquivo %1: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

namespace {

// The system's reason of a device's failed write, or `fallback` when it gave none.
QString ReasonOf(const QFileDevice& device, const QString& fallback) {
    return device.error() != QFileDevice::NoError && !device.errorString().isEmpty() ? device.errorString()
                                                                                     : fallback;
}

// A device (not a regular file) cannot be replaced by renaming: it is written in place, and every
// write and the final flush checked.
bool WriteInPlace(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                  QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = MsgFileNotWritten(path, file.errorString());
        return false;
    }
    QString reason;
    const bool written = write(file, &reason);
    if (!written || file.error() != QFileDevice::NoError || !file.flush()) {
        *error = MsgFileNotWritten(path, ReasonOf(file, reason));
        return false;
    }
    file.close();
    return true;
}

} // namespace

bool WriteWholeFile(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                    QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return WriteInPlace(path, write, error);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = MsgFileNotWritten(path, file.errorString());
        return false;
    }
    QString reason;
    if (!write(file, &reason)) {
        *error = MsgFileNotWritten(path, ReasonOf(file, reason));
        file.cancelWriting();
        return false;
    }
    // commit() flushes the rest, syncs it to the disk and renames; any earlier failed write
    // already makes it refuse.
    if (!file.commit()) {
        *error = MsgFileNotWritten(path, file.errorString());
        return false;
    }
    return true;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    return WriteWholeFile(
        path,
        [&bytes](QIODevice& device, QString* reason) {
            if (device.write(bytes) == bytes.size())
                return true;
            *reason = device.errorString();
            return false;
        },
        error);
}
