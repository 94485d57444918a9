#include "families/flash/fwh_select.h"

#include <cstdio>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_select.h"

namespace families::flash {
namespace {

using app::Controls;
using app::Descriptor;

constexpr int kFirmwareHubPicture = 82802;
constexpr int kFirmwareHubPattern = 35;
constexpr int kDefaultRcTime = 50;

struct FwhRow {
  int tag;
  uint32_t size;
};

// Intel-style chips with a status register.
constexpr FwhRow kIntelFwhRows[] = {
    {101, 512 * KB}, {102, 1 * MB}, {103, 256 * KB}, {111, 256 * KB}, {112, 512 * KB},
    {113, 1 * MB},   {114, 2 * MB}, {115, 2 * MB},   {116, 512 * KB}, {117, 512 * KB},
};

// JEDEC-style chips; 102 is the 3-Mbit part.
constexpr FwhRow kJedecFwhRows[] = {
    {101, 256 * KB},
    {102, 384 * KB},
    {103, 512 * KB},
    {104, 1 * MB},
};

// What both firmware-hub handlers share: the adapter, skip 0xFF and the
// R/C# time back at its default.
void SelectFirmwareHub(app::Programmer& p) {
  Controls& c = p.controls;
  p.dev.socket_picture = kFirmwareHubPicture;
  p.dev.layout = -1;
  p.dev.three_mbit = false;
  c.SetText("lbAdapter", " Firmware Hub/LPC ");
  c.Check("cbSkip_0xFF");
  c["tbRCtime"].index = kDefaultRcTime;
  tbRCtimeChange(p);
}

}  // namespace

void tbRCtimeChange(app::Programmer& p) {
  const int value = p.controls.Index("tbRCtime");
  p.dev.rc_time = value;
  char text[32];
  if (value >= 1000) {
    std::snprintf(text, sizeof text, " %0.1f mS", value / 1000.0);
  } else {
    std::snprintf(text, sizeof text, " %0.1f uS", static_cast<double>(value));
  }
  p.controls.SetText("edRCtime", text);
}

void N82802AB_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  d.twp = 5;
  d.twc = 40;
  SelectFirmwareHub(p);
  p.controls.Check("cbQuadruple", false);
  if (const FwhRow* row = FindRow(kIntelFwhRows, d.device_code)) p.SetBufferSize(row->size);
  app::FinishSelection(p, 34, kFirmwareHubPattern);
}

void SST49LF002_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  d.twp = 6;
  d.twc = 40;
  SelectFirmwareHub(p);
  c.Check("cbProtect", false);
  c.Enable("cbProtect", false);
  c.Enable("cbSamartProg");
  if (const FwhRow* row = FindRow(kJedecFwhRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.three_mbit = row->tag == 102;
  }
  app::FinishSelection(p, 35, kFirmwareHubPattern);
}

}  // namespace families::flash
