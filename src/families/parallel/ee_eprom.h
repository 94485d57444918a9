#pragma once

// Electrically erasable EPROMs: W27E/W27C, SST27SF and MX26C4000 (family 23:
// the 27C read, verify and program, with a high-voltage erase through the
// guided panel), MX26C1000/2000 (family 30: program and erase by command)
// and SST37VF (family 48: single-pulse program, high-voltage erase with
// jumper prompts).

#include "app/dispatch.h"
#include "app/guided_panel.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterEeEprom(app::FamilyRegistry& registry);

namespace ee_eprom {

// The erase-and-check loop: up to 20 erase pulses, each followed by a blank
// check of the whole part.
void HighVoltageErase(app::Programmer& p);
// Family 23's erase action: opens the guided erase panel.
void OpenErasePanel(app::Programmer& p);
// The two steps of the guided erase (gbUnprotect).
const app::GuidedProcedure& W27EErase();
// "FastErase" (TEST27c_ERASEClick): the erase without the panel, through
// the action frame. The image is left alone.
void TEST27c_ERASEClick(app::Programmer& p);
// Family 48's erase action: the erase between two jumper prompts.
void EraseWithPrompts(app::Programmer& p);
// Family 48's program action: one pulse per byte, then the verify.
void ProgramSst37(app::Programmer& p);
// Family 30's program and erase actions (MX26C1000/2000 command set).
void ProgramMx26(app::Programmer& p);
void EraseMx26(app::Programmer& p);

inline constexpr char kFirstPrompt[] =
    " 1. Setting Jumper for Erase W27Exxx \n 2. Setting Vpe(Vpp) \n     12.75V for SST37VFxxx\n";
inline constexpr char kSecondPrompt[] = " Move Jumper for erase W27Exxx \n and Setting Vpp 12.75V ";

}  // namespace ee_eprom
}  // namespace families
