#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// The socket lines as the board presents them to a chip.
struct Pins {
  uint32_t address = 0;  // A23..A0, the three address shift registers
  uint8_t data = 0;      // the port's data register (the data bus while `drive()`)
  uint8_t ctrl = 0;      // the port's control register
  int64_t time_ns = 0;   // virtual time

  bool strobe() const { return (ctrl & 0x01) != 0; }   // word latch strobe, active low
  bool drive() const { return (ctrl & 0x02) != 0; }    // the port drives the data bus
  bool power() const { return (ctrl & 0x04) != 0; }    // socket power
  bool program() const { return (ctrl & 0x08) != 0; }  // program / Vpp line
  bool clock() const { return (data & 0x01) != 0; }    // data bit 0
  bool serial() const { return (data & 0x02) != 0; }   // data bit 1
};

// A fault to inject into a chip model, by name:
//   "weak"  address, arg1 = pulses the cell needs before it programs
//   "stuck" address, arg1 = bit, arg2 = level (0 or 1) the bit always reads
// Models accept the kinds that make sense for them.
struct ChipFault {
  std::string kind;
  uint32_t address = 0;
  int arg1 = 0;
  int arg2 = 0;
};

// A chip model in the simulated socket. Models are small state machines with
// the datasheet's behaviour; they never know which routine drives them.
class Chip {
 public:
  virtual ~Chip() = default;

  // Called after every write to the data or control register, with the
  // lines as they are now. Models act on the edges they care about.
  virtual void Update(const Pins& pins) = 0;

  // The byte the chip drives onto the data bus now, or nothing when its
  // outputs are off (the bus then floats high).
  virtual std::optional<uint8_t> DataOut(const Pins& pins) = 0;

  // Level of the chip's serial output on the status-7 line, or nothing when
  // the chip leaves that line alone (the board's loop-back then owns it).
  virtual std::optional<bool> SerialOut(const Pins&) { return std::nullopt; }

  // Whether the chip uses the address shift registers; serial chips clock
  // data bit 0 freely and opt out of the board's shift-alignment check.
  virtual bool UsesAddressBus() const { return true; }

  // Returns false when the model has no such fault.
  virtual bool InjectFault(const ChipFault&) { return false; }

  // Protocol the model saw that would harm or confuse a real chip.
  const std::vector<std::string>& violations() const { return violations_; }
  void ClearViolations() { violations_.clear(); }

  // Contents as a flat byte array (cells, then any extra areas), for saving
  // and loading a simulated chip between runs.
  virtual std::vector<uint8_t> Contents() const = 0;
  virtual void SetContents(const std::vector<uint8_t>& bytes) = 0;

 protected:
  void Violation(std::string text) {
    if (violations_.size() < kMaxViolations) violations_.push_back(std::move(text));
  }

 private:
  static constexpr size_t kMaxViolations = 1000;
  std::vector<std::string> violations_;
};

}  // namespace sim
