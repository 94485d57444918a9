#pragma once

// Catalogue handlers of the byte-parallel non-flash memories: UV EPROMs,
// electrically erasable EPROMs, parallel EEPROMs, static RAM and NVRAM.
// Each fills the device descriptor from its device table; none touches the
// board.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterParallelSelection(app::FamilyRegistry& registry);

namespace parallel {

void M27C_Click(app::Programmer& p, const app::SelectItem& item);
void M27_Click(app::Programmer& p, const app::SelectItem& item);
void M28C_Click(app::Programmer& p, const app::SelectItem& item);
void AT28Cxxx_Click(app::Programmer& p, const app::SelectItem& item);
void AT29C_Click(app::Programmer& p, const app::SelectItem& item);
void M27E_Click(app::Programmer& p, const app::SelectItem& item);
void MX26C10001Click(app::Programmer& p, const app::SelectItem& item);
void SST37VF_Click(app::Programmer& p, const app::SelectItem& item);
void SRAM_Click(app::Programmer& p, const app::SelectItem& item);
void DS12XX_Click(app::Programmer& p, const app::SelectItem& item);

}  // namespace parallel
}  // namespace families
