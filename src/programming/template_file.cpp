#include "programming/template_file.h"

#include <QFile>
#include <QFileInfo>

namespace {

qint64 LineFormSize(ProductFamily family) {
    return ImageSize(family) + 2 * BlockCount(family);
}

// The older template form: every 16-byte line followed by CR LF.
bool IsLineForm(const QByteArray& data, ProductFamily family) {
    if (data.size() != LineFormSize(family))
        return false;
    for (int at = kBlockSize; at < data.size(); at += kBlockSize + 2) {
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
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return result;
    const qint64 size = info.size();
    if (size != ImageSize(family) && size != LineFormSize(family)) {
        result.status = TemplateStatus::WrongForm;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = TemplateStatus::Unreadable;
        result.error = file.errorString();
        return result;
    }
    // Never more than the larger form, even when the file grew since its size was taken.
    QByteArray data = file.read(LineFormSize(family) + 1);
    if (file.error() != QFileDevice::NoError) {
        result.status = TemplateStatus::Unreadable;
        result.error = file.errorString();
        return result;
    }
    file.close();

    if (IsLineForm(data, family)) {
        data = WithoutLineEnds(data);
        result.lineForm = true;
    }
    if (data.size() != ImageSize(family)) {
        result.status = TemplateStatus::WrongForm;
        return result;
    }
    result.status = TemplateStatus::Loaded;
    result.image = data;
    return result;
}
