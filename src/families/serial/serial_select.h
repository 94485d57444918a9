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

}  // namespace families

namespace families::serial {

// The chip sits in the 8-pin serial socket: the serial flag (no parallel
// hardware check), the socket picture, no adapter, and no buffer offset,
// since chip address n is always image address n.
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
