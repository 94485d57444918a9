#pragma once

// A file written under a temporary name in the target's folder and renamed
// over the target only when every write, the flush and the close succeeded:
// a failed save never destroys the file that was there before.

#include <string>

#include "image/record_encode.h"

namespace image {

class AtomicFile final : public OutputSink {
 public:
  AtomicFile() = default;
  ~AtomicFile() override;  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool Open(const std::string& path);
  // Remembers a failure; Commit then fails.
  void Write(const char* data, size_t size) override;
  bool Commit();

 private:
  void Discard();

  int fd_ = -1;
  std::string target_;
  std::string temp_;
  bool failed_ = false;
  bool replacing_ = false;  // the target exists: keep its permissions
  unsigned mode_ = 0;
};

}  // namespace image
