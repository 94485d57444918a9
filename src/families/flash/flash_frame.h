#pragma once

// What the JEDEC and Intel flash routines share: the lines, the frame
// around a program loop, the bounded poll, the failure report, the peak
// texts of the progress area and what a Get ID leaves behind.

#include <cstdint>
#include <string>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/uv_eprom_pass.h"
#include "hw/bus.h"

namespace families::flash {

using hw::ctrl::kDrive;
using hw::ctrl::kPower;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;
using uv_eprom::Bit;
using uv_eprom::Wait;

// 12 V on the #RESET/Vpp (or Vpp) pin: control bit 0 low.
inline void Vpp(hw::Bus& bus, bool on) { Bit(bus, kStrobe, !on); }

// The temporary-unprotect box of p49F00xsetting: while it is checked the
// program and erase routines hold 12 V on the part's #RESET/Vpp pin.
inline bool TemporaryUnprotect(const app::Programmer& p) { return p.controls.Checked("cbProtect"); }
inline bool FastCommand(const app::Programmer& p) { return p.controls.Checked("cbFastPro"); }
inline bool FastMode(const app::Programmer& p) { return p.controls.Checked("cbFujitsu_fastmode"); }

// Steps 1 and 2 of every program routine (the offset question, the data
// end clipped for the run, "programming chip"); `go` false when refused.
using ProgramRun = uv_eprom::ProgramRun;
inline ProgramRun BeginProgram(app::Programmer& p) { return uv_eprom::BeginProgram(p); }

// Whether the image byte is left alone (Skip Write 0xFF).
inline bool Skip(const app::Programmer& p, uint8_t d) { return d == 0xFF && uv_eprom::SkipFF(p); }

// A byte that would not program: the chip address (offset + index), the
// byte read, and the image byte the loop compared (image[index]); the
// error flag is set and the socket powered down.
void ReportByteFailure(app::Programmer& p, uint32_t index, uint8_t read);

// The end of a program routine without an error: the verify-after-program
// flag, the default verify, and "Device Programmed OK" when it found
// nothing. Then the data end as it was.
void VerifyAndFinish(app::Programmer& p, const ProgramRun& run);

// Lets the window run; true when Cancel was pressed.
inline bool Pump(app::Programmer& p) {
  p.host.ProcessEvents();
  return p.cancel.load(std::memory_order_relaxed) != 0;
}

// How long a status poll may last before the byte counts as failed: far
// beyond any listed part's byte-program maximum.
inline constexpr int64_t kPollBoundNs = 100'000'000;

// The clock a poll is bounded by, started when the poll begins.
class PollBound {
 public:
  explicit PollBound(app::Programmer& p, int64_t bound_ns = kPollBoundNs);
  bool Expired();

 private:
  hw::Clock& clock_;
  int64_t limit_;
  int64_t start_;
};

// The Intel status register's bits.
inline constexpr uint8_t kReady = 0x80, kEraseError = 0x20, kProgramError = 0x10, kVppLow = 0x08;

enum class Poll { kReady, kCancelled, kTimedOut };

// The status register until SR7 (the state machine ready): `read` returns
// it, with whatever waits the bus form needs around the read. The window
// runs between reads; Cancel ends it with "program interrupted!"
// (kCancelled); kTimedOut once `bound_ns` of polling has passed.
template <class Read>
Poll PollStatusRegister(app::Programmer& p, int64_t bound_ns, uint8_t& sr, Read read) {
  PollBound bound(p, bound_ns);
  for (;;) {
    sr = read();
    if ((sr & kReady) != 0) return Poll::kReady;
    if (Pump(p)) {
      p.ShowProgress(1, 0, 0);
      return Poll::kCancelled;
    }
    if (bound.Expired()) return Poll::kTimedOut;
  }
}

// A text of the progress area's peak panels (lbLoopPeak, pLoopp, pTwcp),
// shown at once.
void ShowPeak(app::Programmer& p, const char* panel, const std::string& text);
// " %0.1f Sec" with `pass` x 0.01 into pLoopp.
void ShowSeconds(app::Programmer& p, int pass);

}  // namespace families::flash
