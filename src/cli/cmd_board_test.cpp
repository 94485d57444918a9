// `board-test`: the automatic checks of an empty board, then a guided walk
// over every line the board drives into the selected device's socket.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/board_test.h"
#include "app/programmer.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "sim/board.h"

namespace cli {
namespace {

enum class Reply { kPass, kFail, kSkip, kStop };

// The builder's answer from the terminal (or a pipe): p, f, s; q or the
// end of input stops.
Reply ReadReply() {
  for (;;) {
    std::fprintf(stderr, "pass, fail or skip? [p/f/s, q stops] ");
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line) || Interrupted()) return Reply::kStop;
    const char c = line.empty() ? '\0' : line[0];
    if (c == 'p' || c == 'P') return Reply::kPass;
    if (c == 'f' || c == 'F') return Reply::kFail;
    if (c == 's' || c == 'S') return Reply::kSkip;
    if (c == 'q' || c == 'Q') return Reply::kStop;
  }
}

struct StepResult {
  const app::BoardStep* step;
  app::StepAnswer answer;
};

}  // namespace

int CmdBoardTest(const GlobalOptions& g, const std::string& device, bool automatic_only) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  app::Programmer& p = s.programmer();
  const bool simulated = g.port == "sim";
  if (!simulated && !s.host().Ask("Take every chip out of the socket. Is the socket empty")) {
    if (!s.host().refused()) Error("the board test needs an empty socket");
    return s.Finish(s.host().refused() ? kUsage : kFailed);
  }
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  sim::Board* board = p.board();
  // The simulated socket is emptied for the test and filled again after it.
  std::unique_ptr<sim::Chip> kept = board != nullptr ? board->RemoveChip() : nullptr;
  const auto finish = [&](int rc) {
    if (kept) board->InsertChip(std::move(kept));
    return s.Finish(rc);
  };
  const bool say = !g.json && !g.quiet;

  const app::AutoBoardResult automatic = app::RunAutoBoardTest(p);
  if (say) {
    std::printf("Automatic part (socket empty):\n");
    for (const std::string& f : automatic.findings) std::printf("  finding: %s\n", f.c_str());
    if (automatic.findings.empty()) {
      std::printf("  loop-back and data bits 0, 3, 4, 5, 6, 7: nothing found\n");
    }
    std::printf(
        "  data bits 1 and 2 load and clock the read register: the guided part checks "
        "them\n");
  }
  Json j;
  j.BeginObject().Field("automatic", automatic.findings);
  if (automatic_only) {
    if (g.json) std::printf("%s\n", j.EndObject().str().c_str());
    return finish(automatic.findings.empty() ? kOk : kFailed);
  }

  const sim::PinMap map = app::SelectedPinMap(p);
  if (map.empty()) {
    Error(
        "the guided part knows no pin map for this device's package (it covers the 24-, 28- "
        "and 32-pin parts and the serial socket)");
    return finish(kFailed);
  }
  const std::vector<app::BoardStep> steps = app::GuidedBoardSteps(map);
  if (say) {
    std::printf("Guided part, %s in its %s socket: %zu steps%s\n", device.c_str(),
                map.package.c_str(), steps.size(),
                simulated ? " (the simulated board answers)" : "");
  }
  std::vector<StepResult> results;
  bool stopped = false;
  for (size_t i = 0; i < steps.size() && !stopped; ++i) {
    const app::BoardStep& step = steps[i];
    if (Interrupted()) {
      stopped = true;
      break;
    }
    if (say) {
      std::printf("Step %zu/%zu: %s: %s\n", i + 1, steps.size(), step.title.c_str(),
                  step.expect.c_str());
      std::fflush(stdout);
    }
    if (step.needs_empty_socket() &&
        !(simulated ? g.yes : s.host().Ask("Vpp comes on next. Is the socket empty"))) {
      if (say) std::printf("  skipped: Vpp needs the confirmation that the socket is empty\n");
      results.push_back({&step, app::StepAnswer::kSkip});
      continue;
    }
    app::DriveBoardStep(p, step);
    Reply reply = Reply::kStop;
    if (board != nullptr) {
      const app::StepAnswer answer = app::SimulatedAnswer(*board, map, step);
      reply = answer == app::StepAnswer::kPass ? Reply::kPass : Reply::kFail;
    } else {
      reply = ReadReply();
    }
    app::EndBoardStep(p);
    if (reply == Reply::kStop) {
      stopped = true;
      break;
    }
    const app::StepAnswer answer = reply == Reply::kPass   ? app::StepAnswer::kPass
                                   : reply == Reply::kFail ? app::StepAnswer::kFail
                                                           : app::StepAnswer::kSkip;
    if (say && board != nullptr) std::printf("  %s\n", app::AnswerName(answer));
    results.push_back({&step, answer});
  }

  int failed = 0, passed = 0, skipped = 0;
  std::vector<std::string> failures;
  j.Field("package", map.package).BeginArray("steps");
  for (const StepResult& r : results) {
    j.BeginObject()
        .Field("step", r.step->title)
        .Field("pin", r.step->pin.pin)
        .Field("name", r.step->pin.name)
        .Field("level", r.step->level ? "high" : "low")
        .Field("result", app::AnswerName(r.answer))
        .EndObject();
    switch (r.answer) {
      case app::StepAnswer::kPass:
        ++passed;
        break;
      case app::StepAnswer::kSkip:
        ++skipped;
        break;
      case app::StepAnswer::kFail:
        ++failed;
        failures.push_back(r.step->title + " (" + r.step->expect +
                           "): likely cause: " + app::LikelyCause(*r.step));
        break;
    }
  }
  j.EndArray().Field("failures", failures).Field("stopped", stopped).EndObject();
  if (g.json) {
    std::printf("%s\n", j.str().c_str());
  } else if (say) {
    std::printf("Summary: %d passed, %d failed, %d skipped%s\n", passed, failed, skipped,
                stopped ? ", stopped before the end" : "");
    for (const std::string& f : failures) std::printf("  failed: %s\n", f.c_str());
  }
  if (stopped) Error("board test stopped; the board is at rest");
  const bool bad = stopped || failed > 0 || !automatic.findings.empty();
  return finish(bad ? kFailed : kOk);
}

}  // namespace cli
