// The binary loader through the whole load path (scratch copy, commit,
// messages): the image must hold exactly the input followed by 0xFF, or be
// untouched when the load is refused.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "image/file_load.h"

namespace {
class QuietHost : public image::FileHost {
 public:
  void Message(const std::string&, int) override {}
  void ReportError(const std::string&) override { ++errors; }
  void SetCaption(const std::string&) override {}
  void Information(const std::string&) override {}
  int errors = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static image::MemoryImage* img = new image::MemoryImage();
  QuietHost host;
  img->data_end = 0x5A5A;
  (*img)[0] = 0x5A;
  image::InputSource in(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto r = image::LoadImage(in, image::FileFormat::kBinary, true, "fuzz.bin", *img,
                                  image::FamilyLayout(), host);
  if (size == 0) {
    if (r.ok || host.errors != 1 || img->data_end != 0x5A5A || (*img)[0] != 0x5A) std::abort();
    return 0;
  }
  if (!r.ok || img->data_end != size || std::memcmp(img->data(), data, size) != 0) std::abort();
  if (size < image::kImageSize && (*img)[static_cast<uint32_t>(size)] != 0xFF) std::abort();
  return 0;
}
