// The high-voltage erase of the W27E/W27C, SST27SF and SST37VF parts: with
// the erase jumpers fitted, Vpp and a long program pulse on address 0 with
// 0xFF driven erase the whole array; a blank check after each pulse
// decides whether another is needed.
#include "app/actions.h"
#include "app/default_routines.h"
#include "app/programmer.h"
#include "families/parallel/ee_eprom.h"
#include "families/parallel/uv_eprom.h"
#include "families/parallel/uv_eprom_pass.h"

namespace families {
namespace ee_eprom {
namespace {

using hw::ctrl::kDrive;
using hw::ctrl::kProgram;
using hw::ctrl::kStrobe;
using uv_eprom::Bit;

constexpr int kEraseCycles = 20;
constexpr int kPulseSlices = 15;  // 15 x 20000 ticks: about 251 ms

// Control bit 3 as the part reads: 0 with the read level flag, else 1.
void ReadLevel(app::Programmer& p, int settle) {
  const bool high = !p.dev.read_level;
  Bit(p.bus, kProgram, high);
  if (high) p.bus.DelayTicks(settle);
}

// One erase pulse: Vpp on, address 0, 0xFF driven, the program line held
// for the erase time, Vpp off, outputs on.
void ErasePulse(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  Bit(bus, kStrobe, false);  // Vpp on
  bus.DelayTicks(1000);
  bus.SetAddress(0, 0);
  Bit(bus, kDrive, true);
  bus.PutData(0xFF, 0);
  bus.DelayTicks(20);
  Bit(bus, kProgram, true);
  for (int i = 0; i < kPulseSlices; ++i) bus.DelayTicks(20000);
  Bit(bus, kProgram, false);
  bus.DelayTicks(100);
  Bit(bus, kStrobe, true);  // Vpp off
  bus.DelayTicks(1000);
  Bit(bus, kDrive, false);
  ReadLevel(p, 200);
}

enum class Blank { kYes, kNo, kCancelled };

Blank CheckBlank(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  const uint32_t size = p.image.device_size;
  for (uint32_t a = 0; a < size; ++a) {
    bus.ShiftAddress(a);
    if (bus.ReadDataByte() != 0xFF) return Blank::kNo;
    if (p.ProgressTick(a)) return Blank::kCancelled;
  }
  return Blank::kYes;
}

// The erase loop; `prompted` replaces the first cycle's read-level step
// with the quiet state EraseWithPrompts leaves the part in.
void EraseLoop(app::Programmer& p, bool prompted) {
  hw::Bus& bus = p.bus;
  const uint32_t size = p.image.device_size;
  p.InitProgressStep(size);
  p.SetProcessGauge("Erase and Check Device is Empty", size, app::colour::kRed);
  bus.PowerUp();
  Bit(bus, kDrive, false);
  Blank blank = Blank::kNo;
  for (int cycle = 0; cycle < kEraseCycles && blank == Blank::kNo; ++cycle) {
    if (prompted && cycle == 0) {
      Bit(bus, kDrive, false);
      Bit(bus, kProgram, false);
      Bit(bus, kStrobe, false);  // Vpp on
      bus.DelayTicks(2000);
    } else {
      ReadLevel(p, 0);
      bus.DelayTicks(100);
    }
    ErasePulse(p);
    blank = CheckBlank(p);
  }
  switch (blank) {
    case Blank::kYes:
      p.Message("Device Erase OK", hw::kResult);
      break;
    case Blank::kNo:
      p.Message("Device Erase False", hw::kError);
      p.error = 1;
      break;
    case Blank::kCancelled:
      p.ShowProgress(1, 0, 0);
      break;
  }
  bus.PowerDown();
}

}  // namespace

void HighVoltageErase(app::Programmer& p) { EraseLoop(p, false); }

void EraseWithPrompts(app::Programmer& p) {
  if (!p.host.Instruction(kFirstPrompt)) {
    p.error = 1;
    return;
  }
  EraseLoop(p, true);
  p.host.Information(kSecondPrompt);
}

const app::GuidedProcedure& W27EErase() {
  static const app::GuidedProcedure procedure{
      .caption = "Erase CHIP W27C/SST27SFxxx",
      .device = "W27Cxx or SST27SFxxx",
      .boxes = {{"cbJP23", false}, {"cbJP42", true}, {"cbDIPSW", false}},
      .captions = {{"cbJP23", "JP23"}, {"cbJP42", "JP42"}, {"cbDIPSW", "DIP SW setting"}},
      .hidden = {"btResetStep", "btskipStep", "cbOECE"},
      .steps =
          {
              {" Erase Chip", {1, 2}, {"cbJP23", "cbJP42", "cbDIPSW"}, &HighVoltageErase},
              {" Move jumper", {1}, {"cbJP23", "cbJP42", "cbDIPSW"}, nullptr},
          },
      .frame = app::Action::kErase,
      .fast = &HighVoltageErase,
  };
  return procedure;
}

void OpenErasePanel(app::Programmer& p) { app::OpenGuidedPanel(p, W27EErase()); }

void TEST27c_ERASEClick(app::Programmer& p) {
  // Erasing needs no image: the user's data stays as it is.
  app::RunActionWith(p, app::Action::kErase, &HighVoltageErase);
}

}  // namespace ee_eprom

void RegisterEeEprom(app::FamilyRegistry& registry) {
  using app::Action;
  // Family 23 reads, programs and verifies as a 27C part of its size.
  registry.Register(23, Action::kRead, &uv_eprom::Read);
  registry.Register(23, Action::kVerify, &uv_eprom::Verify);
  registry.Register(23, Action::kProgram, &uv_eprom::ProgramDispatch);
  registry.Register(23, Action::kErase, &ee_eprom::OpenErasePanel);
  registry.RegisterGuided(23, &ee_eprom::W27EErase());
  registry.Register(48, Action::kProgram, &ee_eprom::ProgramSst37);
  registry.Register(48, Action::kErase, &ee_eprom::EraseWithPrompts);
  // Family 30 reads as a 27C part and writes through its command register.
  registry.Register(30, Action::kRead, &uv_eprom::Read);
  registry.Register(30, Action::kProgram, &ee_eprom::ProgramMx26);
  registry.Register(30, Action::kErase, &ee_eprom::EraseMx26);
}

}  // namespace families
