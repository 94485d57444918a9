// The PIC18 front door of `daraz`: configuration bytes and IDs by key over
// a file, the device-ID window of `id`, the panel's bytes in `info --json`.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "support/hex_record.h"

namespace {

using cli_test::RunResult;
using cli_test::SimCli;
using daraz_test::HexRecord;


class CliPic18 : public SimCli {};

// The keys override what the file holds: CONFIG2H and CONFIG4L from the
// keys, CONFIG1H from the file; the chip keeps the implemented bits.
TEST_F(CliPic18, KeysOverrideTheFilesConfigurationAndIds) {
  std::string hex = HexRecord(0, 0, {0x12, 0x34, 0x56, 0x78}) + "\n";
  hex += HexRecord(0, 4, {0x00, 0x20}) + "\n";
  hex += HexRecord(0, 0, {1, 2, 3, 4, 5, 6, 7, 8}) + "\n";
  hex += HexRecord(0, 4, {0x00, 0x30}) + "\n";
  hex += HexRecord(
             0, 0,
             {0xFF, 0x22, 0x0F, 0x0F, 0xFF, 0xFF, 0x85, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) +
         "\n";
  hex += ":00000001FF\n";
  Write("fw.hex", hex);
  RunResult r = Daraz(
      "--sim-chip c.bin program PIC18F452 fw.hex --set config-byte=3=0x0A --config-byte=6=0x81 "
      "--id 0xA1B2C3D4E5F60718");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "Programming [CODE,DevID,EEPROM,CFG] OK")) << r.out;
  r = Daraz("--sim-chip c.bin read PIC18F452 -o back.hex");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  const std::string back = Read("back.hex");
  EXPECT_TRUE(Has(back, HexRecord(0, 0, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}))) << back;
  // Unimplemented bits read 0.
  EXPECT_TRUE(Has(back, HexRecord(0, 0,
                                  {0x00, 0x22, 0x0F, 0x0A, 0x00, 0x01, 0x81, 0x00, 0x0F, 0xC0, 0x0F,
                                   0xE0, 0x0F, 0x40})))
      << back;
  // The file alone no longer verifies the watchdog byte; with the key it does.
  EXPECT_EQ(Daraz("--sim-chip c.bin verify PIC18F452 fw.hex --id A1B2C3D4E5F60718").rc, 1);
  r = Daraz(
      "--sim-chip c.bin verify PIC18F452 fw.hex --config-byte=3=0x0A --config-byte=6=0x81 "
      "--id A1B2C3D4E5F60718");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
}

TEST_F(CliPic18, KeysTheSelectionRefuses) {
  struct Case {
    const char* args;
    const char* error;
  };
  const Case cases[] = {
      {"info PIC18F452 --set config-byte=0=0x00", "disable its control edPIC18_CFG0"},
      {"info PIC18F452 --set config-byte=14=0x00", "config-byte INDEX"},
      {"info PIC18F452 --set id=12345G", "sixteen hexadecimal digits"},
      {"info PIC18F452 --set id=0x12345678901234567", "at most 18 characters"},
      {"info 27C256 --set config-byte=1=0x22", "hide or disable"},
  };
  for (const Case& c : cases) {
    const RunResult r = Daraz(c.args);
    EXPECT_EQ(r.rc, 2) << c.args;
    EXPECT_TRUE(Has(r.err, c.error)) << c.args << "\n" << r.err;
  }
}

TEST_F(CliPic18, IdShowsTheDeviceIdWindow) {
  RunResult r = Daraz("id PIC18F452");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out,
                  "Microchip PIC device ID Value (0x3FFFFE,0x3FFFFF)\n"
                  "Value:    0x0427\nBits:     00000100001 00111\nRevision: 7\n"
                  "Device:   PIC 18F452/4539\n"))
      << r.out;
  r = Daraz("--json id 18F4620");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out,
                  "{\"title\":\"Microchip PIC device ID Value (0x3FFFFE,0x3FFFFF)\","
                  "\"value\":\" 0x0C00\",\"id\":3072,\"bits\":\"00001100000 00000\","
                  "\"revision\":0,\"device\":\" PIC 18F4620\"}"))
      << r.out;
}

TEST_F(CliPic18, InfoJsonCarriesTheConfigurationBytes) {
  const RunResult r =
      Daraz("--json info 18F4620 --set config-byte=1=0x08 --set config-byte=3=0x1E --id 77");
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "\"pic18\":{\"config\":[\"0x")) << r.out;
  EXPECT_TRUE(Has(r.out, "\",\"0x08\",\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"0x1E\"")) << r.out;
  EXPECT_TRUE(Has(r.out,
                  "\"config_mask\":[\"0x00\",\"0xCF\",\"0x1F\",\"0x1F\",\"0x00\",\"0x87\","
                  "\"0xC5\",\"0x00\",\"0x0F\",\"0xC0\",\"0x0F\",\"0xE0\",\"0x0F\",\"0x40\"]"))
      << r.out;
  EXPECT_TRUE(Has(r.out, "\"id\":\"0000000000000077\"")) << r.out;
}

}  // namespace
