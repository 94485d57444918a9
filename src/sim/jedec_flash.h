#pragma once

// A JEDEC command-set flash part (29F, 39SF, 49F, 29LV, and the 8/16-bit
// parts driven in byte mode), configured by one row of its datasheet data
// (jedec_parts.h). Board lines: sim/flash_common.h.
//
// Commands are announced by 0xAA and 0x55 at the part's two unlock
// addresses, decoded on the part's own address bits (`unlock_mask`), so a
// command sent to another set of addresses is ignored:
//   AA 55 A0, data        byte program (embedded)
//   AA 55 90              autoselect: IDs, sector protection, lock-out status
//   AA 55 80 AA 55 10     chip erase;  ... 55 30 at a sector: sector erase
//   AA 55 80 AA 55 A0     single-pulse program mode (Atmel parts that have it)
//   AA 55 20              unlock bypass (parts that have it): A0, data per
//                         byte; 90 then the part's exit byte (00 or F0) leaves
//   F0 (or AA 55 F0)      reset to read array
//   98 at the CFI address CFI query (parts with a CFI table)
//
// The embedded program and erase run in virtual time. While busy the part
// answers every read with its status: DQ7 the complement of the data (0
// for an erase), DQ6 toggling on each OE# fall, DQ3 set during an erase,
// and DQ5 once the part's time limit has passed on an operation that
// cannot finish (a program that needs a 0 to become 1, a stuck bit): the
// part then stays in that state, ignoring every write but a reset, until
// F0 or Vcc off. Parts without DQ5 (SST, Atmel) simply end the operation
// after its time; what the cell then holds is what it reads. Writes while
// busy are ignored. A protected sector ignores a program (the part shows
// busy for a moment) and is skipped by chip erase; while 12 V sits on a
// #RESET/Vpp pin (control bit 0 = 0) protection is lifted (temporary
// unprotect). In single-pulse mode every write programs the byte at its
// address; Vcc off ends the mode. Page-program parts (MX29F1610) gather the
// bytes written to one page within the load window after the program
// command and program them together when the window closes; they show
// data polling for the last byte loaded.
//
// A command within the part's power-up time after Vcc on is ignored. Vcc
// off returns every command state to read array and abandons an operation.
//
// Byte-mode parts (x16 in byte mode): board address bit 0 is A-1, so IDs sit
// at bytes 0 and 2, the sector-protect status at sector + 4, CFI data at the
// even byte 2 x offset (odd bytes 0).
//
// Word-mode parts (x16 on the 16-bit adapter): the board address is the
// word index; a command is the low byte of a word (D15..D8 are don't-care),
// a program writes the whole word (cells low byte first), IDs are words at
// 0 and 1, the sector-protect status at word sector + 2, CFI data in the
// low byte of word `offset`. A part strapped in byte mode ("byte-strap")
// takes DQ15 as A-1 and leaves D14..D8 floating: commands in word form
// miss its unlock addresses.
//
// Firmware-hub parts sit behind the address-multiplexed adapter and decode
// their commands on A14..A0 of the address they latched.
//
// Violations (each kind once): "write while busy", "commit with OE# low",
// "12 V on a logic-level pin", and the write-cycle limits of WriteTiming.
//
// Faults (InjectFault):
//   "stuck"         address, arg1 = bit, arg2 = level
//   "protect"       the sector holding address is protected
//   "slow"          address, arg1 = factor on the program time of that byte
//                   and the erase time of its sector
//   "busy-forever"  an erase never completes
//   "nobypass"      the part has no unlock bypass
//   "refuse-protect" the sector holding address never takes protection
//   "byte-strap"    a word-mode part wired for byte mode
// Non-volatile state: section "protect", one byte per sector (1 protected).
//
// Changing protection (jedec_protect.cpp), on the parts that have a way:
//   MXIC command (MX29F0xx): AA 55 80 AA 55 20, then a write whose address
//     has A9 set; A6 = 0 protects the addressed sector, A6 = 1 unprotects
//     every sector. The part latches the address as WE# goes active and is
//     busy from then for the part's protect or unprotect time; afterwards
//     reads show the protect status as in autoselect.
//   In-system (the LV parts): with 12 V on #RESET, a first write of 60
//     opens the mode; 60 at a sector address with A6 = 0, A1 = 1, A0 = 0
//     protects that sector, with A6 = 1 unprotects every sector; the pulse
//     lasts until the next write (40: verify, reads show the status at the
//     address) and counts only if it lasted the datasheet's time. Removing
//     12 V or F0 leaves the mode.
//   High voltage (Am29F040, programming-equipment method): with the wire
//     a9-oe-12v fitted and 12 V on the Vpp line, a WE# pulse of at least
//     the protect time protects the sector its address selects; with CE#
//     at 12 V too (a9-oe-ce-12v, or a9-oe-12v with oe-ce-short) a pulse of
//     at least the unprotect time unprotects every sector. Shorter pulses
//     change nothing. While a wire holds A9 and OE# the part neither
//     drives the data bus nor takes a command; with OE# shorted to CE#
//     alone it reads but cannot be written (CE# is high whenever OE# is).
// Violations: "protect command sooner than 1 us after 12 V on #RESET",
// "sector unprotect with a sector not protected" (the datasheets require
// every sector protected first), "WE# sooner than 4 us after 12 V on A9
// and OE#".

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sim/flash_common.h"

namespace sim {

enum class BusWidth : uint8_t { kX8, kByteMode, kX16 };

// Where the identification codes sit in autoselect mode.
enum class IdBank : uint8_t {
  kPlain,          // manufacturer at 0, device at 1 (byte mode: bytes 0 and 2)
  kContinuation,   // 0x7F at 0 and 1, the codes at 0x100 and 0x101
  kByteModeBank2,  // byte mode: 0x7F at byte 0, the codes at bytes 0x200 and 0x202
};

// What the board's Vpp switch reaches on this part's socket.
enum class VppPinUse : uint8_t {
  kNotConnected,  // an unused pin
  kReset,         // #RESET/Vpp: 12 V lifts sector protection
  kLogic,         // an address or control pin that takes logic levels only
};

struct JedecTiming {
  WriteTiming write;
  int64_t program_ns = 7 * kUs;          // typical byte program time
  int64_t program_limit_ns = 300 * kUs;  // DQ5 after this on a byte that cannot program
  int64_t sector_erase_ns = 1 * kSec;
  int64_t chip_erase_ns = 8 * kSec;
  int64_t erase_limit_ns = 64 * kSec;   // DQ5 after this on an erase that cannot finish
  int64_t protected_busy_ns = 2 * kUs;  // busy shown by a program to a protected sector
  int64_t page_load_ns = 0;             // page-program parts: the load window per byte
};

// How a part's sector protection can be changed on the board.
enum class ProtectMode : uint8_t { kNone, kMxicCommand, kInSystem, kHighVoltage };

struct ProtectTiming {
  int64_t protect_ns = 150 * kUs;   // the protect pulse the part needs
  int64_t unprotect_ns = 15 * kMs;  // the unprotect pulse
  int64_t vid_setup_ns = 0;         // high voltage: 12 V on its pins before WE# falls
};

// The hand-fitted wires of the high-voltage method (`--sim-jumper`): they
// take the board's Vpp line to A9 and OE#, to A9, OE# and CE#, or join
// OE# to CE#.
inline constexpr char kWireA9Oe[] = "a9-oe-12v";
inline constexpr char kWireA9OeCe[] = "a9-oe-ce-12v";
inline constexpr char kWireOeCe[] = "oe-ce-short";

struct JedecPart {
  std::string_view name;
  uint32_t size = 0;  // bytes as the board addresses them
  BusWidth width = BusWidth::kX8;
  uint8_t manufacturer = 0;
  uint16_t device = 0;  // byte mode: the device word
  IdBank bank = IdBank::kPlain;
  // The unlock addresses as the board addresses the part, and the address
  // bits the part compares.
  uint32_t unlock1 = 0x5555, unlock2 = 0x2AAA, unlock_mask = 0x7FFF;
  std::span<const SectorRun> sectors{};
  bool dq5 = true;
  bool bypass = false;
  uint8_t bypass_exit = 0x00;  // second byte of the leave-bypass command
  bool single_pulse = false;
  uint32_t page_size = 0;  // page-program parts
  bool lockout = false;    // Atmel boot-block lock-out status (FF/FE) in autoselect
  VppPinUse vpp_pin = VppPinUse::kNotConnected;
  // CFI: the query address and the bits compared; the table from offset 0x10.
  uint32_t cfi_address = 0, cfi_mask = 0;
  std::span<const uint8_t> cfi{};
  JedecTiming timing;
  ProtectMode protect_mode = ProtectMode::kNone;
  ProtectTiming protect_timing{};
  SocketAdapter socket = SocketAdapter::kDirect;  // x16 parts: the 16-bit adapter
};

class JedecFlash final : public Chip {
 public:
  explicit JedecFlash(const JedecPart& part);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  std::optional<uint8_t> HighOut(const Pins& pins) override;
  SocketAdapter Adapter() const override { return word() ? SocketAdapter::kWord16 : part_.socket; }
  int64_t PowerUpNs() const override { return part_.timing.write.power_up_ns; }
  PinMap SocketPinMap() const override {
    return part_.width == BusWidth::kX8 ? FlashPinMap(part_.size) : PinMap{};
  }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "jedec-flash"; }
  std::vector<uint8_t> Contents() const override { return cells_.bytes(); }
  void SetContents(const std::vector<uint8_t>& bytes) override { cells_.Load(bytes); }
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  const JedecPart& part() const { return part_; }
  uint8_t Cell(uint32_t address) const { return cells_.Stored(cells_.Index(address)); }
  bool word() const { return part_.width == BusWidth::kX16; }
  const SectorMap& sectors() const { return sectors_; }
  bool Protected(int sector) const { return protect_[static_cast<size_t>(sector)] != 0; }
  void Protect(int sector, bool on) { protect_[static_cast<size_t>(sector)] = on ? 1 : 0; }

  // What the part has seen, for tests.
  struct Written {
    int64_t time_ns;
    uint32_t address;
    uint8_t data;
  };
  void RecordWrites(bool on) { record_ = on; }
  const std::vector<Written>& writes() const { return writes_; }
  uint64_t programs() const { return programs_; }
  uint64_t erases() const { return erases_; }
  bool in_bypass() const { return bypass_; }
  bool in_single_pulse() const { return single_pulse_; }
  // WE# pulses with 12 V on A9 and OE# (the wired protect and unprotect).
  int high_voltage_pulses() const { return high_voltage_pulses_; }

 private:
  enum class Mode : uint8_t { kRead, kAutoselect, kCfi, kProgramData };
  enum class Op : uint8_t { kNone, kProgram, kPageLoad, kErase, kProtect };
  enum class Guard : uint8_t { kNone, kMxicArmed, kInSystem };

  void OnWrite(const Pins& pins, uint32_t address, uint8_t data);
  void Command(const Pins& pins, uint32_t address, uint8_t data);
  void StartProgram(const Pins& pins, uint32_t index, uint8_t data);
  void StartPage(int64_t start);
  void StartErase(const Pins& pins, uint32_t first, uint32_t count, int64_t typical);
  void Settle(int64_t now);
  void Reset();
  bool Unlocked(int sector) const;
  bool Unlock(uint32_t address, int which) const;
  uint8_t Status(int64_t now) const;
  uint8_t Autoselect(uint32_t address) const;
  // The identifier word at the part's own address `unit` (`index`: its cell).
  uint16_t AutoselectWord(uint32_t unit, uint32_t index) const;
  uint8_t CfiByte(uint32_t address) const;
  // Protection changes (jedec_protect.cpp). ProtectEdges sees every line
  // change first and returns true when it took the commit itself.
  bool ProtectEdges(const Pins& pins, const FlashEdges& e);
  bool InSystemWrite(const Pins& pins, uint32_t index, uint8_t data);
  bool HighVoltageEdges(const Pins& pins, const FlashEdges& e);
  // A wire holds A9 and OE# on the Vpp line (the part's outputs are off).
  bool HighVoltageWired() const;
  void StartPulse(int64_t now, uint32_t index, bool unprotect);
  void EndPulse(int64_t now);
  void ApplyPulse();
  // The cell a board address reaches (word parts: the word's low byte; a
  // byte-strapped word part: the byte A-1 selects).
  uint32_t CellIndex(uint32_t address, bool a_minus1 = true) const;
  // A word part's reads: the word the part puts on D15..D0.
  std::optional<uint16_t> WordOut(const Pins& pins);

  JedecPart part_;
  FlashCells cells_;
  SectorMap sectors_;
  std::vector<uint8_t> protect_;
  SlowCells slow_;
  bool busy_forever_ = false;
  bool no_bypass_ = false;
  std::vector<uint8_t> refuse_;  // sectors that never take protection

  // Protection changes in progress.
  Guard guard_ = Guard::kNone;
  bool swallow_commit_ = false;  // the MXIC protect write's commit is not a command
  struct Pulse {
    bool active = false;
    bool unprotect = false;
    int sector = 0;
    int64_t start_ns = 0;
  } pulse_;
  int64_t vpp_since_ns_ = 0;
  int high_voltage_pulses_ = 0;
  bool byte_strap_ = false;
  uint8_t high_ = 0xFF;  // D15..D8 of the write being committed

  FlashBus bus_;
  Mode mode_ = Mode::kRead;
  int step_ = 0;  // unlock cycles seen: 1, 2; 3..5 after 0x80
  bool bypass_ = false;
  bool bypass_exit_next_ = false;
  bool single_pulse_ = false;

  // The embedded operation in progress.
  Op op_ = Op::kNone;
  int64_t done_ns_ = 0;   // when it ends (kNever: never)
  int64_t limit_ns_ = 0;  // when DQ5 rises (kNever: never)
  bool fails_ = false;    // cannot finish: DQ5 at the limit (or, without DQ5, no effect)
  uint8_t status_data_ = 0xFF;
  uint32_t first_ = 0, count_ = 0;  // the cells it writes
  std::vector<uint32_t> page_index_;
  std::vector<uint8_t> page_data_;
  int64_t page_deadline_ns_ = 0;
  uint32_t toggles_ = 0;  // OE# falls while busy (DQ6)

  bool record_ = false;
  std::vector<Written> writes_;
  uint64_t programs_ = 0;
  uint64_t erases_ = 0;
};

}  // namespace sim
