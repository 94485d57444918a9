#include "families/parallel/uv_eprom_pass.h"

#include <cstdio>
#include <string>

#include "app/host.h"

namespace families::uv_eprom {

using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

void Peaks::Raise(app::Programmer& p, int attempts, int wait, int width) {
  bool changed = false;
  const auto raise = [&](int& peak, int value, const char* panel) {
    if (value <= peak) return;
    peak = value;
    p.controls.SetText(panel, std::to_string(value));
    changed = true;
  };
  raise(loop_, attempts, "pLoopp");
  raise(twc_, wait, "pTwcp");
  raise(twp_, width, "pTwpp");
  if (changed) p.host.ControlsChanged();
}

ProgramRun BeginProgram(app::Programmer& p) {
  ProgramRun run;
  run.kept_data_end = p.image.data_end;
  if (p.image.buffer_offset != 0 && !app::ConfirmOffset(p)) return run;
  run.span = app::ClipDataEnd(p.image);
  if (run.span.empty) return run;
  p.ShowProgress(4, run.span.last, app::colour::kRed);
  run.go = true;
  return run;
}

void ReportProgramMismatch(app::Programmer& p, uint32_t index, uint8_t chip) {
  char text[96];
  std::snprintf(text, sizeof text, " Error at 0x%06X  Chip = 0x%02X  buffer = 0x%02X",
                p.image.buffer_offset + index, chip, p.image[index]);
  p.ReportError(text);
}

void EndProgram(app::Programmer& p, const ProgramRun& run, void (*verify)(app::Programmer&)) {
  hw::Bus& bus = p.bus;
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(1000);
  if (p.error == 0) {
    p.verify_after_program = 1;
    verify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.image.data_end = run.kept_data_end;
  bus.PowerDown();
}

void GenericPrologue(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  p.error = 0;
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(1000);
  bus.ShiftAddress(0x0FFFFFFF);
}

void ShiftFirstPrologue(app::Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  p.error = 0;
  bus.ShiftAddress(address);
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(1000);
}

void RunSinglePass(app::Programmer& p, const SinglePass& pass) {
  const ProgramRun run = BeginProgram(p);
  if (!run.go) return;
  pass.prologue(p);

  const app::Descriptor& d = p.dev;
  const uint32_t offset = p.image.buffer_offset;
  const bool skip_ff = SkipFF(p);
  Peaks peaks;
  int width = d.twp;
  int wait = d.twc;
  for (uint64_t n = 0; n < run.span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    const uint8_t b = p.image[i];
    int attempts = 1;
    if (!(b == 0xFF && skip_ff)) {
      for (;;) {
        const uint8_t r = pass.attempt(p, offset + i, b, width, wait);
        if (r == b) break;
        if (attempts >= pass.max_attempts) {
          ReportProgramMismatch(p, i, r);
          p.error = 1;
          EndProgram(p, run, pass.verify);
          return;
        }
        ++attempts;
        if (pass.widen) {
          width += d.add_step;
          wait += 10;
        }
      }
    }
    peaks.Raise(p, attempts, wait, width);
    if (p.ProgressTick(i)) {
      p.ShowProgress(1, 0, 0);  // "program interrupted!", error flag set
      break;
    }
    width = d.twp;
    wait = d.twc;
  }
  EndProgram(p, run, pass.verify);
}

}  // namespace families::uv_eprom
