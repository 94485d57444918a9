// What each erase of the 14-bit model reaches, driven through the ICSP
// primitives: the factory calibration words at 0x2008/0x2009 go only with a
// bulk erase whose PC points at them.
#include <gtest/gtest.h>

#include <memory>

#include "families/mcu/pic.h"
#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

// 16F684 with something in every area the erase may reach.
void Fill(sim::Pic14Chip& chip) {
  chip.SetProgram(5, 0x0123);
  chip.SetConfig(0x2000, 0x0001);
  chip.SetConfig(0x2007, 0x0FF0);
  chip.SetConfig(0x2008, 0x1234);
  chip.SetConfig(0x2009, 0x0567);
}

void EraseAt(app::Programmer& p, int erase_command, int increments) {
  pic::PicEnterVddFirst(p);
  pic::PicLoad(p, pic::cmd::kLoadConfig, 0x3FFF);
  pic::PicIncrement(p, increments);
  pic::PicCommand(p, erase_command);
  p.bus.DelayTicks(40000);
  pic::PicExit(p);
  p.bus.PowerDown();
}

TEST(Pic14Model, CalibrationWordsGoOnlyWithABulkEraseAtThem) {
  struct Case {
    int command, increments;
    bool calibration_erased;
  };
  // The bulk erase with the PC in the IDs keeps them, at 0x2008 takes both.
  for (const Case c : {Case{9, 0, false}, Case{9, 8, true}}) {
    SCOPED_TRACE(c.increments);
    PicSession s;
    s.Select(424);
    Fill(*s.chip);
    EraseAt(s.p, c.command, c.increments);
    EXPECT_EQ(s.chip->Program(5), 0x3FFF);
    EXPECT_EQ(s.chip->Config(0x2000), 0x3FFF);
    EXPECT_EQ(s.chip->Config(0x2007), 0x3FFF);
    EXPECT_EQ(s.chip->Config(0x2008), c.calibration_erased ? 0x3FFF : 0x1234);
    EXPECT_EQ(s.chip->Config(0x2009), c.calibration_erased ? 0x3FFF : 0x0567);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

// No listed part has both calibration words and a chip erase; a row that
// had them would still keep the factory words through the chip erase.
TEST(Pic14Model, ChipEraseKeepsCalibrationWords) {
  PicSession s;
  s.Select(424);
  sim::Pic14Part part = *sim::FindPic14Part("16F684");
  part.commands |= sim::Pic14Commands({31});
  auto made = std::make_unique<sim::Pic14Chip>(part);
  sim::Pic14Chip& chip = *made;
  s.board->RemoveChip();
  s.board->InsertChip(std::move(made));
  Fill(chip);
  EraseAt(s.p, 31, 8);
  EXPECT_EQ(chip.Program(5), 0x3FFF);
  EXPECT_EQ(chip.Config(0x2007), 0x3FFF);
  EXPECT_EQ(chip.Config(0x2008), 0x1234);
  EXPECT_EQ(chip.Config(0x2009), 0x0567);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

}  // namespace
}  // namespace daraz_test
