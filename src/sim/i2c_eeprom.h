#pragma once

// A 24Cxx I2C EEPROM behind the serial socket.
//
// Addressing, as the part's datasheet has it:
//   kX24C01   no device select: the first byte after START carries seven
//             address bits and the read bit
//   kOneByte  select 1010 B2 B1 B0 R/W, where the block bits B carry A10..A8
//             as far as the part has them and the rest are address pins the
//             socket ties low; then one word-address byte
//   kTwoByte  select 1010 0 0 0 R/W, then the word address high byte first
//
// Writes go into the page buffer, wrapping inside the page; a STOP after at
// least one data byte starts the write cycle (tWR), during which every
// select byte is left unacknowledged (what acknowledge polling sees). A STOP
// right after the address keeps the pointer (the random read is a dummy
// write, STOP, START, read). Reads run on from the pointer and wrap at the
// end of the part; the controller's NACK ends them. While the WP pin is high
// the part acknowledges data but does not write.
//
// Violations: the I2C bus timing (I2cTiming) and "write cycle cut by
// power-off" (the page then holds a mix of old and new bits).
//
// Faults (InjectFault), besides "absent" and "stuck":
//   "busy-forever" address: the write cycle that writes this address never ends
//   "page"         arg1 = the part's real page size, smaller than the catalogue's
//   "write-time"   arg1 = tWR in ms
//   "slow_ack"     the acknowledge shows only after SCL has been high 10
//                  ticks (8.4 us) in the ninth clock

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "sim/i2c_bus.h"
#include "sim/serial_socket.h"
#include "sim/write_cycle.h"

namespace sim {

enum class I2cAddressing { kX24C01, kOneByte, kTwoByte };

struct I2cConfig {
  uint32_t size = 256;
  uint32_t page = 8;
  I2cAddressing addressing = I2cAddressing::kOneByte;
  int64_t write_ns = 5'000'000;  // tWR
  I2cTiming bus;
};

class I2cEeprom final : public SerialChip, private I2cTarget {
 public:
  explicit I2cEeprom(const I2cConfig& config);

  std::string_view ModelName() const override { return "i2c-eeprom"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  I2cDecoder& decoder() { return decoder_; }
  const I2cConfig& config() const { return config_; }
  // Select bytes left unacknowledged because the last write cycle was
  // running (what acknowledge polling counted as failed).
  int busy_nacks() const { return busy_nacks_; }
  uint64_t write_cycles() const { return write_cycles_; }

 private:
  enum class Phase { kIdle, kAddressHigh, kAddressLow, kData, kRead };

  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t time_ns) const override;
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  void OnStart() override;
  void OnStop() override;
  bool OnWrite(uint8_t byte, bool first) override;
  uint8_t OnRead() override;
  void OnTiming(std::string_view violation) override { Log(violation, pointer_); }

  bool Select(uint8_t byte);

  I2cConfig config_;
  std::vector<uint8_t> cells_;
  I2cDecoder decoder_;
  uint32_t page_;
  std::optional<uint32_t> busy_forever_at_;

  Phase phase_ = Phase::kIdle;
  uint32_t pointer_ = 0;
  uint8_t block_ = 0;                   // the select byte's block bits, or the high address byte
  std::map<uint32_t, uint8_t> buffer_;  // the page buffer, by address
  WriteCycle cycle_;

  int busy_nacks_ = 0;
  uint64_t write_cycles_ = 0;
};

}  // namespace sim
