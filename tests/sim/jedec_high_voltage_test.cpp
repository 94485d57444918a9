// The Am29F040's sector protect and unprotect by programming equipment:
// 12 V on A9 and OE# (and CE# to unprotect) through hand-fitted wires, a
// WE# pulse of the datasheet's width, nothing else reaching the part.
#include <gtest/gtest.h>

#include "sim/flash_lines.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"

namespace {

using daraz_test::FlashLines;

class HighVoltageTest : public FlashLines {
 protected:
  void SetUp() override {
    chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("Am29F040")));
    WaitUs(100);  // past the power-up time
    board.ClearViolations();
  }
  void Wires(std::initializer_list<const char*> names) {
    for (const char* wire : {sim::kWireA9Oe, sim::kWireA9OeCe, sim::kWireOeCe}) {
      chip->SetJumper(wire, false);
    }
    for (const char* wire : names) chip->SetJumper(wire);
  }
  // 12 V on, `setup_us` later WE# low for `pulse_us`, then 12 V off.
  void Pulse(uint32_t address, int64_t pulse_us, int64_t setup_us = 5) {
    bus.ShiftAddress(address);
    Bit(hw::ctrl::kDrive, true);
    Vpp(true);
    WaitUs(setup_us);
    Bit(hw::ctrl::kProgram, true);
    WaitUs(pulse_us);
    Bit(hw::ctrl::kProgram, false);
    WaitUs(5);
    Vpp(false);
    WaitUs(5);
  }
  int Protected() const {
    int n = 0;
    for (int s = 0; s < chip->sectors().count(); ++s) n += chip->Protected(s) ? 1 : 0;
    return n;
  }
  void ProtectAll() {
    for (int s = 0; s < chip->sectors().count(); ++s) chip->Protect(s, true);
  }
  sim::JedecFlash* chip = nullptr;
};

// Protect: the pulse must last the datasheet's 100 us; it protects the
// sector on A18..A16 and no other.
TEST_F(HighVoltageTest, ProtectPulseWidthAndSector) {
  const struct {
    int64_t pulse_us;
    bool takes;
  } cases[] = {{97, false}, {101, true}, {2000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pulse_us);
    chip->Protect(3, false);
    Wires({sim::kWireA9Oe});
    Pulse(0x30002, c.pulse_us);
    EXPECT_EQ(chip->Protected(3), c.takes);
    EXPECT_EQ(Protected(), c.takes ? 1 : 0);
  }
  EXPECT_TRUE(board.violations().empty());
}

// Unprotect: CE# at 12 V as well, through one wire or two, and 10 ms.
TEST_F(HighVoltageTest, UnprotectNeedsCeAtTwelveVoltsAndTenMilliseconds) {
  const struct {
    std::initializer_list<const char*> wires;
    int64_t pulse_us;
    int left;
  } cases[] = {
      {{sim::kWireA9OeCe}, 9900, 8},
      {{sim::kWireA9OeCe}, 10100, 0},
      {{sim::kWireA9Oe, sim::kWireOeCe}, 10100, 0},
      {{sim::kWireA9Oe}, 10100, 8},  // CE# low: a protect pulse
      {{sim::kWireOeCe}, 10100, 8},  // 12 V reaches neither A9 nor OE#
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pulse_us);
    ProtectAll();
    Wires(c.wires);
    Pulse(0x20, c.pulse_us);
    EXPECT_EQ(Protected(), c.left);
  }
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(HighVoltageTest, WhatTheDatasheetForbids) {
  // WE# before the 12 V has settled 4 us.
  Wires({sim::kWireA9Oe});
  Pulse(0x10002, 200, 2);
  EXPECT_EQ(board.violations(),
            std::vector<std::string>{"WE# sooner than 4 us after 12 V on A9 and OE#"});
  // Unprotect with a sector still unprotected.
  board.ClearViolations();
  chip->Protect(0, false);
  Wires({sim::kWireA9OeCe});
  Pulse(0x20, 11000);
  EXPECT_EQ(board.violations(),
            std::vector<std::string>{"sector unprotect with a sector not protected"});
  // 12 V without a wire goes to a pin that takes logic levels only.
  board.ClearViolations();
  Wires({});
  Pulse(0x30002, 200);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"12 V on a logic-level pin"});
}

// With A9 and OE# on the wire the part neither reads nor takes a command.
TEST_F(HighVoltageTest, AWiredPartIgnoresCommands) {
  const auto program = [this] {
    Writes({{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xA0}, {0x100, 0x12}});
    WaitUs(100);
  };
  Wires({sim::kWireA9Oe});
  program();
  Wires({});
  EXPECT_EQ(Read(0x100), 0xFF);
  program();
  EXPECT_EQ(Read(0x100), 0x12);
  EXPECT_TRUE(board.violations().empty());
}

}  // namespace
