#pragma once

// A flash part with a write state machine and a status register: the
// 28F001BX, 28F002/004 BX and BC, 28F200/400/800 B5 and BX (in byte mode),
// 28F004/008/016 S5, the Sharp LH28F parts, and the 28F320/640 J3 in byte
// mode. Board lines: sim/flash_common.h.
//
// Commands (data latched as WE# rises with OE# high; codes at any address
// unless a block address is named):
//   FF           read array             90  read identifier
//   98           CFI query (parts with a table)
//   70           read status register   50  clear status register
//   40 / 10, then data                   byte program
//   20, then D0 at a block               block erase (another second byte:
//                                        command sequence error, SR4 + SR5)
//   60, then D0                          clear every block's lock bit (J3, S5)
//   60, then 01 at a block               set that block's lock bit
//   E8 at a block (J3): the extended status shows a free buffer (bit 7);
//                then count - 1, the bytes (one 32-byte aligned group of
//                the block), D0: the buffer is programmed in one operation
// After a program, erase or lock command reads give the status register
// until FF (or 90, 98); while the state machine runs only 70 is taken.
// SR7 is 0 while it runs; SR5 (erase or lock-clear error), SR4 (program
// or lock-set error), SR3 (Vpp low) and SR1 (block locked) stay set until
// 50.
//
// Vpp: parts that need 12 V (the BX parts) fail program and erase with SR3
// (and SR4 or SR5) without it; SmartVoltage parts (B5, BC, S5, LH28F) take
// the 5 V the pin sits at without 12 V; the J3's VPEN only takes logic
// levels, so the part ignores the board's Vpp and 12 V on it is logged.
// The 28F001BX's boot block is writable only while RP# sits at 12 V: the
// wire from pin 1 (Vpp) to pin 30 (RP#), a harness input (`Jumper
// ("wirelink")`), feeds it the Vpp line. Without it a program of the boot
// block ends with SR4, an erase with SR5.
//
// Identification in byte mode: the maker's code at byte 0, the device's at
// byte 2 (byte 1 on the 8-bit parts), a block's lock status at block + 4
// (+ 2); CFI data at the even bytes 2 x offset.
//
// Vcc off returns the part to read array and clears the status register.
//
// Word mode (x16 on the 16-bit adapter: B3, C3, J3): the board address is
// the word index, commands are the low byte of a word, a program writes the
// whole word, IDs are words at 0 and 1, a block's lock status at word
// block + 2, CFI data in the low byte of word `offset`, the J3's buffer
// counts words (16). C3 locks are volatile: every block is locked after
// power-up; 60/D0 at a block unlocks it, 60/01 locks it, 60/2F locks it
// down (status 0x03) until the next power-up; a locked-down block ignores
// 60/D0. A program or erase of a locked block ends with SR1 and SR4 (SR5).
//
// Firmware-hub parts (82802AB/AC, AT49LW, M50FW/LPW/FLW) in their
// address-multiplexed mode: 12 V on Vpp for program and erase; the M50
// parts' quadruple byte program: 30, then four bytes whose addresses differ
// only in A1..A0, programmed together (another address: SR4 + SR5).
//
// Violations: "write while busy", "commit with OE# low", "12 V on a
// logic-level pin", the write-cycle limits of WriteTiming.
// Faults: "locked" (address: the block's lock set; a C3 block stays locked
// down at every power-up), "stuck" (a program that disagrees ends with SR4), "sr4-once"
// (the first program at the address ends with SR4), "erase-fail" (erases of
// that block end with SR5), "protect" (lock bit set, parts with lock bits),
// "slow" (address, factor on the program, erase or lock operation there),
// "busy-forever" (erases never end), "novpp".
// Non-volatile state: section "protect", one lock byte per block.

#include <cstdint>
#include <set>
#include <span>
#include <string_view>
#include <vector>

#include "sim/flash_common.h"
#include "sim/jedec_flash.h"

namespace sim {

enum class WsmVpp : uint8_t {
  k12V,        // program and erase need 12 V on Vpp
  kSmart,      // 5 V or 12 V on Vpp
  kEnablePin,  // a logic-level enable (J3 VPEN)
};

enum class BootLock : uint8_t { kNone, kTop, kBottom };  // the RP#-protected boot block

struct WsmTiming {
  WriteTiming write;
  int64_t program_ns = 10 * kUs;          // one byte
  int64_t buffer_program_ns = 218 * kUs;  // one write-buffer group
  int64_t erase_ns = 1 * kSec;            // one block
  int64_t lock_clear_ns = 500 * kMs;      // every lock bit at once
  int64_t lock_set_ns = 64 * kUs;
};

struct WsmPart {
  std::string_view name;
  uint32_t size = 0;
  BusWidth width = BusWidth::kX8;
  uint8_t manufacturer = 0x89;
  uint16_t device = 0;
  std::span<const SectorRun> blocks{};
  WsmVpp vpp = WsmVpp::k12V;
  BootLock boot = BootLock::kNone;
  bool lock_bits = false;
  uint32_t buffer_size = 0;  // write buffer (E8) in bytes, 0: none
  std::span<const uint8_t> cfi{};
  WsmTiming timing;
  bool volatile_locks = false;  // C3: locked at power-up, per-block 60/D0, 60/01, 60/2F
  bool quadruple = false;       // M50: 30 and four bytes
  SocketAdapter socket = SocketAdapter::kDirect;
};

std::span<const WsmPart> WsmParts();
// The parts driven 16 bits wide and the firmware-hub parts.
std::span<const WsmPart> WideWsmParts();
const WsmPart* FindWsmPart(std::string_view name);

class WsmFlash final : public Chip {
 public:
  explicit WsmFlash(const WsmPart& part);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  std::optional<uint8_t> HighOut(const Pins& pins) override;
  SocketAdapter Adapter() const override { return word() ? SocketAdapter::kWord16 : part_.socket; }
  int64_t PowerUpNs() const override { return part_.timing.write.power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "wsm-flash"; }
  bool word() const { return part_.width == BusWidth::kX16; }
  std::vector<uint8_t> Contents() const override { return cells_.bytes(); }
  void SetContents(const std::vector<uint8_t>& bytes) override { cells_.Load(bytes); }
  std::vector<StateSection> State() const override;
  bool SetState(const StateSection& section) override;

  const WsmPart& part() const { return part_; }
  uint8_t Cell(uint32_t address) const { return cells_.Stored(cells_.Index(address)); }
  const SectorMap& blocks() const { return blocks_; }
  bool Locked(int block) const { return locks_[static_cast<size_t>(block)] != 0; }
  void Lock(int block, bool on) { locks_[static_cast<size_t>(block)] = on ? 1 : 0; }
  uint8_t status() const { return sr_; }
  // What the part has seen, for tests.
  uint64_t programs() const { return programs_; }
  uint64_t buffer_programs() const { return buffer_programs_; }
  uint64_t erases() const { return erases_; }
  uint64_t lock_clears() const { return lock_clears_; }
  uint64_t status_clears() const { return status_clears_; }

 private:
  enum class Read : uint8_t { kArray, kId, kCfi, kStatus, kExtended };
  enum class Next : uint8_t {
    kCommand,
    kProgram,
    kErase,
    kLock,
    kBufferCount,
    kBufferData,
    kBufferConfirm,
    kQuad
  };
  enum class Op : uint8_t { kNone, kProgram, kErase, kLockClear, kLockSet };

  void OnWrite(const Pins& pins, uint32_t address, uint8_t data);
  // The cell of a board address (word parts: the word's low byte).
  uint32_t CellIndex(uint32_t address) const {
    return cells_.Index(word() ? address << 1 : address);
  }
  // The value a read in the current mode gives (word parts: the word).
  uint16_t ReadValue(uint32_t address) const;
  void LockCommand(int block, uint8_t data, int64_t now);
  void Start(Op op, int64_t now, int64_t time, uint8_t fail_bits);
  void Settle(int64_t now);
  bool VppHigh() const { return bus_.vpp() && !vpp_missing_; }
  // The SR bits a program or erase at `block` fails with before it starts.
  bool VppLow() const;
  uint8_t Refusal(int block, uint8_t op_error) const;

  WsmPart part_;
  FlashCells cells_;
  SectorMap blocks_;
  std::vector<uint8_t> locks_;
  SlowCells slow_;
  std::set<uint32_t> sr4_once_;
  std::set<int> erase_fail_;
  bool vpp_missing_ = false;
  bool busy_forever_ = false;
  std::vector<uint8_t> lockdown_;   // C3: locked down until power-up
  std::vector<uint8_t> held_down_;  // the "locked" fault: down at every power-up
  uint8_t high_ = 0xFF;             // D15..D8 of the write being committed
  std::vector<uint32_t> quad_index_;
  std::vector<uint8_t> quad_data_;

  FlashBus bus_;
  Read read_ = Read::kArray;
  Next next_ = Next::kCommand;
  uint8_t sr_ = 0x80;  // the sticky bits; bit 7 is worked out from the operation
  int buffer_block_ = 0;
  uint32_t buffer_left_ = 0;
  bool buffer_bad_ = false;
  std::vector<uint32_t> buffer_index_;
  std::vector<uint8_t> buffer_data_;

  Op op_ = Op::kNone;
  int64_t done_ns_ = 0;
  uint8_t fail_bits_ = 0;
  int block_ = 0;
  std::vector<uint32_t> index_;
  std::vector<uint8_t> data_;

  uint64_t programs_ = 0, buffer_programs_ = 0, erases_ = 0, lock_clears_ = 0;
  uint64_t status_clears_ = 0;
};

}  // namespace sim
