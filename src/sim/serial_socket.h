#pragma once

// The board's serial socket: how a serial chip's pins meet the port, and the
// base of every serial chip model.
//
// A serial chip sees three or four lines made from register bits: a clock,
// a data input, a chip select and, on some wirings, a write-protect or
// programming-voltage pin. Which bit drives which line, and whether the
// line's level is the bit or its inverse, is one row of data per wiring
// (SerialWiring); the models never look at the raw registers. Power is
// control bit 2 everywhere.
//
// Control bit 3 is one physical line whose level is NOT the bit: that one
// rule gives every wiring's sense (I2C WP high while the bit is 0, the
// Microwire CS selected while it is 0, the SPI CS# selected while it is 1).
//
// The chip's output reaches status bit 7: the board reads NOT the node,
// where the node is the chip's output while it drives (on the I2C's
// open-drain SDA the chip and data bit 0 form a wired AND), and otherwise
// data bit 0 through the board's loop-back.

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sim/chip.h"

namespace sim {

// Where a socket line comes from.
struct LineSource {
  enum class Reg : uint8_t { kNone, kData, kCtrl };
  Reg reg = Reg::kNone;
  uint8_t bit = 0;
  bool inverted = false;  // the line's level is NOT the register bit
  bool Level(const Pins& pins) const;
};

// One way of wiring a serial chip to the port.
struct SerialWiring {
  std::string_view name;
  LineSource clock;   // SCL, SK, SCK
  LineSource data;    // SDA as the port leaves it, DI, SI
  LineSource select;  // CS, CS#, CE; Reg::kNone: the chip has no select pin
  bool select_active_high = true;
  LineSource aux;           // WP on the I2C socket; a programming voltage elsewhere
  bool open_drain = false;  // the chip's output shares the data line (wired AND)
};

// The wirings of the serial memories.
extern const SerialWiring kI2cWiring;            // families 39, 1, 2
extern const SerialWiring kMicrowireWiring;      // family 8 in the socket
extern const SerialWiring kMicrowireIcspWiring;  // family 8 on the ICSP connector
extern const SerialWiring kCat64Wiring;          // family 32
extern const SerialWiring kNvramWiring;          // family 52
extern const SerialWiring kSpiWiring;            // families 6 and 57
extern const SerialWiring kPicIcspWiring;        // the PIC microcontrollers (ICSP)

// The socket's lines as a serial chip sees them.
struct SerialLines {
  bool power = false;
  bool clock = false;
  bool data = false;      // the port's side of the data line
  bool selected = false;  // always true for a chip without a select pin
  bool aux = false;
  int64_t time_ns = 0;
};

// A serial chip in the socket. The socket decodes the lines from the
// wiring and calls the model on every change while the chip is powered;
// power edges reach it as PowerOn/PowerOff, which is where a model drops
// its volatile state.
//
// Faults every serial chip takes:
//   "absent"  the socket is empty: nothing is decoded, nothing is driven
//   "stuck"   address, arg1 = bit, arg2 = level the bit always reads
class SerialChip : public Chip {
 public:
  explicit SerialChip(const SerialWiring& wiring);

  void Update(const Pins& pins) final;
  std::optional<uint8_t> DataOut(const Pins&) final { return std::nullopt; }
  std::optional<bool> SerialOut(const Pins& pins) final;
  bool UsesAddressBus() const final { return false; }
  PinMap SocketPinMap() const override { return SerialPinMap(wiring_); }
  bool InjectFault(const ChipFault& fault) final;

  const SerialWiring& wiring() const { return wiring_; }
  // The lines as the chip saw them at the last register write.
  const SerialLines& lines() const { return lines_; }

 protected:
  // The lines changed; `was` is how they were before this write.
  virtual void OnLines(const SerialLines& now, const SerialLines& was) = 0;
  // The level the chip drives on its output at `time_ns`, or nothing when
  // its output is off (released, high impedance).
  virtual std::optional<bool> Output(int64_t time_ns) const = 0;
  virtual void OnPowerOn(int64_t time_ns) = 0;
  virtual void OnPowerOff(int64_t time_ns) = 0;
  virtual bool InjectModelFault(const ChipFault&) { return false; }

  // The stored byte with any stuck bit applied.
  uint8_t Stuck(uint32_t address, uint8_t value) const;
  // Logs `text` at the current line time.
  void Log(std::string_view text, uint32_t address = ViolationLog::kNoAddress) {
    Violation(text, lines_.time_ns, address);
  }

 private:
  struct StuckBits {
    uint8_t ones = 0, zeros = 0;
  };
  SerialLines Decode(const Pins& pins) const;
  // A line as a bit of (control << 8 | data), and the level when that bit is 0.
  struct Tap {
    uint16_t mask = 0;
    bool when_clear = false;
    bool Level(uint16_t regs) const { return ((regs & mask) != 0) != when_clear; }
  };
  static Tap TapOf(const LineSource& line);

  const SerialWiring& wiring_;
  Tap clock_, data_, select_, aux_;
  SerialLines lines_;
  bool absent_ = false;
  std::unordered_map<uint32_t, StuckBits> stuck_;
};

}  // namespace sim
