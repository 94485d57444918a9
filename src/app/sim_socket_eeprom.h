#pragma once

// The chip models of the parallel EEPROMs, the sector-write flash, the
// MX26C1000/2000, static RAM and NVRAM, by family type code and device code.

#include <memory>
#include <string_view>

#include "sim/chip.h"

namespace app {

class Programmer;

// Families 5, 7, 9 and 21: the EEPROM model with the part's datasheet row;
// nullptr for a device code no part is known for.
std::unique_ptr<sim::Chip> MakeEepromChip(const Programmer& p);
// Family 30: the MX26C1000/2000 on the 12 V command-set model.
std::unique_ptr<sim::Chip> MakeMx26Chip(const Programmer& p);
// Families 19 and 20: static RAM, NVRAM and timekeeper modules.
std::unique_ptr<sim::Chip> MakeRamChip(const Programmer& p);

// The part the simulated socket holds for a device, "" when none.
std::string_view EepromPartFor(int family, int device_code);

}  // namespace app
