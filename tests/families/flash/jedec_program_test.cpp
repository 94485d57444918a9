// One round trip per JEDEC program routine: erase, program, the part's
// cells at chip addresses, read back, the board at rest, and only the
// violations the case names.
#include <gtest/gtest.h>

#include "families/flash/flash_fixture.h"
#include "sim/jedec_flash.h"
#include "sim/sst28_flash.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
using daraz_test::kFastFormShift;

struct RoundTrip {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* box;  // a check box the user ticks, or nullptr
  std::vector<std::string> violations;
};

class JedecRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(JedecRoundTrip, ErasesProgramsAndReadsBack) {
  const RoundTrip& c = GetParam();
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  if (c.box != nullptr) s.p.controls.Check(c.box);
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  const std::vector<uint8_t> erased = s.Cells();
  EXPECT_EQ(std::count(erased.begin(), erased.end(), 0xFF), static_cast<long>(erased.size()))
      << s.Last();

  const std::vector<uint8_t> data = s.LoadRandom(0x1800);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
  EXPECT_EQ(cells[data.size()], 0xFF) << "the pass stops one byte past the data";
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), c.violations);

  s.ReadBack(0x2000);
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(s.p.image[i], data[i]) << "read " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(
    Routines, JedecRoundTrip,
    ::testing::Values(
        RoundTrip{"P1_29F010", HandlerId::M29F_Click, 105, "29F010", nullptr, {}},
        RoundTrip{"P1_29F010_fast", HandlerId::M29F_Click, 105, "29F010", "cbFastPro",
                  kFastFormShift},
        RoundTrip{"P1_39SF040", HandlerId::M29F_Click, 204, "39SF/49F040", nullptr, {}},
        RoundTrip{"P1_MX29F004T", HandlerId::M29F_Click, 315, "MX29F004 - T", nullptr, {}},
        RoundTrip{"P1_A29040A_short_set", HandlerId::M29F_Click, 403, "A29040A", nullptr, {}},
        RoundTrip{"P2_29F002", HandlerId::AT49F00x_Click, 103, "29F002", nullptr, {}},
        RoundTrip{
            "P3_M29F040B", HandlerId::AT49F00x_Click, 413, "M29F040B", "cbFujitsu_fastmode", {}},
        RoundTrip{"P4_Am29F400", HandlerId::Am29Fx00_Click, 103, "Am29F400", nullptr, {}},
        RoundTrip{"P4_Am29F400_fast", HandlerId::Am29Fx00_Click, 103, "Am29F400", "cbFastPro",
                  kFastFormShift},
        RoundTrip{
            "P5_29LV800", HandlerId::Am29Fx00_Click, 303, "29LV800", "cbFujitsu_fastmode", {}},
        RoundTrip{"P4_EN29F800_short_set", HandlerId::Am29Fx00_Click, 604, "EN29F800", nullptr, {}},
        RoundTrip{
            "P6_AT49F8011", HandlerId::Am29Fx00_Click, 505, "AT49F8011", "cbFujitsu_fastmode", {}},
        RoundTrip{"P7_MX29F1610", HandlerId::Am29Fx00_Click, 201, "MX29F1610", nullptr,
                  kFastFormShift},
        RoundTrip{"P8_SST28xF040A", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", nullptr, {}},
        RoundTrip{"P8_LE28F4001", HandlerId::SST28xF040A1Click, 10, "LE28F4001", nullptr, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
