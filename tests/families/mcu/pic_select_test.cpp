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
    // The 12-bit core.
    {101, 18, 512,  0, 0,  0xEE20, 0x001F, 200,  1},
    {102, 18, 1024, 0, 0,  0xEC20, 0x001F, 200,  1},
    {103, 18, 512,  0, 0,  0xEE20, 0x001F, 200,  0},
    {104, 18, 1024, 0, 0,  0xEC20, 0x001F, 200,  0},
    {121, 18, 1024, 0, 9,  0xFC00, 0x0FFF, 200,  1},
    {701, 53, 256,  0, 22, 0xEF1D, 0x001C, 3000, 1},
    {702, 53, 512,  0, 22, 0xEE1D, 0x001C, 3000, 1},
    {703, 53, 256,  0, 40, 0xEF20, 0x001F, 3000, 1},
    {704, 53, 512,  0, 40, 0xEE20, 0x001F, 3000, 1},
    {711, 53, 512,  0, 21, 0xEE20, 0x001F, 3000, 1},
    {712, 53, 1024, 0, 21, 0xEC20, 0x001F, 3000, 1},
    {713, 53, 1024, 0, 39, 0xEC40, 0x003F, 3000, 1},
    {721, 53, 1024, 0, 24, 0xEC40, 0x003F, 3000, 1},
    {722, 53, 1024, 0, 41, 0xEC80, 0x007F, 3000, 1},
    {731, 53, 512,  0, 23, 0x0DFF, 0x000F, 3000, 0},
    {732, 53, 2048, 0, 42, 0x07FF, 0x000F, 3000, 0},
};
// clang-format on

TEST(PicSelect, RowsCarryTheDeviceTable) {
  for (const Columns& c : kColumns) {
    SCOPED_TRACE(c.tag);
    PicSession s;
    if (c.family == 18 || c.family == 53) {
      s.Select12(c.tag);
    } else {
      s.Select(c.tag);
    }
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
    if (c.family == 18 || c.family == 53) {
      // The IDs follow program memory; the configuration word is 0x0FFF.
      EXPECT_EQ(pic.id_index, c.words);
      EXPECT_EQ(pic.config_index, 0x0FFFu);
    }
  }
}

}  // namespace
}  // namespace daraz_test
