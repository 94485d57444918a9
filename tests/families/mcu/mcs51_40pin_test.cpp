// The 40-pin MCS-51 parts end to end, one group of cases per sub-type.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/controls.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcs51_fixture.h"
#include "families/mcu/mcu_select.h"

namespace daraz_test {
namespace {

using Strings = std::vector<std::string>;
using Kind = sim::Mcs51Chip::StrobeKind;
using Message = std::pair<std::string, int>;

// Device codes.
constexpr int kAt89c52 = 3, kAt89c55 = 4, kAt89s8252 = 5, kI87c52 = 10;
constexpr int kAt89s51 = 50, kAt89s52 = 51, kAt89s8253 = 52;

// The AT89C parts write a byte in typically 1.5 ms and at most 2.0 ms; the
// routine reads back about 1.41 ms after the pulse (tWC 1600 ticks), sees the
// data-polling byte, and writes again while the first write still runs.
const Strings kAt89cWriteCycle{"byte read sooner than tWC after its write",
                               "program pulse during the write cycle"};

std::vector<sim::Mcs51Chip::Event> Prog(const sim::Mcs51Chip& chip) {
  std::vector<sim::Mcs51Chip::Event> out;
  for (const auto& e : chip.events()) {
    if (e.kind == Kind::kProg) out.push_back(e);
  }
  return out;
}

// Power-on edges of the socket in the board's trace.
int PowerCycles(const sim::Board& board) {
  int cycles = 0;
  uint8_t ctrl = 0x09;
  for (const sim::TraceEntry& t : board.trace()) {
    if (!t.write || t.port != 0x37A) continue;
    if ((t.value & 0x04) && !(ctrl & 0x04)) ++cycles;
    ctrl = t.value;
  }
  return cycles;
}

TEST(At89c52, AutoEraseAutoLockRoundTripThenTheLocksHideTheCodeUntilErased) {
  Mcs51Session s;
  s.Select40(kAt89c52);
  s.chip->RecordEvents(true);
  s.chip->SetContents(std::vector<uint8_t>(8192, 0x00));
  s.p.controls.Check("cbAutoErase");
  s.p.controls.Check("cbAutoLockBit");
  families::mcs51::rbLockClick(s.p, 3);
  const std::vector<uint8_t> data = s.LoadRandom(8192);
  s.Program();
  EXPECT_EQ(s.Cells(), data);
  EXPECT_TRUE(s.host.HasMessage("Device Verify OK", 2));
  EXPECT_TRUE(s.host.HasMessage("Device LockBit ", 2));
  EXPECT_EQ(s.host.LastMessage(), (Message{"Device Programmed & Lock bit", 2}));
  // The lock pulses, in order, each with 0xFF on the bus and 12 V.
  std::vector<uint32_t> locks;
  for (const auto& e : Prog(*s.chip)) {
    if (e.latch >= 0x100000 && (e.latch & 0xFFFF) == 0x8000) {
      locks.push_back(e.latch);
      EXPECT_EQ(e.data, 0xFF);
      EXPECT_TRUE(e.vpp);
    }
  }
  EXPECT_EQ(locks, (std::vector<uint32_t>{0x108000, 0x178000, 0x118000, 0x128000}));
  EXPECT_EQ(s.chip->locks(), 7);
  EXPECT_EQ(s.Violations(), kAt89cWriteCycle);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.Verify();
  EXPECT_EQ(s.host.LastMessage().second, 1);
  EXPECT_NE(s.Last().find("Chip = 0x00"), std::string::npos);
  s.Erase();
  EXPECT_EQ(s.chip->locks(), 0);
  s.p.controls.Check("cbAutoErase", false);
  s.p.controls.Check("cbAutoLockBit", false);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c52, TheByteLoopAddressesEveryByteAndPulsesOnceForTwpTicks) {
  Mcs51Session s;
  s.Select40(kAt89c52);
  s.chip->RecordEvents(true);
  s.Load({0x12, 0x34});
  s.Program();
  std::vector<uint32_t> written;
  for (const auto& e : Prog(*s.chip)) {
    if ((e.latch & 0x1F0000) != 0x170000) continue;
    EXPECT_NEAR(e.width_ns, Ticks(5), 1500);  // tWP 5
    if (written.empty() || written.back() != e.latch) written.push_back(e.latch);
  }
  // Three bytes (one past the data), each at its own address.
  EXPECT_EQ(written, (std::vector<uint32_t>{0x170000, 0x170001, 0x170002}));
}

TEST(I87c52, TenPulsesPerAttemptAndElevenAttempts) {
  struct Case {
    const char* name;
    const char* fault;  // nullptr, "weak" (15 pulses) or "never"
    size_t pulses_at_5;
    bool programmed;
  };
  const Case cases[] = {
      {"ordinary cell", nullptr, 10, true},
      {"cell needing 15 pulses", "weak", 20, true},
      {"cell that never programs", "never", 110, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mcs51Session s;
    s.Select40(kI87c52);
    s.chip->RecordEvents(true);
    if (c.fault) {
      ASSERT_TRUE(s.chip->InjectFault({c.fault, 5, 15, 0}));
    }
    const std::vector<uint8_t> data = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    s.Load(data);
    s.Program();
    size_t at_5 = 0;
    for (const auto& e : Prog(*s.chip)) {
      if (e.latch != (0x170000 | 5)) continue;
      ++at_5;
      EXPECT_NEAR(e.width_ns, Ticks(110), 1500);
    }
    EXPECT_EQ(at_5, c.pulses_at_5);
    EXPECT_EQ(s.Cells()[5] == data[5], c.programmed);
    if (c.programmed) {
      EXPECT_EQ(s.Last(), "Device Programmed OK");
    } else {
      char text[64];
      std::snprintf(text, sizeof text, " Error at 0x000005  Chip = 0xFF  buffer = 0x%02X", data[5]);
      EXPECT_EQ(s.host.LastMessage(), (Message{text, 1}));
      EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
    }
    EXPECT_EQ(s.Violations(), Strings{});
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(At89c55, BlankCheckSeesDataAboveSixteenKilobytes) {
  Mcs51Session s;
  s.Select40(kAt89c55);
  std::vector<uint8_t> cells(20 * 1024, 0xFF);
  cells[0x4000] = 0x00;
  s.chip->SetContents(cells);
  s.Blank();
  EXPECT_EQ(s.host.LastMessage(), (Message{"Device is NOT Empty ($4000)", 1}));
  EXPECT_TRUE(s.host.HasMessage("Checking Device is Empty"));  // the gauge's caption
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89c55, AReadIsWhatTheNextProgramWrites) {
  Mcs51Session s;
  s.Select40(kAt89c55);
  std::vector<uint8_t> cells(20 * 1024);
  for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  s.chip->SetContents(cells);
  image::ClearBuf(s.p.image, image::kFillFF, {});
  s.p.image.data_end = 0;
  s.Read();
  EXPECT_EQ(s.Last(), "Device Read OK");
  EXPECT_EQ(s.p.image.data_end, 20u * 1024);
  s.chip->SetContents({});  // a blank chip in the socket
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.Cells(), cells);
}

TEST(At89s52, EraseIsTwoPowerCyclesOfAbout210Milliseconds) {
  Mcs51Session s;
  s.Select40(kAt89s52);
  s.chip->RecordEvents(true);
  s.chip->SetContents(std::vector<uint8_t>(8192, 0x00));
  s.p.dev.mcs51.t_erase = 0;  // the passes do not depend on it
  s.board->EnableTrace(true);
  const int64_t start = s.board->clock().now_ns();
  s.Erase();
  EXPECT_EQ(s.Cells(), std::vector<uint8_t>(8192, 0xFF));
  const auto pulses = Prog(*s.chip);
  ASSERT_EQ(pulses.size(), 2u);
  for (const auto& e : pulses) {
    EXPECT_EQ(e.latch, 0x108000u);
    EXPECT_NEAR(e.width_ns, Ticks(10), 1500);
  }
  // The hardware test's power cycle, then the two passes.
  EXPECT_EQ(PowerCycles(*s.board), 3);
  EXPECT_GT(pulses[1].start_ns - pulses[0].start_ns, Ticks(250000));
  EXPECT_GT(s.board->clock().now_ns() - start, 2 * Ticks(250000));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89s52, SignatureFallsBackTo100hAnd200h) {
  Mcs51Session s;
  s.Select40(kAt89s52);
  s.GetId();
  const app::Controls& c = s.p.controls;
  EXPECT_EQ(c.Text("edManufacName"), " ATMEL");
  EXPECT_EQ(c.Text("edDeviceName"), " AT89S52");
  EXPECT_EQ(c.Text("edDeviceID"), " 0x5206");
  EXPECT_EQ(s.p.dev.mcs51.signature, (std::array<uint8_t, 3>{0x1E, 0x52, 0x06}));
}

TEST(At89s51, EachLockBitInAPowerCycleOfItsOwnAndTheLockReadLayout) {
  Mcs51Session s;
  s.Select40(kAt89s51);
  s.chip->RecordEvents(true);
  s.p.dev.lock_mode = 3;
  s.board->EnableTrace(true);
  families::mcs51::sbLockBitClick(s.p);
  std::vector<uint32_t> latches;
  for (const auto& e : Prog(*s.chip)) latches.push_back(e.latch);
  EXPECT_EQ(latches, (std::vector<uint32_t>{0x178000, 0x118000, 0x128000}));
  // Hardware test, LockChip's EnterMode, then one per lock bit.
  EXPECT_EQ(PowerCycles(*s.board), 5);
  EXPECT_EQ(s.chip->locks(), 7);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  // All three read back at D2, D3, D4, and the panel is told of its text.
  const int changes = s.host.controls_changed;
  families::mcs51::ReadLockBits(s.p);
  EXPECT_EQ(s.p.dev.mcs51.sig_lbit, 0x1C);
  EXPECT_EQ(s.p.controls.Text("pRdLB"), " Bit 1,2,3 (D2,3,4) = 111");
  EXPECT_GT(s.host.controls_changed, changes);

  Mcs51Session t;
  t.Select40(kAt89s51);
  ASSERT_TRUE(t.chip->InjectFault({"lockbits", 0, 2, 0}));
  families::mcs51::sbRdLBClick(t.p);
  EXPECT_EQ(t.p.dev.mcs51.sig_lbit, 0x0C);
  EXPECT_EQ(t.p.controls.Text("pRdLB"), " Bit 1,2,3 (D2,3,4) = 110");
  EXPECT_TRUE(t.p.controls.Visible("pRdLB"));
  EXPECT_EQ(t.board->RestState(), sim::kAtRest);
  // Lock bit 1 alone: D2 set, D3 and D4 clear; each digit is its own bit.
  Mcs51Session u;
  u.Select40(kAt89s51);
  ASSERT_TRUE(u.chip->InjectFault({"lockbits", 0, 1, 0}));
  families::mcs51::sbRdLBClick(u.p);
  EXPECT_EQ(u.p.controls.Text("pRdLB"), " Bit 1,2,3 (D2,3,4) = 100");
}

TEST(At89s8252, LockChoiceTwoIsOnePulseAndTheSpiOptionWrite) {
  Mcs51Session s;
  s.Select40(kAt89s8252);
  s.chip->RecordEvents(true);
  s.p.dev.lock_mode = 2;
  families::mcs51::sbLockBitClick(s.p);
  const auto pulses = Prog(*s.chip);
  ASSERT_EQ(pulses.size(), 1u);
  EXPECT_EQ(pulses[0].latch, 0x128000u);
  EXPECT_EQ(pulses[0].data, 0x3F);
  EXPECT_EQ(s.chip->locks(), 3);
  families::mcs51::sbRdLBClick(s.p);
  EXPECT_EQ(s.p.controls.Text("pRdLB"), "  Bit 1,2,3 (D2,1,0) = 110");

  s.chip->ClearEvents();
  s.p.controls.Check(families::mcu::kMcs51OptionBoxes[0]);
  families::mcs51::cbMCS51spiClick(s.p);
  EXPECT_EQ(s.p.controls.Text(families::mcu::kMcs51OptionBoxes[0]), "SerialPrg Disable");
  s.host.Clear();
  families::mcs51::btnMCS51spiWriteClick(s.p);
  EXPECT_TRUE(s.host.HasMessage("Device Disable Func. SPI  ", 2));
  EXPECT_EQ(s.chip->option(), 0x01);
  ASSERT_EQ(Prog(*s.chip).size(), 1u);
  EXPECT_EQ(Prog(*s.chip)[0].latch, 0x50000u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89s8253, PagesOfCodeAndDataEeprom) {
  Mcs51Session s;
  s.Select40(kAt89s8253);
  s.chip->RecordEvents(true);
  const std::vector<uint8_t> data = s.LoadRandom(0x3800);
  s.p.image.data_end = 0x37FF;
  s.Program();
  EXPECT_EQ(s.Cells(), data);
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  // The gauge: 256 pages once the data EEPROM is reached.
  const auto gauges = s.host.Of(HostEvent::Type::kShowGauge);
  ASSERT_FALSE(gauges.empty());
  EXPECT_EQ(gauges[0].text, "programming chip");
  EXPECT_EQ(gauges[0].value, 256);
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 255 ");
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), "  Page ");
  // The last code page: 64 loads at 0xE4000 | 0x2FC0..0x2FFF; the first data
  // page: 32 loads at 0x64000 | 0x3000..0x301F.
  int code_page = 0, data_page = 0;
  for (const auto& e : Prog(*s.chip)) {
    const uint32_t a = e.latch & 0x3FFF;
    if ((e.latch & 0xFC000) == 0xE4000 && a >= 0x2FC0 && a <= 0x2FFF) ++code_page;
    if ((e.latch & 0xFC000) == 0x64000 && a >= 0x3000 && a <= 0x301F) ++data_page;
    if ((e.latch & 0xFC000) == 0x64000) {
      EXPECT_GE(a, 0x3000u);
    }
  }
  EXPECT_EQ(code_page, 64);
  EXPECT_EQ(data_page, 32);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89s8253, APageThatFailsIsWrittenAgainAndTwentyFailuresEndTheRun) {
  {
    Mcs51Session s;
    s.Select40(kAt89s8253);
    ASSERT_TRUE(s.chip->InjectFault({"weak", 0x45, 2, 0}));
    const std::vector<uint8_t> data = s.LoadRandom(0x100);
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK");
    EXPECT_EQ(s.Cells()[0x45], data[0x45]);
  }
  Mcs51Session s;
  s.Select40(kAt89s8253);
  s.chip->RecordEvents(true);
  ASSERT_TRUE(s.chip->InjectFault({"never", 0x45, 0, 0}));
  s.p.controls.Check("cbAutoLockBit");
  s.p.dev.lock_mode = 1;
  s.LoadRandom(0x100);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), (Message{" Error :Write Page  1 ", 1}));
  EXPECT_FALSE(s.host.HasMessage("Verify chip"));
  EXPECT_FALSE(s.host.HasMessage("Device LockBit "));
  int page_one = 0;
  for (const auto& e : Prog(*s.chip)) {
    if ((e.latch & 0xFC000) == 0xE4000 && (e.latch & 0x3FFF) == 0x45) ++page_one;
  }
  EXPECT_EQ(page_one, 20);
  EXPECT_EQ(s.chip->locks(), 0);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89s8253, CancelBetweenPagesAlsoReportsThePageItStoppedAt) {
  Mcs51Session s;
  s.Select40(kAt89s8253);
  s.p.controls.Check("cbAutoLockBit");
  s.p.dev.lock_mode = 1;
  s.LoadRandom(0x400);
  s.host.CancelAtRefresh(s.p, 6);
  s.Program();
  // The cancel is seen after a page was written and shown; the page report
  // follows the interruption and names that page.
  const std::vector<Message> messages = s.host.Messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[messages.size() - 2], (Message{"program interrupted!", 1}));
  const std::string page = s.p.controls.Text("pLoopp");
  ASSERT_FALSE(page.empty());
  EXPECT_NE(page, " 15 ");  // not the last of the 16 pages
  EXPECT_EQ(messages.back(), (Message{" Error :Write Page " + page, 1}));
  EXPECT_FALSE(s.host.HasMessage("Verify chip"));
  EXPECT_FALSE(s.host.HasMessage("Device LockBit "));
  EXPECT_EQ(s.chip->locks(), 0);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At89s8253, FuseWriteAndLockByte) {
  Mcs51Session s;
  s.Select40(kAt89s8253);
  s.chip->RecordEvents(true);
  for (int i : {0, 2, 3}) s.p.controls.Check(families::mcu::kMcs51OptionBoxes[i]);
  families::mcs51::cbMCS51spiClick(s.p);
  EXPECT_EQ(s.p.controls.Text(families::mcu::kMcs51OptionBoxes[3]), "Crystal Clock Enable");
  families::mcs51::btnMCS51spiWriteClick(s.p);
  EXPECT_EQ(s.chip->option(), 0x0D);
  s.p.dev.lock_mode = 2;
  families::mcs51::sbLockBitClick(s.p);
  const auto pulses = Prog(*s.chip);
  ASSERT_EQ(pulses.size(), 2u);
  EXPECT_EQ(pulses[0].latch, 0xC4000u);
  EXPECT_EQ(pulses[1].latch, 0x1A0000u);
  EXPECT_EQ(pulses[1].data, 0xFC);
  families::mcs51::sbRdLBClick(s.p);
  EXPECT_EQ(s.p.dev.mcs51.sig_lbit, 0xFC);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The AT89S8253 keeps its signature at 30H..32H of the mode with A19 set:
// 1E 73 01.
TEST(At89s8253, SignatureAt80030h) {
  Mcs51Session s;
  s.Select40(kAt89s8253);
  s.GetId();
  EXPECT_EQ(s.p.dev.mcs51.signature, (std::array<uint8_t, 3>{0x1E, 0x73, 0x01}));
  EXPECT_EQ(s.p.controls.Text("edManufacName"), " ATMEL");
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Mcs51Family38, DispatchesNothingAndBlankSaysNothing) {
  Mcs51Session s;
  app::SelectDevice(s.p, app::HandlerId::AT89C51_Click, app::SelectItem{101, "AT89C51"});
  ASSERT_EQ(s.p.dev.family, 38);
  s.host.Clear();
  app::mnuBlankClick(s.p);
  EXPECT_EQ(s.host.Count(HostEvent::Type::kMessage), 0u);
}

}  // namespace
}  // namespace daraz_test
