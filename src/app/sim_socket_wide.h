#pragma once

// The parts the simulated socket holds for the wide flash families (44, 45,
// 56) on the 16-bit adapter and the firmware-hub families (34, 35).

#include <memory>
#include <string_view>

#include "sim/chip.h"

namespace app {

class Programmer;

std::unique_ptr<sim::Chip> MakeWideChip(const Programmer& p);
std::unique_ptr<sim::Chip> MakeWideChip(int family, int device_code, std::string_view caption);

// The datasheet part a catalogue entry stands for, or an empty name.
std::string_view WidePartFor(int family, int device_code, std::string_view caption);

}  // namespace app
