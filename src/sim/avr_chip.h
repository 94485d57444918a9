#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sim/chip.h"

namespace sim {

// An AT90S AVR microcontroller in high-voltage parallel programming mode, on
// the AVR adapter (DIP20, DIP28, DIP40). One engine serves every part; the
// part's row (avr_parts.cpp) gives its sizes, fuses, signature and timing.
//
// Lines. Latch bit 9 is XA1, bit 7 XA0, bit 8 BS1. A control-3 pulse goes
// to XTAL1 when latch bits 15 and 16 are both set, to /WR when bits 17 and
// 18 are both set, and with bit 18 alone control bit 3 = 1 pulls /OE low.
// Control bit 0 = 0 puts 12 V on RESET; its falling edge with the socket
// powered and the latch at 0 (XA1, XA0, BS1 low) enters programming mode,
// which 12 V going away or power-off leaves. The data bus reaches the chip
// through the adapter: chip bit 0 on port bit 7, 1 on 6, 2 on 0, 3 on 5, 4
// on 1, 5 on 4, 6 on 2, 7 on 3; the "new adapter" board mirrors the bits.
// What a strobe does is taken from the latch at its edge.
//
// XTAL1 with XA1 XA0 = 10 loads the command, 00 an address byte (BS1 = 1:
// the high byte), 01 the data byte. The address high byte stays where it
// was loaded until it is loaded again, across commands. /WR executes the
// command: 0x10 writes the data byte into the low (BS1 = 0) or high byte of
// the flash word, ANDing; 0x11 writes an EEPROM byte (erased first by the
// part); 0x40 the fuse bits; 0x20 the lock bits (bit 1 LB1, bit 2 LB2, 0 =
// programmed); 0x80 erases flash, EEPROM and lock bits, not the fuses. /OE
// with 0x02 reads a flash byte, 0x03 an EEPROM byte, 0x08 the signature byte
// at the address's low bits, 0x04 the fuse and lock bits in the part's
// layout. Writes of flash, EEPROM and lock bits keep the part busy for its
// tWLRH; the fuse write and the chip erase need the long /WR pulse of their
// own instead. LB1 stops flash and EEPROM writes; LB2 as well makes flash
// and EEPROM reads return kLockedRead.
//
// Violations (once per kind):
//   "/WR pulse outside programming mode"
//   "XTAL1 pulse outside programming mode"
//   "command sooner than 100 us after 12 V on RESET"
//   "XTAL1 pulse shorter than tXHXL", "/WR pulse shorter than tWLWH"
//   "data setup before XTAL1 shorter than tDVXH"
//   "command while RDY/BSY is low"                    (the part ignores it)
//   "chip erase /WR pulse shorter than tWLWH_CE", "... longer than tWLWH_CE"
//   "fuse /WR pulse shorter than tWLWH_PFB", "... longer than tWLWH_PFB"
//   "/WR with no command the part knows"
//
// Faults: "lockbits" arg1 = lock mode 2 or 3 preset; "not-erased" the flash
// holds 0x00 where it should be erased; "slow-eeprom" an EEPROM write takes
// kSlowEepromNs; "adapter-swap" the fitted adapter is the other wiring;
// "absent" the socket is empty.

// Where the fuse and lock read (command 0x04) puts the bits.
enum class AvrFuseLayout : uint8_t {
  // BS1 = 1: bit 7 LB1, bit 6 LB2, bit 5 SPIEN, bit 0 FSTRT or RCEN.
  kCombined,
  // BS1 = 0: the fuses in bits 5..0; BS1 = 1: bit 1 LB1, bit 2 LB2.
  kSplit,
};

// Datasheet timing of the parallel programming mode, in ns.
struct AvrTiming {
  int64_t xtal_pulse_ns;                           // tXHXL min
  int64_t data_setup_ns;                           // tDVXH min: data and control valid before XTAL1
  int64_t wr_pulse_ns;                             // tWLWH min
  int64_t erase_pulse_min_ns, erase_pulse_max_ns;  // tWLWH_CE
  int64_t fuse_pulse_min_ns, fuse_pulse_max_ns;    // tWLWH_PFB
  int64_t write_ns;  // tWLRH max: busy after a flash, EEPROM or lock write
  int64_t enter_ns;  // 12 V on RESET to the first command
  int64_t power_up_ns;
};

struct AvrPart {
  std::string_view name;
  uint32_t flash_size;   // bytes
  uint32_t eeprom_size;  // bytes
  uint8_t fuse_mask;     // the fuse bits the part has
  std::array<uint8_t, 3> signature;
  AvrFuseLayout layout;
  const AvrTiming* timing;
};

std::span<const AvrPart> AvrParts();
const AvrPart* FindAvrPart(std::string_view name);

class AvrChip final : public Chip {
 public:
  // A flash or EEPROM read of a chip in lock mode 3.
  static constexpr uint8_t kLockedRead = 0x00;
  static constexpr int64_t kSlowEepromNs = 3'000'000;

  explicit AvrChip(const AvrPart& part, bool new_adapter = false);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  std::optional<uint8_t> ReadOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return part_.timing->power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "avr"; }
  // The flash, then the EEPROM.
  std::vector<uint8_t> Contents() const override;
  void SetContents(const std::vector<uint8_t>& bytes) override;
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  const AvrPart& part() const { return part_; }
  const std::vector<uint8_t>& flash() const { return flash_; }
  const std::vector<uint8_t>& eeprom() const { return eeprom_; }
  uint8_t fuses() const { return fuse_; }   // 0 = programmed, the part's bits only
  uint8_t locks() const { return locks_; }  // bit 1 LB1, bit 2 LB2, 0 = programmed
  bool programming() const { return programming_; }

  // What the part has seen, kept while recording.
  enum class Kind : uint8_t { kLoad, kWrite, kRead };
  struct Event {
    Kind kind;
    uint32_t latch;  // the whole address latch at the strobe
    bool xa1, xa0, bs1;
    uint8_t byte;  // loads: the byte as the chip saw it; reads: what it drove
    uint8_t command;
    int64_t start_ns, width_ns;
  };
  void RecordEvents(bool on) { record_ = on; }
  const std::vector<Event>& events() const { return events_; }
  void ClearEvents() { events_.clear(); }

 private:
  enum class Route : uint8_t { kNone, kXtal, kWrite, kRead };
  static Route RouteOf(uint32_t latch);
  uint8_t FromPort(uint8_t port) const;
  uint8_t ToPort(uint8_t chip) const;
  uint32_t Address() const { return address_high_ << 8 | address_low_; }
  uint8_t Output(bool bs1) const;
  uint8_t FuseLockRead(bool bs1) const;
  void Load(const Pins& pins);
  void Execute(const Pins& pins, int64_t width);
  void Record(Kind kind, uint32_t latch, uint8_t byte, int64_t width);
  void Log(const Pins& pins, std::string_view text) { Violation(text, pins.time_ns, pins.address); }

  const AvrPart& part_;
  bool new_adapter_;
  std::vector<uint8_t> flash_, eeprom_;
  uint8_t fuse_ = 0xFF;
  uint8_t locks_ = 0xFF;
  bool absent_ = false;
  bool slow_eeprom_ = false;

  // Lines as the last update left them.
  bool seen_ = false;
  bool power_ = false;
  bool high_voltage_ = false;
  bool strobe_ = false;  // control bit 3 with power
  bool drive_ = false;
  bool programming_ = false;
  int64_t entered_ns_ = 0;
  int64_t drive_since_ns_ = 0;

  // The strobe in progress.
  Route route_ = Route::kNone;
  uint32_t strobe_latch_ = 0;
  int64_t strobe_start_ns_ = 0;

  // The part's registers.
  uint8_t command_ = 0;
  uint8_t address_low_ = 0, address_high_ = 0;
  uint8_t data_ = 0xFF;
  int64_t busy_until_ns_ = 0;

  bool record_ = false;
  std::vector<Event> events_;
};

}  // namespace sim
