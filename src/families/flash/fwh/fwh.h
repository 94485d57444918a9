#pragma once

// Firmware-hub and LPC flash in their address-multiplexed programming mode:
// Intel-style parts with a status register (family 34) and JEDEC-style
// parts (35). Every access loads its address in two halves on R/C#.
//
// The adapter powers the part itself, so nothing the board does between
// actions resets it: every routine leaves it reading array data, and the
// shared read, verify and blank check begin with their type's read-array
// command (a part left in status or identifier mode by a cancelled action
// still reads right).

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterFirmwareHub(app::FamilyRegistry& registry);

namespace fwh {

void Read(app::Programmer& p);    // shared read
void Verify(app::Programmer& p);  // shared verify
void Blank(app::Programmer& p);   // shared blank check
void F3(app::Programmer& p);      // status-register program (34)
void F4(app::Programmer& p);      // block erase (34)
void F5(app::Programmer& p);      // Intel Get ID (34)
void F6(app::Programmer& p);      // JEDEC program (35)
void F7(app::Programmer& p);      // JEDEC chip erase (35)
void F8(app::Programmer& p);      // JEDEC Get ID (35)

}  // namespace fwh
}  // namespace families
