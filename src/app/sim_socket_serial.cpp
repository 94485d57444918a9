// The serial memories' chip models, by family type code and device code.
#include "app/sim_socket_serial.h"

#include "app/programmer.h"
#include "sim/serial_parts.h"

namespace app {
namespace {

struct MicrowirePart {
  int first, last;      // device codes
  int address_bits_x8;  // the part's frame address width organised by 8 bits
  bool has_org;         // an ORG pin; the AT59C and CAT35C are 8 bits only
};

// 93C06..93C86 by both organisations, AT59C11/22/13, CAT35C102/104/108.
constexpr MicrowirePart kMicrowireParts[] = {
    {1, 3, 7, true},      {4, 4, 9, true},       {5, 5, 8, true},       {6, 6, 9, true},
    {7, 8, 11, true},     {9, 10, 7, true},      {11, 12, 9, true},     {13, 14, 11, true},
    {200, 201, 9, false}, {202, 202, 10, false}, {203, 203, 11, false}, {301, 301, 8, false},
    {302, 302, 9, false}, {303, 303, 11, false},
};

std::unique_ptr<sim::Chip> MakeI2c(const Programmer& p) {
  const int tag = p.dev.device_code;
  sim::I2cPart part = sim::I2cPart::kOneByte;
  if (p.dev.family == 39) {
    part = sim::I2cPart::kX24C01;
  } else if (p.dev.family == 2) {
    part = sim::I2cPart::kTwoByte;
  } else if (tag == 221 || tag == 402) {
    part = sim::I2cPart::kSde2526;
  }
  return std::make_unique<sim::I2cEeprom>(
      sim::I2cPartConfig(part, p.image.full_device_size, p.dev.page_size));
}

std::unique_ptr<sim::Chip> MakeMicrowire(const Programmer& p) {
  const Descriptor& d = p.dev;
  int bits = d.microwire.address_bits + (d.microwire.word_mode ? 1 : 0);
  bool has_org = true;
  for (const MicrowirePart& part : kMicrowireParts) {
    if (d.device_code >= part.first && d.device_code <= part.last) {
      bits = part.address_bits_x8;
      has_org = part.has_org;
    }
  }
  // The ORG strap is wired for the mode the panel shows.
  const bool org16 = has_org && d.microwire.word_mode;
  return std::make_unique<sim::MicrowireEeprom>(
      sim::MicrowirePartConfig(p.image.full_device_size, bits, org16, d.microwire_icsp));
}

std::unique_ptr<sim::Chip> MakeCat64(const Programmer& p) {
  return std::make_unique<sim::Cat64Chip>(
      sim::Cat64PartConfig(p.image.full_device_size, p.dev.cat64_shift));
}

std::unique_ptr<sim::Chip> MakeNvram(const Programmer& p) {
  return std::make_unique<sim::NvramChip>(sim::NvramPartConfig(p.dev.nvram_words));
}

std::unique_ptr<sim::Chip> MakeSpiEeprom(const Programmer& p) {
  return std::make_unique<sim::SpiEeprom>(
      sim::SpiEepromPartConfig(p.image.full_device_size, p.dev.page_size, p.dev.device_code > 200));
}

std::unique_ptr<sim::Chip> MakeSpiFlash(const Programmer& p) {
  const Descriptor::Spi& spi = p.dev.spi;
  sim::SpiFlashKind kind = sim::SpiFlashKind::kStandard;
  if (spi.series45) {
    kind = sim::SpiFlashKind::kDataFlash;
  } else if (spi.aai) {
    kind = sim::SpiFlashKind::kSst;
  } else if (spi.id_read == 0x15) {
    kind = sim::SpiFlashKind::kAt25f;
  } else if (p.dev.device_code == 302) {
    kind = sim::SpiFlashKind::kEeprom;  // 25LC1024
  }
  return std::make_unique<sim::SpiFlash>(
      sim::SpiFlashPartConfig(p.controls.Text("edDevice"), p.image.full_device_size,
                              p.dev.page_size, kind, spi.aai ? spi.aai_program : 0));
}

}  // namespace

std::unique_ptr<sim::Chip> MakeSerialChip(const Programmer& p) {
  switch (p.dev.family) {
    case 1:
    case 2:
    case 39:
      return MakeI2c(p);
    case 8:
    case 51:
      return MakeMicrowire(p);
    case 32:
      return MakeCat64(p);
    case 52:
      return MakeNvram(p);
    case 6:
      return MakeSpiEeprom(p);
    case 57:
      return MakeSpiFlash(p);
    default:
      return nullptr;
  }
}

}  // namespace app
