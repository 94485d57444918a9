#include "sim/board.h"

#include <cstdio>

namespace sim {
namespace {

std::string Hex(unsigned v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

constexpr uint8_t kRestData = 0x04;  // read clock high, everything else low

}  // namespace

Board::Board(uint16_t base) : base_(base) {}
Board::~Board() = default;

void Board::InsertChip(std::unique_ptr<Chip> chip) {
  chip_ = std::move(chip);
  adapter_ = chip_ ? chip_->Adapter() : SocketAdapter::kDirect;
  Notify();
}

std::unique_ptr<Chip> Board::RemoveChip() {
  adapter_ = SocketAdapter::kDirect;
  return std::move(chip_);
}

const Pins& Board::AdaptedPins() {
  view_ = pins_;
  if (adapter_ == SocketAdapter::kWord16) {
    view_.ctrl |= 0x01;  // the strobe only loads the latch: no Vpp reaches the part
    view_.data_high = upper_latch_;
  } else {
    // The adapter powers the part; it sees the address it latched.
    view_.ctrl |= 0x04;
    view_.power_since_ns = 0;
    view_.address = hub_address_;
    view_.address_since_ns = hub_since_ns_;
  }
  return view_;
}

// The adapters' own registers after a control write.
void Board::AdapterControl(uint8_t old_ctrl) {
  if (adapter_ == SocketAdapter::kWord16) {
    if (!pins_.strobe()) upper_latch_ = pins_.data;
    return;
  }
  const bool was = (old_ctrl & 0x04) != 0, now = pins_.power();
  if (was == now) return;
  const uint32_t half = pins_.address & 0x7FF;
  const uint32_t address = now ? ((half << 11) | (hub_address_ & 0x7FF))  // column on the rise
                               : ((hub_address_ & ~0x7FFu) | half);       // row on the fall
  if (address != hub_address_) {
    hub_address_ = address;
    hub_since_ns_ = clock_.now_ns();
  }
}

std::vector<std::string> Board::violations() const {
  std::vector<std::string> all = log_.Texts();
  if (chip_) {
    const std::vector<std::string> own = chip_->violations();
    all.insert(all.end(), own.begin(), own.end());
  }
  return all;
}

std::vector<std::string> Board::ViolationDetails() const {
  std::vector<std::string> all;
  for (const auto& e : log_.entries()) all.push_back(ViolationLog::Describe(e));
  if (chip_) {
    for (const auto& e : chip_->violation_log().entries()) {
      all.push_back(ViolationLog::Describe(e));
    }
  }
  return all;
}

void Board::ClearViolations() {
  log_.Clear();
  driven_while_off_.clear();
  if (chip_) chip_->ClearViolations();
}

void Board::Violation(std::string_view text) { log_.Add(text, clock_.now_ns(), pins_.address); }

std::string Board::RestState() const {
  std::string out;
  const auto add = [&out](const std::string& what) {
    if (!out.empty()) out += "; ";
    out += what;
  };
  if (pins_.power()) add("socket powered");
  if (pins_.drive()) add("data bus driven");
  if (!pins_.strobe()) add("Vpp on");
  if (!pins_.program()) add("program line not where PowerDown leaves it");
  if ((pins_.ctrl & 0xF0) != 0) add("control register " + Hex(pins_.ctrl) + " (rest is 0x9)");
  if (pins_.data != kRestData) add("data register " + Hex(pins_.data) + " (rest is 0x4)");
  if (pins_.address != 0) add("address " + Hex(pins_.address) + " (rest is 0)");
  for (const std::string& line : driven_while_off_) add(line + " driven while Vcc was off");
  return out.empty() ? std::string(kAtRest) : out;
}

SocketSignals Board::Signals() const {
  SocketSignals s;
  s.address = pins_.address;
  s.vcc = pins_.power();
  s.vpp = !pins_.strobe() && adapter_ != SocketAdapter::kWord16;
  s.oe_n = pins_.drive();  // control bit 1 holds OE high while the port drives
  s.pgm_n = !pins_.program();
  s.ce_n = !pins_.program();
  std::optional<uint8_t> out;
  if (chip_ && fault_ != BoardFault::kNoBoard) {
    out = chip_->DataOut(const_cast<Board*>(this)->ChipPins());
  }
  const bool port = pins_.drive();
  s.driver = port ? (out ? BusDriver::kBoth : BusDriver::kPort)
                  : (out ? BusDriver::kChip : BusDriver::kNone);
  s.bus = port ? pins_.data : out.value_or(0xFF);
  s.read_load = read_load_;
  if (chip_) chip_->SocketLevels(pins_, s);
  return s;
}

void Board::SetFault(BoardFault fault, int arg1, int arg2) {
  switch (fault) {
    case BoardFault::kDeadLine:
      dead_line_ = arg1;
      break;
    case BoardFault::kSwap:
      swap_[0] = arg1;
      swap_[1] = arg2;
      break;
    case BoardFault::kStuckRead:
      stuck_read_bit_ = arg1;
      stuck_read_level_ = arg2;
      break;
    default:
      fault_ = fault;
      return;
  }
  wiring_faults_ = true;
}

void Board::Record(uint16_t port, bool write, uint8_t value) {
  const TraceEntry entry{clock_.now_ns(), port, write, value};
  if (trace_on_) trace_.push_back(entry);
  if (sink_ != nullptr) sink_->Record(entry, sink_signals_ ? Signals() : SocketSignals{});
}

void Board::PortOut(uint16_t port, uint8_t value) {
  clock_.Advance(access_cost_ns_);
  ++accesses_;
  read_load_ = false;
  pins_.time_ns = clock_.now_ns();  // a sample taken during this write sees its time
  switch (port - base_) {
    case 0:
      WriteData(value);
      break;
    case 2:
      WriteControl(value);
      break;
    default:
      Violation("write of " + Hex(value) + " to port " + Hex(port));
      break;
  }
  if (trace_on_ || sink_ != nullptr) Record(port, true, value);
}

uint8_t Board::PortIn(uint16_t port) {
  clock_.Advance(access_cost_ns_);
  ++accesses_;
  read_load_ = false;
  pins_.time_ns = clock_.now_ns();
  uint8_t value = 0xFF;
  switch (port - base_) {
    case 0:
      value = pins_.data;
      break;
    case 1:
      value = Status();
      break;
    case 2:
      value = pins_.ctrl;
      break;
    default:
      Violation("read of port " + Hex(port));
      break;
  }
  if (trace_on_ || sink_ != nullptr) Record(port, false, value);
  return value;
}

void Board::ChipAccess(const char* what) {
  if (!chip_) return;
  if (shift_clocks_ % 8 != 0 && chip_->UsesAddressBus()) {
    Violation(std::string(what) + " while the address registers are mid-shift");
  }
  if (adapter_ != SocketAdapter::kFirmwareHub && pins_.power() &&
      clock_.now_ns() - pins_.power_since_ns < chip_->PowerUpNs()) {
    Violation(std::string(what) + " sooner than the part's power-up time after Vcc on");
  }
}

// The read path's load: a real read access of the chip.
uint8_t Board::SampleBus() {
  uint8_t bus = 0xFF;
  if (pins_.drive()) {
    bus = pins_.data;
  } else if (chip_ && fault_ != BoardFault::kNoBoard) {
    // The 16-bit adapter's multiplexer: D15..D8 while control bit 0 is low.
    const bool high = adapter_ == SocketAdapter::kWord16 && !pins_.strobe();
    const Pins& view = ChipPins();
    if (const auto out = high ? chip_->HighOut(view) : chip_->ReadOut(view)) bus = *out;
  }
  if (stuck_read_bit_ >= 0) {
    const auto bit = static_cast<uint8_t>(1u << stuck_read_bit_);
    bus = static_cast<uint8_t>(stuck_read_level_ != 0 ? (bus | bit) : (bus & ~bit));
  }
  return bus;
}

void Board::ShiftClock() {
  shift_[0] = static_cast<uint8_t>((shift_[0] << 1) | ((pins_.data >> 1) & 1));
  shift_[1] = static_cast<uint8_t>((shift_[1] << 1) | ((pins_.data >> 4) & 1));
  shift_[2] = static_cast<uint8_t>((shift_[2] << 1) | ((pins_.data >> 5) & 1));
  uint32_t address = (uint32_t{shift_[2]} << 16) | (uint32_t{shift_[1]} << 8) | shift_[0];
  if (dead_line_ >= 0) address &= ~(1u << dead_line_);
  if (address != pins_.address) {
    pins_.address = address;
    pins_.address_since_ns = clock_.now_ns();
  }
}

void Board::CheckDrivenWhileOff() {
  const auto note = [this](const char* line) {
    for (const std::string& seen : driven_while_off_) {
      if (seen == line) return;
    }
    driven_while_off_.emplace_back(line);
    Violation(std::string(line) + " driven while Vcc is off");
  };
  // The firmware-hub adapter powers its part itself.
  if (adapter_ == SocketAdapter::kFirmwareHub) return;
  if (!pins_.strobe() && adapter_ != SocketAdapter::kWord16 &&
      !(chip_ && chip_->VppSafeWithoutVcc())) {
    note("Vpp");
  }
  // A chip in the serial socket has neither the data bus nor the address
  // lines on its pins.
  if (chip_ && !chip_->UsesAddressBus()) return;
  if (pins_.drive() && pins_.data != 0) note("data bus");
  if (pins_.address != 0) note("address lines");
}

void Board::CheckContention() {
  if (!chip_ || fault_ == BoardFault::kNoBoard) return;
  if (chip_->DataOut(ChipPins())) {
    Violation("data bus contention: the port drives while the chip's outputs are on");
  }
}

void Board::WriteData(uint8_t value) {
  if (wiring_faults_ && swap_[0] >= 0) [[unlikely]] {
    const int a = swap_[0], b = swap_[1];
    const int bit_a = (value >> a) & 1, bit_b = (value >> b) & 1;
    value = static_cast<uint8_t>((value & ~((1u << a) | (1u << b))) | (bit_a << b) | (bit_b << a));
  }
  const uint8_t old = pins_.data;
  pins_.data = value;
  if (value != old) pins_.data_since_ns = clock_.now_ns();
  const uint8_t rose = static_cast<uint8_t>(~old & value);
  const uint8_t fell = static_cast<uint8_t>(old & ~value);

  if (!pins_.drive()) {
    if (value & 0x08) [[unlikely]]
      DataBit3Set(value);
    // The shift clock is gated while the port drives the data bus.
    if (rose & 0x01) {
      ShiftClock();
      ++shift_clocks_;
    }
  }
  if (adapter_ == SocketAdapter::kWord16 && !pins_.strobe()) upper_latch_ = value;
  if (fell & 0x04) {
    if (value & 0x02) {
      if (!pins_.drive()) ChipAccess("read-path load");
      read_path_ = SampleBus();
      read_path_own_ = pins_.drive();
      read_load_ = true;
    } else {
      read_path_ = static_cast<uint8_t>((read_path_ << 1) | fill_);
    }
  }
  if (!pins_.power()) CheckDrivenWhileOff();
  Notify();
  if (pins_.drive()) CheckContention();
}

// Kept out of line: the write path is the board's hottest code.
void Board::DataBit3Set(uint8_t value) { Violation("data bit 3 set (" + Hex(value) + ")"); }

void Board::CheckPower(uint8_t old_ctrl, uint8_t new_ctrl) {
  // The firmware-hub adapter powers its part: control bit 2 is R/C#.
  if (adapter_ == SocketAdapter::kFirmwareHub) return;
  // The 16-bit adapter's control bit 0 is the latch strobe, not Vpp.
  if (adapter_ == SocketAdapter::kWord16) {
    old_ctrl |= 0x01;
    new_ctrl |= 0x01;
  }
  const bool vcc_was = (old_ctrl & 0x04) != 0, vcc_now = (new_ctrl & 0x04) != 0;
  bool vpp_was = (old_ctrl & 0x01) == 0, vpp_now = (new_ctrl & 0x01) == 0;
  // Control bit 3 is a program line in the parallel socket only; the serial
  // socket's pins take it as a select or write-protect line.
  const bool parallel = !chip_ || chip_->UsesAddressBus();
  const bool prog_was = parallel && (old_ctrl & 0x08) != 0;
  const bool prog_now = parallel && (new_ctrl & 0x08) != 0;
  if (chip_ && chip_->VppSafeWithoutVcc()) vpp_was = vpp_now = false;
  if (vcc_was && !vcc_now) {
    if (vpp_now) Violation("Vpp still on after Vcc went off");
    if (prog_now) Violation("program line still active after Vcc went off");
    read_path_own_ = false;
  } else if (!vcc_was && vcc_now) {
    if (vpp_was) {
      Violation("Vpp on before Vcc");
    } else if (vpp_now) {
      Violation("Vpp applied in the same write as Vcc");
    }
    if (prog_was || prog_now) Violation("program line active when Vcc came on");
    pins_.power_since_ns = clock_.now_ns();
  } else if (!vcc_now && vpp_now && !vpp_was) {
    Violation("Vpp applied while Vcc is off");
  }
}

void Board::WriteControl(uint8_t value) {
  const uint8_t old = pins_.ctrl;
  if (value & 0xF0) Violation("control bits 4-7 set (" + Hex(value) + ")");
  pins_.ctrl = value;
  const uint8_t rose = static_cast<uint8_t>(~old & value);
  const uint8_t fell = static_cast<uint8_t>(old & ~value);
  CheckPower(old, value);
  if (adapter_ != SocketAdapter::kDirect) AdapterControl(old);
  // Releasing the bus opens the clock gate: with data bit 0 high that is a
  // rising edge the shift registers take like any other.
  if ((fell & 0x02) && (pins_.data & 0x01)) ShiftClock();
  if (rose & 0x02) ChipAccess("data bus driven");
  if (rose & 0x08) ChipAccess("program line raised");
  if ((old & 0x01) && !(value & 0x01)) ChipAccess("word latch strobed");
  if (!pins_.power()) CheckDrivenWhileOff();
  Notify();
  if (pins_.drive()) CheckContention();
}

uint8_t Board::Status() {
  if (fault_ == BoardFault::kNoBoard) return 0x7F;  // every input floats high; bit 7 is inverted
  if (read_path_own_ && chip_ && chip_->UsesAddressBus()) {
    Violation("read path read after it loaded the port's own byte (a load while the port drives)");
    read_path_own_ = false;
  }
  // Taps: stage 7 -> bit 6, stage 6 -> bit 5, stage 5 -> bit 4, inverted.
  const uint8_t status = static_cast<uint8_t>(((~read_path_ >> 5) & 0x07) << 4) | 0x0F;
  bool line = true;  // the status-7 line floats high
  if (pins_.power()) {
    std::optional<bool> serial;
    if (chip_) {
      // The chip answers for the moment of the read, not of the last write.
      Pins now = ChipPins();
      now.time_ns = clock_.now_ns();
      serial = chip_->SerialOut(now);
    }
    line = serial ? *serial : pins_.clock();  // loop-back of data bit 0
  }
  switch (fault_) {
    case BoardFault::kLoopStuck0:
      return status & 0x7F;
    case BoardFault::kLoopStuck1:
      return status | 0x80;
    case BoardFault::kLoopInverted:
      line = !line;
      break;
    default:
      break;
  }
  return line ? (status & 0x7F) : (status | 0x80);
}

}  // namespace sim
