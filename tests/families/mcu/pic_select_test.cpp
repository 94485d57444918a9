// The device rows the PIC selection sets, column by column, as the device
// table gives them.
#include <gtest/gtest.h>

#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

struct Columns {
  int tag;
  int family;
  uint32_t words, eeprom;
  int algorithm;
  uint16_t blank_checksum, config_mask;
  int twc_us;
  int reserved;
};

// clang-format off
const Columns kColumns[] = {
    // 12F683: 4 latched words, tWC of the 4xx group.
    {423, 17, 2048, 256, 16, 0x07FF, 0x0FFF, 4000, 0},
    // 12C672: the word count stops before the calibration word.
    {232, 16, 2047, 0, 12, 0xF800, 0x3FFF, 200, 0},
};
// clang-format on

TEST(PicSelect, RowsCarryTheDeviceTable) {
  for (const Columns& c : kColumns) {
    SCOPED_TRACE(c.tag);
    PicSession s;
    s.Select(c.tag);
    const app::Descriptor::Pic16& pic = s.p.dev.pic16;
    EXPECT_EQ(s.p.dev.family, c.family);
    EXPECT_EQ(pic.program_words, c.words);
    EXPECT_EQ(s.p.image.device_size, c.words);
    EXPECT_EQ(pic.eeprom_size, c.eeprom);
    EXPECT_EQ(pic.algorithm, c.algorithm);
    EXPECT_EQ(pic.blank_checksum, c.blank_checksum);
    EXPECT_EQ(pic.config_mask, c.config_mask);
    EXPECT_EQ(s.p.dev.twc, c.twc_us);
    EXPECT_EQ(pic.reserved_words, c.reserved);
  }
}

}  // namespace
}  // namespace daraz_test
