#pragma once

// Decoding of the text formats into a 16 MB target. The loaders decode into
// a scratch copy and keep it only when the whole file decoded, so nothing
// here needs to undo a partial result.

#include <cstdint>
#include <string_view>

#include "image/input_source.h"

namespace image {

enum class DecodeStatus {
  kOk,
  kBadRecord,     // checksum wrong, or a record that cannot be read as one
  kBadAddress,    // a record that would reach beyond the 16 MB image
  kMissingColon,  // EEPROM file: a line that holds no record
  kReadError,     // the file could not be read
  kLineTooLong,   // no record line is anywhere near InputSource::kMaxLineLength
};

struct DecodeResult {
  DecodeStatus status = DecodeStatus::kOk;
  uint32_t highest_end = 0;      // one past the highest byte written (relative to the base)
  uint64_t line_number = 0;      // the failing line, counted from 1
  bool line_has_marker = false;  // the failing line holds the other format's mark
};

// Intel HEX records (types 00, 02 and 04; others are read, checked and
// ignored) into target[base + address]. `eeprom` makes a line without ":"
// an error instead of something to skip. On a failure the line is tested
// for "S", the mark of an S-record line.
DecodeResult DecodeIntelHex(InputSource& in, uint8_t* target, uint32_t base, bool eeprom);

// S1, S2 and S3 records into target[address]; other lines, and records too
// short to hold data, are skipped. On a failure the line is tested for ":".
DecodeResult DecodeSRecords(InputSource& in, uint8_t* target);

}  // namespace image
