#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <span>
#include <vector>

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
  s.bus.cbPortChange(0);
  EXPECT_EQ(s.bus.LptBase(), 0x378);
  EXPECT_EQ(s.bus.LptStatus(), 0x379);
  EXPECT_EQ(s.bus.LptControl(), 0x37A);
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
  const std::array<Case, 6> cases{
      {{0, 18}, {0xFFFFFF, 19}, {0xAAAAAA, 26}, {0x555555, 25}, {0x800001, 21}, {0x1234567, 0}}};
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
  EXPECT_EQ(s.board.violations(),
            std::vector<std::string>{"address lines driven while Vcc is off"});
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

TEST(ScrambleAddress, Examples) {
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x4000), 0xC000u);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x8000), 0x40000u);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x100000), 0u);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0x3FFF), 0x3FFFu);
  EXPECT_EQ(hw::Bus::ScrambleAddress(0xB0000), 0xB0000u);
}

// Mismatch reports show a position past the image as erased instead of
// reading past it: the byte just behind the image here is 0x33. The address
// wraps at 32 bits like the sum it is.
TEST(Reports, PastTheImageShowsErased) {
  SimBus s;
  std::vector<uint8_t> memory(0x201, 0xFF);
  memory[0x200] = 0x33;
  const std::span<const uint8_t> image(memory.data(), 0x200);
  s.bus.ReportMismatch(0x200, 0, 0x00, image);
  s.bus.ReportMismatch16(0x1FF, 0, 0, 0, image);
  s.bus.ReportMismatch(0xFFFFFFF0, 0x100, 0x00, image);
  ASSERT_EQ(s.reporter.messages.size(), 3u);
  EXPECT_EQ(s.reporter.messages[0].first, " Error at 0x000200  Chip = 0x00  buffer = 0xFF");
  EXPECT_EQ(s.reporter.messages[1].first, " Error at 0x0001FF  Chip = 0x0000  buffer = 0xFFFF");
  EXPECT_EQ(s.reporter.messages[2].first, " Error at 0x0000F0  Chip = 0x00  buffer = 0xFF");
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
