#pragma once

// The five-step sector-unprotect wizard of the 29F0x0 parts (family types
// 41, 42, 49, 50), run by the guided-panel step machine: Get ID, protect
// every sector, check they all are, unprotect them all, check none is.
// Steps 2 and 4 put 12 V on pins the board cannot switch by itself; the
// user moves the DIP switches and fits the wires each step shows.

#include "app/dispatch.h"
#include "app/guided_panel.h"

namespace app {
class Programmer;
}

namespace families::flash {

// The wizard of a family type: 49 (Am29F040 die 98401) puts the unprotect
// voltage on through two wires, 50 (dies 98403/6) through one; 41 and 42
// (the EON and ST entries) name the DIP switch note without the A18 jumper.
// nullptr for any other type.
const app::GuidedProcedure* UnprotectWizard(int family);
void RegisterUnprotectWizard(app::FamilyRegistry& registry);

// The step operations, each a whole power session ending powered down.
void WizardGetId(app::Programmer& p);
void WizardProtectAll(app::Programmer& p);
void WizardVerifyProtected(app::Programmer& p);
void WizardUnprotectAll(app::Programmer& p);
void WizardVerifyUnprotected(app::Programmer& p);

// The wires, by the picture that shows them.
inline constexpr char kWireA9Oe[] = "a9-oe-12v";       // picture 2: 12 V to A9 and OE#
inline constexpr char kWireA9OeCe[] = "a9-oe-ce-12v";  // picture 3: and OE# shorted to CE#
inline constexpr char kWireOeCe[] = "oe-ce-short";     // picture 4: OE# shorted to CE#

// The figures the chip depends on, in ticks of 0.8381 us.
inline constexpr int32_t kProtectPulseTicks = 120;     // 100.6 us: WE# for one sector
inline constexpr int32_t kVidSetupTicks = 5;           // 4.2 us from 12 V to WE#
inline constexpr int32_t kUnprotectHalfTicks = 30000;  // 25.1 ms: each WE# pulse
inline constexpr int32_t kUnprotectGapTicks = 1000;    // 0.84 ms after each
inline constexpr int kUnprotectPulses = 1;             // long pulses per press
inline constexpr uint32_t kUnprotectAddress = 0x20;

}  // namespace families::flash
