#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>

#include <functional>
#include <optional>

class MemoryLine;

// A minimal panel at the far end of an in-memory line, for tests that need exact control over each
// answer: it keeps a 304-byte programming memory in image order and answers block reads, chunk
// writes, status requests and commands after `answerDelayMs` (logical). `script` may replace any
// answer (return an empty byte string for silence). It is not the simulated panel: it has no modem
// and no line timing.
class ScriptedPanel : public QObject {
    Q_OBJECT
public:
    explicit ScriptedPanel(MemoryLine& line, QObject* parent = nullptr);

    QByteArray memory = QByteArray(304, '\0');
    quint8 status[6] = {0, 0, 0, 0xE6, 0, 0};
    qint64 answerDelayMs = 50;
    // Image bytes the panel acknowledges but does not store.
    QSet<int> refusedBytes;
    // Every request received (frames and the status byte), in order.
    QList<QByteArray> requests;
    // Called for each request with the answer the panel would give; returns the answer to send.
    std::function<QByteArray(const QByteArray& request, const QByteArray& answer)> script;

    // "ZRV", type, payload, checksum.
    static QByteArray Answer(quint8 type, const QByteArray& payload);
    // Image offset of a chunk address: page 0 (command 0xC4/0x88) or page 1 (0xA5/0x70).
    static int ImageOffset(quint8 command, quint8 address);

private:
    void received(const QByteArray& bytes);
    QByteArray answerTo(const QByteArray& request);

    MemoryLine& m_line;
    QByteArray m_rx;
};
