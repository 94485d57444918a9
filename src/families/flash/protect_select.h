#pragma once

// Selection of the chips whose sectors are protected and unprotected through
// the sector-protection panel and the five-step unprotect wizard.

#include <string>

#include "app/dispatch.h"
#include "families/flash/flash_devices.h"

namespace app {
class Programmer;
}

namespace families::flash {

// 29F0x0 sector unprotect wizard (EON, ST, AMD die variants).
void EN29F002T_Click(app::Programmer& p, const app::SelectItem& item);
// 29LV chips with a sector protection algorithm.
void HY29LV1601Click(app::Programmer& p, const app::SelectItem& item);

// Captions the sector-protection panel, disables its protect and unprotect
// buttons until a status read allows them, and sizes the sector grid to a
// header row plus one row per sector of the layout. With `lock_bits` (the
// 16-bit Intel parts) the buttons lock and unlock blocks.
void PrepareSectorPanel(app::Programmer& p, const std::string& caption, LayoutTable table,
                        int layout, bool lock_bits = false);

}  // namespace families::flash
