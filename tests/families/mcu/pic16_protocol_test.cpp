// What the 14-bit core depends on: the frames' bits, the entry conditions,
// the write time.
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

}  // namespace
}  // namespace daraz_test
