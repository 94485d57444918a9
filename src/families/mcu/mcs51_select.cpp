// Selection of the MCS-51 parts: the 40-pin parts on the MCS-51 adapter
// (family 10, and family 38 for a device stored by an older release) and
// the 20-pin AT89Cx051 parts with their internal address counter (family 11).
#include <cstddef>
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/mcu/mcu_select.h"

namespace families::mcu {
namespace {

constexpr uint32_t KB = 1024;

// The option group a part shows besides the lock bits.
enum class Group { kNone, kSpi, kFuse, kBootVector, kWatchdog };

// One part: its size and every MCS-51 parameter it sets. Unnamed members
// keep the family's values.
struct Mcs51Row {
  int code;
  uint32_t size;
  int twp = 5;
  int twc = 2000;
  int pulses = 1;
  int twpb = 10;
  int twpe = 25000;
  int ird_lbit = 0;
  int t_erase = 0;
  int at89s = 0;
  int sub_type = 1;
  int address_bits = 18;
  int vpp_byte = 0xFF;
  uint32_t page_size = 0;  // 0 keeps the previous page size
  Group group = Group::kNone;
};

// 40-pin parts (muMCS51_Click).
// clang-format off
constexpr Mcs51Row kMcs51[] = {
    {.code = 2, .size = 4 * KB, .twc = 1600},
    {.code = 3, .size = 8 * KB, .twc = 1600},
    {.code = 4, .size = 20 * KB, .twc = 1600},
    {.code = 5, .size = 10 * KB, .twp = 30, .twc = 1600, .ird_lbit = 1, .at89s = 1,
     .sub_type = 3, .group = Group::kSpi},
    {.code = 6, .size = 12 * KB, .twp = 30, .twc = 1600, .ird_lbit = 1, .at89s = 1,
     .sub_type = 3, .group = Group::kSpi},
    {.code = 7, .size = 20 * KB, .twp = 3, .twc = 100, .twpb = 120, .twpe = 5, .ird_lbit = 1,
     .t_erase = 1, .sub_type = 5},
    {.code = 8, .size = 32 * KB, .twp = 5, .twc = 80, .twpb = 120, .twpe = 3, .ird_lbit = 1,
     .t_erase = 1, .sub_type = 5},
    {.code = 9, .size = 4 * KB, .twp = 110, .pulses = 10},
    {.code = 10, .size = 8 * KB, .twp = 110, .pulses = 10},
    {.code = 11, .size = 16 * KB, .twp = 110, .pulses = 10},
    {.code = 12, .size = 32 * KB, .twp = 110, .pulses = 10},
    {.code = 13, .size = 20 * KB, .twp = 110, .address_bits = 19},
    {.code = 14, .size = 32 * KB, .twp = 110, .address_bits = 19},
    {.code = 50, .size = 4 * KB, .twp = 2, .twc = 100, .twpb = 2, .twpe = 2, .ird_lbit = 1,
     .t_erase = 1, .sub_type = 2},
    {.code = 51, .size = 8 * KB, .twp = 2, .twc = 100, .twpb = 2, .twpe = 2, .ird_lbit = 1,
     .t_erase = 1, .sub_type = 2},
    // AT89S8253: 12 KB of code and 2 KB of data EEPROM in one image.
    {.code = 52, .size = 14 * KB, .twp = 2, .twc = 8000, .ird_lbit = 1, .at89s = 1,
     .sub_type = 8, .page_size = 64, .group = Group::kFuse},
    {.code = 101, .size = 8 * KB, .twp = 50, .address_bits = 24},
    {.code = 102, .size = 16 * KB, .twp = 50, .address_bits = 24},
    {.code = 103, .size = 32 * KB, .twp = 50, .address_bits = 24},
    {.code = 104, .size = 64 * KB, .twp = 50, .twpe = 60000, .sub_type = 7, .address_bits = 24,
     .group = Group::kBootVector},
    {.code = 151, .size = 4 * KB, .twp = 110, .pulses = 25},
    {.code = 152, .size = 8 * KB, .twp = 110, .pulses = 25},
    {.code = 153, .size = 16 * KB, .twp = 110, .pulses = 25},
    {.code = 154, .size = 32 * KB, .twp = 110, .pulses = 25},
    {.code = 301, .size = 4 * KB, .twp = 110, .pulses = 5},
    {.code = 302, .size = 4 * KB, .twp = 110, .pulses = 5},
    {.code = 303, .size = 4 * KB, .twp = 110, .pulses = 5},
    // DS89C420: its own programming voltage, so control bit 0 never drops.
    {.code = 401, .size = 16 * KB, .twp = 150, .twc = 100, .twpe = 3000000, .ird_lbit = 1,
     .sub_type = 4, .vpp_byte = 5, .group = Group::kWatchdog},
};
// clang-format on

// 20-pin parts (AT89Cx051_Click); the family values differ from the 40-pin
// ones.
constexpr Mcs51Row k20Pin(int code, uint32_t size) {
  return {.code = code, .size = size, .twp = 80, .twc = 2200, .sub_type = 6};
}
// clang-format off
constexpr Mcs51Row kMcs51x051[] = {
    k20Pin(2, 1 * KB),
    k20Pin(3, 2 * KB),
    k20Pin(4, 4 * KB),
    k20Pin(5, 2 * KB),
    // The serial-capable and low-power parts stand on disabled items.
    {.code = 6, .size = 2 * KB, .twp = 80, .twc = 2200, .at89s = 1, .sub_type = 9},
    {.code = 7, .size = 4 * KB, .twp = 80, .twc = 2200, .at89s = 1, .sub_type = 9},
    {.code = 40, .size = 2 * KB, .twp = 80, .twc = 2200, .ird_lbit = 1, .at89s = 1,
     .sub_type = 10, .page_size = 32, .group = Group::kFuse},
    {.code = 41, .size = 4 * KB, .twp = 80, .twc = 2200, .ird_lbit = 1, .at89s = 1,
     .sub_type = 10, .page_size = 32, .group = Group::kFuse},
};
// clang-format on

// Family 38: the timing set the start-up re-selection of an older stored
// device gets. Sizes by device code; the timings follow the 40-pin parts of
// the same size, and the 1/2/4 KB codes those of the 20-pin parts.
// clang-format off
constexpr Mcs51Row kAT89C51[] = {
    {.code = 101, .size = 4 * KB, .twc = 1600},
    {.code = 102, .size = 8 * KB, .twc = 1600},
    {.code = 103, .size = 8 * KB, .twc = 1600},
    {.code = 104, .size = 12 * KB, .twp = 30, .twc = 1600},
    {.code = 105, .size = 20 * KB, .twc = 1600},
    {.code = 121, .size = 1 * KB, .twp = 80, .twc = 2200},
    {.code = 122, .size = 2 * KB, .twp = 80, .twc = 2200},
    {.code = 123, .size = 4 * KB, .twp = 80, .twc = 2200},
};
// clang-format on

template <size_t N>
const Mcs51Row* Find(const Mcs51Row (&rows)[N], int code) {
  for (const Mcs51Row& row : rows) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

// Socket records: the 40-pin adapter addresses every byte; the AT89S8253
// has its own page-write and fuse patterns; the 20-pin parts are driven
// through mode pins and count addresses themselves.
constexpr app::Descriptor::Mcs51Socket k40PinSocket{};
constexpr app::Descriptor::Mcs51Socket kAT89S8253Socket{.write_code = 0xE4000,
                                                        .read_code = 0xE0000,
                                                        .chip_erase = 0x180000,
                                                        .lock1 = 0x1A0000,
                                                        .lock2 = 0,
                                                        .lock3 = 0,
                                                        .signature = 0x80030};
constexpr app::Descriptor::Mcs51Socket k20PinSocket{.enter = 0x20000,
                                                    .next_address = 0x18380,
                                                    .write_code = 0x40380,
                                                    .read_code = 0x280,
                                                    .chip_erase = 0x40040,
                                                    .lock1 = 0x403C0,
                                                    .lock2 = 0x40140,
                                                    .lock3 = 0,
                                                    .signature = 0};

// The option group and lock-bit panel as a selection leaves them before the
// part's own row applies.
void ResetMcs51Panel(app::Programmer& p, bool lock3_allowed) {
  app::Controls& c = p.controls;
  c.SetText("cbMCS51spi", "SPI on/off");
  c.Show("cbMCS51spi", false);
  static constexpr const char* kCaptions[4] = {"SerialPrg Enable", "x2 Clock Enable",
                                               "UsrRowPrg Enable", "External Clock Enable"};
  for (int i = 0; i < 4; ++i) {
    c.SetText(kMcs51OptionBoxes[i], kCaptions[i]);
    c.Check(kMcs51OptionBoxes[i], false);
    c.Enable(kMcs51OptionBoxes[i], i == 0);
  }
  c.Check("cbNewAdapter", false);
  c.Enable("rbLock123", lock3_allowed);
  c.Enable("edOffset", false);
  c.Enable("lbOffset", false);
  c.Show("gbSbyteBvec", false);
  c.Show("gbWatchdog89C420", false);
  p.dev.lock_mode = 0;
  c["Mcs51_lockbit"].index = 0;
  p.dev.mcs51.new_adapter = false;
  p.dev.mcs51.option_word = 0;
}

// Applies a row: size, parameters, and the option group it shows.
void ApplyRow(app::Programmer& p, const Mcs51Row& row) {
  app::Descriptor::Mcs51& m = p.dev.mcs51;
  p.SetBufferSize(row.size);
  m.twp = row.twp;
  m.twc = row.twc;
  m.pulses = row.pulses;
  m.twpb = row.twpb;
  m.twpe = row.twpe;
  m.ird_lbit = row.ird_lbit;
  m.t_erase = row.t_erase;
  m.at89s = row.at89s;
  m.sub_type = row.sub_type;
  m.vpp_byte = row.vpp_byte;
  p.dev.address_bits = row.address_bits;
  if (row.page_size != 0) p.dev.page_size = row.page_size;
  app::Controls& c = p.controls;
  switch (row.group) {
    case Group::kNone:
      break;
    case Group::kSpi:
      c.Show("cbMCS51spi");
      c.Check(kMcs51OptionBoxes[0], false);
      break;
    case Group::kFuse:
      c.SetText("cbMCS51spi", "Fuse");
      c.Show("cbMCS51spi");
      for (auto box : kMcs51OptionBoxes) c.Enable(box);
      c.Check(kMcs51OptionBoxes[0], false);
      break;
    case Group::kBootVector:
      c.Show("gbSbyteBvec");
      break;
    case Group::kWatchdog:
      c.Show("gbWatchdog89C420");
      break;
  }
}

// The family values every part starts from.
void ResetParameters(app::Descriptor::Mcs51& m, int twp, int twc, int type) {
  m.at89s = 0;
  m.vpp_byte = 0xFF;
  m.t_erase = 0;
  m.twp = twp;
  m.twc = twc;
  m.pulses = 1;
  m.type = type;
  m.twpb = 10;
  m.twpe = 25000;
  m.ird_lbit = 0;
}

// The routines time their writes from the MCS-51 values; the descriptor's
// own timings mirror them for the Configs page and the track bars.
void TakeMcs51Timings(app::Descriptor& d) {
  d.twp = d.mcs51.twp;
  d.twc = d.mcs51.twc;
}

}  // namespace

void muMCS51_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  d.family = 10;
  ResetParameters(d.mcs51, 5, 2000, 40);
  d.mcs51.sub_type = 1;
  ResetMcs51Panel(p, true);
  d.address_bits = 18;
  if (const Mcs51Row* row = Find(kMcs51, d.device_code)) ApplyRow(p, *row);
  // Codes below 2 belong to the "Autoselect" item, which names no part.
  if (d.device_code < 2) {
    app::RestoreDeviceSelection(p);
    return;
  }
  d.mcs51.socket = d.mcs51.sub_type == 8 ? kAT89S8253Socket : k40PinSocket;
  TakeMcs51Timings(d);
  d.fixed_address_bits = true;
  d.socket_picture = 51;
  app::FinishSelection(p, 10, 13);
}

void AT89C51_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  if (const Mcs51Row* row = Find(kAT89C51, d.device_code)) {
    // Only the timing set: the sub-type and socket record stay as they were.
    app::Descriptor::Mcs51& m = d.mcs51;
    p.SetBufferSize(row->size);
    m.twp = row->twp;
    m.twc = row->twc;
    m.pulses = row->pulses;
    m.twpb = row->twpb;
    m.twpe = row->twpe;
  }
  TakeMcs51Timings(d);
  d.socket_picture = 240;
  app::FinishSelection(p, 38, 0);
}

void AT89Cx051_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  ResetParameters(d.mcs51, 80, 2200, 20);
  d.mcs51.sub_type = 6;
  // Lock bit 3 does not exist on these parts.
  ResetMcs51Panel(p, false);
  d.address_bits = 18;
  d.fixed_address_bits = true;
  if (const Mcs51Row* row = Find(kMcs51x051, d.device_code)) ApplyRow(p, *row);
  if (d.device_code != 0) {
    d.mcs51.socket = k20PinSocket;
    TakeMcs51Timings(d);
    d.socket_picture = 2051;
  }
  app::FinishSelection(p, 11, 14);
}

}  // namespace families::mcu
