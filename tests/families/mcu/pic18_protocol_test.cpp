// The PIC18 frame primitives and the faults the routines must catch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/image_files.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "families/mcu/pic18_fixture.h"
#include "support/hex_record.h"
#include "sim/chip.h"

namespace daraz_test {
namespace {

namespace p18 = families::pic18;
using Trace = std::vector<uint16_t>;

// Two table-pointer moves the cache must get right: the chip's pointer
// moved on by itself (a post-increment read across a 256-byte boundary)
// and a move within the same 256 bytes.
TEST(Pic18Pointer, CacheFollowsTheChipsPointer) {
  Pic18Session s;
  s.Select(125);  // 18F6720: 128 KB, so the upper byte is used
  std::vector<uint8_t> code(128 * 1024, 0xFF);
  code[0x0123FF] = 0x11;
  code[0x0124FF] = 0x22;
  code[0x012410] = 0x33;
  s.chip->SetContents(code);
  p18::P18Port port{s.p, {}};
  families::pic::PicEnterVddFirst(s.p);
  s.chip->TakeCoreTrace();

  p18::P18SetPointerCached(port, 0x012345);
  EXPECT_EQ(s.chip->TakeCoreTrace(), (Trace{0x0E01, 0x6EF8, 0x0E23, 0x6EF7, 0x0E45, 0x6EF6}));
  p18::P18SetPointerCached(port, 0x0123FF);
  EXPECT_EQ(s.chip->TakeCoreTrace(), (Trace{0x0EFF, 0x6EF6}));
  EXPECT_EQ(p18::P18ReadByte(port, p18::cmd::kTableReadPostInc), 0x11);
  // The chip now points at 0x012400: only the low byte differs.
  p18::P18SetPointerCached(port, 0x0124FF);
  EXPECT_EQ(s.chip->TakeCoreTrace(), (Trace{0x0EFF, 0x6EF6}));
  EXPECT_EQ(p18::P18ReadByte(port, p18::cmd::kTableRead), 0x22);
  // INCF moves the low byte alone (0x0124FF -> 0x012400).
  p18::P18Core(port, p18::ins::kIncfTblptrL);
  p18::P18SetPointerCached(port, 0x012410);
  EXPECT_EQ(s.chip->TakeCoreTrace(), (Trace{0x2AF6, 0x0E10, 0x6EF6}));
  EXPECT_EQ(p18::P18ReadByte(port, p18::cmd::kTableRead), 0x33);
  // The uncached set sends all three whatever the pointer.
  p18::P18SetPointer(port, 0x012410);
  EXPECT_EQ(s.chip->TakeCoreTrace(), (Trace{0x0E01, 0x6EF8, 0x0E24, 0x6EF7, 0x0E10, 0x6EF6}));
  // A move into TBLPTRH sent on its own (0x012410 -> 0x010510): the cache
  // no longer knows the pointer, so the next set sends all three.
  p18::P18Core(port, static_cast<uint16_t>(p18::ins::kMovlw | 0x05));
  p18::P18Core(port, p18::ins::kMovwfTblptrH);
  s.chip->TakeCoreTrace();
  p18::P18SetPointerCached(port, 0x012410);
  EXPECT_EQ(s.chip->TakeCoreTrace(), (Trace{0x0E01, 0x6EF8, 0x0E24, 0x6EF7, 0x0E10, 0x6EF6}));
  EXPECT_EQ(p18::P18ReadByte(port, p18::cmd::kTableRead), 0x33);
  families::pic::PicExit(s.p);
  s.p.bus.PowerDown();
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

// A frame is 20 bits of two 3 us phases, then PGD low and 3.2 us; the
// hold replaces the fourth clock's high phase, the wait comes after the
// fourth clock.
TEST(Pic18Waits, PrimitivesWaitWhatTheFramesNeed) {
  Pic18Session s;
  s.Select(107);
  p18::P18Port port{s.p, {}};
  families::pic::PicEnterVddFirst(s.p);
  constexpr int64_t kFrame = 20 * 6000 + 3200;
  EXPECT_EQ(s.WaitedNs([&] { p18::P18Command(port, 0, 0); }), kFrame);
  EXPECT_EQ(s.WaitedNs([&] { p18::P18Core(port, 0x0E00); }), kFrame);
  EXPECT_EQ(s.WaitedNs([&] { p18::P18CommandHold(port, 0, 0, 1500); }),
            kFrame - 3000 + Ticks(1500));
  EXPECT_EQ(s.WaitedNs([&] { p18::P18CommandWait(port, 0, 0, 14000); }), kFrame + Ticks(14000));
  EXPECT_EQ(s.WaitedNs([&] { p18::P18ReadByte(port, p18::cmd::kShiftOutTablat); }), kFrame);
  // Three MOVLW/MOVWF pairs.
  EXPECT_EQ(s.WaitedNs([&] { p18::P18SetPointer(port, 0x200000); }), 6 * kFrame);
  families::pic::PicExit(s.p);
  s.p.bus.PowerDown();
}

TEST(Pic18Faults, WhatTheRoutinesCatch) {
  const std::vector<uint8_t> config = [] {
    std::vector<uint8_t> c(14, 0xFF);
    c[3] = 0xFE;
    return c;
  }();
  const std::vector<uint8_t> code = Pic18Session::Pattern(32 * 1024, 3);
  const std::vector<uint8_t> eeprom = Pic18Session::Pattern(256, 4);
  {
    SCOPED_TRACE("P9 the part needs is longer than the hold");
    Pic18Session s;
    s.Select(107);
    ASSERT_TRUE(s.chip->InjectFault(sim::ChipFault{"short-p9", 0, 0, 0}));
    s.Load(code, {1, 2, 3, 4, 5, 6, 7, 8}, config, eeprom);
    s.Program();
    EXPECT_EQ(s.Last(), "ERROR Program memory at 0x000000");
    EXPECT_NE(s.p.error, 0);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("a byte that never takes its value");
    Pic18Session s;
    s.Select(111);  // 18F1220: 8-byte chunks
    ASSERT_TRUE(s.chip->InjectFault(sim::ChipFault{"never", 0x123, 0, 0}));
    s.Load(Pic18Session::Pattern(4096, 5), {}, config, eeprom);
    s.Program();
    EXPECT_EQ(s.Last(), "ERROR Program memory at 0x000122");
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("data EEPROM WR that never clears");
    Pic18Session s;
    s.Select(182);  // 18F2420
    ASSERT_TRUE(s.chip->InjectFault(sim::ChipFault{"eeprom-wr-stuck", 0, 0, 0}));
    s.Load(Pic18Session::Pattern(16 * 1024, 6), {}, config, eeprom);
    s.chip->TakeCoreTrace();
    s.Program();
    EXPECT_EQ(s.Last(), "ERROR timeOut write Data to EEPROM");
    const Trace trace = s.chip->TakeCoreTrace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), uint16_t{0x50A6}), 2000);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("code protection reads 0x00 until the chip erase");
    Pic18Session s;
    s.Select(107);
    ASSERT_TRUE(s.chip->InjectFault(sim::ChipFault{"cp", 0, 0, 0}));
    s.Blank();
    EXPECT_EQ(s.Last(), "ERROR Chip not empty at 0x000000");
    s.Erase();
    EXPECT_EQ(s.chip->bulk_erases(), 1u);
    s.host.events.clear();
    s.Blank();
    EXPECT_EQ(s.Last(), "CHK Blank Code OK (no Checksum CFG)");
    // One red gauge over the code words.
    const auto gauges = s.host.Of(daraz_test::RecordingHost::Type::kShowGauge);
    ASSERT_EQ(gauges.size(), 1u);
    EXPECT_EQ(gauges[0].text, "Check blank ");
    EXPECT_EQ(gauges[0].value, static_cast<int>(s.p.dev.pic18.code_words));
    EXPECT_EQ(gauges[0].colour, 0x0000FFu);  // red
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
  {
    SCOPED_TRACE("verify names the word that differs");
    Pic18Session s;
    s.Select(107);
    s.Load(code, {}, config, eeprom);
    s.Program();
    ASSERT_EQ(s.p.error, 0);
    s.p.image[0x4001] = static_cast<uint8_t>(s.p.image[0x4001] ^ 0x10);
    s.Verify();
    char text[64];
    std::snprintf(text, sizeof text, "ERROR Verify program memory at 0x004000 = %.2X%.2X",
                  code[0x4001], code[0x4000]);
    EXPECT_EQ(s.Last(), text);
    s.p.image[0x4001] = code[0x4001];
    s.p.image[0xF00005] = static_cast<uint8_t>(eeprom[5] ^ 1);
    s.Verify();
    EXPECT_EQ(s.Last(), "ERROR Verify EEPROM DATA  at 0x05");
  }
}

TEST(Pic18Id, TheWindowNamesThePartAndItsRevision) {
  Pic18Session s;
  s.Select(107);  // the model is an 18F452, revision 7
  s.GetId();
  EXPECT_EQ(s.Last(), " 0x0427");
  ASSERT_EQ(s.host.Informations().size(), 1u);
  const std::string text = s.host.Informations()[0];
  EXPECT_EQ(text.rfind("Microchip PIC device ID Value (0x3FFFFE,0x3FFFFF)\n", 0), 0u) << text;
  EXPECT_NE(text.find("Revision 7"), std::string::npos) << text;
  EXPECT_NE(text.find(" PIC 18F452/4539"), std::string::npos) << text;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
}  // namespace daraz_test

namespace daraz_test {
namespace {

// What the part's datasheet forbids is logged, and the part does not do it.
TEST(Pic18Model, SequencesOutsideTheDatasheetAreLoggedAndIgnored) {
  Pic18Session s;
  s.Select(107);
  std::vector<uint8_t> code(32 * 1024, 0xFF);
  code[0] = 0x12;
  s.chip->SetContents(code);
  p18::P18Port port{s.p, {}};
  families::pic::PicEnterVddFirst(s.p);

  // The erase pause 100 ticks (84 us) against 5 ms.
  p18::P18TableWrite(port, 0x3C0004, 0x0080);
  p18::P18Core(port, p18::ins::kNop);
  p18::P18CommandWait(port, 0, 0, 100);
  // 0x81 alone is no chip erase on this part.
  p18::P18TableWrite(port, 0x3C0004, 0x0081);
  p18::P18Core(port, p18::ins::kNop);
  p18::P18CommandWait(port, 0, 0, 14000);
  EXPECT_EQ(s.chip->bulk_erases(), 0u);
  EXPECT_EQ(s.chip->Code(0), 0x12);

  // Start-programming with no held clock after it; then with CFGS set.
  p18::P18Core(port, p18::ins::kBsfEepgd);
  p18::P18Core(port, p18::ins::kBcfCfgs);
  p18::P18TableWrite(port, 0x100, 0x0000);
  p18::P18Command(port, p18::cmd::kTableWriteStart, 0x0000);
  p18::P18Core(port, p18::ins::kNop);
  p18::P18Core(port, p18::ins::kBsfCfgs);
  p18::P18SetPointer(port, 0x108);
  p18::P18Command(port, p18::cmd::kTableWriteStart, 0x0000);
  p18::P18CommandHold(port, 0, 0, 1500);
  EXPECT_EQ(s.chip->Code(0x100), 0xFF);
  EXPECT_EQ(s.chip->Code(0x108), 0xFF);

  // An EEPROM read with CFGS still set; a write without 55/AA.
  p18::P18Core(port, p18::ins::kBsfRd);
  p18::P18Core(port, p18::ins::kBcfEepgd);
  p18::P18Core(port, p18::ins::kBcfCfgs);
  p18::P18Core(port, p18::ins::kBsfWren);
  p18::P18Core(port, p18::ins::kBsfWr);
  EXPECT_EQ(s.chip->Eeprom(0), 0xFF);

  p18::P18SetPointer(port, 0x250000);
  p18::P18ReadByte(port, p18::cmd::kTableRead);
  p18::P18Core(port, 0x1234);
  families::pic::PicExit(s.p);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.Violations(), (std::vector<std::string>{
                                "bulk erase pause shorter than P11",
                                "bulk erase code 0x0081 is no chip erase",
                                "programming hold shorter than P9",
                                "program write with EEPGD clear or CFGS set",
                                "RD with EEPGD or CFGS set",
                                "WR without WREN and 55/AA",
                                "table read at 0x250000 outside every area",
                                "core instruction 0x1234 not modelled",
                            }));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
}  // namespace daraz_test

namespace daraz_test {
namespace {

// Cancel during each action: its text, an error, and the board at rest.
TEST(Pic18Cancel, EveryActionStopsAtRest) {
  Pic18Session s;
  s.Select(111);  // 18F1220
  s.Load(Pic18Session::Pattern(4096, 8), {}, std::vector<uint8_t>(14, 0xFF), {});
  // Blank first, while the chip is blank; then the others on a programmed chip.
  struct Step {
    void (*action)(app::Programmer&);
    bool cancel;
  };
  for (const auto [action, cancel] :
       {Step{app::mnuBlankClick, true}, Step{app::mnuProgramClick, false},
        Step{app::mnuReadClick, true}, Step{app::mnuVerifyClick, true},
        Step{app::mnuProgramClick, true}}) {
    s.host.Clear();
    s.host.CancelAtRefresh(s.p, cancel ? 1 : 0);
    action(s.p);
    if (cancel) {
      EXPECT_EQ(s.Last(), "Process Cancelled");
      EXPECT_NE(s.p.error, 0);
    } else {
      ASSERT_EQ(s.p.error, 0) << s.Last();
    }
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    s.p.cancel = 0;
    if (action == app::mnuReadClick) {
      s.Load(Pic18Session::Pattern(4096, 8), {}, std::vector<uint8_t>(14, 0xFF), {});
    }
  }
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

}  // namespace
}  // namespace daraz_test

namespace daraz_test {
namespace {


// A HEX file holds data EEPROM byte n at 0xF00000 + n; that is the byte
// the part's EEPROM cell n gets.
TEST(Pic18File, EepromRecordsAtF00000ReachTheCellsByteForByte) {
  Pic18Session s;
  s.Select(107);
  std::string text = HexRecord(0, 0, {0x12, 0x34, 0x56, 0x78}) + "\n";
  text += HexRecord(0, 4, {0x00, 0xF0}) + "\n";
  for (uint32_t base = 0; base < 256; base += 16) {
    std::vector<uint8_t> line(16);
    for (uint32_t k = 0; k < 16; ++k) line[k] = static_cast<uint8_t>((base + k) ^ 0x5A);
    text += HexRecord(static_cast<uint16_t>(base), 0, line) + "\n";
  }
  text += ":00000001FF\n";
  const std::string path = ::testing::TempDir() + "pic18_eeprom_" +
                           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                           ".hex";
  {
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(text.c_str(), f);
    std::fclose(f);
  }
  ASSERT_TRUE(app::LoadFile(s.p, path));
  std::remove(path.c_str());
  s.Program();
  EXPECT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
  EXPECT_EQ(s.chip->Code(0), 0x12);
  EXPECT_EQ(s.chip->Code(3), 0x78);
  EXPECT_EQ(s.chip->Eeprom(0), 0x5A);
  EXPECT_EQ(s.chip->Eeprom(1), 0x5B);
  EXPECT_EQ(s.chip->Eeprom(0xFF), 0xA5);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
}  // namespace daraz_test
