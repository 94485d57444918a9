// G1 to G3: autoselect, the identification codes, the CFI query.
#include "families/flash/flash_frame.h"
#include "families/flash/flash_id.h"
#include "families/flash/jedec.h"
#include "families/flash/jedec_cycle.h"

namespace families::jedec {

using namespace flash;
using IdExtra = app::Descriptor::IdExtra;

namespace {

// 0x98 to the CFI query address: 4 ticks before the byte, 5 before a
// 5-tick WE# pulse, 200 ticks to settle.
void CfiQuery(hw::Bus& bus, uint32_t address) {
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.DelayTicks(4);
  bus.WriteBusByte(0x98);
  bus.DelayTicks(5);
  bus.ProgramPulse(5);
  bus.DelayTicks(200);
}

// The single-cycle reset at whatever address the registers hold.
void Reset(hw::Bus& bus, int32_t pulse, int32_t before) {
  Bit(bus, kDrive, true);
  Wait(bus, before);
  bus.WriteBusByte(0xF0);
  bus.ProgramPulse(pulse);
  bus.DelayTicks(200);
}

}  // namespace

void G1(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.DelayTicks(100);
  bus.ShiftAddress(0xFFFFFF);
  CommandSequence(bus, p.dev.unlock, {0xAA, 0x55, 0x90}, kAutoselectG1);
  bus.DelayTicks(1000);
  uint8_t id[4];
  for (uint32_t a = 0; a < 4; ++a) {
    bus.SetAddress(a, 0);
    Bit(bus, kDrive, true);
    bus.DelayTicks(1);
    Bit(bus, kDrive, false);
    bus.DelayTicks(1);
    id[a] = bus.ReadDataByte();
    p.dev.id_bytes[a] = id[a];
    bus.DelayTicks(50);
  }
  if (id[0] == 0x7F && id[1] == 0x7F) {
    // A JEDEC continuation code: the codes sit in the next bank.
    bus.DelayTicks(100);
    id[0] = ReadAt(bus, 0x100);
    bus.DelayTicks(100);
    id[1] = ReadAt(bus, 0x101);
  }
  p.dev.id_extra = IdExtra::kFourBytes;
  bus.DelayTicks(100);
  Reset(bus, 2, 1);
  CfiQuery(bus, 0x5555);
  ReadCfiBuffer(p, 0x10, 1);
  bus.PowerDown();  // which also leaves the query mode
  Identify(p, id[0], id[1]);
}

void G2(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  CommandSequence(bus, p.dev.unlock, {0xAA, 0x55, 0x90}, kAutoselectG2);
  bus.DelayTicks(10);
  const uint8_t b0 = ReadAt(bus, 0);
  const uint8_t b1 = ReadAt(bus, 1);
  const uint8_t b2 = ReadAt(bus, 0x100);
  const uint8_t b3 = ReadAt(bus, 0x101);
  // Address 2 twice: the boot-block lock bytes, second read first.
  p.dev.lock_bytes[1] = ReadAt(bus, 2);
  p.dev.lock_bytes[0] = ReadAt(bus, 2);
  p.dev.id_extra = IdExtra::kLockBytes;
  // A part that repeats its data at 0 and 1 keeps its codes at 0x100.
  const bool repeats = b0 == b1;
  bus.DelayTicks(10);
  CommandSequence(bus, p.dev.unlock, {0xAA, 0x55, 0xF0}, kResetG2);
  bus.DelayTicks(10000);
  Reset(bus, 2, 1);
  CfiQuery(bus, 0x55);
  ReadCfiBuffer(p, 0x10, 1);
  bus.PowerDown();
  Identify(p, repeats ? b2 : b0, repeats ? b3 : b1);
}

void G3(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  CommandSequence(bus, p.dev.byte_mode_unlock, {0xAA, 0x55, 0x90}, kAutoselectG3);
  bus.DelayTicks(10);
  uint8_t manufacturer = ReadAt(bus, 0);
  Bit(bus, kDrive, true);
  bus.DelayTicks(10);
  uint8_t device = 0;
  if (manufacturer == 0x7F) {
    // The continuation code: the codes at words 0x100 and 0x101.
    manufacturer = ReadAt(bus, 0x200);
    bus.DelayTicks(10);
    device = ReadAt(bus, 0x202);
  } else {
    device = ReadAt(bus, 2);
  }
  p.dev.id_extra = IdExtra::kNone;
  bus.DelayTicks(100);
  Reset(bus, 2, 0);
  CfiQuery(bus, 0xAAAAA);
  ReadCfiBuffer(p, 0x20, 2);  // the query's bytes sit at even byte addresses
  bus.DelayTicks(4000);
  bus.PowerDown();
  Identify(p, manufacturer, device);
}

}  // namespace families::jedec
