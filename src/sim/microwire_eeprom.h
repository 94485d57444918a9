#pragma once

// A 93Cxx Microwire EEPROM (and the AT59C and CAT35C relatives) behind the
// serial socket or the ICSP connector.
//
// The ORG strap organises it by 8 or 16 bits; organised by 16 its frames
// carry one address bit less. Instructions (start bit, opcode, address):
// READ 10, WRITE 01, ERASE 11, and under opcode 00 by the two top address
// bits EWEN 11, EWDS 00, ERAL 10, WRAL 01. Writes are disabled at power-up
// (EWDS). A WRITE, ERASE, ERAL or WRAL starts when CS falls after a
// complete instruction and runs for tWP (tEC for the whole-array ones);
// with CS high again DO shows busy (0), then ready (1) until the next start
// bit. Instructions that arrive while busy are ignored.
//
// The cells are the bytes as the image holds them: organised by 16, word w
// is bytes 2w (bits 7..0) and 2w + 1 (bits 15..8).
//
// Violations: "clock while deselected", "write frame cut off before its
// last data bit", "write cycle cut by power-off".
//
// Faults, besides "absent" and "stuck":
//   "org"          arg1 = 8 or 16: the strap as wired, whatever the mode chosen
//   "write-time"   arg1 = tWP in ms
//   "ewen_ignored" the part never leaves EWDS

#include <cstdint>
#include <optional>
#include <string_view>

#include "sim/microwire_bus.h"
#include "sim/serial_socket.h"
#include "sim/write_cycle.h"

namespace sim {

struct MicrowireConfig {
  uint32_t size = 128;                // bytes
  int address_bits_x8 = 7;            // frame address width organised by 8 bits
  bool org16 = false;                 // the ORG strap
  int64_t write_ns = 10'000'000;      // tWP: WRITE, ERASE
  int64_t write_all_ns = 15'000'000;  // tEC / tWL: ERAL, WRAL
  bool icsp = false;                  // on the ICSP connector
};

class MicrowireEeprom final : public SerialChip, private MicrowireTarget {
 public:
  explicit MicrowireEeprom(const MicrowireConfig& config);

  std::string_view ModelName() const override { return "microwire-eeprom"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const MicrowireConfig& config() const { return config_; }
  bool write_enabled() const { return ewen_; }
  uint64_t write_cycles() const { return write_cycles_; }

 private:
  enum class Op { kNone, kWrite, kErase, kEraseAll, kWriteAll };

  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t time_ns) const override;
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  Follows OnCommand(int opcode, uint32_t address) override;
  void OnData(uint32_t word) override { data_ = word; }
  uint32_t OnReadWord() override;
  void OnDeselect(bool complete) override;

  void ApplyOrganisation();
  uint32_t Units() const { return static_cast<uint32_t>(cells_.size()) / (word_ ? 2 : 1); }
  void StartCycle(int64_t now);

  MicrowireConfig config_;
  std::vector<uint8_t> cells_;
  MicrowireDecoder decoder_;
  bool word_ = false;
  bool ewen_ignored_ = false;

  bool ewen_ = false;
  Op op_ = Op::kNone;
  uint32_t address_ = 0;
  uint32_t data_ = 0;
  uint32_t read_address_ = 0;
  WriteCycle cycle_;
  bool status_ = false;  // DO shows ready/busy while selected
  uint64_t write_cycles_ = 0;
};

}  // namespace sim
