// The one `id` key of the PIC families. Each PIC panel has its own ID field
// and its own digits; the key works the field of the panel the selection
// shows and lets the selected family judge and apply the text.
#include "families/mcu/pic_id_key.h"

#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/mcu/pic18_config.h"

namespace families {
namespace {

std::string CheckId(const app::Programmer& p, std::string_view text) {
  if (p.dev.family == 36) {
    return pic18::ParseId(text) ? std::string()
                                : "the PIC18 ID is up to sixteen hexadecimal digits (the 8 ID "
                                  "bytes, the first byte's digits first)";
  }
  return {};
}

void IdChanged(app::Programmer& p) {
  if (p.dev.family == 36) {
    pic18::edPIC18F_IDChange(p);
    pic18::edPIC18F_ID_exit(p);
  }
}

}  // namespace

void RegisterPicIdKey(app::FamilyRegistry& registry) {
  app::OptionKey id = app::CheckBoxKey(
      "id", pic18::kIdField,
      "PIC ID locations: up to sixteen hexadecimal digits on PIC18 (ID byte 0 first)");
  id.kind = app::OptionKind::kEditText;
  id.max = 18;  // sixteen digits and 0x
  id.panel = pic18::kPanel;
  id.check = &CheckId;
  id.changed = &IdChanged;
  id.edits_image = true;
  registry.RegisterOption(std::move(id));
}

}  // namespace families
