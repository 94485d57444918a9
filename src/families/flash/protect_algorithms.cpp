// The protect and unprotect algorithms of the two families the sector
// panel changes: the MXIC command form (type 27) and the in-system
// algorithm of the LV parts with 12 V on #RESET (type 47).
#include "families/flash/flash_frame.h"
#include "families/flash/flash_id.h"
#include "families/flash/jedec_cycle.h"
#include "families/flash/protect.h"

namespace families::flash {
namespace {

// --- MXIC ---------------------------------------------------------------------------------

// Each cycle of the protect command: 4 ticks around every step.
constexpr Cycle kMxicCycle{
    .before_drive = 4, .data_settle = 4, .before_strobe = 4, .pulse = 4, .pause = 4};
constexpr int kMxicAttempts = 32;
constexpr uint32_t kMxicA9 = 0x200;
constexpr uint32_t kMxicUnprotectAddress = 0x240;  // A9 and A6
constexpr int32_t kMxicUnprotectPulse = 2000;

void MxicCommand(app::Programmer& p) {
  CommandSequence(p.bus, p.dev.unlock, {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x20}, kMxicCycle);
}

// --- LV in-system ------------------------------------------------------------------------

// In byte mode board bit 0 is A-1: the part's A1 is board bit 2, A6 bit 7.
constexpr uint32_t kLvProtectOffset = 0x04;    // A6 = 0, A1 = 1, A0 = 0
constexpr uint32_t kLvUnprotectOffset = 0x84;  // A6 = 1, A1 = 1, A0 = 0
constexpr Cycle kLvCycle{.before_drive = 1, .before_strobe = 1, .pulse = 2, .pause = 2};
// The algorithm's limits and waits: 25 protect pulses of 150 us, 1000
// unprotect pulses of 15 ms, 1 us after #RESET reaches 12 V.
constexpr int kLvProtectPulses = 25;
constexpr int kLvUnprotectPulses = 1000;
constexpr int32_t kLvProtectWait = 180;      // 150.9 us
constexpr int32_t kLvUnprotectWait = 17900;  // 15.0 ms
constexpr int32_t kLvResetSetup = 2;         // 1.7 us

void LvEnter(app::Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.DelayTicks(100);
  Vpp(bus, true);
  bus.DelayTicks(kLvResetSetup);
  CommandCycle(bus, address, 0x60, kLvCycle);  // opens the in-system mode
}

void LvLeave(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Vpp(bus, false);
  bus.DelayTicks(kLvResetSetup);
  CommandCycle(bus, 0, 0xF0, kLvCycle);
  bus.PowerDown();
}

// Verify: 40 at the address, then the status read there.
uint8_t LvVerify(hw::Bus& bus, uint32_t address) {
  CommandCycle(bus, address, 0x40, kLvCycle);
  bus.DelayTicks(1);
  return ReadAt(bus, address);
}

}  // namespace

bool MxicProtectSector(app::Programmer& p, uint32_t sector) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.DelayTicks(100);
  bool done = false;
  for (int attempt = 0; attempt < kMxicAttempts && !done; ++attempt) {
    MxicCommand(p);
    bus.ShiftAddress(sector | kMxicA9);
    bus.DelayTicks(4);
    Bit(bus, kDrive, true);
    Bit(bus, kProgram, false);
    bus.DelayTicks(5);
    bus.ProgramPulse(4);
    bus.DelayTicks(1000);
    Bit(bus, kDrive, false);
    bus.DelayTicks(10);
    done = ReadAt(bus, sector + 2) == 1;
  }
  bus.PowerDown();
  return done;
}

void MxicUnprotectChip(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.DelayTicks(100);
  MxicCommand(p);
  bus.ShiftAddress(kMxicUnprotectAddress);
  bus.DelayTicks(4);
  Bit(bus, kDrive, true);
  bus.DelayTicks(5);
  bus.ProgramPulse(kMxicUnprotectPulse);
  bus.DelayTicks(10);
  bus.PowerDown();
}

bool LvProtectSector(app::Programmer& p, uint32_t sector) {
  hw::Bus& bus = p.bus;
  const uint32_t address = sector | kLvProtectOffset;
  LvEnter(p, address);
  bool done = false;
  for (int pulse = 0; pulse < kLvProtectPulses && !done; ++pulse) {
    CommandCycle(bus, address, 0x60, kLvCycle);
    bus.DelayTicks(kLvProtectWait);
    done = LvVerify(bus, address) == 0x01;
  }
  LvLeave(p);
  return done;
}

void LvUnprotectChip(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const std::vector<uint32_t> starts = DeviceSectorStarts(p);
  if (starts.size() < 2) return;
  LvEnter(p, starts[0] | kLvUnprotectOffset);
  for (int pulse = 0; pulse < kLvUnprotectPulses; ++pulse) {
    CommandCycle(bus, starts[0] | kLvUnprotectOffset, 0x60, kLvCycle);
    bus.DelayTicks(kLvUnprotectWait);
    // Every sector in turn must read 00; one that does not wants another pulse.
    bool all = true;
    for (size_t s = 0; s + 1 < starts.size() && all; ++s) {
      all = LvVerify(bus, starts[s] | kLvUnprotectOffset) == 0x00;
    }
    if (all || Pump(p)) break;
  }
  LvLeave(p);
}

}  // namespace families::flash
