#pragma once

// The Microwire lines of the serial socket: DI on data bit 0 (inverted: a 1
// is sent by clearing the bit), SK on data bit 1, DO on status bit 7 (1
// when it reads 0), CS on control bit 3 (cleared selects). On the ICSP
// connector DI is not inverted and CS moves to control bit 0 with the same
// sense; control bit 3 is then left alone.

#include <cstdint>

#include "app/programmer.h"

namespace families::serial {

// How the routine reaches the chip: which bit selects, whether DI is
// inverted, and the waits of one bit phase.
struct Microwire {
  app::Programmer& p;
  bool icsp = false;
  int32_t phase = 2;           // ticks each bit phase waits
  bool select_on_set = false;  // CS active low (CAT64LC): control bit 3 set selects

  void Select();
  void Deselect();
  void MwSendBit(bool b);
  void MwSendFrame(uint32_t v, int length);
  void MwSendByte(uint8_t v);
  bool MwReadBit();
  uint8_t MwReadByte();
  // Deselect and reselect: the CS edge that starts a write.
  void MwCsPulse(int32_t ticks);
};

// Family 8's socket or ICSP wiring, as the panel's check box says.
Microwire Wire93(app::Programmer& p);

// Family 8's power-up: control bit 1, DI at rest, SK low, deselected, then
// power and the settle wait (`wait` ticks; ICSP: 100, power, 4000).
void MwPowerUp(Microwire& mw, int32_t wait);

}  // namespace families::serial
