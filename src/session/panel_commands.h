#pragma once

#include <QtGlobal>

class OnLine;

// The remote commands of the monitoring view: the frame's command byte and parameter, and the
// effect the session waits to see in the status before the command counts as done.
enum class PanelExpectation { Bypass, PgmOn, PgmOff, ArmA, DisarmA, ArmB, DisarmB };

struct PanelCommand {
    quint8 Code = 0;
    quint8 Param = 0;
    PanelExpectation Expect = PanelExpectation::Bypass;

    // Partition 1 (A) or 2 (B).
    static PanelCommand Arm(int partition);
    static PanelCommand Disarm(int partition);
    // The whole bypass mask to leave on the panel (bit z-1 = zone z bypassed).
    static PanelCommand Bypass(quint8 mask);
    static PanelCommand OutputOn(int pgm);
    static PanelCommand OutputOff(int pgm);
};

// Raises the command on the session worker: the frame's fields and the expectation first (the PGM
// expectations cleared together), the request flag last.
void RaiseCommand(OnLine& session, const PanelCommand& command);
