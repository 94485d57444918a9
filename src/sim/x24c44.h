#pragma once

// A serial non-volatile RAM: the X24C44 (AT24C44, S24H45), 16 words of RAM
// shadowed by 16 words of EEPROM, and the S24H30, 8 bytes of each.
//
// While CE is active, DI is sampled on SK rising. An instruction byte comes
// most significant bit first: the start bit (leading zeros are ignored),
// the address (four word bits, or three byte bits and a spare), the opcode:
// WRDS 000, STO 001, SLEEP 010, WRITE 011, WREN 100, RCL 101, READ 110.
// Data goes least significant bit first: a WRITE takes the unit's bits
// into the RAM, a READ shifts them out on SK falling, starting at the
// falling edge of the instruction's last bit. WRITE and STO need the write
// latch (WREN); STO and RCL clear it. STO copies the RAM into the EEPROM
// (tSTO), RCL the EEPROM into the RAM; power-up recalls as well, and the RAM
// is lost at power-off. Instructions are ignored while STO runs.
//
// The cells are the EEPROM; a word's bits 7..0 are byte 2w, 15..8 byte 2w + 1.
//
// Violations: "clock while deselected", "store cut by power-off".
// Faults, besides "absent" and "stuck": "sto_ignored" (STO does nothing).

#include <cstdint>
#include <optional>
#include <string_view>

#include "sim/serial_socket.h"
#include "sim/write_cycle.h"

namespace sim {

struct NvramConfig {
  bool words = true;  // X24C44: 16 words; S24H30: 8 bytes
  int64_t store_ns = 10'000'000;
};

class NvramChip final : public SerialChip {
 public:
  explicit NvramChip(const NvramConfig& config);

  std::string_view ModelName() const override { return "serial-nvram"; }
  std::vector<uint8_t> Contents() const override { return eeprom_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;
  const std::vector<uint8_t>& ram() const { return ram_; }
  bool write_latch() const { return latch_; }
  uint64_t stores() const { return stores_; }

 private:
  enum class Phase { kSync, kInstruction, kData, kRead, kDone };

  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t time_ns) const override;
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  void Rise(bool di, int64_t now);
  void Execute(uint8_t instruction, int64_t now);
  int Bits() const { return config_.words ? 16 : 8; }
  uint32_t Unit(uint32_t u) const;

  NvramConfig config_;
  std::vector<uint8_t> eeprom_;
  std::vector<uint8_t> ram_;
  bool sto_ignored_ = false;
  bool latch_ = false;
  Phase phase_ = Phase::kSync;
  uint32_t shift_ = 0;
  int count_ = 0;
  uint32_t unit_ = 0;
  uint32_t out_ = 0;
  int out_bit_ = -1;  // -1: nothing on DO yet
  WriteCycle cycle_;
  uint64_t stores_ = 0;
};

}  // namespace sim
