#include "sim/serial_socket.h"

namespace sim {
namespace {

using Reg = LineSource::Reg;

constexpr LineSource kData0{Reg::kData, 0, false};
constexpr LineSource kData0Inverted{Reg::kData, 0, true};
constexpr LineSource kData1{Reg::kData, 1, false};
// Control bit 3 is one line whose level is NOT the bit.
constexpr LineSource kCtrl3Line{Reg::kCtrl, 3, true};
// On the ICSP connector the strobe line selects the chip while it is cleared.
constexpr LineSource kCtrl0Line{Reg::kCtrl, 0, true};

}  // namespace

const SerialWiring kI2cWiring{"I2C", kData1, kData0, {}, true, kCtrl3Line, true};
const SerialWiring kMicrowireWiring{"Microwire", kData1, kData0Inverted, kCtrl3Line,
                                    true,        {},     false};
const SerialWiring kMicrowireIcspWiring{
    "Microwire ICSP", kData1, kData0, kCtrl0Line, true, {}, false};
const SerialWiring kCat64Wiring{"CAT64LC", kData1, kData0Inverted, kCtrl3Line, false, {}, false};
const SerialWiring kNvramWiring{"X24C44", kData1, kData0Inverted, kCtrl3Line, true, {}, false};
const SerialWiring kSpiWiring{"SPI", kData1, kData0Inverted, kCtrl3Line, false, {}, false};
// PGC is data bit 1, PGD data bit 0 shared with the chip (wired AND); MCLR
// takes the programming voltage while control bit 0 is cleared.
const SerialWiring kPicIcspWiring{"PIC ICSP", kData1, kData0, {}, true, kCtrl0Line, true};

bool LineSource::Level(const Pins& pins) const {
  bool bit = false;
  switch (reg) {
    case Reg::kNone:
      return false;
    case Reg::kData:
      bit = ((pins.data >> this->bit) & 1) != 0;
      break;
    case Reg::kCtrl:
      bit = ((pins.ctrl >> this->bit) & 1) != 0;
      break;
  }
  return bit != inverted;
}

SerialChip::SerialChip(const SerialWiring& wiring)
    : wiring_(wiring),
      clock_(TapOf(wiring.clock)),
      data_(TapOf(wiring.data)),
      select_(TapOf(wiring.select)),
      aux_(TapOf(wiring.aux)) {
  // A chip without a select pin is always selected; an active-low select
  // is selected while its line is low.
  if (wiring.select.reg == Reg::kNone) {
    select_.when_clear = true;
  } else if (!wiring.select_active_high) {
    select_.when_clear = !select_.when_clear;
  }
}

SerialChip::Tap SerialChip::TapOf(const LineSource& line) {
  Tap tap;
  if (line.reg == Reg::kNone) return tap;
  tap.mask = static_cast<uint16_t>(1u << (line.bit + (line.reg == Reg::kCtrl ? 8 : 0)));
  tap.when_clear = line.inverted;
  return tap;
}

// Every register write goes through here: the taps keep it to a few masks.
SerialLines SerialChip::Decode(const Pins& pins) const {
  const auto regs = static_cast<uint16_t>(pins.ctrl << 8 | pins.data);
  SerialLines l;
  l.power = pins.power();
  l.clock = clock_.Level(regs);
  l.data = data_.Level(regs);
  l.selected = select_.Level(regs);
  l.aux = aux_.Level(regs);
  l.time_ns = pins.time_ns;
  return l;
}

void SerialChip::Update(const Pins& pins) {
  const SerialLines was = lines_;
  lines_ = Decode(pins);
  if (absent_) return;
  if (lines_.power && !was.power) {
    OnPowerOn(lines_.time_ns);
  } else if (!lines_.power && was.power) {
    OnPowerOff(lines_.time_ns);
  }
  if (!lines_.power) return;
  if (lines_.clock != was.clock || lines_.data != was.data || lines_.selected != was.selected ||
      lines_.aux != was.aux || !was.power) {
    OnLines(lines_, was);
  }
}

std::optional<bool> SerialChip::SerialOut(const Pins& pins) {
  std::optional<bool> out;
  if (!absent_ && pins.power()) out = Output(pins.time_ns);
  // SDA is open drain: the port's data bit 0 and the chip pull together.
  if (wiring_.open_drain) {
    return data_.Level(static_cast<uint16_t>(pins.ctrl << 8 | pins.data)) && out.value_or(true);
  }
  return out;
}

bool SerialChip::InjectFault(const ChipFault& fault) {
  if (fault.kind == "absent") {
    absent_ = true;
    return true;
  }
  if (fault.kind == "stuck") {
    if (fault.arg1 < 0 || fault.arg1 > 7 || fault.arg2 < 0 || fault.arg2 > 1) return false;
    if (fault.address >= Contents().size()) return false;
    StuckBits& s = stuck_[fault.address];
    const auto bit = static_cast<uint8_t>(1u << fault.arg1);
    (fault.arg2 == 1 ? s.ones : s.zeros) |= bit;
    return true;
  }
  return InjectModelFault(fault);
}

uint8_t SerialChip::Stuck(uint32_t address, uint8_t value) const {
  if (stuck_.empty()) return value;
  const auto it = stuck_.find(address);
  if (it == stuck_.end()) return value;
  return static_cast<uint8_t>((value | it->second.ones) & ~it->second.zeros);
}

}  // namespace sim
