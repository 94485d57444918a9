// The EEPROM model against its datasheets: write cycles and busy polling,
// page and sector loads, software data protection, product ID, and the
// protocol it refuses. Driven through the bus primitives on a simulated
// board, one write cycle at a time.
#include "sim/parallel_eeprom.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"
#include "sim/chip_file.h"
#include "sim/eeprom_parts.h"

namespace {

constexpr int64_t kUs = 1000;
constexpr int64_t kMs = 1000 * kUs;

class EepromTest : public ::testing::Test {
 protected:
  void Insert(const char* part, uint32_t size,
              sim::SocketMap::Layout layout = sim::SocketMap::Layout::kDirect, int width = 8) {
    sim::EepromConfig config;
    config.part = *sim::FindEepromPart(part);
    config.map.size = size;
    config.map.layout = layout;
    config.width = width;
    auto made = std::make_unique<sim::ParallelEeprom>(config);
    chip = made.get();
    board.InsertChip(std::move(made));
    bus.SetPort(&board);
    bus.PowerUp();
    bus.SetCtrl(hw::ctrl::kProgram, false);  // WE# high
    bus.WriteCtrl();
  }
  // One WE#-controlled write: address, data driven, a 2-tick WE# pulse.
  void Write(uint32_t address, uint8_t value) {
    bus.ShiftAddress(address);
    bus.SetCtrl(hw::ctrl::kDrive, true);
    bus.WriteCtrl();
    bus.WriteBusByte(value);
    bus.SetCtrl(hw::ctrl::kProgram, true);
    bus.WriteCtrl();
    bus.DelayTicks(2);
    bus.SetCtrl(hw::ctrl::kProgram, false);
    bus.WriteCtrl();
  }
  void Sequence(std::initializer_list<uint8_t> bytes) {
    const uint32_t addresses[] = {0x5555, 0x2AAA, 0x5555, 0x5555, 0x2AAA, 0x5555};
    int n = 0;
    for (const uint8_t b : bytes) Write(addresses[n++], b);
  }
  uint8_t Read(uint32_t address) { return bus.ReadCycle(address, 5); }
  // Lets time pass, then one port write so the part sees the time.
  void WaitMs(int64_t ms) {
    board.clock().Advance(ms * kMs);
    bus.WriteCtrl();
  }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  sim::ParallelEeprom* chip = nullptr;
};

TEST_F(EepromTest, ByteWriteIsBusyForTheWriteCycleWithDataPolling) {
  Insert("AT28C16", 2048);
  Write(0x123, 0x5A);
  // Busy: DQ7 is the complement of 0x5A's bit 7, DQ6 toggles on each read.
  const uint8_t first = Read(0x123);
  const uint8_t second = Read(0x123);
  EXPECT_EQ(first & 0x80, 0x80);
  EXPECT_NE(first & 0x40, second & 0x40);
  EXPECT_EQ(first & 0x3F, 0x1A);
  Write(0x124, 0x00);  // ignored while busy
  WaitMs(1);           // AT28C16: 1 ms
  EXPECT_EQ(Read(0x123), 0x5A);
  EXPECT_EQ(Read(0x124), 0xFF);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"write while busy"});
}

TEST_F(EepromTest, WriteWithOutputsOnIsInhibited) {
  Insert("AT28C16", 2048);
  bus.ShiftAddress(0x10);
  bus.SetCtrl(hw::ctrl::kProgram, true);  // WE# low with OE# low
  bus.WriteCtrl();
  bus.SetCtrl(hw::ctrl::kProgram, false);
  bus.WriteCtrl();
  WaitMs(2);
  EXPECT_EQ(chip->Cell(0x10), 0xFF);
  EXPECT_EQ(board.violations(), std::vector<std::string>{"commit with OE# low"});
}

TEST_F(EepromTest, PageLoadEndsAfterTheByteLoadWindowAndKeepsToOnePage) {
  Insert("AT28C256", 0x8000);
  chip->RecordCommits(true);
  Write(0x40, 0x11);
  Write(0x41, 0x22);
  Write(0x80, 0x33);  // another page: not part of this load
  board.clock().Advance(100 * kUs);
  Write(0x42, 0x44);  // WE# falls inside 150 us of the last rise
  const int64_t last = chip->commit_log().back().time_ns;
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x40), 0x11);
  EXPECT_EQ(chip->Cell(0x42), 0x44);
  EXPECT_EQ(chip->Cell(0x80), 0xFF);
  EXPECT_EQ(chip->Cell(0x43), 0xFF);  // a page part keeps what it was not given
  ASSERT_EQ(chip->cycle_starts().size(), 1u);
  EXPECT_EQ(chip->cycle_starts()[0], last + 150 * kUs);
}

TEST_F(EepromTest, ProtectedPartTakesOnlyPrefixedLoads) {
  Insert("AT28C256", 0x8000);
  ASSERT_TRUE(chip->InjectFault({"sdp-on", 0, 0, 0}));
  Write(0x100, 0x01);  // no prefix: ignored
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x100), 0xFF);
  Sequence({0xAA, 0x55, 0xA0});
  Write(0x100, 0x02);
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x100), 0x02);
  EXPECT_TRUE(chip->sdp());
  // The six-byte sequence: protection off once its write cycle is over.
  Sequence({0xAA, 0x55, 0x80, 0xAA, 0x55, 0x20});
  EXPECT_TRUE(chip->sdp());
  WaitMs(11);
  EXPECT_FALSE(chip->sdp());
  Write(0x101, 0x03);
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x101), 0x03);
  EXPECT_EQ(chip->Cell(0x5555), 0xFF);  // command bytes are no data
  EXPECT_EQ(board.violations(), std::vector<std::string>{});
}

TEST_F(EepromTest, ScrambledPartDecodesCommandsOnItsOwnPins) {
  Insert("AT28C256", 0x8000, sim::SocketMap::Layout::kScrambled);
  ASSERT_TRUE(chip->InjectFault({"sdp-on", 0, 0, 0}));
  // Unscrambled the part sees 0x1555 (board A14 is its WE# pin): no command.
  Sequence({0xAA, 0x55, 0xA0});
  Write(0x100, 0x02);
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x100), 0xFF);
  Write(0xD555, 0xAA);
  Write(0x2AAA, 0x55);
  Write(0xD555, 0xA0);
  Write(0x8100, 0x04);  // board A15 is the part's A14
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x4100), 0x04);
}

TEST_F(EepromTest, SectorLoadRewritesTheWholeSector) {
  Insert("AT29C010A", 0x20000);
  chip->SetContents(std::vector<uint8_t>(0x20000, 0x00));
  Sequence({0xAA, 0x55, 0xA0});
  Write(0x205, 0x77);
  WaitMs(11);
  EXPECT_EQ(chip->Cell(0x205), 0x77);
  EXPECT_EQ(chip->Cell(0x200), 0xFF);  // not loaded: not kept
  EXPECT_EQ(chip->Cell(0x27F), 0xFF);
  EXPECT_EQ(chip->Cell(0x280), 0x00);  // the next sector
  EXPECT_TRUE(chip->sdp());
}

TEST_F(EepromTest, ChipEraseReadsDq7LowUntilDone) {
  Insert("AT29C010A", 0x20000);
  chip->SetContents(std::vector<uint8_t>(0x20000, 0x12));
  Sequence({0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10});
  EXPECT_EQ(Read(0x5555) & 0x80, 0);
  WaitMs(20);  // tEC
  EXPECT_EQ(Read(0x5555), 0xFF);
  EXPECT_EQ(chip->Cell(0x1FFFF), 0xFF);
}

TEST_F(EepromTest, ProductIdEntryAndExit) {
  Insert("AT29C010A", 0x20000);
  chip->SetLockout(0, true);
  Sequence({0xAA, 0x55, 0x90});
  EXPECT_EQ(Read(0), 0x1F);
  EXPECT_EQ(Read(1), 0xD5);
  EXPECT_EQ(Read(2), 0xFF);  // lower boot block locked out
  EXPECT_EQ(Read(0x1FFF2), 0xFE);
  Sequence({0xAA, 0x55, 0xF0});
  EXPECT_EQ(Read(0), 0xFF);
  // The six-byte entry is not an AT29C's.
  Sequence({0xAA, 0x55, 0x80, 0xAA, 0x55, 0x60});
  EXPECT_EQ(Read(0), 0xFF);
}

TEST_F(EepromTest, WinbondAnswersTheSixByteEntry) {
  Insert("W29EE011", 0x20000);
  Sequence({0xAA, 0x55, 0x80, 0xAA, 0x55, 0x60});
  EXPECT_EQ(Read(0), 0xDA);
  EXPECT_EQ(Read(1), 0xC1);
}

TEST_F(EepromTest, WritesTooSoonAfterPowerUpAndPowerLostMidCycle) {
  Insert("AT28C16", 2048);
  bus.PowerDown();
  bus.PowerUp();  // 1 ms of settling, then 3 x 16.8 ms: past tPUW
  Write(0x1, 0x01);
  WaitMs(1);
  bus.PowerDown();
  bus.SetCtrl(hw::ctrl::kProgram, false);
  bus.WriteCtrl();
  // Power on and write at once.
  bus.SetCtrl(hw::ctrl::kPower, true);
  bus.WriteCtrl();
  Write(0x2, 0x02);
  EXPECT_EQ(chip->Cell(0x1), 0x01);
  EXPECT_EQ(chip->Cell(0x2), 0xFF);
  board.clock().Advance(6 * kMs);
  Write(0x3, 0x03);
  bus.SetCtrl(hw::ctrl::kPower, false);  // Vcc off in the middle of its cycle
  bus.WriteCtrl();
  EXPECT_EQ(chip->Cell(0x3), 0xFF);
  const std::vector<std::string> want{"write sooner than tPUW after Vcc on",
                                      "Vcc off during a write cycle"};
  EXPECT_EQ(chip->violations(), want);
}

TEST_F(EepromTest, FaultsSlowFailAndStick) {
  Insert("AT29C010A", 0x20000);
  ASSERT_TRUE(chip->InjectFault({"sector-fail", 0x105, 1, 0}));
  ASSERT_TRUE(chip->InjectFault({"weak", 0x300, 2, 0}));
  ASSERT_TRUE(chip->InjectFault({"stuck", 0x400, 3, 0}));
  ASSERT_TRUE(chip->InjectFault({"write-time", 0, 2, 0}));
  EXPECT_FALSE(chip->InjectFault({"stuck", 0x400, 8, 0}));
  for (int round = 0; round < 2; ++round) {
    for (const uint32_t a : {0x105u, 0x300u, 0x400u}) {
      Sequence({0xAA, 0x55, 0xA0});
      Write(a, 0x5F);
      WaitMs(3);  // 150 us window + 2 ms
    }
    if (round == 0) {
      EXPECT_EQ(chip->Cell(0x105), 0xFF);
      EXPECT_EQ(chip->Cell(0x300), 0xFF);
    }
  }
  EXPECT_EQ(chip->Cell(0x105), 0x5F);
  EXPECT_EQ(chip->Cell(0x300), 0x5F);
  EXPECT_EQ(Read(0x400), 0x57);
  EXPECT_FALSE(sim::FindEepromPart("AT28C16") == nullptr);
}

TEST_F(EepromTest, ProtectionAndLockoutTravelInTheChipFile) {
  Insert("AT29C010A", 0x20000);
  ASSERT_TRUE(chip->InjectFault({"sdp-on", 0, 0, 0}));
  chip->SetLockout(1, true);
  const std::vector<uint8_t> file = sim::EncodeChipFile(*chip, "AT29C010");
  sim::EepromConfig config = chip->config();
  sim::ParallelEeprom back(config);
  EXPECT_EQ(sim::DecodeChipFile(file, back, "AT29C010"), "");
  EXPECT_TRUE(back.sdp());
  EXPECT_EQ(back.State()[1].bytes, (std::vector<uint8_t>{0, 1}));
}

// A fault or a chip-file section the part cannot have is refused whole, so a
// mistyped --sim-fault or a file of another part never half-configures it.
// The third byte of a command counts only at 5555: a protected-write prefix
// that ends elsewhere opens no load on a protected part.
TEST_F(EepromTest, PrefixEndingOffItsAddressOpensNoLoad) {
  Insert("AT28C256", 0x8000);
  ASSERT_TRUE(chip->InjectFault({"sdp-on", 0, 0, 0}));
  Write(0x5555, 0xAA);
  Write(0x2AAA, 0x55);
  Write(0x1555, 0xA0);
  Write(0x0100, 0x42);
  WaitMs(11);  // past the byte-load window and a whole write cycle
  EXPECT_EQ(chip->Cell(0x0100), 0xFF);
  EXPECT_EQ(chip->write_cycles(), 0u);
}

TEST_F(EepromTest, FaultsThePartCannotHaveAreRefused) {
  struct Case {
    const char* part;
    uint32_t size;
    sim::ChipFault fault;
    bool accepted;
  };
  const Case kCases[] = {
      {"AT28C16", 2048, {"write-time", 0, 0, 0}, true},
      {"AT28C16", 2048, {"write-time", 0, -1, 0}, false},
      {"AT28C16", 2048, {"weak", 2047, 1, 0}, true},
      {"AT28C16", 2048, {"weak", 2048, 2, 0}, false},
      {"AT28C16", 2048, {"weak", 0, 0, 0}, false},
      {"AT28C16", 2048, {"stuck", 2047, 7, 1}, true},
      {"AT28C16", 2048, {"stuck", 0, 0, 0}, true},
      {"AT28C16", 2048, {"stuck", 0, -1, 0}, false},
      {"AT28C16", 2048, {"stuck", 0, 0, 2}, false},
      {"AT28C16", 2048, {"stuck", 0, 0, -1}, false},
      {"AT28C16", 2048, {"stuck", 2048, 0, 0}, false},
      // A byte-write part has no data protection, no load and no erase.
      {"AT28C16", 2048, {"sdp-on", 0, 0, 0}, false},
      {"AT28C16", 2048, {"sector-fail", 0, 1, 0}, false},
      {"AT28C16", 2048, {"erase-cycles", 0, 1, 0}, false},
      {"AT28C256", 0x8000, {"sdp-on", 0, 0, 0}, true},
      {"AT28C256", 0x8000, {"sector-fail", 0x7FFF, 1, 0}, true},
      {"AT28C256", 0x8000, {"sector-fail", 0x8000, 1, 0}, false},
      {"AT28C256", 0x8000, {"sector-fail", 0, 0, 0}, false},
      {"AT28C256", 0x8000, {"erase-cycles", 0, 0, 0}, false},
      {"AT29C010A", 0x20000, {"erase-cycles", 0, 0, 0}, true},
      {"AT29C010A", 0x20000, {"erase-cycles", 0, -1, 0}, false},
      {"AT29C010A", 0x20000, {"alias", 0, 5, 4}, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.part) + " " + c.fault.kind + " " + std::to_string(c.fault.address) +
                 " " + std::to_string(c.fault.arg1) + " " + std::to_string(c.fault.arg2));
    Insert(c.part, c.size);
    EXPECT_EQ(chip->InjectFault(c.fault), c.accepted);
  }
  // A word-wide part has sixteen bits to stick.
  Insert("W29C102", 0x10000, sim::SocketMap::Layout::kDirect, 16);
  EXPECT_TRUE(chip->InjectFault({"stuck", 0, 15, 1}));
  EXPECT_FALSE(chip->InjectFault({"stuck", 0, 16, 1}));
}

TEST_F(EepromTest, ChipFileSectionsThePartDoesNotHaveAreRefused) {
  struct Case {
    const char* part;
    uint32_t size;
    sim::StateSection section;
    bool accepted;
  };
  const Case kCases[] = {
      {"AT28C16", 2048, {"sdp", {1}}, false},
      {"AT28C256", 0x8000, {"sdp", {1}}, true},
      {"AT28C256", 0x8000, {"sdp", {2}}, false},
      {"AT28C256", 0x8000, {"sdp", {1, 0}}, false},
      {"AT28C256", 0x8000, {"sdp", {}}, false},
      {"AT28C256", 0x8000, {"lockout", {1, 1}}, false},  // no boot blocks
      {"AT28C256", 0x8000, {"array", {1}}, false},
      {"AT29C010A", 0x20000, {"lockout", {1, 0}}, true},
      {"AT29C010A", 0x20000, {"lockout", {0, 2}}, false},
      {"AT29C010A", 0x20000, {"lockout", {2, 0}}, false},
      {"AT29C010A", 0x20000, {"lockout", {1}}, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.part) + " " + c.section.name);
    Insert(c.part, c.size);
    EXPECT_EQ(chip->SetState(c.section), c.accepted);
  }
  // What an accepted section sets, and what each kind of part saves.
  Insert("AT28C16", 2048);
  EXPECT_TRUE(chip->State().empty());
  Insert("AT28C256", 0x8000);
  ASSERT_TRUE(chip->InjectFault({"sdp-on", 0, 0, 0}));
  ASSERT_TRUE(chip->SetState({"sdp", {0}}));
  EXPECT_FALSE(chip->sdp());
  ASSERT_EQ(chip->State().size(), 1u);
  EXPECT_EQ(chip->State()[0].bytes, std::vector<uint8_t>{0});
  Insert("AT29C010A", 0x20000);
  ASSERT_TRUE(chip->SetState({"lockout", {1, 0}}));
  ASSERT_EQ(chip->State().size(), 2u);
  EXPECT_EQ(chip->State()[1].name, "lockout");
  EXPECT_EQ(chip->State()[1].bytes, (std::vector<uint8_t>{1, 0}));
}

// Contents travel low byte first for a word-wide part; a file shorter than
// the part leaves the rest erased.
TEST_F(EepromTest, ContentsOfByteAndWordParts) {
  Insert("AT28C16", 2048);
  chip->SetContents({0x12, 0x34});
  EXPECT_EQ(chip->Cell(0), 0x12);
  EXPECT_EQ(chip->Cell(1), 0x34);
  EXPECT_EQ(chip->Cell(2), 0xFF);
  EXPECT_EQ(chip->Cell(2047), 0xFF);
  const std::vector<uint8_t> bytes = chip->Contents();
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_EQ(bytes[0], 0x12);
  EXPECT_EQ(bytes[1], 0x34);
  EXPECT_EQ(bytes[2], 0xFF);

  Insert("W29C102", 0x10000, sim::SocketMap::Layout::kDirect, 16);
  EXPECT_EQ(chip->Cell(5), 0xFFFF);       // erased: all sixteen bits
  chip->SetContents({0x34, 0x12, 0x78});  // the odd byte makes no word
  EXPECT_EQ(chip->Cell(0), 0x1234);
  EXPECT_EQ(chip->Cell(1), 0xFFFF);
  const std::vector<uint8_t> words = chip->Contents();
  ASSERT_EQ(words.size(), 0x20000u);
  EXPECT_EQ(words[0], 0x34);
  EXPECT_EQ(words[1], 0x12);
  EXPECT_EQ(words[2], 0xFF);
  EXPECT_EQ(words[3], 0xFF);
}

// The board may look at the outputs between two control writes: a write
// cycle that has run out by then shows the byte written, not the old cell.
TEST(EepromPins, AFinishedWriteCycleShowsItsByteWithoutAnotherPinChange) {
  sim::EepromConfig config;
  config.part = *sim::FindEepromPart("AT28C16");  // write cycle 1 ms, tPUW 5 ms
  config.map.size = 2048;
  sim::ParallelEeprom chip(config);
  constexpr uint8_t kPower = 0x04, kDrive = 0x02, kWe = 0x08;
  sim::Pins pins;
  pins.ctrl = kPower | kDrive;
  chip.Update(pins);
  pins.time_ns = 6 * kMs;
  pins.address = 0x10;
  pins.data = 0x5A;
  pins.data_since_ns = pins.time_ns - kUs;
  pins.ctrl = kPower | kDrive | kWe;  // WE# falls
  chip.Update(pins);
  pins.time_ns += kUs;
  pins.ctrl = kPower | kDrive;  // WE# rises: the write cycle starts
  chip.Update(pins);
  pins.time_ns += kUs;
  pins.ctrl = kPower;  // OE# low
  chip.Update(pins);
  pins.time_ns += 100 * kUs;
  const std::optional<uint8_t> busy = chip.DataOut(pins);
  ASSERT_TRUE(busy.has_value());
  EXPECT_EQ(*busy & 0xBF, 0x9A);  // busy: DQ7 the complement of 0x5A's, DQ6 toggling
  pins.time_ns += 2 * kMs;
  EXPECT_EQ(chip.DataOut(pins), std::optional<uint8_t>(0x5A));
  EXPECT_EQ(chip.Cell(0x10), 0x5A);
}

// The same for the upper byte of a word-wide part: a sector load of one
// word whose byte-load window and write cycle have both run out shows its
// high byte at the first look.
TEST(EepromPins, AFinishedSectorShowsItsHighByteWithoutAnotherPinChange) {
  sim::EepromConfig config;
  config.part = *sim::FindEepromPart("W29C102");  // load window 200 us, write cycle 10 ms
  config.map.size = 0x10000;
  config.width = 16;
  sim::ParallelEeprom chip(config);
  constexpr uint8_t kPower = 0x04, kDrive = 0x02, kWe = 0x08;
  sim::Pins pins;
  pins.ctrl = kPower | kDrive;
  chip.Update(pins);
  pins.time_ns = 6 * kMs;
  struct Word {
    uint32_t address;
    uint8_t low, high;
  };
  for (const Word& w : {Word{0x5555, 0xAA, 0xFF}, Word{0x2AAA, 0x55, 0xFF},
                        Word{0x5555, 0xA0, 0xFF}, Word{0x10, 0x34, 0x12}}) {
    pins.address = w.address;
    pins.data = w.low;
    pins.data_high = w.high;
    pins.data_since_ns = pins.time_ns - kUs;
    pins.ctrl = kPower | kDrive | kWe;
    chip.Update(pins);
    pins.time_ns += kUs;
    pins.ctrl = kPower | kDrive;
    chip.Update(pins);
    pins.time_ns += kUs;
  }
  pins.ctrl = kPower;  // OE# low
  chip.Update(pins);
  pins.time_ns += 20 * kMs;
  EXPECT_EQ(chip.HighOut(pins), std::optional<uint8_t>(0x12));
  EXPECT_EQ(chip.Cell(0x10), 0x1234);
  EXPECT_EQ(chip.Cell(0x11), 0xFFFF);
}

// One WE#-controlled write at the pins, timed to the nanosecond: the write
// pulse against tWP (AT28C16: 100 ns), the data against tDS (50 ns) and the
// address latched at the fall against the one at the rise.
TEST(EepromPins, WritePulseDataSetupAndAddressAreChecked) {
  struct Case {
    const char* name;
    int64_t pulse_ns;       // WE# low
    int64_t data_setup_ns;  // data valid before WE# rises
    uint32_t address_at_rise;
    std::vector<std::string> violations;
  };
  const Case kCases[] = {
      {"datasheet minima", 100, 50, 0x10, {}},
      {"pulse 99 ns", 99, 50, 0x10, {"write pulse shorter than tWP"}},
      {"data 49 ns", 100, 49, 0x10, {"data setup before WE# rises shorter than tDS"}},
      {"address moved", 100, 50, 0x11, {"address changed during the write pulse"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    sim::EepromConfig config;
    config.part = *sim::FindEepromPart("AT28C16");
    config.map.size = 2048;
    sim::ParallelEeprom chip(config);
    constexpr uint8_t kPower = 0x04, kDrive = 0x02, kWe = 0x08;
    sim::Pins pins;
    pins.ctrl = kPower | kDrive;
    chip.Update(pins);
    pins.time_ns = 6 * kMs;  // past tPUW
    pins.address = 0x10;
    pins.data = 0x5A;
    pins.ctrl = kPower | kDrive | kWe;
    chip.Update(pins);
    pins.time_ns += c.pulse_ns;
    pins.data_since_ns = pins.time_ns - c.data_setup_ns;
    pins.address = c.address_at_rise;
    pins.ctrl = kPower | kDrive;
    chip.Update(pins);
    std::vector<std::string> seen;
    for (const auto& e : chip.violation_log().entries()) seen.push_back(e.text);
    EXPECT_EQ(seen, c.violations);
    EXPECT_EQ(chip.commits(), 1u);
  }
}

// The waveform trace's view of the socket: CE# tied active, WE# on the
// program line, and no Vpp pin of the part's.
TEST(EepromPins, SocketLevelsForTheTrace) {
  sim::EepromConfig config;
  config.part = *sim::FindEepromPart("AT28C256");
  config.map.size = 0x8000;
  sim::ParallelEeprom chip(config);
  sim::Pins pins;
  pins.ctrl = 0x04 | 0x02 | 0x08;  // power, port driving, WE# low
  sim::SocketSignals s;
  s.ce_n = true;
  s.pgm_n = true;
  s.vpp = true;
  chip.SocketLevels(pins, s);
  EXPECT_FALSE(s.ce_n);
  EXPECT_FALSE(s.pgm_n);
  EXPECT_FALSE(s.vpp);
  pins.ctrl = 0x04;
  chip.SocketLevels(pins, s);
  EXPECT_TRUE(s.pgm_n);
}

}  // namespace
