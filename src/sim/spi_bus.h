#pragma once

// The chip side of an SPI bus in mode 0, kept apart from what the chip
// stores: CS# falling starts a command, SI is sampled on SCK rising, SO
// changes on SCK falling (so a controller may sample it either just before
// or just after the next rising edge), and CS# rising ends the command.

#include <cstdint>
#include <optional>

namespace sim {

class SpiTarget {
 public:
  virtual ~SpiTarget() = default;
  virtual void OnSelect() = 0;
  // A whole byte came in; `index` counts from 0, the opcode. Returns the
  // byte to shift out over the next eight clocks, or nothing (SO stays off).
  virtual std::optional<uint8_t> OnByte(uint8_t byte, int index) = 0;
  // CS# rose after `bits` clocks.
  virtual void OnDeselect(int64_t bits) = 0;
};

class SpiDecoder {
 public:
  explicit SpiDecoder(SpiTarget& target) : target_(target) {}

  void Select();
  void Deselect();
  // Power off: whatever was half sent is dropped, nothing is carried out.
  void Reset() {
    selected_ = false;
    out_.reset();
  }
  void Rise(bool si);
  void Fall();
  std::optional<bool> Output() const {
    if (!out_) return std::nullopt;
    return ((*out_ >> (7 - out_pos_)) & 1) != 0;
  }
  int64_t bits() const { return bits_; }

 private:
  SpiTarget& target_;
  bool selected_ = false;
  int64_t bits_ = 0;
  uint8_t shift_ = 0;
  std::optional<uint8_t> next_;  // answer to the last whole byte
  std::optional<uint8_t> out_;   // the byte on SO
  int out_pos_ = 0;
};

}  // namespace sim
