#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// Files written in full or not at all. The content goes into a temporary file beside the target,
// which takes the target's name only once every byte is written and flushed to the disk; a full
// disk, a write error or an unwritable target leaves an existing file as it was and no temporary
// file behind. A target that is not a regular file (a device such as a printer port) is written
// directly, with every write checked. False with *error ("Não foi possível gravar o arquivo X:"
// and the system's reason) when the file could not be written whole.
//
// `write` puts the content on the device; it answers false, with its reason in *reason, when it
// could not produce the content (nothing is then written).
bool WriteWholeFile(const QString& path, const std::function<bool(QIODevice& device, QString* reason)>& write,
                    QString* error);
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error);

// The message of a file that could not be written, with the system's reason.
QString MsgFileNotWritten(const QString& path, const QString& reason);
