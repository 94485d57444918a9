#pragma once

// The chip side of a Microwire (93Cxx) bus, kept apart from what the chip
// stores: while CS is high, DI is sampled on SK rising; leading zeros are
// ignored, then come the start bit, two opcode bits, the address bits of
// the part's width and, for the writing instructions, the data bits. A READ
// answers with a dummy 0 after the last address bit and then one data bit
// per SK rising edge, most significant first, running on into the next
// word. CS falling ends the instruction.

#include <cstdint>

namespace sim {

class MicrowireTarget {
 public:
  enum class Follows { kNothing, kData, kRead };
  virtual ~MicrowireTarget() = default;
  // The opcode (0..3) and address are in; what comes next.
  virtual Follows OnCommand(int opcode, uint32_t address) = 0;
  virtual void OnData(uint32_t word) = 0;
  // The next word a READ shifts out.
  virtual uint32_t OnReadWord() = 0;
  // CS fell. `complete` when the instruction ended on a field boundary
  // (nothing missing, nothing extra).
  virtual void OnDeselect(bool complete) = 0;
};

class MicrowireDecoder {
 public:
  explicit MicrowireDecoder(MicrowireTarget& target) : target_(target) {}

  void SetWidths(int address_bits, int data_bits) {
    address_bits_ = address_bits;
    data_bits_ = data_bits;
  }
  int address_bits() const { return address_bits_; }
  int data_bits() const { return data_bits_; }

  void Select();
  void Deselect();
  void Clock(bool di);  // SK rising while selected
  // DO while a READ shifts out; nothing otherwise.
  bool Reading() const { return state_ == State::kRead; }
  bool ReadLevel() const;
  // The start bit has been seen in this selection.
  bool Started() const { return state_ != State::kWaitStart; }

 private:
  enum class State { kWaitStart, kOpcode, kAddress, kData, kRead, kDone, kOverrun };

  MicrowireTarget& target_;
  int address_bits_ = 7;
  int data_bits_ = 8;
  State state_ = State::kWaitStart;
  int count_ = 0;
  uint32_t shift_ = 0;
  int opcode_ = 0;
  uint32_t word_ = 0;
  int out_pos_ = 0;  // 0: the dummy bit; 1..data_bits: the word's bits
};

}  // namespace sim
