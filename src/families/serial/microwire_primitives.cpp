#include "families/serial/microwire_primitives.h"

#include "families/serial/serial_lines.h"

namespace families::serial {

using hw::ctrl::kDrive;
using hw::ctrl::kPower;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

Microwire Wire93(app::Programmer& p) { return Microwire{p, p.dev.microwire_icsp, 2, false}; }

// Control bit 3 is a line whose level is NOT the bit: cleared, the chip's
// CS is high. The ICSP connector takes the strobe line the same way.
void Microwire::Select() { CtrlBit(p.bus, icsp ? kStrobe : kProgram, select_on_set); }
void Microwire::Deselect() { CtrlBit(p.bus, icsp ? kStrobe : kProgram, !select_on_set); }

void Microwire::MwSendBit(bool b) {
  hw::Bus& bus = p.bus;
  DataBit(bus, kSerialData, icsp ? b : !b);
  bus.DelayTicks(phase);
  DataBit(bus, kSerialClock, true);
  bus.DelayTicks(phase);
  DataBit(bus, kSerialData, true);  // DI register bit set
  bus.DelayTicks(phase);
  DataBit(bus, kSerialClock, false);
}

void Microwire::MwSendFrame(uint32_t v, int length) {
  for (int bit = length - 1; bit >= 0; --bit) MwSendBit(((v >> bit) & 1) != 0);
}

void Microwire::MwSendByte(uint8_t v) { MwSendFrame(v, 8); }

bool Microwire::MwReadBit() {
  hw::Bus& bus = p.bus;
  bus.DelayTicks(phase);
  DataBit(bus, kSerialClock, true);
  bus.DelayTicks(phase);
  const uint8_t status = bus.ReadStatus();
  bus.DelayTicks(phase);
  DataBit(bus, kSerialClock, false);
  return (status & kStatusIn) == 0;
}

uint8_t Microwire::MwReadByte() {
  DataBit(p.bus, kSerialClock, false);
  uint8_t v = 0;
  for (int bit = 0; bit < 8; ++bit) v = static_cast<uint8_t>(v << 1 | (MwReadBit() ? 1 : 0));
  DataBit(p.bus, kSerialClock, false);
  return v;
}

void Microwire::MwCsPulse(int32_t ticks) {
  if (!icsp) {
    p.bus.ProgramPulse(ticks);  // control bit 3 set, then cleared: deselect, reselect
    return;
  }
  Deselect();
  p.bus.DelayTicks(ticks);
  Select();
  p.bus.DelayTicks(ticks);
}

void MwPowerUp(Microwire& mw, int32_t wait) {
  hw::Bus& bus = mw.p.bus;
  bus.SetCtrl(kDrive, true);
  bus.SetData(kSerialData, true);  // DI at rest
  bus.SetData(kSerialClock, false);
  bus.SetCtrl(mw.icsp ? kStrobe : kProgram, true);  // deselected
  bus.WriteCtrl();
  bus.WriteData();
  if (mw.icsp) bus.DelayTicks(100);
  CtrlBit(bus, kPower, true);
  bus.DelayTicks(mw.icsp ? 4000 : wait);
}

}  // namespace families::serial
