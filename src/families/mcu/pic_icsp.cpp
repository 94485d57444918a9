// The ICSP bit level: every frame the PIC routines send goes through here.
#include "families/mcu/pic.h"

namespace families::pic {
namespace {

constexpr int kPgd = 0;  // data bit 0
constexpr int kPgc = 1;  // data bit 1
constexpr int kVpp = hw::ctrl::kStrobe;
constexpr int kMode = hw::ctrl::kDrive;
constexpr int kVdd = hw::ctrl::kPower;
constexpr uint8_t kPgdIn = 0x80;  // status bit 7 reads NOT PGD

void Data(hw::Bus& bus, int bit, bool on) {
  bus.SetData(bit, on);
  bus.WriteData();
}

void Ctrl(hw::Bus& bus, int bit, bool on) {
  bus.SetCtrl(bit, on);
  bus.WriteCtrl();
}

void LinesLow(hw::Bus& bus) {
  bus.SetData(kPgd, false);
  bus.SetData(kPgc, false);
  bus.WriteData();
}

}  // namespace

void PicSendBit(app::Programmer& p, bool b) {
  hw::Bus& bus = p.bus;
  Data(bus, kPgd, b);
  bus.DelayTicks(3);
  Data(bus, kPgc, true);
  bus.DelayTicks(3);
  Data(bus, kPgc, false);
  bus.DelayTicks(3);
  Data(bus, kPgd, false);
  bus.DelayTicks(3);
}

bool PicReadBit(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  // PGD high releases the line to the chip (wired AND).
  bus.SetData(kPgd, true);
  bus.SetData(kPgc, true);
  bus.WriteData();
  bus.DelayTicks(3);
  Data(bus, kPgc, false);
  bus.DelayTicks(3);
  const uint8_t status = bus.ReadStatus();
  bus.DelayTicks(3);
  return (status & kPgdIn) == 0;
}

void PicCommand(app::Programmer& p, int code) {
  hw::Bus& bus = p.bus;
  Data(bus, kPgd, false);
  bus.DelayTicks(5);
  for (int bit = 0; bit < 6; ++bit) PicSendBit(p, ((code >> bit) & 1) != 0);
  Data(bus, kPgd, true);
  bus.DelayTicks(30);
}

void PicSendData(app::Programmer& p, uint16_t word) {
  PicSendBit(p, false);
  for (int bit = 0; bit < 14; ++bit) PicSendBit(p, ((word >> bit) & 1) != 0);
  PicSendBit(p, false);
  p.bus.DelayTicks(10);
}

uint16_t PicReadData(app::Programmer& p) {
  PicReadBit(p);
  uint16_t word = 0;
  for (int bit = 0; bit < 14; ++bit) {
    if (PicReadBit(p)) word = static_cast<uint16_t>(word | 1u << bit);
  }
  PicReadBit(p);
  p.bus.DelayTicks(10);
  return word;
}

void PicEnterVddFirst(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Ctrl(bus, kMode, true);
  LinesLow(bus);
  Ctrl(bus, kVpp, true);
  bus.DelayTicks(100);
  Ctrl(bus, kVdd, true);
  bus.DelayTicks(3000);
  Ctrl(bus, kVpp, false);
  bus.DelayTicks(1000);
}

void PicEnterVppFirst(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Ctrl(bus, kMode, true);
  LinesLow(bus);
  bus.DelayTicks(10);
  Ctrl(bus, kVpp, false);
  bus.DelayTicks(2000);
  Ctrl(bus, kVdd, true);
  bus.DelayTicks(5000);
}

void PicExit(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  LinesLow(bus);
  bus.DelayTicks(10);
  Ctrl(bus, kVdd, false);
  bus.DelayTicks(1000);
  Ctrl(bus, kVpp, true);
  bus.DelayTicks(5000);
  Ctrl(bus, kMode, false);
}

void PicLoad(app::Programmer& p, int code, uint16_t word) {
  PicCommand(p, code);
  PicSendData(p, word);
}

uint16_t PicRead(app::Programmer& p, int code) {
  PicCommand(p, code);
  return PicReadData(p);
}

void PicIncrement(app::Programmer& p, int times) {
  for (int i = 0; i < times; ++i) PicCommand(p, cmd::kIncrement);
}

void EnterAtConfig(app::Programmer& p, int increments) {
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadConfig, 0x3FFF);
  PicIncrement(p, increments);
}

}  // namespace families::pic
