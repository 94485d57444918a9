// Datasheet data of the JEDEC command-set parts driven 16 bits wide on the
// 16-bit adapter (sizes and sector maps in bytes, addresses in words) and of
// the JEDEC-style firmware-hub parts in their address-multiplexed mode.
// Where the catalogue names a part only by its size (the 29F100..29F320 and
// 39LF/VF rows), the row is the maker's part of that size.
#include <cstdint>

#include "sim/jedec_parts.h"

namespace sim {
namespace {

constexpr uint32_t K = 1024;
constexpr uint32_t M = 1024 * K;

// 5 V AMD boot-sector parts in word mode (Am29F100..800, Am29F160): word
// program 12 us typical, DQ5 at 300 us; sector erase 1 s, chip erase 8 s
// (the 800 and 160: 14 s).
constexpr JedecTiming kAmd5VWord{
    .write = {.power_up_ns = 50 * kUs,
              .pulse_ns = 45,
              .address_setup_ns = 0,
              .address_hold_ns = 45,
              .data_setup_ns = 30},
    .program_ns = 12 * kUs,
    .program_limit_ns = 300 * kUs,
    .sector_erase_ns = 1 * kSec,
    .chip_erase_ns = 8 * kSec,
    .erase_limit_ns = 64 * kSec,
};

// 3 V Fujitsu / AMD parts in word mode (MBM29LV, MBM29DL, Am29DL): word
// program 11 us typical, DQ5 at 300 us; sector erase 0.7 s, chip erase 25 s
// for the 16-Mbit part (kept for every size: a longer erase is only slower).
constexpr JedecTiming kAmdLVWord{
    .write = {.power_up_ns = 50 * kUs,
              .pulse_ns = 35,
              .address_setup_ns = 0,
              .address_hold_ns = 45,
              .data_setup_ns = 35},
    .program_ns = 11 * kUs,
    .program_limit_ns = 300 * kUs,
    .sector_erase_ns = 700 * kMs,
    .chip_erase_ns = 25 * kSec,
    .erase_limit_ns = 60 * kSec,
};

// SST39LF/VF x16 (200A..160): word program 14 us (20 us max), sector and
// block erase 18 ms, chip erase 40 ms (the 160: 50 ms); no DQ5.
constexpr JedecTiming kSstWord{
    .write = {.power_up_ns = 100 * kUs,
              .pulse_ns = 40,
              .address_setup_ns = 0,
              .address_hold_ns = 30,
              .data_setup_ns = 30},
    .program_ns = 14 * kUs,
    .program_limit_ns = 20 * kUs,
    .sector_erase_ns = 18 * kMs,
    .chip_erase_ns = 50 * kMs,
    .erase_limit_ns = 100 * kMs,
};

// SST49LF00x in PP mode: byte program 14 us (20 us max), chip erase 70 ms
// (100 ms max); R/C#-latched addresses; tWP 100 ns, tDS 50 ns.
constexpr JedecTiming kSstHub{
    .write = {.power_up_ns = 100 * kUs,
              .pulse_ns = 100,
              .address_setup_ns = 0,
              .address_hold_ns = 50,
              .data_setup_ns = 50},
    .program_ns = 14 * kUs,
    .program_limit_ns = 20 * kUs,
    .sector_erase_ns = 18 * kMs,
    .chip_erase_ns = 70 * kMs,
    .erase_limit_ns = 100 * kMs,
};

// W49V002A / W39V040A in PP mode: byte program 35 us typical (50 us max),
// chip erase 50 ms (100 ms max).
constexpr JedecTiming kWinbondHub{
    .write = {.power_up_ns = 100 * kUs,
              .pulse_ns = 100,
              .address_setup_ns = 0,
              .address_hold_ns = 50,
              .data_setup_ns = 50},
    .program_ns = 35 * kUs,
    .program_limit_ns = 50 * kUs,
    .sector_erase_ns = 25 * kMs,
    .chip_erase_ns = 50 * kMs,
    .erase_limit_ns = 100 * kMs,
};

// --- sector maps (bytes) ---------------------------------------------------------------

constexpr SectorRun kTop128K[] = {{1, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kBottom128K[] = {{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {1, 64 * K}};
constexpr SectorRun kTop256K[] = {{3, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kTop512K[] = {{7, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kBottom512K[] = {{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {7, 64 * K}};
constexpr SectorRun kTop1M[] = {{15, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kBottom1M[] = {{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {15, 64 * K}};
constexpr SectorRun kTop2M[] = {{31, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}};
constexpr SectorRun kBottom2M[] = {{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {31, 64 * K}};
constexpr SectorRun kTop4M8K[] = {{63, 64 * K}, {8, 8 * K}};
constexpr SectorRun kSst4K[] = {{4096, 4 * K}};  // 2-Kword sectors; a map ends at the size

// Am29LV400BT in word mode: the same query table the byte-mode row carries
// (it describes the part, not the bus width).
constexpr uint8_t kCfiLV400T[] = {
    0x51, 0x52, 0x59, 0x02, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00,              // 0x10
    0x27, 0x36, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x05, 0x00, 0x04, 0x00,        // 0x1B
    0x13, 0x02, 0x00, 0x00, 0x00, 0x04,                                            // 0x27
    0x06, 0x00, 0x00, 0x01, 0x00, 0x00, 0x80, 0x00,                                // 0x2D
    0x01, 0x00, 0x20, 0x00, 0x00, 0x00, 0x40, 0x00,                                // 0x35
    0x00, 0x00, 0x00,                                                              // 0x3D
    0x50, 0x52, 0x49, 0x31, 0x30, 0x00, 0x02, 0x01, 0x01, 0x04, 0x00, 0x00, 0x00,  // 0x40
};

// Word mode: the unlock words 0x555/0x2AA on A10..A0, CFI at word 0x55.
constexpr JedecPart Word(JedecPart p) {
  p.width = BusWidth::kX16;
  p.unlock1 = 0x555;
  p.unlock2 = 0x2AA;
  p.unlock_mask = 0x7FF;
  p.cfi_address = 0x55;
  p.cfi_mask = 0xFF;
  return p;
}
// SST x16: 0x5555/0x2AAA on A14..A0.
constexpr JedecPart SstWord(JedecPart p) {
  p.width = BusWidth::kX16;
  p.unlock_mask = 0x7FFF;
  p.dq5 = false;
  return p;
}
// A firmware-hub part: commands on A14..A0 of the latched address.
constexpr JedecPart Hub(JedecPart p) {
  p.socket = SocketAdapter::kFirmwareHub;
  p.unlock_mask = 0x7FFF;
  p.dq5 = false;
  return p;
}

using enum VppPinUse;

constexpr JedecPart kWideParts[] = {
    Word({.name = "Am29F100T x16",
          .size = 128 * K,
          .manufacturer = 0x01,
          .device = 0x22D9,
          .sectors = kTop128K,
          .vpp_pin = kReset,
          .timing = kAmd5VWord}),
    Word({.name = "Am29F200T x16",
          .size = 256 * K,
          .manufacturer = 0x01,
          .device = 0x2251,
          .sectors = kTop256K,
          .vpp_pin = kReset,
          .timing = kAmd5VWord}),
    Word({.name = "Am29F400T x16",
          .size = 512 * K,
          .manufacturer = 0x01,
          .device = 0x2223,
          .sectors = kTop512K,
          .vpp_pin = kReset,
          .timing = kAmd5VWord}),
    Word({.name = "Am29F800T x16",
          .size = 1 * M,
          .manufacturer = 0x01,
          .device = 0x22D6,
          .sectors = kTop1M,
          .vpp_pin = kReset,
          .timing = kAmd5VWord}),
    Word({.name = "Am29F160DT x16",
          .size = 2 * M,
          .manufacturer = 0x01,
          .device = 0x22D2,
          .sectors = kTop2M,
          .vpp_pin = kReset,
          .timing = kAmd5VWord}),
    Word({.name = "MBM29LV400TC x16",
          .size = 512 * K,
          .manufacturer = 0x04,
          .device = 0x22B9,
          .sectors = kTop512K,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .cfi = kCfiLV400T,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29LV400BC x16",
          .size = 512 * K,
          .manufacturer = 0x04,
          .device = 0x22BA,
          .sectors = kBottom512K,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29LV800TA x16",
          .size = 1 * M,
          .manufacturer = 0x04,
          .device = 0x22DA,
          .sectors = kTop1M,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29LV800BA x16",
          .size = 1 * M,
          .manufacturer = 0x04,
          .device = 0x225B,
          .sectors = kBottom1M,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29LV160TE x16",
          .size = 2 * M,
          .manufacturer = 0x04,
          .device = 0x22C4,
          .sectors = kTop2M,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29LV160BE x16",
          .size = 2 * M,
          .manufacturer = 0x04,
          .device = 0x2249,
          .sectors = kBottom2M,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29DL400TC x16",
          .size = 512 * K,
          .manufacturer = 0x04,
          .device = 0x220C,
          .sectors = kTop512K,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29DL800TA x16",
          .size = 1 * M,
          .manufacturer = 0x04,
          .device = 0x224A,
          .sectors = kTop1M,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29DL161TD x16",
          .size = 2 * M,
          .manufacturer = 0x04,
          .sectors = kTop2M,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "Am29DL322DT x16",
          .size = 4 * M,
          .manufacturer = 0x01,
          .device = 0x2255,
          .sectors = kTop4M8K,
          .bypass = true,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    Word({.name = "MBM29DL322TD x16",
          .size = 4 * M,
          .manufacturer = 0x04,
          .device = 0x2255,
          .sectors = kTop4M8K,
          .bypass = true,
          .bypass_exit = 0xF0,
          .vpp_pin = kReset,
          .timing = kAmdLVWord}),
    // ST M29F102BB / M29W102BB: 64 Kwords, bottom boot block.
    Word({.name = "M29F102BB x16",
          .size = 128 * K,
          .manufacturer = 0x20,
          .device = 0x004C,
          .sectors = kBottom128K,
          .timing = kAmd5VWord}),
    Word({.name = "M29W102BB x16",
          .size = 128 * K,
          .manufacturer = 0x20,
          .sectors = kBottom128K,
          .timing = kAmdLVWord}),
    SstWord({.name = "SST39VF100 x16",
             .size = 128 * K,
             .manufacturer = 0xBF,
             .sectors = kSst4K,
             .timing = kSstWord}),
    SstWord({.name = "SST39VF200A",
             .size = 256 * K,
             .manufacturer = 0xBF,
             .device = 0x2789,
             .sectors = kSst4K,
             .timing = kSstWord}),
    SstWord({.name = "SST39VF400A",
             .size = 512 * K,
             .manufacturer = 0xBF,
             .device = 0x2780,
             .sectors = kSst4K,
             .timing = kSstWord}),
    SstWord({.name = "SST39VF800A",
             .size = 1 * M,
             .manufacturer = 0xBF,
             .device = 0x2781,
             .sectors = kSst4K,
             .timing = kSstWord}),
    SstWord({.name = "SST39VF160",
             .size = 2 * M,
             .manufacturer = 0xBF,
             .device = 0x2782,
             .sectors = kSst4K,
             .timing = kSstWord}),
    // Firmware-hub parts in PP mode.
    Hub({.name = "SST49LF002A",
         .size = 256 * K,
         .manufacturer = 0xBF,
         .device = 0x57,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "SST49LF003A",
         .size = 384 * K,
         .manufacturer = 0xBF,
         .device = 0x1B,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "SST49LF004A",
         .size = 512 * K,
         .manufacturer = 0xBF,
         .device = 0x60,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "SST49LF008A",
         .size = 1 * M,
         .manufacturer = 0xBF,
         .device = 0x5A,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "SST49LF020",
         .size = 256 * K,
         .manufacturer = 0xBF,
         .device = 0x61,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "SST49LF040",
         .size = 512 * K,
         .manufacturer = 0xBF,
         .device = 0x51,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "SST49LF080A",
         .size = 1 * M,
         .manufacturer = 0xBF,
         .device = 0x5B,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "W49V002A",
         .size = 256 * K,
         .manufacturer = 0xDA,
         .device = 0xB0,
         .sectors = kSst4K,
         .timing = kWinbondHub}),
    Hub({.name = "W49V002FA",
         .size = 256 * K,
         .manufacturer = 0xDA,
         .device = 0x32,
         .sectors = kSst4K,
         .timing = kWinbondHub}),
    Hub({.name = "W39V040FA",
         .size = 512 * K,
         .manufacturer = 0xDA,
         .device = 0x34,
         .sectors = kSst4K,
         .timing = kWinbondHub}),
    Hub({.name = "Pm49FL002",
         .size = 256 * K,
         .manufacturer = 0x9D,
         .device = 0x6D,
         .sectors = kSst4K,
         .timing = kSstHub}),
    Hub({.name = "Pm49FL004",
         .size = 512 * K,
         .manufacturer = 0x9D,
         .device = 0x6E,
         .sectors = kSst4K,
         .timing = kSstHub}),
};

}  // namespace

std::span<const JedecPart> WideJedecParts() { return kWideParts; }

}  // namespace sim
