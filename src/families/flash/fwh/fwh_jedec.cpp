// F6 to F8: the JEDEC-style firmware hubs (family 35). Every command cycle
// loads its address with the multiplexed load: the part takes an address
// only on R/C# edges, so shifting the board's registers between cycles (the
// fast form of the byte-wide parts) would leave it at the first unlock
// address and no command would reach it.
#include "app/chip_id.h"
#include "families/flash/flash_devices.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/fwh/fwh_bus.h"

namespace families::fwh {

namespace {

constexpr int kErasePasses = 4800;  // of 10000 ticks each: 40 s
// The longest byte program of the listed parts is 50 us; a byte still
// different after this long failed.
constexpr int64_t kProgramBoundNs = 1'000'000;

bool Smart(const app::Programmer& p) { return p.controls.Checked("cbSamartProg"); }

// A JEDEC command: the bytes to the standard unlock set's addresses, each
// cycle loading its address in full.
void Command(app::Programmer& p, std::initializer_list<uint8_t> bytes, int32_t pulse,
             int32_t pause) {
  size_t i = 0;
  for (const uint8_t byte : bytes) {
    CommandAt(p, flash::kStandardUnlock[i++ % flash::kStandardUnlock.size()], byte, pulse, pause);
  }
}

// Data polling of the byte just written: it reads as itself once the part
// is done (DQ7 is its complement until then).
uint8_t PollByte(app::Programmer& p, uint8_t d) {
  flash::PollBound bound(p, kProgramBoundNs);
  for (;;) {
    const uint8_t r = ReadHere(p.bus);
    if (r == d || bound.Expired()) return r;
  }
}

}  // namespace

void F6(app::Programmer& p) {
  const flash::ProgramRun run = flash::BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  // Smart program: the command cycles without their pause and the read-back
  // without the byte-program wait (data polling ends it as soon as the part
  // is done).
  const bool smart = Smart(p);
  const int32_t pause = smart ? 0 : 2;
  const int32_t settle = smart ? 0 : p.dev.twc;
  bus.PowerUp();
  p.error = 0;
  CommandAt(p, 0, 0xF0, p.dev.twp, 10);
  bool ok = true;
  for (uint64_t n = 0; ok && n < run.span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint8_t d = p.image[i];
    if (!flash::Skip(p, d)) {
      Command(p, {0xAA, 0x55, 0xA0}, p.dev.twp, pause);
      LoadAddress(p, ChipAddressOf(p, i));
      WriteCycle(bus, d, 1, settle);
      const uint8_t r = PollByte(p, d);
      if (r != d) {
        p.ReportMismatch(i, 0, r);
        p.error = 1;
        ok = false;
        break;
      }
    }
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      ok = false;
    }
  }
  CommandAt(p, 0, 0xF0, p.dev.twp, 10);  // read array, whatever happened
  bus.PowerDown();
  FinishProgram(p, run, ok);
}

void F7(app::Programmer& p) {
  p.SetProcessGauge("erasing chip delay time 40 Sec", kErasePasses, 0xFFFFFF);
  flash::ShowPeak(p, "lbLoopPeak", "  timer ");
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  p.error = 0;
  Command(p, {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10}, p.dev.twp, 10);
  LoadAddress(p, 0);
  bool done = false;
  for (int pass = 0; pass < kErasePasses && !done; ++pass) {
    p.Refresh(pass);
    if (flash::Pump(p)) {
      CommandAt(p, 0, 0xF0, p.dev.twp, 10);
      bus.PowerDown();
      p.ShowProgress(1, 0, 0);
      return;
    }
    bus.DelayTicks(10000);
    // DQ7: 0 while the erase runs, the erased cell's 1 after.
    if ((ReadHere(bus) & 0x80) != 0) {
      done = true;
    } else {
      flash::ShowSeconds(p, pass);
    }
  }
  CommandAt(p, 0, 0xF0, p.dev.twp, 10);
  bus.PowerDown();
  if (done) {
    p.Message("erase completed by check DQ7", hw::kResult);
  } else {
    // DQ7 never rose: the part is not known to be erased.
    p.Message("erase completed by time out", hw::kError);
    p.error = 1;
  }
}

void F8(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Command(p, {0xAA, 0x55, 0x90}, p.dev.twp, 10);
  bus.DelayTicks(100);
  LoadAddress(p, 0);
  bus.DelayTicks(50);
  const uint8_t manufacturer = ReadHere(bus);
  bus.DelayTicks(5);
  LoadAddress(p, 1);
  bus.DelayTicks(10);
  const uint8_t device = ReadHere(bus);
  bus.DelayTicks(5000);
  CommandAt(p, 0, 0xF0, p.dev.twp, 10);  // read array
  bus.PowerDown();
  app::LookupChipId(p, manufacturer, device);
}

}  // namespace families::fwh
