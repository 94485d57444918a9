// E1 and E2: chip erase of the 8-bit parts and of the parts in byte mode,
// completion seen on DQ7.
#include "families/flash/flash_frame.h"
#include "families/flash/jedec.h"
#include "families/flash/jedec_cycle.h"

namespace families::jedec {

using namespace flash;

namespace {

struct ChipErase {
  const char* caption;
  int passes;
  const UnlockSet& unlock;
  const Cycle& cycle;
  int32_t read_settle_after;  // ticks after the read (0: 0.1 us)
  const char* timeout_text;   // nullptr: running out counts as done
};

// Polls DQ7 once every 10000 ticks; true when it rose. Cancel ends it with
// "program interrupted!".
bool WaitForDq7(app::Programmer& p, const ChipErase& e, bool& cancelled) {
  hw::Bus& bus = p.bus;
  for (int i = 0; i < e.passes; ++i) {
    if (p.Refresh(i)) {
      p.ShowProgress(1, 0, 0);
      cancelled = true;
      return false;
    }
    bus.DelayTicks(10000);
    Bit(bus, kDrive, false);
    bus.DelayTicks(10);
    const uint8_t r = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    if (e.read_settle_after == 0) {
      bus.Delay100ns(1);
    } else {
      bus.DelayTicks(e.read_settle_after);
    }
    if ((r & 0x80) != 0) return true;
    ShowSeconds(p, i);
  }
  return false;
}

void Run(app::Programmer& p, const ChipErase& e, bool byte_mode) {
  hw::Bus& bus = p.bus;
  p.SetProcessGauge(e.caption, e.passes, app::colour::kWhite);
  ShowPeak(p, "lbLoopPeak", "  timer ");
  bus.PowerUp();
  if (!byte_mode) Bit(bus, kProgram, false);
  const bool unprotect = TemporaryUnprotect(p);
  Vpp(bus, unprotect);  // 12 V on #RESET lifts sector protection meanwhile
  bus.DelayTicks(byte_mode && !unprotect ? 500 : 1000);
  if (byte_mode) bus.ShiftAddress(0xFFFFFF);
  CommandSequence(bus, e.unlock, {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10}, e.cycle);
  if (byte_mode) bus.DelayTicks(150);
  Bit(bus, kDrive, false);
  bool cancelled = false;
  if (WaitForDq7(p, e, cancelled)) {
    p.Message("erase completed by check DQ7", hw::kResult);
  } else if (!cancelled) {
    if (e.timeout_text == nullptr) {
      p.Message("erase completed by time out", hw::kResult);
    } else {
      p.Message(e.timeout_text, hw::kResult);
      p.error = 1;  // a failure, whatever colour its text has
    }
  }
  bus.PowerDown();
}

}  // namespace

void E1(app::Programmer& p) {
  Run(p, {"erasing chip delay time 40 Sec", 4000, p.dev.unlock, kEraseCycle, 0, nullptr}, false);
}

void E2(app::Programmer& p) {
  Run(p,
      {"Erasing chip (40 sec) ,check DQ6,DQ7", 5000, p.dev.byte_mode_unlock, kByteEraseCycle, 2,
       "Error erasing chip "},
      true);
}

}  // namespace families::jedec
