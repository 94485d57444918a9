#include "sim/eprom_chip.h"

#include <algorithm>

namespace sim {
namespace {

// Bounds of the event logs tests read.
constexpr size_t kMaxLoggedEvents = 1 << 20;

}  // namespace

EpromChip::EpromChip(const EpromConfig& config)
    : config_(config), cells_(std::max<uint32_t>(config.size, 1), 0xFF) {}

EpromChip::Lines EpromChip::Decode(const Pins& pins) const {
  Lines l;
  l.power = pins.power();
  l.vpp = !pins.strobe();
  // The 2716's pin is driven through an inverter: high, the program level,
  // while control bit 3 is 0.
  l.program = config_.program_pin == ProgramPin::kActiveHigh ? !pins.program() : pins.program();
  // OE/Vpp at Vpp holds the outputs off whatever control bit 1 does.
  l.oe_high = pins.drive() || (config_.vpp_pin == VppPin::kShared && l.vpp);
  l.bus = pins.drive() ? pins.data : 0xFF;
  return l;
}

bool EpromChip::OutputsOn(const Lines& l) const {
  // Control bit 1 is OE: while the port drives, the outputs are off.
  if (!l.power || l.oe_high) return false;
  switch (config_.program_pin) {
    case ProgramPin::kChipEnable:
      // With a real Vpp on its own pin the part is in program verify; at
      // Vcc it reads while CE is active.
      return config_.vpp_pin == VppPin::kOwn ? (l.vpp && !vpp_missing_) || l.program : l.program;
    case ProgramPin::kSeparate:
    case ProgramPin::kActiveHigh:
      return !l.program;
  }
  return false;
}

void EpromChip::Log(const Pins& pins, std::string_view text) {
  Violation(text, pins.time_ns, pins.address);
}

void EpromChip::Update(const Pins& pins) {
  // Most writes are address shifts and read-path clocks: nothing a cell
  // cares about unless a pulse, its hold time or an erase is running, or
  // an erase can begin with the next address or data byte.
  if (seen_ && pins.ctrl == ctrl_ && !pulse_ && !hold_ && !erasing_ &&
      !(lines_.vpp && lines_.program && config_.timing.erase_ns > 0)) {
    return;
  }
  Follow(pins);
}

void EpromChip::Follow(const Pins& pins) {
  const Lines now = Decode(pins);
  if (!seen_) {
    seen_ = true;
    ctrl_ = pins.ctrl;
    lines_ = now;
    vpp_since_ns_ = oe_high_since_ns_ = bus_since_ns_ = outputs_since_ns_ = pins.time_ns;
    return;
  }
  const Lines was = lines_;
  if (pins.ctrl != ctrl_) {
    if (now.vpp != was.vpp) {
      vpp_since_ns_ = pins.time_ns;
      if (record_ && vpp_log_.size() < kMaxLoggedEvents) vpp_log_.push_back({pins.time_ns, now.vpp});
    }
    if (now.oe_high != was.oe_high) oe_high_since_ns_ = pins.time_ns;
    if (pins.drive() != ((ctrl_ & 0x02) != 0)) bus_since_ns_ = pins.time_ns;
    if (OutputsOn(now) && !OutputsOn(was)) outputs_since_ns_ = pins.time_ns;
    if (was.power && !now.power) JudgeMargins(pins);
  }
  ctrl_ = pins.ctrl;
  lines_ = now;
  if (config_.timing.erase_ns > 0) FollowErase(pins, now);

  bool ended = false;
  if (pulse_) {
    if (!(now.program && now.power && now.vpp && now.oe_high)) {
      EndPulse(pins);
      ended = true;
    } else if (pins.address != pulse_address_) {
      Log(pins, "address changed during a program pulse");
      EndPulse(pins);
      ended = true;
    } else if (now.bus != pulse_data_) {
      Log(pins, "data changed during a program pulse");
      EndPulse(pins);
      ended = true;
    }
  }
  if (hold_ && !ended) CheckHold(pins, now);

  if (now.program && !was.program && now.power) {
    if (now.vpp && now.oe_high) {
      if (!pins.drive()) Log(pins, "program pulse outside program mode (data bus undriven)");
      StartPulse(pins, now);
    } else if (!now.vpp && now.oe_high) {
      Log(pins, "program pulse without Vpp");
    } else if (now.vpp && config_.program_pin != ProgramPin::kChipEnable) {
      // CE/PGM parts verify like this; a PGM pin pulsed with the outputs on
      // is no mode of the part.
      Log(pins, "program pulse outside program mode (outputs on)");
    }
  } else if (now.vpp && !was.vpp && now.program && now.power && now.oe_high) {
    Log(pins, "Vpp raised during a program pulse");
  }
}

bool EpromChip::EraseLevels(const Pins& pins, const Lines& now) const {
  return Jumper("erase") && now.power && now.vpp && !vpp_missing_ && now.program &&
         now.oe_high && pins.drive() && now.bus == 0xFF && Index(pins.address) == 0;
}

void EpromChip::FollowErase(const Pins& pins, const Lines& now) {
  const bool levels = EraseLevels(pins, now);
  if (levels == erasing_) return;
  erasing_ = levels;
  if (levels) {
    erase_start_ns_ = pins.time_ns;
    return;
  }
  if (pins.time_ns - erase_start_ns_ < config_.timing.erase_ns) return;  // too short: nothing
  ++erase_pulses_;
  if (erase_pulses_needed_ == 0 || --erase_pulses_needed_ > 0) return;
  erase_pulses_needed_ = 1;
  ++erases_;
  Erase();
}

void EpromChip::StartPulse(const Pins& pins, const Lines& now) {
  CheckSetup(pins);
  hold_ = false;
  pulse_ = true;
  pulse_start_ns_ = pins.time_ns;
  pulse_address_ = pins.address;
  pulse_data_ = now.bus;
}

void EpromChip::CheckSetup(const Pins& pins) {
  const EpromTiming& t = config_.timing;
  const int64_t now = pins.time_ns;
  // The data pins hold their value since the later of the data register's
  // last change and the port starting (or stopping) to drive them.
  const int64_t bus_since =
      pins.drive() ? std::max(pins.data_since_ns, bus_since_ns_) : bus_since_ns_;
  struct Setup {
    int64_t since;
    int64_t need;
    const char* text;
  };
  const Setup setups[] = {
      {pins.power_since_ns, t.vcc_setup_ns, "Vcc setup before the program pulse shorter than tVCS"},
      {vpp_since_ns_, t.vpp_setup_ns, "Vpp setup before the program pulse shorter than tVPS"},
      {oe_high_since_ns_, t.oe_setup_ns, "OE setup before the program pulse shorter than tOES"},
      {pins.address_since_ns, t.address_setup_ns,
       "address setup before the program pulse shorter than tAS"},
      {bus_since, t.data_setup_ns, "data setup before the program pulse shorter than tDS"},
  };
  for (const Setup& s : setups) {
    if (now - s.since < s.need) Log(pins, s.text);
  }
}

void EpromChip::CheckHold(const Pins& pins, const Lines& now) {
  const EpromTiming& t = config_.timing;
  const int64_t elapsed = pins.time_ns - pulse_end_ns_;
  if (elapsed >= std::max({t.address_hold_ns, t.data_hold_ns, t.oe_hold_ns})) {
    hold_ = false;
    return;
  }
  if (pins.address != pulse_address_ && elapsed < t.address_hold_ns) {
    Log(pins, "address changed within tAH after the program pulse");
  }
  if (now.bus != pulse_data_ && elapsed < t.data_hold_ns) {
    Log(pins, "data changed within tDH after the program pulse");
  }
  if (!now.oe_high && elapsed < t.oe_hold_ns) {
    Log(pins, "OE came on within tOEH after the program pulse");
  }
}

int64_t EpromChip::Threshold(uint32_t index) const {
  const auto it = weak_.find(index);
  const int64_t pulses = it == weak_.end() ? 1 : it->second;
  return pulses * config_.timing.cell_ns;
}

void EpromChip::EndPulse(const Pins& pins) {
  const EpromTiming& t = config_.timing;
  pulse_ = false;
  hold_ = true;
  pulse_end_ns_ = pins.time_ns;
  // With the erase jumpers fitted this was the erase pulse (FollowErase).
  if (Jumper("erase") && t.erase_ns > 0 && Index(pulse_address_) == 0 && pulse_data_ == 0xFF) {
    return;
  }
  const int64_t width = pins.time_ns - pulse_start_ns_;
  ++pulses_;
  pulse_time_ns_ += width;
  longest_pulse_ns_ = std::max(longest_pulse_ns_, width);
  if (record_ && pulse_log_.size() < kMaxLoggedEvents) {
    pulse_log_.push_back({pulse_start_ns_, width, pulse_address_, pulse_data_});
  }

  const uint32_t index = Index(pulse_address_);
  // A pulse on a byte that already holds its data is an over-program
  // pulse; the intelligent algorithm's may be 3X nominal pulses long.
  const bool held = pulse_data_ != 0xFF && (cells_[index] & ~pulse_data_ & 0xFF) == 0;
  int64_t longest_allowed = t.pulse_max_ns;
  if (held) {
    ++overprogram_pulses_;
    if (t.algorithm == EpromAlgorithm::kIntelligent) {
      longest_allowed = t.pulse_max_ns * t.overprogram_factor * t.max_pulses;
    }
  }
  if (width > longest_allowed) {
    Log(pins, "program pulse longer than tPW max (over-stress)");
  } else if (!held && width < t.pulse_min_ns) {
    Log(pins, "program pulse shorter than tPW min");
  }
  if (vpp_missing_) return;

  auto clear = static_cast<uint8_t>(cells_[index] & ~pulse_data_);
  if (const auto it = stuck_.find(index); it != stuck_.end()) {
    clear = static_cast<uint8_t>(clear & ~it->second.never_program);
  }
  if (clear != 0) {
    const int64_t need = Threshold(index);
    for (int bit = 0; bit < 8; ++bit) {
      if ((clear & (1u << bit)) == 0) continue;
      // Charge builds up pulse by pulse; a bit flips once it has enough.
      const uint64_t key = uint64_t{index} * 8 + static_cast<uint64_t>(bit);
      const auto it = charge_.find(key);
      const int64_t total = width + (it == charge_.end() ? 0 : it->second);
      if (total >= need) {
        cells_[index] = static_cast<uint8_t>(cells_[index] & ~(1u << bit));
        if (it != charge_.end()) charge_.erase(it);
      } else {
        charge_[key] = total;
      }
    }
  }
  if (t.algorithm != EpromAlgorithm::kFastPulse && pulse_data_ != 0xFF) {
    ByteCharge& b = pulsed_[index];
    b.total_ns += width;
    if (b.at_verify_ns == 0 && (cells_[index] & ~pulse_data_ & 0xFF) == 0) {
      b.at_verify_ns = b.total_ns;
    }
  }
}

// What a programmed byte must have had to keep its data: the intelligent
// algorithm adds an over-program pulse of 3X to the X it took to verify;
// the standard one gives a single pulse of at least tPW min.
void EpromChip::JudgeMargins(const Pins& pins) {
  const EpromTiming& t = config_.timing;
  for (const auto& [index, b] : pulsed_) {
    if (b.at_verify_ns == 0) continue;  // never held its data: the verify says so
    const int64_t need = t.algorithm == EpromAlgorithm::kIntelligent
                             ? (1 + t.overprogram_factor) * b.at_verify_ns
                             : t.pulse_min_ns;
    if (b.total_ns < need) {
      ++marginal_bytes_;
      Violation("marginal byte: programmed with less than the algorithm requires", pins.time_ns,
                index);
    }
  }
  pulsed_.clear();
}

uint8_t EpromChip::StoredValue(uint32_t index) const {
  uint8_t value = cells_[index];
  if (const auto it = stuck_.find(index); it != stuck_.end()) {
    value = static_cast<uint8_t>((value & ~it->second.read_zero) | it->second.never_program);
  }
  return value;
}

std::optional<uint8_t> EpromChip::DataOut(const Pins& pins) {
  if (!OutputsOn(Decode(pins))) return std::nullopt;
  return StoredValue(Index(pins.address));
}

std::optional<uint8_t> EpromChip::ReadOut(const Pins& pins) {
  const std::optional<uint8_t> out = DataOut(pins);
  if (!out) return std::nullopt;
  const EpromTiming& t = config_.timing;
  uint8_t value = *out;
  if (const auto it = flaky_.find(Index(pins.address)); it != flaky_.end() && it->second > 0) {
    --it->second;
    value ^= 0x01;
  }
  // Sampled too early the outputs still float, or still show the last byte.
  if (pins.time_ns - outputs_since_ns_ < t.oe_access_ns) {
    value = 0xFF;
  } else if (pins.time_ns - pins.address_since_ns < t.access_ns) {
    value = last_out_;
  }
  last_out_ = *out;
  return value;
}

void EpromChip::SocketLevels(const Pins& pins, SocketSignals& s) const {
  switch (config_.program_pin) {
    case ProgramPin::kChipEnable:
      break;  // the program line is CE/PGM
    case ProgramPin::kSeparate:
      s.ce_n = false;  // tied active
      break;
    case ProgramPin::kActiveHigh:
      s.ce_n = s.pgm_n = !pins.program();  // through the inverter
      break;
  }
  if (config_.vpp_pin == VppPin::kShared && s.vpp) s.oe_n = true;  // OE/Vpp at Vpp
}

bool EpromChip::InjectFault(const ChipFault& fault) {
  if (fault.kind == "novpp" || fault.kind == "vpp_missing") {
    vpp_missing_ = true;
    return true;
  }
  if (fault.kind == "erase-cycles" && config_.timing.erase_ns > 0) {
    if (fault.arg1 < 0) return false;
    erase_pulses_needed_ = fault.arg1;
    return true;
  }
  if (fault.address >= cells_.size()) return false;
  if (fault.kind == "weak") {
    if (fault.arg1 < 1) return false;
    weak_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "flaky") {
    if (fault.arg1 < 1) return false;
    flaky_[fault.address] = fault.arg1;
    return true;
  }
  if (fault.kind == "stuck") {
    if (fault.arg1 < 0 || fault.arg1 > 7 || fault.arg2 < 0 || fault.arg2 > 1) return false;
    Stuck& s = stuck_[fault.address];
    const auto bit = static_cast<uint8_t>(1u << fault.arg1);
    if (fault.arg2 == 1) {
      s.never_program = static_cast<uint8_t>(s.never_program | bit);
    } else {
      s.read_zero = static_cast<uint8_t>(s.read_zero | bit);
    }
    return true;
  }
  return false;
}

void EpromChip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
  charge_.clear();
  pulsed_.clear();
}

void EpromChip::Erase() {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  charge_.clear();
  pulsed_.clear();
}

uint16_t EpromChip::Word(uint32_t k) const {
  const uint32_t low = Index(2 * k);
  const uint32_t high = Index(2 * k + 1);
  return static_cast<uint16_t>(cells_[low] | (cells_[high] << 8));
}

}  // namespace sim
