#include "families/serial/spi_primitives.h"

#include "families/serial/serial_lines.h"

namespace families::serial {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;

Spi SpiEepromLines(app::Programmer& p) { return Spi{p, false, p.dev.spi.clock_stretch}; }
Spi SpiFlashLines(app::Programmer& p) { return Spi{p, true, 0}; }

void Spi::SpiSelect() { CtrlBit(p.bus, kProgram, true); }
void Spi::SpiDeselect() { CtrlBit(p.bus, kProgram, false); }

void Spi::SpiSendBit(bool b) {
  hw::Bus& bus = p.bus;
  DataBit(bus, kSerialData, !b);
  bus.DelayTicks(flash ? 3 : s + 3);
  DataBit(bus, kSerialClock, true);
  bus.DelayTicks(flash ? 3 : s + 3);
  DataBit(bus, kSerialClock, false);
  bus.DelayTicks(flash ? 3 : s + 2);
}

void Spi::SpiSendByte(uint8_t v) {
  DataBit(p.bus, kSerialClock, false);
  for (int bit = 7; bit >= 0; --bit) SpiSendBit(((v >> bit) & 1) != 0);
}

bool Spi::SpiReadBit() {
  hw::Bus& bus = p.bus;
  if (flash) {
    const uint8_t status = bus.ReadStatus();  // SO before the rising edge
    DataBit(bus, kSerialClock, true);
    bus.DelayTicks(3);
    DataBit(bus, kSerialClock, false);
    bus.DelayTicks(3);
    return (status & kStatusIn) == 0;
  }
  bus.DelayTicks(s + 3);
  DataBit(bus, kSerialClock, true);
  bus.DelayTicks(s + 3);
  const uint8_t status = bus.ReadStatus();
  bus.DelayTicks(s + 3);
  DataBit(bus, kSerialClock, false);
  return (status & kStatusIn) == 0;
}

uint8_t Spi::SpiReadByte() {
  uint8_t v = 0;
  for (int bit = 0; bit < 8; ++bit) v = static_cast<uint8_t>(v << 1 | (SpiReadBit() ? 1 : 0));
  return v;
}

void Spi::SendOpcodeAddress(uint8_t opcode, uint32_t address) {
  SpiSendByte(opcode);
  SpiSendByte(static_cast<uint8_t>(address >> 16));
  SpiSendByte(static_cast<uint8_t>(address >> 8));
  SpiSendByte(static_cast<uint8_t>(address));
}

void Spi::PowerDown() {
  hw::Bus& bus = p.bus;
  DataBit(bus, kSerialData, false);  // SI low
  bus.DelayTicks(s + 3);
  DataBit(bus, kSerialClock, false);
  bus.DelayTicks(s + 3);
  CtrlBit(bus, kProgram, true);
  bus.DelayTicks(s + 3);
  CtrlBit(bus, kDrive, true);
  bus.DelayTicks(s + 3);
  bus.PowerDown();
}

}  // namespace families::serial
