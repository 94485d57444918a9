#pragma once

// A 12 V flash part with embedded program and chip erase: the AMD
// Am28F256A..Am28F020A and the Macronix MX28F1000P/MX28F2000. Board lines:
// sim/flash_common.h; the Vpp switch reaches the part's Vpp pin.
//
// The command register is live only while Vpp is applied. Commands (codes
// from the row; data latched as WE# rises with OE# high):
//   program setup, then data   embedded program of that byte
//   30, 30                     embedded chip erase (pre-programming included)
//   90 / 80                    read identifier (A0 = 0 the maker, 1 the device)
//   00                         read array;  FF reset
// While an operation runs the part answers every read with DQ7 the
// complement of the data (0 for an erase) and DQ6 toggling on each OE#
// fall; a byte that cannot program (a bit that would need to become 1, a
// stuck bit) raises DQ5 at the part's limit and holds it until reset. Writes
// while busy are ignored; Vpp or Vcc off abandons the operation.
//
// Violations: "command without Vpp", "write while busy", "commit with OE#
// low", the write-cycle limits of WriteTiming.
// Faults: "stuck", "slow" (address, factor), "busy-forever" (the erase
// never ends), "novpp".

#include <array>
#include <cstdint>
#include <string_view>

#include "sim/flash_common.h"

namespace sim {

struct Flash12VEmbeddedPart {
  std::string_view name;
  uint32_t size = 0;
  uint8_t manufacturer = 0;
  uint8_t device = 0;
  WriteTiming write;
  std::array<uint8_t, 2> program_setup{0x10, 0x50};
  uint8_t erase_setup = 0x30;
  uint8_t erase_confirm = 0x30;
  std::array<uint8_t, 2> read_id{0x90, 0x80};
  uint8_t reset = 0xFF;
  int64_t program_ns = 14 * kUs;
  int64_t program_limit_ns = 1 * kMs;
  int64_t chip_erase_ns = 1500 * kMs;
};

const Flash12VEmbeddedPart* FindFlash12VEmbeddedPart(std::string_view name);

class Flash12VEmbedded final : public Chip {
 public:
  explicit Flash12VEmbedded(const Flash12VEmbeddedPart& part);

  void Update(const Pins& pins) override;
  std::optional<uint8_t> DataOut(const Pins& pins) override;
  int64_t PowerUpNs() const override { return part_.write.power_up_ns; }
  bool InjectFault(const ChipFault& fault) override;
  std::string_view ModelName() const override { return "flash-12v-embedded"; }
  std::vector<uint8_t> Contents() const override { return cells_.bytes(); }
  void SetContents(const std::vector<uint8_t>& bytes) override { cells_.Load(bytes); }

  const Flash12VEmbeddedPart& part() const { return part_; }
  uint8_t Cell(uint32_t address) const { return cells_.Stored(cells_.Index(address)); }
  uint64_t programs() const { return programs_; }
  uint64_t erases() const { return erases_; }

 private:
  enum class Mode : uint8_t { kRead, kId, kProgramSetup, kEraseSetup };

  bool VppOn() const { return bus_.vpp() && !vpp_missing_; }
  void OnWrite(const Pins& pins, uint32_t address, uint8_t data);
  void Settle(int64_t now);

  Flash12VEmbeddedPart part_;
  FlashCells cells_;
  SlowCells slow_;
  FlashBus bus_;
  bool vpp_missing_ = false;
  bool busy_forever_ = false;

  Mode mode_ = Mode::kRead;
  bool busy_ = false;
  bool erase_ = false;
  bool fails_ = false;
  int64_t done_ns_ = 0, limit_ns_ = 0;
  uint32_t index_ = 0;
  uint8_t data_ = 0xFF;
  uint32_t toggles_ = 0;
  uint64_t programs_ = 0, erases_ = 0;
};

}  // namespace sim
