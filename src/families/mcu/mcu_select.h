#pragma once

// Catalogue handlers of the microcontroller families: MCS-51 (40-pin and the
// 20-pin AT89Cx051), AT90S AVR, PIC10/12/16, PIC18F and MCS-48. Each fills
// the device descriptor and the family's settings panel; none touches the
// board.

#include <string_view>

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterMcuSelection(app::FamilyRegistry& registry);

namespace mcu {

void muMCS51_Click(app::Programmer& p, const app::SelectItem& item);
void AT89C51_Click(app::Programmer& p, const app::SelectItem& item);
void AT89Cx051_Click(app::Programmer& p, const app::SelectItem& item);
void AVR_Click(app::Programmer& p, const app::SelectItem& item);
void M12C_Click(app::Programmer& p, const app::SelectItem& item);
void PIC18F_Click(app::Programmer& p, const app::SelectItem& item);
void D8748_Click(app::Programmer& p, const app::SelectItem& item);

// The four option boxes of the MCS-51 group `cbMCS51spi` ("SPI on/off", or
// "Fuse" for the parts with fuse bits), bit 0 first of the option word.
inline constexpr std::string_view kMcs51OptionBoxes[4] = {"cbMCS51spi0", "cbMCS51spi1",
                                                          "cbMCS51spi2", "cbMCS51spi3"};
// The six AVR fuse boxes, Tags 0..5.
inline constexpr std::string_view kAvrFuseBoxes[6] = {"cbFbit0", "cbFbit1", "cbFbit2",
                                                      "cbFbit3", "cbFbit4", "cbFbit5"};

}  // namespace mcu
}  // namespace families
