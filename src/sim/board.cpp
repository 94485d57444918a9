#include "sim/board.h"

#include <cstdio>

namespace sim {
namespace {

std::string Hex(unsigned v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

}  // namespace

Board::Board(uint16_t base) : base_(base) {}
Board::~Board() = default;

void Board::InsertChip(std::unique_ptr<Chip> chip) {
  chip_ = std::move(chip);
  Notify();
}

std::unique_ptr<Chip> Board::RemoveChip() { return std::move(chip_); }

std::vector<std::string> Board::violations() const {
  std::vector<std::string> all = violations_;
  if (chip_) all.insert(all.end(), chip_->violations().begin(), chip_->violations().end());
  return all;
}

void Board::ClearViolations() {
  violations_.clear();
  if (chip_) chip_->ClearViolations();
}

void Board::Violation(std::string text) {
  if (violations_.size() < 1000) {
    violations_.push_back("t=" + std::to_string(clock_.now_ns()) + "ns: " + std::move(text));
  }
}

void Board::PortOut(uint16_t port, uint8_t value) {
  clock_.Advance(access_cost_ns_);
  ++accesses_;
  if (trace_on_) trace_.push_back({clock_.now_ns(), port, true, value});
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
}

uint8_t Board::PortIn(uint16_t port) {
  clock_.Advance(access_cost_ns_);
  ++accesses_;
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
  if (trace_on_) trace_.push_back({clock_.now_ns(), port, false, value});
  return value;
}

void Board::ChipAccess(const char* what) {
  if (shift_clocks_ % 8 != 0 && (!chip_ || chip_->UsesAddressBus())) {
    Violation(std::string(what) + " while the address registers are mid-shift (" +
              std::to_string(shift_clocks_ % 8) + " of 8 clocks)");
  }
}

uint8_t Board::BusValue() {
  if (pins_.drive()) return pins_.data;
  if (chip_ && fault_ != BoardFault::kNoBoard) {
    if (const auto out = chip_->DataOut(pins_)) return *out;
  }
  return 0xFF;  // pull-ups
}

void Board::WriteData(uint8_t value) {
  const uint8_t old = pins_.data;
  pins_.data = value;
  const uint8_t rose = static_cast<uint8_t>(~old & value);
  const uint8_t fell = static_cast<uint8_t>(old & ~value);

  if (!pins_.drive()) {
    if (value & 0x08) Violation("data bit 3 set (" + Hex(value) + ")");
    // The shift clock is gated while the port drives the data bus.
    if (rose & 0x01) {
      shift_[0] = static_cast<uint8_t>((shift_[0] << 1) | ((value >> 1) & 1));
      shift_[1] = static_cast<uint8_t>((shift_[1] << 1) | ((value >> 4) & 1));
      shift_[2] = static_cast<uint8_t>((shift_[2] << 1) | ((value >> 5) & 1));
      pins_.address = (uint32_t{shift_[2]} << 16) | (uint32_t{shift_[1]} << 8) | shift_[0];
      ++shift_clocks_;
    }
  }
  if (fell & 0x04) {
    if (value & 0x02) {
      ChipAccess("read-path load");
      read_path_ = BusValue();
    } else {
      read_path_ = static_cast<uint8_t>((read_path_ << 1) | fill_);
    }
  }
  Notify();
}

void Board::WriteControl(uint8_t value) {
  const uint8_t old = pins_.ctrl;
  if (value & 0xF0) Violation("control bits 4-7 set (" + Hex(value) + ")");
  pins_.ctrl = value;
  const uint8_t rose = static_cast<uint8_t>(~old & value);
  if (rose & 0x02) ChipAccess("data bus driven");
  if (rose & 0x08) ChipAccess("program line raised");
  if ((old & 0x01) && !(value & 0x01)) ChipAccess("word latch strobed");
  Notify();
}

uint8_t Board::Status() {
  switch (fault_) {
    case BoardFault::kNoBoard:
      return 0x7F;  // every input floats high; bit 7 is inverted by the port
    default:
      break;
  }
  // Taps: stage 7 -> bit 6, stage 6 -> bit 5, stage 5 -> bit 4, inverted.
  uint8_t status = static_cast<uint8_t>(((~read_path_ >> 5) & 0x07) << 4) | 0x0F;
  bool line = true;  // the status-7 line floats high
  if (pins_.power()) {
    std::optional<bool> serial;
    if (chip_) serial = chip_->SerialOut(pins_);
    line = serial ? *serial : pins_.clock();  // loop-back of data bit 0
  }
  if (fault_ == BoardFault::kLoopStuck0) return status & 0x7F;
  if (fault_ == BoardFault::kLoopStuck1) return status | 0x80;
  return line ? (status & 0x7F) : (status | 0x80);
}

}  // namespace sim
