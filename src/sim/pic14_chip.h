#pragma once

// The 14-bit flash PIC core (16F8x, 16F6xx, 16F87x(A), 12F6xx ...) on the
// ICSP link (sim/icsp_chip.h): data frames carry 14 bits.
//
// The program counter covers program memory (0x0000..) and, after Load
// Configuration, the configuration space: IDs 0x2000..0x2003, the device ID
// at 0x2006 (read only), the configuration word 0x2007 and, on some parts,
// calibration words or a second configuration word at 0x2008/0x2009. Data
// memory is addressed by the PC's low bits.
//
// What the part does is one row of data (Pic14Part): sizes, the write
// latches, what command 8 does, the self-timed and externally timed write
// and erase times from the part's datasheet.
//
// Violations besides the link's: "command during a self-timed cycle",
// "unknown command 0xNN", "programming ended before its minimum time",
// "self-timed cycle cut by leaving programming mode".
//
// Faults, besides "absent" and "stuck": "cp" (code protection set),
// "slow-word" ADDR (the word's first write does not take; the next does),
// "never" ADDR (the program word never takes a value), "weak" ADDR PULSES
// (an OTP word needs PULSES program pulses).

#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "sim/icsp_chip.h"

namespace sim {

// The set of commands a part knows, one bit per 6-bit code.
constexpr uint64_t Pic14Commands(std::initializer_list<int> codes) {
  uint64_t set = 0;
  for (const int code : codes) set |= uint64_t{1} << code;
  return set;
}

struct Pic14Part {
  std::string_view name;
  uint32_t program_words = 1024;
  uint32_t eeprom_bytes = 0;
  uint16_t device_id = 0x3FFF;  // 0x3FFF: the part has none
  int latch_words = 1;          // program latches committed together
  // What command 8 starts: erase and program, self-timed; program only,
  // self-timed; or program only until an end-programming command.
  enum class Begin : uint8_t { kEraseProgram, kProgram, kProgramExternal };
  Begin begin = Begin::kEraseProgram;
  // The commands of the part's datasheet; any other code
  // is logged and ignored. 24 starts an externally timed program, 31 is
  // the chip erase, 1 and 7 arm the erase of a protected part.
  uint64_t commands = Pic14Commands({0, 2, 3, 4, 5, 6, 8, 9, 11});
  bool vpp_first = false;              // the datasheet allows VPP-first entry
  int calib_words = 0;                 // factory words at 0x2008.. that only a bulk erase
                                       // with the PC at them reaches
  uint16_t osccal = 0;                 // factory RETLW at the last program word (0: none)
  uint16_t factory_config = 0x3FFF;    // configuration word as shipped (band-gap bits)
  uint16_t config_bits = 0x3FFF;       // implemented configuration bits
  uint16_t cp_mask = 0x0010;           // code protection on while any of these bits is 0
  int64_t program_ns = 4'000'000;      // command 8, program memory
  int64_t data_ns = 4'000'000;         // command 8, data memory
  int64_t program_min_ns = 1'000'000;  // externally timed program, start .. end command
  int64_t erase_ns = 10'000'000;       // bulk and chip erase, the 1/7/8 sequence
  // One-time programmable (16C parts): each program pulse (8 .. 14) ANDs
  // the latch in, and a cell takes its value only after this many pulses.
  int otp_pulses = 0;
};

const Pic14Part* FindPic14Part(std::string_view name);

class Pic14Chip final : public IcspChip {
 public:
  explicit Pic14Chip(const Pic14Part& part);

  std::string_view ModelName() const override { return "pic14"; }
  // Program words, then the configuration space 0x2000..0x201F, then data
  // memory, each program or configuration word as two little-endian bytes.
  std::vector<uint8_t> Contents() const override;
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const Pic14Part& part() const { return part_; }
  uint16_t Program(uint32_t address) const { return program_.at(address); }
  void SetProgram(uint32_t address, uint16_t value) { program_.at(address) = value & 0x3FFF; }
  uint16_t Config(uint32_t address) const { return config_.at(address - 0x2000); }
  void SetConfig(uint32_t address, uint16_t value) {
    config_.at(address - 0x2000) = value & 0x3FFF;
  }
  uint8_t Data(uint32_t address) const { return eeprom_.at(address); }
  bool code_protected() const;
  // Program-memory writes committed (program cells changed by a cycle), for
  // tests that count what a routine wrote.
  uint64_t program_cycles() const { return program_cycles_; }
  // Data-memory writes committed.
  uint64_t data_cycles() const { return data_cycles_; }
  // OTP parts: program pulses a word (or configuration-space word) received.
  int pulses(uint32_t address) const {
    const auto it = pulses_.find(address);
    return it == pulses_.end() ? 0 : it->second;
  }

 private:
  enum class Cycle { kNone, kProgram, kData, kProgramOnly, kErase };

  bool InjectModelFault(const ChipFault& fault) override;
  void Entered() override;
  void Leaving(int64_t t) override;
  void Settle(int64_t t) override;
  void Command(int code, int64_t t) override;
  void Loaded(uint16_t value) override;

  uint16_t ReadValue(int code) const;
  void Start(Cycle cycle, int64_t t, int64_t length);
  void Commit(Cycle cycle);
  void WriteProgram(uint32_t address, uint16_t value, bool erase_first);
  void EraseProgram();
  void EraseConfig(bool with_calibration);
  uint32_t RowBase() const { return pc_ & ~static_cast<uint32_t>(part_.latch_words - 1); }

  Pic14Part part_;
  std::vector<uint16_t> program_;
  std::vector<uint16_t> config_;  // 0x2000..0x201F
  std::vector<uint8_t> eeprom_;

  int command_ = 0;  // the last command latched

  uint32_t pc_ = 0;
  std::vector<uint16_t> latches_;
  std::vector<bool> latched_;
  uint8_t data_latch_ = 0xFF;
  int last_load_ = -1;  // 0, 2 or 3: the last load command
  int arm_ = 0;         // 1 after command 1, 2 after 1 then 7

  Cycle cycle_ = Cycle::kNone;
  int64_t cycle_start_ns_ = 0;
  int64_t cycle_end_ns_ = 0;
  bool cycle_chip_erase_ = false;  // the 1/7/8 sequence: everything, protection too
  uint32_t cycle_pc_ = 0;

  std::set<uint32_t> slow_;
  std::set<uint32_t> never_;
  std::map<uint32_t, int> pulses_;
  std::map<uint32_t, int> weak_;  // OTP words that need more pulses than the part's
  uint64_t program_cycles_ = 0;
  uint64_t data_cycles_ = 0;
};

}  // namespace sim
