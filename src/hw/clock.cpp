#include "hw/clock.h"

#include <time.h>

namespace hw {

int64_t RealClock::Now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

void RealClock::WaitUntil(int64_t deadline) {
  // Chip timing needs microseconds; a sleep would overshoot by far more.
  while (Now() < deadline) {
  }
}

}  // namespace hw
