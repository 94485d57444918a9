#pragma once

// The M87C256 (family 33). Its AS/Vpp pin sits where the 27C256 has Vpp, and
// the routines hold Vpp on for the whole operation, so the part is read in
// program verify (OE low) and programmed with CE pulses. Control bit 1 is
// the read strobe: low while a byte is read, high otherwise. Read33 and
// Program33 read with CE inactive (control bit 3 = 0); Verify33 and Blank33
// follow the read level flag, which leaves CE active for the whole pass, so
// OE rising between bytes meets an active CE at Vpp: no pulse starts there,
// because a program pulse begins only at CE's edge with OE already high.
// Chip address offset + i pairs with image index i throughout.

namespace app {
class Programmer;
}

namespace families::uv_eprom {

void Read33(app::Programmer& p);
void Verify33(app::Programmer& p);
// Checks the part is blank from address 0 up to the data end only.
void Blank33(app::Programmer& p);
void Program33(app::Programmer& p);

}  // namespace families::uv_eprom
