// The command line for the parallel EEPROMs, the sector-write flash, the
// electrically erasable EPROMs and the RAMs: their keys, commands and
// faults, run through the real binary.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int rc = -1;
  std::string out;
  std::string err;
  bool Says(const std::string& text) const {
    return out.find(text) != std::string::npos || err.find(text) != std::string::npos;
  }
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EepromCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("daraz-cli-eeprom-" + std::to_string(::getpid()) + "-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs daraz in the test's folder; stdin is not a terminal.
  Outcome Daraz(const std::string& args) {
    const std::string cmd = "cd '" + dir_.string() + "' && '" DARAZ_CLI "' " + args +
                            " < /dev/null > out.txt 2> err.txt";
    Outcome r;
    const int status = std::system(cmd.c_str());
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir_ / "out.txt");
    r.err = Slurp(dir_ / "err.txt");
    return r;
  }
  void WriteRandom(const std::string& name, size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<char> bytes(size);
    for (auto& b : bytes) b = static_cast<char>(rng());
    std::ofstream(dir_ / name, std::ios::binary).write(bytes.data(), bytes.size());
  }
  fs::path Path(const std::string& name) const { return dir_ / name; }

  fs::path dir_;
};

TEST_F(EepromCli, PageWriteTakesNoOffsetAndKeepsProtectionInTheChipFile) {
  WriteRandom("fw.bin", 300, 1);
  Outcome r = Daraz("-p sim program \"AT28C256 (64)\" fw.bin --offset 100");
  EXPECT_EQ(r.rc, 2);
  EXPECT_TRUE(r.Says("takes no buffer offset"));

  r = Daraz(
      "-p sim --sim-chip at.chip --sim-fault sdp-on --sim-fault write-time:5 program "
      "\"AT28C256 (64)\" fw.bin");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(r.Says("Device Programmed OK"));
  // The protected write leaves the protection on, in the file.
  EXPECT_NE(Slurp(Path("at.chip")).find(std::string("section sdp 1\n\1", 15)), std::string::npos);
  r = Daraz("-p sim --sim-chip at.chip verify \"AT28C256 (64)\" fw.bin");
  EXPECT_EQ(r.rc, 0) << r.err;

  r = Daraz(
      "-p sim --sim-chip at.chip --sim-fault write-time:5 program \"AT28C256 (64)\" "
      "fw.bin --sdp-off --page-size 128");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_NE(Slurp(Path("at.chip")).find(std::string("section sdp 1\n\0", 15)), std::string::npos);
}

TEST_F(EepromCli, KeysBelongToTheirPanel) {
  Outcome r = Daraz("info \"AT28C256 (64)\" --page-size 128 --byte-write");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("page-size")) << r.out;
  r = Daraz("info \"AT28C256 (64)\" --page-size 100");
  EXPECT_EQ(r.rc, 2);
  EXPECT_TRUE(r.Says("page-size must be one of 64, 128, 256, 512, 1024, 2048"));
  // The sector-write parts have neither protection box.
  r = Daraz("info AT29C010 --sdp-off");
  EXPECT_EQ(r.rc, 2);
  r = Daraz("info AT29C010 --byte-write");
  EXPECT_EQ(r.rc, 2);
}

TEST_F(EepromCli, ChipEraseThatNeverEndsFails) {
  Outcome r = Daraz("-p sim --sim-fault erase-cycles:0 erase AT29C010");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.Says("erase Chip Fail (Time Out)"));
  r = Daraz("-p sim erase AT29C010");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("erase completed by check DQ7"));
}

TEST_F(EepromCli, IdShowsTheLockoutBytes) {
  Outcome r = Daraz("-p sim --json id AT29C010");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("\"device\":\" AT29C010A\""));
  EXPECT_TRUE(r.Says("\"extra\":[\"0xFE\",\"0xFE\"]"));
}

TEST_F(EepromCli, RamTestAndItsFaults) {
  Outcome r = Daraz("-p sim ramtest \"6116 2KB\"");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("Device Test OK"));
  r = Daraz("-p sim program \"62256 32KB\"");  // no file: the test
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("Device Test OK"));
  r = Daraz("-p sim --sim-fault alias:A5:A4 ramtest \"6116 2KB\"");
  EXPECT_EQ(r.rc, 1);
  EXPECT_FALSE(r.Says("Device Test OK"));
  r = Daraz("-p sim ramtest \"DS1220 2KB\"");
  EXPECT_EQ(r.rc, 2);
  r = Daraz("-p sim program 28C256");
  EXPECT_EQ(r.rc, 2);
  EXPECT_TRUE(r.Says("program needs a FILE"));
}

TEST_F(EepromCli, GuidedEraseAsksItsStepsOrRunsFastErase) {
  // Nobody to answer the steps: refused before the board is touched.
  Outcome r = Daraz("-p sim erase \"W27x512 (Vpe 14V)\"");
  EXPECT_EQ(r.rc, 2);
  EXPECT_TRUE(r.Says("asks its steps"));
  EXPECT_FALSE(r.Says("Hardware present"));
  // --no: the first step is declined.
  r = Daraz("-p sim --no erase \"W27x512 (Vpe 14V)\"");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.Says("stopped at step 1 of 2"));
  // --yes: FastErase, no steps. The erase jumpers only when fitted.
  WriteRandom("w.bin", 4096, 7);
  r = Daraz("-p sim --sim-chip w.chip program \"W27x512 (Vpe 14V)\" w.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --sim-chip w.chip --yes erase \"W27x512 (Vpe 14V)\"");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.Says("Device Erase False"));
  r = Daraz("-p sim --sim-chip w.chip --yes --sim-jumper erase erase \"W27x512 (Vpe 14V)\"");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("Device Erase OK"));
  r = Daraz("-p sim --sim-chip w.chip blank \"W27x512 (Vpe 14V)\"");
  EXPECT_EQ(r.rc, 0) << r.err;
}

TEST_F(EepromCli, EraseWithPromptsWaitsForTheJumpers) {
  Outcome r = Daraz("-p sim --sim-jumper erase erase \"SST37VF010  (Vpe 12V)\"");
  EXPECT_EQ(r.rc, 2);  // the first box needs an answer
  r = Daraz("-p sim --yes --sim-jumper erase erase \"SST37VF010  (Vpe 12V)\"");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(r.Says("Device Erase OK"));
  EXPECT_TRUE(r.Says("Move Jumper for erase W27Exxx and Setting Vpp 12.75V"));
}

TEST_F(EepromCli, NvramForgetsWithADeadBattery) {
  WriteRandom("nv.bin", 2048, 4);
  Outcome r = Daraz("-p sim program \"DS1220 2KB\" nv.bin");
  EXPECT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --sim-fault battery-dead program \"DS1220 2KB\" nv.bin");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.Says(" Error at 0x000000  Chip = 0x"));
}

TEST_F(EepromCli, Mx26ProgramsAndErasesByCommand) {
  WriteRandom("mx.bin", 5000, 9);
  Outcome r = Daraz("-p sim --sim-chip mx.chip program MX26C1000 mx.bin");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(r.Says("Device Programmed OK"));
  r = Daraz("-p sim --sim-chip mx.chip verify MX26C1000 mx.bin");
  EXPECT_EQ(r.rc, 0) << r.err;
  // An offset is not asked for (a "no" would stop the erase): the erase
  // verifies the whole part.
  r = Daraz(
      "-p sim --sim-chip mx.chip --sim-fault erase-pulses:0x1000:2 --no erase MX26C1000 "
      "--offset 0x100");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(r.Says("Erase Completed"));
  r = Daraz("-p sim --sim-chip mx.chip blank MX26C1000");
  EXPECT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --sim-fault stuck:0x10:0:0 erase MX26C1000");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.Says("Error erasing chip"));
  r = Daraz("-p sim --sim-fault stuck:0x10:0:1 program MX26C2000 mx.bin");
  EXPECT_EQ(r.rc, 1);
  EXPECT_FALSE(r.Says("Device Programmed OK"));
}

}  // namespace
