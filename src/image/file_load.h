#pragma once

// Loading the memory image from a file. The format comes from the caller,
// from the file's extension, or from its content; every loader works on a
// scratch copy and changes the image and the data end only when the whole
// file was read without a fault and held data, so a failed load leaves
// everything as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/file_host.h"
#include "image/input_source.h"
#include "image/layout.h"
#include "image/memory_image.h"
#include "image/written_map.h"

namespace image {

enum class FileFormat { kBinary, kIntelHex, kSRecord, kEeprom };

// The format an upper-cased extension names: .S .S19 .S2 .S3 .S28 .S37
// .SREC .MOT S-records; .HEX .IHX .IHEX .H86 .MCS .A43 Intel HEX; .EEP the
// EEPROM hex file; .BIN .ROM binary. Nothing for any other extension or
// none: then the content decides (SniffFormat).
std::optional<FileFormat> FormatForPath(std::string_view path);

// The format of a file by its first bytes: in text, the first line that
// starts with ':' makes Intel HEX, with S0..S9 S-records; anything else,
// and anything with bytes no text has, is binary.
FileFormat SniffFormat(std::string_view head);
// How many bytes SniffFormat looks at.
inline constexpr size_t kSniffBytes = 4096;

// "bin", "hex", "srec" or "eep", any case (the --format names).
std::optional<FileFormat> FormatByName(std::string_view name);

struct LoadOptions {
  std::optional<FileFormat> format;  // forced; else the extension, then the content
  // Added to every address of the file before it lands in the image; data
  // moved below 0 or beyond the image refuses the load.
  int64_t file_offset = 0;
};

struct LoadResult {
  bool ok = false;
  FileFormat format = FileFormat::kBinary;  // the loader whose result stands
  // With the PIC flag: the configuration word after the load, for the
  // application's configuration value and displays.
  std::optional<uint16_t> pic_config;
  // With a device selected: the bytes the file put outside the device's
  // areas (DeviceAreas), which no action will program or compare.
  Extent outside;
};

// Opens `path` ("-" is standard input) and loads it in the format the
// options, the extension or the content give, then does the family's
// post-processing. Success: the loader's message, the caption (prefix +
// file name, except for EEPROM files). Failure: one ReportError with the
// reason; the image is unchanged.
LoadResult LoadImageFile(const std::string& path, MemoryImage& image, const FamilyLayout& layout,
                         FileHost& host, const LoadOptions& options = {});

// The same over an open source in a known format; `file_name` is shown in
// the caption and the messages. `fallback` allows the second text format
// when the first one fails on a line that looks like the other's.
LoadResult LoadImage(InputSource& in, FileFormat format, bool fallback, std::string_view file_name,
                     MemoryImage& image, const FamilyLayout& layout, FileHost& host,
                     int64_t file_offset = 0);

// After a successful load: PIC parts get the device size of their program
// memory and their words masked to the core's width, AVR parts (for a file
// other than the EEPROM file) the size of their flash. Returns the PIC
// configuration word when the PIC flag is set.
std::optional<uint16_t> AfterLoad(MemoryImage& image, const FamilyLayout& layout,
                                  FileFormat format);

}  // namespace image
