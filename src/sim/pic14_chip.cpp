#include "sim/pic14_chip.h"

#include <cstdio>
#include <string>

namespace sim {
namespace {

constexpr uint32_t kConfigSpace = 0x2000;
constexpr uint32_t kConfigWords = 0x20;
constexpr uint32_t kDeviceId = 0x2006 - kConfigSpace;
constexpr uint32_t kConfigWord = 0x2007 - kConfigSpace;
constexpr uint32_t kCalibration = 0x2008 - kConfigSpace;
constexpr uint16_t kErased = 0x3FFF;

bool IsLoad(int code) { return code == 0 || code == 2 || code == 3; }
bool IsRead(int code) { return code == 4 || code == 5; }
bool IsEnd(int code) { return code == 14 || code == 23 || code == 10; }

}  // namespace

Pic14Chip::Pic14Chip(const Pic14Part& part)
    : IcspChip(part.vpp_first, 14),
      part_(part),
      program_(part.program_words, kErased),
      config_(kConfigWords, kErased),
      eeprom_(part.eeprom_bytes, 0xFF),
      latches_(static_cast<size_t>(part.latch_words), kErased),
      latched_(static_cast<size_t>(part.latch_words), false) {
  config_[kDeviceId] = part.device_id;
  config_[kConfigWord] = part.factory_config;
  if (part.osccal != 0) program_.back() = part.osccal;
  // Calibration words leave the factory with values of their own part;
  // these stand for them.
  constexpr uint16_t kFactoryCalibration[] = {0x2C5F, 0x1E9B};
  for (int k = 0; k < part.calib_words && k < 2; ++k) {
    config_[kCalibration + static_cast<uint32_t>(k)] = kFactoryCalibration[k];
  }
}

bool Pic14Chip::code_protected() const {
  return (config_[kConfigWord] & part_.cp_mask) != part_.cp_mask;
}

// --- programming mode ---------------------------------------------------------

void Pic14Chip::Entered() {
  pc_ = 0;
  arm_ = 0;
  last_load_ = -1;
  latches_.assign(latches_.size(), kErased);
  latched_.assign(latched_.size(), false);
}

void Pic14Chip::Leaving(int64_t) {
  if (cycle_ != Cycle::kNone) Log("self-timed cycle cut by leaving programming mode");
  cycle_ = Cycle::kNone;
}

// --- commands ---------------------------------------------------------------

void Pic14Chip::Command(int code, int64_t t) {
  command_ = code;
  if (((part_.commands >> code) & 1) == 0) {
    char text[40];
    std::snprintf(text, sizeof text, "unknown command 0x%02X", static_cast<unsigned>(code));
    Log(text);
    return;
  }
  const bool busy = cycle_ != Cycle::kNone;
  if (IsLoad(code)) ExpectLoad();
  if (IsRead(code)) Answer(busy ? 0xFFFF : ReadValue(code));
  if (busy && !(cycle_ == Cycle::kProgramOnly && IsEnd(code))) {
    Log("command during a self-timed cycle");
    if (IsLoad(code)) command_ = -1;  // the frame's value goes nowhere
    return;
  }
  const int arm = arm_;
  arm_ = 0;
  switch (code) {
    case 0:
    case 2:
    case 3:
    case 4:
    case 5:
      return;
    case 6:
      pc_ = (pc_ + 1) & 0x3FFF;
      return;
    case 1:
      arm_ = 1;
      return;
    case 7:
      arm_ = arm == 1 ? 2 : 0;
      return;
    case 8:
      if (arm == 2) {
        cycle_chip_erase_ = true;
        Start(Cycle::kErase, t, part_.erase_ns);
      } else if (last_load_ == 3) {
        Start(Cycle::kData, t, part_.data_ns);
      } else if (part_.begin == Pic14Part::Begin::kProgramExternal) {
        Start(Cycle::kProgramOnly, t, part_.program_min_ns);
      } else {
        Start(Cycle::kProgram, t, part_.program_ns);
      }
      return;
    case 24:
      Start(Cycle::kProgramOnly, t, part_.program_min_ns);
      return;
    case 14:
    case 23:
    case 10:
      if (cycle_ == Cycle::kProgramOnly) {
        if (t >= cycle_end_ns_) {
          Commit(last_load_ == 3 ? Cycle::kData : Cycle::kProgramOnly);
        } else {
          Log("programming ended before its minimum time");
        }
        cycle_ = Cycle::kNone;
      }
      return;
    case 9:
    case 11:
      cycle_chip_erase_ = false;
      Start(Cycle::kErase, t, part_.erase_ns);
      return;
    case 31:
      cycle_chip_erase_ = true;
      Start(Cycle::kErase, t, part_.erase_ns);
      return;
    default:
      break;
  }
  char text[40];
  std::snprintf(text, sizeof text, "unknown command 0x%02X", static_cast<unsigned>(code));
  Log(text);
}

void Pic14Chip::Loaded(uint16_t value) {
  value &= 0x3FFF;
  switch (command_) {
    case 0:
      pc_ = kConfigSpace;
      latches_.assign(latches_.size(), kErased);
      latches_[0] = value;
      last_load_ = 0;
      return;
    case 2: {
      const size_t slot = pc_ & static_cast<uint32_t>(part_.latch_words - 1);
      latches_[slot] = value;
      latched_[slot] = true;
      last_load_ = 2;
      return;
    }
    case 3:
      data_latch_ = static_cast<uint8_t>(value);
      last_load_ = 3;
      return;
    default:
      return;  // ignored while busy
  }
}

uint16_t Pic14Chip::ReadValue(int code) const {
  if (code == 5) {
    if (eeprom_.empty()) return 0;
    return code_protected() ? 0 : eeprom_[pc_ % eeprom_.size()];
  }
  if (pc_ >= kConfigSpace) return config_[(pc_ - kConfigSpace) % kConfigWords];
  if (code_protected()) return 0;
  return program_[pc_ % program_.size()];
}

void Pic14Chip::Start(Cycle cycle, int64_t t, int64_t length) {
  cycle_ = cycle;
  cycle_start_ns_ = t;
  cycle_end_ns_ = t + length;
  cycle_pc_ = pc_;
}

void Pic14Chip::Settle(int64_t t) {
  if (cycle_ == Cycle::kNone || cycle_ == Cycle::kProgramOnly || t < cycle_end_ns_) return;
  const Cycle done = cycle_;
  cycle_ = Cycle::kNone;
  Commit(done);
}

void Pic14Chip::Commit(Cycle cycle) {
  const uint32_t pc = cycle_pc_;
  switch (cycle) {
    case Cycle::kNone:
      return;
    case Cycle::kData:
      if (!eeprom_.empty() && !code_protected()) {
        eeprom_[pc % eeprom_.size()] = data_latch_;
        ++data_cycles_;
      }
      return;
    case Cycle::kErase:
      if (cycle_chip_erase_) {
        // The code-protect disable and the chip erase reach everything but
        // the factory words; a data load before 1/7/8 limits it to data.
        if (command_ == 8 && last_load_ == 3 && pc < kConfigSpace) {
          eeprom_.assign(eeprom_.size(), 0xFF);
          return;
        }
        EraseProgram();
        eeprom_.assign(eeprom_.size(), 0xFF);
        EraseConfig(false);
        return;
      }
      if (command_ == 11) {
        if (!code_protected()) eeprom_.assign(eeprom_.size(), 0xFF);
        return;
      }
      if (pc >= kConfigSpace) {
        EraseProgram();
        EraseConfig(pc >= 0x2008);
      } else if (!code_protected()) {
        EraseProgram();
      }
      return;
    case Cycle::kProgram:
    case Cycle::kProgramOnly: {
      const bool erase_first =
          cycle == Cycle::kProgram && part_.begin == Pic14Part::Begin::kEraseProgram;
      if (pc >= kConfigSpace) {
        WriteProgram(pc, latches_[pc & static_cast<uint32_t>(part_.latch_words - 1)], erase_first);
      } else {
        const uint32_t base = pc & ~static_cast<uint32_t>(part_.latch_words - 1);
        for (size_t k = 0; k < latches_.size(); ++k) {
          if (latched_[k] || erase_first) WriteProgram(base + k, latches_[k], erase_first);
        }
      }
      latches_.assign(latches_.size(), kErased);
      latched_.assign(latched_.size(), false);
      return;
    }
  }
}

void Pic14Chip::WriteProgram(uint32_t address, uint16_t value, bool erase_first) {
  uint16_t* cell = nullptr;
  uint16_t implemented = 0x3FFF;
  if (address >= kConfigSpace) {
    const uint32_t k = address - kConfigSpace;
    if (k == kDeviceId || k >= kConfigWords) return;
    if (k == kConfigWord) implemented = part_.config_bits;
    cell = &config_[k];
    // Factory calibration words take a write like any cell, but only the
    // bulk erase that points at them clears their bits again.
    if (k >= kCalibration && k < kCalibration + static_cast<uint32_t>(part_.calib_words)) {
      erase_first = false;
    }
  } else {
    if (code_protected()) return;
    const uint32_t a = address % program_.size();
    if (never_.count(a) != 0) return;
    if (slow_.erase(a) != 0) return;
    cell = &program_[a];
    ++program_cycles_;
  }
  if (part_.otp_pulses > 0) {
    const auto weak = weak_.find(address);
    const int need = weak != weak_.end() ? weak->second : part_.otp_pulses;
    if (++pulses_[address] < need) return;
  }
  const uint16_t start = erase_first ? kErased : *cell;
  // Unimplemented configuration bits read as 1 on these parts.
  *cell = static_cast<uint16_t>((start & value & implemented) | (~implemented & 0x3FFF));
}

void Pic14Chip::EraseProgram() { program_.assign(program_.size(), kErased); }

void Pic14Chip::EraseConfig(bool with_calibration) {
  for (uint32_t k = 0; k < kConfigWords; ++k) {
    if (k == kDeviceId) continue;
    const bool calibration =
        k >= kCalibration && k < kCalibration + static_cast<uint32_t>(part_.calib_words);
    if (calibration && !with_calibration) continue;
    config_[k] = kErased;
  }
}

// --- faults and state ---------------------------------------------------------

bool Pic14Chip::InjectModelFault(const ChipFault& fault) {
  if (fault.kind == "cp") {
    config_[kConfigWord] = static_cast<uint16_t>(config_[kConfigWord] & ~part_.cp_mask);
    return true;
  }
  if (fault.address >= program_.size()) return false;
  if (fault.kind == "slow-word") {
    slow_.insert(fault.address);
    return true;
  }
  if (fault.kind == "weak" && part_.otp_pulses > 0 && fault.arg1 > 0) {
    weak_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "never") {
    never_.insert(fault.address);
    return true;
  }
  return false;
}

std::vector<uint8_t> Pic14Chip::Contents() const {
  std::vector<uint8_t> out;
  out.reserve(2 * (program_.size() + config_.size()) + eeprom_.size());
  for (const std::vector<uint16_t>* words : {&program_, &config_}) {
    for (const uint16_t w : *words) {
      out.push_back(static_cast<uint8_t>(w));
      out.push_back(static_cast<uint8_t>(w >> 8));
    }
  }
  out.insert(out.end(), eeprom_.begin(), eeprom_.end());
  return out;
}

void Pic14Chip::SetContents(const std::vector<uint8_t>& bytes) {
  size_t i = 0;
  const auto word = [&bytes, &i]() {
    const auto w = static_cast<uint16_t>((bytes[i] | bytes[i + 1] << 8) & 0x3FFF);
    i += 2;
    return w;
  };
  for (uint16_t& w : program_) {
    if (i + 1 >= bytes.size()) return;
    w = word();
  }
  for (uint32_t k = 0; k < kConfigWords; ++k) {
    if (i + 1 >= bytes.size()) return;
    const uint16_t w = word();
    if (k != kDeviceId) config_[k] = w;  // the device ID is mask ROM
  }
  for (uint8_t& b : eeprom_) {
    if (i >= bytes.size()) return;
    b = bytes[i++];
  }
}

}  // namespace sim
