// Datasheet data of the write-state-machine parts driven 16 bits wide (B3,
// C3, J3 in word mode; block maps in bytes, addresses in words) and of the
// firmware-hub parts in their address-multiplexed mode, with their real
// block maps.
#include <cstdint>

#include "sim/wsm_flash.h"

namespace sim {
namespace {

constexpr uint32_t K = 1024;
constexpr uint32_t M = 1024 * K;

constexpr WriteTiming kWrite{.power_up_ns = 50 * kUs,
                             .pulse_ns = 50,
                             .address_setup_ns = 0,
                             .address_hold_ns = 10,
                             .data_setup_ns = 50};

// Advanced boot block B3 and C3 at Vpp 2.7-3.6 V: word program 22 us,
// parameter and main block erase 1 s.
constexpr WsmTiming kBootTiming{.write = kWrite, .program_ns = 22 * kUs, .erase_ns = 1 * kSec};
// StrataFlash J3 in word mode: word program 210 us, a 16-word buffer 218 us.
constexpr WsmTiming kJ3Timing{.write = kWrite,
                              .program_ns = 210 * kUs,
                              .buffer_program_ns = 218 * kUs,
                              .erase_ns = 1 * kSec,
                              .lock_clear_ns = 500 * kMs,
                              .lock_set_ns = 64 * kUs};
// Firmware hubs at 12 V Vpp (82802AB/AC, AT49LW, M50FW/LPW/FLW): byte
// program 10 us (the M50's four bytes together in the same time), block
// erase 0.75 s. R/C#-latched addresses: tWP 100 ns, tDS 50 ns.
constexpr WsmTiming kHubTiming{.write = {.power_up_ns = 100 * kUs,
                                         .pulse_ns = 100,
                                         .address_setup_ns = 0,
                                         .address_hold_ns = 50,
                                         .data_setup_ns = 50},
                               .program_ns = 10 * kUs,
                               .erase_ns = 750 * kMs};

// --- block maps ------------------------------------------------------------------

constexpr SectorRun k512T[] = {{7, 64 * K}, {8, 8 * K}};
constexpr SectorRun k512B[] = {{8, 8 * K}, {7, 64 * K}};
constexpr SectorRun k1MT[] = {{15, 64 * K}, {8, 8 * K}};
constexpr SectorRun k1MB[] = {{8, 8 * K}, {15, 64 * K}};
constexpr SectorRun k2MT[] = {{31, 64 * K}, {8, 8 * K}};
constexpr SectorRun k2MB[] = {{8, 8 * K}, {31, 64 * K}};
constexpr SectorRun k4MT[] = {{63, 64 * K}, {8, 8 * K}};
constexpr SectorRun k4MB[] = {{8, 8 * K}, {63, 64 * K}};
constexpr SectorRun k128K[] = {{64, 128 * K}};
constexpr SectorRun k64K[] = {{32, 64 * K}};
// Top boot block firmware hubs: the last 64 KB as 32 + 8 + 8 + 16 KB.
constexpr SectorRun kHub256T[] = {{3, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kHub512T[] = {{7, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kHub1MT[] = {{15, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};

// 28F320J3 in word mode: the query table as in byte mode, one region of 32
// x 128 KB.
constexpr uint8_t kCfiJ3[] = {
    0x51, 0x52, 0x59, 0x01, 0x00, 0x31, 0x00, 0x00, 0x00, 0x00, 0x00,        // 0x10
    0x27, 0x36, 0x00, 0x00, 0x07, 0x07, 0x0A, 0x00, 0x04, 0x04, 0x04, 0x00,  // 0x1B
    0x16, 0x02, 0x00, 0x05, 0x00, 0x01, 0x1F, 0x00, 0x00, 0x02,              // 0x27
    0x50, 0x52, 0x49, 0x31, 0x31, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00,  // 0x31
    0x33, 0x00, 0x01, 0x80, 0x00, 0x03, 0x03,                                // 0x3D
};

using enum WsmVpp;
constexpr BusWidth kWord = BusWidth::kX16;
constexpr SocketAdapter kHub = SocketAdapter::kFirmwareHub;

constexpr WsmPart B3(std::string_view name, uint32_t size, uint16_t device,
                     std::span<const SectorRun> blocks) {
  return {.name = name,
          .size = size,
          .width = kWord,
          .device = device,
          .blocks = blocks,
          .vpp = kSmart,
          .timing = kBootTiming};
}
constexpr WsmPart C3(std::string_view name, uint32_t size, uint16_t device,
                     std::span<const SectorRun> blocks) {
  WsmPart p = B3(name, size, device, blocks);
  p.lock_bits = true;
  p.volatile_locks = true;
  return p;
}
constexpr WsmPart Hub(std::string_view name, uint32_t size, uint8_t manufacturer, uint16_t device,
                      std::span<const SectorRun> blocks, bool quadruple) {
  return {.name = name,
          .size = size,
          .manufacturer = manufacturer,
          .device = device,
          .blocks = blocks,
          .vpp = k12V,
          .timing = kHubTiming,
          .quadruple = quadruple,
          .socket = kHub};
}

constexpr WsmPart kWideParts[] = {
    B3("28F400B3-T", 512 * K, 0x8894, k512T),
    B3("28F400B3-B", 512 * K, 0x8895, k512B),
    B3("28F800B3-T", 1 * M, 0x8892, k1MT),
    B3("28F800B3-B", 1 * M, 0x8893, k1MB),
    B3("28F160B3-T", 2 * M, 0x8890, k2MT),
    B3("28F160B3-B", 2 * M, 0x8891, k2MB),
    B3("28F320B3-T", 4 * M, 0x8896, k4MT),
    B3("28F320B3-B", 4 * M, 0x8897, k4MB),
    C3("28F800C3-T", 1 * M, 0x88C0, k1MT),
    C3("28F800C3-B", 1 * M, 0x88C1, k1MB),
    C3("28F160C3-T", 2 * M, 0x88C2, k2MT),
    C3("28F160C3-B", 2 * M, 0x88C3, k2MB),
    C3("28F320C3-T", 4 * M, 0x88C4, k4MT),
    C3("28F320C3-B", 4 * M, 0x88C5, k4MB),
    {.name = "28F320J3 x16",
     .size = 4 * M,
     .width = kWord,
     .device = 0x0016,
     .blocks = k128K,
     .vpp = kEnablePin,
     .lock_bits = true,
     .buffer_size = 32,
     .cfi = kCfiJ3,
     .timing = kJ3Timing},
    {.name = "28F640J3 x16",
     .size = 8 * M,
     .width = kWord,
     .device = 0x0017,
     .blocks = k128K,
     .vpp = kEnablePin,
     .lock_bits = true,
     .buffer_size = 32,
     .timing = kJ3Timing},
    // Firmware hubs.
    Hub("82802AB", 512 * K, 0x89, 0xAD, k64K, false),
    Hub("82802AC", 1 * M, 0x89, 0xAC, k64K, false),
    Hub("82802AA", 256 * K, 0x89, 0x00, k64K, false),
    Hub("AT49LW040", 512 * K, 0x1F, 0x00, kHub512T, false),
    Hub("AT49LW080", 1 * M, 0x1F, 0x00, kHub1MT, false),
    Hub("M50FW002", 256 * K, 0x20, 0x29, kHub256T, true),
    Hub("M50FW040", 512 * K, 0x20, 0x2C, k64K, true),
    Hub("M50FW080", 1 * M, 0x20, 0x2D, k64K, true),
    Hub("M50FW016", 2 * M, 0x20, 0x2E, k64K, true),
    Hub("M50LPW080", 1 * M, 0x20, 0x2F, k64K, true),
    Hub("M50LPW116", 2 * M, 0x20, 0x30, k64K, true),
    Hub("M50FLW040A", 512 * K, 0x20, 0x08, k64K, true),
    Hub("M50FLW040B", 512 * K, 0x20, 0x28, k64K, true),
};

}  // namespace

std::span<const WsmPart> WideWsmParts() { return kWideParts; }

}  // namespace sim
