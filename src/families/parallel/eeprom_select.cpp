// Selection of the parallel EEPROMs: 28Cxxx byte-write parts, AT28C
// page-write parts, and the AT29C / W29EE sector-write flash.
#include <cstddef>
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/parallel/parallel_select.h"

namespace families::parallel {
namespace {

constexpr uint32_t KB = 1024;

template <typename Row, size_t N>
const Row* Find(const Row (&rows)[N], int code) {
  for (const Row& row : rows) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

// The 32 KB parts of these families need their addresses passed through
// ScrambleAddress, and the scrambled address needs 15 bits whatever the
// size says.
void ScrambleWithFifteenBits(app::Descriptor& d) {
  d.scramble = true;
  d.address_bits = 15;
  d.fixed_address_bits = true;
}

// --- 28Cxxx ----------------------------------------------------------------

struct M28CRow {
  int code;
  uint32_t size;
  int picture;
  int pattern;
  bool scramble = false;
  int twp = 0, twc = 0;  // 0 keeps the family's
};

// clang-format off
constexpr M28CRow k28C[] = {
    {1, 8 * KB, 28, 5},
    {2, 16 * KB, 28, 5},
    {3, 32 * KB, 28, 25, true},
    {4, 64 * KB, 32, 7},
    {5, 128 * KB, 32, 7},
    {6, 256 * KB, 32, 7},
    {7, 512 * KB, 32, 19},
    {8, 2 * KB, 28, 5},
    {9, 2 * KB, 2816, 26},
    {10, 2 * KB, 2816, 26, false, 100, 10000},
    {11, 8 * KB, 28, 5, false, 100, 10000},
    {12, 512, 2816, 26, false, 100, 10000},
    {13, 1 * KB, 2816, 26, false, 100, 10000},
    {114, 8 * KB, 28, 5, false, 100, 8000},
};
// clang-format on

// --- AT28C page write ---------------------------------------------------------

struct AT28CRow {
  int code;
  uint32_t size;
  int picture;
  int pattern;
  uint32_t page;
  bool scramble = false;
};

// clang-format off
constexpr AT28CRow kAT28C[] = {
    {101, 8 * KB, 28, 5, 64},
    {102, 32 * KB, 28, 25, 64, true},
    {103, 64 * KB, 32, 7, 128},
    {104, 128 * KB, 32, 7, 128},
    {105, 256 * KB, 32, 7, 256},
    {106, 512 * KB, 32, 19, 256},
};
// clang-format on

// --- AT29C / W29EE sector write ------------------------------------------------

struct AT29CRow {
  int code;
  uint32_t size;
  int pattern;
  uint32_t page;
  int family = 9;
  bool jumper = false;  // AT29C256: needs the pin 3 / pin 31 link on older boards
};

// clang-format off
constexpr AT29CRow kAT29C[] = {
    {102, 32 * KB, 29, 64, 9, true},
    {301, 32 * KB, 29, 64, 9, true},
    {103, 32 * KB, 7, 64},
    {104, 64 * KB, 7, 128},
    {302, 64 * KB, 7, 128},
    {105, 128 * KB, 7, 128},
    {303, 128 * KB, 7, 128},
    {106, 256 * KB, 7, 256},
    {304, 256 * KB, 7, 256},
    {107, 512 * KB, 19, 256},
    {305, 512 * KB, 19, 256},
    {108, 512 * KB, 19, 512},
    {306, 512 * KB, 19, 512},
    {109, 256 * KB, 7, 128},
    {201, 64 * KB, 7, 128, 21},
    {202, 128 * KB, 7, 128, 21},
    {203, 256 * KB, 7, 128, 21},
    {204, 512 * KB, 19, 256, 21},
};
// clang-format on

constexpr char kAT29C256Jumper[] =
    "\n RevK/A/B setting jumper\n\n Tavrin PCB short ZIF32  Pin3 <-> Pin31\n";

}  // namespace

void M28C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.twp = 120;
  d.twc = 1000;
  d.socket_picture = 32;
  int pattern = 7;
  if (const M28CRow* row = Find(k28C, d.device_code)) {
    p.SetBufferSize(row->size);
    d.socket_picture = row->picture;
    pattern = row->pattern;
    if (row->scramble) ScrambleWithFifteenBits(d);
    if (row->twp != 0) d.twp = row->twp;
    if (row->twc != 0) d.twc = row->twc;
  }
  d.read_level = true;
  app::FinishSelection(p, 5, pattern);
}

void AT28Cxxx_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.socket_picture = 32;
  p.controls.Show("cbAT28CxxDis");
  p.controls.Show("cbAT28CxxbyteProg");
  // The page write pairs chip address with image index while the verify
  // adds the offset: any offset would compare the wrong bytes. Closed, as
  // for the sector-write parts.
  p.image.buffer_offset = 0;
  p.controls.SetText("edOffset", "0");
  p.controls.Enable("edOffset", false);
  p.controls.Enable("lbOffset", false);
  int pattern = 0;
  if (const AT28CRow* row = Find(kAT28C, d.device_code)) {
    p.SetBufferSize(row->size);
    d.socket_picture = row->picture;
    pattern = row->pattern;
    d.page_size = row->page;
    if (row->scramble) ScrambleWithFifteenBits(d);
  }
  d.twp = 2;
  d.twc = 10000;
  d.read_level = true;
  app::FinishSelection(p, 7, pattern);
}

void AT29C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.family = 9;
  d.twp = 2;
  d.twc = 17500;
  d.read_level = true;
  // Sector writes always start at chip address 0.
  p.image.buffer_offset = 0;
  p.controls.SetText("edOffset", "0");
  p.controls.Enable("edOffset", false);
  p.controls.Enable("lbOffset", false);
  d.socket_picture = 32;
  p.controls.Show("cbAT28CxxDis", false);
  p.controls.Show("cbAT28CxxbyteProg", false);  // the sector write has no byte mode
  d.unlock = app::kDefaultUnlock;
  int family = 9;
  int pattern = 0;
  if (const AT29CRow* row = Find(kAT29C, d.device_code)) {
    p.SetBufferSize(row->size);
    pattern = row->pattern;
    d.page_size = row->page;
    family = row->family;
    if (row->jumper) {
      d.socket_picture = 29256;
      d.scramble = false;
      p.host.Information(kAT29C256Jumper);
    }
  }
  app::FinishSelection(p, family, pattern);
}

}  // namespace families::parallel
