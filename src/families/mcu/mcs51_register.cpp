// The MCS-51 dispatch cells and the settings-panel keys: `lock` is the lock
// choice (the combo box, which the radios follow), the three boxes are the
// panel's own.
#include "app/option_keys.h"
#include "app/programmer.h"
#include "families/mcu/mcs51.h"

namespace families {
namespace {

constexpr char kPanel[] = "pMCS51Setting";

int64_t LockChoice(const app::Programmer& p) { return p.dev.lock_mode; }

app::OptionKey PanelBox(const char* key, const char* control, const char* help) {
  app::OptionKey k = app::CheckBoxKey(key, control, help);
  k.panel = kPanel;
  return k;
}

}  // namespace

void RegisterMcs51(app::FamilyRegistry& registry) {
  using app::Action;
  constexpr struct {
    Action action;
    app::Routine routine;
  } kCells[] = {
      {Action::kRead, &mcs51::ReadChip},     {Action::kProgram, &mcs51::ProgramChip},
      {Action::kVerify, &mcs51::VerifyChip}, {Action::kBlank, &mcs51::BlankCheck},
      {Action::kErase, &mcs51::EraseChip},   {Action::kGetId, &mcs51::GetId},
  };
  // The 20-pin parts go through the same routines.
  for (const int family : {10, 11}) {
    for (const auto& cell : kCells) registry.Register(family, cell.action, cell.routine);
  }

  app::OptionKey lock = app::ComboIndexKey(
      "lock", "Mcs51_lockbit", 0, 3,
      "MCS-51 lock bits to write: 0 none, 1 LB1, 2 LB1+2, 3 LB1+2+3 (nothing on the 20-pin parts)");
  lock.panel = kPanel;
  lock.changed = &mcs51::Mcs51_lockbitChange;
  lock.value = &LockChoice;
  registry.RegisterOption(std::move(lock));
  registry.RegisterOption(
      PanelBox("auto-erase", "cbAutoErase", "MCS-51: erase the chip before programming"));
  registry.RegisterOption(PanelBox("auto-lock", "cbAutoLockBit",
                                   "MCS-51: write the lock bits (--lock) after a good program"));
  // "new-adapter" is shared with the AVR panel: families/mcu/avr_panel.cpp.
}

}  // namespace families
