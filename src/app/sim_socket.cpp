#include "app/sim_socket.h"

#include <initializer_list>

#include "app/programmer.h"
#include "app/sim_socket_eeprom.h"
#include "app/sim_socket_flash.h"
#include "app/sim_socket_serial.h"
#include "app/sim_socket_wide.h"
#include "sim/eprom_parts.h"
#include "sim/rom_chip.h"

namespace app {
namespace {

using sim::ProgramPin;
using sim::VppPin;

// The datasheet part each catalogue code stands for.
struct EpromCode {
  int family;
  int first, last;  // device codes
  std::string_view part;
};

constexpr EpromCode kCodes[] = {
    // 27Cxxx
    {0, 215, 215, "27C16"},
    {0, 201, 201, "27C32"},
    {0, 202, 202, "27C64"},
    {0, 203, 203, "27C128"},
    {0, 204, 204, "27C256"},
    {0, 205, 205, "27C512"},
    {0, 206, 206, "27C010"},
    {0, 207, 207, "27C020"},
    {0, 208, 208, "27C040"},
    {0, 209, 210, "27C080"},
    {0, 301, 301, "27C1024"},
    {0, 311, 311, "27C1024"},
    {0, 302, 302, "27C2048"},
    {0, 303, 303, "27C4096"},
    {0, 401, 401, "27C400"},
    {0, 402, 402, "27C800"},
    {0, 403, 403, "27C160"},
    {0, 404, 404, "27C322"},
    // M87C256 and the codes that share its routines
    {33, 501, 501, "M87C256"},
    {33, 701, 707, "M87C256"},
    // 27xxx NMOS
    {13, 101, 101, "2716"},
    {13, 102, 102, "2732"},
    {13, 103, 103, "2764"},
    {13, 104, 104, "27128"},
    {13, 105, 105, "27256"},
    {13, 106, 106, "27512"},
    {13, 107, 107, "27010"},
    {13, 108, 108, "27020"},
    {13, 109, 109, "27040"},
    // Electrically erasable EPROMs
    {23, 1, 1, "W27C256"},
    {23, 2, 2, "W27C512"},
    {23, 3, 3, "W27C010"},
    {23, 4, 4, "W27C020"},
    {23, 5, 5, "W27C040"},
    {48, 101, 104, "SST37VF"},
};

// Families with a model of their own, by family type code.
struct SocketFactory {
  std::initializer_list<int> families;
  std::unique_ptr<sim::Chip> (*make)(const Programmer& p);
};
const SocketFactory kFactories[] = {
    {{5, 7, 9, 21}, &MakeEepromChip},
    {{19, 20}, &MakeRamChip},
    {{30}, &MakeMx26Chip},
    {{1, 2, 6, 8, 32, 39, 51, 52, 57}, &MakeSerialChip},
    {{10, 11, 28, 29}, &MakeMcuChip},
    {{14}, &MakeAvrChip},
    {{16, 17, 18, 53}, &MakePicChip},
    {{36}, &MakePic18Chip},
    {{34, 35, 44, 45, 56}, &MakeWideChip},
};

}  // namespace

sim::EpromConfig EpromConfigFor(int family, int device_code, uint32_t size, bool separate_vpp,
                                bool read_level) {
  for (const EpromCode& code : kCodes) {
    if (code.family == family && device_code >= code.first && device_code <= code.last) {
      return sim::ConfigOf(*sim::FindEpromPart(code.part), size);
    }
  }
  // The catalogue's flags say as much: the read level flag marks a PGM pin
  // of its own, the separate Vpp flag a Vpp pin of its own, 2 KB the 2716.
  sim::EpromConfig config =
      sim::ConfigOf(*sim::FindEpromPart(family == 13 ? "27256" : "27C256"), size);
  config.program_pin = ProgramPin::kChipEnable;
  if (size == 2048) {
    config.program_pin = ProgramPin::kActiveHigh;
  } else if (read_level) {
    config.program_pin = ProgramPin::kSeparate;
  }
  config.vpp_pin = (separate_vpp || read_level || size == 2048) ? VppPin::kOwn : VppPin::kShared;
  config.wide = family == 0 && device_code > 300 && device_code <= 500;
  return config;
}

namespace {

using ChipFactory = std::unique_ptr<sim::Chip> (*)(const Programmer&);

}  // namespace

std::unique_ptr<sim::Chip> MakeSimChip(const Programmer& p) {
  const uint32_t size = p.image.full_device_size;
  if (size == 0) return nullptr;
  const int family = p.dev.family;
  if (family == 0 || family == 13 || family == 33 || family == 23 || family == 48) {
    return std::make_unique<sim::EpromChip>(
        EpromConfigFor(family, p.dev.device_code, size, p.dev.separate_vpp, p.dev.read_level));
  }
  for (const SocketFactory& factory : kFactories) {
    for (const int f : factory.families) {
      if (f != family) continue;
      if (std::unique_ptr<sim::Chip> chip = factory.make(p)) return chip;
    }
  }
  // The parallel flash families, by the part each catalogue entry names.
  if (std::unique_ptr<sim::Chip> flash = MakeFlashChip(p)) return flash;
  return std::make_unique<sim::RomChip>(size);
}

}  // namespace app
