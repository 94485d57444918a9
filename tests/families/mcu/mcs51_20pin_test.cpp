// The AT89Cx051 parts end to end: the internal counter, the adapter's
// wiring, the write retries and the lock bits.
#include <cstdlib>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/option_keys.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcs51_fixture.h"

namespace daraz_test {
namespace {

using Strings = std::vector<std::string>;
using Kind = sim::Mcs51Chip::StrobeKind;

// The AT89C2051's write cycle runs at most 2.0 ms; the routine reads back
// 2200 ticks (1.84 ms) after the pulse and the read set-up.
const Strings kReadBeforeTwc{"byte read sooner than tWC after its write"};

constexpr uint32_t kWrite = 0x40380;

std::vector<sim::Mcs51Chip::Event> ProgEvents(const sim::Mcs51Chip& chip, uint32_t latch) {
  std::vector<sim::Mcs51Chip::Event> out;
  for (const auto& e : chip.events()) {
    if (e.kind == Kind::kProg && e.latch == latch) out.push_back(e);
  }
  return out;
}

TEST(At89c2051, EraseBlankProgramVerifyReadThroughTheWiring) {
  Mcs51Session s;
  s.Select20(3);
  s.chip->SetContents(std::vector<uint8_t>(2048, 0x00));
  s.Erase();
  EXPECT_EQ(s.Cells(), std::vector<uint8_t>(2048, 0xFF));
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");
  const std::vector<uint8_t> data = s.LoadRandom(2048);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Verify OK", 2));
  EXPECT_EQ(s.host.LastMessage(), (std::pair<std::string, int>{"Device Programmed OK", 2}));
  EXPECT_EQ(s.Cells(), data);
  s.LoadRandom(2048, 7);  // something else in the image
  s.Read();
  EXPECT_EQ(s.Last(), "Device Read OK");
  const auto gauges = s.host.Of(HostEvent::Type::kShowGauge);
  ASSERT_EQ(gauges.size(), 1u);
  EXPECT_EQ(gauges[0].text, "READ chip");
  EXPECT_EQ(gauges[0].value, 2048);
  EXPECT_EQ(gauges[0].colour, 0x8000u);
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data(), s.p.image.data() + 2048), data);
  EXPECT_EQ(s.p.image.data_end, 2048u);
  EXPECT_EQ(s.Violations(), kReadBeforeTwc);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c2051, APulseTimingThatTheChipDependsOn) {
  Mcs51Session s;
  s.Select20(3);
  s.chip->RecordEvents(true);
  s.Load({0x5A, 0xA5});
  s.Program();
  const auto& events = s.chip->events();
  ASSERT_FALSE(events.empty());
  // EnterMode: RST high for two waits of 30000 ticks.
  EXPECT_EQ(events[0].kind, Kind::kReset);
  EXPECT_NEAR(events[0].width_ns, Ticks(60000), 2000);
  // Each byte: one PROG pulse of tWP = 80 ticks in the write mode with
  // 12 V, then one XTAL1 pulse of 10 ticks.
  // The pass goes one byte past the data: three bytes.
  const auto writes = ProgEvents(*s.chip, kWrite);
  ASSERT_EQ(writes.size(), 3u);
  for (const auto& w : writes) {
    EXPECT_NEAR(w.width_ns, Ticks(80), 2000);
    EXPECT_TRUE(w.vpp);
  }
  EXPECT_EQ(writes[0].data, 0x5A);
  EXPECT_EQ(writes[0].counter, 0u);
  EXPECT_EQ(writes[1].counter, 1u);
  EXPECT_EQ(writes[2].counter, 2u);
  // NextAddress pulses XTAL1 for 10 ticks (the verify's ending adds a
  // short one of its own, which only moves the counter).
  int increments = 0;
  for (const auto& e : events) {
    if (e.kind == Kind::kIncrement && std::abs(e.width_ns - Ticks(10)) < 2000) ++increments;
  }
  EXPECT_GE(increments, 3);
}

TEST(At89c2051, AByteThatFailsItsFirstWriteIsWrittenAgainWhereTheCounterStands) {
  Mcs51Session s;
  s.Select20(3);
  s.chip->RecordEvents(true);
  ASSERT_TRUE(s.chip->InjectFault({"weak", 2, 2, 0}));
  const std::vector<uint8_t> data = s.LoadRandom(4);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells()[2], data[2]);
  // Two writes at counter 2 with no XTAL1 pulse between them.
  const auto& events = s.chip->events();
  int at_two = 0;
  bool stepped_between = false;
  for (const auto& e : events) {
    if (e.kind == Kind::kProg && e.latch == kWrite && e.counter == 2) ++at_two;
    if (e.kind == Kind::kIncrement && at_two == 1) stepped_between = true;
  }
  EXPECT_EQ(at_two, 2);
  EXPECT_FALSE(stepped_between);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c2051, ACellThatNeverProgramsGetsElevenWritesEachWaitingLonger) {
  Mcs51Session s;
  s.Select20(3);
  s.chip->RecordEvents(true);
  ASSERT_TRUE(s.chip->InjectFault({"never", 1, 0, 0}));
  s.Load({0x11, 0x22, 0x33});
  s.Program();
  EXPECT_EQ(s.host.LastMessage(),
            (std::pair<std::string, int>{" Error at 0x000001  Chip = 0xFF  buffer = 0x22", 1}));
  EXPECT_FALSE(s.host.HasMessage("Verify chip"));
  EXPECT_EQ(s.p.error, 1);
  std::vector<int64_t> starts;
  for (const auto& e : ProgEvents(*s.chip, kWrite)) {
    if (e.counter == 1) starts.push_back(e.start_ns);
  }
  ASSERT_EQ(starts.size(), 11u);
  // tWC grows by 100 ticks per retry.
  for (size_t n = 2; n < starts.size(); ++n) {
    const int64_t growth = (starts[n] - starts[n - 1]) - (starts[n - 1] - starts[n - 2]);
    EXPECT_NEAR(growth, Ticks(100), 50);
  }
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c2051, AWiringThatDisagreesWithTheNewAdapterSettingFailsTheVerify) {
  Mcs51Session s;
  s.Select20(3);
  // Bits 0 and 1 sit on the same port lines either way; bit 2 does not.
  const std::vector<uint8_t> data = {0x04, 0x02, 0x03};
  s.Load(data);
  s.chip->SetContents(data);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  // The fitted adapter mirrors the bits; the box says it does not.
  ASSERT_TRUE(s.chip->InjectFault({"adapter-swap", 0, 0, 0}));
  s.Verify();
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0x08  buffer = 0x04");
  // Tell the routines: now it verifies again.
  app::OptionSetting setting;
  ASSERT_EQ(app::ParseOptionSetting(app::Families().options(), "new-adapter", setting), "");
  ASSERT_EQ(app::ApplyOptionSetting(s.p, setting), "");
  EXPECT_TRUE(s.p.dev.mcs51.new_adapter);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
}

TEST(At89c2051, SignatureNamesThePart) {
  Mcs51Session s;
  s.Select20(3);
  s.GetId();
  const app::Controls& c = s.p.controls;
  EXPECT_EQ(c.Text("edManufacID"), " 0x1E");
  EXPECT_EQ(c.Text("edDeviceID"), " 0x21");
  EXPECT_EQ(c.Text("edManufacName"), " ATMEL");
  EXPECT_EQ(c.Text("edDeviceName"), " AT89C2051");
  EXPECT_EQ(s.p.dev.mcs51.signature, (std::array<uint8_t, 3>{0x1E, 0x21, 0xFF}));
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c2051, LockChoicesOneAndTwoWriteTheirPatternsThreeWritesNothing) {
  struct Case {
    int choice;
    std::vector<uint32_t> patterns;
    uint8_t locks;
  };
  const Case cases[] = {
      {1, {0x403C0}, 1},
      {2, {0x403C0, 0x40140}, 3},
      {3, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    Mcs51Session s;
    s.Select20(3);
    s.chip->RecordEvents(true);
    s.p.dev.lock_mode = c.choice;
    s.host.Clear();
    families::mcs51::sbLockBitClick(s.p);
    std::vector<uint32_t> patterns;
    for (const auto& e : s.chip->events()) {
      if (e.kind == Kind::kProg) {
        patterns.push_back(e.latch);
        EXPECT_EQ(e.data, 0xFF);
        EXPECT_NEAR(e.width_ns, Ticks(10), 2000);  // tWPb
      }
    }
    EXPECT_EQ(patterns, c.patterns);
    EXPECT_EQ(s.chip->locks(), c.locks);
    EXPECT_TRUE(s.host.HasMessage("Device LockBit ", 2));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(At89c2051, TheLockButtonTakesTheCombosChoiceAndClosesItsPopup) {
  Mcs51Session s;
  s.Select20(3);
  s.p.controls["Mcs51_lockbit"].index = 1;
  families::mcs51::btnLockBitClick(s.p);
  EXPECT_EQ(s.p.dev.lock_mode, 1);
  EXPECT_TRUE(s.p.controls.Checked("rbLock1"));
  EXPECT_EQ(s.chip->locks(), 1);
  EXPECT_FALSE(s.p.controls.Visible("pdLockBit"));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c2051, LockedChipNeitherVerifiesNorBlankChecksAndCannotBeReadForLocks) {
  Mcs51Session s;
  s.Select20(3);
  ASSERT_TRUE(s.chip->InjectFault({"lockbits", 0, 2, 0}));
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is NOT Empty ($0000)");
  s.Load({0x00, 0x12});
  s.Verify();
  EXPECT_EQ(s.Last(), " Error at 0x000001  Chip = 0x00  buffer = 0x12");
  const uint64_t accesses = s.board->accesses();
  families::mcs51::ReadLockBits(s.p);
  EXPECT_EQ(s.board->accesses(), accesses);  // nothing to ask the chip
  EXPECT_EQ(s.p.controls.Text("pRdLB"), " Chip can not read Lock bit..");
  // Erase clears the locks.
  s.Erase();
  EXPECT_EQ(s.chip->locks(), 0);
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c2051, CancelEndsEachActionPoweredDown) {
  struct Case {
    const char* name;
    void (*action)(app::Programmer&);
    const char* text;
  };
  const Case cases[] = {
      {"read", app::mnuReadClick, "program interrupted!"},
      {"verify", app::mnuVerifyClick, "program interrupted!"},
      {"blank", app::mnuBlankClick, "program interrupted!"},
      {"program", app::mnuProgramClick, "program interrupted!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mcs51Session s;
    s.Select20(3);
    s.Load(std::vector<uint8_t>(2048, 0xFF));
    s.host.CancelAtRefresh(s.p, 3);
    s.Run(c.action);
    EXPECT_TRUE(s.host.HasMessage(c.text, 1));
    EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
    EXPECT_FALSE(s.host.HasMessage("Device Read OK"));
    EXPECT_FALSE(s.host.HasMessage("Device is Empty"));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
}  // namespace daraz_test
