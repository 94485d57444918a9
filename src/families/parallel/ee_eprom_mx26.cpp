// The MX26C1000/2000: an EPROM-pinout part programmed and erased through a
// command register that is live while Vpp is applied. The host times each
// operation: a program lasts from its data write to the program-verify
// command, an erase from its confirm to the erase-verify command.
#include <cstdio>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/ee_eprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::ee_eprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;
using uv_eprom::Bit;

constexpr uint8_t kProgramSetup = 0x40;
constexpr uint8_t kProgramVerify = 0xC0;
constexpr uint8_t kEraseSetup = 0x20;
constexpr uint8_t kEraseConfirm = 0x20;
constexpr uint8_t kEraseVerify = 0xA0;

constexpr int kProgramAttempts = 26;
constexpr int kEraseRepetitions = 30;  // more than this at one address fails

// A command: the byte on the bus, a WE# pulse.
void Command(hw::Bus& bus, uint8_t command, int settle, int pulse) {
  bus.WriteBusByte(command);
  bus.DelayTicks(settle);
  bus.ProgramPulse(pulse);
}

// Step 3 of both: a last command with the data shadow on the bus, then Vpp
// off.
void LeaveCommandMode(hw::Bus& bus, int settle) {
  Bit(bus, kDrive, true);
  bus.WriteData();
  bus.DelayTicks(10);
  bus.ProgramPulse(10);
  bus.DelayTicks(20);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(settle);
}

// Program set-up, the byte, program verify; the part then shows the byte it
// holds.
uint8_t ProgramAttempt(hw::Bus& bus, uint32_t address, uint8_t b) {
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.DelayTicks(8);
  Command(bus, kProgramSetup, 8, 8);
  bus.DelayTicks(10);
  bus.WriteBusByte(b);
  bus.ProgramPulse(8);  // the program runs from here
  bus.DelayTicks(30);
  Command(bus, kProgramVerify, 8, 8);  // ... to here
  bus.DelayTicks(20);
  bus.WriteData();
  Bit(bus, kDrive, false);  // OE# low
  bus.DelayTicks(5);
  return bus.ReadDataByte();
}

// Erase set-up and confirm, then the erase time.
void EraseOnce(hw::Bus& bus) {
  Command(bus, kEraseSetup, 30, 15);
  bus.DelayTicks(30);
  Command(bus, kEraseConfirm, 30, 15);
  for (int i = 0; i < 15; ++i) bus.DelayTicks(10000);
}

// Erase verify at the address shifted last: the part shows that byte.
uint8_t EraseVerify(hw::Bus& bus) {
  Command(bus, kEraseVerify, 8, 8);
  bus.DelayTicks(20);
  bus.WriteData();
  Bit(bus, kDrive, false);  // OE# low
  bus.DelayTicks(8);
  return bus.ReadDataByte();
}

// Program and erase start the same way: Vpp on at address 0.
void EnterCommandMode(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0);
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(1000);
}

}  // namespace

void ProgramMx26(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(img);
  if (span.empty) return;
  p.SetProcessGauge("programming chip", span.last, app::colour::kRed);
  hw::Bus& bus = p.bus;
  p.error = 0;
  EnterCommandMode(p);

  const uint32_t offset = img.buffer_offset;
  const bool skip_ff = uv_eprom::SkipFF(p);
  bool failed = false;
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t b = img[i];
    if (skip_ff && b == 0xFF) return true;
    for (int attempt = 1;; ++attempt) {
      const uint8_t r = ProgramAttempt(bus, offset + i, b);
      if (r == b) return true;
      if (attempt == kProgramAttempts) {
        // The report powers the socket down: the run ends here, no verify.
        p.ReportMismatchAt(offset + i, b, r);
        p.error = 1;
        failed = true;
        return false;
      }
    }
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (!failed) LeaveCommandMode(bus, 500);

  if (end == app::LoopEnd::kDone) {
    p.SetProcessGauge("Verifying chip", span.last, app::colour::kGreen);
    for (uint64_t n = 0; n < span.count(); ++n) {
      const auto i = static_cast<uint32_t>(n);
      bus.ShiftAddress(offset + i);
      if (bus.ReadDataByte() != img[i]) {
        char text[32];
        std::snprintf(text, sizeof text, "Error at $%6x", offset + i);
        p.Message(text, hw::kError);
        p.error = 1;
        break;
      }
    }
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  bus.PowerDown();
}

void EraseMx26(app::Programmer& p) {
  // The whole part from address 0, whatever the offset says: an erase that
  // leaves addresses unverified is no erase.
  const uint32_t size = p.image.full_device_size;
  p.InitProgressStep(size);
  p.SetProcessGauge("Erase Chip / Erase Verify ", size, app::colour::kRed);
  hw::Bus& bus = p.bus;
  EnterCommandMode(p);
  Bit(bus, kDrive, true);
  bus.DelayTicks(15);
  EraseOnce(bus);

  bool erased = true;
  int repetitions = 0;
  for (uint32_t a = 0; a < size;) {
    if (EraseVerify(bus) == 0xFF) {
      repetitions = 0;
      ++a;
      bus.ShiftAddress(a);
      Bit(bus, kDrive, true);
      if (p.ProgressTick(a)) {
        p.ShowProgress(1, 0, 0);
        erased = false;
        break;
      }
      continue;
    }
    if (repetitions == kEraseRepetitions + 1) {
      p.ReportError("Error erasing chip");
      p.error = 1;
      erased = false;
      break;
    }
    // Erase again and go on verifying from this address. The commands need
    // the bus driven, which the verify's read left off.
    Bit(bus, kDrive, true);
    EraseOnce(bus);
    ++repetitions;
  }
  if (erased) {
    LeaveCommandMode(bus, 1000);
    p.Message("Erase Completed", hw::kResult);
  }
  bus.PowerDown();
}

}  // namespace families::ee_eprom
