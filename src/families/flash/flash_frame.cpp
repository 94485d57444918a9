#include "families/flash/flash_frame.h"

#include <cstdio>

namespace families::flash {

void ReportByteFailure(app::Programmer& p, uint32_t index, uint8_t read) {
  p.ReportMismatchAt(p.image.buffer_offset + index, p.image[index], read);
  p.error = 1;
}

void VerifyAndFinish(app::Programmer& p, const ProgramRun& run) {
  if (p.error == 0) {
    p.verify_after_program = 1;
    app::DefaultVerify(p);
    if (p.error == 0) p.ShowProgress(3, 0, 0);
  }
  p.image.data_end = run.kept_data_end;
}

PollBound::PollBound(app::Programmer& p, int64_t bound_ns)
    : clock_(p.bus.clock()), limit_(hw::CountsForNs(clock_, bound_ns)), start_(clock_.Now()) {}

bool PollBound::Expired() { return clock_.Now() - start_ > limit_; }

void ShowPeak(app::Programmer& p, const char* panel, const std::string& text) {
  p.controls.SetText(panel, text);
  p.host.ControlsChanged();
}

void ShowSeconds(app::Programmer& p, int pass) {
  char text[32];
  std::snprintf(text, sizeof text, " %0.1f Sec", pass * 0.01);
  ShowPeak(p, "pLoopp", text);
}

}  // namespace families::flash
