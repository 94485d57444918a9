#pragma once

// The parallel flash parts the simulated socket holds for the flash
// families (3, 4, 12, 15, 22, 24, 25, 26, 27, 31, 55).

#include <memory>
#include <string_view>

#include "sim/chip.h"

namespace app {

class Programmer;

// The model of the part a catalogue entry stands for, blank; nullptr for
// a family or entry without one.
std::unique_ptr<sim::Chip> MakeFlashChip(int family, int device_code, std::string_view caption);
std::unique_ptr<sim::Chip> MakeFlashChip(const Programmer& p);

// The datasheet part a catalogue entry stands for ("Am29F040", "28F010",
// ...), or an empty name.
std::string_view FlashPartFor(int family, int device_code, std::string_view caption);

}  // namespace app
