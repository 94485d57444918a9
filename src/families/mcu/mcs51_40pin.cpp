// The 40-pin parts on the MCS-51 adapter (sub-types 1, 2, 3, 5 and 8).
// Programming mode is the powered socket: every byte is addressed
// explicitly, the mode pins and the 12 V route ride on the upper bits of
// the address (the socket record's patterns), and P0 is the data bus,
// straight through.
#include "families/mcu/mcs51_ops.h"

namespace families::mcs51::pins40 {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;

// Signature addresses, and where the AT89S51/52 keep theirs instead.
constexpr uint32_t kSignature0 = 0x30, kSignature1 = 0x31, kSignature2 = 0x32;
constexpr uint32_t kSignatureS1 = 0x100, kSignatureS2 = 0x200;

// Lock-bit reads (no 12 V route: the part only reads).
constexpr uint32_t kReadLockS5x = 0x38000;     // AT89S51/52, AT89C55WD/51RC
constexpr uint32_t kReadLockS8252 = 0x118000;  // AT89S8252/53, with 12 V
constexpr uint32_t kReadLockS8253 = 0x184000;
// Option bytes: the AT89S8252/53 SPI byte and the AT89S8253 fuses.
constexpr uint32_t kSpiOption = 0x50000;
constexpr uint32_t kFuse = 0xC4000;
// The AT89S8253's code ends below 0x3000; its data EEPROM is read with the
// code-select bit clear.
constexpr uint32_t kS8253CodeEnd = 0x2FFF;
constexpr uint32_t kS8253DataRead = 0x60000;

void EnterMode(Programmer& p) { p.bus.PowerUp(); }

// The read set-up: bus released, PROG high, Vpp switch off, in one write.
void ReadStart(hw::Bus& bus) {
  bus.SetCtrl(kDrive, false);
  bus.SetCtrl(kProgram, false);
  bus.SetCtrl(kStrobe, true);
  bus.WriteCtrl();
  bus.DelayTicks(10);
}

void WriteByte(Programmer& p, uint32_t address, uint8_t b, int twc) {
  hw::Bus& bus = p.bus;
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  Bit(bus, kProgram, false);
  if (BoardVpp(p)) {
    Bit(bus, kStrobe, false);
    bus.DelayTicks(10);
  }
  bus.SetAddress(m.socket.write_code | address, 0);
  bus.DelayTicks(10);
  bus.PutData(b, 3);
  bus.DelayTicks(10);
  for (int n = 0; n < m.pulses; ++n) {
    bus.ProgramPulse(m.twp);
    bus.DelayTicks(30);
  }
  Bit(bus, kStrobe, true);
  DataTail(bus);
  bus.DelayTicks(twc);
}

uint8_t ReadByte(Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  ReadStart(bus);
  bus.ShiftAddress(p.dev.mcs51.socket.read_code | address);
  bus.DelayTicks(10);
  return bus.ReadDataByte();
}

// AT89S8252/53: the read is made with the Vpp switch on (the mode's route
// bit is clear, so EA stays at 5 V).
uint8_t ReadByteS8252(Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  ReadStart(bus);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(80);
  bus.ShiftAddress(p.dev.mcs51.socket.read_code | address);
  bus.DelayTicks(10);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kStrobe, true);
  return r;
}

// AT89S8253: code up to 0x2FFF, the data EEPROM above.
uint8_t ReadByteS8253(Programmer& p, uint32_t address) {
  hw::Bus& bus = p.bus;
  ReadStart(bus);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(80);
  const uint32_t pattern = address <= kS8253CodeEnd ? p.dev.mcs51.socket.read_code : kS8253DataRead;
  bus.ShiftAddress(pattern | address);
  bus.DelayTicks(10);
  const uint8_t r = bus.ReadDataByte();
  Bit(bus, kStrobe, true);
  return r;
}

uint8_t ReadAt(hw::Bus& bus, uint32_t address, int32_t settle) {
  bus.ShiftAddress(address);
  bus.DelayTicks(settle);
  return bus.ReadDataByte();
}

std::array<uint8_t, 3> ReadSignature(Programmer& p) {
  hw::Bus& bus = p.bus;
  Bit(bus, kProgram, false);
  bus.DelayTicks(500);
  std::array<uint8_t, 3> s{};
  s[0] = ReadAt(bus, kSignature0, 10);
  if (s[0] == 0xFF) {  // some parts answer only with the Vpp switch on
    Bit(bus, kStrobe, false);
    bus.DelayTicks(200);
    s[0] = ReadAt(bus, kSignature0, 10);
  }
  s[1] = ReadAt(bus, kSignature1, 10);
  s[2] = ReadAt(bus, kSignature2, 10);
  if (s[1] == 0xFF) {  // the AT89S51/52 keep theirs at 100H and 200H
    s[1] = ReadAt(bus, kSignatureS1, 10);
    s[2] = ReadAt(bus, kSignatureS2, 10);
  }
  return s;
}

std::array<uint8_t, 3> ReadSignatureS8253(Programmer& p) {
  hw::Bus& bus = p.bus;
  const uint32_t at = p.dev.mcs51.socket.signature;
  Bit(bus, kProgram, false);
  bus.DelayTicks(500);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(200);
  std::array<uint8_t, 3> s{};
  s[0] = ReadAt(bus, at, 10);
  s[1] = ReadAt(bus, at + 1, 10);
  s[2] = ReadAt(bus, at + 2, 12);
  bus.DelayTicks(20);
  Bit(bus, kStrobe, true);
  bus.DelayTicks(100);
  return s;
}

// One lock pulse of tWPb in the pattern's mode, inside the caller's
// programming mode.
void WriteLock(Programmer& p, uint32_t pattern, uint8_t data) {
  hw::Bus& bus = p.bus;
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  Bit(bus, kProgram, false);
  if (BoardVpp(p)) {
    Bit(bus, kStrobe, false);
    bus.DelayTicks(5000);
  }
  bus.SetAddress(pattern, 0);
  bus.DelayTicks(15);
  bus.PutData(data, 0);
  bus.DelayTicks(15);
  bus.ProgramPulse(m.twpb);
  bus.DelayTicks(20);
  Bit(bus, kStrobe, true);
  DataTail(bus);
  bus.DelayTicks(m.twc);
}

// The same pulse in a power cycle of its own.
void WriteLockS(Programmer& p, uint32_t pattern, uint8_t data) {
  hw::Bus& bus = p.bus;
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  if (BoardVpp(p)) {
    Bit(bus, kStrobe, false);
    bus.DelayTicks(1000);
  }
  bus.SetAddress(pattern, 0);
  bus.DelayTicks(15);
  bus.PutData(data, 0);
  bus.DelayTicks(15);
  bus.ProgramPulse(m.twpb);
  bus.DelayTicks(200);
  Bit(bus, kStrobe, true);
  bus.DelayTicks(100);
  DataTail(bus);
  bus.DelayTicks(m.twc);
  bus.PowerDown();
}

// Lock bits 1, 2 and 3 in that order, as many as the choice asks.
void LockCumulative(Programmer& p, int choice, void (*write)(Programmer&, uint32_t, uint8_t)) {
  const app::Descriptor::Mcs51Socket& s = p.dev.mcs51.socket;
  const uint32_t patterns[3] = {s.lock1, s.lock2, s.lock3};
  for (int n = 0; n < choice && n < 3; ++n) write(p, patterns[n], 0xFF);
}
void Lock(Programmer& p, int choice) { LockCumulative(p, choice, &WriteLock); }
void LockS(Programmer& p, int choice) { LockCumulative(p, choice, &WriteLockS); }

// AT89S8252/53: one pulse in the lock-bit-3 mode; the data byte's low bits
// D7, D6, D5 say which bits to program.
void LockS8252(Programmer& p, int choice) {
  static constexpr uint8_t kData[3] = {0x7F, 0x3F, 0x1F};
  WriteLock(p, p.dev.mcs51.socket.lock3, kData[choice - 1]);
}

// AT89S8253: one pulse, the bits low in D0..D2.
void LockS8253(Programmer& p, int choice) {
  static constexpr uint8_t kData[3] = {0xFE, 0xFC, 0xF8};
  WriteLockS(p, p.dev.mcs51.socket.lock1, kData[choice - 1]);
}

uint8_t ReadLockS5x(Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.DelayTicks(100);
  bus.SetAddress(kReadLockS5x, 0);
  bus.DelayTicks(15);
  const uint8_t v = bus.ReadDataByte();
  bus.DelayTicks(100);
  bus.PowerDown();
  return v;
}

// AT89S8252/53 and AT89S8253: the read mode with 12 V on EA.
uint8_t ReadLockWithVpp(Programmer& p, uint32_t pattern, int32_t settle) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.DelayTicks(100);
  bus.SetAddress(pattern, 0);
  bus.DelayTicks(15);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(settle);
  const uint8_t v = bus.ReadDataByte();
  Bit(bus, kStrobe, true);
  bus.DelayTicks(500);
  bus.PowerDown();
  return v;
}
uint8_t ReadLockS8252(Programmer& p) { return ReadLockWithVpp(p, kReadLockS8252, 500); }
uint8_t ReadLockS8253(Programmer& p) { return ReadLockWithVpp(p, kReadLockS8253, 400); }

// One option byte in its mode, 12 V switched on after the byte is on the
// bus, one pulse of tWPb.
void WriteOptionByte(Programmer& p, uint32_t pattern, uint8_t data) {
  hw::Bus& bus = p.bus;
  const app::Descriptor::Mcs51& m = p.dev.mcs51;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.DelayTicks(500);
  bus.SetAddress(pattern, 0);
  bus.DelayTicks(15);
  bus.PutData(data, 0);
  bus.DelayTicks(15);
  Bit(bus, kStrobe, false);
  bus.DelayTicks(500);
  bus.ProgramPulse(m.twpb);
  bus.DelayTicks(100);
  Bit(bus, kStrobe, true);
  DataTail(bus);
  bus.DelayTicks(m.twc);
}

// The SPI byte takes 1 (serial programming off) only when the option word
// is exactly 1.
void WriteSpiOption(Programmer& p) {
  const uint8_t d = p.dev.mcs51.option_word == 1 ? 1 : 0;
  WriteOptionByte(p, kSpiOption, d);
  p.Message(d == 1 ? "Device Disable Func. SPI  " : "Device Enable Func. SPI ", hw::kResult);
  p.bus.PowerDown();
}

void WriteFuse(Programmer& p) {
  WriteOptionByte(p, kFuse, p.dev.mcs51.option_word);
  p.bus.PowerDown();
}

}  // namespace

const Ops kSubType1{
    .enter = &EnterMode,
    .next = nullptr,
    .write = &WriteByte,
    .read = &ReadByte,
    .erase = &EraseOnceRepeated,
    .lock = &Lock,
    .read_lock = nullptr,
    .signature = &ReadSignature,
    .program = nullptr,
    .option = nullptr,
};

const Ops kSubType2{
    .enter = &EnterMode,
    .next = nullptr,
    .write = &WriteByte,
    .read = &ReadByte,
    .erase = &EraseTwice,
    .lock = &LockS,
    .read_lock = &ReadLockS5x,
    .signature = &ReadSignature,
    .program = nullptr,
    .option = nullptr,
};

const Ops kSubType3{
    .enter = &EnterMode,
    .next = nullptr,
    .write = &WriteByte,
    .read = &ReadByteS8252,
    .erase = &EraseOnceRepeated,
    .lock = &LockS8252,
    .read_lock = &ReadLockS8252,
    .signature = &ReadSignature,
    .program = nullptr,
    .option = &WriteSpiOption,
};

const Ops kSubType5{
    .enter = &EnterMode,
    .next = nullptr,
    .write = &WriteByte,
    .read = &ReadByte,
    .erase = &EraseTwiceAt62V,
    .lock = &Lock,
    .read_lock = &ReadLockS5x,
    .signature = &ReadSignature,
    .program = nullptr,
    .option = nullptr,
};

const Ops kSubType8{
    .enter = &EnterMode,
    .next = nullptr,
    .write = nullptr,
    .read = &ReadByteS8253,
    .erase = &EraseTwice,
    .lock = &LockS8253,
    .read_lock = &ReadLockS8253,
    .signature = &ReadSignatureS8253,
    .program = &PageProgram,
    .option = &WriteFuse,
};

}  // namespace families::mcs51::pins40
