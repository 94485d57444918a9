// Selecting microcontrollers: every device row of the MCS-51, AVR, PIC,
// PIC18 and MCS-48 tables, the option panels each family sets up, and the
// restore of an item that names no part.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/programmer.h"
#include "app/selection.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::RecordingHost;

using daraz_test::KB;

class McuSelect : public daraz_test::SelectFixture {};

struct Mcs51Expected {
  int tag;
  uint32_t size;
  int sub_type, twp, twc, pulses, address_bits;
};

// clang-format off
constexpr Mcs51Expected kMcs51Rows[] = {
    {2, 4 * KB, 1, 5, 1600, 1, 18},      {3, 8 * KB, 1, 5, 1600, 1, 18},
    {4, 20 * KB, 1, 5, 1600, 1, 18},     {5, 10 * KB, 3, 30, 1600, 1, 18},
    {6, 12 * KB, 3, 30, 1600, 1, 18},    {7, 20 * KB, 5, 3, 100, 1, 18},
    {8, 32 * KB, 5, 5, 80, 1, 18},       {9, 4 * KB, 1, 110, 2000, 10, 18},
    {10, 8 * KB, 1, 110, 2000, 10, 18},  {11, 16 * KB, 1, 110, 2000, 10, 18},
    {12, 32 * KB, 1, 110, 2000, 10, 18}, {13, 20 * KB, 1, 110, 2000, 1, 19},
    {14, 32 * KB, 1, 110, 2000, 1, 19},  {50, 4 * KB, 2, 2, 100, 1, 18},
    {51, 8 * KB, 2, 2, 100, 1, 18},      {52, 14 * KB, 8, 2, 8000, 1, 18},
    {101, 8 * KB, 1, 50, 2000, 1, 24},   {102, 16 * KB, 1, 50, 2000, 1, 24},
    {103, 32 * KB, 1, 50, 2000, 1, 24},  {104, 64 * KB, 7, 50, 2000, 1, 24},
    {151, 4 * KB, 1, 110, 2000, 25, 18}, {152, 8 * KB, 1, 110, 2000, 25, 18},
    {153, 16 * KB, 1, 110, 2000, 25, 18}, {154, 32 * KB, 1, 110, 2000, 25, 18},
    {301, 4 * KB, 1, 110, 2000, 5, 18},  {303, 4 * KB, 1, 110, 2000, 5, 18},
    {401, 16 * KB, 4, 150, 100, 1, 18},
};
// clang-format on

TEST_F(McuSelect, EveryMcs51Row) {
  for (const auto& row : kMcs51Rows) {
    SCOPED_TRACE(row.tag);
    Select(HandlerId::muMCS51_Click, row.tag);
    EXPECT_EQ(p.image.device_size, row.size);
    EXPECT_EQ(p.dev.family, 10);
    EXPECT_EQ(p.dev.mcs51.sub_type, row.sub_type);
    // the write timing the routines use, mirrored in the descriptor
    EXPECT_EQ(p.dev.mcs51.twp, row.twp);
    EXPECT_EQ(p.dev.twp, row.twp);
    EXPECT_EQ(p.dev.twc, row.twc);
    EXPECT_EQ(p.dev.mcs51.pulses, row.pulses);
    EXPECT_TRUE(p.dev.fixed_address_bits);
    EXPECT_EQ(p.dev.address_bits, row.address_bits);
    EXPECT_EQ(p.dev.top_address_mask, 1u << row.address_bits);
    EXPECT_EQ(p.dev.switch_pattern, 13);
    EXPECT_EQ(p.dev.socket_picture, 51);
  }
  for (auto [tag, size] : {std::pair{2, 1 * KB}, {3, 2 * KB}, {4, 4 * KB}, {5, 2 * KB}}) {
    SCOPED_TRACE(tag);
    Select(HandlerId::AT89Cx051_Click, tag);
    EXPECT_EQ(p.image.device_size, size);
    EXPECT_EQ(p.dev.family, 11);
    EXPECT_EQ(p.dev.mcs51.sub_type, 6);
    EXPECT_EQ(p.dev.twp, 80);
    EXPECT_EQ(p.dev.twc, 2200);
    EXPECT_EQ(p.dev.mcs51.type, 20);
    EXPECT_EQ(p.dev.top_address_mask, 0x40000u);
    EXPECT_EQ(p.dev.switch_pattern, 14);
    EXPECT_EQ(p.dev.socket_picture, 2051);
  }
}

TEST_F(McuSelect, Mcs51OptionGroupsFollowThePart) {
  Select(HandlerId::muMCS51_Click, 5);  // AT89S8252: SPI switch
  EXPECT_TRUE(p.controls.Visible("cbMCS51spi"));
  EXPECT_EQ(p.controls.Text("cbMCS51spi"), "SPI on/off");
  EXPECT_TRUE(p.controls.Enabled("cbMCS51spi0"));
  EXPECT_FALSE(p.controls.Checked("cbMCS51spi0"));
  EXPECT_FALSE(p.controls.Enabled("cbMCS51spi3"));
  EXPECT_EQ(p.dev.mcs51.at89s, 1);

  Select(HandlerId::muMCS51_Click, 52);  // AT89S8253: fuse bits, page writes
  EXPECT_EQ(p.controls.Text("cbMCS51spi"), "Fuse");
  EXPECT_TRUE(p.controls.Enabled("cbMCS51spi3"));
  EXPECT_EQ(p.dev.page_size, 64u);
  EXPECT_EQ(p.dev.mcs51.socket.chip_erase, 0x180000u);

  Select(HandlerId::muMCS51_Click, 401);  // DS89C420: own Vpp, watchdog
  EXPECT_EQ(p.dev.mcs51.vpp_byte, 5);
  EXPECT_TRUE(p.controls.Visible("gbWatchdog89C420"));
  EXPECT_FALSE(p.controls.Visible("cbMCS51spi"));
  EXPECT_EQ(p.dev.mcs51.socket.write_code, 0x170000u);

  Select(HandlerId::muMCS51_Click, 3);  // plain AT89C52
  EXPECT_FALSE(p.controls.Visible("gbWatchdog89C420"));
  EXPECT_FALSE(p.controls.Visible("gbSbyteBvec"));
  EXPECT_EQ(p.dev.mcs51.vpp_byte, 0xFF);
  EXPECT_EQ(p.dev.mcs51.ird_lbit, 0);
  EXPECT_TRUE(p.controls.Visible("pMCS51Setting"));
  EXPECT_FALSE(p.controls.Visible("edOffset"));
  EXPECT_TRUE(p.controls.Checked("rbLock0"));
  EXPECT_TRUE(p.controls.Enabled("rbLock123"));
}

TEST_F(McuSelect, TwentyPinPartsCountAddressesAndHaveNoThirdLockBit) {
  p.dev.lock_mode = 3;
  p.controls.Check("cbNewAdapter");
  Select(HandlerId::AT89Cx051_Click, 3, "AT89C2051");
  EXPECT_FALSE(p.controls.Enabled("rbLock123"));
  EXPECT_TRUE(p.controls.Checked("rbLock0"));
  EXPECT_FALSE(p.controls.Checked("cbNewAdapter"));
  EXPECT_FALSE(p.dev.mcs51.new_adapter);
  EXPECT_EQ(p.dev.mcs51.socket.enter, 0x20000u);
  EXPECT_EQ(p.dev.mcs51.socket.next_address, 0x18380u);
  EXPECT_EQ(p.dev.mcs51.socket.read_code, 0x280u);
  EXPECT_FALSE(p.controls.Enabled("edOffset"));
  Select(HandlerId::muMCS51_Click, 2);
  EXPECT_TRUE(p.controls.Enabled("rbLock123"));
  EXPECT_EQ(p.dev.mcs51.socket.next_address, 0u);
  EXPECT_EQ(p.dev.mcs51.type, 40);
}

TEST_F(McuSelect, AutoselectItemRestoresThePreviousPart) {
  Select(HandlerId::muMCS51_Click, 9, "i87x51   (4KB)");
  Select(HandlerId::muMCS51_Click, 1, "Autoselect");
  EXPECT_EQ(p.dev.family, 10);
  EXPECT_EQ(p.dev.twp, 110);
  EXPECT_EQ(p.dev.twc, 2000);
  EXPECT_TRUE(p.dev.fixed_address_bits);
  EXPECT_EQ(p.image.device_size, 4 * KB);
}

TEST_F(McuSelect, StoredFamily38ReselectsThroughItsOwnHandler) {
  app::ReselectByCode(p, 38, 102, "AT89C52");
  EXPECT_EQ(p.dev.family, 38);
  EXPECT_EQ(p.image.device_size, 8 * KB);
  EXPECT_EQ(p.dev.socket_picture, 240);
  EXPECT_EQ(p.dev.switch_pattern, 0);
  EXPECT_EQ(p.controls.Text("edDevice"), "AT89C52");
  EXPECT_TRUE(p.controls.Visible("pMCS51Setting"));
}

TEST_F(McuSelect, AvrRowsAndFusePanel) {
  struct {
    int tag;
    uint32_t flash, eeprom;
  } const rows[] = {{101, 1024, 64},  {102, 2048, 128}, {103, 2048, 128}, {104, 4096, 256},
                    {105, 4096, 256}, {106, 8192, 512}, {107, 4096, 256}, {108, 8192, 512}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tag);
    Select(HandlerId::AVR_Click, row.tag);
    EXPECT_EQ(p.image.device_size, row.flash);
    EXPECT_EQ(p.dev.avr.eeprom_size, row.eeprom);
    EXPECT_EQ(p.dev.family, 14);
    EXPECT_TRUE(p.controls.Visible("pAVRsetting"));
  }
  p.controls.Check("cbFbit3", false);
  p.dev.avr.lock_mode = 3;
  Select(HandlerId::AVR_Click, 101, "AT90S1200   DIP20");
  EXPECT_EQ(p.controls.Text("cbFbit0"), "RCEN");
  EXPECT_TRUE(p.controls.Enabled("cbFbit0"));
  EXPECT_FALSE(p.controls.Enabled("cbFbit2"));
  EXPECT_FALSE(p.controls.Enabled("cbFbit4"));
  EXPECT_TRUE(p.controls.Enabled("cbFbit5"));
  EXPECT_TRUE(p.controls.Checked("cbFbit3"));
  EXPECT_EQ(p.controls.Text("edEPRFuse"), " 0xFF");
  EXPECT_EQ(p.dev.avr.lock_mode, 1);
  EXPECT_TRUE(p.controls.Checked("rbAVRm1"));
  EXPECT_FALSE(p.controls.Enabled("edOffset"));
  Select(HandlerId::AVR_Click, 103);
  EXPECT_EQ(p.controls.Text("lbAdapter"), "  AVR DIP28  ");
  EXPECT_EQ(p.controls.Text("cbFbit0"), "CKSEL0");
  EXPECT_TRUE(p.controls.Enabled("cbFbit2"));
  Select(HandlerId::AVR_Click, 108);
  EXPECT_EQ(p.controls.Text("lbAdapter"), "  AVR DIP40  ");
  EXPECT_EQ(p.controls.Text("cbFbit0"), "FSTRT");
}

struct PicExpected {
  int tag;
  uint32_t words;
  uint32_t eeprom;
  int algorithm;
  uint16_t blank_checksum;
};

// clang-format off
constexpr PicExpected kPicRows[] = {
    {101, 512, 0, 0, 0xEE20},   {102, 1024, 0, 0, 0xEC20},  {103, 512, 0, 0, 0xEE20},
    {104, 1024, 0, 0, 0xEC20},  {121, 1024, 0, 9, 0xFC00},  {201, 512, 0, 1, 0x3D7F},
    {204, 512, 0, 1, 0x3D7F},   {202, 1024, 0, 2, 0x3B7F},  {205, 1024, 0, 2, 0x3B7F},
    {203, 2048, 0, 3, 0x377F},  {206, 2048, 0, 3, 0x377F},  {207, 512, 0, 8, 0x3DFF},
    {208, 1024, 0, 8, 0x3BFF},  {210, 2048, 0, 26, 0x37BF}, {211, 2048, 0, 3, 0x377F},
    {212, 4096, 0, 26, 0x2FBF}, {213, 4096, 0, 3, 0x2F7F},  {214, 8192, 0, 3, 0x1F7F},
    {215, 1024, 0, 25, 0x3BFF}, {216, 4096, 0, 27, 0x2F7F}, {217, 8192, 0, 28, 0x1F3F},
    {218, 4096, 0, 28, 0x2F3F}, {219, 4096, 0, 29, 0x2F3F}, {220, 512, 0, 30, 0x3D3F},
    {221, 1024, 0, 31, 0x3B3F}, {222, 2048, 0, 32, 0x373F}, {223, 2048, 0, 32, 0x373F},
    {224, 2048, 0, 33, 0x377F}, {225, 2048, 0, 34, 0xF800}, {231, 1023, 0, 11, 0xFC00},
    {232, 2047, 0, 12, 0xF800}, {301, 1024, 64, 4, 0x3BFF}, {302, 512, 64, 36, 0x3DFF},
    {303, 512, 64, 4, 0x3DFF},  {304, 1024, 64, 36, 0x3BFF}, {305, 1024, 64, 4, 0x3BFF},
    {306, 1024, 64, 4, 0x3BFF}, {401, 1024, 128, 5, 0x39FF}, {402, 2048, 128, 5, 0x35FF},
    {403, 1024, 128, 13, 0x1DFF}, {404, 2048, 128, 13, 0x19FF}, {405, 4096, 256, 13, 0x11FF},
    {411, 1024, 128, 15, 0x3BFF}, {412, 2048, 256, 15, 0x37FF}, {421, 1024, 128, 17, 0x1BFF},
    {422, 2048, 256, 17, 0x17FF}, {423, 2048, 256, 16, 0x07FF}, {424, 2048, 256, 16, 0x07FF},
    {425, 4096, 256, 16, 0x0FFF}, {426, 2048, 256, 16, 0x07FF}, {430, 2048, 0, 18, 0xF85F},
    {431, 4096, 0, 18, 0xF05F}, {432, 4096, 0, 18, 0xF05F}, {433, 8192, 0, 18, 0xE05F},
    {434, 8192, 0, 18, 0xE05F}, {451, 4096, 256, 20, 0x3002}, {453, 2048, 0, 35, 0x18CF},
    {461, 4096, 256, 38, 0x0FFF}, {462, 4096, 256, 38, 0x0FFF}, {463, 8192, 256, 38, 0xFFFF},
    {465, 8192, 256, 38, 0xFFFF}, {501, 2048, 64, 6, 0x33FF}, {502, 4096, 128, 7, 0x2BFF},
    {503, 8192, 256, 7, 0x1BFF}, {512, 4096, 128, 10, 0x1FCF}, {513, 8192, 256, 10, 0x0FCF},
    {601, 1024, 128, 14, 0xBE00}, {610, 1024, 128, 14, 0xBE00}, {701, 256, 0, 22, 0xEF1D},
    {702, 512, 0, 22, 0xEE1D},  {703, 256, 0, 40, 0xEF20},  {704, 512, 0, 40, 0xEE20},
    {711, 512, 0, 21, 0xEE20},  {712, 1024, 0, 21, 0xEC20}, {713, 1024, 0, 39, 0xEC40},
    {721, 1024, 0, 24, 0xEC40}, {722, 1024, 0, 41, 0xEC80}, {731, 512, 0, 23, 0x0DFF},
    {732, 2048, 0, 42, 0x07FF},
};
// clang-format on

int PicFamily(int tag) {
  if (tag < 200) return 18;
  if (tag < 300) return 16;
  return tag >= 700 ? 53 : 17;
}

TEST_F(McuSelect, EveryPicRow) {
  for (const auto& row : kPicRows) {
    SCOPED_TRACE(row.tag);
    Select(HandlerId::M12C_Click, row.tag);
    EXPECT_EQ(p.image.device_size, row.words);  // a word count for these parts
    EXPECT_EQ(p.dev.pic16.eeprom_size, row.eeprom);
    EXPECT_EQ(p.dev.pic16.algorithm, row.algorithm);
    EXPECT_EQ(p.dev.pic16.blank_checksum, row.blank_checksum);
    EXPECT_EQ(p.dev.family, PicFamily(row.tag));
    EXPECT_TRUE(p.dev.pic);
    EXPECT_EQ(p.dev.socket_picture, 16);
    EXPECT_TRUE(p.controls.Visible("pPICSettings"));
  }
}

TEST_F(McuSelect, PicLayoutAndWriteTimeByGroup) {
  Select(HandlerId::M12C_Click, 306, "PIC 16F84A  (P 5mS)");
  EXPECT_EQ(p.dev.twc, 6000);
  EXPECT_EQ(p.dev.twp, 10);
  EXPECT_EQ(p.dev.pic16.config_index, 0x2007u);
  EXPECT_EQ(p.dev.pic16.id_index, 0x2000u);
  EXPECT_EQ(p.controls.Text("cbSkip_0xFF"), "Skip Write 0x3FFF");
  EXPECT_TRUE(p.controls.Enabled("cbMCLRE5"));
  Select(HandlerId::M12C_Click, 305);
  EXPECT_EQ(p.dev.twc, 12000);
  Select(HandlerId::M12C_Click, 402);
  EXPECT_EQ(p.dev.twc, 13000);
  Select(HandlerId::M12C_Click, 453);
  EXPECT_EQ(p.dev.twc, 3500);
  Select(HandlerId::M12C_Click, 512);
  EXPECT_EQ(p.dev.twc, 3000);
  Select(HandlerId::M12C_Click, 301);  // few configuration bits: checksum addend
  EXPECT_EQ(p.dev.pic16.config_mask, 0x001F);
  EXPECT_EQ(p.dev.pic16.checksum_addend, 0x3FE0);

  // 12-bit core: configuration in the last word, ID after program memory,
  // calibration value in the last program word.
  Select(HandlerId::M12C_Click, 101, "12C508/A  (OTP)");
  EXPECT_EQ(p.dev.twc, 200);
  EXPECT_EQ(p.dev.pic16.config_index, 0x0FFFu);
  EXPECT_EQ(p.dev.pic16.id_index, 512u);
  EXPECT_EQ(p.dev.pic16.reserved_words, 1);
  EXPECT_EQ(p.dev.pic16.osccal_index, 511u);
  EXPECT_FALSE(p.controls.Enabled("cbMCLRE5"));
  Select(HandlerId::M12C_Click, 711);
  EXPECT_EQ(p.dev.twc, 3000);
  EXPECT_EQ(p.dev.pic16.osccal_backup_index, 516u);

  // a PIC selection leaves nothing behind for the next part
  Select(HandlerId::M27C_Click, 204);
  EXPECT_FALSE(p.dev.pic);
  EXPECT_EQ(p.controls.Text("cbSkip_0xFF"), "Skip Write 0xFF");
}

TEST_F(McuSelect, Pic18GroupsSetAlgorithmAndBuffer) {
  struct {
    int first, last, algorithm;
  } const groups[] = {{101, 108, 1}, {111, 116, 2}, {121, 126, 3}, {131, 134, 7}, {141, 144, 4},
                      {151, 154, 9}, {161, 164, 6}, {171, 174, 5}, {181, 208, 10}};
  for (const auto& g : groups) {
    for (int tag = g.first; tag <= g.last; ++tag) {
      SCOPED_TRACE(tag);
      Select(HandlerId::PIC18F_Click, tag);
      EXPECT_EQ(p.dev.family, 36);
      EXPECT_EQ(p.dev.pic18.erase_algorithm, g.algorithm);
      EXPECT_TRUE(p.dev.pic);
      EXPECT_GT(p.image.device_size, 0u);
      EXPECT_EQ(p.image.device_size, p.dev.pic18.code_words);
      EXPECT_EQ(p.dev.pic18.panels, p.dev.pic18.code_words * 2 / 8192);
      if (g.first == 111) {
        EXPECT_EQ(p.dev.pic18.write_buffer, 8u);
      } else if (g.first == 171) {
        EXPECT_EQ(p.dev.pic18.write_buffer, 16u);
      } else if (g.first == 151 || g.first == 161) {
        EXPECT_EQ(p.dev.pic18.eeprom_size, 1024u);
      }
    }
  }
  Select(HandlerId::PIC18F_Click, 103, "PIC18F252");
  EXPECT_EQ(p.dev.pic18.code_words, 16384u);
  EXPECT_TRUE(p.controls.Visible("pPIC18FxxxSetting"));
}

TEST_F(McuSelect, Mcs48PartsAndTheirReminder) {
  struct {
    int tag;
    uint32_t size;
    int family;
  } const rows[] = {{101, 1 * KB, 28},
                    {102, 2 * KB, 28},
                    {201, 1 * KB, 29},
                    {202, 2 * KB, 29},
                    {203, 4 * KB, 29}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tag);
    host.Clear();
    Select(HandlerId::D8748_Click, row.tag);
    EXPECT_EQ(p.image.device_size, row.size);
    EXPECT_EQ(p.dev.family, row.family);
    EXPECT_EQ(p.dev.address_bits, 8);
    EXPECT_EQ(p.dev.top_address_mask, 256u);
    EXPECT_EQ(p.dev.twp, 55000);
    EXPECT_EQ(p.dev.twc, 20000);
    EXPECT_EQ(p.dev.switch_pattern, 31);
    EXPECT_EQ(p.dev.socket_picture, 8749);
    EXPECT_EQ(p.controls.Text("lbAdapter"), "  MCS-48  ");
    ASSERT_EQ(host.Informations().size(), 1u);
    EXPECT_EQ(host.Informations()[0].rfind(" Close program (or End task)", 0), 0u);
  }
  // ROM parts are read and verified only
  EXPECT_FALSE(p.controls.Enabled("sbProgram"));
  Select(HandlerId::D8748_Click, 102);
  EXPECT_TRUE(p.controls.Enabled("sbProgram"));
  EXPECT_FALSE(p.controls.Enabled("mnuErase"));
}

TEST_F(McuSelect, NoDeviceItemKeepsAMicrocontrollerWhole) {
  Select(HandlerId::M12C_Click, 404, "PIC 16F628A");
  const app::Descriptor before = p.dev;
  host.Clear();
  Select(HandlerId::M12C_Click, 0, "nothing");
  Select(HandlerId::D8748_Click, 0, "nothing");
  EXPECT_TRUE(host.Informations().empty());
  EXPECT_EQ(p.dev.family, 17);
  EXPECT_EQ(p.dev.device_code, 404);
  EXPECT_EQ(p.dev.twc, before.twc);
  EXPECT_TRUE(p.dev.pic);
  EXPECT_EQ(p.dev.pic16.algorithm, 13);
  EXPECT_EQ(p.image.device_size, 2048u);
  EXPECT_EQ(p.controls.Text("cbSkip_0xFF"), "Skip Write 0x3FFF");
}

}  // namespace
