#pragma once

// Selection handlers of the serial-memory families: registration, and what
// every serial selection shares.

#include <cstddef>

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

// Registers every serial-memory family's selection handler.
void RegisterSerialSelection(app::FamilyRegistry& registry);
// Registers the serial memories' routines (families 1, 2, 6, 8, 32, 39, 51,
// 52 and 57).
void RegisterSerialRoutines(app::FamilyRegistry& registry);
// Registers the command line's keys of the serial settings panels: wp, org,
// icsp, block-protect, wpen, clock-stretch (twc is the EPROM panel's bar,
// which the SPI EEPROM panel shares).
void RegisterSerialKeys(app::FamilyRegistry& registry);

}  // namespace families

namespace families::serial {

// The chip sits in the 8-pin serial socket: the socket picture, no
// adapter, and no buffer offset, since chip address n is always image
// address n. The serial flag stays clear: the hardware test runs before
// every action (a chip that is not driving leaves the loop-back alone) and
// its power cycle clears a chip left mid-byte.
void SelectSerialSocket(app::Programmer& p);

// The 8-pin serial socket needs no DIP switch on.
inline constexpr int kSerialPattern = 0;
inline constexpr int kSerialPicture = 240;

// The device-table row for a Tag, or nullptr when the table does not list it.
template <typename Row, std::size_t N>
const Row* FindRow(const Row (&rows)[N], int tag) {
  for (const Row& row : rows) {
    if (row.tag == tag) return &row;
  }
  return nullptr;
}

}  // namespace families::serial
