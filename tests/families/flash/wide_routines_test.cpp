// The 16-bit families end to end on the 16-bit adapter: erase, program,
// verify and read back per routine, the faults they must notice, the
// identifier reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "families/flash/flash_fixture.h"
#include "families/flash/wide/wide.h"
#include "sim/jedec_flash.h"
#include "sim/parallel_eeprom.h"
#include "sim/jedec_parts.h"
#include "sim/wsm_flash.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

// The fast command form's one-clock shift as the board counts it (the part
// sees a whole address after each clock), with the latch cleared for the
// next command inside that count.
std::vector<std::string> FastFormShift() {
  std::vector<std::string> v = daraz_test::kFastFormShift;
  v.insert(v.begin() + 2, "word latch strobed while the address registers are mid-shift");
  return v;
}

bool AllErased(const std::vector<uint8_t>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0xFF; });
}

struct WideCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* erased;  // the erase's last message
  bool fast = false;   // type 44's fast-mode box
  bool buffer = true;  // the J3's buffered-write box
};

class WideRoundTrip : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideRoundTrip, ErasesProgramsVerifiesAndReadsBack) {
  const WideCase& c = GetParam();
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  s.p.controls.Check("cbFujitsu_fastmode", c.fast);
  s.p.controls.Check("cb28F320J3buffer", c.buffer);
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.Last(), c.erased);
  EXPECT_EQ(s.p.error, 0);
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  std::vector<uint8_t> data = s.LoadRandom(0x800, 11);
  // A word with one 0xFF byte is programmed; a 0xFFFF word is left alone.
  data[0x10] = 0xFF;
  data[0x11] = 0x5A;
  data[0x20] = 0xFF;
  data[0x21] = 0xFF;
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.ReadBack(0x1000);
  EXPECT_EQ(s.Last(), "Chip read OK");
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(s.p.image[i], data[i]) << "byte " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  const bool jedec = c.handler == HandlerId::MBM29LV160Click && c.tag != 501;
  EXPECT_EQ(s.Violations(), jedec ? FastFormShift() : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Routines, WideRoundTrip,
    ::testing::Values(
        WideCase{"W4_W6_MBM29LV160", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T",
                 "erase completed by check DQ7"},
        WideCase{"W5_W6_MBM29LV160_fast", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T",
                 "erase completed by check DQ7", true},
        WideCase{"W4_29F400", HandlerId::MBM29LV160Click, 303, "29F400",
                 "erase completed by check DQ7"},
        WideCase{"W4_39VF800A", HandlerId::MBM29LV160Click, 204, "39LF/VF800A",
                 "erase completed by check DQ7"},
        WideCase{"sector_write_W6_W29C102", HandlerId::MBM29LV160Click, 501, "W29C102",
                 "erase completed by check DQ7"},
        WideCase{"W8_W9_28F400B3T", HandlerId::N28F4001Click, 101, "28F400 B3T", "erase completed"},
        WideCase{"W8_W9_28F800C3T", HandlerId::N28F4001Click, 201, "28F800 C3T", "erase completed"},
        WideCase{"W8_W9_28F320J3_buffered", HandlerId::N28F4001Click, 301, "28F320 J3 ",
                 "erase completed"},
        WideCase{"W8_W9_28F320J3_words", HandlerId::N28F4001Click, 301, "28F320 J3 ",
                 "erase completed", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Faults the word routines must notice, each with the text it ends in.
TEST(WideFaults, AHighByteStuckBitIsReportedInTheHexViewsOrder) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 204, "39LF/VF800A");
  // Bit 4 of the word's high byte (byte 0x21) always reads 0.
  ASSERT_TRUE(s.chip->InjectFault({"stuck", 0x21, 4, 0}));
  std::vector<uint8_t> data(0x40, 0x00);
  data[0x20] = 0x34;
  data[0x21] = 0x12;
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000020  Chip = 0x3402  buffer = 0x3412");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(WideFaults, VerifyReadsTheHighByteThroughTheMultiplexer) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T");
  std::vector<uint8_t> cells(s.p.image.full_device_size, 0xFF);
  cells[0x100] = 0x55;
  cells[0x101] = 0x0F;
  s.chip->SetContents(cells);
  std::vector<uint8_t> data(0x200, 0xFF);
  data[0x100] = 0x55;
  data[0x101] = 0xF0;  // differs only in the high byte
  s.Load(data);
  s.Verify();
  EXPECT_EQ(s.Last(), " Error at 0x000100  Chip = 0x550F  buffer = 0x55F0");
  EXPECT_EQ(s.p.error, 1);
}

TEST(WideFaults, BlankCheckNamesTheByteAddressOfTheFirstWord) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 103, "MBM29LV400 -T");
  std::vector<uint8_t> cells(s.p.image.full_device_size, 0xFF);
  cells[7] = 0x00;  // word 3 holds 0x00FF
  s.chip->SetContents(cells);
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is NOT Empty ($000006)");
  s.Fill(0xFF);
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(WideFaults, AChipStrappedInByteModeFailsWithAMismatch) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T");
  ASSERT_TRUE(s.chip->InjectFault({"byte-strap", 0, 0, 0}));
  s.Load({0x12, 0x34});
  s.Program();
  // The unlock words miss a byte-mode part: nothing programs, and D15..D8
  // float.
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x1234");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Cells()[0], 0xFF);
}

TEST(WideFaults, C3BlocksStayLockedWithoutTheUnlockFlag) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 201, "28F800 C3T");
  s.p.dev.block_unlock = false;
  s.Load({0x12, 0x34});
  s.Program();
  EXPECT_EQ(s.Last(), "  Word Program Error");
  EXPECT_EQ(s.p.error, 1);
  // Four sends, each refused by the lock.
  EXPECT_EQ(s.As<sim::WsmFlash>()->programs(), 4u);
  EXPECT_EQ(s.Cells()[0], 0xFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The J3's last buffer when the data end falls inside a 16-word group: the
// data end at byte 0x25 makes words 0..18, so two buffers, the second of
// words 16..18 (count - 1 = 2). The image holds data past the data end: a
// longer last buffer would program it, a shorter one would leave data words
// blank and fail the verify.
TEST(WideBuffer, TheLastJ3BufferEndsWithTheData) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.p.controls.Check("cb28F320J3buffer");
  std::vector<uint8_t> data(0x40);
  for (uint32_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(0x10 + i);
  s.Load(data);
  s.p.image.data_end = 0x25;
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  auto* part = s.As<sim::WsmFlash>();
  EXPECT_EQ(part->buffer_programs(), 2u);
  EXPECT_EQ(part->programs(), 0u);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i <= 0x25; ++i) ASSERT_EQ(cells[i], 0x10 + i) << "cell " << i;
  for (uint32_t i = 0x26; i < 0x40; ++i) ASSERT_EQ(cells[i], 0xFF) << "cell " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

// With Skip Write 0xFF a group of sixteen words is left alone only when
// every one of its words is 0xFFFF: one whose last word alone holds data
// is still sent.
TEST(WideBuffer, AGroupWithDataInItsLastWordOnlyIsSent) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.p.controls.Check("cb28F320J3buffer");
  s.p.controls.Check("cbSkip_0xFF");
  std::vector<uint8_t> data(0x20, 0xFF);
  data[0x1E] = 0x12;  // word 15
  data[0x1F] = 0x34;
  s.Load(data);
  s.p.image.data_end = 0x1F;
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.As<sim::WsmFlash>()->buffer_programs(), 1u);
  EXPECT_EQ(s.Cells()[0x1E], 0x12);
  EXPECT_EQ(s.Cells()[0x1F], 0x34);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A buffer the part reports failed (SR4, once) is cleared and sent again
// whole; the second try programs every word.
TEST(WideBuffer, AFailedJ3BufferIsClearedAndSentAgain) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.p.controls.Check("cb28F320J3buffer");
  ASSERT_TRUE(s.chip->InjectFault({"sr4-once", 0x05, 0, 0}));
  std::vector<uint8_t> data(0x20);
  for (uint32_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(0x40 + i);
  s.Load(data);
  s.p.image.data_end = 0x1F;  // one group of 16 words
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  auto* part = s.As<sim::WsmFlash>();
  EXPECT_EQ(part->buffer_programs(), 2u);
  EXPECT_EQ(part->status_clears(), 1u);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A buffer that fails every time (a bit that will not program) is sent four
// times, cleared before each resend, then the program ends in the error.
TEST(WideBuffer, AJ3BufferThatAlwaysFailsEndsAfterFourSends) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.p.controls.Check("cb28F320J3buffer");
  ASSERT_TRUE(s.chip->InjectFault({"stuck", 0x05, 3, 1}));
  s.Load(std::vector<uint8_t>(0x20, 0x00));
  s.p.image.data_end = 0x1F;
  s.Program();
  EXPECT_EQ(s.Last(), "  Word Program Error");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  auto* part = s.As<sim::WsmFlash>();
  EXPECT_EQ(part->buffer_programs(), 4u);
  EXPECT_EQ(part->status_clears(), 3u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// The word verify's gauge counts bytes up to the data end (not words, not
// the part's size), under the verify caption in green.
TEST(WideVerify, TheGaugeRunsToTheDataEndInBytes) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 103, "MBM29LV400 -T");
  const std::vector<uint8_t> data = s.LoadRandom(0x40, 4);
  s.chip->SetContents(data);
  s.p.image.data_end = 0x3F;
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.ExpectOneVerifyGauge(0x3F);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// Cancel is looked at after every word of the blank check, not only when
// the gauge moves: the check stops at the first word, before the word
// after it that is not blank.
TEST(WideFaults, ACancelledBlankCheckStopsAtOnceAndSaysSo) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 103, "MBM29LV400 -T");
  std::vector<uint8_t> cells(s.p.image.full_device_size, 0xFF);
  cells[2] = 0x00;  // word 1
  s.chip->SetContents(cells);
  s.host.on_events = [&s] { s.p.cancel.store(1); };
  s.Blank();
  EXPECT_EQ(s.Last(), "Device Check was Cancelled");
  EXPECT_FALSE(s.host.HasMessage("Device is NOT Empty ($000002)"));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A part that never finishes ends each erase where the routine's bound
// says: W9 and F4 give a block 30 s, W6 gives up after 10000 passes of 10000
// ticks and more (83.9 s). A part that works ends W6 after the
// MBM29LV160's 25 s chip erase, at the next pass (the frame's hardware
// test and the power steps add some 0.16 s). The dead polls run
// on a port slowed to 100 us an access only to keep it short; the upper
// bounds leave room for the accesses.
TEST(WideFaults, AnEraseEndsWithinItsBound) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    bool stuck;
    int64_t access_ns;
    const char* text;
    int64_t at_least_ns, at_most_ns;
  };
  const Case cases[] = {
      {HandlerId::N28F4001Click, 101, "28F400 B3T", true, 100'000, " Block Erase Error",
       30'000'000'000, 30'500'000'000},
      {HandlerId::N82802AB_Click, 101, "intel 82802AB", true, 100'000, " Block Erase Error",
       30'000'000'000, 30'500'000'000},
      {HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", true, 1'000, "Error erasing chip ",
       83'936'000'000, 84'500'000'000},
      {HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", false, 1'000,
       "erase completed by check DQ7", 25'000'000'000, 25'500'000'000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    if (c.stuck) {
      ASSERT_TRUE(s.chip->InjectFault({"busy-forever", 0, 0, 0}));
    }
    s.board->SetAccessCost(c.access_ns);
    const int64_t start = s.board->clock().now_ns();
    s.Erase();
    const int64_t took = s.board->clock().now_ns() - start;
    EXPECT_EQ(s.Last(), c.text);
    EXPECT_EQ(s.p.error, c.stuck ? 1 : 0);
    EXPECT_GE(took, c.at_least_ns);
    EXPECT_LT(took, c.at_most_ns);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    if (c.handler == HandlerId::MBM29LV160Click && c.stuck) {
      // One gauge refresh per pass, on a gauge of 10000.
      EXPECT_EQ(s.host.refreshes, 10000);
      ASSERT_FALSE(s.host.Of(daraz_test::HostEvent::Type::kShowGauge).empty());
      EXPECT_EQ(s.host.Of(daraz_test::HostEvent::Type::kShowGauge).back().value, 10000);
    }
  }
}

// W1 reads words while 2k is below the device size and no further: the
// image past it keeps the 0xFF it was cleared to.
TEST(WideRead, TheReadStopsAtTheDeviceSize) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 201, "39LF/VF100");
  s.Fill(0x00);
  s.ReadBack(0x100);
  EXPECT_EQ(s.Last(), "Chip read OK");
  EXPECT_EQ(s.p.image[0xFF], 0x00);
  for (uint32_t i = 0x100; i < 0x400; ++i) ASSERT_EQ(s.p.image[i], 0xFF) << "byte " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A cancel during the W29C102's sector writes ends like any program.
TEST(WideFaults, ACancelledSectorWriteStopsAndSaysSo) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 501, "W29C102");
  s.LoadRandom(0x8000, 5);
  s.host.CancelAtRefresh(s.p, 2);
  s.Program();
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_EQ(s.p.error, 1);
  // It stops at the second gauge step (33 sectors each), short of the
  // data's 128 sectors.
  EXPECT_EQ(s.As<sim::ParallelEeprom>()->write_cycles(), 66u);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A sector that never reads back after every load ends the write with the
// sector's number and the error flag; no verify follows, so the failure is
// the last word.
TEST(WideFaults, AW29C102SectorThatNeverTakesEndsWithItsNumber) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 501, "W29C102");
  // Bit 1 of word 128, the first of sector 1, always reads 0.
  ASSERT_TRUE(s.chip->InjectFault({"stuck", 0x80, 1, 0}));
  std::vector<uint8_t> data(0x200, 0x02);
  s.Load(data);
  s.p.image.data_end = 0x1FF;  // sectors 0 and 1
  s.Program();
  EXPECT_EQ(s.Last(), " Error :Write sector  1 ");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.Cells()[0], 0x02);  // sector 0 went in
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), "  Sector ");
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 0 ");
  // Sector 0 once; sector 1 twenty times before the routine gives up.
  EXPECT_EQ(s.As<sim::ParallelEeprom>()->write_cycles(), 1u + 20);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// Cancel while the J3 works on its buffer: the program stops there and
// says so; nothing is reported programmed.
TEST(WideBuffer, ACancelDuringTheBufferStatusPollStopsAndSaysSo) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.p.controls.Check("cb28F320J3buffer");
  s.Load({0x12, 0x34, 0x56, 0x78});
  s.p.image.data_end = 3;
  s.host.on_events = [&s] { s.p.cancel.store(1); };
  families::wide::W8(s.p);
  EXPECT_EQ(s.Last(), "program interrupted!");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  for (const auto& g : s.host.Of(daraz_test::HostEvent::Type::kShowGauge)) {
    EXPECT_NE(g.text, "Verifying chip") << "no verify after a cancelled program";
  }
  EXPECT_EQ(s.As<sim::WsmFlash>()->buffer_programs(), 1u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{}) << "no command while the part is busy";
}

// A J3 whose extended status never shows a free write buffer: the buffered
// program gives up on its bound and says so.
TEST(WideBuffer, ABufferThatNeverFreesIsAWordProgramError) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.p.controls.Check("cb28F320J3buffer");
  s.Load({0x12, 0x34});
  // Bit 7 of every byte read loads 0: the part never looks ready.
  s.board->SetFault(sim::BoardFault::kStuckRead, 7, 0);
  s.Program();
  EXPECT_EQ(s.Last(), "  Word Program Error");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.As<sim::WsmFlash>()->buffer_programs(), 0u);
  EXPECT_EQ(s.Cells()[0], 0xFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// W9 shows " block of count" after each block, from 1; a locked block ends
// it where it stands. The B3's blocks take the datasheet's 1 s each: seven
// 64 KB main blocks alone keep the part busy for 7 s.
TEST(WideErase, W9CountsItsBlocksAndWaitsForEach) {
  FlashSession s;
  s.Select(HandlerId::N28F4001Click, 101, "28F400 B3T");
  s.Fill(0x00);
  const int64_t start = s.board->clock().now_ns();
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed");
  EXPECT_EQ(s.p.controls.Text("pLoopp"), " 15 of 15");
  EXPECT_EQ(s.p.controls.Text("lbLoopPeak"), " Sector ");
  EXPECT_GE(s.board->clock().now_ns() - start, 7'000'000'000);

  // 28F800C3T: fifteen 64 KB blocks, then eight of 8 KB; the second is
  // locked.
  FlashSession c3;
  c3.Select(HandlerId::N28F4001Click, 201, "28F800 C3T");
  ASSERT_TRUE(c3.chip->InjectFault({"locked", 0x10000, 0, 0}));
  c3.Erase();
  EXPECT_EQ(c3.Last(), " Block Erase Error");
  EXPECT_EQ(c3.p.controls.Text("pLoopp"), " 1 of 23");
}

TEST(WideFaults, ALockedBlockEndsTheEraseWithItsText) {
  struct Case {
    int tag;
    const char* caption;
    uint32_t locked;  // a byte address in the locked block
  };
  for (const Case& c : {Case{301, "28F320 J3 ", 0x20000}, Case{201, "28F800 C3T", 0x10000}}) {
    FlashSession s;
    s.Select(HandlerId::N28F4001Click, c.tag, c.caption);
    ASSERT_TRUE(s.chip->InjectFault({"locked", c.locked, 0, 0}));
    s.Fill(0x00);
    s.Erase();
    EXPECT_EQ(s.Last(), " Block Erase Error") << c.caption;
    EXPECT_EQ(s.p.error, 1);
    // The blocks before it were erased, the locked one was not.
    EXPECT_EQ(s.Cells()[0], 0xFF) << c.caption;
    EXPECT_EQ(s.Cells()[c.locked], 0x00) << c.caption;
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace

namespace {

TEST(WideIdentify, WordCodesLockByteAndQueryTable) {
  struct Case {
    HandlerId handler;
    int tag;
    const char* caption;
    const char* device;  // the Fujitsu table has no 29LV400 entry
    const char* lock;    // edLockbit: sector 0's protection or block 0's lock
    bool qry;
  };
  for (const Case& c :
       {Case{HandlerId::MBM29LV160Click, 103, "MBM29LV400 -T", "", " 0x00", true},
        Case{HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", " MBM29LV160T", " 0x00", false},
        // C3 blocks come out of power-up locked.
        Case{HandlerId::N28F4001Click, 201, "28F800 C3T", " 28F800 C3T", " 0x01", false},
        Case{HandlerId::N28F4001Click, 301, "28F320 J3 ", " 28F320 J3", " 0x00", true}}) {
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.GetId();
    EXPECT_EQ(s.p.controls.Text("edDeviceName"), c.device) << c.caption;
    EXPECT_EQ(s.p.controls.Text("edLockbit"), c.lock) << c.caption;
    const bool qry = s.p.dev.cfi[0] == 'Q' && s.p.dev.cfi[1] == 'R' && s.p.dev.cfi[2] == 'Y';
    EXPECT_EQ(qry, c.qry) << c.caption;
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{}) << c.caption;
  }
}

// The W29C102's six-word entry: the maker's code (0xDA) from
// word 0.
TEST(WideIdentify, W29C102MakerCodeFromWordZero) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 501, "W29C102");
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edManufacID"), " 0x00DA");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A manufacturer word whose low byte is 0x7F (a JEDEC continuation code):
// the codes are read at words 0x100 and 0x101.
TEST(WideIdentify, ContinuationCodeTakesTheNextBank) {
  FlashSession s;
  s.Select(HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T");
  sim::JedecPart part = *sim::FindJedecPart("MBM29LV160TE x16");
  part.bank = sim::IdBank::kContinuation;
  s.board->InsertChip(std::make_unique<sim::JedecFlash>(part));
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edDeviceName"), " MBM29LV160T");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
