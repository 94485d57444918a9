#include "app/actions.h"

#include <array>
#include <string>

#include "app/dispatch_plan.h"
#include "app/programmer.h"
#include "app/winstat.h"

namespace app {
namespace {

enum class SizeCheck { kMessage, kSilent, kNone };
enum class StepCount { kDeviceSize, kDataEnd, kNone };

// How the actions differ inside the common frame.
struct Frame {
  SizeCheck size_check;
  const char* no_data;      // message when nothing is loaded; nullptr: not checked
  StepCount progress_step;  // what InitProgressStep counts
  bool hardware_test;
  const char* no_routine;  // message for a family without this action; nullptr: silent
};

constexpr std::array<Frame, kActionCount> kFrames{{
    /* Read */ {SizeCheck::kMessage, nullptr, StepCount::kDeviceSize, true, nullptr},
    /* Program */
    {SizeCheck::kMessage, "Please load some information to program", StepCount::kDataEnd, true,
     nullptr},
    /* Verify */
    {SizeCheck::kMessage, "Please load some information to compare against", StepCount::kDataEnd,
     true, nullptr},
    /* Blank */
    {SizeCheck::kSilent, nullptr, StepCount::kDeviceSize, false, "Cannot check this Device"},
    /* Erase */
    {SizeCheck::kMessage, nullptr, StepCount::kNone, true, "Can not or Command Erase this Device"},
    /* Get ID: identification works without a device chosen */
    {SizeCheck::kNone, nullptr, StepCount::kNone, true, nullptr},
}};

// A settings panel's own command (lock bits, option and fuse bytes): the
// hardware test and the routine, none of the six actions' preconditions.
constexpr Frame kExtraFrame{SizeCheck::kNone, nullptr, StepCount::kNone, true, nullptr};

// Keeps the session claimed for exactly the frame's lifetime.
class ActionClaim {
 public:
  explicit ActionClaim(Programmer& p) : p_(p), held_(p.BeginAction()) {}
  ~ActionClaim() {
    if (held_) p_.EndAction();
  }
  ActionClaim(const ActionClaim&) = delete;
  ActionClaim& operator=(const ActionClaim&) = delete;
  bool held() const { return held_; }

 private:
  Programmer& p_;
  bool held_;
};

// Steps 1 to 5; a failed precondition or hardware test ends it early.
// `routine` replaces the registry's when given.
void Dispatch(Programmer& p, Action action, const Frame& frame, const FamilyRegistry& registry,
              Routine routine) {
  const image::MemoryImage& img = p.image;
  if (frame.size_check != SizeCheck::kNone && img.device_size == 0) {
    if (frame.size_check == SizeCheck::kMessage) {
      p.Message("Please select a Device Type", hw::kError);
    }
    return;
  }
  if (frame.no_data != nullptr && img.data_end == 0) {
    p.Message(frame.no_data, hw::kError);
    return;
  }
  if (frame.progress_step == StepCount::kDeviceSize) p.InitProgressStep(img.device_size);
  if (frame.progress_step == StepCount::kDataEnd) p.InitProgressStep(img.data_end);

  if (frame.hardware_test) {
    p.hardware_result = p.dev.serial ? 0 : p.bus.CheckHardware();
    if (p.hardware_result == 1) return;  // the test has said why
  } else {
    p.hardware_result = 0;
  }

  p.controls.Enable("pICON", false);
  p.host.ControlsChanged();
  if (action == Action::kVerify) p.verify_after_program = 0;

  const int family = p.dev.family;
  if (routine == nullptr) routine = registry.Find(family, action);
  if (routine != nullptr) {
    routine(p);
    return;
  }
  const PlanCell cell = PlannedCell(family, action);
  if (PlansRoutine(cell)) {
    // A routine the device should have is missing from this build: say so
    // rather than appear to do nothing.
    p.Message(std::string(ActionName(action)) + " is not available for this device", hw::kError);
  } else if (cell.kind != CellKind::kNoneSilent && frame.no_routine != nullptr) {
    p.Message(frame.no_routine, hw::kError);
  }
}

void RunFrame(Programmer& p, Action action, const Frame& frame, const FamilyRegistry& registry,
              Routine routine) {
  const ActionClaim claim(p);
  if (!claim.held()) return;  // another action runs; it keeps the tool bar
  Dispatch(p, action, frame, registry, routine);
  // Step 6, on every path.
  p.host.HideGauge();
  p.controls.Show("pProcess", false);
  p.controls.Enable("pICON");
  winstat(p);
}

}  // namespace

void RunAction(Programmer& p, Action action, const FamilyRegistry& registry) {
  RunFrame(p, action, kFrames[static_cast<int>(action)], registry, nullptr);
}

void RunActionWith(Programmer& p, Action action, Routine routine) {
  RunFrame(p, action, kFrames[static_cast<int>(action)], Families(), routine);
}

void RunExtraAction(Programmer& p, Routine routine) {
  // The action only matters to the frame when no routine is given, or for a
  // verify: identification stands for "neither" here.
  RunFrame(p, Action::kGetId, kExtraFrame, Families(), routine);
}

void mnuReadClick(Programmer& p) { RunAction(p, Action::kRead); }
void mnuProgramClick(Programmer& p) { RunAction(p, Action::kProgram); }
void mnuVerifyClick(Programmer& p) { RunAction(p, Action::kVerify); }
void mnuBlankClick(Programmer& p) { RunAction(p, Action::kBlank); }
void mnuEraseClick(Programmer& p) { RunAction(p, Action::kErase); }
void GetID_Cick(Programmer& p) { RunAction(p, Action::kGetId); }

void mnuTestClick(Programmer& p) {
  const ActionClaim claim(p);
  if (!claim.held()) return;
  p.bus.CheckHardware();
}

}  // namespace app
