#include "families/flash/fwh/fwh_bus.h"

#include "families/flash/fwh/fwh.h"

namespace families::fwh {

constexpr int kIntelHub = 34;

void LoadAddress(app::Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  Bit(bus, kPower, false);  // R/C# low: the row is taken
  Wait(bus, p.dev.rc_time);
  bus.ShiftAddress(address >> 11);
  Bit(bus, kDrive, true);
  bus.DelayTicks(2);
  Bit(bus, kPower, true);  // R/C# high: the column is taken
  bus.DelayTicks(20);
}

void WriteCycle(hw::Bus& bus, uint8_t byte, int32_t pulse, int32_t pause) {
  bus.PutData(byte, 0);
  bus.Delay100ns(2);
  bus.ProgramPulse(pulse);
  Wait(bus, pause);
}

void CommandAt(app::Programmer& p, uint32_t address, uint8_t byte, int32_t pulse, int32_t pause) {
  LoadAddress(p, address);
  WriteCycle(p.bus, byte, pulse, pause);
}

uint8_t ReadHere(hw::Bus& bus) {
  bus.WriteData();  // the byte goes off the data register before the bus is released
  Bit(bus, kDrive, false);
  bus.Delay100ns(2);
  const uint8_t b = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  return b;
}

void FinishProgram(app::Programmer& p, const flash::ProgramRun& run, bool ok) {
  if (ok && p.error == 0) {
    p.verify_after_program = 1;
    Verify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.image.data_end = run.kept_data_end;
}

uint8_t ReadArrayCode(const app::Programmer& p) { return p.dev.family == kIntelHub ? 0xFF : 0xF0; }

}  // namespace families::fwh
