#include "sim/microwire_bus.h"

namespace sim {

void MicrowireDecoder::Select() {
  state_ = State::kWaitStart;
  count_ = 0;
  shift_ = 0;
}

void MicrowireDecoder::Deselect() {
  if (state_ == State::kWaitStart) return;  // nothing was sent
  const bool complete = state_ == State::kDone || state_ == State::kRead;
  state_ = State::kWaitStart;
  target_.OnDeselect(complete);
}

void MicrowireDecoder::Clock(bool di) {
  switch (state_) {
    case State::kWaitStart:
      if (di) {
        state_ = State::kOpcode;
        count_ = 0;
        shift_ = 0;
      }
      return;
    case State::kOpcode:
      shift_ = shift_ << 1 | (di ? 1 : 0);
      if (++count_ == 2) {
        opcode_ = static_cast<int>(shift_);
        state_ = State::kAddress;
        count_ = 0;
        shift_ = 0;
      }
      break;
    case State::kAddress:
      shift_ = shift_ << 1 | (di ? 1 : 0);
      if (++count_ < address_bits_) return;
      switch (target_.OnCommand(opcode_, shift_)) {
        case MicrowireTarget::Follows::kNothing:
          state_ = State::kDone;
          break;
        case MicrowireTarget::Follows::kData:
          state_ = State::kData;
          break;
        case MicrowireTarget::Follows::kRead:
          state_ = State::kRead;
          out_pos_ = 0;
          break;
      }
      count_ = 0;
      shift_ = 0;
      break;
    case State::kData:
      shift_ = shift_ << 1 | (di ? 1 : 0);
      if (++count_ == data_bits_) {
        target_.OnData(shift_);
        state_ = State::kDone;
      }
      break;
    case State::kRead:
      if (++out_pos_ > data_bits_ || out_pos_ == 1) {
        if (out_pos_ > data_bits_) out_pos_ = 1;
        word_ = target_.OnReadWord();
      }
      break;
    case State::kDone:
      state_ = State::kOverrun;  // clocks beyond the instruction
      break;
    case State::kOverrun:
      break;
  }
}

bool MicrowireDecoder::ReadLevel() const {
  if (out_pos_ == 0) return false;  // the dummy 0
  return ((word_ >> (data_bits_ - out_pos_)) & 1) != 0;
}

}  // namespace sim
