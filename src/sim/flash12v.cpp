#include "sim/flash12v.h"

#include <algorithm>

namespace sim {
namespace {

// Intel 28F256A..28F020 and AMD Am28F256..Am28F020: a typical byte programs
// in one 10 us pulse (the quick-pulse algorithm allows 25), the array
// erases in one 10 ms pulse (the quick-erase algorithm allows 1000). The
// catalogue's 28F64, 28F128 and 28F040 are those sizes of the same part.
constexpr WriteTiming kWrite{.power_up_ns = 2 * kUs,
                             .pulse_ns = 60,
                             .address_setup_ns = 0,
                             .address_hold_ns = 60,
                             .data_setup_ns = 50};

constexpr uint32_t K = 1024;

constexpr Flash12VPart kParts[] = {
    {.name = "28F64", .size = 8 * K, .manufacturer = 0x89, .device = 0x00, .write = kWrite},
    {.name = "28F128", .size = 16 * K, .manufacturer = 0x89, .device = 0x00, .write = kWrite},
    {.name = "28F256", .size = 32 * K, .manufacturer = 0x89, .device = 0xB9, .write = kWrite},
    {.name = "28F512", .size = 64 * K, .manufacturer = 0x89, .device = 0xB8, .write = kWrite},
    {.name = "28F010", .size = 128 * K, .manufacturer = 0x89, .device = 0xB4, .write = kWrite},
    {.name = "28F020", .size = 256 * K, .manufacturer = 0x89, .device = 0xBD, .write = kWrite},
    {.name = "28F040", .size = 512 * K, .manufacturer = 0x89, .device = 0x00, .write = kWrite},
    {.name = "Am28F64", .size = 8 * K, .manufacturer = 0x01, .device = 0x00, .write = kWrite},
    {.name = "Am28F128", .size = 16 * K, .manufacturer = 0x01, .device = 0x00, .write = kWrite},
    {.name = "Am28F256", .size = 32 * K, .manufacturer = 0x01, .device = 0xA1, .write = kWrite},
    {.name = "Am28F512", .size = 64 * K, .manufacturer = 0x01, .device = 0x25, .write = kWrite},
    {.name = "Am28F010", .size = 128 * K, .manufacturer = 0x01, .device = 0xA7, .write = kWrite},
    {.name = "Am28F020", .size = 256 * K, .manufacturer = 0x01, .device = 0x2A, .write = kWrite},
};

bool In(const std::array<uint8_t, 2>& codes, uint8_t data) {
  return data == codes[0] || data == codes[1];
}

}  // namespace

const Flash12VPart* FindFlash12VPart(std::string_view name) {
  for (const Flash12VPart& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

Flash12V::Flash12V(const Flash12VPart& part) : part_(part), cells_(part.size) {}

void Flash12V::SetContents(const std::vector<uint8_t>& bytes) {
  cells_.Load(bytes);
  erase_time_ns_ = 0;
  erase_full_ops_ = 0;
}

void Flash12V::Update(const Pins& pins) {
  FlashEdges e;
  if (!bus_.Decode(pins, e)) return;
  if (e.power_off || (e.vpp_off && !vpp_missing_)) {
    // Without Vpp (or Vcc) the command register falls back to reading.
    EndOperation(pins.time_ns);
    mode_ = Mode::kRead;
    if (e.power_off) return;
  }
  if (!bus_.power()) return;
  if (e.commit_oe_low) Violation("commit with OE# low", pins.time_ns, bus_.write_address());
  if (!e.commit) return;
  if (const char* why = bus_.CheckWrite(pins, part_.write)) {
    Violation(why, pins.time_ns, bus_.write_address());
  }
  if (!bus_.vpp()) {
    Violation("command without Vpp", pins.time_ns, bus_.write_address());
    return;
  }
  if (VppOn() && !bus_.WithinPowerUp(pins, part_.write)) {
    OnWrite(pins, bus_.write_address(), pins.data);
  }
}

void Flash12V::OnWrite(const Pins& pins, uint32_t address, uint8_t data) {
  const int64_t now = pins.time_ns;
  const uint32_t index = cells_.Index(address);
  // Every write ends a program or erase in progress.
  const Mode was = mode_;
  EndOperation(now);
  if (was == Mode::kProgramSetup) {
    mode_ = Mode::kProgramming;
    op_index_ = index;
    op_data_ = data;
    op_start_ns_ = now;
    ++program_ops_;
    ++programs_at_[index];
    return;
  }
  if (was == Mode::kEraseSetup) {
    if (data == part_.erase_confirm) {
      StartErase(pins);
    } else {
      mode_ = Mode::kRead;
    }
    return;
  }
  if (In(part_.program_setup, data)) {
    mode_ = Mode::kProgramSetup;
  } else if (data == part_.program_verify) {
    mode_ = Mode::kProgramVerify;
  } else if (data == part_.erase_setup) {
    mode_ = Mode::kEraseSetup;
  } else if (data == part_.erase_verify) {
    mode_ = Mode::kEraseVerify;
    op_index_ = index;
    ++erase_verifies_;
  } else if (In(part_.read_id, data)) {
    mode_ = Mode::kId;
  } else {
    mode_ = Mode::kRead;  // read array, reset, anything else
  }
}

void Flash12V::StartErase(const Pins& pins) {
  if (erase_time_ns_ == 0) {
    // The first erase since the array was last programmed: every cell must
    // have been programmed to 0x00, or the erased ones are over-erased.
    const auto& bytes = cells_.bytes();
    const auto it = std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b != 0; });
    if (it != bytes.end()) {
      Violation("over-erase: erase of cells not programmed to 0x00 first", pins.time_ns,
                static_cast<uint32_t>(it - bytes.begin()));
    }
  }
  mode_ = Mode::kErasing;
  op_start_ns_ = pins.time_ns;
  ++erase_ops_;
}

void Flash12V::EndOperation(int64_t now) {
  const int64_t took = now - op_start_ns_;
  if (mode_ == Mode::kProgramming) {
    longest_program_ns_ = std::max(longest_program_ns_, took);
    int64_t& charge = charge_[op_index_];
    charge += took;
    const auto weak = weak_.find(op_index_);
    const int64_t need = part_.program_cell_ns * (weak == weak_.end() ? 1 : weak->second);
    if (charge >= need) {
      cells_.Program(op_index_, op_data_);
      charge_.erase(op_index_);
    }
    // A programmed cell starts the next erase afresh.
    erase_time_ns_ = 0;
    erase_full_ops_ = 0;
    mode_ = Mode::kRead;
  } else if (mode_ == Mode::kErasing) {
    erase_time_ns_ += took;
    if (took >= part_.erase_ns) ++erase_full_ops_;
    if (erase_time_ns_ >= part_.erase_ns) {
      // Every cell but the slow ones that have not had their operations yet.
      std::map<uint32_t, uint8_t> keep;
      for (const auto& [index, extra] : erase_extra_) {
        if (erase_full_ops_ <= extra) keep[index] = cells_.Stored(index);
      }
      cells_.Erase(0, cells_.size());
      for (const auto& [index, value] : keep) cells_.Set(index, value);
    }
    mode_ = Mode::kRead;
  }
}

std::optional<uint8_t> Flash12V::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive()) return std::nullopt;
  const uint32_t index = cells_.Index(pins.address);
  if (!VppOn()) return cells_.Read(index);
  switch (mode_) {
    case Mode::kId:
      return (index & 1) != 0 ? part_.device : part_.manufacturer;
    case Mode::kProgramVerify:
    case Mode::kEraseVerify:
      return cells_.Read(op_index_);
    default:
      return cells_.Read(index);
  }
}

int Flash12V::ProgramsAt(uint32_t address) const {
  const auto it = programs_at_.find(cells_.Index(address));
  return it == programs_at_.end() ? 0 : it->second;
}

bool Flash12V::InjectFault(const ChipFault& fault) {
  const uint32_t index = cells_.Index(fault.address);
  if (fault.kind == "stuck") return cells_.AddStuck(fault.address, fault.arg1, fault.arg2);
  if (fault.kind == "weak") {
    weak_[index] = std::max(fault.arg1, 1);
    return true;
  }
  if (fault.kind == "erase-pulses") {
    erase_extra_[index] = std::max(fault.arg1, 0);
    return true;
  }
  if (fault.kind == "novpp") {
    vpp_missing_ = true;
    return true;
  }
  return false;
}

}  // namespace sim
