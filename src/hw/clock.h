#pragma once

#include <cstdint>

namespace hw {

// The high-resolution counter the delays busy-wait on.
class Clock {
 public:
  virtual ~Clock() = default;
  // Counts per second, read once by the bus.
  virtual int64_t Frequency() const = 0;
  // The current counter reading.
  virtual int64_t Now() = 0;
  // Returns once Now() has reached the deadline. Never sleeps on a real clock.
  virtual void WaitUntil(int64_t deadline) = 0;
};

// CLOCK_MONOTONIC in nanoseconds, busy-waited.
class RealClock final : public Clock {
 public:
  int64_t Frequency() const override { return 1'000'000'000; }
  int64_t Now() override;
  void WaitUntil(int64_t deadline) override;
};

}  // namespace hw
