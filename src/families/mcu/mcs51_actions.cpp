// The MCS-51 actions: one frame for every part, the part's primitives from
// its sub-type's row. On the 20-pin parts the address counter moves only
// after a good byte (NextAddress), so a byte that reads back wrong is
// written again where it is; the 40-pin parts address every byte.
#include <cstdio>
#include <string>

#include "app/chip_id.h"
#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcs51_ops.h"
#include "image/buffer_ops.h"

namespace families::mcs51 {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;

constexpr uint32_t kGreen = 0x8000;
constexpr int kWriteAttempts = 11;  // a byte is written at most this often
constexpr int kRetryWait = 100;     // tWC grows by this much per retry
constexpr int kVerifyReads = 10;    // a byte must read wrong this often to count

// The routines of the sub-types that are not built never run: their items
// are hidden or disabled. Should one be reached anyway, say so.
const Ops* Row(Programmer& p, const char* action) {
  const Ops* ops = OpsFor(p);
  if (ops == nullptr) p.Message(std::string(action) + " is not available for this device", 1);
  return ops;
}

void Next(Programmer& p, const Ops& ops) {
  if (ops.next != nullptr) ops.next(p);
}

}  // namespace

void ReadChip(Programmer& p) {
  const Ops* ops = Row(p, "Read");
  if (ops == nullptr) return;
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  app::ClearImage(p, image::kFillFF);
  p.SetProcessGauge("READ chip", img.device_size, kGreen);
  ops->enter(p);
  Bit(bus, kProgram, false);
  p.error = 0;
  bus.ShiftAddress(255);
  bool cancelled = false;
  for (uint32_t i = 0; i < img.device_size; ++i) {
    img[i] = ops->read(p, i);
    Next(p, *ops);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      cancelled = true;
      break;
    }
  }
  if (!cancelled) {
    p.Message("Device Read OK", hw::kResult);
    // What was read is what a Program or Verify works on next.
    img.data_end = img.device_size;
  }
  bus.PowerDown();
}

void VerifyChip(Programmer& p) {
  const Ops* ops = Row(p, "Verify");
  if (ops == nullptr) return;
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  const app::DataSpan span = app::ClipDataEnd(img);
  p.SetProcessGauge("Verify chip", span.last, kGreen);
  ops->enter(p);
  p.error = 0;
  bus.ShiftAddress(4095);
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    uint8_t c = ops->read(p, i);
    for (int n = 1; n < kVerifyReads && c != img[i]; ++n) c = ops->read(p, i);
    if (c != img[i]) {
      p.ReportMismatch(i, 0, c);
      p.error = 1;
      return false;
    }
    Next(p, *ops);
    return true;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (p.error == 0) p.ShowProgress(2, 0, 0);
  Bit(bus, kProgram, true);
  Bit(bus, kDrive, false);
  bus.PowerDown();
}

void BlankCheck(Programmer& p) {
  const Ops* ops = Row(p, "Blank Check");
  if (ops == nullptr) return;
  const uint32_t size = p.image.device_size;
  p.ShowProgress(7, size, app::colour::kWhite);
  ops->enter(p);
  for (uint32_t i = 0; i < size; ++i) {
    // Addressed as the reads are: A14 included, so a part above 16 KB is
    // checked in full.
    if (ops->read(p, i) != 0xFF) {
      char text[40];
      std::snprintf(text, sizeof text, "Device is NOT Empty ($%4.4x)", i);
      p.Message(text, hw::kError);
      p.bus.PowerDown();
      return;
    }
    Next(p, *ops);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);
      p.bus.PowerDown();
      return;
    }
  }
  p.Message("Device is Empty", hw::kResult);
  p.bus.PowerDown();
}

void ProgramChip(Programmer& p) {
  const Ops* ops = Row(p, "Program");
  if (ops == nullptr) return;
  if (p.controls.Checked("cbAutoErase")) EraseChip(p);
  if (ops->program != nullptr) {
    ops->program(p);
    return;
  }
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  const app::DataSpan span = app::ClipDataEnd(img);
  p.SetProcessGauge("Programming chip", span.last, 0xFF);
  ops->enter(p);
  p.error = 0;
  bus.ShiftAddress(0xFFFF);
  const int twc = p.dev.mcs51.twc;
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t d = img[i];
    uint8_t a = 0;
    // The counter has not moved: a retry writes the same byte again, with
    // a longer wait each time.
    for (int n = 0; n < kWriteAttempts; ++n) {
      ops->write(p, i, d, twc + n * kRetryWait);
      a = ops->read(p, i);
      if (a == d) {
        Next(p, *ops);
        return true;
      }
    }
    p.ReportMismatch(i, 0, a);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (p.error == 0) {
    bus.PowerDown();
    VerifyChip(p);
  }
  if (p.error == 0) {
    if (p.controls.Checked("cbAutoLockBit")) {
      bus.PowerDown();
      bus.DelayTicks(20000);
      LockChip(p);
      p.Message("Device Programmed & Lock bit", hw::kResult);
    } else {
      p.ShowProgress(3, 0, 0);
    }
  }
  bus.PowerDown();
}

void EraseChip(Programmer& p) {
  const Ops* ops = Row(p, "Erase");
  if (ops == nullptr) return;
  p.controls.Show("pProcess");
  p.SetProcessGauge("erasing chip", 10, 255);
  ops->erase(p);
}

void GetId(Programmer& p) {
  const Ops* ops = Row(p, "Get ID");
  if (ops == nullptr) return;
  ops->enter(p);
  const std::array<uint8_t, 3> s = ops->signature(p);
  p.bus.PowerDown();
  p.dev.mcs51.signature = s;
  app::ChipIdExtras extras;
  extras.third_byte = s[2];
  app::LookupChipId(p, s[0], s[1], extras);
}

}  // namespace families::mcs51
