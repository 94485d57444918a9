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
  // The board's base address, given when the sink is attached and whenever
  // the base changes, so that a sink can tell the three registers apart.
  virtual void SetBase(uint16_t /*base*/) {}
  // False for a sink that ignores the socket signals: the board then spares
  // itself decoding them on every access.
  virtual bool WantsSignals() const { return true; }
  virtual void Record(const TraceEntry& access, const SocketSignals& socket) = 0;
  // Flushes and closes the file. False, with the reason, when anything
  // could not be written.
  virtual bool Finish(std::string* error) = 0;
};

// Opens a trace file that is written as the run goes: a VCD waveform
// (GTKWave, PulseView) when the name ends in ".vcd" (any case), else CSV
// lines "time_ns,port,direction,value". An existing regular file is replaced
// only when Finish succeeds; FIFOs, devices and /dev/stdout are written in
// place. nullptr, with the reason, when the file cannot be created.
std::unique_ptr<TraceSink> OpenTraceFile(const std::string& path, std::string* error);

// Writes a recorded trace as "time_ns,port,direction,value" lines (the CSV
// trace file), direction "out" or "in". Returns false when the file cannot
// be written.
bool WriteTraceCsv(const std::vector<TraceEntry>& trace, const std::string& path);

}  // namespace sim
