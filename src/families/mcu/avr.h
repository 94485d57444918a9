#pragma once

// AT90S AVR microcontrollers in high-voltage parallel programming mode
// (family 14): flash and data EEPROM, the lock bits and the fuse bits,
// through the DIP20/28/40 AVR adapter.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

// The six actions of family 14.
void RegisterAvr(app::FamilyRegistry& registry);
// The panel's `--set` keys.
void RegisterAvrKeys(app::FamilyRegistry& registry);

namespace avr {

using app::Programmer;

// --- the dispatched actions ------------------------------------------------
void ReadChip(Programmer& p);
void ProgramChip(Programmer& p);
void VerifyChip(Programmer& p);
void BlankCheck(Programmer& p);
void EraseChip(Programmer& p);
void GetId(Programmer& p);

// --- the panel's commands --------------------------------------------------
// Writes the lock byte of the chosen lock mode (0xFF, 0xFD, 0xF9).
void WriteLockBits(Programmer& p);
// Writes the fuse byte the six boxes compose.
void WriteFuseBits(Programmer& p);

// --- the settings panel (pAVRsetting) -----------------------------------------
void rbAVRmClick(Programmer& p, int tag);  // lock mode 1..3
void cbFbit0Click(Programmer& p);          // every fuse box: rebuild the byte and edEPRFuse
void cbNewAdapterAVRClick(Programmer& p);  // the flag follows the box
// The panel's buttons, through the action frame.
void sbAVRlockbitClick(Programmer& p);
void bbAVRfuseClick(Programmer& p);

// The lock byte of lock mode 1..3.
uint8_t LockByte(int mode);

}  // namespace avr
}  // namespace families
