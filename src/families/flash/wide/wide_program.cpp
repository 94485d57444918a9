#include "families/flash/wide/wide_program.h"

#include "app/chip_id.h"
#include "families/flash/wide/wide.h"

namespace families::flash::wide {

WideRun BeginWideProgram(app::Programmer& p) {
  WideRun run;
  run.kept_data_end = p.image.data_end;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  if (span.empty) return run;
  run.words = SpanWords(span);
  p.ShowProgress(4, span.last, app::colour::kRed);
  run.go = true;
  return run;
}

void FinishWideProgram(app::Programmer& p, const WideRun& run, bool ok) {
  if (ok && p.error == 0) {
    p.verify_after_program = 1;
    families::wide::W3(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.image.data_end = run.kept_data_end;
}

void ReadWideCfi(app::Programmer& p, int32_t high_wait) {
  for (size_t k = 0; k < p.dev.cfi.size(); ++k) {
    p.dev.cfi[k] = ReadWordAt(p.bus, 0x10 + static_cast<uint32_t>(k), high_wait).value();
  }
}

void IdentifyWide(app::Programmer& p, uint16_t manufacturer, uint16_t device, uint8_t lock) {
  app::ChipIdExtras extras;
  extras.cfi = p.dev.cfi;
  extras.lock_byte = lock;
  app::LookupChipId16(p, manufacturer, device, extras);
  p.controls.Check("cbFujitsu_fastmode", p.dev.fast_mode_flag);
  p.host.ControlsChanged();
}

}  // namespace families::flash::wide
