#include "families/flash/wide_select.h"

#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_select.h"
#include "families/flash/protect_select.h"

namespace families::flash {
namespace {

using app::Controls;
using app::Descriptor;

constexpr char kTsop48[] = "TSOP48 16bit Mode ";
constexpr char kTsop40[] = "TSOP40 16bit Mode ";
constexpr char kTsop56[] = "  TSOP56";

// Chip addresses are word indexes, so the highest address bit is one below
// that of a byte-wide chip of the same size.
void SetWordAddressBits(app::Programmer& p) {
  int n = 0;
  for (uint32_t size = p.image.device_size; size != 0; size >>= 1) ++n;
  p.dev.address_bits = n - 3;
  p.dev.fixed_address_bits = true;
}

// ---------------------------------------------------------------------------
// JEDEC 29LV / 29DL / 39VF / 29F in word mode, and the W29C102.

struct LvRow {
  int tag;
  uint32_t size;
  const char* adapter;
  bool cfi_no_primary;  // the chip's CFI primary table is not worth decoding
};

constexpr LvRow kLvRows[] = {
    {101, 128 * KB, kTsop48, false},
    {102, 256 * KB, kTsop48, false},
    {103, 512 * KB, kTsop48, false},
    {104, 1 * MB, kTsop48, false},
    {105, 2 * MB, kTsop48, false},
    {106, 4 * MB, kTsop48, false},
    {201, 128 * KB, kTsop48, false},
    {202, 256 * KB, kTsop48, false},
    {203, 512 * KB, kTsop48, false},
    {204, 1 * MB, kTsop48, false},
    {205, 2 * MB, kTsop48, true},
    {301, 128 * KB, kTsop48, false},
    {302, 256 * KB, kTsop48, false},
    {303, 512 * KB, kTsop48, false},
    {304, 1 * MB, kTsop48, false},
    {305, 2 * MB, kTsop48, false},
    // 29F320: the 32-Mbit member of the same row.
    {306, 4 * MB, kTsop48, false},
    {401, 128 * KB, kTsop40, false},
    {402, 128 * KB, kTsop40, false},
    {501, 128 * KB, kTsop40, false},
};

// ---------------------------------------------------------------------------
// Intel B3 / C3 / J3 in word mode; the layout indexes the block table.

struct IntelRow {
  int tag;
  uint32_t size;
  int layout;
  bool block_unlock;  // C3 blocks come out of reset locked
};

constexpr IntelRow kIntelRows[] = {
    {101, 512 * KB, 19, false}, {102, 512 * KB, 20, false}, {103, 1 * MB, 21, false},
    {104, 1 * MB, 22, false},   {105, 2 * MB, 23, false},   {106, 2 * MB, 24, false},
    {107, 4 * MB, 25, false},   {108, 4 * MB, 26, false},   {201, 1 * MB, 21, true},
    {202, 1 * MB, 22, true},    {203, 2 * MB, 23, true},    {204, 2 * MB, 24, true},
    {205, 4 * MB, 25, true},    {206, 4 * MB, 26, true},    {301, 4 * MB, 37, false},
    {302, 8 * MB, 38, false},
};

// The C3 part of the same table, for the block-locking selection.
constexpr IntelRow kC3Rows[] = {
    {201, 1 * MB, 21, true}, {202, 1 * MB, 22, true}, {203, 2 * MB, 23, true},
    {204, 2 * MB, 24, true}, {205, 4 * MB, 25, true}, {206, 4 * MB, 26, true},
};

// Shared by the two Intel word-mode handlers: timings, adapter and the row.
template <std::size_t N>
void SelectIntelWide(app::Programmer& p, const IntelRow (&rows)[N]) {
  Descriptor& d = p.dev;
  d.twp = 3;
  d.twc = 20;
  d.socket_picture = 8749;
  d.layout = -1;
  d.layout_is_block = true;
  d.block_unlock = false;
  // Chip addresses are word indexes from 0: a buffer offset would be added
  // to word indexes while the size shrinks by bytes, and wrap onto the
  // chip's start.
  p.controls.Enable("edOffset", false);
  p.controls.Enable("lbOffset", false);
  const int tag = d.device_code;
  p.controls.SetText("lbAdapter", tag >= 301 && tag <= 399 ? kTsop56 : kTsop48);
  if (const IntelRow* row = FindRow(rows, tag)) {
    p.SetBufferSize(row->size);
    d.layout = row->layout;
    d.block_unlock = row->block_unlock;
  }
  SetWordAddressBits(p);
}

}  // namespace

void MBM29LV160Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  const int tag = d.device_code;

  d.twp = 2;
  d.twc = 30;
  d.socket_picture = 8749;
  d.layout = -1;
  d.cfi_no_primary = false;
  c.Check("cbSkip_0xFF");
  // Word-wide chips always start at chip address 0.
  c.Enable("edOffset", false);
  c.Enable("lbOffset", false);
  c.Check("cbProtect", false);
  c.Show("cbProtect", false);
  c.SetText("p49F00xsetting", " 29LVx00 / 39VFx00 ");
  c.Show("cbFujitsu_fastmode");
  c.SetText("cbFujitsu_fastmode", "Fast Mode Programming ( Fujitsu Chip)");

  if (const LvRow* row = FindRow(kLvRows, tag)) {
    p.SetBufferSize(row->size);
    c.SetText("lbAdapter", row->adapter);
    d.cfi_no_primary = row->cfi_no_primary;
  }
  const bool sector_write = tag >= 500;
  if (sector_write) {
    // The W29C102 writes sectors of 128 words. Its outputs stay off while
    // its WE# is low: it is read with control bit 3 at 0, as the EEPROMs are.
    d.page_size = 256;
    d.read_level = true;
  }
  SetWordAddressBits(p);
  app::FinishSelection(p, sector_write ? 56 : 44, 14);
}

void N28F4001Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  SelectIntelWide(p, kIntelRows);
  PrepareSectorPanel(p, "28Fxxx Sector lock/Unlock", LayoutTable::kBlock, p.dev.layout, true);
  app::FinishSelection(p, 45, 14);
}

void i28F800C3B1Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  SelectIntelWide(p, kC3Rows);
  app::FinishSelection(p, 46, 14);
}

}  // namespace families::flash
