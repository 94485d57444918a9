#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "bus_fixture.h"
#include "hw/port_open.h"
#include "sim/ram_chip.h"

namespace {

using daraz_test::SimBus;

// Counts accesses by kind; a do-nothing port.
class CountingPort : public hw::PortIo {
 public:
  void PortOut(uint16_t port, uint8_t value) override {
    ++writes;
    last_port = port;
    last_value = value;
  }
  uint8_t PortIn(uint16_t) override {
    ++reads;
    return 0;
  }
  int writes = 0, reads = 0;
  uint16_t last_port = 0;
  uint8_t last_value = 0;
};

TEST(PortChoice, TableAndOutOfRangeIndex) {
  SimBus s;
  s.bus.cbPortChange(3);
  EXPECT_EQ(s.bus.LptBase(), 0xEC00);
  EXPECT_EQ(s.bus.LptStatus(), 0xEC01);
  EXPECT_EQ(s.bus.LptControl(), 0xEC02);
  s.bus.cbPortChange(1);
  EXPECT_EQ(s.bus.LptBase(), 0x278);
  for (int bad : {-1, 4, 100}) {
    s.bus.cbPortChange(bad);
    EXPECT_EQ(s.bus.LptBase(), 0x278);
    EXPECT_EQ(s.bus.LptControl(), 0x27A);
  }
}

TEST(Shadows, AreIndependentAndWrittenWhole) {
  SimBus s;
  s.board.EnableTrace(true);
  s.bus.SetCtrl(3, true);
  s.bus.SetData(5, true);
  EXPECT_EQ(s.bus.CtrlShadow(), 0x09);  // the strobe starts high: no Vpp
  EXPECT_EQ(s.bus.DataShadow(), 0x20);
  s.bus.WriteCtrl();
  s.bus.WriteData();
  s.bus.WriteBusByte(0xC3);  // a chip byte bypasses the shadow
  EXPECT_EQ(s.bus.DataShadow(), 0x20);
  const auto& t = s.board.trace();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].port, 0x37A);
  EXPECT_EQ(t[0].value, 0x09);
  EXPECT_EQ(t[1].port, 0x378);
  EXPECT_EQ(t[1].value, 0x20);
  EXPECT_EQ(t[2].value, 0xC3);
}

TEST(Delays, SimulatedClockWaitsExactlyAndZeroReadsOnce) {
  SimBus s;
  auto& clock = s.board.clock();
  const int64_t start = clock.now_ns();
  const int64_t reads = clock.reads();
  s.bus.DelayTicks(0);
  s.bus.Delay100ns(0);
  EXPECT_EQ(clock.reads() - reads, 2);
  EXPECT_EQ(clock.now_ns(), start);

  s.bus.DelayTicks(12);  // 12 x 838.1 ns, truncated
  EXPECT_EQ(clock.now_ns() - start, 10057);
  s.bus.Delay100ns(5);
  EXPECT_EQ(clock.now_ns() - start, 10557);
  s.bus.DelayTicks(30000);
  EXPECT_EQ(clock.now_ns() - start, 10557 + 25143000);
  s.bus.DelayTicks(-5);  // a negative wait is no wait
  EXPECT_EQ(clock.now_ns() - start, 10557 + 25143000);
}

TEST(Delays, RealClockNeverReturnsEarly) {
  hw::RealClock clock;
  daraz_test::RecordingReporter r;
  hw::Bus bus(clock, r);
  for (int n : {1, 12, 120, 1200}) {
    const int64_t before = clock.Now();
    bus.DelayTicks(n);
    EXPECT_GE(clock.Now() - before, static_cast<int64_t>(n * 838.1) - 1) << n;
    const int64_t before2 = clock.Now();
    bus.Delay100ns(n);
    EXPECT_GE(clock.Now() - before2, n * 100 - 1) << n;
  }
}

// Counts data-register writes of one ShiftAddress and checks the address
// that arrived in the board's shift registers.
int ShiftWrites(SimBus& s, uint32_t a) {
  s.board.ClearTrace();
  s.board.EnableTrace(true);
  s.bus.ShiftAddress(a);
  s.board.EnableTrace(false);
  return static_cast<int>(s.board.trace().size());
}

TEST(ShiftAddress, RoundTripsWithWriteCountsOfTheSkipRule) {
  SimBus s;
  struct Case {
    uint32_t a;
    int writes;
  };
  // 1 control + 1 data + 16 clocks + one data write per change of the
  // three-bit pattern between steps.
  const std::array<Case, 6> cases{{{0, 18},
                                   {0xFFFFFF, 19},
                                   {0xAAAAAA, 26},
                                   {0x555555, 25},
                                   {0x800001, 21},
                                   {0x1234567, 0}}};
  for (const auto& c : cases) {
    const int writes = ShiftWrites(s, c.a);
    EXPECT_EQ(s.board.pins().address, c.a & 0xFFFFFF) << std::hex << c.a;
    if (c.writes) {
      EXPECT_EQ(writes, c.writes) << std::hex << c.a;
    }
    EXPECT_GE(writes, 18);
    EXPECT_LE(writes, 26);
    EXPECT_EQ(s.bus.CtrlShadow() & 0x02, 0);
  }
  // The socket is unpowered here: an address with ones in it feeds the chip.
  EXPECT_EQ(s.board.violations(), std::vector<std::string>{"address lines driven while Vcc is off"});
}

TEST(ShiftAddress, ZeroAndAllOnesSequences) {
  SimBus s;
  s.bus.DataShadow() = 0x3F;
  s.board.EnableTrace(true);
  s.bus.ShiftAddress(0);
  const auto t = s.board.trace();
  ASSERT_EQ(t.size(), 18u);
  EXPECT_EQ(t[0].port, 0x37A);
  EXPECT_EQ(t[1].value, 0x0C);  // bits 0, 1, 4, 5 cleared, 2 and 3 kept
  for (size_t i = 2; i < t.size(); i += 2) {
    EXPECT_EQ(t[i].value, 0x0D);
    EXPECT_EQ(t[i + 1].value, 0x0C);
  }
  s.board.ClearTrace();
  s.bus.DataShadow() = 0x04;
  s.bus.ShiftAddress(0xFFFFFF);
  const auto u = s.board.trace();
  ASSERT_EQ(u.size(), 19u);
  EXPECT_EQ(u[2].value, 0x36);  // bits 1, 4, 5 set once before the first clock
  for (size_t i = 3; i < u.size(); i += 2) {
    EXPECT_EQ(u[i].value, 0x37);
    EXPECT_EQ(u[i + 1].value, 0x36);
  }
}

TEST(ReadPath, EveryByteValueBothWaysWithBothFillBits) {
  for (bool fill : {false, true}) {
    SimBus s;
    s.board.SetReadFill(fill);
    auto chip = std::make_unique<sim::RamChip>(256);
    for (int i = 0; i < 256; ++i) chip->cells()[i] = static_cast<uint8_t>(i);
    s.board.InsertChip(std::move(chip));
    s.bus.PowerUp();
    for (int v = 0; v < 256; ++v) {
      EXPECT_EQ(s.bus.ReadCycle(v, 1), v) << "fill " << fill;
      s.bus.ShiftAddress(v);
      EXPECT_EQ(s.bus.ReadDataByteSerial(), v) << "fill " << fill;
    }
    s.bus.PowerDown();
    EXPECT_TRUE(s.board.violations().empty());
  }
}

TEST(ReadPath, StatusTapsOfA5) {
  SimBus s;
  auto chip = std::make_unique<sim::RamChip>(16);
  chip->cells()[0] = 0xA5;
  s.board.InsertChip(std::move(chip));
  s.bus.PowerUp();
  s.bus.ShiftAddress(0);
  s.board.EnableTrace(true);
  EXPECT_EQ(s.bus.ReadDataByte(), 0xA5);
  std::vector<uint8_t> reads;
  int writes = 0;
  for (const auto& e : s.board.trace()) {
    if (e.write) {
      ++writes;
    } else {
      reads.push_back(e.value);
    }
  }
  EXPECT_EQ(writes, 16);
  ASSERT_EQ(reads.size(), 3u);
  EXPECT_EQ((reads[0] >> 4) & 7, 0b010);
  EXPECT_EQ((reads[1] >> 4) & 7, 0b110);
  EXPECT_EQ((reads[2] >> 5) & 3, 0b10);
}

TEST(ProgramCycle, OddBytesLandAtTheirAddresses) {
  SimBus s;
  auto owned = std::make_unique<sim::RamChip>(1 << 20);
  auto* ram = owned.get();
  s.board.InsertChip(std::move(owned));
  s.bus.PowerUp();
  const std::array<uint32_t, 5> addresses{0, 1, 0x5555, 0x2AAA, 0xFFFFF};
  uint8_t value = 0x01;
  for (uint32_t a : addresses) {
    s.bus.SetAddress(a, 0);
    s.bus.PutData(value, 0);
    s.bus.ProgramPulse(10);
    value = static_cast<uint8_t>(value + 0x22);  // odd bytes toggle data bit 0
  }
  s.bus.PowerDown();
  value = 0x01;
  for (uint32_t a : addresses) {
    EXPECT_EQ(ram->cells()[a], value) << std::hex << a;
    value = static_cast<uint8_t>(value + 0x22);
  }
  EXPECT_EQ(ram->writes(), addresses.size());
  EXPECT_TRUE(s.board.violations().empty());
}

TEST(Power, RestStatesAndOrder) {
  SimBus s;
  s.bus.CtrlShadow() = 0x0A;
  s.bus.DataShadow() = 0x33;
  s.board.EnableTrace(true);
  s.bus.PowerUp();
  EXPECT_EQ(s.board.pins().ctrl, 0x05);  // strobe 1, drive 0, power 1, program 0
  EXPECT_EQ(s.board.pins().data, 0x04);
  EXPECT_EQ(s.board.pins().address, 0u);
  const auto up = s.board.trace();
  EXPECT_EQ(up.front().value, 0x02);  // program line dropped first
  EXPECT_EQ(up.back().value, 0x05);   // power comes last
  EXPECT_EQ(up.back().time_ns - up[up.size() - 2].time_ns, 838100 + 1000);
  s.board.ClearTrace();
  s.bus.PowerDown();
  EXPECT_EQ(s.board.pins().ctrl, 0x09);  // strobe 1, power 0, program line 1
  EXPECT_EQ(s.board.pins().data, 0x04);
  const auto down = s.board.trace();
  EXPECT_EQ(down[0].value, 0x05);
  EXPECT_EQ(down[1].value, 0x05);
  EXPECT_EQ(down.back().value, 0x09);  // program line raised after the power is off
}

TEST(Primitives, PulseAndStrobeSequences) {
  CountingPort port;
  daraz_test::RecordingReporter r;
  hw::RealClock clock;
  hw::Bus bus(clock, r);
  bus.SetPort(&port);
  bus.ProgramPulse(0);
  EXPECT_EQ(port.writes, 2);
  EXPECT_EQ(port.last_value, 0x01);

  SimBus s;
  s.board.EnableTrace(true);
  s.bus.StrobeWrite(0x12, 0x34, 0);
  const auto t = s.board.trace();
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].value, 0x03);
  EXPECT_EQ(t[1].value, 0x12);
  EXPECT_EQ(t[2].value, 0x02);  // strobe low
  EXPECT_EQ(t[3].value, 0x03);
  EXPECT_EQ(t[4].value, 0x34);
  EXPECT_EQ(t[3].time_ns - t[2].time_ns, 10057 + 1000);
}

TEST(ScrambleAddress, Examples) {
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x4000), 0xC000u);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x8000), 0x40000u);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x100000), 0u);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x3FFF), 0x3FFFu);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0xB0000), 0xB0000u);
}

TEST(Reports, MismatchTextsAndPowerDown) {
  SimBus s;
  std::vector<uint8_t> image(0x200, 0xFF);
  image[0x105] = 0x5A;
  image[0x106] = 0x01;
  s.bus.PowerUp();
  s.bus.ReportMismatch(5, 0x100, 0x12, image);
  ASSERT_EQ(s.reporter.messages.size(), 1u);
  EXPECT_EQ(s.reporter.messages[0].first, " Error at 0x000105  Chip = 0x12  buffer = 0x5A");
  EXPECT_EQ(s.reporter.messages[0].second, 1);
  EXPECT_EQ(s.board.pins().ctrl & 0x04, 0);  // powered down

  s.bus.ReportMismatch16(5, 0x100, 0xAB, 0xCD, image);
  EXPECT_EQ(s.reporter.messages[1].first, " Error at 0x000105  Chip = 0xABCD  buffer = 0x5A01");
  // Far outside the image: no read outside it, the format stays.
  s.bus.ReportMismatch(0xFFFFFFF0, 0x100, 0x00, image);
  EXPECT_EQ(s.reporter.messages[2].first, " Error at 0x0000F0  Chip = 0x00  buffer = 0xFF");
  s.bus.ReportMismatch16(0x1FF, 0, 0, 0, image);
  EXPECT_EQ(s.reporter.messages[3].first, " Error at 0x0001FF  Chip = 0x0000  buffer = 0xFFFF");
}

TEST(CheckHardware, GoodBoardAndEveryFault) {
  struct Case {
    sim::BoardFault fault;
    int result;
  };
  for (const Case c : {Case{sim::BoardFault::kNone, 0}, Case{sim::BoardFault::kNoBoard, 1},
                       Case{sim::BoardFault::kLoopStuck0, 1},
                       Case{sim::BoardFault::kLoopStuck1, 1}}) {
    SimBus s;
    s.board.SetFault(c.fault);
    EXPECT_EQ(s.bus.CheckHardware(), c.result);
    ASSERT_EQ(s.reporter.messages.size(), 1u);
    if (c.result == 0) {
      EXPECT_EQ(s.reporter.messages[0], std::make_pair(std::string("Hardware present "), 2));
    } else {
      EXPECT_EQ(s.reporter.messages[0],
                std::make_pair(std::string("Hardware Error :  Check Power && connection"), 1));
    }
    EXPECT_EQ(s.board.pins().ctrl, 0x09);  // powered down, drive released
    EXPECT_EQ(s.board.pins().data, 0x04);
    EXPECT_TRUE(s.board.violations().empty());
  }
}

TEST(CheckHardware, NoBackendReportsTheReasonAndTouchesNothing) {
  CountingPort port;
  daraz_test::RecordingReporter r;
  hw::RealClock clock;
  hw::Bus bus(clock, r);
  bus.SetPort(&port);
  bus.SetPort(nullptr, "permission denied on /dev/parport0: add yourself to the lp group");
  EXPECT_FALSE(bus.Available());
  EXPECT_EQ(bus.CheckHardware(), 1);
  EXPECT_EQ(port.writes + port.reads, 0);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_NE(r.messages[0].first.find("lp group"), std::string::npos);
}

}  // namespace
