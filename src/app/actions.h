#pragma once

// The chip actions of the menu and the tool bar, and the hardware test.

#include "app/dispatch.h"

namespace app {

class Programmer;

void mnuReadClick(Programmer& p);
void mnuProgramClick(Programmer& p);
void mnuVerifyClick(Programmer& p);
void mnuBlankClick(Programmer& p);
void mnuEraseClick(Programmer& p);
void GetID_Cick(Programmer& p);
// "&Test Hardware": the loop-back test and nothing else.
void mnuTestClick(Programmer& p);

// The frame of a settings panel's own commands (lock bits, option and fuse
// bytes): one at a time, the hardware test (skipped for serial devices),
// the tool bar off, the routine, then the status refresh, as for the six
// actions but without their preconditions.
void RunExtraAction(Programmer& p, Routine routine);

// The frame every action runs through: one action at a time, preconditions,
// progress step, hardware test, tool bar off, exactly one routine from
// `registry` for the device's family type code, then the status refresh.
void RunAction(Programmer& p, Action action, const FamilyRegistry& registry = Families());
// The frame of `action` around `routine` instead of the registry's: for the
// commands a family adds beside the six actions (a panel's step button,
// "FastErase").
void RunActionWith(Programmer& p, Action action, Routine routine);

}  // namespace app
