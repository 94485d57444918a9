#pragma once

// The guided panel gbUnprotect: a procedure of a few steps, each a caption
// on the step button, check boxes the user ticks to confirm the board is
// set up for it, the jumper pictures to look at, and the chip operation the
// button runs. The core keeps the panel's state in the controls; the
// desktop program draws it and the command line asks its steps as
// questions. The W27E/SST27SF erase is a two-step procedure; the sector
// protection tools build longer ones the same way.

#include <string>
#include <utility>
#include <vector>

#include "app/dispatch.h"

namespace app {

class Programmer;

struct GuidedStep {
  std::string button;                // btnID_UN's caption while the step is current
  std::vector<int> pictures;         // jumper pictures shown meanwhile
  std::vector<std::string> confirm;  // check boxes that must all be checked to press it
  Routine operation = nullptr;       // run through the action frame; nullptr: none
};

struct GuidedProcedure {
  std::string caption;  // gbUnprotect
  std::string device;   // pDevID
  // Check boxes with their state when the panel opens, and captions to set.
  std::vector<std::pair<std::string, bool>> boxes;
  std::vector<std::pair<std::string, std::string>> captions;
  std::vector<std::string> hidden;  // controls of the panel this procedure does without
  std::vector<GuidedStep> steps;
  Action frame = Action::kErase;  // the frame each operation runs in
  // The same work without the steps, where there is a command for it
  // ("FastErase"); nullptr: none.
  Routine fast = nullptr;
};

// The controls the panel's state lives in.
inline constexpr char kGuidedPanel[] = "gbUnprotect";
inline constexpr char kGuidedButton[] = "btnID_UN";
// Jumper picture n of the board picture set is the control "imgJumper<n>",
// shown while the current step lists it.
std::string JumperPicture(int n);

// Shows the panel at its first step.
void OpenGuidedPanel(Programmer& p, const GuidedProcedure& procedure);
// A confirmation box changed: the step button is enabled only while every
// box of the current step is checked.
void GuidedConfirmChanged(Programmer& p);
// The step button: runs the current step's operation through the action
// frame (hardware test first, one action at a time, the status refresh
// after), then shows the next step; after the last the panel closes.
void btnID_UNClick(Programmer& p);

// The procedure of the open panel (the family's), nullptr when closed.
const GuidedProcedure* OpenGuided(const Programmer& p);
int GuidedStepIndex(const Programmer& p);
// A step as one line for a front door without the panel: the caption, the
// boxes to confirm and the button, e.g. "Erase CHIP W27C/SST27SFxxx: JP23,
// JP42, DIP SW setting;  Erase Chip".
std::string GuidedStepText(const Programmer& p, const GuidedProcedure& procedure, int step);

}  // namespace app
