#include "sim/spi_bus.h"

namespace sim {

void SpiDecoder::Select() {
  selected_ = true;
  bits_ = 0;
  shift_ = 0;
  out_.reset();
  target_.OnSelect();
}

void SpiDecoder::Deselect() {
  if (!selected_) return;
  selected_ = false;
  out_.reset();
  target_.OnDeselect(bits_);
}

void SpiDecoder::Rise(bool si) {
  if (!selected_) return;
  shift_ = static_cast<uint8_t>(shift_ << 1 | (si ? 1 : 0));
  if (++bits_ % 8 == 0) next_ = target_.OnByte(shift_, static_cast<int>(bits_ / 8 - 1));
}

void SpiDecoder::Fall() {
  if (!selected_) return;
  if (bits_ > 0 && bits_ % 8 == 0) {
    out_ = next_;
    next_.reset();
    out_pos_ = 0;
  } else if (out_pos_ < 7) {
    ++out_pos_;
  }
}

}  // namespace sim
