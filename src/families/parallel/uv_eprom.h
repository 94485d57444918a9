#pragma once

// UV EPROMs: the 27Cxxx CMOS parts (family 0, the 16-bit parts on the
// DIP40/DIP42 adapter included), the 27xxx NMOS parts (family 13) and the
// M87C256 (family 33). Blank check is the default one for families 0 and 13.

#include <cstdint>

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

// Registers the read, verify and program routines of families 0, 13 and 33
// and the blank check of family 33.
void RegisterUvEprom(app::FamilyRegistry& registry);

namespace uv_eprom {

// --- read and verify (families 0, 13, and the erasable EPROMs) ---------------

// Fills the image from the chip: chip address offset + i goes to image
// index offset + i.
void Read(app::Programmer& p);
// Compares chip address offset + i with image index i up to the data end.
void Verify(app::Programmer& p);

// --- program --------------------------------------------------------------------

// The program algorithms. Each drives the part's program line its own way;
// the dispatcher picks one by device code and size.
enum class Variant {
  kGeneric,  // single pass with retries; family 13 and any size not listed
  kA,        // 2 KB: the 2716's active-high program pin, constant pulse
  kB,        // 8 KB, 16 KB
  kC,        // 32 KB
  kD,        // 128 KB, 256 KB
  kE,        // 512 KB, and 1 MB on the 16-bit adapter
  kF,        // 2 MB on the 16-bit adapter
  kK,        // two passes, 4 KB and 64 KB (OE/Vpp parts)
  kL,        // two passes, 1 MB and 4 MB
};

// Codes 400 and above (the DIP42 parts) choose by size alone; the others by
// the 8-bit table, so the DIP40 parts go as 8-bit parts of their size.
Variant ChooseVariant(int device_code, uint32_t device_size);
app::Routine VariantRoutine(Variant variant);

// Family 0's program action.
void ProgramDispatch(app::Programmer& p);
// Family 13's program action and the dispatcher's fallback.
void ProgramGeneric(app::Programmer& p);
void ProgramA(app::Programmer& p);
void ProgramB(app::Programmer& p);
void ProgramC(app::Programmer& p);
void ProgramD(app::Programmer& p);
void ProgramE(app::Programmer& p);
void ProgramF(app::Programmer& p);
void ProgramK(app::Programmer& p);
void ProgramL(app::Programmer& p);

// --- settings panel ---------------------------------------------------------------

// The handler the three timing track bars share, told apart by Tag:
// tbTWC (1) sets tWC, tbTWP (2) sets tWP, tb_clip (3, the serial families'
// clock stretch) shows its value in ed_tclip. Ignored while a selection is
// being set up.
void tbTWCChange(app::Programmer& p, int tag, int position);
// Puts tWP and tWC back to the device's own values (what the selection set)
// and the two bars as near to them as their range reaches.
void RestoreDeviceTiming(app::Programmer& p);

}  // namespace uv_eprom
}  // namespace families
