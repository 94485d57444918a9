#include "image/record_encode.h"

#include <algorithm>
#include <memory>

#include "image/hex_digits.h"
#include "image/memory_image.h"

namespace image {

namespace {

constexpr uint32_t kRecordBytes = 16;
constexpr size_t kMaxRecordChars = 2 + 2 * (1 + 4 + kRecordBytes + 1) + 2;

// Collects records and passes them to the sink in large pieces.
class Batch {
 public:
  explicit Batch(OutputSink& out) : out_(out), buf_(new char[kSize]) {}
  ~Batch() { Flush(); }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  // Room for one record.
  char* Begin() {
    if (used_ + kMaxRecordChars > kSize) Flush();
    return buf_.get() + used_;
  }
  void End(char* p) { used_ = static_cast<size_t>(p - buf_.get()); }
  void Flush() {
    if (used_ > 0) out_.Write(buf_.get(), used_);
    used_ = 0;
  }

 private:
  static constexpr size_t kSize = 1 << 18;
  OutputSink& out_;
  std::unique_ptr<char[]> buf_;
  size_t used_ = 0;
};

char* LineBreak(char* p) {
  p[0] = '\r';
  p[1] = '\n';
  return p + 2;
}

// Appends bytes as hex, adding them to sum.
char* PutBytes(char* p, const uint8_t* bytes, uint32_t n, unsigned& sum) {
  for (uint32_t i = 0; i < n; ++i) {
    sum += bytes[i];
    p = PutHexByte(p, bytes[i]);
  }
  return p;
}

void IntelRecord(Batch& batch, uint8_t type, uint16_t address, const uint8_t* data,
                 uint32_t count) {
  char* p = batch.Begin();
  *p++ = ':';
  const uint8_t head[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(address >> 8),
                           static_cast<uint8_t>(address), type};
  unsigned sum = 0;
  p = PutBytes(p, head, 4, sum);
  p = PutBytes(p, data, count, sum);
  p = PutHexByte(p, static_cast<uint8_t>(0u - sum));
  batch.End(LineBreak(p));
}

// The part of an area that lies inside the image.
uint32_t ClippedLength(const Area& area) {
  if (area.offset >= kImageSize) return 0;
  return std::min(area.length, kImageSize - area.offset);
}

}  // namespace

void WriteIntelHex(const uint8_t* image, std::span<const Area> areas, OutputSink& out) {
  Batch batch(out);
  uint32_t upper = 0;
  for (const Area& area : areas) {
    uint32_t n = ClippedLength(area);
    uint32_t a = area.address;
    const uint8_t* src = image + area.offset;
    while (n > 0) {
      if ((a >> 16) != upper) {
        upper = a >> 16;
        const uint8_t segment[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
        IntelRecord(batch, 0x04, 0, segment, 2);
      }
      const uint32_t count = std::min({n, kRecordBytes, 0x10000 - (a & 0xFFFF)});
      IntelRecord(batch, 0x00, static_cast<uint16_t>(a), src, count);
      a += count;
      src += count;
      n -= count;
    }
  }
  char* p = batch.Begin();
  for (const char c : std::string_view(":00000001FF")) *p++ = c;
  batch.End(LineBreak(p));
}

int SRecordTypeFor(std::span<const Area> areas) {
  uint64_t end = 0;
  for (const Area& area : areas) {
    end = std::max<uint64_t>(end, uint64_t{area.address} + ClippedLength(area));
  }
  if (end <= 0x10000) return 1;
  if (end <= 0x1000000) return 2;
  return 3;
}

void WriteSRecords(const uint8_t* image, std::span<const Area> areas, int type, OutputSink& out) {
  type = std::clamp(std::max(type, SRecordTypeFor(areas)), 1, 3);
  const uint32_t address_bytes = static_cast<uint32_t>(type) + 1;
  Batch batch(out);
  for (const Area& area : areas) {
    uint32_t n = ClippedLength(area);
    uint32_t a = area.address;
    const uint8_t* src = image + area.offset;
    while (n > 0) {
      const uint32_t count = std::min(n, kRecordBytes);
      char* p = batch.Begin();
      *p++ = 'S';
      *p++ = static_cast<char>('0' + type);
      uint8_t head[5];
      head[0] = static_cast<uint8_t>(count + address_bytes + 1);
      for (uint32_t i = 0; i < address_bytes; ++i) {
        head[1 + i] = static_cast<uint8_t>(a >> (8 * (address_bytes - 1 - i)));
      }
      unsigned sum = 0;
      p = PutBytes(p, head, 1 + address_bytes, sum);
      p = PutBytes(p, src, count, sum);
      p = PutHexByte(p, static_cast<uint8_t>(~sum));
      batch.End(LineBreak(p));
      a += count;
      src += count;
      n -= count;
    }
  }
  static constexpr std::string_view kEnd[] = {"S9030000FC", "S804000000FB", "S705000000FA"};
  char* p = batch.Begin();
  for (const char c : kEnd[type - 1]) *p++ = c;
  batch.End(LineBreak(p));
}

}  // namespace image
