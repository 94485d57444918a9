// The waits of the AT90S primitives, operations and the actions that are
// little more than their waits, summed by hand from the step lists. The
// parallel mode has no busy signal and most of these waits stand far above
// any limit the part checks, so a wait dropped, halved or lengthened shows
// only here: the time a routine takes, less its port accesses, is exactly
// the sum of its DelayTicks.
#include <string>
#include <vector>

#include "families/mcu/avr.h"
#include "families/mcu/avr_fixture.h"
#include "families/mcu/avr_ops.h"

namespace daraz_test {
namespace {

namespace avr = families::avr;
using app::Programmer;

// AvrEnterProgramming: PowerUp, 1000 with the latch at 0, 30000 under 12 V.
constexpr int64_t kEnter = kPowerUp + 1000 + 30000;
// AvrLoad: 15, 15, 15, 150 of data setup, XTAL1 high 30, 80.
constexpr int64_t kLoad = 15 + 15 + 15 + 150 + 30 + 80;
// AvrWritePulse: 5, 5, /WR low 20, 15.
constexpr int64_t kPulse = 5 + 5 + 20 + 15;
// AvrReadByte: 5, 5, the read, 5, 10.
constexpr int64_t kRead = 5 + 5 + 5 + 10;
// The two pulses that do their work while /WR is low, the datasheet's
// typical figures: chip erase 10 ms, fuse write 1.5 ms.
constexpr int64_t kErasePulse = 11932;
constexpr int64_t kFusePulse = 1790;

void Nothing(Programmer&) {}
void Enter(Programmer& p) { avr::AvrEnterProgramming(p); }
// The write pulse needs a command to execute and the read a byte to drive.
void FlashCommandAndData(Programmer& p) {
  Enter(p);
  avr::AvrLoad(p, 0x200, 0x10);
  avr::AvrLoad(p, 0x080, 0xA5);
}
void SignatureCommand(Programmer& p) {
  Enter(p);
  avr::AvrLoad(p, 0x200, 0x08);
  avr::AvrLoad(p, 0x000, 0x00);
}
// AT90S1200 images: two flash words (offsets 0..3) that differ, and the 64
// EEPROM bytes erased, so each verifies at its first read.
void TwoWords(Programmer& p) {
  image::ClearBuf(p.image, image::kFillFF, {});
  p.image[0] = 0x12;
  p.image[1] = 0x34;
  p.image[2] = 0x56;
  p.image[3] = 0x78;
  p.image.data_end = 3;
}
void LockMode2(Programmer& p) { p.dev.avr.lock_mode = 2; }

struct WaitCase {
  const char* name;
  int tag;
  void (*prepare)(Programmer& p);
  void (*routine)(Programmer& p);
  int64_t ticks;
  // Each DelayTicks rounds down to the ns: up to 1 ns short per call.
  int64_t slack_ns;
};

const WaitCase kCases[] = {
    {"enter programming", 102, &Nothing, &Enter, kEnter, 10},
    {"load", 102, &Enter, [](Programmer& p) { avr::AvrLoad(p, 0x200, 0x08); }, kLoad, 10},
    {"write pulse", 102, &FlashCommandAndData, [](Programmer& p) { avr::AvrWritePulse(p, 0); },
     kPulse, 10},
    {"read byte", 102, &SignatureCommand, [](Programmer& p) { avr::AvrReadByte(p, 0); }, kRead, 10},
    // Load 0x80; 20, 20, 50, /WR low for the erase, 30000.
    {"chip erase", 102, &Enter, &avr::ChipErase, kLoad + 20 + 20 + 50 + kErasePulse + 30000, 20},
    // Command, both address bytes and the low byte, a pulse and 2500; the
    // high byte, a pulse and 2500.
    {"flash word", 102, &Enter, [](Programmer& p) { avr::WriteFlashWord(p, 0x123, 0x5A, 0xC3); },
     5 * kLoad + 2 * kPulse + 2 * 2500, 50},
    // Command, both address bytes, data, a pulse and 1500.
    {"EEPROM byte", 102, &Enter, [](Programmer& p) { avr::WriteEepromByte(p, 0x45, 0x77); },
     4 * kLoad + kPulse + 1500, 50},
    // Command and both address bytes before each of the two reads.
    {"read flash word", 102, &Enter, [](Programmer& p) { avr::ReadFlashWord(p, 0x123); },
     2 * (3 * kLoad + kRead), 50},
    {"read EEPROM byte", 102, &Enter, [](Programmer& p) { avr::ReadEepromByte(p, 0x45); },
     3 * kLoad + kRead, 50},
    // Command, data, the long pulse (5, 5, 1.5 ms, 15) and 1500.
    {"fuse write", 102, &Enter, [](Programmer& p) { avr::WriteFuses(p, 0xDE); },
     2 * kLoad + 5 + 5 + kFusePulse + 15 + 1500, 50},
    {"lock write", 102, &Enter, [](Programmer& p) { avr::WriteLocks(p, 0xFD); },
     2 * kLoad + kPulse + 3500, 50},
    // Command, then an address load and a read for each of three bytes.
    {"signature", 102, &Enter, [](Programmer& p) { avr::ReadSignature(p); },
     kLoad + 3 * (kLoad + kRead), 50},
    {"fuse and lock read", 102, &Enter, [](Programmer& p) { avr::ReadFuseAndLock(p); },
     kLoad + kRead, 20},
    // Enter, 30000, the chip erase, 3 x 30000, PowerDown.
    {"erase action", 102, &Nothing, &avr::EraseChip,
     kEnter + 30000 + (kLoad + 20 + 20 + 50 + kErasePulse + 30000) + 3 * 30000 + kPowerDown, 100},
    // Enter, the lock write, 30000, PowerDown.
    {"lock bit button", 102, &LockMode2, &avr::WriteLockBits,
     kEnter + (2 * kLoad + kPulse + 3500) + 30000 + kPowerDown, 100},
    {"fuse bit button", 102, &Nothing, &avr::WriteFuseBits,
     kEnter + (2 * kLoad + 5 + 5 + kFusePulse + 15 + 1500) + 30000 + kPowerDown, 100},
    // Enter, the signature, the fuse and lock read, 1000, PowerDown.
    {"identification", 102, &Nothing, &avr::GetId,
     kEnter + (kLoad + 3 * (kLoad + kRead)) + (kLoad + kRead) + 1000 + kPowerDown, 100},
    // AT90S1200: 512 flash words, 64 EEPROM bytes.
    {"read action", 101, &Nothing, &avr::ReadChip,
     kEnter + 512 * 2 * (3 * kLoad + kRead) + 64 * (3 * kLoad + kRead) + kPowerDown, 40000},
    {"blank check", 101, &Nothing, &avr::BlankCheck,
     kEnter + 512 * 2 * (3 * kLoad + kRead) + kPowerDown, 40000},
    // Program two words and the 64 EEPROM bytes, power down; the verify
    // enters again, reads each once and powers down.
    {"program action", 101, &TwoWords, &avr::ProgramChip,
     kEnter + 2 * (5 * kLoad + 2 * kPulse + 2 * 2500) + 64 * (4 * kLoad + kPulse + 1500) +
         kPowerDown + kEnter + 2 * 2 * (3 * kLoad + kRead) + 64 * (3 * kLoad + kRead) + kPowerDown,
     10000},
};

TEST(AvrWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    AvrSession s;
    s.Select(c.tag);
    c.prepare(s.p);
    const int64_t waited = s.WaitedNs(c.routine);
    const int64_t want = Ticks(c.ticks);
    EXPECT_LE(waited, want + 1);
    EXPECT_GE(waited, want - c.slack_ns);
    s.p.bus.PowerDown();
    EXPECT_EQ(s.Violations(), std::vector<std::string>{});
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
}  // namespace daraz_test
