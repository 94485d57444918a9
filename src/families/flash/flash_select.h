#pragma once

// Selection handlers of the parallel flash families: registration, and the
// small helpers their device tables share.

#include <cstddef>
#include <cstdint>

#include "app/dispatch.h"

namespace families {

// Registers every flash family's selection handler.
void RegisterFlashSelection(app::FamilyRegistry& registry);
// Registers the keys of the JEDEC and Intel flash panels' controls.
void RegisterFlashKeys(app::FamilyRegistry& registry);

}  // namespace families

namespace families::flash {

inline constexpr uint32_t KB = 1024;
inline constexpr uint32_t MB = 1024 * 1024;

// The device-table row for a Tag, or nullptr when the table does not list it.
template <typename Row, std::size_t N>
const Row* FindRow(const Row (&rows)[N], int tag) {
  for (const Row& row : rows) {
    if (row.tag == tag) return &row;
  }
  return nullptr;
}

}  // namespace families::flash
