#pragma once

// The 12-bit core PICs (12C5xx and 16C505 OTP; 10F2xx, 12F5xx, 16F5xx
// flash) on the ICSP link (sim/icsp_chip.h): data frames carry 12 bits.
//
// The core has no Load Configuration: the program counter runs over one
// space of twice the program size, program memory from 0, the four ID
// locations after it (and on the calibrated flash parts the backup OSCCAL
// after them), the configuration word at the top. Entering programming
// mode sets the PC to the configuration word, so the first increment goes
// to 0; increments wrap. Commands: 2 load (12 bits), 4 read, 6 increment,
// 8 begin programming, 14 end programming, and on flash parts 9 bulk
// erase. A write ANDs the latch into the cell.
//
// A write ends after the part's program time by itself on most flash parts
// (a 14 then is harmless); OTP parts and the 16F5x need the 14, no sooner
// than that time. An OTP cell takes its value only after its pulses. The
// bulk erase takes program memory and the configuration word with the PC
// at the configuration word; with the PC in the ID area it takes the IDs
// and the backup OSCCAL too.
//
// Violations besides the link's: "unknown command 0xNN", "command during a
// programming cycle", "programming ended before its minimum time",
// "programming cycle cut by leaving programming mode", "bulk erase with the
// PC in program memory", "write to unimplemented address 0xNNN".
// Faults: "never" ADDR (a word never takes a value), "slow-word" ADDR (its
// first write does not take), "weak" ADDR PULSES (an OTP word needs PULSES
// program pulses).

#include <cstdint>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "sim/icsp_chip.h"

namespace sim {

struct Pic12Part {
  std::string_view name;
  uint32_t program_words = 512;
  uint16_t config_bits = 0x001F;   // implemented configuration bits; the others read 1
  uint16_t osccal = 0;             // factory MOVLW in the last program word (0: none)
  bool backup_osccal = false;      // and its copy after the IDs
  bool ended_by_14 = false;        // a write needs command 14 (OTP, 16F5x)
  int64_t program_ns = 2'000'000;  // self-timed write, or the shortest ended one
  int64_t erase_ns = 0;            // bulk erase; 0: OTP, no erase command
  int otp_pulses = 0;              // OTP: pulses a cell needs
};

const Pic12Part* FindPic12Part(std::string_view name);

class Pic12Chip final : public IcspChip {
 public:
  explicit Pic12Chip(const Pic12Part& part);

  std::string_view ModelName() const override { return "pic12"; }
  // Every word of the PC's space, two little-endian bytes each.
  std::vector<uint8_t> Contents() const override;
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const Pic12Part& part() const { return part_; }
  uint32_t config_address() const { return span_ - 1; }
  uint32_t backup_address() const { return part_.program_words + 4; }
  // A word by PC address.
  uint16_t Word(uint32_t address) const { return cells_.at(address); }
  void SetWord(uint32_t address, uint16_t value) { cells_.at(address) = value & 0x0FFF; }
  // Program pulses a word received (OTP parts).
  int pulses(uint32_t address) const {
    const auto it = pulses_.find(address);
    return it == pulses_.end() ? 0 : it->second;
  }
  // Writes that reached a cell.
  uint64_t writes() const { return writes_; }

 private:
  enum class Cycle { kNone, kWrite, kErase };

  bool InjectModelFault(const ChipFault& fault) override;
  void Entered() override;
  void Leaving(int64_t t) override;
  void Settle(int64_t t) override;
  void Command(int code, int64_t t) override;
  void Loaded(uint16_t value) override;

  bool Implemented(uint32_t address) const;
  void Write(uint32_t address);
  void Erase(uint32_t pc);

  Pic12Part part_;
  uint32_t span_;
  std::vector<uint16_t> cells_;
  uint32_t pc_ = 0;
  uint16_t latch_ = 0x0FFF;
  bool drop_load_ = false;  // a load during a cycle goes nowhere
  Cycle cycle_ = Cycle::kNone;
  int64_t cycle_end_ns_ = 0;
  uint32_t cycle_pc_ = 0;
  std::set<uint32_t> never_;
  std::set<uint32_t> slow_;
  std::map<uint32_t, int> weak_;
  std::map<uint32_t, int> pulses_;
  uint64_t writes_ = 0;
};

}  // namespace sim
