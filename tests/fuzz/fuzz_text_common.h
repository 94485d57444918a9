#pragma once

// Shared by the text-format fuzzers: a 16 MB target that lives for the whole
// run (the decoders do not care what it holds) and the checks every decode
// must pass whatever the input.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "image/input_source.h"
#include "image/memory_image.h"
#include "image/record_decode.h"

namespace fuzz {

inline uint8_t* Target() {
  static uint8_t* target = new uint8_t[image::kImageSize];
  return target;
}

inline image::InputSource Source(const uint8_t* data, size_t size) {
  return image::InputSource(std::string_view(reinterpret_cast<const char*>(data), size));
}

inline void Check(const image::DecodeResult& r) {
  // A successful decode never reports data beyond the image, and a failure
  // always names the line it stopped on.
  if (r.status == image::DecodeStatus::kOk && r.highest_end > image::kImageSize) std::abort();
  if (r.status != image::DecodeStatus::kOk && r.line_number == 0) std::abort();
}

}  // namespace fuzz
