// MCS-48: EA at the programming voltage selects programming mode, TEST0
// chooses between programming and verifying, RESET latches the address, and
// a program pulse is the program line held low for about 42 ms. After the
// first kilobyte EA drops for about 25 ms before the next address.
#include "families/mcu/mcs48.h"

#include <string>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "app/programmer.h"
#include "image/buffer_ops.h"

namespace families::mcs48 {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

constexpr uint32_t kGreen = 0x8000;
constexpr uint32_t kFirstKilobyteEnd = 0x3FF;
constexpr int kProgramAttempts = 10;
constexpr int kReads = 5;  // a byte must read wrong this often to count
constexpr int kPulseTicks = 50000;

void Bit(hw::Bus& bus, int n, bool v) {
  bus.SetCtrl(n, v);
  bus.WriteCtrl();
}

// How each routine enters programming mode: the waits after raising the
// program line, after releasing the bus and after raising EA, and the
// all-ones address in between.
struct Entry {
  int32_t after_program_line;
  uint32_t address;
  int32_t after_release;
  int32_t after_ea;
};
constexpr Entry kReadEntry{2000, 0xFFF, 2000, 1000};
constexpr Entry kVerifyEntry{1000, 0xFFF, 2000, 5000};
constexpr Entry kBlankEntry{1000, 0xFFF, 2500, 5000};
constexpr Entry kProgramEntry{2000, 0xFFFF, 2500, 5000};

void Enter(Programmer& p, const Entry& e) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, true);
  bus.DelayTicks(e.after_program_line);
  bus.ShiftAddress(e.address);
  Bit(bus, kDrive, false);
  bus.DelayTicks(e.after_release);
  Bit(bus, kStrobe, false);  // EA to the programming voltage
  bus.DelayTicks(e.after_ea);
}

// EA down first: powering down with EA still high would pulse the program
// line (PowerDown lowers control bit 3 before anything else).
void DropEa(Programmer& p) {
  Bit(p.bus, kStrobe, true);
  p.bus.DelayTicks(2000);
}

void Leave(Programmer& p) {
  DropEa(p);
  p.bus.PowerDown();
}

// Between 0x3FF and 0x400 EA drops for about 25 ms.
void PauseAfterFirstKilobyte(Programmer& p, uint32_t i, uint32_t last) {
  if (i != kFirstKilobyteEnd || i >= last) return;
  Bit(p.bus, kStrobe, true);
  p.bus.DelayTicks(30000);
  Bit(p.bus, kStrobe, false);
  p.bus.DelayTicks(5000);
}

// One verify-mode read of the latched address: bus released for a few
// microseconds, which RESET's RC network does not pass.
uint8_t ReadLatched(Programmer& p, int32_t before, int32_t after_release) {
  hw::Bus& bus = p.bus;
  bus.WriteBusByte(0);
  bus.DelayTicks(before);
  Bit(bus, kDrive, false);
  bus.DelayTicks(after_release);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  return r;
}

// Up to kReads reads of address i until it equals `expected`.
uint8_t ReadAddress(Programmer& p, uint32_t i, uint8_t expected, int32_t before,
                    int32_t after_release) {
  SetAddress48(p, i, kVerifyMode);
  uint8_t r = ReadLatched(p, before, after_release);
  for (int n = 1; n < kReads && r != expected; ++n) r = ReadLatched(p, before, after_release);
  return r;
}

}  // namespace

void SetAddress48(Programmer& p, uint32_t address, uint32_t mode) {
  hw::Bus& bus = p.bus;
  bus.WriteBusByte(0);
  bus.DelayTicks(10);
  Bit(bus, kDrive, false);  // RESET goes low
  bus.DelayTicks(3000);
  bus.ShiftAddress(((address >> 8) & 0x0F) | mode);
  Bit(bus, kDrive, true);  // RESET comes up and latches the low byte
  bus.WriteBusByte(static_cast<uint8_t>(address & 0xFF));
  bus.DelayTicks(2500);
}

void Read48(Programmer& p) {
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  app::ClearImage(p, image::kFill00);
  p.SetProcessGauge("Reading Chip MCS-48/41", img.device_size, app::colour::kBlack);
  p.host.ProcessEvents();
  Enter(p, kReadEntry);
  bool cancelled = false;
  for (uint32_t i = 0; i < img.device_size; ++i) {
    SetAddress48(p, i, kVerifyMode);
    bus.WriteBusByte(0);
    bus.DelayTicks(20);
    Bit(bus, kDrive, false);
    bus.DelayTicks(5);
    img[i] = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    if (p.ProgressTick(i)) {
      cancelled = true;
      break;
    }
    PauseAfterFirstKilobyte(p, i, img.device_size - 1);
  }
  Leave(p);
  if (cancelled) {
    p.Message("Process Cancelled", hw::kError);
    return;
  }
  p.Message("Chip read OK", hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
  img.data_end = img.device_size;
}

void Verify48(Programmer& p) {
  const image::MemoryImage& img = p.image;
  const app::DataSpan span = app::ClipDataEnd(img);
  p.SetProcessGauge("Verifying MCS-48/41 ", span.last, kGreen);
  p.error = 0;
  Enter(p, kVerifyEntry);
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t r = ReadAddress(p, i, img[i], 50, 10);
    if (r != img[i]) {
      DropEa(p);
      p.ReportMismatch(i, 0, r);
      p.error = 1;
      return false;
    }
    PauseAfterFirstKilobyte(p, i, span.last);
    return true;
  });
  if (end != app::LoopEnd::kStopped) {
    // A cancelled verify has not compared everything, so it must not pass.
    if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
    Leave(p);
  }
  if (p.error == 0 && p.verify_after_program == 0) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
}

void Blank48(Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.SetProcessGauge("Check empty (0x00) MCS-48/41", size, kGreen);
  p.error = 0;
  Enter(p, kBlankEntry);
  for (uint32_t i = 0; i < size; ++i) {
    // An erased MCS-48 reads 0x00.
    const uint8_t r = ReadAddress(p, i, 0x00, 10, 5);
    if (r != 0x00) {
      DropEa(p);
      p.ReportMismatchAt(i, 0x00, r);
      p.error = 1;
      return;
    }
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      break;
    }
  }
  Leave(p);
  if (p.error == 0) p.Message("Device empty ", hw::kResult);
}

void Program48(Programmer& p) {
  const image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  // The clip is made on a copy: the data end is the same afterwards.
  const app::DataSpan span = app::ClipDataEnd(img);
  p.ShowProgress(4, span.last, app::colour::kBlack);
  // A flag left by an earlier action must not decide this run.
  p.error = 0;
  Enter(p, kProgramEntry);
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t b = img[i];
    uint8_t r = 0;
    for (int n = 0; n < kProgramAttempts; ++n) {
      SetAddress48(p, i, kProgramMode);
      Bit(bus, kDrive, true);
      bus.DelayTicks(10);
      bus.WriteBusByte(b);
      bus.DelayTicks(30);
      Bit(bus, kProgram, false);  // the program pulse, about 42 ms
      bus.DelayTicks(kPulseTicks);
      Bit(bus, kProgram, true);
      bus.DelayTicks(500);
      SetAddress48(p, i, kVerifyMode);
      bus.DelayTicks(100);
      r = ReadLatched(p, 5, 5);
      if (r == b) {
        PauseAfterFirstKilobyte(p, i, span.last);
        return true;
      }
    }
    // The report names the chip address and its image byte.
    DropEa(p);
    p.ReportMismatch(i, 0, r);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (end != app::LoopEnd::kStopped) DropEa(p);
  if (p.error == 0) {
    p.verify_after_program = 1;
    Verify48(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  bus.PowerDown();
}

}  // namespace families::mcs48

namespace families {

void RegisterMcs48(app::FamilyRegistry& registry) {
  using app::Action;
  registry.Register(28, Action::kRead, &mcs48::Read48);
  registry.Register(28, Action::kVerify, &mcs48::Verify48);
  registry.Register(28, Action::kBlank, &mcs48::Blank48);
  registry.Register(28, Action::kProgram, &mcs48::Program48);
  // The ROM parts are read and verified only.
  registry.Register(29, Action::kRead, &mcs48::Read48);
  registry.Register(29, Action::kVerify, &mcs48::Verify48);
}

}  // namespace families
