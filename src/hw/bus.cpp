#include "hw/bus.h"

#include <cstdio>

#include "hw/port_open.h"

namespace hw {

Bus::Bus(Clock& clock, Reporter& reporter)
    : clock_(&clock), reporter_(&reporter), frequency_(clock.Frequency()) {}

void Bus::SetPort(PortIo* port, std::string unavailable_reason) {
  if (port != nullptr) {
    port_ = port;
    unavailable_reason_.clear();
  } else {
    port_ = &unavailable_;
    unavailable_reason_ = unavailable_reason.empty() ? "no port selected" : unavailable_reason;
  }
}

void Bus::cbPortChange(int index) {
  if (index < 0 || index >= static_cast<int>(kPortChoices.size())) return;
  SetBase(kPortChoices[index].base);
}

void Bus::SetBase(uint16_t base) {
  lpt_base_ = base;
  lpt_status_ = static_cast<uint16_t>(base + 1);
  lpt_control_ = static_cast<uint16_t>(base + 2);
}

// --- delays ------------------------------------------------------------------

void Bus::Delay(int32_t n, long double scale) {
  const int64_t now = clock_->Now();
  const int64_t product = int64_t{n} * frequency_;
  const auto deadline = static_cast<int64_t>(static_cast<long double>(product) * scale +
                                             static_cast<long double>(now));
  if (now >= deadline) return;
  clock_->WaitUntil(deadline);
}

void Bus::DelayTicks(int32_t n) { Delay(n, 8.381e-7L); }
void Bus::Delay100ns(int32_t n) { Delay(n, 1e-7L); }

// --- address path --------------------------------------------------------------

void Bus::ShiftAddress(uint32_t a) {
  SetCtrl(ctrl::kDrive, false);  // release the data bus before shifting
  WriteCtrl();
  data_shadow_ &= 0x0C;
  WriteData();
  uint32_t previous = 0;
  for (int step = 0; step < 8; ++step) {
    const uint32_t pattern = a & 0x808080;
    if (pattern != previous) {
      data_shadow_ = static_cast<uint8_t>((data_shadow_ & 0x0C) | ((pattern & 0x800000) ? 0x20 : 0) |
                                          ((pattern & 0x8000) ? 0x10 : 0) |
                                          ((pattern & 0x80) ? 0x02 : 0));
      WriteData();
    }
    SetData(data::kClock, true);  // clock edge
    WriteData();
    previous = pattern;
    a <<= 1;
    SetData(data::kClock, false);
    WriteData();
  }
}

void Bus::SetAddress(uint32_t address, int32_t settle_ticks) {
  SetCtrl(ctrl::kDrive, false);
  WriteCtrl();
  if (settle_ticks != 0) DelayTicks(settle_ticks);
  ShiftAddress(address);
}

// --- data path ------------------------------------------------------------------

void Bus::PutData(uint8_t value, int32_t settle_ticks) {
  SetCtrl(ctrl::kDrive, true);  // port drives the chip's data bus
  WriteCtrl();
  if (settle_ticks != 0) DelayTicks(settle_ticks);
  WriteBusByte(value);
}

void Bus::ProgramPulse(int32_t ticks) {
  SetCtrl(ctrl::kProgram, true);  // program line active
  WriteCtrl();
  if (ticks != 0) DelayTicks(ticks);
  SetCtrl(ctrl::kProgram, false);
  WriteCtrl();
}

void Bus::ReadPathLoad() {
  SetData(data::kSerial, true);  // load line up
  WriteData();
  SetData(data::kReadClk, false);  // falling clock edge captures the bus
  WriteData();
  SetData(data::kSerial, false);
  WriteData();
  SetData(data::kReadClk, true);
  WriteData();
}

void Bus::ReadPathClock() {
  SetData(data::kReadClk, false);  // falling edge shifts one stage
  WriteData();
  SetData(data::kReadClk, true);
  WriteData();
}

uint8_t Bus::ReadDataByte() {
  ReadPathLoad();
  uint8_t s = ReadStatus();
  unsigned result = (~s & 0x70u) << 1;  // bits 7..5 from status 6..4
  for (int i = 0; i < 3; ++i) ReadPathClock();
  s = ReadStatus();
  result |= (~s & 0x70u) >> 2;  // bits 4..2
  for (int i = 0; i < 3; ++i) ReadPathClock();
  s = ReadStatus();
  result |= (~s >> kFinalReadTapShift) & 0x03u;  // bits 1..0
  return static_cast<uint8_t>(result);
}

uint8_t Bus::ReadDataByteSerial() {
  ReadPathLoad();
  SetCtrl(ctrl::kStrobe, true);
  WriteCtrl();
  unsigned result = 0;
  for (int n = 7; n >= 0; --n) {
    const uint8_t s = ReadStatus();
    if ((s & 0x40) == 0) result |= 1u << n;
    ReadPathClock();
  }
  return static_cast<uint8_t>(result);
}

void Bus::StrobeWrite(uint8_t latched, uint8_t driven, int32_t extra_ticks) {
  SetCtrl(ctrl::kDrive, true);
  WriteCtrl();
  WriteBusByte(latched);
  SetCtrl(ctrl::kStrobe, false);  // latch the high byte
  WriteCtrl();
  DelayTicks(12);
  SetCtrl(ctrl::kStrobe, true);
  WriteCtrl();
  DelayTicks(extra_ticks + 20);
  WriteBusByte(driven);
  Delay100ns(2);
}

uint8_t Bus::ReadCycle(uint32_t chip_address, int32_t width) {
  ShiftAddress(chip_address);
  SetCtrl(ctrl::kDrive, true);
  WriteCtrl();
  Delay100ns(width);
  SetCtrl(ctrl::kDrive, false);
  WriteCtrl();
  Delay100ns(width);
  return ReadDataByte();
}

// --- power -------------------------------------------------------------------------

void Bus::RestShadows() {
  SetCtrl(ctrl::kDrive, false);
  SetData(data::kSerial, false);
  SetCtrl(ctrl::kStrobe, true);
  SetCtrl(ctrl::kPower, false);
  SetData(data::kClock, false);
  SetData(data::kReadClk, true);
  WriteCtrl();
  WriteData();
}

void Bus::PowerDown() {
  SetCtrl(ctrl::kProgram, false);
  WriteCtrl();
  SetCtrl(ctrl::kDrive, false);
  WriteCtrl();
  ShiftAddress(0);
  RestShadows();
  DelayTicks(10000);
  SetCtrl(ctrl::kProgram, true);
  WriteCtrl();
}

void Bus::PowerUp() {
  SetCtrl(ctrl::kProgram, false);
  WriteCtrl();
  ShiftAddress(0);
  RestShadows();
  DelayTicks(1000);
  SetCtrl(ctrl::kPower, true);  // socket power on
  WriteCtrl();
  for (int i = 0; i < 3; ++i) DelayTicks(20000);
}

uint32_t Bus::ScrambleAddress(uint32_t a) {
  return (a & 0xB7FFF) | ((a << 1) & 0x8000) | ((a << 3) & 0x40000);
}

// --- reports -------------------------------------------------------------------------

void Bus::ReportError(const std::string& text) {
  reporter_->Message(text, kError);
  PowerDown();
}

namespace {

uint8_t ImageByte(std::span<const uint8_t> image, uint32_t at) {
  // Outside the image there is nothing to compare against; show it erased.
  return at < image.size() ? image[at] : 0xFF;
}

}  // namespace

void Bus::ReportMismatch(uint32_t index, uint32_t offset, uint8_t chip,
                         std::span<const uint8_t> image) {
  const uint32_t a = index + offset;
  char text[96];
  std::snprintf(text, sizeof text, " Error at 0x%06X  Chip = 0x%02X  buffer = 0x%02X", a, chip,
                ImageByte(image, a));
  ReportError(text);
}

void Bus::ReportMismatch16(uint32_t index, uint32_t offset, uint8_t chip_high, uint8_t chip_low,
                           std::span<const uint8_t> image) {
  const uint32_t a = index + offset;
  const unsigned chip = chip_high * 256u + chip_low;
  const unsigned buffer = ImageByte(image, a) * 256u + ImageByte(image, a + 1);
  char text[96];
  std::snprintf(text, sizeof text, " Error at 0x%06X  Chip = 0x%04X  buffer = 0x%04X", a, chip,
                buffer);
  ReportError(text);
}

// --- hardware test --------------------------------------------------------------------

void Bus::ResetBus() {
  SetAddress(0, 0);
  SetCtrl(ctrl::kDrive, false);
  SetData(data::kSerial, false);
  SetCtrl(ctrl::kProgram, false);
  SetCtrl(ctrl::kStrobe, true);
  SetCtrl(ctrl::kPower, false);
  SetData(data::kClock, false);
  SetData(data::kReadClk, true);
  WriteCtrl();
  WriteData();
  DelayTicks(1000);
  SetCtrl(ctrl::kPower, true);
  WriteCtrl();
  DelayTicks(30000);
}

int Bus::CheckHardware() {
  if (!Available()) {
    reporter_->Message(unavailable_reason_, kError);
    return 1;
  }
  ResetBus();
  SetCtrl(ctrl::kProgram, false);
  WriteCtrl();
  SetCtrl(ctrl::kDrive, true);
  WriteCtrl();
  SetData(data::kClock, true);  // loop-back source high
  WriteData();
  DelayTicks(1000);
  const bool first = (ReadStatus() & 0x80) != 0;
  SetData(data::kClock, false);
  WriteData();
  DelayTicks(1000);
  const bool second = (ReadStatus() & 0x80) != 0;
  int result;
  if (!first && second) {
    reporter_->Message("Hardware present ", kResult);
    result = 0;
  } else {
    reporter_->Message("Hardware Error :  Check Power && connection", kError);
    result = 1;
  }
  PowerDown();
  DelayTicks(30000);
  DelayTicks(30000);
  SetCtrl(ctrl::kDrive, false);
  WriteCtrl();
  return result;
}

}  // namespace hw
