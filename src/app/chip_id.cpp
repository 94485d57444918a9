#include "app/chip_id.h"

#include <cstdio>

#include "app/family_codes.h"
#include "app/programmer.h"

namespace app {
namespace {

constexpr uint8_t kAtmelSignature = 0x1E;

// " 0x" and at least `digits` upper-case hex digits, the panel's code format.
std::string HexField(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, " 0x%.*X", digits, static_cast<unsigned>(value));
  return text;
}

const ChipManufacturer* FindManufacturer(std::span<const ChipManufacturer> table, uint32_t code) {
  for (const ChipManufacturer& m : table)
    if (m.code == code) return &m;
  return nullptr;
}

// A row keyed by its third signature byte wins over a row that takes any.
const ChipDevice* FindDevice(std::span<const ChipDevice> devices, uint32_t code,
                             std::optional<uint8_t> third) {
  const ChipDevice* any = nullptr;
  for (const ChipDevice& d : devices) {
    if (d.code != code) continue;
    if (d.third < 0) {
      if (any == nullptr) any = &d;
    } else if (third && d.third == *third) {
      return &d;
    }
  }
  return any;
}

// Names and flags from one table; an unknown manufacturer gives " [----]"
// and no device, a known one with an unknown device an empty device name.
void Resolve(std::span<const ChipManufacturer> table, uint32_t manufacturer, uint32_t device,
             std::optional<uint8_t> third, ChipIdResult& r) {
  r.device_name.clear();
  r.flags = 0;
  r.third_byte.reset();
  const ChipManufacturer* m = FindManufacturer(table, manufacturer);
  if (m == nullptr) {
    r.manufacturer_name = kUnknownManufacturer;
    return;
  }
  r.manufacturer_name = m->name;
  if (const ChipDevice* d = FindDevice(m->devices, device, third)) {
    r.device_name = d->name;
    r.flags = d->flags;
    if (d->third >= 0) r.third_byte = static_cast<uint8_t>(d->third);
  }
}

ChipIdResult Start(ChipIdTable table, uint32_t manufacturer, uint32_t device,
                   const ChipIdExtras& extras) {
  ChipIdResult r;
  r.table = table;
  r.manufacturer_code = manufacturer;
  r.device_code = device;
  r.cfi = CfiStartsWithQry(extras.cfi);
  r.extra = extras.extra;
  return r;
}

}  // namespace

bool CfiStartsWithQry(std::span<const int> cfi) {
  return cfi.size() >= 3 && cfi[0] == 0x51 && cfi[1] == 0x52 && cfi[2] == 0x59;
}

std::string AvrLockModeText(uint8_t lock_byte, bool low_bits) {
  const unsigned lb1 = (lock_byte >> (low_bits ? 1 : 7)) & 1u;
  const unsigned lb2 = (lock_byte >> (low_bits ? 2 : 6)) & 1u;
  if (lb1 != 0) return lb2 != 0 ? " Lockbit Mode 1" : " Lockbit Mode ?";
  return lb2 != 0 ? " Lockbit Mode 2" : " Lockbit Mode 3";
}

std::string ChipIdResult::ManufacturerIdText() const {
  return HexField(manufacturer_code, table == ChipIdTable::kWord ? 4 : 2);
}

std::string ChipIdResult::DeviceIdText() const {
  if (table == ChipIdTable::kWord) return HexField(device_code, 4);
  if (third_byte) return HexField(device_code << 8 | *third_byte, 4);
  return HexField(device_code, 2);
}

ChipIdResult LookupChipId(uint8_t manufacturer, uint8_t device, const ChipIdExtras& extras) {
  ChipIdResult r = Start(ChipIdTable::kByte, manufacturer, device, extras);
  if (extras.family == kMcs51Family || extras.family == kAt89Cx051Family) {
    // A microcontroller signature is looked up among microcontrollers only:
    // a flash name or a flash flag that happens to share the codes would be
    // wrong for the chip in the socket.
    Resolve(McuChipTable(), manufacturer, device, extras.third_byte, r);
    return r;
  }
  if (extras.family == kAvrFamily && manufacturer == kAtmelSignature) {
    r.manufacturer_name = kAvrManufacturer;
    if (extras.third_byte) {
      if (const ChipDevice* d = FindDevice(AvrChipTable(), device, extras.third_byte))
        r.device_name = d->name;
    }
  } else {
    Resolve(ByteChipTable(), manufacturer, device, std::nullopt, r);
  }
  if (extras.family == kAvrFamily && extras.lock_byte) {
    r.lock_byte = extras.lock_byte;
    r.lock_label = kLockByteLabel;
    r.lock_mode = AvrLockModeText(*extras.lock_byte, extras.lock_bits_low);
  }
  return r;
}

ChipIdResult LookupChipId16(uint16_t manufacturer, uint16_t device, const ChipIdExtras& extras) {
  ChipIdResult r = Start(ChipIdTable::kWord, manufacturer, device, extras);
  Resolve(WordChipTable(), manufacturer, device, std::nullopt, r);
  if (extras.lock_byte) {
    r.lock_byte = extras.lock_byte;
    r.lock_label = kLockByteLabel;
  }
  return r;
}

ChipIdResult LookupSpiChipId(uint8_t manufacturer, uint8_t memory_type, uint8_t capacity,
                             const ChipIdExtras& extras) {
  const uint32_t device = static_cast<uint32_t>(memory_type) << 8 | capacity;
  ChipIdResult r = Start(ChipIdTable::kSpi, manufacturer, device, extras);
  Resolve(SpiChipTable(), manufacturer, device, std::nullopt, r);
  if (extras.lock_byte) {
    r.lock_byte = extras.lock_byte;
    r.lock_label = kStatusRegisterLabel;
  }
  return r;
}

void ShowChipId(Programmer& p, const ChipIdResult& id) {
  Descriptor& d = p.dev;
  d.fast_mode_flag = id.Has(chip_flag::kFastMode);
  d.sector_protect_display = id.Has(chip_flag::kSectorProtect);
  if (id.Has(chip_flag::kVcc3v3)) d.vcc_3v3 = true;

  Controls& c = p.controls;
  c.Show("pIDcode");
  const bool lock = id.lock_byte.has_value();
  c.Show("edLockbit", lock);
  c.Show("lbLockbit", lock);
  c.SetText("edLockbit", lock ? HexField(*id.lock_byte, 2) : std::string());
  if (lock) c.SetText("lbLockbit", id.lock_label);
  c.SetText("edLockbit2", "");
  c.SetText("edLockMode", id.lock_mode);
  c.Show("edLockMode");
  // A stale button would open the report of a chip no longer in the socket.
  c.Show("btnCFI", id.cfi);
  c.SetText("edManufacID", id.ManufacturerIdText());
  c.SetText("edDeviceID", id.DeviceIdText());
  c.SetText("edManufacName", id.manufacturer_name);
  c.SetText("edDeviceName", id.device_name);
  std::string extra;
  for (const uint8_t b : id.extra) extra += (extra.empty() ? "" : " ") + HexField(b, 2).substr(1);
  c.SetText("edIdExtra", extra);
  p.host.ControlsChanged();
}

ChipIdResult LookupChipId(Programmer& p, uint8_t manufacturer, uint8_t device,
                          ChipIdExtras extras) {
  extras.family = p.dev.family;
  ChipIdResult r = LookupChipId(manufacturer, device, extras);
  ShowChipId(p, r);
  return r;
}

ChipIdResult LookupChipId16(Programmer& p, uint16_t manufacturer, uint16_t device,
                            ChipIdExtras extras) {
  extras.family = p.dev.family;
  ChipIdResult r = LookupChipId16(manufacturer, device, extras);
  ShowChipId(p, r);
  return r;
}

ChipIdResult LookupSpiChipId(Programmer& p, uint8_t manufacturer, uint8_t memory_type,
                             uint8_t capacity, ChipIdExtras extras) {
  extras.family = p.dev.family;
  ChipIdResult r = LookupSpiChipId(manufacturer, memory_type, capacity, extras);
  ShowChipId(p, r);
  return r;
}

}  // namespace app
