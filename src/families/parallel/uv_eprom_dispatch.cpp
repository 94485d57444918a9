// Family 0's choice of program routine, and the families' dispatch cells.
#include "app/programmer.h"
#include "families/parallel/eprom16.h"
#include "families/parallel/m87c256.h"
#include "families/parallel/uv_eprom.h"

namespace families {
namespace uv_eprom {
namespace {

constexpr uint32_t KB = 1024;

struct SizeChoice {
  uint32_t size;
  Variant variant;
};
// The 8-bit parts, and the DIP40 parts as 8-bit parts of their size. The
// 4 KB and 64 KB sizes are the OE/Vpp parts (2732, 27C512).
constexpr SizeChoice kBySize[] = {
    {2 * KB, Variant::kA},    {4 * KB, Variant::kK},   {8 * KB, Variant::kB},
    {16 * KB, Variant::kB},   {32 * KB, Variant::kC},  {64 * KB, Variant::kK},
    {128 * KB, Variant::kD},  {256 * KB, Variant::kD}, {512 * KB, Variant::kE},
    {1024 * KB, Variant::kL},
};

}  // namespace

Variant ChooseVariant(int device_code, uint32_t device_size) {
  if (device_code >= kFirstWideSizeCode) return WideVariant(device_size);
  for (const SizeChoice& choice : kBySize) {
    if (choice.size == device_size) return choice.variant;
  }
  return Variant::kGeneric;
}

app::Routine VariantRoutine(Variant variant) {
  switch (variant) {
    case Variant::kA:
      return &ProgramA;
    case Variant::kB:
      return &ProgramB;
    case Variant::kC:
      return &ProgramC;
    case Variant::kD:
      return &ProgramD;
    case Variant::kE:
      return &ProgramE;
    case Variant::kF:
      return &ProgramF;
    case Variant::kK:
      return &ProgramK;
    case Variant::kL:
      return &ProgramL;
    case Variant::kGeneric:
      break;
  }
  return &ProgramGeneric;
}

void ProgramDispatch(app::Programmer& p) {
  VariantRoutine(ChooseVariant(p.dev.device_code, p.image.device_size))(p);
}

}  // namespace uv_eprom

void RegisterUvEprom(app::FamilyRegistry& registry) {
  using app::Action;
  registry.Register(0, Action::kRead, &uv_eprom::Read);
  registry.Register(0, Action::kVerify, &uv_eprom::Verify);
  registry.Register(0, Action::kProgram, &uv_eprom::ProgramDispatch);
  // The NMOS parts read and verify like the CMOS ones; they program in one
  // pass with long pulses.
  registry.Register(13, Action::kRead, &uv_eprom::Read);
  registry.Register(13, Action::kVerify, &uv_eprom::Verify);
  registry.Register(13, Action::kProgram, &uv_eprom::ProgramGeneric);
  registry.Register(33, Action::kRead, &uv_eprom::Read33);
  registry.Register(33, Action::kVerify, &uv_eprom::Verify33);
  registry.Register(33, Action::kBlank, &uv_eprom::Blank33);
  registry.Register(33, Action::kProgram, &uv_eprom::Program33);
}

}  // namespace families
