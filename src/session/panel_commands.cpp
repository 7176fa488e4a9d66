#include "session/panel_commands.h"

#include "session/online_worker.h"

namespace {

constexpr quint8 CodeBypass = 0x04;
constexpr quint8 CodePgmOn = 0xA7;
constexpr quint8 CodePgmOff = 0x22;
constexpr quint8 CodeArm = 0x54;
constexpr quint8 CodeDisarm = 0x4A;

} // namespace

PanelCommand PanelCommand::Arm(int partition) {
    return {CodeArm, quint8(partition), partition == 2 ? PanelExpectation::ArmB : PanelExpectation::ArmA};
}

PanelCommand PanelCommand::Disarm(int partition) {
    return {CodeDisarm, quint8(partition),
            partition == 2 ? PanelExpectation::DisarmB : PanelExpectation::DisarmA};
}

PanelCommand PanelCommand::Bypass(quint8 mask) {
    return {CodeBypass, mask, PanelExpectation::Bypass};
}

PanelCommand PanelCommand::OutputOn(int pgm) {
    return {CodePgmOn, quint8(pgm), PanelExpectation::PgmOn};
}

PanelCommand PanelCommand::OutputOff(int pgm) {
    return {CodePgmOff, quint8(pgm), PanelExpectation::PgmOff};
}

void RaiseCommand(OnLine& session, const PanelCommand& command) {
    session.CommandCode = command.Code;
    session.CommandParam = command.Param;
    switch (command.Expect) {
    case PanelExpectation::Bypass:
        session.ExpectBypass = true;
        break;
    case PanelExpectation::PgmOn:
    case PanelExpectation::PgmOff:
        session.ExpectPgmOn = command.Expect == PanelExpectation::PgmOn;
        session.ExpectPgmOff = command.Expect == PanelExpectation::PgmOff;
        break;
    case PanelExpectation::ArmA:
        session.ExpectArmA = true;
        break;
    case PanelExpectation::DisarmA:
        session.ExpectDisarmA = true;
        break;
    case PanelExpectation::ArmB:
        session.ExpectArmB = true;
        break;
    case PanelExpectation::DisarmB:
        session.ExpectDisarmB = true;
        break;
    }
    session.CommandRequest = true;
}
