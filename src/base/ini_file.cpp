#include "base/ini_file.h"

#include <QFile>
#include <QSaveFile>

namespace {
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}
} // namespace

IniFile IniFile::fromBytes(const QByteArray& bytes) {
    IniFile ini;
    const QString text = QString::fromLatin1(bytes);
    QStringList rows = text.split(QLatin1Char('\n'));
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    for (QString row : rows) {
        if (row.endsWith(QLatin1Char('\r')))
            row.chop(1);
        Line line;
        const QString trimmed = row.trimmed();
        const qsizetype eq = row.indexOf(QLatin1Char('='));
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
            line.kind = Line::Section;
            line.name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1).trimmed();
        } else if (eq > 0 && !trimmed.startsWith(QLatin1Char(';'))) {
            line.kind = Line::Entry;
            line.name = row.left(eq).trimmed();
            line.value = row.mid(eq + 1).trimmed();
        }
        line.raw = row;
        ini.m_lines.append(line);
    }
    return ini;
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    for (const Line& line : m_lines) {
        switch (line.kind) {
        case Line::Section:
            out += '[' + line.name.toLatin1() + ']';
            break;
        case Line::Entry: {
            // A value is one line: a line break in it would make lines of its own in the file
            // (the callers refuse such values; this keeps the file's shape whatever they pass).
            QString value = line.value;
            value.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
            out += line.name.toLatin1() + '=' + value.toLatin1();
            break;
        }
        case Line::Other:
            out += line.raw.toLatin1();
            break;
        }
        out += "\r\n";
    }
    return out;
}

bool IniFile::load(const QString& path) {
    m_lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *this = fromBytes(file.readAll());
    return true;
}

bool IniFile::save(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toBytes()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

int IniFile::sectionLine(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Section && sameName(m_lines[i].name, section))
            return i;
    return -1;
}

int IniFile::sectionEnd(int headerLine) const {
    int i = headerLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Section)
        ++i;
    return i;
}

int IniFile::entryLine(const QString& section, const QString& key) const {
    const int header = sectionLine(section);
    if (header < 0)
        return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Entry && sameName(m_lines[i].name, key))
            return i;
    return -1;
}

bool IniFile::hasSection(const QString& section) const {
    return sectionLine(section) >= 0;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return entryLine(section, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key, const QString& defaultValue) const {
    const int i = entryLine(section, key);
    return i < 0 ? defaultValue : unquoted(m_lines[i].value);
}

int IniFile::intValue(const QString& section, const QString& key, int defaultValue) const {
    const int i = entryLine(section, key);
    if (i < 0)
        return defaultValue;
    const QString v = m_lines[i].value;
    qsizetype n = 0;
    if (n < v.size() && (v[n] == QLatin1Char('-') || v[n] == QLatin1Char('+')))
        ++n;
    const qsizetype digitsStart = n;
    while (n < v.size() && v[n].isDigit() && v[n].unicode() < 128)
        ++n;
    if (n == digitsStart)
        return defaultValue;
    bool ok = false;
    const int parsed = v.left(n).toInt(&ok);
    return ok ? parsed : defaultValue;
}

bool IniFile::boolValue(const QString& section, const QString& key, bool defaultValue) const {
    const QString v = value(section, key).trimmed();
    if (v.isEmpty())
        return defaultValue;
    if (sameName(v, QStringLiteral("true")))
        return true;
    if (sameName(v, QStringLiteral("false")))
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n != 0 : defaultValue;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const int i = entryLine(section, key);
    if (i >= 0) {
        m_lines[i].value = value;
        return;
    }
    Line entry;
    entry.kind = Line::Entry;
    entry.name = key;
    entry.value = value;
    int header = sectionLine(section);
    if (header < 0) {
        Line head;
        head.kind = Line::Section;
        head.name = section;
        m_lines.append(head);
        m_lines.append(entry);
        return;
    }
    // After the section's last entry, so trailing blank lines stay between sections.
    int insertAt = header + 1;
    const int end = sectionEnd(header);
    for (int j = header + 1; j < end; ++j)
        if (m_lines[j].kind == Line::Entry)
            insertAt = j + 1;
    m_lines.insert(insertAt, entry);
}

void IniFile::setValue(const QString& section, const QString& key, int value) {
    setValue(section, key, QString::number(value));
}

void IniFile::removeKey(const QString& section, const QString& key) {
    const int i = entryLine(section, key);
    if (i >= 0)
        m_lines.removeAt(i);
}

void IniFile::removeSection(const QString& section) {
    const int header = sectionLine(section);
    if (header >= 0)
        m_lines.remove(header, sectionEnd(header) - header);
}

QStringList IniFile::sections() const {
    QStringList out;
    for (const Line& line : m_lines)
        if (line.kind == Line::Section)
            out.append(line.name);
    return out;
}

QStringList IniFile::keys(const QString& section) const {
    QStringList out;
    const int header = sectionLine(section);
    if (header < 0)
        return out;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Entry)
            out.append(m_lines[i].name);
    return out;
}
