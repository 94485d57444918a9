// Datasheet rows of the parallel EEPROMs and sector-write flash parts. Write
// cycles are the datasheets' maxima: a simulated part takes as long as the
// slowest part the datasheet allows, so a routine that waits less is seen
// to rely on a faster part. Setup and pulse limits are the fastest speed
// grade's minima (every grade meets them), in ns.
#include "sim/eeprom_parts.h"

namespace sim {
namespace {

constexpr int64_t kUs = 1000;
constexpr int64_t kMs = 1000 * kUs;

// AT28C16, AT28C17, AT28C64 (no page mode): byte write cycle 1 ms max,
// tWP 100 ns, tDS 50 ns, power-on write inhibit 5 ms.
constexpr EepromTiming kByte1ms{100, 50, 0, 1 * kMs, 0, 5 * kMs};
// The older byte-write parts (X2804A, X2816A, X2864A type): write cycle
// 10 ms max, tWP 100 ns, tDS 50 ns.
constexpr EepromTiming kByte10ms{100, 50, 0, 10 * kMs, 0, 5 * kMs};
// CAT28C64B: write cycle 5 ms max.
constexpr EepromTiming kByte5ms{100, 50, 0, 5 * kMs, 0, 5 * kMs};
// AT28C64B, AT28C256, AT28C512, AT28C010, AT28C040: page write cycle
// 10 ms max, byte-load cycle tBLC 150 us max, tWP 100 ns, tDS 50 ns,
// power-on write inhibit 5 ms.
constexpr EepromTiming kPage10ms{100, 50, 150 * kUs, 10 * kMs, 0, 5 * kMs};
// AT29C256 .. AT29C040A: sector program cycle tWC 10 ms max, byte-load
// cycle 150 us max, tWP 90 ns, tDS 35 ns, chip erase 20 ms, power-on write
// inhibit 5 ms.
constexpr EepromTiming kAt29C{90, 35, 150 * kUs, 10 * kMs, 20 * kMs, 5 * kMs};
// W29EE512, W29EE011, W29C020, W29C040: page write cycle 10 ms max,
// byte-load cycle 200 us max, tWP 70 ns, tDS 50 ns, chip erase 50 ms.
constexpr EepromTiming kW29{70, 50, 200 * kUs, 10 * kMs, 50 * kMs, 5 * kMs};

using enum EepromKind;
using namespace id_entry;

constexpr EepromPart kParts[] = {
    // Byte write
    {"AT28C16", kByte, 1, 0, 0, kNone, false, kByte1ms},
    {"AT28C17", kByte, 1, 0, 0, kNone, false, kByte1ms},
    {"AT28C64", kByte, 1, 0, 0, kNone, false, kByte1ms},
    {"CAT28C64", kByte, 1, 0, 0, kNone, false, kByte5ms},
    {"X2804", kByte, 1, 0, 0, kNone, false, kByte10ms},
    {"X2808", kByte, 1, 0, 0, kNone, false, kByte10ms},
    {"X2816", kByte, 1, 0, 0, kNone, false, kByte10ms},
    {"X2864", kByte, 1, 0, 0, kNone, false, kByte10ms},
    // Page write with software data protection
    {"AT28C64B", kPage, 64, 0, 0, kNone, false, kPage10ms},
    {"28C128", kPage, 64, 0, 0, kNone, false, kPage10ms},
    {"AT28C256", kPage, 64, 0, 0, kNone, false, kPage10ms},
    {"AT28C512", kPage, 128, 0, 0, kNone, false, kPage10ms},
    {"AT28C010", kPage, 128, 0, 0, kNone, false, kPage10ms},
    {"28C020", kPage, 256, 0, 0, kNone, false, kPage10ms},
    {"AT28C040", kPage, 256, 0, 0, kNone, false, kPage10ms},
    // Sector write flash
    {"AT29C256", kSector, 64, 0x1F, 0xDC, kThree, false, kAt29C},
    {"AT29C257", kSector, 64, 0x1F, 0xDC, kThree, false, kAt29C},
    {"AT29C512", kSector, 128, 0x1F, 0x5D, kThree, false, kAt29C},
    {"AT29C010A", kSector, 128, 0x1F, 0xD5, kThree, true, kAt29C},
    {"AT29C020", kSector, 256, 0x1F, 0xDA, kThree, true, kAt29C},
    {"AT29C040A", kSector, 256, 0x1F, 0xA4, kThree, true, kAt29C},
    {"AT29C040", kSector, 512, 0x1F, 0x5B, kThree, false, kAt29C},
    {"AE29F2008", kSector, 128, 0xDA, 0x45, kThree | kSix, false, kW29},
    {"W29EE512", kSector, 128, 0xDA, 0xC8, kThree | kSix, false, kW29},
    {"W29EE011", kSector, 128, 0xDA, 0xC1, kThree | kSix, false, kW29},
    {"W29C020", kSector, 128, 0xDA, 0x45, kThree | kSix, false, kW29},
    {"W29C040", kSector, 256, 0xDA, 0x46, kThree | kSix, false, kW29},
    // 64 K x 16 on the 16-bit adapter: 128-word sectors.
    {"W29C102", kSector, 128, 0xDA, 0x00, kSix, false, kW29},
};

}  // namespace

std::span<const EepromPart> EepromParts() { return kParts; }

const EepromPart* FindEepromPart(std::string_view name) {
  for (const EepromPart& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
