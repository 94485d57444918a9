// The board test against the simulated board: a good board passes, each
// wiring fault is named by the part that can see it, every guided step
// drives one line on the pin the chip model has for it, and every step ends
// at rest.
#include "app/board_test.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/handler_id.h"
#include "app/selection.h"
#include "support/sim_session.h"

namespace {

using app::BoardStep;
using app::BoardStepKind;
using daraz_test::SimSession;

struct Package {
  app::HandlerId handler;
  int tag;
  const char* caption;
  const char* package;
  size_t steps;
  // Pins by hand from the parts' datasheets.
  std::vector<std::pair<std::string, int>> pins;  // step title -> package pin
};

const Package kPackages[] = {
    {app::HandlerId::M27C_Click,
     204,
     "27C256",
     "DIP28",
     15 + 8 + 4,
     {{"Address line A0", 10},
      {"Address line A7", 3},
      {"Address line A8", 25},
      {"Address line A12", 2},
      {"Address line A14", 27},
      {"Data bit 0", 11},
      {"Data bit 3", 15},
      {"Data bit 7", 19},
      {"Vcc to the socket", 28},
      {"Program line active", 20},
      {"Program line at read level", 20},
      {"Vpp (socket empty)", 1}}},
    {app::HandlerId::M29F_Click,
     107,
     "29F040",
     "DIP32",
     19 + 8 + 3,
     {{"Address line A0", 12},
      {"Address line A15", 3},
      {"Address line A17", 30},
      {"Address line A18", 1},
      {"Data bit 2", 15},
      {"Data bit 3", 17},
      {"Vcc to the socket", 32},
      {"Program line active", 31}}},
    {app::HandlerId::M24C_Click,
     202,
     "24C02",
     "DIP8",
     2 + 1 + 2,
     {{"Data bit 0", 5}, {"Data bit 1", 6}, {"Vcc to the socket", 8}, {"Program line active", 7}}},
};

struct Fixture {
  SimSession s;
  explicit Fixture(const Package& pkg) {
    app::SelectDevice(s.p, pkg.handler, {pkg.tag, pkg.caption});
  }
};

TEST(BoardTest, EveryStepDrivesOneLineOnTheModelsPinAndEndsAtRest) {
  for (const Package& pkg : kPackages) {
    SCOPED_TRACE(pkg.caption);
    Fixture f(pkg);
    const sim::PinMap map = app::SelectedPinMap(f.s.p);
    EXPECT_EQ(map.package, pkg.package);
    const std::vector<BoardStep> steps = app::GuidedBoardSteps(map);
    ASSERT_EQ(steps.size(), pkg.steps);
    for (const auto& [title, pin] : pkg.pins) {
      bool found = false;
      for (const BoardStep& step : steps) {
        if (step.title == title) {
          EXPECT_EQ(step.pin.pin, pin) << title;
          found = true;
        }
      }
      EXPECT_TRUE(found) << title;
    }
    for (const BoardStep& step : steps) {
      SCOPED_TRACE(step.title);
      app::DriveBoardStep(f.s.p, step);
      const sim::SocketSignals signals = f.s.board->Signals();
      const sim::Pins& pins = f.s.board->pins();
      std::set<int> active;
      for (const sim::SocketPin& pin : map.pins) {
        if (pin.line == sim::BoardLine::kVcc) {
          EXPECT_TRUE(sim::LineActive(signals, pins, pin.line, pin.index));
        } else if (sim::LineActive(signals, pins, pin.line, pin.index)) {
          active.insert(pin.pin);
        }
      }
      const bool one_line =
          step.kind != BoardStepKind::kVcc && step.kind != BoardStepKind::kProgramIdle;
      EXPECT_EQ(active, one_line ? std::set<int>{step.pin.pin} : std::set<int>{});
      EXPECT_EQ(app::SimulatedAnswer(*f.s.board, map, step), app::StepAnswer::kPass);
      app::EndBoardStep(f.s.p);
      EXPECT_EQ(f.s.board->RestState(), sim::kAtRest);
    }
    EXPECT_EQ(f.s.board->violations(), std::vector<std::string>{});
  }
}

TEST(BoardTest, AGoodBoardHasNoFindingsAndTheLoopBackIsCheckedBothWays) {
  Fixture f(kPackages[0]);
  const app::AutoBoardResult good = app::RunAutoBoardTest(f.s.p);
  EXPECT_EQ(good.findings, std::vector<std::string>{});
  EXPECT_EQ(good.data_bits_checked, (std::vector<int>{0, 3, 4, 5, 6, 7}));
  EXPECT_EQ(f.s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(f.s.board->violations(), std::vector<std::string>{});

  for (const auto fault : {sim::BoardFault::kLoopStuck0, sim::BoardFault::kLoopStuck1,
                           sim::BoardFault::kLoopInverted}) {
    f.s.board->SetFault(fault);
    const app::AutoBoardResult r = app::RunAutoBoardTest(f.s.p);
    ASSERT_FALSE(r.findings.empty());
    EXPECT_NE(r.findings[0].find("loop-back"), std::string::npos) << r.findings[0];
    EXPECT_NE(r.findings[0].find("pin 2 and its pin 11"), std::string::npos) << r.findings[0];
  }
}

// Each injected wiring fault: what the automatic part says, and which
// guided steps fail.
TEST(BoardTest, EachWiringFaultIsNamedWithItsLine) {
  struct Case {
    sim::BoardFault fault;
    int arg1, arg2;
    std::vector<std::string> findings;
    std::vector<std::string> failed_steps;
  };
  const Case cases[] = {
      {sim::BoardFault::kSwap,
       3,
       5,
       {"data bit 3 reads as bit 5: check the wiring between the port's pin 5 and the read "
        "register",
        "data bit 5 reads as bit 3: check the wiring between the port's pin 7 and the read "
        "register"},
       {"Data bit 3", "Data bit 5"}},
      {sim::BoardFault::kStuckRead,
       4,
       1,
       {"read register bit 4 reads 1 with nothing driven on it: check that input of the read "
        "register for a short to +5 V"},
       {}},
      {sim::BoardFault::kStuckRead,
       6,
       0,
       {"data bit 6 does not reach the read register: check the wiring between the port's pin 8 "
        "and the read register"},
       {}},
      {sim::BoardFault::kDeadLine, 7, 0, {}, {"Address line A7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg1);
    Fixture f(kPackages[0]);
    f.s.board->SetFault(c.fault, c.arg1, c.arg2);
    EXPECT_EQ(app::RunAutoBoardTest(f.s.p).findings, c.findings);
    const sim::PinMap map = app::SelectedPinMap(f.s.p);
    std::vector<std::string> failed;
    for (const BoardStep& step : app::GuidedBoardSteps(map)) {
      app::DriveBoardStep(f.s.p, step);
      if (app::SimulatedAnswer(*f.s.board, map, step) == app::StepAnswer::kFail) {
        failed.push_back(step.title);
      }
      app::EndBoardStep(f.s.p);
    }
    EXPECT_EQ(failed, c.failed_steps);
    EXPECT_EQ(f.s.board->RestState(), sim::kAtRest);
  }
}

TEST(BoardTest, AFailedStepSaysWhereToLook) {
  Fixture f(kPackages[0]);
  const std::vector<BoardStep> steps = app::GuidedBoardSteps(app::SelectedPinMap(f.s.p));
  EXPECT_EQ(steps[7].expect, "pin 3 (A7) high; every other address and data pin low");
  EXPECT_EQ(app::LikelyCause(steps[7]),
            "the wire from shift register output A7 to socket pin 3 (A7), or that shift register "
            "(serial input: data bit 1, the port's pin 3)");
  EXPECT_EQ(app::LikelyCause(steps.back()),
            "the Vpp switch on control bit 0 (the port's pin 1), the Vpp supply, or the switch "
            "that routes it to socket pin 1 (VPP)");
}

}  // namespace
