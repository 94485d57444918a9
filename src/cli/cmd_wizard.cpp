// `wizard`: the steps of a device's guided panel that opens with its
// selection (the 29F0x0 sector-unprotect wizard), one after the other. Each
// step shows its board settings and the wires to fit, waits for Enter, and
// runs its operation as the step button would.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/guided_panel.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "cli/board_text.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/report.h"
#include "sim/board.h"
#include "sim/chip.h"

namespace cli {
namespace {

bool Lists(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

void PrintStep(app::Programmer& p, const app::GuidedProcedure& procedure, int index) {
  const app::Controls& c = p.controls;
  const app::GuidedStep& step = procedure.steps[static_cast<size_t>(index)];
  std::printf("\n%s -- %s\n", c.Text(app::kGuidedPanel).c_str(), step.button.c_str());
  const std::string jumper = c.Text("lbJpa18").empty() ? "Vpp" : c.Text("lbJpa18");
  std::printf("Board settings:  switch pattern %d\n%s", p.dev.switch_pattern,
              DrawBoardSettings(app::SwitchPattern(p.dev.switch_pattern), p.dev.board_flag, jumper)
                  .c_str());
  if (step.wiring.empty()) {
    std::printf("Wiring:          none (the socket as usual)\n");
  } else {
    std::string wires;
    for (const std::string& wire : step.wiring) wires += (wires.empty() ? "" : ", ") + wire;
    std::printf("Wiring:          %s\n", wires.c_str());
  }
  std::string boxes;
  for (const std::string& box : step.confirm) {
    boxes += (boxes.empty() ? "" : ", ") + c.Text(box);
  }
  std::printf("Check:           %s\n", boxes.c_str());
  std::fflush(stdout);
}

// On the simulated board the step's wires are in place only when the user
// named them with --sim-jumper; a wire another step asked for comes off.
void FitWiring(Session& s, const app::GuidedProcedure& procedure, const app::GuidedStep& step) {
  sim::Board* board = s.programmer().board();
  sim::Chip* chip = board != nullptr ? board->chip() : nullptr;
  if (chip == nullptr) return;
  const std::vector<std::string>& named = s.options().sim_jumpers;
  for (const app::GuidedStep& any : procedure.steps) {
    for (const std::string& wire : any.wiring) {
      chip->SetJumper(wire, Lists(step.wiring, wire) && Lists(named, wire));
    }
  }
}

// Enter on a terminal; --yes confirms at once.
bool WaitForEnter(const GlobalOptions& g) {
  if (g.yes) return true;
  if (g.no) return false;
  std::fprintf(stderr, "Set the board as shown, then press Enter (Ctrl-D stops) ");
  std::fflush(stderr);
  std::string line;
  return static_cast<bool>(std::getline(std::cin, line));
}

}  // namespace

int CmdWizard(const GlobalOptions& g, const std::string& device) {
  Session s(g);
  if (int rc = s.Select(device)) return s.Finish(rc);
  app::Programmer& p = s.programmer();
  const app::GuidedProcedure* wizard = app::OpenGuided(p);
  if (wizard == nullptr || wizard->steps.empty()) {
    Error("this device has no wizard");
    return s.Finish(kUsage);
  }
  if (!g.yes && !g.no && !isatty(STDIN_FILENO)) {
    Error("the wizard waits for Enter at every step: run it on a terminal, or use --yes");
    return s.Finish(kUsage);
  }
  if (int rc = s.OpenBoard()) return s.Finish(rc);

  const int steps = static_cast<int>(wizard->steps.size());
  int rc = kOk;
  // --json: one object per step run, printed together at the end.
  Json j;
  j.BeginArray();
  for (int done = 0; done < steps && rc == kOk; ++done) {
    const int index = app::GuidedStepIndex(p);
    const app::GuidedStep& step = wizard->steps[static_cast<size_t>(index)];
    const int pattern = p.dev.switch_pattern;
    if (!g.json) PrintStep(p, *wizard, index);
    if (!WaitForEnter(g)) {
      std::fprintf(stderr, "daraz: stopped at step %d of %d\n", index + 1, steps);
      rc = kFailed;
      break;
    }
    FitWiring(s, *wizard, step);
    // The user set the board: tick the step's boxes as in the window.
    for (const std::string& box : step.confirm) p.controls.Check(box);
    app::GuidedConfirmChanged(p);
    s.host().Reset();
    app::btnID_UNClick(p);
    rc = s.ActionResult();
    if (rc != kOk) {
      std::fprintf(stderr, "daraz: step %d of %d failed\n", index + 1, steps);
    }
    if (g.json) {
      std::vector<std::string> boxes;
      for (const std::string& box : step.confirm) boxes.push_back(p.controls.Text(box));
      j.BeginObject()
          .Field("step", index + 1)
          .Field("caption", step.button)
          .Field("switch_pattern", pattern)
          .Field("wiring", step.wiring)
          .Field("check", boxes)
          .Field("result", s.host().last_message())
          .Field("exit", rc)
          .EndObject();
    }
  }
  FitWiring(s, *wizard, app::GuidedStep{});  // every wire off again
  j.EndArray();
  if (g.json) std::printf("%s\n", j.str().c_str());
  return s.Finish(rc);
}

}  // namespace cli
