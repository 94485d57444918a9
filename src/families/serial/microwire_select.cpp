#include "families/serial/microwire_select.h"

#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/serial/microwire_devices.h"
#include "families/serial/serial_select.h"

namespace families::serial {
namespace {

using app::Controls;
using app::Descriptor;

// ---------------------------------------------------------------------------
// 93Cxx, AT59C and CAT35C: size, organisation, and how many address bits the
// device adds to (or takes from) the 93C46 frames.

struct MicrowireRow {
  int tag;
  uint32_t size;
  bool word_mode;
  int widen;
};

constexpr MicrowireRow kMicrowireRows[] = {
    {1, 32, false, 0},
    {2, 128, false, 0},
    {3, 128, false, 0},
    {4, 256, false, 2},
    {5, 256, false, 1},
    {6, 512, false, 2},
    {7, 1024, false, 4},
    {8, 2048, false, 4},
    {9, 32, true, -1},
    {10, 128, true, -1},
    {11, 256, true, 1},
    {12, 512, true, 1},
    {13, 1024, true, 3},
    {14, 2048, true, 3},
    // AT59C11, AT59C22, AT59C13 (1, 2 and 4 Kbit); 200 is the older code
    // of the AT59C11.
    {200, 128, false, 2},
    {201, 128, false, 2},
    {202, 256, false, 3},
    {203, 512, false, 4},
    {301, 256, false, 1},
    {302, 512, false, 2},
    {303, 1024, false, 4},
};

// ---------------------------------------------------------------------------
// CAT64LC10/20/40: 16-bit words; the word address sits shifted in the frame.

struct Cat64Row {
  int tag;
  uint32_t size;
  int shift;
};

constexpr Cat64Row kCat64Rows[] = {
    {101, 128, 2},
    {102, 256, 1},
    {103, 512, 0},
};

// ---------------------------------------------------------------------------
// Serial NVRAM: S24H30 by bytes, S24H45 / X24C44 / AT24C44 by words.

struct NvramRow {
  int tag;
  uint32_t size;
  bool words;
};

constexpr NvramRow kNvramRows[] = {
    {1, 8, false},
    {2, 32, true},
};

void ShowOrganisation(Controls& c, bool word_mode) {
  c.SetText("lb16bitmode", word_mode ? " 16 bit mode" : " 8 bit mode");
  c.Check("rb93_16bit", word_mode);
  c.Check("rb93_8bit", !word_mode);
}

// The settings panel is shared with the 24Cxx; only the 93Cxx selection uses
// the organisation controls, only the 24Cxx the pin-7 buttons.
void ShowMicrowireControls(Controls& c, bool visible) {
  for (const char* name : {"lb16bitmode", "cb93ICSP", "rb93_16bit", "rb93_8bit"}) {
    c.Show(name, visible);
  }
  c.Show("r24Cpin7high", false);
  c.Show("r24Cpin7Low", false);
}

void Reorganise(app::Programmer& p, bool word_mode) {
  Descriptor::Microwire& table = p.dev.microwire;
  table = BaseMicrowireTable();
  WidenMicrowire(table, MicrowireWidening(p.image.device_size, word_mode));
  table.word_mode = word_mode;
  ShowOrganisation(p.controls, word_mode);
}

}  // namespace

void M93C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;

  SelectSerialSocket(p);
  d.microwire = BaseMicrowireTable();
  if (const MicrowireRow* row = FindRow(kMicrowireRows, d.device_code)) {
    p.SetBufferSize(row->size);
    WidenMicrowire(d.microwire, row->widen);
    d.microwire.word_mode = row->word_mode;
  }
  c.SetText("p24CSettings", "Microwire 93Cxx setting");
  ShowMicrowireControls(c, true);
  ShowOrganisation(c, d.microwire.word_mode);
  app::FinishSelection(p, 8, kSerialPattern);
}

void rb93_16bitClick(app::Programmer& p) { Reorganise(p, true); }

void rb93_8bitClick(app::Programmer& p) { Reorganise(p, false); }

void CAT64LC10_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;

  SelectSerialSocket(p);
  d.twp = 10;
  d.twc = 7000;
  d.cat64_shift = 0;
  if (const Cat64Row* row = FindRow(kCat64Rows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.cat64_shift = row->shift;
  }
  app::FinishSelection(p, 32, kSerialPattern);
}

void S24H30_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;

  SelectSerialSocket(p);
  d.nvram_words = false;
  if (const NvramRow* row = FindRow(kNvramRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.nvram_words = row->words;
  }
  c.SetText("p24CSettings", "SERIAL NON-VOLATILE RAM");
  ShowMicrowireControls(c, false);
  if (app::FinishSelection(p, 52, kSerialPattern)) {
    p.host.Information(" Use socket 93Cxx and Pin 6,7 = 'H' ");
  }
}

}  // namespace families::serial
