#include "image/record_decode.h"

#include <algorithm>
#include <cstring>

#include "image/hex_digits.h"
#include "image/memory_image.h"

namespace image {

namespace {

// What may follow a record's checksum: blanks, and the end-of-file mark
// that old DOS tools put on the last line.
bool OnlyBlanks(const char* p, const char* end) {
  for (; p < end; ++p) {
    const char c = *p;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\x1A') return false;
  }
  return true;
}

bool IsBlankLine(std::string_view line) {
  return OnlyBlanks(line.data(), line.data() + line.size());
}

// Reads `n` bytes of hex pairs from p into out, adding them to sum.
bool ReadBytes(const char* p, unsigned n, uint8_t* out, unsigned& sum) {
  for (unsigned i = 0; i < n; ++i) {
    const int b = HexByte(p + 2 * i);
    if (b < 0) return false;
    out[i] = static_cast<uint8_t>(b);
    sum += static_cast<unsigned>(b);
  }
  return true;
}

DecodeResult Fail(DecodeStatus status, uint64_t line_number, std::string_view line, char mark) {
  DecodeResult r;
  r.status = status;
  r.line_number = line_number;
  r.line_has_marker = line.find(mark) != std::string_view::npos;
  return r;
}

// Checks where a record's `count` bytes at `address` land and copies them
// there. kOk, kBelowZero or kBadAddress.
DecodeStatus Place(const Placement& place, uint8_t* target, uint64_t base, uint64_t address,
                   const uint8_t* data, unsigned count, uint64_t& highest) {
  const int64_t moved = static_cast<int64_t>(address) + place.offset;
  if (moved < 0) return DecodeStatus::kBelowZero;
  const uint64_t at = static_cast<uint64_t>(moved);
  if (base + at + count > kImageSize) return DecodeStatus::kBadAddress;
  std::memcpy(target + base + at, data, count);
  if (place.written != nullptr) place.written->Mark(base + at, count);
  highest = std::max<uint64_t>(highest, at + count);
  return DecodeStatus::kOk;
}

DecodeStatus FromSourceStatus(InputSource::Status s) {
  return s == InputSource::Status::kTooLong ? DecodeStatus::kLineTooLong : DecodeStatus::kReadError;
}

}  // namespace

DecodeResult DecodeIntelHex(InputSource& in, uint8_t* target, uint32_t base, bool eeprom,
                            const Placement& place) {
  uint64_t extended = 0;
  uint64_t highest = 0;
  uint64_t records = 0;
  uint64_t line_number = 0;
  std::string_view line;
  uint8_t data[256];
  for (;;) {
    const InputSource::Status s = in.NextLine(line);
    if (s == InputSource::Status::kEnd) break;
    ++line_number;
    if (s != InputSource::Status::kLine) return Fail(FromSourceStatus(s), line_number, {}, 'S');

    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      if (eeprom && !IsBlankLine(line)) {
        return Fail(DecodeStatus::kMissingColon, line_number, line, 'S');
      }
      continue;
    }
    const char* p = line.data() + colon + 1;
    const char* end = line.data() + line.size();
    // count, address high, address low, type ... checksum
    uint8_t head[4];
    unsigned sum = 0;
    if (end - p < 10 || !ReadBytes(p, 4, head, sum)) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, 'S');
    }
    const unsigned count = head[0];
    if (static_cast<size_t>(end - p) < 8 + 2 * count + 2) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, 'S');
    }
    const char* data_chars = p + 8;
    const char* check_chars = data_chars + 2 * count;
    if (!ReadBytes(data_chars, count, data, sum)) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, 'S');
    }
    const int check = HexByte(check_chars);
    if (check < 0 || ((0u - sum) & 0xFF) != static_cast<unsigned>(check) ||
        !OnlyBlanks(check_chars + 2, end)) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, 'S');
    }

    switch (head[3]) {
      case 0x00: {
        const uint64_t address = extended + (head[1] << 8 | head[2]);
        const DecodeStatus placed = Place(place, target, base, address, data, count, highest);
        if (placed != DecodeStatus::kOk) return Fail(placed, line_number, line, 'S');
        if (count > 0) ++records;
        break;
      }
      case 0x02:
      case 0x04:
        if (count != 2) return Fail(DecodeStatus::kBadRecord, line_number, line, 'S');
        extended = uint64_t{static_cast<unsigned>(data[0] << 8 | data[1])}
                   << (head[3] == 0x02 ? 4 : 16);
        break;
      default:
        break;  // end-of-file and start records: reading goes on to the end
    }
  }
  DecodeResult r;
  r.highest_end = static_cast<uint32_t>(highest);
  r.line_number = line_number;
  r.data_records = records;
  return r;
}

DecodeResult DecodeSRecords(InputSource& in, uint8_t* target, const Placement& place) {
  uint64_t highest = 0;
  uint64_t records = 0;
  uint64_t line_number = 0;
  std::string_view line;
  uint8_t data[256];
  for (;;) {
    const InputSource::Status s = in.NextLine(line);
    if (s == InputSource::Status::kEnd) break;
    ++line_number;
    if (s != InputSource::Status::kLine) return Fail(FromSourceStatus(s), line_number, {}, ':');

    // The type is the data-record mark anywhere in the line; the fields are
    // always read from the third character on.
    unsigned type = 0;
    if (line.size() >= 2 && line[0] == 'S' && line[1] >= '1' && line[1] <= '3') {
      type = static_cast<unsigned>(line[1] - '0');
    } else if (line.find("S1") != std::string_view::npos) {
      type = 1;
    } else if (line.find("S2") != std::string_view::npos) {
      type = 2;
    } else if (line.find("S3") != std::string_view::npos) {
      type = 3;
    } else {
      continue;
    }
    const unsigned address_bytes = type + 1;
    const char* p = line.data() + 2;
    const char* end = line.data() + line.size();
    const int count = end - p >= 2 ? HexByte(p) : -1;
    if (count < 0) return Fail(DecodeStatus::kBadRecord, line_number, line, ':');
    const int n = count - static_cast<int>(address_bytes) - 1;
    if (n <= 0) continue;

    unsigned sum = static_cast<unsigned>(count);
    uint8_t address_raw[4];
    if (static_cast<size_t>(end - p) < 2 + 2 * address_bytes + 2 * static_cast<unsigned>(n) + 2) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, ':');
    }
    const char* data_chars = p + 2 + 2 * address_bytes;
    const char* check_chars = data_chars + 2 * n;
    if (!ReadBytes(p + 2, address_bytes, address_raw, sum) ||
        !ReadBytes(data_chars, static_cast<unsigned>(n), data, sum)) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, ':');
    }
    const int check = HexByte(check_chars);
    if (check < 0 || (~sum & 0xFF) != static_cast<unsigned>(check) ||
        !OnlyBlanks(check_chars + 2, end)) {
      return Fail(DecodeStatus::kBadRecord, line_number, line, ':');
    }
    uint64_t address = 0;
    for (unsigned i = 0; i < address_bytes; ++i) address = address << 8 | address_raw[i];
    const DecodeStatus placed =
        Place(place, target, 0, address, data, static_cast<unsigned>(n), highest);
    if (placed != DecodeStatus::kOk) return Fail(placed, line_number, line, ':');
    ++records;
  }
  DecodeResult r;
  r.highest_end = static_cast<uint32_t>(highest);
  r.line_number = line_number;
  r.data_records = records;
  return r;
}

}  // namespace image
