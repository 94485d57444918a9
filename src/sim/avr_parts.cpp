// The AT90S parts the simulated socket holds, with the figures of their
// datasheets' parallel programming sections, in ns.
#include <array>

#include "sim/avr_chip.h"

namespace sim {
namespace {

constexpr int64_t kUs = 1000;
constexpr int64_t kMs = 1000 * kUs;

// Every AT90S part shares the parallel programming characteristics: 67 ns
// for the XTAL1 pulse, the setup before it and the /WR pulse of an ordinary
// write; RDY/BSY high at most 0.9 ms after /WR falls (tWLRH); a chip erase
// needs /WR low 5..15 ms and a fuse write 1.0..1.8 ms, with no busy signal
// for either; 100 us after 12 V reaches RESET before the first command.
constexpr AvrTiming kAt90s{
    .xtal_pulse_ns = 67,
    .data_setup_ns = 67,
    .wr_pulse_ns = 67,
    .erase_pulse_min_ns = 5 * kMs,
    .erase_pulse_max_ns = 15 * kMs,
    .fuse_pulse_min_ns = 1 * kMs,
    .fuse_pulse_max_ns = 1800 * kUs,
    .write_ns = 900 * kUs,
    .enter_ns = 100 * kUs,
    .power_up_ns = 100,
};

// Fuse bits: bit 5 SPIEN and bit 0 (RCEN on the AT90S1200, FSTRT on the
// others) on the older parts; SPIEN, BODLEVEL, BODEN and CKSEL2..0 on the
// AT90S2333/4433, which also read their lock bits apart from the fuses.
constexpr uint8_t kSpienBit0 = 0x21;
constexpr uint8_t kSixFuses = 0x3F;

constexpr AvrPart kParts[] = {
    {"AT90S1200", 1024, 64, kSpienBit0, {0x1E, 0x90, 0x01}, AvrFuseLayout::kCombined, &kAt90s},
    {"AT90S2313", 2048, 128, kSpienBit0, {0x1E, 0x91, 0x01}, AvrFuseLayout::kCombined, &kAt90s},
    {"AT90S2333", 2048, 128, kSixFuses, {0x1E, 0x91, 0x05}, AvrFuseLayout::kSplit, &kAt90s},
    {"AT90S4433", 4096, 256, kSixFuses, {0x1E, 0x92, 0x03}, AvrFuseLayout::kSplit, &kAt90s},
    {"AT90S4414", 4096, 256, kSpienBit0, {0x1E, 0x92, 0x01}, AvrFuseLayout::kCombined, &kAt90s},
    {"AT90S8515", 8192, 512, kSpienBit0, {0x1E, 0x93, 0x01}, AvrFuseLayout::kCombined, &kAt90s},
    {"AT90S4434", 4096, 256, kSpienBit0, {0x1E, 0x92, 0x02}, AvrFuseLayout::kCombined, &kAt90s},
    {"AT90S8535", 8192, 512, kSpienBit0, {0x1E, 0x93, 0x03}, AvrFuseLayout::kCombined, &kAt90s},
};

}  // namespace

std::span<const AvrPart> AvrParts() { return kParts; }

const AvrPart* FindAvrPart(std::string_view name) {
  for (const AvrPart& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
