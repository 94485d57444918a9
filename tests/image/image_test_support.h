#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "image/file_host.h"
#include "image/memory_image.h"

namespace image_test {

// Records what the loaders and writers tell the user.
class RecordingHost : public image::FileHost {
 public:
  void Message(const std::string& text, int kind) override {
    messages.push_back(text);
    kinds.push_back(kind);
  }
  void ReportError(const std::string& text) override { errors.push_back(text); }
  void SetCaption(const std::string& text) override { caption = text; }
  void Information(const std::string& text) override { information.push_back(text); }

  std::vector<std::string> messages;
  std::vector<int> kinds;
  std::vector<std::string> errors;
  std::vector<std::string> information;
  std::string caption;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "daraz-image-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; i += 8) {
    const uint64_t r = gen();
    std::memcpy(v.data() + i, &r, std::min<size_t>(8, n - i));
  }
  return v;
}

// A recognisable image content and data end, so a test can tell that a
// failed load left everything as it was.
inline const std::vector<uint8_t>& Marks() {
  static const std::vector<uint8_t> marks = RandomBytes(image::kImageSize, 99);
  return marks;
}
inline void MarkImage(image::MemoryImage& img) {
  std::memcpy(img.data(), Marks().data(), image::kImageSize);
  img.data_end = 0x1234;
}
inline bool ImageIsMarked(const image::MemoryImage& img) {
  return img.data_end == 0x1234 && std::memcmp(img.data(), Marks().data(), image::kImageSize) == 0;
}

inline bool HaveSrecCat() { return std::system("srec_cat -version >/dev/null 2>&1") == 0; }

inline int Run(const std::string& command) { return std::system((command + " 2>&1").c_str()); }

}  // namespace image_test
