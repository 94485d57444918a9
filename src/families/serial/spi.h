#pragma once

// The SPI routines: family 6 (25xxx SPI EEPROM) and family 57 (25-series
// SPI flash, with the SST AAI parts and the 45-series rows).

#include "app/programmer.h"

namespace families::serial::spi {

void Read6(app::Programmer& p);
void Verify6(app::Programmer& p);
void Blank6(app::Programmer& p);
void Program6(app::Programmer& p);

void Read57(app::Programmer& p);
void Verify57(app::Programmer& p);
void Blank57(app::Programmer& p);
void Program57(app::Programmer& p);  // page or AAI programming, as the row says
void Erase57(app::Programmer& p);
void GetId57(app::Programmer& p);

}  // namespace families::serial::spi
