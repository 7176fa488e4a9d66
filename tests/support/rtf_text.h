#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>

// What a word processor reads in an RTF file: the file converted headless by pandoc, as plain
// text ("plain") or as HTML ("html", where the tables show as <table>). A null text when pandoc is
// not installed (the callers skip) or cannot read the file.
inline bool RtfConverterAvailable() {
    return !QStandardPaths::findExecutable(QStringLiteral("pandoc")).isEmpty();
}

inline QString RtfConverted(const QString& path, const QString& format = QStringLiteral("plain")) {
    QProcess pandoc;
    pandoc.start(QStringLiteral("pandoc"),
                 {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), format, path});
    if (!pandoc.waitForFinished(60000) || pandoc.exitStatus() != QProcess::NormalExit ||
        pandoc.exitCode() != 0)
        return {};
    return QString::fromUtf8(pandoc.readAllStandardOutput());
}

inline const char* kNoRtfConverter =
    "pandoc is not installed (scripts/deps installs it): the RTF is not checked";
