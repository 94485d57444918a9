// What every flash selection shares: the sector layouts, the reset before a
// selection, the Tag-0 item, and re-selection of a stored device at start-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/flash/flash_devices.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::KB;
using daraz_test::MB;
using families::flash::LayoutTable;
using families::flash::SectorCount;
using families::flash::SectorStarts;

TEST(FlashLayouts, SectorsFollowEachOtherAndEndAtTheChipSize) {
  const std::vector<uint32_t> top_boot{0x00000, 0x10000, 0x20000, 0x30000, 0x40000, 0x50000,
                                       0x60000, 0x70000, 0x78000, 0x7A000, 0x7C000, 0x80000};
  EXPECT_EQ(SectorStarts(LayoutTable::kSector, 4), top_boot);
  EXPECT_EQ(SectorCount(LayoutTable::kSector, 4), 11);
  // Layout index -> the size of the chips that use it.
  const std::pair<int, uint32_t> blocks[] = {
      {0, 128 * KB}, {21, 1 * MB}, {29, 256 * KB}, {36, 2 * MB}, {39, 16 * MB}};
  for (const auto& [index, size] : blocks) {
    EXPECT_EQ(SectorStarts(LayoutTable::kBlock, index).back(), size) << index;
  }
  EXPECT_EQ(SectorStarts(LayoutTable::kSector, 20).back(), 8 * MB);
}

TEST(FlashLayouts, WordDevicesHalveEverySizeAndUnknownIndexesAreEmpty) {
  const std::vector<uint32_t> words = SectorStarts(LayoutTable::kBlock, 19, true);
  ASSERT_EQ(words.size(), 16u);  // 7 x 64K + 8 x 8K, and the end
  EXPECT_EQ(words[1], 0x8000u);
  EXPECT_EQ(words.back(), 512 * KB / 2);
  for (int index : {-1, 41, 1000}) {
    EXPECT_TRUE(SectorStarts(LayoutTable::kSector, index).empty()) << index;
    EXPECT_EQ(SectorCount(LayoutTable::kSector, index), 0) << index;
  }
  EXPECT_TRUE(SectorStarts(LayoutTable::kBlock, 40).empty());
}

class FlashSelect : public daraz_test::SelectFixture {};

TEST_F(FlashSelect, NextSelectionStartsFromTheDefaults) {
  // A word-wide chip fixes its address bits, locks the offset and hides boxes;
  // a short-unlock chip changes the working command addresses.
  Select(HandlerId::AT49F00x_Click, 601);
  Select(HandlerId::MBM29LV160Click, 105);
  ASSERT_TRUE(p.dev.fixed_address_bits);
  Select(HandlerId::M29F_Click, 105);
  EXPECT_FALSE(p.dev.fixed_address_bits);
  EXPECT_EQ(p.dev.address_bits, 16);  // 128 KB, byte-wide
  EXPECT_TRUE(p.controls.Enabled("edOffset"));
  EXPECT_TRUE(p.controls.Visible("cbProtect"));
  EXPECT_EQ(p.dev.unlock, families::flash::kStandardUnlock);
  EXPECT_FALSE(p.controls.Visible("p49F00xsetting"));
}

TEST_F(FlashSelect, TagZeroItemKeepsThePreviousFlashDevice) {
  Select(HandlerId::i28Fx00_Click, 301, "28F320 J3 ");
  Select(HandlerId::M29F_Click, 0, "M27C4001");
  EXPECT_EQ(p.dev.family, 55);
  EXPECT_EQ(p.dev.device_code, 301);
  EXPECT_EQ(p.image.device_size, 4 * MB);
  EXPECT_EQ(p.dev.layout, 37);
  EXPECT_TRUE(p.controls.Visible("cb28F320J3buffer"));
  EXPECT_EQ(p.controls.Text("edDevice"), "M27C4001");
}

TEST_F(FlashSelect, StoredFlashDevicesReselectThroughTheirHandler) {
  const struct {
    int family, tag;
    uint32_t size;
    int expected_family;
  } cases[] = {
      {4, 105, 128 * KB, 4},   {12, 202, 128 * KB, 12}, {27, 313, 256 * KB, 27},
      {3, 123, 128 * KB, 3},   {15, 604, 1 * MB, 15},   {22, 103, 256 * KB, 22},
      {24, 1, 512 * KB, 24},   {25, 10, 512 * KB, 25},  {55, 302, 8 * MB, 55},
      {31, 102, 256 * KB, 31}, {34, 113, 1 * MB, 34},   {35, 102, 384 * KB, 35},
      {41, 102, 128 * KB, 41}, {42, 203, 256 * KB, 42}, {43, 104, 512 * KB, 41},
      {49, 301, 512 * KB, 49}, {50, 302, 512 * KB, 50}, {56, 501, 128 * KB, 56},
      {45, 205, 4 * MB, 45},   {46, 202, 1 * MB, 46},   {47, 103, 1 * MB, 47},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.family);
    app::ReselectByCode(p, c.family, c.tag, "stored caption");
    EXPECT_EQ(p.dev.family, c.expected_family);
    EXPECT_EQ(p.dev.device_code, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.controls.Text("edDevice"), "stored caption");
  }
}

TEST_F(FlashSelect, NoStoredDeviceSelectsThe29F020) {
  app::ReselectByCode(p, 0, 0, "");
  EXPECT_EQ(p.dev.family, 4);
  EXPECT_EQ(p.dev.device_code, 106);
  EXPECT_EQ(p.image.device_size, 256 * KB);
  EXPECT_EQ(p.controls.Text("edDevice"), "29F020");
}

}  // namespace
