#pragma once

// What the parallel flash models share: how the board's lines meet a flash
// part, the cell array with its injected faults, the sector (block) map,
// and the datasheet write-cycle checks.
//
// Board lines, as a flash part sees them:
//   control bit 2   Vcc.
//   control bit 1   OE#: 1 holds the part's outputs off while the port drives
//                   the data bus; 0 turns them on.
//   control bit 3   WE#, active at 1. A write cycle begins when the bit rises
//                   while OE# is high (the address is latched then) and
//                   commits when it falls with OE# still high (the data is
//                   latched then). With OE# low the part neither writes nor
//                   stops driving: the default read holds bit 3 at 1 while it
//                   toggles OE#.
//   control bit 0   0 puts 12 V on the socket pin the board's Vpp switch
//                   reaches: #RESET/Vpp, Vpp, RP# through a wire, or a pin of
//                   the part that only takes logic levels.
//   shift registers the address; lines above the part's size are ignored.

#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "sim/chip.h"

namespace sim {

inline constexpr int64_t kNs = 1;
inline constexpr int64_t kUs = 1000;
inline constexpr int64_t kMs = 1000 * kUs;
inline constexpr int64_t kSec = 1000 * kMs;
inline constexpr int64_t kNever = INT64_MAX;

// The write-cycle limits of a part's datasheet (WE#-controlled writes), in ns.
struct WriteTiming {
  int64_t power_up_ns = 50 * kUs;  // tVCS: no command is taken sooner after Vcc on
  int64_t pulse_ns = 100;          // tWP: WE# low
  int64_t address_setup_ns = 0;    // tAS: address valid before WE# falls
  int64_t address_hold_ns = 50;    // tAH: address held after WE# falls
  int64_t data_setup_ns = 50;      // tDS: data valid before WE# rises
};

// One run of equal sectors or blocks, in address order.
struct SectorRun {
  uint32_t count;
  uint32_t size;  // bytes as the board addresses them
};

// The lines a flash part sees at one port write, and what changed.
struct FlashEdges {
  bool power_on = false, power_off = false;
  bool vpp_on = false, vpp_off = false;
  bool oe_fall = false, oe_rise = false;
  bool write_start = false;    // WE# fell while OE# was high: address latched
  bool commit = false;         // WE# rose with OE# high: data latched
  bool commit_oe_low = false;  // WE# rose with OE# low in a write begun with it high
};

// Decodes the control register into a flash part's edges and checks each
// write cycle against the part's datasheet limits.
class FlashBus {
 public:
  // Fills `e` and returns true when the control register changed.
  bool Decode(const Pins& pins, FlashEdges& e);

  bool power() const { return power_; }
  bool vpp() const { return vpp_; }
  bool oe_low() const { return oe_low_; }
  // The address of the write cycle in progress or just committed.
  uint32_t write_address() const { return write_address_; }
  int64_t power_since_ns() const { return power_since_ns_; }
  // Whether the part still ignores commands after Vcc came on.
  bool WithinPowerUp(const Pins& pins, const WriteTiming& t) const {
    return pins.time_ns - power_since_ns_ < t.power_up_ns;
  }
  // Names the first limit a committed write broke, or nullptr.
  const char* CheckWrite(const Pins& pins, const WriteTiming& t) const;

 private:
  bool seen_ = false;
  uint8_t ctrl_ = 0;
  bool power_ = false, vpp_ = false, oe_low_ = false, we_low_ = false;
  bool writing_ = false;  // a write cycle began with OE# high
  uint32_t write_address_ = 0;
  int64_t write_start_ns_ = 0;
  int64_t address_since_at_start_ns_ = 0;
  int64_t drive_since_ns_ = 0;
  int64_t power_since_ns_ = 0;
};

// The cells of a flash part as the board addresses them, with injected
// stuck bits. Programming only clears bits; erasing sets them.
class FlashCells {
 public:
  explicit FlashCells(uint32_t size) : cells_(size == 0 ? 1 : size, 0xFF) {}

  uint32_t size() const { return static_cast<uint32_t>(cells_.size()); }
  uint32_t Index(uint32_t address) const { return address % size(); }
  // What the cell reads, stuck bits applied.
  uint8_t Read(uint32_t index) const {
    if (stuck_.empty()) return cells_[index];
    const auto it = stuck_.find(index);
    if (it == stuck_.end()) return cells_[index];
    return static_cast<uint8_t>((cells_[index] & it->second.and_mask) | it->second.or_mask);
  }
  uint8_t Stored(uint32_t index) const { return cells_[index]; }
  // A program: the bits that are 0 in `data` clear.
  void Program(uint32_t index, uint8_t data) { cells_[index] &= data; }
  void Set(uint32_t index, uint8_t value) { cells_[index] = value; }
  void Erase(uint32_t first, uint32_t count);
  // Whether a program of `data` would read back as `data` (no bit needs a 0
  // to become 1, no stuck bit disagrees).
  bool Programs(uint32_t index, uint8_t data) const {
    const uint8_t after = static_cast<uint8_t>(cells_[index] & data);
    if (after != data) return false;
    const auto it = stuck_.find(index);
    if (it == stuck_.end()) return true;
    return static_cast<uint8_t>((after & it->second.and_mask) | it->second.or_mask) == data;
  }
  // Whether every cell of a range reads 0xFF after an erase.
  bool Erases(uint32_t first, uint32_t count) const;
  // "stuck": bit `bit` of the cell always reads `level`.
  bool AddStuck(uint32_t address, int bit, int level);

  const std::vector<uint8_t>& bytes() const { return cells_; }
  void Load(const std::vector<uint8_t>& bytes);

 private:
  struct Stuck {
    uint8_t and_mask = 0xFF;
    uint8_t or_mask = 0x00;
  };
  std::vector<uint8_t> cells_;
  std::map<uint32_t, Stuck> stuck_;
};

// The sectors (or blocks) of a part, from its runs.
class SectorMap {
 public:
  SectorMap(std::span<const SectorRun> runs, uint32_t size);
  int count() const { return static_cast<int>(starts_.size()) - 1; }
  uint32_t Start(int sector) const { return starts_[static_cast<size_t>(sector)]; }
  uint32_t Size(int sector) const {
    return starts_[static_cast<size_t>(sector) + 1] - starts_[static_cast<size_t>(sector)];
  }
  // The sector holding a cell index.
  int Find(uint32_t index) const;

 private:
  std::vector<uint32_t> starts_;  // every start, then the end
};

// The per-address slow-down factors of the "slow" fault.
class SlowCells {
 public:
  void Add(uint32_t index, int factor) { factors_[index] = factor < 1 ? 1 : factor; }
  int64_t Scale(uint32_t index, int64_t ns) const {
    if (factors_.empty()) return ns;
    const auto it = factors_.find(index);
    return it == factors_.end() ? ns : ns * it->second;
  }
  // The largest factor inside a range (an erase of a sector with a slow cell).
  int64_t ScaleRange(uint32_t first, uint32_t count, int64_t ns) const;

 private:
  std::map<uint32_t, int> factors_;
};

// The state section that holds one byte per sector (protection or lock bits).
inline constexpr std::string_view kProtectSection = "protect";

}  // namespace sim
