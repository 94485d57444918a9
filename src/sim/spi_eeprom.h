#pragma once

// A 25xxx SPI EEPROM behind the serial socket.
//
// Status register: WIP (bit 0), WEL (1), BP0 (2), BP1 (3), WPEN (7); the BP
// bits and WPEN are non-volatile. Commands: WREN 06, WRDI 04, RDSR 05, WRSR
// 01 (needs WEL; refused while WPEN is set and WP# is low), READ 03, WRITE
// 02. Address bytes by size: up to 512 bytes one, with A8 in opcode bit 3;
// up to 64 KB two; above, three. A WRITE fills the page buffer, wrapping
// inside its page, and runs when CS# rises on a byte boundary, for tW; bytes
// in the BP range are not written. WEL is cleared by every write, WRSR and
// WRDI. While a write runs only RDSR is answered. READ runs on from its
// address and wraps at the end.
//
// Violations: "clock while deselected", "write frame cut off a byte
// boundary", "write cycle cut by power-off".
//
// Faults, besides "absent" and "stuck":
//   "write-time"  arg1 = tW in ms
//   "bp"          arg1 = the BP bits (0..3) the part comes with
//   "wpen_wp_low" the part comes with WPEN and the whole array protected,
//                 and WP# is held low
//   "page"        arg1 = the real page size, smaller than the catalogue's

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "sim/serial_socket.h"
#include "sim/spi_bus.h"
#include "sim/write_cycle.h"

namespace sim {

struct SpiEepromConfig {
  uint32_t size = 512;
  uint32_t page = 16;
  int64_t write_ns = 5'000'000;  // tW
  bool wpen = true;              // the part has the WPEN bit
};

class SpiEeprom final : public SerialChip, private SpiTarget {
 public:
  explicit SpiEeprom(const SpiEepromConfig& config);

  std::string_view ModelName() const override { return "spi-eeprom"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  // The non-volatile status bits (BP1, BP0, WPEN) and whether WP# is low.
  uint8_t protection() const { return protection_; }
  uint8_t Status(int64_t time_ns) const;
  uint64_t write_cycles() const { return write_cycles_; }
  // Every frame seen, each byte as it came in on SI.
  void RecordFrames(bool on) {
    record_ = on;
    frames_.clear();
  }
  const std::vector<std::vector<uint8_t>>& frames() const { return frames_; }

 private:
  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t) const override { return decoder_.Output(); }
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  void OnSelect() override;
  std::optional<uint8_t> OnByte(uint8_t byte, int index) override;
  void OnDeselect(int64_t bits) override;

  int AddressBytes() const { return cells_.size() > 65536 ? 3 : cells_.size() > 512 ? 2 : 1; }
  bool Protected(uint32_t address) const;

  SpiEepromConfig config_;
  std::vector<uint8_t> cells_;
  SpiDecoder decoder_;
  uint32_t page_;
  uint8_t protection_ = 0;  // WPEN | BP1 | BP0 as the status register holds them
  bool wp_low_ = false;
  bool wel_ = false;
  WriteCycle cycle_;

  uint8_t opcode_ = 0;
  uint32_t address_ = 0;
  uint8_t new_status_ = 0;
  int data_bytes_ = 0;
  bool ignored_ = false;  // the command arrived while busy
  std::map<uint32_t, uint8_t> buffer_;
  uint64_t write_cycles_ = 0;
  bool record_ = false;
  std::vector<std::vector<uint8_t>> frames_;
};

}  // namespace sim
