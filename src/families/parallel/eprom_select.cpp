// Selection of the UV EPROMs: the 27Cxxx CMOS parts (8-bit, the 16-bit
// parts on the DIP40/DIP42 adapter, and the M87C256 with its own routines)
// and the 27xxx NMOS parts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/parallel/parallel_select.h"

namespace families::parallel {
namespace {

constexpr uint32_t KB = 1024;

struct EpromRow {
  int first, last;  // device codes
  uint32_t size;    // bytes
  int picture;      // socket picture code
  int pattern;      // switch pattern
  bool separate_vpp = false;
  bool read_level = false;
  int twp = 0;  // first pulse width; 0 keeps the family's
};

template <size_t N>
const EpromRow* Find(const EpromRow (&rows)[N], int code) {
  for (const EpromRow& row : rows) {
    if (code >= row.first && code <= row.last) return &row;
  }
  return nullptr;
}

// Returns the row's switch pattern, or `fallback` for a code the table does
// not list (that code keeps the previous size and picture).
template <size_t N>
int ApplyRow(app::Programmer& p, const EpromRow (&rows)[N], int fallback) {
  const EpromRow* row = Find(rows, p.dev.device_code);
  if (row == nullptr) return fallback;
  p.SetBufferSize(row->size);
  p.dev.socket_picture = row->picture;
  p.dev.separate_vpp = row->separate_vpp;
  p.dev.read_level = row->read_level;
  if (row->twp != 0) p.dev.twp = row->twp;
  return row->pattern;
}

// 27Cxxx. Codes 301..404 sit on the 16-bit adapter; codes above 500 have
// routines of their own (family 33).
// clang-format off
constexpr EpromRow k27C[] = {
    // The CMOS 2716 programs like the NMOS one: one 50 ms pulse per byte.
    {215, 215, 2 * KB, 2716, 27, false, false, 25000},
    {201, 201, 4 * KB, 2732, 9},
    {202, 202, 8 * KB, 28, 1, true, true},
    {203, 203, 16 * KB, 28, 2, true, true},
    {204, 204, 32 * KB, 28, 3, true},
    {205, 205, 64 * KB, 28, 4},
    {206, 206, 128 * KB, 32, 16, true, true},
    {207, 207, 256 * KB, 32, 16, true, true},
    {208, 208, 512 * KB, 32, 10, true},
    {209, 209, 1024 * KB, 32, 21},
    {210, 210, 1024 * KB, 32, 21, false, false, 55},
    {301, 301, 128 * KB, 8749, 42, false, true},
    {311, 311, 128 * KB, 8749, 42, false, true},
    {302, 302, 256 * KB, 8749, 42, false, true},
    {303, 303, 512 * KB, 8749, 10},
    {401, 401, 512 * KB, 8749, 32},
    {402, 402, 1024 * KB, 8749, 32},
    {403, 403, 2048 * KB, 8749, 32},
    {404, 404, 4096 * KB, 8749, 33},
    {501, 501, 32 * KB, 28, 3, true},
    {701, 707, 512 * KB, 32, 10, true, false, 130},  // no catalogue item carries these
};
// clang-format on

// 27xxx NMOS.
// clang-format off
constexpr EpromRow k27[] = {
    {101, 101, 2 * KB, 2716, 27, false, false, 25000},
    {102, 102, 4 * KB, 2732, 9},
    {103, 103, 8 * KB, 28, 1, true, true},
    {104, 104, 16 * KB, 28, 2, true, true},
    {105, 105, 32 * KB, 28, 3, true},
    {106, 106, 64 * KB, 28, 4},
    {107, 107, 128 * KB, 32, 7, true, true},
    {108, 108, 256 * KB, 32, 7, true, true},
    {109, 109, 512 * KB, 32, 10, true},
};
// clang-format on

// The adapter caption belongs to the 16-bit parts only; everything else in
// this family sits in the ZIF socket itself, so a caption left over from an
// earlier 16-bit selection is cleared.
std::string AdapterCaption(int code) {
  if (code > 400 && code <= 500) return "EPROM 16bit (DIP42)";
  if (code > 300 && code <= 500) return "EPROM 16bit (DIP40)";
  return "";
}

}  // namespace

void M27C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.twp = 140;
  d.twc = 20;
  const int pattern = ApplyRow(p, k27C, 0);
  d.add_step = 50;
  p.controls.SetText("lbAdapter", AdapterCaption(d.device_code));
  app::FinishSelection(p, d.device_code > 500 ? 33 : 0, pattern);
}

void M27_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.family = 13;
  d.twp = 1200;
  d.twc = 50;
  d.add_step = 200;
  const int pattern = ApplyRow(p, k27, 0);
  app::FinishSelection(p, 13, pattern);
}

}  // namespace families::parallel
