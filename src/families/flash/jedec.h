#pragma once

// JEDEC command-set flash: families 4, 12, 27 (29F, 39SF, 49F, MX29F), 22
// (boot-block 29F/49F00x with the #RESET/Vpp pin, TSOP40 parts), 15 (8/16-bit
// parts in byte mode) and 24, 25 (SST28SF040A, LE28F4001). Read, verify and
// blank check are the default routines.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

// Registers the program, erase and Get ID routines of families 4, 12, 15,
// 22, 24, 25 and 27.
void RegisterJedecFlash(app::FamilyRegistry& registry);

namespace jedec {

// --- program -----------------------------------------------------------------
void P1(app::Programmer& p);  // byte program (4, 12, 27)
void P2(app::Programmer& p);  // with #RESET/Vpp control (22); P3 with fast mode
void P3(app::Programmer& p);  // unlock-bypass program (22)
void P4(app::Programmer& p);  // byte-mode program (15); P5, P6 or P7 by the flags
void P5(app::Programmer& p);  // byte-mode unlock-bypass program
void P6(app::Programmer& p);  // byte-mode single-pulse program (Atmel)
void P7(app::Programmer& p);  // byte-mode page program, polled (MX29F1610)
void P8(app::Programmer& p);  // SST28 program (24, 25)

// --- erase ---------------------------------------------------------------------
void E1(app::Programmer& p);  // chip erase (4, 12, 22, 27)
void E2(app::Programmer& p);  // byte-mode chip erase (15)
void E3(app::Programmer& p);  // SST28 chip erase (24)
void E4(app::Programmer& p);  // SST28 sector erase of the whole chip (25)

// --- Get ID ----------------------------------------------------------------------
void G1(app::Programmer& p);  // continuation form (4, 27)
void G2(app::Programmer& p);  // repeat form (12, 22)
void G3(app::Programmer& p);  // byte mode (15)
void G4(app::Programmer& p);  // SST28 (24, 25)

}  // namespace jedec
}  // namespace families
