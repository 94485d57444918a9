// Chip erase: the 12 V parts hold PROG low for tWPe in the erase mode; the
// later flash generation (AT89S5x, AT89C55WD/RC, AT89S8253) takes a short
// pulse, given twice, each in a power cycle of its own.
#include "families/mcu/mcs51_ops.h"

namespace families::mcs51 {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

// EraseOnce: the erase mode with 0xFF on the bus, 12 V, then PROG low for
// tWPe.
void EraseOnce(Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(p.dev.mcs51.socket.chip_erase);
  Bit(bus, kDrive, true);
  bus.DelayTicks(10);
  bus.WriteBusByte(0xFF);
  bus.DelayTicks(20);
  if (BoardVpp(p)) Bit(bus, kStrobe, false);
  bus.DelayTicks(120);
  Bit(bus, kProgram, true);
  bus.DelayTicks(p.dev.mcs51.twpe);
  Bit(bus, kProgram, false);
  bus.DelayTicks(100);
  Bit(bus, kStrobe, true);
  bus.DelayTicks(200);
}

void EraseRound(Programmer& p) {
  OpsFor(p)->enter(p);
  Bit(p.bus, kProgram, false);
  EraseOnce(p);
  p.bus.DelayTicks(300000);
  p.bus.PowerDown();
}

}  // namespace

void EraseOnceRepeated(Programmer& p) {
  EraseRound(p);
  p.bus.DelayTicks(2000);
  if (p.dev.mcs51.t_erase != 0) EraseRound(p);
}

// The erase pulse is a fixed 10 ticks; "tWPe" and "tErase" play no part.
void EraseTwice(Programmer& p) {
  hw::Bus& bus = p.bus;
  for (int pass = 0; pass < 2; ++pass) {
    bus.PowerUp();
    Bit(bus, kProgram, false);
    bus.ShiftAddress(p.dev.mcs51.socket.chip_erase);
    Bit(bus, kDrive, true);
    bus.DelayTicks(10);
    bus.WriteBusByte(0xFF);
    bus.DelayTicks(20);
    Bit(bus, kStrobe, false);
    bus.DelayTicks(100);
    Bit(bus, kProgram, true);
    bus.DelayTicks(10);
    Bit(bus, kProgram, false);
    bus.DelayTicks(250000);
    bus.PowerDown();
  }
}

void EraseTwiceAt62V(Programmer& p) {
  p.host.Information(" Erase data AT89C55WD/RC \n Setting jumper Vcc = 6.2V \n");
  EraseTwice(p);
}

}  // namespace families::mcs51
