#pragma once

#include <memory>
#include <string>

#include "sim/trace.h"
#include "sim/trace_file.h"

namespace sim {

// Streams "time_ns,port,direction,value" lines, one per port access, e.g.
// "1000,0x37A,out,0x09".
class CsvTraceSink final : public TraceSink {
 public:
  explicit CsvTraceSink(std::unique_ptr<TraceFile> file);
  void Record(const TraceEntry& access, const SocketSignals& socket) override;
  bool WantsSignals() const override { return false; }
  bool Finish(std::string* error) override { return file_->Finish(error); }

 private:
  std::unique_ptr<TraceFile> file_;
};

}  // namespace sim
