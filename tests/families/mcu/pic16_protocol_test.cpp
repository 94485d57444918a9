// What the 14-bit core depends on: the frames' bits, the entry conditions,
// the write time, and every 16C8x/16F8x row end to end.
#include <gtest/gtest.h>

#include "families/mcu/pic.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

struct Pic14Protocol : PicSession, ::testing::Test {
  void SetUp() override { Select(306); }

  // PGD at every PGC falling edge, from the trace of data-register writes.
  std::vector<int> BitsLatched() const {
    std::vector<int> bits;
    uint8_t last = 0;
    for (const sim::TraceEntry& e : board->trace()) {
      if (!e.write || e.port != p.bus.LptBase()) continue;
      if ((last & 0x02) != 0 && (e.value & 0x02) == 0) bits.push_back(e.value & 0x01);
      last = e.value;
    }
    return bits;
  }
};

TEST_F(Pic14Protocol, FramesCarryTheirBitsLeastSignificantFirst) {
  board->EnableTrace(true);
  pic::PicCommand(p, 0x12);  // 010010 -> 0, 1, 0, 0, 1, 0
  pic::PicSendData(p, 0x3FFF);
  const std::vector<int> expected = {0, 1, 0, 0, 1, 0,  // command
                                     0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
  EXPECT_EQ(BitsLatched(), expected);
}

TEST_F(Pic14Protocol, EntryNeedsPgcAndPgdLow) {
  chip->SetProgram(0, 0x1234);
  // PGC left high when VPP rises: the chip runs instead of entering.
  p.bus.SetData(1, true);
  p.bus.WriteData();
  p.bus.SetCtrl(hw::ctrl::kStrobe, true);
  p.bus.WriteCtrl();
  p.bus.SetCtrl(hw::ctrl::kPower, true);
  p.bus.WriteCtrl();
  p.bus.DelayTicks(3000);
  p.bus.SetCtrl(hw::ctrl::kStrobe, false);
  p.bus.WriteCtrl();
  EXPECT_FALSE(chip->in_programming_mode());
  EXPECT_EQ(Violations(), std::vector<std::string>{"VPP raised with PGC or PGD high"});
  pic::PicExit(p);
  p.bus.PowerDown();
  board->ClearViolations();
  pic::PicEnterVddFirst(p);
  EXPECT_TRUE(chip->in_programming_mode());
  EXPECT_EQ(pic::PicRead(p, pic::cmd::kReadProgram), 0x1234);
  pic::PicExit(p);
  EXPECT_FALSE(chip->in_programming_mode());
  p.bus.PowerDown();
  EXPECT_EQ(board->RestState(), sim::kAtRest);
  EXPECT_TRUE(Violations().empty()) << ::testing::PrintToString(Violations());
}

TEST_F(Pic14Protocol, ReadDuringTheWriteCycleIsIgnored) {
  // 16F84A: the erase/program cycle takes 4 ms; reading back after 3 ms
  // finds the line released (all ones) and the chip complains.
  pic::PicEnterVddFirst(p);
  pic::PicLoad(p, pic::cmd::kLoadProgram, 0x0ABC);
  pic::PicCommand(p, pic::cmd::kBeginErase);
  p.bus.DelayTicks(pic::UsToTicks(3000));
  EXPECT_EQ(pic::PicRead(p, pic::cmd::kReadProgram), 0x3FFF);
  p.bus.DelayTicks(pic::UsToTicks(1500));
  EXPECT_EQ(pic::PicRead(p, pic::cmd::kReadProgram), 0x0ABC);
  pic::PicExit(p);
  p.bus.PowerDown();
  EXPECT_EQ(Violations(), std::vector<std::string>{"command during a self-timed cycle"});
}

TEST_F(Pic14Protocol, LeavingDuringTheCycleLosesTheWord) {
  pic::PicEnterVddFirst(p);
  pic::PicLoad(p, pic::cmd::kLoadProgram, 0x0001);
  pic::PicCommand(p, pic::cmd::kBeginErase);
  p.bus.DelayTicks(100);
  pic::PicExit(p);
  p.bus.PowerDown();
  EXPECT_EQ(chip->Program(0), 0x3FFF);
  EXPECT_EQ(Violations(),
            std::vector<std::string>{"self-timed cycle cut by leaving programming mode"});
}

// 16C8x/16F8x one word at a time; 12F683/16F684/16F785 in rows of four
// words started by 8; 16F874A/877A in rows of eight started by 24, ended by 23.
TEST(Pic14Rows, EveryFlashRowRoundTrips) {
  const struct {
    int tag;
    uint32_t words, eeprom;
  } kRows[] = {{301, 1024, 64},  {302, 512, 64},   {303, 512, 64},   {304, 1024, 64},
               {305, 1024, 64},  {306, 1024, 64},  {423, 2048, 256}, {424, 2048, 256},
               {426, 2048, 256}, {512, 4096, 128}, {513, 8192, 256}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.tag);
    PicSession s;
    s.Select(row.tag);
    EXPECT_EQ(s.chip->part().program_words, row.words);
    EXPECT_EQ(s.chip->part().eeprom_bytes, row.eeprom);
    s.Blank();
    EXPECT_EQ(s.Last(), "Device Blank");
    std::vector<uint8_t> data(row.eeprom);
    for (uint32_t j = 0; j < row.eeprom; ++j) data[j] = static_cast<uint8_t>(j * 3 + 1);
    const std::vector<uint16_t> words = s.Pattern(row.words, static_cast<uint32_t>(row.tag));
    s.Load(words, data, 0x3FF9);
    s.Program();
    EXPECT_TRUE(s.host.HasMessage("Device Verified OK"));
    EXPECT_EQ(s.p.error, 0);
    s.Erase();
    s.Blank();
    EXPECT_EQ(s.Last(), "Device Blank");
    s.Program();
    image::ClearBuf(s.p.image, image::kFillFF, {});
    s.Read();
    for (uint32_t i = 0; i < row.words; ++i) ASSERT_EQ(s.p.image.Word(i), words[i]) << i;
    for (uint32_t j = 0; j < row.eeprom; ++j) ASSERT_EQ(s.p.image.Word(0x2100 + j), data[j]);
    EXPECT_EQ(s.p.image.Word(0x2007) & s.p.dev.pic16.config_mask,
              0x3FF9 & s.p.dev.pic16.config_mask);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

}  // namespace
}  // namespace daraz_test
