// The JEDEC command write the EEPROM routines share, and the two commands
// that are nothing but a sequence and a wait: chip erase and the product
// identification.
#include <cstdio>
#include <string>
#include <vector>

#include "app/chip_id.h"
#include "app/programmer.h"
#include "families/parallel/eeprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::eeprom {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using uv_eprom::Bit;
using uv_eprom::Wait;

void CommandWrite(app::Programmer& p, uint32_t address, uint8_t value, WriteTiming timing) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);  // OE# high, the port drives the bus
  bus.WriteBusByte(value);
  Wait(bus, timing.settle);
  Bit(bus, kProgram, true);  // WE# low
  Wait(bus, timing.pulse);
  Bit(bus, kProgram, false);  // WE# high: the part takes the byte
  Wait(bus, timing.after);
}

void SendCommand(app::Programmer& p, std::span<const uint8_t> bytes, WriteTiming timing,
                 bool scramble) {
  for (size_t n = 0; n < bytes.size(); ++n) {
    const uint32_t address = p.dev.unlock[n];
    CommandWrite(p, scramble ? hw::Bus::ScrambleAddress(address) : address, bytes[n], timing);
  }
}

namespace {

constexpr int kEraseSteps = 3000;  // polls of DQ7, 25 ms apart

}  // namespace

void ChipErase(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  p.controls.Show("pProcess");
  p.SetProcessGauge("erasing chip delay time 60 Sec", kEraseSteps, app::colour::kRed);
  bus.PowerUp();
  bus.ShiftAddress(0xFFFF);
  bus.DelayTicks(200);
  // The data settles on the bus before WE# falls.
  SendCommand(p, kChipErase, {.settle = 2, .pulse = 3, .after = 0}, false);
  bus.DelayTicks(300000);
  Bit(bus, kDrive, true);

  bool done = false;
  bool cancelled = false;
  for (int k = 0; k < kEraseSteps; ++k) {
    if (p.Refresh(k)) {
      p.ShowProgress(1, 0, 0);
      cancelled = true;
      break;
    }
    bus.DelayTicks(30000);
    Bit(bus, kDrive, false);  // OE# low: DQ7 reads 1 once the erase is over
    bus.DelayTicks(10);
    const uint8_t r = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    if (r & 0x80) {
      p.Message("erase completed by check DQ7", hw::kResult);
      done = true;
      break;
    }
    // The text counts 0.01 s a step, though a step takes about 25 ms.
    char text[32];
    std::snprintf(text, sizeof text, " %0.1f Sec", k * 0.01);
    p.controls.SetText("pLoopp", text);
    p.host.ControlsChanged();
  }
  if (!done && !cancelled) {
    // The same words the Intel command-set flash uses, in the same kind.
    p.Message("erase Chip Fail (Time Out)", hw::kResult);
    p.error = 1;
  }
  bus.PowerDown();
}

namespace {

// The identification bytes at `addresses`, read with the standard cycle.
std::vector<uint8_t> ReadCodes(app::Programmer& p, std::initializer_list<uint32_t> addresses) {
  std::vector<uint8_t> codes;
  for (const uint32_t a : addresses) codes.push_back(p.bus.ReadCycle(a, 5));
  return codes;
}

}  // namespace

void ReadId3(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  bus.DelayTicks(100);
  bus.WriteData();
  SendCommand(p, kIdEntry3, {.settle = 1, .pulse = 2, .after = 5}, false);
  bus.DelayTicks(1000);
  // Manufacturer, device, and the two boot blocks' lockout status (the
  // upper block's sits 14 bytes below the top of any size).
  const std::vector<uint8_t> codes = ReadCodes(p, {0, 1, 2, 0xFFFFF2});
  bus.DelayTicks(10);
  SendCommand(p, kIdExit, {.pulse = 2}, false);
  bus.DelayTicks(1000);
  bus.PowerDown();
  app::ChipIdExtras extras;
  extras.extra = {codes[2], codes[3]};
  app::LookupChipId(p, codes[0], codes[1], extras);
}

void ReadId6(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.DelayTicks(1000);
  bus.ShiftAddress(0xFFFFFF);
  SendCommand(p, kIdEntry6, {.pulse = 2}, false);
  bus.DelayTicks(10000);
  const std::vector<uint8_t> codes = ReadCodes(p, {0, 1});
  bus.DelayTicks(10);
  SendCommand(p, kIdExit, {.pulse = 2}, false);
  bus.DelayTicks(10000);
  bus.PowerDown();
  app::LookupChipId(p, codes[0], codes[1]);
}

}  // namespace families::eeprom
