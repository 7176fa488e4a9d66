// telvora-cli panel status | panel command: the panel's live state and its remote commands, over a
// connection made as the customer screen makes it.

#include "session/panel_commands.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "app/cli/cli_panel_session.h"
#include "programming/panel_state.h"
#include "programming/product_codes.h"
#include "programming/programming_images.h"
#include "session/operation_audit.h"

#include <QDateTime>

namespace {

// A command whose effect does not show after this many answers is reported as refused (the
// desktop repeats until the operator presses "Cancelar").
constexpr int CommandRepeatLimit = 5;
// How far the clock read back may be from the one written (the line is slow).
constexpr qint64 ClockToleranceMs = 15000;

int ZoneCount(ProductFamily family) {
    return family == ProductFamily::TenZone ? 10 : 5;
}

QString StatusText(const PanelState& state, const ProgrammingImage& image) {
    const bool ten = image.family() == ProductFamily::TenZone;
    QStringList lines;
    QStringList zones;
    for (int z = 1; z <= ZoneCount(image.family()); ++z) {
        const QString state_ = state.ZoneBypassed(z) ? QStringLiteral("INIBIDA")
                               : state.ZoneOpen(z)   ? QStringLiteral("ABERTA")
                                                     : QStringLiteral("FECHADA");
        zones << QStringLiteral("%1 %2").arg(z).arg(state_);
    }
    lines << QStringLiteral("Zonas: ") + zones.join(QStringLiteral(", "));
    const auto armed = [](bool on) { return on ? QStringLiteral("Armada") : QStringLiteral("Desarmada"); };
    if (ten) {
        lines << QStringLiteral("PARTIÇÃO A: ") + armed(state.ArmedA);
        if (image.isPartitioned())
            lines << QStringLiteral("PARTIÇÃO B: ") + armed(state.ArmedB);
    } else {
        lines << QStringLiteral("ORVAN 5: ") + armed(state.ArmedA);
    }
    const QStringList troubles = state.TroubleCaptions();
    lines << QStringLiteral("Problemas: ") +
                 (troubles.isEmpty() ? QStringLiteral("nenhum") : troubles.join(QStringLiteral(", ")));
    lines << QStringLiteral("Sirene: ") +
                 (state.SirenSounding ? QStringLiteral("ATIVADA") : QStringLiteral("DESATIVADA"));
    lines << QStringLiteral("Bateria: %1 %").arg(state.BatteryPercent());
    QStringList pgms;
    for (int p = 1; p <= 4; ++p)
        pgms << QStringLiteral("PGM %1 %2")
                    .arg(p)
                    .arg(state.Pgm(p) ? QStringLiteral("On") : QStringLiteral("Off"));
    lines << pgms.join(QStringLiteral(", "));
    return lines.join(QLatin1Char('\n'));
}

// The panel's clock as the clock answer's text shows it ("Painel:  dd/mm/yyyy hh:mm:ss").
QDateTime PanelClock(const QString& text) {
    return QDateTime::fromString(text.mid(QStringLiteral("Painel:  ").size()),
                                 QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

// --json's line for the status: what StatusText shows, as fields.
QJsonObject StatusRecord(int customer, const PanelState& state, const ProgrammingImage& image,
                         const QString& clockText) {
    QJsonArray zones;
    for (int z = 1; z <= ZoneCount(image.family()); ++z)
        zones.append(QJsonObject{{QStringLiteral("zone"), z},
                                 {QStringLiteral("state"), state.ZoneBypassed(z) ? QStringLiteral("bypassed")
                                                           : state.ZoneOpen(z)   ? QStringLiteral("open")
                                                                               : QStringLiteral("closed")}});
    QJsonObject partitions{{QStringLiteral("A"), state.ArmedA}};
    if (image.family() == ProductFamily::TenZone && image.isPartitioned())
        partitions.insert(QStringLiteral("B"), state.ArmedB);
    QJsonArray outputs;
    for (int p = 1; p <= 4; ++p)
        outputs.append(state.Pgm(p));
    return CliJson::Record(QStringLiteral("panel_status"),
                           {{QStringLiteral("customer"), customer},
                            {QStringLiteral("zones"), zones},
                            {QStringLiteral("armed"), partitions},
                            {QStringLiteral("troubles"), QJsonArray::fromStringList(state.TroubleCaptions())},
                            {QStringLiteral("siren"), state.SirenSounding},
                            {QStringLiteral("battery_percent"), state.BatteryPercent()},
                            {QStringLiteral("outputs"), outputs},
                            {QStringLiteral("clock"), CliJson::Moment(PanelClock(clockText))}});
}

int RunPanelStatus(CliContext& context, const QStringList& args) {
    CliPanelOptions options;
    if (!TakePanelOptions(context, args, {QStringLiteral("keep-trying"), QStringLiteral("callback")},
                          &options))
        return 2;
    CliPanelSession session(context);
    if (!session.ConnectAndRead(options.customerId, options.keepTrying, options.callback))
        return 1;
    QByteArray status;
    QByteArray clock;
    QString clockText;
    const bool ok = session.ReadStatus(&status) && session.ReadClock(&clock, &clockText);
    if (ok && context.json)
        CliJson::WriteLine(context.out, StatusRecord(options.customerId, PanelState::FromStatus(status),
                                                     session.Images().ImagemAlarme, clockText));
    else if (ok)
        context.out << StatusText(PanelState::FromStatus(status), session.Images().ImagemAlarme) << '\n'
                    << clockText << '\n';
    session.HangUp();
    if (!ok) {
        context.Complain(QStringLiteral("A conexão terminou antes da resposta do painel."));
        return 1;
    }
    return 0;
}

// The command line's action, checked before anything is dialled.
struct Action {
    enum Kind { Arm, Disarm, Bypass, Enable, OutputOn, OutputOff, SetClock } kind;
    int number = 0;  // partition (1, 2), zone or PGM
    QDateTime clock; // set-clock; invalid: now
};

// 0 when the action is good; otherwise the exit code after the reason was printed (2 wrong use, 1 an
// action this panel cannot take).
int ParseAction(CliContext& context, const QStringList& words, ProductFamily family, Action* action) {
    if (words.isEmpty()) {
        return context.WrongUse(QStringLiteral("Informe a ação."));
    }
    const QString verb = words.first();
    const QStringList rest = words.mid(1);
    static const QMap<QString, Action::Kind> kinds = {
        {QStringLiteral("arm"), Action::Arm},
        {QStringLiteral("disarm"), Action::Disarm},
        {QStringLiteral("bypass"), Action::Bypass},
        {QStringLiteral("enable"), Action::Enable},
        {QStringLiteral("output-on"), Action::OutputOn},
        {QStringLiteral("output-off"), Action::OutputOff},
        {QStringLiteral("set-clock"), Action::SetClock},
    };
    if (!kinds.contains(verb)) {
        return context.WrongUse(QStringLiteral("Ação desconhecida: %1").arg(verb));
    }
    action->kind = kinds.value(verb);
    if (action->kind == Action::SetClock) {
        if (rest.isEmpty())
            return 0;
        action->clock =
            QDateTime::fromString(rest.join(QLatin1Char(' ')), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        if (!action->clock.isValid() || rest.size() != 2 || action->clock.date().year() < 2000 ||
            action->clock.date().year() > 2099) {
            return context.WrongUse(
                QStringLiteral("Data e hora inválidas: %1 (dd/mm/aaaa hh:mm:ss)").arg(rest.join(' ')));
        }
        return 0;
    }
    if (rest.size() != 1) {
        return context.WrongUse(rest.isEmpty() ? QStringLiteral("Informe o número.")
                                               : UnexpectedArgumentText(rest.at(1)));
    }
    const bool ten = family == ProductFamily::TenZone;
    if (action->kind == Action::Arm || action->kind == Action::Disarm) {
        const QString p = rest.first().toUpper();
        if (p != QLatin1String("A") && p != QLatin1String("B")) {
            return context.WrongUse(QStringLiteral("Partição inválida: %1 (A ou B)").arg(rest.first()));
        }
        action->number = p == QLatin1String("A") ? 1 : 2;
        if (action->number == 2 && !ten) {
            context.Complain(QStringLiteral("Este modelo não tem partição B."));
            return 1;
        }
        return 0;
    }
    bool ok = false;
    action->number = rest.first().toInt(&ok);
    const bool zone = action->kind == Action::Bypass || action->kind == Action::Enable;
    // Only the board zones can be bypassed: 1..8, and 1..5 on the 5-zone model.
    const int last = zone ? (ten ? 8 : 5) : 4;
    if (!ok || action->number < 1 || action->number > last) {
        context.Complain((zone ? QStringLiteral("Zona inválida: %1 (1 a %2).")
                               : QStringLiteral("PGM inválida: %1 (1 a %2)."))
                             .arg(rest.first())
                             .arg(last));
        return 1;
    }
    return 0;
}

// The command of an action, from the panel's state (the other bypassed zones stay as they are).
PanelCommand CommandFor(const Action& action, const PanelState& state) {
    const quint8 bit = quint8(1u << (action.number - 1));
    switch (action.kind) {
    case Action::Arm:
        return PanelCommand::Arm(action.number);
    case Action::Disarm:
        return PanelCommand::Disarm(action.number);
    case Action::Bypass:
        return PanelCommand::Bypass(state.BypassedZones | bit);
    case Action::Enable:
        return PanelCommand::Bypass(state.BypassedZones & ~bit);
    case Action::OutputOn:
        return PanelCommand::OutputOn(action.number);
    case Action::OutputOff:
    case Action::SetClock:
        break;
    }
    return PanelCommand::OutputOff(action.number);
}

// What the operator is told when the panel already is as the action would leave it; empty when
// the action changes something.
QString AlreadySoText(const Action& action, const PanelState& state) {
    const QString partition = action.number == 2 ? QStringLiteral("B") : QStringLiteral("A");
    const bool armed = action.number == 2 ? state.ArmedB : state.ArmedA;
    switch (action.kind) {
    case Action::Arm:
        return armed ? QStringLiteral("A partição %1 já estava armada.").arg(partition) : QString();
    case Action::Disarm:
        return armed ? QString() : QStringLiteral("A partição %1 já estava desarmada.").arg(partition);
    case Action::Bypass:
        return state.ZoneBypassed(action.number)
                   ? QStringLiteral("A zona %1 já estava inibida.").arg(action.number)
                   : QString();
    case Action::Enable:
        return state.ZoneBypassed(action.number)
                   ? QString()
                   : QStringLiteral("A zona %1 já estava habilitada.").arg(action.number);
    case Action::OutputOn:
        return state.Pgm(action.number) ? QStringLiteral("A PGM %1 já estava acionada.").arg(action.number)
                                        : QString();
    case Action::OutputOff:
        return state.Pgm(action.number)
                   ? QString()
                   : QStringLiteral("A PGM %1 já estava desacionada.").arg(action.number);
    case Action::SetClock:
        break;
    }
    return QString();
}

int RunPanelCommand(CliContext& context, const QStringList& args) {
    QMap<QString, QString> given;
    QStringList words;
    QString error;
    if (!SplitArguments(
            args, {QStringLiteral("customer"), QStringLiteral("keep-trying"), QStringLiteral("callback")},
            &given, &words, &error))
        return context.WrongUse(error);
    bool ok = false;
    const int customerId = given.value(QStringLiteral("customer")).toInt(&ok);
    if (!ok || customerId <= 0)
        return context.WrongUse(QStringLiteral("Informe o cliente: --customer ID"));

    CliPanelSession session(context);
    if (!session.Open(customerId))
        return 1;
    Action action{};
    if (const int wrong = ParseAction(context, words, FamilyOf(session.ProductCode()), &action))
        return wrong;
    if (!session.ConnectAndRead(customerId, given.contains(QStringLiteral("keep-trying")),
                                given.contains(QStringLiteral("callback"))))
        return 1;

    const ProgrammingImage& panel = session.Images().ImagemAlarme;
    QString refusal;
    // How the command ended, for the operator and the audit record.
    using Outcome = OnLine::CommandOutcome;
    enum class Result { Done, AlreadySo, Refused, NoAnswer, Ended } result = Result::Ended;
    QString alreadySo;
    QDateTime panelClock; // set-clock: the clock read back
    if ((action.kind == Action::Arm || action.kind == Action::Disarm) && action.number == 2 &&
        !panel.isPartitioned()) {
        refusal = QStringLiteral("O painel não está particionado: não há partição B.");
    } else if (action.kind == Action::SetClock) {
        const qint64 offset = action.clock.isValid() ? QDateTime::currentDateTime().msecsTo(action.clock) : 0;
        QByteArray clock;
        QString text;
        if (session.WriteClock(offset) && session.ReadClock(&clock, &text)) {
            const QDateTime expected = QDateTime::currentDateTime().addMSecs(offset);
            const QDateTime shown = PanelClock(text);
            panelClock = shown;
            result = shown.isValid() && qAbs(shown.msecsTo(expected)) <= ClockToleranceMs ? Result::Done
                                                                                          : Result::Refused;
            context.Say(text);
        }
    } else {
        QByteArray status;
        if (!session.ReadStatus(&status)) {
            // No status came: the panel was silent until the session gave up on it.
            result = session.Interrupted() ? Result::Ended : Result::NoAnswer;
        } else {
            const PanelState state = PanelState::FromStatus(status);
            alreadySo = AlreadySoText(action, state);
            if (!alreadySo.isEmpty()) {
                // Nothing to change: nothing is sent, and the operator is told how the panel is.
                result = Result::AlreadySo;
            } else if (const std::optional<Outcome> outcome =
                           session.Command(CommandFor(action, state), CommandRepeatLimit)) {
                switch (*outcome) {
                case Outcome::Effect:
                    result = Result::Done;
                    break;
                case Outcome::Refused:
                    result = Result::Refused;
                    break;
                case Outcome::NoAnswer:
                    result = Result::NoAnswer;
                    break;
                case Outcome::Stopped:
                    result = Result::Ended;
                    break;
                }
            }
        }
    }
    static const QMap<Result, QString> auditWords = {
        {Result::Done, CommandAuditText(Outcome::Effect)},
        {Result::AlreadySo, QStringLiteral("já estava assim")},
        {Result::Refused, CommandAuditText(Outcome::Refused)},
        {Result::NoAnswer, CommandAuditText(Outcome::NoAnswer)},
        {Result::Ended, CommandAuditText(Outcome::Stopped)},
    };
    // Recorded once its result is known, with that result.
    if (refusal.isEmpty())
        session.Audit(AuditAction::Command,
                      words.join(QLatin1Char(' ')) + QStringLiteral(": ") + auditWords.value(result));
    session.HangUp();
    if (!refusal.isEmpty()) {
        context.Complain(refusal);
        return 1;
    }
    const bool done = result == Result::Done || result == Result::AlreadySo;
    const QJsonObject record = CliJson::Record(QStringLiteral("panel_command"),
                                               {{QStringLiteral("customer"), customerId},
                                                {QStringLiteral("action"), words.join(QLatin1Char(' '))},
                                                {QStringLiteral("done"), done},
                                                {QStringLiteral("clock"), CliJson::Moment(panelClock)}});
    if (!done && context.json)
        CliJson::WriteLine(context.out, record);
    switch (result) {
    case Result::Done:
        context.Report(QStringLiteral("Comando executado: o painel mostra a mudança."), record);
        return 0;
    case Result::AlreadySo:
        context.Report(alreadySo, record);
        return 0;
    case Result::Refused:
        context.Complain(QStringLiteral("O painel recusou o comando: o estado não mostra a mudança."));
        return 1;
    case Result::NoAnswer:
        context.Complain(QStringLiteral("O painel não respondeu."));
        return 1;
    case Result::Ended:
        break;
    }
    context.Complain(QStringLiteral("A conexão terminou antes da resposta do painel."));
    return 1;
}

// The permissions of the monitoring view's button for the action.
CliAccess PanelCommandAccess(const QStringList& args) {
    static const QMap<QString, Permission> byAction = {
        {QStringLiteral("arm"), Permission::Armar},
        {QStringLiteral("disarm"), Permission::Desarmar},
        {QStringLiteral("bypass"), Permission::InibirZonas},
        {QStringLiteral("enable"), Permission::HabilitarZonas},
        {QStringLiteral("output-on"), Permission::AcionarPgm},
        {QStringLiteral("output-off"), Permission::DesacionarPgm},
    };
    CliAccess access = CliAccess::Needs({Permission::Conectar, Permission::Monitorar});
    for (const QString& arg : args) {
        if (byAction.contains(arg))
            access.permissions << byAction.value(arg);
    }
    return access;
}

const bool registered =
    RegisterCliCommand({{QStringLiteral("panel"), QStringLiteral("status")},
                        QStringLiteral("--customer ID [--keep-trying] [--callback]"),
                        QStringLiteral("Conecta ao painel e mostra zonas, partições, saídas e relógio"),
                        &RunPanelStatus,
                        [](const QStringList&) {
                            return CliAccess::Needs({Permission::Conectar, Permission::Monitorar});
                        }}) &&
    RegisterCliCommand(
        {{QStringLiteral("panel"), QStringLiteral("command")},
         QStringLiteral("--customer ID [--keep-trying] [--callback] arm A|B | disarm A|B | bypass ZONA | "
                        "enable ZONA | output-on N | output-off N | "
                        "set-clock [dd/mm/aaaa hh:mm:ss]"),
         QStringLiteral("Conecta ao painel, envia o comando e confere o estado"),
         &RunPanelCommand,
         &PanelCommandAccess});

} // namespace
