#pragma once

// The ICSP link the serially programmed PICs share, on the serial socket:
// PGC on data bit 1, PGD on data bit 0 (wired AND with the chip for reads),
// VPP on MCLR and VDD.
//
// Programming mode: VPP rises on MCLR while VDD is on with PGC and PGD low
// (VDD first), or VDD rises while VPP is already on (VPP first, for parts
// whose datasheet allows it). Leaving it: either supply drops. A 6-bit
// command is clocked least significant bit first and latched on each PGC
// falling edge; load commands take a 16-clock data frame (start bit, the
// core's data bits, stop bits), read commands answer with one, the chip
// driving PGD on each PGC rising edge.
//
// What the link logs: "PGC clocked outside programming mode", "PGD changed
// less than 100 ns before PGC fell", "frame sooner than 1 us after the last
// one", "PGC sooner than 5 us after entering programming", "VPP raised with
// PGC or PGD high", "VPP without VDD" (a part with no VPP-first entry).
// What a command does is the core's (the derived model's).

#include <cstdint>
#include <optional>

#include "sim/serial_socket.h"

namespace sim {

class IcspChip : public SerialChip {
 public:
  bool VppSafeWithoutVcc() const override { return true; }
  bool in_programming_mode() const { return in_mode_; }

 protected:
  // `data_bits`: 14 for the mid-range core, 12 for the 12-bit core.
  IcspChip(bool vpp_first, int data_bits);

  // The core's side. Entered: programming mode begins. Leaving: it ends at
  // `t` (after Settle). Settle: a timed cycle that ends by `t` completes.
  virtual void Entered() = 0;
  virtual void Leaving(int64_t t) = 0;
  virtual void Settle(int64_t t) = 0;
  virtual void Command(int code, int64_t t) = 0;
  virtual void Loaded(uint16_t value) = 0;

  // Called from Command: a data frame follows; a read frame answers
  // `value` (0xFFFF leaves PGD released).
  void ExpectLoad() { frame_ = Frame::kLoad; }
  void Answer(uint16_t value) {
    frame_ = Frame::kRead;
    out_ = value;
  }

 private:
  enum class Frame { kCommand, kLoad, kRead };

  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t time_ns) const override;
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;

  void Enter(int64_t t);
  void Leave(int64_t t);
  void ClockFell(const SerialLines& now);
  void ClockRose(const SerialLines& now);

  bool vpp_first_;
  int data_bits_;
  bool in_mode_ = false;
  int64_t entered_ns_ = 0;
  Frame frame_ = Frame::kCommand;
  int bits_ = 0;
  uint32_t shift_ = 0;
  uint16_t out_ = 0;
  bool driving_ = false;
  bool out_level_ = false;
  int64_t data_since_ns_ = 0;
  int64_t frame_end_ns_ = 0;
  bool first_clock_ = true;
};

}  // namespace sim
