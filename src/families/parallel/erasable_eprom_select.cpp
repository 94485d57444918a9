// Selection of the electrically erasable EPROMs: W27E/W27C, SST27SF and
// MX26C4000 (27C routines with an electrical erase), the MX26C1000/2000
// command-set parts, and the 3.3 V SST37VF parts.
#include <cstddef>
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/parallel/parallel_select.h"

namespace families::parallel {
namespace {

constexpr uint32_t KB = 1024;

struct Row {
  int code;
  uint32_t size;
  int picture;
  int pattern;
  bool separate_vpp = false;
  bool read_level = false;
};

// Returns the row's switch pattern; a code the table does not list keeps
// the previous size and picture and shows pattern 0.
template <size_t N>
int ApplyRow(app::Programmer& p, const Row (&rows)[N]) {
  for (const Row& row : rows) {
    if (row.code != p.dev.device_code) continue;
    p.SetBufferSize(row.size);
    p.dev.socket_picture = row.picture;
    p.dev.separate_vpp = row.separate_vpp;
    p.dev.read_level = row.read_level;
    return row.pattern;
  }
  return 0;
}

// clang-format off
constexpr Row k27E[] = {
    {1, 32 * KB, 28, 3, true},
    {2, 64 * KB, 28, 4},
    {3, 128 * KB, 32, 7, true, true},
    {4, 256 * KB, 32, 7, true, true},
    {5, 512 * KB, 32, 10, true},
};
// clang-format on

// clang-format off
constexpr Row kMX26C[] = {
    {101, 128 * KB, 32, 7},
    {102, 256 * KB, 32, 7},
    {103, 512 * KB, 32, 10},
};
// clang-format on

// clang-format off
constexpr Row kSST37VF[] = {
    {101, 64 * KB, 32, 37},
    {102, 128 * KB, 32, 37},
    {103, 256 * KB, 32, 37},
    {104, 512 * KB, 32, 38},
};
// clang-format on

}  // namespace

void M27E_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.socket_picture = 32;
  const int pattern = ApplyRow(p, k27E);
  d.twp = 60;
  d.twc = 15;
  d.add_step = 100;
  app::FinishSelection(p, 23, pattern);
}

void MX26C10001Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.socket_picture = 32;
  const int pattern = ApplyRow(p, kMX26C);
  d.read_level = true;
  d.twp = 5;
  d.twc = 25;
  app::FinishSelection(p, 30, pattern);
}

void SST37VF_Click(app::Programmer& p, const app::SelectItem& item) {
  // This family leaves the caption alone for an item that names no device.
  if (item.tag != 0) {
    app::StartSelection(p, item);
  } else {
    p.dev.device_code = 0;
    app::BeginDeviceSelection(p);
  }
  app::Descriptor& d = p.dev;
  const int pattern = ApplyRow(p, kSST37VF);
  d.socket_picture = 32;
  d.read_level = true;
  d.twp = 30;
  d.twc = 20;
  app::FinishSelection(p, 48, pattern);
}

}  // namespace families::parallel
