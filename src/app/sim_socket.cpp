#include "app/sim_socket.h"

#include <initializer_list>

#include "app/programmer.h"
#include "sim/rom_chip.h"

namespace app {
namespace {

using sim::ProgramPin;
using sim::VppPin;

constexpr int64_t kUs = 1000;

// Pulse time an ordinary cell needs: the CMOS parts' fast-algorithm pulse,
// shorter for the large parts whose catalogue pulse is shorter, 1 ms for the
// NMOS parts and a long pulse for the NMOS 2716.
struct EpromPart {
  int family;
  int first, last;  // device codes
  ProgramPin program_pin;
  VppPin vpp_pin;
  bool wide;
  int64_t cell_program_ns;
};

constexpr EpromPart kParts[] = {
    // 27Cxxx
    {0, 215, 215, ProgramPin::kActiveHigh, VppPin::kOwn, false, 200 * kUs},     // 27C16
    {0, 201, 201, ProgramPin::kChipEnable, VppPin::kShared, false, 100 * kUs},  // 2732
    {0, 202, 203, ProgramPin::kSeparate, VppPin::kOwn, false, 100 * kUs},       // 27C64/128
    {0, 204, 204, ProgramPin::kChipEnable, VppPin::kOwn, false, 100 * kUs},     // 27C256
    {0, 205, 205, ProgramPin::kChipEnable, VppPin::kShared, false, 100 * kUs},  // 27C512
    {0, 206, 207, ProgramPin::kSeparate, VppPin::kOwn, false, 100 * kUs},       // 27C010/020
    {0, 208, 208, ProgramPin::kChipEnable, VppPin::kOwn, false, 100 * kUs},     // 27C040
    {0, 209, 210, ProgramPin::kChipEnable, VppPin::kShared, false, 45 * kUs},   // 27C080
    {0, 301, 302, ProgramPin::kSeparate, VppPin::kOwn, true, 100 * kUs},        // 27C1024/2048
    {0, 311, 311, ProgramPin::kSeparate, VppPin::kOwn, true, 100 * kUs},        // 27C210
    {0, 303, 303, ProgramPin::kChipEnable, VppPin::kOwn, true, 100 * kUs},      // 27C4096
    {0, 401, 403, ProgramPin::kChipEnable, VppPin::kOwn, true, 50 * kUs},       // 27C400/800/160
    {0, 404, 404, ProgramPin::kChipEnable, VppPin::kShared, true, 50 * kUs},    // 27C322
    // M87C256 and the codes that share its routines
    {33, 501, 501, ProgramPin::kChipEnable, VppPin::kOwn, false, 100 * kUs},
    {33, 701, 707, ProgramPin::kChipEnable, VppPin::kOwn, false, 100 * kUs},
    // 27xxx NMOS
    {13, 101, 101, ProgramPin::kActiveHigh, VppPin::kOwn, false, 40'000 * kUs},   // 2716
    {13, 102, 102, ProgramPin::kChipEnable, VppPin::kShared, false, 1000 * kUs},  // 2732
    {13, 103, 104, ProgramPin::kSeparate, VppPin::kOwn, false, 1000 * kUs},       // 2764/128
    {13, 105, 105, ProgramPin::kChipEnable, VppPin::kOwn, false, 1000 * kUs},     // 27256
    {13, 106, 106, ProgramPin::kChipEnable, VppPin::kShared, false, 1000 * kUs},  // 27512
    {13, 107, 108, ProgramPin::kSeparate, VppPin::kOwn, false, 1000 * kUs},       // 27010/020
    {13, 109, 109, ProgramPin::kChipEnable, VppPin::kOwn, false, 1000 * kUs},     // 27040
};

// Families whose model comes from a factory of its own.
struct ModelRow {
  std::initializer_list<int> families;
  std::unique_ptr<sim::Chip> (*make)(const Programmer& p);
};
const ModelRow kModels[] = {
    {{10, 11, 28, 29}, &MakeMcuChip},
};

}  // namespace

sim::EpromConfig EpromConfigFor(int family, int device_code, uint32_t size, bool separate_vpp,
                                bool read_level) {
  sim::EpromConfig config;
  config.size = size;
  for (const EpromPart& part : kParts) {
    if (part.family == family && device_code >= part.first && device_code <= part.last) {
      config.program_pin = part.program_pin;
      config.vpp_pin = part.vpp_pin;
      config.wide = part.wide;
      config.cell_program_ns = part.cell_program_ns;
      return config;
    }
  }
  // The catalogue's flags say as much: the read level flag marks a PGM pin
  // of its own, the separate Vpp flag a Vpp pin of its own, 2 KB the 2716.
  if (size == 2048) {
    config.program_pin = ProgramPin::kActiveHigh;
  } else if (read_level) {
    config.program_pin = ProgramPin::kSeparate;
  }
  config.vpp_pin = (separate_vpp || read_level || size == 2048) ? VppPin::kOwn : VppPin::kShared;
  config.wide = family == 0 && device_code > 300 && device_code <= 500;
  config.cell_program_ns = family == 13 ? 1000 * kUs : 45 * kUs;
  return config;
}

std::unique_ptr<sim::Chip> MakeSimChip(const Programmer& p) {
  const uint32_t size = p.image.full_device_size;
  if (size == 0) return nullptr;
  const int family = p.dev.family;
  if (family == 0 || family == 13 || family == 33) {
    return std::make_unique<sim::EpromChip>(
        EpromConfigFor(family, p.dev.device_code, size, p.dev.separate_vpp, p.dev.read_level));
  }
  for (const ModelRow& row : kModels) {
    for (const int f : row.families) {
      if (f != family) continue;
      if (std::unique_ptr<sim::Chip> chip = row.make(p)) return chip;
    }
  }
  return std::make_unique<sim::RomChip>(size);
}

}  // namespace app
