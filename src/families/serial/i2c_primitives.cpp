#include "families/serial/i2c_primitives.h"

#include "families/serial/serial_lines.h"

namespace families::serial {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kPower;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

void Sda(hw::Bus& bus, bool high) { DataBit(bus, kSerialData, high); }
void Scl(hw::Bus& bus, bool high) { DataBit(bus, kSerialClock, high); }

// Releases SDA and lowers SCL in one write.
void ReleaseSdaSclLow(hw::Bus& bus) {
  bus.SetData(kSerialData, true);
  bus.SetData(kSerialClock, false);
  bus.WriteData();
}

int32_t AckPhase(const app::Programmer& p, int32_t normal) { return p.dev.slow_ack ? 10 : normal; }

}  // namespace

void I2CStart(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Sda(bus, false);
  bus.DelayTicks(8);
  Scl(bus, false);
  bus.DelayTicks(8);
}

void I2CStop(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Scl(bus, true);
  bus.DelayTicks(8);
  Sda(bus, true);
  bus.DelayTicks(8);
}

void I2CSendByte(app::Programmer& p, uint8_t b) {
  hw::Bus& bus = p.bus;
  for (int bit = 7; bit >= 0; --bit) {
    Sda(bus, ((b >> bit) & 1) != 0);
    bus.DelayTicks(3);
    Scl(bus, true);
    bus.DelayTicks(5);
    Scl(bus, false);
    bus.DelayTicks(5);
  }
  Sda(bus, true);  // release for the acknowledge
  bus.DelayTicks(5);
}

bool I2CGetAck(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const int32_t t = AckPhase(p, 3);
  ReleaseSdaSclLow(bus);
  bus.DelayTicks(t);
  Scl(bus, true);
  bus.DelayTicks(t);
  const uint8_t status = bus.ReadStatus();
  bus.DelayTicks(t);
  Scl(bus, false);
  bus.DelayTicks(t);
  return (status & kStatusIn) != 0;  // SDA pulled low
}

uint8_t I2CReadByte(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  uint8_t b = 0;
  for (int bit = 0; bit < 8; ++bit) {
    ReleaseSdaSclLow(bus);
    bus.DelayTicks(3);
    Scl(bus, true);
    bus.DelayTicks(3);
    const uint8_t status = bus.ReadStatus();
    b = static_cast<uint8_t>(b << 1 | ((status & kStatusIn) == 0 ? 1 : 0));
    bus.DelayTicks(3);
    Scl(bus, false);
    bus.DelayTicks(3);
  }
  return b;
}

void I2CSendAck(app::Programmer& p, bool nack) {
  hw::Bus& bus = p.bus;
  const int32_t t = AckPhase(p, 2);
  Sda(bus, nack);
  bus.DelayTicks(t);
  Scl(bus, true);
  bus.DelayTicks(t);
  Scl(bus, false);
  bus.DelayTicks(t);
  // The slow parts get SDA held low after the acknowledge bit.
  Sda(bus, !p.dev.slow_ack);
  bus.DelayTicks(t);
}

bool I2CSendWithAck(app::Programmer& p, uint8_t b) {
  I2CSendByte(p, b);
  return I2CGetAck(p);
}

bool I2CWriteSelect(app::Programmer& p) {
  I2CStart(p);
  return I2CSendWithAck(p, 0xA0);
}

bool I2CReadSelect(app::Programmer& p) {
  I2CStart(p);
  return I2CSendWithAck(p, 0xA1);
}

void I2CSdaLow(app::Programmer& p) { Sda(p.bus, false); }

void I2cPowerUp(app::Programmer& p, I2cRun run) {
  hw::Bus& bus = p.bus;
  if (run != I2cRun::kVerify) CtrlBit(bus, kDrive, true);
  bus.SetData(kSerialData, true);  // SDA and SCL high
  bus.SetData(kSerialClock, true);
  bus.WriteData();
  if (run == I2cRun::kProgram) p.error = 0;
  CtrlBit(bus, kProgram, p.dev.pin7 == 0);  // cleared: WP high
  CtrlBit(bus, kPower, true);
  if (run == I2cRun::kVerify) CtrlBit(bus, kDrive, true);
  bus.DelayTicks(run == I2cRun::kProgram ? 20000 : 15000);
}

void I2cPowerDownLines(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.SetCtrl(kStrobe, true);
  bus.SetData(kSerialClock, false);
  bus.SetData(kSerialData, false);
  bus.WriteCtrl();
  bus.WriteData();
  bus.DelayTicks(10000);
  // The power goes off through PowerDown, which releases the data bus
  // first: the socket ends at rest.
  bus.PowerDown();
}

void I2cPowerDown(app::Programmer& p) {
  p.bus.PowerDown();
  CtrlBit(p.bus, kDrive, false);
}

}  // namespace families::serial
