#include "session/line_trace.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "base/ini_file.h"
#include "base/settings.h"
#include "session/frame_descriptions.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

#include <atomic>
#include <cstdio>

Q_LOGGING_CATEGORY(lcLine, "telvora.line", QtInfoMsg)

namespace {

// The modem's numeric results, named in the trace.
QString resultName(const QByteArray& line) {
    static const char* const names[] = {"OK",    "CONNECT",      "RING", "NO CARRIER", "ERROR",
                                        nullptr, "NO DIAL TONE", "BUSY", "NO ANSWER"};
    bool number = false;
    const int code = line.toInt(&number);
    if (!number || code < 0 || code > 8 || !names[code])
        return {};
    return QString::fromLatin1(names[code]);
}

bool isPrintable(char c) {
    return c >= 0x20 && c < 0x7F;
}

bool isText(const QByteArray& bytes) {
    for (char c : bytes) {
        if (!isPrintable(c) && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

// A command as it is written in a program: CR and LF as escapes.
QString quoted(const QByteArray& bytes) {
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

std::atomic<LineTraceFile*> g_file{nullptr};
QtMessageHandler g_previous = nullptr;
QMutex g_fileMutex;

} // namespace

LineTrace::LineTrace() : m_startMs(Clock::instance().nowMs()) {}

QString LineTrace::Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void LineTrace::write(const QString& kind, const QString& text) {
    if (!lcLine().isDebugEnabled())
        return;
    const qint64 ms = Clock::instance().nowMs() - m_startMs;
    qCDebug(lcLine).noquote() << QStringLiteral("%1 %2 %3").arg(ms, 9).arg(kind).arg(text);
}

void LineTrace::Sent(const QByteArray& bytes) {
    QString text = Hex(bytes);
    const QString meaning = FrameDescriptions::DescribeSent(bytes);
    if (!meaning.isEmpty())
        text += QStringLiteral("  ") + meaning;
    else if (isText(bytes))
        text += QStringLiteral("  ") + quoted(bytes);
    QMutexLocker lock(&m_mutex);
    write(QStringLiteral("TX"), text);
}

void LineTrace::Received(const QByteArray& bytes) {
    QMutexLocker lock(&m_mutex);
    write(QStringLiteral("RX"), Hex(bytes));
    // The modem's lines: printable text up to CR or LF. Frame bytes interrupt a line and are left
    // to the dispatcher's frames.
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            const QByteArray line = m_rxLine.trimmed();
            m_rxLine.clear();
            if (line.isEmpty())
                continue;
            const QString name = resultName(line);
            write(QStringLiteral("modem"), name.isEmpty() ? QString::fromLatin1(line)
                                                          : QString::fromLatin1(line) + QStringLiteral(" (") +
                                                                name + QLatin1Char(')'));
        } else if (isPrintable(c) && m_rxLine.size() < 256) {
            m_rxLine += c;
        } else {
            m_rxLine.clear();
        }
    }
}

void LineTrace::FrameDelivered(const QByteArray& frame) {
    QMutexLocker lock(&m_mutex);
    m_rxLine.clear();
    write(QStringLiteral("quadro"), FrameDescriptions::DescribeReceived(frame));
}

QString LineTraceFile::Configured() {
    IniFile ini;
    const QString settings = ApplicationPath(SettingsFileName());
    if (!QFileInfo::exists(settings) || !ini.load(settings))
        return {};
    const QString name =
        ini.value(QStringLiteral("ConfigAvancada"), QStringLiteral("Rastreamento")).trimmed();
    if (name.isEmpty())
        return {};
    return QDir(ApplicationFolder()).absoluteFilePath(name);
}

QString LineTraceFile::CannotCreateText(const QString& path) {
    return QStringLiteral("O arquivo de rastreamento ") + path + QStringLiteral(" não pôde ser criado.");
}

bool LineTraceFile::Open(const QString& path, QString* error) {
    // One trace a process: the ports have one tap.
    if (m_file.isOpen() || g_file.load()) {
        if (error)
            *error = CannotCreateText(path);
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text | QIODevice::Unbuffered)) {
        if (error)
            *error = CannotCreateText(path) + QLatin1Char(' ') + m_file.errorString();
        return false;
    }
    // The trace holds the panel's and the PC's codes as they were sent: for the owner's eyes only.
    m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    g_file.store(this);
    g_previous = qInstallMessageHandler(&LineTraceFile::handler);
    // The program sets no other logging rules; QT_LOGGING_RULES still applies on top.
    QLoggingCategory::setFilterRules(QStringLiteral("telvora.line.debug=true"));
    m_trace = std::make_unique<LineTrace>();
    LineTap::Install(m_trace.get());
    qCDebug(lcLine).noquote() << QStringLiteral("Rastreamento da linha iniciado em ") +
                                     QDateTime::currentDateTime().toString(
                                         QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    return true;
}

LineTraceFile::~LineTraceFile() {
    if (!m_file.isOpen())
        return;
    qCDebug(lcLine).noquote() << QStringLiteral("Rastreamento da linha encerrado");
    LineTap::Install(nullptr);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(g_previous);
    QMutexLocker lock(&g_fileMutex);
    g_file.store(nullptr);
    m_file.close();
}

void LineTraceFile::handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category && qstrcmp(context.category, lcLine().categoryName()) == 0) {
        QMutexLocker lock(&g_fileMutex);
        // Unbuffered: each line reaches the file as it is written.
        if (LineTraceFile* file = g_file.load())
            file->m_file.write((message + QLatin1Char('\n')).toUtf8());
        return;
    }
    if (g_previous)
        g_previous(type, context, message);
    else
        std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}
