#include "cli/file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "app/image_files.h"
#include "app/number_parse.h"
#include "cli/report.h"

namespace cli {
namespace {

constexpr char kFormatNames[] = "bin, hex, srec or eep";

image::SaveType TypeFor(const std::string& path, const std::optional<image::FileFormat>& format) {
  return format ? app::SaveTypeFor(*format) : app::SaveTypeForPath(path);
}

}  // namespace

bool IsStandardOutput(const std::string& path) {
  return path == "-" || path == "/dev/stdout" || path == "/dev/fd/1" || path == "/proc/self/fd/1";
}

int ParseSaveFormat(const std::string& option, const std::string& text,
                    std::optional<image::FileFormat>& out) {
  out.reset();
  if (text.empty()) return kOk;
  out = image::FormatByName(text);
  if (out) return kOk;
  Error(option + " must be " + kFormatNames + ", not \"" + text + "\"");
  return kUsage;
}

int ParseLoadOptions(const FileOptions& options, image::LoadOptions& out) {
  if (int rc = ParseSaveFormat("--format", options.format, out.format)) return rc;
  out.file_offset = 0;
  if (!options.file_offset.empty()) {
    constexpr int64_t kReach = 0xFFFFFF;  // anything further moves every byte off the image
    const std::string error = app::ParseSignedNumberInRange(options.file_offset, "--file-offset",
                                                            -kReach, kReach, out.file_offset);
    if (!error.empty()) {
      Error(error);
      return kUsage;
    }
  }
  return kOk;
}

int LoadInput(Session& s, const std::string& file, const FileOptions& options,
              LoadPurpose purpose) {
  image::LoadOptions load;
  if (int rc = ParseLoadOptions(options, load)) return rc;
  if (file != "-") {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
      Error("cannot read " + file + ": " + std::strerror(errno));
      return kUsage;
    }
    if (S_ISDIR(st.st_mode)) {
      Error("cannot read " + file + ": it is a directory");
      return kUsage;
    }
  }
  app::Programmer& p = s.programmer();
  const image::LoadResult r = app::LoadFile(p, file, load);
  if (!r.ok) return kUsage;  // the loader has said why
  if (purpose == LoadPurpose::kOther) return kOk;

  const bool program = purpose == LoadPurpose::kProgram;
  if (!r.outside.empty() && !options.allow_outside) {
    Error(std::string("refusing to ") + (program ? "program" : "verify") + ": " + file +
          " holds data outside the device (--file-offset moves the file's addresses, "
          "--allow-outside " +
          (program ? "programs" : "compares") + " the rest)");
    return kUsage;
  }
  if (p.image.data_end == 0) {
    Error(std::string("nothing to ") + (program ? "program" : "verify") + ": " + file +
          " holds no data for the device");
    return kUsage;
  }
  return kOk;
}

int CheckOutput(Session& s, const std::string& path,
                const std::optional<image::FileFormat>& format) {
  const std::string refusal = app::SaveRefusal(s.programmer(), TypeFor(path, format));
  if (refusal.empty()) return kOk;
  Error("not writing " + path + ": " + refusal);
  return kUsage;
}

int SaveOutput(Session& s, const std::string& path,
               const std::optional<image::FileFormat>& format) {
  std::fflush(stdout);  // the file may be standard output itself
  const image::SaveResult r = app::SaveFileAs(s.programmer(), path, TypeFor(path, format));
  switch (r.status) {
    case image::SaveStatus::kOk:
      return kOk;
    case image::SaveStatus::kNothingToSave:
      return kUsage;  // the writer has said why
    case image::SaveStatus::kWriteFailed:
      break;
  }
  Error("cannot write " + path);
  return kFailed;
}

}  // namespace cli
