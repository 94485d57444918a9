// `daraz board-test` on the simulated board: the automatic part alone, the
// guided part answered by the board, the JSON results, and Vpp kept off
// until the socket is confirmed empty.
#include <sstream>

#include "cli_fixture.h"

namespace cli_test {
namespace {

class BoardTestCli : public Cli {};

TEST_F(BoardTestCli, TheAutomaticPartFindsTheReadPathFaults) {
  RunResult r = Daraz("-p sim board-test 27C256 --auto");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("nothing found"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Guided part"), std::string::npos);

  r = Daraz("-p sim --sim-fault swap:D3:D5 --json board-test 27C256 --auto");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.out.find("\"automatic\":[\"data bit 3 reads as bit 5: check the wiring between the "
                       "port's pin 5 and the read register\""),
            std::string::npos)
      << r.out;
}

TEST_F(BoardTestCli, TheGuidedPartNamesTheDeadLineAndKeepsVppOffWithoutConfirmation) {
  RunResult r = Daraz("-p sim --sim-fault dead-line:A7 --trace t.csv --json board-test 27C256");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.out.find("{\"step\":\"Address line A7\",\"pin\":3,\"name\":\"A7\",\"level\":\"high\","
                       "\"result\":\"fail\"}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"step\":\"Vpp (socket empty)\",\"pin\":1,\"name\":\"VPP\",\"level\":"
                       "\"high\",\"result\":\"skip\""),
            std::string::npos)
      << r.out;
  EXPECT_EQ(Count(r.out, "\"result\":\"fail\""), 1u);
  // Control register writes (port 0x37A) never clear bit 0, the Vpp switch.
  std::istringstream trace(Slurp(Path("t.csv")));
  std::string line;
  int control_writes = 0;
  while (std::getline(trace, line)) {
    if (line.find(",0x37A,out,") == std::string::npos) continue;
    ++control_writes;
    const int value = std::stoi(line.substr(line.rfind(',') + 1), nullptr, 16);
    EXPECT_EQ(value & 1, 1) << line;
  }
  EXPECT_GT(control_writes, 50);

  r = Daraz("-p sim --yes board-test 27C256");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Summary: 27 passed, 0 failed, 0 skipped"), std::string::npos) << r.out;
}

TEST_F(BoardTestCli, APartWithoutAPinMapStillGetsTheAutomaticPart) {
  const RunResult r = Daraz("-p sim board-test 27C1024");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.out.find("Automatic part"), std::string::npos);
  EXPECT_NE(r.err.find("knows no pin map"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace cli_test
