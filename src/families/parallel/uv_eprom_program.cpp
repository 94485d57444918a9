// The single-pass program routines: every byte is pulsed and read back until
// it holds, before the next byte. Each attempt below is one pulse and one
// read, written as the part's program and verify modes want the lines.
#include "families/parallel/uv_eprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::uv_eprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

// The size of the part itself: an offset question may shorten the device
// size for the run, which must not turn a larger part into a 2716.
bool Is2716(const app::Programmer& p) { return p.image.full_device_size <= 2048; }

// The 2716's pin programs while high, that is while control bit 3 is 0:
// hold it low (enabled), raise Vpp, set up address and data, then pulse it
// high for twice the pulse width. Vpp comes off before the read.
uint8_t Attempt2716(app::Programmer& p, uint32_t address, uint8_t b, int width, int vpp_off_wait) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, true);  // CE/PGM low
  bus.DelayTicks(50);
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(299);
  bus.ShiftAddress(address);
  bus.PutData(b, 0);
  bus.DelayTicks(10);
  Bit(bus, kProgram, false);  // CE/PGM high: the pulse
  bus.DelayTicks(width);
  bus.DelayTicks(width);
  Bit(bus, kProgram, true);
  bus.DelayTicks(25);
  bus.WriteData();  // take the byte off the bus
  bus.DelayTicks(10);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(vpp_off_wait);
  Bit(bus, kDrive, false);  // outputs on
  bus.DelayTicks(20);
  return bus.ReadDataByte();
}

uint8_t AttemptGeneric(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  if (Is2716(p)) return Attempt2716(p, address, b, width, 400);
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(100);
  bus.ShiftAddress(address);
  bus.PutData(b, 10);
  bus.DelayTicks(10);
  bus.ProgramPulse(width);
  bus.DelayTicks(wait);
  if (!p.dev.separate_vpp) {
    Bit(bus, kStrobe, true);  // Vpp shares OE: take it off before reading
    bus.DelayTicks(400);
  }
  bus.WriteData();
  bus.DelayTicks(10);
  Bit(bus, kDrive, false);
  bus.DelayTicks(10);
  if (!p.dev.read_level) {
    Bit(bus, kProgram, true);  // CE/PGM parts read with CE active
    bus.DelayTicks(10);
  }
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kProgram, false);
  bus.DelayTicks(20);
  return r;
}

uint8_t AttemptA(app::Programmer& p, uint32_t address, uint8_t b, int width, int) {
  return Attempt2716(p, address, b, width, 300);
}

// 2764, 27128: PGM pin of their own, verified at Vpp.
uint8_t AttemptB(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  bus.PutData(b, 5);
  bus.DelayTicks(5);
  bus.ProgramPulse(width);
  bus.DelayTicks(wait);
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.DelayTicks(5);
  return bus.ReadDataByte();
}

// 27C256: CE/PGM, Vpp off for a plain read with CE active.
uint8_t AttemptC(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(200);
  bus.ShiftAddress(address);
  bus.PutData(b, 5);
  bus.DelayTicks(10);
  bus.ProgramPulse(width);
  bus.DelayTicks(wait);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(200);
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.DelayTicks(10);
  Bit(bus, kProgram, true);  // CE active
  bus.DelayTicks(10);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kProgram, false);
  bus.DelayTicks(10);
  return r;
}

// 27C010, 27C020, 27C1024, 27C2048: PGM pin of their own, verified at Vpp.
uint8_t AttemptD(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  bus.PutData(b, 2);
  bus.ProgramPulse(width);
  bus.DelayTicks(wait);
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.DelayTicks(2);
  return bus.ReadDataByte();
}

// 27C040 and the 512 KB / 1 MB 16-bit parts: CE/PGM, read with Vpp off.
uint8_t AttemptE(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  Bit(bus, kStrobe, false);  // Vpp on
  bus.ShiftAddress(address);
  bus.PutData(b, 1);
  bus.ProgramPulse(width);
  bus.DelayTicks(wait);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(20);
  bus.WriteData();
  bus.DelayTicks(2);
  Bit(bus, kDrive, false);
  bus.DelayTicks(1);
  Bit(bus, kProgram, true);  // CE active
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kProgram, false);
  return r;
}

void ShiftFirstAllOnes(app::Programmer& p) { ShiftFirstPrologue(p, 0x0FFFFFFF); }
void ShiftFirst20Bits(app::Programmer& p) { ShiftFirstPrologue(p, 0xFFFFF); }

// Every variant but the 2716's gets 26 attempts, widening pulse and wait.
constexpr int kAttempts = 26;
constexpr int kAttempts2716 = 25;

}  // namespace

void ProgramGeneric(app::Programmer& p) {
  // The 2716 path keeps its pulse; the others widen it.
  const bool small = Is2716(p);
  RunSinglePass(
      p, {GenericPrologue, AttemptGeneric, small ? kAttempts2716 : kAttempts, !small, Verify});
}

void ProgramA(app::Programmer& p) {
  RunSinglePass(p, {GenericPrologue, AttemptA, kAttempts2716, false, Verify});
}
void ProgramB(app::Programmer& p) {
  RunSinglePass(p, {ShiftFirstAllOnes, AttemptB, kAttempts, true, Verify});
}
void ProgramC(app::Programmer& p) {
  RunSinglePass(p, {ShiftFirstAllOnes, AttemptC, kAttempts, true, Verify});
}
void ProgramD(app::Programmer& p) {
  RunSinglePass(p, {ShiftFirst20Bits, AttemptD, kAttempts, true, Verify});
}
void ProgramE(app::Programmer& p) {
  RunSinglePass(p, {ShiftFirstAllOnes, AttemptE, kAttempts, true, Verify});
}

}  // namespace families::uv_eprom
