#pragma once

#include <QString>

// The database keeps text in ISO8859_1. Text with a character outside it (a dash, curly quotes,
// the euro sign) is refused, never stored with the character replaced.

// Whether every character of the text has an ISO8859_1 code.
inline bool IsLatin1Text(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

// The characters of the text outside ISO8859_1, each once, in order.
inline QString NonLatin1Characters(const QString& text) {
    QString found;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF && !found.contains(c))
            found += c;
    }
    return found;
}

inline QString MsgTextNotLatin1(const QString& text) {
    return QStringLiteral("O texto \"%1\" tem caracteres que o banco de dados não aceita: %2")
        .arg(text, NonLatin1Characters(text));
}
