#include "sim/jedec_flash.h"

#include <gtest/gtest.h>

#include "sim/chip_file.h"
#include "sim/flash_lines.h"
#include "sim/jedec_parts.h"

namespace {

using daraz_test::FlashLines;

class JedecFlashTest : public FlashLines {
 protected:
  sim::JedecFlash* Make(const char* name) {
    const sim::JedecPart* part = sim::FindJedecPart(name);
    EXPECT_NE(part, nullptr) << name;
    chip = Insert(std::make_unique<sim::JedecFlash>(*part));
    board.ClearViolations();
    return chip;
  }
  // The three-cycle commands on an unlock pair.
  void Command(uint32_t u1, uint32_t u2, uint8_t code) {
    Writes({{u1, 0xAA}, {u2, 0x55}, {u1, code}});
  }
  void Program(uint32_t u1, uint32_t u2, uint32_t address, uint8_t data) {
    Command(u1, u2, 0xA0);
    Write(address, data);
  }
  void ChipErase(uint32_t u1, uint32_t u2) {
    Command(u1, u2, 0x80);
    Command(u1, u2, 0x10);
  }
  sim::JedecFlash* chip = nullptr;
};

// Each set of unlock addresses against parts that decode 15 bits, 11 bits,
// and in byte mode 12 and 16 bits.
TEST_F(JedecFlashTest, AnUnlockSetWorksOnlyWhereThePartDecodesIt) {
  struct Case {
    const char* part;
    uint32_t u1, u2;
    bool programs;
  };
  const Case cases[] = {
      {"Am29F040", 0x5555, 0x2AAA, true},   {"Am29F040", 0x555, 0x2AA, false},
      {"A29040A", 0x555, 0x2AA, true},      {"A29040A", 0x5555, 0x2AAA, true},
      {"Am29F400T", 0xAAAA, 0x5555, true},  {"Am29F400T", 0xAAA, 0x555, true},
      {"Am29F400T", 0x5555, 0x2AAA, false}, {"MX29F1610", 0xAAA, 0x555, false},
      {"EN29F800T", 0xAAA, 0x555, true},    {"SST39SF010A", 0x555, 0x2AA, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.part) + (c.programs ? " takes " : " ignores ") + "the set");
    Make(c.part);
    Program(c.u1, c.u2, 0x100, 0x12);
    WaitUs(2000);
    EXPECT_EQ(Read(0x100), c.programs ? 0x12 : 0xFF);
    EXPECT_TRUE(board.violations().empty());
  }
}

// Each unlock cycle needs its data as much as its address: 0x55 where 0xAA
// belongs starts nothing, in the program command and in the second unlock
// of the chip erase.
TEST_F(JedecFlashTest, AnUnlockCycleWithTheWrongDataStartsNothing) {
  Make("Am29F040");
  Writes({{0x5555, 0x55}, {0x2AAA, 0x55}, {0x5555, 0xA0}, {0x100, 0x12}});
  WaitUs(2000);
  EXPECT_EQ(Read(0x100), 0xFF);

  chip->SetContents(std::vector<uint8_t>(512 * 1024, 0x00));
  Command(0x5555, 0x2AAA, 0x80);
  Writes({{0x5555, 0x55}, {0x2AAA, 0x55}, {0x5555, 0x10}});
  WaitUs(2000);
  EXPECT_EQ(Read(0x100), 0x00) << "no chip erase";
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(JedecFlashTest, ProgramShowsDataPollingUntilTheByteIsDone) {
  Make("Am29F010");
  ASSERT_TRUE(chip->InjectFault({"slow", 0x40, 100, 0}));  // 700 us instead of 7
  Program(0x5555, 0x2AAA, 0x40, 0x35);
  const uint8_t first = Read(0x40);
  const uint8_t second = Read(0x40);
  EXPECT_EQ(first & 0x80, 0x80) << "DQ7 is the complement of bit 7 of 0x35";
  EXPECT_NE(first & 0x40, second & 0x40) << "DQ6 toggles on each OE# fall";
  EXPECT_EQ(first & 0x20, 0) << "no DQ5";
  Write(0x41, 0x00);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"write while busy"});
  WaitUs(700);
  EXPECT_EQ(Read(0x40), 0x35);
  EXPECT_EQ(chip->Cell(0x41), 0xFF);
  EXPECT_EQ(chip->programs(), 1u);
}

// A program that has run its time is done, read or not: Vcc cut right
// after keeps the byte; cut while the program still runs, it is lost.
TEST_F(JedecFlashTest, VccCutAfterTheProgramTimeKeepsTheByte) {
  Make("Am29F010");
  ASSERT_TRUE(chip->InjectFault({"slow", 0x41, 100, 0}));  // 700 us instead of 7
  Program(0x5555, 0x2AAA, 0x40, 0x35);
  WaitUs(20);
  Bit(hw::ctrl::kPower, false);  // nothing else on the bus since the write
  EXPECT_EQ(chip->Cell(0x40), 0x35);
  bus.PowerUp();
  WaitUs(100);
  Program(0x5555, 0x2AAA, 0x41, 0x35);
  WaitUs(20);
  Bit(hw::ctrl::kPower, false);
  EXPECT_EQ(chip->Cell(0x41), 0xFF) << "cut off 20 us into its 700";
}

TEST_F(JedecFlashTest, AByteThatNeedsAOneRaisesDq5AndHoldsItUntilReset) {
  Make("Am29F010");
  chip->SetContents(std::vector<uint8_t>(0x100, 0x0F));
  Program(0x5555, 0x2AAA, 0x10, 0xF3);
  WaitUs(200);
  EXPECT_EQ(Read(0x10) & 0xA0, 0x00) << "bit 7 of 0xF3 is 1: DQ7 reads 0; no DQ5 yet";
  WaitUs(200);
  EXPECT_EQ(Read(0x10) & 0x20, 0x20);
  Program(0x5555, 0x2AAA, 0x10, 0xF3);  // a resend without reset is ignored
  EXPECT_EQ(Read(0x10) & 0x20, 0x20);
  Write(0, 0xF0);
  EXPECT_EQ(Read(0x10), 0x03) << "what the program could clear stays cleared";
  EXPECT_EQ(board.violations(), std::vector<std::string>{"write while busy"});
}

TEST_F(JedecFlashTest, APartWithoutDq5EndsTheProgramAfterItsTime) {
  Make("SST39SF010A");
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x22, 3, 1}));
  Program(0x5555, 0x2AAA, 0x22, 0x00);
  WaitUs(20);
  EXPECT_EQ(Read(0x22), 0x08) << "no DQ5: the part simply stops; the stuck bit reads 1";
  Program(0x5555, 0x2AAA, 0x22, 0x00);
  WaitUs(20);
  EXPECT_EQ(Read(0x22), 0x08);
}

// An erase cannot lift a bit stuck at 0: the sector erase runs past the
// part's 64 s limit and then raises DQ5, held until reset.
TEST_F(JedecFlashTest, AnEraseOverABitStuckAtZeroRaisesDq5) {
  Make("Am29F010");
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x4100, 0, 0}));
  Command(0x5555, 0x2AAA, 0x80);
  Writes({{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x4000, 0x30}});
  WaitUs(2'000'000);
  EXPECT_EQ(Read(0x4000) & 0xA0, 0x00) << "DQ7 0 and no DQ5 past the typical 1 s";
  WaitUs(63'000'000);
  EXPECT_EQ(Read(0x4000) & 0xA0, 0x20) << "DQ5 after 64 s";
  EXPECT_EQ(Read(0x4000) & 0xA0, 0x20);
  Write(0, 0xF0);
  EXPECT_EQ(Read(0x4100), 0xFE);
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(JedecFlashTest, ChipEraseSkipsProtectedSectorsUnlessTwelveVoltsLiftTheProtection) {
  for (const bool unprotect : {false, true}) {
    SCOPED_TRACE(unprotect ? "12 V on #RESET" : "no 12 V");
    Make("Am29F002T");
    chip->SetContents(std::vector<uint8_t>(256 * 1024, 0x00));
    ASSERT_TRUE(chip->InjectFault({"protect", 0x3C000, 0, 0}));  // the 16 KB boot sector
    if (unprotect) Vpp(true);
    ChipErase(0x555, 0x2AA);
    EXPECT_EQ(Read(0x5555) & 0x88, 0x08) << "DQ7 0 and DQ3 1 while erasing";
    WaitUs(7'900'000);
    EXPECT_EQ(Read(0) & 0xBF, 0x08) << "still busy before 8 s";
    WaitUs(200'000);
    EXPECT_EQ(Read(0), 0xFF);
    EXPECT_EQ(chip->Cell(0x3BFFF), 0xFF);
    EXPECT_EQ(chip->Cell(0x3C000), unprotect ? 0xFF : 0x00);
    EXPECT_EQ(chip->Cell(0x3FFFF), unprotect ? 0xFF : 0x00);
    Vpp(false);
    EXPECT_TRUE(board.violations().empty());
  }
}

TEST_F(JedecFlashTest, AProtectedSectorIgnoresAProgramAndAStuckEraseNeverEnds) {
  Make("M29F040B");
  ASSERT_TRUE(chip->InjectFault({"protect", 0x10000, 0, 0}));
  Program(0x555, 0x2AA, 0x10001, 0x00);
  WaitUs(10);
  EXPECT_EQ(Read(0x10001), 0xFF);
  ASSERT_TRUE(chip->InjectFault({"busy-forever", 0, 0, 0}));
  ChipErase(0x555, 0x2AA);
  WaitUs(100'000'000);
  EXPECT_EQ(Read(0) & 0x80, 0x00);
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(JedecFlashTest, AutoselectMapsWithAndWithoutContinuationCodes) {
  struct Case {
    const char* part;
    int protect;  // a sector to protect first, -1 none
    std::vector<std::pair<uint32_t, uint8_t>> reads;
  };
  const Case cases[] = {
      {"Am29F040", -1, {{0, 0x01}, {1, 0xA4}, {2, 0x00}, {0x10002, 0x00}}},
      {"A29040A", -1, {{0, 0x7F}, {1, 0x7F}, {0x100, 0x37}, {0x101, 0x86}}},
      {"EN29F800T", -1, {{0, 0x7F}, {0x200, 0x1C}, {0x202, 0xD6}, {0x203, 0x22}}},
      // Byte mode: the status of the boot sector at its start + 4.
      {"Am29F400T", 10, {{0, 0x01}, {1, 0x00}, {2, 0x23}, {3, 0x22}, {0x7C004, 0x01}, {4, 0x00}}},
      // Atmel: the boot block's lock-out at address 2 as FF (locked) or FE.
      {"AT49F002", 0, {{0, 0x1F}, {1, 0x07}, {2, 0xFF}}},
      {"AT49F002T", -1, {{0, 0x1F}, {1, 0x08}, {2, 0xFE}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.part);
    Make(c.part);
    if (c.protect >= 0) chip->Protect(c.protect, true);
    Command(chip->part().unlock1, chip->part().unlock2, 0x90);
    for (const auto& [address, value] : c.reads) EXPECT_EQ(Read(address), value) << address;
    Write(0, 0xF0);
    EXPECT_EQ(Read(0), 0xFF);
  }
}

// The byte strap only exists on parts with a word mode; asked of a
// byte-wide part, the fault is refused so the command line can say so.
TEST_F(JedecFlashTest, TheByteStrapFaultNeedsAWordPart) {
  EXPECT_FALSE(Make("Am29F010")->InjectFault({"byte-strap", 0, 0, 0}));
  EXPECT_FALSE(Make("Am29LV400BT")->InjectFault({"byte-strap", 0, 0, 0}))
      << "the byte-mode row is strapped already";
}

TEST_F(JedecFlashTest, CfiQueryInByteModeAndOnAnEightBitPart) {
  Make("Am29LV400BT");
  Write(0xAAAAA, 0x98);
  EXPECT_EQ(Read(0x20), 'Q');
  EXPECT_EQ(Read(0x21), 0x00);
  EXPECT_EQ(Read(0x22), 'R');
  EXPECT_EQ(Read(0x24), 'Y');
  EXPECT_EQ(Read(0x2A), 0x40) << "primary table at 0x40";
  EXPECT_EQ(Read(0x58), 0x04) << "four erase regions";
  Write(0, 0xF0);
  EXPECT_EQ(Read(0x20), 0xFF);

  Make("Am29LV065D");
  Write(0x5555, 0x98);
  EXPECT_EQ(Read(0x10), 'Q');
  EXPECT_EQ(Read(0x27), 0x17) << "8 MB";
  // The query is taken in autoselect mode too.
  Write(0, 0xF0);
  Write(0x5555, 0xAA);
  Write(0x2AAA, 0x55);
  Write(0x5555, 0x90);
  EXPECT_EQ(Read(0), 0x01) << "autoselect";
  Write(0x5555, 0x98);
  EXPECT_EQ(Read(0x10), 'Q');
  Make("Am29F040");
  Write(0x5555, 0x98);
  EXPECT_EQ(Read(0x10), 0xFF) << "no CFI: still reading the array";
}

TEST_F(JedecFlashTest, UnlockBypassTakesTwoCyclesPerByteAndLeavesWithThePartsExit) {
  struct Case {
    const char* part;
    uint8_t exit;
  };
  for (const Case c : {Case{"M29F040B", 0x00}, Case{"MBM29LV800TA", 0xF0}}) {
    SCOPED_TRACE(c.part);
    Make(c.part);
    const uint32_t u1 = chip->part().unlock1, u2 = chip->part().unlock2;
    Command(u1, u2, 0x20);
    Writes({{0x300, 0xA0}, {0x300, 0x44}});
    WaitUs(20);
    Writes({{0x301, 0xA0}, {0x301, 0x45}});
    WaitUs(20);
    EXPECT_EQ(Read(0x300), 0x44);
    EXPECT_EQ(Read(0x301), 0x45);
    Writes({{u1, 0x90}, {u2, static_cast<uint8_t>(c.exit ^ 0xF0)}});
    EXPECT_TRUE(chip->in_bypass()) << "another exit byte leaves it in bypass";
    Writes({{u1, 0x90}, {u2, c.exit}});
    EXPECT_FALSE(chip->in_bypass());
    Writes({{0x302, 0xA0}, {0x302, 0x00}});
    WaitUs(20);
    EXPECT_EQ(Read(0x302), 0xFF) << "outside bypass A0 alone is no command";
    Command(u1, u2, 0x20);
    Writes({{0x303, 0xA0}, {0x303, 0x46}});
    WaitUs(20);
    EXPECT_EQ(Read(0x303), 0x46) << "bypass entered again programs at once";
  }
  Make("M29F040B");
  ASSERT_TRUE(chip->InjectFault({"nobypass", 0, 0, 0}));
  Command(0x555, 0x2AA, 0x20);
  EXPECT_FALSE(chip->in_bypass());
}

// The AT49BV/LV single-pulse mode: once in it, every write programs the
// byte at its address; an A0 sent first would itself be programmed.
TEST_F(JedecFlashTest, SinglePulseModeProgramsEveryWrite) {
  Make("AT49BV8011");
  Command(0xAAAA, 0x5555, 0x80);
  Command(0xAAAA, 0x5555, 0xA0);
  ASSERT_TRUE(chip->in_single_pulse());
  Write(0x400, 0x5A);
  WaitUs(20);
  Writes({{0x401, 0xA0}});
  WaitUs(20);
  Write(0x401, 0x5A);
  WaitUs(20);
  EXPECT_EQ(Read(0x400), 0x5A);
  EXPECT_EQ(Read(0x401), 0xA0 & 0x5A);
  bus.PowerUp();  // Vcc off and on again ends the mode
  EXPECT_FALSE(chip->in_single_pulse());
}

TEST_F(JedecFlashTest, PageProgramGathersOnePageWithinTheLoadWindow) {
  Make("MX29F1610");
  board.SetAccessCost(100);
  Command(0xAAAA, 0x5555, 0xA0);
  Write(0x1000, 0x11);
  Write(0x1001, 0x22);
  EXPECT_EQ(Read(0x1001) & 0x80, 0x80) << "data polling of the last byte loaded";
  WaitUs(1200);
  EXPECT_EQ(Read(0x1000), 0x11);
  EXPECT_EQ(Read(0x1001), 0x22);
  EXPECT_EQ(chip->programs(), 1u) << "one page operation";
}

TEST_F(JedecFlashTest, NoCommandWithinThePowerUpTimeAndVccOffEndsEveryMode) {
  Make("Am29F010");
  bus.PowerDown();
  Bit(hw::ctrl::kProgram, false);
  Bit(hw::ctrl::kPower, true);
  Program(0x5555, 0x2AAA, 0x10, 0x00);  // within 50 us of Vcc on
  WaitUs(100);
  EXPECT_EQ(Read(0x10), 0xFF);
  Command(0x5555, 0x2AAA, 0x90);
  EXPECT_EQ(Read(0), 0x01);
  bus.PowerUp();
  EXPECT_EQ(Read(0), 0xFF);
}

TEST_F(JedecFlashTest, WhatTheLinesMayNotDo) {
  Make("Am29F040");
  Vpp(true);  // pin 1 is A18
  Vpp(false);
  bus.ShiftAddress(0x10);
  Bit(hw::ctrl::kDrive, true);
  bus.WriteBusByte(0xF0);
  Bit(hw::ctrl::kProgram, true);
  bus.WriteData();
  Bit(hw::ctrl::kDrive, false);  // OE# falls inside the write cycle
  Bit(hw::ctrl::kProgram, false);
  EXPECT_EQ(board.violations(),
            (std::vector<std::string>{"12 V on a logic-level pin", "commit with OE# low"}));
  board.ClearViolations();
  board.SetAccessCost(20);  // faster than the part's 45 ns write pulse
  bus.ShiftAddress(0x5555);
  Bit(hw::ctrl::kDrive, true);
  bus.WriteBusByte(0xAA);
  bus.ProgramPulse(0);
  EXPECT_TRUE(Logged("write pulse shorter than tWP"));
}

// The LV parts' in-system protect opens with 0x60 at least 1 us after
// #RESET reaches 12 V. On a port of 0.1 us an access, WE# right after the
// 12 V comes within 0.2 us of it.
TEST_F(JedecFlashTest, TheInSystemCommandWaitsOneMicrosecondAfterTwelveVolts) {
  for (const bool early : {true, false}) {
    SCOPED_TRACE(early ? "at once" : "after 2 us");
    Make("Am29LV400BT");
    board.SetAccessCost(100);
    bus.ShiftAddress(0x04);  // byte mode: A1 = 1
    Bit(hw::ctrl::kDrive, true);
    bus.WriteBusByte(0x60);
    Vpp(true);
    if (!early) WaitUs(2);
    bus.ProgramPulse(0);
    bus.WriteData();
    Vpp(false);
    EXPECT_EQ(board.violations(),
              early ? std::vector<std::string>{"protect command sooner than 1 us after 12 V on "
                                               "#RESET"}
                    : std::vector<std::string>{});
  }
}

// On the in-system parts 12 V on #RESET is also the temporary unprotect:
// only 0x60 opens the protect command; an ordinary command sequence is
// taken as usual and programs a protected sector.
TEST_F(JedecFlashTest, TwelveVoltsOnResetStillTakesOrdinaryCommands) {
  Make("Am29LV400BT");
  ASSERT_TRUE(chip->InjectFault({"protect", 0x10000, 0, 0}));
  Vpp(true);
  WaitUs(2);
  Program(chip->part().unlock1, chip->part().unlock2, 0x10000, 0x3C);
  WaitUs(50);
  EXPECT_EQ(Read(0x10000), 0x3C);
  Vpp(false);
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

// The MXIC protect write at A9 is the pulse, not a command: its WE# rise
// is the only one the part lets by. A second protect, or any command after
// it in the same power session, is taken as usual.
TEST_F(JedecFlashTest, AnMxicProtectPulseSwallowsOnlyItsOwnWrite) {
  Make("MX29F004T");
  for (const uint32_t sector : {0x30000u, 0x20000u}) {
    Command(0x5555, 0x2AAA, 0x80);
    Command(0x5555, 0x2AAA, 0x20);
    // A9 high with OE# high: the write that starts the protect; OE# falls
    // again after it to read the result.
    Write(sector | 0x200, 0x00);
    WaitUs(1000);
    Bit(hw::ctrl::kDrive, false);
    WaitUs(10);
  }
  EXPECT_TRUE(chip->Protected(3));
  EXPECT_TRUE(chip->Protected(2));
  Write(0, 0xF0);  // out of the status mode the protect leaves the part in
  Program(0x5555, 0x2AAA, 0x100, 0x12);
  WaitUs(100);
  EXPECT_EQ(Read(0x100), 0x12);
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

TEST_F(JedecFlashTest, ProtectionIsKeptInTheChipFile) {
  Make("Am29F002T");
  chip->Protect(6, true);
  const std::vector<uint8_t> file = sim::EncodeChipFile(*chip, "29F002");
  sim::JedecFlash back(*sim::FindJedecPart("Am29F002T"));
  EXPECT_EQ(sim::DecodeChipFile(file, back, "29F002"), "");
  EXPECT_TRUE(back.Protected(6));
  EXPECT_FALSE(back.Protected(5));
  EXPECT_FALSE(back.SetState({"protect", {1, 0}})) << "seven sectors, not two";
}

}  // namespace
