// Selection of the 8-bit JEDEC flash chips: device tables, family codes,
// unlock sets, and the option boxes each selection leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/guided_panel.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_devices.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::RecordingHost;
namespace flash = families::flash;
using daraz_test::KB;
using daraz_test::MB;

class JedecSelect : public daraz_test::SelectFixture {};

TEST_F(JedecSelect, M29fRowsGiveSizeFamilyTimingsPatternAndUnlockSet) {
  struct Case {
    int tag;
    uint32_t size;
    int family, twp, pattern, picture;
    bool short_unlock;
  };
  // Every row of the device table, with the four tags no catalogue entry uses.
  const Case cases[] = {
      {101, 8 * KB, 4, 3, 5, 28, false},     {102, 16 * KB, 4, 3, 5, 28, false},
      {103, 32 * KB, 4, 3, 18, 28, false},   {104, 64 * KB, 4, 3, 7, 32, false},
      {105, 128 * KB, 4, 3, 7, 32, false},   {106, 256 * KB, 4, 3, 7, 32, false},
      {107, 512 * KB, 4, 3, 19, 32, false},  {201, 64 * KB, 12, 2, 7, 32, false},
      {202, 128 * KB, 12, 2, 7, 32, false},  {203, 256 * KB, 12, 2, 7, 32, false},
      {204, 512 * KB, 12, 2, 19, 32, false}, {301, 64 * KB, 27, 3, 7, 32, false},
      {302, 128 * KB, 27, 3, 7, 32, false},  {303, 256 * KB, 27, 3, 7, 32, false},
      {304, 512 * KB, 27, 3, 19, 32, false}, {311, 128 * KB, 27, 3, 16, 32, false},
      {312, 128 * KB, 27, 3, 16, 32, false}, {313, 256 * KB, 27, 3, 16, 32, false},
      {314, 256 * KB, 27, 3, 16, 32, false}, {315, 512 * KB, 27, 3, 19, 32, false},
      {316, 512 * KB, 27, 3, 19, 32, false}, {317, 512 * KB, 27, 3, 19, 32, false},
      {401, 128 * KB, 12, 3, 16, 32, true},  {402, 256 * KB, 12, 3, 16, 32, true},
      {403, 512 * KB, 12, 3, 19, 32, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::M29F_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.twp, c.twp);
    EXPECT_EQ(p.dev.twc, c.twp == 2 ? 20 : 30);
    EXPECT_EQ(p.dev.switch_pattern, c.pattern);
    EXPECT_EQ(p.dev.socket_picture, c.picture);
    EXPECT_EQ(p.dev.unlock, c.short_unlock ? flash::kShortUnlock : flash::kStandardUnlock);
    EXPECT_TRUE(p.controls.Checked("cbSkip_0xFF"));
  }
  // The MXIC rows pick their sector layout; 304 takes the one between 5 and 7.
  const std::pair<int, int> layouts[] = {{304, 6}, {311, 0}, {312, 1}, {313, 2},
                                         {314, 3}, {315, 4}, {316, 5}, {317, 7}};
  for (const auto& [tag, layout] : layouts) {
    Select(HandlerId::M29F_Click, tag);
    EXPECT_EQ(p.dev.layout, layout) << tag;
  }
  // Not in the table: the size stays, the pattern falls back to 7.
  Select(HandlerId::M29F_Click, 150);
  EXPECT_EQ(p.image.device_size, 512 * KB);
  EXPECT_EQ(p.dev.switch_pattern, 7);
  EXPECT_EQ(p.dev.family, 4);
}

TEST_F(JedecSelect, MxicPartsShowTheSectorPanelSizedToTheirLayout) {
  Select(HandlerId::M29F_Click, 315);  // MX29F004 - T: eleven sectors
  EXPECT_EQ(p.dev.layout, 4);
  EXPECT_TRUE(p.controls.Visible("pMXICF29040"));
  EXPECT_EQ(p.controls.Text("pMXICF29040"), "MXIC - 29Fxxx Sector Protection");
  EXPECT_FALSE(p.controls.Enabled("sbMXICF29SecProt"));
  EXPECT_FALSE(p.controls.Enabled("sbMXICF29ChipUnprt"));
  EXPECT_EQ(p.controls["sgMXICF29SecVfyF29"].items.size(), 12u);
  Select(HandlerId::M29F_Click, 317);  // MX29F040: eight uniform sectors
  EXPECT_EQ(p.controls["sgMXICF29SecVfyF29"].items.size(), 9u);
  Select(HandlerId::M29F_Click, 105);
  EXPECT_FALSE(p.controls.Visible("pMXICF29040"));
}

// A box left checked on a panel these chips never show must not put 12 V on
// the next chip's #RESET pin during an erase.
TEST_F(JedecSelect, TemporaryUnprotectIsClearedByEveryJedecSelection) {
  for (HandlerId h :
       {HandlerId::M29F_Click, HandlerId::AT49F00x_Click, HandlerId::Am29Fx00_Click}) {
    p.controls.Check("cbProtect");
    Select(h, 103);
    EXPECT_FALSE(p.controls.Checked("cbProtect")) << app::HandlerName(h);
  }
}

TEST_F(JedecSelect, At49fRowsGiveSizePatternAdapterAndPanel) {
  struct Case {
    int tag;
    uint32_t size;
    int pattern;
    const char* adapter;
    const char* panel;
  };
  constexpr char k49F[] = " 49F00x   [ pin #RESET/Vpp (12V) ]";
  constexpr char k29F[] = " 29F0x0   [ pin #RESET/Vpp (12V) ]";
  constexpr char kA[] = "  TSOP40A/PSOP44";
  constexpr char kB[] = "  TSOP40B/PSOP44";
  // Every row of the device table; the pattern is the DIP-switch picture the
  // user sets, so a wrong one is a wrongly wired socket.
  const Case cases[] = {
      {101, 128 * KB, 16, "", k49F},
      {102, 128 * KB, 16, "", k49F},
      {103, 256 * KB, 16, "", k49F},
      {104, 256 * KB, 16, "", k49F},
      {201, 256 * KB, 20, "", k49F},
      {202, 512 * KB, 20, "", k49F},
      {203, 1 * MB, 20, "", k49F},
      {204, 1 * MB, 20, "  TSOP40 ", k49F},
      {301, 512 * KB, 36, kA, k49F},
      {302, 1 * MB, 36, kA, k49F},
      {303, 2 * MB, 36, kA, k49F},
      {304, 4 * MB, 36, kA, k49F},  // MBM29F032x gets a size of its own
      {305, 256 * KB, 36, kA, k49F},
      {401, 1 * MB, 36, kB, k29F},
      {402, 2 * MB, 36, kB, k29F},
      {403, 4 * MB, 36, kB, k29F},
      {410, 64 * KB, 7, "", k29F},
      {411, 128 * KB, 7, "", k29F},
      {413, 512 * KB, 19, "", k29F},
      {414, 2 * MB, 36, "  TSOP40A", k29F},
      {501, 8 * MB, 36, "  TSOP40-A3", k29F},
      {601, 128 * KB, 16, "", k49F},
      {602, 256 * KB, 16, "", k49F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    p.controls.Enable("cbProtect", false);
    Select(HandlerId::AT49F00x_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.switch_pattern, c.pattern);
    EXPECT_EQ(p.controls.Text("lbAdapter"), c.adapter);
    EXPECT_EQ(p.controls.Text("p49F00xsetting"), c.panel);
    EXPECT_EQ(p.dev.family, 22);
    EXPECT_EQ(p.dev.twp, 6);
    EXPECT_EQ(p.dev.twc, 40);
    EXPECT_TRUE(p.controls.Enabled("cbProtect"));
    EXPECT_FALSE(p.controls.Checked("cb5555"));
    // Only the ST TSOP parts offer their fast mode.
    EXPECT_EQ(p.controls.Visible("cbFujitsu_fastmode"), c.panel == k29F);
    EXPECT_EQ(p.dev.unlock, c.tag >= 600 ? flash::kShortUnlock : flash::kStandardUnlock);
  }
  EXPECT_EQ(p.controls.Text("lbAdapter"), "");
}

TEST_F(JedecSelect, Am29fRowsGiveSizeFlagsUnlockSetAndFastModeBox) {
  struct Case {
    int tag;
    uint32_t size;
    bool page_program, single_pulse, short_unlock, vcc_3v3, box_shown;
  };
  // Every row of the device table.
  const Case cases[] = {
      {101, 128 * KB, false, false, false, false, true},
      {102, 256 * KB, false, false, false, false, true},
      {103, 512 * KB, false, false, false, false, true},
      {104, 1 * MB, false, false, false, false, true},
      {105, 2 * MB, false, false, false, false, true},
      {106, 4 * MB, false, false, false, false, true},
      {201, 2 * MB, true, false, false, false, true},
      {301, 256 * KB, false, false, false, true, true},
      {302, 512 * KB, false, false, false, true, true},
      {303, 1 * MB, false, false, false, true, true},
      {304, 2 * MB, false, false, false, true, true},
      {305, 4 * MB, false, false, false, true, true},
      {306, 128 * KB, false, false, false, true, true},
      {501, 128 * KB, false, false, false, false, false},
      {502, 256 * KB, false, false, false, false, false},
      {503, 512 * KB, false, false, false, false, false},
      {504, 1 * MB, false, false, false, false, false},
      {505, 1 * MB, false, true, false, false, true},
      {506, 2 * MB, false, true, false, false, true},
      {507, 2 * MB, false, true, false, false, true},
      {508, 4 * MB, false, true, false, false, true},
      {604, 1 * MB, false, false, true, false, true},
      {605, 1 * MB, false, false, true, true, true},
      {606, 2 * MB, false, false, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    host.Clear();
    p.controls.Enable("cbProtect", false);
    Select(HandlerId::Am29Fx00_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.family, 15);
    EXPECT_EQ(p.dev.switch_pattern, 20);
    EXPECT_EQ(p.dev.page_program, c.page_program);
    EXPECT_EQ(p.dev.single_pulse, c.single_pulse);
    EXPECT_EQ(p.dev.byte_mode_unlock,
              c.short_unlock ? flash::kByteModeShortUnlock : flash::kByteModeUnlock);
    // The working set of the other JEDEC families is left at its default.
    EXPECT_EQ(p.dev.unlock, flash::kStandardUnlock);
    EXPECT_EQ(host.Informations().size(), c.vcc_3v3 ? 1u : 0u);
    EXPECT_EQ(p.controls.Visible("cbFujitsu_fastmode"), c.box_shown);
    // P4 to P7 honour the temporary unprotect box: it must be usable.
    EXPECT_TRUE(p.controls.Enabled("cbProtect"));
    EXPECT_FALSE(p.controls.Checked("cbProtect"));
    EXPECT_EQ(p.controls.Text("cbFujitsu_fastmode"),
              c.tag > 500 && c.tag < 600 ? "Single-pulse byte/Word Program (Amtel)"
                                         : "Fast Mode Programming ( Fujitsu, AMD, ST Chip)");
  }
  EXPECT_EQ(p.controls.Text("cb5555"), "( AAAA,5555,AAAA.. )");
  EXPECT_EQ(p.controls.Text("lbAdapter2"), "PSOP 8/16bit mode");
}

TEST_F(JedecSelect, VccReminderComesAfterTheSwitchPicturesAreDrawn) {
  Select(HandlerId::Am29Fx00_Click, 605);
  ASSERT_EQ(host.Informations(), std::vector<std::string>{"\n Select VCC = 3.3 ~ 3.6V    "});
  EXPECT_EQ(host.events.back().type, RecordingHost::Type::kInformation);
  EXPECT_EQ(host.events[host.events.size() - 2].type, RecordingHost::Type::kControlsChanged);
  host.Clear();
  Select(HandlerId::Am29Fx00_Click, 101);
  EXPECT_FALSE(p.dev.vcc_3v3);
  EXPECT_TRUE(host.Informations().empty());
}

TEST_F(JedecSelect, Lv16RowsGiveSizeFamilyAdapterAndWordAddressBits) {
  const struct {
    int tag;
    uint32_t size;
    int family, address_bits;
    const char* adapter;
  } cases[] = {
      {105, 2 * MB, 44, 19, "TSOP48 16bit Mode "},
      {306, 4 * MB, 44, 20, "TSOP48 16bit Mode "},
      {402, 128 * KB, 44, 15, "TSOP40 16bit Mode "},
      {501, 128 * KB, 56, 15, "TSOP40 16bit Mode "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::MBM29LV160Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.family, c.family);
    // One below a byte-wide chip of the same size: addresses are words.
    EXPECT_EQ(p.dev.address_bits, c.address_bits);
    EXPECT_EQ(p.dev.top_address_mask, 1u << c.address_bits);
    EXPECT_EQ(p.controls.Text("lbAdapter"), c.adapter);
    EXPECT_EQ(p.dev.switch_pattern, 14);
    // Only the sector-write part is read with its write line held low.
    EXPECT_EQ(p.dev.read_level, c.family == 56);
  }
  EXPECT_EQ(p.dev.page_size, 256u);  // the W29C102 was last
}

TEST_F(JedecSelect, Lv16SelectionSetsItsPanelAndLocksTheOffset) {
  p.controls.Check("cbProtect");
  Select(HandlerId::MBM29LV160Click, 205);
  EXPECT_TRUE(p.dev.cfi_no_primary);
  EXPECT_FALSE(p.controls.Enabled("edOffset"));
  EXPECT_FALSE(p.controls.Enabled("lbOffset"));
  EXPECT_FALSE(p.controls.Checked("cbProtect"));
  EXPECT_FALSE(p.controls.Visible("cbProtect"));
  EXPECT_TRUE(p.controls.Visible("p49F00xsetting"));
  EXPECT_EQ(p.controls.Text("p49F00xsetting"), " 29LVx00 / 39VFx00 ");
  EXPECT_EQ(p.controls.Text("cbFujitsu_fastmode"), "Fast Mode Programming ( Fujitsu Chip)");
  // Only the 39LF/VF160 has a primary table the report must not decode.
  for (const int tag : {101, 102, 103, 104, 105, 106, 201, 202, 203, 204,
                        205, 301, 302, 303, 304, 305, 306, 401, 402, 501}) {
    Select(HandlerId::MBM29LV160Click, tag);
    EXPECT_EQ(p.dev.cfi_no_primary, tag == 205) << tag;
    // Word parts always start at chip address 0: neither the offset nor
    // its label is offered, whatever the row.
    EXPECT_FALSE(p.controls.Enabled("edOffset")) << tag;
    EXPECT_FALSE(p.controls.Enabled("lbOffset")) << tag;
  }
}

// The wizard's rows: the layout picks the sectors and the unprotect
// routine, the Tag the family.
TEST_F(JedecSelect, WizardRowsGiveLayoutAndFamily) {
  const struct {
    int tag, layout, family;
  } cases[] = {
      {101, 9, 41}, {102, 8, 41}, {103, 7, 41}, {104, 6, 41}, {201, 6, 42}, {202, 2, 42},
      {203, 3, 42}, {204, 4, 42}, {206, 5, 42}, {301, 7, 49}, {302, 7, 50},
  };
  for (const auto& c : cases) {
    Select(HandlerId::EN29F002T_Click, c.tag);
    EXPECT_EQ(p.dev.layout, c.layout) << c.tag;
    EXPECT_EQ(p.dev.family, c.family) << c.tag;
  }
}

TEST_F(JedecSelect, UnprotectWizardStartsAtStepOneWithEveryBoxCleared) {
  for (const char* box : {"cbJP23", "cbJP42", "cbDIPSW"}) p.controls.Check(box);
  Select(HandlerId::EN29F002T_Click, 203);
  EXPECT_EQ(p.dev.layout, 3);
  EXPECT_EQ(app::GuidedStepIndex(p), 0);
  EXPECT_TRUE(p.controls.Visible("gbUnprotect"));
  EXPECT_TRUE(p.controls.Visible("pMXICF29040"));
  EXPECT_EQ(p.controls.Text("gbUnprotect"), "step 1/5 [Get ID]");
  EXPECT_EQ(p.controls.Text("btnID_UN"), "GET ID");
  EXPECT_FALSE(p.controls.Enabled("btnID_UN"));
  for (const char* box : {"cbJP23", "cbJP42", "cbDIPSW"}) {
    EXPECT_FALSE(p.controls.Checked(box)) << box;
  }
  EXPECT_EQ(p.controls.Text("cbDIPSW"), "DIP SW setting");
  Select(HandlerId::EN29F002T_Click, 301);
  EXPECT_EQ(p.controls.Text("cbDIPSW"), "DIP SW setting , Jumper A18");
  EXPECT_EQ(p.controls.Text("pMXICF29040"), "AMD - 29F040 Sector UnProtection");
  // Any other selection puts the wizard away again.
  Select(HandlerId::M29F_Click, 105);
  EXPECT_FALSE(p.controls.Visible("gbUnprotect"));
}

TEST_F(JedecSelect, LvProtectRowsPanelAndSupplyReminder) {
  const struct {
    int tag;
    uint32_t size;
    int layout;
  } cases[] = {{101, 512 * KB, 4}, {106, 2 * MB, 17}, {107, 256 * KB, 2}, {205, 8 * MB, 20}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    host.Clear();
    Select(HandlerId::HY29LV1601Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_EQ(p.dev.family, 47);
    // The TSOP48 8/16-bit adapter of the byte-mode parts: their switch
    // setting too.
    EXPECT_EQ(p.dev.switch_pattern, 20);
    EXPECT_EQ(p.dev.byte_mode_unlock, flash::kByteModeUnlock);
    EXPECT_EQ(p.controls["sgMXICF29SecVfyF29"].items.size(),
              static_cast<size_t>(flash::SectorCount(flash::LayoutTable::kSector, c.layout)) + 1);
    EXPECT_FALSE(p.controls.Enabled("sbMXICF29SecProt"));
    EXPECT_EQ(host.Informations(), std::vector<std::string>{"\n Select VCC = 3.3 ~ 3.6V    "});
  }
}

TEST_F(JedecSelect, Sst28RowsGiveFamilyAndWriteTimings) {
  struct Case {
    int tag, family, twp, twc;
  };
  for (const Case& c : {Case{1, 24, 6, 40}, Case{10, 25, 7, 55}}) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::SST28xF040A1Click, c.tag);
    EXPECT_EQ(p.image.device_size, 512 * KB);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.twp, c.twp);
    EXPECT_EQ(p.dev.twc, c.twc);
    EXPECT_EQ(p.dev.switch_pattern, 19);
    EXPECT_EQ(p.dev.socket_picture, 32);
    // Skipping blank bytes is on for these parts whatever the last chip left.
    EXPECT_TRUE(p.controls.Checked("cbSkip_0xFF"));
  }
}

}  // namespace
