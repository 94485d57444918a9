#pragma once

// MCS-51 microcontrollers in parallel programming mode: the 40-pin parts on
// the MCS-51 adapter (family 10) and the 20-pin AT89Cx051 parts with their
// internal address counter (family 11). One set of actions over a table of
// primitives per sub-type (mcs51_ops.h).

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

// The actions of families 10 and 11, and the panel's keys.
void RegisterMcs51(app::FamilyRegistry& registry);

namespace mcs51 {

using app::Programmer;

// --- the dispatched actions ------------------------------------------------
void ReadChip(Programmer& p);
void VerifyChip(Programmer& p);
void BlankCheck(Programmer& p);
void ProgramChip(Programmer& p);
void EraseChip(Programmer& p);
void GetId(Programmer& p);

// --- the lock bits and the option byte -------------------------------------
// Writes the lock bits of the panel's choice (0 writes nothing).
void LockChip(Programmer& p);
// Reads the lock bits where the part allows it: the text goes to `pRdLB`,
// the byte to "sig_Lbit".
void ReadLockBits(Programmer& p);
// The option group's "Write": the SPI byte of the AT89S8252/53, the fuses of
// the AT89S8253. Nothing for the other parts.
void WriteOption(Programmer& p);

// What `pRdLB` shows for a part whose lock bits cannot be read.
inline constexpr char kCannotReadLockBits[] = " Chip can not read Lock bit..";

// --- the settings panel (pMCS51Setting) -------------------------------------
// The lock radios (Tags 0..3) and the combo set the lock choice.
void rbLockClick(Programmer& p, int tag);
void Mcs51_lockbitChange(Programmer& p);
// New Adapter: the flag follows the box.
void cbNewAdapterClick(Programmer& p);
// The four option boxes rebuild the option word and their captions.
void cbMCS51spiClick(Programmer& p);

// The panel's buttons, each through the action frame (one at a time,
// hardware test, powered down, status refresh after).
void sbLockBitClick(Programmer& p);   // "Lock Bit": the panel's choice
void btnLockBitClick(Programmer& p);  // "Lock": the combo's choice, pdLockBit hidden
void sbRdLBClick(Programmer& p);      // "LB": shows pRdLB
void btnMCS51spiWriteClick(Programmer& p);

}  // namespace mcs51
}  // namespace families
