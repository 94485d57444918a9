#pragma once

// The 16-bit EPROMs on the DIP40/DIP42 adapter. The adapter puts board
// address bit 0 on the byte-lane select, so every routine sees a byte array
// of twice the word count and programs one byte lane at a time.

#include <cstdint>

#include "families/parallel/uv_eprom.h"

namespace families::uv_eprom {

// Device codes from here up (the DIP42 parts) choose their program routine
// by size alone.
inline constexpr int kFirstWideSizeCode = 400;

// 512 KB and 1 MB: E; 2 MB: F; 4 MB: L; anything else the generic routine.
Variant WideVariant(uint32_t device_size);

}  // namespace families::uv_eprom
