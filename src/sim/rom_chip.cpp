#include "sim/rom_chip.h"

#include <algorithm>

namespace sim {

RomChip::RomChip(uint32_t size, ReadLevel level) : cells_(size, 0xFF), level_(level) {}

uint32_t RomChip::Cell(uint32_t address) const {
  return cells_.empty() ? 0 : address % static_cast<uint32_t>(cells_.size());
}

bool RomChip::OutputsOn(const Pins& pins) const {
  if (!pins.power() || pins.drive() || cells_.empty()) return false;
  switch (level_) {
    case ReadLevel::kHigh:
      return pins.program();
    case ReadLevel::kLow:
      return !pins.program();
    case ReadLevel::kAny:
      break;
  }
  return true;
}

void RomChip::Update(const Pins& pins) {
  const bool drive_fell = drive_ && !pins.drive();
  const bool program_rose = !program_ && pins.program();
  drive_ = pins.drive();
  program_ = pins.program();
  if (!pins.power() || cells_.empty()) return;
  if (program_rose && pins.drive()) {
    Violation("program line raised with data driven: this chip cannot be written");
  }
  if (drive_fell) {
    ++accesses_;
    const auto it = faults_.find(Cell(pins.address));
    if (it != faults_.end()) ++it->second.accesses;
  }
}

std::optional<uint8_t> RomChip::DataOut(const Pins& pins) {
  if (!OutputsOn(pins)) return std::nullopt;
  const uint32_t cell = Cell(pins.address);
  uint8_t value = cells_[cell];
  const auto it = faults_.find(cell);
  if (it != faults_.end()) {
    const Fault& f = it->second;
    value = static_cast<uint8_t>((value & f.and_mask) | f.or_mask);
    if (f.accesses <= static_cast<uint64_t>(f.wrong_reads)) {
      value ^= f.xor_mask;
    }
  }
  return value;
}

uint64_t RomChip::AccessesAt(uint32_t address) const {
  const auto it = faults_.find(Cell(address));
  return it == faults_.end() ? 0 : it->second.accesses;
}

bool RomChip::InjectFault(const ChipFault& fault) {
  if (cells_.empty()) return false;
  const uint32_t cell = Cell(fault.address);
  Fault f;
  if (const auto it = faults_.find(cell); it != faults_.end()) f = it->second;
  if (fault.kind == "stuck") {
    if (fault.arg1 < 0 || fault.arg1 > 7) return false;
    const auto bit = static_cast<uint8_t>(1u << fault.arg1);
    if (fault.arg2 != 0) {
      f.or_mask |= bit;
    } else {
      f.and_mask = static_cast<uint8_t>(f.and_mask & ~bit);
    }
  } else if (fault.kind == "stuck_byte") {
    f.and_mask = 0x00;
    f.or_mask = static_cast<uint8_t>(fault.arg1);
  } else if (fault.kind == "flaky") {
    f.wrong_reads = std::max(fault.arg1, 0);
    f.xor_mask = fault.arg2 == 0 ? 0x01 : static_cast<uint8_t>(fault.arg2);
    f.accesses = 0;
  } else {
    return false;
  }
  faults_[cell] = f;
  return true;
}

void RomChip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

}  // namespace sim
