// The 14-bit flash and OTP PICs as their datasheets give them:
// sizes, device IDs, write latches, the commands each part knows, what
// command 8 starts, and the write and erase times (typical figures; the
// routines wait at least this long).
#include <array>

#include "sim/pic14_chip.h"

namespace sim {
namespace {

using Begin = Pic14Part::Begin;
constexpr int64_t kMs = 1'000'000;
constexpr int64_t kUs = 1'000;

// Command sets. Every part: load configuration 0, load program 2, read
// program 4, increment 6, begin 8, bulk erase program 9; data memory 3, 5
// and its bulk erase 11 where the part has data memory.
constexpr uint64_t kBase = Pic14Commands({0, 2, 3, 4, 5, 6, 8, 9, 11});
// 16C84, 16F8x: 1 and 7 around 8 erase a protected part.
constexpr uint64_t k16F8x = kBase | Pic14Commands({1, 7});
// 16F84A, 16F627/628: also a self-timed program-only cycle (24).
constexpr uint64_t k16F84A = k16F8x | Pic14Commands({24});
// 16F87x: begin erase/program, begin program only, the 1/7 bulk-erase
// setup pair; no separate bulk erases.
constexpr uint64_t k16F87x = Pic14Commands({0, 1, 2, 3, 4, 5, 6, 7, 8, 24});
// 16F818/819, 16F87/88, 16F87xA: externally timed program (24 .. 23) and
// the chip erase (31).
constexpr uint64_t kChipErase = kBase | Pic14Commands({23, 24, 31});
// 12F6xx, 16F6xx, 16F785, 16F91x: externally timed program ended by 10.
constexpr uint64_t kEnd10 = kBase | Pic14Commands({10, 24});
// 16F7x and 16F7x7 (no data memory): 8 starts a program that 14 ends.
constexpr uint64_t k16F7x = Pic14Commands({0, 2, 4, 6, 8, 9, 14});
// 16F716: also a program-only cycle (24) ended by 14.
constexpr uint64_t k16F716 = k16F7x | Pic14Commands({24});

constexpr Pic14Part Part(std::string_view name, uint32_t words, uint32_t eeprom, uint16_t id,
                         int latches, Begin begin, uint64_t commands, uint16_t config_bits,
                         uint16_t cp, int64_t program, int64_t data, int64_t program_min,
                         int64_t erase) {
  Pic14Part part;
  part.name = name;
  part.program_words = words;
  part.eeprom_bytes = eeprom;
  part.device_id = id;
  part.latch_words = latches;
  part.begin = begin;
  part.commands = commands;
  part.config_bits = config_bits;
  part.cp_mask = cp;
  part.program_ns = program;
  part.data_ns = data;
  part.program_min_ns = program_min;
  part.erase_ns = erase;
  return part;
}

constexpr Pic14Part WithCalibration(Pic14Part part, int words) {
  part.calib_words = words;
  return part;
}

// 12F629/675, 16F630/676: the oscillator calibration is a RETLW in the last
// program word and the band-gap bits sit in the configuration word (13:12);
// both come from the factory and both go with a bulk erase. VPP-first entry
// is allowed (and needed when MCLR is an input and the oscillator internal).
constexpr Pic14Part WithOsccal(Pic14Part part) {
  part.vpp_first = true;
  part.osccal = 0x3458;          // RETLW 0x58
  part.factory_config = 0x2FFF;  // band gap 10
  return part;
}

// 16C OTP and windowed parts: 8 starts a program pulse that 14 ends, at
// least 100 us long; no erase commands (the window parts are UV-erased).
constexpr uint64_t kOtp = Pic14Commands({0, 2, 4, 6, 8, 14});
constexpr Pic14Part Otp(std::string_view name, uint32_t words, uint16_t config_bits, uint16_t cp) {
  Pic14Part part;
  part.name = name;
  part.program_words = words;
  part.begin = Begin::kProgramExternal;
  part.commands = kOtp;
  part.config_bits = config_bits;
  part.cp_mask = cp;
  part.program_min_ns = 100'000;
  part.otp_pulses = 1;
  return part;
}

// 12C671/672, 12CE673/674: the factory RETLW in the last word, beyond the
// words the programmer writes.
constexpr Pic14Part WithRetlw(Pic14Part part) {
  part.osccal = 0x3480;
  return part;
}

constexpr auto E = Begin::kEraseProgram;
constexpr auto P = Begin::kProgram;
constexpr auto X = Begin::kProgramExternal;

// clang-format off
//    name, words, EEPROM, device ID, latches, 8 starts, commands, configuration bits, CP bits,
//    program (8), data (8), externally timed minimum, erase
constexpr std::array kParts{
    Part("16C84",   1024,  64, 0x3FFF, 1, E, k16F8x,     0x001F, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs),
    Part("16F83",    512,  64, 0x3FFF, 1, E, k16F8x,     0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs),
    Part("16F84",   1024,  64, 0x3FFF, 1, E, k16F8x,     0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs),
    Part("16CR83",   512,  64, 0x3FFF, 1, E, k16F8x,     0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs),
    Part("16CR84",  1024,  64, 0x3FFF, 1, E, k16F8x,     0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs),
    Part("16F84A",  1024,  64, 0x0560, 1, E, k16F84A,    0x3FFF, 0x0010,  4 * kMs,  4 * kMs, 1 * kMs, 10 * kMs),
    Part("16F627",  1024, 128, 0x07A0, 1, E, k16F84A,    0x3DFF, 0x3C00,  8 * kMs,  8 * kMs, 1 * kMs,  8 * kMs),
    Part("16F628",  2048, 128, 0x07C0, 1, E, k16F84A,    0x3DFF, 0x3C00,  8 * kMs,  8 * kMs, 1 * kMs,  8 * kMs),
    Part("16F627A", 1024, 128, 0x1040, 1, P, kBase,      0x21FF, 0x2000,  2500 * kUs, 6 * kMs, 1 * kMs,  6 * kMs),
    Part("16F628A", 2048, 128, 0x1060, 1, P, kBase,      0x21FF, 0x2000,  2500 * kUs, 6 * kMs, 1 * kMs,  6 * kMs),
    Part("16F648A", 4096, 256, 0x1100, 1, P, kBase,      0x21FF, 0x2000,  2500 * kUs, 6 * kMs, 1 * kMs,  6 * kMs),
    Part("16F818",  1024, 128, 0x04C0, 4, E, kChipErase, 0x3FFF, 0x2000,  4 * kMs,  4 * kMs, 2 * kMs,  5 * kMs),
    Part("16F819",  2048, 256, 0x04E0, 4, E, kChipErase, 0x3FFF, 0x2000,  4 * kMs,  4 * kMs, 2 * kMs,  5 * kMs),
    WithCalibration(Part("12F635", 1024, 128, 0x0FA0, 4, P, kEnd10, 0x1FFF, 0x0040, 2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs), 2),
    WithCalibration(Part("16F636", 2048, 256, 0x10A0, 4, P, kEnd10, 0x1FFF, 0x0040, 2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs), 2),
    Part("12F683",  2048, 256, 0x0460, 4, P, kEnd10,     0x0FFF, 0x0040,  2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs),
    WithCalibration(Part("16F684", 2048, 256, 0x1080, 4, P, kEnd10, 0x0FFF, 0x0040, 2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs), 2),
    WithCalibration(Part("16F688", 4096, 256, 0x1180, 4, P, kEnd10, 0x0FFF, 0x0040, 2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs), 2),
    WithCalibration(Part("16F785", 2048, 256, 0x1200, 4, P, kEnd10, 0x0FFF, 0x0040, 2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs), 2),
    Part("16F72",   2048,   0, 0x00A0, 2, X, k16F7x,     0x005F, 0x0010,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F73",   4096,   0, 0x0600, 2, X, k16F7x,     0x005F, 0x0010,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F74",   4096,   0, 0x0620, 2, X, k16F7x,     0x005F, 0x0010,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F76",   8192,   0, 0x0640, 2, X, k16F7x,     0x005F, 0x0010,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F77",   8192,   0, 0x0660, 2, X, k16F7x,     0x005F, 0x0010,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F737",  4096,   0, 0x0BA0, 2, X, k16F7x,     0x39FF, 0x2000,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F747",  4096,   0, 0x0BE0, 2, X, k16F7x,     0x39FF, 0x2000,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F767",  8192,   0, 0x0EA0, 2, X, k16F7x,     0x39FF, 0x2000,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F777",  8192,   0, 0x0DE0, 2, X, k16F7x,     0x39FF, 0x2000,  1 * kMs,  1 * kMs, 1 * kMs, 30 * kMs),
    Part("16F87",   4096, 256, 0x0720, 4, E, kChipErase, 0x3FFF, 0x2000,  4 * kMs,  4 * kMs, 2 * kMs,  5 * kMs),
    Part("16F88",   4096, 256, 0x0760, 4, E, kChipErase, 0x3FFF, 0x2000,  4 * kMs,  4 * kMs, 2 * kMs,  5 * kMs),
    Part("16F716",  2048,   0, 0x1140, 1, P, k16F716,    0x20CF, 0x2000,  2 * kMs,  2 * kMs, 2 * kMs,  6 * kMs),
    Part("16F913",  4096, 256, 0x13E0, 8, P, kEnd10,     0x1FFF, 0x0040,  2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs),
    Part("16F914",  4096, 256, 0x13C0, 8, P, kEnd10,     0x1FFF, 0x0040,  2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs),
    Part("16F916",  8192, 256, 0x13A0, 8, P, kEnd10,     0x1FFF, 0x0040,  2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs),
    Part("16F917",  8192, 256, 0x1380, 8, P, kEnd10,     0x1FFF, 0x0040,  2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs),
    Part("16F946",  8192, 256, 0x1460, 8, P, kEnd10,     0x1FFF, 0x0040,  2500 * kUs, 6 * kMs, 2500 * kUs, 6 * kMs),
    Part("16F870",  2048,  64, 0x0D00, 1, E, k16F87x,    0x3BFF, 0x3030,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F872",  2048,  64, 0x08E0, 1, E, k16F87x,    0x3BFF, 0x3030,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F873",  4096, 128, 0x0960, 1, E, k16F87x,    0x3BFF, 0x3030,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F874",  4096, 128, 0x0920, 1, E, k16F87x,    0x3BFF, 0x3030,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F876",  8192, 256, 0x09E0, 1, E, k16F87x,    0x3BFF, 0x3030,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F877",  8192, 256, 0x09A0, 1, E, k16F87x,    0x3BFF, 0x3030,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F873A", 4096, 128, 0x0E40, 8, E, kChipErase, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F874A", 4096, 128, 0x0E60, 8, E, kChipErase, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F876A", 8192, 256, 0x0E00, 8, E, kChipErase, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    Part("16F877A", 8192, 256, 0x0E20, 8, E, kChipErase, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs),
    WithOsccal(Part("12F629", 1024, 128, 0x0F80, 1, P, kEnd10, 0x31FF, 0x0080, 2500 * kUs, 6 * kMs, 2500 * kUs, 8 * kMs)),
    WithOsccal(Part("12F675", 1024, 128, 0x0FC0, 1, P, kEnd10, 0x31FF, 0x0080, 2500 * kUs, 6 * kMs, 2500 * kUs, 8 * kMs)),
    WithOsccal(Part("16F630", 1024, 128, 0x10C0, 1, P, kEnd10, 0x31FF, 0x0080, 2500 * kUs, 6 * kMs, 2500 * kUs, 8 * kMs)),
    WithOsccal(Part("16F676", 1024, 128, 0x10E0, 1, P, kEnd10, 0x31FF, 0x0080, 2500 * kUs, 6 * kMs, 2500 * kUs, 8 * kMs)),
    Otp("16C620", 512, 0x3F7F, 0x3030),   Otp("16C621", 1024, 0x3F7F, 0x3030),
    Otp("16C622", 2048, 0x3F7F, 0x3030),  Otp("16CE623", 512, 0x3F7F, 0x3030),
    Otp("16CE624", 1024, 0x3F7F, 0x3030), Otp("16CE625", 2048, 0x3F7F, 0x3030),
    Otp("16C710", 512, 0x3FFF, 0x3030),   Otp("16C711", 1024, 0x3FFF, 0x3030),
    Otp("16C716", 2048, 0x3FFF, 0x3030),  Otp("16C62", 2048, 0x003F, 0x0030),
    Otp("16C62A", 2048, 0x3F7F, 0x3030),  Otp("16C65", 4096, 0x003F, 0x0030),
    Otp("16C63", 4096, 0x3F7F, 0x3030),   Otp("16C66", 8192, 0x3F7F, 0x3030),
    Otp("16C61", 1024, 0x001F, 0x0010),   Otp("16C773", 4096, 0x3F7F, 0x3030),
    Otp("16C745", 8192, 0x3F3F, 0x3030),  Otp("16C923", 4096, 0x3F3F, 0x3030),
    Otp("16C925", 4096, 0x3F3F, 0x3030),  Otp("16C554", 512, 0x3F3F, 0x3030),
    Otp("16C556", 1024, 0x3F3F, 0x3030),  Otp("16C557", 2048, 0x3F3F, 0x3030),
    Otp("16C432", 2048, 0x3F7F, 0x3030),  Otp("16C433", 2048, 0x3FFF, 0x3030),
    Otp("16C717", 2048, 0x3FFF, 0x3030),  Otp("16C770", 2048, 0x3FFF, 0x3030),
    Otp("16C771", 4096, 0x3FFF, 0x3030),  Otp("16C781", 1024, 0x3FFF, 0x3030),
    Otp("16C782", 2048, 0x3FFF, 0x3030),
    WithRetlw(Otp("12C671", 1024, 0x3FFF, 0x3030)),
    WithRetlw(Otp("12C672", 2048, 0x3FFF, 0x3030)),
};
// clang-format on

}  // namespace

const Pic14Part* FindPic14Part(std::string_view name) {
  for (const Pic14Part& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
