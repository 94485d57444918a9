// The timing track bars of the EPROM settings panel (and the serial
// families' clock-stretch bar, which shares their handler).
#include <algorithm>
#include <cstdio>

#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"

namespace families::uv_eprom {
namespace {

struct TrackBar {
  int tag;
  const char* name;
  int min, max;
};
constexpr int kSpiWriteCycleMax = 30000;
constexpr TrackBar kBars[] = {
    {1, "tbTWC", 1, 100},
    {2, "tbTWP", 1, 100},
    {3, "tb_clip", 1, 200},
};

}  // namespace

void tbTWCChange(app::Programmer& p, int tag, int position) {
  if (p.dev.settings_update) return;
  const TrackBar* bar = nullptr;
  for (const TrackBar& b : kBars) {
    if (b.tag == tag) bar = &b;
  }
  if (bar == nullptr) return;
  // The SPI EEPROM's write cycle runs in milliseconds on the same bar.
  const int max = tag == 1 && p.dev.family == 6 ? kSpiWriteCycleMax : bar->max;
  const int value = std::clamp(position, bar->min, max);
  p.controls[bar->name].index = value;
  switch (tag) {
    case 1:
      p.dev.twc = value;
      break;
    case 2:
      p.dev.twp = value;
      break;
    default: {
      char text[32];
      std::snprintf(text, sizeof text, " %0.1f uS", static_cast<double>(value));
      p.controls.SetText("ed_tclip", text);
      p.dev.spi.clock_stretch = value;  // the SPI EEPROM's command table
      break;
    }
  }
  p.host.ControlsChanged();
}

void RestoreDeviceTiming(app::Programmer& p) {
  app::Descriptor& d = p.dev;
  d.twc = d.device_twc;
  d.twp = d.device_twp;
  for (const TrackBar& b : kBars) {
    const int value = b.tag == 1 ? d.twc : d.twp;
    if (b.tag <= 2) p.controls[b.name].index = std::clamp(value, b.min, b.max);
  }
  p.host.ControlsChanged();
}

}  // namespace families::uv_eprom
