#include "app/default_routines.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/image_files.h"
#include "image/buffer_ops.h"

namespace app {
namespace {

constexpr int kVerifyReads = 6;  // a byte must differ this often to count as wrong

std::string Format(const char* format, uint64_t value) {
  char text[96];
  std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(value));
  return text;
}

// A read starts from a clean image, as the clear command leaves it. The
// menu's clear is refused while an action runs, so the read does the same
// steps itself; the status refresh follows at the end of the action.
void ClearForRead(Programmer& p) { ClearImage(p, image::kFillFF); }

}  // namespace

DataSpan ClipDataEnd(const image::MemoryImage& image) {
  DataSpan span;
  if (image.device_size == 0) return span;
  span.empty = false;
  span.last = std::min({image.data_end, image.device_size - 1, image::kImageSize - 1});
  return span;
}

void ApplyReadLevel(Programmer& p) {
  p.bus.SetCtrl(hw::ctrl::kProgram, !p.dev.read_level);
  p.bus.WriteCtrl();
}

bool ConfirmOffset(Programmer& p) {
  image::MemoryImage& img = p.image;
  if (img.buffer_offset >= img.device_size) {
    // The shortened size would wrap and the pass would run far past the
    // image; nothing sensible can be read or compared from there.
    p.Message(Format("Offset 0x%06llX", img.buffer_offset) + " is at or beyond the device size" +
                  Format(" 0x%06llX", img.device_size) + ": set a smaller offset",
              hw::kError);
    p.error = 1;
    return false;
  }
  if (!p.host.Ask(Format("Use offset of 0x%06llX", img.buffer_offset))) {
    img.device_size = img.full_device_size;
    img.buffer_offset = 0;
    p.controls.SetText("edOffset", "0000");
    p.host.ControlsChanged();
    return true;
  }
  if (uint64_t{img.data_end} + img.buffer_offset >= img.device_size) {
    img.device_size -= img.buffer_offset;
  }
  return true;
}

void DefaultRead(Programmer& p) {
  image::MemoryImage& img = p.image;
  ClearForRead(p);
  if (img.buffer_offset != 0 && !ConfirmOffset(p)) {
    img.device_size = img.full_device_size;
    return;
  }
  p.ShowProgress(5, img.device_size, colour::kBlack);

  hw::Bus& bus = p.bus;
  bus.PowerUp();
  ApplyReadLevel(p);
  bus.ShiftAddress(0xFFFFFF);  // all address lines high before the first byte

  const int32_t width = ReadStrobeWidth(img.device_size);
  const uint32_t count = std::min(img.device_size, image::kImageSize);
  bool cancelled = false;
  for (uint32_t i = 0; i < count; ++i) {
    img[i] = bus.ReadCycle(ChipAddress(p, i), width);
    if (p.ProgressTick(i)) {
      cancelled = true;
      break;
    }
  }
  bus.PowerDown();

  if (cancelled) {
    p.ShowProgress(1, 0, 0);
  } else {
    p.Message("Chip read OK", hw::kInfo);
    p.host.SetCaption(std::string(kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
    img.data_end = img.full_device_size;
  }
  img.device_size = img.full_device_size;
}

void DefaultVerify(Programmer& p) {
  image::MemoryImage& img = p.image;
  const bool reporting = p.verify_after_program == 0;
  if (reporting && img.buffer_offset != 0 && !ConfirmOffset(p)) return;
  const DataSpan span = ClipDataEnd(img);

  p.ShowProgress(6, std::max<int64_t>(int64_t{span.last} - 1, 0), colour::kGreen);
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  ApplyReadLevel(p);
  bus.DelayTicks(500);
  p.error = 0;
  bus.SetCtrl(hw::ctrl::kDrive, true);
  bus.ShiftAddress(0xFFFFF);  // all address lines high before the first byte

  const int32_t width = VerifyStrobeWidth(img.device_size);
  const LoopEnd end = ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint32_t address = ChipAddress(p, i);
    uint8_t chip = 0;
    for (int read = 0; read < kVerifyReads; ++read) {
      chip = bus.ReadCycle(address, width);
      if (chip == img[i]) return true;
    }
    p.ReportMismatch(i, 0, chip);
    p.error = 1;
    return false;
  });
  // A cancelled verify has not compared everything: it must never pass.
  if (end == LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);

  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  bus.PowerDown();
}

void DefaultBlankCheck(Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.SetProcessGauge("Checking Device is Empty", size, colour::kWhite);
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  ApplyReadLevel(p);
  bus.ShiftAddress(0xFFFF);

  bool empty = true;
  for (uint32_t i = 0; i < size; ++i) {
    // The buffer offset does not apply: the whole chip must be empty.
    const uint32_t address = p.dev.scramble ? hw::Bus::ScrambleAddress(i) : i;
    if (bus.ReadCycle(address, 4) != 0xFF) {
      p.Message(Format("Device is NOT Empty ($%4.6llx)", i), hw::kError);
      empty = false;
      break;
    }
    // The gauge moves once per progress step (a per-byte refresh would flood
    // the window with hundreds of thousands of repaints); Cancel is looked at
    // after every byte.
    const bool tick_cancel = p.ProgressTick(i);
    if (tick_cancel || p.cancel.load(std::memory_order_relaxed) != 0) {
      p.Message("Device Check was Cancelled", hw::kError);
      empty = false;
      break;
    }
  }
  if (empty) p.Message("Device is Empty", hw::kResult);
  bus.PowerDown();
}

}  // namespace app
