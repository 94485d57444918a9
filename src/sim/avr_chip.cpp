#include "sim/avr_chip.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint32_t kXtalRoute = (1u << 15) | (1u << 16);
constexpr uint32_t kWriteRoute = (1u << 17) | (1u << 18);
constexpr uint32_t kReadRoute = 1u << 18;
constexpr uint32_t kXa1 = 1u << 9;
constexpr uint32_t kXa0 = 1u << 7;
constexpr uint32_t kBs1 = 1u << 8;

// Where each chip data bit meets the port on the original adapter.
constexpr int kPortBitOfChipBit[8] = {7, 6, 0, 5, 1, 4, 2, 3};

constexpr uint8_t kLb1 = 0x02, kLb2 = 0x04;

constexpr size_t kMaxEvents = 1 << 20;

}  // namespace

AvrChip::AvrChip(const AvrPart& part, bool new_adapter)
    : part_(part),
      new_adapter_(new_adapter),
      flash_(part.flash_size, 0xFF),
      eeprom_(part.eeprom_size, 0xFF) {}

AvrChip::Route AvrChip::RouteOf(uint32_t latch) {
  if ((latch & kXtalRoute) == kXtalRoute) return Route::kXtal;
  if ((latch & kWriteRoute) == kWriteRoute) return Route::kWrite;
  if ((latch & kWriteRoute) == kReadRoute) return Route::kRead;
  return Route::kNone;
}

uint8_t AvrChip::FromPort(uint8_t port) const {
  unsigned out = 0;
  for (int k = 0; k < 8; ++k) {
    const int m = new_adapter_ ? 7 - k : kPortBitOfChipBit[k];
    out |= ((port >> m) & 1u) << k;
  }
  return static_cast<uint8_t>(out);
}

uint8_t AvrChip::ToPort(uint8_t chip) const {
  unsigned out = 0;
  for (int k = 0; k < 8; ++k) {
    const int m = new_adapter_ ? 7 - k : kPortBitOfChipBit[k];
    out |= ((chip >> k) & 1u) << m;
  }
  return static_cast<uint8_t>(out);
}

void AvrChip::Update(const Pins& pins) {
  const int64_t now = pins.time_ns;
  const bool power = pins.power();
  const bool high_voltage = !pins.strobe();
  const bool strobe = power && pins.program();
  if (!seen_) {
    seen_ = true;
    power_ = power;
    high_voltage_ = high_voltage;
    strobe_ = strobe;
    drive_ = pins.drive();
    return;
  }
  if (power != power_) {
    // The registers do not survive a power cycle.
    programming_ = false;
    command_ = 0;
    address_low_ = address_high_ = 0;
    data_ = 0xFF;
    busy_until_ns_ = 0;
  }
  if (high_voltage != high_voltage_) {
    if (high_voltage && power && pins.address == 0 && !absent_) {
      programming_ = true;
      entered_ns_ = now;
    } else if (!high_voltage) {
      programming_ = false;
    }
  }
  if (pins.drive() != drive_) drive_since_ns_ = now;
  if (strobe && !strobe_) {
    route_ = RouteOf(pins.address);
    strobe_latch_ = pins.address;
    strobe_start_ns_ = now;
    if (route_ == Route::kXtal) Load(pins);
  } else if (!strobe && strobe_) {
    const int64_t width = now - strobe_start_ns_;
    if (route_ == Route::kXtal && programming_ && width < part_.timing->xtal_pulse_ns) {
      Log(pins, "XTAL1 pulse shorter than tXHXL");
    }
    if (route_ == Route::kWrite) Execute(pins, width);
    route_ = Route::kNone;
  }
  power_ = power;
  high_voltage_ = high_voltage;
  strobe_ = strobe;
  drive_ = pins.drive();
}

void AvrChip::Load(const Pins& pins) {
  if (absent_) return;
  if (!programming_) {
    Log(pins, "XTAL1 pulse outside programming mode");
    return;
  }
  if (pins.time_ns - entered_ns_ < part_.timing->enter_ns) {
    Log(pins, "command sooner than 100 us after 12 V on RESET");
  }
  if (pins.time_ns < busy_until_ns_) {
    Log(pins, "command while RDY/BSY is low");
    return;
  }
  // A bus nobody drives floats high.
  const uint8_t byte = pins.drive() ? FromPort(pins.data) : 0xFF;
  const int64_t since =
      std::max(pins.data_since_ns, std::max(drive_since_ns_, pins.address_since_ns));
  if (pins.time_ns - since < part_.timing->data_setup_ns) {
    Log(pins, "data setup before XTAL1 shorter than tDVXH");
  }
  const uint32_t latch = pins.address;
  const bool xa1 = (latch & kXa1) != 0, xa0 = (latch & kXa0) != 0, bs1 = (latch & kBs1) != 0;
  if (xa1 && !xa0) {
    command_ = byte;
  } else if (!xa1 && !xa0) {
    (bs1 ? address_high_ : address_low_) = byte;
  } else if (!xa1 && xa0) {
    // One data register: BS1 chooses the half when /WR writes it.
    data_ = byte;
  }
  Record(Kind::kLoad, latch, byte, 0);
}

void AvrChip::Execute(const Pins& pins, int64_t width) {
  if (absent_) return;
  if (!programming_) {
    Log(pins, "/WR pulse outside programming mode");
    return;
  }
  const AvrTiming& t = *part_.timing;
  if (strobe_start_ns_ < busy_until_ns_) {
    Log(pins, "command while RDY/BSY is low");
    return;
  }
  Record(Kind::kWrite, strobe_latch_, data_, width);
  const bool bs1 = (strobe_latch_ & kBs1) != 0;
  const bool write_locked = (locks_ & kLb1) == 0;
  if (command_ == 0x80) {
    if (width < t.erase_pulse_min_ns) {
      Log(pins, "chip erase /WR pulse shorter than tWLWH_CE");
      return;
    }
    if (width > t.erase_pulse_max_ns) Log(pins, "chip erase /WR pulse longer than tWLWH_CE");
    std::fill(flash_.begin(), flash_.end(), 0xFF);
    std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
    locks_ = 0xFF;
    return;
  }
  if (command_ == 0x40) {
    if (width < t.fuse_pulse_min_ns) {
      Log(pins, "fuse /WR pulse shorter than tWLWH_PFB");
      return;
    }
    if (width > t.fuse_pulse_max_ns) Log(pins, "fuse /WR pulse longer than tWLWH_PFB");
    fuse_ = static_cast<uint8_t>(data_ | ~part_.fuse_mask);
    return;
  }
  if (width < t.wr_pulse_ns) {
    Log(pins, "/WR pulse shorter than tWLWH");
    return;
  }
  int64_t busy = t.write_ns;
  switch (command_) {
    case 0x10:
      if (!write_locked) {
        const uint32_t word = Address() & (part_.flash_size / 2 - 1);
        uint8_t& cell = flash_[word * 2 + (bs1 ? 1 : 0)];
        cell = static_cast<uint8_t>(cell & data_);
      }
      break;
    case 0x11:
      if (!write_locked) eeprom_[Address() & (part_.eeprom_size - 1)] = data_;
      if (slow_eeprom_) busy = kSlowEepromNs;
      break;
    case 0x20:
      // Lock bits only ever program; the chip erase clears them.
      locks_ = static_cast<uint8_t>(locks_ & (data_ | ~(kLb1 | kLb2)));
      break;
    default:
      Log(pins, "/WR with no command the part knows");
      return;
  }
  busy_until_ns_ = strobe_start_ns_ + busy;
}

uint8_t AvrChip::FuseLockRead(bool bs1) const {
  const auto fuses = static_cast<uint8_t>((fuse_ | ~part_.fuse_mask) & 0x3F);
  if (part_.layout == AvrFuseLayout::kSplit) {
    return bs1 ? static_cast<uint8_t>(0xF9 | (locks_ & (kLb1 | kLb2)))
               : static_cast<uint8_t>(0xC0 | fuses);
  }
  const unsigned lb1 = (locks_ >> 1) & 1u, lb2 = (locks_ >> 2) & 1u;
  return static_cast<uint8_t>(lb1 << 7 | lb2 << 6 | fuses);
}

uint8_t AvrChip::Output(bool bs1) const {
  const bool read_locked = (locks_ & (kLb1 | kLb2)) == 0;
  switch (command_) {
    case 0x02: {
      if (read_locked) return kLockedRead;
      const uint32_t word = Address() & (part_.flash_size / 2 - 1);
      return flash_[word * 2 + (bs1 ? 1 : 0)];
    }
    case 0x03:
      return read_locked ? kLockedRead : eeprom_[Address() & (part_.eeprom_size - 1)];
    case 0x08:
      return address_low_ < 3 ? part_.signature[address_low_] : 0xFF;
    case 0x04:
      return FuseLockRead(bs1);
    default:
      return 0xFF;
  }
}

std::optional<uint8_t> AvrChip::DataOut(const Pins& pins) {
  if (absent_ || !pins.power() || !programming_ || !pins.program()) return std::nullopt;
  if (RouteOf(pins.address) != Route::kRead) return std::nullopt;
  return ToPort(Output((pins.address & kBs1) != 0));
}

std::optional<uint8_t> AvrChip::ReadOut(const Pins& pins) {
  const std::optional<uint8_t> out = DataOut(pins);
  if (!out) return out;
  if (pins.time_ns < busy_until_ns_) Log(pins, "command while RDY/BSY is low");
  Record(Kind::kRead, pins.address, FromPort(*out), 0);
  return out;
}

void AvrChip::Record(Kind kind, uint32_t latch, uint8_t byte, int64_t width) {
  if (!record_ || events_.size() >= kMaxEvents) return;
  events_.push_back({kind, latch, (latch & kXa1) != 0, (latch & kXa0) != 0, (latch & kBs1) != 0,
                     byte, command_, strobe_start_ns_, width});
}

bool AvrChip::InjectFault(const ChipFault& fault) {
  if (fault.kind == "lockbits") {
    // The lock mode the part comes with.
    if (fault.arg1 == 2) {
      locks_ = static_cast<uint8_t>(0xFF & ~kLb1);
    } else if (fault.arg1 == 3) {
      locks_ = static_cast<uint8_t>(0xFF & ~(kLb1 | kLb2));
    } else {
      return false;
    }
    return true;
  }
  if (fault.kind == "not-erased") {
    // An earlier program that nobody erased: byte n holds n's low bits.
    for (size_t i = 0; i < flash_.size(); ++i) flash_[i] = static_cast<uint8_t>(i);
    return true;
  }
  if (fault.kind == "slow-eeprom") {
    slow_eeprom_ = true;
    return true;
  }
  if (fault.kind == "adapter-swap") {
    new_adapter_ = !new_adapter_;
    return true;
  }
  if (fault.kind == "absent") {
    absent_ = true;
    return true;
  }
  return false;
}

std::vector<uint8_t> AvrChip::Contents() const {
  std::vector<uint8_t> bytes = flash_;
  bytes.insert(bytes.end(), eeprom_.begin(), eeprom_.end());
  return bytes;
}

void AvrChip::SetContents(const std::vector<uint8_t>& bytes) {
  std::fill(flash_.begin(), flash_.end(), 0xFF);
  std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
  const size_t to_flash = std::min(bytes.size(), flash_.size());
  std::copy_n(bytes.begin(), to_flash, flash_.begin());
  const size_t to_eeprom = std::min(bytes.size() - to_flash, eeprom_.size());
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(to_flash), to_eeprom, eeprom_.begin());
}

std::vector<StateSection> AvrChip::State() const {
  return {{"fuses", {fuse_}}, {"locks", {locks_}}};
}

bool AvrChip::SetState(const StateSection& section) {
  if (section.bytes.size() != 1) return false;
  if (section.name == "fuses") {
    fuse_ = static_cast<uint8_t>(section.bytes[0] | ~part_.fuse_mask);
    return true;
  }
  if (section.name == "locks") {
    locks_ = static_cast<uint8_t>(section.bytes[0] | ~(kLb1 | kLb2));
    return true;
  }
  return false;
}

}  // namespace sim
