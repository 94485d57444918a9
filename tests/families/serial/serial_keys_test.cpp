// The serial panels' command-line keys reach the descriptor as the window's
// handlers would, and are refused where the selection hides their control.
#include <gtest/gtest.h>

#include <string>

#include "app/dispatch.h"
#include "app/option_keys.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;

class SerialKeys : public daraz_test::SelectFixture {
 protected:
  std::string Set(const std::string& text) {
    app::OptionSetting setting;
    const std::string error = app::ParseOptionSetting(app::Families().options(), text, setting);
    if (!error.empty()) return error;
    return app::ApplyOptionSetting(p, setting);
  }
  // The value in force of the key that `text` names.
  std::string Value(const std::string& text) {
    app::OptionSetting setting;
    const std::string error = app::ParseOptionSetting(app::Families().options(), text, setting);
    if (!error.empty()) return error;
    return app::OptionValueText(p, *setting.key, setting.index);
  }
};

TEST_F(SerialKeys, EachKeyDrivesItsHandler) {
  Select(HandlerId::M24C_Click, 202);
  EXPECT_EQ(Set("wp"), "");
  EXPECT_EQ(p.dev.pin7, 1);
  EXPECT_FALSE(p.controls.Checked("r24Cpin7Low"));
  EXPECT_EQ(Set("wp=0"), "");
  EXPECT_EQ(p.dev.pin7, 0);

  Select(HandlerId::M93C_Click, 4);  // 93C56 by 8 bits
  EXPECT_EQ(Set("org=16"), "");
  EXPECT_TRUE(p.dev.microwire.word_mode);
  EXPECT_EQ(p.dev.microwire.read, 0x600u);
  EXPECT_EQ(Set("org=8"), "");
  EXPECT_EQ(p.dev.microwire.read, 0xC00u);
  EXPECT_EQ(Set("icsp"), "");
  EXPECT_TRUE(p.dev.microwire_icsp);

  Select(HandlerId::M25C_Click, 202);  // 25x160
  EXPECT_EQ(Set("block-protect=half"), "");
  EXPECT_EQ(p.dev.spi_status, 0x08);
  EXPECT_EQ(Set("wpen"), "");
  EXPECT_EQ(p.dev.spi_status, 0x88);
  EXPECT_EQ(Set("block-protect=3"), "");
  EXPECT_EQ(p.dev.spi_status, 0x8C);
  EXPECT_EQ(Set("clock-stretch=5"), "");
  EXPECT_EQ(p.dev.spi.clock_stretch, 5);
  EXPECT_EQ(p.controls.Text("ed_tclip"), " 5.0 uS");
  EXPECT_EQ(Set("twc=8000"), "");
  EXPECT_EQ(p.dev.twc, 8000);
}

// What `--set` reports as the value in force follows the selection and the
// keys written since.
TEST_F(SerialKeys, TheValueInForceIsWhatTheSelectionAndTheKeysMade) {
  Select(HandlerId::M93C_Click, 11);  // 93C56 by 16 bits
  EXPECT_EQ(Value("org=8"), "16");
  EXPECT_EQ(Set("org=8"), "");
  EXPECT_EQ(Value("org=8"), "8");
  Select(HandlerId::M93C_Click, 4);  // 93C56 by 8 bits
  EXPECT_EQ(Value("org=8"), "8");

  Select(HandlerId::M24C_Click, 202);
  EXPECT_EQ(Value("wp"), "0");
  EXPECT_EQ(Set("wp"), "");
  EXPECT_EQ(Value("wp"), "1");

  Select(HandlerId::M25C_Click, 202);
  EXPECT_EQ(Value("clock-stretch=1"), "0");
  EXPECT_EQ(Set("clock-stretch=7"), "");
  EXPECT_EQ(Value("clock-stretch=1"), "7");
}

TEST_F(SerialKeys, KeysOfAnotherPanelAreRefused) {
  Select(HandlerId::M24C_Click, 202);
  EXPECT_NE(Set("org=16").find("rb93_16bit"), std::string::npos);
  EXPECT_NE(Set("wpen").find("cbWPEN25C"), std::string::npos);
  Select(HandlerId::M25C_Click, 103);  // byte-write part: no WPEN bit
  EXPECT_NE(Set("wpen").find("cbWPEN25C"), std::string::npos);
  EXPECT_NE(Set("wp").find("r24Cpin7high"), std::string::npos);
  EXPECT_NE(Set("block-protect=most").find("block-protect must be"), std::string::npos);
}

}  // namespace
