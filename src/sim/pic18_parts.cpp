// The PIC18 parts of the simulated socket, one row per part from its
// datasheet and programming description: memory sizes, device ID
// (DEVID2:DEVID1), the write buffer, the chip-erase code, the implemented
// configuration bits. Times are the datasheets' minimums; the groups share
// them (P9 1 ms, P10 and P11 5 ms, P12 2 us, data EEPROM write 4 ms).
#include <array>

#include "sim/pic18_chip.h"

namespace sim {
namespace {

constexpr uint32_t KB = 1024;
using Mask = std::array<uint8_t, 14>;

// CONFIG1L .. CONFIG7H.
constexpr Mask kXx2 = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                       0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr Mask kX220 = {0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x83, 0x85,
                        0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr Mask kXx20 = {0x00, 0x27, 0x0F, 0x0F, 0x83, 0x01, 0x85,
                        0x00, 0xFF, 0xC0, 0xFF, 0xE0, 0xFF, 0x40};
constexpr Mask kXx31 = {0x00, 0xCF, 0x0F, 0x3F, 0x3C, 0x9D, 0x85,
                        0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr Mask kX410 = {0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x83, 0x81,
                        0x00, 0x01, 0x80, 0x00, 0x00, 0x00, 0x00};
constexpr Mask kXxx0 = {0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5,
                        0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};

// 18F2455/2550/4455/4550: the USB clock dividers and VREGEN besides.
constexpr Mask kUsb = {0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xC5,
                       0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};

constexpr Pic18Part Row(std::string_view name, uint32_t code, uint32_t eeprom, uint16_t id,
                        uint32_t buffer, const Mask& mask, uint8_t erase_low = 0x80,
                        int erase_high = -1) {
  Pic18Part part;
  part.name = name;
  part.code_bytes = code;
  part.eeprom_bytes = eeprom;
  part.device_id = id;
  part.write_buffer = buffer;
  part.config_mask = mask;
  part.erase_low = erase_low;
  part.erase_high = erase_high;
  return part;
}

// Parts erased by 0x0F at 0x3C0005 and 0x87 at 0x3C0004.
constexpr Pic18Part New(std::string_view name, uint32_t code, uint32_t eeprom, uint16_t id,
                        uint32_t buffer, const Mask& mask = kXxx0) {
  return Row(name, code, eeprom, id, buffer, mask, 0x87, 0x0F);
}

// clang-format off
const Pic18Part kParts[] = {
    Row("18F242", 16 * KB, 256, 0x0480, 8, kXx2), Row("18F248", 16 * KB, 256, 0x0800, 8, kXx2),
    Row("18F252", 32 * KB, 256, 0x0400, 8, kXx2), Row("18F258", 32 * KB, 256, 0x0840, 8, kXx2),
    Row("18F442", 16 * KB, 256, 0x04A0, 8, kXx2), Row("18F448", 16 * KB, 256, 0x0820, 8, kXx2),
    Row("18F452", 32 * KB, 256, 0x0427, 8, kXx2), Row("18F458", 32 * KB, 256, 0x0860, 8, kXx2),

    Row("18F1220", 4 * KB, 256, 0x07E0, 8, kX220), Row("18F2220", 4 * KB, 256, 0x0580, 8, kX220),
    Row("18F4220", 4 * KB, 256, 0x05A0, 8, kX220), Row("18F1320", 8 * KB, 256, 0x07C0, 8, kX220),
    Row("18F2320", 8 * KB, 256, 0x0500, 8, kX220), Row("18F4320", 8 * KB, 256, 0x0520, 8, kX220),

    Row("18F6520", 32 * KB, 1024, 0x0B20, 8, kXx20), Row("18F8520", 32 * KB, 1024, 0x0B00, 8, kXx20),
    Row("18F6620", 64 * KB, 1024, 0x0660, 8, kXx20), Row("18F8620", 64 * KB, 1024, 0x0640, 8, kXx20),
    Row("18F6720", 128 * KB, 1024, 0x0620, 8, kXx20), Row("18F8720", 128 * KB, 1024, 0x0600, 8, kXx20),

    Row("18F2439", 12 * KB, 256, 0x0480, 8, kXx2), Row("18F2539", 24 * KB, 256, 0x0400, 8, kXx2),
    Row("18F4439", 12 * KB, 256, 0x04A0, 8, kXx2), Row("18F4539", 24 * KB, 256, 0x0420, 8, kXx2),

    Row("18F2331", 8 * KB, 256, 0x08E0, 8, kXx31), Row("18F2431", 16 * KB, 256, 0x08C0, 8, kXx31),
    Row("18F4331", 8 * KB, 256, 0x08A0, 8, kXx31), Row("18F4431", 16 * KB, 256, 0x0880, 8, kXx31),

    Row("18F6525", 48 * KB, 1024, 0x0AE0, 8, kXx20), Row("18F6621", 64 * KB, 1024, 0x0AA0, 8, kXx20),
    Row("18F8525", 48 * KB, 1024, 0x0AC0, 8, kXx20), Row("18F8621", 64 * KB, 1024, 0x0A80, 8, kXx20),

    Row("18F6585", 48 * KB, 1024, 0x0A60, 8, kXx20), Row("18F8585", 48 * KB, 1024, 0x0A20, 8, kXx20),
    Row("18F6680", 64 * KB, 1024, 0x0A40, 8, kXx20), Row("18F8680", 64 * KB, 1024, 0x0A00, 8, kXx20),

    Row("18F6410", 16 * KB, 0, 0x1360, 16, kX410, 0x80, 0x01),
    Row("18F8410", 16 * KB, 0, 0x1340, 16, kX410, 0x80, 0x01),
    Row("18F6490", 16 * KB, 0, 0x1320, 16, kX410, 0x80, 0x01),
    Row("18F8490", 16 * KB, 0, 0x1300, 16, kX410, 0x80, 0x01),

    New("18F2410", 16 * KB, 0, 0x1160, 32),    New("18F2420", 16 * KB, 256, 0x1140, 32),
    New("18F2455", 24 * KB, 256, 0x1260, 32, kUsb),  New("18F2480", 16 * KB, 256, 0x1AE0, 32),
    New("18F2510", 32 * KB, 0, 0x1120, 32),    New("18F2515", 48 * KB, 0, 0x0CE0, 64),
    New("18F2520", 32 * KB, 256, 0x1100, 32),  New("18F2525", 48 * KB, 1024, 0x0CC0, 64),
    New("18F2550", 32 * KB, 256, 0x1240, 32, kUsb),  New("18F2580", 32 * KB, 256, 0x1AC0, 32),
    New("18F2585", 48 * KB, 1024, 0x0EE0, 64), New("18F2610", 64 * KB, 0, 0x0CA0, 64),
    New("18F2620", 64 * KB, 1024, 0x0C80, 64), New("18F2680", 64 * KB, 1024, 0x0EC0, 64),
    New("18F4410", 16 * KB, 0, 0x10E0, 32),    New("18F4420", 16 * KB, 256, 0x10C0, 32),
    New("18F4455", 24 * KB, 256, 0x1220, 32, kUsb),  New("18F4480", 16 * KB, 256, 0x1AA0, 32),
    New("18F4510", 32 * KB, 0, 0x10A0, 32),    New("18F4515", 48 * KB, 0, 0x0C60, 64),
    New("18F4520", 32 * KB, 256, 0x1080, 32),  New("18F4525", 48 * KB, 1024, 0x0C40, 64),
    New("18F4550", 32 * KB, 256, 0x1200, 32, kUsb),  New("18F4580", 32 * KB, 256, 0x1A80, 32),
    New("18F4585", 48 * KB, 1024, 0x0EA0, 64), New("18F4610", 64 * KB, 0, 0x0C20, 64),
    New("18F4620", 64 * KB, 1024, 0x0C00, 64), New("18F4680", 64 * KB, 1024, 0x0E80, 64),
};
// clang-format on

}  // namespace

const Pic18Part* FindPic18Part(std::string_view name) {
  for (const Pic18Part& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
