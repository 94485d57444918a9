#include "image/file_save.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "image/atomic_file.h"

namespace image {

namespace {

// A byte count from a word count or a product, cut to the image.
uint32_t Bytes(uint64_t n) { return static_cast<uint32_t>(std::min<uint64_t>(n, kImageSize)); }

bool IsPicFamily(int family) {
  return IsPic14(family) || IsPic12(family) || family == kFamilyPic18;
}

}  // namespace

std::string WithExtension(std::string_view name, std::string_view ext) {
  const size_t slash = name.find_last_of('/');
  const size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = name.find_last_of('.');
  std::string current;
  if (dot != std::string_view::npos && dot >= start) current = name.substr(dot);
  for (char& c : current) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string result(name);
  if (current != ext) result += ext;
  return result;
}

std::vector<Area> IntelHexAreas(const MemoryImage& image, const FamilyLayout& layout) {
  if (IsPic14(layout.family)) {
    return {AreaAt(0, Bytes(uint64_t{layout.pic_program_words} * 2)),
            AreaAt(Bytes(uint64_t{layout.pic_config_index} * 2), kPic14ConfigAreaBytes),
            AreaAt(kPicEepromByte, Bytes(uint64_t{layout.pic_data_words} * 2))};
  }
  if (IsPic12(layout.family)) {
    return {AreaAt(0, Bytes(uint64_t{image.device_size} * 2)),
            AreaAt(Bytes(uint64_t{layout.pic_id_index} * 2), kPicIdWords * 2),
            AreaAt(Bytes(uint64_t{layout.pic_config_index} * 2), 2)};
  }
  if (layout.family == kFamilyPic18) {
    return {AreaAt(0, Bytes(uint64_t{layout.pic18_code_words} * 2)),
            AreaAt(kPic18IdOffset, kPic18IdBytes), AreaAt(kPic18ConfigOffset, kPic18ConfigBytes),
            AreaAt(kPic18EepromOffset,
                   Bytes(uint64_t{layout.pic18_eeprom_bytes} * kPic18EepromStride))};
  }
  return {AreaAt(0, Bytes(image.device_size))};
}

std::vector<Area> SRecordAreas(const MemoryImage& image, const FamilyLayout& layout) {
  if (!layout.pic) return {AreaAt(0, Bytes(image.device_size))};
  if (IsPicFamily(layout.family)) return IntelHexAreas(image, layout);
  // A PIC of no family we know: program words, the whole configuration
  // word and the first data-EEPROM words.
  return {AreaAt(0, Bytes(uint64_t{image.device_size} * 2)), AreaAt(kPicConfigByte, 2),
          AreaAt(kPicEepromByte, 128)};
}

Area EepromArea(const FamilyLayout& layout) {
  return {kAvrEepromOffset, layout.avr_eeprom_bytes, 0};
}

std::vector<Area> DeviceAreas(const MemoryImage& image, const FamilyLayout& layout) {
  std::vector<Area> areas = IntelHexAreas(image, layout);
  if (IsPic14(layout.family)) areas.push_back(AreaAt(kPicIdByte, kPicIdWords * 2));
  if (layout.family == kFamilyAvr) {
    areas.push_back(AreaAt(kAvrEepromOffset, layout.avr_eeprom_bytes));
  }
  return areas;
}

std::optional<std::string> SaveRefusal(SaveType type, const MemoryImage& image,
                                       const FamilyLayout& layout) {
  if (type == SaveType::kEeprom) {
    if (layout.family != kFamilyAvr) return std::string(text::kEepNeedsAvr);
    if (layout.avr_eeprom_bytes == 0) return std::string(text::kNoEepromArea);
    return std::nullopt;
  }
  const bool binary = type == SaveType::kBinary || type == SaveType::kRom;
  uint64_t bytes = 0;
  if (binary) {
    bytes = BinaryLength(image, layout);
  } else {
    const std::vector<Area> areas =
        type == SaveType::kSRecord ? SRecordAreas(image, layout) : IntelHexAreas(image, layout);
    for (const Area& a : areas) bytes += a.length;
  }
  if (bytes == 0) return std::string(text::kNothingToSave);
  return std::nullopt;
}

uint32_t BinaryLength(const MemoryImage& image, const FamilyLayout& layout) {
  return Bytes(uint64_t{image.device_size} * (layout.pic ? 2 : 1));
}

std::string_view SRecordExtension(int type) {
  return type <= 1 ? ".S19" : type == 2 ? ".S2" : ".S3";
}

std::string SavePath(const std::string& path, SaveType type, const MemoryImage& image,
                     const FamilyLayout& layout) {
  switch (type) {
    case SaveType::kRom:
      return WithExtension(path, ".ROM");
    case SaveType::kIntelHex:
      return WithExtension(path, ".HEX");
    case SaveType::kSRecord:
      return WithExtension(path, SRecordExtension(SRecordTypeFor(SRecordAreas(image, layout))));
    case SaveType::kEeprom:
      return WithExtension(path, ".EEP");
    case SaveType::kBinary:
    default:
      return WithExtension(path, ".BIN");
  }
}

SaveResult SaveImageFile(const std::string& path, SaveType type, const MemoryImage& image,
                         const FamilyLayout& layout, FileHost& host, bool append_extension) {
  SaveResult result;
  if (const std::optional<std::string> refusal = SaveRefusal(type, image, layout)) {
    host.ReportError(*refusal);
    result.status = SaveStatus::kNothingToSave;
    return result;
  }
  std::vector<Area> areas;
  int srecord_type = 1;
  switch (type) {
    case SaveType::kBinary:
    case SaveType::kRom:
      if (layout.pic) host.Information(text::kBinaryLosesFuses);
      break;
    case SaveType::kIntelHex:
      areas = IntelHexAreas(image, layout);
      break;
    case SaveType::kSRecord:
      areas = SRecordAreas(image, layout);
      srecord_type = SRecordTypeFor(areas);
      break;
    case SaveType::kEeprom:
      areas = {EepromArea(layout)};
      break;
    default:
      return result;
  }
  result.path = append_extension ? SavePath(path, type, image, layout) : path;

  AtomicFile file;
  if (!file.Open(result.path)) {
    host.ReportError(text::kErrorOpening);
    return result;
  }
  switch (type) {
    case SaveType::kIntelHex:
    case SaveType::kEeprom:
      WriteIntelHex(image.data(), areas, file);
      break;
    case SaveType::kSRecord:
      WriteSRecords(image.data(), areas, srecord_type, file);
      break;
    default:
      file.Write(reinterpret_cast<const char*>(image.data()), BinaryLength(image, layout));
      break;
  }
  if (!file.Commit()) {
    host.ReportError(text::kErrorOpening);
    return result;
  }
  result.ok = true;
  result.status = SaveStatus::kOk;
  if (type != SaveType::kEeprom) {
    host.SetCaption(std::string(kCaptionPrefix) +
                    (result.path == "-" ? std::string("stdout")
                                        : std::filesystem::path(result.path).filename().string()));
  }
  return result;
}

}  // namespace image
