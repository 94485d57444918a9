#pragma once

// The chip models of the serial memories (families 1, 2, 6, 8, 32, 39, 51,
// 52 and 57) for the selected device, blank.

#include <memory>

#include "sim/chip.h"

namespace app {

class Programmer;

std::unique_ptr<sim::Chip> MakeSerialChip(const Programmer& p);

}  // namespace app
