// The AVR panel's controls by key, for `--set` and its shorthands: the lock
// mode (the three radios), the six fuse boxes, and the New Adapter box the
// AVR panel shares with the MCS-51 20-pin panel.
#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/mcu/avr.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcu_select.h"

namespace families {
namespace {

constexpr char kPanel[] = "pAVRsetting";

// The radios have no index of their own: the key keeps the chosen item on
// the first radio, and the change checks the one it names.
void LockModeChanged(app::Programmer& p) { avr::rbAVRmClick(p, p.controls.Index("rbAVRm1") + 1); }
int64_t LockMode(const app::Programmer& p) { return p.dev.avr.lock_mode; }

// Both New Adapter boxes follow the one key; each flag follows its box.
void NewAdapterChanged(app::Programmer& p) {
  mcs51::cbNewAdapterClick(p);
  avr::cbNewAdapterAVRClick(p);
}

}  // namespace

void RegisterAvrKeys(app::FamilyRegistry& registry) {
  app::OptionKey lock = app::ComboIndexKey(
      "avr-lock", "rbAVRm1", 1, 3,
      "AVR lock mode the Lock Bit button writes: 1 none, 2 no further programming, 3 no verify");
  lock.values = {1, 2, 3};
  lock.panel = kPanel;
  lock.changed = &LockModeChanged;
  lock.value = &LockMode;
  registry.RegisterOption(std::move(lock));

  app::OptionKey fuse = app::CheckBoxKey(
      "avr-fuse-bit", "", "AVR fuse boxes 0..5 (1 = unprogrammed); the part's captions name them");
  fuse.controls.assign(std::begin(mcu::kAvrFuseBoxes), std::end(mcu::kAvrFuseBoxes));
  fuse.panel = kPanel;
  fuse.changed = &avr::cbFbit0Click;
  registry.RegisterOption(std::move(fuse));

  app::OptionKey adapter =
      app::CheckBoxKey("new-adapter", "cbNewAdapter",
                       "MCS-51 20-pin parts and AVR: the adapter with the mirrored data wiring");
  adapter.controls.push_back("cbNewAdapterAVR");
  adapter.panel = "pMCS51Setting|pAVRsetting";
  adapter.per_panel = true;
  adapter.changed = &NewAdapterChanged;
  registry.RegisterOption(std::move(adapter));
}

}  // namespace families
