#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "sim/chip.h"

namespace sim {

// The level of the program line (control bit 3) a chip needs before it
// drives its outputs: some EPROMs read with the line high, others (the ones
// whose device sets the read level flag) with it low.
enum class ReadLevel { kAny, kHigh, kLow };

// A generic byte-wide read-only memory: a ROM, or an EPROM in read mode.
// Its chip enable and output enable follow the board's drive line, so it
// drives the data bus only while the socket is powered, the port is not
// driving (control bit 1 low, as the read strobe leaves it) and the program
// line is at the configured read level. Each falling edge of the drive line
// is one read access; address lines above the chip's size are not
// connected.
//
// Faults (InjectFault):
//   "stuck"      address, arg1 = bit, arg2 = level the bit always reads
//   "stuck_byte" address, arg1 = the value the byte always reads
//   "flaky"      address, arg1 = read accesses that return a wrong value
//                before the byte reads right, arg2 = XOR mask of the wrong
//                value (0 means 0x01)
class RomChip final : public Chip {
 public:
  explicit RomChip(uint32_t size, ReadLevel level = ReadLevel::kAny);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  bool InjectFault(const ChipFault& fault) override;
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  std::vector<uint8_t>& cells() { return cells_; }
  uint32_t size() const { return static_cast<uint32_t>(cells_.size()); }
  void set_read_level(ReadLevel level) { level_ = level; }
  // Read accesses in all, and at a faulty address since its fault was set.
  uint64_t accesses() const { return accesses_; }
  uint64_t AccessesAt(uint32_t address) const;

 private:
  struct Fault {
    uint8_t and_mask = 0xFF;  // stuck-at-0 bits
    uint8_t or_mask = 0x00;   // stuck-at-1 bits
    int wrong_reads = 0;      // flaky: accesses that read wrong
    uint8_t xor_mask = 0;
    uint64_t accesses = 0;
  };
  uint32_t Cell(uint32_t address) const;
  bool OutputsOn(const Pins& pins) const;

  std::vector<uint8_t> cells_;
  ReadLevel level_;
  bool drive_ = false;
  bool program_ = false;
  uint64_t accesses_ = 0;
  std::map<uint32_t, Fault> faults_;
};

}  // namespace sim
