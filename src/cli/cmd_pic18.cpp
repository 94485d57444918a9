// What the PIC18 parts add to `id` and `info`: the device-ID window, and
// the configuration bytes and ID the panel holds.
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

int PrintPic18Id(const GlobalOptions& g, const app::Programmer& p, int rc) {
  const app::ControlState* shown = p.controls.Find(pic18::kDeviceIdControl);
  if (rc != kOk) return rc;
  if (shown == nullptr || shown->text.empty() || shown->index < 0) {
    Error("the identification read no device ID");
    return kFailed;
  }
  const auto id = static_cast<uint16_t>(shown->index);
  const pic18::DeviceIdWindow w = pic18::DescribeDeviceId(id);
  if (g.json) {
    Json j;
    j.BeginObject()
        .Field("title", shown->text)
        .Field("value", w.value)
        .Field("id", int{id})
        .Field("bits", w.binary)
        .Field("revision", w.revision)
        .Field("device", w.name)
        .EndObject();
    std::printf("%s\n", j.str().c_str());
  } else if (!g.quiet) {
    std::printf("%s\nValue:   %s\nBits:     %s\nRevision: %d\nDevice:  %s\n", shown->text.c_str(),
                w.value.c_str(), w.binary.c_str(), w.revision, w.name.c_str());
  }
  return rc;
}

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
