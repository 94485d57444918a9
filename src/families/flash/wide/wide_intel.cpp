// W8 to W10: the Intel command-set parts in word mode (family 45): B3, C3
// with blocks that come out of reset locked, J3 with its write buffer.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "families/flash/flash_devices.h"
#include "families/flash/wide/wide.h"
#include "families/flash/wide/wide_bus.h"
#include "families/flash/wide/wide_program.h"

namespace families::wide {

using namespace flash;
using namespace flash::wide;

namespace {

constexpr int kSends = 4;
constexpr uint32_t kBufferWords = 16;  // the J3's write buffer in word mode
constexpr int64_t kProgramBoundNs = 100'000'000;
constexpr int64_t kEraseBoundNs = 30'000'000'000;  // far beyond a block's 5 s maximum

// The word starts of every block, then the end.
std::vector<uint32_t> Blocks(const app::Programmer& p) {
  return SectorStarts(LayoutTable::kBlock, p.dev.layout, true);
}

// 0x60 then 0xD0 at the block: clears its (volatile) lock.
void UnlockBlock(hw::Bus& bus, uint32_t start) {
  CommandWordAt(bus, start, 0x60, 5, 5, 5);
  CommandWord(bus, 0xD0, 5, 5, 5);
}

void ClearStatus(hw::Bus& bus) { CommandWord(bus, 0x50, 5, 5, 50); }

// One word: 0x40, the word, the status. False when it failed for good or
// was cancelled (reported).
bool SendWord(app::Programmer& p, uint32_t k, Word want) {
  hw::Bus& bus = p.bus;
  for (int n = 1;; ++n) {
    // The error bits stay until 0x50: a resend goes after it.
    if (n > 1) ClearStatus(bus);
    bus.ShiftAddress(WordAddress(p, k));
    bus.StrobeWrite(0x00, 0x40, 5);
    bus.DelayTicks(2);
    bus.ProgramPulse(p.dev.twp);
    bus.DelayTicks(5);
    bus.StrobeWrite(want.high, want.low, 5);
    bus.ProgramPulse(p.dev.twp);
    Wait(bus, p.dev.twc);
    uint8_t sr = 0;
    const Poll end = PollStatus(p, kProgramBoundNs, sr);
    if (end == Poll::kCancelled) return false;
    if (end == Poll::kTimedOut) sr |= kProgramError;
    if ((sr & kVppLow) != 0) {
      p.ReportError("  Vpp Range Error");
      p.error = 1;
      return false;
    }
    if ((sr & kProgramError) == 0) return true;
    if (n == kSends) {
      p.ReportError("  Word Program Error");
      p.error = 1;
      return false;
    }
  }
}

// The J3's write buffer in words: groups of 16 words aligned to 16, each
// 0xE8 at the group's address, the extended status until a buffer is free,
// the count - 1, the words, 0xD0, then the status. A group of 0xFFFF words
// only is left alone with Skip Write 0xFF.
bool SendGroups(app::Programmer& p, const WideRun& run) {
  hw::Bus& bus = p.bus;
  for (uint32_t first = 0; first < run.words;) {
    const uint32_t end = std::min(first | (kBufferWords - 1), run.words - 1);
    bool blank = Skip(p, 0xFF);
    for (uint32_t k = first; k <= end && blank; ++k) blank = ImageWord(p, k).value() == 0xFFFF;
    for (int n = 1; !blank; ++n) {
      if (n > 1) ClearStatus(bus);
      CommandWordAt(bus, WordAddress(p, first), 0xE8, 5, p.dev.twp, 5);
      uint8_t sr = 0;
      if (PollStatus(p, kProgramBoundNs, sr) != Poll::kReady) {
        if (p.error == 0) p.ReportError("  Word Program Error");
        p.error = 1;
        return false;
      }
      CommandWord(bus, static_cast<uint8_t>(end - first), 5, p.dev.twp, 5);
      for (uint32_t k = first; k <= end; ++k) {
        bus.ShiftAddress(WordAddress(p, k));
        DataWord(bus, ImageWord(p, k), 5, p.dev.twp);
      }
      CommandWord(bus, 0xD0, 5, p.dev.twp, 5);
      const Poll got = PollStatus(p, kProgramBoundNs, sr);
      if (got == Poll::kCancelled) return false;
      if ((sr & kVppLow) != 0) {
        p.ReportError("  Vpp Range Error");
        p.error = 1;
        return false;
      }
      if (got == Poll::kReady && (sr & kProgramError) == 0) break;
      if (n == kSends) {
        p.ReportError("  Word Program Error");
        p.error = 1;
        return false;
      }
    }
    p.progress_counter += static_cast<int>(2 * (end - first + 1)) - 1;
    if (p.ProgressTick(2 * end)) {
      p.ShowProgress(1, 0, 0);
      return false;
    }
    first = end + 1;
  }
  return true;
}

// The status bits of a block erase, in the order they are judged.
bool EraseFailed(app::Programmer& p, uint8_t sr) {
  struct Failure {
    uint8_t mask;
    const char* text;
  };
  static constexpr Failure kFailures[] = {
      {kVppLow, "   Vpp Range Error"},
      {kEraseError | kProgramError, " Command Sequence Error"},
      {kEraseError, " Block Erase Error"},
  };
  for (const Failure& f : kFailures) {
    if ((sr & f.mask) == f.mask) {
      p.ReportError(f.text);
      p.error = 1;
      return true;
    }
  }
  return false;
}

}  // namespace

void W8(app::Programmer& p) {
  const WideRun run = BeginWideProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
  if (p.dev.block_unlock) {
    // C3 blocks come out of every power-up locked: unlocked in this session.
    const std::vector<uint32_t> blocks = Blocks(p);
    for (size_t b = 0; b + 1 < blocks.size(); ++b) UnlockBlock(bus, blocks[b]);
  }
  bus.ShiftAddress(0xFFFFFF);
  IdleWord(p);
  bool ok = false;
  if (IsJ3(p) && p.controls.Checked("cb28F320J3buffer")) {
    ok = SendGroups(p, run);
  } else {
    ok = ForEachWord(p, run, [&](uint32_t k, Word want) { return SendWord(p, k, want); });
  }
  if (ok) {
    CommandWord(bus, 0xFF, 5, p.dev.twp, 200);  // read array
  }
  bus.PowerDown();
  FinishWideProgram(p, run, ok);
}

void W9(app::Programmer& p) {
  const std::vector<uint32_t> blocks = Blocks(p);
  const int count = blocks.empty() ? 0 : static_cast<int>(blocks.size()) - 1;
  p.SetProcessGauge("Erasing chip 28Fx00 All sector", count, 0xFFFFFF);
  ShowPeak(p, "lbLoopPeak", " Sector ");
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  IdleWord(p);
  p.error = 0;
  bool ok = true;
  for (int b = 0; ok && b < count; ++b) {
    const uint32_t start = blocks[static_cast<size_t>(b)];
    if (p.dev.block_unlock) UnlockBlock(bus, start);
    bus.ShiftAddress(start);
    bus.StrobeWrite(0x00, 0x20, 30);
    bus.ProgramPulse(p.dev.twp);
    bus.StrobeWrite(0x00, 0xD0, 30);
    bus.ProgramPulse(p.dev.twp);
    bus.DelayTicks(500);
    uint8_t sr = 0;
    const Poll end = PollStatus(p, kEraseBoundNs, sr);
    if (end == Poll::kCancelled) {
      ok = false;
      break;
    }
    if (end == Poll::kTimedOut) sr |= kEraseError;
    if (EraseFailed(p, sr)) {
      ok = false;
      break;
    }
    char text[32];
    std::snprintf(text, sizeof text, " %d of %d", b + 1, count);
    ShowPeak(p, "pLoopp", text);
    p.Refresh(b);
  }
  if (ok) CommandWord(bus, 0xFF, 5, p.dev.twp, 200);
  bus.PowerDown();
  if (ok) p.Message("erase completed", hw::kResult);
}

void W10(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  IdleWord(p);
  CommandWordAt(bus, 0, 0x90, 50, 10, 50);
  constexpr int32_t kIdHigh = 60;
  const uint16_t manufacturer = ReadWordAt(bus, 0, kIdHigh).value();
  const uint16_t device = ReadWordAt(bus, 1, kIdHigh).value();
  // Block 0's lock, before the part leaves identifier mode.
  const uint8_t lock = ReadWordAt(bus, 2, kIdHigh).low;
  CommandWordAt(bus, 0x55, 0x98, 50, 10, 200);
  ReadWideCfi(p, kIdHigh);
  CommandWordAt(bus, 0, 0xFF, 50, 10, 200);
  bus.PowerDown();
  IdentifyWide(p, manufacturer, device, lock);
}

}  // namespace families::wide
