// The PIC18 panel's configuration bytes by key: `--set config-byte=N=0xHH`
// writes CONFIG1L (0) .. CONFIG7H (13) as the boxes of that byte would.
#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/mcu/pic18_config.h"

namespace families::pic18 {

void RegisterPic18Keys(app::FamilyRegistry& registry) {
  app::OptionKey config = app::TrackBarKey(
      "config-byte", "", 0, 0xFF,
      "PIC18 configuration byte N (0 CONFIG1L .. 13 CONFIG7H) in the image: config-byte=N=0xHH; "
      "a byte the part does not implement is refused");
  config.controls.clear();
  for (int k = 0; k < 14; ++k) config.controls.push_back(ConfigByteField(k));
  config.panel = kPanel;
  config.changed = &ConfigByteChanged;
  config.edits_image = true;
  registry.RegisterOption(std::move(config));
  registry.RegisterPanelRefresh(36, &RefreshConfigBoxes);
}

}  // namespace families::pic18
