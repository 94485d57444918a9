#pragma once

// What the UV EPROM program routines share: the frame around the byte loop,
// the retry rule, and the peak counters shown in the progress area.

#include <cstdint>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "hw/bus.h"

namespace families::uv_eprom {

// Control bit n := v, written at once.
inline void Bit(hw::Bus& bus, int n, bool v) {
  bus.SetCtrl(n, v);
  bus.WriteCtrl();
}

// A wait of n ticks where a routine has one; none at all for 0.
inline void Wait(hw::Bus& bus, int32_t ticks) {
  if (ticks != 0) bus.DelayTicks(ticks);
}

// The largest attempt count, wait and pulse width of a run; each growth is
// written into its panel (pLoopp, pTwcp, pTwpp) at once.
class Peaks {
 public:
  void Raise(app::Programmer& p, int attempts, int wait, int width);

 private:
  int loop_ = 0, twc_ = 0, twp_ = 0;
};

// Steps 1 and 2 of every program routine: keep the data end, ask about a
// buffer offset, clip the pass to the device, show the gauge. `go` is false
// when the offset was refused (nothing was touched).
struct ProgramRun {
  bool go = false;
  uint32_t kept_data_end = 0;
  app::DataSpan span;
};
ProgramRun BeginProgram(app::Programmer& p);

// A byte that would not program, in the words of the mismatch report: the
// chip address (offset + index) and, as "buffer", the image byte it was
// programmed from (image index `index`, not offset + index), then the socket
// powered down.
void ReportProgramMismatch(app::Programmer& p, uint32_t index, uint8_t chip);

// Steps 5 to 7: Vpp off, the final verify and "Device Programmed OK" when
// nothing went wrong, the data end as it was, the socket powered down.
void EndProgram(app::Programmer& p, const ProgramRun& run, void (*verify)(app::Programmer&));

// One attempt at one byte: put `b` at `address` with this pulse width and
// wait, and return what the part reads back.
using Attempt = uint8_t (*)(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait);

// How a single-pass routine opens and retries.
struct SinglePass {
  void (*prologue)(app::Programmer& p);
  Attempt attempt;
  int max_attempts;                    // 26, or 25 for the 2716
  bool widen;                          // each retry: pulse + addStep, wait + 10
  void (*verify)(app::Programmer& p);  // the final verify
};

// The whole single-pass routine: frame, prologue, one attempt loop per byte
// (0xFF bytes left alone when Skip Write 0xFF is checked), the peaks and the
// progress tick after each byte, then the final verify.
void RunSinglePass(app::Programmer& p, const SinglePass& pass);

// The prologues: PowerUp, program line and Vpp into their program states,
// and an all-ones address, in the two orders the routines use.
void GenericPrologue(app::Programmer& p);                       // Vpp on, settle, then the address
void ShiftFirstPrologue(app::Programmer& p, uint32_t address);  // address, then Vpp on

inline bool SkipFF(const app::Programmer& p) { return p.controls.Checked("cbSkip_0xFF"); }

}  // namespace families::uv_eprom
