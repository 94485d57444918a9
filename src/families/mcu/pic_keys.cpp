// The PIC panel's controls by key, for `--set` and its shorthands: the
// configuration word, "MCLRE +5V" and which OSCCAL a Program
// keeps when the file's differs from the chip's.
#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic_config.h"

namespace families {
namespace {

constexpr char kPanel[] = "pPICSettings";

// The word rides on the field's index: the window types it into the image
// and shows it back through the lists and boxes.
void ConfigChanged(app::Programmer& p) {
  const auto word = static_cast<uint16_t>(p.controls.Index(pic::kConfigField));
  p.image.SetWord(p.dev.pic16.config_index, word);
  pic::SetFuses(p);
}
int64_t ConfigValue(const app::Programmer& p) { return p.image.Word(p.dev.pic16.config_index); }

// Only an explicit choice answers the OSCCAL question from here.
void OsccalChanged(app::Programmer& p) {
  app::ControlState& source = p.controls[pic::kOsccalSource];
  if (source.index == pic::kOsccalAsk) source.index = pic::kOsccalUnanswered;
}

}  // namespace

void RegisterPicKeys(app::FamilyRegistry& registry) {
  app::OptionKey config = app::TrackBarKey(
      "config", pic::kConfigField, 0, 0x3FFF,
      "PIC configuration word (0x.. or decimal); the panel's lists and boxes follow it");
  config.panel = kPanel;
  config.changed = &ConfigChanged;
  config.value = &ConfigValue;
  config.edits_image = true;
  registry.RegisterOption(std::move(config));

  app::OptionKey mclre = app::CheckBoxKey(
      "mclre-5v", pic::kMclre5,
      "PIC flash parts: leave VDD on after programming, so the chip runs (MCLRE +5V)");
  mclre.panel = kPanel;
  registry.RegisterOption(std::move(mclre));

  app::OptionKey osccal = app::ComboIndexKey(
      "osccal", pic::kOsccalSource, 1, 2,
      "12F629/675, 16F630/676: when the file's OSCCAL differs from the chip's, keep the chip's "
      "(chip) or write the file's (file); --yes never answers this");
  osccal.choices = {"", "chip", "file"};
  osccal.panel = kPanel;
  osccal.changed = &OsccalChanged;
  registry.RegisterOption(std::move(osccal));
}

}  // namespace families
