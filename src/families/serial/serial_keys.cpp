// The serial families' settings-panel controls by key, applied as a user's
// change in the window is, handler included.
#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"
#include "families/serial/microwire_select.h"
#include "families/serial/serial_controls.h"
#include "families/serial/serial_select.h"
#include "families/serial/spi_select.h"

namespace families {
namespace {

void WpChanged(app::Programmer& p) {
  if (p.controls.Checked("r24Cpin7high")) {
    serial::r24Cpin7highClick(p);
  } else {
    serial::r24Cpin7LowClick(p);
  }
}
int64_t Wp(const app::Programmer& p) { return p.dev.pin7; }

void OrgChanged(app::Programmer& p) {
  if (p.controls.Index("rb93_16bit") == 1) {
    serial::rb93_16bitClick(p);
  } else {
    serial::rb93_8bitClick(p);
  }
}
int64_t Org(const app::Programmer& p) { return p.dev.microwire.word_mode ? 16 : 8; }

void StretchChanged(app::Programmer& p) {
  uv_eprom::tbTWCChange(p, 3, p.controls.Index("tb_clip"));
}
int64_t Stretch(const app::Programmer& p) { return p.dev.spi.clock_stretch; }

}  // namespace

void RegisterSerialKeys(app::FamilyRegistry& registry) {
  app::OptionKey wp =
      app::CheckBoxKey("wp", "r24Cpin7high", "24Cxxx: pin 7 (WP) high, the chip write protected");
  wp.panel = "p24CSettings";
  wp.changed = &WpChanged;
  wp.value = &Wp;
  registry.RegisterOption(std::move(wp));

  app::OptionKey org =
      app::ComboIndexKey("org", "rb93_16bit", 0, 1,
                         "93Cxx organisation: 8 (pin 6 ORG to GND) or 16 bits (pin 6 open)");
  org.choices = {"8", "16"};
  org.panel = "p24CSettings";
  org.changed = &OrgChanged;
  org.value = &Org;
  registry.RegisterOption(std::move(org));

  app::OptionKey icsp = app::CheckBoxKey("icsp", "cb93ICSP", "93Cxx on the ICSP connector");
  icsp.panel = "p24CSettings";
  icsp.changed = &serial::cb93ICSP_Click;
  registry.RegisterOption(std::move(icsp));

  app::OptionKey bp;
  bp.key = "block-protect";
  bp.controls = {"cb25CxxxBP"};
  bp.kind = app::OptionKind::kComboIndex;
  bp.min = 0;
  bp.max = 3;
  bp.choices = {"none", "quarter", "half", "all"};
  bp.help = "SPI EEPROM block protection written after the data";
  bp.panel = "p25CxxxSetting";
  bp.changed = &serial::cb25CxxxBPChange;
  registry.RegisterOption(std::move(bp));

  app::OptionKey wpen =
      app::CheckBoxKey("wpen", "cbWPEN25C", "SPI EEPROM: set WPEN with the protection");
  wpen.panel = "p25CxxxSetting";
  wpen.changed = &serial::cb25CxxxBPChange;
  registry.RegisterOption(std::move(wpen));

  app::OptionKey stretch =
      app::TrackBarKey("clock-stretch", "tb_clip", 1, 200,
                       "SPI EEPROM: ticks added to every wait; any stretch reads byte by byte");
  stretch.panel = "p25CxxxSetting";
  stretch.changed = &StretchChanged;
  stretch.value = &Stretch;
  registry.RegisterOption(std::move(stretch));
}

}  // namespace families
