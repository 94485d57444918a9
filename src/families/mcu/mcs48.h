#pragma once

// MCS-48/41 microcontrollers on the DIP32-to-MCS-48 adapter: the EPROM and
// OTP parts (family 28: read, verify, blank check, program) and the ROM
// parts (family 29: read and verify). Their delays are fixed; the
// descriptor's timing values are not read.

#include <cstdint>

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterMcs48(app::FamilyRegistry& registry);

namespace mcs48 {

using app::Programmer;

// Latch bit 4 is TEST0: 0 programs, 1 verifies.
inline constexpr uint32_t kProgramMode = 0x00;
inline constexpr uint32_t kVerifyMode = 0x10;

// Puts the address on the chip: the high nibble and the mode through the
// address register (port 2 and TEST0), the low byte on the data bus, where
// RESET latches it as control bit 1 comes up.
void SetAddress48(Programmer& p, uint32_t address, uint32_t mode);

void Read48(Programmer& p);
void Verify48(Programmer& p);
void Blank48(Programmer& p);
void Program48(Programmer& p);

}  // namespace mcs48
}  // namespace families
