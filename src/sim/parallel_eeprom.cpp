#include "sim/parallel_eeprom.h"

#include <algorithm>
#include <limits>

namespace sim {
namespace {

constexpr int64_t kMs = 1'000'000;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
constexpr size_t kMaxCycleStarts = 1 << 16;

// The command addresses as the datasheets give them, on A14..A0.
constexpr uint32_t kFirst = 0x5555;
constexpr uint32_t kSecond = 0x2AAA;

}  // namespace

ParallelEeprom::ParallelEeprom(const EepromConfig& config)
    : config_(config),
      cells_(std::max<uint32_t>(config.map.size, 1), config.width == 16 ? 0xFFFF : 0xFF),
      mask_(config.width == 16 ? 0xFFFF : 0xFF) {
  if (config_.part.page == 0) config_.part.page = 1;
}

uint32_t ParallelEeprom::PageOf(uint32_t address) const {
  return address - address % config_.part.page;
}

int64_t ParallelEeprom::WriteCycleNs() const {
  return write_time_ns_.value_or(config_.part.timing.write_cycle_ns);
}

// --- pins --------------------------------------------------------------------------

void ParallelEeprom::Update(const Pins& pins) {
  const int64_t t = pins.time_ns;
  Settle(t);
  if (!seen_) {
    seen_ = true;
    ctrl_ = pins.ctrl;
    we_low_ = pins.power() && pins.program();
    if (pins.power()) power_on_ns_ = pins.power_since_ns;
    return;
  }
  if (pins.ctrl == ctrl_) return;  // an address shift or a data byte: nothing latches
  const uint8_t old = ctrl_;
  ctrl_ = pins.ctrl;
  const bool power_was = (old & 0x04) != 0;
  if (power_was != pins.power()) PowerChanged(pins.power(), t);
  if (!pins.power()) {
    we_low_ = false;
    return;
  }
  if ((old & 0x02) == 0 && pins.drive()) drive_since_ns_ = t;
  if ((old & 0x02) != 0 && !pins.drive()) OutputEnableFell(t);

  if (pins.program() && !we_low_) {
    we_low_ = true;
    we_fell_ns_ = t;
    we_address_ = pins.address;
    return;
  }
  if (pins.program() || !we_low_) return;
  // WE# rose: the commit.
  we_low_ = false;
  if (!config_.map.Selected(pins.address)) return;
  const uint32_t address = config_.map.ChipAddress(pins.address);
  const EepromTiming& timing = config_.part.timing;
  if (t - we_fell_ns_ < timing.write_pulse_min_ns) Log("write pulse shorter than tWP", t, address);
  if (pins.address != we_address_) Log("address changed during the write pulse", t, address);
  if (!pins.drive()) {
    Log("commit with OE# low", t, address);
    return;
  }
  if (t - std::max(pins.data_since_ns, drive_since_ns_) < timing.data_setup_ns) {
    Log("data setup before WE# rises shorter than tDS", t, address);
  }
  if (t - power_on_ns_ < timing.power_up_ns) {
    Log("write sooner than tPUW after Vcc on", t, address);
    return;
  }
  ++commits_;
  // A word-wide part takes D15..D8 from the 16-bit adapter's latch.
  const auto value = static_cast<uint16_t>(
      (config_.width == 16 ? pins.data | pins.data_high << 8 : pins.data) & mask_);
  if (record_ && commit_log_.size() < kMaxCycleStarts) {
    commit_log_.push_back({t, pins.address, address, value});
  }
  Commit(address, value, t, we_fell_ns_);
}

std::optional<uint8_t> ParallelEeprom::DataOut(const Pins& pins) {
  // CE# is tied active: the outputs follow OE#, and WE# low turns them off.
  if (!pins.power() || pins.drive() || pins.program()) return std::nullopt;
  if (!config_.map.Selected(pins.address)) return std::nullopt;
  // A write cycle that is over by now has written its cells whether or not
  // anything was asked: settling here changes nothing a later look would
  // not see the same way.
  Settle(pins.time_ns);
  return static_cast<uint8_t>(Output(config_.map.ChipAddress(pins.address), pins.time_ns));
}

std::optional<uint8_t> ParallelEeprom::HighOut(const Pins& pins) {
  if (config_.width != 16 || !pins.power() || pins.drive() || pins.program()) return std::nullopt;
  if (!config_.map.Selected(pins.address)) return std::nullopt;
  Settle(pins.time_ns);
  return static_cast<uint8_t>(Output(config_.map.ChipAddress(pins.address), pins.time_ns) >> 8);
}

void ParallelEeprom::SocketLevels(const Pins& pins, SocketSignals& s) const {
  s.ce_n = false;             // tied active
  s.pgm_n = !pins.program();  // WE#
  s.vpp = false;              // the Vpp pin is not the part's
}

// --- the protocol -------------------------------------------------------------------

void ParallelEeprom::PowerChanged(bool on, int64_t t) {
  if (on) {
    power_on_ns_ = t;
  } else if (cycle_) {
    if (cycle_->has_data || cycle_->erase || cycle_->sdp_after || t >= cycle_->start_ns) {
      Log("Vcc off during a write cycle", t, cycle_->page);
    }
    cycle_.reset();
  }
  id_mode_ = false;
  sequence_.clear();
  toggle_ = false;
}

void ParallelEeprom::OutputEnableFell(int64_t t) {
  if (cycle_ && t >= cycle_->start_ns && t < cycle_->end_ns) toggle_ = !toggle_;
}

void ParallelEeprom::Settle(int64_t t) {
  if (!cycle_ || t < cycle_->end_ns) return;
  const Cycle done = std::move(*cycle_);
  cycle_.reset();
  Finish(done);
}

ParallelEeprom::Command ParallelEeprom::Decode(uint32_t address, uint16_t value, int64_t t,
                                               int64_t fell) {
  if (config_.part.kind == EepromKind::kByte) return Command::kNone;
  if (cycle_ && cycle_->has_data) return Command::kNone;  // inside a load: data
  // The bytes of a sequence come within the byte-load window, like a load's.
  if (!sequence_.empty() && fell - sequence_ns_ > config_.part.timing.load_window_ns) {
    sequence_.clear();
  }
  const uint32_t command_mask = std::min<uint32_t>(config_.map.size, 0x8000) - 1;
  const uint32_t a = address & command_mask;
  const auto v = static_cast<uint8_t>(value & 0xFF);
  const auto is = [&](uint32_t want_address, uint8_t want_value) {
    return a == (want_address & command_mask) && v == want_value;
  };
  const size_t pos = sequence_.size();
  bool match = false;
  switch (pos) {
    case 0:
    case 3:
      match = is(kFirst, 0xAA);
      break;
    case 1:
    case 4:
      match = is(kSecond, 0x55);
      break;
    case 2:
      match = a == (kFirst & command_mask) && (v == 0xA0 || v == 0x80 || v == 0x90 || v == 0xF0);
      break;
    case 5:
      match = a == (kFirst & command_mask) && (v == 0x20 || v == 0x10 || v == 0x60);
      break;
    default:
      break;
  }
  if (!match) {
    sequence_.clear();
    if (!is(kFirst, 0xAA)) return Command::kNone;
    sequence_.emplace_back(a, v);
    sequence_ns_ = t;
    return Command::kPending;
  }
  sequence_.emplace_back(a, v);
  sequence_ns_ = t;
  const uint8_t ids = config_.part.id_entries;
  Command command = Command::kPending;
  if (pos == 2) {
    if (v == 0xA0) command = Command::kProtectedLoad;
    if (v == 0x90) command = (ids & id_entry::kThree) ? Command::kIdEntry : Command::kIgnored;
    if (v == 0xF0) command = Command::kIdExit;
  } else if (pos == 5) {
    if (v == 0x20) command = Command::kUnprotectLoad;
    if (v == 0x10) {
      command = config_.part.kind == EepromKind::kSector ? Command::kErase : Command::kIgnored;
    }
    if (v == 0x60) command = (ids & id_entry::kSix) ? Command::kIdEntry : Command::kIgnored;
  }
  if (command != Command::kPending) sequence_.clear();
  return command;
}

void ParallelEeprom::Commit(uint32_t address, uint16_t value, int64_t t, int64_t fell) {
  // A load stays open while WE# falls inside the byte-load window.
  if (cycle_ && fell >= cycle_->start_ns) {
    // The part takes nothing while it programs.
    Log("write while busy", t, address);
    return;
  }
  switch (Decode(address, value, t, fell)) {
    case Command::kPending:
    case Command::kIgnored:
      return;
    case Command::kProtectedLoad:
      OpenLoad(t, true);
      return;
    case Command::kUnprotectLoad:
      OpenLoad(t, false);
      return;
    case Command::kErase:
      StartErase(t);
      return;
    case Command::kIdEntry:
      id_mode_ = true;
      return;
    case Command::kIdExit:
      id_mode_ = false;
      return;
    case Command::kNone:
      break;
  }
  if (id_mode_) return;
  if (config_.part.kind == EepromKind::kByte) {
    Cycle cycle;
    cycle.start_ns = t;
    cycle.end_ns = t + WriteCycleNs();
    cycle.page = address;
    cycle.data[address] = value;
    cycle.has_data = true;
    cycle.last = value;
    cycle_ = std::move(cycle);
    return;
  }
  if (!cycle_) {
    if (sdp_) return;  // protected: a write without its prefix does nothing
    OpenLoad(t, std::nullopt);
  }
  LoadByte(address, value, t);
}

void ParallelEeprom::OpenLoad(int64_t t, std::optional<bool> sdp_after) {
  if (!cycle_) cycle_.emplace();
  cycle_->start_ns = t + config_.part.timing.load_window_ns;
  cycle_->end_ns = cycle_->start_ns + WriteCycleNs();
  if (sdp_after) cycle_->sdp_after = sdp_after;
}

void ParallelEeprom::LoadByte(uint32_t address, uint16_t value, int64_t t) {
  Cycle& c = *cycle_;
  // Every WE# rise restarts the byte-load timer.
  c.start_ns = t + config_.part.timing.load_window_ns;
  c.end_ns = c.start_ns + WriteCycleNs();
  const uint32_t page = PageOf(address);
  if (!c.has_data) {
    c.has_data = true;
    c.page = page;
  } else if (page != c.page) {
    return;  // a byte for another page: not part of this load
  }
  c.data[address] = value;
  c.last = value;
}

void ParallelEeprom::StartErase(int64_t t) {
  Cycle cycle;
  cycle.start_ns = t;
  cycle.erase = true;
  cycle.last = mask_;
  const int repeats = erase_cycles_.value_or(1);
  cycle.end_ns = repeats == 0 ? kNever : t + config_.part.timing.erase_ns * repeats;
  cycle_ = std::move(cycle);
}

void ParallelEeprom::Finish(const Cycle& cycle) {
  ++write_cycles_;
  if (cycle_starts_.size() < kMaxCycleStarts) cycle_starts_.push_back(cycle.start_ns);
  if (cycle.erase) {
    std::fill(cells_.begin(), cells_.end(), mask_);
    return;
  }
  bool failed = false;
  if (cycle.has_data) {
    if (const auto it = sector_fail_.find(cycle.page); it != sector_fail_.end()) {
      failed = true;
      if (--it->second == 0) sector_fail_.erase(it);
    }
  }
  const auto write = [this](uint32_t address, uint16_t value) {
    if (const auto it = weak_.find(address); it != weak_.end()) {
      if (--it->second > 0) return;  // not this time
      weak_.erase(it);
    }
    cells_[address % cells_.size()] = value;
  };
  if (cycle.has_data && !failed) {
    if (config_.part.kind == EepromKind::kSector) {
      for (uint32_t a = cycle.page; a < cycle.page + config_.part.page && a < cells_.size(); ++a) {
        const auto it = cycle.data.find(a);
        write(a, it == cycle.data.end() ? mask_ : it->second);
      }
    } else {
      for (const auto& [address, value] : cycle.data) write(address, value);
    }
  }
  if (cycle.sdp_after) sdp_ = *cycle.sdp_after;
}

uint16_t ParallelEeprom::Stored(uint32_t address) const {
  uint16_t value = cells_[address % cells_.size()];
  if (const auto it = stuck_.find(address % cells_.size()); it != stuck_.end()) {
    value = static_cast<uint16_t>((value & ~it->second.zeros) | it->second.ones);
  }
  return value;
}

uint16_t ParallelEeprom::IdCode(uint32_t address) const {
  const uint32_t size = static_cast<uint32_t>(cells_.size());
  const uint32_t a = address % size;
  if (a == 0) return config_.part.manufacturer;
  if (a == 1) return config_.part.device;
  if (config_.part.boot_block && (a == 2 || a == size - 14)) {
    // Bit 0 set: that boot block is locked out.
    return static_cast<uint16_t>(0xFE | (lockout_[a == 2 ? 0 : 1] ? 1 : 0));
  }
  return mask_;
}

uint16_t ParallelEeprom::Output(uint32_t address, int64_t t) const {
  if (cycle_ && t >= cycle_->start_ns && t < cycle_->end_ns) {
    // Busy: DQ7 is the complement of the byte written, DQ6 toggles.
    const uint16_t last = cycle_->last;
    return static_cast<uint16_t>((last & mask_ & ~0xC0) | (~last & 0x80) | (toggle_ ? 0x40 : 0));
  }
  if (id_mode_) return IdCode(address);
  return Stored(address);
}

// --- faults, contents, state ------------------------------------------------------------

bool ParallelEeprom::InjectFault(const ChipFault& fault) {
  const bool in_range = fault.address < cells_.size();
  if (fault.kind == "write-time") {
    if (fault.arg1 < 0) return false;
    write_time_ns_ = int64_t{fault.arg1} * kMs;
    return true;
  }
  if (fault.kind == "weak") {
    if (!in_range || fault.arg1 < 1) return false;
    weak_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "stuck") {
    if (!in_range || fault.arg1 < 0 || fault.arg1 >= config_.width || fault.arg2 < 0 ||
        fault.arg2 > 1) {
      return false;
    }
    const auto bit = static_cast<uint16_t>(1u << fault.arg1);
    Stuck& s = stuck_[fault.address];
    (fault.arg2 == 1 ? s.ones : s.zeros) |= bit;
    return true;
  }
  if (config_.part.kind == EepromKind::kByte) return false;
  if (fault.kind == "sdp-on") {
    sdp_ = true;
    return true;
  }
  if (fault.kind == "sector-fail") {
    if (!in_range || fault.arg1 < 1) return false;
    sector_fail_[PageOf(fault.address)] = fault.arg1;
    return true;
  }
  if (fault.kind == "erase-cycles" && config_.part.kind == EepromKind::kSector) {
    if (fault.arg1 < 0) return false;
    erase_cycles_ = fault.arg1;
    return true;
  }
  return false;
}

std::vector<uint8_t> ParallelEeprom::Contents() const {
  std::vector<uint8_t> out;
  out.reserve(cells_.size() * (config_.width == 16 ? 2 : 1));
  for (const uint16_t cell : cells_) {
    out.push_back(static_cast<uint8_t>(cell));
    if (config_.width == 16) out.push_back(static_cast<uint8_t>(cell >> 8));
  }
  return out;
}

void ParallelEeprom::SetContents(const std::vector<uint8_t>& bytes) {
  const size_t unit = config_.width == 16 ? 2 : 1;
  for (size_t i = 0; i < cells_.size(); ++i) {
    uint16_t value = mask_;
    if ((i + 1) * unit <= bytes.size()) {
      value = bytes[i * unit];
      if (unit == 2) value = static_cast<uint16_t>(value | bytes[i * unit + 1] << 8);
    }
    cells_[i] = value;
  }
}

std::vector<StateSection> ParallelEeprom::State() const {
  std::vector<StateSection> sections;
  if (config_.part.kind != EepromKind::kByte)
    sections.push_back({"sdp", {sdp_ ? uint8_t{1} : uint8_t{0}}});
  if (config_.part.boot_block) {
    sections.push_back(
        {"lockout",
         {lockout_[0] ? uint8_t{1} : uint8_t{0}, lockout_[1] ? uint8_t{1} : uint8_t{0}}});
  }
  return sections;
}

bool ParallelEeprom::SetState(const StateSection& section) {
  if (section.name == "sdp" && config_.part.kind != EepromKind::kByte &&
      section.bytes.size() == 1 && section.bytes[0] <= 1) {
    sdp_ = section.bytes[0] == 1;
    return true;
  }
  if (section.name == "lockout" && config_.part.boot_block && section.bytes.size() == 2 &&
      section.bytes[0] <= 1 && section.bytes[1] <= 1) {
    lockout_[0] = section.bytes[0] == 1;
    lockout_[1] = section.bytes[1] == 1;
    return true;
  }
  return false;
}

}  // namespace sim
