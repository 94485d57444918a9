#pragma once

// The byte loop the JEDEC program routines share.

#include <cstdint>

#include "app/programmer.h"
#include "families/flash/flash_frame.h"
#include "families/flash/jedec_cycle.h"

namespace families::flash {

inline bool Powered(hw::Bus& bus) { return (bus.CtrlShadow() & (1u << kPower)) != 0; }

// What a send may also answer: the routine reported the failure itself.
inline constexpr PollEnd kReported = static_cast<PollEnd>(100);

// Image bytes 0 to the run's last, 0xFF left alone with Skip Write 0xFF.
// `send(j, d, attempt, read)` puts byte j (value d) into the part and polls
// it: kRetry sends it again with the attempt counted up, kFailed reports the
// byte read last as a mismatch, kCancelled ends with "program interrupted!".
// Every byte moves the progress counter; `every_byte` refreshes the gauge
// after each one instead of once per progress step.
template <typename Send>
void RunByteLoop(app::Programmer& p, const ProgramRun& run, Send&& send, bool every_byte = false) {
  for (uint64_t n = 0; n < run.span.count(); ++n) {
    const auto j = static_cast<uint32_t>(n);
    const uint8_t data = p.image[j];
    if (!Skip(p, data)) {
      for (int attempt = 1;; ++attempt) {
        uint8_t read = 0;
        const PollEnd end = send(j, data, attempt, read);
        if (end == PollEnd::kDone) break;
        if (end == PollEnd::kRetry) continue;
        if (end == PollEnd::kCancelled) {
          p.ShowProgress(1, 0, 0);
        } else if (end == PollEnd::kFailed) {
          ReportByteFailure(p, j, read);
        }
        return;
      }
    }
    const bool cancelled = every_byte ? p.Refresh(j) : p.ProgressTick(j);
    if (cancelled) {
      p.ShowProgress(1, 0, 0);
      return;
    }
  }
}

}  // namespace families::flash
