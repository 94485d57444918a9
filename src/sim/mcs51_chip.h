#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sim/chip.h"

namespace sim {

// An MCS-51 microcontroller in parallel (high-voltage) programming mode, on
// the 40-pin MCS-51 adapter or in the 20-pin AT89Cx051 position. One engine
// serves every part; the part's row (mcs51_parts.cpp) gives its size, its
// cells, its datasheet timing, its mode table and its signature.
//
// 40-pin adapter. Latch bits 0..13 are A0..A13, 14 is A14, 15 P2.6, 16 P2.7,
// 17 P3.6, 18 P3.7, 20 routes the board's Vpp switch to EA/VPP: control bit
// 0 = 0 with bit 20 set puts 12 V on the pin. Control bit 3 = 1 pulls
// ALE/PROG low (the program pulse). P0 is the data bus, straight through.
// The AT89S8253 also reads bits 14 and 19 as mode pins (bit 19: code 1,
// data EEPROM 0).
//
// 20-pin position (AT89C1051/2051/4051). No address pins: an internal
// counter, reset by a control-3 pulse while latch bit 17 is set (RST) and
// advanced by a control-3 pulse that bits 15 and 16 route to XTAL1; every
// other control-3 pulse is PROG (P3.2). Bit 6 is P3.3, 7 P3.7, 8 P3.4, 9
// P3.5, 18 routes the Vpp switch to RST/VPP. P1 reaches the port through the
// adapter's wiring: chip bit 0 on port bit 7, 1 on 6, 2 on 0, 3 on 5, 4 on
// 1, 5 on 4, 6 on 2, 7 on 3; the "new adapter" board mirrors the bits.
//
// The 40-pin adapter keeps the part in programming mode while the socket is
// powered; the 20-pin part enters it with the RST pulse and answers nothing
// before. P0 is open-drain in verify: a byte of ones is left to the
// pull-ups, so only a part pulling lines low can fight the port.
//
// The mode is taken from the latch as it stands at the edge of the strobe
// (the last address shifted in), never from the values the shift registers
// ripple through on the way.
//
// Cells. Flash cells can only clear bits (a write ANDs) and a chip erase
// sets them back to 0xFF; the part is busy for its write time after a write
// (the datasheets' "typically" figure), and a read then shows the written
// byte with bit 7 inverted (data polling). EPROM cells (87C5x) collect
// program pulses: a cell takes its byte after the pulses it needs (one for
// an ordinary cell), each at least the minimum width. The AT89S8253 loads a
// page buffer with short pulses and writes it when control bit 0 comes back
// to 1, which is how its routine ends a page (a modelling choice: the part
// times its page write from the end of the load sequence, which this
// adapter marks only with that line); its data EEPROM is overwritten, not
// ANDed.
//
// Lock bits: LB1 stops writes, LB2 makes code reads return 0x00 whatever
// the cell holds (so a locked chip neither verifies nor reads as blank),
// LB3 changes nothing the programmer sees. A chip erase clears them.
//
// Violations (once per kind):
//   "12 V on EA/VPP with the socket unpowered"
//   "program pulse outside a write mode"       (PROG low with 12 V, no write mode)
//   "write without 12 V on EA/VPP"
//   "program pulse during the write cycle"     (ignored by the part)
//   "program pulse shorter than tGLGH min", "program pulse longer than tGLGH max"
//   "chip erase pulse shorter than the datasheet's minimum"
//   "12 V setup before PROG shorter than tSHGL", "12 V removed sooner than tGHSL after PROG"
//   "data setup before PROG shorter than tDVGL"
//   "byte read sooner than tWC after its write"
//   "program pulse before programming mode was entered"
//
// Faults (InjectFault): "weak" address, arg1 = writes (flash) or pulses
// (EPROM) the cell needs; "never" address: the cell never programs;
// "lockbits" arg1 = 1..3: lock bits 1..n programmed; "adapter-swap": the
// 20-pin wiring is the other board's; "rom": a mask-ROM part that reads
// but never programs or erases.

enum class Mcs51Socket : uint8_t { k40Pin, k20Pin };
enum class Mcs51Cells : uint8_t { kFlash, kEprom };

// What the part drives on its data pins in a mode while PROG is high.
enum class Mcs51Output : uint8_t { kNone, kCode, kData, kSignature, kLocks };
// What a PROG pulse does in a mode.
enum class Mcs51Strobe : uint8_t {
  kNone,
  kWriteCode,
  kLoadCodePage,  // AT89S8253
  kLoadDataPage,  // AT89S8253
  kErase,
  kLock1,
  kLock2,
  kLock3,
  kLockBits,  // the lock bits from the data byte (LockLayout)
  kOption,    // the option / fuse byte
};

// One row of a part's mode table: the mode pins' levels as latch bits.
struct Mcs51Mode {
  uint32_t pins;
  Mcs51Output output;
  Mcs51Strobe strobe;
  bool needs_vpp;
};

// Where the lock bits sit in a lock read, and in the data byte of a
// kLockBits write.
enum class LockLayout : uint8_t {
  kNone,
  kD234,     // read: LB1..LB3 on D2, D3, D4, programmed = 1 (AT89S51/52, AT89C55WD/51RC)
  kD210,     // read: LB1..LB3 on D2, D1, D0, programmed = 1; write: D7..D5 low (AT89S8252/53)
  kByteLow,  // read and write: LB1..LB3 on D0..D2, programmed = 0 (AT89S8253)
};

// Datasheet timing in ns; 0 where the datasheet gives nothing to check.
struct Mcs51Timing {
  int64_t pulse_min_ns;    // tGLGH min: PROG width of a write
  int64_t pulse_max_ns;    // tGLGH max
  int64_t vpp_setup_ns;    // tSHGL
  int64_t vpp_hold_ns;     // tGHSL
  int64_t data_setup_ns;   // tDVGL
  int64_t write_typ_ns;    // the part is busy this long after a write
  int64_t write_max_ns;    // tWC: no read of the byte before this
  int64_t erase_pulse_ns;  // chip erase: PROG low at least this long
  int64_t power_up_ns;
};

struct Mcs51SignatureByte {
  uint16_t address;  // 40-pin: A0..A13; 20-pin: the counter
  uint8_t value;
};

struct Mcs51Part {
  std::string_view name;
  uint32_t code_size;
  uint32_t data_size;  // data EEPROM (AT89S8253), after the code in Contents()
  Mcs51Socket socket;
  Mcs51Cells cells;
  const Mcs51Timing* timing;
  uint32_t mode_mask;  // latch bits that are mode pins
  std::span<const Mcs51Mode> modes;
  std::span<const Mcs51SignatureByte> signature;
  LockLayout lock_layout;
  int lock_bits;    // 3, or 2 on the 20-pin parts
  bool has_option;  // AT89S8252/53 SPI byte, AT89S8253 fuses
};

std::span<const Mcs51Part> Mcs51Parts();
const Mcs51Part* FindMcs51Part(std::string_view name);

class Mcs51Chip final : public Chip {
 public:
  // `new_adapter`: the 20-pin board the socket sits on mirrors the bits.
  explicit Mcs51Chip(const Mcs51Part& part, bool new_adapter = false);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return part_.timing->power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "mcs51"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override;
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  const Mcs51Part& part() const { return part_; }
  uint8_t locks() const { return locks_; }  // bit n: lock bit n+1 programmed
  uint8_t option() const { return option_; }
  uint32_t counter() const { return counter_; }

  // What the part has seen: every strobe it took (PROG pulses, and on the
  // 20-pin position the RST and XTAL1 pulses), kept while recording.
  enum class StrobeKind : uint8_t { kProg, kReset, kIncrement };
  struct Event {
    int64_t start_ns;
    int64_t width_ns;
    StrobeKind kind;
    uint32_t latch;
    uint8_t data;      // as the chip saw it
    uint32_t counter;  // 20-pin: the address counter at the strobe
    bool vpp;
  };
  void RecordEvents(bool on) { record_ = on; }
  const std::vector<Event>& events() const { return events_; }
  void ClearEvents() { events_.clear(); }
  uint64_t writes() const { return writes_; }  // cell writes that took

 private:
  const Mcs51Mode* ModeAt(uint32_t latch) const;
  bool VppLine(const Pins& pins) const;
  uint8_t Wire(uint8_t chip_byte) const;
  uint8_t Unwire(uint8_t port_byte) const;
  int64_t CodeIndex(uint32_t latch) const;  // -1: no cell there
  int64_t DataIndex(uint32_t latch) const;
  uint8_t Output(Mcs51Output output, uint32_t latch) const;
  void StartStrobe(const Pins& pins);
  void EndStrobe(const Pins& pins);
  void ApplyStrobe(const Pins& pins, const Mcs51Mode& mode, int64_t width);
  void WriteCell(int64_t index, uint8_t data, bool overwrite);
  void Commit(int64_t now_ns);
  void Erase();
  void Log(const Pins& pins, std::string_view text) { Violation(text, pins.time_ns, pins.address); }

  const Mcs51Part& part_;
  bool new_adapter_;
  std::vector<uint8_t> cells_;
  uint8_t locks_ = 0;
  uint8_t option_ = 0xFF;
  uint32_t counter_ = 0;

  bool rom_ = false;
  std::unordered_map<uint32_t, int> needs_;     // index -> writes or pulses the cell needs
  std::unordered_map<uint32_t, int> taken_;     // index -> writes or pulses it has had
  std::unordered_map<uint32_t, uint8_t> page_;  // AT89S8253 page buffer: index -> byte

  // Lines as the last update left them.
  bool seen_ = false;
  bool power_ = false;
  bool vpp_ = false;
  bool strobe_line_ = false;  // control bit 0
  bool prog_ = false;         // control bit 3 = 1 with power
  bool drive_ = false;        // control bit 1
  bool programming_ = false;  // in programming mode (40-pin: powered; 20-pin: after RST)
  uint8_t data_ = 0;          // the data register
  int64_t vpp_since_ns_ = 0;
  int64_t drive_since_ns_ = 0;

  // The strobe in progress.
  int64_t strobe_start_ns_ = 0;
  uint32_t strobe_latch_ = 0;
  uint8_t strobe_data_ = 0xFF;
  bool strobe_vpp_ = false;
  bool strobe_data_settled_ = true;
  StrobeKind strobe_kind_ = StrobeKind::kProg;
  int64_t last_prog_end_ns_ = -1;  // end of the last PROG pulse with 12 V

  int64_t busy_until_ns_ = 0;  // write cycle
  int64_t written_at_ns_ = -1;
  uint8_t last_written_ = 0xFF;

  bool record_ = false;
  std::vector<Event> events_;
  uint64_t writes_ = 0;
};

}  // namespace sim
