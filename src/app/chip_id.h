#pragma once

// Chip identification: turns the codes a Get ID routine read into
// manufacturer and device names, the "Electronic ID" panel contents and the
// device flags later operations read (3.3 V note, fast mode, sector
// protection). The tables are compiled-in data (chip_id_*_table.cpp).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace app {

class Programmer;

// Flags an identification entry carries (bit set).
namespace chip_flag {
inline constexpr uint8_t kVcc3v3 = 1;         // low-voltage part: show the 3.3 V note
inline constexpr uint8_t kFastMode = 2;       // has the unlock-bypass fast program mode
inline constexpr uint8_t kSectorProtect = 4;  // the protect/unprotect tools can change it
}  // namespace chip_flag

// One device of a manufacturer. `third` is the third signature byte that
// tells microcontrollers with the same first two bytes apart; -1 matches any.
struct ChipDevice {
  uint16_t code;
  const char* name;  // stored with its leading blank, as the panel shows it
  uint8_t flags = 0;
  int16_t third = -1;
};

struct ChipManufacturer {
  uint16_t code;
  const char* name;
  std::span<const ChipDevice> devices;
};

// The tables, exposed for the panel's tests and for a front door that wants
// to list what it knows.
std::span<const ChipManufacturer> ByteChipTable();  // 8-bit flash
std::span<const ChipManufacturer> WordChipTable();  // 16-bit flash
std::span<const ChipManufacturer> SpiChipTable();   // key: memory type << 8 | capacity
std::span<const ChipManufacturer> McuChipTable();   // MCS-51 signatures
std::span<const ChipDevice> AvrChipTable();         // AT90S signatures, manufacturer 0x1E

inline constexpr char kUnknownManufacturer[] = " [----]";
inline constexpr char kAvrManufacturer[] = " Atmel  ( AVR )";
inline constexpr char kStatusRegisterLabel[] = "Status Register";
inline constexpr char kLockByteLabel[] = "Lock Bit";

// Bytes a Get ID routine may have read besides the two identification codes.
struct ChipIdExtras {
  int family = 0;                     // family type code: 10/11 MCS-51, 14 AVR
  std::optional<uint8_t> third_byte;  // third signature byte (MCS-51, AVR)
  std::optional<uint8_t> lock_byte;   // AVR lock byte, wide-flash lock byte, SPI status register
  bool lock_bits_low = false;         // AVR: LB1/LB2 on bits 1/2 of the lock byte, not 7/6
  std::span<const int> cfi;           // the CFI buffer as this Get ID left it (may be empty)
  // Further bytes the routine read that the result keeps as they are (the
  // AT29C boot-block lockout status).
  std::vector<uint8_t> extra;
};

enum class ChipIdTable { kByte, kWord, kSpi };

// What a lookup found. Names are never truncated.
struct ChipIdResult {
  ChipIdTable table = ChipIdTable::kByte;
  uint32_t manufacturer_code = 0;
  uint32_t device_code = 0;  // SPI: memory type << 8 | capacity
  // Set when the entry was told apart by the third signature byte; the
  // device field then shows device << 8 | third.
  std::optional<uint8_t> third_byte;
  std::string manufacturer_name;
  std::string device_name;
  bool cfi = false;                  // the CFI buffer starts "QRY": offer the CFI report
  uint8_t flags = 0;                 // chip_flag bits of the entry found
  std::optional<uint8_t> lock_byte;  // shown in edLockbit when set
  std::string lock_label;            // caption of lbLockbit
  std::string lock_mode;             // edLockMode
  std::vector<uint8_t> extra;        // ChipIdExtras::extra; edIdExtra shows them

  bool Has(uint8_t flag) const { return (flags & flag) != 0; }
  std::string ManufacturerIdText() const;  // edManufacID
  std::string DeviceIdText() const;        // edDeviceID
};

// The pure lookups.
ChipIdResult LookupChipId(uint8_t manufacturer, uint8_t device, const ChipIdExtras& extras = {});
ChipIdResult LookupChipId16(uint16_t manufacturer, uint16_t device,
                            const ChipIdExtras& extras = {});
ChipIdResult LookupSpiChipId(uint8_t manufacturer, uint8_t memory_type, uint8_t capacity,
                             const ChipIdExtras& extras = {});

// Applies a result: clears the fast-mode and sector-protection flags and sets
// those of the entry, sets (never clears) the 3.3 V flag, fills the chip-ID
// panel pIDcode and tells the host.
void ShowChipId(Programmer& p, const ChipIdResult& id);

// What a Get ID routine calls: the lookup with the current family type code,
// then ShowChipId.
ChipIdResult LookupChipId(Programmer& p, uint8_t manufacturer, uint8_t device,
                          ChipIdExtras extras = {});
ChipIdResult LookupChipId16(Programmer& p, uint16_t manufacturer, uint16_t device,
                            ChipIdExtras extras = {});
ChipIdResult LookupSpiChipId(Programmer& p, uint8_t manufacturer, uint8_t memory_type,
                             uint8_t capacity, ChipIdExtras extras = {});

// True when the buffer begins with the query signature "QRY".
bool CfiStartsWithQry(std::span<const int> cfi);

// edLockMode text for the fuse and lock byte an AT90S part reads back: LB1
// on bit 7 and LB2 on bit 6, 0 = programmed (11 mode 1, 01 mode 2, 00 mode
// 3, 10 unknown). `low_bits`: the AT90S2333/4433 layout, LB1 on bit 1 and
// LB2 on bit 2, as the lock write encodes them.
std::string AvrLockModeText(uint8_t lock_byte, bool low_bits = false);

}  // namespace app
