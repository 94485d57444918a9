#pragma once

// Selection of the 8-bit Intel command-set flash chips (12 V 28F, boot
// block and status-register chips, MX28F).

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::flash {

void M28F_Click(app::Programmer& p, const app::SelectItem& item);
void i28Fx00_Click(app::Programmer& p, const app::SelectItem& item);
void MX28F20001Click(app::Programmer& p, const app::SelectItem& item);

}  // namespace families::flash
