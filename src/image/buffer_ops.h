#pragma once

// The user's operations on the memory image. Every range is clipped to the
// 16 MB image: no argument can make them touch anything outside it.
// Repainting the views, the window caption and `winstat` stay with the
// caller.

#include <cstdint>

#include "image/layout.h"
#include "image/memory_image.h"

namespace image {

// Fill patterns of the clear commands (the menu Tags).
inline constexpr int kFillFF = 1;
inline constexpr int kFill00 = 2;
inline constexpr int kFillAA55 = 3;  // 0xAA at even, 0x55 at odd addresses
inline constexpr int kFill55AA = 4;

// Clears the image for the selected family: the PIC families get their
// blank words whatever the pattern, everything else the whole 16 MB with
// the pattern (an unknown pattern changes nothing). The caller then sets
// the caption to the caption prefix and the PIC configuration value to
// 0x3FFF.
void ClearBuf(MemoryImage& image, int pattern, const FamilyLayout& layout);
// The same clear over a 16 MB copy of the image (the loaders clear the copy
// they decode into), with the device size the PIC 12-bit clear counts.
void ClearBytes(uint8_t* bytes, uint32_t full_device_size, int pattern, const FamilyLayout& layout);

// image[i] := NOT image[i] below the data end.
void InvertData(MemoryImage& image);

// Exchanges the bytes of each pair 0-1, 2-3, ... that starts below the data
// end (an odd data end swaps the last byte with the one after it).
void SwapBytes(MemoryImage& image);

// Copies `size` bytes from a to b, correct for overlapping blocks. The
// block is cut at the end of the image on either side.
void MoveAtoB(MemoryImage& image, uint32_t a, uint32_t b, uint32_t size);

// Repeats image[0 .. data end) up to the device size and sets the data end
// to the device size; nothing happens unless 0 < data end < device size.
void CopyDataToFullChip(MemoryImage& image);

inline constexpr uint32_t kTm377aSize = 0x8000;
// The TM377A address shuffle of the first 32 KB: encode moves address bit 0
// to bit 14 (bits 1..14 move down), decode is its inverse.
void Tm377aEncode(MemoryImage& image);
void Tm377aDecode(MemoryImage& image);
// The single-address mappings behind them.
inline constexpr uint32_t Tm377aEncodeAddress(uint32_t i) {
  return ((i >> 1) & 0x3FFF) | ((i & 1) ? 0x4000 : 0);
}
inline constexpr uint32_t Tm377aDecodeAddress(uint32_t i) {
  return ((i << 1) & 0x7FFE) | ((i & 0x4000) ? 1 : 0);
}

}  // namespace image
