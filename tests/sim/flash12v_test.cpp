#include "sim/flash12v.h"

#include <gtest/gtest.h>

#include "sim/flash12v_embedded.h"
#include "sim/flash_lines.h"

namespace {

using daraz_test::FlashLines;

class Flash12VTest : public FlashLines {
 protected:
  sim::Flash12V* Make(const char* name = "28F256") {
    const sim::Flash12VPart* part = sim::FindFlash12VPart(name);
    EXPECT_NE(part, nullptr) << name;
    sim::Flash12V* chip = Insert(std::make_unique<sim::Flash12V>(*part));
    Vpp(true);
    WaitUs(10);
    return chip;
  }
  // 0x40, the byte, `us` of program time, then program verify ends it.
  void Program(uint32_t address, uint8_t data, int64_t us) {
    Writes({{address, 0x40}, {address, data}});
    WaitUs(us);
    Write(address, 0xC0);
  }
  void Erase(int64_t us) {
    Writes({{0, 0x20}, {0, 0x20}});
    WaitUs(us);
  }
};

TEST_F(Flash12VTest, TakesNoCommandWithoutVppAndReadsLikeARom) {
  sim::Flash12V* chip = Make();
  Vpp(false);
  Program(0x10, 0x00, 50);
  EXPECT_EQ(chip->Cell(0x10), 0xFF);
  EXPECT_EQ(Read(0x10), 0xFF);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"command without Vpp"});
}

TEST_F(Flash12VTest, AByteProgramsOnlyOnceItHasCollectedTheCellsTime) {
  sim::Flash12V* chip = Make();
  board.SetAccessCost(100);  // the write cycles themselves add almost nothing
  // Each operation lasts about 4.3 us from the byte's write to the verify's.
  Program(0x20, 0x5A, 1);
  EXPECT_EQ(chip->Cell(0x20), 0xFF) << "a few microseconds are not the 10 us a cell needs";
  Program(0x20, 0x5A, 1);
  EXPECT_EQ(chip->Cell(0x20), 0xFF);
  Program(0x20, 0x5A, 1);
  EXPECT_EQ(chip->Cell(0x20), 0x5A) << "the three operations add up";
  EXPECT_EQ(Read(0x20), 0x5A) << "program verify reads the byte back";
  EXPECT_EQ(chip->ProgramsAt(0x20), 3);
  EXPECT_EQ(chip->ProgramsAt(0x21), 0) << "a cell nobody programmed";
  // The time collected went into that program; the next needs its own.
  Program(0x20, 0x00, 1);
  EXPECT_EQ(chip->Cell(0x20), 0x5A);
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(Flash12VTest, ProgramOnlyClearsBitsAndAWeakCellNeedsItsPulses) {
  sim::Flash12V* chip = Make();
  ASSERT_TRUE(chip->InjectFault({"weak", 0x30, 3, 0}));
  board.SetAccessCost(100);
  Program(0x31, 0x0F, 20);
  Program(0x31, 0xF0, 20);
  EXPECT_EQ(chip->Cell(0x31), 0x00);
  Program(0x30, 0x00, 12);
  EXPECT_EQ(chip->Cell(0x30), 0xFF);
  Program(0x30, 0x00, 20);
  EXPECT_EQ(chip->Cell(0x30), 0x00) << "the 30 us it needs, collected in two operations";
}

TEST_F(Flash12VTest, ReadsItsIdentifierAtA0) {
  Make("28F010");
  Write(0, 0x90);
  EXPECT_EQ(Read(0), 0x89);
  EXPECT_EQ(Read(1), 0xB4);
  Write(0, 0x00);
  EXPECT_EQ(Read(1), 0xFF);
}

TEST_F(Flash12VTest, EraseOfAPreprogrammedArrayAndEraseVerifyAtTheAddressGiven) {
  sim::Flash12V* chip = Make();
  std::vector<uint8_t> zeros(32 * 1024, 0x00);
  zeros[7] = 0x12;  // not zero: the erase below must complain about it
  chip->SetContents(std::vector<uint8_t>(32 * 1024, 0x00));
  Erase(10'000);
  Write(0x123, 0xA0);
  EXPECT_EQ(Read(0x7777), 0xFF) << "erase verify gives the byte at 0x123";
  EXPECT_EQ(chip->Cell(0x7FFF), 0xFF);
  EXPECT_TRUE(board.violations().empty());

  chip->SetContents(zeros);
  Erase(10'000);
  Write(0, 0xA0);
  EXPECT_EQ(board.violations(),
            std::vector<std::string>{"over-erase: erase of cells not programmed to 0x00 first"});
  EXPECT_EQ(chip->violation_log().entries().front().first_address, 7u);
}

TEST_F(Flash12VTest, AShortEraseLeavesTheArrayAndACellCanNeedMoreOperations) {
  sim::Flash12V* chip = Make();
  chip->SetContents(std::vector<uint8_t>(32 * 1024, 0x00));
  ASSERT_TRUE(chip->InjectFault({"erase-pulses", 0x100, 2, 0}));
  Erase(5'000);
  Write(0, 0xA0);
  EXPECT_EQ(chip->Cell(0), 0x00) << "5 ms of the 10 ms an erase takes";
  Erase(10'000);
  Write(0, 0xA0);
  EXPECT_EQ(chip->Cell(0), 0xFF);
  EXPECT_EQ(chip->Cell(0x100), 0x00) << "one full operation of the three it needs";
  Erase(10'000);
  Write(0x100, 0xA0);
  EXPECT_EQ(Read(0x100), 0x00);
  Erase(10'000);
  Write(0x100, 0xA0);
  EXPECT_EQ(Read(0x100), 0xFF);
  EXPECT_EQ(chip->erase_operations(), 4u);
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(Flash12VTest, VppThatNeverArrivesLeavesARomWithoutComplaint) {
  sim::Flash12V* chip = Make();
  ASSERT_TRUE(chip->InjectFault({"novpp", 0, 0, 0}));
  Program(0, 0x00, 50);
  Write(0, 0x90);
  EXPECT_EQ(Read(0), 0xFF);
  EXPECT_EQ(chip->Cell(0), 0xFF);
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(Flash12VTest, VppOffEndsAProgramInProgress) {
  sim::Flash12V* chip = Make();
  Writes({{0x40, 0x40}, {0x40, 0x00}});
  WaitUs(30);
  Vpp(false);
  EXPECT_EQ(chip->Cell(0x40), 0x00);
  WaitUs(10);
  Vpp(true);
  WaitUs(10);
  Write(0x40, 0xC0);  // a verify with no program running changes nothing
  EXPECT_EQ(chip->program_operations(), 1u);
  EXPECT_LT(chip->longest_program_ns(), 40'000);
}

// --- the embedded 12 V parts ---------------------------------------------------------

class Flash12VEmbeddedTest : public FlashLines {
 protected:
  sim::Flash12VEmbedded* Make(const char* name) {
    const sim::Flash12VEmbeddedPart* part = sim::FindFlash12VEmbeddedPart(name);
    EXPECT_NE(part, nullptr) << name;
    sim::Flash12VEmbedded* chip = Insert(std::make_unique<sim::Flash12VEmbedded>(*part));
    Vpp(true);
    WaitUs(10);
    return chip;
  }
};

TEST_F(Flash12VEmbeddedTest, ProgramsWithItsSetupCodeAndPollsOnDq7) {
  sim::Flash12VEmbedded* chip = Make("Am28F010A");
  board.SetAccessCost(100);  // a read well inside the 14 us the byte takes
  Writes({{0x10, 0x50}, {0x10, 0x3C}});
  EXPECT_EQ(Read(0x10) & 0x80, 0x80) << "DQ7 is the complement of bit 7 of 0x3C";
  WaitUs(14);
  EXPECT_EQ(Read(0x10), 0x3C);
  Writes({{0x11, 0x40}, {0x11, 0x00}});
  EXPECT_EQ(chip->Cell(0x11), 0xFF) << "0x40 is the MX28F's program code, not this part's";
  EXPECT_EQ(chip->programs(), 1u);
  EXPECT_TRUE(board.violations().empty());
}

TEST_F(Flash12VEmbeddedTest, ChipEraseShowsDq7LowUntilDoneAndWritesWhileBusyAreIgnored) {
  sim::Flash12VEmbedded* chip = Make("MX28F1000P");
  Writes({{0, 0x40}, {0, 0x00}});
  WaitUs(20);
  ASSERT_EQ(Read(0), 0x00);
  Writes({{0, 0x30}, {0, 0x30}});
  EXPECT_EQ(Read(0) & 0x80, 0x00);
  Write(5, 0xFF);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"write while busy"});
  WaitUs(1'000'000);
  EXPECT_EQ(Read(0), 0xFF);
  EXPECT_EQ(chip->Cell(0x1FFFF), 0xFF);
  EXPECT_EQ(chip->erases(), 1u);
}

TEST_F(Flash12VEmbeddedTest, AByteThatCannotProgramRaisesDq5UntilReset) {
  sim::Flash12VEmbedded* chip = Make("Am28F010A");
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x20, 1, 1}));
  Writes({{0x20, 0x10}, {0x20, 0x00}});
  WaitUs(100);
  EXPECT_EQ(Read(0x20) & 0xA0, 0x80) << "still busy, no DQ5 before the limit";
  WaitUs(1000);
  EXPECT_EQ(Read(0x20) & 0xA0, 0xA0);
  Write(0, 0xFF);
  EXPECT_EQ(Read(0x20), 0x02);
  Vpp(false);
  Write(0, 0x90);
  EXPECT_TRUE(Logged("command without Vpp"));
}

// DQ6 toggles on every read while the embedded algorithm runs and stands
// still once it is done; the toggle bit is how a reader without the data
// byte tells busy from done.
TEST_F(Flash12VEmbeddedTest, Dq6TogglesOnEachReadOnlyWhileBusy) {
  Make("Am28F010A");
  board.SetAccessCost(100);  // both reads well inside the 14 us the byte takes
  Writes({{0x10, 0x50}, {0x10, 0x3C}});
  const uint8_t first = Read(0x10), second = Read(0x10);
  EXPECT_NE(first & 0x40, second & 0x40);
  WaitUs(14);
  EXPECT_EQ(Read(0x10), 0x3C);
  EXPECT_EQ(Read(0x10), 0x3C);
}

// Taking 12 V away resets the command register to read: the identifier mode
// does not come back with Vpp.
TEST_F(Flash12VEmbeddedTest, VppOffEndsTheIdentifierMode) {
  Make("Am28F010A");
  Write(0, 0x90);
  ASSERT_EQ(Read(0), 0x01);
  Vpp(false);
  WaitUs(10);
  Vpp(true);
  WaitUs(10);
  EXPECT_EQ(Read(0), 0xFF);
  EXPECT_TRUE(board.violations().empty());
}

// Each part's identifier, program code and embedded times from its datasheet:
// a row with a wrong code or time would let a routine that polls too briefly
// (or not at all) pass.
TEST_F(Flash12VEmbeddedTest, EachPartAnswersWithItsCodesAndTakesItsDatasheetTimes) {
  struct Case {
    const char* name;
    uint32_t last;  // highest address
    uint8_t maker, device, program_code;
    int64_t program_us, erase_ms;
  };
  const Case cases[] = {
      {"Am28F256A", 0x7FFF, 0x01, 0x2F, 0x10, 14, 1500},
      {"Am28F512A", 0xFFFF, 0x01, 0xAE, 0x50, 14, 1500},
      {"Am28F010A", 0x1FFFF, 0x01, 0xA2, 0x10, 14, 1500},
      {"Am28F020A", 0x3FFFF, 0x01, 0x29, 0x50, 14, 1500},
      {"MX28F1000P", 0x1FFFF, 0xC2, 0x1A, 0x40, 10, 1000},
      {"MX28F2000P", 0x3FFFF, 0xC2, 0x2A, 0x40, 10, 1000},
      {"MX28F2000T", 0x3FFFF, 0xC2, 0x2B, 0x10, 10, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bus.PowerDown();
    board.RemoveChip();
    board.ClearViolations();
    board.SetAccessCost(0);  // only the waits below pass time
    sim::Flash12VEmbedded* chip = Make(c.name);
    Write(0, 0x90);
    EXPECT_EQ(Read(0), c.maker);
    EXPECT_EQ(Read(1), c.device);
    Write(0, 0xFF);

    Writes({{c.last, c.program_code}, {c.last, 0x00}});
    WaitUs(c.program_us - 1);
    EXPECT_EQ(Read(c.last) & 0x80, 0x80) << "still programming";
    WaitUs(2);
    EXPECT_EQ(Read(c.last), 0x00);

    Writes({{0, 0x30}, {0, 0x30}});
    WaitUs(c.erase_ms * 1000 - 1000);
    EXPECT_EQ(Read(0) & 0x80, 0x00) << "still erasing";
    WaitUs(2000);
    EXPECT_EQ(Read(0), 0xFF);
    EXPECT_EQ(chip->Cell(c.last), 0xFF);
    EXPECT_TRUE(board.violations().empty());
  }
}

}  // namespace
