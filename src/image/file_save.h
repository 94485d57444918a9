#pragma once

// Saving the memory image: binary (.BIN, .ROM), Intel HEX, S-records and
// the AVR EEPROM hex file, with the areas each family keeps in the image.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/file_host.h"
#include "image/layout.h"
#include "image/memory_image.h"
#include "image/record_encode.h"

namespace image {

// The save dialog's file types, by their position in the list (from 1).
enum class SaveType : int { kBinary = 1, kIntelHex = 2, kSRecord = 3, kRom = 4, kEeprom = 5 };

// The file type the save dialog starts with.
inline SaveType DefaultSaveType(bool pic) { return pic ? SaveType::kIntelHex : SaveType::kBinary; }

// Appends `ext` (".BIN", ".HEX", ...) unless the name's upper-cased
// extension already is `ext`: "x.bin" saved as ROM becomes "x.bin.ROM".
std::string WithExtension(std::string_view name, std::string_view ext);

// The areas of the Intel HEX file for the selected family.
std::vector<Area> IntelHexAreas(const MemoryImage& image, const FamilyLayout& layout);
// The areas of the S-record file: the device for ordinary parts; for the PIC
// families the same areas as the Intel HEX file, so that configuration and
// data EEPROM survive the save.
std::vector<Area> SRecordAreas(const MemoryImage& image, const FamilyLayout& layout);
// The AVR EEPROM area, numbered from address 0.
Area EepromArea(const FamilyLayout& layout);
// Every area of the image that belongs to the selected device: the areas of
// the Intel HEX file, the ID words of a mid-range PIC, and the EEPROM area
// of an AVR. Data a file puts anywhere else reaches no chip.
std::vector<Area> DeviceAreas(const MemoryImage& image, const FamilyLayout& layout);
// Bytes of the binary file: the program words of a PIC, else the device.
uint32_t BinaryLength(const MemoryImage& image, const FamilyLayout& layout);
// ".S19", ".S2" or ".S3" for S-record type 1, 2 or 3.
std::string_view SRecordExtension(int type);

enum class SaveStatus {
  kOk,
  kNothingToSave,  // the file would hold no data: refused, nothing written
  kWriteFailed,    // could not be created or written; any old file is untouched
};

struct SaveResult {
  bool ok = false;
  SaveStatus status = SaveStatus::kWriteFailed;
  std::string path;  // the name written (with the extension appended)
};

// The name SaveImageFile writes when it adds the type's extension.
std::string SavePath(const std::string& path, SaveType type, const MemoryImage& image,
                     const FamilyLayout& layout);

// Why a file of this type cannot be saved from the image as it stands (the
// text ReportError shows), or nothing when it can: an EEPROM file needs an
// AVR with an EEPROM area, every other type at least one byte.
std::optional<std::string> SaveRefusal(SaveType type, const MemoryImage& image,
                                       const FamilyLayout& layout);

// Writes the file of the chosen type. The binary types with the PIC flag
// first show that fuses and data are not kept. A file that would hold no
// data is refused with the reason. A file that cannot be created or written
// reports "Error opening file" and leaves any old file of that name
// untouched. Success sets the caption (prefix + file name) except for the
// EEPROM file; no writer shows a success message.
//
// With `append_extension` the type's extension is added to a name that has
// another one (the save dialog's way); without it the file gets exactly the
// name asked for. "-" is standard output; devices, pipes and other special
// files are written in place (see AtomicFile).
SaveResult SaveImageFile(const std::string& path, SaveType type, const MemoryImage& image,
                         const FamilyLayout& layout, FileHost& host, bool append_extension = true);

}  // namespace image
