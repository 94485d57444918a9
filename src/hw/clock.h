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

// `ns` nanoseconds in counts of `clock`. Long double in between: a 30 s
// bound times a 1 GHz counter does not fit the product in 64 bits.
inline int64_t CountsForNs(const Clock& clock, int64_t ns) {
  return static_cast<int64_t>(static_cast<long double>(ns) * clock.Frequency() / 1'000'000'000.0L);
}

}  // namespace hw
