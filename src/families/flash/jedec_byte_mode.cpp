// P4 to P7: the 8/16-bit parts driven in byte mode (family 15), with the
// byte-mode unlock set of their own.
#include <algorithm>
#include <cstdio>

#include "families/flash/flash_frame.h"
#include "families/flash/jedec.h"
#include "families/flash/jedec_cycle.h"
#include "families/flash/jedec_loop.h"

namespace families::jedec {

using namespace flash;

namespace {

// The opening P4 to P7 share: power, 12 V on #RESET while the temporary
// unprotect box is checked, an idle address.
void Open(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Vpp(bus, TemporaryUnprotect(p));
  bus.DelayTicks(500);
  bus.ShiftAddress(0xFFFFFF);
  p.error = 0;
}

// The closing: #RESET back to logic level, the verify, the data end, power.
void Close(app::Programmer& p, const ProgramRun& run) {
  Vpp(p.bus, false);
  p.bus.DelayTicks(500);
  VerifyAndFinish(p, run);
  p.bus.PowerDown();
}

// WE# for `ticks` with the byte already on the bus.
void Strobe(hw::Bus& bus, int32_t ticks) {
  Bit(bus, kProgram, true);
  Wait(bus, ticks);
  Bit(bus, kProgram, false);
}

// The socket power dipped for 400 ticks before a resend. 12 V comes off the
// #RESET pin first and the address lines go low, so nothing feeds the part
// while it is unpowered; after the dip the part gets the opening's settle
// time before 12 V returns, and again before the next command.
void PowerDip(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Vpp(bus, false);
  bus.ShiftAddress(0);
  Bit(bus, kPower, false);
  bus.DelayTicks(400);
  Bit(bus, kPower, true);
  bus.DelayTicks(500);
  if (TemporaryUnprotect(p)) {
    Vpp(bus, true);
    bus.DelayTicks(500);
  }
}

constexpr PollWay kBypassPoll{.read_wait_100ns = 2, .rewrite_each_poll = false};

}  // namespace

void P4(app::Programmer& p) {
  if (FastMode(p)) {
    p.dev.single_pulse ? P6(p) : P5(p);
    return;
  }
  if (p.dev.page_program) {
    P7(p);
    return;
  }
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  Open(p);
  const bool fast = FastCommand(p);
  const uint32_t offset = p.image.buffer_offset;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
    // The read-back wait grows by 20 ticks a resend, up to 100.
    const int32_t wait = attempt == 1 ? d.twc : std::min(d.twc + 20 * (attempt - 1), 100);
    if (fast) {
      FastCommand(bus, d.byte_mode_unlock, 0xA0, true, 2);
    } else {
      CommandSequence(bus, d.byte_mode_unlock, {0xAA, 0x55, 0xA0}, kModeCycle);
    }
    bus.ShiftAddress(offset + j);
    Bit(bus, kDrive, true);
    bus.WriteBusByte(data);
    Strobe(bus, d.twp);
    Wait(bus, wait);
    bus.WriteBusByte(0x00);
    Bit(bus, kDrive, false);
    read = bus.ReadDataByte();
    if (read == data) return PollEnd::kDone;
    if (attempt == 10) return PollEnd::kFailed;
    PowerDip(p);
    return PollEnd::kRetry;
  });
  Close(p, run);
}

void P5(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  Open(p);
  CommandSequence(bus, d.byte_mode_unlock, {0xAA, 0x55, 0x20}, kModeCycle);  // enter bypass
  const uint32_t offset = p.image.buffer_offset;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
    bus.ShiftAddress(offset + j);
    Bit(bus, kDrive, true);
    bus.WriteBusByte(0xA0);
    bus.DelayTicks(1);
    Strobe(bus, 2);
    bus.DelayTicks(5);
    bus.WriteBusByte(data);
    bus.Delay100ns(1);
    Strobe(bus, d.twp);
    Wait(bus, d.twc);
    return PollByte(p, data, attempt, kBypassPoll, read);
  });
  Vpp(bus, false);
  bus.DelayTicks(500);
  // Leave bypass, unless a failure already powered the part down.
  if (Powered(bus)) {
    CommandCycle(bus, 0xAAAA, 0x90, kModeCycle);
    CommandCycle(bus, 0x5555, 0xF0, kModeCycle);
  }
  VerifyAndFinish(p, run);
  bus.PowerDown();
}

// In single-pulse mode every write programs the byte at its address, so a
// byte is one data write: an 0xA0 written first would itself be programmed.
void P6(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  Open(p);
  CommandSequence(bus, d.byte_mode_unlock, {0xAA, 0x55, 0x80, 0xAA, 0x55, 0xA0}, kModeCycle);
  const uint32_t offset = p.image.buffer_offset;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
    bus.ShiftAddress(offset + j);
    Bit(bus, kDrive, true);
    bus.WriteBusByte(data);
    bus.Delay100ns(1);
    Strobe(bus, d.twp);
    Wait(bus, d.twc);
    return PollByte(p, data, attempt, kBypassPoll, read);
  });
  Close(p, run);
}

// The MX29F1610 signals completion by data polling: DQ7 reads the
// complement of the byte's bit 7 until it is programmed, and DQ5 rises when
// the part gives up. So the poll waits for DQ7 to equal bit 7 of the byte
// (whatever that bit is) and takes DQ5 as the failure the status text names.
void P7(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  Open(p);
  const uint32_t offset = p.image.buffer_offset;
  const auto read_status = [&bus] {
    Bit(bus, kDrive, false);
    bus.DelayTicks(1);
    const uint8_t s = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    bus.DelayTicks(1);
    return s;
  };
  RunByteLoop(
      p, run,
      [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
        FastCommand(bus, d.byte_mode_unlock, 0xA0, true, 2);
        bus.ShiftAddress(offset + j);
        Bit(bus, kDrive, true);
        bus.WriteBusByte(data);
        bus.DelayTicks(1);
        Strobe(bus, d.twp);
        bus.DelayTicks(120);
        bus.WriteData();
        PollBound bound(p);
        char text[32];
        for (int elapsed = 100;; elapsed += 100) {
          read = read_status();
          std::snprintf(text, sizeof text, " %d uS", elapsed);
          p.controls.SetText("pLoopp", text);
          if (((read ^ data) & 0x80) == 0) break;
          if ((read & 0x20) != 0) {
            read = read_status();  // DQ7 may have settled as DQ5 rose
            if (((read ^ data) & 0x80) == 0) break;
            p.host.ControlsChanged();
            p.Message("Program ERROR (SR4 = 1)", hw::kError);
            p.error = 1;
            return kReported;
          }
          if (Pump(p)) return PollEnd::kCancelled;
          if (bound.Expired()) return PollEnd::kFailed;
        }
        bus.WriteData();
        Bit(bus, kDrive, true);
        bus.DelayTicks(3);
        Bit(bus, kDrive, false);
        bus.DelayTicks(3);
        read = bus.ReadDataByte();
        if (read != p.image[j]) return attempt > 10 ? PollEnd::kFailed : PollEnd::kRetry;
        std::snprintf(text, sizeof text, " 0x%X ", j);
        p.controls.SetText("pTwcp", text);
        p.host.ControlsChanged();
        return PollEnd::kDone;
      },
      true);
  Close(p, run);
}

}  // namespace families::jedec
