#pragma once

// The JEDEC command-set flash parts the simulated socket can hold: one row
// of datasheet data each (jedec_flash.h).

#include <span>
#include <string_view>

#include "sim/jedec_flash.h"

namespace sim {

std::span<const JedecPart> JedecParts();
// The parts driven 16 bits wide and the JEDEC-style firmware-hub parts.
std::span<const JedecPart> WideJedecParts();
// By name ("Am29F040", "SST39SF010A", ...); nullptr when unknown.
const JedecPart* FindJedecPart(std::string_view name);

}  // namespace sim
