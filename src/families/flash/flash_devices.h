#pragma once

// Data the flash families share between selection and their routines: the
// JEDEC command-address sets and the sector and block layouts.

#include <array>
#include <cstdint>
#include <vector>

namespace families::flash {

using UnlockSet = std::array<uint32_t, 6>;

// The six command addresses, in the order the command sequences use them
// (three-cycle commands use the first three).
inline constexpr UnlockSet kStandardUnlock{0x5555, 0x2AAA, 0x5555, 0x5555, 0x2AAA, 0x5555};
inline constexpr UnlockSet kShortUnlock{0x555, 0x2AA, 0x555, 0x555, 0x2AA, 0x555};
inline constexpr UnlockSet kByteModeUnlock{0xAAAA, 0x5555, 0xAAAA, 0xAAAA, 0x5555, 0xAAAA};
inline constexpr UnlockSet kByteModeShortUnlock{0xAAA, 0x555, 0xAAA, 0xAAA, 0x555, 0xAAA};

// Which table a layout index points into: the sector table of the JEDEC
// chips and the sector status grid, or the block table of the Intel chips.
enum class LayoutTable { kSector, kBlock };

inline constexpr int kSectorLayoutCount = 41;  // indexes 0..40
inline constexpr int kBlockLayoutCount = 40;   // indexes 0..39

// One run of equal sectors.
struct LayoutRun {
  uint32_t count;
  uint32_t size;  // bytes
};

// The runs of a layout, in address order; empty for an unknown index.
std::vector<LayoutRun> LayoutRuns(LayoutTable table, int index);

// The start address of every sector in order, followed by the end address
// after the last one. A 16-bit device halves every size so the starts are
// word addresses. An unknown index gives an empty list.
std::vector<uint32_t> SectorStarts(LayoutTable table, int index, bool word_device = false);

// The number of sectors of a layout (0 for an unknown index).
int SectorCount(LayoutTable table, int index);

// Block layouts 7 to 12 are written in words: each totals half of the
// 16-bit boot-block part it serves (28F200/400/800 B5, 28F002/004 BX).
bool WordSizedBlockLayout(int index);

// The block starts, then the end, that a routine driving the part in byte
// mode walks: the block table's layout, with the sizes of the word-sized
// layouts doubled so the list covers the part.
std::vector<uint32_t> ByteModeBlockStarts(int index);

}  // namespace families::flash
