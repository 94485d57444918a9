#pragma once

// Loading the memory image from a file. The loader is chosen by the file's
// extension; every loader works on a scratch copy and changes the image and
// the data end only when the whole file was read without a fault, so a
// failed load leaves everything as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/file_host.h"
#include "image/input_source.h"
#include "image/layout.h"
#include "image/memory_image.h"

namespace image {

enum class FileFormat { kBinary, kIntelHex, kSRecord, kEeprom };

// By the upper-cased extension: .S .S19 .S2 .S3 .S28 .S37 .SREC .MOT are
// S-records, .HEX Intel HEX, .EEP the EEPROM hex file, anything else binary.
FileFormat LoaderForPath(std::string_view path);

struct LoadResult {
  bool ok = false;
  FileFormat format = FileFormat::kBinary;  // the loader whose result stands
  // With the PIC flag: the configuration word after the load, for the
  // application's configuration value and displays.
  std::optional<uint16_t> pic_config;
};

// Opens `path` and loads it with the loader its extension selects, then
// does the family's post-processing. Success: the loader's message, the
// caption (prefix + file name, except for EEPROM files). Failure: one
// ReportError with the reason; the image is unchanged.
LoadResult LoadImageFile(const std::string& path, MemoryImage& image, const FamilyLayout& layout,
                         FileHost& host);

// The same over an open source; `file_name` is only shown in the caption.
// `fallback` allows the second text format when the first one fails on a
// line that looks like the other's.
LoadResult LoadImage(InputSource& in, FileFormat format, bool fallback, std::string_view file_name,
                     MemoryImage& image, const FamilyLayout& layout, FileHost& host);

// After a successful load: PIC parts get the device size of their program
// memory and their words masked to the core's width, AVR parts (for a file
// other than the EEPROM file) the size of their flash. Returns the PIC
// configuration word when the PIC flag is set.
std::optional<uint16_t> AfterLoad(MemoryImage& image, const FamilyLayout& layout,
                                  FileFormat format);

}  // namespace image
