#pragma once

namespace hw {

// Raises the calling thread to real-time scheduling around time-critical
// loops and drops it back afterwards. Failures are tolerated silently: the
// routine then runs at the priority it has.
void ChangePriority(bool raise);

}  // namespace hw
