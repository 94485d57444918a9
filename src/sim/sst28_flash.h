#pragma once

// The SST28SF040A and the LE28F4001: 4-Mbit flash with single-byte
// commands behind a read-only "software data protection". Board lines:
// sim/flash_common.h.
//
// The part powers up protected. Seven reads in a row unprotect it: the
// addresses 0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x041A, taken
// at each OE# rising edge (a routine shifts the address while OE# is low,
// then raises OE#); the same with 0x040A last protects it again. Any other
// read in between breaks the sequence.
//
// Commands (written with OE# high; the data is latched as WE# rises):
//   10, then data at the address   byte program
//   20, then D0 at a sector         erase the 256-byte sector
//   30, 30                          chip erase
//   90                              read ID (A0 = 0 maker, 1 device)
//   FF                              read array
// Program and erase are ignored while protected. While they run the part
// answers with DQ7 the complement of the data (0 for an erase) and DQ6
// toggling on each OE# fall; writes are ignored.
//
// Violations: "write while busy", "commit with OE# low", the write-cycle
// limits of WriteTiming.
// Faults: "stuck" (address, bit, level), "slow" (address, factor).

#include <array>
#include <cstdint>
#include <string_view>

#include "sim/flash_common.h"

namespace sim {

struct Sst28Part {
  std::string_view name;
  uint32_t size = 512 * 1024;
  uint8_t manufacturer = 0xBF;
  uint8_t device = 0x04;
  WriteTiming write;
  int64_t program_ns = 20 * kUs;
  int64_t sector_erase_ns = 2 * kMs;
  int64_t chip_erase_ns = 20 * kMs;
};

// The two parts the catalogue offers; nullptr for another name.
const Sst28Part* FindSst28Part(std::string_view name);

class Sst28Flash final : public Chip {
 public:
  explicit Sst28Flash(const Sst28Part& part);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return part_.write.power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "sst28"; }
  std::vector<uint8_t> Contents() const override { return cells_.bytes(); }
  void SetContents(const std::vector<uint8_t>& bytes) override { cells_.Load(bytes); }

  uint8_t Cell(uint32_t address) const { return cells_.Stored(cells_.Index(address)); }
  bool software_protected() const { return protected_; }
  uint64_t programs() const { return programs_; }
  uint64_t sector_erases() const { return sector_erases_; }
  uint64_t chip_erases() const { return chip_erases_; }

 private:
  enum class Mode : uint8_t { kRead, kId, kProgram, kSectorErase, kChipErase };

  void OnWrite(const Pins& pins, uint32_t address, uint8_t data);
  void ReadSeen(uint32_t address);
  void Settle(int64_t now);

  Sst28Part part_;
  FlashCells cells_;
  SlowCells slow_;
  FlashBus bus_;
  bool protected_ = true;
  std::array<uint32_t, 7> reads_{};  // the last OE# rising-edge addresses, oldest first
  Mode mode_ = Mode::kRead;

  bool busy_ = false;
  int64_t done_ns_ = 0;
  uint32_t first_ = 0, count_ = 0;  // erase range
  bool program_ = false;
  uint8_t data_ = 0xFF;
  uint32_t toggles_ = 0;

  uint64_t programs_ = 0, sector_erases_ = 0, chip_erases_ = 0;
};

}  // namespace sim
