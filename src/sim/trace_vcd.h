#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/trace.h"
#include "sim/trace_file.h"

namespace sim {

// Streams the socket's pin-level signals and the three port registers as a
// VCD waveform (1 ns timescale, the board's virtual time), writing only the
// values that changed. Scope "board" holds data_reg, status_reg (the value of
// each status read) and control_reg; "board.socket" holds address, data (the
// bus value), port_drives and chip_drives (who drives the bus; both high is
// contention), oe_n, ce_n, pgm_n, vpp, vcc and read_load, high for the one
// access that loaded the read path. A register is x until the first access
// to it. Values are dumped at the first access; several accesses at one
// time share one timestamp, and the clock never goes back.
class VcdTraceSink final : public TraceSink {
 public:
  explicit VcdTraceSink(std::unique_ptr<TraceFile> file);
  void SetBase(uint16_t base) override { base_ = base; }
  void Record(const TraceEntry& access, const SocketSignals& socket) override;
  bool Finish(std::string* error) override;

  enum Var : int {
    kDataReg,
    kStatusReg,
    kControlReg,
    kAddress,
    kData,
    kPortDrives,
    kChipDrives,
    kOeN,
    kCeN,
    kPgmN,
    kVpp,
    kVcc,
    kReadLoad,
    kVarCount
  };

 private:
  // The most one access writes: a timestamp, markers and every variable.
  static constexpr size_t kMaxRecord = 512;

  void WriteHeader();
  char* PutTime(char* p);
  char* PutValue(char* p, int var, uint32_t value, bool known);

  std::unique_ptr<TraceFile> file_;
  uint16_t base_ = 0x378;
  uint32_t values_[kVarCount] = {};
  uint32_t known_ = 0;  // one bit per variable: it has a value
  bool started_ = false;
  int64_t time_ = 0;          // of the latest access
  bool time_written_ = true;  // "#time_" is in the file
};

}  // namespace sim
