// The PIC10/12/16 front door of `daraz`: the configuration word and ID
// keys, code protection end to end, the OSCCAL question answered only by
// --osccal, the osccal and calib commands, id and info --json.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace cli_test {
namespace {

constexpr char k84A[] = "\"PIC 16F84A  (P 5mS)\"";
constexpr char k629[] = "\"PIC 12F629\"";
constexpr char k508[] = "PIC12F508";
constexpr char k684[] = "\"PIC 16F684\"";

class CliPic : public SimCli {
 protected:
  // `count` program words, little-endian, each below 0x3FFF; `last` (when
  // given) replaces the last one.
  void WriteWords(const std::string& name, uint32_t count, int last = -1) {
    std::string bytes;
    for (uint32_t i = 0; i < count; ++i) {
      uint16_t w = static_cast<uint16_t>((i * 37 + 5) & 0x3FFF);
      if (i + 1 == count && last >= 0) w = static_cast<uint16_t>(last);
      bytes += static_cast<char>(w & 0xFF);
      bytes += static_cast<char>(w >> 8);
    }
    Write(name, bytes);
  }
  RunResult Pic(const std::string& args, const std::string& chip = "c.bin") {
    return Daraz("--sim-chip " + chip + " " + args);
  }
};

TEST_F(CliPic, CodeProtectedF84AProgramsAgainAfterTheDisable) {
  WriteWords("fw.bin", 1024);
  // CP all (bits 13:4 clear), XT, power-up timer on.
  RunResult r = Pic(std::string("program ") + k84A + " fw.bin --config 0x0001 --id CAFE");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out + r.err, "Device Verified OK")) << r.out << r.err;
  // Protected: program memory reads 0.
  r = Pic(std::string("verify ") + k84A + " fw.bin");
  EXPECT_NE(r.rc, 0);
  EXPECT_TRUE(Has(r.out + r.err, "Error verifying PIC")) << r.out << r.err;

  // The erase before the words takes the protection off.
  r = Pic(std::string("program ") + k84A + " fw.bin --set config=0x3FF1 --set id=1A2F");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("verify ") + k84A + " fw.bin");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
  r = Pic(std::string("read ") + k84A + " -o back.hex");
  ASSERT_EQ(r.rc, 0) << r.err;
  // The configuration word 0x3FF1 at byte 0x400E.
  EXPECT_TRUE(Has(Read("back.hex"), ":10400E00F13F")) << Read("back.hex");

  r = Pic(std::string("erase ") + k84A);
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("blank ") + k84A);
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out + r.err, " 0x3BFF")) << r.out << r.err;
  EXPECT_TRUE(Has(r.out + r.err, "Device Blank")) << r.out << r.err;
}

TEST_F(CliPic, ConfigKeyRangeAndIdDigits) {
  RunResult r = Daraz(std::string("info --json ") + k84A + " --config 0x4000");
  EXPECT_EQ(r.rc, 2);
  r = Daraz(std::string("info --json ") + k84A + " --set id=12345");
  EXPECT_EQ(r.rc, 2);
  r = Daraz(std::string("info --json ") + k84A + " --config 0x3FF1 --id 00A5");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "\"config\":\"0x3FF1\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"oscillator\":\" XT\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"code_protect\":\" CP OFF\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"power_up_timer\":true")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"watchdog\":false")) << r.out;
  EXPECT_FALSE(Has(r.out, "\"debugger\"")) << r.out;  // no such box on this part
  EXPECT_TRUE(Has(r.out, "\"id\":\"00A5\"")) << r.out;
}

// A file whose OSCCAL (0x3470) differs from the chip's factory 0x3458.
TEST_F(CliPic, TheOsccalQuestionIsAnsweredOnlyByTheOption) {
  WriteWords("fw.bin", 1024, 0x3470);
  RunResult r = Pic(std::string("--yes program ") + k629 + " fw.bin");
  EXPECT_NE(r.rc, 0);
  EXPECT_TRUE(Has(r.out + r.err, "OSCCAL = 0x3458 differs from the file's 0x3470"))
      << r.out << r.err;
  r = Pic(std::string("osccal ") + k629);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x3458")) << r.out;

  r = Pic(std::string("program ") + k629 + " fw.bin --osccal chip");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("--json osccal ") + k629);
  EXPECT_TRUE(Has(r.out, "\"osccal\":\"0x3458\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"band_gap\":\"0x2000\"")) << r.out;

  r = Pic(std::string("program ") + k629 + " fw.bin --osccal file");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("osccal ") + k629);
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x3470")) << r.out;
  r = Pic(std::string("verify ") + k629 + " fw.bin");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
  // Parts without the RETLW calibration have no such question.
  EXPECT_EQ(Pic(std::string("info ") + k84A + " --osccal chip", "e.bin").rc, 2);
}

TEST_F(CliPic, OsccalWindowReadsAndWrites) {
  RunResult r = Pic(std::string("osccal ") + k629 + " --write 0x60");
  EXPECT_EQ(r.rc, 2);  // erases the chip: needs --yes
  r = Pic(std::string("--yes osccal ") + k629 + " --write 0x0C60");
  EXPECT_EQ(r.rc, 2);  // a MOVLW is no RETLW
  r = Pic(std::string("--yes osccal ") + k629 + " --write 0x60");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("osccal ") + k629);
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x3460")) << r.out;
  EXPECT_TRUE(Has(r.out, "Band gap:  0x2000")) << r.out;

  r = Pic(std::string("osccal ") + k508, "d.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x0C24")) << r.out;
  EXPECT_TRUE(Has(r.out, "Backup:    0x0C24")) << r.out;
  r = Pic(std::string("--yes osccal ") + k508 + " --write 0x30", "d.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("osccal ") + k508, "d.bin");
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x0C30")) << r.out;
  EXPECT_TRUE(Has(r.out, "Backup:    0x0C24")) << r.out;

  // The 16F84A keeps no calibration; the 12C508 cannot be written again.
  EXPECT_EQ(Pic(std::string("osccal ") + k84A, "e.bin").rc, 2);
  EXPECT_EQ(Pic("osccal \"12C508/A  (OTP)\"", "f.bin").rc, 2);
}

TEST_F(CliPic, CalibrationWordsKeepTheOneNotWritten) {
  RunResult r = Pic(std::string("calib ") + k684);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "0x2008:    0x2C5F")) << r.out;
  EXPECT_TRUE(Has(r.out, "0x2009:    0x1E9B")) << r.out;
  r = Pic(std::string("calib ") + k684 + " --set-2008 0x2C40");
  EXPECT_EQ(r.rc, 2);  // needs --yes
  r = Pic(std::string("--yes calib ") + k684 + " --set-2008 0x2C40");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("calib ") + k684);
  EXPECT_TRUE(Has(r.out, "0x2008:    0x2C40")) << r.out;
  EXPECT_TRUE(Has(r.out, "0x2009:    0x1E9B")) << r.out;
  r = Pic(std::string("--yes calib ") + k684 + " --set-2008 0x3FFF --set-2009 0x0123");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("--json calib ") + k684);
  EXPECT_TRUE(Has(r.out, "\"0x2008\":\"0x3FFF\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"0x2009\":\"0x0123\"")) << r.out;
  EXPECT_EQ(Pic(std::string("calib ") + k84A, "e.bin").rc, 2);
}

TEST_F(CliPic, IdPrintsTheDeviceIdWindow) {
  RunResult r = Pic(std::string("id ") + k84A);
  ASSERT_EQ(r.rc, 0) << r.err;
  // 16F84A: device ID 0x0560 with revision bits below.
  EXPECT_TRUE(Has(r.out, "Microchip PIC device ID Value (2006h)\nValue:    0x056")) << r.out;
  EXPECT_TRUE(Has(r.out, "\nDevice:   PIC 16F84A\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\nRevision: ")) << r.out;
}

TEST_F(CliPic, MclreFiveVoltIsABoxOnlyFlashPartsHave) {
  WriteWords("fw.bin", 1024);
  EXPECT_EQ(Pic(std::string("program ") + k84A + " fw.bin --mclre-5v").rc, 0);
  WriteWords("otp.bin", 512);
  RunResult r = Pic("--yes program PIC16C620/A otp.bin --mclre-5v", "o.bin");
  EXPECT_EQ(r.rc, 2) << r.err;
}

}  // namespace
}  // namespace cli_test
