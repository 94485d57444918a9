#include "sim/trace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace sim {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// /dev/stdout, /dev/fd/N, /proc/self/fd/N and links to them name a
// descriptor the process already has open: renaming a new file over one
// would replace the link instead of writing to the descriptor.
bool IsDescriptorAlias(const std::string& path) {
  std::string hop = path;
  for (int depth = 0; depth < 40; ++depth) {
    if (StartsWith(hop, "/proc/") || StartsWith(hop, "/dev/fd/")) return true;
    char link[PATH_MAX];
    const ssize_t n = readlink(hop.c_str(), link, sizeof link - 1);
    if (n < 0) return false;
    std::string next(link, static_cast<size_t>(n));
    if (next.empty()) return false;
    if (next[0] != '/') {
      const size_t slash = hop.rfind('/');
      next = (slash == std::string::npos ? std::string() : hop.substr(0, slash + 1)) + next;
    }
    hop = std::move(next);
  }
  return false;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash + 1);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a fresh file next to `target` with a name nobody else uses.
int CreateTemporary(const std::string& target, mode_t mode, std::string* name) {
  static std::atomic<unsigned> counter{0};
  const std::string stem = Folder(target) + "." + BaseName(target) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    *name = stem + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Only a regular file, or nothing, is replaced by a finished trace.
bool ReplaceableBy(const std::string& target) {
  struct stat st {};
  if (lstat(target.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

std::string Reason(const char* what, const std::string& path, int err) {
  return std::string(what) + " " + path + ": " + std::strerror(err);
}

}  // namespace

std::unique_ptr<TraceFile> TraceFile::Open(const std::string& path, std::string* error) {
  const auto fail = [&](int err) {
    if (error != nullptr) *error = Reason("cannot create the trace file", path, err);
    return nullptr;
  };
  if (path.empty()) return fail(ENOENT);

  struct stat st {};
  const bool exists = stat(path.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return fail(errno);

  struct stat link {};
  const bool dangling = !exists && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  if (IsDescriptorAlias(path) || (exists && !S_ISREG(st.st_mode)) || dangling) {
    // O_APPEND: a descriptor alias may share its file with the shell's
    // redirection, which must not be cut short.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return fail(errno);
    return std::unique_ptr<TraceFile>(new TraceFile(path, path, "", fd));
  }

  std::string target = path;
  if (exists) {
    // Replace the file a symbolic link points at, not the link.
    if (char* real = realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  std::string temp;
  const int fd = CreateTemporary(target, exists ? (st.st_mode & 07777) : 0666, &temp);
  if (fd < 0) return fail(errno);
  // The creation mask may have narrowed the old file's permissions.
  if (exists) (void)fchmod(fd, st.st_mode & 07777);
  return std::unique_ptr<TraceFile>(new TraceFile(path, target, temp, fd));
}

TraceFile::TraceFile(std::string path, std::string target, std::string temp, int fd)
    : path_(std::move(path)),
      target_(std::move(target)),
      temp_(std::move(temp)),
      fd_(fd),
      buffer_(new char[kBufferSize]) {}

TraceFile::~TraceFile() {
  if (fd_ >= 0) close(fd_);
  if (!finished_ && !temp_.empty()) unlink(temp_.c_str());
}

void TraceFile::WriteOut(const char* data, size_t size) {
  // After the first failure nothing more is written: the file is lost
  // anyway, and the buffer must not grow.
  while (size > 0 && errno_ == 0) {
    const ssize_t n = write(fd_, data, size);
    if (n < 0) {
      if (errno != EINTR) errno_ = errno;
      continue;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void TraceFile::Flush() {
  WriteOut(buffer_.get(), used_);
  used_ = 0;
}

bool TraceFile::Finish(std::string* error) {
  if (!finished_) {
    finished_ = true;
    Flush();
    if (close(fd_) != 0 && errno_ == 0) errno_ = errno;
    fd_ = -1;
    if (errno_ != 0) {
      result_ = Reason("cannot write the trace file", path_, errno_);
    } else if (!temp_.empty() && !ReplaceableBy(target_)) {
      // Something else took the name meanwhile; a rename would destroy it
      // (run as root, even a device node).
      result_ = Reason("cannot write the trace file", path_, EEXIST);
    } else if (!temp_.empty() && rename(temp_.c_str(), target_.c_str()) != 0) {
      result_ = Reason("cannot write the trace file", path_, errno);
    }
    if (!result_.empty() && !temp_.empty()) unlink(temp_.c_str());
  }
  if (!result_.empty() && error != nullptr) *error = result_;
  return result_.empty();
}

}  // namespace sim
