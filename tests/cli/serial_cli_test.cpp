// The serial memories through the command line: the panel keys, the chip
// file carrying the status register, identification and erase of SPI flash.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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
  std::string out, err;
};

class SerialCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("daraz-serial-cli-" + std::to_string(::getpid()) + "-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  Outcome Daraz(const std::string& args) {
    const std::string cmd = "cd '" + dir_.string() + "' && '" DARAZ_CLI "' " + args +
                            " < /dev/null > out.txt 2> err.txt";
    const int status = std::system(cmd.c_str());
    Outcome r;
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir_ / "out.txt");
    r.err = Slurp(dir_ / "err.txt");
    return r;
  }
  void WriteRandom(const std::string& name, size_t size) {
    std::mt19937 rng(5);
    std::vector<char> bytes(size);
    for (auto& b : bytes) b = static_cast<char>(rng());
    std::ofstream(dir_ / name, std::ios::binary).write(bytes.data(), bytes.size());
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  fs::path dir_;
};

TEST_F(SerialCli, ProtectionGoesIntoTheChipAndComesBackOnRead) {
  WriteRandom("d.bin", 2048);
  Outcome r =
      Daraz("-p sim --sim-chip c.sim program \"25x160  (32)\" d.bin --block-protect half --wpen");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Device Programmed OK"));
  r = Daraz("-p sim --sim-chip c.sim read \"25x160  (32)\" -o r.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Protection: 400h - 7FFh, WPEN set (status register 0x88)")) << r.out;
  EXPECT_EQ(Slurp(dir_ / "r.bin"), Slurp(dir_ / "d.bin"));

  r = Daraz("-p sim --sim-fault write-time:10 program \"25x160  (32)\" d.bin");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(Has(r.err, " Error at 0x")) << r.err;
  r = Daraz("-p sim program 24C02 d.bin --allow-outside --wp");
  EXPECT_EQ(r.rc, 1);
  r = Daraz("-p sim --sim-fault nack read 24C02");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(Has(r.err, "No ACK Device Command")) << r.err;
  r = Daraz("-p sim read 24C02 --org 16");
  EXPECT_EQ(r.rc, 2);
  EXPECT_TRUE(Has(r.err, "rb93_16bit")) << r.err;
}

TEST_F(SerialCli, FlashIdentificationAndErase) {
  Outcome r = Daraz("-p sim --json id MX25L4005");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "\"device\":\" MX25L4005A\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"status_register\":\" 0x00\"")) << r.out;
  r = Daraz("-p sim erase MX25L4005");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "erase completed by check DQ0")) << r.out;
  r = Daraz("read --help");
  EXPECT_TRUE(Has(r.out, "block-protect=none|quarter|half|all")) << r.out;
  EXPECT_TRUE(Has(r.out, "org=8|16")) << r.out;
}

}  // namespace
