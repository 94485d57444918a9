// Datasheet timing of the UV EPROMs, by the program algorithm their makers
// specify. Every figure is the datasheet's limit for the programming mode
// (Vcc 6.25 V or 5 V as the part wants), in ns; "cell" is the pulse time a
// typical cell needs: one pulse of the algorithm's minimum width, since
// the datasheets promise a typical byte verifies after the first pulse (or,
// for the single-pulse parts, only state the one pulse).
#include "sim/eprom_parts.h"

namespace sim {
namespace {

constexpr int64_t kUs = 1000;
constexpr int64_t kMs = 1000 * kUs;

// CMOS 27C64 .. 27C040, 27C1024, 27C2048, 27C4096/4002, 87C257-type: 100 us
// pulses until the byte verifies, at most 25, no over-program (the fast
// algorithms of the ST M27C256B/M27C512/M27C1001/M27C4001/M27C1024/M27C4002
// and Microchip 27C256/27C512 datasheets): tPW 95..105 us; tAS, tDS, tVPS,
// tVCS, tOES, tDH, tOEH 2 us; tAH 0; program-verify tOE 100 ns; tACC of the
// slowest speed grade 200 ns.
constexpr EpromTiming kFast100{
    .pulse_min_ns = 95 * kUs,
    .pulse_max_ns = 105 * kUs,
    .vcc_setup_ns = 2 * kUs,
    .vpp_setup_ns = 2 * kUs,
    .oe_setup_ns = 2 * kUs,
    .address_setup_ns = 2 * kUs,
    .data_setup_ns = 2 * kUs,
    .address_hold_ns = 0,
    .data_hold_ns = 2 * kUs,
    .oe_hold_ns = 2 * kUs,
    .access_ns = 200,
    .oe_access_ns = 100,
    .algorithm = EpromAlgorithm::kFastPulse,
    .overprogram_factor = 0,
    .max_pulses = 25,
    .cell_ns = 95 * kUs,
};

// The 8 and 16 Mbit and larger parts (M27C801, AT27C080, M27C400, M27C800,
// M27C160, M27C322): 50 us pulses, at most 25, no over-program: tPW
// 45..55 us, the other limits as above, tACC 150 ns.
constexpr EpromTiming kFast50{
    .pulse_min_ns = 45 * kUs,
    .pulse_max_ns = 55 * kUs,
    .vcc_setup_ns = 2 * kUs,
    .vpp_setup_ns = 2 * kUs,
    .oe_setup_ns = 2 * kUs,
    .address_setup_ns = 2 * kUs,
    .data_setup_ns = 2 * kUs,
    .address_hold_ns = 0,
    .data_hold_ns = 2 * kUs,
    .oe_hold_ns = 2 * kUs,
    .access_ns = 150,
    .oe_access_ns = 100,
    .algorithm = EpromAlgorithm::kFastPulse,
    .overprogram_factor = 0,
    .max_pulses = 25,
    .cell_ns = 45 * kUs,
};

// NMOS 2764A, 27128A, 27256, 27512 and the NMOS 1 to 4 Mbit parts: the
// intelligent algorithm (Intel): 1 ms pulses (0.95..1.05 ms) until the byte
// verifies, at most 25, then one over-program pulse of 3X ms; setup and hold
// 2 us (tAH 0), program-verify tOE 150 ns, tACC 250 ns.
constexpr EpromTiming kIntelligent{
    .pulse_min_ns = 950 * kUs,
    .pulse_max_ns = 1050 * kUs,
    .vcc_setup_ns = 2 * kUs,
    .vpp_setup_ns = 2 * kUs,
    .oe_setup_ns = 2 * kUs,
    .address_setup_ns = 2 * kUs,
    .data_setup_ns = 2 * kUs,
    .address_hold_ns = 0,
    .data_hold_ns = 2 * kUs,
    .oe_hold_ns = 2 * kUs,
    .access_ns = 250,
    .oe_access_ns = 150,
    .algorithm = EpromAlgorithm::kIntelligent,
    .overprogram_factor = 3,
    .max_pulses = 25,
    .cell_ns = 950 * kUs,
};

// 2716, 2732A and their CMOS versions 27C16 and 27C32: one 50 ms pulse per
// byte (45..55 ms); setup and hold 2 us, tOE 120 ns, tACC 450 ns.
constexpr EpromTiming kStandard50ms{
    .pulse_min_ns = 45 * kMs,
    .pulse_max_ns = 55 * kMs,
    .vcc_setup_ns = 2 * kUs,
    .vpp_setup_ns = 2 * kUs,
    .oe_setup_ns = 2 * kUs,
    .address_setup_ns = 2 * kUs,
    .data_setup_ns = 2 * kUs,
    .address_hold_ns = 2 * kUs,
    .data_hold_ns = 2 * kUs,
    .oe_hold_ns = 2 * kUs,
    .access_ns = 450,
    .oe_access_ns = 120,
    .algorithm = EpromAlgorithm::kStandard,
    .overprogram_factor = 0,
    .max_pulses = 1,
    .cell_ns = 45 * kMs,
};

// Electrically erasable EPROMs, W27E/W27C (Winbond; the SST27SF and
// MX26C4000 sit on the same catalogue rows): 50 us program pulses
// (45..55 us) until the byte verifies, at most 25, no over-program; setup
// and hold 2 us; tACC 150 ns; the erase a 100 ms pulse with the erase
// voltage on OE/Vpp and A9 (the board's erase jumpers), address 0, data
// 0xFF.
constexpr EpromTiming kW27E{
    .pulse_min_ns = 45 * kUs,
    .pulse_max_ns = 55 * kUs,
    .vcc_setup_ns = 2 * kUs,
    .vpp_setup_ns = 2 * kUs,
    .oe_setup_ns = 2 * kUs,
    .address_setup_ns = 2 * kUs,
    .data_setup_ns = 2 * kUs,
    .address_hold_ns = 0,
    .data_hold_ns = 2 * kUs,
    .oe_hold_ns = 2 * kUs,
    .access_ns = 150,
    .oe_access_ns = 100,
    .algorithm = EpromAlgorithm::kFastPulse,
    .overprogram_factor = 0,
    .max_pulses = 25,
    .cell_ns = 45 * kUs,
    .erase_ns = 100 * kMs,
};

// SST37VF512 .. SST37VF040 (3.3 V MTP): one program pulse a byte, 20 us
// (20..30 us), nothing after it; chip erase a 100 ms pulse at 12 V.
constexpr EpromTiming kSst37{
    .pulse_min_ns = 20 * kUs,
    .pulse_max_ns = 30 * kUs,
    .vcc_setup_ns = 2 * kUs,
    .vpp_setup_ns = 2 * kUs,
    .oe_setup_ns = 2 * kUs,
    .address_setup_ns = 2 * kUs,
    .data_setup_ns = 2 * kUs,
    .address_hold_ns = 0,
    .data_hold_ns = 2 * kUs,
    .oe_hold_ns = 2 * kUs,
    .access_ns = 150,
    .oe_access_ns = 100,
    .algorithm = EpromAlgorithm::kFastPulse,
    .overprogram_factor = 0,
    .max_pulses = 1,
    .cell_ns = 20 * kUs,
    .erase_ns = 100 * kMs,
};

using enum ProgramPin;
using enum VppPin;

constexpr EpromPart kParts[] = {
    // CMOS, 8 bits
    {"27C16", kActiveHigh, kOwn, false, kStandard50ms},
    {"27C32", kChipEnable, kShared, false, kStandard50ms},
    {"27C64", kSeparate, kOwn, false, kFast100},
    {"27C128", kSeparate, kOwn, false, kFast100},
    {"27C256", kChipEnable, kOwn, false, kFast100},
    {"27C512", kChipEnable, kShared, false, kFast100},
    {"27C010", kSeparate, kOwn, false, kFast100},
    {"27C020", kSeparate, kOwn, false, kFast100},
    {"27C040", kChipEnable, kOwn, false, kFast100},
    {"27C080", kChipEnable, kShared, false, kFast50},
    {"M87C256", kChipEnable, kOwn, false, kFast100},
    // CMOS, 16 bits on the adapter
    {"27C1024", kSeparate, kOwn, true, kFast100},
    {"27C2048", kSeparate, kOwn, true, kFast100},
    {"27C4096", kChipEnable, kOwn, true, kFast100},
    {"27C400", kChipEnable, kOwn, true, kFast50},
    {"27C800", kChipEnable, kOwn, true, kFast50},
    {"27C160", kChipEnable, kOwn, true, kFast50},
    {"27C322", kChipEnable, kShared, true, kFast50},
    // NMOS
    {"2716", kActiveHigh, kOwn, false, kStandard50ms},
    {"2732", kChipEnable, kShared, false, kStandard50ms},
    {"2764", kSeparate, kOwn, false, kIntelligent},
    {"27128", kSeparate, kOwn, false, kIntelligent},
    {"27256", kChipEnable, kOwn, false, kIntelligent},
    {"27512", kChipEnable, kShared, false, kIntelligent},
    {"27010", kSeparate, kOwn, false, kIntelligent},
    {"27020", kSeparate, kOwn, false, kIntelligent},
    {"27040", kChipEnable, kOwn, false, kIntelligent},
    // Electrically erasable
    {"W27C256", kChipEnable, kOwn, false, kW27E},
    {"W27C512", kChipEnable, kShared, false, kW27E},
    {"W27C010", kSeparate, kOwn, false, kW27E},
    {"W27C020", kSeparate, kOwn, false, kW27E},
    {"W27C040", kChipEnable, kOwn, false, kW27E},
    {"SST37VF", kSeparate, kOwn, false, kSst37},
};

}  // namespace

std::span<const EpromPart> EpromParts() { return kParts; }

const EpromPart* FindEpromPart(std::string_view name) {
  for (const EpromPart& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

EpromConfig ConfigOf(const EpromPart& part, uint32_t size) {
  EpromConfig c;
  c.size = size;
  c.program_pin = part.program_pin;
  c.vpp_pin = part.vpp_pin;
  c.wide = part.wide;
  c.timing = part.timing;
  return c;
}

}  // namespace sim
