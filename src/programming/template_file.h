#pragma once

#include "programming/image_geometry.h"

#include <QByteArray>
#include <QString>

// Programming template files (*.zrv): the bytes of a programming image in image order, with no
// header, length or checksum. Only the first image-size bytes (304 or 256) count; a longer file
// keeps its surplus unread.

enum class TemplateStatus {
    Loaded,
    Missing,    // no such file
    TooShort,   // fewer bytes than the image holds: refused
    Unreadable, // the file exists but cannot be read
};

struct TemplateFile {
    TemplateStatus status = TemplateStatus::Missing;
    QByteArray image;      // exactly ImageSize(family) bytes when Loaded
    bool lineForm = false; // the file was in the older form of 16-byte lines ending in CR LF
    QString error;         // why the file could not be read
};

// Reads a template of a family. The older form, lines of 16 bytes each followed by CR LF, is
// recognised by its length (image size plus two bytes per line, the last line end optional) and
// by CR LF at every line end; its line ends are dropped. Image bytes that happen to be CR LF at a
// 16-byte boundary of a plain file are therefore never taken for line ends. The file is not
// changed.
TemplateFile ReadTemplateFile(const QString& path, ProductFamily family);
