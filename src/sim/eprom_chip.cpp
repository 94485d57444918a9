#include "sim/eprom_chip.h"

#include <algorithm>
#include <cstdio>

namespace sim {

EpromChip::EpromChip(const EpromConfig& config)
    : config_(config), cells_(std::max<uint32_t>(config.size, 1), 0xFF) {}

EpromChip::Lines EpromChip::Decode(const Pins& pins) const {
  Lines l;
  l.power = pins.power();
  l.vpp = !pins.strobe();
  // The 2716's pin is driven through an inverter: high, the program level,
  // while control bit 3 is 0.
  l.program = config_.program_pin == ProgramPin::kActiveHigh ? !pins.program() : pins.program();
  // OE/Vpp at Vpp holds the outputs off whatever control bit 1 does.
  l.oe_high = pins.drive() || (config_.vpp_pin == VppPin::kShared && l.vpp);
  l.bus = pins.drive() ? pins.data : 0xFF;
  return l;
}

void EpromChip::Log(const Pins& pins, const std::string& text) {
  Violation(text, pins.time_ns, pins.address);
}

void EpromChip::Update(const Pins& pins) {
  // Most writes are address shifts and read-path clocks: nothing a cell
  // cares about unless a pulse is running.
  if (seen_ && pins.ctrl == ctrl_ && !pulse_) return;
  const Lines now = Decode(pins);
  if (!seen_) {
    seen_ = true;
    ctrl_ = pins.ctrl;
    lines_ = now;
    return;
  }
  const Lines was = lines_;
  ctrl_ = pins.ctrl;
  lines_ = now;

  if (pulse_) {
    if (!(now.program && now.power && now.vpp && now.oe_high)) {
      EndPulse(pins.time_ns);
    } else if (pins.address != pulse_address_) {
      Log(pins, "address changed during a program pulse");
      EndPulse(pins.time_ns);
    } else if (now.bus != pulse_data_) {
      Log(pins, "data changed during a program pulse");
      EndPulse(pins.time_ns);
    }
  }

  if (now.program && !was.program && now.power) {
    if (now.vpp && now.oe_high) {
      if (!pins.drive()) Log(pins, "program pulse outside program mode (data bus undriven)");
      StartPulse(pins, now);
    } else if (!now.vpp && now.oe_high) {
      Log(pins, "program pulse without Vpp");
    } else if (now.vpp && config_.program_pin != ProgramPin::kChipEnable) {
      // CE/PGM parts verify like this; a PGM pin pulsed with the outputs on
      // is no mode of the part.
      Log(pins, "program pulse outside program mode (outputs on)");
    }
  } else if (now.vpp && !was.vpp && now.program && now.power && now.oe_high) {
    Log(pins, "Vpp raised during a program pulse");
  }
}

void EpromChip::StartPulse(const Pins& pins, const Lines& now) {
  pulse_ = true;
  pulse_start_ns_ = pins.time_ns;
  pulse_address_ = pins.address;
  pulse_data_ = now.bus;
}

int64_t EpromChip::Threshold(uint32_t index) const {
  const auto it = weak_.find(index);
  const int64_t pulses = it == weak_.end() ? 1 : it->second;
  return pulses * config_.cell_program_ns;
}

void EpromChip::EndPulse(int64_t now_ns) {
  pulse_ = false;
  const int64_t duration = now_ns - pulse_start_ns_;
  ++pulses_;
  pulse_time_ns_ += duration;
  if (vpp_missing_) return;
  const uint32_t index = Index(pulse_address_);
  auto clear = static_cast<uint8_t>(cells_[index] & ~pulse_data_);
  if (const auto it = stuck_.find(index); it != stuck_.end()) {
    clear = static_cast<uint8_t>(clear & ~it->second.never_program);
  }
  if (clear == 0) return;
  const int64_t need = Threshold(index);
  if (charge_.empty() && duration >= need) {
    cells_[index] = static_cast<uint8_t>(cells_[index] & ~clear);
    return;
  }
  // Charge builds up pulse by pulse; a bit flips once it has enough.
  for (int bit = 0; bit < 8; ++bit) {
    if ((clear & (1u << bit)) == 0) continue;
    const uint64_t key = uint64_t{index} * 8 + static_cast<uint64_t>(bit);
    const auto it = charge_.find(key);
    const int64_t total = duration + (it == charge_.end() ? 0 : it->second);
    if (total >= need) {
      cells_[index] = static_cast<uint8_t>(cells_[index] & ~(1u << bit));
      if (it != charge_.end()) charge_.erase(it);
    } else {
      charge_[key] = total;
    }
  }
}

std::optional<uint8_t> EpromChip::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive()) return std::nullopt;
  const Lines l = Decode(pins);
  const bool shared_at_vpp = config_.vpp_pin == VppPin::kShared && l.vpp;
  bool on = false;
  switch (config_.program_pin) {
    case ProgramPin::kChipEnable:
      if (config_.vpp_pin == VppPin::kShared) {
        on = !l.vpp && l.program;
      } else {
        // With a real Vpp on its pin the part is in program verify.
        on = (l.vpp && !vpp_missing_) || l.program;
      }
      break;
    case ProgramPin::kSeparate:
    case ProgramPin::kActiveHigh:
      on = !l.program && !shared_at_vpp;
      break;
  }
  if (!on) return std::nullopt;
  const uint32_t index = Index(pins.address);
  uint8_t value = cells_[index];
  if (const auto it = stuck_.find(index); it != stuck_.end()) {
    value = static_cast<uint8_t>((value & ~it->second.read_zero) | it->second.never_program);
  }
  return value;
}

bool EpromChip::InjectFault(const ChipFault& fault) {
  if (fault.kind == "vpp_missing") {
    vpp_missing_ = true;
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
    if (fault.arg2 == 1) {
      s.never_program = static_cast<uint8_t>(s.never_program | bit);
    } else {
      s.read_zero = static_cast<uint8_t>(s.read_zero | bit);
    }
    return true;
  }
  return false;
}

void EpromChip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
  charge_.clear();
}

void EpromChip::Erase() {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  charge_.clear();
}

uint16_t EpromChip::Word(uint32_t k) const {
  const uint32_t low = Index(2 * k);
  const uint32_t high = Index(2 * k + 1);
  return static_cast<uint16_t>(cells_[low] | (cells_[high] << 8));
}

}  // namespace sim
