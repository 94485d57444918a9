// The EPROM panel's controls by key. The track bars go through their shared
// change handler exactly as a move of the bar in the window does, so tWP
// and tWC follow.
#include "families/parallel/uv_eprom_keys.h"

#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"

namespace families {
namespace {

void TwcChanged(app::Programmer& p) { uv_eprom::tbTWCChange(p, 1, p.controls.Index("tbTWC")); }
void TwpChanged(app::Programmer& p) { uv_eprom::tbTWCChange(p, 2, p.controls.Index("tbTWP")); }
int64_t Twc(const app::Programmer& p) { return p.dev.twc; }
int64_t Twp(const app::Programmer& p) { return p.dev.twp; }

}  // namespace

void RegisterUvEpromKeys(app::FamilyRegistry& registry) {
  // These two sit on the options panel above every family's own.
  registry.RegisterOption(app::CheckBoxKey(
      "skip-ff", "cbSkip_0xFF", "Skip Write 0xFF: leave bytes equal to 0xFF unprogrammed"));
  registry.RegisterOption(
      app::CheckBoxKey("fast", "cbFastPro", "Fast Programming, where the family has it"));

  app::OptionKey twp =
      app::TrackBarKey("twp", "tbTWP", 1, 100, "EPROM program pulse tWP, in ticks of 0.8381 us");
  twp.panel = "p27CSettings";
  twp.changed = &TwpChanged;
  twp.value = &Twp;
  registry.RegisterOption(std::move(twp));

  // The SPI EEPROM panel shows the same bar for its write-cycle time.
  app::OptionKey twc = app::TrackBarKey(
      "twc", "tbTWC", 1, 30000,
      "tWC in ticks of 0.8381 us: the EPROM wait (1..100), the SPI EEPROM write cycle");
  twc.panel = "p27CSettings|p25CxxxSetting";
  twc.changed = &TwcChanged;
  twc.value = &Twc;
  registry.RegisterOption(std::move(twc));
}

}  // namespace families
