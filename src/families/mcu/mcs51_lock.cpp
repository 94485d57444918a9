// The MCS-51 lock bits and option byte, and the panel controls that choose
// them.
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/actions.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcs51_ops.h"
#include "families/mcu/mcu_select.h"

namespace families::mcs51 {
namespace {

constexpr std::array<std::string_view, 4> kLockRadios{"rbLock0", "rbLock1", "rbLock12",
                                                      "rbLock123"};

// The option boxes' captions, unchecked and checked.
struct OptionCaption {
  const char* off;
  const char* on;
};
constexpr OptionCaption kOptionCaptions[4] = {
    {"SerialPrg Enable", "SerialPrg Disable"},
    {"x2 Clock Enable", "x2 Clock Disable"},
    {"UsrRowPrg Enable", "UsrRowPrg Disable"},
    {"External Clock Enable", "Crystal Clock Enable"},
};

void ShowLockChoice(Programmer& p) {
  const int choice = p.dev.lock_mode;
  for (int i = 0; i < 4; ++i) p.controls.Check(kLockRadios[i], i == choice);
  p.controls["Mcs51_lockbit"].index = choice;
  p.host.ControlsChanged();
}

// "Lock": the combo's choice, then the pop-up closes.
void LockFromCombo(Programmer& p) {
  p.dev.lock_mode = p.controls.Index("Mcs51_lockbit");
  ShowLockChoice(p);
  LockChip(p);
  p.controls.Show("pdLockBit", false);
}

}  // namespace

void LockChip(Programmer& p) {
  const int choice = p.dev.lock_mode;
  if (choice == 0) return;
  const Ops* ops = OpsFor(p);
  if (ops == nullptr) return;
  ops->enter(p);
  Bit(p.bus, hw::ctrl::kProgram, false);
  ops->lock(p, choice);
  p.bus.DelayTicks(20000);
  p.Message("Device LockBit ", hw::kResult);
  p.bus.PowerDown();
}

void ReadLockBits(Programmer& p) {
  const Ops* ops = OpsFor(p);
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  std::string text = kCannotReadLockBits;
  if (m.ird_lbit != 0 && ops != nullptr && ops->read_lock != nullptr) {
    const uint8_t v = ops->read_lock(p);
    p.dev.mcs51.sig_lbit = v;
    // The serially programmable parts put the bits in the other order.
    const int shifts[3] = {2, m.at89s != 0 ? 1 : 3, m.at89s != 0 ? 0 : 4};
    char buf[48];
    std::snprintf(buf, sizeof buf,
                  m.at89s != 0 ? "  Bit 1,2,3 (D2,1,0) = %X%X%X" : " Bit 1,2,3 (D2,3,4) = %X%X%X",
                  (v >> shifts[0]) & 1u, (v >> shifts[1]) & 1u, (v >> shifts[2]) & 1u);
    text = buf;
  }
  p.controls.SetText("pRdLB", text);
  p.controls.Show("pRdLB");
  p.host.ControlsChanged();
}

void WriteOption(Programmer& p) {
  const Ops* ops = OpsFor(p);
  if (ops != nullptr && ops->option != nullptr) ops->option(p);
}

void rbLockClick(Programmer& p, int tag) {
  if (tag < 0 || tag > 3) return;
  p.dev.lock_mode = tag;
  ShowLockChoice(p);
}

void Mcs51_lockbitChange(Programmer& p) { rbLockClick(p, p.controls.Index("Mcs51_lockbit")); }

void cbNewAdapterClick(Programmer& p) {
  p.dev.mcs51.new_adapter = p.controls.Checked("cbNewAdapter");
}

void cbMCS51spiClick(Programmer& p) {
  uint8_t word = 0;
  for (int i = 0; i < 4; ++i) {
    const std::string_view box = mcu::kMcs51OptionBoxes[i];
    const bool on = p.controls.Checked(box);
    if (on) word = static_cast<uint8_t>(word | (1u << i));
    p.controls.SetText(box, on ? kOptionCaptions[i].on : kOptionCaptions[i].off);
  }
  p.dev.mcs51.option_word = word;
  p.host.ControlsChanged();
}

void sbLockBitClick(Programmer& p) { app::RunExtraAction(p, &LockChip); }
void btnLockBitClick(Programmer& p) { app::RunExtraAction(p, &LockFromCombo); }
void sbRdLBClick(Programmer& p) { app::RunExtraAction(p, &ReadLockBits); }
void btnMCS51spiWriteClick(Programmer& p) { app::RunExtraAction(p, &WriteOption); }

}  // namespace families::mcs51
