#pragma once

// The target side of an I2C bus, kept apart from what the target stores:
// the decoder turns SCL and SDA edges into START, STOP, bytes and
// acknowledges, drives SDA for the target's acknowledges and data bits,
// and checks the bus timing the part's datasheet gives.

#include <cstdint>
#include <string_view>
#include <vector>

namespace sim {

// What the target answers, byte by byte.
class I2cTarget {
 public:
  virtual ~I2cTarget() = default;
  virtual void OnStart() = 0;
  virtual void OnStop() = 0;
  // A byte from the controller; `first` is the byte right after a START.
  // True acknowledges it. A first byte with bit 0 set that is acknowledged
  // turns the target into the sender.
  virtual bool OnWrite(uint8_t byte, bool first) = 0;
  // The next byte to send.
  virtual uint8_t OnRead() = 0;
  // A bus timing limit was broken.
  virtual void OnTiming(std::string_view violation) = 0;
};

// The datasheet's bus timing, in ns (0: not checked).
struct I2cTiming {
  int64_t high_ns = 0;         // tHIGH, SCL high
  int64_t low_ns = 0;          // tLOW, SCL low
  int64_t start_setup_ns = 0;  // tSU;STA, SCL high before a (repeated) START
  int64_t start_hold_ns = 0;   // tHD;STA, START before SCL falls
  int64_t stop_setup_ns = 0;   // tSU;STO, SCL high before STOP
  int64_t bus_free_ns = 0;     // tBUF, STOP to the next START
};

class I2cDecoder {
 public:
  struct Event {
    enum class Kind { kStart, kStop, kWrite, kRead };
    Kind kind;
    uint8_t byte = 0;
    bool ack = false;  // kWrite: the target acknowledged; kRead: the controller did
  };

  I2cDecoder(I2cTarget& target, const I2cTiming& timing) : target_(target), timing_(timing) {}

  // The lines after a register write: SCL and the controller's side of SDA.
  // One write that moves both is a clock edge, never a START or STOP.
  void Lines(bool scl, bool sda, int64_t time_ns);
  // Whether the target pulls SDA low at `time_ns`.
  bool PullsLow(int64_t time_ns) const;
  // Power on with the lines as they are (no edge), or off: idle, nothing
  // driven.
  void PowerOn(bool scl, bool sda, int64_t time_ns);
  void Reset();
  // A slow part: its acknowledge shows only once SCL has been high this long
  // in the ninth clock.
  void SetAckDelay(int64_t ns) { ack_delay_ns_ = ns; }

  void RecordEvents(bool on) { record_ = on; }
  const std::vector<Event>& events() const { return events_; }

 private:
  enum class State { kIdle, kReceive, kSend };
  void Rise(bool sda, int64_t t);
  void Fall(int64_t t);
  void Note(Event::Kind kind, uint8_t byte = 0, bool ack = false);
  void Check(int64_t elapsed, int64_t limit, std::string_view text);

  I2cTarget& target_;
  I2cTiming timing_;
  int64_t ack_delay_ns_ = 0;

  bool scl_ = true, sda_ = true;
  int64_t scl_since_ns_ = 0;
  int64_t start_ns_ = -1, stop_ns_ = -1;

  State state_ = State::kIdle;
  int bits_ = 0;  // receive: bits taken; send: falling edges since the byte was loaded
  uint8_t shift_ = 0;
  bool first_ = false;
  bool acked_ = false;
  bool hold_pending_ = false;  // the first SCL fall after a START
  bool acking_ = false;        // the target holds SDA low for its acknowledge
  bool ack_clock_ = false;     // the ninth clock is running
  bool to_send_ = false;       // the acknowledged byte was a read select
  bool controller_ack_ = false;

  bool record_ = false;
  std::vector<Event> events_;
};

}  // namespace sim
