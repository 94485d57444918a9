#pragma once

// Selection of the 8-bit JEDEC command-set flash chips (29F, 39SF, 49F,
// 29Fx00 in byte mode, SST28).

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::flash {

void M29F_Click(app::Programmer& p, const app::SelectItem& item);
void AT49F00x_Click(app::Programmer& p, const app::SelectItem& item);
void Am29Fx00_Click(app::Programmer& p, const app::SelectItem& item);
void SST28xF040A1Click(app::Programmer& p, const app::SelectItem& item);

}  // namespace families::flash
