#include "families/flash/jedec_select.h"

#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_devices.h"
#include "families/flash/flash_select.h"
#include "families/flash/protect_select.h"

namespace families::flash {
namespace {

using app::Controls;
using app::Descriptor;

// ---------------------------------------------------------------------------
// 29F / 39SF / 49F and the MXIC 29F with sector protection.

struct M29fRow {
  int tag;
  uint32_t size;
  int pattern;
  int picture;
  int layout;  // sector layout of the MXIC parts, -1 for none
};

constexpr M29fRow kM29fRows[] = {
    {101, 8 * KB, 5, 28, -1},    {102, 16 * KB, 5, 28, -1},   {103, 32 * KB, 18, 28, -1},
    {104, 64 * KB, 7, 32, -1},   {105, 128 * KB, 7, 32, -1},  {106, 256 * KB, 7, 32, -1},
    {107, 512 * KB, 19, 32, -1}, {201, 64 * KB, 7, 32, -1},   {202, 128 * KB, 7, 32, -1},
    {203, 256 * KB, 7, 32, -1},  {204, 512 * KB, 19, 32, -1}, {301, 64 * KB, 7, 32, -1},
    {302, 128 * KB, 7, 32, -1},  {303, 256 * KB, 7, 32, -1},  {304, 512 * KB, 19, 32, 6},
    {311, 128 * KB, 16, 32, 0},  {312, 128 * KB, 16, 32, 1},  {313, 256 * KB, 16, 32, 2},
    {314, 256 * KB, 16, 32, 3},  {315, 512 * KB, 19, 32, 4},  {316, 512 * KB, 19, 32, 5},
    {317, 512 * KB, 19, 32, 7},  {401, 128 * KB, 16, 32, -1}, {402, 256 * KB, 16, 32, -1},
    {403, 512 * KB, 19, 32, -1},
};

int M29fFamily(int tag) {
  if (tag < 200) return 4;
  if (tag < 300 || (tag >= 400 && tag < 500)) return 12;
  if (tag < 400) return 27;
  return 4;
}

// ---------------------------------------------------------------------------
// Boot-block 29F/49F00x with the #RESET/Vpp pin, and the TSOP40 parts.

struct At49fRow {
  int tag;
  uint32_t size;
  const char* adapter;  // nullptr: the chip sits in the DIP32 socket
  int picture;
  int pattern;
};

constexpr char kTsop40[] = "  TSOP40 ";
constexpr char kTsop40A[] = "  TSOP40A/PSOP44";
constexpr char kTsop40B[] = "  TSOP40B/PSOP44";

constexpr At49fRow kAt49fRows[] = {
    {101, 128 * KB, nullptr, 32, 16},
    {102, 128 * KB, nullptr, 32, 16},
    {103, 256 * KB, nullptr, 32, 16},
    {104, 256 * KB, nullptr, 32, 16},
    {201, 256 * KB, nullptr, 48, 20},
    {202, 512 * KB, nullptr, 48, 20},
    {203, 1 * MB, nullptr, 48, 20},
    {204, 1 * MB, kTsop40, 48, 20},
    {301, 512 * KB, kTsop40A, 48, 36},
    {302, 1 * MB, kTsop40A, 48, 36},
    {303, 2 * MB, kTsop40A, 48, 36},
    // MBM29F032x: the 32-Mbit member of the same adapter row.
    {304, 4 * MB, kTsop40A, 48, 36},
    {305, 256 * KB, kTsop40A, 48, 36},
    {401, 1 * MB, kTsop40B, 48, 36},
    {402, 2 * MB, kTsop40B, 48, 36},
    {403, 4 * MB, kTsop40B, 48, 36},
    {410, 64 * KB, nullptr, 32, 7},
    {411, 128 * KB, nullptr, 32, 7},
    {413, 512 * KB, nullptr, 32, 19},
    {414, 2 * MB, "  TSOP40A", 48, 36},
    {501, 8 * MB, "  TSOP40-A3", 48, 36},
    {601, 128 * KB, nullptr, 32, 16},
    {602, 256 * KB, nullptr, 32, 16},
};

// ---------------------------------------------------------------------------
// 8/16-bit 29Fx00 and AT49 chips driven in byte mode.

struct Am29fRow {
  int tag;
  uint32_t size;
  bool page_program;
  bool single_pulse;
  bool short_unlock;
  bool vcc_3v3;
};

constexpr Am29fRow kAm29fRows[] = {
    {101, 128 * KB, false, false, false, false}, {102, 256 * KB, false, false, false, false},
    {103, 512 * KB, false, false, false, false}, {104, 1 * MB, false, false, false, false},
    {105, 2 * MB, false, false, false, false},   {106, 4 * MB, false, false, false, false},
    {201, 2 * MB, true, false, false, false},    {301, 256 * KB, false, false, false, true},
    {302, 512 * KB, false, false, false, true},  {303, 1 * MB, false, false, false, true},
    {304, 2 * MB, false, false, false, true},    {305, 4 * MB, false, false, false, true},
    {306, 128 * KB, false, false, false, true},  {501, 128 * KB, false, false, false, false},
    {502, 256 * KB, false, false, false, false}, {503, 512 * KB, false, false, false, false},
    {504, 1 * MB, false, false, false, false},   {505, 1 * MB, false, true, false, false},
    {506, 2 * MB, false, true, false, false},    {507, 2 * MB, false, true, false, false},
    {508, 4 * MB, false, true, false, false},    {604, 1 * MB, false, false, true, false},
    {605, 1 * MB, false, false, true, true},     {606, 2 * MB, false, false, true, true},
};

// ---------------------------------------------------------------------------
// SST28SF040A and LE28F4001.

struct Sst28Row {
  int tag;
  int family;
  int twp;
  int twc;
};

constexpr Sst28Row kSst28Rows[] = {
    {1, 24, 6, 40},
    {10, 25, 7, 55},
};

// Every JEDEC selection leaves bytes equal to 0xFF unwritten by default.
void CheckSkipFF(Controls& c) { c.Check("cbSkip_0xFF"); }

}  // namespace

void M29F_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  const int tag = d.device_code;

  const bool fast_part = tag >= 200 && tag < 300;
  d.twp = fast_part ? 2 : 3;
  d.twc = fast_part ? 20 : 30;
  d.socket_picture = 32;
  d.layout = -1;
  d.layout_is_block = false;
  if (tag >= 400 && tag < 500) d.unlock = kShortUnlock;
  CheckSkipFF(c);
  // The temporary-unprotect box sits on a panel these chips never show; left
  // checked from an earlier chip, the erase would put 12 V on #RESET unseen.
  c.Check("cbProtect", false);
  c.SetText("lbAdapter", "");

  int pattern = 7;
  if (const M29fRow* row = FindRow(kM29fRows, tag)) {
    p.SetBufferSize(row->size);
    pattern = row->pattern;
    d.socket_picture = row->picture;
    d.layout = row->layout;
  }
  const int family = M29fFamily(tag);
  if (family == 27) {
    PrepareSectorPanel(p, "MXIC - 29Fxxx Sector Protection", LayoutTable::kSector, d.layout);
  }
  app::FinishSelection(p, family, pattern);
}

void AT49F00x_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  const int tag = d.device_code;

  d.twp = 6;
  d.twc = 40;
  d.socket_picture = 32;
  d.layout = -1;
  if (tag >= 600 && tag < 700) d.unlock = kShortUnlock;
  CheckSkipFF(c);
  c.Check("cbProtect", false);
  c.Enable("cbProtect");
  c.Check("cb5555", false);
  c.SetText("lbAdapter", "");

  const bool tsop_st = tag >= 400 && tag < 600;
  c.SetText("p49F00xsetting",
            tsop_st ? " 29F0x0   [ pin #RESET/Vpp (12V) ]" : " 49F00x   [ pin #RESET/Vpp (12V) ]");
  if (tsop_st) {
    c.Show("cbFujitsu_fastmode");
    c.SetText("cbFujitsu_fastmode", "Fast Mode Programming ( ST Chip )");
  }

  int pattern = 7;
  if (const At49fRow* row = FindRow(kAt49fRows, tag)) {
    p.SetBufferSize(row->size);
    pattern = row->pattern;
    d.socket_picture = row->picture;
    if (row->adapter != nullptr) c.SetText("lbAdapter", row->adapter);
  }
  app::FinishSelection(p, 22, pattern);
}

void Am29Fx00_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  const int tag = d.device_code;

  d.twp = 2;
  d.twc = 30;
  d.socket_picture = 8749;
  d.layout = -1;
  d.page_program = false;
  d.single_pulse = false;
  d.byte_mode_unlock = kByteModeUnlock;
  CheckSkipFF(c);
  c.Check("cbProtect", false);
  c.Enable("cbProtect");
  c.SetText("cb5555", "( AAAA,5555,AAAA.. )");
  c.SetText("lbAdapter", "TSOP48 8/16bit mode");
  c.SetText("lbAdapter2", "PSOP 8/16bit mode");

  if (const Am29fRow* row = FindRow(kAm29fRows, tag)) {
    p.SetBufferSize(row->size);
    d.page_program = row->page_program;
    d.single_pulse = row->single_pulse;
    d.vcc_3v3 = row->vcc_3v3;
    if (row->short_unlock) d.byte_mode_unlock = kByteModeShortUnlock;
  }

  // The Atmel parts have no unlock-bypass mode; their box offers the
  // single-pulse program instead, and only where the chip has it.
  if (tag > 500 && tag < 600) {
    c.SetText("cbFujitsu_fastmode", "Single-pulse byte/Word Program (Amtel)");
    c.Show("cbFujitsu_fastmode", d.single_pulse);
  } else {
    c.SetText("cbFujitsu_fastmode", "Fast Mode Programming ( Fujitsu, AMD, ST Chip)");
    c.Show("cbFujitsu_fastmode");
  }
  app::FinishSelection(p, 15, 20);
}

void SST28xF040A1Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;

  d.socket_picture = 32;
  d.layout = -1;
  d.twp = 6;
  d.twc = 40;
  CheckSkipFF(c);
  c.SetText("lbAdapter", "");

  int family = 24;
  if (const Sst28Row* row = FindRow(kSst28Rows, d.device_code)) {
    p.SetBufferSize(512 * KB);
    family = row->family;
    d.twp = row->twp;
    d.twc = row->twc;
  }
  app::FinishSelection(p, family, 19);
}

}  // namespace families::flash
