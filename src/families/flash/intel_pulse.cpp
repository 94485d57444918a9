// The 12 V 28F parts the host times or that program a byte per command:
// I1 quick-pulse program (and the 0x00 fill that opens I3's erase), I2
// embedded program, I11 MX28F program, I3 quick erase.
#include <algorithm>

#include "families/flash/flash_frame.h"
#include "families/flash/intel.h"

namespace families::intel {

using namespace flash;

namespace {

// One try at one byte: the command sequence, the read back.
using Attempt = uint8_t (*)(app::Programmer& p, uint32_t address, uint8_t d, int pulse);

struct Pulsed {
  const char* verify_caption;
  uint32_t idle_address;  // loaded before 12 V goes on
  int32_t release_wait;   // after 12 V comes off
  Attempt attempt;
  bool read_again;  // a failed byte is read once more for the report
};

// 0x40, the byte, the program runs until 0xC0 ends it and sets up the
// verify read.
uint8_t QuickPulse(app::Programmer& p, uint32_t address, uint8_t d, int) {
  hw::Bus& bus = p.bus;
  const int32_t twp = p.dev.twp;
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.DelayTicks(5);
  bus.WriteBusByte(0x40);
  bus.DelayTicks(5);
  bus.ProgramPulse(twp);
  bus.DelayTicks(5);
  bus.WriteBusByte(d);
  bus.DelayTicks(5);
  bus.ProgramPulse(twp);
  bus.DelayTicks(20);
  bus.WriteBusByte(0xC0);
  bus.DelayTicks(5);
  bus.ProgramPulse(twp);
  bus.DelayTicks(15);
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.DelayTicks(10);
  return bus.ReadDataByte();
}

// 0x50 and the byte; the part programs it itself. The read-back wait
// grows by 20 ticks a try.
uint8_t Embedded(app::Programmer& p, uint32_t address, uint8_t d, int pulse) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.DelayTicks(5);
  bus.WriteBusByte(0x50);
  bus.DelayTicks(10);
  bus.ProgramPulse(10);
  bus.DelayTicks(10);
  bus.WriteBusByte(d);
  bus.ProgramPulse(10);
  bus.DelayTicks(50 + 20 * (pulse - 1));
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.DelayTicks(10);
  return bus.ReadDataByte();
}

// MX28F: 0x40 and the byte, read back after 40 ticks.
uint8_t Mx28f(app::Programmer& p, uint32_t address, uint8_t d, int) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.DelayTicks(8);
  bus.WriteBusByte(0x40);
  bus.DelayTicks(8);
  bus.ProgramPulse(8);
  bus.DelayTicks(10);
  bus.WriteBusByte(d);
  bus.ProgramPulse(8);
  bus.DelayTicks(35);
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.DelayTicks(5);
  return bus.ReadDataByte();
}

constexpr Pulsed kI1{"verifying chip", 0xFFFF, 100, &QuickPulse, true};
constexpr Pulsed kI2{"verifying chip", 0x0, 500, &Embedded, false};
constexpr Pulsed kI11{"Verifying chip", 0xFFFFF, 500, &Mx28f, false};

// A byte gets at most 26 tries.
constexpr int kTries = 26;

enum class End { kDone, kFailed, kCancelled };

// The loop over chip addresses first .. first + last, image bytes 0 .. last
// (the 0x00 fill writes 0x00 everywhere instead), 12 V around it.
End Loop(app::Programmer& p, const Pulsed& w, uint32_t first, uint32_t last, bool fill) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(w.idle_address);
  Vpp(bus, true);
  bus.DelayTicks(1000);
  const bool skip_ff = !fill && uv_eprom::SkipFF(p);
  End end = End::kDone;
  for (uint64_t n = 0; n <= last && end == End::kDone; ++n) {
    const auto j = static_cast<uint32_t>(n);
    const uint8_t d = fill ? 0x00 : p.image[j];
    if (!(skip_ff && d == 0xFF)) {
      for (int pulse = 1;; ++pulse) {
        uint8_t r = w.attempt(p, first + j, d, pulse);
        if (r == d) break;
        if (pulse == kTries) {
          if (w.read_again) r = bus.ReadDataByte();
          p.ReportMismatchAt(first + j, d, r);
          p.error = 1;
          return End::kFailed;
        }
      }
    }
    // Cancel counts after every byte; the gauge moves once a progress step.
    const bool tick = p.ProgressTick(j);
    if (tick || p.cancel.load(std::memory_order_relaxed) != 0) end = End::kCancelled;
  }
  Vpp(bus, false);
  bus.DelayTicks(w.release_wait);
  return end;
}

// The routines' own verify pass: "Device Compares OK" when every byte
// equals the image.
void OwnVerify(app::Programmer& p, const char* caption, uint32_t first, uint32_t last) {
  hw::Bus& bus = p.bus;
  p.SetProcessGauge(caption, last, app::colour::kGreen);
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFF);
  for (uint64_t n = 0; n <= last; ++n) {
    const auto j = static_cast<uint32_t>(n);
    bus.ShiftAddress(first + j);
    Bit(bus, kDrive, true);
    Bit(bus, kDrive, false);
    const uint8_t r = bus.ReadDataByte();
    if (r != p.image[j]) {
      p.ReportMismatchAt(first + j, p.image[j], r);
      p.error = 1;
      return;
    }
    if (p.ProgressTick(j)) {
      p.ShowProgress(1, 0, 0);
      bus.PowerDown();
      return;
    }
  }
  p.Message("Device Compares OK", hw::kResult);
  bus.PowerDown();
}

void Program(app::Programmer& p, const Pulsed& w) {
  const uint32_t kept = p.image.data_end;
  if (p.image.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  if (span.empty) return;
  p.SetProcessGauge("Programming chip", span.last, app::colour::kRed);
  p.error = 0;
  const uint32_t offset = p.image.buffer_offset;
  const End end = Loop(p, w, offset, span.last, false);
  p.bus.PowerDown();
  if (end == End::kCancelled) p.ShowProgress(1, 0, 0);
  if (end == End::kDone) OwnVerify(p, w.verify_caption, offset, span.last);
  p.image.data_end = kept;
}

// I3's first pass: every cell of the chip to 0x00, so the erase that
// follows starts from programmed cells (erasing an erased cell drives it
// into depletion). It covers chip addresses 0 .. size - 1 whatever the
// buffer offset, and counts its own progress.
End Fill(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.InitProgressStep(size);
  p.SetProcessGauge("Erasing chip #1 ( Fill 0x00 )", size - 1, app::colour::kWhite);
  return Loop(p, kI1, 0, size - 1, true);
}

void EraseInterrupted(app::Programmer& p) {
  p.Message("Erase interrupted!", hw::kError);
  p.error = 1;
  p.bus.PowerDown();
}

}  // namespace

void I1(app::Programmer& p) { Program(p, kI1); }
void I2(app::Programmer& p) { Program(p, kI2); }
void I11(app::Programmer& p) { Program(p, kI11); }

void I3(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const uint32_t size = p.image.device_size;
  const bool fast = p.controls.Checked("cb28FastErase");
  p.error = 0;
  if (!fast) {
    const End filled = Fill(p);
    if (filled == End::kCancelled) return EraseInterrupted(p);
    if (filled == End::kFailed) return;  // the byte that would not take 0x00 is shown
  }
  p.InitProgressStep(size);
  p.SetProcessGauge("Erasing chip and Erase Verify", size, app::colour::kWhite);
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFF);
  Vpp(bus, true);
  bus.DelayTicks(1000);
  uint32_t address = 0;
  bus.ShiftAddress(address);  // the verify starts at chip address 0
  for (int pulses = 1;; ++pulses) {
    // An erase pulse: 0x20, 0x20, about 25 ms until the verify command ends it.
    bus.SetCtrl(kDrive, true);
    bus.SetCtrl(kProgram, false);
    bus.WriteCtrl();
    bus.DelayTicks(5);
    bus.WriteBusByte(0x20);
    bus.DelayTicks(5);
    bus.ProgramPulse(8);
    bus.DelayTicks(5);
    bus.WriteBusByte(0x20);
    bus.DelayTicks(10);
    bus.ProgramPulse(8);
    bus.DelayTicks(30000);
    for (;;) {
      // Erase verify at the address in the registers.
      Bit(bus, kDrive, true);
      bus.WriteBusByte(0xA0);
      bus.DelayTicks(10);
      bus.ProgramPulse(8);
      bus.DelayTicks(20);
      bus.WriteData();
      Bit(bus, kDrive, false);
      bus.DelayTicks(15);
      if (bus.ReadDataByte() != 0xFF) break;
      address += fast ? 20 : 1;
      bus.ShiftAddress(address);
      if (p.ProgressTick(address) || Pump(p)) return EraseInterrupted(p);
      if (address >= size) {
        p.Message("Erase Completed", hw::kResult);
        bus.PowerDown();
        return;
      }
    }
    if (pulses > 1000) {
      p.ReportError("Error erasing chip");
      p.error = 1;
      return;
    }
    if (Pump(p)) return EraseInterrupted(p);
  }
}

}  // namespace families::intel
