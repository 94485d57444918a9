#include "app/actions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/dispatch_plan.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "support/sim_session.h"

namespace {

using app::Action;
using daraz_test::SimSession;

constexpr int kFamily = 4;  // a family whose panels leave every command enabled
constexpr const char* kNoHardware = "Hardware Error :  Check Power && connection";
constexpr const char* kSelect = "Please select a Device Type";

// What the routines of the test registry saw.
struct Dispatched {
  Action action;
  int family;
};
std::vector<Dispatched>& Calls() {
  static std::vector<Dispatched> calls;
  return calls;
}
std::function<void(app::Programmer&)>& Inside() {
  static std::function<void(app::Programmer&)> hook;
  return hook;
}
template <Action A>
void Recorder(app::Programmer& p) {
  Calls().push_back({A, p.dev.family});
  if (Inside()) Inside()(p);
}

app::FamilyRegistry RecordingRegistry(int family) {
  app::FamilyRegistry r;
  r.Register(family, Action::kRead, &Recorder<Action::kRead>);
  r.Register(family, Action::kProgram, &Recorder<Action::kProgram>);
  r.Register(family, Action::kVerify, &Recorder<Action::kVerify>);
  r.Register(family, Action::kBlank, &Recorder<Action::kBlank>);
  r.Register(family, Action::kErase, &Recorder<Action::kErase>);
  r.Register(family, Action::kGetId, &Recorder<Action::kGetId>);
  return r;
}

class ActionFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Calls().clear();
    Inside() = nullptr;
    s.InsertRom(0x800);
    s.SelectDevice(kFamily, 0x800);
  }
  void TearDown() override { Inside() = nullptr; }

  void Run(Action action, const app::FamilyRegistry& registry) {
    s.host.Clear();
    app::RunAction(s.p, action, registry);
  }
  // The frame's last step, whatever happened before it.
  void ExpectBackAtRest() {
    EXPECT_FALSE(s.p.busy());
    EXPECT_TRUE(s.p.controls.Enabled("pICON"));
    EXPECT_FALSE(s.p.controls.Visible("pProcess"));
    EXPECT_FALSE(s.host.gauge_visible);
    EXPECT_TRUE(s.PoweredDown());
    if (s.p.dev.family != kFamily) return;  // other families disable commands they lack
    for (const char* command :
         {"mnuRead", "sbRead", "mnuProgram", "sbProgram", "mnuVerify", "sbVerify", "mnuBlank",
          "sbBlank", "mnuErase", "sbErase", "mnuGetID", "sbGetID"}) {
      EXPECT_TRUE(s.p.controls.Enabled(command)) << command;
    }
  }

  SimSession s;
  app::FamilyRegistry registry = RecordingRegistry(kFamily);
};

enum class Situation { kNoDevice, kNothingLoaded, kSerialWithoutBoard, kNoBoard };

struct FrameCase {
  Situation situation;
  Action action;
  const char* message;  // the only message shown; nullptr: none that is an error
  bool dispatched;
};

const FrameCase kFrameCases[] = {
    {Situation::kNoDevice, Action::kRead, kSelect, false},
    {Situation::kNoDevice, Action::kProgram, kSelect, false},
    {Situation::kNoDevice, Action::kVerify, kSelect, false},
    {Situation::kNoDevice, Action::kBlank, nullptr, false},
    {Situation::kNoDevice, Action::kErase, kSelect, false},
    {Situation::kNoDevice, Action::kGetId, nullptr, true},
    {Situation::kNothingLoaded, Action::kRead, nullptr, true},
    {Situation::kNothingLoaded, Action::kProgram, "Please load some information to program", false},
    {Situation::kNothingLoaded, Action::kVerify, "Please load some information to compare against",
     false},
    {Situation::kNothingLoaded, Action::kBlank, nullptr, true},
    {Situation::kNothingLoaded, Action::kErase, nullptr, true},
    {Situation::kNothingLoaded, Action::kGetId, nullptr, true},
    {Situation::kSerialWithoutBoard, Action::kRead, nullptr, true},
    {Situation::kSerialWithoutBoard, Action::kProgram, nullptr, true},
    {Situation::kSerialWithoutBoard, Action::kVerify, nullptr, true},
    {Situation::kSerialWithoutBoard, Action::kBlank, nullptr, true},
    {Situation::kSerialWithoutBoard, Action::kErase, nullptr, true},
    {Situation::kSerialWithoutBoard, Action::kGetId, nullptr, true},
    {Situation::kNoBoard, Action::kRead, kNoHardware, false},
    {Situation::kNoBoard, Action::kProgram, kNoHardware, false},
    {Situation::kNoBoard, Action::kVerify, kNoHardware, false},
    {Situation::kNoBoard, Action::kBlank, nullptr, true},  // no hardware test
    {Situation::kNoBoard, Action::kErase, kNoHardware, false},
    {Situation::kNoBoard, Action::kGetId, kNoHardware, false},
};

TEST_F(ActionFrameTest, PreconditionsAndHardwareTestMatrix) {
  for (const FrameCase& c : kFrameCases) {
    SCOPED_TRACE("situation " + std::to_string(static_cast<int>(c.situation)) + ", action " +
                 std::string(app::ActionName(c.action)));
    SimSession t;
    t.InsertRom(0x800);
    t.SelectDevice(kFamily, 0x800);
    t.p.image.data_end = 0x10;
    switch (c.situation) {
      case Situation::kNoDevice:
        t.SelectDevice(kFamily, 0);
        break;
      case Situation::kNothingLoaded:
        t.p.image.data_end = 0;
        break;
      case Situation::kSerialWithoutBoard:
        t.p.dev.serial = true;
        t.board->SetFault(sim::BoardFault::kNoBoard);
        break;
      case Situation::kNoBoard:
        t.board->SetFault(sim::BoardFault::kNoBoard);
        break;
    }
    Calls().clear();
    t.host.Clear();
    app::RunAction(t.p, c.action, registry);

    ASSERT_EQ(Calls().size(), c.dispatched ? 1u : 0u);
    if (c.dispatched) {
      EXPECT_EQ(Calls()[0].action, c.action);
    }
    const auto messages = t.host.Messages();
    if (c.message != nullptr) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].first, c.message);
      EXPECT_EQ(messages[0].second, hw::kError);
    } else {
      for (const auto& [text, kind] : messages) {
        EXPECT_NE(kind, hw::kError) << text;
      }
    }
    if (c.situation == Situation::kNoDevice && c.action == Action::kBlank) {
      EXPECT_TRUE(messages.empty()) << "a blank check without a device stays silent";
    }
    if (c.situation == Situation::kSerialWithoutBoard) {
      EXPECT_EQ(t.p.hardware_result, 0);
      EXPECT_EQ(t.board->accesses(), 0u) << "a serial device skips the parallel test";
    }
    EXPECT_FALSE(t.p.busy());
    EXPECT_TRUE(t.p.controls.Enabled("pICON"));
    for (const char* command :
         {"mnuRead", "sbRead", "mnuProgram", "sbProgram", "mnuVerify", "sbVerify", "mnuBlank",
          "sbBlank", "mnuErase", "sbErase", "mnuGetID", "sbGetID"}) {
      EXPECT_TRUE(t.p.controls.Enabled(command)) << command;
    }
    EXPECT_FALSE(t.p.controls.Visible("pProcess"));
    EXPECT_FALSE(t.board->pins().power());
  }
}

TEST_F(ActionFrameTest, EmptyCellsSayWhatTheyCannotDo) {
  const app::FamilyRegistry empty;
  struct Expect {
    Action action;
    const char* message;
  };
  const Expect expects[] = {
      {Action::kRead, nullptr},
      {Action::kProgram, nullptr},
      {Action::kVerify, nullptr},
      {Action::kBlank, "Cannot check this Device"},
      {Action::kErase, "Can not or Command Erase this Device"},
      {Action::kGetId, nullptr},
  };
  s.p.image.data_end = 0x10;
  for (int family : {37, 58, 99, -1}) {
    s.p.dev.family = family;
    for (const Expect& e : expects) {
      SCOPED_TRACE("family " + std::to_string(family) + " " +
                   std::string(app::ActionName(e.action)));
      Run(e.action, empty);
      const auto last = s.host.LastMessage();
      if (e.message != nullptr) {
        EXPECT_EQ(last.first, e.message);
        EXPECT_EQ(last.second, hw::kError);
      } else {
        for (const auto& [text, kind] : s.host.Messages()) {
          EXPECT_NE(kind, hw::kError) << text;
        }
      }
      ExpectBackAtRest();
    }
  }
  // Family 38 has no blank check and says nothing about it.
  s.p.dev.family = 38;
  Run(Action::kBlank, empty);
  EXPECT_TRUE(s.host.Messages().empty());
}

TEST_F(ActionFrameTest, APlannedRoutineMissingFromTheBuildIsReported) {
  const app::FamilyRegistry empty;
  s.p.dev.family = 5;  // its program routine is its own
  s.p.image.data_end = 0x10;
  Run(Action::kProgram, empty);
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string("Program is not available for this device"), 1));
  ExpectBackAtRest();
}

TEST_F(ActionFrameTest, WhileARoutineRunsTheSessionIsBusy) {
  s.p.image.data_end = 0x10;
  bool checked = false;
  Inside() = [&](app::Programmer& p) {
    checked = true;
    EXPECT_TRUE(p.busy());
    EXPECT_FALSE(p.controls.Enabled("pICON"));
    // A second action, a selection or a buffer edit is refused, loudly.
    const size_t before = Calls().size();
    app::RunAction(p, Action::kBlank, registry);
    app::mnuTestClick(p);
    EXPECT_EQ(Calls().size(), before);
    const int family = p.dev.family;
    app::SelectDevice(p, app::HandlerId::M27C_Click, app::SelectItem{215, "27C16  (RevK)"});
    EXPECT_EQ(p.dev.family, family);
    EXPECT_NE(p.controls.Text("edDevice"), "27C16  (RevK)");
    EXPECT_TRUE(p.RefuseWhileBusy());
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(app::kBusyMessage), 1));
    EXPECT_EQ(s.host.Count(daraz_test::HostEvent::Type::kMessage), 5u);  // hardware + 4 refusals
  };
  Run(Action::kRead, registry);
  EXPECT_TRUE(checked);
  ExpectBackAtRest();
  EXPECT_FALSE(s.p.RefuseWhileBusy());
  // Free again: the next action runs.
  Inside() = nullptr;
  Run(Action::kBlank, registry);
  EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(ActionFrameTest, ProgressStepAndVerifyFlagPerAction) {
  s.SelectDevice(kFamily, 5000);
  s.p.image.data_end = 1001;
  struct Expect {
    Action action;
    int step;  // 77: InitProgressStep not called
  };
  const Expect expects[] = {{Action::kRead, 5},  {Action::kProgram, 1}, {Action::kVerify, 1},
                            {Action::kBlank, 5}, {Action::kErase, 77},  {Action::kGetId, 77}};
  for (const Expect& e : expects) {
    s.p.progress_step = 77;
    s.p.verify_after_program = 1;
    int seen_step = -1;
    int seen_flag = -1;
    Inside() = [&](app::Programmer& p) {
      seen_step = p.progress_step;
      seen_flag = p.verify_after_program;
    };
    Run(e.action, registry);
    EXPECT_EQ(seen_step, e.step) << app::ActionName(e.action);
    EXPECT_EQ(seen_flag, e.action == Action::kVerify ? 0 : 1) << app::ActionName(e.action);
  }
}

TEST_F(ActionFrameTest, StatusRefreshEndsEveryAction) {
  s.p.image.data_end = 0x10;
  Inside() = [](app::Programmer& p) {
    p.image.device_size = 0x100;  // as a read with a buffer offset leaves it
    p.SetProcessGauge("Reading Chip", 10, app::colour::kBlack);
  };
  Run(Action::kRead, registry);
  EXPECT_EQ(s.p.image.device_size, 0x800u);
  EXPECT_EQ(s.p.controls.Text("edBuffer"), " 0x7FF");
  EXPECT_EQ(s.p.controls.Text("edChecksum"), "0x0000");  // a fresh image is all zero
  EXPECT_TRUE(s.p.dev.board_flag);
  ExpectBackAtRest();
}

TEST_F(ActionFrameTest, GetIdRunsWithoutADevice) {
  s.SelectDevice(kFamily, 0);
  Run(Action::kGetId, registry);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(s.p.controls.Text("edBuffer"), " 0xFFFFFFFF");
  ExpectBackAtRest();
}

TEST_F(ActionFrameTest, HardwareTestMenu) {
  app::mnuTestClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Hardware present "), 2));
  s.board->SetFault(sim::BoardFault::kNoBoard);
  app::mnuTestClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(kNoHardware), 1));
  EXPECT_TRUE(Calls().empty());
  EXPECT_FALSE(s.p.busy());
}

TEST_F(ActionFrameTest, MenuHandlersDispatchThroughTheBuiltInTable) {
  // Family 4's blank check is the default one, whatever else is built.
  s.host.Clear();
  app::mnuBlankClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device is Empty"), 2));
  ExpectBackAtRest();
}

}  // namespace
