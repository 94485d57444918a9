// The PIC configuration panel: words composed from the lists and boxes
// (expected words from the parts' datasheets' configuration-bit tables),
// the word read back into them without touching the image, the ID field,
// the refresh after a file load and after a read, and "MCLRE +5V".
#include "families/mcu/pic_config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/image_files.h"
#include "pic_fixture.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

struct PicPanel : PicSession {
  void SetLists(int osc, int cp, int bo) {
    p.controls["cbPICosc"].index = osc;
    p.controls["cbPICcp"].index = cp;
    p.controls["cbPICbod"].index = bo;
  }
  void SetBoxes(const std::vector<const char*>& checked) {
    for (auto box : pic::kBoxes) p.controls.Check(box, false);
    for (auto box : checked) p.controls.Check(box, true);
    pic::cbWDTEClick(p);
  }
  uint16_t Word() const { return p.image.Word(p.dev.pic16.config_index); }
};

// Words from the datasheets' configuration-word tables, chosen item by item
// and box by box as a user would.
TEST(PicConfig, ComposesTheDatasheetWords) {
  struct Case {
    int tag;
    int osc, cp, bo;
    std::vector<const char*> boxes;
    uint16_t word;  // under the row's configuration mask
    const char* what;
  };
  const Case cases[] = {
      // FOSC=01, WDTE=0, /PWRTE=0, CP bits 13:4 all 1.
      {306, 1, 1, -1, {"cbPWRTE"}, 0x3FF1, "16F84A XT, PWRT on, CP off"},
      {306, 2, 0, -1, {"cbWDTE"}, 0x000E, "16F84A HS, WDT on, CP all"},
      // 16F628: MCLRE=1 is the MCLR pin, /CPD=1 leaves the data memory open.
      {402, 1, 3, -1, {"cbPWRTE", "cbMCLRE"}, 0x3D21, "16F628 XT, MCLR, CP off"},
      {402, 1, 0, -1, {"cbCPD"}, 0x0009, "16F628 CP all, data protected"},
      // FOSC2:0=100 (bit 4 and 1:0), /PWRTE=0, /CPD=1, CP=1.
      {404, 4, 1, -1, {"cbPWRTE"}, 0x2110, "16F628A IntRC I/O"},
      // FOSC=10 HS, /PWRTE=1, /CPD=1, WRT1:0=11, /DEBUG=1, CP=1.
      {513, 2, 1, 3, {}, 0x2F0A, "16F877A HS, everything off"},
      // FOSC=100 IntRC I/O, /PWRTE=0, CP=1, /CPD=1.
      {601, 4, 1, -1, {"cbPWRTE"}, 0x0184, "12F629 IntRC I/O, PWRT on"},
      // FOSC=10 IntRC, CP=1, MCLRE=0.
      {101, 2, 1, -1, {}, 0x000A, "12C508 IntRC, CP off"},
      // FOSC=100, WDTE 3, MCLRE 5, CP 6=1, /CPD 7=1, BOREN=11.
      {424, 4, 1, 3, {"cbWDTE", "cbMCLRE"}, 0x03FC, "16F684 IntRC, BOR on"},
      // 16F877: CP1:CP0=10 in both pairs (upper half), /CPD checked.
      {503, 1, 2, -1, {"cbCPD"}, 0x2829, "16F877 XT, upper half"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PicPanel s;
    if (c.tag < 200) {
      s.Select12(c.tag);
    } else {
      s.Select(c.tag);
    }
    s.SetLists(c.osc, c.cp, c.bo);
    s.SetBoxes(c.boxes);
    EXPECT_EQ(s.Word() & s.p.dev.pic16.config_mask, c.word);
    EXPECT_EQ(s.p.dev.pic16.config_word, s.Word());
  }
}

// A list with nothing chosen adds no bits: only the boxes' (16F628: the
// unchecked inverted masks /PWRTE and /CPD).
TEST(PicConfig, AListWithNothingChosenAddsNothing) {
  const pic::ConfigRow& row = pic::ConfigRowFor(5);
  EXPECT_EQ(pic::ComposeConfig(row, {-1, -1, -1}, {}), 0x0108);
  EXPECT_EQ(pic::ComposeConfig(row, {8, 4, 4}, {}), 0x0108);
  // No row past the table: nothing to offer.
  const pic::ConfigRow& none = pic::ConfigRowFor(pic::kConfigRows);
  for (const uint16_t mask : none.masks) EXPECT_EQ(mask, 0);
  EXPECT_TRUE(pic::ListTexts(pic::kConfigRows, pic::ListKind::kCodeProtect).empty());
}

TEST(PicConfig, RowOneWatchDogAndBitFifteen) {
  PicPanel s;
  s.Select(201);  // 16C620: row 1
  s.SetLists(0, 1, -1);
  s.SetBoxes({"cbWDTE"});
  EXPECT_EQ(s.Word() & 0x3F34, 0x3F34);
  EXPECT_EQ(s.p.controls.Text("edPIC_cfg"), " 0x3F3C");  // PWRTE unchecked: bit 3 is 1
  EXPECT_EQ(s.p.controls.Text("lbPIC_cfgBin"), "11 1111 0011 1100");
  s.SetBoxes({});
  EXPECT_EQ(s.Word(), 0x3F38);  // WatchDog's 0x0004 gone; no bit 15 from 0x8008
  s.SetBoxes({"cbPWRTE"});
  EXPECT_EQ(s.Word(), 0x3F30);
}

TEST(PicConfig, SetFusesShowsTheWordAndLeavesTheImage) {
  PicPanel s;
  s.Select(201);
  // Erased: CP off. The first 0x0000 item must not be taken for it.
  s.p.image.SetWord(0x2007, 0x3FFF);
  pic::SetFuses(s.p);
  EXPECT_EQ(s.p.controls.Index("cbPICcp"), 1);
  EXPECT_EQ(s.p.controls.Index("cbPICosc"), 3);
  EXPECT_TRUE(s.p.controls.Checked("cbWDTE"));
  EXPECT_FALSE(s.p.controls.Checked("cbPWRTE"));
  EXPECT_TRUE(s.p.controls.Checked("cbBODEN"));
  // The row composes 0x3F7F at most (bit 7 is not implemented): the image
  // keeps the file's word all the same.
  EXPECT_EQ(s.Word(), 0x3FFF);
  EXPECT_EQ(s.p.controls.Text("edPIC_cfg"), " 0x3FFF");

  s.Select(306);                      // 16F84A
  s.p.image.SetWord(0x2007, 0x000D);  // CP all, PWRT off, WDT on, XT
  pic::SetFuses(s.p);
  EXPECT_EQ(s.p.controls.Index("cbPICcp"), 0);
  EXPECT_EQ(s.p.controls.Index("cbPICosc"), 1);
  EXPECT_TRUE(s.p.controls.Checked("cbWDTE"));
  EXPECT_FALSE(s.p.controls.Checked("cbPWRTE"));
  EXPECT_EQ(s.Word(), 0x000D);

  s.Select(503);  // 16F877: CP1:CP0 = 01 in both pairs is "Upper 256"
  s.p.image.SetWord(0x2007, 0x1FDF);
  pic::SetFuses(s.p);
  EXPECT_EQ(s.p.controls.Index("cbPICcp"), 1);
  // Pairs that disagree match no item: nothing is chosen.
  s.p.image.SetWord(0x2007, 0x3FFF & ~0x1000);
  pic::SetFuses(s.p);
  EXPECT_EQ(s.p.controls.Index("cbPICcp"), -1);
  EXPECT_EQ(s.Word(), 0x2FFF);
}

TEST(PicConfig, SelectionFillsTheListsAndBoxes) {
  PicPanel s;
  s.Select(306);
  EXPECT_EQ(s.p.controls["cbPICosc"].items, (std::vector<std::string>{" LP", " XT", " HS", " RC"}));
  EXPECT_EQ(s.p.controls["cbPICcp"].items, (std::vector<std::string>{" CP ALL", " CP OFF"}));
  EXPECT_FALSE(s.p.controls.Enabled("cbPICbod"));
  EXPECT_TRUE(s.p.controls.Enabled("cbWDTE"));
  EXPECT_TRUE(s.p.controls.Enabled("cbPWRTE"));
  for (auto box : {"cbMCLRE", "cbBODEN", "cbLVP", "cbCPD", "cbWRT", "cbDEBUG"}) {
    EXPECT_FALSE(s.p.controls.Enabled(box)) << box;
  }
  EXPECT_TRUE(s.p.controls.Enabled("cbMCLRE5"));
  s.Select(513);
  EXPECT_EQ(s.p.controls.Text("lbPICbod"), "Write Protect");
  EXPECT_EQ(s.p.controls["cbPICbod"].items.size(), 4u);
  EXPECT_TRUE(s.p.controls.Enabled("cbDEBUG"));
  s.Select12(711);  // 12F508: WatchDog and MCLR enable, no timer
  EXPECT_FALSE(s.p.controls.Enabled("cbPWRTE"));
  EXPECT_TRUE(s.p.controls.Enabled("cbMCLRE"));
  s.p.image.SetWord(0x0FFF, 0x0FEA);
  pic::SetFuses(s.p);
  EXPECT_EQ(s.p.controls.Text("lbPIC_cfgBin"), "1111 1110 1010");
  s.Select12(721);  // 16F505
  EXPECT_FALSE(s.p.controls.Enabled("cbPWRTE"));
  EXPECT_TRUE(s.p.controls.Enabled("cbMCLRE"));
  s.Select(201);
  EXPECT_FALSE(s.p.controls.Enabled("cbMCLRE5"));
  EXPECT_EQ(s.p.controls.Text("lbPICbod"), "Brown-out");
}

TEST(PicConfig, IdFieldWritesANibblePerWord) {
  PicPanel s;
  s.Select(306);
  s.p.controls.SetText("edPIC_ID", "1a2F");
  pic::edPIC_IDChange(s.p);
  EXPECT_EQ(s.p.image.Word(0x2000), 0x1);
  EXPECT_EQ(s.p.image.Word(0x2001), 0xA);
  EXPECT_EQ(s.p.image.Word(0x2002), 0x2);
  EXPECT_EQ(s.p.image.Word(0x2003), 0xF);
  EXPECT_EQ(pic::IdText(s.p), "1A2F");
  EXPECT_FALSE(pic::SetIdText(s.p, "12G4"));
  EXPECT_FALSE(pic::SetIdText(s.p, "123"));
  EXPECT_EQ(s.p.image.Word(0x2001), 0xA);
  s.Select12(711);  // 12F508: the IDs follow program memory
  EXPECT_TRUE(pic::SetIdText(s.p, "9876"));
  EXPECT_EQ(s.p.image.Word(512), 0x9);
  EXPECT_EQ(s.p.image.Word(515), 0x6);
}

TEST(PicConfig, ALoadedFileShowsItsWordUnchanged) {
  PicPanel s;
  s.Select(306);
  const auto path = std::filesystem::temp_directory_path() / "pic_config_load_test.hex";
  {
    std::ofstream f(path);
    // Word 0x3FF1 at byte 0x400E; IDs 5, 6, 7, 8 at 0x4000.
    f << ":0840000005000600070008009E\n:02400E00F13F80\n:00000001FF\n";
  }
  ASSERT_TRUE(app::LoadFile(s.p, path.string(), {}).ok) << s.Last();
  std::filesystem::remove(path);
  EXPECT_EQ(s.Word(), 0x3FF1);
  EXPECT_EQ(s.p.controls.Index("cbPICosc"), 1);
  EXPECT_EQ(s.p.controls.Index("cbPICcp"), 1);
  EXPECT_TRUE(s.p.controls.Checked("cbPWRTE"));
  EXPECT_FALSE(s.p.controls.Checked("cbWDTE"));
  EXPECT_EQ(s.p.controls.Text("edPIC_cfg"), " 0x3FF1");
  EXPECT_EQ(s.p.controls.Text("edPIC_ID"), "5678");
}

TEST(PicConfig, AReadShowsTheChipsWord) {
  PicPanel s;
  s.Select(306);
  s.Load(s.Pattern(1024), std::vector<uint8_t>(64, 0x5A), 0x3FF2, {0xC, 0xA, 0xF, 0xE});
  s.Program();
  ASSERT_EQ(s.p.error, 0) << s.Last();
  image::ClearBuf(s.p.image, image::kFillFF, {});
  pic::SetFuses(s.p);
  ASSERT_EQ(s.p.controls.Index("cbPICosc"), 3);
  s.Read();
  EXPECT_EQ(s.Last(), "PIC dumped OK");
  EXPECT_EQ(s.p.controls.Index("cbPICosc"), 2);
  EXPECT_EQ(s.p.controls.Text("edPIC_cfg"), " 0x3FF2");
  EXPECT_EQ(s.p.controls.Text("edPIC_ID"), "CAFE");
}

TEST(PicConfig, MclreFiveVoltsLeavesVddOn) {
  PicPanel s;
  s.Select(306);
  s.p.controls.Check("cbMCLRE5", true);
  pic::cbMCLRE5_Click(s.p);
  EXPECT_TRUE(s.board->pins().power());
  EXPECT_EQ(s.board->pins().data & 0x03, 0x01);  // PGD high, PGC low
  EXPECT_TRUE(s.Violations().empty());
  s.p.controls.Check("cbMCLRE5", false);
  pic::cbMCLRE5_Click(s.p);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  // Program ends with the chip running from VDD while the box is checked.
  s.Load(s.Pattern(1024), {}, 0x3FF1);
  s.p.controls.Check("cbMCLRE5", true);
  s.Program();
  ASSERT_EQ(s.p.error, 0) << s.Last();
  EXPECT_TRUE(s.board->pins().power());
  EXPECT_TRUE(s.Violations().empty());
}

}  // namespace
}  // namespace daraz_test
