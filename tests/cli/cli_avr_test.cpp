// The AVR commands and options of `daraz`: program and verify with
// --eeprom, read with --eeprom-out, lock and fuse, id with the lock byte,
// the chip faults.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cli_fixture.h"

namespace {

using cli_test::RunResult;
using cli_test::Slurp;

constexpr char k2313[] = "\"AT90S2313   DIP20\"";

class CliAvr : public cli_test::Cli {};

// Four EEPROM bytes 11 22 33 44 at address 0.
constexpr char kEep[] = ":040000001122334452\n:00000001FF\n";

TEST_F(CliAvr, FlashAndEepromFilesRoundTrip) {
  WriteRandom("fw.bin", 2048, 5);
  std::ofstream(dir_ / "data.eep") << kEep;
  RunResult r =
      Daraz(std::string("-p sim --sim-chip c.bin program ") + k2313 + " fw.bin --eeprom data.eep");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Device Verify OK")) << r.out;
  r = Daraz(std::string("-p sim --sim-chip c.bin verify ") + k2313 + " fw.bin --eeprom data.eep");
  EXPECT_EQ(r.rc, 0) << r.err;
  r = Daraz(std::string("-p sim --sim-chip c.bin read ") + k2313 +
            " -o back.bin --eeprom-out back.eep");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(Slurp(dir_ / "back.bin"), Slurp(dir_ / "fw.bin"));
  const std::string eep = Slurp(dir_ / "back.eep");
  EXPECT_EQ(eep.substr(0, 44), ":1000000011223344FFFFFFFFFFFFFFFFFFFFFFFF52\r") << eep;
  // Eight records of 16 bytes: the part's 128.
  EXPECT_TRUE(Has(eep, ":10007000")) << eep;
  EXPECT_FALSE(Has(eep, ":10008000")) << eep;
  // Another EEPROM image no longer verifies.
  std::ofstream(dir_ / "other.eep") << ":0100000055AA\n:00000001FF\n";
  r = Daraz(std::string("-p sim --sim-chip c.bin verify ") + k2313 + " fw.bin --eeprom other.eep");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(Has(r.out + r.err, " Error at 0x040000  Chip = 0x11  buffer = 0x55"))
      << r.out << r.err;
}

TEST_F(CliAvr, LockModeThreeShowsInIdAndStopsTheVerify) {
  WriteRandom("fw.bin", 2048, 6);
  ASSERT_EQ(Daraz(std::string("-p sim --sim-chip c.bin program ") + k2313 + " fw.bin").rc, 0);
  RunResult r = Daraz(std::string("-p sim --sim-chip c.bin lock ") + k2313 + " --lock 3");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Device AVR Lock Bits")) << r.out;
  r = Daraz(std::string("--json -p sim --sim-chip c.bin id ") + k2313);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "\"device\":\" AT90S2313\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"signature\":\"1E 91 01\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"lock_byte\":\" 0x3F\",\"lock_mode\":\" Lockbit Mode 3\"")) << r.out;
  r = Daraz(std::string("-p sim --sim-chip c.bin verify ") + k2313 + " fw.bin");
  EXPECT_EQ(r.rc, 1);
  // The erase clears the lock bits.
  ASSERT_EQ(Daraz(std::string("-p sim --sim-chip c.bin erase ") + k2313).rc, 0);
  r = Daraz(std::string("-p sim --sim-chip c.bin id ") + k2313);
  EXPECT_TRUE(Has(r.out, "Lockbit Mode 1")) << r.out;
}

TEST_F(CliAvr, LockAndFuseValuesTheFamilyTakes) {
  struct Case {
    std::string args;
    int rc;
    std::string text;
  };
  const Case cases[] = {
      {std::string("lock ") + k2313 + " --lock 0", 2, "--lock 0 is not a value"},
      {std::string("lock ") + k2313 + " --lock 4", 2, "--lock 4 is not a value"},
      // Bits 6 and 7 have no box; the AT90S2313 has no CKSEL fuses.
      {std::string("fuse ") + k2313 + " --value 0x3F", 2, "--value 63 is not a value"},
      {std::string("fuse ") + k2313 + " --value 0xFD", 2, "--value 253 is not a value"},
      {std::string("fuse ") + k2313 + " --value 0xDE", 0, "Device AVR Fuse Bits"},
      {"fuse \"AT90S4433   DIP28\" --value 0xE6", 0, "Device AVR Fuse Bits"},
      {"program 27C256 fw.bin --eeprom data.eep", 2, "--eeprom is for the AVR parts"},
  };
  WriteRandom("fw.bin", 1024, 7);
  std::ofstream(dir_ / "data.eep") << kEep;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Daraz("-p sim " + c.args);
    EXPECT_EQ(r.rc, c.rc);
    EXPECT_TRUE(Has(r.out + r.err, c.text)) << r.out << r.err;
  }
  const RunResult r = Daraz(std::string("-p sim --sim-chip f.bin fuse ") + k2313 + " --value 0xDE");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(Has(Slurp(dir_ / "f.bin"), std::string("section fuses 1\n\xDE", 17)));
}

// The panel's lock mode and fuse boxes as keys: `info` shows each key's
// value after --set beside the selection's default.
TEST_F(CliAvr, LockModeAndFuseBoxKeys) {
  RunResult r = Daraz(
      "--json info \"AT90S4433   DIP28\" --set avr-lock=3 --avr-fuse-bit=2=0 --set "
      "avr-fuse-bit=5=0");
  ASSERT_EQ(r.rc, 0) << r.err;
  const auto key = [&](const std::string& name) {
    const size_t at = r.out.find("\"key\":\"" + name + "\"");
    return at == std::string::npos ? std::string() : r.out.substr(at, r.out.find('}', at) - at);
  };
  EXPECT_TRUE(Has(key("avr-lock"), "\"value\":3,\"default\":1")) << r.out;
  EXPECT_TRUE(Has(key("avr-fuse-bit"), "\"value\":\"0=1 1=1 2=0 3=1 4=1 5=0\"")) << r.out;
  EXPECT_TRUE(Has(key("avr-fuse-bit"), "\"default\":\"0=1 1=1 2=1 3=1 4=1 5=1\"")) << r.out;

  struct Case {
    std::string args;
    std::string text;
  };
  // The AT90S2313 has no CKSEL2 box; lock modes run from 1 to 3.
  const Case refused[] = {
      {std::string("info ") + k2313 + " --set avr-fuse-bit=2=0", "cbFbit2"},
      {std::string("info ") + k2313 + " --avr-lock=4", "avr-lock"},
      {"info 27C256 --set avr-lock=2", "rbAVRm1"},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.args);
    r = Daraz(c.args);
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Has(r.err, c.text)) << r.err;
  }
}

TEST_F(CliAvr, ChipFaultsAreDetected) {
  WriteRandom("fw.bin", 2048, 8);
  std::ofstream(dir_ / "data.eep") << kEep;
  struct Case {
    std::string fault;
    std::string text;
  };
  const Case cases[] = {
      {"lockbits:3", " Error at 0x000000  Chip = 0x0000"},
      {"not-erased", " Error at 0x"},
      {"slow-eeprom", " Error at 0x040001  Chip = 0xFF  buffer = 0x22"},
      {"adapter-swap", " Error at 0x000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    const RunResult r =
        Daraz("-p sim --sim-fault " + c.fault + " program " + k2313 + " fw.bin --eeprom data.eep");
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Has(r.out + r.err, c.text)) << r.out << r.err;
  }
  // Told that the new adapter is fitted, the swapped board programs.
  EXPECT_EQ(Daraz(std::string("-p sim program ") + k2313 + " fw.bin --new-adapter").rc, 0);
}

}  // namespace
