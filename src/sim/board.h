#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hw/port_io.h"
#include "sim/chip.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace sim {

// Board-level faults.
enum class BoardFault {
  kNone,
  kNoBoard,       // nothing on the port: inputs float, no loop-back
  kLoopStuck0,    // status bit 7 always reads 0
  kLoopStuck1,    // status bit 7 always reads 1
};

// The programmer board on a simulated parallel port. It decodes register
// writes into socket signals:
//  - three address shift registers clocked by the rising edge of data bit 0
//    while the port is not driving the data bus (control bit 1 = 0), serial
//    inputs data bits 1 (A7..A0), 4 (A15..A8) and 5 (A23..A16);
//  - the data bus, driven by the data register while control bit 1 = 1,
//    otherwise by the chip (floating high when nobody drives it);
//  - the read path: an 8-stage register acting on the falling edge of data
//    bit 2, loading the bus when data bit 1 is 1 and otherwise shifting
//    toward the top stage with the fill bit entering at the bottom; status
//    bits 6, 5, 4 show the top three stages inverted;
//  - the loop-back: with power on, status bit 7 reads NOT data bit 0 unless
//    the chip drives that line with its serial output.
class Board final : public hw::PortIo {
 public:
  explicit Board(uint16_t base = 0x378);
  ~Board() override;

  void PortOut(uint16_t port, uint8_t value) override;
  uint8_t PortIn(uint16_t port) override;

  VirtualClock& clock() { return clock_; }
  void SetBase(uint16_t base) { base_ = base; }
  uint16_t base() const { return base_; }
  // Virtual time one port access takes (default 1 us, a real LPT's cost).
  void SetAccessCost(int64_t ns) { access_cost_ns_ = ns; }
  void SetFault(BoardFault fault) { fault_ = fault; }
  void SetReadFill(bool one) { fill_ = one ? 1 : 0; }

  void InsertChip(std::unique_ptr<Chip> chip);
  std::unique_ptr<Chip> RemoveChip();
  Chip* chip() { return chip_.get(); }

  // Observation, for tests and the trace.
  const Pins& pins() const { return pins_; }
  uint8_t read_path() const { return read_path_; }
  uint64_t accesses() const { return accesses_; }
  // Board-level violations followed by the chip's own.
  std::vector<std::string> violations() const;
  void ClearViolations();

  void EnableTrace(bool on) { trace_on_ = on; }
  const std::vector<TraceEntry>& trace() const { return trace_; }
  void ClearTrace() { trace_.clear(); }

 private:
  void WriteData(uint8_t value);
  void WriteControl(uint8_t value);
  uint8_t Status();
  uint8_t BusValue();
  void ChipAccess(const char* what);
  void Violation(std::string text);
  void Notify() {
    pins_.time_ns = clock_.now_ns();
    if (chip_) chip_->Update(pins_);
  }

  VirtualClock clock_;
  uint16_t base_;
  int64_t access_cost_ns_ = 1000;
  BoardFault fault_ = BoardFault::kNone;
  uint8_t fill_ = 0;

  std::unique_ptr<Chip> chip_;
  Pins pins_;
  uint8_t shift_[3] = {0, 0, 0};  // A7..A0, A15..A8, A23..A16
  uint32_t shift_clocks_ = 0;     // clocks since the last full address
  uint8_t read_path_ = 0xFF;
  uint64_t accesses_ = 0;

  bool trace_on_ = false;
  std::vector<TraceEntry> trace_;
  std::vector<std::string> violations_;
};

}  // namespace sim
