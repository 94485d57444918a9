#include "app/guided_panel.h"

#include "app/actions.h"
#include "app/programmer.h"

namespace app {
namespace {

bool Lists(const GuidedStep& step, int picture) {
  for (const int n : step.pictures) {
    if (n == picture) return true;
  }
  return false;
}

void ShowStep(Programmer& p, const GuidedProcedure& procedure, int index) {
  Controls& c = p.controls;
  const GuidedStep& step = procedure.steps[index];
  c[kGuidedPanel].index = index;
  c.SetText(kGuidedButton, step.button);
  // Every picture the procedure uses: shown while this step lists it.
  for (const GuidedStep& any : procedure.steps) {
    for (const int n : any.pictures) c.Show(JumperPicture(n), Lists(step, n));
  }
  GuidedConfirmChanged(p);
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
  if (procedure == nullptr || index < 0 || index >= static_cast<int>(procedure->steps.size())) {
    return;
  }
  bool all = true;
  for (const std::string& box : procedure->steps[index].confirm) {
    all = all && p.controls.Checked(box);
  }
  p.controls.Enable(kGuidedButton, all);
  p.host.ControlsChanged();
}

void btnID_UNClick(Programmer& p) {
  const GuidedProcedure* procedure = OpenGuided(p);
  if (procedure == nullptr || !p.controls.Enabled(kGuidedButton)) return;
  const int index = GuidedStepIndex(p);
  if (index < 0 || index >= static_cast<int>(procedure->steps.size())) return;
  const GuidedStep& step = procedure->steps[index];
  if (step.operation != nullptr) RunActionWith(p, procedure->frame, step.operation);
  const int next = index + 1;
  if (next < static_cast<int>(procedure->steps.size())) {
    ShowStep(p, *procedure, next);
  } else {
    p.controls.Show(kGuidedPanel, false);
  }
  p.host.ControlsChanged();
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
