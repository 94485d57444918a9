#include "app/winstat.h"

#include <cstdio>

#include "app/dispatch.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "image/checksum.h"

namespace app {

StatusSummary winstat(Programmer& p) {
  image::MemoryImage& img = p.image;
  img.device_size = img.full_device_size;

  p.host.HideGauge();
  Controls& c = p.controls;
  c.Show("pProcess", false);

  StatusSummary status;
  status.device_size = img.device_size;
  status.checksum = image::ShowChecksum(img, p.dev.pic, c.Index("cbCheckType"));
  char text[16];
  // With no device the last address wraps to 0xFFFFFFFF, as the field
  // always showed it.
  std::snprintf(text, sizeof text, " 0x%X", static_cast<unsigned>(img.device_size - 1));
  status.last_address = text;
  c.SetText("edChecksum", status.checksum);
  c.SetText("edBuffer", status.last_address);

  c.Enable("pICON");
  // Every refresh marks the board revision group; the stored setting
  // relies on it.
  p.dev.board_flag = true;
  RedrawSettingsPanels(p);
  if (const Routine refresh = Families().FindPanelRefresh(p.dev.family)) refresh(p);
  p.host.ControlsChanged();
  return status;
}

}  // namespace app
