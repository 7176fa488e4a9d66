#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

// What a command of telvora-cli gets: the database chosen by the options before the command word
// (--db PATH; by default zrv.fdb in the application folder), every other option given there, and
// the output streams.
struct CliContext {
    QString databaseName;
    QMap<QString, QString> options; // "--name value" or "--name=value" before the command, without "--"
    bool verbose = false;
    QTextStream& out;
    QTextStream& err;

    // Prints a message of the system (its "\r" line breaks become new lines).
    void Say(const QString& text) const;
    void Complain(const QString& text) const;
};

// One command: the words that name it ("db", "backup"), a usage line for its arguments and a
// summary for the help, and what it runs with the arguments after its words. Answers the exit
// code: 0 done, 1 failed, 2 wrong use.
struct CliCommand {
    QStringList words;
    QString usage;
    QString summary;
    std::function<int(CliContext&, const QStringList& args)> run;
};

// Commands register themselves from their own source file:
//   static const bool registered = RegisterCliCommand({{"db", "init"}, "", "...", &RunDbInit});
bool RegisterCliCommand(const CliCommand& command);
const QList<CliCommand>& CliCommands();

// Options before the command word that take no value (besides --help and --verbose).
bool RegisterCliFlag(const QString& name);
bool IsCliFlag(const QString& name);

// Takes "--name value" / "--name=value" options from the front of args; rejects an unknown
// "-x". Answers false with *error set when the options are malformed.
bool TakeOptions(QStringList& args, QMap<QString, QString>& options, QString* error);
