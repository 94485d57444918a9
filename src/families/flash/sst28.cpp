// The SST28SF040A and LE28F4001 (families 24, 25): single-byte commands
// behind the read-only software unprotect.
#include "families/flash/flash_frame.h"
#include "families/flash/flash_id.h"
#include "families/flash/jedec.h"
#include "families/flash/jedec_loop.h"

namespace families::jedec {

using namespace flash;

namespace {

// Seven reads the part takes as "unprotect": each address shifted while
// OE# is low, then OE# raised, which is when the part looks at it.
void SoftwareUnprotect(hw::Bus& bus, int32_t settle) {
  for (const uint32_t a : {0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x041A}) {
    Bit(bus, kDrive, false);
    bus.SetAddress(a, 2);
    bus.DelayTicks(10);
    Bit(bus, kDrive, true);
    Wait(bus, settle);
  }
}

// A single-byte command at whatever address the registers hold.
void Command(hw::Bus& bus, uint8_t code, const app::Descriptor& d) {
  bus.PutData(code, 0);
  bus.DelayTicks(4);
  bus.ProgramPulse(d.twp);
  Wait(bus, d.twc);
}

}  // namespace

void P8(app::Programmer& p) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  Bit(bus, kProgram, false);
  Bit(bus, kDrive, true);
  Bit(bus, kProgram, false);
  bus.DelayTicks(5000);
  SoftwareUnprotect(bus, d.twc);
  bus.DelayTicks(2000);
  const uint32_t offset = p.image.buffer_offset;
  bool failed = false;
  RunByteLoop(p, run, [&](uint32_t j, uint8_t data, int attempt, uint8_t& read) {
    // Each resend pulses and waits 10 ticks longer.
    const int32_t w1 = d.twp + 10 * (attempt - 1);
    const int32_t w2 = d.twc + 10 * (attempt - 1);
    bus.SetAddress(offset + j, 0);
    bus.DelayTicks(4);
    bus.PutData(0x10, 2);
    bus.DelayTicks(4);
    bus.ProgramPulse(w1);
    Wait(bus, w2);
    bus.PutData(data, 2);
    Bit(bus, kProgram, true);
    Wait(bus, w1);
    Bit(bus, kProgram, false);
    Wait(bus, w2);
    bus.DelayTicks(2);
    bus.WriteData();
    Bit(bus, kDrive, false);
    read = bus.ReadDataByte();
    if (read == data) return PollEnd::kDone;
    if (attempt > 10) {
      failed = true;
      return PollEnd::kFailed;
    }
    bus.DelayTicks(10);
    return PollEnd::kRetry;
  });
  if (!failed) {
    // The verify runs after Cancel as well; it starts by clearing the
    // error flag and judges the chip as it is.
    p.verify_after_program = 1;
    app::DefaultVerify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.image.data_end = run.kept_data_end;
  bus.PowerDown();
}

void E3(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  p.SetProcessGauge("erasing chip", 25, app::colour::kRed);
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  Bit(bus, kDrive, true);
  bus.DelayTicks(2000);
  SoftwareUnprotect(bus, 20);
  bus.SetAddress(0, 0);
  bus.DelayTicks(4);
  Command(bus, 0x30, d);
  Command(bus, 0x30, d);
  // The part is not polled: the passes outlast its erase time.
  for (int pass = 0; pass < 25; ++pass) {
    if (p.Refresh(pass)) {
      p.ShowProgress(1, 0, 0);
      bus.PowerDown();
      return;
    }
    bus.DelayTicks(20000);
  }
  p.Message("erase completed", hw::kResult);
  bus.PowerDown();
}

void E4(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  const uint32_t size = p.image.device_size;
  p.SetProcessGauge("Sector erasing chip ", int64_t{size} - 1, app::colour::kRed);
  bus.PowerUp();
  bus.ShiftAddress(0xFFFFFF);
  Bit(bus, kDrive, true);
  bus.DelayTicks(2000);
  SoftwareUnprotect(bus, 20);
  Bit(bus, kDrive, true);
  bus.DelayTicks(100);
  for (uint32_t s = 0; s + 1 < size; s += 256) {
    Bit(bus, kDrive, true);
    bus.DelayTicks(4);
    Command(bus, 0x20, d);
    bus.SetAddress(s, 1);
    bus.DelayTicks(4);
    bus.PutData(0xD0, 1);
    bus.DelayTicks(4);
    Bit(bus, kProgram, true);
    Wait(bus, d.twp);
    Bit(bus, kProgram, false);
    bus.DelayTicks(4000);
    if (p.Refresh(s)) {
      p.ShowProgress(1, 0, 0);
      bus.PowerDown();
      return;
    }
  }
  p.Message("Sector Erase All completed", hw::kResult);
  bus.PowerDown();
}

void G4(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const app::Descriptor& d = p.dev;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  bus.SetAddress(0, 0);
  bus.DelayTicks(4);
  Command(bus, 0x90, d);
  bus.DelayTicks(100);
  // Each read address goes in with the outputs on: read straight after
  // the command the path would hold the command byte itself.
  bus.SetAddress(0, 0);
  const uint8_t manufacturer = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  bus.DelayTicks(100);
  Command(bus, 0x90, d);
  bus.SetAddress(1, 0);
  const uint8_t device = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  bus.DelayTicks(100);
  bus.PowerDown();
  // No query on these parts: an earlier chip's CFI table must not stay.
  p.dev.cfi.fill(0);
  p.dev.id_extra = app::Descriptor::IdExtra::kNone;
  Identify(p, manufacturer, device);
}

}  // namespace families::jedec
