// The EEPROM families' dispatch cells, and the keys of their settings panel
// " AT28C/29Cxxx Sector Progamming " (p29CxxxSetting).
#include <iterator>

#include "app/programmer.h"
#include "families/parallel/eeprom.h"

namespace families {
namespace eeprom {

void cbSsizeChange(app::Programmer& p) {
  const int index = p.controls.Index("cbSsize");
  if (index < 0 || index >= static_cast<int>(std::size(kPageSizes))) return;
  p.dev.page_size = kPageSizes[index];
  p.host.ControlsChanged();
}

}  // namespace eeprom

void RegisterEeprom(app::FamilyRegistry& registry) {
  using app::Action;
  registry.Register(5, Action::kProgram, &eeprom::ProgramBytes);
  registry.Register(5, Action::kErase, &eeprom::FillErase);
  registry.Register(7, Action::kProgram, &eeprom::ProgramAt28C);
  registry.Register(9, Action::kProgram, &eeprom::ProgramSectors);
  registry.Register(9, Action::kErase, &eeprom::ChipErase);
  registry.Register(9, Action::kGetId, &eeprom::ReadId3);
  // The W29EE / SST29EE parts write and erase like the AT29C; only their
  // identification entry differs.
  registry.Register(21, Action::kProgram, &eeprom::ProgramSectors);
  registry.Register(21, Action::kErase, &eeprom::ChipErase);
  registry.Register(21, Action::kGetId, &eeprom::ReadId6);
}

void RegisterEepromKeys(app::FamilyRegistry& registry) {
  app::OptionKey page = app::TrackBarKey("page-size", "cbSsize", 64, 2048,
                                         "page or sector size in bytes: 64, 128, 256, 512, 1024 "
                                         "or 2048");
  page.kind = app::OptionKind::kComboIndex;
  page.values.assign(std::begin(eeprom::kPageSizes), std::end(eeprom::kPageSizes));
  page.panel = "p29CxxxSetting";
  page.changed = &eeprom::cbSsizeChange;
  registry.RegisterOption(std::move(page));

  app::OptionKey sdp = app::CheckBoxKey(
      "sdp-off", "cbAT28CxxDis",
      "Disable software Unprotect: every page turns the software data protection off");
  sdp.panel = "p29CxxxSetting";
  registry.RegisterOption(std::move(sdp));

  app::OptionKey bytes = app::CheckBoxKey(
      "byte-write", "cbAT28CxxbyteProg",
      "Byte programming && disable Software Unprotect (10mS/byte): AT28C written byte by byte");
  bytes.panel = "p29CxxxSetting";
  registry.RegisterOption(std::move(bytes));
}

}  // namespace families
