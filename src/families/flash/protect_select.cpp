#include "families/flash/protect_select.h"

#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_select.h"
#include "families/flash/protect.h"
#include "families/flash/protect_wizard.h"

namespace families::flash {
namespace {

using app::Controls;
using app::Descriptor;

// ---------------------------------------------------------------------------
// 29F0x0 sector unprotect wizard. The layout index picks the unprotect
// routine of the wizard as much as the sectors it walks.

struct WizardRow {
  int tag;
  uint32_t size;
  int layout;
};

constexpr WizardRow kWizardRows[] = {
    {101, 64 * KB, 9},   {102, 128 * KB, 8}, {103, 256 * KB, 7}, {104, 512 * KB, 6},
    {201, 512 * KB, 6},  {202, 256 * KB, 2}, {203, 256 * KB, 3}, {204, 512 * KB, 4},
    {205, 512 * KB, -1}, {206, 512 * KB, 5}, {301, 512 * KB, 7}, {302, 512 * KB, 7},
};

int WizardFamily(int tag) {
  if (tag < 200) return 41;
  if (tag < 300) return 42;
  if (tag == 301) return 49;
  if (tag == 302) return 50;
  return 41;
}

// ---------------------------------------------------------------------------
// 29LV chips with a protection algorithm, worked in byte mode.

struct LvRow {
  int tag;
  uint32_t size;
  int layout;  // top- or bottom-boot sector layout
};

constexpr LvRow kLvRows[] = {
    {101, 512 * KB, 4}, {102, 512 * KB, 5}, {103, 1 * MB, 14},  {104, 1 * MB, 15},
    {105, 2 * MB, 16},  {106, 2 * MB, 17},  {107, 256 * KB, 2}, {108, 256 * KB, 3},
    {201, 2 * MB, 16},  {202, 2 * MB, 17},  {203, 4 * MB, 18},  {204, 4 * MB, 19},
    {205, 8 * MB, 20},  {206, 8 * MB, 21},
};

}  // namespace

void PrepareSectorPanel(app::Programmer& p, const std::string& caption, LayoutTable table,
                        int layout, bool lock_bits) {
  Controls& c = p.controls;
  c.SetText("pMXICF29040", caption);
  // The MXIC and LV captions; the 28F parts relabel them for lock bits.
  c.SetText(kProtectButton, lock_bits ? "lock sector" : "protect sector");
  c.SetText(kUnprotectButton, lock_bits ? "unlock all" : "chip unprotect");
  c.Show(kUnlockBlockButton, lock_bits);
  c.Enable(kProtectButton, false);
  c.Enable(kUnprotectButton, false);
  c.Enable(kUnlockBlockButton, false);
  auto& grid = c[kSectorGrid].items;
  grid.assign(static_cast<size_t>(SectorCount(table, layout)) + 1, std::string());
  grid[0] = kSectorGridHeader;
  c[kSectorGrid].index = -1;
  // A status read of the previous chip says nothing about this one.
  p.dev.sector_status.clear();
}

void EN29F002T_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  const int tag = d.device_code;

  d.socket_picture = 32;
  d.layout = -1;
  d.layout_is_block = false;
  c.SetText("lbAdapter", "");
  if (const WizardRow* row = FindRow(kWizardRows, tag)) {
    p.SetBufferSize(row->size);
    d.layout = row->layout;
  }

  const bool amd_die = tag == 301 || tag == 302;
  PrepareSectorPanel(p, amd_die ? "AMD - 29F040 Sector UnProtection" : c.Text("pMXICF29040"),
                     LayoutTable::kSector, d.layout);
  if (!app::FinishSelection(p, WizardFamily(tag), 19)) return;
  // Step 1 with every confirmation box cleared, so the step button stays
  // off until the user has set jumpers and switches.
  if (const app::GuidedProcedure* wizard = UnprotectWizard(d.family)) {
    app::OpenGuidedPanel(p, *wizard);
  }
}

void HY29LV1601Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;
  Controls& c = p.controls;

  // These parts are only made for a 3 V supply.
  d.vcc_3v3 = true;
  d.twp = 2;
  d.twc = 30;
  d.socket_picture = 8749;
  d.layout = -1;
  d.layout_is_block = false;
  d.byte_mode_unlock = kByteModeUnlock;
  c.SetText("lbAdapter", "TSOP48 8/16bit mode");
  if (const LvRow* row = FindRow(kLvRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.layout = row->layout;
  }
  PrepareSectorPanel(p, "Un/Protect 29LVx00 ", LayoutTable::kSector, d.layout);
  app::FinishSelection(p, 47, 20);
}

}  // namespace families::flash
