// The flash routines on a port whose accesses take no time: nothing but the
// routines' own waits stands between two bus steps, so each of them must
// carry the datasheet limit it serves. Every erase, program and
// identification keeps its part's limits (P7's fast command form aside,
// whose mid-shift addresses the board always reports).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "families/flash/flash_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

struct FastCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* box;  // a check box the user ticks, or nullptr
  std::vector<std::string> violations = {};
};

const FastCase kFastCases[] = {
    {"P1 E1 G1 29F010", HandlerId::M29F_Click, 105, "29F010", nullptr},
    {"P1 E1 G2 39SF040", HandlerId::M29F_Click, 204, "39SF/49F040", nullptr},
    {"P2 E1 G2 29F002", HandlerId::AT49F00x_Click, 103, "29F002", nullptr},
    {"P3 M29F040B", HandlerId::AT49F00x_Click, 413, "M29F040B", "cbFujitsu_fastmode"},
    {"P4 E2 G3 Am29F400", HandlerId::Am29Fx00_Click, 103, "Am29F400", nullptr},
    {"P5 29LV800", HandlerId::Am29Fx00_Click, 303, "29LV800", "cbFujitsu_fastmode"},
    {"P6 AT49F8011", HandlerId::Am29Fx00_Click, 505, "AT49F8011", "cbFujitsu_fastmode"},
    {"P7 MX29F1610", HandlerId::Am29Fx00_Click, 201, "MX29F1610", nullptr,
     daraz_test::kFastFormShift},
    {"P8 E3 G4 SST28SF040A", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", nullptr},
    {"P8 E4 LE28F4001", HandlerId::SST28xF040A1Click, 10, "LE28F4001", nullptr},
    {"I1 I3 I9 28F010", HandlerId::M28F_Click, 105, "28F010", nullptr},
    {"I2 I4 Am28F010A", HandlerId::M28F_Click, 123, "Am28F010A", nullptr},
    {"I11 I12 MX28F1000P", HandlerId::MX28F20001Click, 101, "MX28F1000P", nullptr},
    {"I5 I6 I10 28F400B5", HandlerId::i28Fx00_Click, 103, "28F400 B5- T", nullptr},
    {"I8 I6 28F320J3", HandlerId::i28Fx00_Click, 301, "28F320J3", nullptr},
};

TEST(FlashFastPort, EveryRoutineKeepsItsPartsLimitsOnItsOwnWaits) {
  for (const FastCase& c : kFastCases) {
    SCOPED_TRACE(c.name);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    if (c.box != nullptr) s.p.controls.Check(c.box);
    s.board->SetAccessCost(0);
    s.Fill(0x00);
    s.Erase();
    const std::vector<uint8_t> erased = s.Cells();
    EXPECT_EQ(std::count(erased.begin(), erased.end(), 0xFF), static_cast<long>(erased.size()))
        << s.Last();
    const std::vector<uint8_t> data = s.LoadRandom(0x200, 3);
    s.Program();
    EXPECT_EQ(s.p.error, 0) << s.Last();
    const std::vector<uint8_t> cells = s.Cells();
    for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
    s.GetId();
    EXPECT_EQ(s.Violations(), c.violations);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
