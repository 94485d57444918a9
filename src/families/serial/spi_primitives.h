#pragma once

// The SPI lines of the serial socket: SI on data bit 0 (inverted: a 1 is
// sent by clearing the bit), SCK on data bit 1, SO on status bit 7 (1 when
// it reads 0), CS on control bit 3 (set selects). Family 6 stretches every
// wait by the clock stretch and samples SO while SCK is high; family 57
// samples it just before the rising edge.

#include <cstdint>

#include "app/programmer.h"

namespace families::serial {

struct Spi {
  app::Programmer& p;
  bool flash = false;  // family 57's bit timing
  int32_t s = 0;       // clock stretch (family 6)

  void SpiSelect();
  void SpiDeselect();
  void SpiSendBit(bool b);
  void SpiSendByte(uint8_t v);
  bool SpiReadBit();
  uint8_t SpiReadByte();
  void Wait(int32_t ticks) { p.bus.DelayTicks(ticks); }
  // An opcode followed by a 24-bit address, most significant bit first.
  void SendOpcodeAddress(uint8_t opcode, uint32_t address);
  // Both families' power-down: SI and SCK low, CS set, control bit 1 set,
  // then PowerDown, which takes the power off with the port at rest.
  void PowerDown();
};

// Family 6 and family 57 as the descriptor gives them.
Spi SpiEepromLines(app::Programmer& p);
Spi SpiFlashLines(app::Programmer& p);

}  // namespace families::serial
