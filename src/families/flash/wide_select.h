#pragma once

// Selection of the flash chips driven 16 bits wide through the TSOP
// adapters: JEDEC 29LV/39VF, Intel B3/C3/J3 and the W29C102.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::flash {

void MBM29LV160Click(app::Programmer& p, const app::SelectItem& item);
void N28F4001Click(app::Programmer& p, const app::SelectItem& item);
// Intel C3 block locking (reached only by re-selecting a stored device).
void i28F800C3B1Click(app::Programmer& p, const app::SelectItem& item);

}  // namespace families::flash
