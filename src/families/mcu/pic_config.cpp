// pPICSettings: the configuration word composed from three lists and eight
// boxes by the selected row, the word read back into them, the user ID
// field and the "MCLRE +5V" box.
#include "families/mcu/pic_config.h"

#include <cctype>
#include <cstdio>

#include "app/actions.h"
#include "families/mcu/pic.h"

namespace families::pic {
namespace {

constexpr uint16_t kBits = 0x3FFF;

std::span<const uint16_t> Values(const ConfigRow& row, int list) {
  switch (list) {
    case 0:
      return row.oscillator;
    case 1:
      return row.code_protect;
    default:
      return row.brown_out;
  }
}

// The items a list offers: as many as its texts.
size_t ItemCount(int algorithm, int list) {
  return ListTexts(algorithm, static_cast<ListKind>(list)).size();
}

int WordBits(const app::Programmer& p) { return IsPic12(p) ? 12 : 14; }

void ShowWord(app::Programmer& p, uint16_t word) {
  p.controls.SetText(kConfigField, ConfigText(word));
  p.controls.SetText(kConfigBinary, ConfigBinaryText(word, WordBits(p)));
}

// Lists and boxes -> the word, into the image and the descriptor.
void Recompose(app::Programmer& p) {
  const int algorithm = p.dev.pic16.algorithm;
  const ConfigRow& row = ConfigRowFor(algorithm);
  std::array<int, 3> index{};
  for (int l = 0; l < 3; ++l) {
    const int i = p.controls.Index(kLists[l]);
    index[l] = i >= 0 && static_cast<size_t>(i) < ItemCount(algorithm, l) ? i : -1;
  }
  std::array<bool, 8> boxes{};
  for (int b = 0; b < 8; ++b) boxes[b] = p.controls.Checked(kBoxes[b]);
  const uint16_t word = ComposeConfig(row, index, boxes);
  p.image.SetWord(p.dev.pic16.config_index, word);
  p.dev.pic16.config_word = word;
  ShowWord(p, word);
  p.host.ControlsChanged();
}

}  // namespace

uint16_t ComposeConfig(const ConfigRow& row, const std::array<int, 3>& list_index,
                       const std::array<bool, 8>& boxes) {
  uint16_t word = 0;
  for (int l = 0; l < 3; ++l) {
    const std::span<const uint16_t> values = Values(row, l);
    const int i = list_index[l];
    if (i >= 0 && static_cast<size_t>(i) < values.size()) word |= values[i];
  }
  for (int b = 0; b < 8; ++b) {
    const uint16_t mask = row.masks[b];
    const bool inverted = (mask & kMaskInverted) != 0;
    // The box names what the bits do when they are 0 on an inverted mask.
    if (boxes[b] != inverted) word |= static_cast<uint16_t>(mask & kBits);
  }
  return word;
}

std::string ConfigText(uint16_t word) {
  char text[16];
  std::snprintf(text, sizeof text, " 0x%04X", word);
  return text;
}

std::string ConfigBinaryText(uint16_t word, int bits) {
  std::string text;
  for (int b = bits - 1; b >= 0; --b) {
    text += ((word >> b) & 1) != 0 ? '1' : '0';
    if (b % 4 == 0 && b != 0) text += ' ';
  }
  return text;
}

void cbPICChange(app::Programmer& p) { Recompose(p); }
void cbWDTEClick(app::Programmer& p) { Recompose(p); }

void SetFuses(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const int algorithm = pic.algorithm;
  const ConfigRow& row = ConfigRowFor(algorithm);
  const uint16_t word = p.image.Word(pic.config_index);
  for (int l = 0; l < 3; ++l) {
    const std::span<const uint16_t> values = Values(row, l).first(ItemCount(algorithm, l));
    // Compare only the bits the list covers: the first 0x0000 item would
    // otherwise match every word and a CP-off word would show "CP ALL".
    uint16_t covered = 0;
    for (const uint16_t v : values) covered |= v;
    int index = -1;
    for (size_t i = 0; i < values.size(); ++i) {
      if (values[i] == (word & covered)) {
        index = static_cast<int>(i);
        break;
      }
    }
    p.controls[kLists[l]].index = index;
  }
  for (int b = 0; b < 8; ++b) {
    const uint16_t mask = row.masks[b];
    const auto bits = static_cast<uint16_t>(mask & kBits);
    bool on = false;
    if (bits != 0) {
      on = (mask & kMaskInverted) != 0 ? (word & bits) == 0 : (word & bits) == bits;
    }
    p.controls.Check(kBoxes[b], on);
  }
  p.dev.pic16.config_word = word;
  ShowWord(p, word);
  p.controls.SetText(kIdField, IdText(p));
  p.host.ControlsChanged();
}

void FillConfigPanel(app::Programmer& p) {
  const int algorithm = p.dev.pic16.algorithm;
  const ConfigRow& row = ConfigRowFor(algorithm);
  for (int l = 0; l < 3; ++l) {
    const auto texts = ListTexts(algorithm, static_cast<ListKind>(l));
    app::ControlState& list = p.controls[kLists[l]];
    list.items.assign(texts.begin(), texts.end());
    list.enabled = !texts.empty();
  }
  // The third list holds the write-protect ranges on the parts that have
  // them instead of a brown-out choice.
  const bool write_protect = algorithm == 10 || algorithm == 15 || algorithm == 20;
  p.controls.SetText("lbPICbod", write_protect ? "Write Protect" : "Brown-out");
  for (int b = 0; b < 8; ++b) p.controls.Enable(kBoxes[b], (row.masks[b] & kBits) != 0);
  ForgetDeviceId(p);
  SetFuses(p);
}

std::string IdText(const app::Programmer& p) {
  const uint32_t first = p.dev.pic16.id_index;
  char text[8];
  std::snprintf(text, sizeof text, "%X%X%X%X", p.image.Word(first) & 0xF,
                p.image.Word(first + 1) & 0xF, p.image.Word(first + 2) & 0xF,
                p.image.Word(first + 3) & 0xF);
  return text;
}

bool SetIdText(app::Programmer& p, std::string_view text) {
  if (text.size() != 4) return false;
  uint16_t nibbles[4];
  for (size_t k = 0; k < 4; ++k) {
    const auto c = static_cast<unsigned char>(text[k]);
    if (!std::isxdigit(c)) return false;
    nibbles[k] = static_cast<uint16_t>(std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10);
  }
  for (uint32_t k = 0; k < 4; ++k) p.image.SetWord(p.dev.pic16.id_index + k, nibbles[k]);
  return true;
}

void edPIC_IDChange(app::Programmer& p) {
  if (SetIdText(p, p.controls.Text(kIdField))) p.host.ControlsChanged();
}

void ApplyMclre5(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  // From rest: VPP off, the lines low. With the box checked VDD comes up
  // first and PGD goes high after it, so no line drives an unpowered chip;
  // unchecked, PowerDown takes the lines low with the power.
  bus.PowerDown();
  if (!p.controls.Checked(kMclre5)) return;
  bus.SetCtrl(hw::ctrl::kPower, true);
  bus.WriteCtrl();
  bus.DelayTicks(1000);
  bus.SetData(0, true);
  bus.SetData(1, false);
  bus.WriteData();
}

void cbMCLRE5_Click(app::Programmer& p) { app::RunExtraAction(p, &ApplyMclre5); }

}  // namespace families::pic
