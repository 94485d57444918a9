#pragma once

// Selection of the Microwire-style serial memories: 93Cxx and relatives,
// CAT64LCxx, and the serial NVRAMs.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families::serial {

void M93C_Click(app::Programmer& p, const app::SelectItem& item);
void CAT64LC10_Click(app::Programmer& p, const app::SelectItem& item);
void S24H30_Click(app::Programmer& p, const app::SelectItem& item);

// The organisation buttons of the 93Cxx panel: re-derive the frame
// templates from the device size for 16-bit or 8-bit organisation.
void rb93_16bitClick(app::Programmer& p);
void rb93_8bitClick(app::Programmer& p);

}  // namespace families::serial
