#include "programming/template_file.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The older template form: every 16-byte line followed by CR LF (the last one possibly without).
bool IsLineForm(const QByteArray& data, ProductFamily family) {
    const int size = ImageSize(family);
    const int lines = BlockCount(family);
    if (data.size() != size + 2 * lines && data.size() != size + 2 * (lines - 1))
        return false;
    const int breaks = (int(data.size()) - size) / 2;
    for (int i = 0; i < breaks; ++i) {
        const int at = i * (kBlockSize + 2) + kBlockSize;
        if (data.at(at) != '\r' || data.at(at + 1) != '\n')
            return false;
    }
    return true;
}

QByteArray WithoutLineEnds(const QByteArray& data) {
    QByteArray plain;
    for (int at = 0; at < data.size(); at += kBlockSize + 2)
        plain += data.mid(at, kBlockSize);
    return plain;
}

} // namespace

TemplateFile ReadTemplateFile(const QString& path, ProductFamily family) {
    TemplateFile result;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = TemplateStatus::Unreadable;
        result.error = file.errorString();
        return result;
    }
    QByteArray data = file.readAll();
    file.close();

    if (IsLineForm(data, family)) {
        data = WithoutLineEnds(data);
        result.lineForm = true;
    }
    if (data.size() < ImageSize(family)) {
        result.status = TemplateStatus::TooShort;
        return result;
    }
    result.status = TemplateStatus::Loaded;
    result.image = data.left(ImageSize(family));
    return result;
}
