#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/chip.h"
#include "sim/socket_map.h"

namespace sim {

// How a part commits what it is given.
enum class EepromKind {
  kByte,    // every write is a write cycle of its own (28C16, 28C64)
  kPage,    // a page load, software data protection (AT28C)
  kSector,  // a whole-sector load, software data protection, chip erase (AT29C, W29EE)
};

// Software product identification entries a part answers.
namespace id_entry {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kThree = 1;  // AA 55 90
inline constexpr uint8_t kSix = 2;    // AA 55 80 AA 55 60
}  // namespace id_entry

// A part's datasheet timing, in ns.
struct EepromTiming {
  int64_t write_pulse_min_ns = 100;     // tWP: WE# low
  int64_t data_setup_ns = 50;           // tDS: data valid before WE# rises
  int64_t load_window_ns = 150'000;     // tBLC: a load ends this long after the last WE# rise
  int64_t write_cycle_ns = 10'000'000;  // tWC, the datasheet maximum
  int64_t erase_ns = 20'000'000;        // tEC: chip erase
  int64_t power_up_ns = 5'000'000;      // tPUW: writes inhibited after Vcc on
};

struct EepromPart {
  std::string_view name;
  EepromKind kind = EepromKind::kByte;
  uint32_t page = 1;  // bytes (words) a load can hold: page or sector size
  uint8_t manufacturer = 0;
  uint8_t device = 0;
  uint8_t id_entries = id_entry::kNone;
  bool boot_block = false;  // boot-block lockout status in the ID mode at 2 and top - 14
  EepromTiming timing;
};

struct EepromConfig {
  EepromPart part;
  SocketMap map;  // map.size: the part's size in addressable units
  int width = 8;  // data bits: 8, or 16 for a word-wide part behind an adapter
};

// A parallel EEPROM, or a flash memory that writes like one, in the
// simulated socket. One model for every part; the configuration is the
// part's datasheet row and how its pins meet the board.
//
// Pins (8-bit parts): CE# is tied active; OE# is low while control bit 1
// is 0 (the port off the bus); WE# is the program line, low while control
// bit 3 is 1. An address is latched when WE# falls, the data when it rises
// (the commit); the port must be driving the bus then, OE# high.
//
// Commands decode on the part's own address pins, as the datasheets give
// them: A14..A0 = 5555 / 2AAA (fewer lines on a smaller part):
//   AA 55 A0            opens a protected load and leaves software data
//                       protection (SDP) on after its write cycle
//   AA 55 80 AA 55 20   opens a load after which SDP is off
//   AA 55 80 AA 55 10   chip erase (sector parts)
//   AA 55 90            product ID entry (parts that answer it)
//   AA 55 80 AA 55 60   product ID entry, the six-byte form
//   AA 55 F0            product ID exit
// A page or sector load collects bytes of one page (bytes for another page
// are ignored) until no WE# rise has come for the byte-load window; then
// the write cycle runs for the datasheet's write-cycle time. A sector load
// rewrites the whole sector: bytes not loaded do not keep their contents
// (they read 0xFF). While SDP is on, writes without the AA 55 A0 prefix are
// ignored. While the part is busy, DQ7 reads the complement of the last
// byte written, DQ6 toggles on each OE# fall and writes are ignored.
//
// Violations logged (once per kind):
//   "write while busy"                  a commit during a write cycle or erase
//   "commit with OE# low"               WE# rose with the outputs on (the part
//                                       inhibits the write)
//   "write pulse shorter than tWP", "data setup before WE# rises shorter than tDS"
//   "address changed during the write pulse"
//   "write sooner than tPUW after Vcc on" (the part ignores it)
//   "Vcc off during a write cycle"      (the cycle's data is lost)
//
// Faults (InjectFault):
//   "write-time"   arg1 = the write cycle in ms (replaces the datasheet's)
//   "weak"         address, arg1 = write cycles the byte needs before it takes its value
//   "stuck"        address, arg1 = bit, arg2 = level the bit always reads
//   "sdp-on"       software data protection is on from the start
//   "sector-fail"  address, arg1 = write cycles of that page/sector that fail
//                  (change nothing) before one works
//   "erase-cycles" arg1 = 0: a chip erase never completes; N: it takes N
//                  times the datasheet's erase time
//
// Non-volatile state beyond the cells: "sdp" (1 byte) and, for boot-block
// parts, "lockout" (the two boot blocks' lockout bits).
class ParallelEeprom : public Chip {
 public:
  explicit ParallelEeprom(const EepromConfig& config);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  // A word-wide part sits on the 16-bit adapter: D15..D8 through its
  // latch and read multiplexer.
  std::optional<uint8_t> HighOut(const Pins& pins) override;
  SocketAdapter Adapter() const override {
    return config_.width == 16 ? SocketAdapter::kWord16 : SocketAdapter::kDirect;
  }
  int64_t PowerUpNs() const override { return config_.part.timing.power_up_ns; }
  void SocketLevels(const Pins& pins, SocketSignals& s) const override;
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "eeprom"; }
  std::vector<uint8_t> Contents() const override;
  void SetContents(const std::vector<uint8_t>& bytes) override;
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  const EepromConfig& config() const { return config_; }
  // The cell at a chip address, as stored (faults not applied, a write
  // cycle still running not yet in it).
  uint16_t Cell(uint32_t address) const { return cells_[address % cells_.size()]; }
  bool sdp() const { return sdp_; }
  bool id_mode() const { return id_mode_; }
  // Boot-block lockout: 0 lower, 1 upper.
  void SetLockout(int block, bool locked) { lockout_[block] = locked; }
  // Write cycles run so far (chip erases included) and the loads they wrote.
  uint64_t write_cycles() const { return write_cycles_; }
  // Virtual time each of the last write cycles began, for tests of the
  // byte-load timing (bounded).
  const std::vector<int64_t>& cycle_starts() const { return cycle_starts_; }
  // Every commit (WE# rise) the part saw, when recording is on (bounded).
  struct CommitEvent {
    int64_t time_ns;
    uint32_t board_address;
    uint32_t address;  // the part's own
    uint16_t value;
  };
  void RecordCommits(bool on) { record_ = on; }
  const std::vector<CommitEvent>& commit_log() const { return commit_log_; }
  uint64_t commits() const { return commits_; }

 protected:
  // The protocol, for a pin decoder of another width (a word-wide part
  // behind an adapter): a commit of `value` at the part's address `address`
  // when WE# rose at `t`, having fallen at `fell` (the byte-load window
  // is kept open by a fall inside it); the timing and OE# checks made.
  void Commit(uint32_t address, uint16_t value, int64_t t, int64_t fell);
  // The part's output for `address` at `t` (busy status, ID codes or the
  // array), faults applied.
  uint16_t Output(uint32_t address, int64_t t) const;
  void OutputEnableFell(int64_t t);
  void PowerChanged(bool on, int64_t t);
  // Ends a write cycle that is over by `t`.
  void Settle(int64_t t);
  void Log(std::string_view text, int64_t t, uint32_t address) { Violation(text, t, address); }

  EepromConfig config_;

 private:
  // A load and the write cycle that follows it.
  struct Cycle {
    int64_t start_ns = 0;  // the write cycle begins (the load window closed)
    int64_t end_ns = 0;
    uint32_t page = 0;                  // first address of the page or sector
    std::map<uint32_t, uint16_t> data;  // loaded: address -> value
    bool has_data = false;
    bool erase = false;
    std::optional<bool> sdp_after;
    uint16_t last = 0xFF;  // the last byte written: DQ7 polling reads its complement
  };
  // kNone: a data byte; kPending: a command byte the part consumed;
  // kIgnored: a command the part does not have.
  enum class Command {
    kNone,
    kPending,
    kIgnored,
    kProtectedLoad,
    kUnprotectLoad,
    kErase,
    kIdEntry,
    kIdExit,
  };

  uint32_t PageOf(uint32_t address) const;
  int64_t WriteCycleNs() const;
  Command Decode(uint32_t address, uint16_t value, int64_t t, int64_t fell);
  void OpenLoad(int64_t t, std::optional<bool> sdp_after);
  void LoadByte(uint32_t address, uint16_t value, int64_t t);
  void StartErase(int64_t t);
  void Finish(const Cycle& cycle);
  uint16_t Stored(uint32_t address) const;
  uint16_t IdCode(uint32_t address) const;

  std::vector<uint16_t> cells_;
  uint16_t mask_;
  bool sdp_ = false;
  bool id_mode_ = false;
  bool lockout_[2] = {false, false};
  std::optional<Cycle> cycle_;
  bool toggle_ = false;

  // The command sequence seen so far.
  std::vector<std::pair<uint32_t, uint8_t>> sequence_;
  int64_t sequence_ns_ = 0;

  // Pin decoding.
  bool seen_ = false;
  uint8_t ctrl_ = 0;
  bool we_low_ = false;
  int64_t we_fell_ns_ = 0;
  uint32_t we_address_ = 0;
  int64_t drive_since_ns_ = 0;
  int64_t power_on_ns_ = 0;

  // Faults.
  std::optional<int64_t> write_time_ns_;
  std::map<uint32_t, int> weak_;  // address -> write cycles still to fail
  struct Stuck {
    uint16_t ones = 0, zeros = 0;
  };
  std::map<uint32_t, Stuck> stuck_;
  std::map<uint32_t, int> sector_fail_;  // page start -> cycles still to fail
  std::optional<int> erase_cycles_;

  uint64_t write_cycles_ = 0;
  std::vector<int64_t> cycle_starts_;
  bool record_ = false;
  std::vector<CommitEvent> commit_log_;
  uint64_t commits_ = 0;
};

}  // namespace sim
