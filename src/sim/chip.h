#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/pin_map.h"
#include "sim/violations.h"

namespace sim {

// The socket lines as the board presents them to a chip.
struct Pins {
  uint32_t address = 0;  // A23..A0, the three address shift registers
  uint8_t data = 0;      // the port's data register (the data bus while `drive()`)
  uint8_t ctrl = 0;      // the port's control register
  int64_t time_ns = 0;   // virtual time

  // When the lines last changed (virtual ns), for the models' setup and hold
  // checks: the address registers' outputs, the data register, socket power
  // coming on.
  int64_t address_since_ns = 0;
  int64_t data_since_ns = 0;
  int64_t power_since_ns = 0;

  // The 16-bit adapter's upper data latch: D15..D8 while the port drives
  // the bus (chips in other sockets never look at it).
  uint8_t data_high = 0xFF;

  bool strobe() const { return (ctrl & 0x01) != 0; }   // word latch strobe, active low
  bool drive() const { return (ctrl & 0x02) != 0; }    // the port drives the data bus
  bool power() const { return (ctrl & 0x04) != 0; }    // socket power
  bool program() const { return (ctrl & 0x08) != 0; }  // program / Vpp line
  bool clock() const { return (data & 0x01) != 0; }    // data bit 0
  bool serial() const { return (data & 0x02) != 0; }   // data bit 1
};

// Who drives the socket's data bus.
enum class BusDriver : uint8_t { kNone, kPort, kChip, kBoth };

// The socket's pin-level signals as the board decodes them, for the
// waveform trace. Active-low pins carry their electrical level (true = high).
struct SocketSignals {
  uint32_t address = 0;
  uint8_t bus = 0xFF;
  BusDriver driver = BusDriver::kNone;
  bool oe_n = true;
  bool ce_n = true;
  bool pgm_n = true;
  bool vpp = false;
  bool vcc = false;
  bool read_load = false;  // this access loaded the read path from the bus
};

// How a part reaches the board's lines.
enum class SocketAdapter : uint8_t {
  kDirect,  // the parallel socket's own pins
  // The 16-bit adapter: an upper data latch loaded while control bit 0 is
  // low (it holds on the rise) drives D15..D8 while control bit 1 is 1, and
  // a read multiplexer hands D15..D8 to the read path when it loads while
  // control bit 0 is low. Control bit 0 carries no high voltage here.
  kWord16,
  // The firmware-hub adapter: it powers the part itself; the part's row
  // address (board A10..A0) is latched as control bit 2 (R/C#) falls, the
  // column as it rises, and the part decodes column << 11 | row.
  kFirmwareHub,
};

// A fault to inject into a chip model, by name (the table of kinds and
// their arguments is sim/fault_kinds.h):
//   "weak"  address, arg1 = pulses the cell needs before it programs
//   "stuck" address, arg1 = bit, arg2 = level (0 or 1) the bit always reads
// Models accept the kinds that make sense for them.
struct ChipFault {
  std::string kind;
  uint32_t address = 0;
  int arg1 = 0;
  int arg2 = 0;
};

// A named piece of a model's non-volatile state beyond its cells
// (protection, lock or status bits), saved in the simulated chip file.
struct StateSection {
  std::string name;
  std::vector<uint8_t> bytes;
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
  // outputs are off. Asked whether or not the port drives the bus too: the
  // board reports the contention. Must not change the model's state.
  virtual std::optional<uint8_t> DataOut(const Pins& pins) = 0;

  // The byte the board samples when its read path loads from the bus: a
  // real read access. Models with read-counting faults or access times
  // answer here; DataOut stays free of side effects.
  virtual std::optional<uint8_t> ReadOut(const Pins& pins) { return DataOut(pins); }

  // Level of the chip's serial output on the status-7 line, or nothing when
  // the chip leaves that line alone (the board's loop-back then owns it).
  virtual std::optional<bool> SerialOut(const Pins&) { return std::nullopt; }

  // The adapter the part sits in; the board presents the lines through it.
  virtual SocketAdapter Adapter() const { return SocketAdapter::kDirect; }

  // A 16-bit part's D15..D8 as the read multiplexer samples it, or nothing
  // while its outputs are off. A real read like ReadOut.
  virtual std::optional<uint8_t> HighOut(const Pins&) { return std::nullopt; }

  // Whether the chip sits in the parallel socket and uses the address shift
  // registers. Serial chips clock data bit 0 freely and opt out of the
  // board's shift-alignment check; the parallel socket's pins (data bus,
  // address lines, program line) are not theirs, so the board does not
  // check those for them either.
  virtual bool UsesAddressBus() const { return true; }

  // Whether Vpp may sit on the part's pin while Vcc is off. A PIC's MCLR/VPP
  // is rated against ground, not against VDD, and its datasheets
  // raise it before VDD on purpose; the model then judges the
  // supply order itself.
  virtual bool VppSafeWithoutVcc() const { return false; }

  // The part's datasheet power-up time: no access before this long after
  // Vcc comes on.
  virtual int64_t PowerUpNs() const { return 0; }

  // Refines the board's decode of the socket pins for this part (which pin
  // the program line reaches), for the waveform trace.
  virtual void SocketLevels(const Pins&, SocketSignals&) const {}

  // Which package pin each board line reaches (empty: not known, e.g. a
  // part on an adapter). The board test announces and checks these pins.
  virtual PinMap SocketPinMap() const { return {}; }

  // Returns false when the model has no such fault.
  virtual bool InjectFault(const ChipFault&) { return false; }

  // Wires a user fits by hand (a harness input, `--sim-jumper`). Models
  // read them by name.
  void SetJumper(std::string_view name, bool fitted = true) {
    if (fitted) {
      jumpers_.emplace(name);
    } else if (const auto it = jumpers_.find(name); it != jumpers_.end()) {
      jumpers_.erase(it);
    }
  }
  bool Jumper(std::string_view name) const { return jumpers_.find(name) != jumpers_.end(); }

  // Protocol the model saw that would harm or confuse a real chip, one
  // entry per kind.
  std::vector<std::string> violations() const { return log_.Texts(); }
  const ViolationLog& violation_log() const { return log_; }
  void ClearViolations() { log_.Clear(); }

  // The model's name in the simulated chip file.
  virtual std::string_view ModelName() const { return "chip"; }

  // Contents as a flat byte array (the cells), for saving and loading a
  // simulated chip between runs.
  virtual std::vector<uint8_t> Contents() const = 0;
  virtual void SetContents(const std::vector<uint8_t>& bytes) = 0;
  // Non-volatile state beyond the cells. SetState returns false for a
  // section the model does not know.
  virtual std::vector<StateSection> State() const { return {}; }
  virtual bool SetState(const StateSection&) { return false; }

 protected:
  void Violation(std::string_view text, int64_t time_ns = 0,
                 uint32_t address = ViolationLog::kNoAddress) {
    log_.Add(text, time_ns, address);
  }

 private:
  ViolationLog log_;
  std::set<std::string, std::less<>> jumpers_;
};

}  // namespace sim
