// The sector status read, the grid, and the panel's buttons.
#include <cstdio>

#include "families/flash/flash_frame.h"
#include "families/flash/flash_id.h"
#include "families/flash/jedec.h"
#include "families/flash/jedec_cycle.h"
#include "families/flash/protect.h"
#include "families/flash/wide/wide_bus.h"

namespace families::flash {
namespace {

struct ModeRow {
  StatusMode mode;
  uint32_t status_offset;  // where the status sits past a sector's start
};

constexpr ModeRow kModes[] = {
    {StatusMode::kJedec8, 2},        {StatusMode::kIntel16, 2},  {StatusMode::kJedecWord, 2},
    {StatusMode::kJedecByteMode, 4}, {StatusMode::kSingle90, 2},
};

uint32_t StatusOffset(StatusMode mode) {
  for (const ModeRow& row : kModes) {
    if (row.mode == mode) return row.status_offset;
  }
  return 2;
}

bool WordFamily(int family) { return family == 44 || family == 45 || family == 56; }

void EnterIdentifierMode(app::Programmer& p, StatusMode mode) {
  hw::Bus& bus = p.bus;
  switch (mode) {
    case StatusMode::kJedec8:
      CommandSequence(bus, p.dev.unlock, {0xAA, 0x55, 0x90}, kAutoselectG1);
      break;
    case StatusMode::kJedecWord: {
      // Word writes through the adapter's upper latch: the high byte 0x00.
      const uint8_t code[3] = {0xAA, 0x55, 0x90};
      for (size_t i = 0; i < 3; ++i) wide::CommandWordAt(bus, kShortUnlock[i], code[i], 50, 10, 50);
      break;
    }
    case StatusMode::kIntel16:
      // From the idle word (read array) to the identifier, as W10 enters it.
      Bit(bus, kProgram, false);
      wide::IdleWord(p);
      wide::CommandWordAt(bus, 0, 0x90, 50, 10, 50);
      break;
    case StatusMode::kJedecByteMode:
      CommandSequence(bus, p.dev.byte_mode_unlock, {0xAA, 0x55, 0x90}, kAutoselectG3);
      break;
    case StatusMode::kSingle90:
      CommandCycle(bus, 0, 0x90, kModeCycle);
      break;
  }
  bus.DelayTicks(10);
}

// The buttons that change protection: type 27 and the J3 always, type 47
// when the identification flagged the chip or the user took the check off.
bool MayChangeProtection(const app::Programmer& p) {
  if (p.dev.family == 27 || wide::IsJ3(p)) return true;
  return p.dev.family == 47 && (p.dev.sector_protect_display || p.controls.Checked(kNoIdCheck));
}

StatusMode ModeOf(int family) {
  if (family == 45) return StatusMode::kIntel16;
  if (family == 47) return StatusMode::kJedecByteMode;
  return StatusMode::kJedec8;
}

void Fail(app::Programmer& p, const std::string& text) {
  p.Message(text, 1);
  p.error = 1;
}

bool ProtectOne(app::Programmer& p, uint32_t sector) {
  if (p.dev.family == 45) return IntelLockBlock(p, sector);
  return p.dev.family == 47 ? LvProtectSector(p, sector) : MxicProtectSector(p, sector);
}

void EnableChanges(app::Programmer& p) {
  const bool may = MayChangeProtection(p);
  p.controls.Enable(kProtectButton, may);
  p.controls.Enable(kUnprotectButton, may);
  p.controls.Enable(kUnlockBlockButton, may && p.dev.family == 45);
}

// The sector the grid has selected, when a status read covers it.
bool SelectedWithStatus(const app::Programmer& p, size_t& sector) {
  const int selected = SelectedSector(p);
  if (selected < 0) return false;
  sector = static_cast<size_t>(selected);
  return sector < p.dev.sector_status.size() && sector + 1 < DeviceSectorStarts(p).size();
}

bool AllClear(const app::Programmer& p) {
  for (const uint8_t s : p.dev.sector_status) {
    if (s != 0) return false;
  }
  return true;
}

// The J3 clears its lock bits only all at once: clear, then lock again
// every block that was locked and is to stay so. False when a step failed
// (reported) or was cancelled.
bool UnlockJ3(app::Programmer& p, const std::vector<uint8_t>& keep) {
  if (!IntelClearLocks(p)) return false;
  const std::vector<uint32_t> starts = DeviceSectorStarts(p);
  for (size_t s = 0; s < keep.size(); ++s) {
    if (keep[s] != 1) continue;
    if (!IntelLockBlock(p, starts[s])) {
      Fail(p, "Protection of Sector N. " + std::to_string(s));
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<uint32_t> DeviceSectorStarts(const app::Programmer& p) {
  const LayoutTable table = p.dev.layout_is_block ? LayoutTable::kBlock : LayoutTable::kSector;
  return SectorStarts(table, p.dev.layout, WordFamily(p.dev.family));
}

std::string SectorGridRow(int sector, uint32_t start, uint32_t last, uint8_t status) {
  char text[64];
  const char* state = status == 1 ? " Lock" : status == 0 ? " Unlock" : " ---";
  std::snprintf(text, sizeof text, " S%02d\t %05X - %05X\t %02X\t%s", sector, start, last, status,
                state);
  return text;
}

void SectorStatus(app::Programmer& p, StatusMode mode) {
  hw::Bus& bus = p.bus;
  const std::vector<uint32_t> starts = DeviceSectorStarts(p);
  const size_t count = starts.empty() ? 0 : starts.size() - 1;
  bus.PowerUp();
  bus.SetAddress(0xFFFFFF, 0);
  EnterIdentifierMode(p, mode);
  const uint32_t offset = StatusOffset(mode);
  std::vector<uint8_t> status(count);
  int sum = 0;
  for (size_t s = 0; s < count; ++s) {
    bus.ShiftAddress(starts[s] + offset);
    Bit(bus, kDrive, true);
    bus.DelayTicks(1);
    Bit(bus, kDrive, false);
    bus.DelayTicks(1);
    status[s] = bus.ReadDataByte();
    sum += status[s];
  }
  bus.PowerDown();
  p.dev.sector_status = status;
  p.dev.protected_count = sum;
  auto& grid = p.controls[kSectorGrid].items;
  grid.assign(1, kSectorGridHeader);
  for (size_t s = 0; s < count; ++s) {
    grid.push_back(SectorGridRow(static_cast<int>(s), starts[s], starts[s + 1] - 1, status[s]));
  }
  p.host.ControlsChanged();
}

int SelectedSector(const app::Programmer& p) {
  const int row = p.controls.Index(kSectorGrid);
  return row >= 1 ? row - 1 : -1;
}

void SelectSector(app::Programmer& p, int sector) { p.controls[kSectorGrid].index = sector + 1; }

void sbMXICF29SecStatusClick(app::Programmer& p) {
  const int family = p.dev.family;
  // Type 47 identifies the chip first: its flag decides the buttons.
  if (family == 47) jedec::G3(p);
  SectorStatus(p, ModeOf(family));
  EnableChanges(p);
  p.host.ControlsChanged();
}

void sbMXICF29SecProtClick(app::Programmer& p) {
  size_t sector = 0;
  if (!SelectedWithStatus(p, sector)) {
    // Nothing to go by: no status read, or no sector of this layout chosen.
    Fail(p, "Protect/Unprotect status error !");
    return;
  }
  const uint8_t status = p.dev.sector_status[sector];
  if (status == 1) {
    p.Message("Sector already protected !", 2);
    return;
  }
  if (status != 0) {
    Fail(p, "Protect/Unprotect status error !");
    return;
  }
  if (!ProtectOne(p, DeviceSectorStarts(p)[sector])) {
    Fail(p, "Sector Can not protected !");
    return;
  }
  SectorStatus(p, ModeOf(p.dev.family));
  p.Message("Sector protect performed OK!", 0);
}

void sbMXICF29ChipUnprtClick(app::Programmer& p) {
  const StatusMode mode = ModeOf(p.dev.family);
  SectorStatus(p, mode);
  if (p.dev.protected_count == 0) {
    p.Message("All sectors are Unprotected !", 0);
    return;
  }
  if (p.dev.family == 45) {
    if (!IntelClearLocks(p)) return;
    SectorStatus(p, mode);
    if (!AllClear(p)) {
      Fail(p, "Sectors NOT unprotected !");
      return;
    }
    p.Message("Chip Unprotection performed OK!", 0);
    return;
  }
  // The unprotect algorithms want every sector protected first, so none
  // is over-erased by the unprotect pulses.
  const std::vector<uint32_t> starts = DeviceSectorStarts(p);
  const std::vector<uint8_t> status = p.dev.sector_status;
  const bool lv = p.dev.family == 47;
  if (lv)
    p.SetProcessGauge("Protect chip all sector", static_cast<int64_t>(status.size()), 0xFF0000);
  for (size_t s = 0; s < status.size(); ++s) {
    if (lv) p.host.SetGaugeProgress(static_cast<int64_t>(s));
    if (status[s] != 0) continue;
    if (!ProtectOne(p, starts[s])) {
      p.host.HideGauge();
      Fail(p, "Protection of Sector N. " + std::to_string(s));
      return;
    }
  }
  if (lv) {
    LvUnprotectChip(p);
    p.host.HideGauge();
  } else {
    MxicUnprotectChip(p);
  }
  SectorStatus(p, mode);
  if (!AllClear(p)) {
    Fail(p, "Sectors NOT unprotected !");
    return;
  }
  p.Message("Chip Unprotection performed OK!", 0);
}

void sb28FBlockUnlockClick(app::Programmer& p) {
  size_t sector = 0;
  if (p.dev.family != 45 || !SelectedWithStatus(p, sector)) {
    Fail(p, "Protect/Unprotect status error !");
    return;
  }
  const std::vector<uint8_t> before = p.dev.sector_status;
  if (before[sector] == 0) {
    p.Message("Sector already unlocked !", 2);
    return;
  }
  if (before[sector] != 1) {
    Fail(p, "Protect/Unprotect status error !");
    return;
  }
  std::vector<uint8_t> keep = before;
  keep[sector] = 0;
  if (!UnlockJ3(p, keep)) return;
  SectorStatus(p, StatusMode::kIntel16);
  if (p.dev.sector_status != keep) {
    Fail(p, "Sector Can not unlocked !");
    return;
  }
  p.Message("Sector unlock performed OK!", 0);
}

void cbCHKdevIDClick(app::Programmer& p) {
  if (p.controls.Checked(kNoIdCheck)) {
    p.host.Information(
        " Disable Check Manufacture and Device ID\n for Protect/Unprotect sector\n Read datasheet "
        "**Chip xxxx** Algorithm\n Protect/unprotect same AM29LV160\n ");
  }
  // Only a status read enables the buttons: without one there is nothing
  // to protect against.
  if (p.dev.family == 47 && !p.dev.sector_status.empty()) EnableChanges(p);
  p.host.ControlsChanged();
}

}  // namespace families::flash
