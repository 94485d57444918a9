#include "sim/pic12_chip.h"

#include <cstdio>

namespace sim {
namespace {

constexpr uint16_t kErased = 0x0FFF;
constexpr int kIdWords = 4;

}  // namespace

Pic12Chip::Pic12Chip(const Pic12Part& part)
    : IcspChip(false, 12), part_(part), span_(2 * part.program_words), cells_(span_, kErased) {
  if (part.osccal != 0) {
    cells_[part.program_words - 1] = part.osccal;
    if (part.backup_osccal) cells_[backup_address()] = part.osccal;
  }
}

bool Pic12Chip::Implemented(uint32_t address) const {
  const uint32_t ids = kIdWords + (part_.backup_osccal ? 1 : 0);
  return address < part_.program_words + ids || address == config_address();
}

// --- programming mode ---------------------------------------------------------

void Pic12Chip::Entered() {
  pc_ = config_address();
  latch_ = kErased;
  drop_load_ = false;
}

void Pic12Chip::Leaving(int64_t) {
  if (cycle_ != Cycle::kNone) Log("programming cycle cut by leaving programming mode");
  cycle_ = Cycle::kNone;
}

void Pic12Chip::Settle(int64_t t) {
  if (cycle_ == Cycle::kNone || t < cycle_end_ns_) return;
  if (cycle_ == Cycle::kErase) {
    cycle_ = Cycle::kNone;
    Erase(cycle_pc_);
  } else if (!part_.ended_by_14) {
    cycle_ = Cycle::kNone;
    Write(cycle_pc_);
  }
}

void Pic12Chip::Command(int code, int64_t t) {
  const bool known = code == 2 || code == 4 || code == 6 || code == 8 || code == 14 ||
                     (code == 9 && part_.erase_ns != 0);
  if (!known) {
    char text[40];
    std::snprintf(text, sizeof text, "unknown command 0x%02X", static_cast<unsigned>(code));
    Log(text);
    return;
  }
  const bool busy = cycle_ != Cycle::kNone;
  if (code == 2) ExpectLoad();
  if (code == 4) Answer(busy ? 0xFFFF : cells_[pc_]);
  if (busy) {
    if (code == 14 && cycle_ == Cycle::kWrite) {
      cycle_ = Cycle::kNone;
      if (t < cycle_end_ns_) {
        Log("programming ended before its minimum time");
      } else {
        Write(cycle_pc_);
      }
      return;
    }
    Log("command during a programming cycle");
    drop_load_ = code == 2;
    return;
  }
  switch (code) {
    case 6:
      pc_ = (pc_ + 1) % span_;
      return;
    case 8:
    case 9:
      cycle_ = code == 8 ? Cycle::kWrite : Cycle::kErase;
      cycle_end_ns_ = t + (code == 8 ? part_.program_ns : part_.erase_ns);
      cycle_pc_ = pc_;
      return;
    default:
      return;  // 2 and 4 have their frames; 14 with nothing to end is harmless
  }
}

void Pic12Chip::Loaded(uint16_t value) {
  if (drop_load_) {
    drop_load_ = false;
    return;
  }
  latch_ = value & kErased;
}

void Pic12Chip::Write(uint32_t address) {
  if (!Implemented(address)) {
    char text[48];
    std::snprintf(text, sizeof text, "write to unimplemented address 0x%03X", address);
    Log(text);
    return;
  }
  if (never_.count(address) != 0 || slow_.erase(address) != 0) return;
  if (part_.otp_pulses > 0) {
    const auto weak = weak_.find(address);
    const int need = weak != weak_.end() ? weak->second : part_.otp_pulses;
    if (++pulses_[address] < need) return;
  }
  // Unimplemented configuration bits stay 1.
  const uint16_t keep = address == config_address() ? (kErased & ~part_.config_bits) : 0;
  cells_[address] = static_cast<uint16_t>((cells_[address] & latch_) | keep);
  ++writes_;
}

void Pic12Chip::Erase(uint32_t pc) {
  const uint32_t words = part_.program_words;
  const bool at_config = pc == config_address();
  const bool in_ids = pc >= words && pc < words + kIdWords;
  if (!at_config && !in_ids) {
    Log("bulk erase with the PC in program memory");
    return;
  }
  const uint32_t end = in_ids ? words + kIdWords + (part_.backup_osccal ? 1 : 0) : words;
  for (uint32_t a = 0; a < end; ++a) cells_[a] = kErased;
  cells_[config_address()] = kErased;
}

// --- faults and state ---------------------------------------------------------

bool Pic12Chip::InjectModelFault(const ChipFault& fault) {
  if (!Implemented(fault.address)) return false;
  if (fault.kind == "never") return never_.insert(fault.address), true;
  if (fault.kind == "slow-word") return slow_.insert(fault.address), true;
  if (fault.kind == "weak" && part_.otp_pulses > 0 && fault.arg1 > 0) {
    weak_[fault.address] = fault.arg1;
    return true;
  }
  return false;
}

std::vector<uint8_t> Pic12Chip::Contents() const {
  std::vector<uint8_t> out;
  out.reserve(2 * cells_.size());
  for (const uint16_t w : cells_) {
    out.push_back(static_cast<uint8_t>(w));
    out.push_back(static_cast<uint8_t>(w >> 8));
  }
  return out;
}

void Pic12Chip::SetContents(const std::vector<uint8_t>& bytes) {
  for (size_t k = 0; k < cells_.size() && 2 * k + 1 < bytes.size(); ++k) {
    cells_[k] = static_cast<uint16_t>((bytes[2 * k] | bytes[2 * k + 1] << 8) & kErased);
  }
}

}  // namespace sim
