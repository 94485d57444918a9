#include "sim/sram_chip.h"

#include <algorithm>

namespace sim {

Sram::Sram(const SramConfig& config)
    : config_(config), cells_(std::max<uint32_t>(config.map.size, 1), 0xFF), random_(config.seed) {
  if (Forgets()) {
    for (uint8_t& cell : cells_) cell = static_cast<uint8_t>(random_());
  }
}

uint32_t Sram::PartAddress(uint32_t board) const {
  uint32_t a = config_.map.ChipAddress(board);
  for (const auto& [line, follows] : aliases_) {
    a = (a & ~(1u << line)) | (((a >> follows) & 1u) << line);
  }
  return (a | floating_) % static_cast<uint32_t>(cells_.size());
}

void Sram::Update(const Pins& pins) {
  if (!seen_) {
    seen_ = true;
    ctrl_ = pins.ctrl;
    return;
  }
  if (pins.ctrl == ctrl_) return;
  const uint8_t old = ctrl_;
  ctrl_ = pins.ctrl;
  if ((old & 0x04) == 0 && pins.power() && Forgets()) {
    for (uint8_t& cell : cells_) cell = static_cast<uint8_t>(random_());
  }
  const bool we_rose = (old & 0x08) != 0 && !pins.program();
  if (!we_rose || !pins.power() || !config_.map.Selected(pins.address)) return;
  const uint32_t address = PartAddress(pins.address);
  if (IsClock(address)) Violation("timekeeper register touched", pins.time_ns, address);
  uint8_t value = pins.data;
  if (!pins.drive()) {
    Violation("commit with OE# low", pins.time_ns, address);
    value = 0xFF;
  }
  ++writes_;
  if (const auto it = weak_.find(address); it != weak_.end()) {
    if (--it->second > 0) return;
    weak_.erase(it);
  }
  cells_[address] = value;
}

std::optional<uint8_t> Sram::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive() || pins.program()) return std::nullopt;
  if (!config_.map.Selected(pins.address)) return std::nullopt;
  const uint32_t address = PartAddress(pins.address);
  uint8_t value = cells_[address];
  if (const auto it = stuck_.find(address); it != stuck_.end()) {
    value = static_cast<uint8_t>((value & ~it->second.zeros) | it->second.ones);
  }
  return value;
}

std::optional<uint8_t> Sram::ReadOut(const Pins& pins) {
  const std::optional<uint8_t> out = DataOut(pins);
  if (out && IsClock(PartAddress(pins.address))) {
    Violation("timekeeper register touched", pins.time_ns, PartAddress(pins.address));
  }
  return out;
}

bool Sram::InjectFault(const ChipFault& fault) {
  const int lines = 24;
  if (fault.kind == "alias") {
    if (fault.arg1 < 0 || fault.arg1 >= lines || fault.arg2 < 0 || fault.arg2 >= lines ||
        fault.arg1 == fault.arg2) {
      return false;
    }
    aliases_.emplace_back(fault.arg1, fault.arg2);
    return true;
  }
  if (fault.kind == "float") {
    if (fault.arg1 < 0 || fault.arg1 >= lines) return false;
    floating_ |= 1u << fault.arg1;
    return true;
  }
  if (fault.kind == "battery-dead") {
    if (config_.kind == RamKind::kStatic) return false;
    battery_dead_ = true;
    return true;
  }
  if (fault.address >= cells_.size()) return false;
  if (fault.kind == "weak") {
    if (fault.arg1 < 1) return false;
    weak_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "stuck") {
    if (fault.arg1 < 0 || fault.arg1 > 7 || fault.arg2 < 0 || fault.arg2 > 1) return false;
    Stuck& s = stuck_[fault.address];
    const auto bit = static_cast<uint8_t>(1u << fault.arg1);
    (fault.arg2 == 1 ? s.ones : s.zeros) |= bit;
    return true;
  }
  return false;
}

void Sram::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

}  // namespace sim
