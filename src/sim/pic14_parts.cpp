// The 14-bit flash PICs as their datasheets give them:
// sizes, device IDs, write latches, what command 8 starts, and the write
// and erase times (typical figures; the routines wait at least this long).
#include <array>

#include "sim/pic14_chip.h"

namespace sim {
namespace {

using Begin = Pic14Part::Begin;
constexpr int64_t kMs = 1'000'000;

// clang-format off
//   name, words, EEPROM, device ID, latches, begin, 24, 31, VPP first, calibration words,
//   RETLW OSCCAL, configuration bits, CP bits, program, data, program-only minimum, erase
constexpr std::array kParts{
    Pic14Part{"16C84",   1024,  64, 0x3FFF, 1, Begin::kEraseProgram, false, false, false, 0, false, 0x001F, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs},
    Pic14Part{"16F83",    512,  64, 0x3FFF, 1, Begin::kEraseProgram, false, false, false, 0, false, 0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs},
    Pic14Part{"16F84",   1024,  64, 0x3FFF, 1, Begin::kEraseProgram, false, false, false, 0, false, 0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs},
    Pic14Part{"16CR83",   512,  64, 0x3FFF, 1, Begin::kEraseProgram, false, false, false, 0, false, 0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs},
    Pic14Part{"16CR84",  1024,  64, 0x3FFF, 1, Begin::kEraseProgram, false, false, false, 0, false, 0x3FFF, 0x0010, 10 * kMs, 10 * kMs, 1 * kMs, 10 * kMs},
    Pic14Part{"16F84A",  1024,  64, 0x0560, 1, Begin::kEraseProgram, true,  false, false, 0, false, 0x3FFF, 0x0010,  4 * kMs,  4 * kMs, 1 * kMs, 10 * kMs},
    Pic14Part{"16F873A", 4096, 128, 0x0E40, 8, Begin::kEraseProgram, true,  true,  false, 0, false, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs},
    Pic14Part{"16F874A", 4096, 128, 0x0E60, 8, Begin::kEraseProgram, true,  true,  false, 0, false, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs},
    Pic14Part{"16F876A", 8192, 256, 0x0E00, 8, Begin::kEraseProgram, true,  true,  false, 0, false, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs},
    Pic14Part{"16F877A", 8192, 256, 0x0E20, 8, Begin::kEraseProgram, true,  true,  false, 0, false, 0x2FCF, 0x2000,  4 * kMs,  4 * kMs, 1 * kMs,  8 * kMs},
    Pic14Part{"12F683",  2048, 256, 0x0460, 4, Begin::kProgram,      false, false, false, 0, false, 0x0FFF, 0x0040, 2500000,  6 * kMs, 1 * kMs,  6 * kMs},
    Pic14Part{"16F684",  2048, 256, 0x1080, 4, Begin::kProgram,      false, false, false, 2, false, 0x0FFF, 0x0040, 2500000,  6 * kMs, 1 * kMs,  6 * kMs},
    Pic14Part{"16F688",  4096, 256, 0x1180, 4, Begin::kProgram,      false, false, false, 2, false, 0x0FFF, 0x0040, 2500000,  6 * kMs, 1 * kMs,  6 * kMs},
    Pic14Part{"16F785",  2048, 256, 0x1200, 4, Begin::kProgram,      false, false, false, 2, false, 0x0FFF, 0x0040, 2500000,  6 * kMs, 1 * kMs,  6 * kMs},
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
