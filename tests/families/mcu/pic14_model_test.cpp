// What each erase of the 14-bit model reaches, driven through the ICSP
// primitives: the factory calibration words at 0x2008/0x2009 go only with a
// bulk erase whose PC points at them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

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

// 16F84A: commands 1, 7 and Begin Erase Programming after a Load Data for
// Data Memory clear data memory only (the code-protect disable for data);
// after a Load Data for Program Memory they clear program memory too.
TEST(Pic14Model, DisableAfterADataLoadKeepsProgramMemory) {
  for (const int load : {3, 2}) {
    SCOPED_TRACE(load);
    PicSession s;
    s.Select(306);
    std::vector<uint8_t> bytes = s.chip->Contents();
    bytes[2 * 5] = 0x23;  // program word 5 = 0x0123
    bytes[2 * 5 + 1] = 0x01;
    bytes[bytes.size() - 64] = 0x5A;  // data byte 0
    s.chip->SetContents(bytes);
    pic::PicEnterVddFirst(s.p);
    pic::PicLoad(s.p, load, 0x3FFF);
    pic::PicCommand(s.p, 1);
    pic::PicCommand(s.p, 7);
    pic::PicCommand(s.p, pic::cmd::kBeginErase);
    s.p.bus.DelayTicks(14319);  // 12 ms against the 10 ms erase
    pic::PicCommand(s.p, 1);
    pic::PicCommand(s.p, 7);
    pic::PicExit(s.p);
    s.p.bus.PowerDown();
    EXPECT_EQ(s.chip->Data(0), 0xFF);
    EXPECT_EQ(s.chip->Program(5), load == 3 ? 0x0123 : 0x3FFF);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

// 16F84A: Begin Erase Programming erases the word before it programs it,
// so a word can go from 0 bits back to 1 without a bulk erase.
TEST(Pic14Model, BeginEraseProgrammingErasesTheWordFirst) {
  PicSession s;
  s.Select(306);
  s.chip->SetProgram(0, 0x0000);
  pic::PicEnterVddFirst(s.p);
  pic::PicLoad(s.p, pic::cmd::kLoadProgram, 0x1234);
  pic::PicCommand(s.p, pic::cmd::kBeginErase);
  s.p.bus.DelayTicks(14319);
  pic::PicExit(s.p);
  s.p.bus.PowerDown();
  EXPECT_EQ(s.chip->Program(0), 0x1234);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

// A contents file that stops inside data memory fills the bytes it holds
// and leaves the rest as they were, reading nothing past its end.
TEST(Pic14Model, AShortContentsFileLeavesTheRest) {
  PicSession s;
  s.Select(306);
  std::vector<uint8_t> bytes = s.chip->Contents();
  const size_t data = bytes.size() - 64;
  for (size_t j = 0; j < 64; ++j) bytes[data + j] = 0x55;
  s.chip->SetContents(bytes);
  // Three data bytes; the storage past the end holds 0x00, which a read
  // beyond the file would take in.
  for (size_t j = 0; j < 64; ++j) bytes[data + j] = 0x00;
  bytes[data] = 0x11;
  bytes[data + 1] = 0x22;
  bytes[data + 2] = 0x33;
  bytes.resize(data + 3);
  s.chip->SetContents(bytes);
  EXPECT_EQ(s.chip->Data(0), 0x11);
  EXPECT_EQ(s.chip->Data(2), 0x33);
  EXPECT_EQ(s.chip->Data(3), 0x55);
  EXPECT_EQ(s.chip->Data(63), 0x55);
}

}  // namespace
}  // namespace daraz_test
