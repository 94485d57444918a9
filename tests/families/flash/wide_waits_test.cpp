// The waits of the word-mode routines, of the sector status reads on the
// word bus, of the protection algorithms and of the firmware-hub routines,
// summed from their step lists: the time a routine takes on the simulated
// board, less its port accesses (1 us each), is exactly the sum of its
// waits. An empty socket reads 0xFF: each status poll ends
// at its first read with SR3 (Vpp low), so every sum below is fixed. A
// wait that is dropped, shortened or lengthened shows here even where no
// chip limit catches it.
#include <gtest/gtest.h>

#include "families/flash/flash_fixture.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/protect.h"
#include "families/flash/protect_wizard.h"
#include "families/flash/wide/wide.h"
#include "sim/jedec_flash.h"
#include "sim/wsm_flash.h"

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
  bool empty = true;  // the socket emptied first
  // Each wait rounds down by less than 1 ns on the board's clock: a routine
  // of a few hundred waits needs more room than the default.
  int64_t tolerance_ns = 40;
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
// One word the empty socket can never take: every send reads 0xFFFF back.
void OneZeroWord(FlashSession& s) {
  s.Load({0x00, 0x00});
  s.p.image.data_end = 0;
}
// The smart program of the JEDEC hubs, on the one blank byte.
void OneBlankByteSmart(FlashSession& s) {
  OneBlankWord(s);
  s.p.controls.Check("cbSamartProg");
}
void OneBlankWordFast(FlashSession& s) {
  OneBlankWord(s);
  s.p.controls.Check("cbFujitsu_fastmode");
}
// One word of 0xFFFF with Skip Write 0xFF: nothing is sent.
void OneSkippedWord(FlashSession& s) {
  s.p.controls.Check("cbSkip_0xFF");
  s.Load({0xFF, 0xFF});
  s.p.image.data_end = 0;
}
// A part of 256 bytes: 128 words, so a blank check that runs one word past
// the end shows as one read too many.
void Size256(FlashSession& s) { s.p.image.device_size = 0x100; }
// The MBM29LV160T's sectors (31 x 64K, 32K, 2 x 8K, 16K): 35 status reads.
void LvTopSectors(FlashSession& s) { s.p.dev.layout = 16; }

void StatusIntel16(app::Programmer& p) { flash::SectorStatus(p, flash::StatusMode::kIntel16); }
void StatusJedecWord(app::Programmer& p) { flash::SectorStatus(p, flash::StatusMode::kJedecWord); }

// W4 and W5 end with the verify when every word went in: W3 on the one
// word, the idle word and a read with 0.2 us and 30 before the high byte.
constexpr int64_t kVerifyOneWord = kPowerUp + kIdle + 30 + kPowerDown;
constexpr int64_t kVerifyOneWordNs = kCommandNs + 200;
// The fast program command of W4: the latch cleared with 30 low and 60,
// then three cycles with a pulse of twp (2) and 0.2 us each.
constexpr int64_t kFastWord = 30 + 60 + 3 * 2;
constexpr int64_t kFastWordNs = 3 * 200;
// The data word: StrobeWrite with 8, 0.2 us, pulse twp.
constexpr int64_t kDataWord = Command(8, 2, 0);
constexpr int64_t kDataWordNs = kCommandNs + 200;
// Leaving the bypass: 0x90 and 0xF0 with 8, pulse 2, 5.
constexpr int64_t kLeaveBypass = 2 * Command(8, 2, 5);

const WaitCase kCases[] = {
    // W3 on a word the empty socket never matches: the word is read six
    // times (once and five more), then reported; the report powers down.
    {"W3 differing word", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &OneZeroWord,
     &wide::W3, kPowerUp + kIdle + 6 * 30 + kPowerDown + kPowerDown, kCommandNs + 6 * 200},
    // W4 (twp 2, twc 30): the idle word; the fast command, the data word,
    // twc, the read-back with 0.2 us and 20; then 500 and the leave words,
    // and the verify.
    {"W4 MBM29LV160T", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &OneBlankWord, &wide::W4,
     kPowerUp + kIdle + kFastWord + kDataWord + 30 + 20 + 500 + kLeaveBypass + kPowerDown +
         kVerifyOneWord,
     kCommandNs + kFastWordNs + kDataWordNs + 200 + 2 * kCommandNs + kVerifyOneWordNs},
    // A word that never reads back: four sends, the wait after the data
    // word 30, 50, 70, 90; the mismatch report powers down, no 500.
    {"W4 MBM29LV160T resends", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &OneZeroWord,
     &wide::W4,
     kPowerUp + kIdle + 4 * (kFastWord + kDataWord + 20) + (30 + 50 + 70 + 90) + kPowerDown +
         kPowerDown,
     kCommandNs + 4 * (kFastWordNs + kDataWordNs + 200)},
    // W5: the bypass entered once by the fast command; per word 0xA0 with
    // 8, pulse 2, 5; the data word; twc; two read-backs 12 apart, each
    // with 0.2 us and 12; then 500, the leave words and the verify.
    {"W5 MBM29LV160T", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &OneBlankWordFast,
     &wide::W4,
     kPowerUp + kIdle + kFastWord + Command(8, 2, 5) + kDataWord + 30 + 12 + 12 + 12 + 500 +
         kLeaveBypass + kPowerDown + kVerifyOneWord,
     kCommandNs + kFastWordNs + kCommandNs + kDataWordNs + 2 * 200 + 2 * kCommandNs +
         kVerifyOneWordNs},
    // W2 on 128 words: the idle word, then per word a read with 0.2 us and
    // 30 before the high byte; the empty socket reads every word blank.
    {"W2 256 bytes", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", &Size256, &wide::W2,
     kPowerUp + kIdle + 128 * 30 + kPowerDown, kCommandNs + 128 * 200},
    // The W29C102's sector write (no idle word): 0xAA, 0x55, 0xA0 with 5,
    // pulse 3, 5; the sector's 128 words with 0.2 us and a pulse of 2; the
    // 10 ms write cycle (12000); 128 read-backs with 30 before the high
    // byte; then the verify of the one word.
    {"W29C102 sector write", HandlerId::MBM29LV160Click, 501, "W29C102", &OneBlankWord,
     &wide::SectorWriteProgram,
     kPowerUp + 3 * Command(5, 3, 5) + 128 * Command(0, 2, 0) + 12000 + 128 * 30 + kPowerDown +
         kPowerUp + 30 + kPowerDown,
     3 * kCommandNs + 128 * (kCommandNs + 200) + 128 * 200 + 200, true, 400},
    // A W29C102 sector that never takes (the empty socket reads word 0 as
    // 0xFFFF, not 0x0000): twenty loads, each followed by 12000 and 2000
    // more per failed load before it, at most 20000 more, and five reads
    // of the differing word; the error report powers down, then the routine.
    {"W29C102 sector never taken", HandlerId::MBM29LV160Click, 501, "W29C102", &OneZeroWord,
     &wide::SectorWriteProgram,
     kPowerUp + 20 * (3 * Command(5, 3, 5) + 128 * Command(0, 2, 0) + 12000 + 5 * 30) +
         2000 * (1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10) + 9 * 20000 + kPowerDown + kPowerDown,
     20 * (3 * kCommandNs + 128 * (kCommandNs + 200) + 5 * 200), true, 8000},
    // The W29C102's identifier (no idle word): the six-word entry with 5,
    // pulse 3, 5; 10; words 0 and 1 with 30 before the high byte; the
    // three-word exit; 10 before the power goes.
    {"W29C102 Get ID", HandlerId::MBM29LV160Click, 501, "W29C102", &Nothing, &wide::W29GetId,
     kPowerUp + 6 * Command(5, 3, 5) + 10 + 2 * 30 + 3 * Command(5, 3, 5) + 10 + kPowerDown,
     9 * kCommandNs + 2 * 200},
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
    // W8 with every word skipped: the idle word, then read array (0xFF
    // with 5, pulse twp, 200) and the verify of the one word.
    {"W8 28F400B3T skipped", HandlerId::N28F4001Click, 101, "28F400 B3T", &OneSkippedWord,
     &wide::W8, kPowerUp + kIdle + Command(5, 3, 200) + kPowerDown + kVerifyOneWord,
     kCommandNs + kCommandNs + kVerifyOneWordNs},
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
    // F6 (twp 6, twc 40): 0xF0 (6, 10); per byte 0xAA 0x55 0xA0 with
    // pulse 6 and 2, F1, the byte with a pulse of 1 and twc, one poll (the
    // empty socket reads the 0xFF written); 0xF0 (6, 10). Then the verify:
    // power up, 0xF0 (5, 10), F1 and a read per byte.
    {"F6 SST49LF002", HandlerId::SST49LF002_Click, 101, "SST49LF002", &OneBlankWord,
     &families::fwh::F6,
     kPowerUp + HubCommand(6, 10) + 3 * HubCommand(6, 2) + kLoad + 1 + 40 + HubCommand(6, 10) +
         kPowerDown + kPowerUp + HubCommand(5, 10) + kLoad + kPowerDown,
     9 * kCycleNs},
    // Smart: the unlock cycles without their pause, no twc after the byte.
    {"F6 SST49LF002 smart", HandlerId::SST49LF002_Click, 101, "SST49LF002", &OneBlankByteSmart,
     &families::fwh::F6,
     kPowerUp + HubCommand(6, 10) + 3 * HubCommand(6, 0) + kLoad + 1 + HubCommand(6, 10) +
         kPowerDown + kPowerUp + HubCommand(5, 10) + kLoad + kPowerDown,
     9 * kCycleNs},
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

// The protection algorithms on the byte socket, each a whole power
// session. The empty socket never reads a sector protected, so every
// attempt and pulse is spent; the part takes the MXIC protect at the first
// attempt and the LV unprotect at the first pulse (a thousand pulses would
// sum a thousand roundings of the clock).
void MxicProtect(app::Programmer& p) { flash::MxicProtectSector(p, 0x30000); }
void LvProtect(app::Programmer& p) { flash::LvProtectSector(p, 0x30000); }
void AllProtected(FlashSession& s) {
  auto* part = s.As<sim::JedecFlash>();
  for (int i = 0; i < part->sectors().count(); ++i) part->Protect(i, true);
}
// The unprotect step looks at the IDs of the Get ID before it: an Am29F040.
void Am29F040Ids(FlashSession& s) { s.p.dev.id_bytes = {0x01, 0xA4, 0x01, 0x01}; }

// J3 lock bit set on block 3: the idle word; the status clear (0x50 with
// 5, pulse twp, 50), 0x60 at the block and 0x01 (5, twp, 5 each); one poll
// shows SR3; read array (0xFF with 5, twp, 200); the report powers down
// again.
void J3Lock(app::Programmer& p) { flash::IntelLockBlock(p, 0x30000); }

// One MXIC command cycle: 4 after the address, 4 with the byte, 4, pulse
// 4, 4.
constexpr int64_t kMxicCycle = 5 * 4;
// One LV command cycle: 1 after the address, 1 before the pulse of 2, 2.
constexpr int64_t kLvCycle = 1 + 1 + 2 + 2;
// Entering the LV algorithm: 100, 12 V on #RESET and 1.7 us (its 1 us), the
// opening 0x60; leaving it: 12 V off, 1.7 us, the reset 0xF0.
constexpr int64_t kLvEnter = 100 + 2 + kLvCycle;
constexpr int64_t kLvLeave = 2 + kLvCycle;

const WaitCase kProtectCases[] = {
    {"J3 lock bit", HandlerId::N28F4001Click, 301, "28F320 J3 ", &Nothing, &J3Lock,
     kPowerUp + kIdle + Command(5, 3, 50) + 2 * Command(5, 3, 5) + Command(5, 3, 200) +
         kPowerDown + kPowerDown,
     kCommandNs + 4 * kCommandNs + kPollNs},
    // MXIC protect: 100; an attempt of the six command cycles, the sector
    // address with 4, 5 before the pulse of 4, 1000, 10.
    {"MXIC protect", HandlerId::M29F_Click, 315, "MX29F004 - T", &Nothing, &MxicProtect,
     kPowerUp + 100 + 6 * kMxicCycle + 4 + 5 + 4 + 1000 + 10 + kPowerDown, 0, false},
    // MXIC unprotect: the six cycles once, then 0x240 written as the
    // protect writes its sector address, with the 2000-tick pulse.
    {"MXIC unprotect", HandlerId::M29F_Click, 315, "MX29F004 - T", &Nothing,
     &flash::MxicUnprotectChip, kPowerUp + 100 + 6 * kMxicCycle + 4 + 5 + 2000 + 10 + kPowerDown,
     0},
    // LV protect: 25 pulses of 150 us (180 ticks), each followed by the
    // verify 0x40 and 1 before its read.
    {"LV protect", HandlerId::HY29LV1601Click, 101, "HY29LV400T", &Nothing, &LvProtect,
     kPowerUp + kLvEnter + 25 * (kLvCycle + 180 + kLvCycle + 1) + kLvLeave + kPowerDown, 0},
    // LV unprotect: a pulse of 15 ms (17900 ticks), then the verify of
    // each of the eleven sectors (layout 4).
    {"LV unprotect", HandlerId::HY29LV1601Click, 101, "HY29LV400T", &AllProtected,
     &flash::LvUnprotectChip,
     kPowerUp + kLvEnter + kLvCycle + 17900 + 11 * (kLvCycle + 1) + kLvLeave + kPowerDown, 0,
     false},
    // Wizard protect (layout 7, eight sectors): 100; per sector 1 with the
    // outputs off, 12 V, 4.2 us (5), WE# for 100 us (120), 5, 12 V off, 5.
    {"wizard protect", HandlerId::EN29F002T_Click, 301, "Am29F040 Die 98401", &Nothing,
     &flash::WizardProtectAll, kPowerUp + 100 + 8 * (1 + 5 + 120 + 5 + 5) + kPowerDown, 0},
    // Wizard unprotect: 100 at 0x20, 12 V and 5; one long pulse of 30000 +
    // 1000 + 30000 + 1000; 12 V off and 5 before the power goes.
    {"wizard unprotect", HandlerId::EN29F002T_Click, 301, "Am29F040 Die 98401", &Am29F040Ids,
     &flash::WizardUnprotectAll, kPowerUp + 100 + 5 + 30000 + 1000 + 30000 + 1000 + 5 + kPowerDown,
     0},
};

// The rest state is checked on the word adapter and the byte socket only:
// without a part the board cannot tell that the hub adapter powers the
// socket itself (the hub round trips check it with the part in place).
void ExpectWaits(const WaitCase& c, bool rest) {
  SCOPED_TRACE(c.name);
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  if (c.empty) s.board->RemoveChip();
  c.prepare(s);
  const int64_t waited = s.WaitedNs(c.routine);
  EXPECT_NEAR(waited, Ticks(c.ticks) + c.ns, c.tolerance_ns) << s.Last();
  if (rest) {
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(WideWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) ExpectWaits(c, true);
}

// A word the part failed (SR4) is sent again after the status clear:
// 0x50 with 5, pulse 5, 50. Two runs of W8 differ only by it: one word
// failed once and sent twice, and two words sent once each. A send with
// its status polls takes the same in both (the part's program time does
// not change); the second run verifies one word more (0.2 us and 30).
TEST(WideWaits, AResentWordWaitsForTheStatusClearFirst) {
  const auto run = [](bool fail, const std::vector<uint8_t>& data) {
    FlashSession s;
    s.Select(HandlerId::N28F4001Click, 101, "28F400 B3T");
    if (fail) {
      EXPECT_TRUE(s.chip->InjectFault({"sr4-once", 0x00, 0, 0}));
    }
    s.Load(data);
    s.p.image.data_end = static_cast<uint32_t>(data.size() - 1);
    const int64_t waited = s.WaitedNs([](app::Programmer& p) { wide::W8(p); });
    EXPECT_EQ(s.Last(), "Device Programmed OK");
    EXPECT_EQ(s.As<sim::WsmFlash>()->programs(), 2u);
    EXPECT_EQ(s.As<sim::WsmFlash>()->status_clears(), fail ? 1u : 0u);
    for (size_t i = 0; i < data.size(); ++i) EXPECT_EQ(s.Cells()[i], data[i]) << i;
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{});
    return waited;
  };
  const int64_t resent = run(true, {0x12, 0x34});
  const int64_t two = run(false, {0x12, 0x34, 0x56, 0x78});
  EXPECT_NEAR(resent - two, Ticks(Command(5, 5, 50)) + kCommandNs - (Ticks(30) + 200), 40);
}

TEST(ProtectWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kProtectCases) ExpectWaits(c, true);
}

// On the empty socket no sector ever reads protected: all 32 attempts go
// by. Over 35 waits an attempt the clock's rounding adds up to about half a
// microsecond; one attempt more or less is some 960 us.
TEST(ProtectWaits, MxicProtectGivesUpAfterThirtyTwoAttempts) {
  const WaitCase c{"MXIC protect, empty socket",
                   HandlerId::M29F_Click,
                   315,
                   "MX29F004 - T",
                   &Nothing,
                   &MxicProtect,
                   kPowerUp + 100 + 32 * (6 * kMxicCycle + 4 + 5 + 4 + 1000 + 10) + kPowerDown,
                   0,
                   true,
                   2000};
  ExpectWaits(c, true);
}

// On the empty socket no sector ever reads unprotected: all thousand
// pulses of 15 ms go by, each followed by the verify of the first sector
// only (it already fails).
TEST(ProtectWaits, LvUnprotectGivesUpAfterAThousandPulses) {
  const WaitCase c{"LV unprotect, empty socket",
                   HandlerId::HY29LV1601Click,
                   101,
                   "HY29LV400T",
                   &Nothing,
                   &flash::LvUnprotectChip,
                   kPowerUp + kLvEnter + 1000 * (kLvCycle + 17900 + kLvCycle + 1) + kLvLeave +
                       kPowerDown,
                   0,
                   true,
                   20000};
  ExpectWaits(c, true);
}

TEST(HubWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kHubCases) ExpectWaits(c, false);
}

}  // namespace
