// The two-pass program routines for the parts whose Vpp shares the OE pin
// (and the 1 MB and 4 MB sizes). Reading such a part means taking Vpp off,
// so pass 1 pulses every byte once with Vpp held on throughout, and pass 2
// reads every byte with Vpp off and reprograms only those that fail.
#include "families/parallel/uv_eprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::uv_eprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

// The waits that tell K from L, in ticks (0: none).
struct TwoPass {
  int data_settle;     // pass 1: drive line on -> data
  int pulse_settle;    // pass 1: data -> pulse
  int pulse_extra;     // pass 1: added to tWP
  int wait_extra;      // pass 1: added to tWC
  int release_settle;  // pass 2: program line off -> address
  int address_settle;  // pass 2: address -> Vpp on
  int repulse;         // pass 2: the reprogramming pulse
  int drive_settle;    // pass 2: outputs on -> CE active
  int read_settle;     // pass 2: CE active -> read
};
constexpr TwoPass kK{10, 10, 50, 50, 5, 5, 200, 10, 10};
constexpr TwoPass kL{1, 0, 0, 0, 1, 4, 150, 0, 8};

// A byte that still reads wrong after this many reprogramming pulses fails.
constexpr int kRepulses = 26;

// Pass 1 for one byte: address, data driven, one pulse, Vpp stays on.
void Pulse(app::Programmer& p, const TwoPass& t, uint32_t address, uint8_t b) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  Wait(bus, t.data_settle);
  bus.WriteBusByte(b);
  Wait(bus, t.pulse_settle);
  Bit(bus, kProgram, true);  // CE/PGM: the pulse
  bus.DelayTicks(p.dev.twp + t.pulse_extra);
  Bit(bus, kProgram, false);
  bus.DelayTicks(p.dev.twc + t.wait_extra);
}

// Pass 2's read: Vpp is off, so CE active and OE low give the byte.
uint8_t ReadBack(app::Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  Bit(bus, kProgram, true);
  bus.DelayTicks(5);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kProgram, false);
  bus.DelayTicks(2);
  return r;
}

// Pass 2's reprogramming: Vpp on, the byte driven, one pulse, Vpp off, read.
// The port drives the bus before the byte goes out, as in pass 1: a byte
// written with the bus released never reaches the part (the pull-ups
// program 0xFF) and, with the shift clock ungated, can move the address.
uint8_t Reprogram(app::Programmer& p, const TwoPass& t, uint32_t address, uint8_t b) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  Wait(bus, t.release_settle);
  bus.ShiftAddress(address);
  Wait(bus, t.address_settle);
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(400);
  Bit(bus, kDrive, true);
  bus.WriteBusByte(b);
  bus.DelayTicks(5);
  Bit(bus, kProgram, true);  // the pulse
  bus.DelayTicks(t.repulse);
  Bit(bus, kProgram, false);
  bus.DelayTicks(50);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(800);
  bus.WriteData();
  Bit(bus, kDrive, false);
  Wait(bus, t.drive_settle);
  Bit(bus, kProgram, true);  // CE active
  bus.DelayTicks(t.read_settle);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kProgram, false);
  return r;
}

void RunTwoPass(app::Programmer& p, const TwoPass& t) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  GenericPrologue(p);

  const uint32_t offset = p.image.buffer_offset;
  const bool skip_ff = SkipFF(p);
  for (uint64_t n = 0; n < run.span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint8_t b = p.image[i];
    if (!(b == 0xFF && skip_ff)) Pulse(p, t, offset + i, b);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      EndProgram(p, run, Verify);
      return;
    }
  }

  Bit(bus, kStrobe, true);  // Vpp off for pass 2
  bus.DelayTicks(1000);
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.DelayTicks(1000);
  p.SetProcessGauge("programming chip", run.span.last, app::colour::kRed);
  p.error = 0;
  bus.ShiftAddress(0xFFFFFF);

  // The panels show how hard the part was: pass 1's pulse and wait, and the
  // most pulses any byte took.
  Peaks peaks;
  const int width = p.dev.twp + t.pulse_extra;
  const int wait = p.dev.twc + t.wait_extra;
  for (uint64_t n = 0; n < run.span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint8_t b = p.image[i];
    uint8_t r = ReadBack(p, offset + i);
    int repulses = 0;
    while (r != b) {
      if (repulses == kRepulses) {
        ReportProgramMismatch(p, i, r);
        p.error = 1;
        EndProgram(p, run, Verify);
        return;
      }
      r = Reprogram(p, t, offset + i, b);
      ++repulses;
    }
    peaks.Raise(p, 1 + repulses, wait, width);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  EndProgram(p, run, Verify);
}

}  // namespace

void ProgramK(app::Programmer& p) { RunTwoPass(p, kK); }
void ProgramL(app::Programmer& p) { RunTwoPass(p, kL); }

}  // namespace families::uv_eprom
