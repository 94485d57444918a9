#pragma once

// The PIC18 settings panel pPIC18FxxxSetting: one row of sixteen boxes per
// configuration register pair (CONFIG1L/1H .. CONFIG7L/7H), each box one bit
// of the configuration bytes in the image at 0x300000, captioned and enabled
// for the selected part; the field of each byte; and edPIC18F_ID, the eight
// ID bytes at 0x200000 as one hexadecimal number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/dispatch.h"

namespace image {
class MemoryImage;
}

namespace families::pic18 {

inline constexpr int kConfigPairs = 7;
inline constexpr char kPanel[] = "pPIC18FxxxSetting";
inline constexpr char kIdField[] = "edPIC18F_ID";

// "cbPIC18_0000" .. "cbPIC18_0015" for CONFIG1L/1H (boxes 0..7 the low
// byte's bits, 8..15 the high byte's), "cbPIC18_0100" .. for CONFIG2L/2H,
// up to "cbPIC18_0615".
std::string ConfigBoxName(int pair, int box);
// "edPIC18_CFG0" .. "edPIC18_CFG13": configuration byte k as " 0x%02X";
// the control's index holds the byte's value.
std::string ConfigByteField(int k);
// The caption of bit `bit` of configuration byte `k` on the part with
// catalogue Tag `tag` ("-" where the part has none).
const char* ConfigBitCaption(int tag, int k, int bit);

// Selection: the boxes' captions and enabled state for the selected part,
// then the boxes, fields and ID from the image.
void ShowConfigBoxes(app::Programmer& p);
// The boxes, byte fields and ID field follow the image (after a read, a
// file load, any status refresh); nothing is written to the image.
void RefreshConfigBoxes(app::Programmer& p);

// A box was clicked: every configuration byte is composed from its boxes.
void cbPIC18_0000Click(app::Programmer& p);
// `--set config-byte`: the byte fields whose value differs from the image
// are written to it, then the boxes follow.
void ConfigByteChanged(app::Programmer& p);

// The ID text: up to sixteen hexadecimal digits (an optional 0x), read as
// one number whose most significant byte is ID byte 0; nothing for any
// other text.
std::optional<uint64_t> ParseId(std::string_view text);
// The ID bytes of the image as sixteen digits.
std::string IdText(const image::MemoryImage& img);
// While typing: a valid text is written to the image, anything else waits.
void edPIC18F_IDChange(app::Programmer& p);
// On leaving the field: the text shows the image's ID again, all sixteen
// digits.
void edPIC18F_ID_exit(app::Programmer& p);


void RegisterPic18Keys(app::FamilyRegistry& registry);

}  // namespace families::pic18
