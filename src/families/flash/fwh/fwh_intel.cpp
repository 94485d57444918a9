// F3 to F5: the firmware hubs with a status register (family 34).
#include <algorithm>
#include <vector>

#include "app/chip_id.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/fwh/fwh_bus.h"

namespace families::fwh {

using flash::kEraseError;
using flash::kProgramError;
using flash::kVppLow;
using flash::Poll;
using flash::Vpp;

namespace {

constexpr int kTries = 10;
constexpr uint32_t kBlock = 64 * 1024;
// A block erase takes 0.75 s typical, 8 s at most: the poll gives it more.
constexpr int64_t kEraseBoundNs = 30'000'000'000;
constexpr int64_t kProgramBoundNs = 100'000'000;

// The status until SR7: the read, then 0.2 us.
Poll PollStatus(app::Programmer& p, int64_t bound_ns, uint8_t& sr) {
  hw::Bus& bus = p.bus;
  return flash::PollStatusRegister(p, bound_ns, sr, [&bus] {
    const uint8_t got = ReadHere(bus);
    bus.Delay100ns(2);
    return got;
  });
}

bool Quadruple(const app::Programmer& p) { return p.controls.Checked("cbQuadruple"); }

// One program of the byte at image index i (or, quadruple, of the group of
// four from i): 0x40 and the byte, or 0x30 and the four bytes each after
// its own address load.
void SendProgram(app::Programmer& p, uint32_t i, bool quad) {
  hw::Bus& bus = p.bus;
  const int32_t twp = p.dev.twp;
  LoadAddress(p, ChipAddressOf(p, i));
  if (!quad) {
    WriteCycle(bus, 0x40, twp, 0);
    WriteCycle(bus, p.image[i], twp, p.dev.twc);
    return;
  }
  WriteCycle(bus, 0x30, twp, 20);
  WriteCycle(bus, p.image[i], twp, 20);
  for (uint32_t j = 1; j < 4; ++j) {
    LoadAddress(p, ChipAddressOf(p, i + j));
    WriteCycle(bus, p.image[i + j], twp, 0);
    bus.Delay100ns(20);
  }
  Wait(bus, p.dev.twc);
}

// Programs the byte (group) at i with up to ten tries. Returns nullptr when
// it programmed, else the failure text ("" when cancelled, already shown).
const char* ProgramAt(app::Programmer& p, uint32_t i, bool quad) {
  hw::Bus& bus = p.bus;
  for (int attempt = 1;; ++attempt) {
    SendProgram(p, i, quad);
    uint8_t sr = 0;
    const Poll end = PollStatus(p, kProgramBoundNs, sr);
    if (end == Poll::kCancelled) return "";
    if (end == Poll::kTimedOut) sr |= kProgramError;
    if ((sr & kVppLow) != 0) {
      if (attempt == kTries) return "  Vpp Range Error";
      WriteCycle(bus, 0x50, p.dev.twp, p.dev.twc);
      continue;
    }
    if ((sr & kProgramError) == 0) return nullptr;
    if (attempt == kTries) return "  Byte Program Error";
    WriteCycle(bus, 0x50, p.dev.twp, 50);
  }
}

// The block starts F4 erases: every 64 KB, and in the last 64 KB also the
// starts of the top boot-block parts' 32, 8, 8 and 16 KB blocks, which a
// 64 KB step would never reach (on a uniform part they erase that block
// again).
std::vector<uint32_t> EraseStarts(uint32_t size) {
  std::vector<uint32_t> starts;
  for (uint32_t a = 0; a < size; a += kBlock) starts.push_back(a);
  if (size >= kBlock) {
    const uint32_t top = size - kBlock;
    for (const uint32_t at : {0x8000u, 0xA000u, 0xC000u}) starts.push_back(top + at);
  }
  return starts;
}

// The erase's status bits in the order they are judged: the failure text,
// or nullptr.
const char* EraseFailure(uint8_t sr) {
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
    if ((sr & f.mask) == f.mask) return f.text;
  }
  return nullptr;
}

}  // namespace

void F3(app::Programmer& p) {
  const flash::ProgramRun run = flash::BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Vpp(bus, true);  // 12 V on the part's Vpp pin
  bus.DelayTicks(1000);
  LoadAddress(p, 0xFFFFFF);
  p.error = 0;
  WriteCycle(bus, 0x50, p.dev.twp, 1000);
  LoadAddress(p, 0xFFFFFF);
  const bool quad = Quadruple(p);
  const uint32_t step = quad ? 4 : 1;
  const char* failed = nullptr;
  for (uint64_t n = 0; failed == nullptr && n < run.span.count(); n += step) {
    const auto i = static_cast<uint32_t>(n);
    bool skip = true;
    for (uint32_t j = 0; j < step; ++j) skip = skip && flash::Skip(p, p.image[i + j]);
    if (!skip) failed = ProgramAt(p, i, quad);
    if (failed == nullptr && p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      failed = "";
    }
  }
  // The part is left reading array data whatever happened.
  CommandAt(p, 0, 0xFF, p.dev.twp, 10);
  Vpp(bus, false);
  bus.DelayTicks(1000);
  bus.PowerDown();
  if (failed != nullptr && *failed != '\0') {
    p.ReportError(failed);
    p.error = 1;
  }
  FinishProgram(p, run, failed == nullptr);
}

void F4(app::Programmer& p) {
  const std::vector<uint32_t> starts = EraseStarts(p.image.device_size);
  p.SetProcessGauge("Erasing chip 50 Sec", static_cast<int64_t>(starts.size()), 0xFFFFFF);
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Vpp(bus, true);  // the part erases only with 12 V on Vpp, as it programs
  bus.DelayTicks(1000);
  p.error = 0;
  CommandAt(p, 0, 0x50, 5, 10);
  const char* failed = nullptr;
  for (size_t b = 0; failed == nullptr && b < starts.size(); ++b) {
    CommandAt(p, starts[b], 0x20, 5, 0);
    WriteCycle(bus, 0xD0, 5, 500);
    uint8_t sr = 0;
    const Poll end = PollStatus(p, kEraseBoundNs, sr);
    if (end == Poll::kCancelled) {
      failed = "";
      break;
    }
    if (end == Poll::kTimedOut) sr |= kEraseError;
    failed = EraseFailure(sr);
    if (failed == nullptr) p.Refresh(static_cast<int64_t>(b));
  }
  CommandAt(p, 0, 0xFF, 5, 10);  // read array, whatever happened
  Vpp(bus, false);
  bus.DelayTicks(200);
  bus.PowerDown();
  if (failed != nullptr && *failed != '\0') {
    p.ReportError(failed);
    p.error = 1;
  }
  if (failed == nullptr) p.Message("erase completed", hw::kResult);
}

void F5(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  CommandAt(p, 0, 0x50, 5, 1000);
  WriteCycle(bus, 0x90, 5, 10);
  LoadAddress(p, 0);
  bus.DelayTicks(100);
  bus.DelayTicks(3);
  const uint8_t manufacturer = ReadHere(bus);
  LoadAddress(p, 1);
  bus.DelayTicks(100);
  bus.DelayTicks(3);
  const uint8_t device = ReadHere(bus);
  bus.DelayTicks(500);
  CommandAt(p, 0, 0xFF, 5, 10);  // read array
  bus.PowerDown();
  app::LookupChipId(p, manufacturer, device);
}

}  // namespace families::fwh
