// The read, verify and blank check both firmware-hub families share.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/fwh/fwh_bus.h"
#include "image/buffer_ops.h"

namespace families::fwh {

namespace {

constexpr uint32_t kVerifyColour = 0x8000;

// PowerUp and the family's read-array command.
void OpenRead(app::Programmer& p) {
  p.bus.PowerUp();
  CommandAt(p, 0, ReadArrayCode(p), 5, 10);
}

uint8_t ReadAddress(app::Programmer& p, uint32_t address) {
  LoadAddress(p, address);
  return ReadHere(p.bus);
}

}  // namespace

void Read(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  app::ClearImage(p, image::kFillFF);
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) {
    img.device_size = img.full_device_size;
    return;
  }
  p.ShowProgress(5, img.device_size, 0);
  OpenRead(p);
  const uint32_t count = std::min(img.device_size, image::kImageSize);
  bool cancelled = false;
  for (uint32_t i = 0; i < count; ++i) {
    img[i] = ReadAddress(p, ChipAddressOf(p, i));
    if (p.ProgressTick(i)) {
      cancelled = true;
      break;
    }
  }
  p.bus.PowerDown();
  img.device_size = img.full_device_size;
  if (cancelled) {
    p.ShowProgress(1, 0, 0);
    return;
  }
  p.Message("Chip read OK", hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
  img.data_end = img.full_device_size;
}

void Verify(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  const bool reporting = p.verify_after_program == 0;
  if (reporting && img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(img);
  p.ShowProgress(6, span.last, kVerifyColour);
  OpenRead(p);
  p.error = 0;
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t chip = ReadAddress(p, ChipAddressOf(p, i));
    if (chip == img[i]) return true;
    p.ReportMismatch(i, 0, chip);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  p.bus.PowerDown();
}

void Blank(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.SetProcessGauge("Check Blank chip", size, app::colour::kWhite);
  OpenRead(p);
  bool empty = true;
  for (uint32_t a = 0; a < size; ++a) {
    if (ReadAddress(p, a) != 0xFF) {
      char text[48];
      std::snprintf(text, sizeof text, "Device is NOT Empty ($%4.6x)", a);
      p.Message(text, hw::kError);
      empty = false;
      break;
    }
    if (p.ProgressTick(a) || p.cancel.load(std::memory_order_relaxed) != 0) {
      p.Message("Device Check was Cancelled", hw::kError);
      empty = false;
      break;
    }
  }
  if (empty) p.Message("Device Emtry", hw::kResult);
  p.bus.PowerDown();
}

}  // namespace families::fwh
