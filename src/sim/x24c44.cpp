#include "sim/x24c44.h"

#include <algorithm>

namespace sim {
namespace {

enum Opcode : uint8_t {
  kWrds = 0,
  kSto = 1,
  kSleep = 2,
  kWrite = 3,
  kWren = 4,
  kRcl = 5,
  kRead = 6
};

}  // namespace

NvramChip::NvramChip(const NvramConfig& config)
    : SerialChip(kNvramWiring),
      config_(config),
      eeprom_(config.words ? 32 : 8, 0xFF),
      ram_(eeprom_.size(), 0xFF) {}

void NvramChip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), eeprom_.size()), eeprom_.begin());
}

bool NvramChip::InjectModelFault(const ChipFault& fault) {
  if (fault.kind != "sto_ignored") return false;
  sto_ignored_ = true;
  return true;
}

void NvramChip::OnPowerOn(int64_t) {
  ram_ = eeprom_;  // the recall at power-up
  latch_ = false;
  phase_ = Phase::kSync;
}

void NvramChip::OnPowerOff(int64_t time_ns) {
  if (cycle_.Cut(time_ns, eeprom_)) Log("store cut by power-off");
  ram_.assign(ram_.size(), 0xFF);
}

uint32_t NvramChip::Unit(uint32_t u) const {
  if (!config_.words) return Stuck(u, ram_[u]);
  return Stuck(2 * u, ram_[2 * u]) | uint32_t{Stuck(2 * u + 1, ram_[2 * u + 1])} << 8;
}

void NvramChip::OnLines(const SerialLines& now, const SerialLines& was) {
  if (now.selected && !was.selected) {
    phase_ = Phase::kSync;
    out_bit_ = -1;
  }
  if (now.clock == was.clock) return;
  if (!now.selected) {
    if (now.clock) Log("clock while deselected");
    return;
  }
  if (now.clock) {
    Rise(now.data, now.time_ns);
  } else if (phase_ == Phase::kRead) {
    // A READ puts its next bit on DO at each falling edge.
    if (++out_bit_ == Bits()) {
      unit_ = (unit_ + 1) % (config_.words ? 16 : 8);
      out_ = Unit(unit_);
      out_bit_ = 0;
    }
  }
}

void NvramChip::Rise(bool di, int64_t now) {
  switch (phase_) {
    case Phase::kSync:
      if (di) {
        phase_ = Phase::kInstruction;
        shift_ = 1;
        count_ = 1;
      }
      return;
    case Phase::kInstruction:
      shift_ = shift_ << 1 | (di ? 1 : 0);
      if (++count_ == 8) Execute(static_cast<uint8_t>(shift_), now);
      return;
    case Phase::kData:
      if (di) shift_ |= 1u << count_;
      if (++count_ < Bits()) return;
      phase_ = Phase::kDone;
      if (!latch_) return;
      if (config_.words) {
        ram_[2 * unit_] = static_cast<uint8_t>(shift_);
        ram_[2 * unit_ + 1] = static_cast<uint8_t>(shift_ >> 8);
      } else {
        ram_[unit_] = static_cast<uint8_t>(shift_);
      }
      return;
    case Phase::kRead:
    case Phase::kDone:
      return;
  }
}

void NvramChip::Execute(uint8_t instruction, int64_t now) {
  phase_ = Phase::kDone;
  cycle_.Settle(now, eeprom_);
  if (cycle_.Busy(now)) return;
  unit_ = config_.words ? (instruction >> 3) & 0x0F : (instruction >> 4) & 0x07;
  switch (instruction & 7) {
    case kRead:
      out_ = Unit(unit_);
      out_bit_ = -1;
      phase_ = Phase::kRead;
      break;
    case kWrite:
      phase_ = Phase::kData;
      shift_ = 0;
      count_ = 0;
      break;
    case kWren:
      latch_ = true;
      break;
    case kWrds:
      latch_ = false;
      break;
    case kRcl:
      ram_ = eeprom_;
      latch_ = false;
      break;
    case kSto:
      if (!latch_) break;
      latch_ = false;
      if (sto_ignored_) break;
      {
        std::map<uint32_t, uint8_t> bytes;
        for (uint32_t i = 0; i < ram_.size(); ++i) bytes[i] = ram_[i];
        cycle_.Start(std::move(bytes), now + config_.store_ns);
        ++stores_;
      }
      break;
    default:  // SLEEP: nothing to model
      break;
  }
}

std::optional<bool> NvramChip::Output(int64_t) const {
  if (!lines().selected || phase_ != Phase::kRead || out_bit_ < 0) return std::nullopt;
  return ((out_ >> out_bit_) & 1) != 0;
}

}  // namespace sim
