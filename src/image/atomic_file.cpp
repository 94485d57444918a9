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

// The descriptor a name for an already open stream stands for: "-" and
// /dev/stdout are 1, /dev/stderr 2, /dev/fd/N and /proc/self/fd/N are N;
// -1 for any other name.
int StreamDescriptor(const std::string& path) {
  if (path == "-" || path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const std::string p(prefix);
    if (path.size() <= p.size() || path.compare(0, p.size(), p) != 0) continue;
    int fd = 0;
    for (size_t i = p.size(); i < path.size(); ++i) {
      if (path[i] < '0' || path[i] > '9' || fd > 100000) return -1;
      fd = fd * 10 + (path[i] - '0');
    }
    return fd;
  }
  return -1;
}

}  // namespace

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool AtomicFile::OpenInPlace(int fd) {
  if (fd < 0) return false;
  fd_ = fd;
  in_place_ = true;
  return true;
}

bool AtomicFile::Open(const std::string& path) {
  Discard();
  failed_ = false;
  in_place_ = false;
  target_ = path;
  if (const int stream = StreamDescriptor(path); stream >= 0) {
    // Our own copy of the descriptor, so that Commit can close it and still
    // see a failed flush without closing the process's standard output.
    return OpenInPlace(::fcntl(stream, F_DUPFD_CLOEXEC, 3));
  }
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
    if (!S_ISREG(st.st_mode)) {
      return OpenInPlace(::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    }
    replacing_ = true;
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
  if (in_place_) {
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
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
