#pragma once

// Steps the SPI flash routines share.

#include <cstdint>

#include "app/programmer.h"
#include "families/serial/spi_primitives.h"

namespace families::serial::spi {

// SI low, SCK low, CS set, control bit 1 set, power on, each written.
void PowerUp57(Spi& spi);
// RDSR until bit 0 (busy) is clear, at most `polls` times. False when the
// part stayed busy.
bool WaitWhileBusy(Spi& spi, int polls);
// SST: EWSR, then WRSR 0x00 (the parts power up with every block protected).
void UnprotectSst(Spi& spi);
// The progress area's loop label (lbLoopPeak).
void ShowLoopLabel(app::Programmer& p, const char* text);

}  // namespace families::serial::spi
