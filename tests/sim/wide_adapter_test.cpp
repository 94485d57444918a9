// The 16-bit and firmware-hub adapters of the board and the word-mode and
// firmware-hub behaviour of the flash models, driven line by line.
#include <gtest/gtest.h>

#include "flash_lines.h"
#include "sim/jedec_parts.h"
#include "sim/wsm_flash.h"

namespace {

using daraz_test::FlashLines;

class WordAdapter : public FlashLines {
 protected:
  // A command word: the latch takes 0x00, the low byte is the command.
  void WriteWord(uint32_t address, uint8_t high, uint8_t low) {
    bus.ShiftAddress(address);
    bus.StrobeWrite(high, low, 0);
    bus.ProgramPulse(1);
    bus.WriteData();
  }
  // Low byte through the read path, high byte through the multiplexer.
  uint16_t ReadWord(uint32_t address) {
    bus.ShiftAddress(address);
    const uint8_t low = bus.ReadDataByte();
    Bit(hw::ctrl::kStrobe, false);
    const uint8_t high = bus.ReadDataByteSerial();
    return static_cast<uint16_t>(low | high << 8);
  }
};

TEST_F(WordAdapter, TheLatchDrivesTheHighByteAndTheMultiplexerReadsItBack) {
  auto* chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("MBM29LV160TE x16")));
  WaitUs(100);
  // Program 0xA55A at word 0x1234: AA 55 A0 on the word unlock set.
  WriteWord(0x555, 0x00, 0xAA);
  WriteWord(0x2AA, 0x00, 0x55);
  WriteWord(0x555, 0x00, 0xA0);
  WriteWord(0x1234, 0xA5, 0x5A);
  WaitUs(50);
  EXPECT_EQ(ReadWord(0x1234), 0xA55A);
  // Cells low byte first, at byte 2 x word.
  EXPECT_EQ(chip->Cell(0x2468), 0x5A);
  EXPECT_EQ(chip->Cell(0x2469), 0xA5);
  // Without the multiplexer the read path sees the low byte only.
  EXPECT_EQ(bus.ReadCycle(0x1234, 1), 0x5A);
  // The strobe of this adapter carries no 12 V: nothing about Vpp is logged.
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
  EXPECT_FALSE(board.Signals().vpp);
}

// A word part strapped to byte mode (BYTE# low) takes D15 as A-1: its
// unlock cycles must hit byte 0xAAA and 0x555 on all twelve bits; word
// 0x155 (byte 0x2AA) is not the first unlock address.
TEST_F(WordAdapter, AByteStrappedPartComparesTheUnlockOnTwelveBits) {
  for (const uint32_t first : {0x555u, 0x155u}) {
    SCOPED_TRACE(first);
    auto* chip =
        Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("MBM29LV160TE x16")));
    ASSERT_TRUE(chip->InjectFault({"byte-strap", 0, 0, 0}));
    WaitUs(100);
    WriteWord(first, 0x00, 0xAA);  // byte 0xAAA (or 0x2AA): D15 = A-1 = 0
    WriteWord(0x2AA, 0x80, 0x55);  // byte 0x555
    WriteWord(first, 0x00, 0xA0);
    WriteWord(0x100, 0x00, 0x12);  // byte 0x200
    WaitUs(50);
    WriteWord(first, 0x00, 0xAA);
    WriteWord(0x2AA, 0x80, 0x55);
    WriteWord(first, 0x00, 0xA0);
    WriteWord(0x100, 0x80, 0x34);  // byte 0x201: D15 high
    WaitUs(50);
    bus.ReadCycle(0, 1);  // the part settles on the bus
    EXPECT_EQ(chip->Cell(0x200), first == 0x555u ? 0x12 : 0xFF);
    EXPECT_EQ(chip->Cell(0x201), first == 0x555u ? 0x34 : 0xFF);
    bus.PowerDown();
  }
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

// A chip erase of the word parts takes their typical time: DQ7 of the
// erased word is 0 until then and 1 after.
TEST_F(WordAdapter, AChipEraseTakesThePartsTypicalTime) {
  for (const auto& [name, ms] : {std::pair<const char*, int64_t>{"Am29F100T x16", 8000},
                                 {"MBM29LV160TE x16", 25000}, {"SST39VF160", 50}}) {
    SCOPED_TRACE(name);
    auto* chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart(name)));
    chip->SetContents(std::vector<uint8_t>(chip->Contents().size(), 0x00));
    WaitUs(200);
    const uint32_t u1 = chip->part().unlock1, u2 = chip->part().unlock2;
    for (const auto& [a, d] : {std::pair<uint32_t, uint8_t>{u1, 0xAA},
                               {u2, 0x55},
                               {u1, 0x80},
                               {u1, 0xAA},
                               {u2, 0x55},
                               {u1, 0x10}}) {
      WriteWord(a, 0x00, d);
    }
    const int64_t started = board.clock().now_ns();
    board.clock().WaitUntil(started + ms * 1'000'000 - 1'000'000);
    EXPECT_EQ(ReadWord(0x100) & 0x80, 0x00);
    board.clock().WaitUntil(started + ms * 1'000'000 + 1'000'000);
    EXPECT_EQ(ReadWord(0x100), 0xFFFF);
    bus.PowerDown();
  }
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

// A word programs only when both its bytes can: a high byte that would
// need a 0 turned back to 1 fails the whole word with DQ5, even though its
// low byte could go in.
TEST_F(WordAdapter, AWordWhoseHighByteNeedsAOneFailsWithDq5) {
  auto* chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("MBM29LV160TE x16")));
  std::vector<uint8_t> cells(chip->Contents().size(), 0xFF);
  cells[0x2469] = 0x00;  // word 0x1234's high byte
  chip->SetContents(cells);
  WaitUs(100);
  WriteWord(0x555, 0x00, 0xAA);
  WriteWord(0x2AA, 0x00, 0x55);
  WriteWord(0x555, 0x00, 0xA0);
  WriteWord(0x1234, 0x12, 0x14);
  // Past the word's 11 us program time it is still busy: DQ7 the
  // complement of the data's, no DQ5 before the 300 us limit.
  WaitUs(50);
  EXPECT_EQ(ReadWord(0x1234) & 0xA0, 0x80);
  WaitUs(300);
  EXPECT_EQ(ReadWord(0x1234) & 0xA0, 0xA0);
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

TEST_F(WordAdapter, IdentifierWordsAndProtectionAtSectorPlusTwo) {
  auto* chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("MBM29LV160TE x16")));
  chip->Protect(chip->sectors().count() - 1, true);  // the top 16 KB boot sector
  WaitUs(100);
  WriteWord(0x555, 0x00, 0xAA);
  WriteWord(0x2AA, 0x00, 0x55);
  WriteWord(0x555, 0x00, 0x90);
  EXPECT_EQ(ReadWord(0), 0x0004);
  EXPECT_EQ(ReadWord(1), 0x22C4);
  EXPECT_EQ(ReadWord(2), 0x0000);  // sector 0 (words 0..0x7FFF) unprotected
  // The boot sector begins at byte 0x1FC000: word 0xFE000.
  EXPECT_EQ(ReadWord(0xFE000 + 2), 0x0001);
}

TEST_F(WordAdapter, AByteStrappedPartMissesWordCommands) {
  auto* chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("MBM29LV160TE x16")));
  ASSERT_TRUE(chip->InjectFault({"byte-strap", 0, 0, 0}));
  WaitUs(100);
  WriteWord(0x555, 0x00, 0xAA);
  WriteWord(0x2AA, 0x00, 0x55);
  WriteWord(0x555, 0x00, 0xA0);
  WriteWord(0, 0x12, 0x34);
  WaitUs(50);
  EXPECT_EQ(chip->Cell(0), 0xFF);
  EXPECT_EQ(chip->Cell(1), 0xFF);
  EXPECT_EQ(ReadWord(0) >> 8, 0xFF);  // D15..D8 float
}

// C3: locked after every power-up; 60/D0 unlocks one block, 60/01 locks it,
// 60/2F locks it down (status 0x03) until the next power-up.
TEST_F(WordAdapter, C3LocksAreVolatileAndLockDownHolds) {
  auto* chip = Insert(std::make_unique<sim::WsmFlash>(*sim::FindWsmPart("28F800C3-T")));
  WaitUs(100);
  const auto program = [&](uint32_t word, uint8_t high, uint8_t low) {
    WriteWord(word, 0x00, 0x50);
    WriteWord(word, 0x00, 0x40);
    WriteWord(word, high, low);
    WaitUs(50);
    return static_cast<uint8_t>(ReadWord(word) & 0xFF);  // the status
  };
  EXPECT_EQ(program(0, 0x12, 0x34), 0x80 | 0x10 | 0x02);  // SR1 with SR4: locked
  EXPECT_EQ(chip->Cell(0), 0xFF);
  WriteWord(0, 0x00, 0x60);
  WriteWord(0, 0x00, 0xD0);
  EXPECT_EQ(program(0, 0x12, 0x34), 0x80);
  EXPECT_EQ(chip->Cell(0), 0x34);
  EXPECT_EQ(chip->Cell(1), 0x12);
  // Lock-down of block 1 (bytes 0x10000..: word 0x8000); 60/D0 no longer
  // unlocks it.
  WriteWord(0x8000, 0x00, 0x60);
  WriteWord(0x8000, 0x00, 0x2F);
  WriteWord(0x8000, 0x00, 0x60);
  WriteWord(0x8000, 0x00, 0xD0);
  WriteWord(0, 0x00, 0x90);
  EXPECT_EQ(ReadWord(0x8000 + 2), 0x0003);
  EXPECT_EQ(ReadWord(2), 0x0000);
  // A power cycle locks everything again and lifts the lock-down.
  bus.PowerDown();
  bus.PowerUp();
  WaitUs(100);
  WriteWord(0, 0x00, 0x90);
  EXPECT_EQ(ReadWord(2), 0x0001);
  EXPECT_EQ(ReadWord(0x8000 + 2), 0x0001);
}

// The J3 clears all its lock bits in one operation of 0.5 s: busy just
// before, done just after.
TEST_F(WordAdapter, TheJ3ClearsItsLockBitsInHalfASecond) {
  auto* chip = Insert(std::make_unique<sim::WsmFlash>(*sim::FindWsmPart("28F320J3 x16")));
  WaitUs(100);
  chip->Lock(3, true);
  WriteWord(0, 0x00, 0x60);
  WriteWord(0, 0x00, 0xD0);
  const int64_t started = board.clock().now_ns();
  const auto at = [&](int64_t us) {
    board.clock().WaitUntil(started + us * 1000);
    return ReadWord(0) & 0xFF;
  };
  EXPECT_EQ(at(100) & 0x80, 0x00);
  EXPECT_EQ(at(499'900) & 0x80, 0x00);
  EXPECT_EQ(at(500'100), 0x80);
  EXPECT_FALSE(chip->Locked(3));
  EXPECT_EQ(chip->lock_clears(), 1u);
}

// The J3 in word mode: a word program takes 210 us, a buffer of words
// 218 us; SR7 is 0 until then. Each probe programs words of its own and
// reads the status once, the address already shifted: the word commits
// 0.1 us before the probe's clock starts, the read samples 0.2 us after
// the wait.
TEST_F(WordAdapter, TheJ3ProgramsAWordIn210AndABufferIn218Microseconds) {
  Insert(std::make_unique<sim::WsmFlash>(*sim::FindWsmPart("28F320J3 x16")));
  board.SetAccessCost(100);
  WaitUs(100);
  const auto status_after = [&](int64_t ns) {
    const int64_t committed = board.clock().now_ns();
    bus.ShiftAddress(0);
    board.clock().WaitUntil(committed + ns);
    const uint8_t status = bus.ReadDataByte();
    WaitUs(300);
    return status & 0x80;
  };
  uint32_t word_at = 0x1000, group_at = 0x8000;
  const auto word = [&](int64_t ns) {
    WriteWord(word_at, 0x00, 0x40);
    WriteWord(word_at++, 0x12, 0x34);
    return status_after(ns);
  };
  const auto buffer = [&](int64_t ns) {
    WriteWord(group_at, 0x00, 0xE8);
    EXPECT_EQ(ReadWord(group_at) & 0x80, 0x80) << "a free buffer";
    WriteWord(group_at, 0x00, 0x01);  // two words
    WriteWord(group_at, 0x56, 0x78);
    WriteWord(group_at + 1, 0x9A, 0xBC);
    WriteWord(group_at, 0x00, 0xD0);
    group_at += 16;
    return status_after(ns);
  };
  EXPECT_EQ(word(209'500), 0x00);
  EXPECT_EQ(word(210'000), 0x80);
  EXPECT_EQ(buffer(217'500), 0x00);
  EXPECT_EQ(buffer(218'000), 0x80);
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

class HubAdapter : public FlashLines {
 protected:
  // The multiplexed load: the row while R/C# falls, the column as it rises.
  void Load(uint32_t address) {
    bus.ShiftAddress(address & 0x7FF);
    Bit(hw::ctrl::kPower, false);
    bus.ShiftAddress(address >> 11);
    Bit(hw::ctrl::kDrive, true);
    Bit(hw::ctrl::kPower, true);
  }
  void Cycle(uint8_t data) {
    Bit(hw::ctrl::kDrive, true);
    bus.WriteBusByte(data);
    bus.ProgramPulse(1);
    bus.WriteData();
  }
  uint8_t ReadHere() {
    Bit(hw::ctrl::kDrive, false);
    const uint8_t b = bus.ReadDataByte();
    Bit(hw::ctrl::kDrive, true);
    return b;
  }
};

TEST_F(HubAdapter, ThePartTakesItsAddressOnlyOnRcEdges) {
  auto* chip = Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("SST49LF002A")));
  WaitUs(200);
  // Every cycle with its own load: the program reaches 0x12345.
  for (const auto& [address, data] : {std::pair<uint32_t, uint8_t>{0x5555, 0xAA},
                                      {0x2AAA, 0x55},
                                      {0x5555, 0xA0},
                                      {0x12345, 0x3C}}) {
    Load(address);
    Cycle(data);
  }
  WaitUs(50);
  Load(0x12345);
  EXPECT_EQ(ReadHere(), 0x3C);
  EXPECT_EQ(chip->Cell(0x12345), 0x3C);
  // Only the board's registers shifted between cycles: the part stays at the
  // first unlock address and no command is taken.
  Load(0x5555);
  Cycle(0xAA);
  bus.ShiftAddress(0x2AAA);
  Cycle(0x55);
  bus.ShiftAddress(0x5555);
  Cycle(0xA0);
  Load(0x100);
  Cycle(0x00);
  WaitUs(50);
  Load(0x100);
  EXPECT_EQ(ReadHere(), 0xFF);
  EXPECT_EQ(chip->Cell(0x100), 0xFF);
  // R/C# low is not a power loss: no power rule of the board applies.
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
  Load(0x12345);
  EXPECT_EQ(ReadHere(), 0x3C);
}

// A hub block erase takes the part's 0.75 s: busy just before, done just
// after, and only that block erased.
TEST_F(HubAdapter, ABlockEraseTakesThreeQuartersOfASecond) {
  auto* chip = Insert(std::make_unique<sim::WsmFlash>(*sim::FindWsmPart("82802AB")));
  chip->SetContents(std::vector<uint8_t>(512 * 1024, 0x00));
  WaitUs(200);
  Vpp(true);
  Load(0x10000);
  Cycle(0x20);
  Cycle(0xD0);
  const int64_t started = board.clock().now_ns();
  const auto at = [&](int64_t us) {
    board.clock().WaitUntil(started + us * 1000);
    return ReadHere();
  };
  EXPECT_EQ(at(100) & 0x80, 0x00);
  EXPECT_EQ(at(749'900) & 0x80, 0x00);
  EXPECT_EQ(at(750'100), 0x80);
  EXPECT_EQ(chip->erases(), 1u);
  EXPECT_EQ(chip->Cell(0xFFFF), 0x00);
  EXPECT_EQ(chip->Cell(0x10000), 0xFF);
  EXPECT_EQ(chip->Cell(0x1FFFF), 0xFF);
  EXPECT_EQ(chip->Cell(0x20000), 0x00);
}

// A JEDEC hub's byte program takes the part's typical time (SST 14 us,
// Winbond 35 us): DQ7 the complement of the data until then, the data
// after. Each probe programs a byte of its own and reads it once: a read
// takes some accesses, so two reads in one program would blur the edge.
TEST_F(HubAdapter, AJedecHubProgramsAByteInItsTypicalTime) {
  for (const auto& [name, us] : {std::pair<const char*, int64_t>{"SST49LF002A", 14},
                                 {"W49V002A", 35}, {"W39V040FA", 35}}) {
    SCOPED_TRACE(name);
    Insert(std::make_unique<sim::JedecFlash>(*sim::FindJedecPart(name)));
    board.SetAccessCost(100);
    WaitUs(200);
    uint32_t next = 0x1000;
    const auto probe = [&](int64_t ns) {
      const uint32_t address = next++;
      for (const auto& [a, d] : {std::pair<uint32_t, uint8_t>{0x5555, 0xAA},
                                 {0x2AAA, 0x55},
                                 {0x5555, 0xA0},
                                 {address, 0x3C}}) {
        Load(a);
        Cycle(d);
      }
      board.clock().WaitUntil(board.clock().now_ns() + ns);
      const uint8_t read = ReadHere();
      WaitUs(100);
      return read;
    };
    // The byte commits 0.1 us before the probe's wait starts and the read
    // samples the bus 0.3 us after it ends.
    EXPECT_EQ(probe(us * 1000 - 700) & 0x80, 0x80);  // 0x3C's DQ7 inverted
    EXPECT_EQ(probe(us * 1000 - 200), 0x3C);
    bus.PowerDown();
  }
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

TEST_F(HubAdapter, QuadrupleProgramWantsOneAlignedGroup) {
  auto* chip = Insert(std::make_unique<sim::WsmFlash>(*sim::FindWsmPart("M50FW040")));
  WaitUs(200);
  Vpp(true);
  const auto quad = [&](uint32_t first, std::initializer_list<uint32_t> rest) {
    Load(first);
    Cycle(0x30);
    Cycle(0x11);
    for (const uint32_t a : rest) {
      Load(a);
      Cycle(0x22);
    }
    WaitUs(50);
    return ReadHere();
  };
  EXPECT_EQ(quad(0x104, {0x105, 0x106, 0x107}), 0x80);
  EXPECT_EQ(chip->Cell(0x104), 0x11);
  EXPECT_EQ(chip->Cell(0x107), 0x22);
  // 0x10A..0x10D crosses a group of four: refused as a sequence error.
  EXPECT_EQ(quad(0x10A, {0x10B, 0x10C, 0x10D}), 0x80 | 0x20 | 0x10);
  EXPECT_EQ(chip->Cell(0x10A), 0xFF);
}

// Only the M50 hubs know the quadruple program: the 82802 and AT49LW
// parts ignore 0x30 and the bytes after it, and their cells stay erased.
TEST_F(HubAdapter, OnlyTheM50PartsTakeTheQuadrupleProgram) {
  for (const char* name : {"82802AB", "82802AC", "82802AA", "AT49LW040", "AT49LW080", "M50FW002",
                           "M50FW040", "M50FW080", "M50FW016", "M50LPW080", "M50LPW116",
                           "M50FLW040A", "M50FLW040B"}) {
    SCOPED_TRACE(name);
    const bool m50 = std::string_view(name).substr(0, 3) == "M50";
    auto* chip = Insert(std::make_unique<sim::WsmFlash>(*sim::FindWsmPart(name)));
    WaitUs(200);
    Vpp(true);
    Load(0x104);
    Cycle(0x30);
    Cycle(0x11);
    for (const uint32_t a : {0x105u, 0x106u, 0x107u}) {
      Load(a);
      Cycle(0x22);
    }
    WaitUs(50);
    ReadHere();  // the part settles on the bus
    EXPECT_EQ(chip->Cell(0x104), m50 ? 0x11 : 0xFF);
    EXPECT_EQ(chip->Cell(0x107), m50 ? 0x22 : 0xFF);
    Vpp(false);
    bus.PowerDown();
  }
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

}  // namespace

namespace {

// A boot-block map adds up to exactly the part's size: a run that is a few
// KB off moves every later sector and leaves the last one hanging past the
// end, and a run one sector too long adds a sector beyond it. A uniform map
// (one run) is shared by every density of a line and walked only up to the
// part's size, so it need only cover the size in whole sectors.
bool EndsAtTheSize(std::span<const sim::SectorRun> runs, uint32_t size) {
  if (runs.size() == 1) {
    return size % runs[0].size == 0 && uint64_t{runs[0].count} * runs[0].size >= size;
  }
  uint64_t address = 0;
  for (const sim::SectorRun& run : runs) address += uint64_t{run.count} * run.size;
  return address == size;
}

TEST(WideParts, EveryMapEndsAtThePartsSize) {
  int maps = 0;
  for (const sim::JedecPart& part : sim::WideJedecParts()) {
    if (part.sectors.empty()) continue;
    ++maps;
    EXPECT_TRUE(EndsAtTheSize(part.sectors, part.size)) << part.name;
  }
  for (const sim::WsmPart& part : sim::WideWsmParts()) {
    if (part.blocks.empty()) continue;
    ++maps;
    EXPECT_TRUE(EndsAtTheSize(part.blocks, part.size)) << part.name;
  }
  EXPECT_GE(maps, 20);
}

}  // namespace
