// The MCS-51 parts the simulated socket holds, with their parallel
// programming figures, in ns. Where a row takes a figure from a datasheet it
// says which; "typical" write times are the datasheets' own ("the byte-write
// cycle is self-timed and typically takes ..."), the tWC limits their maximum.
// Where a datasheet gives nothing for a check (the 40-pin parts' setup
// times are counted in oscillator clocks, which depend on the adapter's
// crystal) the check is left out rather than guessed. Power-up is the
// oscillator's start-up before the part answers, for which the datasheets
// give no figure; 10 ms is a crystal's usual start-up.
#include <array>

#include "sim/mcs51_chip.h"

namespace sim {
namespace {

constexpr int64_t kUs = 1000;
constexpr int64_t kMs = 1000 * kUs;

// AT89C51, AT89C52, AT89C55 (and the parts this adapter drives the same
// way): PROG width 1..110 us, Vpp setup and hold 10 us, a byte write
// typically no more than 1.5 ms and at most 2.0 ms, chip erase with PROG
// low for 10 ms.
constexpr Mcs51Timing kAt89c{
    .pulse_min_ns = 1 * kUs,
    .pulse_max_ns = 110 * kUs,
    .vpp_setup_ns = 10 * kUs,
    .vpp_hold_ns = 10 * kUs,
    .data_setup_ns = 0,
    .write_typ_ns = 1500 * kUs,
    .write_max_ns = 2 * kMs,
    .erase_pulse_ns = 10 * kMs,
    .power_up_ns = 10 * kMs,
};

// AT89C1051, AT89C2051, AT89C4051: PROG width 1..100 us, data setup 1 us,
// Vpp setup and hold 10 us, a byte write typically 1.2 ms and at most
// 2.0 ms, chip erase with P3.2 low for 10 ms.
constexpr Mcs51Timing kAt89cx051{
    .pulse_min_ns = 1 * kUs,
    .pulse_max_ns = 100 * kUs,
    .vpp_setup_ns = 10 * kUs,
    .vpp_hold_ns = 10 * kUs,
    .data_setup_ns = 1 * kUs,
    .write_typ_ns = 1200 * kUs,
    .write_max_ns = 2 * kMs,
    .erase_pulse_ns = 10 * kMs,
    .power_up_ns = 10 * kMs,
};

// AT89S51, AT89S52: PROG width 0.2..1 us, byte write 50 us, chip erase with
// a PROG pulse of a few hundred ns.
constexpr Mcs51Timing kAt89s5x{
    .pulse_min_ns = 200,
    .pulse_max_ns = 1 * kUs,
    .vpp_setup_ns = 10 * kUs,
    .vpp_hold_ns = 10 * kUs,
    .data_setup_ns = 0,
    .write_typ_ns = 50 * kUs,
    .write_max_ns = 50 * kUs,
    .erase_pulse_ns = 200,
    .power_up_ns = 10 * kMs,
};

// AT89C55WD, AT89C51RC: the later flash generation: a byte write of 50 us
// and the short erase pulse of the AT89S5x, with the wide PROG window of
// the AT89C parts (their lock pulses run 100 us).
constexpr Mcs51Timing kAt89cRc{
    .pulse_min_ns = 200,
    .pulse_max_ns = 110 * kUs,
    .vpp_setup_ns = 10 * kUs,
    .vpp_hold_ns = 10 * kUs,
    .data_setup_ns = 0,
    .write_typ_ns = 50 * kUs,
    .write_max_ns = 50 * kUs,
    .erase_pulse_ns = 200,
    .power_up_ns = 10 * kMs,
};

// AT89S8253: short load pulses, a page written in at most 4 ms, the short
// erase pulse.
constexpr Mcs51Timing kAt89s8253{
    .pulse_min_ns = 200,
    .pulse_max_ns = 0,
    .vpp_setup_ns = 10 * kUs,
    .vpp_hold_ns = 10 * kUs,
    .data_setup_ns = 0,
    .write_typ_ns = 4 * kMs,
    .write_max_ns = 4 * kMs,
    .erase_pulse_ns = 200,
    .power_up_ns = 10 * kMs,
};

// 87C51 .. 87C58 EPROM parts: the quick-pulse algorithm's 100 us pulses
// (90..110 us), Vpp setup and hold 10 us; no write cycle to wait for, no
// electrical erase.
constexpr Mcs51Timing kI87c{
    .pulse_min_ns = 90 * kUs,
    .pulse_max_ns = 110 * kUs,
    .vpp_setup_ns = 10 * kUs,
    .vpp_hold_ns = 10 * kUs,
    .data_setup_ns = 0,
    .write_typ_ns = 0,
    .write_max_ns = 0,
    .erase_pulse_ns = 0,
    .power_up_ns = 10 * kMs,
};

using O = Mcs51Output;
using S = Mcs51Strobe;

// 40-pin mode pins: P2.6 (bit 15), P2.7 (16), P3.6 (17), P3.7 (18).
constexpr uint32_t k40Mask = 0x78000;
constexpr uint32_t P26 = 1u << 15, P27 = 1u << 16, P36 = 1u << 17, P37 = 1u << 18;

constexpr Mcs51Mode kFlash40[] = {
    {P27 | P36 | P37, O::kNone, S::kWriteCode, true},    // L H H H
    {P36 | P37, O::kCode, S::kNone, false},              // L L H H
    {P26 | P27 | P36 | P37, O::kNone, S::kLock1, true},  // H H H H
    {P26 | P27, O::kNone, S::kLock2, true},              // H H L L
    {P26 | P36, O::kNone, S::kLock3, true},              // H L H L
    {P26, O::kNone, S::kErase, true},                    // H L L L
    {0, O::kSignature, S::kNone, false},                 // L L L L
};
// The AT89S51/52 and the AT89C55WD/51RC read their lock bits in H H H L.
constexpr Mcs51Mode kFlash40LockRead[] = {
    {P27 | P36 | P37, O::kNone, S::kWriteCode, true},
    {P36 | P37, O::kCode, S::kNone, false},
    {P26 | P27 | P36 | P37, O::kNone, S::kLock1, true},
    {P26 | P27, O::kNone, S::kLock2, true},
    {P26 | P36, O::kNone, S::kLock3, true},
    {P26, O::kNone, S::kErase, true},
    {0, O::kSignature, S::kNone, false},
    {P26 | P27 | P36, O::kLocks, S::kNone, false},  // H H H L
};
// AT89S8252, AT89S53: the lock bits go in one pulse in H L H L with the
// data byte saying which, read back in H H L L; the SPI option byte is
// written in L H L H.
constexpr Mcs51Mode kS8252[] = {
    {P27 | P36 | P37, O::kNone, S::kWriteCode, true},
    {P36 | P37, O::kCode, S::kNone, false},
    {P26 | P36, O::kNone, S::kLockBits, true},
    {P26 | P27, O::kLocks, S::kNone, false},
    {P26, O::kNone, S::kErase, true},
    {0, O::kSignature, S::kNone, false},
    {P27 | P37, O::kNone, S::kOption, false},
};
// The EPROM parts: no electrical erase.
constexpr Mcs51Mode kEprom40[] = {
    {P27 | P36 | P37, O::kNone, S::kWriteCode, true},
    {P36 | P37, O::kCode, S::kNone, false},
    {P26 | P27 | P36 | P37, O::kNone, S::kLock1, true},
    {P26 | P27, O::kNone, S::kLock2, true},
    {P26 | P36, O::kNone, S::kLock3, true},
    {0, O::kSignature, S::kNone, false},
};
// AT89S8253: bit 14 and bit 19 (1 = code, 0 = data EEPROM) join the mode
// pins. Signature and chip erase share their pins (the erase has 12 V).
constexpr uint32_t k8253Mask = 0xFC000;
constexpr uint32_t B14 = 1u << 14, B19 = 1u << 19;
constexpr Mcs51Mode kS8253[] = {
    {B19 | P36 | P37, O::kCode, S::kNone, false},                // 0xE0000
    {P36 | P37, O::kData, S::kNone, false},                      // 0x60000
    {B19 | P36 | P37 | B14, O::kNone, S::kLoadCodePage, false},  // 0xE4000
    {P36 | P37 | B14, O::kNone, S::kLoadDataPage, false},        // 0x64000
    {B19, O::kSignature, S::kErase, true},                       // 0x80000
    {B19 | P36, O::kNone, S::kLockBits, true},                   // 0xA0000
    {B19 | B14, O::kLocks, S::kNone, false},                     // 0x84000
    {B19 | P37 | B14, O::kNone, S::kOption, false},              // 0xC4000
};

// 20-pin mode pins: P3.3 (bit 6), P3.7 (7), P3.4 (8), P3.5 (9).
constexpr uint32_t k20Mask = 0x3C0;
constexpr uint32_t P33 = 1u << 6, Q37 = 1u << 7, P34 = 1u << 8, P35 = 1u << 9;
constexpr Mcs51Mode kFlash20[] = {
    {P34 | P35 | Q37, O::kNone, S::kWriteCode, true},    // L H H H
    {P35 | Q37, O::kCode, S::kNone, false},              // L L H H
    {P33, O::kNone, S::kErase, true},                    // H L L L
    {P33 | P34 | P35 | Q37, O::kNone, S::kLock1, true},  // H H H H
    {P33 | P34, O::kNone, S::kLock2, true},              // H H L L
    {0, O::kSignature, S::kNone, false},                 // L L L L
};

// Signatures. The 12 V AT89C parts answer 1E, device, FF at 30H..32H. The
// AT89S51/52 keep theirs at 000H, 100H, 200H and say nothing of 30H/31H,
// which read 1E and FF here (what the routine's fallback is written for).
// For the parts whose device bytes are not known here only the maker's byte
// is given (Atmel 1E, Intel 89H, SST BFH).
using Sig = Mcs51SignatureByte;
constexpr Sig kSigC51[] = {{0x30, 0x1E}, {0x31, 0x51}, {0x32, 0xFF}};
constexpr Sig kSigC52[] = {{0x30, 0x1E}, {0x31, 0x52}, {0x32, 0xFF}};
constexpr Sig kSigC55[] = {{0x30, 0x1E}, {0x31, 0x55}, {0x32, 0xFF}};
constexpr Sig kSigS51[] = {{0x30, 0x1E}, {0x31, 0xFF}, {0x000, 0x1E}, {0x100, 0x51}, {0x200, 0x06}};
constexpr Sig kSigS52[] = {{0x30, 0x1E}, {0x31, 0xFF}, {0x000, 0x1E}, {0x100, 0x52}, {0x200, 0x06}};
constexpr Sig kSigS8252[] = {{0x30, 0x1E}, {0x31, 0x72}};
constexpr Sig kSigS53[] = {{0x30, 0x1E}, {0x31, 0x53}};
constexpr Sig kSigS8253[] = {{0x30, 0x1E}, {0x31, 0x73}, {0x32, 0x01}};
constexpr Sig kSigAtmel[] = {{0x30, 0x1E}};
constexpr Sig kSigIntel[] = {{0x30, 0x89}};
constexpr Sig kSigSst[] = {{0x30, 0xBF}};
constexpr Sig kSigC1051[] = {{0, 0x1E}, {1, 0x11}};
constexpr Sig kSigC2051[] = {{0, 0x1E}, {1, 0x21}};
constexpr Sig kSigC4051[] = {{0, 0x1E}, {1, 0x41}};

constexpr uint32_t KB = 1024;
using enum Mcs51Socket;
using enum Mcs51Cells;
using L = LockLayout;

// clang-format off
constexpr Mcs51Part kParts[] = {
    {"AT89C51",   4 * KB,  0, k40Pin, kFlash, &kAt89c,    k40Mask, kFlash40, kSigC51, L::kNone, 3, false},
    {"AT89C52",   8 * KB,  0, k40Pin, kFlash, &kAt89c,    k40Mask, kFlash40, kSigC52, L::kNone, 3, false},
    {"AT89C55",   20 * KB, 0, k40Pin, kFlash, &kAt89c,    k40Mask, kFlash40, kSigC55, L::kNone, 3, false},
    {"AT89S51",   4 * KB,  0, k40Pin, kFlash, &kAt89s5x,  k40Mask, kFlash40LockRead, kSigS51, L::kD234, 3, false},
    {"AT89S52",   8 * KB,  0, k40Pin, kFlash, &kAt89s5x,  k40Mask, kFlash40LockRead, kSigS52, L::kD234, 3, false},
    // The 2 KB data EEPROM of the AT89S8252 sits after its code, as the
    // routines address it.
    {"AT89S8252", 10 * KB, 0, k40Pin, kFlash, &kAt89c,    k40Mask, kS8252,   kSigS8252, L::kD210, 3, true},
    {"AT89S53",   12 * KB, 0, k40Pin, kFlash, &kAt89c,    k40Mask, kS8252,   kSigS53, L::kD210, 3, true},
    {"AT89S8253", 12 * KB, 2 * KB, k40Pin, kFlash, &kAt89s8253, k8253Mask, kS8253, kSigS8253, L::kByteLow, 3, true},
    {"AT89C55WD", 20 * KB, 0, k40Pin, kFlash, &kAt89cRc,  k40Mask, kFlash40LockRead, kSigAtmel, L::kD234, 3, false},
    {"AT89C51RC", 32 * KB, 0, k40Pin, kFlash, &kAt89cRc,  k40Mask, kFlash40LockRead, kSigAtmel, L::kD234, 3, false},
    {"SST89C54",  20 * KB, 0, k40Pin, kFlash, &kAt89c,    k40Mask, kFlash40, kSigSst, L::kNone, 3, false},
    {"SST89C58",  32 * KB, 0, k40Pin, kFlash, &kAt89c,    k40Mask, kFlash40, kSigSst, L::kNone, 3, false},
    {"87C51",     4 * KB,  0, k40Pin, kEprom, &kI87c,     k40Mask, kEprom40, kSigIntel, L::kNone, 3, false},
    {"87C52",     8 * KB,  0, k40Pin, kEprom, &kI87c,     k40Mask, kEprom40, kSigIntel, L::kNone, 3, false},
    {"87C54",     16 * KB, 0, k40Pin, kEprom, &kI87c,     k40Mask, kEprom40, kSigIntel, L::kNone, 3, false},
    {"87C58",     32 * KB, 0, k40Pin, kEprom, &kI87c,     k40Mask, kEprom40, kSigIntel, L::kNone, 3, false},
    {"AT89C1051", 1 * KB,  0, k20Pin, kFlash, &kAt89cx051, k20Mask, kFlash20, kSigC1051, L::kNone, 2, false},
    {"AT89C2051", 2 * KB,  0, k20Pin, kFlash, &kAt89cx051, k20Mask, kFlash20, kSigC2051, L::kNone, 2, false},
    {"AT89C4051", 4 * KB,  0, k20Pin, kFlash, &kAt89cx051, k20Mask, kFlash20, kSigC4051, L::kNone, 2, false},
};
// clang-format on

}  // namespace

std::span<const Mcs51Part> Mcs51Parts() { return kParts; }

const Mcs51Part* FindMcs51Part(std::string_view name) {
  for (const Mcs51Part& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
