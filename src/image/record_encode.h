#pragma once

// Encoding image areas as Intel HEX and S-record text, 16 data bytes per
// record, CR LF after each record. The encoders fill a large local buffer
// and hand it to the sink in big pieces.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace image {

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Write(const char* data, size_t size) = 0;
};

class StringSink final : public OutputSink {
 public:
  void Write(const char* data, size_t size) override { text.append(data, size); }
  std::string text;
};

// `length` bytes from image offset `offset`, written with record addresses
// starting at `address` (the EEPROM file numbers its area from 0).
struct Area {
  uint32_t offset = 0;
  uint32_t length = 0;
  uint32_t address = 0;
};
inline Area AreaAt(uint32_t offset, uint32_t length) { return {offset, length, offset}; }

// Data records of up to 16 bytes, an extended linear address record before
// the first record of every 64 KB segment other than segment 0 (carried
// across areas), and ":00000001FF" at the end. A record never crosses a
// segment boundary. Areas are cut at the end of the image.
void WriteIntelHex(const uint8_t* image, std::span<const Area> areas, OutputSink& out);

// S1 (16-bit), S2 (24-bit) or S3 (32-bit) records and the matching end
// record. Areas are cut at the end of the image.
void WriteSRecords(const uint8_t* image, std::span<const Area> areas, int type, OutputSink& out);

// The smallest S-record type whose addresses reach every byte of the areas.
int SRecordTypeFor(std::span<const Area> areas);

}  // namespace image
