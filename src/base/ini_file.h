#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// A Windows-style INI file as older installations write it: Latin-1 bytes, CR LF line ends,
// section and key names compared without letter case ("INFO"/"MODEM" reads back as
// "Info"/"Modem"), keys such as "NºAT" kept byte for byte. A rewrite keeps the order of
// sections and keys, comments, blank lines and keys this program does not know; a changed key
// keeps its original spelling. QSettings does none of this, hence this small class.
class IniFile {
public:
    IniFile() = default;

    static IniFile fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // Reads the file; false (and an empty file in memory) when it cannot be read.
    bool load(const QString& path);
    // Writes the whole file at once, so a failure never leaves it half-written. On failure returns
    // false and puts the reason in *error.
    bool save(const QString& path, QString* error = nullptr) const;

    bool hasSection(const QString& section) const;
    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // The leading decimal digits of the value (with an optional sign), or the default when the key
    // is missing or does not start with a number, as the Windows profile functions read integers.
    int intValue(const QString& section, const QString& key, int defaultValue) const;
    // "1"/"0" and "True"/"False" (any case) as older installations store booleans.
    bool boolValue(const QString& section, const QString& key, bool defaultValue) const;

    void setValue(const QString& section, const QString& key, const QString& value);
    void setValue(const QString& section, const QString& key, int value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    QStringList sections() const;
    QStringList keys(const QString& section) const;

private:
    struct Line {
        enum Kind { Other, Section, Entry } kind = Other;
        QString raw;   // the line as read (without its line end), for Other lines
        QString name;  // section name or key
        QString value; // entry value
    };
    int sectionLine(const QString& section) const;
    int sectionEnd(int headerLine) const;
    int entryLine(const QString& section, const QString& key) const;

    QVector<Line> m_lines;
};
