#include "families/flash/flash_id.h"

#include <cstdio>

#include "app/chip_id.h"
#include "families/flash/flash_frame.h"

namespace families::flash {

void Identify(app::Programmer& p, uint8_t manufacturer, uint8_t device) {
  app::ChipIdExtras extras;
  extras.cfi = p.dev.cfi;
  app::LookupChipId(p, manufacturer, device, extras);
  app::Controls& c = p.controls;
  c.Check("cbFujitsu_fastmode", p.dev.fast_mode_flag);
  // The bytes the continuation and repeat forms read besides the codes.
  char text[48] = "";
  const auto& b = p.dev.id_bytes;
  const auto& l = p.dev.lock_bytes;
  switch (p.dev.id_extra) {
    case app::Descriptor::IdExtra::kFourBytes:
      std::snprintf(text, sizeof text, " %02X %02X %02X %02X", b[0], b[1], b[2], b[3]);
      break;
    case app::Descriptor::IdExtra::kLockBytes:
      std::snprintf(text, sizeof text, " Lock %02X %02X", l[0], l[1]);
      break;
    case app::Descriptor::IdExtra::kNone:
      break;
  }
  c.SetText("edLockMode", text);
  p.host.ControlsChanged();
}

uint8_t ReadAt(hw::Bus& bus, uint32_t address) {
  bus.ShiftAddress(address);
  return bus.ReadDataByte();
}

void ReadCfiBuffer(app::Programmer& p, uint32_t first, uint32_t step) {
  hw::Bus& bus = p.bus;
  for (size_t k = 0; k < p.dev.cfi.size(); ++k) {
    bus.ShiftAddress(first + static_cast<uint32_t>(k) * step);
    Bit(bus, kDrive, true);
    bus.DelayTicks(20);
    Bit(bus, kDrive, false);
    bus.DelayTicks(5);
    p.dev.cfi[k] = bus.ReadDataByte();
  }
}

}  // namespace families::flash
