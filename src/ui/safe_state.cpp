#include "ui/safe_state.h"

#include "app/family_codes.h"
#include "app/programmer.h"

namespace ui {

void ExitSafeState(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  if (p.dev.family != app::kSpiFlashFamily) {
    bus.PowerDown();
    return;
  }
  bus.SetData(hw::data::kClock, true);
  bus.SetData(hw::data::kSerial, false);
  bus.SetCtrl(hw::ctrl::kProgram, true);
  bus.WriteData();
  bus.WriteCtrl();
  bus.SetCtrl(hw::ctrl::kDrive, false);
  bus.WriteCtrl();
  bus.SetCtrl(hw::ctrl::kStrobe, true);
  bus.WriteCtrl();
  bus.SetCtrl(hw::ctrl::kPower, false);
  bus.WriteCtrl();
}

}  // namespace ui
