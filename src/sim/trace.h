#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/chip.h"

namespace sim {

// One port access as the programmer made it.
struct TraceEntry {
  int64_t time_ns;
  uint16_t port;
  bool write;
  uint8_t value;
};

// Receives every port access of the simulated board as it happens, with the
// socket signals the board decoded after it.
class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void Record(const TraceEntry& access, const SocketSignals& socket) = 0;
};

// Writes "time_ns,port,direction,value" lines, direction "out" or "in".
// Returns false when the file cannot be written.
bool WriteTraceCsv(const std::vector<TraceEntry>& trace, const std::string& path);

}  // namespace sim
