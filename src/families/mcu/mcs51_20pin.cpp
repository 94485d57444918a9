// The AT89Cx051 parts in the 20-pin position (sub-type 6). They have no
// address pins in programming mode: RST clears an internal address counter
// and each pulse on XTAL1 advances it, so every byte is written and read
// where the counter stands. The mode pins come from the address latch (the
// socket record's patterns), and the data byte crosses the adapter's wiring.
#include "families/mcu/adapter_wiring.h"
#include "families/mcu/mcs51_ops.h"

namespace families::mcs51::pins20 {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

// The 12 V route to RST/VPP, which WriteLock adds to the lock patterns.
constexpr uint32_t kVppRoute = 0x40000;

bool NewAdapter(const Programmer& p) { return p.dev.mcs51.new_adapter; }

// RST high for 50 ms: the counter starts from 0.
void EnterMode(Programmer& p) {
  hw::Bus& bus = p.bus;
  p.dev.mcs51.type = 20;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.SetAddress(p.dev.mcs51.socket.enter, 0);
  bus.DelayTicks(20);
  Bit(bus, kProgram, true);
  bus.DelayTicks(30000);
  bus.DelayTicks(30000);
  Bit(bus, kProgram, false);
  bus.DelayTicks(20);
}

// One pulse on XTAL1.
void NextAddress(Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.SetAddress(p.dev.mcs51.socket.next_address, 0);
  bus.DelayTicks(10);
  bus.ProgramPulse(10);
  bus.DelayTicks(10);
}

void WriteByte(Programmer& p, uint32_t, uint8_t b, int twc) {
  hw::Bus& bus = p.bus;
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  Bit(bus, kProgram, false);
  if (BoardVpp(p)) {
    Bit(bus, kStrobe, false);  // 12 V on RST/VPP once the mode is latched
    bus.DelayTicks(10);
  }
  bus.SetAddress(m.socket.write_code, 0);
  bus.DelayTicks(10);
  bus.PutData(families::mcu::ToAdapter(b, NewAdapter(p)), 10);
  bus.DelayTicks(15);
  for (int n = 0; n < m.pulses; ++n) {
    bus.ProgramPulse(m.twp);
    bus.DelayTicks(30);
  }
  Bit(bus, kStrobe, true);
  DataTail(bus);
  bus.DelayTicks(twc);
}

uint8_t ReadByte(Programmer& p, uint32_t) {
  hw::Bus& bus = p.bus;
  // Bus released, PROG high, Vpp off, in one write.
  bus.SetCtrl(kDrive, false);
  bus.SetCtrl(kProgram, false);
  bus.SetCtrl(kStrobe, true);
  bus.WriteCtrl();
  bus.DelayTicks(10);
  bus.ShiftAddress(p.dev.mcs51.socket.read_code);
  bus.DelayTicks(20);
  return families::mcu::FromAdapter(bus.ReadDataByte(), NewAdapter(p));
}

// Each lock bit in programming mode of its own.
void WriteLock(Programmer& p, uint32_t pattern) {
  hw::Bus& bus = p.bus;
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  EnterMode(p);
  Bit(bus, kProgram, false);
  if (BoardVpp(p)) {
    Bit(bus, kStrobe, false);
    bus.DelayTicks(1000);
  }
  bus.SetAddress(pattern | kVppRoute, 0);
  bus.DelayTicks(15);
  bus.PutData(0xFF, 0);
  bus.DelayTicks(15);
  bus.ProgramPulse(m.twpb);
  bus.DelayTicks(200);
  Bit(bus, kStrobe, true);
  bus.DelayTicks(100);
  DataTail(bus);
  bus.DelayTicks(m.twc);
  bus.PowerDown();
}

// These parts have lock bits 1 and 2 only: choice 3 writes nothing.
void Lock(Programmer& p, int choice) {
  const app::Descriptor::Mcs51Socket& s = p.dev.mcs51.socket;
  if (choice == 1 || choice == 2) WriteLock(p, s.lock1);
  if (choice == 2) WriteLock(p, s.lock2);
}

// Three bytes from counter positions 0, 1 and 2.
std::array<uint8_t, 3> ReadSignature(Programmer& p) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  bus.DelayTicks(500);
  std::array<uint8_t, 3> s{};
  for (int k = 0; k < 3; ++k) {
    if (k > 0) NextAddress(p);
    bus.ShiftAddress(p.dev.mcs51.socket.signature);
    bus.DelayTicks(k == 0 ? 20 : 10);
    s[k] = families::mcu::FromAdapter(bus.ReadDataByte(), NewAdapter(p));
  }
  return s;
}

}  // namespace

const Ops kSubType6{
    .enter = &EnterMode,
    .next = &NextAddress,
    .write = &WriteByte,
    .read = &ReadByte,
    .erase = &EraseOnceRepeated,
    .lock = &Lock,
    .read_lock = nullptr,
    .signature = &ReadSignature,
    .program = nullptr,
    .option = nullptr,
};

}  // namespace families::mcs51::pins20
