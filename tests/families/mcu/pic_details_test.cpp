// Details of the PIC routines and models that the round trips pass over:
// the 12-bit read's calibration report, the PIC18 multi-panel write and the
// configuration bytes at even addresses, the PIC18 row erase's extent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "families/mcu/pic18_fixture.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

namespace p18 = families::pic18;

// 12F508 whose last program word holds a GOTO, not the calibration MOVLW:
// the read says so, and names the word.
TEST(Pic12Read, ALastWordThatIsNoMovlwIsReported) {
  PicSession s;
  s.Select12(711);
  s.chip12->SetWord(0x1FF, 0x0A05);
  s.Read();
  EXPECT_EQ(s.Last(), "PIC dumped OK");
  const auto messages = s.host.Messages();
  const std::pair<std::string, int> said{" No command MOVLW xx (OSCCAL) at address 0x1FF", 0};
  EXPECT_NE(std::find(messages.begin(), messages.end(), said), messages.end())
      << ::testing::PrintToString(messages);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// 18F242: 16 KB in two 8 KB panels, written together by the multi-panel
// method; every configuration byte, those at even addresses included,
// reaches the part.
TEST(Pic18Program, MultiPanelCodeAndEveryConfigurationByte) {
  Pic18Session s;
  s.Select(101);
  ASSERT_EQ(s.p.dev.pic18.panels, 2u);
  const std::vector<uint8_t> code = s.Pattern(16 * 1024, 5);
  // HS oscillator, BOR at 2.7 V with the power-up timer, WDT off, CCP2 on
  // RC1, LVP off; no code protection.
  const std::vector<uint8_t> config = {0xFF, 0x22, 0x09, 0x0E, 0xFF, 0x01, 0x81,
                                       0xFF, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  // Implemented bits of the 18Fxx2 configuration bytes.
  const uint8_t mask[14] = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                            0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  s.Load(code, {1, 2, 3, 4, 5, 6, 7, 8}, config, {});
  s.Program();
  EXPECT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
  EXPECT_EQ(s.p.error, 0);
  for (uint32_t a = 0; a < code.size(); ++a) ASSERT_EQ(s.chip->Code(a), code[a]) << a;
  for (uint32_t k = 0; k < 14; ++k) {
    EXPECT_EQ(s.chip->Config(k) & mask[k], config[k] & mask[k]) << k;
  }
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

// A row erase (FREE and WR after 55/AA) clears the 64-byte row TBLPTR is
// in and nothing on either side of it.
TEST(Pic18Model, RowEraseTakesItsSixtyFourBytesOnly) {
  Pic18Session s;
  s.Select(131);  // 18F2439: 12 KB
  s.chip->SetContents(std::vector<uint8_t>(12 * 1024, 0x12));
  p18::P18Port port{s.p, {}};
  families::pic::PicEnterVddFirst(s.p);
  p18::P18Core(port, p18::ins::kBsfEepgd);
  p18::P18Core(port, p18::ins::kBcfCfgs);
  p18::P18SetPointer(port, 0x2010);
  p18::P18Core(port, p18::ins::kBsfWren);
  p18::P18Core(port, p18::ins::kBsfFree);
  p18::P18Core(port, static_cast<uint16_t>(p18::ins::kMovlw | 0x55));
  p18::P18Core(port, p18::ins::kMovwfEecon2);
  p18::P18Core(port, static_cast<uint16_t>(p18::ins::kMovlw | 0xAA));
  p18::P18Core(port, p18::ins::kMovwfEecon2);
  p18::P18Core(port, p18::ins::kBsfWr);
  p18::P18CommandWait(port, p18::cmd::kCore, 0, 12000);  // 10 ms against P10's 5 ms
  families::pic::PicExit(s.p);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.chip->Code(0x1FFF), 0x12);
  for (uint32_t a = 0x2000; a < 0x2040; ++a) ASSERT_EQ(s.chip->Code(a), 0xFF) << a;
  EXPECT_EQ(s.chip->Code(0x2040), 0x12);
  EXPECT_EQ(s.chip->Code(0x2FFF), 0x12);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

}  // namespace
}  // namespace daraz_test
