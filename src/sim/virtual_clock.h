#pragma once

#include "hw/clock.h"

namespace sim {

// Virtual nanoseconds. Waits jump straight to their deadline and every port
// access adds its cost, so a simulated run costs CPU time only and still
// tells how long it would take on real hardware.
class VirtualClock final : public hw::Clock {
 public:
  int64_t Frequency() const override { return 1'000'000'000; }
  int64_t Now() override {
    ++reads_;
    return now_ns_;
  }
  void WaitUntil(int64_t deadline) override {
    if (deadline > now_ns_) now_ns_ = deadline;
  }

  void Advance(int64_t ns) { now_ns_ += ns; }
  int64_t now_ns() const { return now_ns_; }
  // How many times the counter was read (the delays' cost, for tests).
  int64_t reads() const { return reads_; }

 private:
  int64_t now_ns_ = 0;
  int64_t reads_ = 0;
};

}  // namespace sim
