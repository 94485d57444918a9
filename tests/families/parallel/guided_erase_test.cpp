// The guided erase panel of the electrically erasable EPROMs as the core
// runs it: what opens, what gates the step button, what each press does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/guided_panel.h"
#include "eeprom_fixture.h"
#include "families/parallel/ee_eprom.h"

namespace {

using Session = daraz_test::ModelSession<sim::Chip>;
using Type = daraz_test::HostEvent::Type;

size_t HardwareTests(const Session& s) {
  size_t n = 0;
  for (const auto& [text, kind] : s.host.Messages()) n += text == "Hardware present " ? 1 : 0;
  return n;
}

TEST(GuidedErase, OpensGatesStepsAndCloses) {
  Session s;
  s.Select(app::HandlerId::M27E_Click, 2);  // W27x512
  const app::Controls& c = s.p.controls;
  s.Erase();
  ASSERT_EQ(app::OpenGuided(s.p), &families::ee_eprom::W27EErase());
  EXPECT_TRUE(c.Visible("gbUnprotect"));
  EXPECT_EQ(c.Text("gbUnprotect"), "Erase CHIP W27C/SST27SFxxx");
  EXPECT_EQ(c.Text("pDevID"), "W27Cxx or SST27SFxxx");
  EXPECT_EQ(c.Text("cbDIPSW"), "DIP SW setting");
  EXPECT_FALSE(c.Checked("cbJP23"));
  EXPECT_TRUE(c.Checked("cbJP42"));
  EXPECT_FALSE(c.Checked("cbDIPSW"));
  for (const char* hidden : {"btResetStep", "btskipStep", "cbOECE"}) {
    EXPECT_FALSE(c.Visible(hidden)) << hidden;
  }
  EXPECT_EQ(c.Text("btnID_UN"), " Erase Chip");
  EXPECT_TRUE(c.Visible("imgJumper1"));
  EXPECT_TRUE(c.Visible("imgJumper2"));
  // Opening the panel drives nothing but the hardware test.
  EXPECT_EQ(s.host.Count(Type::kShowGauge), 0u);

  // The button waits for all three boxes.
  EXPECT_FALSE(c.Enabled("btnID_UN"));
  s.host.Clear();
  app::btnID_UNClick(s.p);
  EXPECT_TRUE(s.host.Messages().empty());
  s.p.controls.Check("cbJP23");
  app::GuidedConfirmChanged(s.p);
  EXPECT_FALSE(c.Enabled("btnID_UN"));
  s.p.controls.Check("cbDIPSW");
  app::GuidedConfirmChanged(s.p);
  EXPECT_TRUE(c.Enabled("btnID_UN"));

  // First press: the erase, through the action frame.
  s.host.Clear();
  app::btnID_UNClick(s.p);
  EXPECT_EQ(HardwareTests(s), 1u);
  ASSERT_EQ(s.host.Of(Type::kShowGauge).size(), 1u);
  EXPECT_EQ(s.host.Of(Type::kShowGauge)[0].text, "Erase and Check Device is Empty");
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  EXPECT_EQ(c.Text("btnID_UN"), " Move jumper");
  EXPECT_TRUE(c.Visible("imgJumper1"));
  EXPECT_FALSE(c.Visible("imgJumper2"));
  EXPECT_EQ(app::GuidedStepIndex(s.p), 1);

  // Second press: nothing driven, the panel closes.
  s.host.Clear();
  app::btnID_UNClick(s.p);
  EXPECT_EQ(HardwareTests(s), 0u);
  EXPECT_FALSE(c.Visible("gbUnprotect"));
  EXPECT_EQ(app::OpenGuided(s.p), nullptr);
}

TEST(GuidedErase, StepTextForAFrontDoorWithoutThePanel) {
  Session s;
  s.Select(app::HandlerId::M27E_Click, 2);
  s.Erase();
  const app::GuidedProcedure& erase = families::ee_eprom::W27EErase();
  EXPECT_EQ(app::GuidedStepText(s.p, erase, 0),
            "Erase CHIP W27C/SST27SFxxx: JP23, JP42, DIP SW setting; Erase Chip");
  EXPECT_EQ(app::GuidedStepText(s.p, erase, 1),
            "Erase CHIP W27C/SST27SFxxx: JP23, JP42, DIP SW setting; Move jumper");
}

TEST(GuidedErase, FastEraseLeavesTheImageAlone) {
  Session s;
  s.Select(app::HandlerId::M27E_Click, 2);
  s.LoadRandom(0x100, 3);
  const std::vector<uint8_t> before(s.p.image.data(), s.p.image.data() + 0x10000);
  s.host.Clear();
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(HardwareTests(s), 1u);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), s.p.image.data()));
  EXPECT_FALSE(s.p.controls.Visible("gbUnprotect"));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

}  // namespace
