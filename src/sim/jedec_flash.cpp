#include "sim/jedec_flash.h"

#include <algorithm>

namespace sim {
namespace {

constexpr size_t kMaxRecorded = 1 << 20;

}  // namespace

JedecFlash::JedecFlash(const JedecPart& part)
    : part_(part),
      cells_(part.size),
      sectors_(part.sectors, cells_.size()),
      protect_(static_cast<size_t>(sectors_.count()), 0),
      refuse_(static_cast<size_t>(sectors_.count()), 0) {}

// --- lines ---------------------------------------------------------------------

void JedecFlash::Update(const Pins& pins) {
  FlashEdges e;
  if (!bus_.Decode(pins, e)) return;
  if (ProtectEdges(pins, e)) return;
  if (e.power_off) {
    // Vcc off abandons whatever still runs and forgets every command state.
    Settle(pins.time_ns);
    op_ = Op::kNone;
    bypass_ = false;
    single_pulse_ = false;
    Reset();
    return;
  }
  if (!bus_.power()) return;
  if ((e.vpp_on || (e.power_on && bus_.vpp())) && part_.vpp_pin == VppPinUse::kLogic) {
    Violation("12 V on a logic-level pin", pins.time_ns, pins.address);
  }
  Settle(pins.time_ns);
  if (e.oe_fall && op_ != Op::kNone) ++toggles_;
  if (e.commit_oe_low) Violation("commit with OE# low", pins.time_ns, bus_.write_address());
  if (e.commit) {
    if (const char* why = bus_.CheckWrite(pins, part_.timing.write)) {
      Violation(why, pins.time_ns, bus_.write_address());
    }
    high_ = pins.data_high;
    OnWrite(pins, bus_.write_address(), pins.data);
  }
}

uint32_t JedecFlash::CellIndex(uint32_t address, bool a_minus1) const {
  if (!word()) return cells_.Index(address);
  if (byte_strap_) return cells_.Index((address << 1) | (a_minus1 ? 1 : 0));
  return cells_.Index(address << 1);
}

std::optional<uint16_t> JedecFlash::WordOut(const Pins& pins) {
  if (!pins.power() || pins.drive()) return std::nullopt;
  Settle(pins.time_ns);
  if (op_ != Op::kNone) {
    const uint8_t s = Status(pins.time_ns);
    return static_cast<uint16_t>(s | s << 8);
  }
  // Strapped in byte mode, DQ15 is an input (floating high) and D14..D8 float.
  if (byte_strap_) return static_cast<uint16_t>(0xFF00 | cells_.Read(CellIndex(pins.address)));
  const uint32_t index = CellIndex(pins.address);
  switch (mode_) {
    case Mode::kAutoselect:
      return AutoselectWord(pins.address, index);
    case Mode::kCfi: {
      const uint32_t offset = pins.address & 0xFF;
      if (offset < 0x10 || offset - 0x10 >= part_.cfi.size()) return 0x0000;
      return part_.cfi[offset - 0x10];
    }
    default:
      return static_cast<uint16_t>(cells_.Read(index) | cells_.Read(index + 1) << 8);
  }
}

std::optional<uint8_t> JedecFlash::HighOut(const Pins& pins) {
  if (!word() || byte_strap_) return std::nullopt;
  const auto w = WordOut(pins);
  if (!w) return std::nullopt;
  return static_cast<uint8_t>(*w >> 8);
}

std::optional<uint8_t> JedecFlash::DataOut(const Pins& pins) {
  if (word()) {
    const auto w = WordOut(pins);
    if (!w) return std::nullopt;
    return static_cast<uint8_t>(*w & 0xFF);
  }
  if (!pins.power() || pins.drive() || HighVoltageWired()) return std::nullopt;
  // Finishing an operation whose time has passed changes nothing a later
  // look would not find the same way.
  Settle(pins.time_ns);
  if (op_ != Op::kNone) return Status(pins.time_ns);
  const uint32_t index = cells_.Index(pins.address);
  switch (mode_) {
    case Mode::kAutoselect:
      return Autoselect(index);
    case Mode::kCfi:
      return CfiByte(index);
    default:
      return cells_.Read(index);
  }
}

// --- commands -------------------------------------------------------------------

void JedecFlash::OnWrite(const Pins& pins, uint32_t address, uint8_t data) {
  if (bus_.WithinPowerUp(pins, part_.timing.write)) return;
  if (record_ && writes_.size() < kMaxRecorded) writes_.push_back({pins.time_ns, address, data});
  const uint32_t index = CellIndex(address, (high_ & 0x80) != 0);
  if (InSystemWrite(pins, index, data)) return;
  const int64_t now = pins.time_ns;
  if (op_ == Op::kPageLoad) {
    const uint32_t page = part_.page_size;
    if (index / page == page_index_.front() / page) {
      page_index_.push_back(index);
      page_data_.push_back(data);
      status_data_ = data;
      page_deadline_ns_ = now + part_.timing.page_load_ns;
      return;
    }
    StartPage(now);  // a byte of another page closes the load
  }
  if (op_ != Op::kNone) {
    if (fails_ && now >= limit_ns_ && data == 0xF0) {
      // Reset after DQ5: what the failed program managed stays.
      for (size_t i = 0; i < page_index_.size(); ++i) cells_.Program(page_index_[i], page_data_[i]);
      op_ = Op::kNone;
      Reset();
      return;
    }
    Violation("write while busy", now, address);
    return;
  }
  if (single_pulse_) {
    StartProgram(pins, index, data);
    return;
  }
  if (mode_ == Mode::kProgramData) {
    mode_ = Mode::kRead;
    if (part_.page_size != 0) {
      op_ = Op::kPageLoad;
      page_index_.assign(1, index);
      page_data_.assign(1, data);
      status_data_ = data;
      toggles_ = 0;
      page_deadline_ns_ = now + part_.timing.page_load_ns;
    } else {
      StartProgram(pins, index, data);
    }
    return;
  }
  Command(pins, address, data);
}

void JedecFlash::Command(const Pins& pins, uint32_t address, uint8_t data) {
  if (bypass_) {
    if (bypass_exit_next_) {
      bypass_exit_next_ = false;
      if (data == part_.bypass_exit) bypass_ = false;
    } else if (data == 0xA0) {
      mode_ = Mode::kProgramData;
    } else if (data == 0x90) {
      bypass_exit_next_ = true;
    }
    return;  // nothing else is taken in bypass mode
  }
  if (data == 0xF0) {
    Reset();
    return;
  }
  if (data == 0x98 && !part_.cfi.empty() && (address & part_.cfi_mask) == part_.cfi_address &&
      (mode_ == Mode::kRead || mode_ == Mode::kAutoselect)) {
    mode_ = Mode::kCfi;
    step_ = 0;
    return;
  }
  const int step = step_;
  step_ = 0;
  switch (step) {
    case 0:
    case 3:
      if (data == 0xAA && Unlock(address, 1)) step_ = step + 1;
      return;
    case 1:
    case 4:
      if (data == 0x55 && Unlock(address, 2)) step_ = step + 1;
      return;
    case 2:
      if (!Unlock(address, 1)) return;
      if (data == 0xA0) {
        mode_ = Mode::kProgramData;
      } else if (data == 0x90) {
        mode_ = Mode::kAutoselect;
      } else if (data == 0x80) {
        step_ = 3;
      } else if (data == 0x20 && part_.bypass && !no_bypass_) {
        bypass_ = true;
        mode_ = Mode::kRead;
      }
      return;
    case 5:
      if (data == 0x10 && Unlock(address, 1)) {
        StartErase(pins, 0, cells_.size(), part_.timing.chip_erase_ns);
      } else if (data == 0x30) {
        const int s = sectors_.Find(CellIndex(address, (high_ & 0x80) != 0));
        StartErase(pins, sectors_.Start(s), sectors_.Size(s), part_.timing.sector_erase_ns);
      } else if (data == 0xA0 && part_.single_pulse && Unlock(address, 1)) {
        single_pulse_ = true;
      } else if (data == 0x20 && part_.protect_mode == ProtectMode::kMxicCommand &&
                 Unlock(address, 1)) {
        guard_ = Guard::kMxicArmed;
      }
      return;
    default:
      return;
  }
}

bool JedecFlash::Unlock(uint32_t address, int which) const {
  uint32_t want = which == 1 ? part_.unlock1 : part_.unlock2;
  uint32_t mask = part_.unlock_mask;
  if (word() && byte_strap_) {
    // In byte mode the part compares A-1 too: word 0x555 is byte 0xAAA,
    // word 0x2AA byte 0x555.
    want = (want << 1) | (which == 2 ? 1 : 0);
    mask = (mask << 1) | 1;
    address = (address << 1) | ((high_ >> 7) & 1);
  }
  return ((address ^ want) & mask) == 0;
}

bool JedecFlash::Unlocked(int sector) const {
  if (protect_[static_cast<size_t>(sector)] == 0) return true;
  // Temporary unprotect: 12 V on #RESET lifts protection while it stays.
  return part_.vpp_pin == VppPinUse::kReset && bus_.vpp();
}

void JedecFlash::Reset() {
  guard_ = Guard::kNone;
  mode_ = Mode::kRead;
  step_ = 0;
  bypass_exit_next_ = false;
}

// --- embedded operations ---------------------------------------------------------

void JedecFlash::StartProgram(const Pins& pins, uint32_t index, uint8_t data) {
  const int64_t now = pins.time_ns;
  ++programs_;
  op_ = Op::kProgram;
  toggles_ = 0;
  status_data_ = data;
  page_index_.clear();
  page_data_.clear();
  fails_ = false;
  limit_ns_ = kNever;
  if (!Unlocked(sectors_.Find(index))) {
    // A protected sector: busy for a moment, nothing written.
    done_ns_ = now + part_.timing.protected_busy_ns;
    return;
  }
  page_index_.push_back(index);
  page_data_.push_back(data);
  bool programs = cells_.Programs(index, data);
  int64_t time = slow_.Scale(index, part_.timing.program_ns);
  if (word() && !byte_strap_) {
    // The whole word: D15..D8 from the adapter's latch.
    page_index_.push_back(index + 1);
    page_data_.push_back(high_);
    programs = programs && cells_.Programs(index + 1, high_);
    time = std::max(time, slow_.Scale(index + 1, part_.timing.program_ns));
  }
  done_ns_ = now + time;
  if (!programs && part_.dq5) {
    fails_ = true;
    done_ns_ = kNever;
    limit_ns_ = now + part_.timing.program_limit_ns;
  }
}

void JedecFlash::StartPage(int64_t start) {
  ++programs_;
  op_ = Op::kProgram;
  fails_ = false;
  limit_ns_ = kNever;
  int64_t time = part_.timing.program_ns;
  std::vector<uint32_t> index;
  std::vector<uint8_t> data;
  for (size_t i = 0; i < page_index_.size(); ++i) {
    if (!Unlocked(sectors_.Find(page_index_[i]))) continue;
    index.push_back(page_index_[i]);
    data.push_back(page_data_[i]);
    time = std::max(time, slow_.Scale(page_index_[i], part_.timing.program_ns));
    if (!cells_.Programs(page_index_[i], page_data_[i]) && part_.dq5) fails_ = true;
  }
  page_index_ = std::move(index);
  page_data_ = std::move(data);
  done_ns_ = start + time;
  if (fails_) {
    done_ns_ = kNever;
    limit_ns_ = start + part_.timing.program_limit_ns;
  }
}

void JedecFlash::StartErase(const Pins& pins, uint32_t first, uint32_t count, int64_t typical) {
  const int64_t now = pins.time_ns;
  ++erases_;
  op_ = Op::kErase;
  toggles_ = 0;
  status_data_ = 0xFF;
  first_ = first;
  count_ = count;
  fails_ = false;
  limit_ns_ = kNever;
  bool any = false;
  for (int s = sectors_.Find(first); s < sectors_.count() && sectors_.Start(s) < first + count;
       ++s) {
    if (!Unlocked(s)) continue;
    any = true;
    if (!cells_.Erases(sectors_.Start(s), sectors_.Size(s)) && part_.dq5) fails_ = true;
  }
  if (!any) {
    // Every sector protected: the part gives up after a moment.
    count_ = 0;
    done_ns_ = now + 100 * kUs;
    return;
  }
  done_ns_ = now + slow_.ScaleRange(first, count, typical);
  if (busy_forever_) {
    done_ns_ = kNever;
  } else if (fails_) {
    done_ns_ = kNever;
    limit_ns_ = now + part_.timing.erase_limit_ns;
  }
}

void JedecFlash::Settle(int64_t now) {
  if (op_ == Op::kPageLoad && now >= page_deadline_ns_) StartPage(page_deadline_ns_);
  if (op_ == Op::kNone || op_ == Op::kPageLoad || now < done_ns_) return;
  if (op_ == Op::kProgram) {
    for (size_t i = 0; i < page_index_.size(); ++i) cells_.Program(page_index_[i], page_data_[i]);
  } else if (op_ == Op::kProtect) {
    ApplyPulse();
  } else if (count_ != 0) {
    for (int s = sectors_.Find(first_); s < sectors_.count() && sectors_.Start(s) < first_ + count_;
         ++s) {
      if (Unlocked(s)) cells_.Erase(sectors_.Start(s), sectors_.Size(s));
    }
  }
  op_ = Op::kNone;
}

// --- reads ----------------------------------------------------------------------------

uint8_t JedecFlash::Status(int64_t now) const {
  uint8_t s = static_cast<uint8_t>((toggles_ & 1u) << 6);  // DQ6 toggles
  if (op_ == Op::kErase) {
    s |= 0x08;  // DQ3: the erase has begun; DQ7 reads 0
  } else {
    s |= static_cast<uint8_t>(~status_data_ & 0x80);  // DQ7: the data's complement
  }
  if (part_.dq5 && fails_ && now >= limit_ns_) s |= 0x20;
  return s;
}

uint8_t JedecFlash::Autoselect(uint32_t index) const {
  const bool byte_mode = part_.width == BusWidth::kByteMode;
  const uint32_t unit = byte_mode ? index >> 1 : index;  // the part's own word (or byte) address
  const bool high = byte_mode && (index & 1) != 0;
  const uint16_t value = AutoselectWord(unit, index);
  return static_cast<uint8_t>(high ? value >> 8 : value & 0xFF);
}

uint16_t JedecFlash::AutoselectWord(uint32_t unit, uint32_t index) const {
  const bool bank2 = (unit & 0x100) != 0;
  uint16_t value = 0;
  switch (unit & 0x3) {
    case 0:
      value = part_.manufacturer;
      if (!bank2 && part_.bank != IdBank::kPlain) value = 0x7F;
      break;
    case 1:
      value = part_.device;
      if (!bank2 && part_.bank == IdBank::kContinuation) value = 0x7F;
      break;
    case 2: {
      const bool locked = Protected(sectors_.Find(index));
      if (part_.lockout) {
        value = locked ? 0xFF : 0xFE;
      } else {
        value = locked ? 0x01 : 0x00;
      }
      break;
    }
    default:
      break;
  }
  return value;
}

uint8_t JedecFlash::CfiByte(uint32_t index) const {
  uint32_t offset = index & 0xFF;
  if (part_.width == BusWidth::kByteMode) {
    if ((index & 1) != 0) return 0x00;
    offset = (index >> 1) & 0xFF;
  }
  if (offset < 0x10 || offset - 0x10 >= part_.cfi.size()) return 0x00;
  return part_.cfi[offset - 0x10];
}

// --- faults and state ---------------------------------------------------------------------

bool JedecFlash::InjectFault(const ChipFault& fault) {
  const uint32_t index = cells_.Index(fault.address);
  if (fault.kind == "stuck") return cells_.AddStuck(fault.address, fault.arg1, fault.arg2);
  if (fault.kind == "protect") {
    Protect(sectors_.Find(index), true);
    return true;
  }
  if (fault.kind == "refuse-protect") {
    refuse_[static_cast<size_t>(sectors_.Find(index))] = 1;
    return true;
  }
  if (fault.kind == "slow") {
    slow_.Add(index, fault.arg1);
    return true;
  }
  if (fault.kind == "busy-forever") {
    busy_forever_ = true;
    return true;
  }
  if (fault.kind == "nobypass") {
    no_bypass_ = true;
    return true;
  }
  if (fault.kind == "byte-strap") {
    if (!word()) return false;
    byte_strap_ = true;
    return true;
  }
  return false;
}

std::vector<StateSection> JedecFlash::State() const {
  return {{std::string(kProtectSection), protect_}};
}

bool JedecFlash::SetState(const StateSection& section) {
  if (section.name != kProtectSection || section.bytes.size() != protect_.size()) return false;
  protect_ = section.bytes;
  return true;
}

}  // namespace sim
