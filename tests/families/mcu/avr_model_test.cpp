// The AT90S model on its own terms: the address latch that outlives a
// command, the long /WR pulses of the erase and the fuse write, 12 V on an
// unpowered socket, the state that goes into the chip file.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "families/mcu/avr_fixture.h"
#include "families/mcu/avr_ops.h"

namespace daraz_test {
namespace {

namespace avr = families::avr;
using Strings = std::vector<std::string>;

TEST(AvrChip, TheHighAddressByteOutlivesTheCommand) {
  AvrSession s;
  s.Select(106);  // AT90S8515, 512-byte EEPROM
  avr::AvrEnterProgramming(s.p);
  // A flash read leaves 0x01 in the high address latch; an EEPROM write
  // that loads only its low byte lands in the upper half.
  avr::ReadFlashWord(s.p, 0x1A5);
  avr::AvrLoad(s.p, 0x200, 0x11);
  avr::AvrLoad(s.p, 0x000, 0x05);
  avr::AvrLoad(s.p, 0x080, 0x3C);
  avr::AvrWritePulse(s.p, 0);
  s.p.bus.DelayTicks(1500);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.chip->eeprom()[0x105], 0x3C);
  EXPECT_EQ(s.chip->eeprom()[0x005], 0xFF);
  EXPECT_EQ(s.Violations(), Strings{});
}

TEST(AvrChip, EraseAndFuseNeedTheirLongWritePulses) {
  struct Case {
    uint8_t command;
    int ticks;  // /WR low, 0.8381 us each
    const char* violation;
    bool takes;
  };
  // The chip erase needs /WR low 5..15 ms, the fuse write 1.0..1.8 ms:
  // shorter does nothing, longer does the work but breaks the limit.
  const Case cases[] = {
      {0x80, 50, "chip erase /WR pulse shorter than tWLWH_CE", false},
      {0x80, 20000, "chip erase /WR pulse longer than tWLWH_CE", true},
      {0x40, 20, "fuse /WR pulse shorter than tWLWH_PFB", false},
      {0x40, 2500, "fuse /WR pulse longer than tWLWH_PFB", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.violation);
    AvrSession s;
    s.Select(102);
    s.chip->SetContents(std::vector<uint8_t>(2048 + 128, 0x00));
    avr::AvrEnterProgramming(s.p);
    avr::AvrLoad(s.p, 0x200, c.command);
    avr::AvrLoad(s.p, 0x080, 0xDE);
    avr::AvrWritePulse(s.p, 0, c.ticks);
    s.p.bus.PowerDown();
    if (c.command == 0x80) {
      EXPECT_EQ(s.chip->flash()[0], c.takes ? 0xFF : 0x00);
      EXPECT_EQ(s.chip->eeprom()[127], c.takes ? 0xFF : 0x00);
    } else {
      EXPECT_EQ(s.chip->fuses(), c.takes ? 0xDE : 0xFF);
    }
    EXPECT_EQ(s.Violations(), Strings{c.violation});
  }
}

// With a port faster than the parallel port the limits below one access
// (67 ns each) come within reach.
TEST(AvrChip, SetupAndPulseLimitsOnAFasterPort) {
  AvrSession s;
  s.Select(102);
  hw::Bus& bus = s.p.bus;
  const auto set = [&](int line, bool v) {
    bus.SetCtrl(line, v);
    bus.WriteCtrl();
  };
  bus.PowerUp();
  set(hw::ctrl::kStrobe, true);
  bus.ShiftAddress(0);
  bus.DelayTicks(1000);
  s.board->SetAccessCost(20);
  set(hw::ctrl::kStrobe, false);  // 12 V on RESET
  // Command 0x10 (chip bit 4 on port bit 1) with no waits: too soon after
  // 12 V, data 20 ns before XTAL1, XTAL1 high 20 ns.
  set(hw::ctrl::kDrive, false);
  bus.ShiftAddress(0x18000 | 0x200);
  set(hw::ctrl::kDrive, true);
  bus.WriteBusByte(0x02);
  set(hw::ctrl::kProgram, true);
  set(hw::ctrl::kProgram, false);
  bus.ShiftAddress(0x60000);
  set(hw::ctrl::kProgram, true);  // /WR low for 20 ns
  set(hw::ctrl::kProgram, false);
  s.board->SetAccessCost(1000);
  bus.PowerDown();
  EXPECT_EQ(s.Violations(),
            (Strings{"command sooner than 100 us after 12 V on RESET",
                     "data setup before XTAL1 shorter than tDVXH", "XTAL1 pulse shorter than tXHXL",
                     "/WR pulse shorter than tWLWH"}));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The datasheet's limits are minima and maxima the part still meets: a
// setup, an XTAL1 or /WR pulse exactly at 67 ns, an erase pulse of exactly
// 5 or 15 ms and a fuse pulse of exactly 1.0 or 1.8 ms do their work and
// break nothing. One port access of the limit's length makes each edge.
TEST(AvrChip, PulsesExactlyAtTheLimitsAreAccepted) {
  struct Case {
    uint8_t command;
    int64_t setup_ns, xtal_ns;  // of the command load
    int64_t wr_ns;
  };
  const Case cases[] = {
      {0x10, 67, 67, 67},
      {0x80, 1000, 1000, 5'000'000},
      {0x80, 1000, 1000, 15'000'000},
      {0x40, 1000, 1000, 1'000'000},
      {0x40, 1000, 1000, 1'800'000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wr_ns);
    AvrSession s;
    s.Select(102);
    s.chip->SetContents(std::vector<uint8_t>(2048 + 128, 0xF0));
    hw::Bus& bus = s.p.bus;
    const auto set = [&](int line, bool v, int64_t cost) {
      s.board->SetAccessCost(cost);
      bus.SetCtrl(line, v);
      bus.WriteCtrl();
      s.board->SetAccessCost(1000);
    };
    avr::AvrEnterProgramming(s.p);
    set(hw::ctrl::kDrive, false, 1000);
    bus.ShiftAddress(0x18000 | 0x200);
    set(hw::ctrl::kDrive, true, 1000);
    bus.DelayTicks(200);
    // The command on the port: chip bit 4 on port bit 1, 7 on 3, 6 on 2.
    bus.WriteBusByte(c.command == 0x10 ? 0x02 : c.command == 0x80 ? 0x08 : 0x04);
    set(hw::ctrl::kProgram, true, c.setup_ns);  // XTAL1 high
    set(hw::ctrl::kProgram, false, c.xtal_ns);
    bus.DelayTicks(80);
    avr::AvrLoad(s.p, 0x080, 0x5A);
    bus.ShiftAddress(0x60000);
    set(hw::ctrl::kDrive, true, 1000);
    bus.DelayTicks(10);
    set(hw::ctrl::kProgram, true, 1000);  // /WR low
    set(hw::ctrl::kProgram, false, c.wr_ns);
    bus.DelayTicks(3500);
    bus.PowerDown();
    if (c.command == 0x10) {
      EXPECT_EQ(s.chip->flash()[0], 0x50);  // 0xF0 AND 0x5A
    }
    if (c.command == 0x80) {
      EXPECT_EQ(s.chip->flash()[0], 0xFF);
    }
    if (c.command == 0x40) {
      EXPECT_EQ(s.chip->fuses(), 0xDE);  // SPIEN, bit 0 of 0x5A
    }
    EXPECT_EQ(s.Violations(), Strings{});
  }
}

TEST(AvrChip, FuseAndLockReadInEachPartsLayout) {
  struct Case {
    int tag;
    uint8_t fuse, lock;
    uint8_t stored;      // the fuse bits the part keeps
    int fuses_read;      // BS1 = 0, -1: not read
    uint8_t locks_read;  // BS1 = 1
  };
  // AT90S2313: SPIEN (bit 5) and FSTRT (bit 0) only, read with LB1 on bit
  // 7 and LB2 on bit 6. AT90S4433: six fuses read with BS1 = 0, the lock
  // bits on bits 1 and 2 with BS1 = 1.
  const Case cases[] = {
      {102, 0xC0, 0xFF, 0xDE, -1, 0xDE},   {102, 0xDE, 0xF9, 0xDE, -1, 0x1E},
      {102, 0xFF, 0xFD, 0xFF, -1, 0x7F},   {104, 0xE6, 0xFF, 0xE6, 0xE6, 0xFF},
      {104, 0xC0, 0xFD, 0xC0, 0xC0, 0xFD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag * 1000 + c.fuse);
    AvrSession s;
    s.Select(c.tag);
    avr::AvrEnterProgramming(s.p);
    avr::WriteFuses(s.p, c.fuse);
    avr::WriteLocks(s.p, c.lock);
    EXPECT_EQ(s.chip->fuses(), c.stored);
    EXPECT_EQ(avr::ReadFuseAndLock(s.p), c.locks_read);
    if (c.fuses_read >= 0) {
      avr::AvrLoad(s.p, 0x200, 0x04);
      EXPECT_EQ(avr::AvrReadByte(s.p, 0), c.fuses_read);
    }
    s.p.bus.PowerDown();
    EXPECT_EQ(s.Violations(), Strings{});
  }
}

TEST(AvrChip, LockBitsOnlyProgramAndGuardBothMemories) {
  AvrSession s;
  s.Select(102);
  std::vector<uint8_t> cells(2048 + 128, 0xFF);
  cells[0] = 0x12;
  cells[2048] = 0x77;
  s.chip->SetContents(cells);
  avr::AvrEnterProgramming(s.p);
  avr::WriteLocks(s.p, 0xFD);
  avr::WriteLocks(s.p, 0xFF);  // only the chip erase clears a lock bit
  EXPECT_EQ(s.chip->locks(), 0xFD);
  avr::WriteEepromByte(s.p, 1, 0x55);
  avr::WriteFlashWord(s.p, 1, 0x00, 0x00);
  EXPECT_EQ(s.chip->eeprom()[1], 0xFF);
  EXPECT_EQ(s.chip->flash()[2], 0xFF);
  // Mode 2 still reads; mode 3 reads 0x00 from both memories.
  EXPECT_EQ(avr::ReadEepromByte(s.p, 0), 0x77);
  avr::WriteLocks(s.p, 0xF9);
  EXPECT_EQ(avr::ReadEepromByte(s.p, 0), 0x00);
  EXPECT_EQ(avr::ReadFlashWord(s.p, 0), (std::array<uint8_t, 2>{0x00, 0x00}));
  s.p.bus.PowerDown();
  EXPECT_EQ(s.Violations(), Strings{});
}

TEST(AvrChip, XtalWithBothModePinsHighIsIdle) {
  AvrSession s;
  s.Select(102);
  avr::AvrEnterProgramming(s.p);
  avr::AvrLoad(s.p, 0x200, 0x10);  // write flash
  avr::AvrLoad(s.p, 0x000, 0x00);
  avr::AvrLoad(s.p, 0x100, 0x00);
  avr::AvrLoad(s.p, 0x280, 0x00);  // XA1 XA0 = 11: no load
  avr::AvrWritePulse(s.p, 0);
  s.p.bus.DelayTicks(2500);
  s.p.bus.PowerDown();
  // The data register kept its 0xFF, and the command and address stand.
  EXPECT_EQ(s.chip->flash()[0], 0xFF);
  EXPECT_EQ(s.Violations(), Strings{});
  // Nothing was recorded: the log is kept only when asked for.
  EXPECT_TRUE(s.chip->events().empty());
}

TEST(AvrChip, FaultsThePartComesWith) {
  AvrSession s;
  s.Select(102);
  EXPECT_FALSE(s.chip->InjectFault({"lockbits", 0, 1}));
  EXPECT_FALSE(s.chip->InjectFault({"stuck"}));
  EXPECT_EQ(s.chip->locks(), 0xFF);
  ASSERT_TRUE(s.chip->InjectFault({"lockbits", 0, 2}));
  EXPECT_EQ(s.chip->locks(), 0xFD);
  ASSERT_TRUE(s.chip->InjectFault({"lockbits", 0, 3}));
  EXPECT_EQ(s.chip->locks(), 0xF9);
  // Not erased: byte n holds the low bits of n.
  ASSERT_TRUE(s.chip->InjectFault({"not-erased"}));
  EXPECT_EQ(s.chip->flash()[0x000], 0x00);
  EXPECT_EQ(s.chip->flash()[0x1FF], 0xFF);
  EXPECT_EQ(s.chip->flash()[0x234], 0x34);
}

TEST(AvrChip, PowerClearsTheAddressLatchAndContentsAreFlashThenEeprom) {
  AvrSession s;
  s.Select(106);  // AT90S8515: 8 KB flash, 512-byte EEPROM
  avr::AvrEnterProgramming(s.p);
  avr::ReadFlashWord(s.p, 0x1A5);  // high address byte 0x01
  s.p.bus.PowerDown();
  avr::AvrEnterProgramming(s.p);
  avr::AvrLoad(s.p, 0x200, 0x11);
  avr::AvrLoad(s.p, 0x000, 0x05);
  avr::AvrLoad(s.p, 0x080, 0x3C);
  avr::AvrWritePulse(s.p, 0);
  s.p.bus.DelayTicks(1500);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.chip->eeprom()[0x005], 0x3C);
  EXPECT_EQ(s.chip->eeprom()[0x105], 0xFF);

  std::vector<uint8_t> cells(8192 + 512);
  for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<uint8_t>(i * 3 + (i >> 9));
  s.chip->SetContents(cells);
  EXPECT_EQ(s.chip->flash()[8191], cells[8191]);
  EXPECT_EQ(s.chip->eeprom()[0], cells[8192]);
  EXPECT_EQ(s.chip->eeprom()[511], cells[8703]);
  EXPECT_EQ(s.chip->Contents(), cells);
  s.chip->SetContents({0x01, 0x02});  // a short file: the rest erased
  EXPECT_EQ(s.chip->flash()[1], 0x02);
  EXPECT_EQ(s.chip->flash()[2], 0xFF);
  EXPECT_EQ(s.chip->eeprom()[0], 0xFF);
  EXPECT_EQ(s.Violations(), Strings{});
}

// The part samples its mode pins as 12 V reaches RESET: with BS1 high then
// it stays out of programming mode, and the pins falling afterwards do not
// bring it in; only the next rise of 12 V with them low does.
TEST(AvrChip, TwelveVoltsEnterProgrammingOnlyWithTheModePinsLow) {
  AvrSession s;
  s.Select(102);
  hw::Bus& bus = s.p.bus;
  const auto twelve_volts = [&](bool on) {
    bus.SetCtrl(hw::ctrl::kStrobe, !on);
    bus.WriteCtrl();
    bus.DelayTicks(1000);
  };
  bus.PowerUp();
  bus.ShiftAddress(0x100);  // BS1 high
  twelve_volts(true);
  EXPECT_FALSE(s.chip->programming());
  bus.ShiftAddress(0);
  bus.DelayTicks(1000);
  avr::AvrLoad(s.p, 0x200, 0x08);
  EXPECT_FALSE(s.chip->programming());
  EXPECT_EQ(s.Violations(), Strings{"XTAL1 pulse outside programming mode"});
  twelve_volts(false);
  bus.ShiftAddress(0);
  twelve_volts(true);
  EXPECT_TRUE(s.chip->programming());
  bus.PowerDown();
  EXPECT_FALSE(s.chip->programming());
}

TEST(AvrChip, TwelveVoltsOnAnUnpoweredSocketEntersNothing) {
  AvrSession s;
  s.Select(102);
  s.p.bus.SetCtrl(hw::ctrl::kStrobe, false);  // 12 V on RESET, Vcc off
  s.p.bus.WriteCtrl();
  s.p.bus.SetCtrl(hw::ctrl::kStrobe, true);
  s.p.bus.WriteCtrl();
  EXPECT_FALSE(s.chip->programming());
  EXPECT_EQ(s.Violations(),
            (Strings{"Vpp applied while Vcc is off", "Vpp driven while Vcc is off"}));
}

TEST(AvrChip, FusesAndLocksGoIntoTheChipFile) {
  AvrSession s;
  s.Select(104);
  ASSERT_TRUE(s.chip->SetState({"fuses", {0xE6}}));
  ASSERT_TRUE(s.chip->SetState({"locks", {0xFD}}));
  EXPECT_FALSE(s.chip->SetState({"option", {0x00}}));
  // A section of the wrong length is refused and changes nothing.
  EXPECT_FALSE(s.chip->SetState({"fuses", {}}));
  EXPECT_FALSE(s.chip->SetState({"locks", {0xF9, 0xFF}}));
  const std::vector<sim::StateSection> state = s.chip->State();
  ASSERT_EQ(state.size(), 2u);
  EXPECT_EQ(state[0].name, "fuses");
  EXPECT_EQ(state[0].bytes, std::vector<uint8_t>{0xE6});
  EXPECT_EQ(state[1].name, "locks");
  EXPECT_EQ(state[1].bytes, std::vector<uint8_t>{0xFD});
  // A lock byte from a file cannot clear bits the part does not have.
  ASSERT_TRUE(s.chip->SetState({"locks", {0x00}}));
  EXPECT_EQ(s.chip->locks(), 0xF9);
}

}  // namespace
}  // namespace daraz_test
