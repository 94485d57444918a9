// Selection of the 8-bit Intel command-set flash chips.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/programmer.h"
#include "app/selection.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::KB;
using daraz_test::MB;

class IntelSelect : public daraz_test::SelectFixture {};

TEST_F(IntelSelect, M28fRowsAndTheEmbeddedParts) {
  struct Case {
    int tag;
    uint32_t size;
    int pattern, picture;
    bool embedded;
  };
  // Every row; 121 follows 107 so the embedded flag must be set, then cleared.
  const Case cases[] = {
      {101, 8 * KB, 5, 28, false},    {102, 16 * KB, 5, 28, false},  {103, 32 * KB, 7, 32, false},
      {104, 64 * KB, 7, 32, false},   {105, 128 * KB, 7, 32, false}, {106, 256 * KB, 7, 32, false},
      {107, 512 * KB, 12, 32, false}, {121, 32 * KB, 7, 32, true},   {122, 64 * KB, 7, 32, true},
      {123, 128 * KB, 7, 32, true},   {124, 256 * KB, 7, 32, true},  {105, 128 * KB, 7, 32, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::M28F_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.switch_pattern, c.pattern);
    EXPECT_EQ(p.dev.socket_picture, c.picture);
    EXPECT_EQ(p.dev.family, 3);
    EXPECT_EQ(p.dev.twp, 20);
    EXPECT_EQ(p.dev.embedded, c.embedded);
    // The embedded erase has no fill pass that "Fast Erase" could skip.
    EXPECT_EQ(p.controls.Enabled("cb28FastErase"), !c.embedded);
  }
}

TEST_F(IntelSelect, I28fRowsGiveSizeFamilyBlockLayoutAndAdapter) {
  struct Case {
    int tag;
    uint32_t size;
    int family, layout;
    const char* adapter;
  };
  constexpr const char* kTsop = "TSOP48, TSOP40, PSOP44 ";
  constexpr const char* kTsopA = "TSOP48,TSOP40A,PSOP44 ";
  constexpr const char* kJ3 = "  TSOP56";
  // Every row. A -B (bottom boot) part takes the layout with its small blocks
  // first, a -T part the one with them last; the model erases on the part's
  // real geometry, so a swapped pair would still pass the round trips.
  const Case cases[] = {
      {101, 256 * KB, 26, 7, kTsop},   {102, 256 * KB, 26, 8, kTsop},
      {103, 512 * KB, 26, 9, kTsop},   {104, 512 * KB, 26, 10, kTsop},
      {105, 1 * MB, 26, 11, kTsop},    {106, 1 * MB, 26, 12, kTsop},
      {107, 2 * MB, 26, 13, kTsop},    {108, 2 * MB, 26, 14, kTsop},
      {121, 512 * KB, 26, 14, kTsop},  {122, 512 * KB, 26, 13, kTsop},
      {123, 1 * MB, 26, 16, kTsop},    {124, 1 * MB, 26, 15, kTsop},
      {125, 2 * MB, 26, 18, kTsop},    {126, 2 * MB, 26, 17, kTsop},
      {141, 512 * KB, 26, 14, kTsop},  {142, 512 * KB, 26, 13, kTsop},
      {143, 1 * MB, 26, 16, kTsop},    {144, 1 * MB, 26, 15, kTsop},
      {161, 512 * KB, 26, 2, kTsop},   {162, 1 * MB, 26, 3, kTsop},
      {163, 2 * MB, 26, 4, kTsop},     {164, 256 * KB, 26, 29, "i28F002BC DIP40 "},
      {201, 128 * KB, 26, 0, kTsopA},  {202, 128 * KB, 26, 1, kTsopA},
      {203, 256 * KB, 26, 8, kTsopA},  {204, 256 * KB, 26, 7, kTsopA},
      {205, 512 * KB, 26, 10, kTsopA}, {206, 512 * KB, 26, 9, kTsopA},
      {301, 4 * MB, 55, 37, kJ3},      {302, 8 * MB, 55, 38, kJ3},
      {303, 16 * MB, 55, 39, kJ3},     {161, 512 * KB, 26, 2, kTsop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::i28Fx00_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_TRUE(p.dev.layout_is_block);
    EXPECT_EQ(p.controls.Text("lbAdapter"), c.adapter);
    // The 28F001BX sits on its own socket picture with the wire-link pattern.
    const bool bx001 = c.tag == 201 || c.tag == 202;
    EXPECT_EQ(p.dev.switch_pattern, bx001 ? 30 : 20);
    EXPECT_EQ(p.dev.socket_picture, bx001 ? 28001 : 8749);
    EXPECT_TRUE(p.controls.Checked("cbSkip_0xFF"));
    // Only the J3 parts have the buffered write; the box goes with them.
    EXPECT_EQ(p.controls.Visible("cb28F320J3buffer"), c.family == 55);
    if (c.family == 55) {
      EXPECT_TRUE(p.controls.Checked("cb28F320J3buffer"));
    }
  }
}

TEST_F(IntelSelect, The28F001BxJumperIsRemindedOnceAtTheNextSelection) {
  Select(HandlerId::i28Fx00_Click, 202);
  EXPECT_EQ(p.dev.socket_picture, 28001);
  EXPECT_EQ(p.dev.switch_pattern, 30);
  ASSERT_EQ(host.Informations().size(), 1u);
  EXPECT_EQ(host.Informations()[0].rfind("Device 28F001BX-B \n\n RevKA (set Jumper)", 0), 0u);
  host.Clear();
  Select(HandlerId::M29F_Click, 105);
  EXPECT_EQ(host.Informations(),
            std::vector<std::string>{"Last select Device 28F001BX-x \n\n RevKA (Remove Jumper "
                                     "PIN [1] <--WIRE--> PIN [30]) "});
  host.Clear();
  Select(HandlerId::M29F_Click, 106);
  EXPECT_TRUE(host.Informations().empty());
}

TEST_F(IntelSelect, WordModeRowsAndBlockUnlock) {
  const struct {
    HandlerId handler;
    int tag;
    uint32_t size;
    int family, layout;
    bool block_unlock;
  } cases[] = {
      {HandlerId::N28F4001Click, 102, 512 * KB, 45, 20, false},
      {HandlerId::N28F4001Click, 206, 4 * MB, 45, 26, true},
      {HandlerId::N28F4001Click, 302, 8 * MB, 45, 38, false},
      {HandlerId::i28F800C3B1Click, 203, 2 * MB, 46, 23, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(c.handler, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.layout, c.layout);
    EXPECT_TRUE(p.dev.layout_is_block);
    EXPECT_EQ(p.dev.block_unlock, c.block_unlock);
    EXPECT_EQ(p.dev.twc, 20);
  }
  EXPECT_EQ(p.dev.address_bits, 19);  // 2 MB of words
}

TEST_F(IntelSelect, FirmwareHubRowsAndCommonSettings) {
  const struct {
    HandlerId handler;
    int tag;
    uint32_t size;
    int family;
    bool three_mbit;
    int twp, twc;
  } cases[] = {
      {HandlerId::N82802AB_Click, 103, 256 * KB, 34, false, 5, 40},
      {HandlerId::N82802AB_Click, 114, 2 * MB, 34, false, 5, 40},
      {HandlerId::SST49LF002_Click, 101, 256 * KB, 35, false, 6, 40},
      {HandlerId::SST49LF002_Click, 102, 384 * KB, 35, true, 6, 40},
      {HandlerId::SST49LF002_Click, 104, 1 * MB, 35, false, 6, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    p.controls["tbRCtime"].index = 400;  // moved by the user before
    p.controls.Check("cbQuadruple");
    p.controls.Check("cbProtect");  // left checked by a byte-wide selection
    p.dev.layout = 7;                // left by a protect entry
    Select(c.handler, c.tag);
    EXPECT_EQ(p.dev.layout, -1) << "a hub has no sector layout of the protect tools";
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.three_mbit, c.three_mbit);
    EXPECT_EQ(p.dev.twp, c.twp);
    EXPECT_EQ(p.dev.twc, c.twc);
    EXPECT_EQ(p.dev.switch_pattern, 35);
    EXPECT_EQ(p.controls.Text("lbAdapter"), " Firmware Hub/LPC ");
    EXPECT_EQ(p.dev.socket_picture, 82802);
    EXPECT_EQ(p.dev.rc_time, 50);
    EXPECT_EQ(p.controls.Text("edRCtime"), " 50.0 uS");
    EXPECT_TRUE(p.controls.Visible("pFirwareHubSetting"));
    if (c.family == 34) {
      EXPECT_FALSE(p.controls.Checked("cbQuadruple"));
    } else {
      EXPECT_FALSE(p.controls.Enabled("cbProtect"));
      EXPECT_FALSE(p.controls.Checked("cbProtect"));
    }
  }
}

TEST_F(IntelSelect, Mx28fRowsGiveSizeAndTheirOwnSectorLayout) {
  const std::tuple<int, uint32_t, int> rows[] = {
      {101, 128 * KB, 31}, {102, 256 * KB, 32}, {103, 256 * KB, 33}};
  for (const auto& [tag, size, layout] : rows) {
    SCOPED_TRACE(tag);
    Select(HandlerId::MX28F20001Click, tag);
    EXPECT_EQ(p.image.device_size, size);
    EXPECT_EQ(p.dev.layout, layout);
    EXPECT_EQ(p.dev.family, 31);
    EXPECT_EQ(p.dev.twp, 10);
    EXPECT_EQ(p.dev.twc, 30);
    EXPECT_EQ(p.dev.switch_pattern, 7);
  }
}

}  // namespace
