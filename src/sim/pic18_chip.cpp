#include "sim/pic18_chip.h"

#include <cstdio>
#include <string>

namespace sim {
namespace {

constexpr uint32_t kIdBase = 0x200000;
constexpr uint32_t kConfigBase = 0x300000;
constexpr uint32_t kEraseLow = 0x3C0004;
constexpr uint32_t kEraseHigh = 0x3C0005;
constexpr uint32_t kPanelSelect = 0x3C0006;
constexpr uint32_t kDeviceIdBase = 0x3FFFFE;
constexpr uint32_t kPanelBytes = 8192;
constexpr uint32_t kPointerMask = 0x3FFFFF;

// EECON1 bits.
constexpr int kRd = 0, kWr = 1, kWren = 2, kFree = 4, kCfgs = 6, kEepgd = 7;

// Access-bank registers the programming sequences use.
constexpr uint8_t kTblptrU = 0xF8, kTblptrH = 0xF7, kTblptrL = 0xF6, kTablat = 0xF5;
constexpr uint8_t kEeadrh = 0xAA, kEeadr = 0xA9, kEedata = 0xA8, kEecon2 = 0xA7, kEecon1 = 0xA6;

bool IsRead(int c) { return c == 0x2 || (c >= 0x8 && c <= 0xB); }

std::string Hex(const char* format, unsigned value) {
  char text[80];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

Pic18Chip::Pic18Chip(const Pic18Part& part)
    : SerialChip(kPicIcspWiring),
      part_(part),
      code_(part.code_bytes, 0xFF),
      eeprom_(part.eeprom_bytes, 0xFF) {
  ids_.fill(0xFF);
  config_ = part.config_mask;
}

// --- lines ------------------------------------------------------------------

void Pic18Chip::OnPowerOn(int64_t) {
  if (lines().aux) Log("VPP without VDD");
}

void Pic18Chip::OnPowerOff(int64_t) {
  in_mode_ = false;
  driving_ = false;
}

void Pic18Chip::Reset() {
  bits_ = 0;
  operand_ = 0;
  command_ = 0;
  driving_ = false;
  tblptr_ = 0;
  eecon1_ = 1 << kEepgd | 1 << kCfgs;  // 'x' after power-on: the worst case
  unlock_ = 0;
  goto_second_ = false;
  multi_panel_ = false;
  erase_written_ = erase_armed_ = row_erase_armed_ = program_armed_ = false;
  buffer_.clear();
  config_latch_.reset();
}

void Pic18Chip::OnLines(const SerialLines& now, const SerialLines& was) {
  const int64_t t = now.time_ns;
  if (!in_mode_ && now.aux && (!was.aux || !was.power)) {
    if (was.power && (now.clock || now.data)) {
      Log("VPP raised with PGC or PGD high");
      return;
    }
    if (was.power && RunsWithoutMclr()) {
      Log("VDD-first entry while the part runs from its internal oscillator with MCLR off");
      return;
    }
    in_mode_ = true;
    first_clock_ = true;
    entered_ns_ = t;
    Reset();
    return;
  }
  if (in_mode_ && !now.aux) {
    in_mode_ = false;
    driving_ = false;
    return;
  }
  const bool rose = now.clock && !was.clock;
  const bool fell = !now.clock && was.clock;
  if (!in_mode_) {
    if (rose) Log("PGC clocked outside programming mode");
    return;
  }
  if (rose) {
    if (first_clock_ && t - entered_ns_ < part_.p12_ns) {
      Log("PGC sooner than P12 after entering programming");
    }
    first_clock_ = false;
    rose_ns_ = t;
    if (bits_ == 4) Pause(t - fourth_fell_ns_);
    if (IsRead(command_) && bits_ >= 12) {
      out_level_ = ((out_ >> (bits_ - 12)) & 1) != 0;
      driving_ = true;
    }
  }
  if (!fell) return;
  if (bits_ < 4) {
    command_ |= static_cast<int>(now.data) << bits_;
  } else {
    operand_ |= static_cast<uint32_t>(now.data) << (bits_ - 4);
  }
  if (++bits_ == 4) {
    fourth_fell_ns_ = t;
    FourthClock(t - rose_ns_, t);
  }
  if (bits_ < 20) return;
  driving_ = false;
  Execute(static_cast<uint16_t>(operand_));
  bits_ = 0;
  command_ = 0;
  operand_ = 0;
}

std::optional<bool> Pic18Chip::Output(int64_t) const {
  if (!driving_) return std::nullopt;
  return out_level_;
}

// The fourth clock of a command: a pending start-programming runs while
// it is held high; a table read fetches its byte.
void Pic18Chip::FourthClock(int64_t held_ns, int64_t t) {
  if (program_armed_) {
    program_armed_ = false;
    if (held_ns < part_.p9_ns * p9_scale_) {
      if (held_ns < part_.p9_ns) Log("programming hold shorter than P9");
      buffer_.clear();
      config_latch_.reset();
    } else {
      Commit();
    }
  }
  (void)t;
  switch (command_) {
    case 0x2:
      out_ = tablat_;
      return;
    case 0x8:
    case 0x9:
      out_ = tablat_ = TableRead(tblptr_);
      if (command_ == 0x9) tblptr_ = (tblptr_ + 1) & kPointerMask;
      return;
    case 0xA:
      out_ = tablat_ = TableRead(tblptr_);
      tblptr_ = (tblptr_ - 1) & kPointerMask;
      return;
    case 0xB:
      tblptr_ = (tblptr_ + 1) & kPointerMask;
      out_ = tablat_ = TableRead(tblptr_);
      return;
    default:
      return;
  }
}

// The PGC-low pause after the fourth clock: where erases run.
void Pic18Chip::Pause(int64_t pause_ns) {
  if (erase_armed_) {
    erase_armed_ = false;
    if (pause_ns < part_.p11_ns) {
      Log("bulk erase pause shorter than P11");
    } else {
      BulkErase();
    }
  }
  if (row_erase_armed_) {
    row_erase_armed_ = false;
    if (pause_ns < part_.p10_ns) {
      Log("row erase pause shorter than P10");
    } else if ((eecon1_ >> kCfgs & 1) == 0 && !code_protected()) {
      const uint32_t row = tblptr_ & ~63u;
      for (uint32_t k = 0; k < 64 && row + k < code_.size(); ++k) code_[row + k] = 0xFF;
    }
  }
}

void Pic18Chip::Execute(uint16_t operand) {
  switch (command_) {
    case 0x0:
      Core(operand, lines().time_ns);
      return;
    case 0x2:
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB:
      return;
    case 0xC:
    case 0xD:
    case 0xE:
    case 0xF:
      TableWrite(tblptr_, operand);
      if (command_ == 0xD) tblptr_ = (tblptr_ + 2) & kPointerMask;
      if (command_ == 0xE) tblptr_ = (tblptr_ - 2) & kPointerMask;
      if (command_ == 0xF) program_armed_ = true;
      return;
    default:
      Log(Hex("unknown command 0x%X", static_cast<unsigned>(command_)));
  }
}

// --- core instructions --------------------------------------------------------

void Pic18Chip::Core(uint16_t ins, int64_t t) {
  const uint8_t f = static_cast<uint8_t>(ins);
  core_trace_.push_back(ins);
  const bool was_erase_write = erase_written_;
  erase_written_ = false;
  if (goto_second_) {  // the second word of a GOTO
    goto_second_ = false;
    if ((ins & 0xF000) == 0xF000) return;
  }
  if (ins == 0x0000) {
    erase_armed_ = erase_armed_ || was_erase_write;
    return;
  }
  if ((ins & 0xFF00) == 0x0E00) {  // MOVLW
    w_ = f;
    return;
  }
  if ((ins & 0xFF00) == 0xEF00) {  // GOTO, first word
    goto_second_ = true;
    return;
  }
  if ((ins & 0xFF00) == 0x6E00) {  // MOVWF f (access bank)
    switch (f) {
      case kTblptrU:
        tblptr_ = (tblptr_ & 0x00FFFF) | uint32_t{w_ & 0x3Fu} << 16;
        return;
      case kTblptrH:
        tblptr_ = (tblptr_ & 0x3F00FF) | uint32_t{w_} << 8;
        return;
      case kTblptrL:
        tblptr_ = (tblptr_ & 0x3FFF00) | w_;
        return;
      case kTablat:
        tablat_ = w_;
        return;
      case kEeadr:
        eeadr_ = w_;
        return;
      case kEeadrh:
        eeadrh_ = w_;
        return;
      case kEedata:
        eedata_ = w_;
        return;
      case kEecon2:
        unlock_ = (w_ == 0x55) ? 1 : (w_ == 0xAA && unlock_ == 1) ? 2 : 0;
        return;
      default:
        break;
    }
  } else if (ins == 0x50A8) {  // MOVF EEDATA,W
    w_ = eedata_;
    return;
  } else if (ins == 0x50A6) {  // MOVF EECON1,W
    w_ = static_cast<uint8_t>(WrBusy(t) ? eecon1_ | 1 << kWr : eecon1_ & ~(1 << kWr));
    return;
  } else if (ins == 0x2AF6) {  // INCF TBLPTRL,F: the low byte alone
    tblptr_ = (tblptr_ & 0x3FFF00) | ((tblptr_ + 1) & 0xFF);
    return;
  } else if ((ins & 0xE0FF) == 0x80A6) {  // BSF/BCF EECON1,b
    SetBit((ins >> 9) & 7, (ins & 0x1000) == 0, t);
    return;
  }
  Log(Hex("core instruction 0x%04X not modelled", ins));
}

void Pic18Chip::SetBit(int bit, bool on, int64_t t) {
  if (bit == kWr && on) {
    const bool unlocked = unlock_ == 2 && (eecon1_ >> kWren & 1) != 0;
    unlock_ = 0;
    if (!unlocked) {
      Log("WR without WREN and 55/AA");
      return;
    }
    if ((eecon1_ >> kEepgd & 1) != 0) {
      if ((eecon1_ >> kFree & 1) != 0) row_erase_armed_ = true;
      return;
    }
    if (WrBusy(t)) return;
    const uint32_t a = (uint32_t{eeadrh_} << 8 | eeadr_);
    if (a < eeprom_.size()) eeprom_[a] = eedata_;
    wr_until_ns_ = t + part_.eeprom_write_ns;
    return;
  }
  if (bit == kRd && on) {
    if ((eecon1_ & (1 << kEepgd | 1 << kCfgs)) != 0) {
      Log("RD with EEPGD or CFGS set");
      return;
    }
    const uint32_t a = (uint32_t{eeadrh_} << 8 | eeadr_);
    eedata_ = a < eeprom_.size() ? eeprom_[a] : 0;
    return;
  }
  if (bit == kWr || bit == kRd) return;  // cleared by the hardware only
  eecon1_ = static_cast<uint8_t>(on ? eecon1_ | 1 << bit : eecon1_ & ~(1 << bit));
}

// --- table reads and writes -----------------------------------------------------

uint8_t Pic18Chip::TableRead(uint32_t a) {
  ++table_reads_;
  if (a < code_.size()) return code_protected() ? 0x00 : code_[a];
  if (a >= kIdBase && a < kIdBase + ids_.size()) return ids_[a - kIdBase];
  if (a >= kConfigBase && a < kConfigBase + config_.size()) return config_[a - kConfigBase];
  if (a == kDeviceIdBase) return static_cast<uint8_t>(part_.device_id);
  if (a == kDeviceIdBase + 1) return static_cast<uint8_t>(part_.device_id >> 8);
  Log(Hex("table read at 0x%06X outside every area", a), a);
  return 0xFF;
}

void Pic18Chip::TableWrite(uint32_t a, uint16_t operand) {
  // An even address takes the operand's low byte, an odd one its high byte.
  const auto byte = static_cast<uint8_t>((a & 1) != 0 ? operand >> 8 : operand);
  if (a == kEraseLow || a == kEraseHigh) {
    erase_regs_[a - kEraseLow] = byte;
    erase_written_ = a == kEraseLow;
    return;
  }
  if (a == kPanelSelect) {
    multi_panel_ = (byte & 0x40) != 0;
    return;
  }
  if (a >= kConfigBase && a < kConfigBase + config_.size()) {
    config_latch_ = {a - kConfigBase, byte};
    return;
  }
  const bool id = a >= kIdBase && a < kIdBase + ids_.size();
  if (a >= code_.size() && !id) {
    Log(Hex("table write at 0x%06X outside every area", a), a);
    return;
  }
  const uint32_t word = a & ~1u;
  buffer_[word] = static_cast<uint8_t>(operand);
  buffer_[word + 1] = static_cast<uint8_t>(operand >> 8);
}

void Pic18Chip::Commit() {
  const bool cfgs = (eecon1_ >> kCfgs & 1) != 0;
  if (config_latch_) {
    if (!cfgs) {
      Log("configuration write with CFGS clear");
    } else {
      const auto [k, value] = *config_latch_;
      config_[k] = static_cast<uint8_t>(config_[k] & value & part_.config_mask[k]);
    }
    config_latch_.reset();
  }
  if (buffer_.empty()) return;
  if (cfgs || (eecon1_ >> kEepgd & 1) == 0) {
    Log("program write with EEPGD clear or CFGS set");
    buffer_.clear();
    return;
  }
  // One row of the write buffer (one 8-byte row per panel in multi-panel
  // mode): bytes outside it would land elsewhere on the part.
  const uint32_t row_bytes = multi_panel_ ? 8 : part_.write_buffer;
  std::map<uint32_t, uint32_t> rows;  // panel -> row
  for (const auto& [a, value] : buffer_) {
    const uint32_t panel = multi_panel_ && a < kIdBase ? a / kPanelBytes : 0;
    const auto [it, fresh] = rows.emplace(panel, a / row_bytes);
    if (!fresh && it->second != a / row_bytes) Log("table writes span two rows of one buffer", a);
    ProgramByte(a, value);
  }
  buffer_.clear();
}

void Pic18Chip::ProgramByte(uint32_t a, uint8_t value) {
  if (a >= kIdBase) {
    ids_[a - kIdBase] &= value;
    return;
  }
  if (code_protected() || never_.count(a) != 0 || slow_.erase(a) != 0) return;
  code_[a] &= value;
}

void Pic18Chip::BulkErase() {
  const bool low_ok = erase_regs_[0] == part_.erase_low;
  const bool high_ok = part_.erase_high < 0 || erase_regs_[1] == part_.erase_high;
  if (!low_ok || !high_ok) {
    const unsigned code =
        part_.erase_high < 0 ? erase_regs_[0] : erase_regs_[1] << 8 | erase_regs_[0];
    Log(Hex("bulk erase code 0x%04X is no chip erase", code));
    return;
  }
  ++bulk_erases_;
  code_.assign(code_.size(), 0xFF);
  eeprom_.assign(eeprom_.size(), 0xFF);
  ids_.fill(0xFF);
  config_ = part_.config_mask;
}

// --- faults and state ---------------------------------------------------------------

bool Pic18Chip::InjectModelFault(const ChipFault& fault) {
  if (fault.kind == "cp") {
    config_[kCpByte] = static_cast<uint8_t>(config_[kCpByte] & ~0x0F);
    return true;
  }
  if (fault.kind == "eeprom-wr-stuck") {
    wr_stuck_ = true;
    return true;
  }
  if (fault.kind == "mclre-off") {
    if ((part_.config_mask[5] & 0x80) == 0 || (part_.config_mask[1] & 0x08) == 0) return false;
    config_[5] = static_cast<uint8_t>(config_[5] & ~0x80);
    config_[1] = static_cast<uint8_t>((config_[1] & ~0x0F) | 0x08);
    return true;
  }
  if (fault.kind == "short-p9") {
    p9_scale_ = 10;
    return true;
  }
  if (fault.address >= code_.size()) return false;
  if (fault.kind == "slow-word") {
    slow_.insert(fault.address);
    return true;
  }
  if (fault.kind == "never") {
    never_.insert(fault.address);
    return true;
  }
  return false;
}

std::vector<uint8_t> Pic18Chip::Contents() const {
  std::vector<uint8_t> out(code_);
  out.insert(out.end(), ids_.begin(), ids_.end());
  out.insert(out.end(), config_.begin(), config_.end());
  out.insert(out.end(), eeprom_.begin(), eeprom_.end());
  return out;
}

void Pic18Chip::SetContents(const std::vector<uint8_t>& bytes) {
  size_t i = 0;
  const auto next = [&](uint8_t& cell) {
    if (i < bytes.size()) cell = bytes[i++];
  };
  for (uint8_t& b : code_) next(b);
  for (uint8_t& b : ids_) next(b);
  for (size_t k = 0; k < config_.size(); ++k) {
    next(config_[k]);
    config_[k] &= part_.config_mask[k];
  }
  for (uint8_t& b : eeprom_) next(b);
}

}  // namespace sim
