#include "sim/i2c_eeprom.h"

#include <algorithm>
#include <utility>

namespace sim {
namespace {

// The slow part wants SCL high this long in its acknowledge clock: 10 ticks
// of 0.8381 us.
constexpr int64_t kSlowAckNs = 8381;

}  // namespace

I2cEeprom::I2cEeprom(const I2cConfig& config)
    : SerialChip(kI2cWiring),
      config_(config),
      cells_(std::max<uint32_t>(config.size, 1), 0xFF),
      decoder_(*this, config.bus),
      page_(std::max<uint32_t>(config.page, 1)) {}

void I2cEeprom::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

bool I2cEeprom::InjectModelFault(const ChipFault& fault) {
  if (fault.kind == "busy-forever") {
    if (fault.address >= cells_.size()) return false;
    busy_forever_at_ = fault.address;
    return true;
  }
  if (fault.kind == "page") {
    if (fault.arg1 < 1 || static_cast<uint32_t>(fault.arg1) > page_) return false;
    page_ = static_cast<uint32_t>(fault.arg1);
    return true;
  }
  if (fault.kind == "write-time") {
    if (fault.arg1 < 1) return false;
    config_.write_ns = int64_t{fault.arg1} * 1'000'000;
    return true;
  }
  if (fault.kind == "slow_ack") {
    decoder_.SetAckDelay(kSlowAckNs);
    return true;
  }
  return false;
}

void I2cEeprom::OnLines(const SerialLines& now, const SerialLines&) {
  decoder_.Lines(now.clock, now.data, now.time_ns);
}

std::optional<bool> I2cEeprom::Output(int64_t time_ns) const {
  if (decoder_.PullsLow(time_ns)) return false;
  return std::nullopt;
}

void I2cEeprom::OnPowerOn(int64_t time_ns) {
  decoder_.PowerOn(lines().clock, lines().data, time_ns);
  phase_ = Phase::kIdle;
  pointer_ = 0;
}

void I2cEeprom::OnPowerOff(int64_t time_ns) {
  const uint32_t address = cycle_.first_address();
  if (cycle_.Cut(time_ns, cells_)) Log("write cycle cut by power-off", address);
  decoder_.Reset();
  buffer_.clear();
  phase_ = Phase::kIdle;
}

void I2cEeprom::OnStart() {
  cycle_.Settle(lines().time_ns, cells_);
  // A START before the STOP abandons the bytes sent so far.
  buffer_.clear();
  phase_ = Phase::kIdle;
}

void I2cEeprom::OnStop() {
  const int64_t now = lines().time_ns;
  if (phase_ == Phase::kData && !buffer_.empty()) {
    ++write_cycles_;
    busy_nacks_ = 0;
    const bool never = busy_forever_at_ && buffer_.count(*busy_forever_at_) != 0;
    cycle_.Start(std::exchange(buffer_, {}), never ? WriteCycle::kForever : now + config_.write_ns);
  }
  phase_ = Phase::kIdle;
}

bool I2cEeprom::Select(uint8_t byte) {
  const bool read = (byte & 1) != 0;
  switch (config_.addressing) {
    case I2cAddressing::kX24C01:
      pointer_ = (byte >> 1) % cells_.size();
      phase_ = read ? Phase::kRead : Phase::kData;
      return true;
    case I2cAddressing::kOneByte: {
      const auto block = static_cast<uint8_t>((byte >> 1) & 7);
      const auto block_mask = static_cast<uint8_t>(std::max<size_t>(cells_.size() / 256, 1) - 1);
      if ((byte & 0xF0) != 0xA0 || (block & ~block_mask) != 0) return false;
      if (read) {
        pointer_ = (uint32_t{block} << 8 | (pointer_ & 0xFF)) % cells_.size();
        phase_ = Phase::kRead;
      } else {
        block_ = block;
        phase_ = Phase::kAddressLow;
      }
      return true;
    }
    case I2cAddressing::kTwoByte:
      if ((byte & 0xFE) != 0xA0) return false;
      phase_ = read ? Phase::kRead : Phase::kAddressHigh;
      return true;
  }
  return false;
}

bool I2cEeprom::OnWrite(uint8_t byte, bool first) {
  const int64_t now = lines().time_ns;
  cycle_.Settle(now, cells_);
  if (first) {
    if (cycle_.Busy(now)) {
      ++busy_nacks_;
      return false;
    }
    buffer_.clear();
    return Select(byte);
  }
  switch (phase_) {
    case Phase::kAddressHigh:
      block_ = byte;
      phase_ = Phase::kAddressLow;
      return true;
    case Phase::kAddressLow:
      pointer_ = (uint32_t{block_} << 8 | byte) % cells_.size();
      phase_ = Phase::kData;
      return true;
    case Phase::kData: {
      // With WP high the byte is taken and thrown away.
      if (!lines().aux) buffer_[pointer_] = byte;
      const uint32_t base = pointer_ - pointer_ % page_;
      pointer_ = base + (pointer_ + 1 - base) % page_;
      return true;
    }
    case Phase::kIdle:
    case Phase::kRead:
      break;
  }
  return false;
}

uint8_t I2cEeprom::OnRead() {
  const uint8_t value = Stuck(pointer_, cells_[pointer_]);
  pointer_ = (pointer_ + 1) % cells_.size();
  return value;
}

}  // namespace sim
