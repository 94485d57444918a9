// Runs the real `daraz` binary the way scripts do and checks what it prints
// and how it exits.
#include "cli_fixture.h"

namespace {

using namespace cli_test;

TEST_F(Cli, DevicesListAndFilter) {
  RunResult r = Daraz("devices 27C256");
  EXPECT_EQ(r.rc, 0);
  EXPECT_NE(r.out.find("27C256"), std::string::npos);
  EXPECT_NE(r.out.find("code  204"), std::string::npos);
  EXPECT_EQ(r.out.find("29F010"), std::string::npos);

  r = Daraz("--json devices 27c16");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out.front(), '[');
  EXPECT_NE(r.out.find("\"caption\":\"27C16  (RevK)\""), std::string::npos);
  EXPECT_NE(r.out.find("\"size\":2048"), std::string::npos);
  EXPECT_NE(r.out.find("\"path\":\"EPROM / 27Cxxx\""), std::string::npos);

  r = Daraz("devices no-such-chip-anywhere");
  EXPECT_EQ(r.rc, 2);
}

TEST_F(Cli, InfoShowsDescriptorAndBoardSettings) {
  RunResult r = Daraz("info \"27c16 (revk)\"");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Size:            2048 bytes"), std::string::npos);
  EXPECT_NE(r.out.find("switch pattern 27"), std::string::npos);
  EXPECT_NE(r.out.find("  ON     [#] [#] [ ]"), std::string::npos);

  r = Daraz("--json info M87C256");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("\"family\":33"), std::string::npos);
  EXPECT_NE(r.out.find("\"size\":32768"), std::string::npos);
  EXPECT_NE(r.out.find("\"switch_pattern\":3"), std::string::npos);
  EXPECT_NE(r.out.find("\"switches\":\"110011011000\""), std::string::npos);
  EXPECT_NE(r.out.find("\"jumper\":\"4\""), std::string::npos);

  r = Daraz("--json info 27C1024");
  EXPECT_NE(r.out.find("\"adapter\":\"EPROM 16bit (DIP40)\""), std::string::npos);
}

TEST_F(Cli, ProgramVerifyReadAcrossInvocations) {
  WriteRandom("fw.bin", 32768, 1);
  RunResult r = Daraz("-p sim --sim-chip chip.bin program 27C256 fw.bin");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Device Programmed OK"), std::string::npos);
  EXPECT_TRUE(fs::exists(Path("chip.bin")));

  r = Daraz("-p sim --sim-chip chip.bin verify 27C256 fw.bin");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Device Verify OK"), std::string::npos);

  r = Daraz("-p sim --sim-chip chip.bin read 27C256 -o back.hex");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Chip read OK"), std::string::npos);
  r = Daraz("convert back.hex back.bin --device 27C256");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(Slurp(Path("back.bin")), Slurp(Path("fw.bin")));

  // Another file does not verify against the chip.
  WriteRandom("other.bin", 32768, 2);
  r = Daraz("-p sim --sim-chip chip.bin verify 27C256 other.bin");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find(" Error at 0x000000  Chip = 0x"), std::string::npos);

  // A programmed chip is not blank.
  r = Daraz("-p sim --sim-chip chip.bin blank 27C256");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("Device is NOT Empty"), std::string::npos);
}

TEST_F(Cli, FaultsFailWithTheirTexts) {
  WriteRandom("fw.bin", 8192, 3);
  RunResult r = Daraz("-p sim --sim-fault noboard program 2764 fw.bin");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("Hardware Error :  Check Power && connection"), std::string::npos);

  r = Daraz("-p sim --sim-fault stuck-loopback-1 test");
  EXPECT_EQ(r.rc, 1);

  // A bit stuck at 0 where the file has a 1 can never verify.
  std::ofstream(Path("ones.bin"), std::ios::binary) << std::string(16, '\xFF');
  r = Daraz("-p sim --sim-fault stuck:0x5:3:0 --sim-chip c.bin program 2764 ones.bin");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find(" Error at 0x000005"), std::string::npos);
  EXPECT_EQ(r.out.find("Device Programmed OK"), std::string::npos);

  r = Daraz("-p sim --sim-fault bogus:1 test");
  EXPECT_EQ(r.rc, 2);
}

TEST_F(Cli, ExitCodesOfEachErrorClass) {
  EXPECT_EQ(Daraz("info no-such-device").rc, 2);
  EXPECT_EQ(Daraz("--frobnicate test").rc, 2);
  EXPECT_EQ(Daraz("-p sim program 27C256 missing.bin").rc, 2);
  EXPECT_EQ(Daraz("-p nowhere test").rc, 2);
  EXPECT_EQ(Daraz("--sim-chip x.bin test").rc, 2);  // simulation options need --port sim
  // A parallel port that is not there (raw port I/O is never tried here:
  // as root it would really write to the machine's I/O ports).
  const RunResult dev = Daraz("-p /dev/parport-none test");
  EXPECT_EQ(dev.rc, 3);
  EXPECT_NE(dev.err.find("no such device"), std::string::npos);
  EXPECT_EQ(Daraz("-p sim test").rc, 0);
}

TEST_F(Cli, AmbiguousNameListsCandidates) {
  const RunResult r = Daraz("info 28F");
  EXPECT_EQ(r.rc, 2);
  EXPECT_FALSE(r.err.empty());
}

TEST_F(Cli, QuestionWithoutAnswerRefusedBeforeTheBoard) {
  const RunResult r = Daraz("-p sim --sim-chip chip.bin --trace t.csv read 27C256 --offset 100");
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("--yes"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("chip.bin")));
  EXPECT_FALSE(fs::exists(Path("t.csv")));

  // Answered: the read goes ahead with the offset.
  const RunResult yes = Daraz("-p sim --yes --trace t.csv read 27C256 --offset 100 -o r.bin");
  EXPECT_EQ(yes.rc, 0) << yes.err;
  EXPECT_TRUE(fs::exists(Path("t.csv")));
  EXPECT_EQ(Slurp(Path("t.csv")).rfind("time_ns,port,direction,value\n", 0), 0u);
}

TEST_F(Cli, ConvertRoundTripsAndChecksum) {
  WriteRandom("a.bin", 5000, 4);
  ASSERT_EQ(Daraz("convert a.bin a.hex").rc, 0);
  ASSERT_EQ(Daraz("convert a.hex a.s19").rc, 0);
  ASSERT_EQ(Daraz("convert a.s19 b.bin").rc, 0);
  EXPECT_EQ(Slurp(Path("b.bin")), Slurp(Path("a.bin")));
  EXPECT_EQ(Daraz("convert missing.hex x.bin").rc, 2);

  std::ofstream(Path("ff.bin"), std::ios::binary) << std::string(2048, '\xFF');
  RunResult r = Daraz("checksum \"27C16 (RevK)\" ff.bin");
  EXPECT_EQ(r.rc, 0);
  EXPECT_NE(r.out.find("0xF800\n"), std::string::npos);
  r = Daraz("--json checksum 27C16 ff.bin --crc32");
  EXPECT_NE(r.out.find("\"type\":\"crc32\""), std::string::npos);
}

TEST_F(Cli, InterruptCancelsAtTheNextProgressStep) {
  WriteRandom("big.bin", 4 * 1024 * 1024, 5);
  // A 4 MB part takes seconds to simulate; Ctrl-C arrives long before the end.
  const std::string cmd =
      "cd '" + dir_.string() +
      "' && ('" DARAZ_CLI
      "' -p sim --sim-chip chip.bin program 27C322 big.bin < /dev/null > out.txt "
      "2> err.txt & pid=$!; sleep 0.5; kill -INT $pid; wait $pid)";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(Slurp(Path("err.txt")).find("program interrupted!"), std::string::npos);
  EXPECT_EQ(Slurp(Path("out.txt")).find("Device Programmed OK"), std::string::npos);
  EXPECT_TRUE(fs::exists(Path("chip.bin")));  // the chip's state is still saved
}

TEST_F(Cli, SimulatedBoardIsNamedOnceUnlessQuiet) {
  RunResult r = Daraz("-p sim test");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(Count(r.err, "note: simulated board\n"), 1u) << r.err;
  // The run ends with what it would take on the real board.
  EXPECT_EQ(Count(r.out, "simulated"), 1u);
  EXPECT_NE(r.out.find(" on a real board\n"), std::string::npos) << r.out;

  EXPECT_EQ(Daraz("-q -p sim test").err.find("simulated"), std::string::npos);
  r = Daraz("--json -p sim id 29F010");
  EXPECT_EQ(Count(r.err, "note: simulated board\n"), 1u) << r.err;
  EXPECT_EQ(r.out.find("simulated"), std::string::npos);
  // No board, no note.
  EXPECT_EQ(Daraz("info 27C256").err.find("simulated"), std::string::npos);
}

TEST_F(Cli, SetKeysAndTheirShorthands) {
  RunResult r = Daraz("info 27C256 --twc=40 --set twp=0x0A");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("  twc        40       (default 20)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  twp        10       (default 140)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  skip-ff    0        (default 0)"), std::string::npos) << r.out;

  r = Daraz("--json info 27C256 --skip-ff --twc 7");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("{\"key\":\"twc\",\"controls\":[\"tbTWC\"],\"kind\":\"track bar\",\"min\":1,"
                       "\"max\":30000,\"value\":7,\"default\":20,"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("{\"key\":\"skip-ff\",\"controls\":[\"cbSkip_0xFF\"],\"kind\":\"check "
                       "box\",\"min\":0,\"max\":1,\"value\":1,\"default\":0,"),
            std::string::npos)
      << r.out;
  // Skip Write 0xFF reaches the routine: a file of 0xFF is never pulsed.
  std::ofstream(Path("ff.bin"), std::ios::binary) << std::string(32768, '\xFF');
  r = Daraz("-p sim --trace all.csv program 27C256 ff.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --trace skip.csv program 27C256 ff.bin --skip-ff");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_LT(Count(Slurp(Path("skip.csv")), "\n") * 2, Count(Slurp(Path("all.csv")), "\n"));

  const struct {
    const char* args;
    const char* error;
  } kRefused[] = {
      {"info 27C256 --twc=0", "twc must be a number from 1 to 30000"},
      {"info 27C256 --twc", "twc needs a value"},
      {"-p sim read 24C02 --twc=5", "tbTWC"},
      {"-p sim read \"D8748H  Vpp= 21V\" --skip-ff", "cbSkip_0xFF"},
      {"-p sim read 27C256 --bogus", "--bogus"},
      {"--skip-ff test", "unknown option --skip-ff"},
  };
  for (const auto& c : kRefused) {
    r = Daraz(c.args);
    EXPECT_EQ(r.rc, 2) << c.args;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << c.args << ": " << r.err;
  }
  r = Daraz("read --help");
  EXPECT_NE(r.out.find("twc=1..30000"), std::string::npos);
}

TEST_F(Cli, FaultAndJumperTables) {
  RunResult r = Daraz("--help");
  EXPECT_NE(r.out.find("flaky:ADDR:READS"), std::string::npos);
  EXPECT_NE(r.out.find("loopback-inverted"), std::string::npos);
  EXPECT_NE(r.out.find("wirelink"), std::string::npos);

  r = Daraz("-p sim --sim-fault loopback-inverted test");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("Hardware Error"), std::string::npos);

  const struct {
    const char* args;
    const char* error;
  } kRefused[] = {
      {"-p sim --sim-fault weak:-1:3 test", "ADDR must be"},
      {"-p sim --sim-jumper nope test", "the jumpers: erase, wirelink"},
      {"--sim-jumper erase test", "need --port sim"},
  };
  for (const auto& c : kRefused) {
    r = Daraz(c.args);
    EXPECT_EQ(r.rc, 2) << c.args;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << c.args << ": " << r.err;
  }
  EXPECT_EQ(Daraz("-p sim --sim-jumper erase --sim-jumper wirelink blank 27C256").rc, 0);
}

TEST_F(Cli, SimulatedChipFile) {
  WriteRandom("fw.bin", 32768, 6);
  ASSERT_EQ(Daraz("-p sim --sim-chip chip.sim program 27C256 fw.bin").rc, 0);
  const std::string file = Slurp(Path("chip.sim"));
  EXPECT_EQ(file.rfind("daraz-sim-chip 1\nmodel ", 0), 0u);
  EXPECT_NE(file.find("\ndevice 27C256\nsection cells 32768\n"), std::string::npos);

  // A plain file of cells, as older versions wrote, still loads.
  std::filesystem::copy_file(Path("fw.bin"), Path("old.bin"));
  EXPECT_EQ(Daraz("-p sim --sim-chip old.bin verify 27C256 fw.bin").rc, 0);
  EXPECT_EQ(Slurp(Path("old.bin")).rfind("daraz-sim-chip 1\n", 0), 0u);  // saved anew

  // Another device's chip does not go into this socket unasked.
  RunResult r = Daraz("-p sim --sim-chip chip.sim read 27C512");
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("holds a 27C256"), std::string::npos) << r.err;
  EXPECT_EQ(Daraz("-p sim --sim-chip chip.sim --sim-device 27C256 verify 27C256 fw.bin").rc, 0);

  // A damaged file is refused and left as it was.
  const std::string damaged = file.substr(0, file.size() - 100);
  std::ofstream(Path("bad.sim"), std::ios::binary) << damaged;
  r = Daraz("-p sim --sim-chip bad.sim program 27C256 fw.bin");
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("truncated"), std::string::npos) << r.err;
  EXPECT_EQ(Slurp(Path("bad.sim")), damaged);
}

}  // namespace
