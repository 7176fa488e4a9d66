#pragma once

#include "serial/line_tap.h"

#include <QByteArray>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QString>

#include <memory>

// The line trace's category. Its debug messages are on while a trace file is open.
Q_DECLARE_LOGGING_CATEGORY(lcLine)

// The trace of the line: every byte the program sends and receives, in hexadecimal with the time,
// the modem's lines as text, and what each frame means. One message of lcLine a line:
//
//       1234 TX B3 43 00 00 00 00 00 F0  pedido de identificação
//       1480 RX 5A 52 56 43 01 14 12 34 F5
//       1480 quadro identificação: produto 1, versão 1.4
//       2210 modem NO CARRIER
//
// The time is in milliseconds since the trace began, on the program's clock. Received bytes are
// shown as they were read (one line a read); the modem's lines are gathered across reads.
class LineTrace final : public LineTap {
public:
    LineTrace();

    void Sent(const QByteArray& bytes) override;
    void Received(const QByteArray& bytes) override;
    void FrameDelivered(const QByteArray& frame) override;

    // The bytes as two upper-case hexadecimal digits each, separated by spaces.
    static QString Hex(const QByteArray& bytes);

private:
    void write(const QString& kind, const QString& text);

    QMutex m_mutex;
    qint64 m_startMs;
    QByteArray m_rxLine; // text received since the last line end
};

// Writes the line trace into a file while it lives: it turns the category on, installs the trace
// on the ports and sends the category's messages to the file, each line flushed as it is written,
// so the file holds everything up to the last byte however the program ends (an error, a signal,
// a crash). The other messages go on to the handler that was there before.
class LineTraceFile {
public:
    LineTraceFile() = default;
    ~LineTraceFile();
    LineTraceFile(const LineTraceFile&) = delete;
    LineTraceFile& operator=(const LineTraceFile&) = delete;

    // Creates (or empties) the file and starts the trace; false with the error in the system's
    // words when the file cannot be written.
    bool Open(const QString& path, QString* error);
    bool IsOpen() const { return m_file.isOpen(); }

    // The trace file the desktop writes: key "Rastreamento" of section "ConfigAvancada" of
    // ZRVConfig.ini, a relative name inside the application folder; empty when no trace is asked.
    static QString Configured();

    // "O arquivo de rastreamento <path> não pôde ser criado."
    static QString CannotCreateText(const QString& path);

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QFile m_file;
    std::unique_ptr<LineTrace> m_trace;
};
