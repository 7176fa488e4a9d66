#include "serial/modem_commands.h"

#include "base/settings.h"

QByteArray DialCommand(const Settings& settings) {
    return settings.Discagem == QLatin1String("Tom") ? QByteArrayLiteral("ATDT") : QByteArrayLiteral("ATDP");
}

QByteArray ExpandDialCommand(const QByteArray& dialCommand, const Settings& settings,
                             const QString& panelNumber) {
    QByteArray line = dialCommand;
    if (settings.HabilitaPausa)
        line += settings.Digito.toLatin1() + ',';
    return line + panelNumber.toLatin1() + ";ATA\r";
}

QByteArray PlainDialLine(const QByteArray& dialCommand, const QString& panelNumber) {
    return dialCommand + panelNumber.toLatin1() + '\r';
}
