#include "sim/rom_chip.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"

namespace {

// A bus on a simulated board with a ROM in the socket, driven with the
// standard read cycle: power up, read level, an all-ones address, then one
// strobe on the drive line per byte.
class RomChipTest : public ::testing::Test {
 protected:
  void Insert(uint32_t size, sim::ReadLevel level = sim::ReadLevel::kAny) {
    auto chip = std::make_unique<sim::RomChip>(size, level);
    rom = chip.get();
    std::vector<uint8_t> contents(size);
    std::iota(contents.begin(), contents.end(), uint8_t{0x10});
    rom->SetContents(contents);
    board.InsertChip(std::move(chip));
    bus.SetPort(&board);
  }
  void StartReading(bool program_line_high) {
    bus.PowerUp();
    bus.SetCtrl(hw::ctrl::kProgram, program_line_high);
    bus.WriteCtrl();
    bus.ShiftAddress(0xFFFFFF);
  }
  uint8_t Read(uint32_t address) { return bus.ReadCycle(address, 1); }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::RomChip* rom = nullptr;
};

TEST_F(RomChipTest, AnswersWithPowerAndOutputsEnabledOnly) {
  Insert(0x800);
  // Unpowered: the outputs stay off.
  EXPECT_FALSE(rom->DataOut(board.pins()).has_value());
  StartReading(true);
  EXPECT_EQ(Read(0x05), 0x15);
  EXPECT_EQ(Read(0x7FF), static_cast<uint8_t>(0x10 + 0x7FF));
  // Address lines above the chip are not connected.
  EXPECT_EQ(Read(0x805), 0x15);
  // While the port drives the bus the chip's outputs are off.
  sim::Pins pins = board.pins();
  pins.address = 0x05;
  pins.ctrl = 0x04;
  EXPECT_EQ(rom->DataOut(pins), uint8_t{0x15});
  pins.ctrl = 0x04 | 0x02;
  EXPECT_FALSE(rom->DataOut(pins).has_value());
  bus.PowerDown();
  EXPECT_FALSE(rom->DataOut(board.pins()).has_value());
  EXPECT_TRUE(board.violations().empty()) << board.violations().front();
}

TEST_F(RomChipTest, HonoursTheReadLevel) {
  Insert(0x100, sim::ReadLevel::kLow);
  StartReading(true);
  EXPECT_EQ(Read(0x20), 0xFF) << "program line high: outputs must stay off";
  StartReading(false);
  EXPECT_EQ(Read(0x20), 0x30);

  rom->set_read_level(sim::ReadLevel::kHigh);
  EXPECT_EQ(Read(0x20), 0xFF);
  StartReading(true);
  EXPECT_EQ(Read(0x20), 0x30);
  bus.PowerDown();
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(RomChipTest, FlakyByteReadsWrongForItsCountThenRight) {
  Insert(0x200);
  ASSERT_TRUE(rom->InjectFault({"flaky", 0x1A0, 3, 0x80}));
  StartReading(true);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(Read(0x1A0), 0xB0 ^ 0x80) << "access " << n + 1;
  EXPECT_EQ(Read(0x1A0), 0xB0);
  EXPECT_EQ(rom->AccessesAt(0x1A0), 4u);
  // Neighbours are unaffected and reads elsewhere do not use up the count.
  EXPECT_EQ(Read(0x1A1), 0xB1);
  ASSERT_TRUE(rom->InjectFault({"flaky", 0x10, 1, 0}));
  Read(0x11);
  EXPECT_EQ(Read(0x10), 0x20 ^ 0x01);
  EXPECT_EQ(Read(0x10), 0x20);
  bus.PowerDown();
}

TEST_F(RomChipTest, StuckBitsAndBytes) {
  Insert(0x100);
  EXPECT_TRUE(rom->InjectFault({"stuck", 0x01, 0, 0}));  // 0x11 -> 0x10
  EXPECT_TRUE(rom->InjectFault({"stuck", 0x02, 7, 1}));  // 0x12 -> 0x92
  EXPECT_TRUE(rom->InjectFault({"stuck_byte", 0x03, 0xC3, 0}));
  EXPECT_FALSE(rom->InjectFault({"stuck", 0x04, 8, 1}));
  EXPECT_FALSE(rom->InjectFault({"weak", 0x04, 2, 0}));
  StartReading(true);
  EXPECT_EQ(Read(0x01), 0x10);
  EXPECT_EQ(Read(0x02), 0x92);
  EXPECT_EQ(Read(0x03), 0xC3);
  EXPECT_EQ(Read(0x04), 0x14);
  // Contents stay as stored: faults are in the reading, not the cells.
  EXPECT_EQ(rom->Contents()[0x03], 0x13);
  bus.PowerDown();
}

TEST_F(RomChipTest, AWriteAttemptIsAViolation) {
  Insert(0x100);
  bus.PowerUp();
  bus.SetAddress(0x10, 0);
  bus.PutData(0x00, 0);
  bus.ProgramPulse(10);
  bus.PowerDown();
  ASSERT_FALSE(board.violations().empty());
  EXPECT_NE(board.violations().front().find("cannot be written"), std::string::npos);
  EXPECT_EQ(rom->Contents()[0x10], 0x20);
}

TEST_F(RomChipTest, ContentsRoundTripAndShortLoadsFillBlank) {
  Insert(0x10);
  rom->SetContents({1, 2, 3});
  const std::vector<uint8_t> got = rom->Contents();
  ASSERT_EQ(got.size(), 0x10u);
  EXPECT_EQ(got[2], 3);
  EXPECT_EQ(got[3], 0xFF);
}

}  // namespace
