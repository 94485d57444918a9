#include "sim/icsp_chip.h"

namespace sim {
namespace {

// The ICSP timing the parts share: data setup before PGC falls, the delay
// between a command and the next frame, and the hold of PGC/PGD low after
// VPP rises before the first clock.
constexpr int64_t kSetupNs = 100;
constexpr int64_t kFrameGapNs = 1000;
constexpr int64_t kEntryHoldNs = 5000;

}  // namespace

IcspChip::IcspChip(bool vpp_first, int data_bits)
    : SerialChip(kPicIcspWiring), vpp_first_(vpp_first), data_bits_(data_bits) {}

void IcspChip::OnPowerOn(int64_t) {
  if (lines().aux && !vpp_first_) Log("VPP without VDD");
}

void IcspChip::OnPowerOff(int64_t time_ns) {
  if (in_mode_) Leave(time_ns);
}

void IcspChip::OnLines(const SerialLines& now, const SerialLines& was) {
  const int64_t t = now.time_ns;
  Settle(t);
  if (!in_mode_ && now.aux && (!was.aux || !was.power)) {
    if (was.power && (now.clock || now.data)) {
      Log("VPP raised with PGC or PGD high");
      return;
    }
    Enter(t);
    return;
  }
  if (in_mode_ && !now.aux) {
    Leave(t);
    return;
  }
  const bool rose = now.clock && !was.clock;
  const bool fell = !now.clock && was.clock;
  if (!in_mode_) {
    if (rose) Log("PGC clocked outside programming mode");
    return;
  }
  if (now.data != was.data) {
    if (fell) Log("PGD changed less than 100 ns before PGC fell");
    data_since_ns_ = t;
  }
  if (rose) ClockRose(now);
  if (fell) {
    if (t - data_since_ns_ < kSetupNs && now.data == was.data) {
      Log("PGD changed less than 100 ns before PGC fell");
    }
    ClockFell(now);
  }
}

std::optional<bool> IcspChip::Output(int64_t) const {
  if (!driving_) return std::nullopt;
  return out_level_;
}

void IcspChip::Enter(int64_t t) {
  in_mode_ = true;
  entered_ns_ = t;
  first_clock_ = true;
  frame_ = Frame::kCommand;
  bits_ = 0;
  shift_ = 0;
  Entered();
}

void IcspChip::Leave(int64_t t) {
  Settle(t);
  Leaving(t);
  in_mode_ = false;
  driving_ = false;
}

void IcspChip::ClockRose(const SerialLines& now) {
  const int64_t t = now.time_ns;
  if (bits_ == 0) {
    if (first_clock_) {
      if (t - entered_ns_ < kEntryHoldNs) Log("PGC sooner than 5 us after entering programming");
      first_clock_ = false;
    } else if (t - frame_end_ns_ < kFrameGapNs) {
      Log("frame sooner than 1 us after the last one");
    }
  }
  if (frame_ != Frame::kRead) return;
  // Start and stop bits read as 0; the data bits go out least significant
  // first.
  const bool data_bit = bits_ >= 1 && bits_ <= data_bits_;
  out_level_ = data_bit && ((out_ >> (bits_ - 1)) & 1) != 0;
  driving_ = out_ != 0xFFFF;  // 0xFFFF: the read was ignored, PGD released
}

void IcspChip::ClockFell(const SerialLines& now) {
  const int64_t t = now.time_ns;
  switch (frame_) {
    case Frame::kCommand:
      shift_ |= static_cast<uint32_t>(now.data) << bits_;
      if (++bits_ < 6) return;
      bits_ = 0;
      frame_end_ns_ = t;
      {
        const auto code = static_cast<int>(shift_);
        shift_ = 0;
        Command(code, t);
      }
      return;
    case Frame::kLoad:
      if (bits_ >= 1 && bits_ <= data_bits_) {
        shift_ |= static_cast<uint32_t>(now.data) << (bits_ - 1);
      }
      if (++bits_ < 16) return;
      break;
    case Frame::kRead:
      if (++bits_ < 16) return;
      driving_ = false;
      break;
  }
  const Frame done = frame_;
  frame_ = Frame::kCommand;
  bits_ = 0;
  frame_end_ns_ = t;
  if (done == Frame::kLoad) Loaded(static_cast<uint16_t>(shift_));
  shift_ = 0;
}

}  // namespace sim
