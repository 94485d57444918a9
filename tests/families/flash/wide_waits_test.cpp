// The waits of the Intel word-mode routines, of the sector status reads on
// the word bus and of the firmware-hub routines, summed from their step
// lists: the time a routine takes
// on the simulated board, less its port accesses (1 us each), is exactly
// the sum of its waits. An empty socket reads 0xFF: each status poll ends
// at its first read with SR3 (Vpp low), so every sum below is fixed. A
// wait that is dropped, shortened or lengthened shows here even where no
// chip limit catches it.
#include <gtest/gtest.h>

#include "families/flash/flash_fixture.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/protect.h"
#include "families/flash/wide/wide.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
using daraz_test::kPowerDown;
using daraz_test::kPowerUp;
using daraz_test::Ticks;
namespace flash = families::flash;
namespace wide = families::wide;

// ReportError powers down too.
// StrobeWrite(high, low, w): 12 with the latch strobe low, w + 20, then
// 0.2 us after the low byte. A command word is that, a pulse and a pause.
constexpr int64_t Command(int64_t w, int64_t pulse, int64_t pause) {
  return 12 + w + 20 + pulse + pause;
}
constexpr int64_t kCommandNs = 200;
// The idle word 0x00FF: StrobeWrite with 50, a pulse of 10, 200.
constexpr int64_t kIdle = Command(50, 10, 200);
// One status poll: 0.2 us either side of the read.
constexpr int64_t kPollNs = 400;

struct WaitCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  void (*prepare)(FlashSession& s);
  void (*routine)(app::Programmer& p);
  int64_t ticks;
  int64_t ns;
};

void Nothing(FlashSession&) {}
// One word of 0xFFFF, sent even so.
void OneBlankWord(FlashSession& s) {
  s.p.controls.Check("cbSkip_0xFF", false);
  s.Load({0xFF, 0xFF});
  s.p.image.data_end = 0;
}
void OneBlankWordBuffered(FlashSession& s) {
  OneBlankWord(s);
  s.p.controls.Check("cb28F320J3buffer");
}
// One group of four 0xFF bytes for the quadruple program, sent even so.
void OneBlankGroup(FlashSession& s) {
  OneBlankWord(s);
  s.p.controls.Check("cbQuadruple");
}
// The MBM29LV160T's sectors (31 x 64K, 32K, 2 x 8K, 16K): 35 status reads.
void LvTopSectors(FlashSession& s) { s.p.dev.layout = 16; }

void StatusIntel16(app::Programmer& p) { flash::SectorStatus(p, flash::StatusMode::kIntel16); }
void StatusJedecWord(app::Programmer& p) { flash::SectorStatus(p, flash::StatusMode::kJedecWord); }

const WaitCase kCases[] = {
    // W9 (twp 3): the idle word; the first block's 0x20 and 0xD0 with 30
    // each and pulses of twp, then 500 and one poll: SR3 ends it with a
    // report.
    {"W9 28F400B3T", HandlerId::N28F4001Click, 101, "28F400 B3T", &Nothing, &wide::W9,
     kPowerUp + kIdle + 2 * Command(30, 3, 0) + 500 + kPowerDown + kPowerDown,
     kCommandNs + 2 * kCommandNs + kPollNs},
    // The C3 unlocks the block first: 0x60 and 0xD0 with 5, pulse 5, 5.
    {"W9 28F800C3T", HandlerId::N28F4001Click, 201, "28F800 C3T", &Nothing, &wide::W9,
     kPowerUp + kIdle + 2 * Command(5, 5, 5) + 2 * Command(30, 3, 0) + 500 + kPowerDown +
         kPowerDown,
     kCommandNs + 4 * kCommandNs + kPollNs},
    // W8 word by word: the idle word; 0x40 with 5, 2, pulse twp, 5; the
    // word with 5, pulse twp, twc 20; one poll.
    {"W8 28F400B3T", HandlerId::N28F4001Click, 101, "28F400 B3T", &OneBlankWord, &wide::W8,
     kPowerUp + kIdle + (12 + 25 + 2 + 3 + 5) + (12 + 25 + 3 + 20) + kPowerDown + kPowerDown,
     kCommandNs + 2 * 200 + kPollNs},
    // W8 through the J3 buffer: 0xE8 (5, twp, 5), a poll, the count
    // (5, twp, 5), the word (5, 0.2 us, pulse twp), 0xD0 (5, twp, 5), a poll.
    {"W8 28F320J3 buffered", HandlerId::N28F4001Click, 301, "28F320 J3 ", &OneBlankWordBuffered,
     &wide::W8,
     kPowerUp + kIdle + Command(5, 3, 5) + Command(5, 3, 5) + (12 + 25 + 3) + Command(5, 3, 5) +
         kPowerDown + kPowerDown,
     kCommandNs + kCommandNs + kPollNs + kCommandNs + (200 + 200) + kCommandNs + kPollNs},
    // W10: the idle word; 0x90 at 0 with 50, pulse 10, 50; words 0, 1 and
    // 2 with 60 before the high byte (0.2 us on control bit 1 before each);
    // 0x98 with 50, 10, 200; the 112 CFI words the same; 0xFF with 50, 10,
    // 200.
    {"W10 28F400B3T", HandlerId::N28F4001Click, 101, "28F400 B3T", &Nothing, &wide::W10,
     kPowerUp + kIdle + Command(50, 10, 50) + 3 * 60 + Command(50, 10, 200) + 112 * 60 +
         Command(50, 10, 200) + kPowerDown,
     kCommandNs + kCommandNs + 3 * 200 + kCommandNs + 112 * 200 + kCommandNs},
    // W6: the idle word; six cycles of StrobeWrite with 100, 3, pulse 5,
    // 5; 150; one pass of 10000, 10 with control bit 1 up and 5 (the empty
    // socket's DQ7 is 1).
    {"W6 MBM29LV160T", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &Nothing, &wide::W6,
     kPowerUp + kIdle + 6 * (12 + 100 + 20 + 3 + 5 + 5) + 150 + 10000 + 10 + 5 + kPowerDown,
     kCommandNs + 6 * kCommandNs},
    // W7: the reset word (50, pulse 10); three autoselect words of 50, pulse
    // 10, 50; 10; words 0, 1 and 2 with 60 before the high byte; 200; the
    // reset word; 0x98 (50, 10, 200); the 112 CFI words.
    {"W7 MBM29LV160T", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &Nothing, &wide::W7,
     kPowerUp + Command(50, 10, 0) + 3 * Command(50, 10, 50) + 10 + 3 * 60 + 200 +
         Command(50, 10, 0) + Command(50, 10, 200) + 112 * 60 + kPowerDown,
     kCommandNs + 3 * kCommandNs + 3 * 200 + kCommandNs + kCommandNs + 112 * 200},
    // Block status on the word bus: the idle word, 0x90 at 0 with 50, pulse
    // 10, 50; 10; per block (7 x 64K, 8 x 8K) 1 with control bit 1 up and 1
    // after it.
    {"status 2816 28F400B3T", HandlerId::N28F4001Click, 101, "28F400 B3T", &Nothing, &StatusIntel16,
     kPowerUp + kIdle + Command(50, 10, 50) + 10 + 15 * 2 + kPowerDown, 2 * kCommandNs},
    // Autoselect on the word-mode set: three words of 50, pulse 10, 50; 10;
    // 35 sector reads.
    {"status 2916 MBM29LV160T", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &LvTopSectors,
     &StatusJedecWord, kPowerUp + 3 * Command(50, 10, 50) + 10 + 35 * 2 + kPowerDown,
     3 * kCommandNs},
};

// The firmware hubs (R/C# time 50 as selected). F1: the row, R/C# low for
// the R/C# time, the column, 2, R/C# high, 20. A write cycle: the byte,
// 0.2 us, the pulse, the pause.
constexpr int64_t kLoad = 50 + 2 + 20;
constexpr int64_t HubCommand(int64_t pulse, int64_t pause) { return kLoad + pulse + pause; }
constexpr int64_t kCycleNs = 200;
// F3's opening: 12 V and 1000, F1, 0x50 with twp 5 and 1000, F1. The 0x50
// goes out as every write cycle does, 0.2 us before its pulse: four ticks
// there would only lengthen a data setup the hubs need 50 ns of.
constexpr int64_t kF3Open = 1000 + HubCommand(5, 1000) + kLoad;
// F3's close: 0xFF (5, 10), 12 V off and 1000, PowerDown; the report
// powers down again.
constexpr int64_t kF3Close = HubCommand(5, 10) + 1000 + kPowerDown + kPowerDown;
// Every status read of the empty socket shows SR3: ten tries, 0x50 with
// twp and twc between them.
constexpr int64_t kTries = 10;
constexpr int64_t kClear = 5 + 40;

const WaitCase kHubCases[] = {
    // F3 (twp 5, twc 40) per try: F1; 0x40 with twp; the byte with twp,
    // twc; one poll.
    {"F3 82802AB", HandlerId::N82802AB_Click, 101, "intel 82802AB", &OneBlankWord,
     &families::fwh::F3,
     kPowerUp + kF3Open + kTries*(kLoad + 5 + (5 + 40)) + (kTries - 1) * kClear + kF3Close,
     kCycleNs + kTries*(2 * kCycleNs + kPollNs) + (kTries - 1) * kCycleNs + kCycleNs},
    // Quadruple: F1; 0x30 and the first byte with 20 after each; the other
    // three each after its own F1, with 2 us after it; twc.
    {"F3 M50FW040 quadruple", HandlerId::N82802AB_Click, 112, "M50FW040", &OneBlankGroup,
     &families::fwh::F3,
     kPowerUp + kF3Open + kTries*(kLoad + 2 * (5 + 20) + 3 * (kLoad + 5) + 40) +
         (kTries - 1) * kClear + kF3Close,
     kCycleNs + kTries*(2 * kCycleNs + 3 * (kCycleNs + 2000) + kPollNs) + (kTries - 1) * kCycleNs +
         kCycleNs},
    // F4: 12 V and 1000; 0x50 (5, 10); the first block's 0x20 and 0xD0 with
    // pulses of 5, then 500 and a poll; 0xFF (5, 10); 12 V off and 200.
    {"F4 82802AB", HandlerId::N82802AB_Click, 101, "intel 82802AB", &Nothing, &families::fwh::F4,
     kPowerUp + 1000 + HubCommand(5, 10) + HubCommand(5, 0) + 5 + 500 + HubCommand(5, 10) + 200 +
         kPowerDown + kPowerDown,
     kCycleNs + 2 * kCycleNs + kPollNs + kCycleNs},
    // F5: 0x50 and 1000; 0x90 with pulse 5 and 10; bytes 0 and 1 each
    // after F1, 100 and 3; 500; 0xFF (5, 10).
    {"F5 82802AB", HandlerId::N82802AB_Click, 101, "intel 82802AB", &Nothing, &families::fwh::F5,
     kPowerUp + HubCommand(5, 1000) + 5 + 10 + 2 * (kLoad + 100 + 3) + 500 + HubCommand(5, 10) +
         kPowerDown,
     5 * kCycleNs},
    // F7 (twp 6): six cycles of F1, pulse, 10; F1 at 0; one pass of 10000
    // (the empty socket's DQ7 is 1); 0xF0 (6, 10).
    {"F7 SST49LF002", HandlerId::SST49LF002_Click, 101, "SST49LF002", &Nothing, &families::fwh::F7,
     kPowerUp + 6 * HubCommand(6, 10) + kLoad + 10000 + HubCommand(6, 10) + kPowerDown,
     6 * kCycleNs + kCycleNs + kCycleNs},
    // F8: three cycles of F1, pulse, 10; 100; byte 0 after F1 and 50; 5;
    // byte 1 after F1 and 10; 5000; 0xF0 (6, 10).
    {"F8 SST49LF002", HandlerId::SST49LF002_Click, 101, "SST49LF002", &Nothing, &families::fwh::F8,
     kPowerUp + 3 * HubCommand(6, 10) + 100 + kLoad + 50 + 5 + kLoad + 10 + 5000 +
         HubCommand(6, 10) + kPowerDown,
     3 * kCycleNs + 2 * kCycleNs + kCycleNs},
};

// The rest state is checked on the word adapter only: without a part the
// board cannot tell that the hub adapter powers the socket itself (the hub
// round trips check it with the part in place).
void ExpectWaits(const WaitCase& c, bool rest) {
  SCOPED_TRACE(c.name);
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  s.board->RemoveChip();
  c.prepare(s);
  const int64_t waited = s.WaitedNs(c.routine);
  // Each wait rounds down by less than 1 ns on the board's clock.
  EXPECT_NEAR(waited, Ticks(c.ticks) + c.ns, 40) << s.Last();
  if (rest) {
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(WideWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) ExpectWaits(c, true);
}

TEST(HubWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kHubCases) ExpectWaits(c, false);
}

}  // namespace
