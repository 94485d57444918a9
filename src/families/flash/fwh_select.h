#pragma once

// Selection of the firmware-hub and LPC flash chips, programmed through the
// address-multiplexed adapter.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::flash {

void N82802AB_Click(app::Programmer& p, const app::SelectItem& item);
void SST49LF002_Click(app::Programmer& p, const app::SelectItem& item);

// The R/C# time track bar moved (or was set): take its position as the
// R/C# wait and show it in edRCtime.
void tbRCtimeChange(app::Programmer& p);

}  // namespace families::flash
