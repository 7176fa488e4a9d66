#include "workspace/general_options.h"

namespace GeneralOptions {

bool HasStyle(const QString& styles, const QString& word) {
    return styles.contains(word, Qt::CaseInsensitive);
}

QString WithStyle(const QString& styles, const QString& word, bool on) {
    QString result = styles;
    result.remove(word, Qt::CaseInsensitive);
    if (on)
        result += word;
    return result;
}

} // namespace GeneralOptions
