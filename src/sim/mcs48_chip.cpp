#include "sim/mcs48_chip.h"

#include <algorithm>

namespace sim {
namespace {

constexpr int64_t kMs = 1'000'000;
constexpr size_t kMaxEvents = 1 << 16;

// The 8748H/8749H program with 50 ms pulses; the routines give 42 ms and a
// cell is taken to need 40 ms. The oscillator's start-up (no datasheet
// figure; a crystal's usual 10 ms) comes before the part answers.
constexpr Mcs48Part kParts[] = {
    {"8748H", 1024, false, 40 * kMs, 10 * kMs}, {"8749H", 2048, false, 40 * kMs, 10 * kMs},
    {"8048AH", 1024, true, 40 * kMs, 10 * kMs}, {"8049AH", 2048, true, 40 * kMs, 10 * kMs},
    {"8050AH", 4096, true, 40 * kMs, 10 * kMs},
};

}  // namespace

const Mcs48Part* FindMcs48Part(std::string_view name) {
  for (const Mcs48Part& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

Mcs48Chip::Mcs48Chip(const Mcs48Part& part) : part_(part), cells_(part.size, 0x00) {}

void Mcs48Chip::Update(const Pins& pins) {
  const int64_t now = pins.time_ns;
  if (!seen_) {
    seen_ = true;
    last_ = pins;
    drive_line_ = pins.drive();
    return;
  }
  // RESET follows control bit 1 through the RC network; on its rising edge
  // the part takes the address on the bus as it stood then, which is what
  // the last update left there.
  if (drive_line_ != reset_ && now - drive_since_ns_ >= kResetDelayNs) {
    reset_ = drive_line_;
    if (reset_) {
      const uint8_t low = last_.drive() ? last_.data : 0xFF;
      address_ = (uint32_t{last_.address & 0x0F} << 8 | low) % part_.size;
    }
  }
  if (pins.drive() != drive_line_) {
    drive_line_ = pins.drive();
    drive_since_ns_ = now;
  }
  if (!pins.power()) reset_ = false;

  const bool ea = Ea(pins);
  if (record_ && ea != Ea(last_) && ea_edges_.size() < kMaxEvents) {
    ea_edges_.push_back({now, ea, address_});
  }
  const bool low = pins.power() && !pins.program();
  const bool was_low = last_.power() && !last_.program();
  if (pulse_ && (!low || !ea)) EndPulse(pins);
  if (ea && low && (!was_low || !Ea(last_))) {
    if (Test0(pins)) {
      Violation("program pulse in verify mode (TEST0 = 1)", now, pins.address);
    } else {
      if (!reset_) Violation("program pulse with RESET low (no address latched)", now, address_);
      pulse_ = true;
      current_ = {now, 0, address_, pins.drive() ? pins.data : uint8_t{0xFF}, false, true};
    }
  }
  last_ = pins;
}

void Mcs48Chip::EndPulse(const Pins& pins) {
  pulse_ = false;
  current_.width_ns = pins.time_ns - current_.start_ns;
  if (record_ && pulses_.size() < kMaxEvents) pulses_.push_back(current_);
  if (current_.width_ns < part_.pulse_min_ns) {
    Violation("program pulse shorter than tPW min", pins.time_ns, current_.address);
    return;
  }
  if (rom_ || part_.rom || !reset_) return;
  const uint32_t i = current_.address;
  if (const auto need = needs_.find(i); need != needs_.end()) {
    if (need->second <= 0 || ++taken_[i] < need->second) return;
  }
  cells_[i] = static_cast<uint8_t>(cells_[i] | current_.data);
}

std::optional<uint8_t> Mcs48Chip::DataOut(const Pins& pins) {
  if (!Ea(pins) || !Test0(pins) || !reset_ || pins.drive()) return std::nullopt;
  return cells_[address_];
}

bool Mcs48Chip::InjectFault(const ChipFault& fault) {
  if (fault.kind == "rom") {
    rom_ = true;
    return true;
  }
  if (fault.address >= cells_.size()) return false;
  if (fault.kind == "weak" && fault.arg1 >= 1) {
    needs_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "never") {
    needs_[fault.address] = 0;
    return true;
  }
  return false;
}

void Mcs48Chip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0x00);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
  taken_.clear();
}

}  // namespace sim
