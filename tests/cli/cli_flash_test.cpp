// The parallel flash families from the command line: every action, their
// keys, the faults and wires of the simulated board, the chip file.
#include "cli_fixture.h"

namespace {

using Result = cli_test::RunResult;

class CliFlash : public cli_test::SimCli {};

TEST_F(CliFlash, EveryActionOfAJedecPartThroughTheChipFile) {
  EXPECT_EQ(Daraz("--sim-chip c.sim erase 29F010").rc, 0);
  Result r = Daraz("--sim-chip c.sim program 29F010 fw.bin");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(Daraz("--sim-chip c.sim verify 29F010 fw.bin").rc, 0);
  EXPECT_EQ(Daraz("--sim-chip c.sim blank 29F010").rc, 1) << "programmed: not empty";
  EXPECT_EQ(Daraz("--sim-chip c.sim read 29F010 -o back.bin").rc, 0);
  EXPECT_EQ(Read("back.bin").substr(0, 0x2000), Read("fw.bin"));
  EXPECT_EQ(Daraz("--sim-chip c.sim program 29F010 fw.bin --fast").rc, 0) << "same bytes again";
  EXPECT_TRUE(Has(Read("c.sim"), "model jedec-flash\ndevice 29F010\n"));
  EXPECT_TRUE(Has(Read("c.sim"), "section protect 8\n"));
}

TEST_F(CliFlash, IdPrintsTheExtraBytes) {
  Result r = Daraz("id 29F040");
  EXPECT_EQ(r.rc, 0);
  EXPECT_TRUE(Has(r.out, "Manufacturer:  0x01  AMD\nDevice:        0xA4  Am29F040\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "Bytes 0-3:     0x01 0xA4 0x00 0x00\n")) << r.out;
  r = Daraz("--json id A29040A");
  EXPECT_TRUE(Has(r.out, "\"manufacturer\":\" AMIC\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"extra\":[\"0x00\",\"0x00\"]")) << r.out;
  r = Daraz("id 29LV400");
  EXPECT_TRUE(Has(r.out, "CFI:          present")) << r.out;
  r = Daraz("id 28F010");
  EXPECT_TRUE(Has(r.out, " 0xB4  28F010")) << r.out;
  EXPECT_FALSE(Has(r.out, "Bytes")) << r.out;
}

TEST_F(CliFlash, KeysOfTheFlashPanels) {
  const struct {
    const char* args;
    int rc;
    const char* shown;
  } kCases[] = {
      {"info 29F002 --temp-unprotect", 0, "temp-unprotect 1"},
      {"info 29F010 --temp-unprotect", 2, nullptr},
      {"info M29F040B --fast-mode", 0, "fast-mode 1"},
      {"info 29F002 --fast-mode", 2, nullptr},
      {"info 28F010 --fast-erase", 0, "fast-erase 1"},
      {"info Am28F010A --fast-erase", 2, nullptr},
      {"info \"28F400 B5- T\" --erase-by-map", 0, "erase-by-map 1"},
      {"info 28F320J3 --no-buffer", 0, "no-buffer 1"},
      {"info 28F320J3", 0, "no-buffer 0"},
      {"info \"28F400 B5- T\" --no-buffer", 2, nullptr},
  };
  for (const auto& c : kCases) {
    const Result r = Daraz(c.args);
    EXPECT_EQ(r.rc, c.rc) << c.args << ": " << r.err;
    if (c.shown != nullptr) {
      std::string compact;  // runs of blanks as one
      for (const char ch : r.out) {
        if (ch != ' ' || compact.empty() || compact.back() != ' ') compact += ch;
      }
      EXPECT_TRUE(Has(compact, c.shown)) << c.args << ":\n" << r.out;
    }
  }
}

TEST_F(CliFlash, FaultsAndWiresOfTheSimulatedBoard) {
  const struct {
    const char* args;
    int rc;
    const char* says;
  } kCases[] = {
      {"--sim-fault stuck:0x10:3:1 program 29F010 fw.bin", 1, "Error at 0x000010"},
      {"--sim-fault protect:0x3C000 program 29F002 fw.bin --offset 3C000 --yes", 1, "Error at"},
      {"--sim-fault protect:0x3C000 program 29F002 fw.bin --offset 3C000 --yes --temp-unprotect", 0,
       nullptr},
      {"--sim-fault nobypass program M29F040B fw.bin --fast-mode", 1, "Error at 0x000000"},
      {"--sim-fault novpp program 28F002BX-T fw.bin", 1, "Vpp Range Error"},
      {"--sim-fault sr4-once:0x20 program 28F002BX-T fw.bin", 0, nullptr},
      {"--sim-fault erase-fail:0x10 erase \"28F400 B5- T\"", 1, "Block Erase Error"},
      {"--sim-fault busy-forever erase Am28F010A", 1, "erase Chip Fail (Time Out)"},
      {"--sim-fault erase-pulses:0x100:4 erase 28F256", 0, nullptr},
      {"--sim-fault slow:0x0:2 erase 28F320J3", 0, nullptr},
      {"program 28F001BX-T fw.bin --offset 1E000 --yes", 1, "Byte Program Error"},
      {"--sim-jumper wirelink program 28F001BX-T fw.bin --offset 1E000 --yes", 0, nullptr},
      {"--sim-fault sr4-once:0x20 program 29F010 fw.bin", 2, "has no fault"},
      // An empty socket: the bus floats at 0xFF, which erase takes for DQ7 and
      // a program for DQ5 on every send.
      {"--sim-fault nochip erase 29F010", 0, "erase completed by check DQ7"},
      {"--sim-fault nochip program 29F010 fw.bin", 1, "Chip = 0xFF"},
  };
  for (const auto& c : kCases) {
    const Result r = Daraz(c.args);
    EXPECT_EQ(r.rc, c.rc) << c.args << ": " << r.err;
    if (c.says != nullptr) {
      EXPECT_TRUE(Has(r.err + r.out, c.says)) << c.args << ": " << r.err;
    }
  }
}

}  // namespace
