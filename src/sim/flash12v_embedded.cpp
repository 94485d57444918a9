#include "sim/flash12v_embedded.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint32_t K = 1024;

constexpr WriteTiming kWrite{.power_up_ns = 2 * kUs,
                             .pulse_ns = 60,
                             .address_setup_ns = 0,
                             .address_hold_ns = 60,
                             .data_setup_ns = 50};

// Am28F256A..Am28F020A: embedded program 10H or 50H, 14 us a byte; embedded
// erase 30H/30H, 1.5 s with its own pre-programming. MX28F1000P and
// MX28F2000: automatic program 40H (or 10H), 10 us a byte; automatic chip
// erase 30H/30H, 1 s.
constexpr Flash12VEmbeddedPart kParts[] = {
    {.name = "Am28F256A", .size = 32 * K, .manufacturer = 0x01, .device = 0x2F, .write = kWrite},
    {.name = "Am28F512A", .size = 64 * K, .manufacturer = 0x01, .device = 0xAE, .write = kWrite},
    {.name = "Am28F010A", .size = 128 * K, .manufacturer = 0x01, .device = 0xA2, .write = kWrite},
    {.name = "Am28F020A", .size = 256 * K, .manufacturer = 0x01, .device = 0x29, .write = kWrite},
    {.name = "MX28F1000P",
     .size = 128 * K,
     .manufacturer = 0xC2,
     .device = 0x1A,
     .write = kWrite,
     .program_setup = {0x40, 0x10},
     .program_ns = 10 * kUs,
     .chip_erase_ns = 1 * kSec},
    {.name = "MX28F2000P",
     .size = 256 * K,
     .manufacturer = 0xC2,
     .device = 0x2A,
     .write = kWrite,
     .program_setup = {0x40, 0x10},
     .program_ns = 10 * kUs,
     .chip_erase_ns = 1 * kSec},
    {.name = "MX28F2000T",
     .size = 256 * K,
     .manufacturer = 0xC2,
     .device = 0x2B,
     .write = kWrite,
     .program_setup = {0x40, 0x10},
     .program_ns = 10 * kUs,
     .chip_erase_ns = 1 * kSec},
};

}  // namespace

const Flash12VEmbeddedPart* FindFlash12VEmbeddedPart(std::string_view name) {
  for (const Flash12VEmbeddedPart& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

Flash12VEmbedded::Flash12VEmbedded(const Flash12VEmbeddedPart& part)
    : part_(part), cells_(part.size) {}

void Flash12VEmbedded::Update(const Pins& pins) {
  FlashEdges e;
  if (!bus_.Decode(pins, e)) return;
  if (e.power_off || (e.vpp_off && !vpp_missing_)) {
    Settle(pins.time_ns);
    busy_ = false;  // what still runs loses its supply and is abandoned
    mode_ = Mode::kRead;
    if (e.power_off) return;
  }
  if (!bus_.power()) return;
  Settle(pins.time_ns);
  if (e.oe_fall && busy_) ++toggles_;
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

void Flash12VEmbedded::OnWrite(const Pins& pins, uint32_t address, uint8_t data) {
  const int64_t now = pins.time_ns;
  if (busy_) {
    if (fails_ && now >= limit_ns_ && data == part_.reset) {
      cells_.Program(index_, data_);  // what the failed program managed stays
      busy_ = false;
      mode_ = Mode::kRead;
      return;
    }
    Violation("write while busy", now, address);
    return;
  }
  const Mode mode = mode_;
  mode_ = Mode::kRead;
  if (mode == Mode::kProgramSetup) {
    ++programs_;
    busy_ = true;
    erase_ = false;
    index_ = cells_.Index(address);
    data_ = data;
    toggles_ = 0;
    fails_ = !cells_.Programs(index_, data);
    done_ns_ = fails_ ? kNever : now + slow_.Scale(index_, part_.program_ns);
    limit_ns_ = fails_ ? now + part_.program_limit_ns : kNever;
    return;
  }
  if (mode == Mode::kEraseSetup && data == part_.erase_confirm) {
    ++erases_;
    busy_ = true;
    erase_ = true;
    fails_ = false;
    data_ = 0xFF;
    toggles_ = 0;
    done_ns_ = busy_forever_ ? kNever : now + part_.chip_erase_ns;
    limit_ns_ = kNever;
    return;
  }
  if (data == part_.program_setup[0] || data == part_.program_setup[1]) {
    mode_ = Mode::kProgramSetup;
  } else if (data == part_.erase_setup) {
    mode_ = Mode::kEraseSetup;
  } else if (data == part_.read_id[0] || data == part_.read_id[1]) {
    mode_ = Mode::kId;
  }
}

void Flash12VEmbedded::Settle(int64_t now) {
  if (!busy_ || now < done_ns_) return;
  if (erase_) {
    cells_.Erase(0, cells_.size());
  } else {
    cells_.Program(index_, data_);
  }
  busy_ = false;
}

std::optional<uint8_t> Flash12VEmbedded::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive()) return std::nullopt;
  Settle(pins.time_ns);
  if (busy_) {
    uint8_t s = static_cast<uint8_t>((~data_ & 0x80) | ((toggles_ & 1u) << 6));
    if (fails_ && pins.time_ns >= limit_ns_) s |= 0x20;
    return s;
  }
  const uint32_t index = cells_.Index(pins.address);
  if (mode_ == Mode::kId && VppOn()) return (index & 1) != 0 ? part_.device : part_.manufacturer;
  return cells_.Read(index);
}

bool Flash12VEmbedded::InjectFault(const ChipFault& fault) {
  if (fault.kind == "stuck") return cells_.AddStuck(fault.address, fault.arg1, fault.arg2);
  if (fault.kind == "slow") {
    slow_.Add(cells_.Index(fault.address), fault.arg1);
    return true;
  }
  if (fault.kind == "busy-forever") {
    busy_forever_ = true;
    return true;
  }
  if (fault.kind == "novpp") {
    vpp_missing_ = true;
    return true;
  }
  return false;
}

}  // namespace sim
