#include "sim/cat64lc.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint32_t kRead = 0xA8, kEnable = 0xA3, kDisable = 0xA0, kWrite = 0xA4;

}  // namespace

Cat64Chip::Cat64Chip(const Cat64Config& config)
    : SerialChip(kCat64Wiring), config_(config), cells_(std::max<uint32_t>(config.size, 2), 0xFF) {}

void Cat64Chip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

bool Cat64Chip::InjectModelFault(const ChipFault& fault) {
  if (fault.kind != "write-time" || fault.arg1 < 1) return false;
  config_.write_ns = int64_t{fault.arg1} * 1'000'000;
  return true;
}

void Cat64Chip::OnPowerOn(int64_t) {
  ewen_ = false;
  phase_ = Phase::kSync;
}

void Cat64Chip::OnPowerOff(int64_t time_ns) {
  const uint32_t address = cycle_.first_address();
  if (cycle_.Cut(time_ns, cells_)) Log("write cycle cut by power-off", address);
}

uint16_t Cat64Chip::Word(uint32_t w) const {
  return static_cast<uint16_t>(Stuck(2 * w, cells_[2 * w]) | Stuck(2 * w + 1, cells_[2 * w + 1])
                                                                 << 8);
}

void Cat64Chip::OnLines(const SerialLines& now, const SerialLines& was) {
  if (now.selected && !was.selected) phase_ = Phase::kSync;
  if (!now.clock || was.clock) return;
  if (!now.selected) {
    Log("clock while deselected");
    return;
  }
  Clock(now.data, now.time_ns);
}

void Cat64Chip::Clock(bool di, int64_t now) {
  switch (phase_) {
    case Phase::kRead:
      if (out_pos_ < 16) {
        ++out_pos_;
        return;
      }
      phase_ = Phase::kSync;  // the read is over: this bit may start the next frame
      [[fallthrough]];
    case Phase::kSync:
      if (!di) return;
      phase_ = Phase::kFrame;
      shift_ = 1;
      count_ = 1;
      return;
    case Phase::kFrame:
      shift_ = shift_ << 1 | (di ? 1 : 0);
      if (++count_ == 16) Frame(now);
      return;
    case Phase::kData:
      shift_ = shift_ << 1 | (di ? 1 : 0);
      if (++count_ < 16) return;
      phase_ = Phase::kSync;
      if (ewen_) {
        // The self-timed write starts on the frame's last bit.
        const std::map<uint32_t, uint8_t> bytes{{2 * word_, static_cast<uint8_t>(shift_)},
                                                {2 * word_ + 1, static_cast<uint8_t>(shift_ >> 8)}};
        cycle_.Start(bytes, now + config_.write_ns);
      }
      return;
  }
}

void Cat64Chip::Frame(int64_t now) {
  const uint32_t opcode = shift_ >> 8;
  const uint32_t words = static_cast<uint32_t>(cells_.size() / 2);
  word_ = ((shift_ & 0xFF) >> config_.shift) % words;
  phase_ = Phase::kSync;
  cycle_.Settle(now, cells_);
  if (cycle_.Busy(now)) return;  // ignored while the write runs
  switch (opcode) {
    case kRead:
      out_ = Word(word_);
      out_pos_ = 0;
      phase_ = Phase::kRead;
      break;
    case kEnable:
      ewen_ = true;
      break;
    case kDisable:
      ewen_ = false;
      break;
    case kWrite:
      phase_ = Phase::kData;
      shift_ = 0;
      count_ = 0;
      break;
    default:
      break;
  }
}

std::optional<bool> Cat64Chip::Output(int64_t) const {
  if (!lines().selected || phase_ != Phase::kRead) return std::nullopt;
  if (out_pos_ == 0) return false;
  return ((out_ >> (16 - out_pos_)) & 1) != 0;
}

}  // namespace sim
