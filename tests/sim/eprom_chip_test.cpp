#include "sim/eprom_chip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"

namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;
using sim::EpromConfig;
using sim::ProgramPin;
using sim::VppPin;

constexpr int kNominalTicks = 120;  // 100.6 us: one ordinary cell's worth

EpromConfig Part(ProgramPin pin, VppPin vpp, uint32_t size = 0x2000) {
  EpromConfig c;
  c.size = size;
  c.program_pin = pin;
  c.vpp_pin = vpp;
  c.timing.cell_ns = 100'000;
  return c;
}

// The board's lines driven by hand, the way the program routines move them.
class EpromChipTest : public ::testing::Test {
 protected:
  sim::EpromChip* Insert(const EpromConfig& config) {
    auto made = std::make_unique<sim::EpromChip>(config);
    chip = made.get();
    board.InsertChip(std::move(made));
    bus.SetPort(&board);
    bus.PowerUp();
    return chip;
  }
  void Bit(int n, bool v) {
    bus.SetCtrl(n, v);
    bus.WriteCtrl();
  }
  bool ActiveHigh() const { return chip->config().program_pin == ProgramPin::kActiveHigh; }
  // Control bit 3 for "program line active"; the 2716's line is inverted.
  void ProgramLine(bool active) { Bit(kProgram, ActiveHigh() ? !active : active); }

  // Vpp on, address and data set up, one pulse, Vpp off.
  void Pulse(uint32_t address, uint8_t data, int ticks = kNominalTicks, bool vpp = true) {
    ProgramLine(false);
    if (vpp) Bit(kStrobe, false);
    bus.ShiftAddress(address);
    bus.PutData(data, 2);
    bus.DelayTicks(3);  // tDS
    ProgramLine(true);
    bus.DelayTicks(ticks);
    ProgramLine(false);
    bus.DelayTicks(3);  // tDH, tOEH
    bus.WriteData();
    Bit(kDrive, false);
    Bit(kStrobe, true);
  }
  // A read cycle with control bit 3 at `bit3` and Vpp as given (the line
  // first, so that Vpp never meets a fresh program edge).
  uint8_t ReadAt(uint32_t address, bool bit3, bool vpp = false) {
    Bit(kProgram, bit3);
    Bit(kStrobe, !vpp);
    const uint8_t r = bus.ReadCycle(address, 1);
    Bit(kStrobe, true);
    return r;
  }
  // The line level a plain read wants.
  bool ReadLevel() const { return chip->config().program_pin != ProgramPin::kSeparate; }
  uint8_t Read(uint32_t address) { return ReadAt(address, ReadLevel()); }

  bool Logged(const std::string& what) const {
    for (const auto& v : board.violations()) {
      if (v.find(what) != std::string::npos) return true;
    }
    return false;
  }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::EpromChip* chip = nullptr;
};

struct ReadCase {
  const char* name;
  ProgramPin pin;
  VppPin vpp;
  bool reads_bit3_1, reads_bit3_0;        // Vpp off
  bool verifies_bit3_1, verifies_bit3_0;  // Vpp on (own Vpp pin only)
};

TEST_F(EpromChipTest, OutputsComeOnOnlyInTheReadAndVerifyModesOfEachPinLayout) {
  const ReadCase cases[] = {
      {"CE/PGM, own Vpp", ProgramPin::kChipEnable, VppPin::kOwn, true, false, true, true},
      {"CE/PGM, OE/Vpp", ProgramPin::kChipEnable, VppPin::kShared, true, false, false, false},
      {"PGM pin", ProgramPin::kSeparate, VppPin::kOwn, false, true, false, true},
      {"2716", ProgramPin::kActiveHigh, VppPin::kOwn, true, false, true, false},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Insert(Part(c.pin, c.vpp));
    chip->SetContents({0x12, 0x34, 0x56});
    EXPECT_EQ(ReadAt(1, true) == 0x34, c.reads_bit3_1);
    EXPECT_EQ(ReadAt(1, false) == 0x34, c.reads_bit3_0);
    if (c.vpp == VppPin::kOwn) {
      EXPECT_EQ(ReadAt(2, true, true) == 0x56, c.verifies_bit3_1);
      EXPECT_EQ(ReadAt(2, false, true) == 0x56, c.verifies_bit3_0);
    } else {
      // OE/Vpp at Vpp holds the outputs off.
      Bit(kProgram, false);
      EXPECT_EQ(ReadAt(2, false, true), 0xFF);
    }
    // No power, no outputs.
    bus.PowerDown();
    Bit(kProgram, ReadLevel());
    EXPECT_FALSE(chip->DataOut(board.pins()).has_value());
    EXPECT_EQ(board.violations(), std::vector<std::string>{});
    board.ClearViolations();
  }
}

TEST_F(EpromChipTest, APulseUnderVppOnlyClearsBits) {
  for (const ProgramPin pin :
       {ProgramPin::kChipEnable, ProgramPin::kSeparate, ProgramPin::kActiveHigh}) {
    for (const VppPin vpp : {VppPin::kOwn, VppPin::kShared}) {
      SCOPED_TRACE(static_cast<int>(pin) * 10 + static_cast<int>(vpp));
      Insert(Part(pin, vpp));
      Pulse(0x1234, 0xA5);
      EXPECT_EQ(chip->Cell(0x1234), 0xA5);
      EXPECT_EQ(Read(0x1234), 0xA5);
      Pulse(0x1234, 0xFF);  // 1s cannot come back
      Pulse(0x1234, 0x0F);
      EXPECT_EQ(chip->Cell(0x1234), 0x05);
      EXPECT_EQ(chip->Cell(0x1235), 0xFF);
      EXPECT_TRUE(board.violations().empty()) << board.violations().front();
      chip->Erase();
      EXPECT_EQ(chip->Cell(0x1234), 0xFF);
    }
  }
}

TEST_F(EpromChipTest, NothingProgramsWithoutPowerVppOrTheOutputsHeldOff) {
  Insert(Part(ProgramPin::kChipEnable, VppPin::kOwn));
  Pulse(0x10, 0x00, kNominalTicks, /*vpp=*/false);
  EXPECT_EQ(chip->Cell(0x10), 0xFF);
  EXPECT_TRUE(Logged("program pulse without Vpp"));

  // CE pulsed at Vpp with the outputs on is program verify: nothing changes.
  board.ClearViolations();
  Bit(kStrobe, false);
  bus.ShiftAddress(0x11);
  Bit(kProgram, true);
  bus.DelayTicks(10 * kNominalTicks);
  Bit(kProgram, false);
  EXPECT_EQ(chip->Cell(0x11), 0xFF);
  // Raising OE while CE is already active starts no pulse either.
  Bit(kProgram, true);
  bus.PutData(0x00, 0);
  bus.DelayTicks(10 * kNominalTicks);
  Bit(kProgram, false);
  Bit(kDrive, false);
  Bit(kStrobe, true);
  EXPECT_EQ(chip->Cell(0x11), 0xFF);
  EXPECT_TRUE(board.violations().empty());

  // Vpp with the socket unpowered.
  bus.PowerDown();
  Bit(kStrobe, false);
  EXPECT_TRUE(Logged("Vpp applied while Vcc is off"));
  Bit(kProgram, true);
  bus.PutData(0x00, 0);
  Bit(kProgram, false);
  EXPECT_EQ(chip->Cell(0), 0xFF);
}

TEST_F(EpromChipTest, ProtocolSlipsAreLogged) {
  // OE/Vpp part pulsed with the bus released: the pull-ups go in.
  Insert(Part(ProgramPin::kChipEnable, VppPin::kShared));
  Bit(kStrobe, false);
  bus.ShiftAddress(0x20);
  Bit(kProgram, true);
  bus.DelayTicks(kNominalTicks);
  Bit(kProgram, false);
  EXPECT_EQ(chip->Cell(0x20), 0xFF);
  EXPECT_TRUE(Logged("program pulse outside program mode (data bus undriven)"));
  // Moving the address in the middle of a pulse: the bus goes first.
  board.ClearViolations();
  bus.PutData(0x00, 0);
  Bit(kProgram, true);
  bus.ShiftAddress(0x21);
  EXPECT_TRUE(Logged("data changed during a program pulse"));
  Bit(kProgram, false);
  // With 0xFF on the bus the release goes unseen, the shift does not.
  board.ClearViolations();
  bus.PutData(0xFF, 0);
  Bit(kProgram, true);
  bus.ShiftAddress(0x22);
  EXPECT_TRUE(Logged("address changed during a program pulse"));
  Bit(kProgram, false);
  // Vpp arriving after the pulse began.
  board.ClearViolations();
  Bit(kStrobe, true);
  bus.PutData(0x00, 0);
  Bit(kProgram, true);
  Bit(kStrobe, false);
  EXPECT_TRUE(Logged("Vpp raised during a program pulse"));
  Bit(kProgram, false);

  // A PGM pin pulsed at Vpp with the outputs on.
  Insert(Part(ProgramPin::kSeparate, VppPin::kOwn));
  board.ClearViolations();
  Bit(kStrobe, false);
  bus.ShiftAddress(0x30);
  Bit(kProgram, true);
  Bit(kProgram, false);
  EXPECT_TRUE(Logged("program pulse outside program mode (outputs on)"));
}

TEST_F(EpromChipTest, ChargeBuildsUpPulseByPulse) {
  Insert(Part(ProgramPin::kChipEnable, VppPin::kOwn));
  ASSERT_TRUE(chip->InjectFault({"weak", 0x40, 3, 0}));
  Pulse(0x40, 0x00);
  Pulse(0x40, 0x00);
  EXPECT_EQ(chip->Cell(0x40), 0xFF);
  Pulse(0x40, 0x00);
  EXPECT_EQ(chip->Cell(0x40), 0x00);
  // An ordinary cell given two half pulses.
  Pulse(0x41, 0x7F, kNominalTicks / 2);
  EXPECT_EQ(chip->Cell(0x41), 0xFF);
  Pulse(0x41, 0x7F, kNominalTicks / 2 + 2);
  EXPECT_EQ(chip->Cell(0x41), 0x7F);
  EXPECT_EQ(chip->pulses(), 5u);
}

TEST_F(EpromChipTest, StuckBitsAndAMissingVppSupply) {
  Insert(Part(ProgramPin::kChipEnable, VppPin::kOwn));
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x50, 2, 1}));
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x51, 7, 0}));
  Pulse(0x50, 0x00);
  EXPECT_EQ(Read(0x50), 0x04);
  EXPECT_EQ(Read(0x51), 0x7F);
  EXPECT_FALSE(chip->InjectFault({"stuck", 0x50, 8, 1}));
  EXPECT_FALSE(chip->InjectFault({"weak", 0x50, 0, 0}));
  EXPECT_FALSE(chip->InjectFault({"weak", 0x2000, 2, 0}));
  EXPECT_FALSE(chip->InjectFault({"slow", 0x50, 1, 0}));  // no such fault here

  ASSERT_TRUE(chip->InjectFault({"vpp_missing", 0, 0, 0}));
  Pulse(0x52, 0x00);
  EXPECT_EQ(chip->Cell(0x52), 0xFF);
  EXPECT_TRUE(board.violations().empty());  // the lines were right; the supply was not
}

TEST_F(EpromChipTest, SixteenBitPartsAreAByteArrayLowByteFirst) {
  EpromConfig c = Part(ProgramPin::kSeparate, VppPin::kOwn, 0x20000);
  c.wide = true;
  Insert(c);
  Pulse(0x1FFFE, 0x34);
  Pulse(0x1FFFF, 0x12);
  EXPECT_EQ(chip->Word(0xFFFF), 0x1234);
  EXPECT_EQ(Read(0x1FFFF), 0x12);
  // Address lines above the part do not reach it.
  EXPECT_EQ(Read(0x3FFFF), 0x12);

  chip->SetContents({0x01, 0x02});
  std::vector<uint8_t> contents = chip->Contents();
  ASSERT_EQ(contents.size(), 0x20000u);
  EXPECT_EQ(contents[0], 0x01);
  EXPECT_EQ(contents[1], 0x02);
  EXPECT_EQ(contents[2], 0xFF);
  EXPECT_EQ(contents[0x1FFFF], 0xFF);
}

}  // namespace
