// The PIC front door at the edges of what it takes: a configuration byte
// of 0x00, the OSCCAL byte up to 0xFF and no further, the 16F636's
// calibration words, the PIC faults a part can and cannot have.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"

namespace cli_test {
namespace {

constexpr char k629[] = "\"PIC 12F629\"";
constexpr char k508[] = "PIC12F508";
constexpr char k636[] = "\"PIC 16F636\"";
constexpr char k84A[] = "\"PIC 16F84A  (P 5mS)\"";

class CliPicEdges : public SimCli {
 protected:
  RunResult Pic(const std::string& args, const std::string& chip = "c.bin") {
    return Daraz("--sim-chip " + chip + " " + args);
  }
};

// 0x00 is a byte like any other: it reaches the image and the chip.
TEST_F(CliPicEdges, ConfigByteZeroIsTakenAndWritten) {
  RunResult r = Daraz(
      "--json info 18F4620 --set config-byte=1=0x08 --set config-byte=2=0x1F "
      "--set config-byte=3=0x00");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "\",\"0x08\",\"0x1F\",\"0x00\",\"")) << r.out;

  Write("fw.bin", std::string(16, '\x55'));
  r = Pic("program 18F4620 fw.bin --set config-byte=3=0x00");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  r = Pic("read 18F4620 -o back.hex");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  // CONFIG1L .. CONFIG2H at 0x300000: CONFIG2H (watchdog) all clear.
  const std::string back = Read("back.hex");
  const size_t at = back.find(":0E000000");
  ASSERT_NE(at, std::string::npos) << back;
  EXPECT_EQ(back.substr(at + 15, 2), "00") << back.substr(at, 40);
}

// --write takes a byte 0x00..0xFF (the instruction is the part's own) or
// the whole instruction word; anything else is refused before the chip is
// touched.
TEST_F(CliPicEdges, OsccalWriteTakesOneByteUpToFF) {
  RunResult r = Pic(std::string("--yes osccal ") + k629 + " --write 0xFF");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("osccal ") + k629);
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x34FF")) << r.out;
  r = Pic(std::string("--yes osccal ") + k629 + " --write 0x00");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("osccal ") + k629);
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x3400")) << r.out;
  for (const char* value : {"0x100", "0x1FF", "0x3500", "0x2400"}) {
    SCOPED_TRACE(value);
    r = Pic(std::string("--yes osccal ") + k629 + " --write " + value);
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Has(r.err, "--write takes 0x00..0xFF or a RETLW word 0x34xx")) << r.err;
  }
  r = Pic(std::string("osccal ") + k629);
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x3400")) << r.out;

  r = Pic(std::string("--yes osccal ") + k508 + " --write 0xFF", "d.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Pic(std::string("osccal ") + k508, "d.bin");
  EXPECT_TRUE(Has(r.out, "OSCCAL:    0x0CFF")) << r.out;
  for (const char* value : {"0x100", "0x0D00", "0x1C00"}) {
    SCOPED_TRACE(value);
    r = Pic(std::string("--yes osccal ") + k508 + " --write " + value, "d.bin");
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Has(r.err, "--write takes 0x00..0xFF or a MOVLW word 0x0Cxx")) << r.err;
  }
}

// The 16F636 keeps two calibration words like the 16F684.
TEST_F(CliPicEdges, SixteenF636HasCalibrationWords) {
  RunResult r = Pic(std::string("calib ") + k636);
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "2C5F")) << r.out;
  EXPECT_TRUE(Has(r.out, "1E9B")) << r.out;
  r = Pic(std::string("--yes calib ") + k636 + " --set-2009 0x1E90");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  r = Pic(std::string("--json calib ") + k636);
  EXPECT_TRUE(Has(r.out, "2C5F")) << r.out;
  EXPECT_TRUE(Has(r.out, "1E90")) << r.out;
}

// "cp" reaches the 14-bit part (its words then read 0); a PIC18 fault is
// refused on it, and a 14-bit fault on the 12-bit core.
TEST_F(CliPicEdges, PicFaultsWhereTheyApply) {
  Write("fw.bin", std::string("\x34\x12", 2));
  RunResult r = Pic(std::string("program ") + k84A + " fw.bin --config 0x3FF1");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  r = Pic(std::string("verify ") + k84A + " fw.bin");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
  r = Pic(std::string("--sim-fault cp verify ") + k84A + " fw.bin");
  EXPECT_EQ(r.rc, 1) << r.out << r.err;
  EXPECT_TRUE(Has(r.out + r.err, "Error verifying PIC")) << r.out << r.err;

  for (const char* fault : {"eeprom-wr-stuck", "short-p9", "mclre-off"}) {
    SCOPED_TRACE(fault);
    r = Daraz(std::string("--sim-fault ") + fault + " verify " + k84A + " fw.bin");
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Has(r.err, std::string("the simulated chip has no fault \"") + fault + "\""))
        << r.err;
  }
  r = Daraz(std::string("--sim-fault cp blank ") + k508);
  EXPECT_EQ(r.rc, 2);
  r = Daraz("--sim-fault eeprom-wr-stuck blank PIC18F452");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
}

}  // namespace
}  // namespace cli_test
