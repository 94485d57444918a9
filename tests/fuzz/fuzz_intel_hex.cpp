// Intel HEX records of any shape; a file that decodes must also survive a
// write and a second read unchanged.
#include <cstring>

#include "fuzz_text_common.h"
#include "image/record_encode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto in = fuzz::Source(data, size);
  uint8_t* target = fuzz::Target();
  const auto r = image::DecodeIntelHex(in, target, 0, false);
  fuzz::Check(r);
  if (r.status == image::DecodeStatus::kOk && r.highest_end <= 0x10000) {
    image::StringSink out;
    const image::Area area = image::AreaAt(0, r.highest_end);
    image::WriteIntelHex(target, {&area, 1}, out);
    static uint8_t* again = new uint8_t[image::kImageSize];
    image::InputSource text(out.text);
    const auto back = image::DecodeIntelHex(text, again, 0, false);
    if (back.status != image::DecodeStatus::kOk || back.highest_end != r.highest_end ||
        std::memcmp(again, target, r.highest_end) != 0) {
      std::abort();
    }
  }
  return 0;
}
