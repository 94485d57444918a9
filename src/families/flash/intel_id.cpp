// I9 and I10: the identifier codes of the Intel command-set parts, and the
// family cells that choose between routines.
#include "families/flash/flash_frame.h"
#include "families/flash/flash_id.h"
#include "families/flash/intel.h"

namespace families::intel {

using namespace flash;
using IdExtra = app::Descriptor::IdExtra;

namespace {

// The J3 in byte mode keeps its identifier codes at word offsets, so the
// device code sits at byte 2 like the B5 parts'; the 8-bit parts (Tags
// above 139 but the J3) answer at byte 1.
uint32_t DeviceCodeAddress(const app::Programmer& p) {
  const int tag = p.dev.device_code;
  return tag > 139 && p.dev.family != 55 ? 1 : 2;
}

// 0x90 with the waits of I9: the byte, 50 ticks, WE# for 10.
void ReadIdentifier(hw::Bus& bus, int32_t after) {
  bus.PutData(0x90, 5);
  bus.DelayTicks(50);
  bus.ProgramPulse(10);
  bus.DelayTicks(after);
}

uint8_t ReadByteAt(hw::Bus& bus, uint32_t address) {
  bus.SetAddress(address, 0);
  bus.DelayTicks(5);
  Bit(bus, kDrive, false);
  return bus.ReadDataByte();
}

}  // namespace

void I9(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  Bit(bus, kProgram, false);
  bus.ShiftAddress(0xFFFFFF);
  Vpp(bus, true);
  bus.DelayTicks(200);
  ReadIdentifier(bus, 15);
  const uint8_t manufacturer = ReadByteAt(bus, 0);
  ReadIdentifier(bus, 20);
  const uint8_t device = ReadByteAt(bus, 1);
  // These 12 V parts have no query: the buffer takes what identifier mode
  // answers there.
  for (size_t k = 0; k < p.dev.cfi.size(); ++k) {
    Bit(bus, kDrive, true);
    bus.DelayTicks(20);
    bus.ShiftAddress(0x10 + static_cast<uint32_t>(k));
    bus.DelayTicks(5);
    p.dev.cfi[k] = bus.ReadDataByte();
  }
  Vpp(bus, false);
  bus.DelayTicks(1000);
  bus.PowerDown();
  p.dev.id_extra = IdExtra::kNone;
  Identify(p, manufacturer, device);
}

void I10(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const bool j3 = p.dev.family == 55;
  bus.PowerUp();
  bus.SetAddress(0xFFFFFF, 0);
  if (!j3) Vpp(bus, true);  // the J3's enable pin takes logic levels only
  bus.DelayTicks(300);
  bus.PutData(0x90, 5);
  bus.DelayTicks(10);
  bus.ProgramPulse(5);
  bus.DelayTicks(10);
  const uint8_t manufacturer = ReadByteAt(bus, 0);
  bus.PutData(0xFF, 5);  // read array
  bus.DelayTicks(10);
  bus.ProgramPulse(5);
  bus.DelayTicks(10);
  bus.DelayTicks(10000);
  bus.PutData(0x90, 5);
  bus.DelayTicks(10);
  bus.ProgramPulse(10);
  bus.DelayTicks(20);
  const uint8_t device = ReadByteAt(bus, DeviceCodeAddress(p));
  bus.DelayTicks(30);
  // The query, then back to read array.
  bus.PutData(0x98, 5);
  bus.DelayTicks(10);
  bus.ProgramPulse(5);
  bus.DelayTicks(10);
  ReadCfiBuffer(p, 0x20, 2);
  bus.PutData(0xFF, 5);
  bus.ProgramPulse(5);
  Vpp(bus, false);
  bus.DelayTicks(500);
  bus.PowerDown();
  p.dev.id_extra = IdExtra::kNone;
  Identify(p, manufacturer, device);
}

void Program3(app::Programmer& p) { p.dev.embedded ? I2(p) : I1(p); }
void Erase3(app::Programmer& p) { p.dev.embedded ? I4(p) : I3(p); }

}  // namespace families::intel

namespace families {

void RegisterIntelFlash(app::FamilyRegistry& registry) {
  using app::Action;
  using namespace intel;
  registry.Register(3, Action::kProgram, &Program3);
  registry.Register(3, Action::kErase, &Erase3);
  registry.Register(3, Action::kGetId, &I9);
  // 31: its own program and erase, Get ID as 3.
  registry.Register(31, Action::kProgram, &I11);
  registry.Register(31, Action::kErase, &I12);
  registry.Register(31, Action::kGetId, &I9);
  registry.Register(26, Action::kProgram, &I5);
  registry.Register(26, Action::kErase, &Erase26);
  registry.Register(26, Action::kGetId, &I10);
  // 55: its own program and erase, Get ID as 26.
  registry.Register(55, Action::kProgram, &I8);
  registry.Register(55, Action::kErase, &I6);
  registry.Register(55, Action::kGetId, &I10);
}

}  // namespace families
