#include "image/input_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace image {

InputSource::InputSource(int fd)
    : fd_(fd),
      owned_(new char[kChunk + kMaxLineLength]),
      data_(owned_.get()),
      capacity_(kChunk + kMaxLineLength) {}

InputSource::InputSource(std::string_view text)
    : data_(text.data()), capacity_(text.size()), end_(text.size()), eof_(true) {}

bool InputSource::Fill() {
  if (eof_ || error_ || fd_ < 0) return false;
  if (begin_ > 0) {
    std::memmove(owned_.get(), owned_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ >= capacity_) return false;
  for (;;) {
    const ssize_t n = ::read(fd_, owned_.get() + end_, capacity_ - end_);
    if (n > 0) {
      end_ += static_cast<size_t>(n);
      return true;
    }
    if (n == 0) {
      eof_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    error_ = true;
    return false;
  }
}

InputSource::Status InputSource::NextLine(std::string_view& line) {
  if (error_) return Status::kReadError;
  size_t clean = 0;  // bytes after begin_ known to hold no line break
  for (;;) {
    const char* base = data_;
    const size_t from = begin_ + clean;
    const void* lf = std::memchr(base + from, '\n', end_ - from);
    const size_t limit = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : end_;
    const void* cr = std::memchr(base + from, '\r', limit - from);
    if (cr) {
      const size_t r = static_cast<size_t>(static_cast<const char*>(cr) - base);
      // A CR as the last byte read may be the first half of CR LF.
      if (r + 1 < end_ || eof_) {
        size_t next = r + 1;
        if (next < end_ && base[next] == '\n') ++next;
        line = std::string_view(base + begin_, r - begin_);
        begin_ = next;
        return Status::kLine;
      }
      clean = r - begin_;
    } else if (lf) {
      line = std::string_view(base + begin_, limit - begin_);
      begin_ = limit + 1;
      return Status::kLine;
    } else if (eof_) {
      if (begin_ == end_) return Status::kEnd;
      line = std::string_view(base + begin_, end_ - begin_);
      begin_ = end_;
      return Status::kLine;
    } else {
      clean = end_ - begin_;
    }
    if (end_ - begin_ >= kMaxLineLength) return Status::kTooLong;
    if (!Fill() && error_) return Status::kReadError;
  }
}

size_t InputSource::ReadBytes(uint8_t* out, size_t max, bool& error) {
  size_t got = std::min(max, end_ - begin_);
  std::memcpy(out, data_ + begin_, got);
  begin_ += got;
  while (got < max && fd_ >= 0 && !eof_) {
    const ssize_t n = ::read(fd_, out + got, max - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (n == 0) {
      eof_ = true;
    } else if (errno != EINTR) {
      error_ = true;
      break;
    }
  }
  error = error_;
  return got;
}

std::string_view InputSource::Peek(size_t n) {
  n = std::min(n, kChunk);
  while (end_ - begin_ < n && Fill()) {
  }
  return std::string_view(data_ + begin_, std::min(n, end_ - begin_));
}

bool InputSource::Rewind() {
  if (fd_ >= 0) {
    if (::lseek(fd_, 0, SEEK_SET) != 0) return false;
    end_ = 0;
    eof_ = false;
  }
  begin_ = 0;
  error_ = false;
  return true;
}

}  // namespace image
