#pragma once

// A 12 V bulk-erase flash part whose program and erase the host times: the
// 28F256..28F020 and the AMD 28F parts without "A" (and, by their rows,
// other parts with the same command register, such as the MX26C1000/2000).
// Board lines: sim/flash_common.h; the Vpp switch reaches the part's Vpp
// pin.
//
// The command register is live only while Vpp is applied; without it the
// part reads like a ROM and ignores writes. Commands (data latched as WE#
// rises, OE# high):
//   00                  read array
//   90 / 80             read identifier: A0 = 0 the maker, A0 = 1 the device
//   40 / 10, then data  program: runs from that write until the next one
//   C0                  program verify: ends the program; reads give the
//                       byte last programmed
//   20, 20              erase the whole array: runs until the next write
//   A0                  erase verify: ends the erase; reads give the byte
//                       at the address of this write
//   FF                  reset (read array)
// The codes are the row's, so a part with another table fits.
//
// A program only clears bits and only once the byte has collected its
// cell's program time (the row's typical time, times the pulses of an
// injected "weak" cell) over one or more program operations. An erase sets
// the whole array back to 0xFF once its operations add up to the row's
// erase time; a cell of the "erase-pulses" fault needs that many more erase
// operations of at least that time. Erasing an array whose cells were not
// all programmed to 0x00 first is over-erase: the cells that were already
// erased would be driven into depletion.
//
// Violations: "command without Vpp" (a write with Vpp off), "over-erase:
// erase of cells not programmed to 0x00 first", "commit with OE# low", the
// write-cycle limits of WriteTiming.
// Faults: "stuck" (address, bit, level), "weak" (address, pulses),
// "erase-pulses" (address, extra erase operations), "novpp" (the Vpp supply
// never reaches the socket: the part stays a ROM).

#include <array>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "sim/flash_common.h"

namespace sim {

struct Flash12VPart {
  std::string_view name;
  uint32_t size = 0;
  uint8_t manufacturer = 0;
  uint8_t device = 0;
  WriteTiming write;
  int64_t program_cell_ns = 10 * kUs;  // program time a typical byte needs
  int64_t erase_ns = 10 * kMs;         // erase time a typical array needs
  // The command table.
  std::array<uint8_t, 2> program_setup{0x40, 0x10};
  uint8_t program_verify = 0xC0;
  uint8_t erase_setup = 0x20;
  uint8_t erase_confirm = 0x20;
  uint8_t erase_verify = 0xA0;
  std::array<uint8_t, 2> read_id{0x90, 0x80};
  uint8_t read_array = 0x00;
  uint8_t reset = 0xFF;
};

// The parts of this kind the catalogue offers, by name ("28F010", ...);
// nullptr when unknown.
const Flash12VPart* FindFlash12VPart(std::string_view name);

class Flash12V final : public Chip {
 public:
  explicit Flash12V(const Flash12VPart& part);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return part_.write.power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "flash-12v"; }
  std::vector<uint8_t> Contents() const override { return cells_.bytes(); }
  // New contents start a new erase: the next one must find them all 0x00.
  void SetContents(const std::vector<uint8_t>& bytes) override;

  const Flash12VPart& part() const { return part_; }
  uint8_t Cell(uint32_t address) const { return cells_.Stored(cells_.Index(address)); }
  // What the part has seen, for tests.
  uint64_t program_operations() const { return program_ops_; }
  uint64_t erase_operations() const { return erase_ops_; }
  uint64_t erase_verifies() const { return erase_verifies_; }
  int64_t longest_program_ns() const { return longest_program_ns_; }
  // Program operations given to one address.
  int ProgramsAt(uint32_t address) const;

 private:
  enum class Mode : uint8_t {
    kRead,
    kId,
    kProgramSetup,
    kProgramming,
    kProgramVerify,
    kEraseSetup,
    kErasing,
    kEraseVerify
  };

  bool VppOn() const { return bus_.vpp() && !vpp_missing_; }
  void OnWrite(const Pins& pins, uint32_t address, uint8_t data);
  void EndOperation(int64_t now);
  void StartErase(const Pins& pins);

  Flash12VPart part_;
  FlashCells cells_;
  FlashBus bus_;
  bool vpp_missing_ = false;
  std::map<uint32_t, int> weak_;         // index -> typical program times needed
  std::map<uint32_t, int> erase_extra_;  // index -> extra erase operations needed
  std::map<uint32_t, int64_t> charge_;   // index -> program time collected
  std::map<uint32_t, int> programs_at_;  // index -> program operations

  Mode mode_ = Mode::kRead;
  uint32_t op_index_ = 0;  // program address, or the erase-verify address
  uint8_t op_data_ = 0xFF;
  int64_t op_start_ns_ = 0;
  // The erase in progress since the array was last programmed.
  int64_t erase_time_ns_ = 0;
  int erase_full_ops_ = 0;  // erase operations of at least the row's erase time

  uint64_t program_ops_ = 0, erase_ops_ = 0, erase_verifies_ = 0;
  int64_t longest_program_ns_ = 0;
};

}  // namespace sim
