#include "image/written_map.h"

#include <algorithm>
#include <bit>

#include "image/memory_image.h"

namespace image {

namespace {
constexpr uint64_t kWords = kImageSize / 64;
}

WrittenMap::WrittenMap() : bits_(kWords, 0) {}

void WrittenMap::Mark(uint64_t first, uint64_t count) {
  const uint64_t end = std::min<uint64_t>(first + count, kImageSize);
  for (uint64_t a = first; a < end; ++a) {
    // Whole words at a time where the range covers them (binary files).
    if (a % 64 == 0 && a + 64 <= end) {
      bits_[a / 64] = ~uint64_t{0};
      a += 63;
      continue;
    }
    bits_[a / 64] |= uint64_t{1} << (a % 64);
  }
}

bool WrittenMap::Test(uint32_t address) const {
  return address < kImageSize && (bits_[address / 64] >> (address % 64) & 1) != 0;
}

Extent WrittenMap::Outside(std::span<const Area> inside) const {
  // Mask the inside areas off a copy, then count what is left.
  std::vector<uint64_t> rest = bits_;
  for (const Area& area : inside) {
    const uint64_t end = std::min<uint64_t>(uint64_t{area.offset} + area.length, kImageSize);
    for (uint64_t a = area.offset; a < end; ++a) {
      if (a % 64 == 0 && a + 64 <= end) {
        rest[a / 64] = 0;
        a += 63;
        continue;
      }
      rest[a / 64] &= ~(uint64_t{1} << (a % 64));
    }
  }
  Extent e;
  for (uint64_t w = 0; w < kWords; ++w) {
    if (rest[w] == 0) continue;
    const auto low =
        static_cast<uint32_t>(w * 64 + static_cast<uint64_t>(std::countr_zero(rest[w])));
    const auto high =
        static_cast<uint32_t>(w * 64 + 63 - static_cast<uint64_t>(std::countl_zero(rest[w])));
    if (e.count == 0) e.first = low;
    e.last = high;
    e.count += static_cast<uint64_t>(std::popcount(rest[w]));
  }
  return e;
}

}  // namespace image
