#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sim/chip.h"

namespace sim {

// An MCS-48/41 microcontroller (8748H/8749H EPROM and OTP parts, and the
// 8048/8049/8050 ROM parts for reading) on the DIP32-to-MCS-48 adapter.
//
// Lines: latch bits 0..3 are P2.0..P2.3 (A8..A11), bit 4 is TEST0 (0
// program, 1 verify); control bit 0 = 0 puts the programming voltage on EA;
// control bit 3 LOW is the program pulse; the low address byte goes out on
// the data bus and is latched by RESET. The adapter makes RESET from control
// bit 1 through an RC network: RESET follows control bit 1 once the bit has
// held its new level for kResetDelayNs, and a shorter change (the few
// microseconds of a read strobe) does not get through. 1 ms sits between a
// port access (1 us) and the 2.1 ms the routines wait after raising the bit.
//
// Cells read 0x00 erased; a program pulse ORs the bus into the cell whose
// address RESET latched, once the cell has had the pulses it needs (one for
// an ordinary cell), each at least the part's minimum width, with TEST0 = 0
// and EA high. With TEST0 = 1, EA high, RESET high and the bus released the
// part drives the latched cell onto the bus (verify). The ROM parts read and
// verify and never program.
//
// Violations: "program pulse in verify mode (TEST0 = 1)", "program pulse
// with RESET low (no address latched)", "program pulse shorter than tPW
// min" (the board itself reports EA's voltage on an unpowered socket).
//
// Faults: "weak" address, arg1 = pulses the cell needs; "never" address;
// "rom": a ROM part in the socket of an EPROM one.
struct Mcs48Part {
  std::string_view name;
  uint32_t size;
  bool rom;
  int64_t pulse_min_ns;  // tPW min
  int64_t power_up_ns;
};

const Mcs48Part* FindMcs48Part(std::string_view name);

class Mcs48Chip final : public Chip {
 public:
  static constexpr int64_t kResetDelayNs = 1'000'000;

  explicit Mcs48Chip(const Mcs48Part& part);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return part_.power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "mcs48"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  bool reset() const { return reset_; }
  uint32_t latched_address() const { return address_; }

  // Program pulses and EA edges, kept while recording.
  struct Pulse {
    int64_t start_ns;
    int64_t width_ns;
    uint32_t address;
    uint8_t data;
    bool test0;
    bool ea;
  };
  struct EaEdge {
    int64_t time_ns;
    bool high;
    uint32_t address;  // the address RESET last latched
  };
  void RecordEvents(bool on) { record_ = on; }
  const std::vector<Pulse>& pulses() const { return pulses_; }
  const std::vector<EaEdge>& ea_edges() const { return ea_edges_; }

 private:
  bool Ea(const Pins& pins) const { return pins.power() && !pins.strobe(); }
  bool Test0(const Pins& pins) const { return (pins.address & 0x10) != 0; }
  void EndPulse(const Pins& pins);

  const Mcs48Part& part_;
  std::vector<uint8_t> cells_;
  bool rom_ = false;
  std::unordered_map<uint32_t, int> needs_;
  std::unordered_map<uint32_t, int> taken_;

  bool seen_ = false;
  Pins last_;
  bool drive_line_ = false;  // control bit 1
  int64_t drive_since_ns_ = 0;
  bool reset_ = false;
  uint32_t address_ = 0;

  bool pulse_ = false;
  Pulse current_{};

  bool record_ = false;
  std::vector<Pulse> pulses_;
  std::vector<EaEdge> ea_edges_;
};

}  // namespace sim
