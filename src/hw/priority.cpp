#include "hw/priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>

namespace hw {
namespace {

constexpr int kAttempts = 30;

bool SetPolicy(int policy, int priority) {
  sched_param param{};
  param.sched_priority = priority;
  return pthread_setschedparam(pthread_self(), policy, &param) == 0;
}

}  // namespace

void ChangePriority(bool raise) {
  const int policy = raise ? SCHED_FIFO : SCHED_OTHER;
  const int priority = raise ? sched_get_priority_max(SCHED_FIFO) : 0;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (SetPolicy(policy, priority)) break;
  }
  // Page faults inside a timed sequence would stretch a pulse; lock memory
  // while raised when we are allowed to.
  if (raise) {
    mlockall(MCL_CURRENT);
  } else {
    munlockall();
  }
}

}  // namespace hw
