#include "image/buffer_ops.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace image {

namespace {

constexpr uint32_t kWordsInImage = kImageSize / 2;

// Sets `count` words from word index `first` to `value`, inside the image.
void FillWords(uint8_t* p, uint64_t first, uint64_t count, uint16_t value) {
  if (first >= kWordsInImage) return;
  const uint64_t end = std::min<uint64_t>(first + count, kWordsInImage);
  for (uint64_t k = first; k < end; ++k) {
    p[2 * k] = static_cast<uint8_t>(value);
    p[2 * k + 1] = static_cast<uint8_t>(value >> 8);
  }
}

void FillPairs(uint8_t* p, uint8_t even, uint8_t odd) {
  // Build one block of the pattern and copy it; far faster than a byte loop.
  constexpr size_t kBlock = 4096;
  uint8_t block[kBlock];
  for (size_t i = 0; i < kBlock; i += 2) {
    block[i] = even;
    block[i + 1] = odd;
  }
  for (size_t off = 0; off < kImageSize; off += kBlock) std::memcpy(p + off, block, kBlock);
}

uint32_t ClipToImage(uint32_t end) { return std::min(end, kImageSize); }

}  // namespace

void ClearBuf(MemoryImage& image, int pattern, const FamilyLayout& layout) {
  ClearBytes(image.data(), image.full_device_size, pattern, layout);
}

void ClearBytes(uint8_t* bytes, uint32_t full_device_size, int pattern,
                const FamilyLayout& layout) {
  if (IsPic14(layout.family)) {
    FillWords(bytes, 0, kPic14BlankWords, 0x3FFF);
    FillWords(bytes, kPic14BlankWords, kPic14ClearWords - kPic14BlankWords, 0);
    return;
  }
  if (IsPic12(layout.family)) {
    const uint64_t n = full_device_size;
    FillWords(bytes, 0, n, 0x0FFF);
    FillWords(bytes, n, layout.pic_data_words, 0);
    FillWords(bytes, layout.pic_config_index, 1, 0x0FFF);
    return;
  }
  switch (pattern) {
    case kFillFF:
      std::memset(bytes, 0xFF, kImageSize);
      break;
    case kFill00:
      std::memset(bytes, 0x00, kImageSize);
      break;
    case kFillAA55:
      FillPairs(bytes, 0xAA, 0x55);
      break;
    case kFill55AA:
      FillPairs(bytes, 0x55, 0xAA);
      break;
    default:
      break;
  }
}

void InvertData(MemoryImage& image) {
  uint8_t* p = image.data();
  const uint32_t end = ClipToImage(image.data_end);
  for (uint32_t i = 0; i < end; ++i) p[i] = static_cast<uint8_t>(~p[i]);
}

void SwapBytes(MemoryImage& image) {
  uint8_t* p = image.data();
  const uint32_t end = ClipToImage(image.data_end);
  for (uint32_t i = 0; i < end && i + 1 < kImageSize; i += 2) std::swap(p[i], p[i + 1]);
}

void MoveAtoB(MemoryImage& image, uint32_t a, uint32_t b, uint32_t size) {
  if (a == b || a >= kImageSize || b >= kImageSize) return;
  const uint32_t n = std::min({size, kImageSize - a, kImageSize - b});
  // memmove gives the same result as copying upwards when b < a and
  // downwards when a < b: overlapping blocks arrive intact.
  std::memmove(image.data() + b, image.data() + a, n);
}

void CopyDataToFullChip(MemoryImage& image) {
  const uint32_t d = image.data_end;
  const uint32_t s = ClipToImage(image.device_size);
  if (d == 0 || d >= s) return;
  // image[i] := image[i mod d]; each copy doubles the repeated stretch.
  uint8_t* p = image.data();
  uint32_t filled = d;
  while (filled < s) {
    const uint32_t n = std::min(filled, s - filled);
    std::memcpy(p + filled, p, n);
    filled += n;
  }
  image.data_end = image.device_size;
}

namespace {
template <typename Map>
void Shuffle32K(MemoryImage& image, Map map) {
  auto scratch = std::make_unique<uint8_t[]>(kTm377aSize);
  const uint8_t* p = image.data();
  for (uint32_t i = 0; i < kTm377aSize; ++i) scratch[map(i)] = p[i];
  std::memcpy(image.data(), scratch.get(), kTm377aSize);
}
}  // namespace

void Tm377aEncode(MemoryImage& image) { Shuffle32K(image, Tm377aEncodeAddress); }
void Tm377aDecode(MemoryImage& image) { Shuffle32K(image, Tm377aDecodeAddress); }

}  // namespace image
