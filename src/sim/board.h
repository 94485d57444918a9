#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hw/port_io.h"
#include "sim/chip.h"
#include "sim/trace.h"
#include "sim/violations.h"
#include "sim/virtual_clock.h"

namespace sim {

// Board-level faults.
enum class BoardFault {
  kNone,
  kNoBoard,       // nothing on the port: inputs float, no loop-back
  kLoopStuck0,    // status bit 7 always reads 0
  kLoopStuck1,    // status bit 7 always reads 1
  kLoopInverted,  // status bit 7 reads the loop-back the wrong way round
  // Wiring faults of a home-built board (arguments: the lines).
  kDeadLine,   // address line arg1 is open: its socket pin stays low
  kSwap,       // the port's data lines arg1 and arg2 are swapped on the board
  kStuckRead,  // read-register bit arg1 always loads arg2
};

// What RestState() says when the port is where PowerDown leaves it.
inline constexpr char kAtRest[] = "at rest";

// The programmer board on a simulated parallel port. It decodes register
// writes into socket signals:
//  - three address shift registers clocked by the rising edge of data bit 0
//    gated by control bit 1: the clock reaches them only while the port is
//    not driving the data bus. Releasing the bus while data bit 0 is high is
//    a clock edge too. Serial inputs data bits 1 (A7..A0), 4 (A15..A8) and
//    5 (A23..A16);
//  - the data bus, driven by the data register while control bit 1 = 1,
//    otherwise by the chip (floating high when nobody drives it);
//  - the read path: an 8-stage register acting on the falling edge of data
//    bit 2, loading the bus when data bit 1 is 1 and otherwise shifting
//    toward the top stage with the fill bit entering at the bottom; status
//    bits 6, 5, 4 show the top three stages inverted;
//  - socket power (Vcc) on control bit 2, Vpp while control bit 0 is 0, the
//    program line active while control bit 3 is 1;
//  - the loop-back: with power on, status bit 7 reads NOT data bit 0 unless
//    the chip drives that line with its serial output (asked at the moment
//    of the read, so a chip can answer by time: busy flags, slow outputs).
//
// Power and timing rules it checks (each a named violation):
//  - Vpp and the program line (of a chip in the parallel socket) must be
//    off when Vcc goes off and when it comes on; one write that drops Vpp and Vcc together is
//    allowed, Vpp coming on in the same write as Vcc is not;
//  - Vpp is never applied, and no address or data line driven high, while
//    Vcc is off (a chip in the serial socket has neither on its pins). The program line's driver
//    only pulls its pin low and the part's own supply pulls it up, so it cannot feed an unpowered
//    chip;
//  - no chip access sooner than the part's power-up time after Vcc on;
//  - the port does not drive the data bus while the chip's outputs are on;
//  - the read path is not read after it loaded the port's own byte (a load
//    while the port drives the bus);
//  - no chip access while the address registers are mid-shift.
class Board final : public hw::PortIo {
 public:
  explicit Board(uint16_t base = 0x378);
  ~Board() override;

  void PortOut(uint16_t port, uint8_t value) override;
  uint8_t PortIn(uint16_t port) override;

  VirtualClock& clock() { return clock_; }
  void SetBase(uint16_t base) {
    base_ = base;
    if (sink_ != nullptr) sink_->SetBase(base);
  }
  uint16_t base() const { return base_; }
  // Virtual time one port access takes (default 1 us, a real LPT's cost).
  void SetAccessCost(int64_t ns) { access_cost_ns_ = ns; }
  int64_t access_cost_ns() const { return access_cost_ns_; }
  // The wiring faults (kDeadLine, kSwap, kStuckRead) add to the others;
  // the rest replace each other.
  void SetFault(BoardFault fault, int arg1 = 0, int arg2 = 0);
  void SetReadFill(bool one) { fill_ = one ? 1 : 0; }

  void InsertChip(std::unique_ptr<Chip> chip);
  std::unique_ptr<Chip> RemoveChip();
  Chip* chip() { return chip_.get(); }

  // Observation, for tests and the trace.
  const Pins& pins() const { return pins_; }
  uint8_t read_path() const { return read_path_; }
  uint64_t accesses() const { return accesses_; }
  // Board-level violation kinds followed by the chip's own.
  std::vector<std::string> violations() const;
  // The same with counts and first occurrences, one line each.
  std::vector<std::string> ViolationDetails() const;
  // Forgets the violations, and that a pin was driven while Vcc was off.
  void ClearViolations();

  // kAtRest when the port is exactly where PowerDown leaves it (socket
  // unpowered, data bus released, no Vpp, program line as PowerDown's last
  // step sets it, address 0, data register 0x04) and no chip pin has been
  // driven while Vcc was off since the last ClearViolations; otherwise what
  // differs.
  std::string RestState() const;

  // The in-memory trace, for tests that pin exact sequences.
  void EnableTrace(bool on) { trace_on_ = on; }
  const std::vector<TraceEntry>& trace() const { return trace_; }
  void ClearTrace() { trace_.clear(); }
  // A streaming recorder of every access with the socket signals (nullptr:
  // none). The board does not own it.
  void SetTraceSink(TraceSink* sink) {
    sink_ = sink;
    sink_signals_ = sink_ != nullptr && sink_->WantsSignals();
    if (sink_ != nullptr) sink_->SetBase(base_);
  }
  SocketSignals Signals() const;

 private:
  void WriteData(uint8_t value);
  void WriteControl(uint8_t value);
  void ShiftClock();
  void CheckPower(uint8_t old_ctrl, uint8_t new_ctrl);
  [[gnu::noinline, gnu::cold]] void DataBit3Set(uint8_t value);
  void CheckDrivenWhileOff();
  void CheckContention();
  uint8_t Status();
  uint8_t SampleBus();
  void ChipAccess(const char* what);
  void Violation(std::string_view text);
  void Notify() {
    pins_.time_ns = clock_.now_ns();
    if (chip_) chip_->Update(ChipPins());
  }
  // The lines as the chip sees them through its adapter.
  const Pins& ChipPins() {
    if (adapter_ == SocketAdapter::kDirect) return pins_;
    return AdaptedPins();
  }
  const Pins& AdaptedPins();
  void AdapterControl(uint8_t old_ctrl);
  void Record(uint16_t port, bool write, uint8_t value);

  VirtualClock clock_;
  uint16_t base_;
  int64_t access_cost_ns_ = 1000;
  BoardFault fault_ = BoardFault::kNone;
  uint8_t fill_ = 0;
  bool wiring_faults_ = false;
  int dead_line_ = -1;
  int swap_[2] = {-1, -1};
  int stuck_read_bit_ = -1;
  int stuck_read_level_ = 0;

  std::unique_ptr<Chip> chip_;
  Pins pins_{.data = 0x04, .ctrl = 0x09};  // as the last PowerDown left it
  uint8_t shift_[3] = {0, 0, 0};           // A7..A0, A15..A8, A23..A16
  uint32_t shift_clocks_ = 0;              // clocks since the last full address
  uint8_t read_path_ = 0xFF;
  bool read_path_own_ = false;  // the last load took the port's own byte
  bool read_load_ = false;      // the current access loaded the read path
  uint64_t accesses_ = 0;

  std::vector<std::string> driven_while_off_;  // which lines, once each

  // The adapter of the chip in the socket and its own registers.
  SocketAdapter adapter_ = SocketAdapter::kDirect;
  uint8_t upper_latch_ = 0xFF;  // 16-bit adapter: D15..D8
  uint32_t hub_address_ = 0;    // firmware hub: column << 11 | row as latched
  int64_t hub_since_ns_ = 0;
  Pins view_;

  bool trace_on_ = false;
  std::vector<TraceEntry> trace_;
  TraceSink* sink_ = nullptr;
  bool sink_signals_ = false;
  ViolationLog log_;
};

}  // namespace sim
