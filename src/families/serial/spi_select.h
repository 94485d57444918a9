#pragma once

// Selection of the SPI serial EEPROMs (25xxx, M95xxx) and SPI flash
// (25-series, 45-series).

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::serial {

void M25C_Click(app::Programmer& p, const app::SelectItem& item);
void MX25L512_Click(app::Programmer& p, const app::SelectItem& item);

// The block-protect choice or the WPEN box changed: rebuild the
// status-register image the program routine writes back.
void cb25CxxxBPChange(app::Programmer& p);

}  // namespace families::serial
