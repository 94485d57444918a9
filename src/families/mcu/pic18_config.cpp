// The PIC18 settings panel's logic: the configuration boxes over the image's
// configuration bytes, the byte fields and the ID field.
#include "families/mcu/pic18_config.h"

#include <cstdio>

#include "app/programmer.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "image/layout.h"

namespace families::pic18 {
namespace {

constexpr int kConfigBytes = static_cast<int>(image::kPic18ConfigBytes);

std::string ByteText(uint8_t b) {
  char text[8];
  std::snprintf(text, sizeof text, " 0x%02X", b);
  return text;
}

uint8_t& ConfigByte(app::Programmer& p, int k) {
  return p.image[image::kPic18ConfigOffset + static_cast<uint32_t>(k)];
}

}  // namespace

std::string ConfigBoxName(int pair, int box) {
  char name[16];
  std::snprintf(name, sizeof name, "cbPIC18_%02d%02d", pair, box);
  return name;
}

std::string ConfigByteField(int k) { return "edPIC18_CFG" + std::to_string(k); }

void ShowConfigBoxes(app::Programmer& p) {
  app::Controls& c = p.controls;
  const int tag = p.dev.device_code;
  const ConfigMask& mask = Pic18ConfigMask(tag);
  for (int k = 0; k < kConfigBytes; ++k) {
    for (int bit = 0; bit < 8; ++bit) {
      const std::string box = ConfigBoxName(k / 2, (k % 2) * 8 + bit);
      c.SetText(box, ConfigBitCaption(tag, k, bit));
      c.Enable(box, ((mask[k] >> bit) & 1) != 0);
    }
    c.Enable(ConfigByteField(k), mask[k] != 0);
  }
  c.Enable(kIdField);
  pic::ForgetDeviceId(p);
  RefreshConfigBoxes(p);
}

void RefreshConfigBoxes(app::Programmer& p) {
  app::Controls& c = p.controls;
  for (int k = 0; k < kConfigBytes; ++k) {
    const uint8_t b = ConfigByte(p, k);
    for (int bit = 0; bit < 8; ++bit) {
      c.Check(ConfigBoxName(k / 2, (k % 2) * 8 + bit), ((b >> bit) & 1) != 0);
    }
    const std::string field = ConfigByteField(k);
    c.SetText(field, ByteText(b));
    c[field].index = b;
  }
  c.SetText(kIdField, IdText(p.image));
}

void cbPIC18_0000Click(app::Programmer& p) {
  const app::Controls& c = p.controls;
  for (int k = 0; k < kConfigBytes; ++k) {
    uint8_t b = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (c.Checked(ConfigBoxName(k / 2, (k % 2) * 8 + bit)))
        b = static_cast<uint8_t>(b | 1u << bit);
    }
    ConfigByte(p, k) = b;
  }
  RefreshConfigBoxes(p);
  p.host.ControlsChanged();
}

void ConfigByteChanged(app::Programmer& p) {
  for (int k = 0; k < kConfigBytes; ++k) {
    const int value = p.controls.Index(ConfigByteField(k));
    if (value >= 0 && value <= 0xFF) ConfigByte(p, k) = static_cast<uint8_t>(value);
  }
  RefreshConfigBoxes(p);
  p.host.ControlsChanged();
}

std::optional<uint64_t> ParseId(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 16) return std::nullopt;
  uint64_t value = 0;
  for (const char ch : text) {
    int digit = -1;
    if (ch >= '0' && ch <= '9') digit = ch - '0';
    if (ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint64_t>(digit);
  }
  return value;
}

std::string IdText(const image::MemoryImage& img) {
  std::string text;
  char digits[4];
  for (uint32_t k = 0; k < image::kPic18IdBytes; ++k) {
    std::snprintf(digits, sizeof digits, "%02X", img[image::kPic18IdOffset + k]);
    text += digits;
  }
  return text;
}

void edPIC18F_IDChange(app::Programmer& p) {
  const std::optional<uint64_t> id = ParseId(p.controls.Text(kIdField));
  if (!id) return;
  for (uint32_t k = 0; k < image::kPic18IdBytes; ++k) {
    p.image[image::kPic18IdOffset + k] = static_cast<uint8_t>(*id >> (8 * (7 - k)));
  }
}

void edPIC18F_ID_exit(app::Programmer& p) {
  p.controls.SetText(kIdField, IdText(p.image));
  p.host.ControlsChanged();
}


}  // namespace families::pic18
