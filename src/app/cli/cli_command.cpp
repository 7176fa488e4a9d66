#include "app/cli/cli_command.h"

#include <QSet>

namespace {

QList<CliCommand>& Registry() {
    static QList<CliCommand> commands;
    return commands;
}

QSet<QString>& Flags() {
    static QSet<QString> flags{QStringLiteral("help"), QStringLiteral("verbose")};
    return flags;
}

QString ForTerminal(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

void CliContext::Say(const QString& text) const {
    out << ForTerminal(text) << Qt::endl;
}

void CliContext::Complain(const QString& text) const {
    err << ForTerminal(text) << Qt::endl;
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
            *error = QStringLiteral("Opção desconhecida: %1").arg(option);
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
