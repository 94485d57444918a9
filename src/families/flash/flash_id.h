#pragma once

// What every flash Get ID does with the codes it read.

#include <cstdint>

#include "app/programmer.h"

namespace families::flash {

// The identification lookup with the CFI buffer, then the fast-mode box set
// from the flag the lookup leaves (the box is that flag: an identification
// turns it on for the parts that have the mode and off for every other).
void Identify(app::Programmer& p, uint8_t manufacturer, uint8_t device);

// One byte read with the outputs on at `address`: the address shifted
// (OE# goes low with it), then the read path.
uint8_t ReadAt(hw::Bus& bus, uint32_t address);

// The 112 CFI bytes at the addresses first, first + step, ...; each read
// with OE# pulsed high for 20 ticks and low for 5 first.
void ReadCfiBuffer(app::Programmer& p, uint32_t first, uint32_t step);

}  // namespace families::flash
