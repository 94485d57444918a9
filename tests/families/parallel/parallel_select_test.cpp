// Selecting EPROM, EEPROM, RAM and NVRAM parts: every device row, the
// per-family details, and that one selection never leaks into the next.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/dispatch.h"
#include "app/option_keys.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::RecordingHost;

using daraz_test::KB;

class ParallelSelect : public daraz_test::SelectFixture {};

struct Expected {
  HandlerId handler;
  int tag;
  uint32_t size;
  int pattern;
  int picture;
  int family;
};

// Every row of the device tables, written out from the datasheet-side list
// the board's manual gives, not from the handlers' own tables.
// clang-format off
constexpr Expected kRows[] = {
    // 27Cxxx
    {HandlerId::M27C_Click, 215, 2 * KB, 27, 2716, 0},
    {HandlerId::M27C_Click, 201, 4 * KB, 9, 2732, 0},
    {HandlerId::M27C_Click, 202, 8 * KB, 1, 28, 0},
    {HandlerId::M27C_Click, 203, 16 * KB, 2, 28, 0},
    {HandlerId::M27C_Click, 204, 32 * KB, 3, 28, 0},
    {HandlerId::M27C_Click, 205, 64 * KB, 4, 28, 0},
    {HandlerId::M27C_Click, 206, 128 * KB, 16, 32, 0},
    {HandlerId::M27C_Click, 207, 256 * KB, 16, 32, 0},
    {HandlerId::M27C_Click, 208, 512 * KB, 10, 32, 0},
    {HandlerId::M27C_Click, 209, 1024 * KB, 21, 32, 0},
    {HandlerId::M27C_Click, 210, 1024 * KB, 21, 32, 0},
    {HandlerId::M27C_Click, 301, 128 * KB, 42, 8749, 0},
    {HandlerId::M27C_Click, 311, 128 * KB, 42, 8749, 0},
    {HandlerId::M27C_Click, 302, 256 * KB, 42, 8749, 0},
    {HandlerId::M27C_Click, 303, 512 * KB, 10, 8749, 0},
    {HandlerId::M27C_Click, 401, 512 * KB, 32, 8749, 0},
    {HandlerId::M27C_Click, 402, 1024 * KB, 32, 8749, 0},
    {HandlerId::M27C_Click, 403, 2048 * KB, 32, 8749, 0},
    {HandlerId::M27C_Click, 404, 4096 * KB, 33, 8749, 0},
    {HandlerId::M27C_Click, 501, 32 * KB, 3, 28, 33},
    {HandlerId::M27C_Click, 701, 512 * KB, 10, 32, 33},
    {HandlerId::M27C_Click, 707, 512 * KB, 10, 32, 33},
    // 27xxx
    {HandlerId::M27_Click, 101, 2 * KB, 27, 2716, 13},
    {HandlerId::M27_Click, 102, 4 * KB, 9, 2732, 13},
    {HandlerId::M27_Click, 103, 8 * KB, 1, 28, 13},
    {HandlerId::M27_Click, 104, 16 * KB, 2, 28, 13},
    {HandlerId::M27_Click, 105, 32 * KB, 3, 28, 13},
    {HandlerId::M27_Click, 106, 64 * KB, 4, 28, 13},
    {HandlerId::M27_Click, 107, 128 * KB, 7, 32, 13},
    {HandlerId::M27_Click, 108, 256 * KB, 7, 32, 13},
    {HandlerId::M27_Click, 109, 512 * KB, 10, 32, 13},
    // 28Cxxx
    {HandlerId::M28C_Click, 1, 8 * KB, 5, 28, 5},
    {HandlerId::M28C_Click, 2, 16 * KB, 5, 28, 5},
    {HandlerId::M28C_Click, 3, 32 * KB, 25, 28, 5},
    {HandlerId::M28C_Click, 4, 64 * KB, 7, 32, 5},
    {HandlerId::M28C_Click, 5, 128 * KB, 7, 32, 5},
    {HandlerId::M28C_Click, 6, 256 * KB, 7, 32, 5},
    {HandlerId::M28C_Click, 7, 512 * KB, 19, 32, 5},
    {HandlerId::M28C_Click, 8, 2 * KB, 5, 28, 5},
    {HandlerId::M28C_Click, 9, 2 * KB, 26, 2816, 5},
    {HandlerId::M28C_Click, 10, 2 * KB, 26, 2816, 5},
    {HandlerId::M28C_Click, 11, 8 * KB, 5, 28, 5},
    {HandlerId::M28C_Click, 12, 512, 26, 2816, 5},
    {HandlerId::M28C_Click, 13, 1 * KB, 26, 2816, 5},
    {HandlerId::M28C_Click, 114, 8 * KB, 5, 28, 5},
    // AT28C page write
    {HandlerId::AT28Cxxx_Click, 101, 8 * KB, 5, 28, 7},
    {HandlerId::AT28Cxxx_Click, 102, 32 * KB, 25, 28, 7},
    {HandlerId::AT28Cxxx_Click, 103, 64 * KB, 7, 32, 7},
    {HandlerId::AT28Cxxx_Click, 104, 128 * KB, 7, 32, 7},
    {HandlerId::AT28Cxxx_Click, 105, 256 * KB, 7, 32, 7},
    {HandlerId::AT28Cxxx_Click, 106, 512 * KB, 19, 32, 7},
    // AT29C / W29EE
    {HandlerId::AT29C_Click, 102, 32 * KB, 29, 29256, 9},
    {HandlerId::AT29C_Click, 301, 32 * KB, 29, 29256, 9},
    {HandlerId::AT29C_Click, 103, 32 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 104, 64 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 302, 64 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 105, 128 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 303, 128 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 106, 256 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 304, 256 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 107, 512 * KB, 19, 32, 9},
    {HandlerId::AT29C_Click, 305, 512 * KB, 19, 32, 9},
    {HandlerId::AT29C_Click, 108, 512 * KB, 19, 32, 9},
    {HandlerId::AT29C_Click, 306, 512 * KB, 19, 32, 9},
    {HandlerId::AT29C_Click, 109, 256 * KB, 7, 32, 9},
    {HandlerId::AT29C_Click, 201, 64 * KB, 7, 32, 21},
    {HandlerId::AT29C_Click, 202, 128 * KB, 7, 32, 21},
    {HandlerId::AT29C_Click, 203, 256 * KB, 7, 32, 21},
    {HandlerId::AT29C_Click, 204, 512 * KB, 19, 32, 21},
    // electrically erasable EPROMs
    {HandlerId::M27E_Click, 1, 32 * KB, 3, 28, 23},
    {HandlerId::M27E_Click, 2, 64 * KB, 4, 28, 23},
    {HandlerId::M27E_Click, 3, 128 * KB, 7, 32, 23},
    {HandlerId::M27E_Click, 4, 256 * KB, 7, 32, 23},
    {HandlerId::M27E_Click, 5, 512 * KB, 10, 32, 23},
    {HandlerId::MX26C10001Click, 101, 128 * KB, 7, 32, 30},
    {HandlerId::MX26C10001Click, 102, 256 * KB, 7, 32, 30},
    {HandlerId::MX26C10001Click, 103, 512 * KB, 10, 32, 30},
    {HandlerId::SST37VF_Click, 101, 64 * KB, 37, 32, 48},
    {HandlerId::SST37VF_Click, 102, 128 * KB, 37, 32, 48},
    {HandlerId::SST37VF_Click, 103, 256 * KB, 37, 32, 48},
    {HandlerId::SST37VF_Click, 104, 512 * KB, 38, 32, 48},
    // static RAM
    {HandlerId::SRAM_Click, 1, 2 * KB, 26, 2816, 20},
    {HandlerId::SRAM_Click, 2, 8 * KB, 25, 28, 20},
    {HandlerId::SRAM_Click, 3, 32 * KB, 25, 28, 20},
    {HandlerId::SRAM_Click, 4, 64 * KB, 24, 32, 20},
    {HandlerId::SRAM_Click, 5, 128 * KB, 24, 32, 20},
    // NVRAM and timekeepers
    {HandlerId::DS12XX_Click, 1, 2 * KB, 26, 2816, 19},
    {HandlerId::DS12XX_Click, 2, 8 * KB, 25, 28, 19},
    {HandlerId::DS12XX_Click, 3, 32 * KB, 25, 28, 19},
    {HandlerId::DS12XX_Click, 4, 128 * KB, 24, 32, 19},
    {HandlerId::DS12XX_Click, 5, 256 * KB, 24, 32, 19},
    {HandlerId::DS12XX_Click, 201, 2040, 26, 2816, 19},
    {HandlerId::DS12XX_Click, 202, 8184, 25, 28, 19},
    {HandlerId::DS12XX_Click, 203, 32760, 25, 28, 19},
    {HandlerId::DS12XX_Click, 204, 131064, 24, 32, 19},
    {HandlerId::DS12XX_Click, 205, 524280, 24, 32, 19},
};
// clang-format on

TEST_F(ParallelSelect, EveryDeviceRowGivesItsSizePatternPictureAndFamily) {
  for (const Expected& row : kRows) {
    SCOPED_TRACE(std::string(app::HandlerName(row.handler)) + " " + std::to_string(row.tag));
    Select(row.handler, row.tag);
    EXPECT_EQ(p.image.device_size, row.size);
    EXPECT_EQ(p.image.full_device_size, row.size);
    EXPECT_EQ(p.dev.switch_pattern, row.pattern);
    EXPECT_EQ(p.dev.socket_picture, row.picture);
    EXPECT_EQ(p.dev.family, row.family);
    EXPECT_EQ(p.dev.device_code, row.tag);
    EXPECT_EQ(p.controls.Text("dipPattern"), std::string(app::SwitchPattern(row.pattern)));
  }
}

TEST_F(ParallelSelect, Eprom2716InTheTwentyFourPinPosition) {
  Select(HandlerId::M27C_Click, 215, "27C16  (RevK)");
  EXPECT_EQ(p.image.device_size, 2048u);
  EXPECT_EQ(p.dev.address_bits, 10);
  EXPECT_EQ(p.dev.top_address_mask, 0x400u);
  EXPECT_EQ(p.dev.switch_pattern, 27);
  EXPECT_EQ(p.dev.socket_picture, 2716);
  EXPECT_EQ(p.dev.family, 0);
  EXPECT_EQ(p.controls.Text("edDevice"), "27C16  (RevK)");
  EXPECT_EQ(p.dev.twp, 25000);  // the 2716's 50 ms algorithm: 2 x 25000 ticks
  EXPECT_EQ(p.dev.twc, 20);
  EXPECT_EQ(p.dev.add_step, 50);
  // UV EPROMs cannot be erased or identified electrically.
  EXPECT_FALSE(p.controls.Enabled("mnuErase"));
  EXPECT_FALSE(p.controls.Enabled("sbGetID"));
}

TEST_F(ParallelSelect, EpromTimingsAndFlagsPerRow) {
  Select(HandlerId::M27C_Click, 210);  // AT27C080: shorter first pulse
  EXPECT_EQ(p.dev.twp, 55);
  Select(HandlerId::M27C_Click, 206);
  EXPECT_TRUE(p.dev.separate_vpp);
  EXPECT_TRUE(p.dev.read_level);
  Select(HandlerId::M27C_Click, 701);
  EXPECT_EQ(p.dev.twp, 130);
  EXPECT_TRUE(p.dev.separate_vpp);
  Select(HandlerId::M27_Click, 101);  // 2716 NMOS: a 50 ms pulse
  EXPECT_EQ(p.dev.twp, 25000);
  EXPECT_EQ(p.dev.twc, 50);
  EXPECT_EQ(p.dev.add_step, 200);
  Select(HandlerId::M27E_Click, 3);
  EXPECT_EQ(p.dev.twp, 60);
  EXPECT_EQ(p.dev.twc, 15);
  EXPECT_EQ(p.dev.add_step, 100);
  EXPECT_TRUE(p.dev.separate_vpp && p.dev.read_level);
}

TEST_F(ParallelSelect, AdapterCaptionOnlyForSixteenBitParts) {
  Select(HandlerId::M27C_Click, 301);
  EXPECT_EQ(p.controls.Text("lbAdapter"), "EPROM 16bit (DIP40)");
  Select(HandlerId::M27C_Click, 404);
  EXPECT_EQ(p.controls.Text("lbAdapter"), "EPROM 16bit (DIP42)");
  // The M87C256 is a 28-pin part in the ZIF socket: no adapter to name.
  Select(HandlerId::M27C_Click, 501, "M87C256");
  EXPECT_EQ(p.dev.family, 33);
  EXPECT_EQ(p.image.device_size, 32 * KB);
  EXPECT_EQ(p.dev.switch_pattern, 3);
  EXPECT_EQ(p.controls.Text("lbAdapter"), "");
  Select(HandlerId::M27C_Click, 302);
  Select(HandlerId::M27C_Click, 204);
  EXPECT_EQ(p.controls.Text("lbAdapter"), "");
}

TEST_F(ParallelSelect, ScrambledThirtyTwoKilobyteParts) {
  for (auto [handler, tag] :
       {std::pair{HandlerId::M28C_Click, 3}, std::pair{HandlerId::AT28Cxxx_Click, 102},
        std::pair{HandlerId::DS12XX_Click, 203}}) {
    Select(handler, tag);
    EXPECT_TRUE(p.dev.scramble);
    EXPECT_TRUE(p.dev.fixed_address_bits);
    EXPECT_EQ(p.dev.address_bits, 15);
    EXPECT_EQ(p.dev.top_address_mask, 0x8000u);
  }
  // 32,760 bytes would otherwise give 13 address bits.
  EXPECT_EQ(p.image.device_size, 32760u);
  // The AT29C256 is 32 KB too, but its sector writes go unscrambled.
  Select(HandlerId::AT29C_Click, 102);
  EXPECT_FALSE(p.dev.scramble);
  EXPECT_FALSE(p.dev.fixed_address_bits);
}

TEST_F(ParallelSelect, EepromTimingsAndPages) {
  Select(HandlerId::M28C_Click, 12);  // X2804: slow byte write
  EXPECT_EQ(p.dev.twp, 100);
  EXPECT_EQ(p.dev.twc, 10000);
  EXPECT_TRUE(p.dev.read_level);
  Select(HandlerId::M28C_Click, 114);
  EXPECT_EQ(p.dev.twc, 8000);
  Select(HandlerId::AT28Cxxx_Click, 105);
  EXPECT_EQ(p.dev.page_size, 256u);
  EXPECT_EQ(p.dev.twp, 2);
  EXPECT_EQ(p.dev.twc, 10000);
  EXPECT_TRUE(p.controls.Visible("cbAT28CxxDis"));
  EXPECT_EQ(p.controls.Index("cbSsize"), 2);
  Select(HandlerId::AT29C_Click, 201);
  EXPECT_EQ(p.dev.family, 21);
  EXPECT_EQ(p.dev.page_size, 128u);
  EXPECT_EQ(p.dev.twc, 17500);
  EXPECT_FALSE(p.controls.Visible("cbAT28CxxDis"));
  EXPECT_TRUE(p.controls.Visible("p29CxxxSetting"));
}

// The page-size key takes each size the combo box lists, the smallest
// and largest included, and nothing between them.
TEST_F(ParallelSelect, PageSizeKeyTakesEveryListedSize) {
  Select(HandlerId::AT29C_Click, 201);
  ASSERT_EQ(p.dev.page_size, 128u);
  const auto set = [&](const std::string& text) {
    app::OptionSetting setting;
    const std::string error = app::ParseOptionSetting(app::Families().options(), text, setting);
    return error.empty() ? app::ApplyOptionSetting(p, setting) : error;
  };
  EXPECT_EQ(set("page-size=64"), "");
  EXPECT_EQ(p.dev.page_size, 64u);
  EXPECT_EQ(p.controls.Index("cbSsize"), 0);
  EXPECT_EQ(set("page-size=2048"), "");
  EXPECT_EQ(p.dev.page_size, 2048u);
  EXPECT_EQ(p.controls.Index("cbSsize"), 5);
  EXPECT_NE(set("page-size=100"), "");
  EXPECT_NE(set("page-size=4096"), "");
  EXPECT_EQ(p.dev.page_size, 2048u);
}

TEST_F(ParallelSelect, SectorWritePartsIgnoreTheOffset) {
  p.image.buffer_offset = 0x100;
  Select(HandlerId::AT29C_Click, 106);
  EXPECT_EQ(p.image.buffer_offset, 0u);
  EXPECT_EQ(p.controls.Text("edOffset"), "0");
  EXPECT_FALSE(p.controls.Enabled("edOffset"));
  EXPECT_FALSE(p.controls.Enabled("lbOffset"));
  Select(HandlerId::M27C_Click, 204);
  EXPECT_TRUE(p.controls.Enabled("edOffset"));
}

TEST_F(ParallelSelect, AT29C256ShowsItsJumperNoteEachTimeItIsChosen) {
  Select(HandlerId::AT29C_Click, 301);
  Select(HandlerId::AT29C_Click, 104);
  Select(HandlerId::AT29C_Click, 102);
  const auto boxes = host.Informations();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "\n RevK/A/B setting jumper\n\n Tavrin PCB short ZIF32  Pin3 <-> Pin31\n");
}

TEST_F(ParallelSelect, JumperRemovalReminderShowsOnceBeforeTheNextSelection) {
  p.dev.jumper_warning = true;  // as left by a 28F001BX selection
  Select(HandlerId::M27C_Click, 204);
  Select(HandlerId::M28C_Click, 3);
  const auto boxes = host.Informations();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("Last select Device 28F001BX-x", 0), 0u);
}

TEST_F(ParallelSelect, RamAndNvramFixTheirAddressBits) {
  Select(HandlerId::SRAM_Click, 2, "6264      8KB");
  EXPECT_TRUE(p.dev.pin28);  // second chip select held high
  EXPECT_EQ(p.dev.address_bits, 13);
  EXPECT_EQ(p.dev.top_address_mask, 0x2000u);
  EXPECT_EQ(p.image.data_end, 8 * KB);  // the test needs no file
  EXPECT_FALSE(p.controls.Enabled("edOffset"));
  Select(HandlerId::SRAM_Click, 5);
  EXPECT_TRUE(p.dev.pin30 && p.dev.scramble);
  EXPECT_EQ(p.dev.address_bits, 18);
  EXPECT_EQ(p.dev.twp, 3);
  EXPECT_EQ(p.dev.twc, 5);
  // 256 KB would give 17 bits; the NVRAM row says 18.
  Select(HandlerId::DS12XX_Click, 5);
  EXPECT_EQ(p.dev.address_bits, 18);
  EXPECT_FALSE(p.dev.pin30);
  EXPECT_TRUE(p.dev.read_level);
}

TEST_F(ParallelSelect, EachSelectionStartsFromTheDefaults) {
  Select(HandlerId::SRAM_Click, 5);  // scramble, pin30, fixed bits, read level
  p.controls.Check("cbSkip_0xFF");
  p.dev.pin28 = true;
  p.dev.pic = true;
  p.dev.unlock[0] = 0x555;
  Select(HandlerId::M27_Click, 106);
  EXPECT_FALSE(p.dev.scramble);
  EXPECT_FALSE(p.dev.pin28);
  EXPECT_FALSE(p.dev.pin30);
  EXPECT_FALSE(p.dev.pic);
  EXPECT_FALSE(p.dev.read_level);
  EXPECT_FALSE(p.dev.separate_vpp);
  EXPECT_FALSE(p.dev.fixed_address_bits);
  EXPECT_FALSE(p.controls.Checked("cbSkip_0xFF"));
  EXPECT_EQ(p.dev.unlock, app::kDefaultUnlock);
  EXPECT_EQ(p.dev.address_bits, 15);      // 64 KB
  EXPECT_EQ(p.image.data_end, 128 * KB);  // only a load or a read moves it
}

TEST_F(ParallelSelect, UnlistedCodeKeepsTheSizeButTakesTheFamily) {
  Select(HandlerId::M27C_Click, 205);
  Select(HandlerId::M28C_Click, 77);
  EXPECT_EQ(p.image.device_size, 64 * KB);
  EXPECT_EQ(p.dev.family, 5);
  EXPECT_EQ(p.dev.switch_pattern, 7);
  EXPECT_EQ(p.dev.socket_picture, 32);
}

TEST_F(ParallelSelect, NoDeviceItemKeepsThePreviousDeviceWhole) {
  Select(HandlerId::M27C_Click, 208, "27C040/4000/4001");
  p.image.buffer_offset = 0x10;
  const app::Descriptor before = p.dev;
  Select(HandlerId::M27C_Click, 0, "M27C4001");
  EXPECT_EQ(p.controls.Text("edDevice"), "M27C4001");
  EXPECT_EQ(p.dev.device_code, before.device_code);
  EXPECT_EQ(p.dev.family, before.family);
  EXPECT_EQ(p.dev.twp, before.twp);
  EXPECT_EQ(p.dev.add_step, before.add_step);
  EXPECT_EQ(p.dev.separate_vpp, before.separate_vpp);
  EXPECT_EQ(p.dev.switch_pattern, before.switch_pattern);
  EXPECT_EQ(p.image.device_size, 512 * KB);
  EXPECT_EQ(p.image.buffer_offset, 0x10u);
  // and a start-up re-selection of what was saved finds the same part
  app::ReselectByCode(p, p.dev.family, p.dev.device_code, "M27C4001");
  EXPECT_EQ(p.image.device_size, 512 * KB);
  EXPECT_EQ(p.dev.switch_pattern, 10);
}

}  // namespace
