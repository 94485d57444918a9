#include "sim/mcs51_chip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"

namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;
using Strings = std::vector<std::string>;

// 40-pin patterns: mode pins P2.6 P2.7 P3.6 P3.7 on bits 15..18, the 12 V
// route on bit 20.
constexpr uint32_t kWrite = 0x170000;     // L H H H, 12 V
constexpr uint32_t kRead = 0x060000;      // L L H H
constexpr uint32_t kErase = 0x108000;     // H L L L, 12 V
constexpr uint32_t kLock1 = 0x178000;     // H H H H, 12 V
constexpr uint32_t kLock2 = 0x118000;     // H H L L, 12 V
constexpr uint32_t kLockRead = 0x038000;  // H H H L (AT89S51/52)

// 20-pin patterns: P3.3 bit 6, P3.7 bit 7, P3.4 bit 8, P3.5 bit 9, 12 V
// route bit 18, RST bit 17, XTAL1 bits 15 and 16.
constexpr uint32_t kWrite20 = 0x40380;
constexpr uint32_t kRead20 = 0x280;
constexpr uint32_t kReset20 = 0x20000;
constexpr uint32_t kNext20 = 0x18380;

class Mcs51ChipTest : public ::testing::Test {
 protected:
  sim::Mcs51Chip* Insert(const char* name, bool new_adapter = false) {
    const sim::Mcs51Part* part = sim::FindMcs51Part(name);
    EXPECT_NE(part, nullptr) << name;
    auto made = std::make_unique<sim::Mcs51Chip>(*part, new_adapter);
    chip = made.get();
    chip->RecordEvents(true);
    board.InsertChip(std::move(made));
    bus.SetPort(&board);
    bus.PowerUp();
    return chip;
  }
  void Bit(int n, bool v) {
    bus.SetCtrl(n, v);
    bus.WriteCtrl();
  }
  void Ticks(int n) { bus.DelayTicks(n); }

  // The mode and the byte, 12 V (when asked) after the latch settled, one
  // PROG pulse of `ticks`, 12 V off after the hold time.
  void Strobe(uint32_t pattern, uint8_t data, int ticks, bool vpp = true) {
    Bit(kProgram, false);
    bus.SetAddress(pattern, 0);
    if (vpp) Bit(kStrobe, false);
    Ticks(20);
    bus.PutData(data, 3);
    Ticks(10);
    bus.ProgramPulse(ticks);
    Ticks(30);
    Bit(kStrobe, true);
  }
  // Bus released, PROG high, 12 V off; the pattern; the byte.
  uint8_t ReadAt(uint32_t pattern) {
    bus.SetCtrl(kDrive, false);
    bus.SetCtrl(kProgram, false);
    bus.SetCtrl(kStrobe, true);
    bus.WriteCtrl();
    bus.ShiftAddress(pattern);
    Ticks(10);
    return bus.ReadDataByte();
  }
  void WaitMs(int ms) { Ticks(ms * 1194); }  // 1194 ticks = 1.0007 ms

  // 20-pin: RST pulse, then XTAL1 pulses.
  void Enter20() {
    Bit(kProgram, false);
    bus.SetAddress(kReset20, 0);
    bus.ProgramPulse(100);
  }
  void Next20() {
    bus.SetAddress(kNext20, 0);
    bus.ProgramPulse(10);
  }

  Strings Violations() const { return board.violations(); }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::Mcs51Chip* chip = nullptr;
};

TEST_F(Mcs51ChipTest, FlashWritesOnlyClearBitsAndReadBackAfterTheWriteCycle) {
  Insert("AT89C52");
  Strobe(kWrite | 0x1234, 0xA5, 12);  // a 10 us pulse
  // Busy for the typical 1.5 ms: data polling shows bit 7 inverted.
  EXPECT_EQ(ReadAt(kRead | 0x1234), 0x25);
  WaitMs(2);
  EXPECT_EQ(ReadAt(kRead | 0x1234), 0xA5);
  Strobe(kWrite | 0x1234, 0xFF, 12);  // ones cannot come back
  WaitMs(2);
  Strobe(kWrite | 0x1234, 0x0F, 12);
  WaitMs(2);
  EXPECT_EQ(ReadAt(kRead | 0x1234), 0x05);
  EXPECT_EQ(chip->Contents()[0x1235], 0xFF);
  EXPECT_EQ(Violations(), (Strings{"byte read sooner than tWC after its write"}));
}

TEST_F(Mcs51ChipTest, AWriteNeedsTwelveVoltsThroughTheRouteAndAWriteMode) {
  Insert("AT89C51");
  Strobe(kWrite | 0x10, 0x00, 12, /*vpp=*/false);
  WaitMs(2);
  // The Vpp switch on, but the pattern without its route bit: EA stays at 5 V.
  Strobe((kWrite & ~0x100000u) | 0x11, 0x00, 12);
  WaitMs(2);
  EXPECT_EQ(chip->Contents()[0x10], 0xFF);
  EXPECT_EQ(chip->Contents()[0x11], 0xFF);
  EXPECT_EQ(Violations(), (Strings{"write without 12 V on EA/VPP"}));
  board.ClearViolations();
  // 12 V in a read mode is no mode of the part.
  Strobe(kRead | 0x100000 | 0x12, 0x00, 12);
  EXPECT_EQ(Violations(), (Strings{"program pulse outside a write mode"}));
  board.ClearViolations();
  // PROG low at 5 V in a read mode (a verify's ending) is ignored.
  Strobe(kRead | 0x13, 0x00, 12, /*vpp=*/false);
  EXPECT_EQ(Violations(), Strings{});
}

TEST_F(Mcs51ChipTest, TheModeIsTheLatchAtThePulseEdgeNotWhatItRipplesThrough) {
  Insert("AT89C51");
  // PROG goes low in the read mode; the latch then moves to the write mode
  // with 12 V while the line is still low: that pulse writes nothing.
  bus.ShiftAddress(kRead | 0x20);
  Bit(kProgram, true);
  bus.ShiftAddress(kWrite | 0x20);
  Bit(kStrobe, false);
  bus.PutData(0x00, 0);
  Ticks(12);
  Bit(kProgram, false);
  Bit(kStrobe, true);
  WaitMs(2);
  EXPECT_EQ(chip->Contents()[0x20], 0xFF);
  EXPECT_EQ(chip->events().size(), 1u);
  EXPECT_EQ(chip->events()[0].latch, kRead | 0x20);
}

TEST_F(Mcs51ChipTest, SetupHoldAndBusyViolationsFollowTheDatasheet) {
  Insert("AT89C2051");
  Enter20();
  // 12 V switched on in the same instant as the pulse: no tSHGL.
  Bit(kProgram, false);
  bus.SetAddress(kWrite20, 0);
  bus.PutData(0x00, 3);
  Ticks(3);
  Bit(kStrobe, false);
  bus.ProgramPulse(12);
  Bit(kStrobe, true);  // and off at once: no tGHSL
  // A second pulse 1 ms later lands in the write cycle and is ignored.
  WaitMs(1);
  Strobe(kWrite20, 0x00, 12);
  EXPECT_EQ(Violations(), (Strings{"12 V setup before PROG shorter than tSHGL",
                                   "12 V removed sooner than tGHSL after PROG",
                                   "program pulse during the write cycle"}));
  EXPECT_EQ(chip->writes(), 1u);
}

TEST_F(Mcs51ChipTest, PulseWidthLimitsByPart) {
  struct Case {
    const char* part;
    int ticks;
    bool writes;
    const char* violation;  // nullptr: none
  };
  const Case cases[] = {
      {"AT89C51", 12, true, nullptr},
      {"AT89C51", 140, true, "program pulse longer than tGLGH max"},  // 117 us
      {"AT89S51", 2, true, "program pulse longer than tGLGH max"},    // 2.7 us > 1 us
      {"87C52", 110, true, nullptr},                                  // 93 us
      {"87C52", 100, false, "program pulse shorter than tGLGH min"},  // 84.8 us
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.ticks));
    board.ClearViolations();
    Insert(c.part);
    Strobe(kWrite | 0x40, 0x3C, c.ticks);
    WaitMs(2);
    EXPECT_EQ(chip->Contents()[0x40] == 0x3C, c.writes);
    EXPECT_EQ(Violations(), c.violation ? Strings{c.violation} : Strings{});
  }
}

TEST_F(Mcs51ChipTest, EpromCellsCountPulsesAndNeverErase) {
  Insert("87C52");
  ASSERT_TRUE(chip->InjectFault({"weak", 0x100, 15, 0}));
  ASSERT_TRUE(chip->InjectFault({"never", 0x101, 0, 0}));
  for (int n = 0; n < 14; ++n) Strobe(kWrite | 0x100, 0x12, 110);
  EXPECT_EQ(chip->Contents()[0x100], 0xFF);
  Strobe(kWrite | 0x100, 0x12, 110);
  EXPECT_EQ(chip->Contents()[0x100], 0x12);
  for (int n = 0; n < 30; ++n) Strobe(kWrite | 0x101, 0x12, 110);
  EXPECT_EQ(chip->Contents()[0x101], 0xFF);
  // No electrical erase: H L L L is no mode of an EPROM part.
  Strobe(kErase, 0xFF, 25000);
  EXPECT_EQ(chip->Contents()[0x100], 0x12);
  EXPECT_EQ(Violations(), (Strings{"program pulse outside a write mode"}));
}

TEST_F(Mcs51ChipTest, ChipEraseNeedsThePartsPulseAndClearsTheLockBits) {
  Insert("AT89C51");
  chip->SetContents(std::vector<uint8_t>(4096, 0x00));
  ASSERT_TRUE(chip->InjectFault({"lockbits", 0, 3, 0}));
  Strobe(kErase, 0xFF, 6000);  // 5 ms: too short for the AT89C parts
  EXPECT_EQ(chip->locks(), 7);
  EXPECT_EQ(Violations(), (Strings{"chip erase pulse shorter than the datasheet's minimum"}));
  Strobe(kErase, 0xFF, 12000);  // 10.06 ms
  EXPECT_EQ(chip->locks(), 0);
  EXPECT_EQ(chip->Contents(), std::vector<uint8_t>(4096, 0xFF));
  // The AT89S parts erase with a short pulse.
  Insert("AT89S52");
  chip->SetContents(std::vector<uint8_t>(8192, 0x00));
  Strobe(kErase, 0xFF, 10);
  EXPECT_EQ(chip->Contents(), std::vector<uint8_t>(8192, 0xFF));
}

TEST_F(Mcs51ChipTest, LockBitOneStopsWritesLockBitTwoHidesTheCode) {
  Insert("AT89C51");
  chip->SetContents({0x5A, 0xFF});
  Strobe(kLock1, 0xFF, 12);
  WaitMs(2);
  Strobe(kWrite | 1, 0x00, 12);
  WaitMs(2);
  EXPECT_EQ(chip->Contents()[1], 0xFF);
  EXPECT_EQ(ReadAt(kRead), 0x5A);
  Strobe(kLock2, 0xFF, 12);
  WaitMs(2);
  EXPECT_EQ(chip->locks(), 3);
  // Neither the byte nor an erased one reads as itself.
  EXPECT_EQ(ReadAt(kRead), 0x00);
  EXPECT_EQ(ReadAt(kRead | 1), 0x00);
  // The signature still reads.
  EXPECT_EQ(ReadAt(0x30), 0x1E);
  EXPECT_EQ(ReadAt(0x31), 0x51);
}

TEST_F(Mcs51ChipTest, LockReadLayoutsOfTheSerialParts) {
  // AT89S51: LB1 and LB2 read as D2 and D3 set.
  Insert("AT89S51");
  Strobe(kLock1, 0xFF, 1);
  Strobe(kLock2, 0xFF, 1);
  WaitMs(1);
  EXPECT_EQ(ReadAt(kLockRead), 0x0C);
  // AT89S8252: one pulse in H L H L, D7 and D6 low for LB1 and LB2; read
  // in H H L L with 12 V as D2, D1.
  Insert("AT89S8252");
  Strobe(0x128000, 0x3F, 30);
  WaitMs(2);
  EXPECT_EQ(chip->locks(), 3);
  Bit(kStrobe, false);
  bus.ShiftAddress(0x118000);
  Ticks(10);
  EXPECT_EQ(bus.ReadDataByte(), 0x06);
  Bit(kStrobe, true);
  // AT89S8253: the lock byte, low bits programmed.
  Insert("AT89S8253");
  Strobe(0x1A0000, 0xFC, 2);
  WaitMs(5);
  EXPECT_EQ(chip->locks(), 3);
  EXPECT_EQ(ReadAt(0x184000), 0xFC);
}

TEST_F(Mcs51ChipTest, SignaturesAsTheDatasheetsPlaceThem) {
  Insert("AT89S52");
  EXPECT_EQ(ReadAt(0x30), 0x1E);
  EXPECT_EQ(ReadAt(0x31), 0xFF);
  EXPECT_EQ(ReadAt(0x000), 0x1E);
  EXPECT_EQ(ReadAt(0x100), 0x52);
  EXPECT_EQ(ReadAt(0x200), 0x06);
  Insert("AT89S8253");
  EXPECT_EQ(ReadAt(0x80030), 0x1E);
  EXPECT_EQ(ReadAt(0x80031), 0x73);
  EXPECT_EQ(ReadAt(0x80032), 0x01);
}

TEST_F(Mcs51ChipTest, OpenDrainP0LeavesOnesToThePullUpsSoOnlyZerosFight) {
  Insert("AT89C52");
  // Address 0 is the signature mode; an AT89C52 has nothing there.
  bus.ShiftAddress(0);
  Bit(kDrive, true);
  EXPECT_EQ(Violations(), Strings{});
  Bit(kDrive, false);
  Insert("AT89S52");  // 1EH at 000H
  bus.ShiftAddress(0);
  Bit(kDrive, true);
  EXPECT_EQ(Violations(),
            (Strings{"data bus contention: the port drives while the chip's outputs are on"}));
}

TEST_F(Mcs51ChipTest, TwentyPinCounterWiringAndProgrammingMode) {
  Insert("AT89C2051");
  chip->SetContents({0x01, 0x80, 0x5A});
  // Nothing answers before the RST pulse.
  EXPECT_EQ(ReadAt(kRead20), 0xFF);
  Enter20();
  EXPECT_EQ(chip->counter(), 0u);
  // XTAL1 takes the pulse only when both route bits are set; with one of
  // them the pulse is PROG, here at 5 V in the signature mode: nothing moves.
  for (const uint32_t one_route_bit : {0x8000u, 0x10000u}) {
    bus.SetAddress(one_route_bit, 0);
    bus.ProgramPulse(10);
  }
  EXPECT_EQ(chip->counter(), 0u);
  // Chip bit 0 reaches port bit 7, chip bit 7 port bit 3.
  EXPECT_EQ(ReadAt(kRead20), 0x80);
  Next20();
  EXPECT_EQ(ReadAt(kRead20), 0x08);
  Next20();
  // 0x5A = bits 1, 3, 4, 6 -> port bits 6, 5, 1, 2.
  EXPECT_EQ(ReadAt(kRead20), 0x66);
  // A write lands where the counter stands, through the same wiring: port
  // 0x80 is chip 0x01.
  Next20();
  Strobe(kWrite20, 0x80, 80);
  WaitMs(2);
  EXPECT_EQ(chip->Contents()[3], 0x01);
  // Signature at counter 0 and 1.
  Enter20();
  EXPECT_EQ(ReadAt(0), 0x63);  // 0x1E: bits 1, 2, 3, 4 -> port 6, 0, 5, 1
  Next20();
  EXPECT_EQ(ReadAt(0), 0x90);  // 0x21: bits 0, 5 -> port 7, 4
  // A power cycle ends programming mode until the next RST pulse.
  bus.PowerDown();
  bus.PowerUp();
  EXPECT_EQ(ReadAt(0), 0xFF);
  EXPECT_EQ(Violations(), Strings{});
}

TEST_F(Mcs51ChipTest, NewAdapterMirrorsTheBitsAndTheSwapFaultFlipsIt) {
  Insert("AT89C2051", /*new_adapter=*/true);
  chip->SetContents({0x01});
  Enter20();
  EXPECT_EQ(ReadAt(kRead20), 0x80);  // bit 0 to bit 7 either way
  chip->SetContents({0x02});
  EXPECT_EQ(ReadAt(kRead20), 0x40);  // mirrored: bit 1 to bit 6
  chip->SetContents({0x04});
  EXPECT_EQ(ReadAt(kRead20), 0x20);
  ASSERT_TRUE(chip->InjectFault({"adapter-swap", 0, 0, 0}));
  EXPECT_EQ(ReadAt(kRead20), 0x01);  // original wiring: bit 2 to bit 0
  Insert("AT89C51");
  EXPECT_FALSE(chip->InjectFault({"adapter-swap", 0, 0, 0}));
}

TEST_F(Mcs51ChipTest, ProgramPulseBeforeTheResetPulseDoesNothing) {
  Insert("AT89C2051");
  Strobe(kWrite20, 0x00, 80);
  EXPECT_EQ(chip->writes(), 0u);
  EXPECT_EQ(Violations(), (Strings{"program pulse before programming mode was entered"}));
}

TEST_F(Mcs51ChipTest, PageLoadsAreWrittenWhenTheVppSwitchComesBack) {
  Insert("AT89S8253");
  chip->SetContents([] {
    std::vector<uint8_t> v(0x3800, 0xFF);
    v[0x3000] = 0x00;  // data EEPROM holds old bytes
    v[0x3001] = 0x00;
    return v;
  }());
  Bit(kStrobe, false);
  for (uint32_t k = 0; k < 2; ++k) {
    bus.ShiftAddress(0xE4000 | k);  // code page load
    Bit(kDrive, true);
    bus.WriteBusByte(static_cast<uint8_t>(0x10 + k));
    bus.ProgramPulse(2);
  }
  for (uint32_t k = 0; k < 2; ++k) {
    bus.ShiftAddress(0x64000 | (0x3000 + k));  // data page load
    Bit(kDrive, true);
    bus.WriteBusByte(static_cast<uint8_t>(0xAA + k));
    bus.ProgramPulse(2);
  }
  EXPECT_EQ(chip->Contents()[0], 0xFF);  // nothing yet
  Bit(kStrobe, true);
  EXPECT_EQ(chip->Contents()[0], 0x10);
  EXPECT_EQ(chip->Contents()[1], 0x11);
  EXPECT_EQ(chip->Contents()[0x3000], 0xAA);  // overwritten, not ANDed
  EXPECT_EQ(chip->Contents()[0x3001], 0xAB);
  WaitMs(5);
  EXPECT_EQ(ReadAt(0xE0001), 0x11);
  EXPECT_EQ(ReadAt(0x60000 | 0x3001), 0xAB);
  EXPECT_EQ(Violations(), Strings{});

  // A page loaded when the socket loses power is gone: the next rise of
  // the switch writes nothing.
  Bit(kStrobe, false);
  bus.ShiftAddress(0xE4000 | 5);
  Bit(kDrive, true);
  bus.WriteBusByte(0x77);
  bus.ProgramPulse(2);
  Bit(kDrive, false);
  bus.ShiftAddress(0);
  Bit(hw::ctrl::kPower, false);
  Ticks(100);
  bus.PowerUp();
  Bit(kStrobe, false);
  Ticks(10);
  Bit(kStrobe, true);
  EXPECT_EQ(chip->Contents()[5], 0xFF);
}

TEST_F(Mcs51ChipTest, OptionByteAndLockBitsSurviveThroughTheChipState) {
  Insert("AT89S8252");
  Strobe(0x50000, 0x01, 10, /*vpp=*/false);  // the SPI byte takes no 12 V
  WaitMs(2);
  EXPECT_EQ(chip->option(), 0x01);
  Strobe(0x128000, 0x7F, 30);
  const std::vector<sim::StateSection> state = chip->State();
  ASSERT_EQ(state.size(), 2u);
  Insert("AT89S8252");
  for (const auto& section : state) EXPECT_TRUE(chip->SetState(section));
  EXPECT_EQ(chip->option(), 0x01);
  EXPECT_EQ(chip->locks(), 1);
  EXPECT_FALSE(chip->SetState({"fuses", {0}}));
  Insert("AT89C51");
  EXPECT_EQ(chip->State().size(), 1u);
  EXPECT_FALSE(chip->SetState({"option", {0}}));
}

TEST_F(Mcs51ChipTest, TwelveVoltsOnAnUnpoweredSocket) {
  Insert("AT89C51");
  bus.PowerDown();
  bus.ShiftAddress(kWrite);
  Bit(kStrobe, false);
  const Strings v = Violations();
  EXPECT_NE(std::find(v.begin(), v.end(), "12 V on EA/VPP with the socket unpowered"), v.end());
}

TEST_F(Mcs51ChipTest, RomPartNeverProgramsOrErases) {
  Insert("AT89C51");
  chip->SetContents({0x00});
  ASSERT_TRUE(chip->InjectFault({"rom", 0, 0, 0}));
  Strobe(kWrite | 1, 0x00, 12);
  WaitMs(2);
  Strobe(kErase, 0xFF, 12000);
  EXPECT_EQ(chip->Contents()[0], 0x00);
  EXPECT_EQ(chip->Contents()[1], 0xFF);
}

}  // namespace
