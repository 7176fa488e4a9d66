#include "serial/modem_init_list.h"

#include "base/settings.h"

#include <algorithm>

namespace {

constexpr int kConnectionPadding = 5;
constexpr int kConfigurationPadding = 3;
constexpr int kCommandsPerLine = 4;

// Symbols sort before digits, digits before letters.
int charClass(QChar c) {
    if (c.isLetter())
        return 2;
    if (c.isDigit())
        return 1;
    return 0;
}

// A letter without its accent and letter case, so "é" ties with "E" as the platform's
// comparison treats them at first.
char16_t letterKey(QChar c) {
    const QString decomposed = c.decomposition();
    const QChar base = decomposed.isEmpty() ? c : decomposed.at(0);
    return base.toCaseFolded().unicode();
}

} // namespace

int ModemInitList::lastIndex() const {
    return nat + (worker == ModemInitWorker::Connection ? 2 : 3);
}

QString ModemInitList::item(int i) const {
    return i >= 0 && i < items.size() ? items.at(i) : QString();
}

bool IsUsbModemName(const QString& modelName) {
    return modelName.contains(QLatin1String("USB"));
}

int CompareModemCommands(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QChar x = a.at(i);
        const QChar y = b.at(i);
        const int cx = charClass(x);
        const int cy = charClass(y);
        if (cx != cy)
            return cx - cy;
        const int kx = cx == 2 ? letterKey(x) : x.unicode();
        const int ky = cy == 2 ? letterKey(y) : y.unicode();
        if (kx != ky)
            return kx - ky;
    }
    return int(a.size() - b.size());
}

void SortModemCommands(QStringList& commands) {
    std::stable_sort(commands.begin(), commands.end(),
                     [](const QString& a, const QString& b) { return CompareModemCommands(a, b) < 0; });
}

ModemInitList BuildModemInitList(const Settings& settings, ModemInitWorker worker) {
    const bool connection = worker == ModemInitWorker::Connection;
    ModemInitList list;
    list.worker = worker;
    list.nat = settings.NAT;
    list.usbModem = IsUsbModemName(settings.Modem);

    QStringList commands;
    for (int i = 1; i <= settings.NAT; ++i) {
        const QString line = settings.atLine(i);
        commands.append(line);
        if (connection && line.contains(QLatin1String("+MS")))
            list.usbModem = true;
    }
    if (settings.Speaker >= 0 && settings.Speaker <= 3)
        commands.append(QStringLiteral("M%1").arg(settings.Speaker));
    if (settings.Volume >= 0 && settings.Volume <= 3)
        commands.append(QStringLiteral("L%1").arg(settings.Volume));
    if (!connection)
        commands.append(QStringLiteral("S00=000")); // auto-answer off: the program answers itself
    else if (settings.HabilitaPausa)
        commands.append(QStringLiteral("S08=%1").arg(settings.Intervalo)); // length of the dial comma
    if (connection || !list.usbModem)
        SortModemCommands(commands);

    list.commandCount = int(commands.size());
    list.items = commands + QStringList(connection ? kConnectionPadding : kConfigurationPadding);
    return list;
}

QList<ModemInitStep> ModemInitSteps(const ModemInitList& list) {
    QList<ModemInitStep> steps;
    // The modulation command follows every line that leaves the index past NºAT + 2, in both
    // workers; the configuration loop runs one index further, so it may send it twice.
    const int modulationBound = list.nat + 2;
    for (int index = 0; index <= list.lastIndex();) {
        ModemInitStep step;
        step.line = "AT";
        const int width = list.usbModem ? 1 : kCommandsPerLine;
        for (int k = 0; k < width; ++k) {
            const QString command = list.item(index + k);
            step.line += command.toLatin1();
            if (!command.isEmpty())
                step.commands.append(command);
        }
        step.line += '\r';
        index += width;
        step.indexAfter = index;
        step.modulation = list.usbModem && index > modulationBound;
        steps.append(step);
    }
    return steps;
}

QList<QByteArray> ModemInitOutput(const ModemInitList& list) {
    QList<QByteArray> out{QByteArray(kModemAttention)};
    for (const ModemInitStep& step : ModemInitSteps(list)) {
        out.append(step.line);
        if (step.modulation)
            out.append(QByteArray(kModemModulation));
    }
    return out;
}
