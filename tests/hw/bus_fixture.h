#pragma once

#include <string>
#include <utility>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"

namespace daraz_test {

// Records every message a routine shows.
class RecordingReporter : public hw::Reporter {
 public:
  void Message(const std::string& text, int kind) override { messages.emplace_back(text, kind); }
  std::vector<std::pair<std::string, int>> messages;
};

// A bus wired to a simulated board at 0x378.
struct SimBus {
  sim::Board board;
  RecordingReporter reporter;
  hw::Bus bus{board.clock(), reporter};
  SimBus() { bus.SetPort(&board); }
};

}  // namespace daraz_test
