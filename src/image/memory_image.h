#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace image {

inline constexpr uint32_t kImageSize = 0x1000000;  // 16 MB

// The one in-memory copy every chip's contents pass through. Byte i holds
// the chip byte at chip address buffer_offset + i. Word-oriented families
// see it as little-endian 16-bit words (word k = bytes 2k, 2k+1).
class MemoryImage {
 public:
  MemoryImage();

  uint8_t* data() { return bytes_.get(); }
  const uint8_t* data() const { return bytes_.get(); }
  std::span<uint8_t> bytes() { return {bytes_.get(), kImageSize}; }
  std::span<const uint8_t> bytes() const { return {bytes_.get(), kImageSize}; }
  uint8_t& operator[](uint32_t i) {
    assert(i < kImageSize);
    return bytes_[i];
  }
  uint8_t operator[](uint32_t i) const {
    assert(i < kImageSize);
    return bytes_[i];
  }
  // Bounds-safe byte access for indices that come from outside.
  uint8_t At(uint64_t i) const { return i < kImageSize ? bytes_[i] : 0xFF; }

  uint16_t Word(uint32_t k) const;
  void SetWord(uint32_t k, uint16_t value);

  // device size := full device size := size, then tell the subscribers
  // (the buffer views resize themselves).
  void SetBufferSize(uint32_t size);
  std::function<void(uint32_t)> on_buffer_size;

  uint32_t device_size = 0;       // bytes of the selected device; 0 = none selected
  uint32_t full_device_size = 0;  // what SetBufferSize last set
  uint32_t buffer_offset = 0;     // chip address of image byte 0
  uint32_t data_end = 0;          // one past the last loaded byte

 private:
  std::unique_ptr<uint8_t[]> bytes_;
};

}  // namespace image
