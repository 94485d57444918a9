// The EPROM model's high-voltage erase (W27E/W27C, SST27SF, SST37VF): what
// the erase jumpers, the levels and the erase time decide.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"
#include "sim/eprom_chip.h"
#include "sim/eprom_parts.h"

namespace {

constexpr int64_t kMs = 1'000'000;

class EpromEraseTest : public ::testing::Test {
 protected:
  void Insert(const char* part, uint32_t size, bool jumpers) {
    auto made = std::make_unique<sim::EpromChip>(sim::ConfigOf(*sim::FindEpromPart(part), size));
    chip = made.get();
    chip->SetContents(std::vector<uint8_t>(size, 0x00));
    chip->SetJumper("erase", jumpers);
    board.InsertChip(std::move(made));
    bus.SetPort(&board);
    bus.PowerUp();
  }
  // Vpp on, address and data set, the program line held for `ms`.
  void Pulse(uint32_t address, uint8_t data, int64_t ms) {
    bus.SetCtrl(hw::ctrl::kStrobe, false);  // Vpp on
    bus.WriteCtrl();
    bus.ShiftAddress(address);
    bus.PutData(data, 20);
    bus.DelayTicks(20);
    bus.SetCtrl(hw::ctrl::kProgram, true);
    bus.WriteCtrl();
    board.clock().Advance(ms * kMs);
    bus.SetCtrl(hw::ctrl::kProgram, false);
    bus.WriteCtrl();
    bus.SetCtrl(hw::ctrl::kStrobe, true);  // Vpp off
    bus.WriteCtrl();
    bus.SetCtrl(hw::ctrl::kDrive, false);
    bus.WriteCtrl();
  }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::EpromChip* chip = nullptr;
};

TEST_F(EpromEraseTest, ErasePulseOfTheEraseTimeWithTheJumpers) {
  const struct {
    const char* name;
    bool jumpers;
    uint32_t address;
    uint8_t data;
    int64_t ms;
    bool erased;
  } kCases[] = {
      {"the erase", true, 0, 0xFF, 100, true},      {"too short", true, 0, 0xFF, 99, false},
      {"not address 0", true, 1, 0xFF, 100, false}, {"data not 0xFF", true, 0, 0xFE, 100, false},
      {"no jumpers", false, 0, 0xFF, 100, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Insert("W27C010", 128 * 1024, c.jumpers);
    Pulse(c.address, c.data, c.ms);
    EXPECT_EQ(chip->Cell(0x1FFFF), c.erased ? 0xFF : 0x00);
    EXPECT_EQ(chip->erases(), c.erased ? 1u : 0u);
  }
}

TEST_F(EpromEraseTest, WithoutJumpersItIsAnOverlongProgramPulse) {
  Insert("W27C010", 128 * 1024, false);
  Pulse(0, 0xFF, 100);
  EXPECT_EQ(chip->violations(),
            std::vector<std::string>{"program pulse longer than tPW max (over-stress)"});
  Insert("W27C010", 128 * 1024, true);
  Pulse(0, 0xFF, 100);
  EXPECT_EQ(chip->violations(), std::vector<std::string>{});
}

TEST_F(EpromEraseTest, LevelsCountNotTheirOrder) {
  // OE/Vpp part reading with CE active: Vpp comes on under the active line.
  Insert("W27C512", 64 * 1024, true);
  bus.SetCtrl(hw::ctrl::kProgram, true);  // CE active, as a read leaves it
  bus.WriteCtrl();
  Pulse(0, 0xFF, 100);
  EXPECT_EQ(chip->erases(), 1u);
  EXPECT_EQ(chip->violations(), std::vector<std::string>{"Vpp raised during a program pulse"});
}

TEST_F(EpromEraseTest, ErasePulsesTheArrayNeeds) {
  Insert("SST37VF", 64 * 1024, true);
  ASSERT_TRUE(chip->InjectFault({"erase-cycles", 0, 2, 0}));
  Pulse(0, 0xFF, 100);
  EXPECT_EQ(chip->Cell(5), 0x00);
  Pulse(0, 0xFF, 100);
  EXPECT_EQ(chip->Cell(5), 0xFF);
  EXPECT_EQ(chip->erase_pulses(), 2u);
  // A UV part has no electrical erase.
  Insert("27C010", 128 * 1024, true);
  EXPECT_FALSE(chip->InjectFault({"erase-cycles", 0, 2, 0}));
  Pulse(0, 0xFF, 100);
  EXPECT_EQ(chip->Cell(5), 0x00);
}

}  // namespace
