#include "sim/microwire_eeprom.h"

#include <algorithm>

namespace sim {

MicrowireEeprom::MicrowireEeprom(const MicrowireConfig& config)
    : SerialChip(config.icsp ? kMicrowireIcspWiring : kMicrowireWiring),
      config_(config),
      cells_(std::max<uint32_t>(config.size, 2), 0xFF),
      decoder_(*this) {
  ApplyOrganisation();
}

void MicrowireEeprom::ApplyOrganisation() {
  word_ = config_.org16;
  decoder_.SetWidths(config_.address_bits_x8 - (word_ ? 1 : 0), word_ ? 16 : 8);
}

void MicrowireEeprom::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

bool MicrowireEeprom::InjectModelFault(const ChipFault& fault) {
  if (fault.kind == "org") {
    if (fault.arg1 != 8 && fault.arg1 != 16) return false;
    config_.org16 = fault.arg1 == 16;
    ApplyOrganisation();
    return true;
  }
  if (fault.kind == "write-time") {
    if (fault.arg1 < 1) return false;
    config_.write_ns = int64_t{fault.arg1} * 1'000'000;
    return true;
  }
  if (fault.kind == "ewen_ignored") {
    ewen_ignored_ = true;
    return true;
  }
  return false;
}

void MicrowireEeprom::OnPowerOn(int64_t) {
  ewen_ = false;  // EWDS at power-up
  status_ = false;
  op_ = Op::kNone;
  decoder_.Select();
}

void MicrowireEeprom::OnPowerOff(int64_t time_ns) {
  const uint32_t address = cycle_.first_address();
  if (cycle_.Cut(time_ns, cells_)) Log("write cycle cut by power-off", address);
}

void MicrowireEeprom::OnLines(const SerialLines& now, const SerialLines& was) {
  if (now.selected && (!was.selected || !was.power)) decoder_.Select();
  if (now.clock && !was.clock) {
    if (!now.selected) {
      Log("clock while deselected");
    } else {
      decoder_.Clock(now.data);
      if (decoder_.Started()) status_ = false;  // the start bit ends the ready display
    }
  }
  if (!now.selected && was.selected && was.power) decoder_.Deselect();
}

std::optional<bool> MicrowireEeprom::Output(int64_t time_ns) const {
  if (!lines().selected) return std::nullopt;
  if (decoder_.Reading()) return decoder_.ReadLevel();
  if (status_ && !decoder_.Started()) return !cycle_.Busy(time_ns);
  return std::nullopt;
}

MicrowireTarget::Follows MicrowireEeprom::OnCommand(int opcode, uint32_t address) {
  const int64_t now = lines().time_ns;
  cycle_.Settle(now, cells_);
  op_ = Op::kNone;
  if (cycle_.Busy(now)) return Follows::kNothing;  // ignored while busy
  const uint32_t unit = address % Units();
  switch (opcode) {
    case 2:  // READ
      read_address_ = unit;
      return Follows::kRead;
    case 1:  // WRITE
      op_ = Op::kWrite;
      address_ = unit;
      return Follows::kData;
    case 3:  // ERASE
      op_ = Op::kErase;
      address_ = unit;
      return Follows::kNothing;
    default:
      break;
  }
  switch ((address >> (decoder_.address_bits() - 2)) & 3) {
    case 3:  // EWEN
      if (!ewen_ignored_) ewen_ = true;
      break;
    case 0:  // EWDS
      ewen_ = false;
      break;
    case 2:
      op_ = Op::kEraseAll;
      break;
    case 1:
      op_ = Op::kWriteAll;
      return Follows::kData;
  }
  return Follows::kNothing;
}

uint32_t MicrowireEeprom::OnReadWord() {
  const uint32_t a = read_address_;
  read_address_ = (a + 1) % Units();
  if (!word_) return Stuck(a, cells_[a]);
  return Stuck(2 * a, cells_[2 * a]) | uint32_t{Stuck(2 * a + 1, cells_[2 * a + 1])} << 8;
}

void MicrowireEeprom::OnDeselect(bool complete) {
  const Op op = op_;
  op_ = Op::kNone;
  if (op == Op::kNone) return;
  if (!complete) {
    if (op == Op::kWrite || op == Op::kWriteAll)
      Log("write frame cut off before its last data bit");
    return;
  }
  if (!ewen_) return;
  const uint32_t value = op == Op::kWrite || op == Op::kWriteAll ? data_ : 0xFFFF;
  std::map<uint32_t, uint8_t> bytes;
  const auto put = [&](uint32_t unit) {
    if (word_) {
      bytes[2 * unit] = static_cast<uint8_t>(value);
      bytes[2 * unit + 1] = static_cast<uint8_t>(value >> 8);
    } else {
      bytes[unit] = static_cast<uint8_t>(value);
    }
  };
  const bool all = op == Op::kEraseAll || op == Op::kWriteAll;
  if (all) {
    for (uint32_t u = 0; u < Units(); ++u) put(u);
  } else {
    put(address_);
  }
  const int64_t now = lines().time_ns;
  cycle_.Start(std::move(bytes), now + (all ? config_.write_all_ns : config_.write_ns));
  status_ = true;
  ++write_cycles_;
}

}  // namespace sim
