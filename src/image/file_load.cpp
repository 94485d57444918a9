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

#include "image/record_decode.h"

namespace image {

namespace {

std::string UpperExtension(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  std::string ext(name.substr(dot));
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

std::string BaseName(std::string_view path) {
  return std::filesystem::path(std::string(path)).filename().string();
}

// The 16 MB a load decodes into before it is allowed to replace the image.
std::unique_ptr<uint8_t[]> NewScratch() {
  return std::make_unique_for_overwrite<uint8_t[]>(kImageSize);
}

void Commit(MemoryImage& image, const uint8_t* scratch) {
  std::memcpy(image.data(), scratch, kImageSize);
}

struct Outcome {
  bool ok = false;
  FileFormat format = FileFormat::kBinary;
};

Outcome LoadBinary(InputSource& in, std::string_view file_name, MemoryImage& image,
                   FileHost& host) {
  auto scratch = NewScratch();
  bool error = false;
  const size_t n = in.ReadBytes(scratch.get(), kImageSize, error);
  uint8_t extra = 0;
  const bool larger = !error && n == kImageSize && in.ReadBytes(&extra, 1, error) == 1;
  if (error) {
    host.ReportError(text::kErrorOpening);
    return {};
  }
  if (n == 0) {
    // An empty file would wipe the image and leave nothing to program.
    host.ReportError(text::kEmptyFile);
    return {};
  }
  std::memset(scratch.get() + n, 0xFF, kImageSize - n);
  Commit(image, scratch.get());
  image.data_end = static_cast<uint32_t>(n);
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
                 MemoryImage& image, FileHost& host) {
  const bool eeprom = format == FileFormat::kEeprom;
  auto scratch = NewScratch();
  // The EEPROM file lands on top of the image; the others on a cleared one.
  if (eeprom) {
    std::memcpy(scratch.get(), image.data(), kImageSize);
  } else {
    std::memset(scratch.get(), 0xFF, kImageSize);
  }
  const DecodeResult r =
      format == FileFormat::kSRecord
          ? DecodeSRecords(in, scratch.get())
          : DecodeIntelHex(in, scratch.get(), eeprom ? kAvrEepromOffset : 0, eeprom);
  if (r.status != DecodeStatus::kOk) {
    scratch.reset();
    // A record the format cannot read, on a line that carries the other
    // format's mark: the file may be of the other kind after all.
    if (fallback && r.status == DecodeStatus::kBadRecord && r.line_has_marker &&
        (format == FileFormat::kIntelHex || format == FileFormat::kSRecord) && in.Rewind()) {
      const FileFormat other =
          format == FileFormat::kIntelHex ? FileFormat::kSRecord : FileFormat::kIntelHex;
      return LoadText(in, other, false, file_name, image, host);
    }
    host.ReportError(FailureText(r.status, eeprom));
    return {};
  }
  Commit(image, scratch.get());
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

}  // namespace

FileFormat LoaderForPath(std::string_view path) {
  static constexpr std::array<std::string_view, 8> kSRecord{".S",   ".S19", ".S2",   ".S3",
                                                            ".S28", ".S37", ".SREC", ".MOT"};
  const std::string ext = UpperExtension(path);
  if (std::find(kSRecord.begin(), kSRecord.end(), ext) != kSRecord.end()) {
    return FileFormat::kSRecord;
  }
  if (ext == ".HEX") return FileFormat::kIntelHex;
  if (ext == ".EEP") return FileFormat::kEeprom;
  return FileFormat::kBinary;
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
                     MemoryImage& image, const FamilyLayout& layout, FileHost& host) {
  const Outcome o = format == FileFormat::kBinary
                        ? LoadBinary(in, file_name, image, host)
                        : LoadText(in, format, fallback, file_name, image, host);
  LoadResult result;
  result.ok = o.ok;
  result.format = o.format;
  if (o.ok) result.pic_config = AfterLoad(image, layout, o.format);
  return result;
}

LoadResult LoadImageFile(const std::string& path, MemoryImage& image, const FamilyLayout& layout,
                         FileHost& host) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    host.ReportError(text::kErrorOpening);
    return {};
  }
  const FileFormat format = LoaderForPath(path);
  InputSource in(fd);
  LoadResult r = LoadImage(in, format, true, BaseName(path), image, layout, host);
  ::close(fd);
  return r;
}

}  // namespace image
