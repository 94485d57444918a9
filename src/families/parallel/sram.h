#pragma once

// Static RAM (family 20: a test, run by "&Program/Test RAM") and
// battery-backed NVRAM (family 19: written like an EEPROM without a
// programming voltage; read, verify and blank check are the defaults).

#include <cstdint>
#include <functional>

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterSram(app::FamilyRegistry& registry);

namespace sram {

// The board address of byte i of the RAM test: rearranged for scrambled
// parts, with the second chip select of a 6264 (A13) or a 628128 (A17)
// held high.
uint32_t RamAddress(const app::Programmer& p, uint32_t i);

// Family 20's program action: an alternating 0xAA/0x55 pass, then a random
// pass seeded for this run. The image ends up holding the last pattern.
void TestRam(app::Programmer& p);
// The same with the random pattern drawn from `next` (tests).
void TestRamWith(app::Programmer& p, const std::function<uint8_t()>& next);
// One write pass and one read-back pass over image 0 .. data end; false
// when a byte failed or Cancel was pressed (error flag set).
bool WriteCheckRam(app::Programmer& p);

// Family 19's program action.
void WriteNvram(app::Programmer& p);

}  // namespace sram
}  // namespace families
