#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/chip.h"

namespace sim {

// A UV EPROM in the socket, 8 bits wide or 16 bits wide on the DIP40/DIP42
// adapter. One model serves every part; the configuration says how the DIP
// switches connect the board's lines to the part's pins, and carries the
// part's datasheet timing (see eprom_parts.h for the rows).
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
// cell's threshold (the charge a typical cell needs, times the weak factor
// of an injected weak cell). Charge is kept from pulse to pulse. Nothing
// ever sets a bit back to 1 except Erase (the UV lamp). With OE/Vpp the bus
// is the port's data register while control bit 1 is 1 and 0xFF (pull-ups)
// otherwise; an own-Vpp part sees the data register, because its pulse
// needs control bit 1 = 1.
//
// Datasheet timing (EpromTiming), checked on every pulse and read:
//   - the pulse width against tPW min and max (an over-program pulse of the
//     intelligent algorithm may be up to 3 x 25 nominal pulses);
//   - Vcc, Vpp, OE, address and data setup before the pulse, and address,
//     data and OE hold after it;
//   - a byte sampled sooner than tOE after the outputs came on, or tACC
//     after the address settled, reads unsettled: what the outputs held
//     before;
//   - the algorithm's over-program rule: a byte that programmed but got
//     less pulse time than the datasheet algorithm requires is "marginal"
//     (it would lose its data). Judged when Vcc goes off.
//
// The 16-bit adapter puts board address bit 0 on the byte-lane select, so
// the part appears as a byte array of twice its word count: even addresses
// are D7..D0 of word address / 2, odd addresses D15..D8. The adapter holds
// the lane it does not select high, so a pulse programs one byte lane only.
// Contents() is that byte array.
//
// Violations logged (once per kind, with the first time and address):
//   "program pulse without Vpp"          line pulsed with the data driven, no Vpp
//   "program pulse outside program mode (...)"
//   "Vpp raised during a program pulse"
//   "address changed during a program pulse", "data changed during a program pulse"
//   "program pulse shorter than tPW min", "program pulse longer than tPW max (over-stress)"
//   "<signal> setup before the program pulse shorter than <name>"
//   "<signal> changed within <name> after the program pulse"
//   "marginal byte: programmed with less than the algorithm requires"
//
// Electrically erasable parts (W27E/W27C, SST27SF, SST37VF: a row with an
// erase time). With the erase jumpers fitted (Chip::Jumper("erase"): they
// put the erase voltage where the part wants it), Vcc, Vpp, the program
// line active, the outputs held off, address 0 and 0xFF on the data bus,
// held together for the erase time, erase the whole array. The levels
// count, not the order they came in. Without the jumpers the same pulse is
// an ordinary program pulse of 0xFF.
//
// Faults (InjectFault):
//   "erase-cycles" arg1 = erase pulses the array needs (0: it never erases)
//   "weak"   address, arg1 = nominal pulses the cell needs (>= 1)
//   "stuck"  address, arg1 = bit, arg2 = level: 1 never programs, 0 always reads 0
//   "flaky"  address, arg1 = reads that return a wrong value before the byte
//            reads right (each read-path sample is one read)
//   "novpp"  the Vpp supply never reaches the socket (the pin sits at Vcc)
// A cell already programmed where the image has a 1 is set up with
// SetContents; an empty socket is a board without a chip.
enum class ProgramPin { kChipEnable, kSeparate, kActiveHigh };
enum class VppPin { kOwn, kShared };

// The program algorithm a datasheet gives, which decides what a programmed
// byte must have had to keep its data.
enum class EpromAlgorithm {
  kFastPulse,    // short pulses until the byte verifies, nothing more
  kIntelligent,  // 1 ms pulses until it verifies (X), then one 3X ms over-program pulse
  kStandard,     // one long pulse per byte
};

// A part's datasheet timing, in ns.
struct EpromTiming {
  int64_t pulse_min_ns = 95'000;  // tPW
  int64_t pulse_max_ns = 105'000;
  int64_t vcc_setup_ns = 2'000;      // tVCS
  int64_t vpp_setup_ns = 2'000;      // tVPS
  int64_t oe_setup_ns = 2'000;       // tOES: OE high before the pulse
  int64_t address_setup_ns = 2'000;  // tAS
  int64_t data_setup_ns = 2'000;     // tDS
  int64_t address_hold_ns = 0;       // tAH
  int64_t data_hold_ns = 2'000;      // tDH
  int64_t oe_hold_ns = 2'000;        // tOEH: OE stays high after the pulse
  int64_t access_ns = 200;           // tACC: address to output valid
  int64_t oe_access_ns = 100;        // tOE: output enable to output valid
  EpromAlgorithm algorithm = EpromAlgorithm::kFastPulse;
  int overprogram_factor = 0;  // kIntelligent: the over-program pulse is this times X
  int max_pulses = 25;         // the algorithm's pulses per byte before it gives up
  int64_t cell_ns = 95'000;    // pulse time a typical cell needs
  int64_t erase_ns = 0;        // the high-voltage erase pulse; 0: no electrical erase
};

struct EpromConfig {
  uint32_t size = 0;  // bytes as the board addresses them
  ProgramPin program_pin = ProgramPin::kChipEnable;
  VppPin vpp_pin = VppPin::kOwn;
  bool wide = false;  // 16-bit part on the adapter
  EpromTiming timing;
};

class EpromChip final : public Chip {
 public:
  explicit EpromChip(const EpromConfig& config);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  std::optional<uint8_t> ReadOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return config_.timing.vcc_setup_ns; }
  void SocketLevels(const Pins& pins, SocketSignals& s) const override;
  PinMap SocketPinMap() const override { return EpromPinMap(config_); }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "eprom"; }
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

  // What the part has seen.
  struct Pulse {
    int64_t start_ns;
    int64_t width_ns;
    uint32_t address;
    uint8_t data;
  };
  struct VppEdge {
    int64_t time_ns;
    bool on;
  };
  uint64_t pulses() const { return pulses_; }
  int64_t pulse_time_ns() const { return pulse_time_ns_; }
  int64_t longest_pulse_ns() const { return longest_pulse_ns_; }
  // Pulses given to bytes that already held their data: the over-program
  // pulses of the intelligent algorithm.
  uint64_t overprogram_pulses() const { return overprogram_pulses_; }
  uint64_t marginal_bytes() const { return marginal_bytes_; }
  // High-voltage erase pulses of the full erase time, and array erases.
  uint64_t erase_pulses() const { return erase_pulses_; }
  uint64_t erases() const { return erases_; }
  // Every pulse and every Vpp edge, kept when recording is on (tests), up
  // to a bound.
  void RecordEvents(bool on) { record_ = on; }
  const std::vector<Pulse>& pulse_log() const { return pulse_log_; }
  const std::vector<VppEdge>& vpp_log() const { return vpp_log_; }
  void ClearEventLog() {
    pulse_log_.clear();
    vpp_log_.clear();
  }

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
  // Pulse time a byte collected and when its data first held (marginal check).
  struct ByteCharge {
    int64_t total_ns = 0;
    int64_t at_verify_ns = 0;
  };

  uint32_t Index(uint32_t address) const { return address % static_cast<uint32_t>(cells_.size()); }
  Lines Decode(const Pins& pins) const;
  bool OutputsOn(const Lines& l) const;
  void Log(const Pins& pins, std::string_view text);
  // The lines changed in a way a cell may care about.
  [[gnu::noinline]] void Follow(const Pins& pins);
  void StartPulse(const Pins& pins, const Lines& now);
  void EndPulse(const Pins& pins);
  void CheckSetup(const Pins& pins);
  void CheckHold(const Pins& pins, const Lines& now);
  void JudgeMargins(const Pins& pins);
  int64_t Threshold(uint32_t index) const;
  uint8_t StoredValue(uint32_t index) const;
  // The erase levels are all there now.
  bool EraseLevels(const Pins& pins, const Lines& now) const;
  void FollowErase(const Pins& pins, const Lines& now);

  EpromConfig config_;
  std::vector<uint8_t> cells_;
  bool vpp_missing_ = false;
  std::unordered_map<uint32_t, int> weak_;  // index -> nominal pulses needed
  std::unordered_map<uint32_t, Stuck> stuck_;
  std::unordered_map<uint32_t, int> flaky_;  // index -> wrong reads still to come
  // Pulse time collected by bits that have not programmed yet: index*8+bit.
  std::unordered_map<uint64_t, int64_t> charge_;
  // Bytes pulsed since Vcc last came on, for the over-program rule.
  std::unordered_map<uint32_t, ByteCharge> pulsed_;

  bool seen_ = false;  // the first Update only records the lines
  uint8_t ctrl_ = 0;
  Lines lines_;
  int64_t vpp_since_ns_ = 0;       // Vpp on since
  int64_t oe_high_since_ns_ = 0;   // outputs held off since
  int64_t bus_since_ns_ = 0;       // the data pins' value since
  int64_t outputs_since_ns_ = 0;   // outputs on since
  uint8_t last_out_ = 0xFF;        // what the outputs held last

  bool pulse_ = false;
  int64_t pulse_start_ns_ = 0;
  uint32_t pulse_address_ = 0;
  uint8_t pulse_data_ = 0xFF;
  bool hold_ = false;  // inside the hold window after a pulse
  int64_t pulse_end_ns_ = 0;

  uint64_t pulses_ = 0;
  int64_t pulse_time_ns_ = 0;
  int64_t longest_pulse_ns_ = 0;
  uint64_t overprogram_pulses_ = 0;
  uint64_t marginal_bytes_ = 0;

  // The high-voltage erase.
  bool erasing_ = false;       // the erase levels are held
  int64_t erase_start_ns_ = 0;
  int erase_pulses_needed_ = 1;  // 0: never
  uint64_t erase_pulses_ = 0;
  uint64_t erases_ = 0;

  bool record_ = false;
  std::vector<Pulse> pulse_log_;
  std::vector<VppEdge> vpp_log_;
};

}  // namespace sim
