#pragma once

// The one way the product writes a file. A regular file (or a new name) is
// written under a unique temporary name in the target's folder and renamed
// over the target only when every write, the flush and the close
// succeeded: a failed save never destroys the file that was there before
// and leaves nothing behind. Standard output ("-", /dev/stdout, /dev/fd/N)
// and anything that exists but is no regular file (a device such as
// /dev/null, a FIFO, a socket) is written in place: replacing it with a
// regular file would break whatever reads it.

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
  // The file is written where it is rather than renamed into place.
  bool in_place() const { return in_place_; }

 private:
  void Discard();
  bool OpenInPlace(int fd);

  int fd_ = -1;
  std::string target_;
  std::string temp_;
  bool failed_ = false;
  bool in_place_ = false;
  bool replacing_ = false;  // the target exists: keep its permissions
  unsigned mode_ = 0;
};

}  // namespace image
