// The commands of the families that go beyond the six actions: the guided
// erase of the electrically erasable EPROMs (its steps asked as questions,
// or "FastErase" with --yes) and the RAM test.
#include <unistd.h>

#include <cstdio>

#include "app/actions.h"
#include "app/family_codes.h"
#include "app/guided_panel.h"
#include "app/programmer.h"
#include "cli/commands.h"

namespace cli {
namespace {

// One routine on the session's programmer, as RunAction in cmd_chip does it.
template <typename Fn>
int Run(Session& s, Fn&& fn) {
  app::Programmer& p = s.programmer();
  s.host().Reset();
  p.error = 0;
  fn(p);
  return s.ActionResult();
}

}  // namespace

int RunGuidedErase(Session& s, const app::GuidedProcedure& procedure) {
  const GlobalOptions& g = s.options();
  if (g.yes && procedure.fast != nullptr) {
    // "FastErase": the whole erase, no steps.
    return Run(s, [&procedure](app::Programmer& p) {
      app::RunActionWith(p, procedure.frame, procedure.fast);
    });
  }
  int rc = Run(s, app::mnuEraseClick);  // opens the panel after the hardware test
  app::Programmer& p = s.programmer();
  while (rc == kOk) {
    const app::GuidedProcedure* open = app::OpenGuided(p);
    if (open == nullptr) break;
    const int step = app::GuidedStepIndex(p);
    const std::string question = app::GuidedStepText(p, *open, step);
    if (!s.host().Ask(question)) {
      if (!s.host().refused()) {
        std::fprintf(stderr, "daraz: stopped at step %d of %zu\n", step + 1, open->steps.size());
      }
      p.controls.Show(app::kGuidedPanel, false);
      return s.host().refused() ? kUsage : kFailed;
    }
    // The user confirmed the board: tick the step's boxes as in the window.
    for (const std::string& box : open->steps[step].confirm) p.controls.Check(box);
    app::GuidedConfirmChanged(p);
    rc = Run(s, app::btnID_UNClick);
  }
  return rc;
}

bool GuidedUnanswerable(const Session& s, const app::GuidedProcedure& procedure) {
  const GlobalOptions& g = s.options();
  if (g.yes && procedure.fast != nullptr) return false;
  return !g.yes && !g.no && !isatty(STDIN_FILENO);
}

int CmdRamTest(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = s.Select(args.device)) return s.Finish(rc);
  if (s.programmer().dev.family != app::kStaticRamFamily) {
    std::fprintf(stderr, "daraz: %s is not a static RAM; ramtest tests static RAM only\n",
                 args.device.c_str());
    return s.Finish(kUsage);
  }
  if (int rc = s.ApplyActionOptions(args.action)) return s.Finish(rc);
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  return s.Finish(Run(s, app::mnuProgramClick));
}

}  // namespace cli
