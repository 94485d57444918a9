#pragma once

#include <cstdint>
#include <vector>

#include "sim/chip.h"

namespace sim {

// A plain byte-wide static RAM: outputs on while powered and the port is not
// driving the bus; a rising edge of the program line while the port drives
// the bus stores the data register at the shifted address. The board test
// chip, and the simplest thing that shows the bus primitives are right.
class RamChip final : public Chip {
 public:
  explicit RamChip(uint32_t size) : cells_(size, 0xFF) {}

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  std::vector<uint8_t>& cells() { return cells_; }
  // Number of stores, for tests.
  uint64_t writes() const { return writes_; }

 private:
  std::vector<uint8_t> cells_;
  bool program_ = false;
  uint64_t writes_ = 0;
};

}  // namespace sim
