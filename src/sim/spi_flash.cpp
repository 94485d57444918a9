#include "sim/spi_flash.h"

#include <algorithm>

namespace sim {
namespace {

enum : uint8_t {
  kWrsr = 0x01,
  kProgram = 0x02,
  kRead = 0x03,
  kWrdi = 0x04,
  kRdsr = 0x05,
  kWren = 0x06,
  kAt25fId = 0x15,
  kEwsr = 0x50,
  kEraseC7 = 0xC7,
  kErase60 = 0x60,
  kErase62 = 0x62,
  kRems = 0x90,
  kJedecId = 0x9F,
  kRes = 0xAB,
  kStatus45 = 0xD7,
};
constexpr uint8_t kWip = 0x01, kWel = 0x02, kAaiBit = 0x40;
constexpr char kStatusSection[] = "status";

}  // namespace

SpiFlash::SpiFlash(const SpiFlashConfig& config)
    : SerialChip(kSpiWiring),
      config_(config),
      decoder_(*this),
      aai_strict_(config.aai_opcode == 0xAD) {
  uint32_t size = std::max<uint32_t>(config.size, 1);
  if (config.kind == SpiFlashKind::kDataFlash) {
    // Pages of 264, 528 or 1056 bytes where a binary part has 256, 512, 1024.
    const uint32_t binary = 1u << (config.page_shift - 1);
    size = size / std::min(binary, size) * std::max<uint32_t>(config.page, 1);
  }
  cells_.assign(size, 0xFF);
}

void SpiFlash::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

std::vector<StateSection> SpiFlash::State() const { return {{kStatusSection, {bp_}}}; }

bool SpiFlash::SetState(const StateSection& section) {
  if (section.name != kStatusSection || section.bytes.size() != 1) return false;
  bp_ = section.bytes[0] & config_.bp_mask;
  return true;
}

bool SpiFlash::InjectModelFault(const ChipFault& fault) {
  if (fault.kind == "bp" && fault.arg1 > 0 && fault.arg1 <= 0xFF) {
    bp_ = static_cast<uint8_t>((fault.arg1 << 2) & config_.bp_mask);
    return bp_ != 0;
  }
  if (fault.kind == "busy-forever") {
    busy_forever_ = true;
    return true;
  }
  if (fault.kind == "page" && fault.arg1 >= 1 &&
      static_cast<uint32_t>(fault.arg1) <= config_.page) {
    config_.page = static_cast<uint32_t>(fault.arg1);
    return true;
  }
  if (fault.kind == "aai_strict" && config_.aai_opcode != 0) {
    aai_strict_ = true;
    return true;
  }
  return false;
}

uint8_t SpiFlash::Status(int64_t time_ns) const {
  const bool busy = cycle_.Busy(time_ns);
  if (config_.kind == SpiFlashKind::kDataFlash) {
    return static_cast<uint8_t>((busy ? 0 : 0x80) | config_.density << 2);
  }
  return static_cast<uint8_t>(bp_ | (wel_ ? kWel : 0) | (busy ? kWip : 0) | (aai_ ? kAaiBit : 0));
}

void SpiFlash::OnPowerOn(int64_t time_ns) {
  powered_at_ns_ = time_ns;
  wel_ = ewsr_ = aai_ = false;
  if (config_.kind == SpiFlashKind::kSst) bp_ = config_.bp_mask;  // every block protected
}

void SpiFlash::OnPowerOff(int64_t time_ns) {
  const uint32_t address = cycle_.first_address();
  if (cycle_.Cut(time_ns, cells_)) Log("write cycle cut by power-off", address);
  decoder_.Reset();
}

void SpiFlash::OnLines(const SerialLines& now, const SerialLines& was) {
  const bool fresh = !was.power;
  // An instruction starts on CS# falling while the part is powered: one
  // powered up with CS# already low ignores the clocks until a deselect.
  if (now.selected && !was.selected && !fresh) {
    // Too soon after power-up the part is not ready for an instruction.
    if (now.time_ns - powered_at_ns_ < config_.power_up_ns) {
      Log("CS# low sooner than tVSL after power-up");
    } else {
      decoder_.Select();
    }
  }
  if (!now.selected && was.selected && !fresh) decoder_.Deselect();
  if (now.clock == was.clock || fresh) return;
  if (!now.selected) {
    if (now.clock) Log("clock while deselected");
    return;
  }
  if (now.clock) {
    decoder_.Rise(now.data);
  } else {
    decoder_.Fall();
  }
}

bool SpiFlash::IsErase(uint8_t opcode) const {
  switch (config_.kind) {
    case SpiFlashKind::kAt25f:
      return opcode == kErase62;
    case SpiFlashKind::kDataFlash:
      return opcode == kEraseC7;
    default:
      return opcode == kEraseC7 || opcode == kErase60;
  }
}

bool SpiFlash::Accepts(uint8_t opcode, int64_t now) {
  cycle_.Settle(now, cells_);
  if (config_.kind == SpiFlashKind::kDataFlash) {
    return !cycle_.Busy(now) ? (opcode == kJedecId || opcode == kStatus45 || opcode == kRead ||
                                opcode == kEraseC7)
                             : opcode == kStatus45;
  }
  if (cycle_.Busy(now)) return opcode == kRdsr;
  if (!aai_ || opcode == config_.aai_opcode || opcode == kRdsr || opcode == kWrdi) return true;
  if (aai_strict_) return false;
  aai_ = false;  // the older parts leave AAI mode on any other command
  wel_ = false;
  return true;
}

int SpiFlash::Bytes() const {
  switch (opcode_) {
    case kRead:
    case kProgram:
    case kRems:
    case kRes:
      return 3;
    default:
      return opcode_ == config_.aai_opcode && config_.aai_opcode != 0 && !aai_ ? 3 : 0;
  }
}

uint32_t SpiFlash::Linear(uint32_t address) const {
  if (config_.kind != SpiFlashKind::kDataFlash) return address % cells_.size();
  const uint32_t page = address >> config_.page_shift;
  const uint32_t byte = address & ((1u << config_.page_shift) - 1);
  return (page * config_.page + std::min(byte, config_.page - 1)) % cells_.size();
}

void SpiFlash::OnSelect() {
  opcode_ = 0;
  ignored_ = false;
  address_ = 0;
  data_.clear();
}

std::optional<uint8_t> SpiFlash::Answer(int k) {
  const int64_t now = lines().time_ns;
  switch (opcode_) {
    case kRdsr:
    case kStatus45:
      return Status(now);
    case kJedecId:
      if (config_.id_9f[0] == 0 || k >= 3) return std::nullopt;
      return config_.id_9f[k];
    case kAt25fId:
      if (config_.id_15[0] == 0) return std::nullopt;
      return config_.id_15[k % 2];
    case kRems:
      if (config_.id_90[0] == 0) return std::nullopt;
      return config_.id_90[(address_ + k) & 1];
    case kRes:
      if (config_.id_ab[0] == 0) return std::nullopt;
      return config_.id_ab[k % 2];
    case kRead: {
      const uint8_t value = Stuck(address_, cells_[address_]);
      address_ = (address_ + 1) % cells_.size();
      return value;
    }
    default:
      return std::nullopt;
  }
}

std::optional<uint8_t> SpiFlash::OnByte(uint8_t byte, int index) {
  if (index == 0) {
    opcode_ = byte;
    ignored_ = !Accepts(byte, lines().time_ns);
    if (ignored_ || Bytes() > 0) return std::nullopt;
    return Answer(0);
  }
  // An ignored command is still taken apart, for the record of commands.
  const int bytes = Bytes();
  if (index <= bytes) {
    address_ = address_ << 8 | byte;
    if (index < bytes || ignored_) return std::nullopt;
    if (opcode_ == kRead) address_ = Linear(address_);
    if (opcode_ == kProgram || opcode_ == config_.aai_opcode) return std::nullopt;
    return Answer(0);
  }
  const int k = index - bytes;
  switch (opcode_) {
    case kWrsr:
    case kProgram:
    case kEraseC7:
      data_.push_back(byte);
      return std::nullopt;
    default:
      if (opcode_ == config_.aai_opcode && config_.aai_opcode != 0) {
        data_.push_back(byte);
        return std::nullopt;
      }
      if (ignored_) return std::nullopt;
      return Answer(k);
  }
}

int64_t SpiFlash::Until(int64_t now, int64_t duration) const {
  return busy_forever_ ? WriteCycle::kForever : now + duration;
}

void SpiFlash::Program(std::map<uint32_t, uint8_t> bytes, int64_t now, int64_t duration) {
  ++programs_;
  if (bp_ != 0) return;  // a protected array takes nothing
  for (auto& [address, byte] : bytes) {
    if (config_.kind != SpiFlashKind::kEeprom) byte &= cells_[address];
  }
  cycle_.Start(std::move(bytes), Until(now, duration));
}

void SpiFlash::OnDeselect(int64_t bits) {
  const bool ewsr = ewsr_;
  ewsr_ = false;
  if (bits == 0) return;
  if (record_) commands_.push_back({opcode_, address_, static_cast<uint32_t>(data_.size())});
  if (ignored_) return;
  const int64_t now = lines().time_ns;
  const bool whole = bits % 8 == 0;
  if (!whole && (opcode_ == kProgram || opcode_ == kWrsr || opcode_ == config_.aai_opcode)) {
    Log("write frame cut off a byte boundary");
    return;
  }
  if (IsErase(opcode_)) {
    const bool dataflash = config_.kind == SpiFlashKind::kDataFlash;
    const bool confirmed =
        dataflash ? data_ == std::vector<uint8_t>{0x94, 0x80, 0x9A} : bits == 8 && wel_ && bp_ == 0;
    if (confirmed) {
      ++erases_;
      cycle_.Start({}, Until(now, config_.erase_ns), true);
    }
    wel_ = false;
    return;
  }
  switch (opcode_) {
    case kWren:
      wel_ = true;
      return;
    case kWrdi:
      wel_ = aai_ = false;
      return;
    case kEwsr:
      ewsr_ = config_.kind == SpiFlashKind::kSst;
      return;
    case kWrsr:
      if (!data_.empty() && (wel_ || ewsr)) bp_ = data_[0] & config_.bp_mask;
      wel_ = false;
      return;
    case kProgram: {
      if (!wel_ || data_.empty()) return;
      wel_ = false;
      std::map<uint32_t, uint8_t> bytes;
      const uint32_t start = address_ % cells_.size();
      const uint32_t base = start - start % config_.page;
      for (size_t k = 0; k < data_.size(); ++k) {
        const uint32_t a = base + static_cast<uint32_t>((start - base + k) % config_.page);
        const auto it = bytes.find(a);
        bytes[a] = it == bytes.end() || config_.kind == SpiFlashKind::kEeprom
                       ? data_[k]
                       : static_cast<uint8_t>(it->second & data_[k]);
      }
      Program(std::move(bytes), now, config_.program_ns);
      return;
    }
    default:
      break;
  }
  if (opcode_ == config_.aai_opcode && config_.aai_opcode != 0) {
    const size_t unit = opcode_ == 0xAD ? 2 : 1;
    if (data_.size() != unit) return;
    if (!aai_) {
      if (!wel_) return;
      aai_ = true;
      aai_address_ = address_ % cells_.size();
    }
    std::map<uint32_t, uint8_t> bytes;
    for (size_t k = 0; k < unit; ++k) bytes[(aai_address_ + k) % cells_.size()] = data_[k];
    aai_address_ = static_cast<uint32_t>((aai_address_ + unit) % cells_.size());
    Program(std::move(bytes), now, config_.program_ns);
  }
}

}  // namespace sim
