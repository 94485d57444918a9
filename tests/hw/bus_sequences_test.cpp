// Every bus primitive pinned access by access: register, value and the
// virtual time between accesses. The rows are written out by hand from the
// primitives' step lists; the simulated board records what the bus did.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bus_fixture.h"
#include "sim/ram_chip.h"

namespace {

using daraz_test::SimBus;

// One port access: 'C' control write, 'D' data write, 'S' status read,
// with the wait the primitive made before it (on top of the board's 1 us
// per access).
struct Row {
  char reg;
  int value;
  int64_t wait = 0;
};
using Rows = std::vector<Row>;

Rows operator+(Rows a, const Rows& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Rows Repeat(const Rows& rows, int n) {
  Rows out;
  for (int i = 0; i < n; ++i) out = out + rows;
  return out;
}

// n address shift clocks with the data lines `lines` held: clock up, down.
Rows Clocks(int lines, int n) { return Repeat(Rows{{'D', lines | 0x01}, {'D', lines}}, n); }

// ShiftAddress(0): the control write, the data write, eight clocks and no
// data-line write at all.
Rows ShiftZero(int ctrl, int data) { return Rows{{'C', ctrl}, {'D', data}} + Clocks(data, 8); }

// Waits in virtual ns: DelayTicks(n) waits floor(n x 838.1 ns).
constexpr int64_t kTicks7 = 5866;  // 5866.7
constexpr int64_t kTicks12 = 10057;
constexpr int64_t kTicks25 = 20952;  // 20952.5
constexpr int64_t kTicks100 = 83810;
constexpr int64_t kTicks1000 = 838100;
constexpr int64_t kTicks10000 = 8381000;
constexpr int64_t kTicks20000 = 16762000;
constexpr int64_t kTicks30000 = 25143000;

// The read path loading the chip's byte: load line up, read clock down
// (captures the bus), load line down, read clock up.
const Rows kLoad{{'D', 0x06}, {'D', 0x02}, {'D', 0x00}, {'D', 0x04}};
// Three read-path clocks.
const Rows kThreeReadClocks{{'D', 0x00}, {'D', 0x04}, {'D', 0x00},
                            {'D', 0x04}, {'D', 0x00}, {'D', 0x04}};
// ReadDataByte of the chip byte 0xA5 (fill bit 0). Status bits 6..4 show the
// top three stages inverted, bit 7 is set (loop-back of data bit 0 = 0):
// 0xA5 -> 101 -> 0xAF; 0x28 -> 001 -> 0xEF; 0x40 -> 010 -> 0xDF.
const Rows kReadA5 = kLoad + Rows{{'S', 0xAF}} + kThreeReadClocks + Rows{{'S', 0xEF}} +
                     kThreeReadClocks + Rows{{'S', 0xDF}};
// PowerDown from the state PowerUp leaves (control 0x05, data 0x04).
const Rows kPowerDownFromUp = Rows{{'C', 0x05}, {'C', 0x05}} + ShiftZero(0x05, 0x04) +
                              Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x09, kTicks10000}};

std::vector<uint8_t> MismatchImage() {
  std::vector<uint8_t> image(0x200, 0xFF);
  image[0x105] = 0x5A;
  image[0x106] = 0x01;
  return image;
}

using Messages = std::vector<std::pair<std::string, int>>;

struct Case {
  const char* name;
  // Known state on entry: both shadows, written to the port. `chip_up` puts
  // a RAM holding 0xA5 at address 0 in the socket and powers it up first.
  int ctrl_in, data_in;
  bool chip_up;
  std::function<int(hw::Bus&)> run;  // the primitive's result, or -1
  Rows rows;
  int64_t tail;  // virtual time from the last access until the return
  int delays;    // counter readings: one per DelayTicks / Delay100ns call
  int ctrl_out, data_out;
  int result = -1;
  Messages messages = {};
};

template <typename F>
std::function<int(hw::Bus&)> Void(F f) {
  return [f](hw::Bus& b) {
    f(b);
    return -1;
  };
}

std::vector<std::string> Show(const Rows& rows, int64_t tail) {
  std::vector<std::string> out;
  for (const Row& r : rows) {
    char text[40];
    std::snprintf(text, sizeof text, "%c %02X +%lld", r.reg, r.value,
                  static_cast<long long>(r.wait));
    out.emplace_back(text);
  }
  out.push_back("return +" + std::to_string(tail));
  return out;
}

std::vector<Case> Cases() {
  const auto image = std::make_shared<std::vector<uint8_t>>(MismatchImage());
  // Columns: name; control and data shadow on entry; chip powered up;
  // the call; the accesses; the wait after the last access; delay calls;
  // control and data shadow on return; result; messages.
  return {
      // --- ShiftAddress: a data-line write only where the three bits change --
      {"ShiftAddress(0) keeps data bits 2 and 3", 0x03, 0x3F, false,
       Void([](hw::Bus& b) { b.ShiftAddress(0); }), ShiftZero(0x01, 0x0C), 0, 0, 0x01, 0x0C},
      {"ShiftAddress(0xFFFFFF) sets the lines once", 0x01, 0x04, false,
       Void([](hw::Bus& b) { b.ShiftAddress(0xFFFFFF); }),
       Rows{{'C', 0x01}, {'D', 0x04}, {'D', 0x36}} + Clocks(0x36, 8), 0, 0, 0x01, 0x36},
      {"ShiftAddress(0x800180) each line alone", 0x01, 0x04, false,
       Void([](hw::Bus& b) { b.ShiftAddress(0x800180); }),
       Rows{{'C', 0x01}, {'D', 0x04}, {'D', 0x26}} + Clocks(0x26, 1) + Rows{{'D', 0x04}} +
           Clocks(0x04, 6) + Rows{{'D', 0x14}} + Clocks(0x14, 1),
       0, 0, 0x01, 0x14},
      {"ShiftAddress(1) skips the leading zero steps", 0x01, 0x04, false,
       Void([](hw::Bus& b) { b.ShiftAddress(1); }),
       Rows{{'C', 0x01}, {'D', 0x04}} + Clocks(0x04, 7) + Rows{{'D', 0x06}} + Clocks(0x06, 1), 0, 0,
       0x01, 0x06},
      {"ShiftAddress ignores bits above 23", 0x01, 0x04, false,
       Void([](hw::Bus& b) { b.ShiftAddress(0xFF000081); }),
       Rows{{'C', 0x01}, {'D', 0x04}, {'D', 0x06}} + Clocks(0x06, 1) + Rows{{'D', 0x04}} +
           Clocks(0x04, 6) + Rows{{'D', 0x06}} + Clocks(0x06, 1),
       0, 0, 0x01, 0x06},
      {"ShiftAddress(0xAAAAAA) rewrites the lines every step", 0x01, 0x04, false,
       Void([](hw::Bus& b) { b.ShiftAddress(0xAAAAAA); }),
       Rows{{'C', 0x01}, {'D', 0x04}} +
           Repeat(
               Rows{{'D', 0x36}, {'D', 0x37}, {'D', 0x36}, {'D', 0x04}, {'D', 0x05}, {'D', 0x04}},
               4),
       0, 0, 0x01, 0x04},

      // --- SetAddress, PutData, ProgramPulse: a wait only when asked ---------
      {"SetAddress(1, 0)", 0x07, 0x04, false, Void([](hw::Bus& b) { b.SetAddress(1, 0); }),
       Rows{{'C', 0x05}, {'C', 0x05}, {'D', 0x04}} + Clocks(0x04, 7) + Rows{{'D', 0x06}} +
           Clocks(0x06, 1),
       0, 0, 0x05, 0x06},
      {"SetAddress(1, 7)", 0x07, 0x04, false, Void([](hw::Bus& b) { b.SetAddress(1, 7); }),
       Rows{{'C', 0x05}, {'C', 0x05, kTicks7}, {'D', 0x04}} + Clocks(0x04, 7) + Rows{{'D', 0x06}} +
           Clocks(0x06, 1),
       0, 1, 0x05, 0x06},
      {"PutData(0x5A, 0) bypasses the data shadow", 0x05, 0x04, false,
       Void([](hw::Bus& b) { b.PutData(0x5A, 0); }), Rows{{'C', 0x07}, {'D', 0x5A}}, 0, 0, 0x07,
       0x04},
      {"PutData(0xA5, 7)", 0x05, 0x04, false, Void([](hw::Bus& b) { b.PutData(0xA5, 7); }),
       Rows{{'C', 0x07}, {'D', 0xA5, kTicks7}}, 0, 1, 0x07, 0x04},
      {"ProgramPulse(0) sets and clears with no wait", 0x07, 0x04, false,
       Void([](hw::Bus& b) { b.ProgramPulse(0); }), Rows{{'C', 0x0F}, {'C', 0x07}}, 0, 0, 0x07,
       0x04},
      {"ProgramPulse(100)", 0x07, 0x04, false, Void([](hw::Bus& b) { b.ProgramPulse(100); }),
       Rows{{'C', 0x0F}, {'C', 0x07, kTicks100}}, 0, 1, 0x07, 0x04},

      // --- the read path ---------------------------------------------------
      {"ReadDataByte", 0x05, 0x04, true, [](hw::Bus& b) { return b.ReadDataByte(); }, kReadA5, 0, 0,
       0x05, 0x04, 0xA5},
      // Status bit 6 after each clock: stages 0xA5, 0x4A, 0x94, 0x28, 0x50,
      // 0xA0, 0x40, 0x80 -> bit 6 = 0, 1, 0, 1, 1, 0, 1, 0.
      {"ReadDataByteSerial raises the strobe", 0x04, 0x04, true,
       [](hw::Bus& b) { return b.ReadDataByteSerial(); },
       kLoad + Rows{{'C', 0x05}, {'S', 0xAF}, {'D', 0x00}, {'D', 0x04}, {'S', 0xDF},
                    {'D', 0x00}, {'D', 0x04}, {'S', 0xBF}, {'D', 0x00}, {'D', 0x04},
                    {'S', 0xEF}, {'D', 0x00}, {'D', 0x04}, {'S', 0xDF}, {'D', 0x00},
                    {'D', 0x04}, {'S', 0xAF}, {'D', 0x00}, {'D', 0x04}, {'S', 0xDF},
                    {'D', 0x00}, {'D', 0x04}, {'S', 0xBF}, {'D', 0x00}, {'D', 0x04}},
       0, 0, 0x05, 0x04, 0xA5},
      {"ReadCycle(0, 5): the drive pulse, then the byte", 0x05, 0x04, true,
       [](hw::Bus& b) { return b.ReadCycle(0, 5); },
       ShiftZero(0x05, 0x04) + Rows{{'C', 0x07}, {'C', 0x05, 500}, {'D', 0x06, 500}} +
           Rows(kReadA5.begin() + 1, kReadA5.end()),
       0, 2, 0x05, 0x04, 0xA5},

      // --- the word latch ----------------------------------------------------
      {"StrobeWrite(0x12, 0x34, 5)", 0x05, 0x04, false,
       Void([](hw::Bus& b) { b.StrobeWrite(0x12, 0x34, 5); }),
       Rows{{'C', 0x07}, {'D', 0x12}, {'C', 0x06}, {'C', 0x07, kTicks12}, {'D', 0x34, kTicks25}},
       200, 3, 0x07, 0x04},

      // --- power -------------------------------------------------------------
      {"PowerUp from rest", 0x09, 0x04, false, Void([](hw::Bus& b) { b.PowerUp(); }),
       Rows{{'C', 0x01}} + ShiftZero(0x01, 0x04) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x05, kTicks1000}},
       3 * kTicks20000, 4, 0x05, 0x04},
      {"PowerUp sets every bit it owns", 0x0A, 0x33, false, Void([](hw::Bus& b) { b.PowerUp(); }),
       Rows{{'C', 0x02}} + ShiftZero(0x00, 0x00) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x05, kTicks1000}},
       3 * kTicks20000, 4, 0x05, 0x04},
      {"PowerDown with the program's first shadows", 0x01, 0x00, false,
       Void([](hw::Bus& b) { b.PowerDown(); }),
       Rows{{'C', 0x01}, {'C', 0x01}} + ShiftZero(0x01, 0x00) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x09, kTicks10000}},
       0, 1, 0x09, 0x04},
      {"PowerDown in the middle of a pulse", 0x0E, 0x37, false,
       Void([](hw::Bus& b) { b.PowerDown(); }),
       Rows{{'C', 0x06}, {'C', 0x04}} + ShiftZero(0x04, 0x04) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x09, kTicks10000}},
       0, 1, 0x09, 0x04},
      {"PowerDown after PowerUp", 0x05, 0x04, true, Void([](hw::Bus& b) { b.PowerDown(); }),
       kPowerDownFromUp, 0, 1, 0x09, 0x04},

      // --- hardware test -------------------------------------------------------
      {"ResetBus power-cycles the socket from any state", 0x0E, 0x33, false,
       Void([](hw::Bus& b) { b.ResetBus(); }),
       Rows{{'C', 0x0C}} + ShiftZero(0x0C, 0x00) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x05, kTicks1000}},
       kTicks30000, 2, 0x05, 0x04},
      // ResetBus, drive on, the loop-back read high then low (status bit 7
      // reads NOT data bit 0 while powered), PowerDown, drive off.
      {"CheckHardware on a good board", 0x09, 0x04, false,
       [](hw::Bus& b) { return b.CheckHardware(); },
       Rows{{'C', 0x09}} + ShiftZero(0x09, 0x04) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x05, kTicks1000}} +
           Rows{{'C', 0x05, kTicks30000}, {'C', 0x07}} +
           Rows{{'D', 0x05}, {'S', 0x0F, kTicks1000}, {'D', 0x04}, {'S', 0x8F, kTicks1000}} +
           Rows{{'C', 0x07}, {'C', 0x05}} + ShiftZero(0x05, 0x04) +
           Rows{{'C', 0x01}, {'D', 0x04}, {'C', 0x09, kTicks10000}} +
           Rows{{'C', 0x09, 2 * kTicks30000}},
       0, 7, 0x09, 0x04, 0, Messages{{"Hardware present ", 2}}},

      // --- reports end powered down --------------------------------------------
      {"ReportError", 0x05, 0x04, true, Void([](hw::Bus& b) { b.ReportError("no answer"); }),
       kPowerDownFromUp, 0, 1, 0x09, 0x04, -1, Messages{{"no answer", 1}}},
      {"ReportMismatch", 0x05, 0x04, true,
       Void([image](hw::Bus& b) { b.ReportMismatch(5, 0x100, 0x12, *image); }), kPowerDownFromUp, 0,
       1, 0x09, 0x04, -1, Messages{{" Error at 0x000105  Chip = 0x12  buffer = 0x5A", 1}}},
      {"ReportMismatch16", 0x05, 0x04, true,
       Void([image](hw::Bus& b) { b.ReportMismatch16(5, 0x100, 0xAB, 0xCD, *image); }),
       kPowerDownFromUp, 0, 1, 0x09, 0x04, -1,
       Messages{{" Error at 0x000105  Chip = 0xABCD  buffer = 0x5A01", 1}}},

      // --- delays: exact virtual time, one counter reading even for n = 0 ------
      {"DelayTicks(0)", 0x05, 0x04, false, Void([](hw::Bus& b) { b.DelayTicks(0); }), Rows{}, 0, 1,
       0x05, 0x04},
      {"Delay100ns(0)", 0x05, 0x04, false, Void([](hw::Bus& b) { b.Delay100ns(0); }), Rows{}, 0, 1,
       0x05, 0x04},
      {"DelayTicks(12)", 0x05, 0x04, false, Void([](hw::Bus& b) { b.DelayTicks(12); }), Rows{},
       kTicks12, 1, 0x05, 0x04},
      {"DelayTicks(30000)", 0x05, 0x04, false, Void([](hw::Bus& b) { b.DelayTicks(30000); }),
       Rows{}, kTicks30000, 1, 0x05, 0x04},
      {"Delay100ns(5)", 0x05, 0x04, false, Void([](hw::Bus& b) { b.Delay100ns(5); }), Rows{}, 500,
       1, 0x05, 0x04},
      {"DelayTicks(-5) does not wait", 0x05, 0x04, false,
       Void([](hw::Bus& b) { b.DelayTicks(-5); }), Rows{}, 0, 1, 0x05, 0x04},
  };
}

TEST(BusSequences, EveryPrimitiveAccessByAccess) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    SimBus s;
    if (c.chip_up) {
      auto chip = std::make_unique<sim::RamChip>(16);
      chip->cells()[0] = 0xA5;
      s.board.InsertChip(std::move(chip));
      s.bus.PowerUp();
    }
    s.bus.CtrlShadow() = static_cast<uint8_t>(c.ctrl_in);
    s.bus.DataShadow() = static_cast<uint8_t>(c.data_in);
    s.bus.WriteCtrl();
    s.bus.WriteData();
    auto& clock = s.board.clock();
    const int64_t start = clock.now_ns();
    const int64_t reads = clock.reads();
    s.board.EnableTrace(true);

    EXPECT_EQ(c.run(s.bus), c.result);

    Rows got;
    int64_t last = start;
    const int64_t cost = s.board.access_cost_ns();
    for (const sim::TraceEntry& e : s.board.trace()) {
      const int at = e.port - s.bus.LptBase();
      const char reg = e.write ? (at == 0 ? 'D' : at == 2 ? 'C' : '?') : (at == 1 ? 'S' : '?');
      got.push_back({reg, e.value, e.time_ns - last - cost});
      last = e.time_ns;
    }
    EXPECT_EQ(Show(got, clock.now_ns() - last), Show(c.rows, c.tail));
    EXPECT_EQ(clock.reads() - reads, c.delays);
    EXPECT_EQ(s.bus.CtrlShadow(), c.ctrl_out);
    EXPECT_EQ(s.bus.DataShadow(), c.data_out);
    EXPECT_EQ(s.reporter.messages, c.messages);
  }
}

TEST(BusSequences, HardwareTestAnswersEveryBoardFaultAndLeavesTheBusAtRest) {
  const std::pair<std::string, int> present{"Hardware present ", 2};
  const std::pair<std::string, int> absent{"Hardware Error :  Check Power && connection", 1};
  const struct {
    sim::BoardFault fault;
    int result;
  } cases[] = {{sim::BoardFault::kNone, 0},
               {sim::BoardFault::kNoBoard, 1},
               {sim::BoardFault::kLoopStuck0, 1},
               {sim::BoardFault::kLoopStuck1, 1},
               {sim::BoardFault::kLoopInverted, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    SimBus s;
    s.board.SetFault(c.fault);
    EXPECT_EQ(s.bus.CheckHardware(), c.result);
    EXPECT_EQ(s.reporter.messages, Messages{c.result == 0 ? present : absent});
    EXPECT_EQ(s.board.RestState(), sim::kAtRest);
    EXPECT_EQ(s.bus.CtrlShadow(), 0x09);
    EXPECT_EQ(s.bus.DataShadow(), 0x04);
    EXPECT_TRUE(s.board.violations().empty());
  }
}

}  // namespace
