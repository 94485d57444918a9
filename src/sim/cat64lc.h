#pragma once

// A CAT64LC10/20/40: 16-bit words behind 16-bit instruction frames, in the
// serial socket with an active-low CS.
//
// While CS is active, DI is sampled on SK rising; leading zeros are ignored
// and a frame starts with its first 1. Frames: READ 0xA8 with the word
// address in the low byte (shifted left by 2, 1 or 0 for the 10, 20 and
// 40), then 16 data bits out, most significant first, one per SK rising
// edge; EWEN 0xA300, EWDS 0xA000; WRITE 0xA4 with the address, then 16
// data bits: the self-timed write starts on the last of them. Frames may
// follow each other within one selection. Writes are disabled at power-up;
// instructions are ignored while a write runs.
//
// The cells are the image's bytes: word w is 2w (bits 7..0), 2w + 1 (15..8).
//
// Violations: "clock while deselected", "write cycle cut by power-off".
// Faults, besides "absent" and "stuck": "write-time" arg1 = tWR in ms.

#include <cstdint>
#include <optional>
#include <string_view>

#include "sim/serial_socket.h"
#include "sim/write_cycle.h"

namespace sim {

struct Cat64Config {
  uint32_t size = 512;  // bytes
  int shift = 0;        // word address shift inside the frame's low byte
  int64_t write_ns = 5'000'000;
};

class Cat64Chip final : public SerialChip {
 public:
  explicit Cat64Chip(const Cat64Config& config);

  std::string_view ModelName() const override { return "cat64lc"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;
  bool write_enabled() const { return ewen_; }

 private:
  enum class Phase { kSync, kFrame, kData, kRead };

  void OnLines(const SerialLines& now, const SerialLines& was) override;
  std::optional<bool> Output(int64_t time_ns) const override;
  void OnPowerOn(int64_t time_ns) override;
  void OnPowerOff(int64_t time_ns) override;
  bool InjectModelFault(const ChipFault& fault) override;

  void Clock(bool di, int64_t now);
  void Frame(int64_t now);
  uint16_t Word(uint32_t w) const;

  Cat64Config config_;
  std::vector<uint8_t> cells_;
  bool ewen_ = false;
  Phase phase_ = Phase::kSync;
  uint32_t shift_ = 0;
  int count_ = 0;
  uint32_t word_ = 0;  // the frame's word address
  uint16_t out_ = 0;
  int out_pos_ = 0;  // 0 before the first data bit, then 1..16
  WriteCycle cycle_;
};

}  // namespace sim
