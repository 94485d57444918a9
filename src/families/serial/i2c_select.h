#pragma once

// Selection of the I2C serial EEPROMs (24Cxx, 85Cx2, X24C01, SDE2526).

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::serial {

void M24C_Click(app::Programmer& p, const app::SelectItem& item);

}  // namespace families::serial
