#pragma once

// Intel command-set flash: family 3 (28F256..28F040 at 12 V, and the AMD
// "A" parts with embedded algorithms), 31 (MX28F1000P/2000), 26 (the
// write-state-machine parts in byte mode) and 55 (28F320/640 J3). Read,
// verify and blank check are the default routines.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

// Registers the program, erase and Get ID routines of families 3, 26, 31
// and 55.
void RegisterIntelFlash(app::FamilyRegistry& registry);

namespace intel {

void I1(app::Programmer& p);   // quick-pulse program (3)
void I2(app::Programmer& p);   // embedded program (3, Am28FxxxA)
void I3(app::Programmer& p);   // quick erase with pre-programming (3)
void I4(app::Programmer& p);   // embedded erase (3, Am28FxxxA)
void I5(app::Programmer& p);   // status-register byte program (26)
void I6(app::Programmer& p);   // block erase (26; 55 after clearing the lock bits)
void I7(app::Programmer& p);   // erase by memory map, 8 KB blocks (26)
void I8(app::Programmer& p);   // buffered program (55)
void I9(app::Programmer& p);   // Get ID with Vpp (3, 31)
void I10(app::Programmer& p);  // Get ID in byte mode (26, 55)
void I11(app::Programmer& p);  // MX28F program (31)
void I12(app::Programmer& p);  // MX28F chip erase (31)

// The family-3 cells: I1 or I2, I3 or I4, by the embedded flag. Family 26's
// erase: I7 with "Erase By Memory Map" checked, else I6.
void Program3(app::Programmer& p);
void Erase3(app::Programmer& p);
void Erase26(app::Programmer& p);

}  // namespace intel
}  // namespace families
