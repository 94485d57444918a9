#pragma once

// The checksum shown in the status area after every action and selection.

#include <cstdint>
#include <string>

#include "image/memory_image.h"

namespace image {

// Items of the checksum-type box; index 0 is the 16-bit sum, every other
// index the CRC-32.
inline constexpr int kChecksumSum16 = 0;
inline constexpr int kChecksumCrc32 = 1;

// Sum of the bytes, kept to 16 bits.
uint16_t Sum16(const uint8_t* data, uint32_t length);
// IEEE 802.3 CRC-32 (reflected 0xEDB88320, initial 0xFFFFFFFF, final
// complement).
uint32_t Crc32(const uint8_t* data, uint32_t length);

// Bytes the checksum covers: a fixed 20000 for PIC devices, else the device
// size; never more than the image.
uint32_t ChecksumLength(const MemoryImage& image, bool pic);
uint32_t Checksum(const MemoryImage& image, bool pic, int type);
// "0x%0.4X" for the sum, " 0x%0.8X" (note the leading blank) for the CRC.
std::string ChecksumText(uint32_t value, int type);
inline std::string ShowChecksum(const MemoryImage& image, bool pic, int type) {
  return ChecksumText(Checksum(image, pic, type), type);
}

}  // namespace image
