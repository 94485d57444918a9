// The wide and firmware-hub flash families from the command line: every
// action through the chip file, their keys, the faults of the simulated
// board, the offset the word families refuse.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
  int rc = -1;
  std::string out, err;
};

class CliWide : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("daraz-cli-wide-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::mt19937 rng(3);
    std::vector<char> bytes(0x2000);
    for (auto& b : bytes) b = static_cast<char>(rng());
    std::ofstream(dir_ / "fw.bin", std::ios::binary).write(bytes.data(), bytes.size());
  }
  void TearDown() override { fs::remove_all(dir_); }

  Result Daraz(const std::string& args) {
    const std::string cmd = "cd '" + dir_.string() + "' && '" DARAZ_CLI "' -p sim " + args +
                            " < /dev/null > out.txt 2> err.txt";
    Result r;
    const int status = std::system(cmd.c_str());
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Read("out.txt");
    r.err = Read("err.txt");
    return r;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  fs::path dir_;
};

TEST_F(CliWide, EveryActionOfAWordAndAHubPartThroughTheChipFile) {
  for (const char* device : {"\"MBM29LV160 -T\"", "\"intel 82802AB\""}) {
    const std::string d = device;
    EXPECT_EQ(Daraz("--sim-chip c.sim erase " + d).rc, 0) << d;
    EXPECT_EQ(Daraz("--sim-chip c.sim blank " + d).rc, 0) << d;
    const Result program = Daraz("--sim-chip c.sim program " + d + " fw.bin");
    EXPECT_EQ(program.rc, 0) << d << program.err;
    EXPECT_TRUE(Has(program.out, "Device Programmed OK")) << program.out;
    EXPECT_EQ(Daraz("--sim-chip c.sim verify " + d + " fw.bin").rc, 0) << d;
    EXPECT_EQ(Daraz("--sim-chip c.sim read " + d + " -o back.bin").rc, 0) << d;
    const std::string back = Read("back.bin");
    const std::string fw = Read("fw.bin");
    ASSERT_GE(back.size(), fw.size()) << d;
    EXPECT_EQ(back.substr(0, fw.size()), fw) << d;
    EXPECT_EQ(Daraz("--sim-chip c.sim id " + d).rc, 0) << d;
    std::filesystem::remove(dir_ / "c.sim");
  }
}

TEST_F(CliWide, KeysFaultsAndTheRefusedOffset) {
  const struct {
    const char* args;
    int rc;
    const char* says;
  } kCases[] = {
      {"program \"MBM29LV160 -T\" fw.bin --fast-mode", 0, "Device Programmed OK"},
      {"program \"M50FW040\" fw.bin --quad", 0, "Device Programmed OK"},
      {"program SST49LF002A fw.bin --smart --rc-time 20", 0, "Device Programmed OK"},
      {"program SST49LF002A fw.bin --rc-time 501", 2, "rc-time"},
      {"--sim-fault stuck:0x11:0:1 program \"39LF/VF800A\" fw.bin", 1, "Error at 0x000010"},
      {"--sim-fault byte-strap program \"MBM29LV160 -T\" fw.bin", 1, "Error at 0x000000"},
      {"--sim-fault locked:0x0 erase \"28F320 J3 \"", 1, "Block Erase Error"},
      {"--sim-fault novpp program \"intel 82802AB\" fw.bin", 1, "Vpp Range Error"},
      {"program \"MBM29LV160 -T\" fw.bin --offset 100", 2, "takes no buffer offset"},
      {"program \"28F800 C3T\" fw.bin --offset 100", 2, "takes no buffer offset"},
  };
  for (const auto& c : kCases) {
    const Result r = Daraz(c.args);
    EXPECT_EQ(r.rc, c.rc) << c.args << ": " << r.err;
    if (c.says != nullptr)
      EXPECT_TRUE(Has(r.out + r.err, c.says)) << c.args << ":\n" << r.out << r.err;
  }
}

}  // namespace
