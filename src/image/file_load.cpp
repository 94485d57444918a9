#include "image/file_load.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>

#include "image/buffer_ops.h"
#include "image/file_save.h"
#include "image/record_decode.h"

namespace image {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string UpperExtension(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  return Upper(name.substr(dot));
}

std::string DisplayName(std::string_view path) {
  if (path == "-") return "stdin";
  return std::filesystem::path(std::string(path)).filename().string();
}

// The 16 MB a load decodes into before it is allowed to replace the image,
// cleared the way the family clears the image with pattern 1 (for a PIC
// that leaves the rest of the image as it is, so the copy starts from it).
std::unique_ptr<uint8_t[]> ClearedScratch(const MemoryImage& image, const FamilyLayout& layout) {
  auto scratch = std::make_unique_for_overwrite<uint8_t[]>(kImageSize);
  if (IsPic14(layout.family) || IsPic12(layout.family)) {
    std::memcpy(scratch.get(), image.data(), kImageSize);
  }
  ClearBytes(scratch.get(), image.full_device_size, kFillFF, layout);
  return scratch;
}

void Commit(MemoryImage& image, const uint8_t* scratch) {
  std::memcpy(image.data(), scratch, kImageSize);
}

struct Outcome {
  bool ok = false;
  FileFormat format = FileFormat::kBinary;
};

Outcome LoadBinary(InputSource& in, std::string_view file_name, MemoryImage& image,
                   const FamilyLayout& layout, FileHost& host, int64_t offset,
                   WrittenMap& written) {
  if (offset < 0) {
    host.ReportError(text::kBelowZero);
    return {};
  }
  if (offset >= kImageSize) {
    host.ReportError(text::kBeyondImage);
    return {};
  }
  const auto at = static_cast<uint32_t>(offset);
  auto scratch = ClearedScratch(image, layout);
  bool error = false;
  const size_t room = kImageSize - at;
  const size_t n = in.ReadBytes(scratch.get() + at, room, error);
  uint8_t extra = 0;
  const bool larger = !error && n == room && in.ReadBytes(&extra, 1, error) == 1;
  if (error) {
    host.ReportError(text::kErrorOpening);
    return {};
  }
  if (n == 0) {
    // An empty file would wipe the image and leave nothing to program.
    host.ReportError(text::kEmptyFile);
    return {};
  }
  if (larger && at > 0) {
    host.ReportError(text::kBeyondImage);
    return {};
  }
  Commit(image, scratch.get());
  written.Mark(at, n);
  image.data_end = static_cast<uint32_t>(at + n);
  if (larger) {
    host.Message(text::kBinaryTooLarge, hw::kError);
  } else {
    host.Message(text::kBinaryLoaded, hw::kInfo);
  }
  host.SetCaption(std::string(kCaptionPrefix) + std::string(file_name));
  return {true, FileFormat::kBinary};
}

const char* FailureText(DecodeStatus status, bool eeprom) {
  switch (status) {
    case DecodeStatus::kBadAddress:
      return eeprom ? text::kEepAddress : text::kHexAddress;
    case DecodeStatus::kBelowZero:
      return text::kBelowZero;
    case DecodeStatus::kMissingColon:
      return text::kEepNoColon;
    case DecodeStatus::kReadError:
      return text::kErrorOpening;
    case DecodeStatus::kOk:
    case DecodeStatus::kBadRecord:
    case DecodeStatus::kLineTooLong:
      break;
  }
  return eeprom ? text::kEepChecksum : text::kHexChecksum;
}

Outcome LoadText(InputSource& in, FileFormat format, bool fallback, std::string_view file_name,
                 MemoryImage& image, const FamilyLayout& layout, FileHost& host, int64_t offset,
                 WrittenMap& written) {
  const bool eeprom = format == FileFormat::kEeprom;
  std::unique_ptr<uint8_t[]> scratch;
  // The EEPROM file lands on top of the image; the others on a cleared one.
  if (eeprom) {
    scratch = std::make_unique_for_overwrite<uint8_t[]>(kImageSize);
    std::memcpy(scratch.get(), image.data(), kImageSize);
  } else {
    scratch = ClearedScratch(image, layout);
  }
  WrittenMap marks;
  const Placement place{offset, &marks};
  const DecodeResult r =
      format == FileFormat::kSRecord
          ? DecodeSRecords(in, scratch.get(), place)
          : DecodeIntelHex(in, scratch.get(), eeprom ? kAvrEepromOffset : 0, eeprom, place);
  // A record the format cannot read, on a line that carries the other
  // format's mark, or no record of this format at all: the file may be of
  // the other kind after all.
  const bool other_kind = (r.status == DecodeStatus::kBadRecord && r.line_has_marker) ||
                          (r.status == DecodeStatus::kOk && r.data_records == 0);
  if (other_kind && fallback &&
      (format == FileFormat::kIntelHex || format == FileFormat::kSRecord) && in.Rewind()) {
    scratch.reset();
    const FileFormat other =
        format == FileFormat::kIntelHex ? FileFormat::kSRecord : FileFormat::kIntelHex;
    return LoadText(in, other, false, file_name, image, layout, host, offset, written);
  }
  if (r.status != DecodeStatus::kOk) {
    host.ReportError(FailureText(r.status, eeprom));
    return {};
  }
  if (r.data_records == 0) {
    // Text without a single record would load as an empty image and then
    // "program" a blank chip.
    host.ReportError(text::kNoDataRecords + std::string(file_name));
    return {};
  }
  Commit(image, scratch.get());
  written = std::move(marks);
  switch (format) {
    case FileFormat::kEeprom:
      host.Message(text::kEepLoaded, hw::kInfo);
      return {true, format};
    case FileFormat::kSRecord:
      host.Message(text::kSRecordLoaded, hw::kInfo);
      break;
    default:
      host.Message(text::kHexLoaded, hw::kInfo);
      break;
  }
  image.data_end = r.highest_end;
  host.SetCaption(std::string(kCaptionPrefix) + std::string(file_name));
  return {true, format};
}

bool IsTextByte(unsigned char c) {
  return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' || c == '\t' || c == 0x1A;
}

}  // namespace

std::optional<FileFormat> FormatForPath(std::string_view path) {
  static constexpr std::array<std::string_view, 8> kSRecord{".S",   ".S19", ".S2",   ".S3",
                                                            ".S28", ".S37", ".SREC", ".MOT"};
  static constexpr std::array<std::string_view, 6> kIntelHex{".HEX", ".IHX", ".IHEX",
                                                             ".H86", ".MCS", ".A43"};
  const std::string ext = UpperExtension(path);
  if (std::find(kSRecord.begin(), kSRecord.end(), ext) != kSRecord.end()) {
    return FileFormat::kSRecord;
  }
  if (std::find(kIntelHex.begin(), kIntelHex.end(), ext) != kIntelHex.end()) {
    return FileFormat::kIntelHex;
  }
  if (ext == ".EEP") return FileFormat::kEeprom;
  if (ext == ".BIN" || ext == ".ROM") return FileFormat::kBinary;
  return std::nullopt;
}

FileFormat SniffFormat(std::string_view head) {
  head = head.substr(0, kSniffBytes);
  for (const char c : head) {
    if (!IsTextByte(static_cast<unsigned char>(c))) return FileFormat::kBinary;
  }
  // The first line that starts like a record decides; lines before it may
  // be a tool's comments.
  for (size_t start = 0; start < head.size();) {
    size_t end = head.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = head.size();
    std::string_view line = head.substr(start, end - start);
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!line.empty() && line[0] == ':') return FileFormat::kIntelHex;
    if (line.size() >= 2 && line[0] == 'S' && line[1] >= '0' && line[1] <= '9') {
      return FileFormat::kSRecord;
    }
    start = end + 1;
  }
  return FileFormat::kBinary;
}

std::optional<FileFormat> FormatByName(std::string_view name) {
  const std::string upper = Upper(name);
  if (upper == "BIN") return FileFormat::kBinary;
  if (upper == "HEX") return FileFormat::kIntelHex;
  if (upper == "SREC") return FileFormat::kSRecord;
  if (upper == "EEP") return FileFormat::kEeprom;
  return std::nullopt;
}

std::optional<uint16_t> AfterLoad(MemoryImage& image, const FamilyLayout& layout,
                                  FileFormat format) {
  if (layout.pic) {
    image.device_size = layout.pic_program_words;
    const uint16_t mask = IsPic12(layout.family)          ? 0x0FFF
                          : layout.family == kFamilyPic18 ? 0xFFFF
                                                          : 0x3FFF;
    for (uint32_t k = 0; k < kPicMaskedWords; ++k) {
      image.SetWord(k, static_cast<uint16_t>(image.Word(k) & mask));
    }
    return image.Word(layout.pic_config_index);
  }
  if (layout.family == kFamilyAvr && format != FileFormat::kEeprom) {
    image.device_size = layout.avr_program_bytes;
  }
  return std::nullopt;
}

LoadResult LoadImage(InputSource& in, FileFormat format, bool fallback, std::string_view file_name,
                     MemoryImage& image, const FamilyLayout& layout, FileHost& host,
                     int64_t file_offset) {
  if (format == FileFormat::kEeprom && layout.family != kFamilyAvr) {
    // The file numbers the AVR's EEPROM from 0; with no AVR selected there
    // is no place for it in the image.
    host.ReportError(text::kEepNeedsAvr);
    return {};
  }
  WrittenMap written;
  const Outcome o =
      format == FileFormat::kBinary
          ? LoadBinary(in, file_name, image, layout, host, file_offset, written)
          : LoadText(in, format, fallback, file_name, image, layout, host, file_offset, written);
  LoadResult result;
  result.ok = o.ok;
  result.format = o.format;
  if (!o.ok) return result;
  result.pic_config = AfterLoad(image, layout, o.format);
  if (image.full_device_size != 0) result.outside = written.Outside(DeviceAreas(image, layout));
  return result;
}

LoadResult LoadImageFile(const std::string& path, MemoryImage& image, const FamilyLayout& layout,
                         FileHost& host, const LoadOptions& options) {
  const bool stdin_input = path == "-";
  const int fd = stdin_input ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    if (fd >= 0 && !stdin_input) ::close(fd);
    host.ReportError(text::kErrorOpening);
    return {};
  }
  InputSource in(fd);
  FileFormat format = FileFormat::kBinary;
  if (options.format) {
    format = *options.format;
  } else if (const std::optional<FileFormat> by_name = FormatForPath(path)) {
    format = *by_name;
  } else {
    format = SniffFormat(in.Peek(kSniffBytes));
  }
  LoadResult r =
      LoadImage(in, format, true, DisplayName(path), image, layout, host, options.file_offset);
  if (!stdin_input) ::close(fd);
  return r;
}

}  // namespace image
