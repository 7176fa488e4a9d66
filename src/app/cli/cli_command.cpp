#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"

#include <QSet>

namespace {

QList<CliCommand>& Registry() {
    static QList<CliCommand> commands;
    return commands;
}

QSet<QString>& Flags() {
    static QSet<QString> flags{QStringLiteral("help"), QStringLiteral("verbose"), QStringLiteral("version"),
                               QStringLiteral("json")};
    return flags;
}

QString ForTerminal(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The name of an option as TakeOptions keys it: "--to=x" and "--to" give "to", "-v" "verbose".
QString OptionName(const QString& option) {
    if (option == QLatin1String("-h"))
        return QStringLiteral("help");
    if (option == QLatin1String("-v"))
        return QStringLiteral("verbose");
    if (!option.startsWith(QLatin1String("--")))
        return QString();
    return option.mid(2).section(QLatin1Char('='), 0, 0);
}

} // namespace

void CliContext::Say(const QString& text) const {
    (json ? err : out) << ForTerminal(text) << Qt::endl;
}

void CliContext::Report(const QString& text, const QJsonObject& record) const {
    if (json)
        CliJson::WriteLine(out, record);
    else
        Say(text);
}

void CliContext::Complain(const QString& text) const {
    err << ForTerminal(text) << Qt::endl;
}

int CliContext::WrongUse(const QString& reason) const {
    if (!reason.isEmpty())
        Complain(reason);
    Complain(usage);
    return 2;
}

QString UnknownOptionText(const QString& option) {
    return QStringLiteral("Opção desconhecida: %1").arg(option);
}

QString UnexpectedArgumentText(const QString& word) {
    return QStringLiteral("Argumento inesperado: %1").arg(word);
}

bool TakeJsonFlag(QStringList* args) {
    bool found = false;
    for (qsizetype i = 0; i < args->size() && args->at(i) != QLatin1String("--");) {
        if (args->at(i) == QLatin1String("--json")) {
            args->removeAt(i);
            found = true;
        } else {
            ++i;
        }
    }
    return found;
}

bool RegisterCliCommand(const CliCommand& command) {
    Registry().append(command);
    return true;
}

const QList<CliCommand>& CliCommands() {
    return Registry();
}

bool RegisterCliFlag(const QString& name) {
    Flags().insert(name);
    return true;
}

bool IsCliFlag(const QString& name) {
    return Flags().contains(name);
}

bool TakeOptions(QStringList& args, QMap<QString, QString>& options, QString* error) {
    while (!args.isEmpty() && args.first().startsWith(QLatin1Char('-'))) {
        QString option = args.takeFirst();
        if (option == QLatin1String("-h"))
            option = QStringLiteral("--help");
        else if (option == QLatin1String("-v"))
            option = QStringLiteral("--verbose");
        if (!option.startsWith(QLatin1String("--")) || option.size() == 2) {
            *error = UnknownOptionText(option);
            return false;
        }
        QString name = option.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
        } else if (IsCliFlag(name)) {
            value = QStringLiteral("1");
        } else if (args.isEmpty()) {
            *error = QStringLiteral("A opção --%1 precisa de um valor.").arg(name);
            return false;
        } else {
            value = args.takeFirst();
        }
        options.insert(name, value);
    }
    return true;
}

bool SplitArguments(const QStringList& args, const QStringList& allowed, QMap<QString, QString>* options,
                    QStringList* words, QString* error) {
    QStringList rest = args;
    while (!rest.isEmpty()) {
        if (rest.first() == QLatin1String("--")) {
            rest.removeFirst();
            *words += rest;
            return true;
        }
        if (!rest.first().startsWith(QLatin1Char('-')) || rest.first().size() == 1) {
            words->append(rest.takeFirst());
            continue;
        }
        // One option at a time, so that the words after it stay in place. An option the command
        // does not know is refused as such, whether a value follows it or not.
        QStringList one{rest.takeFirst()};
        const QString name = OptionName(one.first());
        if (!allowed.contains(name)) {
            *error = UnknownOptionText(one.first().section(QLatin1Char('='), 0, 0));
            return false;
        }
        if (!IsCliFlag(name) && !one.first().contains(QLatin1Char('=')) && !rest.isEmpty())
            one.append(rest.takeFirst());
        QMap<QString, QString> taken;
        if (!TakeOptions(one, taken, error))
            return false;
        options->insert(name, taken.first());
    }
    return true;
}
