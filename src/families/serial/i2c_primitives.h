#pragma once

// The bit-banged I2C bus of the serial socket: SDA on data bit 0 (1
// releases the line), SCL on data bit 1, SDA read back on status bit 7 (0
// while the line is high), WP on control bit 3 (cleared for WP high). Waits
// are DelayTicks ticks; the slow-acknowledge parts (SDE2526) take 10 ticks
// a phase in the acknowledge clocks.

#include <cstdint>

#include "app/programmer.h"

namespace families::serial {

void I2CStart(app::Programmer& p);
void I2CStop(app::Programmer& p);
void I2CSendByte(app::Programmer& p, uint8_t b);
bool I2CGetAck(app::Programmer& p);
uint8_t I2CReadByte(app::Programmer& p);
void I2CSendAck(app::Programmer& p, bool nack);
bool I2CSendWithAck(app::Programmer& p, uint8_t b);
bool I2CWriteSelect(app::Programmer& p);
bool I2CReadSelect(app::Programmer& p);
// SDA low in one data-register write, no wait: the write paths' way into a
// STOP.
void I2CSdaLow(app::Programmer& p);

enum class I2cRun { kRead, kProgram, kVerify };
// Power-up as each kind of routine does it.
void I2cPowerUp(app::Programmer& p, I2cRun run);
// After every verify and after the family-2 read: strobe high, SCL and SDA
// low, the socket powered down.
void I2cPowerDownLines(app::Programmer& p);
// After the family-1 and family-39 reads and programs: PowerDown, then
// control bit 1 cleared.
void I2cPowerDown(app::Programmer& p);

}  // namespace families::serial
