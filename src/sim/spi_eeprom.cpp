#include "sim/spi_eeprom.h"

#include <algorithm>

namespace sim {
namespace {

enum : uint8_t {
  kWrsr = 0x01,
  kWrite = 0x02,
  kRead = 0x03,
  kWrdi = 0x04,
  kRdsr = 0x05,
  kWren = 0x06
};
constexpr uint8_t kWip = 0x01, kWel = 0x02, kBp = 0x0C, kWpen = 0x80;
constexpr char kStatusSection[] = "status";

}  // namespace

SpiEeprom::SpiEeprom(const SpiEepromConfig& config)
    : SerialChip(kSpiWiring),
      config_(config),
      cells_(std::max<uint32_t>(config.size, 1), 0xFF),
      decoder_(*this),
      page_(std::max<uint32_t>(config.page, 1)) {}

void SpiEeprom::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

std::vector<StateSection> SpiEeprom::State() const { return {{kStatusSection, {protection_}}}; }

bool SpiEeprom::SetState(const StateSection& section) {
  if (section.name != kStatusSection || section.bytes.size() != 1) return false;
  protection_ = static_cast<uint8_t>(section.bytes[0] & (kBp | (config_.wpen ? kWpen : 0)));
  return true;
}

bool SpiEeprom::InjectModelFault(const ChipFault& fault) {
  if (fault.kind == "write-time" && fault.arg1 >= 1) {
    config_.write_ns = int64_t{fault.arg1} * 1'000'000;
    return true;
  }
  if (fault.kind == "bp" && fault.arg1 >= 0 && fault.arg1 <= 3) {
    protection_ = static_cast<uint8_t>((protection_ & ~kBp) | fault.arg1 << 2);
    return true;
  }
  if (fault.kind == "wpen_wp_low" && config_.wpen) {
    protection_ = kWpen | kBp;
    wp_low_ = true;
    return true;
  }
  if (fault.kind == "page" && fault.arg1 >= 1 && static_cast<uint32_t>(fault.arg1) <= page_) {
    page_ = static_cast<uint32_t>(fault.arg1);
    return true;
  }
  return false;
}

uint8_t SpiEeprom::Status(int64_t time_ns) const {
  return static_cast<uint8_t>(protection_ | (wel_ ? kWel : 0) | (cycle_.Busy(time_ns) ? kWip : 0));
}

bool SpiEeprom::Protected(uint32_t address) const {
  const uint32_t size = static_cast<uint32_t>(cells_.size());
  switch ((protection_ & kBp) >> 2) {
    case 1:
      return address >= size - size / 4;
    case 2:
      return address >= size / 2;
    case 3:
      return true;
    default:
      return false;
  }
}

void SpiEeprom::OnPowerOn(int64_t) { wel_ = false; }

void SpiEeprom::OnPowerOff(int64_t time_ns) {
  const uint32_t address = cycle_.first_address();
  if (cycle_.Cut(time_ns, cells_)) Log("write cycle cut by power-off", address);
  decoder_.Reset();
}

void SpiEeprom::OnLines(const SerialLines& now, const SerialLines& was) {
  const bool fresh = !was.power;
  // An instruction starts on CS# falling while the part is powered: one
  // powered up with CS# already low ignores the clocks until a deselect.
  if (now.selected && !was.selected && !fresh) decoder_.Select();
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

void SpiEeprom::OnSelect() {
  const int64_t now = lines().time_ns;
  cycle_.Settle(now, cells_);
  ignored_ = cycle_.Busy(now);
  opcode_ = 0;
  address_ = 0;
  data_bytes_ = 0;
  buffer_.clear();
  if (record_) frames_.emplace_back();
}

std::optional<uint8_t> SpiEeprom::OnByte(uint8_t byte, int index) {
  const int64_t now = lines().time_ns;
  if (record_ && !frames_.empty()) frames_.back().push_back(byte);
  if (index == 0) {
    opcode_ = byte;
    // Up to 512 bytes the opcode carries A8 in bit 3.
    if (AddressBytes() == 1 && (byte & 0xF7) <= kRead && (byte & 0xF7) >= kWrite) {
      opcode_ = byte & 0xF7;
      address_ = (byte & 0x08) ? 0x100 : 0;
    }
    if (opcode_ == kRdsr) return Status(now);
    return std::nullopt;
  }
  if (opcode_ == kRdsr) return Status(now);
  if (ignored_) return std::nullopt;  // busy: only RDSR is answered
  if (opcode_ == kWrsr) {
    if (index == 1) new_status_ = byte;
    return std::nullopt;
  }
  if (opcode_ != kRead && opcode_ != kWrite) return std::nullopt;
  if (index <= AddressBytes()) {
    // A one-byte address adds to the A8 the opcode brought.
    address_ = AddressBytes() == 1 ? address_ | byte : address_ << 8 | byte;
    if (index < AddressBytes()) return std::nullopt;
    address_ %= cells_.size();
    if (opcode_ == kWrite) return std::nullopt;
  } else if (opcode_ == kWrite) {
    buffer_[address_] = byte;
    const uint32_t base = address_ - address_ % page_;
    address_ = base + (address_ + 1 - base) % page_;
    ++data_bytes_;
    return std::nullopt;
  }
  // READ: the byte at the pointer, then on.
  const uint8_t value = Stuck(address_, cells_[address_]);
  address_ = (address_ + 1) % cells_.size();
  return value;
}

void SpiEeprom::OnDeselect(int64_t bits) {
  if (ignored_ || bits == 0) return;
  const int64_t now = lines().time_ns;
  const bool whole = bits % 8 == 0;
  switch (opcode_) {
    case kWren:
      if (whole) wel_ = true;
      break;
    case kWrdi:
      if (whole) wel_ = false;
      break;
    case kWrsr:
      if (!whole) {
        Log("write frame cut off a byte boundary");
      } else if (bits >= 16 && wel_ && !(wp_low_ && (protection_ & kWpen))) {
        const uint8_t mask = kBp | (config_.wpen ? kWpen : 0);
        protection_ = static_cast<uint8_t>(new_status_ & mask);
        cycle_.Start({}, now + config_.write_ns);  // the status bits are non-volatile
        wel_ = false;
      }
      break;
    case kWrite:
      if (!whole) {
        Log("write frame cut off a byte boundary");
      } else if (wel_ && data_bytes_ > 0) {
        std::map<uint32_t, uint8_t> bytes;
        for (const auto& [address, byte] : buffer_) {
          if (!Protected(address)) bytes[address] = byte;
        }
        cycle_.Start(std::move(bytes), now + config_.write_ns);
        ++write_cycles_;
        wel_ = false;
      }
      break;
    default:
      break;
  }
}

}  // namespace sim
