#include "image/memory_image.h"

namespace image {

MemoryImage::MemoryImage() : bytes_(new uint8_t[kImageSize]()) {}

uint16_t MemoryImage::Word(uint32_t k) const {
  const uint64_t i = uint64_t{k} * 2;
  if (i + 1 >= kImageSize) return 0xFFFF;
  return static_cast<uint16_t>(bytes_[i] | (bytes_[i + 1] << 8));
}

void MemoryImage::SetWord(uint32_t k, uint16_t value) {
  const uint64_t i = uint64_t{k} * 2;
  if (i + 1 >= kImageSize) return;
  bytes_[i] = static_cast<uint8_t>(value);
  bytes_[i + 1] = static_cast<uint8_t>(value >> 8);
}

void MemoryImage::SetBufferSize(uint32_t size) {
  device_size = size;
  full_device_size = size;
  if (on_buffer_size) on_buffer_size(size);
}

}  // namespace image
