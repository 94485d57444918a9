#pragma once

#include <string>

#include "hw/reporter.h"

namespace image {

// Every window caption after a clear, a load or a save starts with this.
inline constexpr const char* kCaptionPrefix = "Tavrin Daraz RevSa(0.98V11)- ";

// What the file loaders and writers need from a front door. The application
// implements it over its Host:
//  - Message(text, kind): the status line (kind 0 information, 1 error);
//  - ReportError(text): a failed load or save — red text with the warning
//    sound, and the socket is powered down like after any other error;
//  - SetCaption(text): the main window's caption;
//  - Information(text): an information box with an OK button.
// Loaders and writers also return whether they succeeded, so a caller that
// does not care about the texts can ignore them.
class FileHost : public hw::Reporter {
 public:
  virtual void ReportError(const std::string& text) = 0;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void Information(const std::string& text) = 0;
};

// The texts the loaders and writers show.
namespace text {
inline constexpr const char* kErrorOpening = "Error opening file";
inline constexpr const char* kHexChecksum = "Checksum Error reading Hexfile";
inline constexpr const char* kEepChecksum = "Checksum Error reading Hexfile (EEP)";
inline constexpr const char* kEepNoColon = "Error reading Hexfile (EEP)";
inline constexpr const char* kHexAddress = "Address Error reading Hexfile (beyond 16 MB)";
inline constexpr const char* kEepAddress = "Address Error reading Hexfile (EEP)";
inline constexpr const char* kEmptyFile = "File is empty";
// Followed by the file's name.
inline constexpr const char* kNoDataRecords = "No data records in ";
inline constexpr const char* kBelowZero = "The file offset moves data below address 0";
inline constexpr const char* kBeyondImage = "The file offset moves data beyond 16 MB";
inline constexpr const char* kEepNeedsAvr = "An EEPROM (.eep) file needs an AVR device";
inline constexpr const char* kNoEepromArea =
    "The device has no EEPROM area: there is nothing to save as an EEPROM (.eep) file";
inline constexpr const char* kNothingToSave =
    "Nothing to save: the image holds no data for this file";
inline constexpr const char* kBinaryTooLarge =
    "File larger than 16 MB: only the first 16 MB loaded";
inline constexpr const char* kBinaryLoaded = "Binary File loaded OK";
inline constexpr const char* kHexLoaded = "Hex File loaded OK";
inline constexpr const char* kSRecordLoaded = "S Record File loaded OK";
inline constexpr const char* kEepLoaded = "EEPROM (Hex) File loaded OK";
inline constexpr const char* kBinaryLosesFuses =
    "This format will not preserve any Fuse and Data information";
}  // namespace text

}  // namespace image
