// P1, P2 and P3: byte program of the 8-bit JEDEC parts, with the #RESET/Vpp
// pin of the boot-block parts, and in unlock-bypass mode.
#include "families/flash/flash_frame.h"
#include "families/flash/jedec.h"
#include "families/flash/jedec_cycle.h"
#include "families/flash/jedec_loop.h"

namespace families::jedec {

using namespace flash;

namespace {

// P1 and P2 differ only in the #RESET/Vpp pin, the idle address and one
// 0.1 us wait.
void ByteProgram(app::Programmer& p, bool reset_pin) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  bus.PowerUp();
  if (reset_pin) {
    Bit(bus, kProgram, false);
    Vpp(bus, TemporaryUnprotect(p));  // 12 V on #RESET, or the pin left alone
    bus.DelayTicks(1000);
  }
  bus.ShiftAddress(reset_pin ? 0xFFFF : 0xFFFFFF);
  p.error = 0;
  const bool fast = FastCommand(p);
  const uint32_t offset = p.image.buffer_offset;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
    if (fast) {
      FastCommand(bus, d.unlock, 0xA0, false, d.twp);
    } else {
      CommandSequence(bus, d.unlock, {0xAA, 0x55, 0xA0}, Cycle{.pulse = d.twp, .pause_100ns = 2});
    }
    bus.ShiftAddress(offset + j);
    Bit(bus, kDrive, true);
    if (!reset_pin) bus.Delay100ns(1);
    bus.WriteBusByte(data);
    bus.Delay100ns(1);
    bus.ProgramPulse(d.twp);
    Wait(bus, d.twc);
    return PollByte(p, data, attempt, {}, read);
  });
  if (reset_pin) {
    Vpp(bus, false);
    bus.DelayTicks(100);
  }
  VerifyAndFinish(p, run);
  bus.PowerDown();
}

}  // namespace

void P1(app::Programmer& p) { ByteProgram(p, false); }

void P2(app::Programmer& p) {
  if (FastMode(p)) {
    P3(p);
    return;
  }
  ByteProgram(p, true);
}

void P3(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  bus.PowerUp();
  Vpp(bus, TemporaryUnprotect(p));
  bus.DelayTicks(500);
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
  CommandSequence(bus, d.unlock, {0xAA, 0x55, 0x20}, kModeCycle);  // enter unlock bypass
  const uint32_t offset = p.image.buffer_offset;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
    bus.ShiftAddress(offset + j);
    Bit(bus, kDrive, true);
    bus.WriteBusByte(0xA0);
    bus.Delay100ns(2);
    Bit(bus, kProgram, true);
    bus.DelayTicks(2);
    Bit(bus, kProgram, false);
    bus.DelayTicks(3);
    bus.WriteBusByte(data);
    bus.Delay100ns(2);
    Bit(bus, kProgram, true);
    Wait(bus, d.twp);
    Bit(bus, kProgram, false);
    Wait(bus, d.twc);
    return PollByte(p, data, attempt, {.read_wait_100ns = 2}, read);
  });
  Vpp(bus, false);
  bus.DelayTicks(1500);
  // Leave unlock bypass; a failure has already powered the part down, which
  // ends the mode, and nothing may be driven into an unpowered part.
  if (Powered(bus)) {
    CommandCycle(bus, d.unlock[0], 0x90, kModeCycle);
    CommandCycle(bus, d.unlock[1], 0x00, kModeCycle);
  }
  VerifyAndFinish(p, run);
  bus.PowerDown();
}

}  // namespace families::jedec
