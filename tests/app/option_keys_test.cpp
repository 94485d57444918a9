#include "app/option_keys.h"

#include <gtest/gtest.h>

#include "app/device_lookup.h"
#include "app/dispatch.h"
#include "app/selection.h"
#include "support/recording_host.h"

namespace {

int changes = 0;
void Changed(app::Programmer&) { ++changes; }

app::OptionKeys TestKeys() {
  app::OptionKeys keys;
  keys.Register(app::CheckBoxKey("flag", "cbFlag", "a check box"));
  app::OptionKey bar = app::TrackBarKey("bar", "tbBar", 1, 100, "a track bar");
  bar.panel = "pPanel";
  bar.changed = &Changed;
  keys.Register(bar);
  app::OptionKey pick = app::TrackBarKey("pick", "cbPick", 0, 3, "a list");
  pick.kind = app::OptionKind::kComboIndex;
  keys.Register(pick);
  app::OptionKey name = app::CheckBoxKey("name", "edName", "a field");
  name.kind = app::OptionKind::kEditText;
  name.max = 8;
  keys.Register(name);
  app::OptionKey lock = app::CheckBoxKey("lock", "rbA", "a group");
  lock.controls = {"rbA", "rbB", "rbC"};
  keys.Register(lock);
  return keys;
}

TEST(OptionKeys, ParsesEveryKindAndRefusesJunk) {
  const app::OptionKeys keys = TestKeys();
  const struct {
    const char* text;
    int index;
    int64_t number;
    const char* value_text;
    const char* error;  // nullptr: accepted
  } kCases[] = {
      {"flag", 0, 1, "", nullptr},
      {"flag=0", 0, 0, "", nullptr},
      {"flag=2", 0, 0, "", "flag must be a number from 0 to 1"},
      {"flag=yes", 0, 0, "", "not \"yes\""},
      {"bar=0x10", 0, 16, "", nullptr},
      {"bar=101", 0, 0, "", "from 1 to 100"},
      {"bar=-5", 0, 0, "", "not \"-5\""},
      {"bar=", 0, 0, "", "not \"\""},
      {"bar", 0, 0, "", "bar needs a value from 1 to 100"},
      {"pick=4", 0, 0, "", "from 0 to 3"},
      {"name=ABC", 0, 0, "ABC", nullptr},
      {"name=", 0, 0, "", nullptr},
      {"name=123456789", 0, 0, "", "at most 8"},
      {"name", 0, 0, "", "needs a text"},
      {"lock=2=1", 2, 1, "", nullptr},
      {"lock=2", 2, 1, "", nullptr},
      {"lock=3=1", 0, 0, "", "lock INDEX must be a number from 0 to 2"},
      {"lock=1=5", 0, 0, "", "from 0 to 1"},
      {"lock", 0, 0, "", "lock=INDEX=VALUE"},
      {"nope=1", 0, 0, "", "unknown key \"nope\" (the keys: flag, bar, pick, name, lock)"},
  };
  for (const auto& c : kCases) {
    app::OptionSetting s;
    const std::string error = app::ParseOptionSetting(keys, c.text, s);
    if (c.error == nullptr) {
      ASSERT_EQ(error, "") << c.text;
      EXPECT_EQ(s.index, c.index) << c.text;
      EXPECT_EQ(s.number, c.number) << c.text;
      EXPECT_EQ(s.text, c.value_text) << c.text;
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << c.text << ": " << error;
    }
  }
}

TEST(OptionKeys, AppliedOnlyWhereTheSelectionShowsAndEnablesTheControl) {
  const app::OptionKeys keys = TestKeys();
  daraz_test::RecordingHost host;
  app::Programmer p(host);
  app::OptionSetting bar, lock;
  ASSERT_EQ(app::ParseOptionSetting(keys, "bar=42", bar), "");
  ASSERT_EQ(app::ParseOptionSetting(keys, "lock=1=1", lock), "");

  changes = 0;
  p.controls.Show("pPanel", false);
  EXPECT_NE(app::ApplyOptionSetting(p, bar).find("tbBar"), std::string::npos);
  p.controls.Show("pPanel");
  p.controls.Enable("tbBar", false);
  EXPECT_NE(app::ApplyOptionSetting(p, bar).find("tbBar"), std::string::npos);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(p.controls.Index("tbBar"), 0);

  p.controls.Enable("tbBar");
  EXPECT_EQ(app::ApplyOptionSetting(p, bar), "");
  EXPECT_EQ(p.controls.Index("tbBar"), 42);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(app::OptionValueText(p, *bar.key, 0), "42");

  // A repeating key reaches the control of its index only.
  p.controls.Show("rbB", false);
  EXPECT_NE(app::ApplyOptionSetting(p, lock).find("rbB"), std::string::npos);
  p.controls.Show("rbB");
  EXPECT_EQ(app::ApplyOptionSetting(p, lock), "");
  EXPECT_TRUE(p.controls.Checked("rbB"));
  EXPECT_FALSE(p.controls.Checked("rbA"));
  EXPECT_FALSE(p.controls.Checked("rbC"));
  EXPECT_EQ(app::OptionValueText(p, *lock.key, 1), "1");
  EXPECT_EQ(app::OptionValueText(p, *lock.key, 2), "0");
}

class EpromKeys : public ::testing::Test {
 protected:
  void Select(const char* name) {
    const app::DeviceLookup found = app::FindDevice(name);
    ASSERT_TRUE(found.ok()) << name;
    app::SelectDevice(p, found.node->handler,
                      app::SelectItem{found.node->tag, std::string(found.node->caption)});
  }
  std::string Set(const char* text) {
    app::OptionSetting s;
    std::string error = app::ParseOptionSetting(app::Families().options(), text, s);
    return error.empty() ? app::ApplyOptionSetting(p, s) : error;
  }
  daraz_test::RecordingHost host;
  app::Programmer p{host};
};

// The track bars go through their change handler: the descriptor follows,
// as when the bar is moved in the window.
TEST_F(EpromKeys, TrackBarsSetTheTimingAndCheckBoxesTheOptions) {
  Select("27C256");
  EXPECT_EQ(p.dev.twp, 140);
  EXPECT_EQ(p.dev.twc, 20);
  EXPECT_EQ(Set("twc=40"), "");
  EXPECT_EQ(Set("twp=0x0A"), "");
  EXPECT_EQ(p.dev.twc, 40);
  EXPECT_EQ(p.dev.twp, 10);
  EXPECT_EQ(p.controls.Index("tbTWC"), 40);
  EXPECT_EQ(Set("skip-ff"), "");
  EXPECT_EQ(Set("fast=1"), "");
  EXPECT_TRUE(p.controls.Checked("cbSkip_0xFF"));
  EXPECT_TRUE(p.controls.Checked("cbFastPro"));
  EXPECT_EQ(Set("skip-ff=0"), "");
  EXPECT_FALSE(p.controls.Checked("cbSkip_0xFF"));
}

TEST_F(EpromKeys, RefusedWhereTheSelectionHidesOrDisablesThem) {
  Select("24C02");  // another family's panel: no EPROM track bars
  const int twc = p.dev.twc;
  EXPECT_NE(Set("twc=40").find("tbTWC"), std::string::npos);
  EXPECT_EQ(p.dev.twc, twc);
  EXPECT_EQ(Set("skip-ff"), "");

  Select("D8748H  Vpp= 21V");  // a family that disables Skip Write 0xFF
  EXPECT_NE(Set("skip-ff").find("cbSkip_0xFF"), std::string::npos);
  EXPECT_FALSE(p.controls.Checked("cbSkip_0xFF"));
}

}  // namespace
