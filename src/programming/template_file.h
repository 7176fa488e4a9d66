#pragma once

#include "programming/image_geometry.h"

#include <QByteArray>
#include <QString>

// Programming template files (*.zrv): the bytes of a programming image in image order, with no
// header, length or checksum, exactly the image's size (304 or 256 bytes).

enum class TemplateStatus {
    Loaded,
    Missing,    // no such file
    WrongForm,  // neither the image's size nor its line form: refused
    Unreadable, // the file exists but cannot be read
};

struct TemplateFile {
    TemplateStatus status = TemplateStatus::Missing;
    QByteArray image;      // exactly ImageSize(family) bytes when Loaded
    bool lineForm = false; // the file was in the older form of 16-byte lines ending in CR LF
    QString error;         // why the file could not be read
};

// Reads a template of a family. Two forms are taken: exactly the image's bytes, or the older line
// form, every 16 bytes of the image followed by CR LF (the image's size plus two bytes a line),
// whose line ends are dropped. Any other file (another model's image, a damaged or LF-only line
// form, a file of any other length) is refused by its size before anything of it is read, so a
// huge file is never read whole. The file is not changed.
TemplateFile ReadTemplateFile(const QString& path, ProductFamily family);
