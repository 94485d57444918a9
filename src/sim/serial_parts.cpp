// Datasheet figures of the serial memories. Write and erase times are the
// datasheets' maxima (a routine that waits a fixed time must cover them);
// the comment above each row names the datasheets it comes from.
#include "sim/serial_parts.h"

#include <algorithm>
#include <array>
#include <bit>

namespace sim {
namespace {

constexpr int64_t kUs = 1000;
constexpr int64_t kMs = 1000 * kUs;
constexpr int64_t kS = 1000 * kMs;

// Standard-mode I2C (100 kHz): tHIGH 4.0 us, tLOW 4.7 us, tSU;STA 4.7 us,
// tHD;STA 4.0 us, tSU;STO 4.0 us, tBUF 4.7 us.
constexpr I2cTiming kI2c100k{4000, 4700, 4700, 4000, 4000, 4700};
// Fast-mode I2C (400 kHz) at 5 V: tHIGH 0.6 us, tLOW 1.3 us, tSU;STA 0.6 us,
// tHD;STA 0.6 us, tSU;STO 0.6 us, tBUF 1.3 us.
constexpr I2cTiming kI2c400k{600, 1300, 600, 600, 600, 1300};

// Power of two a size is of 64 KB: 0 for 64 KB, 3 for 512 KB.
int Log2Of64K(uint32_t size) { return size < 65536 ? 0 : std::bit_width(size / 65536) - 1; }

struct FlashMaker {
  std::string_view prefix;  // caption start
  SpiFlashKind kind;
  uint8_t manufacturer, memory_type, capacity_64k;  // 9F answer; capacity code of 64 KB
  int64_t program_ns, erase_ns;
  uint8_t bp_mask;
};

// 0x9F makers: MX25L4005A (tPP 5 ms, tCE 7.5 s), W25X40 and W25P80 (tPP
// 3 ms, tCE 10 s), M25P40 (tPP 5 ms, tBE 10 s), EN25B40, S25FL004A, A25L040,
// F25L004A, GD25F40, AT25DF041A (tPP 5 ms, tCE 10 s); the capacity codes
// count up from the 64 KB part.
constexpr FlashMaker kMakers[] = {
    {"MX25L", SpiFlashKind::kStandard, 0xC2, 0x20, 0x10, 5 * kMs, 7500 * kMs, 0x1C},
    {"W25X", SpiFlashKind::kStandard, 0xEF, 0x30, 0x10, 3 * kMs, 10 * kS, 0x1C},
    {"W25P", SpiFlashKind::kStandard, 0xEF, 0x20, 0x10, 3 * kMs, 10 * kS, 0x1C},
    {"M25P", SpiFlashKind::kStandard, 0x20, 0x20, 0x10, 5 * kMs, 10 * kS, 0x1C},
    {"EN25", SpiFlashKind::kStandard, 0x1C, 0x20, 0x10, 5 * kMs, 10 * kS, 0x1C},
    {"S25FL", SpiFlashKind::kStandard, 0x01, 0x02, 0x0F, 5 * kMs, 10 * kS, 0x1C},
    {"A25L", SpiFlashKind::kStandard, 0x37, 0x30, 0x10, 5 * kMs, 10 * kS, 0x1C},
    {"F25", SpiFlashKind::kStandard, 0x8C, 0x20, 0x10, 5 * kMs, 10 * kS, 0x1C},
    {"GD25", SpiFlashKind::kStandard, 0xC8, 0x40, 0x10, 5 * kMs, 10 * kS, 0x1C},
    {"AT25DF", SpiFlashKind::kStandard, 0x1F, 0x41, 0x00, 5 * kMs, 10 * kS, 0x1C},
    {"AT26DF", SpiFlashKind::kStandard, 0x1F, 0x41, 0x00, 5 * kMs, 10 * kS, 0x1C},
    {"AT25FS", SpiFlashKind::kStandard, 0x1F, 0x65, 0x00, 5 * kMs, 10 * kS, 0x1C},
    {"AT45DB", SpiFlashKind::kDataFlash, 0x1F, 0x21, 0x00, 5 * kMs, 17 * kS, 0},
};

// Pm25LV512..016 (RDID 0xAB: 9D and the device code; tPP 5 ms, chip erase
// 100 ms).
constexpr std::array<uint8_t, 6> kPmcDevices{0x7B, 0x7C, 0x7D, 0x7E, 0x13, 0x14};

void SetMaker(SpiFlashConfig& c, const FlashMaker& m, uint32_t size) {
  const int k = Log2Of64K(size);
  c.program_ns = m.program_ns;
  c.erase_ns = m.erase_ns;
  c.bp_mask = m.bp_mask;
  if (m.kind == SpiFlashKind::kDataFlash) {
    // AT45DB011D..641D: 1F 22..28; status density code 0011, 0101, 0111, ...
    c.id_9f = {m.manufacturer, static_cast<uint8_t>(0x21 + k), 0x00};
    c.density = static_cast<uint8_t>(std::min(2 * k + 1, 15));
    return;
  }
  const uint8_t capacity = m.capacity_64k == 0 ? 0x01 : static_cast<uint8_t>(m.capacity_64k + k);
  const uint8_t type =
      m.capacity_64k == 0 ? static_cast<uint8_t>(m.memory_type + k) : m.memory_type;
  c.id_9f = {m.manufacturer, type, capacity};
}

// SST25VF512/010/020, SST25LF020A/040A/080A (0x90; AAI 0xAF, tBP 20 us,
// chip erase 100 ms) and SST25VF040B/080B/016B/032B (0x9F, tBP 10 us,
// chip erase 50 ms).
void SetSst(SpiFlashConfig& c, std::string_view caption, uint32_t size, uint8_t aai_opcode) {
  c.kind = SpiFlashKind::kSst;
  c.aai_opcode = aai_opcode;
  const bool b_series = caption.find("VF040") != std::string_view::npos || aai_opcode == 0xAD;
  c.program_ns = b_series ? 10 * kUs : 20 * kUs;
  c.erase_ns = b_series ? 50 * kMs : 100 * kMs;
  c.bp_mask = size >= 1024 * 1024 ? 0x3C : size >= 512 * 1024 ? 0x1C : 0x0C;
  struct Code {
    std::string_view part;
    uint8_t device;
  };
  static constexpr Code kOld[] = {
      {"VF512", 0x48}, {"VF010", 0x49}, {"020", 0x43}, {"LF040", 0x44}, {"LF080", 0x80}};
  for (const Code& code : kOld) {
    if (caption.find(code.part) != std::string_view::npos) c.id_90 = {0xBF, code.device};
  }
  static constexpr Code kNew[] = {
      {"VF040", 0x8D}, {"VF080", 0x8E}, {"VF016", 0x41}, {"VF032", 0x4A}};
  for (const Code& code : kNew) {
    if (caption.find(code.part) != std::string_view::npos) c.id_9f = {0xBF, 0x25, code.device};
  }
}

}  // namespace

I2cConfig I2cPartConfig(I2cPart part, uint32_t size, uint32_t page) {
  I2cConfig c;
  c.size = size;
  c.page = page;
  switch (part) {
    // Xicor X24C01, Atmel AT24C01: 100 kHz, tWR 10 ms.
    case I2cPart::kX24C01:
      c.addressing = I2cAddressing::kX24C01;
      c.write_ns = 10 * kMs;
      c.bus = kI2c100k;
      break;
    // Microchip 24LC01B..24LC16B, Atmel AT24C01A..AT24C16A at 5 V: 400 kHz,
    // tWR 5 ms.
    case I2cPart::kOneByte:
      c.addressing = I2cAddressing::kOneByte;
      c.write_ns = 5 * kMs;
      c.bus = kI2c400k;
      break;
    // Siemens SDE2526: 100 kHz, programming time 10 ms.
    case I2cPart::kSde2526:
      c.addressing = I2cAddressing::kOneByte;
      c.write_ns = 10 * kMs;
      c.bus = kI2c100k;
      break;
    // Microchip 24LC32A..24LC512, Atmel AT24C32..AT24C512: 400 kHz, tWR 5 ms.
    case I2cPart::kTwoByte:
      c.addressing = I2cAddressing::kTwoByte;
      c.write_ns = 5 * kMs;
      c.bus = kI2c400k;
      break;
  }
  return c;
}

// Atmel AT93C46..86 and National NM93C46..86: tWP 10 ms (WRITE, ERASE);
// ERAL and WRAL 15 ms (Microchip 93LC46B..86 tEC/tWL). The AT59C and
// CAT35C parts share the figures.
MicrowireConfig MicrowirePartConfig(uint32_t size, int address_bits_x8, bool org16, bool icsp) {
  MicrowireConfig c;
  c.size = size;
  c.address_bits_x8 = address_bits_x8;
  c.org16 = org16;
  c.icsp = icsp;
  c.write_ns = 10 * kMs;
  c.write_all_ns = 15 * kMs;
  return c;
}

// Catalyst CAT64LC10/20/40: self-timed write 5 ms.
Cat64Config Cat64PartConfig(uint32_t size, int shift) { return {size, shift, 5 * kMs}; }

// Xicor X24C44: store 10 ms.
NvramConfig NvramPartConfig(bool words) { return {words, 10 * kMs}; }

// Microchip 25LC010A..25LC256, ST M95010..M95256, Atmel AT25HP256/512 and
// AT25HP1024: tW 5 ms. The byte-write parts (up to 512 bytes) have a
// 16-byte page and no WPEN bit.
SpiEepromConfig SpiEepromPartConfig(uint32_t size, uint32_t page, bool wpen) {
  return {size, page == 0 ? 16 : page, 5 * kMs, wpen};
}

SpiFlashConfig SpiFlashPartConfig(std::string_view caption, uint32_t size, uint32_t page,
                                  SpiFlashKind kind, uint8_t aai_opcode) {
  SpiFlashConfig c;
  c.size = size;
  c.page = page;
  c.kind = kind;
  if (kind == SpiFlashKind::kDataFlash) c.page_shift = std::bit_width(page) - (page == 256 ? 1 : 0);
  if (kind == SpiFlashKind::kSst) {
    SetSst(c, caption, size, aai_opcode);
    return c;
  }
  if (kind == SpiFlashKind::kEeprom) {
    // Microchip 25LC1024: RDID 0xAB answers 0x29; page write 6 ms, chip
    // erase 10 ms.
    c.id_ab = {0x29, 0x29};
    c.program_ns = 6 * kMs;
    c.erase_ns = 10 * kMs;
    c.bp_mask = 0x0C;
    return c;
  }
  if (kind == SpiFlashKind::kAt25f) {
    // Atmel AT25F512/1024/2048: RDID 0x15 gives 1F and 65, 60, 63 straight
    // after the opcode; tPP 2.5 ms, chip erase 10 s.
    c.id_15 = {0x1F, static_cast<uint8_t>(size <= 65536 ? 0x65 : size <= 131072 ? 0x60 : 0x63)};
    c.program_ns = 2500 * kUs;
    c.erase_ns = 10 * kS;
    c.bp_mask = 0x0C;
    return c;
  }
  if (caption.substr(0, 6) == "Pm25LV") {
    const int k = Log2Of64K(size);
    c.id_ab = {0x9D, kPmcDevices[static_cast<size_t>(std::min(k, 5))]};
    c.program_ns = 5 * kMs;
    c.erase_ns = 100 * kMs;
    return c;
  }
  for (const FlashMaker& m : kMakers) {
    if (caption.substr(0, m.prefix.size()) == m.prefix && m.kind == kind) {
      SetMaker(c, m, size);
      if (caption.substr(0, 4) == "W25P" && size <= 512 * 1024) {
        // W25P10/20/40 answer 0x90 only.
        c.id_90 = {0xEF, static_cast<uint8_t>(0x10 + Log2Of64K(size) - 1)};
        c.id_9f = {};
      }
      return c;
    }
  }
  if (kind == SpiFlashKind::kDataFlash) SetMaker(c, kMakers[std::size(kMakers) - 1], size);
  return c;
}

}  // namespace sim
