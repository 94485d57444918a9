// Datasheet data of the write-state-machine flash parts: their real block
// geometry in bytes (byte mode for the 8/16-bit parts), identification
// codes, Vpp needs and typical operation times.
#include <cstdint>

#include "sim/wsm_flash.h"

namespace sim {
namespace {

constexpr uint32_t K = 1024;
constexpr uint32_t M = 1024 * K;

// --- timing ----------------------------------------------------------------------------

constexpr WriteTiming kWrite{.power_up_ns = 50 * kUs,
                             .pulse_ns = 50,
                             .address_setup_ns = 0,
                             .address_hold_ns = 10,
                             .data_setup_ns = 50};

// 28F001BX, 28F002/004 BX, 28F200/400 BX at 12 V: byte program 9 us, block
// erase 1 s (the boot and parameter blocks faster, kept at the same figure).
constexpr WsmTiming kBxTiming{.write = kWrite, .program_ns = 9 * kUs, .erase_ns = 1 * kSec};
// SmartVoltage boot block (B5, BC, LH28F): byte program 8 us, erase 0.8 s.
constexpr WsmTiming kSmartTiming{.write = kWrite, .program_ns = 8 * kUs, .erase_ns = 800 * kMs};
// FlashFile S5: byte program 6 us, block erase 0.8 s, lock bits 0.5 s / 64 us.
constexpr WsmTiming kS5Timing{.write = kWrite,
                              .program_ns = 6 * kUs,
                              .erase_ns = 800 * kMs,
                              .lock_clear_ns = 500 * kMs,
                              .lock_set_ns = 64 * kUs};
// StrataFlash J3: byte program 210 us, a 32-byte buffer 218 us, block erase
// 1 s, clear lock bits 0.5 s (0.7 s max), set a lock bit 64 us.
constexpr WsmTiming kJ3Timing{.write = kWrite,
                              .program_ns = 210 * kUs,
                              .buffer_program_ns = 218 * kUs,
                              .erase_ns = 1 * kSec,
                              .lock_clear_ns = 500 * kMs,
                              .lock_set_ns = 64 * kUs};

// --- block maps ------------------------------------------------------------------------

constexpr SectorRun k001T[] = {{1, 112 * K}, {2, 4 * K}, {1, 8 * K}};
constexpr SectorRun k001B[] = {{1, 8 * K}, {2, 4 * K}, {1, 112 * K}};
constexpr SectorRun k002T[] = {{1, 128 * K}, {1, 96 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun k002B[] = {{1, 16 * K}, {2, 8 * K}, {1, 96 * K}, {1, 128 * K}};
constexpr SectorRun k004T[] = {{3, 128 * K}, {1, 96 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun k004B[] = {{1, 16 * K}, {2, 8 * K}, {1, 96 * K}, {3, 128 * K}};
constexpr SectorRun k008T[] = {{7, 128 * K}, {1, 96 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun k008B[] = {{1, 16 * K}, {2, 8 * K}, {1, 96 * K}, {7, 128 * K}};
constexpr SectorRun k64K[] = {{256, 64 * K}};
constexpr SectorRun k128K[] = {{128, 128 * K}};
// Sharp boot block: eight 8 KB parameter blocks, 64 KB main blocks.
constexpr SectorRun kLh512T[] = {{7, 64 * K}, {8, 8 * K}};
constexpr SectorRun kLh512B[] = {{8, 8 * K}, {7, 64 * K}};
constexpr SectorRun kLh1MT[] = {{15, 64 * K}, {8, 8 * K}};
constexpr SectorRun kLh1MB[] = {{8, 8 * K}, {15, 64 * K}};
constexpr SectorRun kLh2MT[] = {{31, 64 * K}, {8, 8 * K}};
constexpr SectorRun kLh2MB[] = {{8, 8 * K}, {31, 64 * K}};

// 28F320J3 in byte mode: Intel command set (0x0001), primary table at
// P = 0x31, 2.7-3.6 V, word program 128 us typ, buffer 128 us, block erase
// 1 s, 4 MB, x8/x16, 32-byte write buffer, one region of 32 x 128 KB; "PRI"
// 1.1 with lock bits and suspend.
constexpr uint8_t kCfiJ3[] = {
    0x51, 0x52, 0x59, 0x01, 0x00, 0x31, 0x00, 0x00, 0x00, 0x00, 0x00,        // 0x10
    0x27, 0x36, 0x00, 0x00, 0x07, 0x07, 0x0A, 0x00, 0x04, 0x04, 0x04, 0x00,  // 0x1B
    0x16, 0x02, 0x00, 0x05, 0x00, 0x01, 0x1F, 0x00, 0x00, 0x02,              // 0x27
    0x50, 0x52, 0x49, 0x31, 0x31, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00,  // 0x31
    0x33, 0x00, 0x01, 0x80, 0x00, 0x03, 0x03,                                // 0x3D
};
// The same for the 28F640J3: 8 MB, 64 blocks.
constexpr uint8_t kCfiJ3_64[] = {
    0x51, 0x52, 0x59, 0x01, 0x00, 0x31, 0x00, 0x00, 0x00, 0x00, 0x00,        // 0x10
    0x27, 0x36, 0x00, 0x00, 0x07, 0x07, 0x0A, 0x00, 0x04, 0x04, 0x04, 0x00,  // 0x1B
    0x17, 0x02, 0x00, 0x05, 0x00, 0x01, 0x3F, 0x00, 0x00, 0x02,              // 0x27
    0x50, 0x52, 0x49, 0x31, 0x31, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00,  // 0x31
    0x33, 0x00, 0x01, 0x80, 0x00, 0x03, 0x03,                                // 0x3D
};

using enum WsmVpp;
using enum BootLock;
constexpr BusWidth kByte = BusWidth::kByteMode;

constexpr WsmPart kParts[] = {
    {.name = "28F001BX-T",
     .size = 128 * K,
     .device = 0x94,
     .blocks = k001T,
     .boot = kTop,
     .timing = kBxTiming},
    {.name = "28F001BX-B",
     .size = 128 * K,
     .device = 0x95,
     .blocks = k001B,
     .boot = kBottom,
     .timing = kBxTiming},
    {.name = "28F002BX-T", .size = 256 * K, .device = 0x7C, .blocks = k002T, .timing = kBxTiming},
    {.name = "28F002BX-B", .size = 256 * K, .device = 0x7D, .blocks = k002B, .timing = kBxTiming},
    {.name = "28F004BX-T", .size = 512 * K, .device = 0x78, .blocks = k004T, .timing = kBxTiming},
    {.name = "28F004BX-B", .size = 512 * K, .device = 0x79, .blocks = k004B, .timing = kBxTiming},
    {.name = "28F200BX-T",
     .size = 256 * K,
     .width = kByte,
     .device = 0x2274,
     .blocks = k002T,
     .timing = kBxTiming},
    {.name = "28F200BX-B",
     .size = 256 * K,
     .width = kByte,
     .device = 0x2275,
     .blocks = k002B,
     .timing = kBxTiming},
    {.name = "28F400BX-T",
     .size = 512 * K,
     .width = kByte,
     .device = 0x4470,
     .blocks = k004T,
     .timing = kBxTiming},
    {.name = "28F400BX-B",
     .size = 512 * K,
     .width = kByte,
     .device = 0x4471,
     .blocks = k004B,
     .timing = kBxTiming},
    {.name = "28F002BC-T",
     .size = 256 * K,
     .device = 0x7C,
     .blocks = k002T,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F200B5-T",
     .size = 256 * K,
     .width = kByte,
     .device = 0x2274,
     .blocks = k002T,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F200B5-B",
     .size = 256 * K,
     .width = kByte,
     .device = 0x2275,
     .blocks = k002B,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F400B5-T",
     .size = 512 * K,
     .width = kByte,
     .device = 0x4470,
     .blocks = k004T,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F400B5-B",
     .size = 512 * K,
     .width = kByte,
     .device = 0x4471,
     .blocks = k004B,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F800B5-T",
     .size = 1 * M,
     .width = kByte,
     .device = 0x889C,
     .blocks = k008T,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F800B5-B",
     .size = 1 * M,
     .width = kByte,
     .device = 0x889D,
     .blocks = k008B,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F004S5",
     .size = 512 * K,
     .device = 0xA7,
     .blocks = k64K,
     .vpp = kSmart,
     .lock_bits = true,
     .timing = kS5Timing},
    {.name = "28F008S5",
     .size = 1 * M,
     .device = 0xA6,
     .blocks = k64K,
     .vpp = kSmart,
     .lock_bits = true,
     .timing = kS5Timing},
    {.name = "28F016S5",
     .size = 2 * M,
     .device = 0xAA,
     .blocks = k64K,
     .vpp = kSmart,
     .lock_bits = true,
     .timing = kS5Timing},
    {.name = "LH28F004-T",
     .size = 512 * K,
     .manufacturer = 0xB0,
     .device = 0x00,
     .blocks = kLh512T,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F004-B",
     .size = 512 * K,
     .manufacturer = 0xB0,
     .device = 0x00,
     .blocks = kLh512B,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F008-T",
     .size = 1 * M,
     .manufacturer = 0xB0,
     .device = 0x00,
     .blocks = kLh1MT,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F008-B",
     .size = 1 * M,
     .manufacturer = 0xB0,
     .device = 0x00,
     .blocks = kLh1MB,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F400-T",
     .size = 512 * K,
     .width = kByte,
     .manufacturer = 0xB0,
     .blocks = kLh512T,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F400-B",
     .size = 512 * K,
     .width = kByte,
     .manufacturer = 0xB0,
     .blocks = kLh512B,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F800-T",
     .size = 1 * M,
     .width = kByte,
     .manufacturer = 0xB0,
     .blocks = kLh1MT,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F800-B",
     .size = 1 * M,
     .width = kByte,
     .manufacturer = 0xB0,
     .blocks = kLh1MB,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F160-T",
     .size = 2 * M,
     .width = kByte,
     .manufacturer = 0xB0,
     .blocks = kLh2MT,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "LH28F160-B",
     .size = 2 * M,
     .width = kByte,
     .manufacturer = 0xB0,
     .blocks = kLh2MB,
     .vpp = kSmart,
     .timing = kSmartTiming},
    {.name = "28F320J3",
     .size = 4 * M,
     .width = kByte,
     .device = 0x0016,
     .blocks = k128K,
     .vpp = kEnablePin,
     .lock_bits = true,
     .buffer_size = 32,
     .cfi = kCfiJ3,
     .timing = kJ3Timing},
    {.name = "28F640J3",
     .size = 8 * M,
     .width = kByte,
     .device = 0x0017,
     .blocks = k128K,
     .vpp = kEnablePin,
     .lock_bits = true,
     .buffer_size = 32,
     .cfi = kCfiJ3_64,
     .timing = kJ3Timing},
};

}  // namespace

std::span<const WsmPart> WsmParts() { return kParts; }

const WsmPart* FindWsmPart(std::string_view name) {
  for (const WsmPart& part : kParts) {
    if (part.name == name) return &part;
  }
  for (const WsmPart& part : WideWsmParts()) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
