#pragma once

// The parallel EEPROMs and sector-write flash parts the simulated socket can
// hold, each with its datasheet row.

#include <span>
#include <string_view>

#include "sim/parallel_eeprom.h"

namespace sim {

std::span<const EepromPart> EepromParts();
// By name ("AT28C256", "W29EE011", ...); nullptr when unknown.
const EepromPart* FindEepromPart(std::string_view name);

}  // namespace sim
