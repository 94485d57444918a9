#include "sim/wsm_flash.h"

#include <gtest/gtest.h>

#include "sim/chip_file.h"
#include "sim/flash_lines.h"
#include "sim/sst28_flash.h"

namespace {

using daraz_test::FlashLines;

class WsmFlashTest : public FlashLines {
 protected:
  sim::WsmFlash* Make(const char* name, bool twelve_volts = true) {
    const sim::WsmPart* part = sim::FindWsmPart(name);
    EXPECT_NE(part, nullptr) << name;
    chip = Insert(std::make_unique<sim::WsmFlash>(*part));
    if (twelve_volts) Vpp(true);
    WaitUs(100);
    board.ClearViolations();
    return chip;
  }
  uint8_t Status() { return Read(0); }
  // Reads the status until SR7, at most `limit_us`.
  uint8_t WaitReady(int64_t limit_us) {
    for (int64_t t = 0; t < limit_us; t += 1000) {
      const uint8_t s = Status();
      if ((s & 0x80) != 0) return s;
      WaitUs(1000);
    }
    return Status();
  }
  sim::WsmFlash* chip = nullptr;
};

TEST_F(WsmFlashTest, ProgramShowsTheStatusUntilReadArray) {
  Make("28F002BX-T");
  board.SetAccessCost(100);  // a status read inside the 9 us program
  Writes({{0x123, 0x40}, {0x123, 0x5A}});
  EXPECT_EQ(Status(), 0x00) << "SR7 low while the state machine runs";
  WaitUs(10);
  EXPECT_EQ(Read(0x123), 0x80) << "status, not the array, after the program";
  Write(0, 0xFF);
  EXPECT_EQ(Read(0x123), 0x5A);
  Write(0, 0x90);
  EXPECT_EQ(Read(0), 0x89);
  EXPECT_EQ(Read(1), 0x7C) << "an 8-bit part: the device code at byte 1";
  EXPECT_TRUE(board.violations().empty());
}

// The state machine finishes on its own time, read or not: a command
// written after the program time is taken, not refused as a write while busy.
TEST_F(WsmFlashTest, AFinishedProgramTakesTheNextCommandUnread) {
  Make("28F002BX-T");
  Writes({{0x123, 0x40}, {0x123, 0x5A}});
  WaitUs(20);
  Write(0, 0xFF);
  EXPECT_EQ(Read(0x123), 0x5A);
  EXPECT_TRUE(board.violations().empty());
}

// Status after each kind of refusal and error, written from the datasheets'
// status register descriptions.
TEST_F(WsmFlashTest, StatusBitsOfEachFailure) {
  struct Case {
    const char* name;
    const char* part;
    bool twelve_volts;
    const char* fault;
    uint32_t fault_address;
    std::vector<std::pair<uint32_t, uint8_t>> writes;
    uint8_t status;
  };
  const Case cases[] = {
      {"program without 12 V", "28F002BX-T", false, nullptr, 0, {{0, 0x40}, {0, 0x00}}, 0x98},
      {"erase without 12 V", "28F002BX-T", false, nullptr, 0, {{0, 0x20}, {0, 0xD0}}, 0xA8},
      {"a SmartVoltage part at 5 V", "28F400B5-T", false, nullptr, 0, {{0, 0x40}, {0, 0x00}}, 0x80},
      {"20 then not D0", "28F400B5-T", true, nullptr, 0, {{0, 0x20}, {0, 0xFF}}, 0xB0},
      {"a block that fails erase",
       "28F400B5-T",
       true,
       "erase-fail",
       0x100,
       {{0, 0x20}, {0, 0xD0}},
       0xA0},
      {"a stuck bit", "28F004S5", true, "stuck", 0x10, {{0x10, 0x40}, {0x10, 0x00}}, 0x90},
      {"a locked block",
       "28F320J3",
       false,
       "protect",
       0x20000,
       {{0x20005, 0x40}, {0x20005, 0x00}},
       0x92},
      {"a missing Vpp", "28F004BX-T", true, "novpp", 0, {{0, 0x40}, {0, 0x00}}, 0x98},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Make(c.part, c.twelve_volts);
    if (c.fault != nullptr) {
      ASSERT_TRUE(chip->InjectFault({c.fault, c.fault_address, 0, 1}));
    }
    for (const auto& [address, data] : c.writes) Write(address, data);
    EXPECT_EQ(WaitReady(2'000'000), c.status);
    Write(0, 0x50);
    EXPECT_EQ(Status(), 0x80) << "0x50 clears the error bits";
    Vpp(false);
  }
}

TEST_F(WsmFlashTest, AnEraseTakesOneBlockOfTheRealGeometry) {
  Make("28F400B5-B");
  chip->SetContents(std::vector<uint8_t>(512 * 1024, 0x00));
  Writes({{0x4100, 0x20}, {0x4100, 0xD0}});  // inside the second block, 16..24 KB
  EXPECT_EQ(WaitReady(2'000'000), 0x80);
  EXPECT_EQ(chip->Cell(0x3FFF), 0x00);
  EXPECT_EQ(chip->Cell(0x4000), 0xFF);
  EXPECT_EQ(chip->Cell(0x5FFF), 0xFF);
  EXPECT_EQ(chip->Cell(0x6000), 0x00);
  EXPECT_EQ(chip->erases(), 1u);
}

TEST_F(WsmFlashTest, ErrorBitsStayUntilClearedAndAOneTimeFailureGoesAway) {
  Make("28F004S5");
  ASSERT_TRUE(chip->InjectFault({"sr4-once", 0x77, 0, 0}));
  Writes({{0x77, 0x40}, {0x77, 0x12}});
  EXPECT_EQ(WaitReady(1000), 0x90);
  EXPECT_EQ(chip->Cell(0x77), 0xFF) << "the failed attempt did not take";
  Writes({{0x77, 0x40}, {0x77, 0x12}});
  EXPECT_EQ(WaitReady(1000), 0x90) << "the second attempt programs, SR4 is still set";
  EXPECT_EQ(chip->Cell(0x77), 0x12);
  Write(0, 0x50);
  Writes({{0x78, 0x40}, {0x78, 0x34}});
  EXPECT_EQ(WaitReady(1000), 0x80);
  EXPECT_EQ(chip->status_clears(), 1u);
}

// A fault the model does not know is refused, not taken as nothing.
TEST_F(WsmFlashTest, AnUnknownFaultIsRefused) {
  Make("28F004S5");
  EXPECT_FALSE(chip->InjectFault({"no-such-fault", 0, 0, 0}));
  EXPECT_TRUE(chip->InjectFault({"novpp", 0, 0, 0}));
}

// The status register starts clear at every power-up: an error of the last
// session is gone.
TEST_F(WsmFlashTest, PowerOffClearsTheStatusRegister) {
  Make("28F004S5");
  ASSERT_TRUE(chip->InjectFault({"sr4-once", 0x77, 0, 0}));
  Writes({{0x77, 0x40}, {0x77, 0x12}});
  EXPECT_EQ(WaitReady(1000), 0x90);
  bus.PowerDown();
  bus.PowerUp();
  Vpp(true);
  WaitUs(100);
  Write(0, 0x70);
  EXPECT_EQ(Status(), 0x80);
  EXPECT_EQ(chip->status_clears(), 0u);
}

TEST_F(WsmFlashTest, TheBootBlockOfThe28F001BXNeedsTheWireLinkAndTwelveVolts) {
  struct Case {
    bool wire;
    bool twelve_volts;
    uint8_t status;
  };
  for (const Case c : {Case{false, true, 0x90}, Case{true, false, 0x98}, Case{true, true, 0x80}}) {
    SCOPED_TRACE(std::string(c.wire ? "wire, " : "no wire, ") + (c.twelve_volts ? "12 V" : "5 V"));
    Make("28F001BX-T", c.twelve_volts);
    chip->SetJumper("wirelink", c.wire);
    Writes({{0x1E000, 0x40}, {0x1E000, 0x00}});  // the 8 KB boot block at the top
    EXPECT_EQ(WaitReady(1000), c.status);
    EXPECT_EQ(chip->Cell(0x1E000), c.status == 0x80 ? 0x00 : 0xFF);
    Writes({{0x1C000, 0x50}, {0x1C000, 0x40}, {0x1C000, 0x00}});  // a parameter block
    EXPECT_EQ(WaitReady(1000) & 0x10, c.twelve_volts ? 0x00 : 0x10);
    Vpp(false);
  }
}

// The bottom-boot part's boot block is its first, 8 KB at 0: that one
// refuses without the wire link, the 4 KB parameter block after it does not.
TEST_F(WsmFlashTest, TheBottomBootBlockIsTheFirst) {
  Make("28F001BX-B");
  chip->SetJumper("wirelink", false);
  Writes({{0x0000, 0x40}, {0x0000, 0x00}});
  EXPECT_EQ(WaitReady(1000), 0x90);
  EXPECT_EQ(chip->Cell(0x0000), 0xFF);
  Writes({{0x2000, 0x50}, {0x2000, 0x40}, {0x2000, 0x00}});
  EXPECT_EQ(WaitReady(1000), 0x80);
  EXPECT_EQ(chip->Cell(0x2000), 0x00);
  Vpp(false);
}

TEST_F(WsmFlashTest, LockBitsClearTogetherInOneLongOperation) {
  Make("28F320J3", false);
  ASSERT_TRUE(chip->InjectFault({"protect", 0x00000, 0, 0}));
  ASSERT_TRUE(chip->InjectFault({"protect", 0x3E0000, 0, 0}));
  ASSERT_TRUE(chip->InjectFault({"slow", 0x10, 2, 0}));  // 1 s instead of 0.5
  Write(0, 0x90);
  EXPECT_EQ(Read(4), 0x01) << "block 0 reads locked at block + 4 in byte mode";
  EXPECT_EQ(Read(0x20004), 0x00);
  Writes({{0x10, 0x60}, {0x10, 0xD0}});
  WaitUs(600'000);
  EXPECT_EQ(Status(), 0x00);
  Write(0x20000, 0x20);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"write while busy"});
  EXPECT_EQ(WaitReady(1'000'000), 0x80);
  EXPECT_FALSE(chip->Locked(0));
  EXPECT_FALSE(chip->Locked(31));
  Writes({{0x40000, 0x60}, {0x40000, 0x01}});
  EXPECT_EQ(WaitReady(1000), 0x80);
  EXPECT_TRUE(chip->Locked(2));
  EXPECT_EQ(chip->lock_clears(), 1u);
}

TEST_F(WsmFlashTest, WriteBufferProgramsOneAlignedGroup) {
  Make("28F320J3", false);
  Write(0x20040, 0xE8);
  EXPECT_EQ(Read(0x20040), 0x80) << "extended status: a buffer is free";
  Write(0x20040, 3);  // four bytes
  Writes({{0x20040, 0x01}, {0x20041, 0x02}, {0x20042, 0x03}, {0x2005F, 0x04}});
  Write(0x20040, 0xD0);
  EXPECT_EQ(Status() & 0x80, 0x00);
  EXPECT_EQ(WaitReady(1000), 0x80);
  EXPECT_EQ(chip->Cell(0x20041), 0x02);
  EXPECT_EQ(chip->Cell(0x2005F), 0x04);
  EXPECT_EQ(chip->buffer_programs(), 1u);
  // A byte outside the group spoils the buffer: command sequence error.
  Writes({{0x20080, 0xE8}, {0x20080, 1}, {0x20080, 0x11}, {0x200A0, 0x22}, {0x20080, 0xD0}});
  EXPECT_EQ(Status(), 0xB0);
  EXPECT_EQ(chip->Cell(0x20080), 0xFF);
}

TEST_F(WsmFlashTest, J3IdentifiesInByteModeAndAnswersTheQueryAndTakesNoTwelveVolts) {
  Make("28F320J3", false);
  Write(0, 0x90);
  EXPECT_EQ(Read(0), 0x89);
  EXPECT_EQ(Read(1), 0x00);
  EXPECT_EQ(Read(2), 0x16) << "the device code at byte 2";
  Write(0, 0x98);
  EXPECT_EQ(Read(0x20), 'Q');
  EXPECT_EQ(Read(0x21), 0x00) << "the upper byte of each query word";
  EXPECT_EQ(Read(0x22), 'R');
  EXPECT_EQ(Read(0x24), 'Y');
  EXPECT_EQ(Read(0x2A), 0x31) << "primary table at P = 0x31";
  EXPECT_EQ(Read(0x62), 'P');
  Vpp(true);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"12 V on a logic-level pin"});
  bus.PowerUp();
  EXPECT_EQ(Read(0x20), 0xFF) << "Vcc off: back to read array";
}

TEST_F(WsmFlashTest, LockBitsAreKeptInTheChipFile) {
  Make("28F640J3", false);
  chip->Lock(63, true);
  sim::WsmFlash back(*sim::FindWsmPart("28F640J3"));
  EXPECT_EQ(sim::DecodeChipFile(sim::EncodeChipFile(*chip, "28F640J3"), back, "28F640J3"), "");
  EXPECT_TRUE(back.Locked(63));
  EXPECT_FALSE(back.Locked(0));
  // A lock section of another block count, or another section, is refused.
  EXPECT_FALSE(back.SetState({std::string(sim::kProtectSection), std::vector<uint8_t>(32, 1)}));
  EXPECT_FALSE(back.SetState({"cells", std::vector<uint8_t>(64, 1)}));
  EXPECT_TRUE(back.Locked(63));
}

// --- SST28SF040A ----------------------------------------------------------------------

class Sst28Test : public FlashLines {
 protected:
  void SetUp() override {
    chip = Insert(std::make_unique<sim::Sst28Flash>(*sim::FindSst28Part("SST28SF040A")));
    WaitUs(100);
  }
  // A read the part takes as part of a protection sequence: the address
  // shifted while OE# is low, then OE# raised.
  void SequenceRead(uint32_t address) {
    Bit(hw::ctrl::kDrive, false);
    bus.SetAddress(address, 2);
    WaitUs(8);
    Bit(hw::ctrl::kDrive, true);
  }
  void Unprotect() {
    for (uint32_t a : {0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x041A}) SequenceRead(a);
  }
  sim::Sst28Flash* chip = nullptr;
};

TEST_F(Sst28Test, ProtectedFromPowerUpUntilTheSevenReads) {
  Writes({{0x10, 0x10}, {0x10, 0x00}});
  WaitUs(50);
  EXPECT_EQ(Read(0x10), 0xFF);
  for (uint32_t a : {0x1823, 0x1820, 0x1822, 0x0418, 0x041B}) SequenceRead(a);
  SequenceRead(0x0000);  // a stray read breaks the sequence
  for (uint32_t a : {0x0419, 0x041A}) SequenceRead(a);
  EXPECT_TRUE(chip->software_protected());
  Unprotect();
  EXPECT_FALSE(chip->software_protected());
  board.SetAccessCost(100);
  Writes({{0x10, 0x10}, {0x10, 0x3C}});
  EXPECT_EQ(Read(0x10) & 0x80, 0x80) << "DQ7 polling";
  WaitUs(20);
  EXPECT_EQ(Read(0x10), 0x3C);
  for (uint32_t a : {0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x040A}) SequenceRead(a);
  EXPECT_TRUE(chip->software_protected());
  bus.PowerUp();
  EXPECT_TRUE(chip->software_protected());
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(Sst28Test, SectorAndChipEraseAndTheIdWhileProtected) {
  Write(0, 0x90);
  EXPECT_EQ(Read(0), 0xBF);
  EXPECT_EQ(Read(1), 0x04);
  Write(0, 0xFF);
  Unprotect();
  chip->SetContents(std::vector<uint8_t>(512 * 1024, 0x00));
  Writes({{0, 0x20}, {0x305, 0xD0}});
  Write(0x1000, 0x20);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"write while busy"});
  WaitUs(2000);
  EXPECT_EQ(Read(0x2FF), 0x00);
  EXPECT_EQ(Read(0x300), 0xFF);
  EXPECT_EQ(Read(0x3FF), 0xFF);
  EXPECT_EQ(Read(0x400), 0x00);
  Writes({{0, 0x30}, {0, 0x30}});
  WaitUs(20'000);
  EXPECT_EQ(Read(0x7FFFF), 0xFF);
  EXPECT_EQ(chip->sector_erases(), 1u);
  EXPECT_EQ(chip->chip_erases(), 1u);
}

}  // namespace
