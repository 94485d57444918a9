#pragma once

// A 25-series SPI flash behind the serial socket, one model with the
// variants its rows name: the common command set, SST's auto-address-
// increment parts, the AT25F, the 25LC1024 (an EEPROM that answers the
// flash commands) and the page-oriented 45-series DataFlash.
//
// Common: WREN 06, WRDI 04, RDSR 05 (WIP bit 0, WEL bit 1, BP bits from
// bit 2), WRSR 01 (needs WEL; SST: EWSR 50 or WREN right before), READ 03
// (runs on and wraps), page program 02 (needs WEL, wraps inside its page,
// only clears bits - the 25LC1024 replaces the bytes - busy for tPP), chip
// erase C7/60 (AT25F: 62; needs WEL, ignored while any BP bit is set, busy
// for tCE). While busy only RDSR is answered. Identification: 9F
// (manufacturer, memory type, capacity), 90 + address (manufacturer and
// device, alternating by address bit 0), AB + address (the pair the part
// gives, repeated), 15 (AT25F: manufacturer and device right after the
// opcode). Any BP bit protects the whole array from page program and erase.
//
// SST AAI (AF one byte, AD two): WREN, the opcode with an address and the
// data start it; then the opcode with data only, the address moving on by
// itself; each unit programs for tBP after CS# rises. In AAI mode the parts
// with the AD opcode (and any part with the "aai_strict" fault) take only
// AAI, RDSR and WRDI; the older AF parts leave AAI mode on any other
// command and carry it out. WRDI ends AAI mode. SST parts power up with
// every BP bit set.
//
// DataFlash: 9F, the status read D7 (bit 7 ready, bits 5..2 the density
// code), the continuous array read 03 with a page address (page << shift |
// byte), and chip erase C7 94 80 9A. It ignores the 25-series write
// opcodes.
//
// Violations: "clock while deselected", "write frame cut off a byte
// boundary", "write cycle cut by power-off".
//
// Faults, besides "absent" and "stuck": "bp" arg1 = BP bits set at the
// start, "busy-forever" (no program or erase ever ends), "page" arg1 =
// the real page size, "aai_strict".

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "sim/serial_socket.h"
#include "sim/spi_bus.h"
#include "sim/write_cycle.h"

namespace sim {

enum class SpiFlashKind { kStandard, kSst, kAt25f, kEeprom, kDataFlash };

struct SpiFlashConfig {
  uint32_t size = 512 * 1024;
  uint32_t page = 256;
  SpiFlashKind kind = SpiFlashKind::kStandard;
  // Identification answers; an empty (all-zero) one is not a command of the part.
  std::array<uint8_t, 3> id_9f{};
  std::array<uint8_t, 2> id_90{};
  std::array<uint8_t, 2> id_ab{};
  std::array<uint8_t, 2> id_15{};
  uint8_t bp_mask = 0x1C;             // the BP bits the status register has
  uint8_t aai_opcode = 0;             // SST: 0xAF or 0xAD
  int64_t program_ns = 5'000'000;     // tPP, or tBP per AAI unit
  int64_t erase_ns = 10'000'000'000;  // tCE
  int64_t power_up_ns = 10'000;       // tVSL/tPU: Vcc up to the first CS# low
  uint8_t density = 0;                // DataFlash status bits 5..2
  int page_shift = 9;                 // DataFlash page address shift
};

class SpiFlash final : public SerialChip, private SpiTarget {
 public:
  explicit SpiFlash(const SpiFlashConfig& config);

  std::string_view ModelName() const override { return "spi-flash"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  const SpiFlashConfig& config() const { return config_; }
  uint8_t Status(int64_t time_ns) const;
  bool aai_mode() const { return aai_; }
  uint64_t programs() const { return programs_; }
  uint64_t erases() const { return erases_; }
  // Every command seen, carried out or ignored, with its address (as sent)
  // and the count of data bytes that followed it.
  struct Command {
    uint8_t opcode;
    uint32_t address;
    uint32_t data_bytes;
  };
  void RecordCommands(bool on) {
    record_ = on;
    commands_.clear();
  }
  const std::vector<Command>& commands() const { return commands_; }

 private:
  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t) const override { return decoder_.Output(); }
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  void OnSelect() override;
  std::optional<uint8_t> OnByte(uint8_t byte, int index) override;
  void OnDeselect(int64_t bits) override;

  bool Accepts(uint8_t opcode, int64_t now);
  bool IsErase(uint8_t opcode) const;
  int Bytes() const;  // address bytes of the current opcode
  uint32_t Linear(uint32_t address) const;
  std::optional<uint8_t> Answer(int index);
  void Program(std::map<uint32_t, uint8_t> bytes, int64_t now, int64_t duration);
  int64_t Until(int64_t now, int64_t duration) const;

  SpiFlashConfig config_;
  std::vector<uint8_t> cells_;
  SpiDecoder decoder_;
  bool busy_forever_ = false;
  int64_t powered_at_ns_ = 0;
  bool aai_strict_;

  uint8_t bp_ = 0;
  bool wel_ = false;
  bool ewsr_ = false;  // SST: EWSR came just before
  bool aai_ = false;
  uint32_t aai_address_ = 0;
  WriteCycle cycle_;

  uint8_t opcode_ = 0;
  bool ignored_ = false;
  uint32_t address_ = 0;
  std::vector<uint8_t> data_;
  uint64_t programs_ = 0, erases_ = 0;
  bool record_ = false;
  std::vector<Command> commands_;
};

}  // namespace sim
