// The byte, page and sector writes, the fill and chip erase and the product
// identification against the EEPROM model: what the parts depend on
// (command addresses, the byte-load window, the write cycle) and how each
// failure is reported.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "eeprom_fixture.h"
#include "sim/parallel_eeprom.h"

namespace {

using app::HandlerId;
using Session = daraz_test::ModelSession<sim::ParallelEeprom>;

constexpr int k28C256 = 3;      // M28C_Click: family 5, scrambled
constexpr int kAT28C256 = 102;  // AT28Cxxx_Click: family 7, scrambled, 64-byte pages
constexpr int kAT29C010A = 105;
constexpr int kW29EE011 = 202;

sim::ChipFault Fault(const char* kind, uint32_t address = 0, int arg1 = 0, int arg2 = 0) {
  return sim::ChipFault{kind, address, arg1, arg2};
}

uint64_t ViolationCount(const sim::Chip& chip, const std::string& text) {
  for (const auto& e : chip.violation_log().entries()) {
    if (e.text == text) return e.count;
  }
  return 0;
}

// --- 28Cxxx byte write ------------------------------------------------------------------

// Across chip address 0x4000, where the scrambled part's A14 leaves the
// board's A14 (its WE# pin) for A15.
std::vector<uint8_t> AcrossA14(Session& s) {
  s.p.image.buffer_offset = 0x3FF0;
  s.p.controls.SetText("edOffset", "3FF0");
  s.host.default_answer = true;
  return s.LoadRandom(0x20, 5);
}

TEST(ByteWrite, SlowPartRaisesTheWaitOnceAndKeepsIt) {
  Session s;
  s.Select(HandlerId::M28C_Click, k28C256);
  s.chip->InjectFault(Fault("write-time", 0, 3));  // a 3 ms write cycle
  const std::vector<uint8_t> data = AcrossA14(s);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  for (uint32_t i = 0; i <= 0x20; ++i) {
    const uint8_t want = i < 0x20 ? data[i] : 0xFF;
    ASSERT_EQ(s.chip->Cell(0x3FF0 + i), want) << i;
  }
  // 1000 ticks is 0.84 ms: the first byte is read back busy after 1000 and
  // 2000 ticks and holds after 3000; the second needs 4000 (3.35 ms against
  // 3 ms plus the 150 us load window), and from then on every byte holds
  // at the first read.
  EXPECT_EQ(s.host.Questions(), std::vector<std::string>{"Use offset of 0x003FF0"});
  EXPECT_EQ(s.p.controls.Text("pTwcp"), "4000");
  EXPECT_EQ(s.p.controls.Text("pLoopp"), "3");
  EXPECT_EQ(s.p.controls.Text("pTwpp"), "120");
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"write while busy"});
  EXPECT_EQ(ViolationCount(*s.chip, "write while busy"), 3u);
}

TEST(ByteWrite, CancelSaysProgramInterruptedAndSkipsTheVerify) {
  Session s;
  s.Select(HandlerId::M28C_Click, k28C256);
  s.LoadRandom(0x2000, 4);
  s.host.CancelAtRefresh(s.p, 2);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("program interrupted!"), 1));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_TRUE(s.host.Questions().empty()) << "no offset, no question";
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(ByteWrite, FastPartNeedsOneAttemptAndNothingIsViolated) {
  Session s;
  s.Select(HandlerId::M28C_Click, k28C256);
  s.chip->InjectFault(Fault("write-time", 0, 0));
  const std::vector<uint8_t> data = AcrossA14(s);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK")) << "the verify after a program is silent";
  EXPECT_EQ(s.p.controls.Text("pTwcp"), "1000");
  EXPECT_EQ(s.p.controls.Text("pLoopp"), "1");
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_EQ(s.chip->Cell(0x4000), data[0x10]);
}

TEST(ByteWrite, StuckBitFailsAfterTwentySixAttemptsNamingTheComparedByte) {
  Session s;
  s.Select(HandlerId::M28C_Click, k28C256);
  s.chip->InjectFault(Fault("write-time", 0, 0));
  s.chip->InjectFault(Fault("stuck", 0x105, 0, 1));  // bit 0 of 0x105 reads 1
  s.p.image.buffer_offset = 0x100;
  s.host.default_answer = true;
  std::vector<uint8_t> data(8, 0x10);
  data[5] = 0x12;
  s.Load(data);
  s.p.image[0x105] = 0x77;  // not the byte compared: image index 5 is
  s.chip->RecordCommits(true);
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000105  Chip = 0x13  buffer = 0x12");
  EXPECT_EQ(s.host.LastMessage().second, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  int writes = 0;
  for (const auto& c : s.chip->commit_log()) writes += c.address == 0x105 ? 1 : 0;
  EXPECT_EQ(writes, 26);
}

TEST(ByteWrite, FillEraseWritesEveryCellWhateverSkipAndOffsetSay) {
  Session s;
  s.Select(HandlerId::M28C_Click, 12);  // X2804, 512 bytes
  s.chip->InjectFault(Fault("write-time", 0, 0));
  s.chip->SetContents(std::vector<uint8_t>(512, 0x00));
  s.p.controls.Check("cbSkip_0xFF");
  s.p.image.buffer_offset = 0x80;
  s.Erase();
  EXPECT_TRUE(s.host.Questions().empty());
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("erase completed"), 2));
  const auto gauges = s.host.Of(daraz_test::HostEvent::Type::kShowGauge);
  ASSERT_FALSE(gauges.empty());
  EXPECT_EQ(gauges.front().text, "Fill 0xFF");
  EXPECT_EQ(gauges.front().value, 512);
  for (uint32_t a = 0; a < 512; ++a) ASSERT_EQ(s.chip->Cell(a), 0xFF) << a;
  EXPECT_EQ(s.chip->write_cycles(), 512u);  // one write a cell, no command bytes
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// --- AT28C page write -------------------------------------------------------------------

struct PageCase {
  const char* name;
  bool disable_protection;  // cbAT28CxxDis
  bool byte_mode;           // cbAT28CxxbyteProg
  int write_ms;             // the part's write cycle
  bool sdp_after;
  std::vector<std::string> violations;
};

// The page write waits tWC = 10000 ticks (8.38 ms) before it checks a page;
// the AT28C datasheets allow a write cycle of up to 10 ms. A part that
// takes all of it is still busy at the check, so the page is loaded again
// into the busy part, which ignores what comes before it is done.
TEST(PageWrite, ProtectionAfterTheRunFollowsTheBoxes) {
  const PageCase kCases[] = {
      {"protected write", false, false, 10, true, {"write while busy"}},
      {"protection off", true, false, 5, false, {}},
      {"byte mode", false, true, 10, false, {"write while busy"}},
  };
  for (const PageCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
    s.chip->InjectFault(Fault("sdp-on"));
    s.chip->InjectFault(Fault("write-time", 0, c.write_ms));
    s.p.controls.Check("cbAT28CxxDis", c.disable_protection);
    s.p.controls.Check("cbAT28CxxbyteProg", c.byte_mode);
    const std::vector<uint8_t> data = s.LoadRandom(0x4010, 9);
    s.Program();
    EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
    EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
    EXPECT_EQ(s.chip->sdp(), c.sdp_after);
    for (uint32_t a = 0; a < data.size(); ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
    EXPECT_EQ(s.Violations(), c.violations);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

// With the protection turned off, the bytes of a re-load that arrive after
// the busy part is done start a write cycle of their own, again still
// running at the next check: a part that takes the datasheet's full 10 ms
// never passes, and the report powers the part down in the middle of one.
TEST(PageWrite, ProtectionOffOnAPartTakingTheFullWriteCycleFails) {
  Session s;
  s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  s.p.controls.Check("cbAT28CxxDis");
  s.LoadRandom(0x100, 9);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(" Error :Write sector  0 "), 1));
  EXPECT_EQ(s.Violations(),
            (std::vector<std::string>{"write while busy", "Vcc off during a write cycle"}));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(PageWrite, CommandsReachThePartsOwnAddressesThroughTheScramble) {
  Session s;
  s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  s.chip->InjectFault(Fault("write-time", 0, 0));
  s.chip->RecordCommits(true);
  s.LoadRandom(64, 3);
  s.Program();
  const auto& log = s.chip->commit_log();
  ASSERT_GE(log.size(), 3u + 64u);
  // 0x5555 leaves the board as 0xD555: A14 copied to A15, where the part
  // has its A14.
  const uint32_t board[] = {0xD555, 0x2AAA, 0xD555};
  const uint8_t value[] = {0xAA, 0x55, 0xA0};
  const uint32_t chip[] = {0x5555, 0x2AAA, 0x5555};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(log[i].board_address, board[i]) << i;
    EXPECT_EQ(log[i].address, chip[i]) << i;
    EXPECT_EQ(log[i].value, value[i]) << i;
  }
  // The page follows inside the 150 us byte-load window: WE# rises at most
  // a port write or two more than 30 accesses apart at 1 us each.
  for (int j = 3; j < 3 + 64; ++j) {
    EXPECT_EQ(log[j].address, static_cast<uint32_t>(j - 3));
    EXPECT_LT(log[j].time_ns - log[j - 1].time_ns, 40'000) << j;
  }
  EXPECT_EQ(s.chip->write_cycles(), 2u);  // the page, and the one past the data end
  // Pages := data end / page size = 64 / 64.
  const auto gauges = s.host.Of(daraz_test::HostEvent::Type::kShowGauge);
  ASSERT_FALSE(gauges.empty());
  EXPECT_EQ(gauges.front().text, "programming chip");
  EXPECT_EQ(gauges.front().value, 1);
}

// A command write to 0x2AAA costs 29 port accesses from the WE# rise before
// it to its own WE# fall (the address shift has a data write on each of
// its 8 steps). At 5.2 us an access that is 151 us: the protected-write
// prefix breaks at its second byte, every attempt, and nothing loads.
TEST(PageWrite, SlowPortLosesEveryLoadAndFailsThePageAfterFifteenAttempts) {
  Session s;
  s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  s.chip->InjectFault(Fault("sdp-on"));
  s.board->SetAccessCost(5200);
  s.LoadRandom(100, 4);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(" Error :Write sector  0 "), 1));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->commits(), 15u * (3 + 64));
  EXPECT_EQ(s.chip->write_cycles(), 0u);
  EXPECT_EQ(s.Rest(), sim::kAtRest);

  // At 5 us the same 29 accesses take 145 us and the page loads.
  Session fast;
  fast.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  fast.chip->InjectFault(Fault("sdp-on"));
  fast.chip->InjectFault(Fault("write-time", 0, 5));
  fast.board->SetAccessCost(5000);
  fast.LoadRandom(100, 4);
  fast.Program();
  EXPECT_TRUE(fast.host.HasMessage("Device Programmed OK", 2)) << fast.Last();
}

TEST(PageWrite, CancelSaysProgramInterruptedAndNothingElse) {
  Session s;
  s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  s.chip->InjectFault(Fault("write-time", 0, 0));
  s.LoadRandom(0x1000, 4);
  s.host.CancelAtRefresh(s.p, 3);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("program interrupted!"), 1));
  for (const auto& [text, kind] : s.host.Messages()) {
    EXPECT_EQ(text.find("Error"), std::string::npos) << text;
  }
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(PageWrite, ByteWriteFamilyFailsOnAProtectedPart) {
  Session s;
  s.Select(HandlerId::M28C_Click, k28C256);
  s.chip->InjectFault(Fault("sdp-on"));
  s.chip->InjectFault(Fault("write-time", 0, 0));
  s.Load({0x42});
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFF  buffer = 0x42");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->write_cycles(), 0u);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(PageWrite, OffsetFieldIsClosed) {
  Session s;
  s.p.image.buffer_offset = 0x100;
  s.Select(HandlerId::AT28Cxxx_Click, kAT28C256);
  EXPECT_EQ(s.p.image.buffer_offset, 0u);
  EXPECT_FALSE(s.p.controls.Enabled("edOffset"));
  EXPECT_TRUE(s.p.controls.Visible("cbAT28CxxbyteProg"));
}

// --- sector write --------------------------------------------------------------------------

class SectorWrite : public ::testing::TestWithParam<int> {};

TEST_P(SectorWrite, LastSectorComesWholeFromTheImage) {
  Session s;
  s.Select(HandlerId::AT29C_Click, GetParam());
  s.chip->SetContents(std::vector<uint8_t>(s.p.image.device_size, 0x00));
  const std::vector<uint8_t> data = s.LoadRandom(200, 6);  // sector 1 holds 128..255
  s.p.image[250] = 0x5A;
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  for (uint32_t a = 0; a < 200; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]);
  EXPECT_EQ(s.chip->Cell(200), 0xFF);  // the image past the data end, not the old 0x00
  EXPECT_EQ(s.chip->Cell(250), 0x5A);
  EXPECT_EQ(s.chip->Cell(256), 0x00);  // sector 2 untouched
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
  const auto gauges = s.host.Of(daraz_test::HostEvent::Type::kShowGauge);
  ASSERT_FALSE(gauges.empty());
  EXPECT_EQ(gauges.front().text, "programming chip");
  EXPECT_EQ(gauges.front().value, 200);  // the data end
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), "  Sector ");
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 1 ");
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// Sectors at and above chip address 0x4000 are checked at the addresses
// they were written to, as below it.
TEST_P(SectorWrite, SectorsAcross0x4000AreCheckedWhereTheyWereWritten) {
  Session s;
  s.Select(HandlerId::AT29C_Click, GetParam());
  s.chip->SetContents(std::vector<uint8_t>(s.p.image.device_size, 0x00));
  const std::vector<uint8_t> data = s.LoadRandom(0x4100, 11);  // up to sector 0x81
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.p.error, 0);
  for (uint32_t a = 0x3F80; a < 0x4100; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

TEST_P(SectorWrite, DeadSectorStopsTheRunWithItsNumber) {
  Session s;
  s.Select(HandlerId::AT29C_Click, GetParam());
  s.chip->SetContents(std::vector<uint8_t>(s.p.image.device_size, 0x00));
  s.chip->InjectFault(Fault("sector-fail", 0x100, 20));  // sector 2 of 128 bytes
  s.LoadRandom(600, 6);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(" Error :Write sector  2 "), 1));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->write_cycles(), 2u + 20u);
  EXPECT_EQ(s.chip->Cell(0x180), 0x00);  // sector 3 never written
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_P(SectorWrite, ChipEraseIsJudgedByDq7) {
  Session s;
  s.Select(HandlerId::AT29C_Click, GetParam());
  s.chip->SetContents(std::vector<uint8_t>(s.p.image.device_size, 0x00));
  s.Erase();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("erase completed by check DQ7"), 2));
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.chip->Cell(0x1234), 0xFF);
  EXPECT_EQ(s.Rest(), sim::kAtRest);

  s.chip->InjectFault(Fault("erase-cycles", 0, 0));  // never completes
  const int64_t start = s.board->clock().Now();
  s.Erase();
  // 300000 ticks, then 3000 polls 30010 ticks apart: 0.25 s + 75.45 s, with
  // the power-up, the reads and the power-down some 0.1 s more.
  const int64_t took = s.board->clock().Now() - start;
  EXPECT_GT(took, 75'700'000'000);
  EXPECT_LT(took, 77'000'000'000);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("erase Chip Fail (Time Out)"), 2));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 30.0 Sec");  // step 2999 counts 0.01 s
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(Parts, SectorWrite, ::testing::Values(kAT29C010A, kW29EE011),
                         [](const auto& info) {
                           return std::string(info.param == kAT29C010A ? "AT29C010A" : "W29EE011");
                         });

struct IdCase {
  const char* name;
  int tag;
  const char* manufacturer;
  const char* device;
  const char* device_name;
  const char* extra;
  std::vector<std::pair<uint32_t, uint8_t>> commands;  // (part address, byte), entry then exit
};

// The datasheets' entry and exit sequences on A14..A0.
const std::vector<std::pair<uint32_t, uint8_t>> kEntry3Exit{
    {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x90}, {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xF0}};
const std::vector<std::pair<uint32_t, uint8_t>> kEntry6Exit{
    {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x80}, {0x5555, 0xAA}, {0x2AAA, 0x55},
    {0x5555, 0x60}, {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xF0}};

TEST(ProductId, DatasheetCodesReachTheLookupAndTheArrayComesBack) {
  const IdCase kCases[] = {
      {"AT29C010A", kAT29C010A, " 0x1F", " 0xD5", " AT29C010A", "0xFE 0xFF", kEntry3Exit},
      {"AT29C040", 108, " 0x1F", " 0x5B", " AT29C040", "0xFF 0xFF", kEntry3Exit},
      {"W29EE011", kW29EE011, " 0xDA", " 0xC1", " W29x011", "", kEntry6Exit},
  };
  for (const IdCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.Select(HandlerId::AT29C_Click, c.tag);
    s.chip->SetLockout(1, true);
    const std::vector<uint8_t> data(s.p.image.device_size, 0x3C);
    s.chip->SetContents(data);
    s.chip->RecordCommits(true);
    s.GetId();
    EXPECT_EQ(s.p.controls.Text("edManufacID"), c.manufacturer);
    EXPECT_EQ(s.p.controls.Text("edDeviceID"), c.device);
    EXPECT_EQ(s.p.controls.Text("edDeviceName"), c.device_name);
    EXPECT_EQ(s.p.controls.Text("edIdExtra"), c.extra);
    EXPECT_FALSE(s.chip->id_mode());
    // Power-down ends the ID mode as well; the exit is sent all the same.
    std::vector<std::pair<uint32_t, uint8_t>> commands;
    for (const auto& c : s.chip->commit_log()) commands.emplace_back(c.address, c.value);
    EXPECT_EQ(commands, c.commands);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{});
    EXPECT_EQ(s.Rest(), sim::kAtRest);
    s.Read();
    EXPECT_EQ(s.p.image[0], 0x3C);
    EXPECT_EQ(s.p.image[1], 0x3C);
  }
}

}  // namespace
