// The J3's block lock bits in word mode. They are the only lock bits of
// the 16-bit Intel parts that survive the power-down ending every routine:
// the C3 locks every block again at power-up and the B3 has none.
#include "families/flash/protect.h"
#include "families/flash/wide/wide_bus.h"

namespace families::flash {
namespace {

// Far beyond the J3's maxima: a lock bit sets in 75 us, all clear in 0.7 s.
constexpr int64_t kSetBoundNs = 100'000'000;
constexpr int64_t kClearBoundNs = 5'000'000'000;

// The configuration command's second word at `block`, then the status:
// SR3 means VPEN was too low, SR4 (set) or SR5 (clear) that the bits did not
// change. The status is cleared first: its error bits are sticky.
bool LockCommand(app::Programmer& p, uint32_t block, uint8_t code, int64_t bound_ns) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  wide::IdleWord(p);
  wide::CommandWord(bus, 0x50, 5, p.dev.twp, 50);
  wide::CommandWordAt(bus, block, 0x60, 5, p.dev.twp, 5);
  wide::CommandWord(bus, code, 5, p.dev.twp, 5);
  uint8_t sr = 0;
  const Poll end = wide::PollStatus(p, bound_ns, sr);
  const uint8_t failed = code == 0x01 ? kProgramError : kEraseError;
  bool ok = end == Poll::kReady && (sr & (kVppLow | failed)) == 0;
  if (end == Poll::kReady) wide::CommandWord(bus, 0xFF, 5, p.dev.twp, 200);
  bus.PowerDown();
  if (end == Poll::kCancelled) return false;
  if (!ok) {
    p.ReportError((sr & kVppLow) != 0 ? "  Vpp Range Error" : " Lock-Bit Error");
    p.error = 1;
  }
  return ok;
}

}  // namespace

bool IntelLockBlock(app::Programmer& p, uint32_t block) {
  return LockCommand(p, block, 0x01, kSetBoundNs);
}

bool IntelClearLocks(app::Programmer& p) { return LockCommand(p, 0, 0xD0, kClearBoundNs); }

}  // namespace families::flash
