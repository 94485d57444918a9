#pragma once

// The multiplexed address load and the cycles built on it.

#include <cstdint>

#include "app/programmer.h"
#include "families/flash/flash_frame.h"

namespace families::fwh {

using flash::Bit;
using flash::kDrive;
using flash::kPower;
using flash::kProgram;
using flash::Wait;

// F1: the row (A10..A0 of `address`) while R/C# (control bit 2) falls, the
// R/C# time, the column (address >> 11), control bit 1 set, 2 ticks, R/C#
// back high (the column is taken), 20 ticks. Leaves the port driving the
// bus with the part's outputs off.
void LoadAddress(app::Programmer& p, uint32_t address);

// One write cycle at the address last loaded: the byte on the bus, WE# for
// `pulse` ticks, `pause` ticks.
void WriteCycle(hw::Bus& bus, uint8_t byte, int32_t pulse, int32_t pause);

// F1 then WriteCycle: every command cycle loads its address in full (the
// part decodes commands on A14..A0 of the address it latched on R/C#).
void CommandAt(app::Programmer& p, uint32_t address, uint8_t byte, int32_t pulse, int32_t pause);

// The byte at the address last loaded: outputs on for 0.2 us, the read
// path, outputs off again.
uint8_t ReadHere(hw::Bus& bus);

// The read-array command of the family (0xFF for 34, 0xF0 for 35).
uint8_t ReadArrayCode(const app::Programmer& p);

// After the socket is powered down: the shared verify and "Device
// Programmed OK" when the program went through, then the data end as it was.
void FinishProgram(app::Programmer& p, const flash::ProgramRun& run, bool ok);

// The chip address of image index i (buffer offset + i).
inline uint32_t ChipAddressOf(const app::Programmer& p, uint32_t index) {
  return p.image.buffer_offset + index;
}

}  // namespace families::fwh
