#pragma once

// A file (or a text in memory) read in large chunks, either line by line for
// the text formats or as raw bytes for the binary loader. Lines end at LF,
// CR LF or a lone CR and may be of any length up to kMaxLineLength; a longer
// line is reported instead of growing the buffer without bound.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace image {

class InputSource {
 public:
  static constexpr size_t kChunk = 1 << 20;
  static constexpr size_t kMaxLineLength = 1 << 20;

  // Reads the open descriptor `fd` (not owned) from its current position.
  explicit InputSource(int fd);
  // Reads `text`, which must outlive the source.
  explicit InputSource(std::string_view text);

  enum class Status { kLine, kEnd, kReadError, kTooLong };
  // The next line without its line break. The view is valid until the next
  // call.
  Status NextLine(std::string_view& line);
  // Copies up to `max` bytes from the current position; sets `error` on a
  // read failure.
  size_t ReadBytes(uint8_t* out, size_t max, bool& error);
  // Up to `n` bytes from the current position without consuming them (for
  // telling a format by its content); fewer at the end of the file.
  std::string_view Peek(size_t n);
  // Back to the start of the file (for a second loader on the same file).
  bool Rewind();

 private:
  // Reads more of the file behind the unread rest; false at the end of the
  // file or on an error (then error_ is set).
  bool Fill();

  int fd_ = -1;
  std::unique_ptr<char[]> owned_;
  const char* data_ = nullptr;
  size_t capacity_ = 0;
  size_t begin_ = 0;  // unread bytes are data_[begin_, end_)
  size_t end_ = 0;
  bool eof_ = false;
  bool error_ = false;
};

}  // namespace image
