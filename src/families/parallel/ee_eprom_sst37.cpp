// The SST37VF program: one pulse a byte, no read-back; the final verify
// finds a byte that did not take.
#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/ee_eprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families::ee_eprom {

using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;
using uv_eprom::Bit;

void ProgramSst37(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  if (img.buffer_offset != 0 && !app::ConfirmOffset(p)) return;
  const app::DataSpan span = app::ClipDataEnd(img);
  if (span.empty) return;
  p.SetProcessGauge("programming chip", span.last, app::colour::kRed);
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, !p.dev.read_level);
  p.error = 0;
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(1000);
  const uint32_t offset = img.buffer_offset;
  const bool skip_ff = uv_eprom::SkipFF(p);
  const app::LoopEnd end = app::ForEachDataIndex(p, span, [&](uint32_t i) {
    const uint8_t b = img[i];
    if (skip_ff && b == 0xFF) return true;
    bus.ShiftAddress(offset + i);
    bus.PutData(b, 10);
    bus.DelayTicks(10);
    bus.ProgramPulse(p.dev.twp);
    bus.DelayTicks(p.dev.twc);
    return true;
  });
  if (end == app::LoopEnd::kCancelled) p.ShowProgress(1, 0, 0);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(1000);
  if (p.error == 0) {
    p.verify_after_program = 1;
    app::DefaultVerify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  bus.PowerDown();
}

}  // namespace families::ee_eprom
