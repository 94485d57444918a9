// The RAM model: what it keeps across a power cycle, its chip selects and
// pin maps, and the faults a RAM test looks for.
#include "sim/sram_chip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"
#include "sim/ram_chip.h"

namespace {

using Layout = sim::SocketMap::Layout;

class SramTest : public ::testing::Test {
 protected:
  void Insert(uint32_t size, sim::RamKind kind, Layout layout = Layout::kDirect,
              int select_line = -1) {
    sim::SramConfig config;
    config.map = {layout, size, select_line};
    config.kind = kind;
    auto made = std::make_unique<sim::Sram>(config);
    chip = made.get();
    board.InsertChip(std::move(made));
    bus.SetPort(&board);
    PowerOn();
  }
  void PowerOn() {
    bus.PowerUp();
    bus.SetCtrl(hw::ctrl::kProgram, false);
    bus.WriteCtrl();
  }
  void Write(uint32_t address, uint8_t value) {
    bus.ShiftAddress(address);
    bus.SetCtrl(hw::ctrl::kDrive, true);
    bus.WriteCtrl();
    bus.WriteBusByte(value);
    bus.SetCtrl(hw::ctrl::kProgram, true);
    bus.WriteCtrl();
    bus.SetCtrl(hw::ctrl::kProgram, false);
    bus.WriteCtrl();
  }
  uint8_t Read(uint32_t address) { return bus.ReadCycle(address, 1); }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::Sram* chip = nullptr;
};

TEST_F(SramTest, StaticPartForgetsAcrossAPowerCycleAndNvramKeeps) {
  const struct {
    sim::RamKind kind;
    bool keeps;
  } kCases[] = {{sim::RamKind::kStatic, false}, {sim::RamKind::kNvram, true}};
  for (const auto& c : kCases) {
    Insert(2048, c.kind);
    for (uint32_t a = 0; a < 64; ++a) Write(a, static_cast<uint8_t>(a * 3));
    for (uint32_t a = 0; a < 64; ++a) ASSERT_EQ(Read(a), static_cast<uint8_t>(a * 3));
    bus.PowerDown();
    PowerOn();
    int same = 0;
    for (uint32_t a = 0; a < 64; ++a) same += Read(a) == static_cast<uint8_t>(a * 3) ? 1 : 0;
    EXPECT_EQ(same == 64, c.keeps);
    EXPECT_EQ(board.violations(), std::vector<std::string>{});
  }
}

TEST_F(SramTest, SecondChipSelectAndScrambledPins) {
  Insert(128 * 1024, sim::RamKind::kNvram, Layout::kScrambled, 17);
  Write(0x8000, 0x11);  // A17 low: deselected, ignored
  EXPECT_EQ(chip->writes(), 0u);
  EXPECT_EQ(Read(0x8000 | 0x20000), 0xFF);
  // Chip address 0x4000 | 0x8000 leaves the board as A15 | A18.
  Write(0x20000 | 0x48000, 0x22);
  EXPECT_EQ(chip->Cell(0xC000), 0x22);
  EXPECT_EQ(Read(0x20000 | 0x48000), 0x22);
  EXPECT_EQ(Read(0x48000), 0xFF);  // deselected: the pull-ups
}

TEST_F(SramTest, ShortedAndOpenAddressLines) {
  Insert(2048, sim::RamKind::kNvram);
  ASSERT_TRUE(chip->InjectFault({"alias", 0, 5, 4}));
  Write(0x10, 0x01);  // A4 = 1, A5 = 0: the part sees 0x30
  EXPECT_EQ(chip->Cell(0x30), 0x01);
  EXPECT_EQ(Read(0x30), 0x01);
  Insert(2048, sim::RamKind::kNvram);
  ASSERT_TRUE(chip->InjectFault({"float", 0, 8, 0}));
  Write(0x001, 0x02);
  EXPECT_EQ(chip->Cell(0x101), 0x02);
  EXPECT_FALSE(chip->InjectFault({"alias", 0, 4, 4}));
}

TEST_F(SramTest, DeadBatteryAndClockRegisters) {
  Insert(2048, sim::RamKind::kTimekeeper);
  EXPECT_TRUE(chip->InjectFault({"battery-dead", 0, 0, 0}));
  Write(0x7F7, 0x01);  // below the clock
  EXPECT_EQ(Read(0x7F7), 0x01);
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
  Read(0x7FF);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"timekeeper register touched"});
  board.ClearViolations();
  Write(0x7F8, 0x02);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"timekeeper register touched"});
  Insert(2048, sim::RamKind::kStatic);
  EXPECT_FALSE(chip->InjectFault({"battery-dead", 0, 0, 0}));
}

TEST_F(SramTest, WriteWithOutputsOnStoresTheFloatingBus) {
  Insert(2048, sim::RamKind::kNvram);
  bus.ShiftAddress(0x5);
  bus.SetCtrl(hw::ctrl::kProgram, true);
  bus.WriteCtrl();
  bus.SetCtrl(hw::ctrl::kProgram, false);
  bus.WriteCtrl();
  EXPECT_EQ(chip->Cell(0x5), 0xFF);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"commit with OE# low"});
}

// A fault the part cannot have is refused whole: an address line the board
// does not have, a line shorted to itself, a cell outside the part.
TEST_F(SramTest, FaultsThePartCannotHaveAreRefused) {
  struct Case {
    sim::RamKind kind;
    sim::ChipFault fault;
    bool accepted;
  };
  using K = sim::RamKind;
  const Case kCases[] = {
      {K::kNvram, {"alias", 0, 1, 0}, true},
      {K::kNvram, {"alias", 0, 0, 1}, true},
      {K::kNvram, {"alias", 0, 23, 22}, true},
      {K::kNvram, {"alias", 0, 24, 4}, false},
      {K::kNvram, {"alias", 0, 4, 24}, false},
      {K::kNvram, {"alias", 0, -1, 4}, false},
      {K::kNvram, {"alias", 0, 4, -1}, false},
      {K::kNvram, {"float", 0, 0, 0}, true},
      {K::kNvram, {"float", 0, 23, 0}, true},
      {K::kNvram, {"float", 0, 24, 0}, false},
      {K::kNvram, {"float", 0, -1, 0}, false},
      {K::kNvram, {"weak", 2047, 1, 0}, true},
      {K::kNvram, {"weak", 2048, 2, 0}, false},
      {K::kNvram, {"weak", 0, 0, 0}, false},
      {K::kNvram, {"stuck", 2047, 7, 1}, true},
      {K::kNvram, {"stuck", 0, 0, 0}, true},
      {K::kNvram, {"stuck", 0, 8, 0}, false},
      {K::kNvram, {"stuck", 0, -1, 0}, false},
      {K::kNvram, {"stuck", 0, 0, 2}, false},
      {K::kNvram, {"stuck", 0, 0, -1}, false},
      {K::kNvram, {"stuck", 2048, 0, 0}, false},
      {K::kNvram, {"sdp-on", 0, 0, 0}, false},
      {K::kTimekeeper, {"battery-dead", 0, 0, 0}, true},
      {K::kStatic, {"battery-dead", 0, 0, 0}, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fault.kind + " " + std::to_string(c.fault.address) + " " +
                 std::to_string(c.fault.arg1) + " " + std::to_string(c.fault.arg2));
    Insert(2048, c.kind);
    EXPECT_EQ(chip->InjectFault(c.fault), c.accepted);
  }
}

TEST_F(SramTest, StuckBitsAndWeakCells) {
  Insert(2048, sim::RamKind::kNvram);
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x10, 7, 1}));  // bit 7 reads 1
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x11, 0, 0}));  // bit 0 reads 0
  ASSERT_TRUE(chip->InjectFault({"weak", 0x12, 3, 0}));   // holds from the third write
  Write(0x10, 0x01);
  Write(0x11, 0x0F);
  EXPECT_EQ(Read(0x10), 0x81);
  EXPECT_EQ(Read(0x11), 0x0E);
  EXPECT_EQ(chip->Cell(0x11), 0x0F);  // the cell has it; the output bit is stuck
  chip->SetContents({});
  for (int write = 1; write <= 3; ++write) {
    Write(0x12, 0x42);
    EXPECT_EQ(Read(0x12), write < 3 ? 0xFF : 0x42) << write;
  }
}

TEST_F(SramTest, ContentsShorterThanThePartLeaveTheRestAtFF) {
  Insert(2048, sim::RamKind::kNvram);
  for (uint32_t a = 0; a < 4; ++a) Write(a, 0x00);
  chip->SetContents({0x12, 0x34});
  EXPECT_EQ(chip->Cell(0), 0x12);
  EXPECT_EQ(chip->Cell(1), 0x34);
  EXPECT_EQ(chip->Cell(2), 0xFF);
  EXPECT_EQ(chip->Contents().size(), 2048u);
  chip->SetContents(std::vector<uint8_t>(4096, 0x5A));  // longer: the part's size
  EXPECT_EQ(chip->Contents(), std::vector<uint8_t>(2048, 0x5A));
}

// The board's plain test RAM: a store on the program line's rise while the
// port drives the bus, none onto a floating bus or without Vcc.
TEST(RamChip, StoresOnTheProgramLineOnlyWithTheBusDriven) {
  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  auto made = std::make_unique<sim::RamChip>(256);
  sim::RamChip* ram = made.get();
  board.InsertChip(std::move(made));
  bus.SetPort(&board);
  const auto store = [&](uint32_t address, uint8_t value, bool drive) {
    bus.ShiftAddress(address);
    bus.SetCtrl(hw::ctrl::kDrive, drive);
    bus.WriteCtrl();
    bus.WriteBusByte(value);
    bus.SetCtrl(hw::ctrl::kProgram, true);
    bus.WriteCtrl();
    bus.SetCtrl(hw::ctrl::kProgram, false);
    bus.WriteCtrl();
  };
  bus.PowerUp();
  store(0x112, 0x34, true);  // 256 bytes: A8 is not the part's
  EXPECT_EQ(ram->cells()[0x12], 0x34);
  EXPECT_EQ(ram->writes(), 1u);
  EXPECT_EQ(bus.ReadCycle(0x12, 1), 0x34);
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
  store(0x13, 0x56, false);
  EXPECT_EQ(ram->cells()[0x13], 0xFF);
  EXPECT_EQ(ram->writes(), 1u);
  EXPECT_EQ(board.violations(),
            std::vector<std::string>{"write strobe with the data bus undriven"});
  ram->SetContents({0x01});
  EXPECT_EQ(ram->cells()[0], 0x01);
  EXPECT_EQ(ram->cells()[0x12], 0xFF);
}

}  // namespace
