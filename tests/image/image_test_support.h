#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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
  std::mt19937 gen(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(gen());
  return v;
}

// Fills the image with a recognisable pattern and sets the data end, so a
// test can tell that a failed load left everything as it was.
inline void MarkImage(image::MemoryImage& img) {
  for (uint32_t i = 0; i < image::kImageSize; ++i) img[i] = static_cast<uint8_t>(i * 7 + 3);
  img.data_end = 0x1234;
}
inline bool ImageIsMarked(const image::MemoryImage& img) {
  if (img.data_end != 0x1234) return false;
  for (uint32_t i = 0; i < image::kImageSize; ++i) {
    if (img[i] != static_cast<uint8_t>(i * 7 + 3)) return false;
  }
  return true;
}

inline bool HaveSrecCat() { return std::system("srec_cat -version >/dev/null 2>&1") == 0; }

inline int Run(const std::string& command) { return std::system((command + " 2>&1").c_str()); }

}  // namespace image_test
