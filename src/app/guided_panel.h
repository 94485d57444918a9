#pragma once

// The guided panel gbUnprotect: a procedure of a few steps, each a caption
// on the step button, check boxes the user ticks to confirm the board is
// set up for it, the jumper pictures to look at, and the chip operation the
// button runs. The core keeps the panel's state in the controls; the
// desktop program draws it and the command line asks its steps as
// questions. The W27E/SST27SF erase is a two-step procedure; the 29F0x0
// sector-unprotect wizard a five-step one, each step with its own caption,
// DIP switch pattern and wiring.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/dispatch.h"

namespace app {

class Programmer;

// What the panel does when a step's operation fails.
enum class StepFailure : uint8_t {
  kAdvance,  // shows the next step all the same
  kStay,     // stays on the step, to be pressed again
  kRestart,  // back to the first step
};

struct GuidedStep {
  std::string button;                // btnID_UN's caption while the step is current
  std::vector<int> pictures;         // jumper pictures shown meanwhile
  std::vector<std::string> confirm;  // check boxes that must all be checked to press it
  Routine operation = nullptr;       // run through the action frame; nullptr: none
  std::string caption{};             // gbUnprotect meanwhile; empty: the procedure's
  int switch_pattern = -1;           // DIP switch pattern shown meanwhile; -1: as it is
  // Captions set while the step is current (a box that names the switches).
  std::vector<std::pair<std::string, std::string>> captions{};
  // The hand-fitted wires the step's pictures show, by name (one per
  // picture that needs a wire): what a front door without pictures asks the
  // user to fit, and what the simulated board takes as fitted.
  std::vector<std::string> wiring{};
  StepFailure on_failure = StepFailure::kAdvance;
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
  // Every step clears its boxes: the board is set up anew for each step,
  // so a box ticked for the last one says nothing about this one.
  bool reconfirm = false;
  // After the last step (and when skipping past it): back to the first
  // step instead of closing the panel.
  bool restart_after_last = false;
};

// The controls the panel's state lives in.
inline constexpr char kGuidedPanel[] = "gbUnprotect";
inline constexpr char kGuidedButton[] = "btnID_UN";
// The board picture set has pictures 1..kGuidedPictures.
inline constexpr int kGuidedPictures = 5;
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
// after), then shows the next step (or what the step's failure rule says
// when the operation failed); after the last the panel closes or starts
// over.
void btnID_UNClick(Programmer& p);
// "Skip Step": the next step without touching the chip.
void btskipStepClick(Programmer& p);
// "Reset Step": back to the first step.
void btResetStepClick(Programmer& p);

// The procedure of the open panel (the family's), nullptr when closed.
const GuidedProcedure* OpenGuided(const Programmer& p);
int GuidedStepIndex(const Programmer& p);
// A step as one line for a front door without the panel: the caption, the
// boxes to confirm and the button, e.g. "Erase CHIP W27C/SST27SFxxx: JP23,
// JP42, DIP SW setting;  Erase Chip".
std::string GuidedStepText(const Programmer& p, const GuidedProcedure& procedure, int step);

}  // namespace app
