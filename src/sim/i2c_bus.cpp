#include "sim/i2c_bus.h"

namespace sim {

void I2cDecoder::PowerOn(bool scl, bool sda, int64_t time_ns) {
  Reset();
  scl_ = scl;
  sda_ = sda;
  scl_since_ns_ = time_ns;
}

void I2cDecoder::Reset() {
  state_ = State::kIdle;
  bits_ = 0;
  acking_ = ack_clock_ = to_send_ = hold_pending_ = false;
  start_ns_ = stop_ns_ = -1;
}

void I2cDecoder::Note(Event::Kind kind, uint8_t byte, bool ack) {
  if (record_) events_.push_back({kind, byte, ack});
}

void I2cDecoder::Check(int64_t elapsed, int64_t limit, std::string_view text) {
  if (elapsed < limit) target_.OnTiming(text);
}

void I2cDecoder::Lines(bool scl, bool sda, int64_t time_ns) {
  if (scl != scl_) {
    if (scl) {
      Rise(sda, time_ns);
    } else {
      Fall(time_ns);
    }
    scl_ = scl;
    sda_ = sda;
    scl_since_ns_ = time_ns;
    return;
  }
  if (sda == sda_) return;
  sda_ = sda;
  if (!scl) return;  // data changing while SCL is low: nothing on the bus
  if (!sda) {
    // START, also as a repeated START; it resets whatever was going on.
    if (stop_ns_ >= 0)
      Check(time_ns - stop_ns_, timing_.bus_free_ns,
            "bus free time before START shorter than tBUF");
    Check(time_ns - scl_since_ns_, timing_.start_setup_ns, "START setup shorter than tSU;STA");
    start_ns_ = time_ns;
    Note(Event::Kind::kStart);
    target_.OnStart();
    state_ = State::kReceive;
    bits_ = 0;
    first_ = true;
    acking_ = ack_clock_ = to_send_ = false;
    hold_pending_ = true;
  } else {
    Check(time_ns - scl_since_ns_, timing_.stop_setup_ns, "STOP setup shorter than tSU;STO");
    stop_ns_ = time_ns;
    Note(Event::Kind::kStop);
    target_.OnStop();
    state_ = State::kIdle;
    acking_ = ack_clock_ = false;
  }
}

void I2cDecoder::Rise(bool sda, int64_t t) {
  if (state_ == State::kIdle) return;
  Check(t - scl_since_ns_, timing_.low_ns, "SCL low shorter than tLOW");
  if (state_ == State::kReceive) {
    if (bits_ == 8) {
      ack_clock_ = true;
      return;
    }
    shift_ = static_cast<uint8_t>((shift_ << 1) | (sda ? 1 : 0));
    if (++bits_ == 8) {
      acked_ = target_.OnWrite(shift_, first_);
      Note(Event::Kind::kWrite, shift_, acked_);
      to_send_ = acked_ && first_ && (shift_ & 1) != 0;
    }
    return;
  }
  if (bits_ >= 8) {  // the controller's acknowledge
    controller_ack_ = !sda;
    ack_clock_ = true;
  }
}

void I2cDecoder::Fall(int64_t t) {
  if (state_ == State::kIdle) return;
  Check(t - scl_since_ns_, timing_.high_ns, "SCL high shorter than tHIGH");
  if (hold_pending_) {
    hold_pending_ = false;
    Check(t - start_ns_, timing_.start_hold_ns, "START hold shorter than tHD;STA");
  }
  if (state_ == State::kReceive) {
    if (bits_ == 8 && !ack_clock_) {
      acking_ = acked_;  // the acknowledge goes on the line for the ninth clock
    } else if (ack_clock_) {
      acking_ = ack_clock_ = false;
      if (!acked_) {
        state_ = State::kIdle;  // not for us: wait for the next START
      } else if (to_send_) {
        state_ = State::kSend;
        shift_ = target_.OnRead();
        bits_ = 0;
      } else {
        bits_ = 0;
        first_ = false;
      }
    }
    return;
  }
  if (ack_clock_) {
    ack_clock_ = false;
    Note(Event::Kind::kRead, shift_, controller_ack_);
    if (controller_ack_) {
      shift_ = target_.OnRead();
      bits_ = 0;
    } else {
      state_ = State::kIdle;  // a NACK ends the read: the target lets go
    }
  } else if (bits_ < 8) {
    ++bits_;
  }
}

bool I2cDecoder::PullsLow(int64_t time_ns) const {
  if (acking_) {
    return ack_delay_ns_ == 0 || (ack_clock_ && scl_ && time_ns - scl_since_ns_ >= ack_delay_ns_);
  }
  return state_ == State::kSend && bits_ < 8 && ((shift_ >> (7 - bits_)) & 1) == 0;
}

}  // namespace sim
