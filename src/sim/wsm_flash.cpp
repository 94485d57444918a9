#include "sim/wsm_flash.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint8_t kSr5 = 0x20, kSr4 = 0x10, kSr3 = 0x08, kSr1 = 0x02;
constexpr uint8_t kSticky = kSr5 | kSr4 | kSr3 | kSr1;
// A refused operation (Vpp low, a locked block) ends after a moment.
constexpr int64_t kRefusedNs = 2 * kUs;

}  // namespace

WsmFlash::WsmFlash(const WsmPart& part)
    : part_(part),
      cells_(part.size),
      blocks_(part.blocks, cells_.size()),
      locks_(static_cast<size_t>(blocks_.count()), 0),
      lockdown_(static_cast<size_t>(blocks_.count()), 0),
      held_down_(lockdown_) {}

void WsmFlash::Update(const Pins& pins) {
  FlashEdges e;
  if (!bus_.Decode(pins, e)) return;
  if (e.power_off) {
    Settle(pins.time_ns);
    op_ = Op::kNone;
    read_ = Read::kArray;
    next_ = Next::kCommand;
    sr_ = 0;
    return;
  }
  if (!bus_.power()) return;
  if (e.power_on && part_.volatile_locks) {
    // C3: every block comes out of power-up locked, none locked down.
    std::fill(locks_.begin(), locks_.end(), 1);
    lockdown_ = held_down_;
  }
  if ((e.vpp_on || (e.power_on && bus_.vpp())) && part_.vpp == WsmVpp::kEnablePin) {
    Violation("12 V on a logic-level pin", pins.time_ns, pins.address);
  }
  Settle(pins.time_ns);
  if (e.commit_oe_low) Violation("commit with OE# low", pins.time_ns, bus_.write_address());
  if (!e.commit) return;
  if (const char* why = bus_.CheckWrite(pins, part_.timing.write)) {
    Violation(why, pins.time_ns, bus_.write_address());
  }
  if (!bus_.WithinPowerUp(pins, part_.timing.write)) {
    high_ = pins.data_high;
    OnWrite(pins, bus_.write_address(), pins.data);
  }
}

bool WsmFlash::VppLow() const {
  // Word parts have no 12 V from the adapter: a missing supply is the fault.
  return (part_.vpp == WsmVpp::k12V && !VppHigh()) || (word() && vpp_missing_);
}

uint8_t WsmFlash::Refusal(int block, uint8_t op_error) const {
  uint8_t bits = 0;
  if (VppLow()) bits |= kSr3 | op_error;
  if (part_.lock_bits && Locked(block)) bits |= kSr1 | op_error;
  if (part_.boot != BootLock::kNone) {
    const int boot = part_.boot == BootLock::kTop ? blocks_.count() - 1 : 0;
    // RP# reaches 12 V only through the hand-fitted wire from the Vpp pin.
    if (block == boot && !(Jumper("wirelink") && VppHigh())) bits |= op_error;
  }
  return bits;
}

void WsmFlash::OnWrite(const Pins& pins, uint32_t address, uint8_t data) {
  const int64_t now = pins.time_ns;
  if (op_ != Op::kNone) {
    // Read status register may be written at any time; nothing else.
    if (data == 0x70 && next_ == Next::kCommand) {
      read_ = Read::kStatus;
    } else {
      Violation("write while busy", now, address);
    }
    return;
  }
  const uint32_t index = CellIndex(address);
  const int block = blocks_.Find(index);
  const Next next = next_;
  next_ = Next::kCommand;
  switch (next) {
    case Next::kProgram: {
      read_ = Read::kStatus;
      ++programs_;
      const uint8_t refused = Refusal(block, kSr4);
      uint8_t fail = refused;
      index_.assign(1, index);
      data_.assign(1, data);
      if (word()) {
        index_.push_back(index + 1);
        data_.push_back(high_);
      }
      if (refused != 0) {
        index_.clear();  // refused outright: nothing is written
      } else if (sr4_once_.erase(index) != 0) {
        fail = kSr4;
        index_.clear();  // this attempt does not take
      } else {
        for (size_t i = 0; i < index_.size(); ++i) {
          if (!cells_.Programs(index_[i], data_[i])) fail = kSr4;
        }
      }
      Start(Op::kProgram, now, slow_.Scale(index, part_.timing.program_ns), fail);
      return;
    }
    case Next::kErase: {
      read_ = Read::kStatus;
      if (data != 0xD0) {
        sr_ |= kSr5 | kSr4;  // command sequence error
        return;
      }
      ++erases_;
      uint8_t fail = Refusal(block, kSr5);
      if (erase_fail_.count(block) != 0) fail |= kSr5;
      block_ = block;
      const int64_t time =
          busy_forever_
              ? kNever
              : slow_.ScaleRange(blocks_.Start(block), blocks_.Size(block), part_.timing.erase_ns);
      Start(Op::kErase, now, time, fail);
      return;
    }
    case Next::kLock:
      read_ = Read::kStatus;
      if (part_.volatile_locks) {
        LockCommand(block, data, now);
        return;
      }
      // Lock-bit configuration needs the program voltage as much as a write.
      if ((data == 0xD0 || data == 0x01) && VppLow()) {
        sr_ |= kSr3 | (data == 0xD0 ? kSr5 : kSr4);
        return;
      }
      if (data == 0xD0) {
        ++lock_clears_;
        Start(
            Op::kLockClear, now,
            slow_.ScaleRange(blocks_.Start(block), blocks_.Size(block), part_.timing.lock_clear_ns),
            0);
      } else if (data == 0x01) {
        block_ = block;
        Start(Op::kLockSet, now, part_.timing.lock_set_ns, 0);
      } else {
        sr_ |= kSr5 | kSr4;
      }
      return;
    case Next::kQuad:
      // Four bytes of one group aligned to 4: addresses differ in A1..A0.
      if (!quad_index_.empty() && index / 4 != quad_index_.front() / 4) buffer_bad_ = true;
      quad_index_.push_back(index);
      quad_data_.push_back(data);
      if (quad_index_.size() < 4) {
        next_ = Next::kQuad;
        return;
      }
      read_ = Read::kStatus;
      if (buffer_bad_) {
        sr_ |= kSr5 | kSr4;
        return;
      }
      {
        ++programs_;
        const uint8_t refused = Refusal(block, kSr4);
        uint8_t fail = refused;
        index_.clear();
        data_.clear();
        for (size_t i = 0; i < quad_index_.size() && refused == 0; ++i) {
          if (!cells_.Programs(quad_index_[i], quad_data_[i])) fail |= kSr4;
          index_.push_back(quad_index_[i]);
          data_.push_back(quad_data_[i]);
        }
        Start(Op::kProgram, now, slow_.Scale(index, part_.timing.program_ns), fail);
      }
      return;
    case Next::kBufferCount: {
      const uint32_t unit = word() ? 2 : 1;
      if (block != buffer_block_ || (uint32_t{data} + 1) * unit > part_.buffer_size) {
        buffer_bad_ = true;
      }
      buffer_left_ = uint32_t{data} + 1;
      buffer_index_.clear();
      buffer_data_.clear();
      next_ = Next::kBufferData;
      return;
    }
    case Next::kBufferData:
      // Every byte of one buffer lies in one aligned group of the block.
      if (block != buffer_block_ ||
          (!buffer_index_.empty() &&
           index / part_.buffer_size != buffer_index_.front() / part_.buffer_size)) {
        buffer_bad_ = true;
      }
      buffer_index_.push_back(index);
      buffer_data_.push_back(data);
      if (word()) {
        buffer_index_.push_back(index + 1);
        buffer_data_.push_back(high_);
      }
      next_ = --buffer_left_ == 0 ? Next::kBufferConfirm : Next::kBufferData;
      return;
    case Next::kBufferConfirm: {
      read_ = Read::kStatus;
      if (data != 0xD0 || buffer_bad_) {
        sr_ |= kSr5 | kSr4;
        return;
      }
      ++buffer_programs_;
      const uint8_t refused = Refusal(buffer_block_, kSr4);
      uint8_t fail = refused;
      index_.clear();
      data_.clear();
      int64_t time = part_.timing.buffer_program_ns;
      for (size_t i = 0; i < buffer_index_.size() && refused == 0; ++i) {
        const uint32_t at = buffer_index_[i];
        time = std::max(time, slow_.Scale(at, part_.timing.buffer_program_ns));
        if (sr4_once_.erase(at) != 0) {
          fail = kSr4;
          continue;
        }
        if (!cells_.Programs(at, buffer_data_[i])) fail |= kSr4;
        index_.push_back(at);
        data_.push_back(buffer_data_[i]);
      }
      Start(Op::kProgram, now, time, fail);
      return;
    }
    case Next::kCommand:
      break;
  }
  switch (data) {
    case 0xFF:
      read_ = Read::kArray;
      break;
    case 0x90:
      read_ = Read::kId;
      break;
    case 0x98:
      if (!part_.cfi.empty()) read_ = Read::kCfi;
      break;
    case 0x70:
      read_ = Read::kStatus;
      break;
    case 0x50:
      sr_ = 0;
      ++status_clears_;
      break;
    case 0x40:
    case 0x10:
      next_ = Next::kProgram;
      break;
    case 0x20:
      next_ = Next::kErase;
      break;
    case 0x60:
      if (part_.lock_bits) next_ = Next::kLock;
      break;
    case 0x30:
      if (part_.quadruple) {
        next_ = Next::kQuad;
        quad_index_.clear();
        quad_data_.clear();
        buffer_bad_ = false;
      }
      break;
    case 0xE8:
      if (part_.buffer_size != 0) {
        next_ = Next::kBufferCount;
        read_ = Read::kExtended;
        buffer_block_ = block;
        buffer_bad_ = false;
      }
      break;
    default:
      break;  // suspend, resume and unknown codes: nothing to do here
  }
}

void WsmFlash::Start(Op op, int64_t now, int64_t time, uint8_t fail_bits) {
  op_ = op;
  fail_bits_ = fail_bits;
  if ((fail_bits & (kSr3 | kSr1)) != 0) time = kRefusedNs;
  done_ns_ = time == kNever ? kNever : now + time;
}

void WsmFlash::Settle(int64_t now) {
  if (op_ == Op::kNone || now < done_ns_) return;
  switch (op_) {
    case Op::kProgram:
      for (size_t i = 0; i < index_.size(); ++i) cells_.Program(index_[i], data_[i]);
      break;
    case Op::kErase:
      if (fail_bits_ == 0) cells_.Erase(blocks_.Start(block_), blocks_.Size(block_));
      break;
    case Op::kLockClear:
      std::fill(locks_.begin(), locks_.end(), 0);
      break;
    case Op::kLockSet:
      Lock(block_, true);
      break;
    case Op::kNone:
      break;
  }
  sr_ |= fail_bits_;
  op_ = Op::kNone;
}

std::optional<uint8_t> WsmFlash::DataOut(const Pins& pins) {
  if (!pins.power() || pins.drive()) return std::nullopt;
  Settle(pins.time_ns);
  if (op_ != Op::kNone) return static_cast<uint8_t>(sr_ & kSticky);  // SR7 = 0: busy
  return static_cast<uint8_t>(ReadValue(pins.address) & 0xFF);
}

std::optional<uint8_t> WsmFlash::HighOut(const Pins& pins) {
  if (!word() || !pins.power() || pins.drive()) return std::nullopt;
  Settle(pins.time_ns);
  if (op_ != Op::kNone) return 0x00;
  return static_cast<uint8_t>(ReadValue(pins.address) >> 8);
}

uint16_t WsmFlash::ReadValue(uint32_t address) const {
  const uint32_t index = CellIndex(address);
  const bool byte_mode = part_.width == BusWidth::kByteMode;
  switch (read_) {
    case Read::kStatus:
      return static_cast<uint8_t>(0x80 | (sr_ & kSticky));
    case Read::kExtended:
      return 0x80;  // a write buffer is free
    case Read::kId: {
      // The part's own word (or byte) address: word parts take the board's.
      const uint32_t unit = word() ? address : byte_mode ? index >> 1 : index;
      uint16_t value = 0;
      switch (unit & 0x3) {
        case 0:
          value = part_.manufacturer;
          break;
        case 1:
          value = part_.device;
          break;
        case 2: {
          const int block = blocks_.Find(index);
          value = part_.lock_bits && Locked(block) ? 1 : 0;
          if (lockdown_[static_cast<size_t>(block)] != 0) value |= 0x02;
          break;
        }
        default:
          break;
      }
      if (word()) return value;
      return static_cast<uint8_t>(byte_mode && (index & 1) != 0 ? value >> 8 : value & 0xFF);
    }
    case Read::kCfi: {
      if (byte_mode && (index & 1) != 0) return 0x00;
      const uint32_t offset = (word() ? address : byte_mode ? index >> 1 : index) & 0xFF;
      if (offset < 0x10 || offset - 0x10 >= part_.cfi.size()) return 0x00;
      return part_.cfi[offset - 0x10];
    }
    case Read::kArray:
      break;
  }
  if (word()) return static_cast<uint16_t>(cells_.Read(index) | cells_.Read(index + 1) << 8);
  return cells_.Read(index);
}

// C3 block locking: immediate, per block, volatile.
void WsmFlash::LockCommand(int block, uint8_t data, int64_t now) {
  (void)now;
  const auto b = static_cast<size_t>(block);
  switch (data) {
    case 0xD0:
      if (lockdown_[b] == 0) Lock(block, false);
      break;
    case 0x01:
      Lock(block, true);
      break;
    case 0x2F:
      Lock(block, true);
      lockdown_[b] = 1;
      break;
    default:
      sr_ |= kSr5 | kSr4;
      break;
  }
}

bool WsmFlash::InjectFault(const ChipFault& fault) {
  // Faults name byte addresses (a word part's high byte at the odd one).
  const uint32_t index = cells_.Index(fault.address);
  if (fault.kind == "locked" && part_.lock_bits) {
    // A block that will not unlock: C3 blocks are held locked down at every
    // power-up (WP# low), other parts get their lock bit set.
    const int block = blocks_.Find(index);
    Lock(block, true);
    if (part_.volatile_locks) held_down_[static_cast<size_t>(block)] = 1;
    return true;
  }
  if (fault.kind == "stuck") return cells_.AddStuck(fault.address, fault.arg1, fault.arg2);
  if (fault.kind == "sr4-once") {
    sr4_once_.insert(index);
    return true;
  }
  if (fault.kind == "erase-fail") {
    erase_fail_.insert(blocks_.Find(index));
    return true;
  }
  if (fault.kind == "protect") {
    if (!part_.lock_bits) return false;
    Lock(blocks_.Find(index), true);
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
  if (fault.kind == "novpp") {
    vpp_missing_ = true;
    return true;
  }
  return false;
}

std::vector<StateSection> WsmFlash::State() const {
  return {{std::string(kProtectSection), locks_}};
}

bool WsmFlash::SetState(const StateSection& section) {
  if (section.name != kProtectSection || section.bytes.size() != locks_.size()) return false;
  locks_ = section.bytes;
  return true;
}

}  // namespace sim
