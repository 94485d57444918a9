// The AVR settings panel pAVRsetting: the lock mode, the six fuse boxes and
// the New Adapter box, the lock-bit and fuse-bit writes behind its buttons,
// and family 14's dispatch cells (the keys: avr_keys.cpp).
#include <cstdio>

#include "app/actions.h"
#include "families/mcu/avr.h"
#include "families/mcu/avr_ops.h"
#include "families/mcu/mcu_select.h"

namespace families {
namespace avr {
namespace {

constexpr const char* kModeRadios[3] = {"rbAVRm1", "rbAVRm2", "rbAVRm3"};

}  // namespace

uint8_t LockByte(int mode) {
  // Lock write: bit 1 LB1, bit 2 LB2, a 0 programs the bit.
  switch (mode) {
    case 2:
      return 0xFD;
    case 3:
      return 0xF9;
    default:
      return 0xFF;
  }
}

void WriteLockBits(Programmer& p) {
  AvrEnterProgramming(p);
  WriteLocks(p, LockByte(p.dev.avr.lock_mode));
  p.bus.DelayTicks(30000);
  p.Message("Device AVR Lock Bits ", hw::kResult);
  p.bus.PowerDown();
}

void WriteFuseBits(Programmer& p) {
  AvrEnterProgramming(p);
  WriteFuses(p, p.dev.avr.fuse);
  p.bus.DelayTicks(30000);
  p.Message("Device AVR Fuse Bits ", hw::kResult);
  p.bus.PowerDown();
}

void rbAVRmClick(Programmer& p, int tag) {
  if (tag < 1 || tag > 3) return;
  p.dev.avr.lock_mode = tag;
  for (int i = 0; i < 3; ++i) p.controls.Check(kModeRadios[i], i + 1 == tag);
  p.host.ControlsChanged();
}

void cbFbit0Click(Programmer& p) {
  uint8_t fuse = p.dev.avr.fuse;
  for (int tag = 0; tag < 6; ++tag) {
    const auto bit = static_cast<uint8_t>(1u << tag);
    fuse = p.controls.Checked(mcu::kAvrFuseBoxes[tag]) ? static_cast<uint8_t>(fuse | bit)
                                                       : static_cast<uint8_t>(fuse & ~bit);
  }
  p.dev.avr.fuse = fuse;
  char text[8];
  std::snprintf(text, sizeof text, " 0x%02X", fuse);
  p.controls.SetText("edEPRFuse", text);
  p.host.ControlsChanged();
}

void cbNewAdapterAVRClick(Programmer& p) {
  p.dev.avr.new_adapter = p.controls.Checked("cbNewAdapterAVR");
}

void sbAVRlockbitClick(Programmer& p) { app::RunExtraAction(p, &WriteLockBits); }
void bbAVRfuseClick(Programmer& p) { app::RunExtraAction(p, &WriteFuseBits); }

}  // namespace avr

void RegisterAvr(app::FamilyRegistry& registry) {
  using app::Action;
  registry.Register(14, Action::kRead, &avr::ReadChip);
  registry.Register(14, Action::kProgram, &avr::ProgramChip);
  registry.Register(14, Action::kVerify, &avr::VerifyChip);
  registry.Register(14, Action::kBlank, &avr::BlankCheck);
  registry.Register(14, Action::kErase, &avr::EraseChip);
  registry.Register(14, Action::kGetId, &avr::GetId);
}

}  // namespace families
