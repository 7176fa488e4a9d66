#pragma once

#include "store/permissions.h"

#include <QJsonObject>
#include <QList>
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
    QString usage; // the usage line of the command being run ("Uso: telvora-cli db backup [--to PASTA]")
    QString operatorName; // who runs the command (--operator, once accepted), for the audit record
    bool json = false;    // --json: the results as JSON lines on the output, the messages on the errors

    // Prints a message of the system (its "\r" line breaks become new lines); with --json on the
    // error stream, which keeps the output to the JSON lines.
    void Say(const QString& text) const;
    // A result of the command: `text` as Say prints it, or with --json `record` as one JSON line
    // (CliJson::Record).
    void Report(const QString& text, const QJsonObject& record) const;
    void Complain(const QString& text) const;
    // Wrong use of the command: the reason (when there is one) and the usage line on the error
    // stream. Answers the exit code of a wrong use, 2.
    int WrongUse(const QString& reason = QString()) const;
};

// Who may run a command on a database that has operators.
struct CliAccess {
    bool open = false;             // runs without an operator (this machine's settings, a new database)
    QList<Permission> permissions; // each of these is needed
    bool administrator = false;    // only the administrator

    static CliAccess Open() { return {true, {}, false}; }
    static CliAccess Needs(const QList<Permission>& permissions) { return {false, permissions, false}; }
    static CliAccess Administrator() { return {false, {}, true}; }
};

// One command: the words that name it ("db", "backup"), a usage line for its arguments and a
// summary for the help, and what it runs with the arguments after its words. Answers the exit
// code: 0 done, 1 failed, 2 wrong use.
struct CliCommand {
    QStringList words;
    QString usage;
    QString summary;
    std::function<int(CliContext&, const QStringList& args)> run;
    // What running it takes, from its arguments; without it any logged-in operator may.
    std::function<CliAccess(const QStringList& args)> access = {};
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

// The arguments after a command's words: the options named in `allowed`, wherever they stand, and
// the other words in order ("--" ends the options: every argument after it is a word). False, with
// *error set, for an option not in `allowed` or a malformed one.
bool SplitArguments(const QStringList& args, const QStringList& allowed, QMap<QString, QString>* options,
                    QStringList* words, QString* error);

// Takes every "--json" that stands before a "--" out of a command's arguments; true when there was one.
bool TakeJsonFlag(QStringList* args);

QString UnknownOptionText(const QString& option);    // "Opção desconhecida: --x"
QString UnexpectedArgumentText(const QString& word); // "Argumento inesperado: x"
