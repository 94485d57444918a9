#include "image/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace image {

namespace {
std::atomic<unsigned> temp_counter{0};
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool AtomicFile::Open(const std::string& path) {
  Discard();
  failed_ = false;
  target_ = path;
  // Saving through a symbolic link replaces the file it points at, not the
  // link itself.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) target_ = resolved;
  }
  replacing_ = false;
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    replacing_ = S_ISREG(st.st_mode);
    mode_ = st.st_mode & 07777;
  }
  const std::filesystem::path target(target_);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string stem = "." + target.filename().string() + "." + std::to_string(::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = (folder / (stem + "." + std::to_string(temp_counter++) + ".tmp")).string();
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temp_ = std::move(name);
      if (replacing_) (void)::fchmod(fd_, mode_);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

void AtomicFile::Write(const char* data, size_t size) {
  if (fd_ < 0 || failed_) return;
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

bool AtomicFile::Commit() {
  if (fd_ < 0 || failed_) {
    Discard();
    return false;
  }
  // When an old file is replaced its data must be on disk before the rename
  // makes the new one visible, or a crash could leave neither.
  bool ok = !replacing_ || ::fdatasync(fd_) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  if (ok && ::rename(temp_.c_str(), target_.c_str()) == 0) {
    temp_.clear();
    return true;
  }
  Discard();
  return false;
}

}  // namespace image
