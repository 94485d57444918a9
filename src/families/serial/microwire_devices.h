#pragma once

// The Microwire frame templates and how a device's address width changes
// them.

#include <cstdint>

#include "app/descriptor.h"

namespace families::serial {

// The templates of the 93C46 organised by 8 bits: start bit, two opcode
// bits and seven address bits, ten bits in all.
app::Descriptor::Microwire BaseMicrowireTable();

// Widens every template by k address bits (k < 0 narrows): templates shift
// left by k, the address-bit count and the frame length grow by k.
void WidenMicrowire(app::Descriptor::Microwire& table, int k);

// The widening the organisation buttons derive from the device size.
int MicrowireWidening(uint32_t device_size, bool word_mode);

}  // namespace families::serial
