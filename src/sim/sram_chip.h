#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "sim/chip.h"
#include "sim/socket_map.h"

namespace sim {

enum class RamKind {
  kStatic,      // loses its contents without Vcc
  kNvram,       // battery-backed: keeps them
  kTimekeeper,  // battery-backed, with clock registers in its top 8 bytes
};

struct SramConfig {
  SocketMap map;  // map.size: the part's bytes, clock registers included
  RamKind kind = RamKind::kStatic;
  uint32_t seed = 0x5A17;  // the power-up contents of a static part
};

// A byte-wide static RAM or NVRAM module in the simulated socket.
//
// Pins: CE# is tied active and a second, active-high chip select (where the
// part has one) is the board line SocketMap names; deselected, the part
// drives nothing and ignores writes. OE# is low while control bit 1 is 0;
// WE# is the program line, low while control bit 3 is 1. A write takes the
// data bus when WE# rises, with OE# high and the port driving; the outputs
// are on while OE# is low and WE# high.
//
// A static part holds random contents after Vcc comes on; an NVRAM keeps
// its cells, unless its battery is dead.
//
// Violations logged (once per kind):
//   "commit with OE# low"          WE# rose with the outputs on (the bus
//                                  floats: the part stores 0xFF)
//   "timekeeper register touched"  a write to, or a read of, the clock registers
//
// Faults (InjectFault):
//   "alias"         arg1, arg2 = address lines: line arg1 of the part follows
//                   line arg2 (shorted together, arg2's driver winning)
//   "float"         arg1 = an address line that is open: the part sees it high
//   "weak"          address, arg1 = writes the cell needs before it holds a value
//   "stuck"         address, arg1 = bit, arg2 = level the bit always reads
//   "battery-dead"  an NVRAM forgets like a static RAM
class Sram final : public Chip {
 public:
  explicit Sram(const SramConfig& config);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  // A read of a clock register is seen here.
  std::optional<uint8_t> ReadOut(const Pins& pins) override;
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override {
    return config_.kind == RamKind::kStatic ? "sram" : "nvram";
  }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const SramConfig& config() const { return config_; }
  uint8_t Cell(uint32_t address) const { return cells_[address % cells_.size()]; }
  uint64_t writes() const { return writes_; }

 private:
  uint32_t PartAddress(uint32_t board) const;
  bool Forgets() const { return config_.kind == RamKind::kStatic || battery_dead_; }
  bool IsClock(uint32_t address) const {
    return config_.kind == RamKind::kTimekeeper && address + 8 >= cells_.size();
  }

  SramConfig config_;
  std::vector<uint8_t> cells_;
  std::mt19937 random_;
  bool seen_ = false;
  uint8_t ctrl_ = 0;

  std::vector<std::pair<int, int>> aliases_;  // line follows line
  uint32_t floating_ = 0;                     // lines that read high
  std::map<uint32_t, int> weak_;
  struct Stuck {
    uint8_t ones = 0, zeros = 0;
  };
  std::map<uint32_t, Stuck> stuck_;
  bool battery_dead_ = false;
  uint64_t writes_ = 0;
};

}  // namespace sim
