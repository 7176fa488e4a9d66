#pragma once

#include <QString>

// The general options bit set ("Opcoes Gerais"): bits 0 and 1 hold the panel-code repeat rule
// (1 "Não permitir", 2 "Permitir, porém avisar que é repetido", 3 "Permitir"), bit 3 the backup
// when the program ends. Other bits are kept as they are.
namespace GeneralOptions {

constexpr int kRepeatRuleMask = 3;
constexpr int kBackupOnExit = 8;

inline int RepeatRule(int options) {
    return options & kRepeatRuleMask;
}
inline int WithRepeatRule(int options, int rule) {
    return (options & ~kRepeatRuleMask) | (rule & kRepeatRuleMask);
}
inline bool BackupOnExit(int options) {
    return (options & kBackupOnExit) != 0;
}
inline int WithBackupOnExit(int options, bool on) {
    return on ? options | kBackupOnExit : options & ~kBackupOnExit;
}

// The words of a print-header line's style text ("fsBold", "fsItalic", "fsUnderline", run
// together without separators; letter case ignored when read).
bool HasStyle(const QString& styles, const QString& word);
// The style text with `word` added (at the end, once) or removed (every occurrence).
QString WithStyle(const QString& styles, const QString& word, bool on);

} // namespace GeneralOptions
