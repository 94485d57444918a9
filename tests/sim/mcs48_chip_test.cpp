#include "sim/mcs48_chip.h"

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
using Strings = std::vector<std::string>;

constexpr uint32_t kTest0 = 0x10;  // latch bit 4: verify

class Mcs48ChipTest : public ::testing::Test {
 protected:
  sim::Mcs48Chip* Insert(const char* name) {
    const sim::Mcs48Part* part = sim::FindMcs48Part(name);
    EXPECT_NE(part, nullptr) << name;
    auto made = std::make_unique<sim::Mcs48Chip>(*part);
    chip = made.get();
    chip->RecordEvents(true);
    board.InsertChip(std::move(made));
    bus.SetPort(&board);
    bus.PowerUp();
    Bit(kProgram, true);  // the program line high: no pulse
    return chip;
  }
  void Bit(int n, bool v) {
    bus.SetCtrl(n, v);
    bus.WriteCtrl();
  }
  void Ms(double ms) { bus.DelayTicks(static_cast<int32_t>(ms * 1193.2)); }
  // The address: high nibble and TEST0 through the latch, the low byte on
  // the bus while control bit 1 comes up and stays up.
  void Address(uint32_t address, uint32_t mode) {
    bus.WriteBusByte(0);
    Bit(kDrive, false);
    Ms(2.5);
    bus.ShiftAddress(((address >> 8) & 0x0F) | mode);
    Bit(kDrive, true);
    bus.WriteBusByte(static_cast<uint8_t>(address));
    Ms(2.1);
  }
  void Pulse(uint8_t data, double ms) {
    bus.WriteBusByte(data);
    Bit(kProgram, false);
    Ms(ms);
    Bit(kProgram, true);
  }
  uint8_t ReadBack() {
    bus.WriteBusByte(0);
    Bit(kDrive, false);
    const uint8_t r = bus.ReadDataByte();
    Bit(kDrive, true);
    return r;
  }
  Strings Violations() const { return board.violations(); }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::Mcs48Chip* chip = nullptr;
};

TEST_F(Mcs48ChipTest, ResetLatchesTheBusOneMillisecondAfterControlBitOneRises) {
  Insert("8749H");
  bus.WriteBusByte(0);
  Bit(kDrive, false);
  Ms(2.5);
  bus.ShiftAddress(0x5);
  Bit(kDrive, true);
  bus.WriteBusByte(0x12);
  Ms(0.5);
  EXPECT_FALSE(chip->reset());
  bus.WriteBusByte(0x34);  // still before the RC delay: this is what latches
  Ms(0.6);
  bus.WriteBusByte(0x56);  // after it: too late
  EXPECT_TRUE(chip->reset());
  EXPECT_EQ(chip->latched_address(), 0x534u);
  // A read strobe's few microseconds low do not get through the RC network.
  Bit(kDrive, false);
  bus.DelayTicks(10);
  Bit(kDrive, true);
  Ms(1.5);
  EXPECT_TRUE(chip->reset());
  EXPECT_EQ(chip->latched_address(), 0x534u);
  // Without power there is no RESET, and none until the RC delay after it.
  bus.PowerDown();
  EXPECT_FALSE(chip->reset());
  bus.PowerUp();
  EXPECT_FALSE(chip->reset());
}

TEST_F(Mcs48ChipTest, PulsesOrBitsInWithTest0LowAndEaHigh) {
  Insert("8749H");
  Bit(kStrobe, false);  // EA high
  Address(0x123, 0);
  Pulse(0x0F, 42);
  Pulse(0x30, 42);
  EXPECT_EQ(chip->Contents()[0x123], 0x3F);
  // Verify mode: the part drives the latched cell once the bus is released.
  Address(0x123, kTest0);
  EXPECT_EQ(ReadBack(), 0x3F);
  Address(0x124, kTest0);
  EXPECT_EQ(ReadBack(), 0x00);  // erased
  EXPECT_EQ(Violations(), Strings{});
  ASSERT_EQ(chip->pulses().size(), 2u);
  EXPECT_FALSE(chip->pulses()[0].test0);
  EXPECT_GE(chip->pulses()[0].width_ns, 42'000'000);
}

TEST_F(Mcs48ChipTest, ShortPulsesVerifyModePulsesAndNoEaDoNothing) {
  Insert("8749H");
  Address(0x10, 0);
  Pulse(0xFF, 42);  // EA at 5 V: not programming
  Bit(kStrobe, false);
  Pulse(0xFF, 39);  // just under the 40 ms a cell needs
  Address(0x10, kTest0);
  Pulse(0xFF, 42);  // in verify mode
  EXPECT_EQ(chip->Contents()[0x10], 0x00);
  EXPECT_EQ(Violations(), (Strings{"program pulse shorter than tPW min",
                                   "program pulse in verify mode (TEST0 = 1)"}));
}

TEST_F(Mcs48ChipTest, FaultsAndTheRomParts) {
  Insert("8748H");
  ASSERT_TRUE(chip->InjectFault({"weak", 0x20, 3, 0}));
  ASSERT_TRUE(chip->InjectFault({"never", 0x21, 0, 0}));
  EXPECT_FALSE(chip->InjectFault({"weak", 0x400, 3, 0}));  // beyond 1 KB
  EXPECT_FALSE(chip->InjectFault({"weak", 0x22, 0, 0}));   // a cell needs at least one pulse
  Bit(kStrobe, false);
  Address(0x20, 0);
  Pulse(0x01, 42);
  Pulse(0x01, 42);
  EXPECT_EQ(chip->Contents()[0x20], 0x00);
  Pulse(0x01, 42);
  EXPECT_EQ(chip->Contents()[0x20], 0x01);
  Address(0x21, 0);
  for (int n = 0; n < 5; ++n) Pulse(0xFF, 42);
  EXPECT_EQ(chip->Contents()[0x21], 0x00);
  // Loaded contents replace the old ones: what the load does not cover
  // reads erased.
  chip->SetContents({0x11});
  EXPECT_EQ(chip->Contents()[0], 0x11);
  EXPECT_EQ(chip->Contents()[0x20], 0x00);
  // A ROM part reads what it holds and takes nothing.
  Insert("8049AH");
  chip->SetContents({0xC3});
  Bit(kStrobe, false);
  Address(0, 0);
  Pulse(0xFF, 42);
  Address(0, kTest0);
  EXPECT_EQ(ReadBack(), 0xC3);
  // The ROM fault makes an EPROM part behave the same; a fault kind this
  // model does not have is refused rather than silently ignored.
  Insert("8749H");
  EXPECT_TRUE(chip->InjectFault({"rom", 0, 0, 0}));
  EXPECT_FALSE(chip->InjectFault({"lockbits", 0, 1, 0}));
  Bit(kStrobe, false);
  Address(0x7FF, 0);
  Pulse(0xFF, 42);
  EXPECT_EQ(chip->Contents()[0x7FF], 0x00);
}

// Each part's size, and whether a pulse at its last address programs: the
// 8748H/8749H are EPROM parts, the 8048AH/8049AH/8050AH mask ROM.
TEST_F(Mcs48ChipTest, EachPartItsSizeAndWhetherItPrograms) {
  struct Row {
    const char* name;
    uint32_t size;
    bool rom;
  };
  const Row rows[] = {{"8748H", 1024, false},
                      {"8749H", 2048, false},
                      {"8048AH", 1024, true},
                      {"8049AH", 2048, true},
                      {"8050AH", 4096, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Insert(r.name);
    ASSERT_EQ(chip->Contents().size(), r.size);
    Bit(kStrobe, false);
    Address(r.size - 1, 0);
    Pulse(0x81, 42);
    EXPECT_EQ(chip->Contents()[r.size - 1], r.rom ? 0x00 : 0x81);
    EXPECT_EQ(chip->latched_address(), r.size - 1);
    Bit(kStrobe, true);
  }
  EXPECT_EQ(Violations(), Strings{});
}

TEST_F(Mcs48ChipTest, NoOutputsWithoutEaOrWhileThePortDrives) {
  Insert("8749H");
  chip->SetContents({0x81});
  Address(0, kTest0);
  EXPECT_EQ(ReadBack(), 0xFF);  // EA at 5 V
  Bit(kStrobe, false);
  Address(0, kTest0);
  EXPECT_FALSE(chip->DataOut(board.pins()).has_value());  // the port drives
  EXPECT_EQ(ReadBack(), 0x81);
  EXPECT_EQ(Violations(), Strings{});
}

}  // namespace
