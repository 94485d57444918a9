// MCS-48 end to end on the simulated adapter.
#include "families/mcu/mcs48.h"

#include <string>
#include <vector>

#include "app/actions.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "families/mcu/mcs51_fixture.h"
#include "sim/mcs48_chip.h"

namespace daraz_test {
namespace {

using Strings = std::vector<std::string>;
using Message = std::pair<std::string, int>;

constexpr int k8749 = 102, k8748 = 101, k8049 = 202;

struct Mcs48Session : Mcs51Session {
  sim::Mcs48Chip* chip48 = nullptr;

  void Select48(int tag) {
    app::SelectDevice(p, app::HandlerId::D8748_Click, app::SelectItem{tag, "MCS48"});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip48 = dynamic_cast<sim::Mcs48Chip*>(made.get());
    ASSERT_NE(chip48, nullptr);
    chip48->RecordEvents(true);
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  std::vector<uint8_t> Cells48() const { return chip48->Contents(); }
  size_t PulsesAt(uint32_t address) const {
    size_t n = 0;
    for (const auto& pulse : chip48->pulses()) n += pulse.address == address ? 1 : 0;
    return n;
  }
};

TEST(Mcs48, ProgramVerifyReadOfAn8749) {
  Mcs48Session s;
  s.Select48(k8749);
  const std::vector<uint8_t> data = s.LoadRandom(2048);
  s.Program();
  EXPECT_EQ(s.Cells48(), data);
  EXPECT_EQ(s.host.LastMessage(), (Message{"Device Programmed OK", 2}));
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));  // the verify after a program is quiet
  // Every pulse with TEST0 = 0 and EA high, about 42 ms long; a byte that
  // programs at once gets one.
  ASSERT_EQ(s.chip48->pulses().size(), 2048u);
  for (const auto& pulse : s.chip48->pulses()) {
    EXPECT_FALSE(pulse.test0);
    EXPECT_TRUE(pulse.ea);
    EXPECT_NEAR(pulse.width_ns, Ticks(50000), 2000);
  }
  // EA drops for about 25 ms after address 0x3FF and is back before 0x400.
  int drops = 0;
  const auto& edges = s.chip48->ea_edges();
  for (size_t k = 0; k + 1 < edges.size(); ++k) {
    if (!edges[k].high && edges[k + 1].high && edges[k].address == 0x3FF &&
        edges[k + 1].address == 0x3FF) {
      ++drops;
      EXPECT_NEAR(edges[k + 1].time_ns - edges[k].time_ns, Ticks(30000), 2000);
    }
  }
  EXPECT_EQ(drops, 2);  // once in the program pass, once in its verify
  // After EA is back, 5000 ticks, then the next address (10 + 3000, 2500)
  // and its byte (10, 30) before the pulse at 0x400.
  for (size_t k = 0; k < edges.size(); ++k) {
    if (!edges[k].high || edges[k].address != 0x3FF) continue;
    for (const auto& pulse : s.chip48->pulses()) {
      if (pulse.address != 0x400) continue;
      EXPECT_NEAR(pulse.start_ns - edges[k].time_ns, Ticks(5000 + 10 + 3000 + 2500 + 10 + 30),
                  60'000);
      break;
    }
    break;
  }
  s.LoadRandom(2048, 9);
  s.Read();
  EXPECT_EQ(s.Last(), "Chip read OK");
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data(), s.p.image.data() + 2048), data);
  EXPECT_EQ(s.p.image.data_end, 2048u);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Mcs48, BlankCheckExpectsZeros) {
  Mcs48Session s;
  s.Select48(k8749);
  s.Blank();
  EXPECT_EQ(s.host.LastMessage(), (Message{"Device empty ", 2}));
  const auto gauges = s.host.Of(HostEvent::Type::kShowGauge);
  ASSERT_EQ(gauges.size(), 1u);
  EXPECT_EQ(gauges[0].text, "Check empty (0x00) MCS-48/41");
  EXPECT_EQ(gauges[0].value, 2048);
  std::vector<uint8_t> cells(2048, 0x00);
  cells[0x10] = 0x01;
  s.chip48->SetContents(cells);
  s.Blank();
  EXPECT_EQ(s.host.LastMessage(), (Message{" Error at 0x000010  Chip = 0x01  buffer = 0x00", 1}));
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Mcs48, RetriesAndTheByteThatNeverPrograms) {
  {
    Mcs48Session s;
    s.Select48(k8748);
    ASSERT_TRUE(s.chip48->InjectFault({"weak", 5, 3, 0}));
    const std::vector<uint8_t> data = s.LoadRandom(16);
    s.Program();
    EXPECT_EQ(s.PulsesAt(5), 3u);
    EXPECT_EQ(s.Cells48()[5], data[5]);
    EXPECT_EQ(s.Last(), "Device Programmed OK");
  }
  Mcs48Session s;
  s.Select48(k8748);
  ASSERT_TRUE(s.chip48->InjectFault({"never", 5, 0, 0}));
  s.Load({0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70});
  s.Program();
  EXPECT_EQ(s.PulsesAt(5), 10u);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.host.LastMessage(), (Message{" Error at 0x000005  Chip = 0x00  buffer = 0x60", 1}));
  EXPECT_FALSE(s.host.HasMessage("Verifying MCS-48/41 "));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Mcs48, AVerifyStopsAtTheFirstMismatch) {
  Mcs48Session s;
  s.Select48(k8748);
  std::vector<uint8_t> data(16, 0x00);
  data[3] = 0x01;
  s.Load(data);
  s.Verify();
  EXPECT_EQ(s.host.LastMessage(), (Message{" Error at 0x000003  Chip = 0x00  buffer = 0x01", 1}));
  int mismatches = 0;
  for (const Message& m : s.host.Messages()) mismatches += m.first.starts_with(" Error at") ? 1 : 0;
  EXPECT_EQ(mismatches, 1);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Mcs48, AStaleErrorFlagDoesNotHideSuccessAndTheDataEndStays) {
  Mcs48Session s;
  s.Select48(k8748);
  s.LoadRandom(64);
  s.p.image.data_end = 5000;  // beyond the 1 KB part
  s.p.error = 1;              // left by an earlier cancelled action
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.image.data_end, 5000u);
}

TEST(Mcs48, RomPartsReadAndVerifyAndProgramDoesNothing) {
  Mcs48Session s;
  s.Select48(k8049);
  ASSERT_EQ(s.p.dev.family, 29);
  std::vector<uint8_t> cells(2048);
  for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<uint8_t>(i ^ 0x5A);
  s.chip48->SetContents(cells);
  s.Read();
  EXPECT_EQ(s.Last(), "Chip read OK");
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  const uint64_t accesses = s.board->accesses();
  s.Program();
  // The hardware test runs; no routine follows and nothing more is said.
  EXPECT_EQ(s.host.Messages(), (std::vector<Message>{{"Hardware present ", 2}}));
  EXPECT_LT(s.board->accesses() - accesses, 200u);
  EXPECT_TRUE(s.chip48->pulses().empty());
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The waits of each routine summed from its steps: the virtual time less
// the port accesses (1 us each). PowerUp 61000 ticks, PowerDown 10000. A
// 5-tick wait is 4190.5 ns, which the virtual clock takes as 4190: half a
// nanosecond short each; every other wait here is whole. Within that, a
// wait one tick (838 ns) off shows.
// SetAddress48: 10, RESET low 3000, the latch, 2500.
constexpr int64_t kSetAddress48 = 10 + 3000 + 2500;
constexpr int64_t kLeave48 = 2000 + kPowerDown;  // EA down, 2000, PowerDown

TEST(Mcs48, EachRoutineWaitsAsItsStepsSay) {
  struct Case {
    const char* name;
    int tag;
    void (*routine)(app::Programmer& p);
    uint32_t image_bytes;  // zeros, what an erased part holds; the data end is the last
    int32_t odd_cell;      // a cell that reads 0x01 instead, or -1
    int64_t ticks;
    int64_t fives;  // 5-tick waits among them
  };
  const Case cases[] = {
      // Enter: 2000, 2000, 1000; per byte 20 and 5 after the address; the
      // 8749H's pause after 0x3FF: EA down 30000, back and 5000.
      {"read 8749H", k8749, &families::mcs48::Read48, 1024, -1,
       kPowerUp + 2000 + 2000 + 1000 + 2048 * (kSetAddress48 + 20 + 5) + 30000 + 5000 + kLeave48,
       2048},
      // Enter: 1000, 2000, 5000; per byte 50 and 10; no pause on 1 KB.
      {"verify 8748H", k8748, &families::mcs48::Verify48, 1024, -1,
       kPowerUp + 1000 + 2000 + 5000 + 1024 * (kSetAddress48 + 50 + 10) + kLeave48, 0},
      // 1025 bytes on the 8749H: the pause comes after 0x3FF.
      {"verify 8749H past 0x3FF", k8749, &families::mcs48::Verify48, 1025, -1,
       kPowerUp + 1000 + 2000 + 5000 + 1025 * (kSetAddress48 + 50 + 10) + 30000 + 5000 + kLeave48,
       0},
      // A byte that differs is read five times; EA goes down (2000) before
      // the report powers the socket down.
      {"verify 8748H, mismatch at 3", k8748, &families::mcs48::Verify48, 16, 3,
       kPowerUp + 1000 + 2000 + 5000 + 3 * (kSetAddress48 + 50 + 10) + kSetAddress48 +
           5 * (50 + 10) + kLeave48,
       0},
      // Enter: 1000, 2500, 5000; per byte 10 and 5.
      {"blank 8748H", k8748, &families::mcs48::Blank48, 1024, -1,
       kPowerUp + 1000 + 2500 + 5000 + 1024 * (kSetAddress48 + 10 + 5) + kLeave48, 1024},
      {"blank 8748H, 0x01 at 3", k8748, &families::mcs48::Blank48, 16, 3,
       kPowerUp + 1000 + 2500 + 5000 + 3 * (kSetAddress48 + 10 + 5) + kSetAddress48 + 5 * (10 + 5) +
           kLeave48,
       3 + 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mcs48Session s;
    s.Select48(c.tag);
    s.Load(std::vector<uint8_t>(c.image_bytes, 0x00));
    s.p.image.data_end = c.image_bytes - 1;
    if (c.odd_cell >= 0) {
      std::vector<uint8_t> cells(16, 0x00);
      cells[static_cast<size_t>(c.odd_cell)] = 0x01;
      s.chip48->SetContents(cells);
    }
    const int64_t waited = s.WaitedNs(c.routine);
    EXPECT_NEAR(waited, Ticks(c.ticks) - c.fives / 2, 100);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// Program48 of two bytes (0x5A, then the image's 0xFF at index 1). Enter:
// 2000, 2500, 5000; per attempt the address (10 + 3000, 2500), 10, 30, the
// pulse 50000, 500, the verify address, 100 and a read of 5 and 5; EA down
// and 2000; the quiet verify (its Enter 1000, 2000, 5000; 50 and 10 per
// byte; EA down, 2000, PowerDown); the closing PowerDown. A byte that never
// programs gets ten attempts, EA down and 2000, the report's PowerDown and
// the closing one, and no verify. Each attempt's two 5-tick waits make it
// a nanosecond short.
TEST(Mcs48, ProgramWaitsAsItsStepsSay) {
  constexpr int64_t kEnter = kPowerUp + 2000 + 2500 + 5000;
  constexpr int64_t kAttempt = kSetAddress48 + 10 + 30 + 50000 + 500 + kSetAddress48 + 100 + 5 + 5;
  constexpr int64_t kVerify =
      kPowerUp + 1000 + 2000 + 5000 + 2 * (kSetAddress48 + 50 + 10) + kLeave48;
  struct Case {
    const char* name;
    const char* fault;  // at address 0, or nullptr
    int pulses;
    int64_t ticks;
    int attempts;
    const char* last;
  };
  constexpr const char* kOk = "Device Programmed OK";
  const Case cases[] = {
      {"each byte at its first pulse", nullptr, 0, kEnter + 2 * kAttempt + 2000 + kVerify + 10000,
       2, kOk},
      {"first byte at its third pulse", "weak", 3,
       kEnter + (3 + 1) * kAttempt + 2000 + kVerify + 10000, 4, kOk},
      {"first byte never", "never", 0, kEnter + 10 * kAttempt + 2000 + 10000 + 10000, 10,
       " Error at 0x000000  Chip = 0x00  buffer = 0x5A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mcs48Session s;
    s.Select48(k8748);
    if (c.fault != nullptr) {
      ASSERT_TRUE(s.chip48->InjectFault({c.fault, 0, c.pulses, 0}));
    }
    s.Load({0x5A});
    const int64_t waited = s.WaitedNs(families::mcs48::Program48);
    EXPECT_NEAR(waited, Ticks(c.ticks) - c.attempts, 100);
    EXPECT_EQ(s.Last(), c.last);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(Mcs48, CancelEndsEachActionPoweredDown) {
  struct Case {
    const char* name;
    void (*action)(app::Programmer&);
    Message text;
  };
  const Case cases[] = {
      {"read", app::mnuReadClick, {"Process Cancelled", 1}},
      {"verify", app::mnuVerifyClick, {"program interrupted!", 1}},
      {"blank", app::mnuBlankClick, {"program interrupted!", 1}},
      {"program", app::mnuProgramClick, {"program interrupted!", 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mcs48Session s;
    s.Select48(k8748);
    s.Load(std::vector<uint8_t>(1024, 0x00));
    s.host.CancelAtRefresh(s.p, 2);
    s.Run(c.action);
    EXPECT_EQ(s.host.LastMessage(), c.text);
    EXPECT_EQ(s.p.error != 0, c.text.first == "program interrupted!");
    EXPECT_EQ(s.Violations(), Strings{});
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
}  // namespace daraz_test
