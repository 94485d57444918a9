#pragma once

// Decoding of the text formats into a 16 MB target. The loaders decode into
// a scratch copy and keep it only when the whole file decoded, so nothing
// here needs to undo a partial result.

#include <cstdint>
#include <string_view>

#include "image/input_source.h"
#include "image/written_map.h"

namespace image {

enum class DecodeStatus {
  kOk,
  kBadRecord,     // checksum wrong, or a record that cannot be read as one
  kBadAddress,    // a record that would reach beyond the 16 MB image
  kBelowZero,     // the file offset moves a record below address 0
  kMissingColon,  // EEPROM file: a line that holds no record
  kReadError,     // the file could not be read
  kLineTooLong,   // no record line is anywhere near InputSource::kMaxLineLength
};

struct DecodeResult {
  DecodeStatus status = DecodeStatus::kOk;
  uint32_t highest_end = 0;      // one past the highest byte written (relative to the base)
  uint64_t data_records = 0;     // data records read (a file without any loads nothing)
  uint64_t line_number = 0;      // the failing line, counted from 1
  bool line_has_marker = false;  // the failing line holds the other format's mark
};

// Where the records' data go beyond their own addresses: moved by a file
// offset (which may be negative, like srec_cat's -offset), and marked in a
// map of written bytes when one is given.
struct Placement {
  int64_t offset = 0;
  WrittenMap* written = nullptr;
};

// Intel HEX records (types 00, 02 and 04; others are read, checked and
// ignored) into target[base + address + offset]. `eeprom` makes a line
// without ":" an error instead of something to skip. On a failure the line
// is tested for "S", the mark of an S-record line.
DecodeResult DecodeIntelHex(InputSource& in, uint8_t* target, uint32_t base, bool eeprom,
                            const Placement& place = {});

// S1, S2 and S3 records into target[address + offset]; other lines, and
// records too short to hold data, are skipped. On a failure the line is
// tested for ":".
DecodeResult DecodeSRecords(InputSource& in, uint8_t* target, const Placement& place = {});

}  // namespace image
