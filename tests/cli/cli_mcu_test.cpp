// The microcontroller commands and options of `daraz`, run as scripts run
// them: lock, fuse, lockbits, the MCS-51 keys, the signature and the chip
// faults.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cli_fixture.h"

namespace {

using cli_test::RunResult;
using cli_test::Slurp;

constexpr char kC52[] = "\"AT89C/LV52 (8KB)\"";
constexpr char kS51[] = "\"AT89S/LS51 (4KB)\"";
constexpr char kS8252[] = "\"AT89S/LS8252 (8K+2K)\"";
constexpr char kS8253[] = "\"AT89S/LS8253 (12K+2K)\"";

class CliMcu : public cli_test::Cli {};

TEST_F(CliMcu, LockThenReadTheLockBitsAcrossInvocations) {
  RunResult r = Daraz(std::string("-p sim --sim-chip c.bin lock ") + kS51 + " --lock 2");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Device LockBit")) << r.out;
  r = Daraz(std::string("--json -p sim --sim-chip c.bin lockbits ") + kS51);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "{\"text\":\" Bit 1,2,3 (D2,3,4) = 110\",\"value\":12}\n");
  r = Daraz("-p sim lockbits AT89C2051");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Lock bits: Chip can not read Lock bit..")) << r.out;
}

TEST_F(CliMcu, TheFamilyRefusesValuesItDoesNotTake) {
  struct Case {
    std::string args;
    std::string error;
  };
  const Case cases[] = {
      {"lock AT89C2051 --lock 3", "--lock 3 is not a value this device takes"},
      {std::string("lock ") + kC52 + " --lock 4", "--lock 4 is not a value"},
      {"lock 27C256 --lock 1", "has no lock bits"},
      {std::string("fuse ") + kS8252 + " --value 2", "--value 2 is not a value"},
      {std::string("fuse ") + kC52 + " --value 1", "has no fuses"},
      {"lockbits 27C256", "has no lock bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Daraz("-p sim " + c.args);
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Has(r.err, c.error)) << r.err;
  }
  // --json gets the refusal as every other command's error.
  const RunResult r = Daraz("--json -p sim lock AT89C2051 --lock 3");
  EXPECT_EQ(r.rc, 2);
  EXPECT_EQ(r.out,
            "{\"error\":\"--lock 3 is not a value this device takes (0 no lock bit, 1 lock bit "
            "1, 2 lock bits 1+2)\",\"exit\":2}\n");
}

TEST_F(CliMcu, FuseAndOptionBytes) {
  RunResult r = Daraz(std::string("-p sim --sim-chip f.bin fuse ") + kS8253 + " --value 13");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(Slurp(dir_ / "f.bin"), std::string("section option 1\n\x0D", 18)));
  r = Daraz(std::string("-p sim fuse ") + kS8252 + " --value 1");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Device Disable Func. SPI")) << r.out;
}

TEST_F(CliMcu, ProgramWithTheKeysAndIdentify) {
  WriteRandom("fw.bin", 8192, 3);
  RunResult r = Daraz(std::string("-p sim --sim-chip c.bin program ") + kC52 +
                      " fw.bin --auto-erase --auto-lock --lock 1");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Device Programmed & Lock bit")) << r.out;
  r = Daraz(std::string("-p sim --sim-chip c.bin verify ") + kC52 + " fw.bin");
  EXPECT_EQ(r.rc, 0) << r.err;  // lock bit 1 leaves the code readable

  r = Daraz("--json -p sim id AT89C2051");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "\"device\":\" AT89C2051\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"signature\":\"1E 21 FF\"")) << r.out;

  r = Daraz(std::string("--json info ") + kC52);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out,
                  "\"mcs51\":{\"at89S\":0,\"tWP\":5,\"tWC\":1600,\"Pulses\":1,\"type\":40,"
                  "\"tWPb\":10,\"tWPe\":25000,\"ird_lbit\":0,\"tErase\":0,\"LockBit\":0,"
                  "\"sig_Lbit\":0}"))
      << r.out;
}

TEST_F(CliMcu, ChipFaultsAreDetected) {
  WriteRandom("fw.bin", 2048, 4);
  ASSERT_EQ(Daraz("-p sim --sim-chip c.bin program AT89C2051 fw.bin").rc, 0);
  struct Case {
    std::string args;
    std::string text;
  };
  const Case cases[] = {
      {"--sim-fault adapter-swap verify AT89C2051 fw.bin", " Error at 0x"},
      {"--sim-fault lockbits:2 verify AT89C2051 fw.bin", " Error at 0x000000"},
      {"--sim-fault lockbits:2 blank AT89C2051", "Device is NOT Empty ($0000)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Daraz("-p sim --sim-chip c.bin " + c.args);
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Has(r.out + r.err, c.text)) << r.out << r.err;
  }
  for (const char* fault : {"rom", "never:0x10"}) {
    SCOPED_TRACE(fault);
    const RunResult r =
        Daraz(std::string("-p sim --sim-fault ") + fault + " program " + kC52 + " fw.bin");
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Has(r.out + r.err, " Error at 0x")) << r.out << r.err;
  }
  // The new adapter's board, told so, programs and verifies.
  EXPECT_EQ(Daraz("-p sim --sim-chip n.bin program AT89C2051 fw.bin --new-adapter").rc, 0);
  EXPECT_EQ(Daraz("-p sim --sim-chip n.bin verify AT89C2051 fw.bin --new-adapter").rc, 0);
}

}  // namespace
