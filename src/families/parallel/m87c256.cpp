#include "families/parallel/m87c256.h"

#include <algorithm>
#include <string>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "app/programmer.h"
#include "families/parallel/uv_eprom_pass.h"
#include "image/buffer_ops.h"

namespace families::uv_eprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

constexpr int kCompareReads = 5;  // a byte must read wrong this often to count

// One byte of the compare passes: OE low for the read, high afterwards.
uint8_t Strobe33(hw::Bus& bus, uint32_t address) {
  bus.ShiftAddress(address);
  Bit(bus, kDrive, false);
  bus.DelayTicks(10);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  bus.DelayTicks(10);
  return r;
}

enum class Compare { kImage, kBlank };

// Verify33 and Blank33: the same pass, against the image or against 0xFF.
void ComparePass(app::Programmer& p, Compare against) {
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  const bool reporting = p.verify_after_program == 0;
  if (reporting && img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  bus.PowerUp();
  app::ApplyReadLevel(p);
  if (!p.dev.read_level) bus.DelayTicks(100);
  const app::DataSpan span = app::ClipDataEnd(img);
  if (against == Compare::kImage) {
    p.ShowProgress(6, span.last, app::colour::kGreen);
  } else {
    p.SetProcessGauge("Check Blank chip", span.last, app::colour::kGreen);
  }
  Bit(bus, kStrobe, false);  // AS/Vpp at Vpp
  bus.DelayTicks(1000);
  p.error = 0;
  bus.ShiftAddress(0xFFFFFF);

  const uint32_t offset = img.buffer_offset;
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t want = against == Compare::kImage ? img[i] : 0xFF;
    uint8_t r = 0;
    for (int read = 0; read < kCompareReads; ++read) {
      r = Strobe33(bus, offset + i);
      if (r == want) return true;
    }
    p.ReportMismatch(i, 0, r);
    p.error = 1;
    return false;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);

  Bit(bus, kStrobe, true);
  bus.DelayTicks(1000);
  if (p.error == 0 && reporting) {
    if (against == Compare::kImage) {
      p.ShowProgress(2, 0, 0);
    } else {
      p.Message("Device Emtry", hw::kResult);
    }
  }
  p.verify_after_program = 1;
  bus.PowerDown();
}

void Prologue33(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  p.error = 0;
  Bit(bus, kStrobe, false);  // AS/Vpp at Vpp
  bus.DelayTicks(1000);
}

// CE pulse with OE high; read back in program verify (CE high, OE low).
uint8_t Attempt33(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  bus.PutData(b, 10);
  bus.DelayTicks(10);
  bus.ProgramPulse(width);
  bus.DelayTicks(wait);
  bus.WriteData();
  bus.DelayTicks(10);
  Bit(bus, kDrive, false);
  bus.DelayTicks(30);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kDrive, true);
  bus.DelayTicks(30);
  return r;
}

}  // namespace

void Read33(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  hw::Bus& bus = p.bus;
  app::ClearImage(p, image::kFillFF);
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  bus.DelayTicks(1000);
  p.SetProcessGauge("Reading Chip", img.device_size, app::colour::kBlack);
  bus.PowerUp();
  Bit(bus, kProgram, false);
  Bit(bus, kStrobe, false);  // AS/Vpp at Vpp
  bus.DelayTicks(1000);
  bus.ShiftAddress(0xFFFFFF);

  const uint32_t offset = img.buffer_offset;
  const uint32_t count = std::min(img.device_size, image::kImageSize);
  bool cancelled = false;
  for (uint32_t i = 0; i < count; ++i) {
    bus.ShiftAddress(offset + i);
    bus.DelayTicks(10);
    Bit(bus, kDrive, false);  // read strobe
    bus.DelayTicks(5);
    img[i] = bus.ReadDataByte();
    Bit(bus, kDrive, true);
    bus.DelayTicks(10);
    if (p.ProgressTick(i)) {
      cancelled = true;
      break;
    }
  }
  Bit(bus, kStrobe, true);
  bus.DelayTicks(1000);
  bus.PowerDown();

  if (cancelled) {
    p.ShowProgress(1, 0, 0);
    return;
  }
  p.Message("Chip read OK", hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
  img.data_end = img.device_size;
}

void Verify33(app::Programmer& p) { ComparePass(p, Compare::kImage); }
void Blank33(app::Programmer& p) { ComparePass(p, Compare::kBlank); }

void Program33(app::Programmer& p) {
  RunSinglePass(p, {Prologue33, Attempt33, 26, true, Verify33});
}

}  // namespace families::uv_eprom
