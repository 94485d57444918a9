// The 29F0x0 sector-unprotect wizard as the core runs it: the five steps'
// captions, switch patterns, pictures and boxes, the step button gated by
// the boxes, skip and reset, and the whole walk on an Am29F040 whose
// protection changes only when 12 V reaches the pins the datasheet names.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/guided_panel.h"
#include "families/flash/flash_fixture.h"
#include "families/flash/protect_wizard.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

constexpr int kDie98401 = 301, kDie98403 = 302;

struct Wizard : FlashSession {
  void Choose(int tag) {
    Select(HandlerId::EN29F002T_Click, tag,
           tag == kDie98401 ? "Am29F040 Die 98401" : "Am29F040 Die 98403/6");
  }
  const app::Controls& c() const { return p.controls; }
  int Step() const { return app::GuidedStepIndex(p); }
  void Tick(std::initializer_list<const char*> boxes) {
    for (const char* box : boxes) p.controls.Check(box);
    app::GuidedConfirmChanged(p);
  }
  void TickAll() { Tick({"cbJP23", "cbJP42", "cbDIPSW", "cbOECE"}); }
  bool NoneTicked() const {
    for (const char* box : {"cbJP23", "cbJP42", "cbDIPSW", "cbOECE"}) {
      if (c().Checked(box)) return false;
    }
    return true;
  }
  // The user fits exactly `wires`, ticks the boxes and presses the button.
  void Press(std::initializer_list<const char*> wires = {}) {
    for (const char* wire : {sim::kWireA9Oe, sim::kWireA9OeCe, sim::kWireOeCe}) {
      chip->SetJumper(wire,
                      std::find(wires.begin(), wires.end(), std::string(wire)) != wires.end());
    }
    TickAll();
    host.Clear();
    app::btnID_UNClick(p);
  }
  size_t HardwareTests() const {
    size_t n = 0;
    for (const auto& [text, kind] : host.Messages()) n += text == "Hardware present " ? 1 : 0;
    return n;
  }
  bool Said(const std::string& text) const {
    for (const auto& [t, kind] : host.Messages()) {
      if (t == text) return true;
    }
    return false;
  }
  int ProtectedSectors() {
    auto* part = As<sim::JedecFlash>();
    int n = 0;
    for (int s = 0; s < part->sectors().count(); ++s) n += part->Protected(s) ? 1 : 0;
    return n;
  }
  std::vector<int> ShownPictures() const {
    std::vector<int> shown;
    for (int n = 1; n <= 5; ++n) {
      if (c().Visible(app::JumperPicture(n))) shown.push_back(n);
    }
    return shown;
  }
};

// What each step shows, from the wizard's step table; the die 98401 puts
// CE# at 12 V through a second wire (pattern 41, pictures 2 and 4).
struct StepRow {
  const char* caption;
  const char* button;
  int pattern;
  std::vector<int> pictures;
  const char* dip_box;
  bool four_boxes;
};

std::vector<StepRow> Steps(int tag) {
  const bool die98401 = tag == kDie98401;
  return {
      {"step 1/5 [Get ID]", "GET ID", 19, {1}, "DIP SW setting , Jumper A18", false},
      {"step 2/5", "Sector protect ALL", 39, {2}, "DIPSW setting [SW6 off, SW7 on]", false},
      {"step 3/5", "Verify protect sector all", 19, {1}, "DIPSW setting [SW6 ON, SW7 OFF]", false},
      {"step 4/5", "Sector Unprotect All", die98401 ? 41 : 40,
       die98401 ? std::vector<int>{2, 4} : std::vector<int>{3}, "DIPSW setting ", true},
      {"step 5/5", "Verify Unprotect sector all", 19, {1}, "DIP SW setting", false},
  };
}

TEST(UnprotectWizard, EachStepShowsItsCaptionSwitchesPicturesAndBoxes) {
  for (const int tag : {kDie98403, kDie98401}) {
    SCOPED_TRACE(tag);
    Wizard s;
    s.Choose(tag);
    EXPECT_EQ(s.p.dev.family, tag == kDie98401 ? 49 : 50);
    EXPECT_EQ(s.c().Text("pMXICF29040"), "AMD - 29F040 Sector UnProtection");
    EXPECT_EQ(s.c().Text("cbJP23"), "2/3 PIN");
    EXPECT_EQ(s.c().Text("cbJP42"), "4/2PIN");
    EXPECT_EQ(s.c().Text("cbOECE"), "Short pin OE<->CE");
    EXPECT_TRUE(s.c().Visible("btskipStep"));
    EXPECT_TRUE(s.c().Visible("btResetStep"));
    EXPECT_FALSE(s.c().Visible("pIDcode"));
    const std::vector<StepRow> rows = Steps(tag);
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(i + 1);
      const StepRow& row = rows[i];
      ASSERT_EQ(s.Step(), static_cast<int>(i));
      EXPECT_TRUE(s.c().Visible("gbUnprotect"));
      EXPECT_EQ(s.c().Text("gbUnprotect"), row.caption);
      EXPECT_EQ(s.c().Text("btnID_UN"), row.button);
      EXPECT_EQ(s.p.dev.switch_pattern, row.pattern);
      EXPECT_EQ(s.c().Text("lbJpa18"), "A18");
      EXPECT_EQ(s.ShownPictures(), row.pictures);
      EXPECT_EQ(s.c().Text("cbDIPSW"), row.dip_box);
      EXPECT_EQ(s.c().Visible("cbOECE"), row.four_boxes);
      EXPECT_FALSE(s.c().Enabled("btnID_UN"));
      app::btskipStepClick(s.p);
    }
    // Skipping past the last step starts over; skipping drove nothing.
    EXPECT_EQ(s.Step(), 0);
    EXPECT_EQ(s.HardwareTests(), 0u);
    EXPECT_TRUE(s.board->violations().empty());
  }
}

TEST(UnprotectWizard, TheEonAndStEntriesShowTheSwitchNoteWithoutTheJumper) {
  Wizard s;
  s.Select(HandlerId::EN29F002T_Click, 203, "EN29F002T");
  EXPECT_EQ(s.p.dev.family, 42);
  EXPECT_EQ(s.c().Text("cbDIPSW"), "DIP SW setting");
  for (int i = 0; i < 3; ++i) app::btskipStepClick(s.p);
  EXPECT_EQ(s.p.dev.switch_pattern, 40);
  EXPECT_EQ(s.ShownPictures(), std::vector<int>{3});
}

TEST(UnprotectWizard, TheButtonWaitsForEveryBoxOfTheStep) {
  Wizard s;
  s.Choose(kDie98403);
  EXPECT_TRUE(s.NoneTicked());
  // Three boxes at step 1, in any order; a press before does nothing.
  s.Tick({"cbJP23", "cbDIPSW"});
  EXPECT_FALSE(s.c().Enabled("btnID_UN"));
  s.host.Clear();
  app::btnID_UNClick(s.p);
  EXPECT_EQ(s.Step(), 0);
  EXPECT_TRUE(s.host.Messages().empty());
  s.Tick({"cbJP42"});
  EXPECT_TRUE(s.c().Enabled("btnID_UN"));
  s.p.controls.Check("cbDIPSW", false);
  app::GuidedConfirmChanged(s.p);
  EXPECT_FALSE(s.c().Enabled("btnID_UN"));

  // A new step clears the boxes: the board is set anew for it.
  app::btskipStepClick(s.p);
  EXPECT_TRUE(s.NoneTicked());
  EXPECT_FALSE(s.c().Enabled("btnID_UN"));

  // Step 4 is the four-box step: the OE/CE short is asked for as well.
  app::btskipStepClick(s.p);
  app::btskipStepClick(s.p);
  s.Tick({"cbJP23", "cbJP42", "cbDIPSW"});
  EXPECT_FALSE(s.c().Enabled("btnID_UN"));
  s.Tick({"cbOECE"});
  EXPECT_TRUE(s.c().Enabled("btnID_UN"));

  // Reset goes back to step 1 from anywhere, with its boxes cleared.
  app::btResetStepClick(s.p);
  EXPECT_EQ(s.Step(), 0);
  EXPECT_EQ(s.c().Text("gbUnprotect"), "step 1/5 [Get ID]");
  for (const char* box : {"cbJP23", "cbJP42", "cbDIPSW"}) EXPECT_FALSE(s.c().Checked(box));
  EXPECT_FALSE(s.c().Enabled("btnID_UN"));
  EXPECT_EQ(s.HardwareTests(), 0u);
}

// The whole walk, each step's wiring fitted as its picture shows.
TEST(UnprotectWizard, FiveStepsUnprotectEverySectorOfAnAm29F040) {
  for (const int tag : {kDie98403, kDie98401}) {
    SCOPED_TRACE(tag);
    Wizard s;
    s.Choose(tag);
    // Some sectors protected, as a chip that needs the wizard would be;
    // sector 0 is not, so Get ID reads 00 at address 2 and the unprotect
    // step must still take the chip for an Am29F040.
    auto* part = s.As<sim::JedecFlash>();
    part->Protect(3, true);
    part->Protect(5, true);

    s.Press();  // Get ID
    EXPECT_EQ(s.HardwareTests(), 1u);
    EXPECT_EQ(s.p.dev.id_bytes[0], 0x01);
    EXPECT_EQ(s.p.dev.id_bytes[1], 0xA4);
    EXPECT_EQ(s.p.dev.id_bytes[2], 0x00);
    EXPECT_EQ(s.Step(), 1);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);

    s.Press({sim::kWireA9Oe});  // protect every sector
    EXPECT_EQ(s.HardwareTests(), 1u);
    EXPECT_EQ(s.ProtectedSectors(), 8);
    EXPECT_EQ(part->high_voltage_pulses(), 8) << "one pulse per sector, no check between";
    // The gauge counts the sectors done, 1 to 8.
    std::vector<int64_t> positions;
    for (const auto& e : s.host.events) {
      if (e.type == daraz_test::HostEvent::Type::kProgress) positions.push_back(e.value);
    }
    EXPECT_EQ(positions, (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(s.Step(), 2);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);

    s.Press();  // verify
    EXPECT_EQ(s.p.error, 0) << s.Last();
    EXPECT_EQ(s.Step(), 3);

    if (tag == kDie98401) {
      s.Press({sim::kWireA9Oe, sim::kWireOeCe});
    } else {
      s.Press({sim::kWireA9OeCe});
    }
    EXPECT_EQ(s.ProtectedSectors(), 0);
    // One requested pulse of 30000 + 1000 + 30000 + 1000 ticks: two WE# pulses.
    EXPECT_EQ(part->high_voltage_pulses(), 8 + 2);
    EXPECT_EQ(s.Step(), 4);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);

    s.Press();
    EXPECT_EQ(s.Last(), "UnProtect all sector successfully");
    EXPECT_EQ(s.p.error, 0);
    // The sector grid shows what the last status read found.
    EXPECT_EQ(s.c().Find("sgMXICF29SecVfyF29")->items.at(8), " S07\t 70000 - 7FFFF\t 00\t Unlock");
    EXPECT_EQ(s.Step(), 0);  // ready for the next chip
    EXPECT_TRUE(s.c().Visible("gbUnprotect"));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    // The unprotect step's two 25 ms pulses: the first clears every
    // sector, so the second meets an unprotected array.
    EXPECT_EQ(s.Violations(),
              std::vector<std::string>{"sector unprotect with a sector not protected"});
  }
}

TEST(UnprotectWizard, ProtectWithoutItsWireFailsTheCheckAndStartsOver) {
  Wizard s;
  s.Choose(kDie98403);
  s.Press();
  s.Press();  // no wire: the 12 V reaches no pin that protects
  EXPECT_EQ(s.ProtectedSectors(), 0);
  s.Press();
  EXPECT_EQ(s.Last(), "Protect all sector Fail");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Step(), 0);
  EXPECT_EQ(s.c().Text("gbUnprotect"), "step 1/5 [Get ID]");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"12 V on a logic-level pin"});
}

TEST(UnprotectWizard, UnprotectRefusesAnotherChipBeforeAnyHighVoltage) {
  Wizard s;
  s.Choose(kDie98403);
  auto other = std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("Am29F010"));
  s.chip = other.get();
  s.board->InsertChip(std::move(other));
  s.Press();
  EXPECT_EQ(s.p.dev.id_bytes[1], 0x20);
  app::btskipStepClick(s.p);
  app::btskipStepClick(s.p);
  s.board->ClearViolations();
  s.Press({sim::kWireA9OeCe});
  EXPECT_EQ(s.Last(), "Device code Mismatch");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Step(), 3);  // stays: the user may put the right chip in
  EXPECT_TRUE(s.Violations().empty());
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(UnprotectWizard, UnprotectWithoutCeAtTwelveVoltsLeavesTheSectorsProtected) {
  Wizard s;
  s.Choose(kDie98401);
  s.Press();
  s.Press({sim::kWireA9Oe});
  s.Press();
  ASSERT_EQ(s.Step(), 3);
  s.Press({sim::kWireA9Oe});  // the OE/CE short left out: CE# stays low
  s.Press();
  EXPECT_EQ(s.Last(), "UnProtect all sector Fail");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Step(), 4);
  EXPECT_EQ(s.ProtectedSectors(), 8);
}

}  // namespace
