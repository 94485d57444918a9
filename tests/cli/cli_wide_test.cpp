// The wide and firmware-hub flash families from the command line: every
// action through the chip file, their keys, the faults of the simulated
// board, the offset the word families refuse.
#include "cli_fixture.h"

namespace {

using Result = cli_test::RunResult;

class CliWide : public cli_test::SimCli {};

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
    std::filesystem::remove(Path("c.sim"));
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
    if (c.says != nullptr) {
      EXPECT_TRUE(Has(r.out + r.err, c.says)) << c.args << ":\n" << r.out << r.err;
    }
  }
}

}  // namespace
