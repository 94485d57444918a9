// Reading and verifying a UV EPROM: the standard read cycle with the part's
// read level on the program line.
#include <algorithm>
#include <string>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"
#include "families/parallel/uv_eprom_pass.h"
#include "image/buffer_ops.h"

namespace families::uv_eprom {
namespace {

using hw::ctrl::kDrive;

constexpr int kVerifyReads = 5;  // a byte must read wrong this often to count

// One strobe of the drive line, w x 100 ns on each side, then the byte.
uint8_t StrobeAndRead(hw::Bus& bus, int32_t width) {
  Bit(bus, kDrive, true);
  bus.Delay100ns(width);
  Bit(bus, kDrive, false);
  bus.Delay100ns(width);
  return bus.ReadDataByte();
}

}  // namespace

void Read(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  app::ClearImage(p, image::kFillFF);
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  bus.DelayTicks(200);
  p.SetProcessGauge("Reading Chip", img.device_size, app::colour::kBlack);
  bus.PowerUp();
  app::ApplyReadLevel(p);
  bus.ShiftAddress(0xFFFF);

  const uint32_t offset = img.buffer_offset;
  const int32_t width = app::VerifyStrobeWidth(img.device_size);  // 500 ns under 64 KB
  // The bytes land at offset + i; the image ends where it ends.
  const uint32_t count = std::min(img.device_size, image::kImageSize - offset);
  bool cancelled = false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t a = offset + i;
    bus.ShiftAddress(a);
    app::ApplyReadLevel(p);
    if (!p.dev.read_level) bus.DelayTicks(1);
    img[a] = StrobeAndRead(bus, width);
    Bit(bus, hw::ctrl::kProgram, false);
    if (p.ProgressTick(i)) {
      cancelled = true;
      break;
    }
  }
  bus.PowerDown();
  bus.WriteCtrl();

  if (cancelled) {
    p.Message("Process Cancelled", hw::kError);
    return;
  }
  p.Message("Chip read OK", hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
  img.data_end = img.device_size;
}

void Verify(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  const bool reporting = p.verify_after_program == 0;
  if (reporting && img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(img);

  p.ShowProgress(6, int64_t{span.last} - 1, app::colour::kGreen);
  bus.PowerUp();
  app::ApplyReadLevel(p);
  if (!p.dev.read_level) bus.DelayTicks(8);
  p.error = 0;
  bus.ShiftAddress(0xFFFFF);
  const int32_t width = app::VerifyStrobeWidth(img.device_size);

  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint32_t address = app::ChipAddress(p, i);
    uint8_t chip = 0;
    for (int read = 0; read < kVerifyReads; ++read) {
      bus.ShiftAddress(address);
      chip = StrobeAndRead(bus, width);
      if (chip == img[i]) return true;
    }
    p.ReportMismatch(i, 0, chip);
    p.error = 1;
    return false;
  });
  // A cancelled verify has not compared everything, so it must not pass.
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);

  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  bus.PowerDown();
}

}  // namespace families::uv_eprom
