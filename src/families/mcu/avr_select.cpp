// Selection of the AT90S AVR parts, programmed in high-voltage parallel mode
// through a DIP20, DIP28 or DIP40 adapter.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/mcu/mcu_select.h"

namespace families::mcu {
namespace {

struct AvrRow {
  int code;
  uint32_t flash;          // bytes
  uint32_t eeprom;         // bytes
  const char* adapter;     // lbAdapter caption
  const char* first_fuse;  // caption of fuse box 0
  bool clock_fuses;        // the CKSEL and brown-out boxes apply
};

// The DIP20 parts go straight into the socket, so they show no adapter.
// clang-format off
constexpr AvrRow kAvr[] = {
    {101, 1024, 64, "", "RCEN", false},
    {102, 2048, 128, "", "FSTRT", false},
    {103, 2048, 128, "  AVR DIP28  ", "CKSEL0", true},
    {104, 4096, 256, "  AVR DIP28  ", "CKSEL0", true},
    {105, 4096, 256, "  AVR DIP40  ", "FSTRT", false},
    {106, 8192, 512, "  AVR DIP40  ", "FSTRT", false},
    {107, 4096, 256, "  AVR DIP40  ", "FSTRT", false},
    {108, 8192, 512, "  AVR DIP40  ", "FSTRT", false},
};
// clang-format on

constexpr const char* kFuseCaptions[6] = {"CKSEL0", "CKSEL1",   "CKSEL2 ",
                                          "BODEN",  "BODLEVEL", "SPIEN"};

// Socket picture of the AVR adapter jumper drawing.
constexpr int kAvrPicture = 90;

}  // namespace

void AVR_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  app::Controls& c = p.controls;
  // The buffer views lay the image out by family, so the family is known
  // before the size is set.
  d.family = 14;
  for (int i = 0; i < 6; ++i) {
    c.SetText(kAvrFuseBoxes[i], kFuseCaptions[i]);
    c.Enable(kAvrFuseBoxes[i]);
  }
  for (const AvrRow& row : kAvr) {
    if (row.code != d.device_code) continue;
    p.SetBufferSize(row.flash);
    d.avr.flash_size = row.flash;
    d.avr.eeprom_size = row.eeprom;
    // The parts with the clock fuses read their lock bits apart from them.
    d.avr.locks_in_low_bits = row.clock_fuses;
    c.SetText("lbAdapter", row.adapter);
    c.SetText(kAvrFuseBoxes[0], row.first_fuse);
    for (int i = 1; i <= 4; ++i) c.Enable(kAvrFuseBoxes[i], row.clock_fuses);
  }
  d.avr.lock_mode = 1;
  c.Check("rbAVRm1");
  c.Check("rbAVRm2", false);
  c.Check("rbAVRm3", false);
  d.avr.new_adapter = false;
  c.Check("cbNewAdapterAVR", false);
  d.avr.fuse = 0xFF;
  for (auto box : kAvrFuseBoxes) c.Check(box);
  char fuse[8];
  std::snprintf(fuse, sizeof fuse, " 0x%02X", d.avr.fuse);
  c.SetText("edEPRFuse", fuse);
  c.Enable("edOffset", false);
  d.socket_picture = kAvrPicture;
  app::FinishSelection(p, 14, 0);
}

}  // namespace families::mcu
