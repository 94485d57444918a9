#pragma once

// Which image bytes a load wrote, one bit per byte, so that data a file
// holds outside the selected device can be counted exactly (a written 0xFF
// cannot be told from the clear otherwise).

#include <cstdint>
#include <span>
#include <vector>

#include "image/record_encode.h"

namespace image {

// A set of image addresses summed up: how many, the lowest and the highest.
struct Extent {
  uint64_t count = 0;
  uint32_t first = 0;
  uint32_t last = 0;
  bool empty() const { return count == 0; }
};

class WrittenMap {
 public:
  WrittenMap();
  // Marks [first, first + count), cut at the end of the image.
  void Mark(uint64_t first, uint64_t count);
  bool Test(uint32_t address) const;
  // The marked bytes that lie in none of `inside`.
  Extent Outside(std::span<const Area> inside) const;

 private:
  std::vector<uint64_t> bits_;
};

}  // namespace image
