// The AT90S parts end to end on the simulated board: the command, address
// and data loads the chip depends on, the adapter's wiring, the image
// layout, the lock and fuse writes, identification and the faults.
#include "families/mcu/avr.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "app/controls.h"
#include "app/option_keys.h"
#include "families/mcu/avr_fixture.h"
#include "families/mcu/avr_ops.h"
#include "families/mcu/mcu_select.h"

namespace daraz_test {
namespace {

using Strings = std::vector<std::string>;
using Kind = sim::AvrChip::Kind;

struct Load {
  bool xa1, xa0, bs1;
  uint8_t byte;
  bool operator==(const Load&) const = default;
};

std::vector<Load> Loads(const sim::AvrChip& chip) {
  std::vector<Load> out;
  for (const auto& e : chip.events()) {
    if (e.kind == Kind::kLoad) out.push_back({e.xa1, e.xa0, e.bs1, e.byte});
  }
  return out;
}

std::vector<sim::AvrChip::Event> Writes(const sim::AvrChip& chip, uint8_t command) {
  std::vector<sim::AvrChip::Event> out;
  for (const auto& e : chip.events()) {
    if (e.kind == Kind::kWrite && e.command == command) out.push_back(e);
  }
  return out;
}

TEST(At90s2313, EraseProgramVerifyReadFlashAndEeprom) {
  AvrSession s;
  s.Select(102);
  s.chip->SetContents(std::vector<uint8_t>(2048 + 128, 0x00));
  s.Erase();
  EXPECT_EQ(s.chip->flash(), std::vector<uint8_t>(2048, 0xFF));
  EXPECT_EQ(s.chip->eeprom(), std::vector<uint8_t>(128, 0xFF));
  EXPECT_EQ(s.Gauges(), Strings{"Erasing chip"});
  EXPECT_EQ(s.host.Messages().back().first, "Erasing chip");  // no message after the gauge
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");

  const std::vector<uint8_t> flash = Pattern(2048, 3), eeprom = Pattern(128, 99);
  s.Load(flash, eeprom);
  s.Program();
  EXPECT_EQ(s.Gauges(), (Strings{"programming chip (FLASH)", "programming chip (EEPROM)",
                                 "Verify chip ( FLASH )", "Verify chip ( EEPROM )"}));
  EXPECT_EQ(s.host.LastMessage(), (std::pair<std::string, int>{"Device Verify OK", 2}));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.chip->flash(), flash);
  EXPECT_EQ(s.chip->eeprom(), eeprom);

  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.Load({0x00}, std::vector<uint8_t>(128, 0x00));  // something else in the image
  s.Read();
  EXPECT_EQ(s.Gauges(), (Strings{"READ chip (Flash)", "READ chip (EEPROM)"}));
  EXPECT_EQ(s.Last(), "Device Read OK");
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data(), s.p.image.data() + 2048), flash);
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data() + 0x40000, s.p.image.data() + 0x40080), eeprom);
  EXPECT_EQ(s.p.image[0x40080], 0xFF);
  EXPECT_EQ(s.p.image.data_end, 2048u);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// On a port much faster than the parallel port one access no longer covers
// the part's 67 ns setup and pulse limits: each of the routines' short
// waits must carry its limit on its own. At 20 ns an access, a removed wait
// leaves an XTAL1 or /WR pulse one access wide and a data setup three.
TEST(At90s2313, EveryActionMeetsThePartsLimitsOnAFastPort) {
  AvrSession s;
  s.Select(102);
  s.board->SetAccessCost(20);
  s.chip->SetContents(std::vector<uint8_t>(2048 + 128, 0x00));
  s.Erase();
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");
  const std::vector<uint8_t> flash = Pattern(64, 7), eeprom = Pattern(128, 41);
  s.Load(flash, eeprom);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(std::vector<uint8_t>(s.chip->flash().begin(), s.chip->flash().begin() + 64), flash);
  EXPECT_EQ(s.chip->eeprom(), eeprom);
  s.Load({}, std::vector<uint8_t>(128, 0x00));
  s.Read();
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data(), s.p.image.data() + 64), flash);
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data() + 0x40000, s.p.image.data() + 0x40080), eeprom);
  s.p.controls.Check(families::mcu::kAvrFuseBoxes[0], false);
  families::avr::cbFbit0Click(s.p);
  families::avr::bbAVRfuseClick(s.p);
  EXPECT_EQ(s.chip->fuses(), 0xFE);
  families::avr::rbAVRmClick(s.p, 2);
  families::avr::sbAVRlockbitClick(s.p);
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edDeviceName"), " AT90S2313");
  EXPECT_EQ(s.p.controls.Text("edLockbit"), " 0x7E");
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90s2313, AFlashWordLoadsCommandAddressAndDataWithTheModePins) {
  AvrSession s;
  s.Select(102);
  s.chip->RecordEvents(true);
  families::avr::AvrEnterProgramming(s.p);
  families::avr::WriteFlashWord(s.p, 0x123, 0x5A, 0xC3);
  families::avr::WriteEepromByte(s.p, 0x45, 0x77);
  s.p.bus.PowerDown();
  // XA1 XA0 = 10 command, 00 address (BS1: high byte), 01 data.
  const std::vector<Load> want{
      {true, false, false, 0x10},  {false, false, false, 0x23}, {false, false, true, 0x01},
      {false, true, false, 0x5A},  {false, true, false, 0xC3},  {true, false, false, 0x11},
      {false, false, false, 0x45}, {false, false, true, 0x00},  {false, true, false, 0x77},
  };
  EXPECT_EQ(Loads(*s.chip), want);
  // The low byte goes with BS1 = 0, the high byte with BS1 = 1: flash
  // little-endian, word 0x123 at bytes 0x246 and 0x247.
  const auto flash = Writes(*s.chip, 0x10);
  ASSERT_EQ(flash.size(), 2u);
  EXPECT_FALSE(flash[0].bs1);
  EXPECT_TRUE(flash[1].bs1);
  EXPECT_EQ(s.chip->flash()[0x246], 0x5A);
  EXPECT_EQ(s.chip->flash()[0x247], 0xC3);
  EXPECT_EQ(s.chip->eeprom()[0x45], 0x77);
  // A 20-tick /WR, then 2500 ticks before the next load (whose XTAL1 pulse
  // comes after its own 15 + 15 + 15 + 150 ticks and the address shift).
  for (const auto& w : flash) EXPECT_NEAR(w.width_ns, Ticks(20), 2000);
  const auto& events = s.chip->events();
  const auto second = std::find_if(events.begin(), events.end(), [](const auto& e) {
    return e.kind == Kind::kLoad && e.byte == 0xC3;
  });
  ASSERT_NE(second, events.end());
  const int64_t gap = second->start_ns - (flash[0].start_ns + flash[0].width_ns);
  EXPECT_GE(gap, Ticks(15 + 2500 + 15 + 15 + 15 + 150));
  EXPECT_LT(gap, Ticks(15 + 2500 + 15 + 15 + 15 + 150) + 40000);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The whole address-bus pattern behind each strobe: the adapter routes
// control bit 3 by the upper bits (0x18000 XTAL1, 0x60000 /WR, 0x40000
// /OE) and takes XA1 (0x200), XA0 (0x080) and BS1 (0x100) from the lower
// ones; no other latch bit may be set, whatever the adapter wires to it.
TEST(At90sOps, EachOperationStrobesWithItsAddressPatterns) {
  namespace avr = families::avr;
  struct Case {
    const char* name;
    void (*operation)(app::Programmer& p);
    std::vector<uint32_t> latches;  // one per load, write and read, in order
  };
  const Case cases[] = {
      {"chip erase", &avr::ChipErase, {0x18200, 0x60000}},
      {"flash word",
       [](app::Programmer& p) { avr::WriteFlashWord(p, 0x123, 0x5A, 0xC3); },
       {0x18200, 0x18000, 0x18100, 0x18080, 0x60000, 0x18080, 0x60100}},
      {"EEPROM byte",
       [](app::Programmer& p) { avr::WriteEepromByte(p, 0x45, 0x77); },
       {0x18200, 0x18000, 0x18100, 0x18080, 0x60000}},
      {"fuse write",
       [](app::Programmer& p) { avr::WriteFuses(p, 0xFE); },
       {0x18200, 0x18080, 0x60000}},
      {"lock write",
       [](app::Programmer& p) { avr::WriteLocks(p, 0xFD); },
       {0x18200, 0x18080, 0x60000}},
      {"read flash word",
       [](app::Programmer& p) { avr::ReadFlashWord(p, 0x123); },
       {0x18200, 0x18000, 0x18100, 0x40000, 0x18200, 0x18000, 0x18100, 0x40100}},
      {"read EEPROM byte",
       [](app::Programmer& p) { avr::ReadEepromByte(p, 0x45); },
       {0x18200, 0x18000, 0x18100, 0x40000}},
      {"signature",
       [](app::Programmer& p) { avr::ReadSignature(p); },
       {0x18200, 0x18000, 0x40000, 0x18000, 0x40000, 0x18000, 0x40000}},
      {"fuse and lock read",
       [](app::Programmer& p) { avr::ReadFuseAndLock(p); },
       {0x18200, 0x40100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AvrSession s;
    s.Select(102);
    avr::AvrEnterProgramming(s.p);
    s.chip->RecordEvents(true);
    c.operation(s.p);
    s.p.bus.PowerDown();
    std::vector<uint32_t> latches;
    for (const auto& e : s.chip->events()) latches.push_back(e.latch);
    EXPECT_EQ(latches, c.latches);
    EXPECT_EQ(s.Violations(), Strings{});
  }
}

TEST(At90s2313, TheAdapterWiringOfBothBoards) {
  struct Case {
    bool new_adapter;
    uint8_t byte, port;
  };
  // Chip bit 0 on port bit 7, 1 on 6, 2 on 0, 3 on 5, 4 on 1, 5 on 4, 6 on
  // 2, 7 on 3; the new board mirrors.
  const Case cases[] = {{false, 0x01, 0x80}, {false, 0x04, 0x01}, {false, 0x80, 0x08},
                        {false, 0x20, 0x10}, {true, 0x01, 0x80},  {true, 0x04, 0x20},
                        {true, 0x80, 0x01},  {true, 0x10, 0x08}};
  for (const Case& c : cases) {
    AvrSession s;
    s.Select(102);
    s.p.controls.Check("cbNewAdapterAVR", c.new_adapter);
    families::avr::cbNewAdapterAVRClick(s.p);
    s.Insert();
    s.chip->RecordEvents(true);
    families::avr::AvrEnterProgramming(s.p);
    families::avr::AvrLoad(s.p, 0x080, c.byte);
    EXPECT_EQ(s.board->pins().data, c.port) << int{c.byte} << " new " << c.new_adapter;
    ASSERT_EQ(Loads(*s.chip).size(), 1u);
    EXPECT_EQ(Loads(*s.chip)[0].byte, c.byte);
    s.p.bus.PowerDown();
  }
}

// An image of odd length ends on the low byte of its last word: that word
// is programmed and verified too (its high byte from the erased buffer).
TEST(At90s2313, AnOddLengthImageKeepsItsLastByte) {
  AvrSession s;
  s.Select(102);
  s.Load({0x11, 0x22, 0x33, 0x44, 0x55});
  s.p.image.data_end = 4;  // the last byte's index
  s.Program();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(s.chip->flash()[4], 0x55);
  EXPECT_EQ(s.chip->flash()[5], 0xFF);
  // A chip that differs only there fails the verify at that word.
  std::vector<uint8_t> cells(2048 + 128, 0xFF);
  for (uint8_t i = 0; i < 4; ++i) cells[i] = static_cast<uint8_t>(0x11 * (i + 1));
  s.chip->SetContents(cells);
  s.Verify();
  EXPECT_EQ(s.Last(), " Error at 0x000004  Chip = 0xFFFF  buffer = 0x55FF");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90s1200, ProgramsExactlyItsSixtyFourEepromBytes) {
  AvrSession s;
  s.Select(101);
  s.chip->RecordEvents(true);
  std::vector<uint8_t> eeprom = Pattern(64, 5);
  s.Load(Pattern(16, 1), eeprom);
  s.p.image[0x40040] = 0x12;  // beyond the part's EEPROM: never written
  s.Program();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(Writes(*s.chip, 0x11).size(), 64u);
  EXPECT_EQ(s.chip->eeprom(), eeprom);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90s8515, BothHalvesOfTheEepromAndTheLastFlashWord) {
  AvrSession s;
  s.Select(106);
  std::vector<uint8_t> eeprom(512);
  for (int i = 0; i < 256; ++i) {
    eeprom[i] = static_cast<uint8_t>(i);
    eeprom[256 + i] = static_cast<uint8_t>(0xA5 ^ i);
  }
  const std::vector<uint8_t> flash = Pattern(8192, 17);  // ends at word 0xFFF
  s.Load(flash, eeprom);
  s.chip->RecordEvents(true);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(s.chip->flash(), flash);
  EXPECT_EQ(s.chip->eeprom(), eeprom);
  // EEPROM byte 0x1FF loads 0xFF low and 0x01 high.
  const std::vector<Load> loads = Loads(*s.chip);
  const std::vector<Load> byte511{{true, false, false, 0x11},
                                  {false, false, false, 0xFF},
                                  {false, false, true, 0x01},
                                  {false, true, false, eeprom[511]}};
  EXPECT_NE(std::search(loads.begin(), loads.end(), byte511.begin(), byte511.end()), loads.end());
  s.Load({}, std::vector<uint8_t>(512, 0));
  s.Read();
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data() + 0x40000, s.p.image.data() + 0x40200), eeprom);
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90s2313, LockModesThroughThePanelAndTheEraseThatClearsThem) {
  AvrSession s;
  s.Select(102);
  const std::vector<uint8_t> flash{0x12, 0x34, 0x56, 0x78};
  s.Load(flash);
  s.Program();
  ASSERT_EQ(s.Last(), "Device Verify OK");

  // Mode 3: reads return a fixed pattern, so the verify fails at word 0
  // with the chip's low byte in the upper half, as the buffer shows it.
  families::avr::rbAVRmClick(s.p, 3);
  EXPECT_TRUE(s.p.controls.Checked("rbAVRm3"));
  EXPECT_FALSE(s.p.controls.Checked("rbAVRm1"));
  // A tag that names no radio changes nothing.
  families::avr::rbAVRmClick(s.p, 0);
  families::avr::rbAVRmClick(s.p, 4);
  EXPECT_EQ(s.p.dev.avr.lock_mode, 3);
  EXPECT_TRUE(s.p.controls.Checked("rbAVRm3"));
  s.host.Clear();
  families::avr::sbAVRlockbitClick(s.p);
  EXPECT_TRUE(s.host.HasMessage("Device AVR Lock Bits ", 2));
  EXPECT_EQ(s.chip->locks(), 0xF9);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  s.Verify();
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0x0000  buffer = 0x1234");
  EXPECT_EQ(s.p.error, 1);

  // Erase clears the lock bits; mode 2 then stops programming, not reading.
  s.Erase();
  EXPECT_EQ(s.chip->locks(), 0xFF);
  families::avr::rbAVRmClick(s.p, 2);
  families::avr::sbAVRlockbitClick(s.p);
  EXPECT_EQ(s.chip->locks(), 0xFD);
  s.Program();
  EXPECT_EQ(s.chip->flash(), std::vector<uint8_t>(2048, 0xFF));
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x1234");

  s.Erase();
  s.Program();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(s.Violations(), Strings{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90sFuses, TheBoxesComposeTheByteTheChipReceives) {
  struct Case {
    int tag;
    std::vector<int> cleared;  // boxes the user unchecks
    const char* shown;
    uint8_t chip;
  };
  // The older parts have SPIEN (bit 5) and bit 0 only, and their other
  // boxes are disabled; the AT90S4433 has all six.
  const Case cases[] = {{102, {0, 5}, " 0xDE", 0xDE},
                        {102, {1, 2}, " 0xFF", 0xFF},
                        {104, {2}, " 0xFB", 0xFB},
                        {104, {0, 3, 4}, " 0xE6", 0xE6}};
  for (const Case& c : cases) {
    AvrSession s;
    s.Select(c.tag);
    EXPECT_EQ(s.p.controls.Text("edEPRFuse"), " 0xFF");
    for (const int box : c.cleared) {
      if (!s.p.controls.Enabled(families::mcu::kAvrFuseBoxes[box])) continue;
      s.p.controls.Check(families::mcu::kAvrFuseBoxes[box], false);
      families::avr::cbFbit0Click(s.p);
    }
    EXPECT_EQ(s.p.controls.Text("edEPRFuse"), c.shown);
    s.chip->RecordEvents(true);
    s.host.Clear();
    families::avr::bbAVRfuseClick(s.p);
    EXPECT_TRUE(s.host.HasMessage("Device AVR Fuse Bits ", 2));
    const auto writes = Writes(*s.chip, 0x40);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].byte, static_cast<uint8_t>(std::strtoul(c.shown + 3, nullptr, 16)));
    EXPECT_EQ(s.chip->fuses(), c.chip) << "tag " << c.tag;
    // The fuse write holds /WR low 1.0..1.8 ms: 1790 ticks.
    EXPECT_NEAR(writes[0].width_ns, Ticks(1790), 2000);
    EXPECT_EQ(s.Violations(), Strings{});
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(At90sGetId, SignatureLockByteAndLockMode) {
  AvrSession s;
  s.Select(102);
  s.chip->RecordEvents(true);
  s.GetId();
  // Three signature bytes (command 0x08, BS1 low), then the fuse and lock
  // byte (command 0x04, BS1 high): four reads and no more.
  std::vector<std::tuple<uint8_t, bool, uint8_t>> reads;
  for (const auto& e : s.chip->events()) {
    if (e.kind == Kind::kRead) reads.emplace_back(e.command, e.bs1, e.byte);
  }
  EXPECT_EQ(
      reads,
      (std::vector<std::tuple<uint8_t, bool, uint8_t>>{
          {0x08, false, 0x1E}, {0x08, false, 0x91}, {0x08, false, 0x01}, {0x04, true, 0xFF}}));
  const app::Controls& c = s.p.controls;
  EXPECT_EQ(c.Text("edManufacID"), " 0x1E");
  EXPECT_EQ(c.Text("edManufacName"), " Atmel  ( AVR )");
  EXPECT_EQ(c.Text("edDeviceName"), " AT90S2313");
  EXPECT_EQ(c.Text("edLockbit"), " 0xFF");
  EXPECT_EQ(c.Text("edLockMode"), " Lockbit Mode 1");
  families::avr::rbAVRmClick(s.p, 2);
  families::avr::sbAVRlockbitClick(s.p);
  s.GetId();
  EXPECT_EQ(c.Text("edLockbit"), " 0x7F");  // LB1 (bit 7) programmed
  EXPECT_EQ(c.Text("edLockMode"), " Lockbit Mode 2");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  // The AT90S4433 reads its lock bits on bits 1 and 2.
  AvrSession t;
  t.Select(104);
  families::avr::rbAVRmClick(t.p, 3);
  families::avr::sbAVRlockbitClick(t.p);
  t.GetId();
  EXPECT_EQ(t.p.controls.Text("edDeviceName"), " AT90S/LS4433");
  EXPECT_EQ(t.p.controls.Text("edLockbit"), " 0xF9");
  EXPECT_EQ(t.p.controls.Text("edLockMode"), " Lockbit Mode 3");
  EXPECT_EQ(t.Violations(), Strings{});
}

TEST(At90sFaults, NotErasedFlashFailsWhereTheAndBites) {
  AvrSession s;
  s.Select(102);
  ASSERT_TRUE(s.chip->InjectFault({"not-erased"}));
  // The old program holds byte n = n: bytes 0..7 already match, byte 8
  // needs bit 4, which an AND cannot set.
  std::vector<uint8_t> flash{0, 1, 2, 3, 4, 5, 6, 7, 0x18, 0x09};
  s.Load(flash);
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000008  Chip = 0x0809  buffer = 0x1809");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90sFaults, SlowEepromLosesEveryOtherByte) {
  AvrSession s;
  s.Select(102);
  ASSERT_TRUE(s.chip->InjectFault({"slow-eeprom"}));
  std::vector<uint8_t> eeprom(128);
  for (int i = 0; i < 128; ++i) eeprom[i] = static_cast<uint8_t>(i);
  s.Load({0x11, 0x22}, eeprom);
  s.Program();
  // A 3 ms write outlasts the 1500-tick wait and the whole next byte's
  // sequence (about 2.4 ms): byte 1 never reaches the part.
  EXPECT_EQ(s.Last(), " Error at 0x040001  Chip = 0xFF  buffer = 0x01");
  EXPECT_EQ(s.Violations(), Strings{"command while RDY/BSY is low"});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90sFaults, AdapterWiringThatDisagreesWithNewAdapter) {
  AvrSession s;
  s.Select(102);
  ASSERT_TRUE(s.chip->InjectFault({"adapter-swap"}));
  s.Load({0x12, 0x34});
  s.Program();
  // Command 0x10 reaches the part as 0x40 (a fuse write, far too short)
  // and 0x11 as 0x41; the read commands 0x02 and 0x03 survive the swap.
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x1234");
  EXPECT_EQ(s.Violations(), (Strings{"fuse /WR pulse shorter than tWLWH_PFB",
                                     "/WR with no command the part knows"}));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90sFaults, CancelInTheFlashPhaseSkipsTheEeprom) {
  AvrSession s;
  s.Select(102);
  s.Load(Pattern(2048, 1), Pattern(128, 2));
  s.host.CancelAtRefresh(s.p, 2);
  s.p.cancel.store(0);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("program interrupted!", 1));
  EXPECT_EQ(s.Gauges(), Strings{"programming chip (FLASH)"});
  EXPECT_EQ(s.chip->eeprom(), std::vector<uint8_t>(128, 0xFF));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(At90sFaults, CancelInTheFlashPhaseOfReadVerifyAndBlankCheck) {
  struct Case {
    const char* name;
    void (AvrSession::*run)();
    const char* gauge;  // the flash phase's, the only one shown
  };
  const Case cases[] = {{"read", &AvrSession::Read, "READ chip (Flash)"},
                        {"verify", &AvrSession::Verify, "Verify chip ( FLASH )"},
                        {"blank", &AvrSession::Blank, "Checking Device is Empty"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AvrSession s;
    s.Select(102);
    s.Load(std::vector<uint8_t>(2048, 0xFF));
    s.host.CancelAtRefresh(s.p, 2);
    s.p.cancel.store(0);
    (s.*c.run)();
    EXPECT_TRUE(s.host.HasMessage("program interrupted!", 1));
    EXPECT_FALSE(s.host.HasMessage("Device Read OK"));
    EXPECT_FALSE(s.host.HasMessage("Device is Empty"));
    EXPECT_EQ(s.Gauges(), Strings{c.gauge});
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(At90sFaults, CancelInTheEepromPhaseOfProgramReadAndVerify) {
  struct Case {
    const char* name;
    void (AvrSession::*run)();
    Strings gauges;  // both phases, nothing after
  };
  const Case cases[] = {
      {"program", &AvrSession::Program, {"programming chip (FLASH)", "programming chip (EEPROM)"}},
      {"read", &AvrSession::Read, {"READ chip (Flash)", "READ chip (EEPROM)"}},
      {"verify", &AvrSession::Verify, {"Verify chip ( FLASH )", "Verify chip ( EEPROM )"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AvrSession s;
    s.Select(101);  // AT90S1200: 512 flash words, 64 EEPROM bytes
    s.Load({0xFF, 0xFF});
    s.p.image.data_end = 1;  // one word
    // The gauge refreshes every other word or byte: the read's flash phase
    // (the whole part) takes 256 refreshes, the others' a word.
    s.host.CancelAtRefresh(s.p, c.run == &AvrSession::Read ? 270 : 20);
    s.p.cancel.store(0);
    (s.*c.run)();
    EXPECT_TRUE(s.host.HasMessage("program interrupted!", 1));
    EXPECT_FALSE(s.host.HasMessage("Device Read OK"));
    EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
    EXPECT_EQ(s.Gauges(), c.gauges);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// A byte or word that disagrees is read 11 times before it counts.
TEST(At90sFaults, AMismatchIsReadElevenTimes) {
  struct Case {
    const char* name;
    void (AvrSession::*run)();
    size_t reads;  // /OE reads in the whole action
    const char* message;
  };
  // The chip: flash word 2 = 0xFF00, EEPROM byte 3 = 0x00, the rest
  // erased; the image: two flash bytes 0xFF, EEPROM all 0xFF.
  const Case cases[] = {
      // Words 0 and 1 once (two bytes each), word 2 eleven times.
      {"blank", &AvrSession::Blank, 2 + 2 + 22, "Device is NOT Empty ($0004)"},
      // Words 0 and 1 once (the verify runs to the data end inclusive),
      // EEPROM bytes 0..2 once, byte 3 eleven times.
      {"verify", &AvrSession::Verify, 4 + 3 + 11, " Error at 0x040003  Chip = 0x00  buffer = 0xFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AvrSession s;
    s.Select(102);
    std::vector<uint8_t> cells(2048 + 128, 0xFF);
    cells[4] = 0x00;
    cells[2048 + 3] = 0x00;
    s.chip->SetContents(cells);
    s.Load({0xFF, 0xFF}, std::vector<uint8_t>(128, 0xFF));
    s.chip->RecordEvents(true);
    (s.*c.run)();
    EXPECT_EQ(s.Last(), c.message);
    EXPECT_EQ(std::count_if(s.chip->events().begin(), s.chip->events().end(),
                            [](const auto& e) { return e.kind == Kind::kRead; }),
              static_cast<std::ptrdiff_t>(c.reads));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(At90sFaults, AnEmptySocketAndAChipOutOfProgrammingMode) {
  AvrSession s;
  s.Select(102);
  ASSERT_TRUE(s.chip->InjectFault({"absent"}));
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edManufacName"), " [----]");
  s.Load({0x00, 0x00});
  s.Verify();
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x0000");

  // A /WR pulse with the socket powered but no 12 V on RESET.
  AvrSession t;
  t.Select(102);
  t.p.bus.PowerUp();
  families::avr::AvrWritePulse(t.p, 0);
  t.p.bus.PowerDown();
  EXPECT_EQ(t.Violations(), Strings{"/WR pulse outside programming mode"});
}

TEST(At90sKeys, NewAdapterReachesTheAvrBox) {
  AvrSession s;
  s.Select(102);
  app::OptionSetting setting;
  ASSERT_EQ(app::ParseOptionSetting(app::Families().options(), "new-adapter", setting), "");
  ASSERT_EQ(app::ApplyOptionSetting(s.p, setting), "");
  EXPECT_TRUE(s.p.controls.Checked("cbNewAdapterAVR"));
  EXPECT_TRUE(s.p.dev.avr.new_adapter);
}

TEST(At90sKeys, LockModeAndFuseBoxesAsTheWindowSetsThem) {
  struct Case {
    int tag;
    std::vector<std::string> sets;
    std::string error;  // the start of the refusal, or empty
    int lock_mode;
    const char* checked_radio;
    const char* fuse_shown;
  };
  // Fuse box n is bit n of the byte; the AT90S2313 has only boxes 0 and 5.
  const Case cases[] = {
      {102, {"avr-lock=2"}, "", 2, "rbAVRm2", " 0xFF"},
      {102, {"avr-lock=3", "avr-fuse-bit=5=0"}, "", 3, "rbAVRm3", " 0xDF"},
      {102, {"avr-fuse-bit=0=0", "avr-lock=1"}, "", 1, "rbAVRm1", " 0xFE"},
      {104, {"avr-fuse-bit=2=0", "avr-fuse-bit=4=0"}, "", 1, "rbAVRm1", " 0xEB"},
      {102,
       {"avr-fuse-bit=2=0"},
       "avr-fuse-bit: the selected device's settings",
       1,
       "rbAVRm1",
       " 0xFF"},
      {102, {"avr-lock=0"}, "avr-lock", 1, "rbAVRm1", " 0xFF"},
      {102, {"avr-lock=4"}, "avr-lock", 1, "rbAVRm1", " 0xFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sets.back());
    AvrSession s;
    s.Select(c.tag);
    std::string error;
    for (const std::string& text : c.sets) {
      app::OptionSetting setting;
      error = app::ParseOptionSetting(app::Families().options(), text, setting);
      if (error.empty()) error = app::ApplyOptionSetting(s.p, setting);
      if (!error.empty()) break;
    }
    EXPECT_EQ(error.substr(0, c.error.size()), c.error);
    EXPECT_EQ(error.empty(), c.error.empty()) << error;
    EXPECT_EQ(s.p.dev.avr.lock_mode, c.lock_mode);
    EXPECT_TRUE(s.p.controls.Checked(c.checked_radio));
    EXPECT_EQ(s.p.controls.Text("edEPRFuse"), c.fuse_shown);
    // The Lock Bit button then writes the mode the key chose.
    families::avr::sbAVRlockbitClick(s.p);
    const uint8_t locks[] = {0xFF, 0xFD, 0xF9};
    EXPECT_EQ(s.chip->locks(), locks[c.lock_mode - 1]);
  }
}

}  // namespace
}  // namespace daraz_test
