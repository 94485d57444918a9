// The OSCCAL window and the 0x2008/0x2009 calibration words on the models:
// what each write leaves in the chip, the refusals, the board at rest.
#include "families/mcu/pic_tools.h"

#include <gtest/gtest.h>

#include "pic_fixture.h"

namespace daraz_test {
namespace {

namespace pic = families::pic;

TEST(PicOsccalTool, KindByRow) {
  struct Case {
    int tag;
    pic::OsccalKind kind;
  };
  const Case cases[] = {{601, pic::OsccalKind::kRetlw}, {610, pic::OsccalKind::kRetlw},
                        {711, pic::OsccalKind::kMovlw}, {701, pic::OsccalKind::kMovlw},
                        {306, pic::OsccalKind::kNone},  {101, pic::OsccalKind::kNone},
                        {731, pic::OsccalKind::kNone},  {424, pic::OsccalKind::kNone}};
  for (const Case& c : cases) {
    PicSession s;
    s.p.controls.SetText("edDevice", "PIC");
    app::SelectDevice(s.p, app::HandlerId::M12C_Click, app::SelectItem{c.tag, "PIC"});
    EXPECT_EQ(pic::OsccalKindOf(s.p), c.kind) << c.tag;
    EXPECT_EQ(s.p.controls.Enabled("btnOSCCAL"), c.kind != pic::OsccalKind::kNone) << c.tag;
    EXPECT_EQ(s.p.controls.Visible("gbPIC16F684"), c.tag == 424) << c.tag;
  }
}

TEST(PicOsccalTool, TypedValues) {
  using K = pic::OsccalKind;
  EXPECT_EQ(pic::ParseHexWord("0x58"), 0x58);
  EXPECT_EQ(pic::ParseHexWord("0X58"), 0x58);
  EXPECT_EQ(pic::ParseHexWord(" 3458H "), 0x3458);
  EXPECT_EQ(pic::ParseHexWord("0c24"), 0x0C24);
  EXPECT_FALSE(pic::ParseHexWord(""));
  EXPECT_FALSE(pic::ParseHexWord("12345"));
  EXPECT_FALSE(pic::ParseHexWord("34G8"));
  EXPECT_EQ(pic::OsccalWordFor(K::kRetlw, 0x58), 0x3458);
  EXPECT_EQ(pic::OsccalWordFor(K::kRetlw, 0xFF), 0x34FF);
  EXPECT_EQ(pic::OsccalWordFor(K::kRetlw, 0x3470), 0x3470);
  EXPECT_FALSE(pic::OsccalWordFor(K::kRetlw, 0x0C24));
  EXPECT_EQ(pic::OsccalWordFor(K::kMovlw, 0x24), 0x0C24);
  EXPECT_FALSE(pic::OsccalWordFor(K::kMovlw, 0x3458));
  EXPECT_FALSE(pic::OsccalWordFor(K::kNone, 0x24));
}

TEST(PicOsccalTool, RetlwWriteErasesAndKeepsTheBandGap) {
  PicSession s;
  s.Select(601);
  s.chip->SetProgram(5, 0x0123);
  s.Run(pic::ReadOsccalTool);
  EXPECT_TRUE(s.host.HasMessage("Reading OSCCAL and  BandGap"));
  EXPECT_EQ(s.p.controls.Text("edOSCCAL"), "3458");
  EXPECT_EQ(s.p.controls.Text("edOSCCALbak"), "2000");
  s.p.controls.SetText("edOSCCAL", "7C");
  s.Run(pic::WriteOsccalTool);
  EXPECT_EQ(s.Last(), "PIC write OSCCAL OK");
  EXPECT_EQ(s.chip->Program(0x3FF), 0x347C);
  EXPECT_EQ(s.chip->Program(5), 0x3FFF);  // "OSCCAL will erase chip"
  EXPECT_EQ(s.chip->Config(0x2007) & 0x3000, 0x2000);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());

  s.p.controls.SetText("edOSCCAL", "0C24");
  s.Run(pic::WriteOsccalTool);
  EXPECT_EQ(s.Last(), "OSCCAL must be RETLW xx (34xxH)");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->Program(0x3FF), 0x347C);
  // A new selection clears what the window showed.
  s.Select(601);
  EXPECT_EQ(s.p.controls.Text("edOSCCAL"), "");
  EXPECT_EQ(s.p.controls.Text("edOSCCALbak"), "");
}

TEST(PicOsccalTool, MovlwWriteKeepsTheBackup) {
  PicSession s;
  s.Select12(711);  // 12F508: OSCCAL at 0x1FF, backup at 0x204
  s.p.controls.SetText("edOSCCAL", "30");
  s.Run(pic::WriteOsccalTool);
  EXPECT_EQ(s.Last(), "PIC write OSCCAL OK");
  EXPECT_EQ(s.chip12->Word(0x1FF), 0x0C30);
  EXPECT_EQ(s.chip12->Word(0x204), 0x0C24);
  EXPECT_EQ(s.p.controls.Text("edOSCCALbak"), "0C24");
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

TEST(PicOsccalTool, AChipWithoutRetlwIsReported) {
  PicSession s;
  s.Select(601);
  s.chip->SetProgram(0x3FF, 0x3FFF);
  s.Run(pic::ReadOsccalTool);
  EXPECT_EQ(s.Last(), " OSCCAL instruction Error\n(No command RETLW xx at address 0x3FF)");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  // 12F508: neither the last word (0x1FF) nor its backup (0x204) holds a MOVLW.
  s.Select12(711);
  s.chip12->SetWord(0x1FF, 0x0FFF);
  s.chip12->SetWord(0x204, 0x0FFF);
  s.Run(pic::ReadOsccalTool);
  EXPECT_EQ(s.Last(), " No command MOVLW xx (OSCCAL) at address 0x1FF");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(PicCalibrationWords, NoTouchesNothingAndOneEditKeepsTheOther) {
  PicSession s;
  s.Select(424);
  s.chip->SetProgram(5, 0x0123);
  s.p.controls.SetText("ed0X2008", "2C40");
  s.host.AnswerNext({false});
  s.Run(pic::WriteCalibrationWords);
  EXPECT_EQ(s.host.Questions(),
            std::vector<std::string>{"Do you really want program CFG 0x2008,0x2009 ?"});
  EXPECT_EQ(s.chip->Program(5), 0x0123);
  EXPECT_EQ(s.chip->Config(0x2008), 0x2C5F);

  s.host.AnswerNext({true});
  s.Run(pic::WriteCalibrationWords);
  EXPECT_EQ(s.chip->Config(0x2008), 0x2C40);
  EXPECT_EQ(s.chip->Config(0x2009), 0x1E9B);  // the factory value, read before the erase
  EXPECT_EQ(s.chip->Program(5), 0x3FFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());

  s.p.controls.SetText("ed0X2008", "1111");
  s.p.controls.SetText("ed0X2009", "0222");
  s.host.AnswerNext({true});
  s.Run(pic::WriteCalibrationWords);
  EXPECT_EQ(s.chip->Config(0x2008), 0x1111);
  EXPECT_EQ(s.chip->Config(0x2009), 0x0222);
  s.p.controls.SetText("ed0X2008", "");
  s.p.controls.SetText("ed0X2009", "");
  s.Run(pic::ReadCalibrationWords);
  EXPECT_EQ(s.p.controls.Text("ed0X2008"), "1111");
  EXPECT_EQ(s.p.controls.Text("ed0X2009"), "0222");

  // Only 0x2009 given: the edit of 0x2008 shows what went back.
  s.p.controls.SetText("ed0X2008", "");
  s.p.controls.SetText("ed0X2009", "0444");
  s.host.AnswerNext({true});
  s.Run(pic::WriteCalibrationWords);
  EXPECT_EQ(s.chip->Config(0x2008), 0x1111);
  EXPECT_EQ(s.chip->Config(0x2009), 0x0444);
  EXPECT_EQ(s.p.controls.Text("ed0X2008"), "1111");
}

}  // namespace
}  // namespace daraz_test
