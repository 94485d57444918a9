#pragma once

// Parallel EEPROMs and the flash parts that write like them: 28Cxxx byte
// write (family 5), AT28C page write with software data protection
// (family 7), AT29C / AE29F / AT29LV (family 9) and W29EE / SST29EE
// (family 21) sector write. Read, verify and blank check are the defaults.

#include <cstdint>
#include <span>

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterEeprom(app::FamilyRegistry& registry);
// The settings panel's keys: page-size, sdp-off, byte-write.
void RegisterEepromKeys(app::FamilyRegistry& registry);

namespace eeprom {

// --- the command write ---------------------------------------------------------

// The waits of one command write, in ticks: after the data is on the bus
// (before WE# falls), the WE# pulse, and after WE# rises (0: none).
struct WriteTiming {
  int settle = 0;
  int pulse = 2;
  int after = 0;
};

// ShiftAddress(address); bit 1 := 1; data register := value; WE# pulse.
void CommandWrite(app::Programmer& p, uint32_t address, uint8_t value, WriteTiming timing);

// The JEDEC command sequences, byte n going to command address n of the
// working table (the device's unlock addresses).
inline constexpr uint8_t kProtectedWrite[] = {0xAA, 0x55, 0xA0};
inline constexpr uint8_t kProtectionOff[] = {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x20};
inline constexpr uint8_t kChipErase[] = {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10};
inline constexpr uint8_t kIdEntry3[] = {0xAA, 0x55, 0x90};
inline constexpr uint8_t kIdEntry6[] = {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x60};
inline constexpr uint8_t kIdExit[] = {0xAA, 0x55, 0xF0};

// Sends a sequence; each address passes through ScrambleAddress when
// `scramble` is set.
void SendCommand(app::Programmer& p, std::span<const uint8_t> bytes, WriteTiming timing,
                 bool scramble);

// --- program ---------------------------------------------------------------------

// Byte write: family 5's program action.
void ProgramBytes(app::Programmer& p);
// Family 7's program action: page write, or byte write after one
// protection-off sequence when cbAT28CxxbyteProg is checked.
void ProgramAt28C(app::Programmer& p);
// Page write (family 7 with the byte-mode box unchecked).
void ProgramPages(app::Programmer& p);
// Sector write: families 9 and 21.
void ProgramSectors(app::Programmer& p);

// One page load starting at chip address `s` from `buffer`; the protected
// write prefix, or the protection-off sequence when cbAT28CxxDis is checked.
void PageWrite(app::Programmer& p, uint32_t s, std::span<const uint8_t> buffer);
// 0 when the page at `s` reads back as the image, 1 when it does not
// (within a budget of re-reads).
int PageCheck(app::Programmer& p, uint32_t s, uint32_t page_size);
void SectorWrite(app::Programmer& p, uint32_t s, std::span<const uint8_t> buffer);
int SectorCheck(app::Programmer& p, uint32_t s, uint32_t sector_size);

// --- erase and identification -------------------------------------------------------

// Family 5's erase: every byte written 0xFF.
void FillErase(app::Programmer& p);
// Families 9 and 21: the chip erase command, judged by DQ7.
void ChipErase(app::Programmer& p);
// Get ID of family 9 (AA 55 90) and family 21 (AA 55 80 AA 55 60).
void ReadId3(app::Programmer& p);
void ReadId6(app::Programmer& p);

// --- settings panel ---------------------------------------------------------------

// The page sizes cbSsize offers, item by item.
inline constexpr uint32_t kPageSizes[] = {64, 128, 256, 512, 1024, 2048};
// cbSsize changed: the page size follows the chosen item.
void cbSsizeChange(app::Programmer& p);

}  // namespace eeprom
}  // namespace families
