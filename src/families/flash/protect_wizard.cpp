// The 29F0x0 sector-unprotect wizard: its steps as data for the guided
// panel, and the chip operation of each.
//
// Protecting and unprotecting these parts is the datasheet's high-voltage
// method for programming equipment: 12 V on A9 and OE# with CE# low and a
// 100 us WE# pulse protects the sector on A18..A16; 12 V on A9, OE# and
// CE# with a 10 ms WE# pulse unprotects every sector, once all of them are
// protected. The board's Vpp switch is the only 12 V it has; the DIP
// switches and the wires of each step's picture take it to those pins, and
// while they do the part cannot be read, so each change is checked in the
// step after it by the status read in autoselect mode.
#include "families/flash/protect_wizard.h"

#include "app/programmer.h"
#include "families/flash/flash_frame.h"
#include "families/flash/jedec.h"
#include "families/flash/protect.h"

namespace families::flash {
namespace {

// The IDs the unprotect step checks before it puts 12 V anywhere.
constexpr uint8_t kAmd = 0x01, kAm29F040 = 0xA4;
// Protect: the sector address with A6 = 0, A1 = 1, A0 = 0.
constexpr uint32_t kProtectA1 = 0x02;
constexpr int32_t kSettleTicks = 100;

void Fail(app::Programmer& p, const char* text) {
  p.Message(text, hw::kError);
  p.error = 1;
}

// Sector status of every sector; true when each reads `want`.
bool AllSectorsRead(app::Programmer& p, uint8_t want) {
  SectorStatus(p, StatusMode::kJedec8);
  const auto& status = p.dev.sector_status;
  if (status.empty()) return false;
  for (const uint8_t s : status) {
    if (s != want) return false;
  }
  return true;
}

// One step of the wizard.
app::GuidedStep Step(const char* caption, const char* button, std::vector<int> pictures,
                     app::Routine operation, int pattern, const char* dip_caption,
                     std::vector<std::string> wiring, app::StepFailure on_failure,
                     bool four_boxes = false) {
  std::vector<std::string> confirm = {"cbJP23", "cbJP42", "cbDIPSW"};
  if (four_boxes) confirm.emplace_back("cbOECE");
  return {.button = button,
          .pictures = std::move(pictures),
          .confirm = std::move(confirm),
          .operation = operation,
          .caption = caption,
          .switch_pattern = pattern,
          .captions = {{"cbDIPSW", dip_caption}},
          .wiring = std::move(wiring),
          .on_failure = on_failure};
}

enum class Variant { kEonSt, kDie98401, kDie98403 };

app::GuidedProcedure MakeWizard(Variant v) {
  using app::StepFailure;
  const bool amd = v != Variant::kEonSt;
  const bool two_wires = v == Variant::kDie98401;
  app::GuidedProcedure w;
  w.device = amd ? "Am29F040" : "29F0x0";
  w.boxes = {{"cbJP23", false}, {"cbJP42", false}, {"cbDIPSW", false}, {"cbOECE", false}};
  w.captions = {{"cbJP23", "2/3 PIN"}, {"cbJP42", "4/2PIN"}, {"cbOECE", "Short pin OE<->CE"}};
  w.hidden = {"pIDcode", "pProcess"};
  w.reconfirm = true;
  w.restart_after_last = true;
  w.frame = app::Action::kErase;
  w.steps = {
      Step("step 1/5 [Get ID]", "GET ID", {1}, &WizardGetId, 19,
           amd ? "DIP SW setting , Jumper A18" : "DIP SW setting", {}, StepFailure::kStay),
      Step("step 2/5", "Sector protect ALL", {2}, &WizardProtectAll, 39,
           "DIPSW setting [SW6 off, SW7 on]", {kWireA9Oe}, StepFailure::kStay),
      Step("step 3/5", "Verify protect sector all", {1}, &WizardVerifyProtected, 19,
           "DIPSW setting [SW6 ON, SW7 OFF]", {}, StepFailure::kRestart),
      // CE# must reach 12 V as well: OE# is shorted to it, hence the fourth box.
      two_wires ? Step("step 4/5", "Sector Unprotect All", {2, 4}, &WizardUnprotectAll, 41,
                       "DIPSW setting ", {kWireA9Oe, kWireOeCe}, StepFailure::kStay, true)
                : Step("step 4/5", "Sector Unprotect All", {3}, &WizardUnprotectAll, 40,
                       "DIPSW setting ", {kWireA9OeCe}, StepFailure::kStay, true),
      Step("step 5/5", "Verify Unprotect sector all", {1}, &WizardVerifyUnprotected, 19,
           "DIP SW setting", {}, StepFailure::kStay),
  };
  return w;
}

}  // namespace

const app::GuidedProcedure* UnprotectWizard(int family) {
  static const app::GuidedProcedure eon_st = MakeWizard(Variant::kEonSt);
  static const app::GuidedProcedure die98401 = MakeWizard(Variant::kDie98401);
  static const app::GuidedProcedure die98403 = MakeWizard(Variant::kDie98403);
  switch (family) {
    case 41:
    case 42:
      return &eon_st;
    case 49:
      return &die98401;
    case 50:
      return &die98403;
    default:
      return nullptr;
  }
}

void RegisterUnprotectWizard(app::FamilyRegistry& registry) {
  for (const int family : {41, 42, 49, 50})
    registry.RegisterGuided(family, UnprotectWizard(family));
}

void WizardGetId(app::Programmer& p) { jedec::G1(p); }

void WizardProtectAll(app::Programmer& p) {
  const std::vector<uint32_t> starts = DeviceSectorStarts(p);
  if (starts.size() < 2) {
    Fail(p, "Protect all sector Fail");
    return;
  }
  hw::Bus& bus = p.bus;
  const size_t sectors = starts.size() - 1;
  p.SetProcessGauge("Protect chip all sector", static_cast<int64_t>(sectors), app::colour::kRed);
  bus.PowerUp();
  bus.DelayTicks(kSettleTicks);
  for (size_t s = 0; s < sectors; ++s) {
    bus.ShiftAddress(starts[s] | kProtectA1);
    Bit(bus, kDrive, true);  // the board's outputs off: OE# is on the 12 V wire
    bus.DelayTicks(1);
    Vpp(bus, true);
    bus.DelayTicks(kVidSetupTicks);
    bus.ProgramPulse(kProtectPulseTicks);
    bus.DelayTicks(kVidSetupTicks);
    Vpp(bus, false);
    bus.DelayTicks(kVidSetupTicks);
    if (p.Refresh(static_cast<int64_t>(s + 1))) {
      p.error = 1;  // cancelled: some sectors are not protected
      break;
    }
  }
  bus.PowerDown();
}

void WizardVerifyProtected(app::Programmer& p) {
  if (!AllSectorsRead(p, 0x01)) Fail(p, "Protect all sector Fail");
}

void WizardUnprotectAll(app::Programmer& p) {
  // Only the two identification codes name the part: the other two bytes
  // Get ID reads are sector 0's protection status at that time and an
  // address the datasheet gives no code for.
  const auto& id = p.dev.id_bytes;
  if (id[0] != kAmd || id[1] != kAm29F040) {
    Fail(p, "Device code Mismatch");
    return;
  }
  hw::Bus& bus = p.bus;
  p.SetProcessGauge("UnProtect chip all sector", kUnprotectPulses, app::colour::kRed);
  bus.PowerUp();
  bus.ShiftAddress(kUnprotectAddress);
  Bit(bus, kDrive, true);
  bus.DelayTicks(kSettleTicks);
  Vpp(bus, true);
  bus.DelayTicks(kVidSetupTicks);
  for (int pulse = 0; pulse < kUnprotectPulses; ++pulse) {
    for (int half = 0; half < 2; ++half) {
      bus.ProgramPulse(kUnprotectHalfTicks);
      bus.DelayTicks(kUnprotectGapTicks);
    }
    if (p.Refresh(pulse + 1)) {
      p.error = 1;
      break;
    }
  }
  Vpp(bus, false);
  bus.DelayTicks(kVidSetupTicks);
  bus.PowerDown();
}

void WizardVerifyUnprotected(app::Programmer& p) {
  if (AllSectorsRead(p, 0x00)) {
    p.Message("UnProtect all sector successfully", hw::kResult);
  } else {
    Fail(p, "UnProtect all sector Fail");
  }
}

}  // namespace families::flash
