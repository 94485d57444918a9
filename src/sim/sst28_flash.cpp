#include "sim/sst28_flash.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint32_t kSectorSize = 256;
constexpr std::array<uint32_t, 7> kUnprotect{0x1823, 0x1820, 0x1822, 0x0418,
                                             0x041B, 0x0419, 0x041A};
constexpr std::array<uint32_t, 7> kProtect{0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x040A};

// SST28SF040A: byte program 20 us, sector erase 2 ms, chip erase 20 ms; the
// LE28F4001 is the same die under its second source's name.
constexpr WriteTiming kWrite{.power_up_ns = 100 * kUs,
                             .pulse_ns = 70,
                             .address_setup_ns = 0,
                             .address_hold_ns = 50,
                             .data_setup_ns = 50};
constexpr Sst28Part kParts[] = {
    {.name = "SST28SF040A", .write = kWrite},
    {.name = "LE28F4001", .write = kWrite},
};

}  // namespace

const Sst28Part* FindSst28Part(std::string_view name) {
  for (const Sst28Part& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

Sst28Flash::Sst28Flash(const Sst28Part& part) : part_(part), cells_(part.size) {}

void Sst28Flash::Update(const Pins& pins) {
  FlashEdges e;
  if (!bus_.Decode(pins, e)) return;
  if (e.power_off) {
    Settle(pins.time_ns);
    busy_ = false;
    mode_ = Mode::kRead;
    protected_ = true;
    return;
  }
  if (!bus_.power()) return;
  Settle(pins.time_ns);
  if (e.oe_fall && busy_) ++toggles_;
  if (e.oe_rise) ReadSeen(cells_.Index(pins.address));
  if (e.commit_oe_low) Violation("commit with OE# low", pins.time_ns, bus_.write_address());
  if (e.commit) {
    if (const char* why = bus_.CheckWrite(pins, part_.write)) {
      Violation(why, pins.time_ns, bus_.write_address());
    }
    if (!bus_.WithinPowerUp(pins, part_.write)) OnWrite(pins, bus_.write_address(), pins.data);
  }
}

void Sst28Flash::ReadSeen(uint32_t address) {
  std::rotate(reads_.begin(), reads_.begin() + 1, reads_.end());
  reads_.back() = address;
  if (reads_ == kUnprotect) protected_ = false;
  if (reads_ == kProtect) protected_ = true;
}

void Sst28Flash::OnWrite(const Pins& pins, uint32_t address, uint8_t data) {
  const int64_t now = pins.time_ns;
  if (busy_) {
    Violation("write while busy", now, address);
    return;
  }
  const uint32_t index = cells_.Index(address);
  const Mode mode = mode_;
  mode_ = Mode::kRead;
  switch (mode) {
    case Mode::kProgram:
      ++programs_;
      if (protected_) return;
      busy_ = true;
      program_ = true;
      first_ = index;
      data_ = data;
      toggles_ = 0;
      done_ns_ = now + slow_.Scale(index, part_.program_ns);
      return;
    case Mode::kSectorErase:
      if (data != 0xD0) return;
      ++sector_erases_;
      if (protected_) return;
      first_ = index / kSectorSize * kSectorSize;
      count_ = kSectorSize;
      break;
    case Mode::kChipErase:
      if (data != 0x30) return;
      ++chip_erases_;
      if (protected_) return;
      first_ = 0;
      count_ = cells_.size();
      break;
    default:
      switch (data) {
        case 0x10:
          mode_ = Mode::kProgram;
          break;
        case 0x20:
          mode_ = Mode::kSectorErase;
          break;
        case 0x30:
          mode_ = Mode::kChipErase;
          break;
        case 0x90:
          mode_ = Mode::kId;
          break;
        default:
          break;  // 0xFF and anything else: read array
      }
      return;
  }
  busy_ = true;
  program_ = false;
  data_ = 0xFF;
  toggles_ = 0;
  const int64_t typical = count_ == kSectorSize ? part_.sector_erase_ns : part_.chip_erase_ns;
  done_ns_ = now + slow_.ScaleRange(first_, count_, typical);
}

void Sst28Flash::Settle(int64_t now) {
  if (!busy_ || now < done_ns_) return;
  if (program_) {
    cells_.Program(first_, data_);
  } else {
    cells_.Erase(first_, count_);
  }
  busy_ = false;
}

std::optional<uint8_t> Sst28Flash::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive()) return std::nullopt;
  Settle(pins.time_ns);
  if (busy_) {
    return static_cast<uint8_t>((~data_ & 0x80) | ((toggles_ & 1u) << 6));
  }
  const uint32_t index = cells_.Index(pins.address);
  if (mode_ == Mode::kId) return (index & 1) != 0 ? part_.device : part_.manufacturer;
  return cells_.Read(index);
}

bool Sst28Flash::InjectFault(const ChipFault& fault) {
  if (fault.kind == "stuck") return cells_.AddStuck(fault.address, fault.arg1, fault.arg2);
  if (fault.kind == "slow") {
    slow_.Add(cells_.Index(fault.address), fault.arg1);
    return true;
  }
  return false;
}

}  // namespace sim
