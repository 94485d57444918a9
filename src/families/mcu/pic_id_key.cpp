// The one `id` key of the PIC families. Each PIC panel has its own ID field
// and its own digits; the key works the field of the panel the selection
// shows and lets the selected family judge and apply the text.
#include "families/mcu/pic_id_key.h"

#include <cctype>
#include <string>
#include <string_view>

#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/mcu/pic18_config.h"
#include "families/mcu/pic_config.h"

namespace families {
namespace {

bool IsHexDigits(std::string_view text) {
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string CheckId(const app::Programmer& p, std::string_view text) {
  if (p.dev.family == 36) {
    return pic18::ParseId(text) ? std::string()
                                : "the PIC18 ID is up to sixteen hexadecimal digits (the 8 ID "
                                  "bytes, the first byte's digits first)";
  }
  return text.size() == 4 && IsHexDigits(text)
             ? std::string()
             : "the PIC ID is four hexadecimal digits, one into each ID word (1A2F)";
}

void IdChanged(app::Programmer& p) {
  if (p.dev.family == 36) {
    pic18::edPIC18F_IDChange(p);
    pic18::edPIC18F_ID_exit(p);
    return;
  }
  pic::SetIdText(p, p.controls.Text(pic::kIdField));
  p.controls.SetText(pic::kIdField, pic::IdText(p));
}

}  // namespace

void RegisterPicIdKey(app::FamilyRegistry& registry) {
  app::OptionKey id = app::CheckBoxKey(
      "id", pic::kIdField,
      "PIC ID locations: four hex digits on PIC10/12/16 (one into each ID word, 1A2F), up to "
      "sixteen on PIC18 (ID byte 0 first)");
  id.controls.push_back(pic18::kIdField);
  id.kind = app::OptionKind::kEditText;
  id.max = 18;  // sixteen digits and 0x
  id.panel = "pPICSettings|pPIC18FxxxSetting";
  id.per_panel = true;
  id.check = &CheckId;
  id.changed = &IdChanged;
  id.edits_image = true;
  registry.RegisterOption(std::move(id));
}

}  // namespace families
