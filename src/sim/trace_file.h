#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace sim {

// The file a trace streams into, with its own buffer.
//
// A regular file (or a name that does not exist yet) is written under a
// temporary name in the same folder and renamed over the target by a
// successful Finish, so that a run that fails or never finishes leaves the
// previous trace alone; a symbolic link keeps pointing at the new file. Only
// a regular file is ever renamed over. Anything else (a FIFO, a device,
// /dev/stdout and the other descriptor aliases, a link to a file not there
// yet) is written in place, appending, since it cannot be renamed over.
class TraceFile {
 public:
  // nullptr, with "cannot create the trace file PATH: reason", when the file
  // cannot be opened.
  static std::unique_ptr<TraceFile> Open(const std::string& path, std::string* error);
  // Without a successful Finish the temporary file is removed.
  ~TraceFile();
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  void Write(std::string_view text) {
    if (text.size() > kMaxReserve) {
      Flush();
      WriteOut(text.data(), text.size());
      return;
    }
    Commit(std::copy(text.begin(), text.end(), Reserve(text.size())));
  }

  // Room for `size` bytes (at most kMaxReserve) written straight into the
  // buffer, then Commit with the end of what was written: the sinks format
  // in place, which matters at tens of millions of lines.
  static constexpr size_t kMaxReserve = 4096;
  char* Reserve(size_t size) {
    if (used_ + size > kBufferSize) Flush();
    return buffer_.get() + used_;
  }
  void Commit(const char* end) { used_ = static_cast<size_t>(end - buffer_.get()); }

  // Writes out what is buffered, closes the file and puts it in place.
  // False, with "cannot write the trace file PATH: reason", when any write
  // failed on the way. Later calls return the first result again.
  bool Finish(std::string* error);

  const std::string& path() const { return path_; }

 private:
  static constexpr size_t kBufferSize = 64 * 1024;

  TraceFile(std::string path, std::string target, std::string temp, int fd);
  void Flush();
  void WriteOut(const char* data, size_t size);

  std::string path_;    // as given, for messages
  std::string target_;  // where the finished file goes
  std::string temp_;    // the name written under; empty when in place
  int fd_;
  int errno_ = 0;  // the first write error
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  bool finished_ = false;
  std::string result_;  // Finish's error text, kept for later calls
};

}  // namespace sim
