// The flash panels' controls by key, for `--set` and its shorthands. The
// fast command box (`fast`) and Skip Write 0xFF (`skip-ff`) are the
// options panel's, registered with the EPROM keys.
#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/flash/flash_select.h"
#include "families/flash/fwh_select.h"

namespace families {

void RegisterFlashKeys(app::FamilyRegistry& registry) {
  app::OptionKey fast_mode =
      app::CheckBoxKey("fast-mode", "cbFujitsu_fastmode",
                       "JEDEC flash: unlock-bypass fast mode, or the Atmel single-pulse program");
  fast_mode.panel = "p49F00xsetting";
  registry.RegisterOption(std::move(fast_mode));

  app::OptionKey unprotect = app::CheckBoxKey(
      "temp-unprotect", "cbProtect",
      "JEDEC flash: 12 V on #RESET/Vpp during program and erase (temporary sector unprotect)");
  unprotect.panel = "p49F00xsetting";
  registry.RegisterOption(std::move(unprotect));

  registry.RegisterOption(
      app::CheckBoxKey("fast-erase", "cb28FastErase",
                       "28F flash: erase without the 0x00 fill, verifying every 20th address"));

  app::OptionKey map =
      app::CheckBoxKey("erase-by-map", "cbMemMap", "28F00x flash: erase every 8 KB block by block");
  map.panel = "p28Fx00setting";
  registry.RegisterOption(std::move(map));

  app::OptionKey no_buffer = app::CheckBoxKey(
      "no-buffer", "cb28F320J3buffer", "28F320/640 J3: program byte by byte, not by write buffer");
  no_buffer.panel = "p28Fx00setting";
  no_buffer.inverted = true;
  registry.RegisterOption(std::move(no_buffer));

  // The firmware-hub panel.
  app::OptionKey rc_time = app::TrackBarKey(
      "rc-time", "tbRCtime", 10, 500, "firmware hub: the R/C# wait of each address load, in ticks");
  rc_time.panel = "pFirwareHubSetting";
  rc_time.changed = &flash::tbRCtimeChange;
  rc_time.value = [](const app::Programmer& p) -> int64_t { return p.dev.rc_time; };
  registry.RegisterOption(std::move(rc_time));

  app::OptionKey smart = app::CheckBoxKey(
      "smart", "cbSamartProg", "SST49LF / W49V / W39V: shorter program waits (data polling)");
  smart.panel = "pFirwareHubSetting";
  registry.RegisterOption(std::move(smart));

  app::OptionKey quad =
      app::CheckBoxKey("quad", "cbQuadruple", "M50FW / M50LPW / M50FLW: quadruple byte program");
  quad.panel = "pFirwareHubSetting";
  registry.RegisterOption(std::move(quad));
}

}  // namespace families
