// The AT90S primitives and chip operations, in the order the datasheet's
// parallel programming section gives the steps.
#include "families/mcu/avr_ops.h"

#include "families/mcu/adapter_wiring.h"
#include "hw/bus.h"

namespace families::avr {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

constexpr const Commands& c = kCommands;

void Bit(hw::Bus& bus, int n, bool v) {
  bus.SetCtrl(n, v);
  bus.WriteCtrl();
}

// The high address byte stays in the part across commands, so every
// operation loads both halves.
void LoadAddress(Programmer& p, uint32_t address) {
  AvrLoad(p, c.address, static_cast<uint8_t>(address & 0xFF));
  AvrLoad(p, c.address | c.high, static_cast<uint8_t>(address >> 8));
}

}  // namespace

void AvrEnterProgramming(Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kStrobe, true);
  bus.ShiftAddress(0);  // XA1, XA0, BS1 low before RESET rises
  bus.DelayTicks(1000);
  Bit(bus, kStrobe, false);  // 12 V on RESET
  bus.DelayTicks(30000);
}

void AvrLoad(Programmer& p, uint32_t selector, uint8_t byte) {
  hw::Bus& bus = p.bus;
  Bit(bus, kDrive, false);
  bus.DelayTicks(15);
  bus.ShiftAddress(selector | c.load);
  bus.DelayTicks(15);
  Bit(bus, kDrive, true);
  bus.DelayTicks(15);
  bus.WriteBusByte(mcu::ToAdapter(byte, p.dev.avr.new_adapter));
  bus.DelayTicks(150);
  Bit(bus, kProgram, true);  // XTAL1 high
  bus.DelayTicks(30);
  Bit(bus, kProgram, false);
  bus.DelayTicks(80);
}

void AvrWritePulse(Programmer& p, uint32_t bs1, int width) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(c.write | bs1);
  bus.DelayTicks(5);
  Bit(bus, kDrive, true);
  bus.DelayTicks(5);
  Bit(bus, kProgram, true);  // /WR low
  bus.DelayTicks(width);
  Bit(bus, kProgram, false);
  bus.DelayTicks(15);
}

uint8_t AvrReadByte(Programmer& p, uint32_t bs1) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(c.read | bs1);
  bus.DelayTicks(5);
  Bit(bus, kProgram, true);  // /OE low
  bus.DelayTicks(5);
  const uint8_t b = mcu::FromAdapter(bus.ReadDataByte(), p.dev.avr.new_adapter);
  bus.DelayTicks(5);
  Bit(bus, kProgram, false);
  bus.DelayTicks(10);
  return b;
}

void ChipErase(Programmer& p) {
  hw::Bus& bus = p.bus;
  AvrLoad(p, c.command, c.chip_erase);
  Bit(bus, kDrive, false);
  bus.DelayTicks(20);
  bus.ShiftAddress(c.write);
  bus.DelayTicks(20);
  Bit(bus, kDrive, true);
  bus.DelayTicks(50);
  Bit(bus, kProgram, true);  // /WR low for the whole erase
  bus.DelayTicks(c.erase_pulse);
  Bit(bus, kProgram, false);
  bus.DelayTicks(30000);
}

void WriteFlashWord(Programmer& p, uint32_t word, uint8_t lo, uint8_t hi) {
  AvrLoad(p, c.command, c.write_flash);
  LoadAddress(p, word);
  AvrLoad(p, c.data, lo);
  AvrWritePulse(p, 0);
  p.bus.DelayTicks(c.flash_wait);
  AvrLoad(p, c.data, hi);
  AvrWritePulse(p, c.high);
  p.bus.DelayTicks(c.flash_wait);
}

void WriteEepromByte(Programmer& p, uint32_t address, uint8_t byte) {
  AvrLoad(p, c.command, c.write_eeprom);
  LoadAddress(p, address);
  AvrLoad(p, c.data, byte);
  AvrWritePulse(p, 0);
  p.bus.DelayTicks(c.eeprom_wait);
}

std::array<uint8_t, 2> ReadFlashWord(Programmer& p, uint32_t word) {
  AvrLoad(p, c.command, c.read_flash);
  LoadAddress(p, word);
  const uint8_t lo = AvrReadByte(p, 0);
  AvrLoad(p, c.command, c.read_flash);
  LoadAddress(p, word);
  const uint8_t hi = AvrReadByte(p, c.high);
  return {lo, hi};
}

uint8_t ReadEepromByte(Programmer& p, uint32_t address) {
  AvrLoad(p, c.command, c.read_eeprom);
  LoadAddress(p, address);
  return AvrReadByte(p, 0);
}

void WriteFuses(Programmer& p, uint8_t fuse) {
  AvrLoad(p, c.command, c.write_fuse);
  AvrLoad(p, c.data, fuse);
  AvrWritePulse(p, 0, c.fuse_pulse);
  p.bus.DelayTicks(c.fuse_wait);
}

void WriteLocks(Programmer& p, uint8_t lock) {
  AvrLoad(p, c.command, c.write_lock);
  AvrLoad(p, c.data, lock);
  AvrWritePulse(p, 0);
  p.bus.DelayTicks(c.lock_wait);
}

std::array<uint8_t, 3> ReadSignature(Programmer& p) {
  std::array<uint8_t, 3> s{};
  AvrLoad(p, c.command, c.read_signature);
  for (uint8_t i = 0; i < 3; ++i) {
    AvrLoad(p, c.address, i);
    s[i] = AvrReadByte(p, 0);
  }
  Bit(p.bus, kDrive, true);
  return s;
}

uint8_t ReadFuseAndLock(Programmer& p) {
  AvrLoad(p, c.command, c.read_fuse_lock);
  const uint8_t b = AvrReadByte(p, c.high);
  Bit(p.bus, kDrive, true);
  return b;
}

}  // namespace families::avr
