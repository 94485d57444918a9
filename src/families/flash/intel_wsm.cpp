// The write-state-machine parts: I5 byte program, I6 block erase, I7 erase
// by memory map, I8 buffered program of the J3, all read from the status
// register.
#include <algorithm>
#include <vector>

#include "families/flash/flash_devices.h"
#include "families/flash/flash_frame.h"
#include "families/flash/intel.h"
#include "families/flash/jedec_loop.h"

namespace families::intel {

using namespace flash;

namespace {

constexpr int kJ3Family = 55;

// The J3's lock-bit clear takes 0.7 s at most; the poll gives it far more.
constexpr int64_t kLockClearBoundNs = 5'000'000'000;
// A block erase takes a few seconds at most on the slowest listed part; a
// part still busy after this never finishes.
constexpr int64_t kEraseBoundNs = 30'000'000'000;

bool IsJ3(const app::Programmer& p) { return p.dev.family == kJ3Family; }

// A command byte with a write pulse of `pulse` ticks at the address the
// registers hold.
void Command(hw::Bus& bus, uint8_t code, int32_t pulse = 3) {
  bus.PutData(code, 0);
  bus.ProgramPulse(pulse);
}

// Reads the status register until SR7, with `wait` ticks on either side
// of each read (0.2 us when 0); Cancel ends it with "program interrupted!",
// and `bound_ns` of polling with kTimedOut.
Poll PollStatus(app::Programmer& p, int32_t wait, int64_t bound_ns, uint8_t& s) {
  hw::Bus& bus = p.bus;
  const auto pause = [&bus, wait] { wait == 0 ? bus.Delay100ns(2) : bus.DelayTicks(wait); };
  return PollStatusRegister(p, bound_ns, s, [&] {
    Bit(bus, kDrive, false);
    pause();
    const uint8_t got = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    pause();
    return got;
  });
}

// The three erase failures of the status register, each with its text.
// True when `s` shows one (it is reported, the error flag set).
bool EraseFailed(app::Programmer& p, uint8_t s) {
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
    if ((s & f.mask) == f.mask) {
      p.ReportError(f.text);
      p.error = 1;
      return true;
    }
  }
  return false;
}

// The J3's lock bits, cleared once for the whole part: 0x60, 0xD0, then the
// state machine's own time (half a second), then read array. False when it
// failed or was cancelled (reported).
bool ClearLockBits(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.SetAddress(0, 0);
  Command(bus, 0x60);
  bus.DelayTicks(100);
  Command(bus, 0xD0);
  bus.DelayTicks(500);
  uint8_t s = 0;
  const Poll status = PollStatus(p, 4, kLockClearBoundNs, s);
  if (status == Poll::kCancelled) return false;
  if (status == Poll::kTimedOut) s = kEraseError;  // SR5 is the lock-clear error
  if (EraseFailed(p, s)) return false;
  Command(bus, 0xFF);
  bus.DelayTicks(100);
  return true;
}

// --- program ----------------------------------------------------------------------

struct Tries {
  int most;
  const char* text;
};
constexpr Tries kI5Tries{10, "  Byte Program Error"};
constexpr Tries kI8Tries{5, "  ERROR Word Program Fail"};

// The status error bits stay until 0x50: a resend goes after it, or a byte
// that programs on the resend would still read as failed.
void ClearStatus(hw::Bus& bus, int32_t twp) {
  Command(bus, 0x50, twp);
  bus.DelayTicks(50);
}

// One byte: 0x40, the byte, the status. Vpp low and a byte that keeps
// failing are reported here.
PollEnd SendByte(app::Programmer& p, uint32_t address, uint8_t d, int attempt, const Tries& tries) {
  hw::Bus& bus = p.bus;
  const app::Descriptor& dev = p.dev;
  if (attempt > 1) ClearStatus(bus, dev.twp);
  bus.ShiftAddress(address);
  bus.PutData(0x40, 0);
  bus.DelayTicks(2);
  bus.ProgramPulse(2);
  bus.DelayTicks(2);
  bus.PutData(d, 0);
  bus.DelayTicks(2);
  bus.ProgramPulse(dev.twp);
  Wait(bus, dev.twc);
  bus.WriteData();
  uint8_t s = 0;
  const Poll end = PollStatus(p, 0, kPollBoundNs, s);
  if (end == Poll::kCancelled) return kReported;
  // A byte the part never finishes counts as one that failed.
  if (end == Poll::kTimedOut) s = kProgramError;
  if ((s & kVppLow) != 0) {
    p.ReportError("  Vpp Range Error");
    p.error = 1;
    return kReported;
  }
  if ((s & kProgramError) == 0) return PollEnd::kDone;
  if (attempt == tries.most) {
    p.ReportError(tries.text);
    p.error = 1;
    return kReported;
  }
  return PollEnd::kRetry;
}

void ProgramBytes(app::Programmer& p, const ProgramRun& run, const Tries& tries) {
  const uint32_t offset = p.image.buffer_offset;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t d, int attempt, uint8_t&) {
    return SendByte(p, offset + j, d, attempt, tries);
  });
}

// The J3's write buffer: groups of 32 bytes aligned to 32 in chip
// addresses (the last one shorter), each 0xE8 at an address of its block,
// the extended status until a buffer is free, the count - 1, the bytes,
// 0xD0, then the status after 0x70 until the state machine is ready. A
// group of 0xFF bytes only is left alone with Skip Write 0xFF.
void ProgramGroups(app::Programmer& p, const ProgramRun& run) {
  hw::Bus& bus = p.bus;
  const uint32_t offset = p.image.buffer_offset;
  const uint32_t last = offset + run.span.last;
  const bool skip_ff = uv_eprom::SkipFF(p);
  for (uint64_t start = offset; start <= last;) {
    const auto first = static_cast<uint32_t>(start);
    const uint32_t end = std::min(first | 31u, last);
    const uint32_t count = end - first + 1;
    const auto byte = [&](uint32_t address) { return p.image[address - offset]; };
    bool blank = skip_ff;
    for (uint32_t a = first; a <= end && blank; ++a) blank = byte(a) == 0xFF;
    for (int attempt = 1; !blank; ++attempt) {
      if (attempt > 1) ClearStatus(bus, p.dev.twp);
      bus.SetAddress(first, 0);
      Command(bus, 0xE8);
      uint8_t s = 0;
      // A buffer that never comes free, or a write that never ends, counts
      // as a failed try; the bytes are not sent to a buffer the part has
      // not given.
      Poll got = PollStatus(p, 0, kPollBoundNs, s);
      if (got == Poll::kReady) {
        Command(bus, static_cast<uint8_t>(count - 1));
        for (uint32_t a = first; a <= end; ++a) {
          bus.ShiftAddress(a);
          Command(bus, byte(a));
        }
        Command(bus, 0xD0);
        Command(bus, 0x70);
        got = PollStatus(p, 0, kPollBoundNs, s);
      }
      if (got == Poll::kCancelled) return;
      if (got == Poll::kReady && (s & kProgramError) == 0) break;
      if (attempt == kI8Tries.most) {
        p.ReportError(kI8Tries.text);
        p.error = 1;
        return;
      }
    }
    p.progress_counter += static_cast<int>(count) - 1;
    if (p.ProgressTick(end - offset)) {
      p.ShowProgress(1, 0, 0);
      return;
    }
    start = uint64_t{end} + 1;
  }
}

// --- erase ----------------------------------------------------------------------

void EraseBlocks(app::Programmer& p, const std::vector<uint32_t>& starts, const char* caption) {
  hw::Bus& bus = p.bus;
  const int blocks = starts.empty() ? 0 : static_cast<int>(starts.size()) - 1;
  p.SetProcessGauge(caption, blocks, app::colour::kWhite);
  bus.PowerUp();
  // The J3's enable pin takes logic levels only: it never gets 12 V.
  if (!IsJ3(p)) Vpp(bus, true);
  bus.DelayTicks(1000);
  bus.SetAddress(0xFFFF, 0);
  p.error = 0;
  bool ok = !IsJ3(p) || ClearLockBits(p);
  for (int k = 0; ok && k < blocks; ++k) {
    bus.SetAddress(starts[static_cast<size_t>(k)], 0);
    Command(bus, 0x20);
    Command(bus, 0xD0);
    bus.DelayTicks(500);
    uint8_t s = 0;
    const Poll end = PollStatus(p, 4, kEraseBoundNs, s);
    if (end == Poll::kTimedOut) s = kEraseError;
    ok = end != Poll::kCancelled && !EraseFailed(p, s);
    if (ok && p.Refresh(k)) {
      p.ShowProgress(1, 0, 0);
      ok = false;
    }
  }
  Vpp(bus, false);
  bus.DelayTicks(200);
  bus.PowerDown();
  if (ok) p.Message("erase completed", hw::kResult);
}

}  // namespace

void I5(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  if (!IsJ3(p)) {
    Vpp(bus, true);
    bus.DelayTicks(500);
  }
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
  ProgramBytes(p, run, kI5Tries);
  Vpp(bus, false);
  bus.DelayTicks(1000);
  VerifyAndFinish(p, run);
  bus.PowerDown();
}

void I8(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
  if (ClearLockBits(p)) {
    bus.SetAddress(0xFFFF, 0);
    Command(bus, 0xFF);
    bus.DelayTicks(200);
    if (p.controls.Checked("cb28F320J3buffer")) {
      ProgramGroups(p, run);
    } else {
      ProgramBytes(p, run, kI8Tries);
    }
  }
  VerifyAndFinish(p, run);
  bus.PowerDown();
}

void I6(app::Programmer& p) {
  EraseBlocks(p, ByteModeBlockStarts(p.dev.layout), "Erasing chip 60S");
}

// Every 8 KB from 0 to the device size; a part whose layout has smaller
// blocks (the 28F001BX's 4 KB parameter blocks) is walked at that size, or
// the erase would leave every other one untouched and call it complete.
void I7(app::Programmer& p) {
  uint32_t step = 8 * 1024;
  const std::vector<uint32_t> blocks = ByteModeBlockStarts(p.dev.layout);
  for (size_t k = 1; k < blocks.size(); ++k) step = std::min(step, blocks[k] - blocks[k - 1]);
  std::vector<uint32_t> starts;
  for (uint32_t b = 0; b < p.image.device_size; b += step) starts.push_back(b);
  starts.push_back(p.image.device_size);
  EraseBlocks(p, starts, "Erasing chip by use Memory Map 8KB/block");
}

void Erase26(app::Programmer& p) { p.controls.Checked("cbMemMap") ? I7(p) : I6(p); }

}  // namespace families::intel
