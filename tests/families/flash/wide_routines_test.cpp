// The 16-bit families end to end on the 16-bit adapter: erase, program,
// verify and read back per routine, the faults they must notice, the
// identifier reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "families/flash/flash_fixture.h"
#include "sim/jedec_flash.h"
#include "sim/wsm_flash.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

// The fast command form's one-clock shift as the board counts it (the part
// sees a whole address after each clock), with the latch cleared for the
// next command inside that count.
std::vector<std::string> FastFormShift() {
  std::vector<std::string> v = daraz_test::kFastFormShift;
  v.insert(v.begin() + 2, "word latch strobed while the address registers are mid-shift");
  return v;
}

bool AllErased(const std::vector<uint8_t>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0xFF; });
}

struct WideCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  const char* erased;  // the erase's last message
  bool fast = false;   // type 44's fast-mode box
  bool buffer = true;  // the J3's buffered-write box
};

class WideRoundTrip : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideRoundTrip, ErasesProgramsVerifiesAndReadsBack) {
  const WideCase& c = GetParam();
  FlashSession s;
  s.Select(c.handler, c.tag, c.caption);
  s.p.controls.Check("cbFujitsu_fastmode", c.fast);
  s.p.controls.Check("cb28F320J3buffer", c.buffer);
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.Last(), c.erased);
  EXPECT_EQ(s.p.error, 0);
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  std::vector<uint8_t> data = s.LoadRandom(0x800, 11);
  // A word with one 0xFF byte is programmed; a 0xFFFF word is left alone.
  data[0x10] = 0xFF;
  data[0x11] = 0x5A;
  data[0x20] = 0xFF;
  data[0x21] = 0xFF;
  s.Load(data);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Programmed OK");
  EXPECT_EQ(s.p.error, 0);
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.ReadBack(0x1000);
  EXPECT_EQ(s.Last(), "Chip read OK");
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(s.p.image[i], data[i]) << "byte " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  const bool jedec = c.handler == HandlerId::MBM29LV160Click;
  EXPECT_EQ(s.Violations(), jedec ? FastFormShift() : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Routines, WideRoundTrip,
    ::testing::Values(
        WideCase{"W4_W6_MBM29LV160", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T",
                 "erase completed by check DQ7"},
        WideCase{"W5_W6_MBM29LV160_fast", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T",
                 "erase completed by check DQ7", true},
        WideCase{"W4_29F400", HandlerId::MBM29LV160Click, 303, "29F400",
                 "erase completed by check DQ7"},
        WideCase{"W4_39VF800A", HandlerId::MBM29LV160Click, 204, "39LF/VF800A",
                 "erase completed by check DQ7"},
        WideCase{"W8_W9_28F400B3T", HandlerId::N28F4001Click, 101, "28F400 B3T", "erase completed"},
        WideCase{"W8_W9_28F800C3T", HandlerId::N28F4001Click, 201, "28F800 C3T", "erase completed"},
        WideCase{"W8_W9_28F320J3_buffered", HandlerId::N28F4001Click, 301, "28F320 J3 ",
                 "erase completed"},
        WideCase{"W8_W9_28F320J3_words", HandlerId::N28F4001Click, 301, "28F320 J3 ",
                 "erase completed", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
