#pragma once

// Sector protection: the status read of every sector of the layout, the
// grid that shows it, protect sector / chip unprotect for the MXIC 29F
// parts (type 27) and the LV parts worked in byte mode (type 47), and the
// block lock bits of the 16-bit Intel parts (type 45).
// Each button's routine runs through the frame of a panel command
// (app::RunExtraAction) and ends with the socket powered down.

#include <cstdint>
#include <string>
#include <vector>

#include "app/programmer.h"

namespace families::flash {

// How identifier mode is entered and where each sector's status sits.
enum class StatusMode {
  kJedec8 = 298,           // autoselect on the working unlock set; status at sector + 2
  kIntel16 = 2816,         // word command 0x0090 at 0; status at block + 2
  kJedecWord = 2916,       // autoselect on the word-mode set; status at sector + 2
  kJedecByteMode = 29816,  // autoselect on the byte-mode set; status at sector + 4
  kSingle90 = 288,         // one write of 0x90 at 0; status at sector + 2
};

// The grid control and its buttons.
inline constexpr char kSectorGrid[] = "sgMXICF29SecVfyF29";
inline constexpr char kProtectButton[] = "sbMXICF29SecProt";
inline constexpr char kUnprotectButton[] = "sbMXICF29ChipUnprt";
inline constexpr char kStatusButton[] = "sbMXICF29SecStatus";
inline constexpr char kNoIdCheck[] = "cbCHKdevID";
// Type 45 only: unlock the selected block and leave the others as they are.
inline constexpr char kUnlockBlockButton[] = "sb28FBlockUnlock";

// The start of every sector of the selected device's layout, then the end
// (word addresses for the 16-bit families).
std::vector<uint32_t> DeviceSectorStarts(const app::Programmer& p);

// One grid row: " S%0.2d", " %0.5X - %0.5X", " %0.2X", " Lock" / " Unlock" /
// " ---", tab-separated. Row 0 is kSectorGridHeader.
inline constexpr char kSectorGridHeader[] = " Sector\t Address(hex)\t Hex\t Status";
std::string SectorGridRow(int sector, uint32_t start, uint32_t last, uint8_t status);

// Reads every sector's status in `mode` into the descriptor and the grid.
void SectorStatus(app::Programmer& p, StatusMode mode);

// The sector the grid has selected, -1 when none; selecting by sector.
int SelectedSector(const app::Programmer& p);
void SelectSector(app::Programmer& p, int sector);

// The panel's buttons.
void sbMXICF29SecStatusClick(app::Programmer& p);
void sbMXICF29SecProtClick(app::Programmer& p);
void sbMXICF29ChipUnprtClick(app::Programmer& p);
void sb28FBlockUnlockClick(app::Programmer& p);
// "disable Manuf+dev ID": the warning, and the buttons for a type-47 chip
// the identification did not flag.
void cbCHKdevIDClick(app::Programmer& p);

// The family algorithms, each a whole power session: true when the status
// read at the end shows the sector protected (protect) or the command
// went out (unprotect; the caller reads the status again).
bool MxicProtectSector(app::Programmer& p, uint32_t sector);
void MxicUnprotectChip(app::Programmer& p);
bool LvProtectSector(app::Programmer& p, uint32_t sector);
void LvUnprotectChip(app::Programmer& p);
// The J3's non-volatile lock bits, in word mode: set one block's bit
// (0x60, 0x01 at the block), clear every bit at once (0x60, 0xD0; the part
// has no per-block clear). True when the status register reports success;
// a failure is reported ("  Vpp Range Error", " Lock-Bit Error").
bool IntelLockBlock(app::Programmer& p, uint32_t block);
bool IntelClearLocks(app::Programmer& p);

}  // namespace families::flash
