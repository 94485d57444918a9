#include "app/guided_panel.h"

#include <algorithm>

#include "app/actions.h"
#include "app/programmer.h"
#include "app/selection.h"

namespace app {
namespace {

template <typename T>
bool Lists(const std::vector<T>& list, const T& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

int StepCount(const GuidedProcedure& procedure) { return static_cast<int>(procedure.steps.size()); }

void ShowStep(Programmer& p, const GuidedProcedure& procedure, int index) {
  Controls& c = p.controls;
  const GuidedStep& step = procedure.steps[index];
  c[kGuidedPanel].index = index;
  c.SetText(kGuidedPanel, step.caption.empty() ? procedure.caption : step.caption);
  c.SetText(kGuidedButton, step.button);
  for (const auto& [name, caption] : step.captions) c.SetText(name, caption);
  // Only the step's pictures; every box the procedure uses shown while
  // this step asks for it (a box only one step wants, such as the OE/CE
  // short, is not there to confuse the others).
  for (int n = 1; n <= kGuidedPictures; ++n) c.Show(JumperPicture(n), Lists(step.pictures, n));
  for (const GuidedStep& any : procedure.steps) {
    for (const std::string& box : any.confirm) c.Show(box, Lists(step.confirm, box));
  }
  if (procedure.reconfirm) {
    for (const std::string& box : step.confirm) c.Check(box, false);
  }
  if (step.switch_pattern >= 0) ShowSwitchSettings(p, step.switch_pattern);
  GuidedConfirmChanged(p);
}

// The step after `index`: the next one, or past the last the first again
// (or -1: the panel closes).
int Next(const GuidedProcedure& procedure, int index) {
  if (index + 1 < StepCount(procedure)) return index + 1;
  return procedure.restart_after_last ? 0 : -1;
}

void Show(Programmer& p, const GuidedProcedure& procedure, int index) {
  if (index < 0) {
    p.controls.Show(kGuidedPanel, false);
  } else {
    ShowStep(p, procedure, index);
  }
  p.host.ControlsChanged();
}

bool CurrentStep(const Programmer& p, const GuidedProcedure*& procedure, int& index) {
  procedure = OpenGuided(p);
  if (procedure == nullptr) return false;
  index = GuidedStepIndex(p);
  return index >= 0 && index < StepCount(*procedure);
}

}  // namespace

std::string JumperPicture(int n) { return "imgJumper" + std::to_string(n); }

const GuidedProcedure* OpenGuided(const Programmer& p) {
  if (!p.controls.Visible(kGuidedPanel)) return nullptr;
  return Families().FindGuided(p.dev.family);
}

int GuidedStepIndex(const Programmer& p) { return p.controls.Index(kGuidedPanel); }

void OpenGuidedPanel(Programmer& p, const GuidedProcedure& procedure) {
  Controls& c = p.controls;
  c.SetText("pDevID", procedure.device);
  // The panel's own controls come back, whatever the last procedure hid.
  for (const char* name : {"cbJP23", "cbJP42", "cbDIPSW", "cbOECE", "btResetStep", "btskipStep"}) {
    c.Show(name);
  }
  for (const auto& [box, checked] : procedure.boxes) c.Check(box, checked);
  for (const auto& [name, caption] : procedure.captions) c.SetText(name, caption);
  for (const std::string& name : procedure.hidden) c.Show(name, false);
  c.SetText(kGuidedPanel, procedure.caption);
  c.Show(kGuidedPanel);
  if (!procedure.steps.empty()) ShowStep(p, procedure, 0);
  p.host.ControlsChanged();
}

void GuidedConfirmChanged(Programmer& p) {
  const GuidedProcedure* procedure = Families().FindGuided(p.dev.family);
  const int index = GuidedStepIndex(p);
  if (procedure == nullptr || index < 0 || index >= StepCount(*procedure)) return;
  bool all = true;
  for (const std::string& box : procedure->steps[index].confirm) {
    all = all && p.controls.Checked(box);
  }
  p.controls.Enable(kGuidedButton, all);
  p.host.ControlsChanged();
}

void btnID_UNClick(Programmer& p) {
  const GuidedProcedure* procedure = nullptr;
  int index = 0;
  if (!CurrentStep(p, procedure, index) || !p.controls.Enabled(kGuidedButton)) return;
  const GuidedStep& step = procedure->steps[index];
  bool failed = false;
  if (step.operation != nullptr) {
    // The step's own result decides, not what an earlier action left.
    p.error = 0;
    p.hardware_result = 0;
    RunActionWith(p, procedure->frame, step.operation);
    failed = p.error != 0 || p.hardware_result == 1;
  }
  int next = Next(*procedure, index);
  if (failed && step.on_failure == StepFailure::kStay) next = index;
  if (failed && step.on_failure == StepFailure::kRestart) next = 0;
  Show(p, *procedure, next);
}

void btskipStepClick(Programmer& p) {
  const GuidedProcedure* procedure = nullptr;
  int index = 0;
  if (!CurrentStep(p, procedure, index)) return;
  Show(p, *procedure, Next(*procedure, index));
}

void btResetStepClick(Programmer& p) {
  const GuidedProcedure* procedure = nullptr;
  int index = 0;
  if (!CurrentStep(p, procedure, index)) return;
  Show(p, *procedure, 0);
}

std::string GuidedStepText(const Programmer& p, const GuidedProcedure& procedure, int step) {
  const GuidedStep& s = procedure.steps[step];
  std::string text = p.controls.Text(kGuidedPanel) + ":";
  std::string boxes;
  for (const std::string& box : s.confirm) {
    const std::string caption = p.controls.Text(box);
    boxes += (boxes.empty() ? " " : ", ") + (caption.empty() ? box : caption);
  }
  return text + boxes + ";" + s.button;
}

}  // namespace app
