// The PIC panels' own doors: the calibration-word group of the 16F636, the
// OSCCAL window's second field, the third list's caption, the PIC18 bit
// captions at the ends of their table, rows of the configuration-bit table
// as the datasheets give them, a list left without a choice, and the
// OSCCAL write that erases the IDs too.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/image_files.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18_config.h"
#include "families/mcu/pic_config.h"
#include "families/mcu/pic_fixture.h"
#include "families/mcu/pic_tools.h"
#include "support/hex_record.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

void ExpectQuiet(const SimSession& s) {
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

// 12F635, 16F636 and 16F684 keep calibration words at 0x2008/0x2009; the
// 12F683 beside them in the menu shows no such group.
TEST(PicCalibrationGroup, SixteenF636ReadsAndWritesItsWords) {
  for (const int tag : {421, 422, 424, 423, 306}) {
    SCOPED_TRACE(tag);
    PicSession s;
    s.Select(tag);
    const bool calib = tag != 423 && tag != 306;
    EXPECT_EQ(s.p.controls.Visible("gbPIC16F684"), calib);
    EXPECT_EQ(s.p.controls.Visible("btnPIC16F684wr"), calib);
  }
  PicSession s;
  s.Select(422, "PIC 16F636");
  pic::btnPIC16F684rdClick(s.p);
  EXPECT_EQ(s.p.error, 0) << s.Last();
  EXPECT_EQ(s.p.controls.Text("ed0X2008"), "2C5F");
  EXPECT_EQ(s.p.controls.Text("ed0X2009"), "1E9B");
  ExpectQuiet(s);

  s.p.controls.SetText("ed0X2008", "2C40");
  s.p.controls.SetText("ed0X2009", "");
  s.host.answers = {true};
  pic::btnPIC16F684wrClick(s.p);
  EXPECT_EQ(s.p.error, 0) << s.Last();
  EXPECT_EQ(s.host.Questions(),
            std::vector<std::string>{"Do you really want program CFG 0x2008,0x2009 ?"});
  EXPECT_EQ(s.chip->Config(0x2008), 0x2C40);
  EXPECT_EQ(s.chip->Config(0x2009), 0x1E9B);
  ExpectQuiet(s);
}

// The OSCCAL window's second field is the band gap on the RETLW parts and
// the backup word on the MOVLW parts.
TEST(PicOsccalWindow, SecondLabelFollowsTheCalibrationKind) {
  struct Case {
    int tag;
    bool twelve_bit;
    const char* label;
    bool button;
  };
  for (const Case c : {Case{601, false, "BandGap", true}, Case{610, false, "BandGap", true},
                       Case{711, true, "BakOSCCAL", true}, Case{722, true, "BakOSCCAL", true}}) {
    SCOPED_TRACE(c.tag);
    PicSession s;
    if (c.twelve_bit) {
      s.Select12(c.tag);
    } else {
      s.Select(c.tag);
    }
    EXPECT_EQ(s.p.controls.Text(pic::kOsccalSecondLabel), c.label);
    EXPECT_EQ(s.p.controls.Enabled("btnOSCCAL"), c.button);
  }
  // A MOVLW part chosen after a RETLW part relabels the field.
  PicSession s;
  s.Select(601);
  s.Select12(711);
  EXPECT_EQ(s.p.controls.Text(pic::kOsccalSecondLabel), "BakOSCCAL");
  s.Select(601);
  EXPECT_EQ(s.p.controls.Text(pic::kOsccalSecondLabel), "BandGap");
}

// The third list holds the flash write-protect ranges where the part has
// them instead of a brown-out voltage.
TEST(PicConfigCaptions, ThirdListIsWriteProtectOnTheWrtParts) {
  struct Case {
    int tag;
    const char* caption;
  };
  for (const Case c : {Case{411, "Write Protect"}, Case{412, "Write Protect"},
                       Case{451, "Write Protect"}, Case{512, "Write Protect"},
                       Case{306, "Brown-out"}, Case{401, "Brown-out"}, Case{503, "Brown-out"}}) {
    SCOPED_TRACE(c.tag);
    PicSession s;
    s.Select(c.tag);
    EXPECT_EQ(s.p.controls.Text("lbPICbod"), c.caption);
  }
}

// Rows of the configuration-bit table as the datasheets give them: the
// 16C62x row, the 16F627/628 row and the 16F818/819 row.
TEST(PicConfigTable, RowsOneFiveAndFifteen) {
  const pic::ConfigRow& one = pic::ConfigRowFor(1);
  EXPECT_EQ(one.code_protect[0], 0x0000);
  EXPECT_EQ(one.code_protect[1], 0x3F30);
  for (uint16_t i = 0; i < 4; ++i) EXPECT_EQ(one.oscillator[i], i);
  EXPECT_EQ(one.masks[0], 0x0004);
  EXPECT_EQ(one.masks[1], 0x8008);
  EXPECT_EQ(one.masks[2], 0x0000);
  EXPECT_EQ(one.masks[3], 0x0040);

  const pic::ConfigRow& five = pic::ConfigRowFor(5);
  const std::array<uint16_t, 4> cp5 = {0x0000, 0x1400, 0x2800, 0x3C00};
  const std::array<uint16_t, 8> osc5 = {0, 1, 2, 3, 0x10, 0x11, 0x12, 0x13};
  // 16F627/628: MCLRE (bit 5) set is the MCLR pin, /CPD (bit 8) clear
  // protects the data memory.
  const std::array<uint16_t, 6> masks5 = {0x0004, 0x8008, 0x0020, 0x0040, 0x0080, 0x8100};
  EXPECT_EQ(five.code_protect, cp5);
  EXPECT_EQ(five.oscillator, osc5);
  for (size_t b = 0; b < masks5.size(); ++b) EXPECT_EQ(five.masks[b], masks5[b]) << b;

  const pic::ConfigRow& fifteen = pic::ConfigRowFor(15);
  EXPECT_EQ(fifteen.code_protect[0], 0x0000);
  EXPECT_EQ(fifteen.code_protect[1], 0x2000);
  EXPECT_EQ(fifteen.oscillator, osc5);
  const std::array<uint16_t, 4> wrt15 = {0x0000, 0x0200, 0x0400, 0x0600};
  const std::array<uint16_t, 8> masks15 = {0x0004, 0x8008, 0x0020, 0x0040,
                                           0x0080, 0x8100, 0x1000, 0x8800};
  EXPECT_EQ(fifteen.brown_out, wrt15);
  EXPECT_EQ(fifteen.masks, masks15);
}

// A word whose code-protect bits match no item leaves that list without a
// choice; the others still show theirs.
TEST(PicConfigLists, AWordMatchingNoItemLeavesTheListUnchosen) {
  PicSession s;
  s.Select(401);  // 16F627: CP1:CP0 twice over, bits 13:10
  const auto path = std::filesystem::temp_directory_path() / "pic_unchosen_list_test.hex";
  {
    std::ofstream f(path);
    // 0x07FF: bits 13:10 = 0001, which no code-protect item has.
    f << HexRecord(0x400E, 0, {0xFF, 0x07}) << "\n:00000001FF\n";
  }
  ASSERT_TRUE(app::LoadFile(s.p, path.string(), {}).ok) << s.Last();
  std::filesystem::remove(path);
  EXPECT_EQ(s.p.image.Word(0x2007), 0x07FF);
  EXPECT_EQ(s.p.controls.Index("cbPICcp"), -1);
  EXPECT_EQ(s.p.controls.Index("cbPICosc"), 7);  // 0x13: ER CLKOUT
  EXPECT_EQ(s.p.controls.Text("edPIC_cfg"), " 0x07FF");
}

// The captions of the PIC18 bits: the last byte and bit of the table, and
// nothing past either end or outside the Tags of the groups.
TEST(Pic18Captions, EndsOfTheTable) {
  namespace p18 = families::pic18;
  // 18F452: CONFIG7H bit 6 EBTRB, CONFIG1H bit 5 #OSCEN, CONFIG1L empty.
  EXPECT_STREQ(p18::ConfigBitCaption(107, 13, 6), "EBTRB");
  EXPECT_STREQ(p18::ConfigBitCaption(107, 1, 5), "#OSCEN");
  EXPECT_STREQ(p18::ConfigBitCaption(107, 8, 0), "CP0");
  EXPECT_STREQ(p18::ConfigBitCaption(107, 0, 0), "-");
  // 18F4680 (the last group) and its last Tag: CONFIG1H bit 7 IESO.
  EXPECT_STREQ(p18::ConfigBitCaption(208, 1, 7), "IESO");
  EXPECT_STREQ(p18::ConfigBitCaption(216, 1, 7), "IESO");
  EXPECT_STREQ(p18::ConfigBitCaption(101, 1, 5), "#OSCEN");
  for (const auto& [tag, k, bit] : {std::tuple{107, 14, 6}, std::tuple{107, -1, 0},
                                    std::tuple{107, 3, 8}, std::tuple{107, 3, -1},
                                    std::tuple{217, 1, 7}, std::tuple{100, 1, 5},
                                    std::tuple{109, 1, 5}}) {
    SCOPED_TRACE(::testing::Message() << tag << " " << k << " " << bit);
    EXPECT_STREQ(p18::ConfigBitCaption(tag, k, bit), "-");
  }
}

// 12F629: writing the OSCCAL erases the chip from VPP-first entry with the
// PC in the configuration space, so the IDs go with program memory; the
// band gap stays as it was.
TEST(PicOsccalWindow, WritingTheOsccalErasesTheIdsToo) {
  PicSession s;
  s.Select(601, "PIC 12F629");
  s.chip->SetProgram(0x10, 0x0123);
  for (uint32_t k = 0; k < 4; ++k) s.chip->SetConfig(0x2000 + k, static_cast<uint16_t>(k + 5));
  s.p.controls.SetText(pic::kOsccalEdit, "3470");
  pic::btnOSCCALwrClick(s.p);
  EXPECT_EQ(s.p.error, 0) << s.Last();
  EXPECT_EQ(s.Last(), "PIC write OSCCAL OK");
  EXPECT_EQ(s.chip->Program(0x3FF), 0x3470);
  EXPECT_EQ(s.chip->Program(0x10), 0x3FFF);
  for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(s.chip->Config(0x2000 + k), 0x3FFF) << k;
  EXPECT_EQ(s.chip->Config(0x2007) & 0x3000, 0x2000);
  ExpectQuiet(s);
}

}  // namespace
}  // namespace daraz_test
