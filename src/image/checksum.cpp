#include "image/checksum.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include "image/layout.h"

namespace image {

uint16_t Sum16(const uint8_t* data, uint32_t length) {
  // A 64-bit accumulator cannot overflow over 16 MB and lets the compiler
  // vectorise the loop; only the low 16 bits are shown.
  uint64_t sum = 0;
  for (uint32_t i = 0; i < length; ++i) sum += data[i];
  return static_cast<uint16_t>(sum);
}

uint32_t Crc32(const uint8_t* data, uint32_t length) {
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, data, length);  // uInt holds any length up to 16 MB
  return static_cast<uint32_t>(crc);
}

uint32_t ChecksumLength(const MemoryImage& image, bool pic) {
  return std::min(pic ? kPicChecksumLength : image.device_size, kImageSize);
}

uint32_t Checksum(const MemoryImage& image, bool pic, int type) {
  const uint32_t length = ChecksumLength(image, pic);
  return type == kChecksumSum16 ? Sum16(image.data(), length) : Crc32(image.data(), length);
}

std::string ChecksumText(uint32_t value, int type) {
  char buf[16];
  if (type == kChecksumSum16) {
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(value & 0xFFFF));
  } else {
    std::snprintf(buf, sizeof buf, " 0x%08X", static_cast<unsigned>(value));
  }
  return buf;
}

}  // namespace image
