// The Microwire-style families end to end: the 93Cxx (family 8), the
// CAT64LC (32) and the serial NVRAMs (52).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "families/serial/microwire_primitives.h"
#include "families/serial/microwire_select.h"
#include "families/serial/serial_controls.h"
#include "serial_fixture.h"
#include "sim/microwire_eeprom.h"
#include "sim/x24c44.h"

namespace {

using app::HandlerId;
using daraz_test::SerialSession;

// The bits DI carried at each SK rising edge, one string per selection,
// read off the port trace with the socket's wiring: DI = NOT data bit 0,
// SK = data bit 1, CS selected while control bit 3 is 0.
std::vector<std::string> Selections(const sim::Board& board) {
  std::vector<std::string> out;
  uint8_t data = 0x04, ctrl = 0x09;
  bool selected = false;
  for (const sim::TraceEntry& e : board.trace()) {
    if (!e.write) continue;
    const uint8_t old_data = data;
    if (e.port == 0x378) data = e.value;
    if (e.port == 0x37A) ctrl = e.value;
    const bool now = (ctrl & 0x04) != 0 && (ctrl & 0x08) == 0;
    if (now && !selected) out.emplace_back();
    selected = now;
    if (selected && (data & 2) && !(old_data & 2)) out.back() += (data & 1) ? '0' : '1';
  }
  // The hardware test and PowerDown select without clocking: no instruction.
  std::erase(out, std::string());
  return out;
}

std::string Bits(uint32_t v, int n) {
  std::string s;
  for (int i = n - 1; i >= 0; --i) s += ((v >> i) & 1) ? '1' : '0';
  return s;
}

class Microwire : public ::testing::Test {
 protected:
  SerialSession s;
};

TEST_F(Microwire, A93C46WriteIsTheFrame0x283ThenTheByte) {
  s.Select(HandlerId::M93C_Click, 2, "93C46 (8bit)");
  auto data = s.LoadRandom(128);
  data[3] = 0x5A;
  s.Load(data);
  s.board->EnableTrace(true);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programed OK");
  EXPECT_EQ(s.Cells(128), data);
  const auto sel = Selections(*s.board);
  const std::string write3 = Bits(0x283, 10) + Bits(0x5A, 8);
  EXPECT_NE(std::find(sel.begin(), sel.end(), write3), sel.end());
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << s.Violations()[0];
}

TEST_F(Microwire, A93C66ReadsWordsWithElevenBitFramesHighByteFirst) {
  s.Select(HandlerId::M93C_Click, 12, "93C66 (16bit)");
  const auto data = s.Random(512);
  s.chip->SetContents(data);
  s.board->EnableTrace(true);
  s.Read();
  EXPECT_EQ(s.Last(), "Chip dumped OK");
  // Word w: bits 7..0 at image offset 2w, bits 15..8 at 2w + 1.
  EXPECT_EQ(s.Image(512), data);
  EXPECT_EQ(s.p.image.data_end, 512u);
  const auto sel = Selections(*s.board);
  ASSERT_EQ(sel.size(), 256u);
  // READ of word 0x85: 1, 10, 0x85 in 11 bits, then 16 clocks for the data.
  EXPECT_EQ(sel[0x85].substr(0, 11), Bits(0x685, 11));
  EXPECT_EQ(sel[0x85].size(), 11u + 16u);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());
}

TEST_F(Microwire, TheOrganisationButtonsRebuildTheFramesOnce) {
  s.Select(HandlerId::M93C_Click, 11, "93C56 (16bit)");
  families::serial::rb93_8bitClick(s.p);
  families::serial::rb93_8bitClick(s.p);  // a second click changes nothing
  s.Insert();                             // the ORG pin wired to match
  const auto data = s.Random(256);
  s.chip->SetContents(data);
  s.board->EnableTrace(true);
  s.Read();
  EXPECT_EQ(s.Image(256), data);
  EXPECT_EQ(Selections(*s.board)[0].substr(0, 12), Bits(0xC00, 12));
}

TEST_F(Microwire, FaultsEndInAReportedMismatch) {
  const struct {
    const char* fault;
    int arg1;
  } cases[] = {{"org", 16}, {"ewen_ignored", 0}, {"write-time", 14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    s.Select(HandlerId::M93C_Click, 6, "93C66 (8bit)");
    ASSERT_TRUE(s.Fault(c.fault, 0, c.arg1));
    s.LoadRandom(512, 11);
    s.Program();
    EXPECT_EQ(s.Last().substr(0, 12), " Error at 0x");
    EXPECT_EQ(s.host.LastMessage().second, 1);
    EXPECT_FALSE(s.Said("Device Programed OK"));
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST_F(Microwire, EraseAllLeavesEveryByteErased) {
  s.Select(HandlerId::M93C_Click, 14, "93C86 (16bit)");
  s.chip->SetContents(s.Random(2048));
  s.Erase();
  EXPECT_TRUE(s.Said("Erase Chip 93Cxx "));
  EXPECT_EQ(s.Cells(2048), std::vector<uint8_t>(2048, 0xFF));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());
}

TEST_F(Microwire, AnOddDataEndWritesItsLastByteAndNothingIsFalselyReportedPastIt) {
  for (const int tag : {2, 10}) {  // organised by 8, by 16
    SCOPED_TRACE(tag);
    s.Select(HandlerId::M93C_Click, tag);
    s.chip->SetContents(std::vector<uint8_t>(128, 0x00));
    const auto data = s.LoadRandom(5);
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programed OK");
    std::vector<uint8_t> want = data;
    want.push_back(0xFF);  // one past the data: the image's 0xFF, written and verified
    want.push_back(0x00);
    EXPECT_EQ(s.Cells(7), want);
  }
}

TEST_F(Microwire, IcspMovesChipSelectToTheStrobeLine) {
  s.Select(HandlerId::M93C_Click, 10, "93C46A (16bit)");
  s.p.controls.Check("cb93ICSP");
  families::serial::cb93ICSP_Click(s.p);
  s.Insert();
  const auto data = s.LoadRandom(128);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programed OK");
  EXPECT_EQ(s.Cells(128), data);
  s.Load(std::vector<uint8_t>(128, 0));
  s.Read();
  EXPECT_EQ(s.Image(128), data);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());
}

TEST_F(Microwire, Cat64RoundTripAndASlowWrite) {
  s.Select(HandlerId::CAT64LC10_Click, 102, "CAT64LC20");
  const auto data = s.LoadRandom(255);  // odd: the last byte goes with its word
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  auto want = data;
  want.push_back(0xFF);
  EXPECT_EQ(s.Cells(256), want);
  s.Load(std::vector<uint8_t>(256, 0));
  s.Read();
  EXPECT_EQ(s.Image(256), want);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());

  s.Insert();
  // 7 ms: past the 7000-tick wait (5.9 ms) and the next frame's 0.4 ms.
  ASSERT_TRUE(s.Fault("write-time", 0, 7));
  s.LoadRandom(256);
  s.Program();
  EXPECT_EQ(s.Last().substr(0, 12), " Error at 0x");
  EXPECT_FALSE(s.Said("Device Programmed OK"));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST_F(Microwire, TheNvramStoresSixteenWordsAndRecallsThemAtPowerUp) {
  s.Select(HandlerId::S24H30_Click, 2, "X24C44");
  std::vector<uint8_t> data(32);
  for (uint32_t w = 0; w < 16; ++w) {
    data[2 * w] = static_cast<uint8_t>(0x10 + w);
    data[2 * w + 1] = static_cast<uint8_t>(0xA0 + w);
  }
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programed OK");
  EXPECT_EQ(s.Cells(32), data);  // the EEPROM, after STO
  EXPECT_EQ(s.As<sim::NvramChip>()->stores(), 1u);
  s.Load(std::vector<uint8_t>(32, 0));
  s.Read();  // a new power-up: the recall fills the RAM
  EXPECT_EQ(s.Image(32), data);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty());

  s.Insert();
  ASSERT_TRUE(s.Fault("sto_ignored"));
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFF  buffer = 0x10");
  EXPECT_FALSE(s.Said("Device Programed OK"));

  s.Select(HandlerId::S24H30_Click, 1, "S24H30");
  const auto bytes = s.LoadRandom(8);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programed OK");
  EXPECT_EQ(s.Cells(8), bytes);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

}  // namespace

namespace {

TEST_F(Microwire, TheNvramReadsWhatItsCellsHoldAndCancels) {
  s.Select(HandlerId::S24H30_Click, 2, "X24C44");
  std::vector<uint8_t> cells(32);
  for (uint32_t i = 0; i < 32; ++i) cells[i] = static_cast<uint8_t>(i * 9);
  s.chip->SetContents(cells);
  ASSERT_TRUE(s.Fault("stuck", 1, 0, 1));  // the high byte of word 0
  s.Read();
  cells[1] |= 1;
  EXPECT_EQ(s.Image(32), cells);
  s.host.CancelAtRefresh(s.p, 1);
  s.Read();
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

}  // namespace

namespace {

// A READ that is clocked on past its word goes on with the next word, and
// after word 15 with word 0.
TEST(MicrowireNvram, AReadClockedOnRunsIntoTheNextWordAndWraps) {
  SerialSession s;
  s.Select(HandlerId::S24H30_Click, 2, "X24C44");
  std::vector<uint8_t> cells(32);
  for (uint32_t i = 0; i < 32; ++i) cells[i] = static_cast<uint8_t>(0x40 + i);
  s.chip->SetContents(cells);
  families::serial::Microwire mw = families::serial::Wire93(s.p);
  mw.icsp = false;
  families::serial::MwPowerUp(mw, 20000);  // the recall fills the RAM
  mw.Select();
  s.p.bus.DelayTicks(10);
  mw.MwSendByte(0x86 | 15 << 3);  // READ word 15
  s.p.bus.DelayTicks(1);
  std::vector<uint8_t> got(4);
  for (uint8_t& b : got) {
    for (int bit = 0; bit < 8; ++bit) b = static_cast<uint8_t>(b | (mw.MwReadBit() ? 1 : 0) << bit);
  }
  mw.Deselect();
  s.p.bus.PowerDown();
  EXPECT_EQ(got, (std::vector<uint8_t>{0x5E, 0x5F, 0x40, 0x41}));
  EXPECT_TRUE(s.Violations().empty());
}

}  // namespace
