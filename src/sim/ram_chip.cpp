#include "sim/ram_chip.h"

#include <algorithm>

namespace sim {

void RamChip::Update(const Pins& pins) {
  const bool rising = pins.program() && !program_;
  program_ = pins.program();
  if (!rising || !pins.power() || cells_.empty()) return;
  if (!pins.drive()) {
    Violation("write strobe with the data bus undriven");
    return;
  }
  cells_[pins.address % cells_.size()] = pins.data;
  ++writes_;
}

std::optional<uint8_t> RamChip::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive() || cells_.empty()) return std::nullopt;
  return cells_[pins.address % cells_.size()];
}

void RamChip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

}  // namespace sim
