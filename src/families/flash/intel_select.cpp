#include "families/flash/intel_select.h"

#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_select.h"

namespace families::flash {
namespace {

using app::Controls;
using app::Descriptor;

// ---------------------------------------------------------------------------
// 12 V bulk-erase 28F chips; the "A" parts run embedded algorithms.

struct M28fRow {
  int tag;
  uint32_t size;
  int pattern;
  int picture;
  bool embedded;
};

constexpr M28fRow kM28fRows[] = {
    {101, 8 * KB, 5, 28, false},    {102, 16 * KB, 5, 28, false},  {103, 32 * KB, 7, 32, false},
    {104, 64 * KB, 7, 32, false},   {105, 128 * KB, 7, 32, false}, {106, 256 * KB, 7, 32, false},
    {107, 512 * KB, 12, 32, false}, {121, 32 * KB, 7, 32, true},   {122, 64 * KB, 7, 32, true},
    {123, 128 * KB, 7, 32, true},   {124, 256 * KB, 7, 32, true},
};

// ---------------------------------------------------------------------------
// Write-state-machine chips, driven in byte mode. The layout indexes the
// block table the block erase walks.

struct I28fRow {
  int tag;
  uint32_t size;
  int layout;
};

// The odd layouts put the small blocks at the top, the even ones at the
// bottom. The -B (bottom boot) parts take the even one, the -T parts the odd
// one: the BX and Sharp rows once had them the other way round, and a block
// erase then missed the small blocks of the part. Tags 107/108 have no
// catalogue entry and keep theirs.
constexpr I28fRow kI28fRows[] = {
    {101, 256 * KB, 7},  {102, 256 * KB, 8},  {103, 512 * KB, 9},  {104, 512 * KB, 10},
    {105, 1 * MB, 11},   {106, 1 * MB, 12},   {107, 2 * MB, 13},   {108, 2 * MB, 14},
    {121, 512 * KB, 14}, {122, 512 * KB, 13}, {123, 1 * MB, 16},   {124, 1 * MB, 15},
    {125, 2 * MB, 18},   {126, 2 * MB, 17},   {141, 512 * KB, 14}, {142, 512 * KB, 13},
    {143, 1 * MB, 16},   {144, 1 * MB, 15},   {161, 512 * KB, 2},  {162, 1 * MB, 3},
    {163, 2 * MB, 4},    {164, 256 * KB, 29}, {201, 128 * KB, 0},  {202, 128 * KB, 1},
    {203, 256 * KB, 8},  {204, 256 * KB, 7},  {205, 512 * KB, 10}, {206, 512 * KB, 9},
    {301, 4 * MB, 37},   {302, 8 * MB, 38},   {303, 16 * MB, 39},
};

constexpr char k28F001Jumper[] =
    "Device 28F001BX-B \n\n RevKA (set Jumper)\n RevK want modify to RevKA or \n SHORT ( PIN "
    "[1] <--WIRE--> PIN [30] )\n\n TavrinPCB short PIN[1]<->PIN[30] )";

const char* I28fAdapter(int tag) {
  if (tag == 164) return "i28F002BC DIP40 ";
  if (tag >= 201 && tag <= 299) return "TSOP48,TSOP40A,PSOP44 ";
  if (tag >= 301 && tag <= 303) return "  TSOP56";
  return "TSOP48, TSOP40, PSOP44 ";
}

// ---------------------------------------------------------------------------
// MX28F1000P / MX28F2000P / MX28F2000T.

struct Mx28fRow {
  int tag;
  uint32_t size;
  int layout;
};

constexpr Mx28fRow kMx28fRows[] = {
    {101, 128 * KB, 31},
    {102, 256 * KB, 32},
    {103, 256 * KB, 33},
};

}  // namespace

void M28F_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;

  d.twp = 20;
  d.twc = 30;
  d.socket_picture = 32;
  d.layout = -1;
  d.embedded = false;
  c.SetText("lbAdapter", "");

  int pattern = 7;
  if (const M28fRow* row = FindRow(kM28fRows, d.device_code)) {
    p.SetBufferSize(row->size);
    pattern = row->pattern;
    d.socket_picture = row->picture;
    d.embedded = row->embedded;
  }
  // The embedded erase has no pre-programming pass to skip.
  c.Enable("cb28FastErase", !d.embedded);
  app::FinishSelection(p, 3, pattern);
}

void i28Fx00_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  const int tag = d.device_code;

  d.twp = 3;
  d.twc = 20;
  d.socket_picture = 8749;
  d.layout = -1;
  d.layout_is_block = true;
  c.Check("cbSkip_0xFF");
  c.SetText("lbAdapter", I28fAdapter(tag));
  c.SetText("lbAdapter2", " 8/16bit (Byte mode)");

  int pattern = 20;
  if (const I28fRow* row = FindRow(kI28fRows, tag)) {
    p.SetBufferSize(row->size);
    d.layout = row->layout;
  }
  if (tag >= 301 && tag <= 303) {
    c.Show("cb28F320J3buffer");
    c.Check("cb28F320J3buffer");
  }
  if (tag == 201 || tag == 202) {
    // The 28F001BX needs pin 1 wired to pin 30; remind the user to take the
    // wire off again at the next selection.
    d.socket_picture = 28001;
    pattern = 30;
    p.host.Information(k28F001Jumper);
    d.jumper_warning = true;
  }
  app::FinishSelection(p, tag >= 301 && tag <= 399 ? 55 : 26, pattern);
}

void MX28F20001Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;

  d.twp = 10;
  d.twc = 30;
  d.socket_picture = 32;
  d.layout = -1;
  d.layout_is_block = true;
  p.controls.SetText("lbAdapter", "");
  if (const Mx28fRow* row = FindRow(kMx28fRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.layout = row->layout;
  }
  app::FinishSelection(p, 31, 7);
}

}  // namespace families::flash
