#include "sim/mcs51_chip.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint32_t kRoute40 = 1u << 20;                // Vpp switch to EA/VPP
constexpr uint32_t kRoute20 = 1u << 18;                // Vpp switch to RST/VPP
constexpr uint32_t kReset20 = 1u << 17;                // control 3 to RST
constexpr uint32_t kXtal20 = (1u << 15) | (1u << 16);  // control 3 to XTAL1

// Where each chip data bit of the 20-pin position meets the port.
constexpr int kPortBitOfChipBit[8] = {7, 6, 0, 5, 1, 4, 2, 3};

// The counter holds no address until RST has cleared it.
constexpr uint32_t kCounterAtPowerOn = 0x5A5;

// A code read of a chip with lock bit 2 programmed.
constexpr uint8_t kLockedRead = 0x00;

constexpr size_t kMaxEvents = 1 << 20;

uint8_t Permute(uint8_t byte, bool to_port, bool mirrored) {
  unsigned out = 0;
  for (int k = 0; k < 8; ++k) {
    const int m = mirrored ? 7 - k : kPortBitOfChipBit[k];
    if (to_port) {
      out |= ((byte >> k) & 1u) << m;
    } else {
      out |= ((byte >> m) & 1u) << k;
    }
  }
  return static_cast<uint8_t>(out);
}

}  // namespace

Mcs51Chip::Mcs51Chip(const Mcs51Part& part, bool new_adapter)
    : part_(part), new_adapter_(new_adapter), cells_(part.code_size + part.data_size, 0xFF) {}

const Mcs51Mode* Mcs51Chip::ModeAt(uint32_t latch) const {
  const uint32_t pins = latch & part_.mode_mask;
  for (const Mcs51Mode& mode : part_.modes) {
    if (mode.pins == pins) return &mode;
  }
  return nullptr;
}

bool Mcs51Chip::VppLine(const Pins& pins) const {
  const uint32_t route = part_.socket == Mcs51Socket::k40Pin ? kRoute40 : kRoute20;
  return !pins.strobe() && (pins.address & route) != 0;
}

uint8_t Mcs51Chip::Wire(uint8_t chip_byte) const {
  if (part_.socket == Mcs51Socket::k40Pin) return chip_byte;
  return Permute(chip_byte, true, new_adapter_);
}

uint8_t Mcs51Chip::Unwire(uint8_t port_byte) const {
  if (part_.socket == Mcs51Socket::k40Pin) return port_byte;
  return Permute(port_byte, false, new_adapter_);
}

int64_t Mcs51Chip::CodeIndex(uint32_t latch) const {
  if (part_.socket == Mcs51Socket::k20Pin) return counter_;
  // A14 is there only on the parts above 16 KB; the AT89S8253 uses its
  // latch bit as a mode pin.
  uint32_t mask = 1;
  while (mask < part_.code_size) mask <<= 1;
  mask = std::min<uint32_t>(mask, part_.code_size > 0x4000 ? 0x8000 : 0x4000) - 1;
  const uint32_t index = latch & mask;
  return index < part_.code_size ? index : -1;
}

int64_t Mcs51Chip::DataIndex(uint32_t latch) const {
  if (part_.data_size == 0) return -1;
  return part_.code_size + (latch & (part_.data_size - 1));
}

uint8_t Mcs51Chip::Output(Mcs51Output output, uint32_t latch) const {
  switch (output) {
    case Mcs51Output::kCode:
    case Mcs51Output::kData: {
      const int64_t index = output == Mcs51Output::kCode ? CodeIndex(latch) : DataIndex(latch);
      if (index < 0) return 0xFF;
      return (locks_ & 2) != 0 ? kLockedRead : cells_[static_cast<size_t>(index)];
    }
    case Mcs51Output::kSignature: {
      const uint32_t address = part_.socket == Mcs51Socket::k20Pin ? counter_ : latch & 0x3FFF;
      for (const Mcs51SignatureByte& s : part_.signature) {
        if (s.address == address) return s.value;
      }
      return 0xFF;
    }
    case Mcs51Output::kLocks: {
      const int lb1 = locks_ & 1, lb2 = (locks_ >> 1) & 1, lb3 = (locks_ >> 2) & 1;
      switch (part_.lock_layout) {
        case LockLayout::kD234:
          return static_cast<uint8_t>(lb1 << 2 | lb2 << 3 | lb3 << 4);
        case LockLayout::kD210:
          return static_cast<uint8_t>(lb1 << 2 | lb2 << 1 | lb3);
        case LockLayout::kByteLow:
          return static_cast<uint8_t>(~locks_ & 0xFF) | 0xF8;
        case LockLayout::kNone:
          break;
      }
      return 0xFF;
    }
    case Mcs51Output::kNone:
      break;
  }
  return 0xFF;
}

void Mcs51Chip::Update(const Pins& pins) {
  const int64_t now = pins.time_ns;
  const Mcs51Timing& t = *part_.timing;
  const bool power = pins.power();
  const bool line = VppLine(pins);
  const bool vpp = power && line;
  const bool prog = power && pins.program();
  if (!seen_) {
    seen_ = true;
    power_ = power;
    vpp_ = vpp;
    prog_ = prog;
    strobe_line_ = pins.strobe();
    drive_ = pins.drive();
    data_ = pins.data;
    return;
  }
  if (line && !power) Log(pins, "12 V on EA/VPP with the socket unpowered");
  if (power && !power_) {
    counter_ = kCounterAtPowerOn % part_.code_size;
    // The 40-pin adapter holds RST and PSEN for programming mode whenever
    // the socket is powered; the 20-pin part enters it with its RST pulse.
    programming_ = part_.socket == Mcs51Socket::k40Pin;
  }
  if (!power && power_) {
    page_.clear();
    programming_ = false;
  }
  if (vpp != vpp_) {
    if (vpp) {
      vpp_since_ns_ = now;
    } else if (last_prog_end_ns_ >= 0 && now - last_prog_end_ns_ < t.vpp_hold_ns) {
      Log(pins, "12 V removed sooner than tGHSL after PROG");
    }
  }
  if (pins.drive() != drive_) drive_since_ns_ = now;
  // The board's read path takes the bus on the falling edge of data bit 2
  // with data bit 1 set: a read of the part.
  const bool load = (data_ & 0x04) != 0 && (pins.data & 0x06) == 0x02;
  if (power && load && !pins.drive() && written_at_ns_ >= 0 &&
      now - written_at_ns_ < t.write_max_ns) {
    const Mcs51Mode* mode = ModeAt(pins.address);
    if (mode != nullptr &&
        (mode->output == Mcs51Output::kCode || mode->output == Mcs51Output::kData)) {
      Log(pins, "byte read sooner than tWC after its write");
    }
  }
  if (power && pins.strobe() && !strobe_line_) Commit(now);
  if (prog && !prog_) {
    StartStrobe(pins);
  } else if (!prog && prog_) {
    EndStrobe(pins);
  }
  power_ = power;
  vpp_ = vpp;
  prog_ = prog;
  strobe_line_ = pins.strobe();
  drive_ = pins.drive();
  data_ = pins.data;
}

void Mcs51Chip::StartStrobe(const Pins& pins) {
  strobe_start_ns_ = pins.time_ns;
  strobe_latch_ = pins.address;
  strobe_vpp_ = VppLine(pins);
  strobe_kind_ = StrobeKind::kProg;
  if (part_.socket == Mcs51Socket::k20Pin) {
    if ((pins.address & kReset20) != 0) {
      strobe_kind_ = StrobeKind::kReset;
      counter_ = 0;  // RST rising clears the address counter
      programming_ = true;
    } else if ((pins.address & kXtal20) == kXtal20) {
      strobe_kind_ = StrobeKind::kIncrement;
      counter_ = (counter_ + 1) % part_.code_size;  // as wide as the part
    }
  }
  strobe_data_ = pins.drive() ? Unwire(pins.data) : 0xFF;
  const int64_t data_since = std::max(pins.data_since_ns, drive_since_ns_);
  strobe_data_settled_ = pins.time_ns - data_since >= part_.timing->data_setup_ns;
}

void Mcs51Chip::EndStrobe(const Pins& pins) {
  const int64_t width = pins.time_ns - strobe_start_ns_;
  if (record_ && events_.size() < kMaxEvents) {
    events_.push_back({strobe_start_ns_, width, strobe_kind_, strobe_latch_, strobe_data_, counter_,
                       strobe_vpp_});
  }
  if (strobe_kind_ != StrobeKind::kProg) return;
  if (strobe_vpp_) last_prog_end_ns_ = pins.time_ns;
  if (!programming_) {
    if (strobe_vpp_) Log(pins, "program pulse before programming mode was entered");
    return;
  }
  const Mcs51Mode* mode = ModeAt(strobe_latch_);
  if (mode == nullptr || mode->strobe == Mcs51Strobe::kNone) {
    // PROG low at 5 V in a read mode is what a verify's ending does; the
    // part ignores it. With 12 V on the pin it is no mode of the part.
    if (strobe_vpp_) Log(pins, "program pulse outside a write mode");
    return;
  }
  ApplyStrobe(pins, *mode, width);
}

void Mcs51Chip::ApplyStrobe(const Pins& pins, const Mcs51Mode& mode, int64_t width) {
  const Mcs51Timing& t = *part_.timing;
  if (mode.needs_vpp && !strobe_vpp_) {
    Log(pins, "write without 12 V on EA/VPP");
    return;
  }
  if (strobe_start_ns_ < busy_until_ns_) {
    Log(pins, "program pulse during the write cycle");
    return;
  }
  if (mode.needs_vpp && strobe_start_ns_ - vpp_since_ns_ < t.vpp_setup_ns) {
    Log(pins, "12 V setup before PROG shorter than tSHGL");
  }
  if (!strobe_data_settled_) Log(pins, "data setup before PROG shorter than tDVGL");
  if (mode.strobe == Mcs51Strobe::kErase) {
    if (width < t.erase_pulse_ns) {
      Log(pins, "chip erase pulse shorter than the datasheet's minimum");
    } else if (!rom_) {
      Erase();
    }
    return;
  }
  if (width < t.pulse_min_ns) {
    Log(pins, "program pulse shorter than tGLGH min");
    return;
  }
  if (t.pulse_max_ns != 0 && width > t.pulse_max_ns) {
    Log(pins, "program pulse longer than tGLGH max");
  }
  const uint8_t data = strobe_data_;
  switch (mode.strobe) {
    case Mcs51Strobe::kWriteCode:
      WriteCell(CodeIndex(strobe_latch_), data, false);
      break;
    case Mcs51Strobe::kLoadCodePage:
    case Mcs51Strobe::kLoadDataPage: {
      const bool code = mode.strobe == Mcs51Strobe::kLoadCodePage;
      const int64_t index = code ? CodeIndex(strobe_latch_) : DataIndex(strobe_latch_);
      if (index >= 0) page_[static_cast<uint32_t>(index)] = data;
      return;  // written when the page ends
    }
    case Mcs51Strobe::kLock1:
    case Mcs51Strobe::kLock2:
    case Mcs51Strobe::kLock3:
      if (!rom_) {
        const int bit = static_cast<int>(mode.strobe) - static_cast<int>(Mcs51Strobe::kLock1);
        locks_ = static_cast<uint8_t>(locks_ | (1u << bit));
      }
      break;
    case Mcs51Strobe::kLockBits:
      if (!rom_) {
        // Programmed bits are written as 0: D7, D6, D5 for LB1..LB3 on the
        // AT89S8252/53, D0, D1, D2 on the AT89S8253.
        const auto low = static_cast<uint8_t>(~data);
        uint8_t bits = low & 0x07;
        if (part_.lock_layout == LockLayout::kD210) {
          bits = static_cast<uint8_t>((low >> 7 & 1) | (low >> 5 & 2) | (low >> 3 & 4));
        }
        locks_ = static_cast<uint8_t>(locks_ | bits);
      }
      break;
    case Mcs51Strobe::kOption:
      if (!rom_) option_ = data;
      break;
    case Mcs51Strobe::kNone:
    case Mcs51Strobe::kErase:
      return;
  }
  if (part_.cells == Mcs51Cells::kFlash) {
    busy_until_ns_ = pins.time_ns + t.write_typ_ns;
    written_at_ns_ = pins.time_ns;
    last_written_ = data;
  }
}

void Mcs51Chip::WriteCell(int64_t index, uint8_t data, bool overwrite) {
  if (index < 0 || rom_ || (locks_ & 1) != 0) return;
  const auto i = static_cast<uint32_t>(index);
  if (const auto need = needs_.find(i); need != needs_.end()) {
    if (need->second <= 0 || ++taken_[i] < need->second) return;
  }
  cells_[i] = overwrite ? data : static_cast<uint8_t>(cells_[i] & data);
  ++writes_;
}

void Mcs51Chip::Commit(int64_t now_ns) {
  if (page_.empty()) return;
  for (const auto& [index, byte] : page_) {
    WriteCell(index, byte, index >= part_.code_size);  // the data EEPROM overwrites
    last_written_ = byte;
  }
  page_.clear();
  busy_until_ns_ = now_ns + part_.timing->write_typ_ns;
  written_at_ns_ = now_ns;
}

void Mcs51Chip::Erase() {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  taken_.clear();
  locks_ = 0;
}

std::optional<uint8_t> Mcs51Chip::DataOut(const Pins& pins) {
  if (!pins.power() || pins.program() || !programming_) return std::nullopt;
  const Mcs51Mode* mode = ModeAt(pins.address);
  if (mode == nullptr || mode->output == Mcs51Output::kNone) return std::nullopt;
  const bool cells = mode->output == Mcs51Output::kCode || mode->output == Mcs51Output::kData;
  // Data polling: while the write runs, bit 7 shows the complement.
  const uint8_t out = cells && pins.time_ns < busy_until_ns_
                          ? static_cast<uint8_t>(last_written_ ^ 0x80)
                          : Output(mode->output, pins.address);
  // P0 is open-drain in verify: a byte of ones leaves the lines to the
  // pull-ups.
  if (part_.socket == Mcs51Socket::k40Pin && out == 0xFF) return std::nullopt;
  return Wire(out);
}

bool Mcs51Chip::InjectFault(const ChipFault& fault) {
  if (fault.kind == "adapter-swap") {
    if (part_.socket != Mcs51Socket::k20Pin) return false;
    new_adapter_ = !new_adapter_;
    return true;
  }
  if (fault.kind == "rom") {
    rom_ = true;
    return true;
  }
  if (fault.kind == "lockbits") {
    if (fault.arg1 < 1 || fault.arg1 > part_.lock_bits) return false;
    locks_ = static_cast<uint8_t>((1u << fault.arg1) - 1);
    return true;
  }
  if (fault.address >= cells_.size()) return false;
  if (fault.kind == "weak") {
    if (fault.arg1 < 1) return false;
    needs_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "never") {
    needs_[fault.address] = 0;
    return true;
  }
  return false;
}

void Mcs51Chip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
  taken_.clear();
}

std::vector<StateSection> Mcs51Chip::State() const {
  std::vector<StateSection> state{{"locks", {locks_}}};
  if (part_.has_option) state.push_back({"option", {option_}});
  return state;
}

bool Mcs51Chip::SetState(const StateSection& section) {
  if (section.bytes.size() != 1) return false;
  if (section.name == "locks") {
    locks_ = static_cast<uint8_t>(section.bytes[0] & ((1u << part_.lock_bits) - 1));
    return true;
  }
  if (section.name == "option" && part_.has_option) {
    option_ = section.bytes[0];
    return true;
  }
  return false;
}

}  // namespace sim
