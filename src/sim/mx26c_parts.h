#pragma once

// The MX26C1000/2000 multiple-time-programmable EPROMs: EPROM pinout, with
// the 12 V command register of the host-timed flash parts (sim::Flash12V)
// behind it.

#include <string_view>

#include "sim/flash12v.h"

namespace sim {

// By name ("MX26C1000", "MX26C2000"); nullptr when unknown.
const Flash12VPart* FindMx26cPart(std::string_view name);

}  // namespace sim
