#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/chip.h"

namespace sim {

// A UV EPROM in the socket, 8 bits wide or 16 bits wide on the DIP40/DIP42
// adapter. One model serves every part; the configuration says how the DIP
// switches connect the board's lines to the part's pins.
//
// Board lines, as the control and data registers drive them:
//   control bit 2   socket power (Vcc).
//   control bit 0   the Vpp switch: 0 puts Vpp on the part's Vpp pin, 1 puts
//                   Vcc there (so the line rests at 1).
//   control bit 1   OE: 1 holds the part's outputs off (OE high) and lets the
//                   port's data register drive the data bus; 0 turns the
//                   outputs on and releases the bus (pull-ups read 0xFF).
//   control bit 3   the program line, active at 1. Depending on the part it
//                   reaches CE/PGM, a PGM pin of its own, or (2716) the
//                   active-high CE/PGM pin through an inverter.
//   shift registers A0.. as far as the part has address pins; the lines
//                   above its size go to pins the switches hold at Vcc,
//                   Vpp or the program line, so the part does not see them
//                   (addresses wrap at the part's size).
//
// The part types (ProgramPin x VppPin):
//   kChipEnable + kOwn      27C256, 27C040, 27C4096, 27C400/800/160 (the
//                           BYTE/Vpp pin), M87C256 (AS/Vpp: the board never
//                           pulls it low, so its address latches stay open).
//                           Vcc on Vpp: outputs on while CE and OE are both
//                           active. Vpp on: program verify; the outputs are
//                           on while OE is low whatever CE does (vendors
//                           specify either level of CE for verify).
//   kChipEnable + kShared   2732, 27C512, 27C080, 27C322: OE/Vpp. Vpp on the
//                           pin holds the outputs off whatever control bit 1
//                           does; control bit 1 then only decides whether
//                           the port drives the data bus or the pull-ups do.
//   kSeparate + kOwn        2764, 27128, 27C010, 27C020, 27C1024, 27C2048:
//                           CE is tied active; PGM must be inactive for the
//                           outputs to come on (read and verify alike).
//   kActiveHigh + kOwn      2716 and 27C16: CE/PGM is held low (enabled) while
//                           control bit 3 is 1 and driven high, which is the
//                           program pulse, while control bit 3 is 0.
//
// Programming. A program pulse starts at the program line's active edge
// while the part is already set up for it: power on, Vpp on, outputs held
// off (OE high, or OE/Vpp at Vpp). It lasts while the line stays active and
// the setup holds. Raising OE while the line is already active starts no
// pulse: the datasheets want OE high and the data valid before the pulse
// begins. For the whole pulse every bit that is 0 on the data bus and still
// 1 in the cell collects pulse time; it reads 0 once it has collected the
// cell's threshold. Nothing ever sets a bit back to 1 except Erase (the UV
// lamp). With OE/Vpp the bus is the port's data register while control
// bit 1 is 1 and 0xFF (pull-ups) otherwise; an own-Vpp part sees the data
// register, because its pulse needs control bit 1 = 1.
//
// The 16-bit adapter puts board address bit 0 on the byte-lane select, so
// the part appears as a byte array of twice its word count: even addresses
// are D7..D0 of word address / 2, odd addresses D15..D8. The adapter holds
// the lane it does not select high, so a pulse programs one byte lane only.
// Contents() is that byte array.
//
// Violations logged (each with the virtual time):
//   "Vpp applied while power is off"
//   "program pulse without Vpp"          line pulsed with the data driven, no Vpp
//   "program pulse outside program mode" line pulsed at Vpp with the outputs on
//                                        (PGM and 2716 parts), or with the data
//                                        bus undriven (OE/Vpp parts: 0xFF goes in)
//   "Vpp raised during a program pulse"
//   "address changed during a program pulse", "data changed during a program pulse"
//
// Faults (InjectFault):
//   "weak"        address, arg1 = nominal pulses the cell needs (>= 1)
//   "stuck"       address, arg1 = bit, arg2 = level: 1 never programs, 0 always reads 0
//   "vpp_missing" the Vpp supply never reaches the socket (the pin sits at Vcc)
// A cell already programmed where the image has a 1 is set up with
// SetContents; an empty socket is a board without a chip.
enum class ProgramPin { kChipEnable, kSeparate, kActiveHigh };
enum class VppPin { kOwn, kShared };

struct EpromConfig {
  uint32_t size = 0;  // bytes as the board addresses them
  ProgramPin program_pin = ProgramPin::kChipEnable;
  VppPin vpp_pin = VppPin::kOwn;
  bool wide = false;  // 16-bit part on the adapter
  // Pulse time under Vpp that an ordinary cell needs; a weak cell needs a
  // multiple of it.
  int64_t cell_program_ns = 100'000;
};

class EpromChip final : public Chip {
 public:
  explicit EpromChip(const EpromConfig& config);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  bool InjectFault(const ChipFault& fault) override;
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const EpromConfig& config() const { return config_; }
  uint32_t size() const { return static_cast<uint32_t>(cells_.size()); }
  // The cell at a chip address, as stored (faults not applied).
  uint8_t Cell(uint32_t address) const { return cells_[Index(address)]; }
  // A 16-bit part's word k (low byte from the even address).
  uint16_t Word(uint32_t k) const;
  // The UV lamp: every cell back to 0xFF, partial charge gone.
  void Erase();

  // Statistics of the pulses the part has seen.
  uint64_t pulses() const { return pulses_; }
  int64_t pulse_time_ns() const { return pulse_time_ns_; }

 private:
  struct Lines {
    bool power = false;
    bool vpp = false;      // the Vpp switch is on (control bit 0 = 0)
    bool program = false;  // the program pin is active
    bool oe_high = false;  // the outputs are held off for programming
    uint8_t bus = 0xFF;    // what the data pins see when the part is not driving
  };
  struct Stuck {
    uint8_t never_program = 0;  // stuck-at-1 bits
    uint8_t read_zero = 0;      // stuck-at-0 bits
  };

  uint32_t Index(uint32_t address) const { return address % static_cast<uint32_t>(cells_.size()); }
  Lines Decode(const Pins& pins) const;
  void Log(const Pins& pins, const std::string& text);
  void StartPulse(const Pins& pins, const Lines& now);
  void EndPulse(int64_t now_ns);
  int64_t Threshold(uint32_t index) const;

  EpromConfig config_;
  std::vector<uint8_t> cells_;
  bool vpp_missing_ = false;
  std::unordered_map<uint32_t, int> weak_;  // index -> nominal pulses needed
  std::unordered_map<uint32_t, Stuck> stuck_;
  // Pulse time collected by bits that have not programmed yet: index*8+bit.
  std::unordered_map<uint64_t, int64_t> charge_;

  bool seen_ = false;  // the first Update only records the lines
  uint8_t ctrl_ = 0;
  Lines lines_;

  bool pulse_ = false;
  int64_t pulse_start_ns_ = 0;
  uint32_t pulse_address_ = 0;
  uint8_t pulse_data_ = 0xFF;

  uint64_t pulses_ = 0;
  int64_t pulse_time_ns_ = 0;
};

}  // namespace sim
