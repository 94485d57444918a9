// The PIC18 panel: the configuration boxes over the image's configuration
// bytes, the ID field, the config-byte and id keys, and the device-ID
// window's text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/image_files.h"
#include "app/option_keys.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "families/mcu/pic18_config.h"
#include "families/mcu/pic18_fixture.h"
#include "support/hex_record.h"

namespace daraz_test {
namespace {

namespace p18 = families::pic18;

constexpr uint32_t kCfg = 0x300000;
constexpr uint32_t kId = 0x200000;

// The box, its caption and whether the part implements the bit.
struct BoxCase {
  const char* box;
  const char* caption;
  bool enabled;
};

void ExpectBoxes(const app::Controls& c, const std::vector<BoxCase>& cases) {
  for (const BoxCase& b : cases) {
    EXPECT_EQ(c.Text(b.box), b.caption) << b.box;
    EXPECT_EQ(c.Enabled(b.box), b.enabled) << b.box;
  }
}

void Click(Pic18Session& s, const std::string& box, bool checked) {
  s.p.controls.Check(box, checked);
  p18::cbPIC18_0000Click(s.p);
}

// 18F452 CONFIG2L/2H: the second row's boxes 0..7 are CONFIG2L's bits,
// 8..15 CONFIG2H's.
TEST(Pic18Boxes, SecondRowIsConfig2LowAndHighOn18F452) {
  Pic18Session s;
  s.Select(107);
  ExpectBoxes(s.p.controls, {{"cbPIC18_0100", "#PWRTEN", true},
                             {"cbPIC18_0101", "BOREN", true},
                             {"cbPIC18_0102", "BORV0", true},
                             {"cbPIC18_0103", "BORV1", true},
                             {"cbPIC18_0104", "-", false},
                             {"cbPIC18_0107", "-", false},
                             {"cbPIC18_0108", "WDTEN", true},
                             {"cbPIC18_0109", "WDTPS0", true},
                             {"cbPIC18_0111", "WDTPS2", true},
                             {"cbPIC18_0112", "-", false},
                             {"cbPIC18_0115", "-", false},
                             // CONFIG1H bit 5, the oscillator switch.
                             {"cbPIC18_0013", "#OSCEN", true},
                             {"cbPIC18_0000", "-", false}});
  EXPECT_FALSE(s.p.controls.Enabled("edPIC18_CFG0"));  // CONFIG1L: nothing
  EXPECT_TRUE(s.p.controls.Enabled("edPIC18_CFG2"));
  s.Load({}, {}, {0x00, 0x27, 0x0F, 0x0F}, {});
  p18::RefreshConfigBoxes(s.p);
  Click(s, "cbPIC18_0100", false);  // power-up timer on: bit 0 of CONFIG2L
  EXPECT_EQ(s.p.image[kCfg + 2], 0x0E);
  EXPECT_EQ(s.p.image[kCfg + 3], 0x0F);
  Click(s, "cbPIC18_0108", false);  // watchdog off: bit 0 of CONFIG2H
  Click(s, "cbPIC18_0110", false);  // WDTPS1: bit 2
  EXPECT_EQ(s.p.image[kCfg + 3], 0x0A);
  EXPECT_EQ(s.p.image[kCfg + 2], 0x0E);
  EXPECT_EQ(s.p.image[kCfg + 1], 0x27);
  EXPECT_EQ(s.p.controls.Text("edPIC18_CFG2"), " 0x0E");
  EXPECT_EQ(s.p.controls.Text("edPIC18_CFG3"), " 0x0A");
  Click(s, "cbPIC18_0108", true);
  EXPECT_EQ(s.p.image[kCfg + 3], 0x0B);
}

// 18F4620 CONFIG1H: IESO and FCMEN on bits 7 and 6, FOSC3..0 below.
TEST(Pic18Boxes, FirstRowHighByteIsConfig1HOn18F4620) {
  Pic18Session s;
  s.Select(207);
  ExpectBoxes(s.p.controls, {{"cbPIC18_0008", "FOSC0", true},
                             {"cbPIC18_0011", "FOSC3", true},
                             {"cbPIC18_0012", "-", false},
                             {"cbPIC18_0013", "-", false},
                             {"cbPIC18_0014", "FCMEN", true},
                             {"cbPIC18_0015", "IESO", true},
                             {"cbPIC18_0007", "-", false},
                             // CONFIG4L: XINST and the debugger.
                             {"cbPIC18_0306", "XINST", true},
                             {"cbPIC18_0307", "#DEBUG", true},
                             {"cbPIC18_0302", "LVP", true},
                             // CONFIG3H: MCLRE.
                             {"cbPIC18_0215", "MCLRE", true}});
  s.Load({}, {}, {0x00, 0x08}, {});
  p18::RefreshConfigBoxes(s.p);
  Click(s, "cbPIC18_0015", true);
  EXPECT_EQ(s.p.image[kCfg + 1], 0x88);
  Click(s, "cbPIC18_0008", true);
  EXPECT_EQ(s.p.image[kCfg + 1], 0x89);
  EXPECT_EQ(s.p.image[kCfg + 0], 0x00);
}

// 18F4550: CONFIG1L holds the USB and CPU clock dividers and CONFIG2L the
// USB regulator. Their boxes work like the others, the part keeps the
// bytes, and the verify compares them.
TEST(Pic18Boxes, TheUsbPartsShowTheirClockDividersAndRegulator) {
  Pic18Session s;
  s.Select(203);
  ExpectBoxes(s.p.controls, {{"cbPIC18_0000", "PLLDIV0", true},
                             {"cbPIC18_0002", "PLLDIV2", true},
                             {"cbPIC18_0003", "CPUDIV0", true},
                             {"cbPIC18_0005", "USBDIV", true},
                             {"cbPIC18_0006", "-", false},
                             {"cbPIC18_0105", "VREGEN", true},
                             {"cbPIC18_0106", "-", false}});
  EXPECT_TRUE(s.p.controls.Enabled("edPIC18_CFG0"));
  // Their neighbours in the catalogue have no CONFIG1L bits.
  for (const int tag : {182, 184, 188, 190, 196, 198, 202, 204}) {
    EXPECT_STREQ(p18::ConfigBitCaption(tag, 0, 0), "-") << tag;
    EXPECT_EQ(p18::Pic18ConfigMask(tag)[0], 0x00) << tag;
  }
  s.Load(Pic18Session::Pattern(64, 3), {},
         {0x00, 0x0C, 0x1F, 0x1E, 0x00, 0x83, 0x81, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}, {});
  p18::RefreshConfigBoxes(s.p);
  Click(s, "cbPIC18_0002", true);  // PLLDIV = 4: a 16 MHz crystal
  Click(s, "cbPIC18_0005", true);  // USB clock from the PLL
  Click(s, "cbPIC18_0105", true);  // regulator on
  EXPECT_EQ(s.p.image[kCfg + 0], 0x24);
  EXPECT_EQ(s.p.image[kCfg + 2], 0x3F);
  EXPECT_EQ(s.p.controls.Text("edPIC18_CFG0"), " 0x24");
  s.Program();
  ASSERT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
  EXPECT_EQ(s.chip->Config(0), 0x24);
  EXPECT_EQ(s.chip->Config(2), 0x3F);
  s.p.image[kCfg + 0] = 0x25;
  s.Verify();
  EXPECT_EQ(s.p.error, 1) << "a PLL divider the part does not hold";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

// Every bit a part implements has a name on its box: a group's captions
// and its masks describe the same registers.
TEST(Pic18Boxes, EveryImplementedBitIsNamed) {
  const int groups[][2] = {{101, 108}, {111, 116}, {121, 126}, {131, 134}, {141, 144},
                           {151, 154}, {161, 164}, {171, 174}, {181, 208}};
  for (const auto& group : groups) {
    for (int tag = group[0]; tag <= group[1]; ++tag) {
      const p18::ConfigMask& mask = p18::Pic18ConfigMask(tag);
      for (int k = 0; k < 14; ++k) {
        for (int bit = 0; bit < 8; ++bit) {
          if (((mask[k] >> bit) & 1) == 0) continue;
          EXPECT_STRNE(p18::ConfigBitCaption(tag, k, bit), "-")
              << "Tag " << tag << " byte " << k << " bit " << bit;
        }
      }
    }
  }
}


// A file's configuration bytes, unimplemented bits included, stay as the
// file has them; the boxes and fields show them, the ID field its IDs.
TEST(Pic18Boxes, LoadingAFileShowsItsBytesAndKeepsThem) {
  Pic18Session s;
  s.Select(107);
  const std::vector<uint8_t> config = {0x5A, 0x22, 0x0D, 0x0E, 0xFF, 0x00, 0x81,
                                       0x80, 0x0C, 0x40, 0x0F, 0x20, 0x03, 0x00};
  std::string text = HexRecord(0, 4, {0x00, 0x20}) + "\n";
  text += HexRecord(0, 0, {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04}) + "\n";
  text += HexRecord(0, 4, {0x00, 0x30}) + "\n";
  text += HexRecord(0, 0, config) + "\n";
  text += ":00000001FF\n";
  const std::string path = ::testing::TempDir() + "pic18_config_" +
                           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                           ".hex";
  {
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(text.c_str(), f);
    std::fclose(f);
  }
  ASSERT_TRUE(app::LoadFile(s.p, path));
  std::remove(path.c_str());
  for (uint32_t k = 0; k < 14; ++k) EXPECT_EQ(s.p.image[kCfg + k], config[k]) << k;
  const app::Controls& c = s.p.controls;
  // CONFIG1L 0x5A: bits 1, 3, 4, 6 (no box enabled, all shown).
  EXPECT_FALSE(c.Checked("cbPIC18_0000"));
  EXPECT_TRUE(c.Checked("cbPIC18_0001"));
  EXPECT_TRUE(c.Checked("cbPIC18_0006"));
  EXPECT_FALSE(c.Checked("cbPIC18_0007"));
  // CONFIG1H 0x22: #OSCEN and FOSC1.
  EXPECT_TRUE(c.Checked("cbPIC18_0013"));
  EXPECT_TRUE(c.Checked("cbPIC18_0009"));
  EXPECT_FALSE(c.Checked("cbPIC18_0008"));
  // CONFIG2H 0x0E: watchdog off.
  EXPECT_FALSE(c.Checked("cbPIC18_0108"));
  EXPECT_TRUE(c.Checked("cbPIC18_0111"));
  // CONFIG7H 0x00 on the last row.
  EXPECT_FALSE(c.Checked("cbPIC18_0614"));
  EXPECT_EQ(c.Text("edPIC18_CFG0"), " 0x5A");
  EXPECT_EQ(c.Text("edPIC18_CFG13"), " 0x00");
  EXPECT_EQ(c.Text("edPIC18F_ID"), "DEADBEEF01020304");
  // Refreshing again writes nothing.
  p18::RefreshConfigBoxes(s.p);
  for (uint32_t k = 0; k < 14; ++k) EXPECT_EQ(s.p.image[kCfg + k], config[k]) << k;
}

TEST(Pic18IdField, DigitsReachTheIdBytesFirstByteFirst) {
  Pic18Session s;
  s.Select(111);
  struct Case {
    const char* typed;
    std::vector<uint8_t> bytes;  // at 0x200000.., empty: the text is refused
    const char* shown;           // after leaving the field
  };
  const std::vector<Case> cases = {
      {"0123456789ABCDEF", {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}, "0123456789ABCDEF"},
      {"1234", {0, 0, 0, 0, 0, 0, 0x12, 0x34}, "0000000000001234"},
      {"0xfedcba9876543210", {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}, "FEDCBA9876543210"},
      {"12G4", {}, "FEDCBA9876543210"},
      {"10000000000000000", {}, "FEDCBA9876543210"},  // seventeen digits
      {"", {}, "FEDCBA9876543210"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> before(8);
    for (uint32_t k = 0; k < 8; ++k) before[k] = s.p.image[kId + k];
    s.p.controls.SetText("edPIC18F_ID", c.typed);
    p18::edPIC18F_IDChange(s.p);
    const std::vector<uint8_t>& expected = c.bytes.empty() ? before : c.bytes;
    for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(s.p.image[kId + k], expected[k]) << c.typed << k;
    p18::edPIC18F_ID_exit(s.p);
    EXPECT_EQ(s.p.controls.Text("edPIC18F_ID"), c.shown) << c.typed;
  }
}

std::string Apply(app::Programmer& p, const std::string& text) {
  app::OptionSetting setting;
  std::string error = app::ParseOptionSetting(app::Families().options(), text, setting);
  if (error.empty()) error = app::ApplyOptionSetting(p, setting);
  return error;
}

// The keys write the image as the panel would; Program puts the bytes on
// the chip and a read brings them back, under the part's masks.
TEST(Pic18Keys, ConfigByteAndIdReachTheChipAndComeBack) {
  Pic18Session s;
  s.Select(107);
  s.Load(Pic18Session::Pattern(64, 9), {},
         {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}, {});
  p18::RefreshConfigBoxes(s.p);
  EXPECT_EQ(Apply(s.p, "config-byte=3=0x0A"), "");  // CONFIG2H: watchdog off, WDTPS 101
  EXPECT_EQ(Apply(s.p, "config-byte=1=0x22"), "");  // CONFIG1H: #OSCEN, HS
  EXPECT_EQ(Apply(s.p, "config-byte=6=0x81"), "");  // CONFIG4L: LVP off
  EXPECT_EQ(Apply(s.p, "id=A1B2C3D4E5F60718"), "");
  EXPECT_EQ(s.p.image[kCfg + 3], 0x0A);
  EXPECT_FALSE(s.p.controls.Checked("cbPIC18_0108"));
  EXPECT_TRUE(s.p.controls.Checked("cbPIC18_0109"));
  // CONFIG1L has no bit on this part; byte 14 does not exist; an ID is hex.
  EXPECT_NE(Apply(s.p, "config-byte=0=0x00").find("disable"), std::string::npos);
  EXPECT_NE(Apply(s.p, "config-byte=14=0x00"), "");
  EXPECT_NE(Apply(s.p, "config-byte=2=0x100"), "");
  EXPECT_NE(Apply(s.p, "id=XYZ").find("sixteen hexadecimal digits"), std::string::npos);
  EXPECT_EQ(s.p.image[kCfg + 2], 0x0F);

  s.Program();
  ASSERT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
  EXPECT_EQ(s.chip->Config(1), 0x22);
  EXPECT_EQ(s.chip->Config(3), 0x0A);
  EXPECT_EQ(s.chip->Config(6), 0x81);
  image::ClearBuf(s.p.image, image::kFillFF, {});
  s.Read();
  ASSERT_EQ(s.Last(), "Read Code,ID,EEPROM,CFG -- ok");
  const std::vector<uint8_t> back = {0x00, 0x22, 0x0F, 0x0A, 0x00, 0x01, 0x81,
                                     0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  for (uint32_t k = 0; k < 14; ++k) EXPECT_EQ(s.p.image[kCfg + k], back[k]) << k;
  const std::vector<uint8_t> id = {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18};
  for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(s.p.image[kId + k], id[k]) << k;
  // The read refreshed the panel.
  EXPECT_EQ(s.p.controls.Text("edPIC18_CFG3"), " 0x0A");
  EXPECT_FALSE(s.p.controls.Checked("cbPIC18_0302"));
  EXPECT_EQ(s.p.controls.Text("edPIC18F_ID"), "A1B2C3D4E5F60718");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

TEST(Pic18IdWindow, ValueBitGroupsRevisionAndName) {
  struct Case {
    uint16_t id;
    const char* value;
    const char* binary;
    int revision;
    const char* name;
  };
  const Case cases[] = {
      {0x0427, " 0x0427", "00000100001 00111", 7, " PIC 18F452/4539"},
      {0x0C00, " 0x0C00", "00001100000 00000", 0, " PIC 18F4620"},
      {0x07E3, " 0x07E3", "00000111111 00011", 3, " PIC 18F1220"},
      {0xFFE0, " 0xFFE0", "11111111111 00000", 0, " Unknown device"},
  };
  for (const Case& c : cases) {
    const families::pic::DeviceIdWindow w = families::pic::DescribeDeviceId(36, c.id);
    EXPECT_EQ(w.value, c.value);
    EXPECT_EQ(w.binary, c.binary);
    EXPECT_EQ(w.revision, c.revision);
    EXPECT_EQ(w.name, c.name);
  }
}

}  // namespace
}  // namespace daraz_test

namespace daraz_test {
namespace {

// MCLR off with the internal oscillator: entered VDD first the part runs
// instead of listening, whether the fault set it or a program wrote it.
TEST(Pic18Model, MclrOffWithTheInternalOscillatorRefusesVddFirstEntry) {
  const std::vector<std::string> refused = {
      "VDD-first entry while the part runs from its internal oscillator with MCLR off",
      "PGC clocked outside programming mode"};
  {
    Pic18Session s;
    s.Select(207);  // 18F4620
    ASSERT_TRUE(s.chip->InjectFault(sim::ChipFault{"mclre-off", 0, 0, 0}));
    s.GetId();
    EXPECT_EQ(s.Last(), " 0xFFFF");
    EXPECT_EQ(s.Violations(), refused);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    // 18F452 has no MCLRE bit: the fault does not apply.
    Pic18Session s;
    s.Select(107);
    EXPECT_FALSE(s.chip->InjectFault(sim::ChipFault{"mclre-off", 0, 0, 0}));
  }
  {
    // CONFIG1H 0x08 (internal oscillator), CONFIG3H 0x07 (MCLRE clear).
    Pic18Session s;
    s.Select(207);
    s.Load(Pic18Session::Pattern(16, 4), {},
           {0xFF, 0x08, 0xFF, 0xFF, 0xFF, 0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
           {});
    s.Program();
    ASSERT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
    s.GetId();
    EXPECT_EQ(s.Last(), " 0xFFFF");
    EXPECT_EQ(s.Violations(), refused);
  }
}

// A part that did not enter programming mode reads all ones: neither the
// blank check nor the read may pass that off as an erased chip.
TEST(Pic18Model, APartThatDoesNotAnswerIsNeitherBlankNorRead) {
  Pic18Session s;
  s.Select(207);  // 18F4620
  s.Load(Pic18Session::Pattern(16, 4), {}, {}, {});
  s.Program();
  ASSERT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
  ASSERT_TRUE(s.chip->InjectFault(sim::ChipFault{"mclre-off", 0, 0, 0}));
  const std::string error = "ERROR no device ID (0xFFFF): the part is not in programming mode";
  s.Blank();
  EXPECT_EQ(s.Last(), error);
  EXPECT_EQ(s.p.error, 1);
  s.Read();
  EXPECT_EQ(s.Last(), error);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(),
            (std::vector<std::string>{
                "VDD-first entry while the part runs from its internal oscillator with MCLR off",
                "PGC clocked outside programming mode"}));
}

}  // namespace
}  // namespace daraz_test
