// PIC routines and models pinned where a slip would pass unseen elsewhere:
// a verify that meets one wrong byte, the waits of the calibration-keeping
// erase and of the 8-word rows, the 12-bit read's last words, the
// externally timed write ended too soon, the PIC faults the simulator
// offers, the 1 KB data EEPROM of the PIC18 and the mid-range parts'
// rows against their datasheets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/sim_harness.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18_fixture.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

// The waits of the primitives in ns, one term per DelayTicks call: enter
// VDD first 100, 3000, 1000; a bit sent four waits of 3, a bit read three;
// a command 5, six bits, 30; a data frame sixteen bits and 10; a read
// frame sixteen bits read and 10; exit 10, 1000, 5000.
constexpr int64_t kEnter = Ticks(100) + Ticks(3000) + Ticks(1000);
constexpr int64_t kSendBit = 4 * Ticks(3);
constexpr int64_t kCommand = Ticks(5) + 6 * kSendBit + Ticks(30);
constexpr int64_t kLoad = kCommand + 16 * kSendBit + Ticks(10);
constexpr int64_t kRead = kCommand + 16 * 3 * Ticks(3) + Ticks(10);
constexpr int64_t kExit = Ticks(10) + Ticks(1000) + Ticks(5000);
constexpr int64_t kDown = Ticks(kPowerDown);
// tWC of 4000 us as ticks: 4000 x 1.193182 + 1, truncated.
constexpr int64_t kTwc4000 = 4773;

void ExpectQuiet(const SimSession& s) {
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

// --- verify -------------------------------------------------------------------

// 16F84A holding a program and data bytes the image holds too; then one
// data byte, then one word of the image changed.
TEST(PicVerify, OneDifferentDataByteOrWordFails) {
  PicSession s;
  s.Select(306, "PIC 16F84A  (P 5mS)");
  const std::vector<uint16_t> words = s.Pattern(1024, 3);
  std::vector<uint8_t> data(64);
  for (uint32_t j = 0; j < 64; ++j) data[j] = static_cast<uint8_t>(0x30 + j);
  std::vector<uint8_t> bytes = s.chip->Contents();
  for (uint32_t i = 0; i < 1024; ++i) {
    bytes[2 * i] = static_cast<uint8_t>(words[i]);
    bytes[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
  }
  for (uint32_t j = 0; j < 64; ++j) bytes[bytes.size() - 64 + j] = data[j];
  s.chip->SetContents(bytes);
  s.Load(words, data, 0x3FF1);

  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verified OK");
  EXPECT_EQ(s.p.error, 0);
  ExpectQuiet(s);

  // The last data byte only.
  s.p.image.SetWord(0x2100 + 63, 0x00);
  s.Verify();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error verifying PIC data area"), 1));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Verified OK"));
  ExpectQuiet(s);

  s.p.image.SetWord(0x2100 + 63, data[63]);
  s.p.image.SetWord(1023, static_cast<uint16_t>(words[1023] ^ 0x0001));
  s.Verify();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error verifying PIC"), 1));
  EXPECT_EQ(s.p.error, 1);
  ExpectQuiet(s);

  // Cancel during the words is no success either.
  s.p.image.SetWord(1023, words[1023]);
  s.host.Clear();
  s.host.CancelAtRefresh(s.p.cancel, 3);
  s.p.error = 0;
  app::mnuVerifyClick(s.p);
  s.p.cancel = 0;
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Verified OK"));
  ExpectQuiet(s);
}

// --- waits ----------------------------------------------------------------------

// 12F629 erase: the calibration read (0x3FF increments to the OSCCAL, a
// read, Load Configuration, seven increments, a read), both bulk erases
// with 40000 each, the OSCCAL written back (its own entry and exit: load,
// 25, 8, tWC) and the band gap (load configuration, seven increments, load,
// 120, 8, 23864, exit), then PowerDown.
TEST(PicWaitsOwn, CalibrationKeepingEraseLeavesProgrammingAfterEachWrite) {
  PicSession s;
  s.Select(601, "PIC 12F629");
  const int64_t read_cal =
      kEnter + 0x3FF * kCommand + kRead + kLoad + 7 * kCommand + kRead + kExit;
  const int64_t bulk = kEnter + kLoad + kCommand + Ticks(40000) + kCommand + Ticks(40000) + kExit;
  const int64_t osccal =
      kEnter + 0x3FF * kCommand + kLoad + Ticks(25) + kCommand + Ticks(kTwc4000) + kExit;
  const int64_t band_gap =
      kEnter + kLoad + 7 * kCommand + kLoad + Ticks(120) + kCommand + Ticks(23864) + kExit;
  const int64_t waited = s.WaitedNs(pic::ErasePic);
  EXPECT_NEAR(waited, read_cal + bulk + osccal + band_gap + kDown, 3000);
  EXPECT_EQ(s.chip->Program(0x3FF), 0x3458);
  EXPECT_EQ(s.chip->Config(0x2007), 0x2FFF);
  EXPECT_FALSE(s.chip->in_programming_mode());
  ExpectQuiet(s);
}

// 16F913 (4096 words, 256 data bytes, tWC 4000 us): the bulk erases; rows
// of eight latched words (loads with increments between, 8, tWC, the step
// to the next row); each data byte loaded, 25, 8, 12000, read, 10, the
// increment; the verify; IDs and configuration; 10000 and PowerDown.
TEST(PicWaitsOwn, EightWordRowsOfTheSixteenF91x) {
  PicSession s;
  s.Select(461, "PIC 16F913");
  ASSERT_EQ(s.p.dev.pic16.algorithm, 38);
  std::vector<uint8_t> data(256);
  for (uint32_t j = 0; j < 256; ++j) data[j] = static_cast<uint8_t>(j ^ 0x5A);
  const std::vector<uint16_t> words = s.Pattern(4096, 11);
  s.Load(words, data, 0x3FF4);

  const int64_t erase =
      kEnter + kLoad + kCommand + Ticks(40000) + kCommand + Ticks(40000) + kExit;
  const int64_t rows =
      kEnter + 512 * (8 * kLoad + 7 * kCommand + kCommand + Ticks(kTwc4000) + kCommand);
  const int64_t bytes =
      kEnter + 256 * (kLoad + Ticks(25) + kCommand + Ticks(12000) + kRead + Ticks(10) + kCommand) +
      kExit;
  const int64_t verify = kEnter + (4096 + 256) * (kRead + kCommand) + kExit;
  const int64_t id = kLoad + Ticks(30) + kCommand + Ticks(14319) + kRead + Ticks(30) + kCommand;
  const int64_t config = kEnter + kLoad + Ticks(100) + 4 * id + 3 * kCommand + kLoad + Ticks(120) +
                         kCommand + Ticks(23864) + kRead + kExit;
  const int64_t waited = s.WaitedNs(pic::ProgramPic);
  EXPECT_EQ(s.p.error, 0) << s.Last();
  EXPECT_NEAR(waited, erase + rows + bytes + verify + config + Ticks(10000) + kDown, 10000);
  for (uint32_t i = 0; i < 4096; ++i) ASSERT_EQ(s.chip->Program(i), words[i]) << i;
  for (uint32_t j = 0; j < 256; ++j) ASSERT_EQ(s.chip->Data(j), data[j]) << j;
  ExpectQuiet(s);
}

// Each erase sequence to within a microsecond: the short waits between
// its commands count as much as the long ones.
TEST(PicWaitsOwn, EachEraseToTheMicrosecond) {
  constexpr int64_t kAtConfig7 = kEnter + kLoad + 7 * kCommand;
  // 1, 7, 8, the wait, 1, 7.
  constexpr auto Disable = [](int64_t wait) { return 5 * kCommand + Ticks(wait); };
  struct Case {
    int tag;
    const char* what;
    int64_t ns;
    std::vector<std::string> violations;
  };
  // The 16F627A knows neither 1 nor 7; the disable after its bulk erases
  // changes nothing on it.
  const std::vector<std::string> no17 = {"unknown command 0x01", "unknown command 0x07"};
  const Case kCases[] = {
      // Load configuration, 10, bulk erase program, 40000.
      {431, "16F73", kEnter + kLoad + Ticks(10) + kCommand + Ticks(40000) + kExit, {}},
      // Load configuration, 10, chip erase, 20000, 8, 20000, 23.
      {513, "16F876A",
       kEnter + kLoad + Ticks(10) + kCommand + Ticks(20000) + kCommand + Ticks(20000) + kCommand +
           kExit,
       {}},
      // The disable at the configuration word with 20000.
      {401, "16F627", kAtConfig7 + Disable(20000) + kExit, {}},
      // Both bulk erases with 20000 each, then the disable.
      {403, "16F627A",
       kAtConfig7 + kCommand + Ticks(20000) + kCommand + Ticks(20000) + kExit + kAtConfig7 +
           Disable(20000) + kExit,
       no17},
      // The disable twice, the second after a data-memory load, 14319 each.
      {306, "16F84A",
       kAtConfig7 + Disable(14319) + kExit + kEnter + kLoad + Disable(14319) + kExit,
       {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PicSession s;
    s.Select(c.tag);
    const int64_t waited = s.WaitedNs(pic::ErasePic);
    EXPECT_NEAR(waited, c.ns + kDown, 1000);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), c.violations);
  }
}

// --- the 12-bit read ----------------------------------------------------------------

// After program memory come the four IDs and, on the calibrated flash
// parts, the backup OSCCAL; nothing after them is read.
TEST(Pic12ReadEnds, IdsThenTheBackupAndNothingMore) {
  struct Case {
    int tag;
    uint32_t words;
    bool backup;
  };
  for (const Case c : {Case{711, 512, true}, Case{101, 512, false}, Case{732, 2048, false}}) {
    SCOPED_TRACE(c.tag);
    PicSession s;
    s.Select12(c.tag);
    for (uint32_t i = 0; i < c.words; ++i) s.chip12->SetWord(i, static_cast<uint16_t>(i * 5));
    for (uint32_t k = 0; k < 4; ++k) s.chip12->SetWord(c.words + k, static_cast<uint16_t>(0xA + k));
    // The backup where there is one; words the read must not reach.
    s.chip12->SetWord(c.words + 4, c.backup ? 0x0C24 : 0x0123);
    s.chip12->SetWord(c.words + 5, 0x0456);
    s.chip12->SetWord(s.chip12->config_address(), 0x0FFA);
    s.Read();
    EXPECT_EQ(s.Last(), "PIC dumped OK");
    EXPECT_EQ(s.p.image.Word(0), 0);
    EXPECT_EQ(s.p.image.Word(c.words - 2), ((c.words - 2) * 5) & 0x0FFF);
    for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(s.p.image.Word(c.words + k), 0xA + k) << k;
    // Beyond what was read the image holds what it was cleared to.
    const uint16_t cleared = s.p.image.Word(c.words + 6);
    EXPECT_NE(cleared, 0x0456);
    EXPECT_EQ(s.p.image.Word(c.words + 4), c.backup ? 0x0C24 : cleared);
    EXPECT_EQ(s.p.image.Word(c.words + 5), cleared);
    EXPECT_EQ(s.p.image.Word(0x0FFF), 0x0FFA);
    ExpectQuiet(s);
  }
}

// --- the model: an externally timed write ended too soon ---------------------------

// 16F876A: Begin Programming Only (24) starts a write that End Programming
// (23) ends; the datasheet's minimum is 1 ms. Ended after 84 us the write
// is lost and logged; after 1.26 ms it takes.
TEST(Pic14ModelTiming, ProgrammingEndedBeforeItsMinimumIsLoggedAndLost) {
  for (const int32_t wait : {100, 1500}) {
    SCOPED_TRACE(wait);
    PicSession s;
    s.Select(513);
    pic::PicEnterVddFirst(s.p);
    pic::PicLoad(s.p, pic::cmd::kLoadProgram, 0x1234);
    pic::PicCommand(s.p, pic::cmd::kBeginProgramOnly);
    s.p.bus.DelayTicks(wait);
    pic::PicCommand(s.p, pic::cmd::kEndProgramming23);
    pic::PicExit(s.p);
    s.p.bus.PowerDown();
    if (wait < 1193) {
      EXPECT_EQ(s.Violations(),
                std::vector<std::string>{"programming ended before its minimum time"});
      EXPECT_EQ(s.chip->Program(0), 0x3FFF);
    } else {
      EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
      EXPECT_EQ(s.chip->Program(0), 0x1234);
    }
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// --- the faults a user can put on a PIC ------------------------------------------

// Every PIC fault is a chip fault under its own name; each model takes the
// ones it can show and refuses the others.
TEST(PicFaultKinds, ChipFaultsReachTheModelsThatHaveThem) {
  struct Case {
    const char* text;
    const char* kind;
    uint32_t address;
    bool pic14, pic12, pic18;
  };
  const Case kCases[] = {
      {"cp", "cp", 0, true, false, true},
      {"slow-word:0x10", "slow-word", 0x10, true, true, true},
      {"eeprom-wr-stuck", "eeprom-wr-stuck", 0, false, false, true},
      {"short-p9", "short-p9", 0, false, false, true},
      {"mclre-off", "mclre-off", 0, false, false, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    app::SimFault f;
    ASSERT_EQ(app::ParseSimFault(c.text, f), "");
    EXPECT_FALSE(f.kind->board);
    EXPECT_EQ(f.board, sim::BoardFault::kNone);
    EXPECT_EQ(f.chip.kind, c.kind);
    EXPECT_EQ(f.chip.address, c.address);

    PicSession mid;
    mid.Select(306, "PIC 16F84A  (P 5mS)");
    EXPECT_EQ(mid.chip->InjectFault(f.chip), c.pic14);
    PicSession base;
    base.Select12(711);
    EXPECT_EQ(base.chip12->InjectFault(f.chip), c.pic12);
    Pic18Session high;
    high.Select(207);  // 18F4620: MCLRE and the internal oscillator
    EXPECT_EQ(high.chip->InjectFault(f.chip), c.pic18);
  }
  // "cp" through the parsed text: the 16F84A then reads its words as 0.
  app::SimFault cp;
  ASSERT_EQ(app::ParseSimFault("cp", cp), "");
  PicSession s;
  s.Select(306, "PIC 16F84A  (P 5mS)");
  s.chip->SetProgram(0, 0x1234);
  ASSERT_TRUE(s.chip->InjectFault(cp.chip));
  EXPECT_TRUE(s.chip->code_protected());
  s.Read();
  EXPECT_EQ(s.p.image.Word(0), 0x0000);
}

// --- PIC18: data EEPROM above byte 255 ----------------------------------------------

// 18F6525 (1 KB of data EEPROM): the high address byte goes to EEADRH, so
// bytes 0x023, 0x123 and 0x3FF come back from their own cells, and the
// verify names a byte above 255 by its full address.
TEST(Pic18Eeprom, BytesAboveTheFirstPageReadFromTheirOwnCells) {
  Pic18Session s;
  s.Select(151);
  ASSERT_EQ(s.p.dev.pic18.eeprom_size, 1024u);
  std::vector<uint8_t> bytes = s.chip->Contents();
  const size_t eeprom = bytes.size() - 1024;
  bytes[eeprom + 0x023] = 0x11;
  bytes[eeprom + 0x123] = 0x22;
  bytes[eeprom + 0x223] = 0x33;
  bytes[eeprom + 0x3FF] = 0x44;
  s.chip->SetContents(bytes);
  s.Read();
  EXPECT_EQ(s.Last(), "Read Code,ID,EEPROM,CFG -- ok");
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.p.image[0xF00023], 0x11);
  EXPECT_EQ(s.p.image[0xF00123], 0x22);
  EXPECT_EQ(s.p.image[0xF00223], 0x33);
  EXPECT_EQ(s.p.image[0xF003FF], 0x44);
  EXPECT_EQ(s.p.image[0xF00024], 0xFF);
  ExpectQuiet(s);

  s.p.image[0xF00223] = 0x34;
  s.Verify();
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string("ERROR Verify EEPROM DATA  at 0x223"), 1));
  EXPECT_EQ(s.p.error, 1);
  ExpectQuiet(s);
}

// A read reaches the chip's code only after entering programming mode
// with VDD first; the board is at rest after it.
TEST(Pic18Eeprom, ReadEntersFirstAndEndsAtRest) {
  Pic18Session s;
  s.Select(111);  // 18F1220
  std::vector<uint8_t> bytes = s.chip->Contents();
  bytes[0] = 0x12;
  bytes[1] = 0x34;
  bytes[4095] = 0x56;
  s.chip->SetContents(bytes);
  s.Read();
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.p.image[0], 0x12);
  EXPECT_EQ(s.p.image[1], 0x34);
  EXPECT_EQ(s.p.image[4095], 0x56);
  EXPECT_TRUE(s.PoweredDown());
  ExpectQuiet(s);
}

// Each routine's data EEPROM gauge: its caption with the size in hex, the
// size as its maximum.
TEST(Pic18Eeprom, GaugeCaptionsCarryTheSize) {
  Pic18Session s;
  s.Select(151);
  s.Load({}, {}, std::vector<uint8_t>(14, 0xFF), {});
  struct Case {
    void (*action)(app::Programmer&);
    const char* caption;
  };
  for (const Case c : {Case{app::mnuReadClick, "Reading DATA memory (0x400) Word"},
                       Case{app::mnuProgramClick, "Programming EEPROM (0x400) byte"}}) {
    SCOPED_TRACE(c.caption);
    s.Run(c.action);
    bool shown = false;
    for (const HostEvent& e : s.host.events) {
      if (e.type == HostEvent::Type::kShowGauge && e.text == c.caption) {
        shown = true;
        EXPECT_EQ(e.value, 1024);
        EXPECT_EQ(e.colour, 0x0000FFu);
      }
    }
    EXPECT_TRUE(shown);
  }
}

// --- the mid-range rows against their datasheets -------------------------------------

// Words, data bytes, device ID (revision bits clear) and the program
// latches written together, from each part's datasheet and programming
// description; 0 latches: not checked.
struct PartRow {
  const char* name;
  uint32_t words, eeprom;
  uint16_t device_id;
  int latches;
};

// clang-format off
const PartRow kParts[] = {
    {"16F84A", 1024, 64, 0x0560, 1},
    {"16F627", 1024, 128, 0x07A0, 1},  {"16F628", 2048, 128, 0x07C0, 1},
    {"16F627A", 1024, 128, 0x1040, 1}, {"16F628A", 2048, 128, 0x1060, 1},
    {"16F648A", 4096, 256, 0x1100, 1},
    {"16F818", 1024, 128, 0x04C0, 4},  {"16F819", 2048, 256, 0x04E0, 4},
    {"12F635", 1024, 128, 0x0FA0, 4},  {"16F636", 2048, 256, 0x10A0, 4},
    {"12F683", 2048, 256, 0x0460, 4},  {"16F684", 2048, 256, 0x1080, 4},
    {"16F688", 4096, 256, 0x1180, 4},  {"16F785", 2048, 256, 0x1200, 4},
    {"16F72", 2048, 0, 0x00A0, 2},     {"16F73", 4096, 0, 0x0600, 2},
    {"16F74", 4096, 0, 0x0620, 2},     {"16F76", 8192, 0, 0x0640, 2},
    {"16F77", 8192, 0, 0x0660, 2},
    {"16F737", 4096, 0, 0x0BA0, 0},    {"16F747", 4096, 0, 0x0BE0, 0},
    {"16F767", 8192, 0, 0x0EA0, 0},    {"16F777", 8192, 0, 0x0DE0, 0},
    {"16F87", 4096, 256, 0x0720, 4},   {"16F88", 4096, 256, 0x0760, 4},
    {"16F716", 2048, 0, 0x1140, 0},
    {"16F913", 4096, 256, 0x13E0, 8},  {"16F914", 4096, 256, 0x13C0, 8},
    {"16F916", 8192, 256, 0x13A0, 8},  {"16F917", 8192, 256, 0x1380, 8},
    {"16F946", 8192, 256, 0x1460, 8},
    {"16F870", 2048, 64, 0x0D00, 1},   {"16F872", 2048, 64, 0x08E0, 1},
    {"16F873", 4096, 128, 0x0960, 1},  {"16F874", 4096, 128, 0x0920, 1},
    {"16F876", 8192, 256, 0x09E0, 1},  {"16F877", 8192, 256, 0x09A0, 1},
    {"16F873A", 4096, 128, 0x0E40, 8}, {"16F874A", 4096, 128, 0x0E60, 8},
    {"16F876A", 8192, 256, 0x0E00, 8}, {"16F877A", 8192, 256, 0x0E20, 8},
    {"12F629", 1024, 128, 0x0F80, 1},  {"12F675", 1024, 128, 0x0FC0, 1},
    {"16F630", 1024, 128, 0x10C0, 1},  {"16F676", 1024, 128, 0x10E0, 1},
};
// clang-format on

TEST(Pic14Parts, EveryFlashPartAsItsDatasheetGivesIt) {
  for (const PartRow& row : kParts) {
    SCOPED_TRACE(row.name);
    const sim::Pic14Part* part = sim::FindPic14Part(row.name);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->program_words, row.words);
    EXPECT_EQ(part->eeprom_bytes, row.eeprom);
    EXPECT_EQ(part->device_id, row.device_id);
    if (row.latches != 0) {
      EXPECT_EQ(part->latch_words, row.latches);
    }
    EXPECT_EQ(part->otp_pulses, 0);
  }
}

// Every mid-range flash selection and the model the socket holds for it
// agree on program and data size; the catalogue's Tags give the sizes of
// the device table.
TEST(Pic14Parts, SelectionAndModelAgree) {
  struct TagRow {
    int tag;
    uint32_t words, eeprom;
  };
  const TagRow kTags[] = {
      {301, 1024, 64},  {302, 512, 64},   {303, 512, 64},   {304, 1024, 64},  {305, 1024, 64},
      {306, 1024, 64},  {401, 1024, 128}, {402, 2048, 128}, {403, 1024, 128}, {404, 2048, 128},
      {405, 4096, 256}, {411, 1024, 128}, {412, 2048, 256}, {421, 1024, 128}, {422, 2048, 256},
      {423, 2048, 256}, {424, 2048, 256}, {425, 4096, 256}, {426, 2048, 256}, {430, 2048, 0},
      {431, 4096, 0},   {432, 4096, 0},   {433, 8192, 0},   {434, 8192, 0},   {451, 4096, 256},
      {453, 2048, 0},   {461, 4096, 256}, {462, 4096, 256}, {463, 8192, 256}, {464, 8192, 256},
      {465, 8192, 256}, {501, 2048, 64},  {502, 4096, 128}, {503, 8192, 256}, {512, 4096, 128},
      {513, 8192, 256}, {601, 1024, 128}, {610, 1024, 128},
  };
  for (const TagRow& row : kTags) {
    SCOPED_TRACE(row.tag);
    PicSession s;
    s.Select(row.tag);
    EXPECT_EQ(s.p.dev.pic16.program_words, row.words);
    EXPECT_EQ(s.p.dev.pic16.eeprom_size, row.eeprom);
    EXPECT_EQ(s.chip->part().program_words, row.words);
    EXPECT_EQ(s.chip->part().eeprom_bytes, row.eeprom);
    // The 16C84 and 16F83/84 have no device ID; every later part has one.
    if (row.tag >= 306) {
      EXPECT_NE(s.chip->part().device_id, 0x3FFF);
    }
  }
}

// --- the wire ------------------------------------------------------------------------

// A bit on the wire: PGD set, PGC high, PGC low, then PGD low again, so
// every frame ends with both lines low.
TEST(PicWire, EachBitEndsWithPgdLow) {
  PicSession s;
  s.Select(306);
  s.board->EnableTrace(true);
  pic::PicSendBit(s.p, true);
  pic::PicSendBit(s.p, false);
  std::vector<int> lines;
  for (const sim::TraceEntry& e : s.board->trace()) {
    if (e.write && e.port == s.p.bus.LptBase()) lines.push_back(e.value & 0x03);
  }
  EXPECT_EQ(lines, (std::vector<int>{0x01, 0x03, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00}));
}

// --- the device-ID window --------------------------------------------------------------

// The fourteen ID bits, nine device bits and five revision bits, as one
// line of the window.
TEST(PicDeviceIdWindow, FourteenBitsInTwoGroups) {
  PicSession s;
  s.Select(513);
  s.chip->SetConfig(0x2006, 0x0E00 | 5);  // 16F876A, revision 5
  s.GetId();
  ASSERT_EQ(s.host.Informations().size(), 1u);
  const std::string window = s.host.Informations()[0];
  std::vector<std::string> lines;
  for (size_t start = 0; start <= window.size();) {
    const size_t end = window.find('\n', start);
    lines.push_back(window.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  EXPECT_NE(std::find(lines.begin(), lines.end(), "001110000 00101"), lines.end()) << window;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Revision 5"), lines.end()) << window;
  ExpectQuiet(s);
}

// --- PIC18: verify and cancel ------------------------------------------------------------

// One byte of a word that differs is enough: the low byte alone, the high
// byte alone.
TEST(Pic18VerifyBytes, OneByteOfAWordFailsTheVerify) {
  for (const uint32_t at : {0x0010u, 0x0FFFu}) {
    SCOPED_TRACE(at);
    Pic18Session s;
    s.Select(111);  // 18F1220
    const std::vector<uint8_t> code = Pic18Session::Pattern(4096, 21);
    std::vector<uint8_t> bytes = s.chip->Contents();
    std::copy(code.begin(), code.end(), bytes.begin());
    s.chip->SetContents(bytes);
    std::vector<uint8_t> config(14);
    for (uint32_t k = 0; k < 14; ++k) config[k] = s.chip->Config(k);
    s.Load(code, std::vector<uint8_t>(8, 0xFF), config, std::vector<uint8_t>(256, 0xFF));
    s.Verify();
    ASSERT_EQ(s.Last(), "Verify Code,ID,EEPROM,CFG -- ok");
    s.p.image[at] = static_cast<uint8_t>(code[at] ^ 0x80);
    s.Verify();
    EXPECT_EQ(s.p.error, 1);
    const uint32_t word = at & ~1u;
    char text[80];
    std::snprintf(text, sizeof text, "ERROR Verify program memory at 0x%.6X = %.2X%.2X", word,
                  code[word + 1], code[word]);
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(text), 1));
    ExpectQuiet(s);
  }
}

// A part without data EEPROM: Cancel in the code still ends the read and
// the verify as cancelled.
TEST(Pic18VerifyBytes, CancelWithoutDataEepromIsNoSuccess) {
  Pic18Session s;
  s.Select(171);  // 18F6410
  ASSERT_EQ(s.p.dev.pic18.eeprom_size, 0u);
  for (void (*action)(app::Programmer&) : {app::mnuReadClick, app::mnuVerifyClick}) {
    s.Load({}, std::vector<uint8_t>(8, 0xFF), std::vector<uint8_t>(14, 0xFF), {});
    s.host.Clear();
    s.host.CancelAtRefresh(s.p, 1);
    s.p.error = 0;
    action(s.p);
    s.p.cancel = 0;
    EXPECT_EQ(s.Last(), "Process Cancelled");
    EXPECT_EQ(s.p.error, 1);
    EXPECT_FALSE(s.host.HasMessage("Read Code,ID,EEPROM,CFG -- ok"));
    EXPECT_FALSE(s.host.HasMessage("Verify Code,ID,EEPROM,CFG -- ok"));
    ExpectQuiet(s);
  }
}

// 18F2439 group (erase algorithm 7): before the chip erase the erase
// register gets 0x81, 0x83, 0x88, the panel register 0x3C0006 is cleared,
// and the rows of 0x2000..0x2FFF are erased with EEPGD set and CFGS clear.
TEST(Pic18RowErase, PanelRegisterClearedBeforeTheRows) {
  Pic18Session s;
  s.Select(131);
  ASSERT_EQ(s.p.dev.pic18.erase_algorithm, 7);
  s.chip->TakeCoreTrace();
  s.Erase();
  const std::vector<uint16_t> trace = s.chip->TakeCoreTrace();
  const std::vector<uint16_t> head = {
      0x0E3C, 0x6EF8, 0x0E00, 0x6EF7, 0x0E04, 0x6EF6,  // pointer 0x3C0004
      0x0E06, 0x6EF6,                                  // pointer 0x3C0006
      0x8EA6, 0x9CA6,                                  // BSF EEPGD, BCF CFGS
  };
  ASSERT_GE(trace.size(), head.size());
  EXPECT_EQ(std::vector<uint16_t>(trace.begin(), trace.begin() + head.size()), head);
  EXPECT_EQ(s.Last(), "Device PIC18 is erased");
  ExpectQuiet(s);
}

}  // namespace
}  // namespace daraz_test
