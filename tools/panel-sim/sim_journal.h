#pragma once

#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QString>
#include <QVector>

namespace sim {

// One thing that happened on the line, as the simulator saw it.
struct JournalEntry {
    qint64 timeMs = 0; // logical ms since the simulator started
    QString dir;       // "in" (from the program), "out" (to the program), "line" (call events)
    // "command" (an AT line), "echo", "result" (modem result), "frame" (a request the panel took),
    // "answer" (the panel's answer), "noise" (bytes the panel ignored), "event" (call events:
    // dial, ring, connect, hang-up, port opened/closed)
    QString kind;
    QByteArray bytes;
    QString text; // AT line, result word, frame kind, answer type, event name
    // Frames: what they addressed (-1 when not applicable).
    int page = -1;
    int address = -1;
    int block = -1;
    int chunk = -1;
    int record = -1;
    QString fault; // the fault applied to an answer, if any

    QJsonObject toJson() const;
};

// A chunk write the panel received, in order, with what became of it.
struct ChunkWrite {
    qint64 timeMs = 0;
    int page = 0;
    int address = 0;
    int block = -1; // image block, -1 when the address lies outside the image
    int chunk = -1;
    QByteArray data;
    quint8 answer = 0;   // 0xC7, 0xD5, 0xA9, or 0 for no answer
    bool stored = false; // the panel now holds exactly these bytes
};

// Keeps every entry in memory and, when a file is set, appends each one as a JSON line at once
// (flushed, so a test can read the file while the simulator runs).
class Journal {
public:
    bool setFile(const QString& path, QString* error);
    void add(const JournalEntry& entry);
    void writeFinal(const QJsonObject& state);
    const QVector<JournalEntry>& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    QVector<JournalEntry> m_entries;
    QFile m_file;
};

} // namespace sim
