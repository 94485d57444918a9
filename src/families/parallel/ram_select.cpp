// Selection of static RAM (tested, not programmed) and battery-backed NVRAM.
// Both set their address-bit count per part: the chip selects of the larger
// parts sit on the pins the count would otherwise cover.
#include <cstddef>
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/parallel/parallel_select.h"

namespace families::parallel {
namespace {

constexpr uint32_t KB = 1024;

struct RamRow {
  int code;
  uint32_t size;
  int picture;
  int pattern;
  int address_bits;
  bool scramble = false;
  bool pin28 = false;  // holds the second chip select of a 6264 high
  bool pin30 = false;  // holds the second chip select of a 628128 high
};

template <size_t N>
int ApplyRow(app::Programmer& p, const RamRow (&rows)[N]) {
  for (const RamRow& row : rows) {
    if (row.code != p.dev.device_code) continue;
    p.SetBufferSize(row.size);
    p.dev.socket_picture = row.picture;
    p.dev.address_bits = row.address_bits;
    p.dev.scramble = row.scramble;
    p.dev.pin28 = row.pin28;
    p.dev.pin30 = row.pin30;
    return row.pattern;
  }
  return 0;
}

// clang-format off
constexpr RamRow kSram[] = {
    {1, 2 * KB, 2816, 26, 10},
    {2, 8 * KB, 28, 25, 13, false, true},
    {3, 32 * KB, 28, 25, 15, true},
    {4, 64 * KB, 32, 24, 18, true, false, true},
    {5, 128 * KB, 32, 24, 18, true, false, true},
};
// clang-format on

// The timekeeper parts (2xx) keep their clock registers in the top 8 bytes;
// leaving them out of the device size keeps every action away from them.
// clang-format off
constexpr RamRow kNvram[] = {
    {1, 2 * KB, 2816, 26, 10},
    {2, 8 * KB, 28, 25, 12},
    {3, 32 * KB, 28, 25, 15, true},
    {4, 128 * KB, 32, 24, 18, true},
    {5, 256 * KB, 32, 24, 18, true},
    {201, 2 * KB - 8, 2816, 26, 10},
    {202, 8 * KB - 8, 28, 25, 12},
    {203, 32 * KB - 8, 28, 25, 15, true},
    {204, 128 * KB - 8, 32, 24, 18, true},
    {205, 512 * KB - 8, 32, 24, 18, true},
};
// clang-format on

}  // namespace

void SRAM_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  // The RAM test works on the whole part from address 0.
  p.controls.Enable("edOffset", false);
  p.controls.Enable("lbOffset", false);
  const int pattern = ApplyRow(p, kSram);
  d.fixed_address_bits = true;
  d.twp = 3;
  d.twc = 5;
  d.read_level = true;
  // The test writes its own patterns, so there is always data to test with.
  if (d.device_code != 0) p.image.data_end = p.image.device_size;
  app::FinishSelection(p, 20, pattern);
}

void DS12XX_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  const int pattern = ApplyRow(p, kNvram);
  d.fixed_address_bits = true;
  d.twp = 3;
  d.twc = 5;
  d.read_level = true;
  app::FinishSelection(p, 19, pattern);
}

}  // namespace families::parallel
