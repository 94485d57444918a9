// Every selection row of the word-mode and protection handlers, written out
// from the parts' datasheets and the layout tables. A row that names the
// wrong size, layout or flag still programs the simulated part of its own
// size in the round trips, so only a table like this sees it.
#include <gtest/gtest.h>

#include "app/programmer.h"
#include "families/flash/protect.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::KB;
using daraz_test::MB;

class WideSelectRows : public daraz_test::SelectFixture {};
class ProtectSelectRows : public daraz_test::SelectFixture {};

constexpr const char* kTsop48 = "TSOP48 16bit Mode ";
constexpr const char* kTsop40 = "TSOP40 16bit Mode ";
constexpr const char* kTsop56 = "  TSOP56";

// 29LV / 29DL / 39VF / 29F / W29C102 in word mode. The page-write W29C102
// follows a plain part and is followed by one, so a page size or family
// left over from either side shows.
TEST_F(WideSelectRows, JedecWordRowsGiveSizeAdapterAndFamily) {
  const struct {
    int tag;
    uint32_t size;
    const char* adapter;
    bool cfi_no_primary;
    int family;
  } cases[] = {
      {101, 128 * KB, kTsop48, false, 44}, {102, 256 * KB, kTsop48, false, 44},
      {103, 512 * KB, kTsop48, false, 44}, {104, 1 * MB, kTsop48, false, 44},
      {105, 2 * MB, kTsop48, false, 44},   {106, 4 * MB, kTsop48, false, 44},
      {201, 128 * KB, kTsop48, false, 44}, {202, 256 * KB, kTsop48, false, 44},
      {203, 512 * KB, kTsop48, false, 44}, {204, 1 * MB, kTsop48, false, 44},
      {205, 2 * MB, kTsop48, true, 44},    {301, 128 * KB, kTsop48, false, 44},
      {302, 256 * KB, kTsop48, false, 44}, {303, 512 * KB, kTsop48, false, 44},
      {304, 1 * MB, kTsop48, false, 44},   {305, 2 * MB, kTsop48, false, 44},
      {306, 4 * MB, kTsop48, false, 44},   {401, 128 * KB, kTsop40, false, 44},
      {402, 128 * KB, kTsop40, false, 44}, {501, 128 * KB, kTsop40, false, 56},
      {104, 1 * MB, kTsop48, false, 44},
  };
  // A protect entry before them leaves a sector layout behind.
  Select(HandlerId::HY29LV1601Click, 101);
  ASSERT_GE(p.dev.layout, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::MBM29LV160Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.layout, -1) << "no sector layout of its own";
    EXPECT_EQ(p.controls.Text("lbAdapter"), c.adapter);
    EXPECT_EQ(p.dev.cfi_no_primary, c.cfi_no_primary);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.twp, 2);
    EXPECT_EQ(p.dev.twc, 30);
    EXPECT_EQ(p.dev.socket_picture, 8749);
    // Only the sector-write part reads with its outputs off under WE#.
    EXPECT_EQ(p.dev.read_level, c.family == 56);
    if (c.family == 56) {
      EXPECT_EQ(p.dev.page_size, 256u);
    }
    // Chip addresses are word indexes: the highest address bit counts
    // words (a 2 MB part has 1 M words, A0..A19), and it stays put.
    EXPECT_EQ(uint64_t{2} << p.dev.address_bits, c.size / 2);
    EXPECT_TRUE(p.dev.fixed_address_bits);
    // The panel: the settings title, the fast-mode box, no 0x5555 box or
    // temporary unprotect, and no buffer offset.
    EXPECT_EQ(p.controls.Text("p49F00xsetting"), " 29LVx00 / 39VFx00 ");
    EXPECT_TRUE(p.controls.Visible("cbFujitsu_fastmode"));
    EXPECT_EQ(p.controls.Text("cbFujitsu_fastmode"), "Fast Mode Programming ( Fujitsu Chip)");
    EXPECT_FALSE(p.controls.Visible("cb5555"));
    EXPECT_FALSE(p.controls.Visible("cbProtect"));
    EXPECT_FALSE(p.controls.Enabled("edOffset"));
    EXPECT_FALSE(p.controls.Enabled("lbOffset"));
  }
}

// Intel B3 / C3 / J3 in word mode: the block layout indexes the block
// table (B3 and C3 share 21-26), and only the C3 blocks come out of reset
// locked. The J3 comes in a 56-pin TSOP, the others in the 48-pin one.
TEST_F(WideSelectRows, IntelWordRowsGiveSizeLayoutUnlockAndAdapter) {
  const struct {
    int tag;
    uint32_t size;
    int layout;
    bool block_unlock;
    const char* adapter;
  } cases[] = {
      {101, 512 * KB, 19, false, kTsop48}, {102, 512 * KB, 20, false, kTsop48},
      {103, 1 * MB, 21, false, kTsop48},   {104, 1 * MB, 22, false, kTsop48},
      {105, 2 * MB, 23, false, kTsop48},   {106, 2 * MB, 24, false, kTsop48},
      {107, 4 * MB, 25, false, kTsop48},   {108, 4 * MB, 26, false, kTsop48},
      {201, 1 * MB, 21, true, kTsop48},    {202, 1 * MB, 22, true, kTsop48},
      {203, 2 * MB, 23, true, kTsop48},    {204, 2 * MB, 24, true, kTsop48},
      {205, 4 * MB, 25, true, kTsop48},    {206, 4 * MB, 26, true, kTsop48},
      {301, 4 * MB, 37, false, kTsop56},   {302, 8 * MB, 38, false, kTsop56},
      {101, 512 * KB, 19, false, kTsop48},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::N28F4001Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_TRUE(p.dev.layout_is_block);
    EXPECT_EQ(p.dev.block_unlock, c.block_unlock);
    EXPECT_EQ(p.controls.Text("lbAdapter"), c.adapter);
    EXPECT_EQ(p.dev.family, 45);
    EXPECT_EQ(p.dev.twp, 3);
    EXPECT_EQ(p.dev.twc, 20);
    // Word parts start at chip address 0: no buffer offset.
    EXPECT_FALSE(p.controls.Enabled("edOffset"));
    EXPECT_FALSE(p.controls.Enabled("lbOffset"));
  }
}

// The C3 block-locking selection takes the C3 rows only.
TEST_F(WideSelectRows, C3LockingRowsGiveSizeAndLayout) {
  const struct {
    int tag;
    uint32_t size;
    int layout;
  } cases[] = {
      {201, 1 * MB, 21}, {202, 1 * MB, 22}, {203, 2 * MB, 23},
      {204, 2 * MB, 24}, {205, 4 * MB, 25}, {206, 4 * MB, 26},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::i28F800C3B1Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_TRUE(p.dev.block_unlock);
    EXPECT_EQ(p.controls.Text("lbAdapter"), kTsop48);
    EXPECT_EQ(p.dev.family, 46);
  }
}

// The 29LV parts with a protection algorithm, worked in byte mode: size by
// density, and the sector layout of the boot block's end (T: small sectors
// last, B: first).
TEST_F(ProtectSelectRows, LvRowsGiveSizeAndBootLayout) {
  const struct {
    int tag;
    uint32_t size;
    int layout;
  } cases[] = {
      {101, 512 * KB, 4}, {102, 512 * KB, 5}, {103, 1 * MB, 14},  {104, 1 * MB, 15},
      {105, 2 * MB, 16},  {106, 2 * MB, 17},  {107, 256 * KB, 2}, {108, 256 * KB, 3},
      {201, 2 * MB, 16},  {202, 2 * MB, 17},  {203, 4 * MB, 18},  {204, 4 * MB, 19},
      {205, 8 * MB, 20},  {206, 8 * MB, 21},  {102, 512 * KB, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::HY29LV1601Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_FALSE(p.dev.layout_is_block);
    EXPECT_EQ(p.controls.Text("lbAdapter"), "TSOP48 8/16bit mode");
    EXPECT_EQ(p.controls.Text(families::flash::kProtectButton), "protect sector");
    EXPECT_EQ(p.dev.family, 47);
    EXPECT_TRUE(p.dev.vcc_3v3);
  }
}

// The wizard's parts: size by density, the layout that picks sectors and
// unprotect routine, and the family; Tags without a catalogue part too.
TEST_F(ProtectSelectRows, WizardRowsGiveSizeLayoutAndFamily) {
  const struct {
    int tag;
    uint32_t size;
    int layout, family;
  } cases[] = {
      {101, 64 * KB, 9, 41},  {102, 128 * KB, 8, 41}, {103, 256 * KB, 7, 41},
      {104, 512 * KB, 6, 41}, {201, 512 * KB, 6, 42}, {202, 256 * KB, 2, 42},
      {203, 256 * KB, 3, 42}, {204, 512 * KB, 4, 42}, {206, 512 * KB, 5, 42},
      {301, 512 * KB, 7, 49}, {302, 512 * KB, 7, 50}, {102, 128 * KB, 8, 41},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::EN29F002T_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_FALSE(p.dev.layout_is_block);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.controls.Text("lbAdapter"), "");
  }
}

}  // namespace
