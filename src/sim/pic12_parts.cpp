// The 12-bit core PICs as their datasheets give them: program size, the
// implemented configuration bits, the factory OSCCAL and its backup, how a
// write ends, the write and erase times.
#include <array>

#include "sim/pic12_chip.h"

namespace sim {
namespace {

constexpr int64_t kUs = 1'000;
constexpr int64_t kMs = 1'000'000;
// A factory calibration: MOVLW with the part's value.
constexpr uint16_t kMovlw = 0x0C24;

// OTP: program pulses of at least 100 us, each ended by 14.
constexpr Pic12Part Otp(std::string_view name, uint32_t words, uint16_t config_bits,
                        uint16_t osccal) {
  Pic12Part part;
  part.name = name;
  part.program_words = words;
  part.config_bits = config_bits;
  part.osccal = osccal;
  part.ended_by_14 = true;
  part.program_ns = 100 * kUs;
  part.otp_pulses = 1;
  return part;
}

// Flash: 2 ms writes, a 10 ms bulk erase.
constexpr Pic12Part Flash(std::string_view name, uint32_t words, uint16_t config_bits,
                          bool calibrated, bool ended_by_14 = false) {
  Pic12Part part;
  part.name = name;
  part.program_words = words;
  part.config_bits = config_bits;
  part.osccal = calibrated ? kMovlw : 0;
  part.backup_osccal = calibrated;
  part.ended_by_14 = ended_by_14;
  part.program_ns = 2 * kMs;
  part.erase_ns = 10 * kMs;
  return part;
}

// clang-format off
constexpr std::array kParts{
    // The windowed JW parts come UV-erased, their calibration gone.
    Otp("12C508", 512, 0x001F, kMovlw),   Otp("12C509", 1024, 0x001F, kMovlw),
    Otp("12C508JW", 512, 0x001F, 0),      Otp("12C509JW", 1024, 0x001F, 0),
    Otp("16C505", 1024, 0x003F, kMovlw),
    Flash("10F200", 256, 0x001C, true),   Flash("10F202", 512, 0x001C, true),
    Flash("10F220", 256, 0x001F, true),   Flash("10F222", 512, 0x001F, true),
    Flash("12F508", 512, 0x001F, true),   Flash("12F509", 1024, 0x001F, true),
    Flash("12F510", 1024, 0x003F, true),  Flash("16F505", 1024, 0x003F, true),
    Flash("16F506", 1024, 0x007F, true),
    // No internal oscillator, no calibration; a write lasts until 14.
    Flash("16F54", 512, 0x000F, false, true), Flash("16F57", 2048, 0x000F, false, true),
};
// clang-format on

}  // namespace

const Pic12Part* FindPic12Part(std::string_view name) {
  for (const Pic12Part& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
