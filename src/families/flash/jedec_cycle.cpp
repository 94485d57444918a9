#include "families/flash/jedec_cycle.h"

#include "families/flash/flash_frame.h"

namespace families::flash {
namespace {

// One more clock of the three address registers with `one` entering the
// low and middle ones (A23..A16 get 0). The clock reaches them only while
// the port does not drive the bus, and a release with data bit 0 high would
// be a clock of its own: the command byte leaves the data register first.
void ShiftOne(hw::Bus& bus, bool one) {
  bus.WriteData();
  Bit(bus, kDrive, false);
  uint8_t& d = bus.DataShadow();
  d = static_cast<uint8_t>((d & 0x0C) | (one ? 0x12 : 0x00));
  bus.WriteData();
  d |= 0x01;  // shift clock
  bus.WriteData();
  d &= static_cast<uint8_t>(~0x01);
  bus.WriteData();
}

uint8_t ReadReleased(app::Programmer& p, int32_t wait_100ns) {
  hw::Bus& bus = p.bus;
  Bit(bus, kDrive, false);
  bus.Delay100ns(wait_100ns);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  bus.Delay100ns(wait_100ns);
  return r;
}

}  // namespace

void CommandCycle(hw::Bus& bus, uint32_t address, uint8_t byte, const Cycle& c) {
  bus.ShiftAddress(address);
  Wait(bus, c.before_drive);
  Bit(bus, kDrive, true);
  Wait(bus, c.data_settle);
  bus.WriteBusByte(byte);
  Wait(bus, c.before_strobe);
  bus.ProgramPulse(c.pulse);
  Wait(bus, c.pause);
  if (c.pause_100ns != 0) bus.Delay100ns(c.pause_100ns);
}

void CommandSequence(hw::Bus& bus, const UnlockSet& unlock, std::initializer_list<uint8_t> bytes,
                     const Cycle& c) {
  size_t i = 0;
  for (const uint8_t byte : bytes) CommandCycle(bus, unlock[i++ % unlock.size()], byte, c);
}

void FastCommand(hw::Bus& bus, const UnlockSet& unlock, uint8_t code, bool byte_mode,
                 int32_t pulse) {
  const int32_t pause = byte_mode ? 0 : 2;
  CommandCycle(bus, unlock[0], 0xAA, Cycle{.pulse = pulse, .pause_100ns = pause});
  const uint8_t bytes[2] = {0x55, code};
  for (int i = 0; i < 2; ++i) {
    ShiftOne(bus, byte_mode ? i == 0 : i == 1);
    Bit(bus, kDrive, true);
    bus.WriteBusByte(bytes[i]);
    bus.ProgramPulse(pulse);
    if (pause != 0) bus.Delay100ns(pause);
  }
}

PollEnd PollByte(app::Programmer& p, uint8_t d, int attempt, const PollWay& way, uint8_t& last) {
  hw::Bus& bus = p.bus;
  PollBound bound(p);
  bool first = true;
  for (;;) {
    // The byte goes off the data register before the bus is released.
    if (way.rewrite_each_poll || first) bus.WriteData();
    first = false;
    last = ReadReleased(p, way.read_wait_100ns);
    if (last == d) return PollEnd::kDone;
    if ((last & 0x20) != 0) {
      // DQ5: the part gave up, unless the byte finished as the flag rose.
      last = ReadReleased(p, way.read_wait_100ns);
      if (last == d) return PollEnd::kDone;
      return attempt <= 8 ? PollEnd::kRetry : PollEnd::kFailed;
    }
    if (Pump(p)) return PollEnd::kCancelled;
    if (bound.Expired()) return PollEnd::kFailed;
  }
}

}  // namespace families::flash
