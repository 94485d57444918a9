#pragma once

// The data wiring of the microcontroller adapters whose port lines reach the
// chip in a scrambled order (the 20-pin AT89Cx051 position and the AVR
// adapter are wired the same way). A byte for the chip goes out as
// ToAdapter(b); a byte the port read from the chip comes back through
// FromAdapter, the exact inverse. The "new adapter" boards are wired
// straight but mirrored: bit 0 swaps with bit 7, bit 1 with bit 6, and so on,
// in both directions.
//
// Only the routines use this table. The chip models write the wiring out
// for themselves, so a mistake here cannot cancel itself out in a test.

#include <array>
#include <cstdint>

namespace families::mcu {

// kChipBitOnPortBit[n] is the chip's data bit that port data bit n carries
// on the original adapter: port bit 0 is chip bit 2, port bit 1 chip bit 4,
// and so on.
inline constexpr std::array<int, 8> kChipBitOnPortBit = {2, 4, 6, 7, 5, 3, 1, 0};

// The byte the port must drive so that the chip sees `chip_byte`.
constexpr uint8_t ToAdapter(uint8_t chip_byte, bool new_adapter) {
  unsigned out = 0;
  for (int n = 0; n < 8; ++n) {
    const int from = new_adapter ? 7 - n : kChipBitOnPortBit[n];
    out |= ((chip_byte >> from) & 1u) << n;
  }
  return static_cast<uint8_t>(out);
}

// The chip's byte from what the port read.
constexpr uint8_t FromAdapter(uint8_t port_byte, bool new_adapter) {
  unsigned out = 0;
  for (int n = 0; n < 8; ++n) {
    const int to = new_adapter ? 7 - n : kChipBitOnPortBit[n];
    out |= ((port_byte >> n) & 1u) << to;
  }
  return static_cast<uint8_t>(out);
}

}  // namespace families::mcu
