// The 16-bit parts' own program algorithm (the 2 MB size) and their choice
// of routine by size.
#include "families/parallel/eprom16.h"

#include "families/parallel/uv_eprom_pass.h"

namespace families::uv_eprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;

constexpr uint32_t KB = 1024;

struct SizeChoice {
  uint32_t size;
  Variant variant;
};
constexpr SizeChoice kWide[] = {
    {512 * KB, Variant::kE},
    {1024 * KB, Variant::kE},
    {2048 * KB, Variant::kF},
    {4096 * KB, Variant::kL},
};

// Vpp stays on from the prologue: the part is read back in program verify,
// CE inactive and OE low, with the short strobes its fast cycle allows.
uint8_t AttemptF(app::Programmer& p, uint32_t address, uint8_t b, int width, int wait) {
  hw::Bus& bus = p.bus;
  bus.ShiftAddress(address);
  Bit(bus, kDrive, true);
  bus.Delay100ns(1);
  bus.WriteBusByte(b);
  bus.Delay100ns(2);
  Bit(bus, kProgram, true);  // the pulse
  bus.DelayTicks(width);
  Bit(bus, kProgram, false);
  bus.DelayTicks(wait);
  bus.WriteData();
  Bit(bus, kDrive, false);
  bus.Delay100ns(2);
  return bus.ReadDataByte();
}

void ShiftFirstAllOnes(app::Programmer& p) { ShiftFirstPrologue(p, 0x0FFFFFFF); }

}  // namespace

Variant WideVariant(uint32_t device_size) {
  for (const SizeChoice& choice : kWide) {
    if (choice.size == device_size) return choice.variant;
  }
  return Variant::kGeneric;
}

void ProgramF(app::Programmer& p) {
  RunSinglePass(p, {ShiftFirstAllOnes, AttemptF, 26, true, Verify});
}

}  // namespace families::uv_eprom
