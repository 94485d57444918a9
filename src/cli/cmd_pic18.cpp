// What the PIC18 parts add to `info --json`: the configuration bytes and
// the ID the panel holds.
#include <cstdio>
#include <string>
#include <vector>

#include "app/programmer.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/report.h"
#include "families/mcu/pic18.h"
#include "families/mcu/pic18_config.h"
#include "image/layout.h"

namespace cli {

namespace pic18 = families::pic18;

void AddPic18Info(Json& j, const app::Programmer& p) {
  const pic18::ConfigMask& mask = pic18::Pic18ConfigMask(p.dev.device_code);
  std::vector<std::string> config, masks;
  char text[8];
  for (uint32_t k = 0; k < image::kPic18ConfigBytes; ++k) {
    std::snprintf(text, sizeof text, "0x%02X", p.image[image::kPic18ConfigOffset + k]);
    config.push_back(text);
    std::snprintf(text, sizeof text, "0x%02X", mask[k]);
    masks.push_back(text);
  }
  j.BeginObject("pic18")
      .Field("config", config)
      .Field("config_mask", masks)
      .Field("id", pic18::IdText(p.image))
      .EndObject();
}

}  // namespace cli
