#pragma once

#include <cstdint>
#include <memory>
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
  // Flushes and closes the file. False, with the reason, when anything
  // could not be written.
  virtual bool Finish(std::string* error) = 0;
};

// Opens a trace file that is written as the run goes: a VCD waveform
// (GTKWave, PulseView) when the name ends in ".vcd", else CSV lines
// "time_ns,port,direction,value". nullptr, with the reason, when the file
// cannot be created.
std::unique_ptr<TraceSink> OpenTraceFile(const std::string& path, std::string* error);

// Writes "time_ns,port,direction,value" lines, direction "out" or "in".
// Returns false when the file cannot be written.
bool WriteTraceCsv(const std::vector<TraceEntry>& trace, const std::string& path);

}  // namespace sim
