// The flash tools from the command line: the CFI report and the sector
// protection commands, with the protection kept in the chip file.
#include "cli_fixture.h"

namespace {

using cli_test::Cli;

TEST_F(Cli, CfiPrintsTheReportOrSaysThereIsNone) {
  auto r = Daraz("-p sim cfi 'Am29LV065  (64Mb)'");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Device Size = 2^N byte"), std::string::npos);
  EXPECT_NE(r.out.find("0x800000 (8192Kbyte)"), std::string::npos);
  EXPECT_NE(r.out.find("Erase Block Region 0 Information"), std::string::npos);
  r = Daraz("-p sim --json cfi 'Am29LV065  (64Mb)'");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.front(), '[');
  const std::string size_row =
      "{\"offset\":39,\"code\":23,\"description\":\"Device Size = 2^N byte\","
      "\"value\":\"0x800000 (8192Kbyte)\"}";
  EXPECT_NE(r.out.find(size_row), std::string::npos) << r.out;
  // A part without a query area.
  r = Daraz("-p sim --json cfi 29F010");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("does not start with \"QRY\""), std::string::npos);
  EXPECT_NE(r.out.find("\"exit\":1"), std::string::npos) << r.out;
}

TEST_F(Cli, ProtectThenSectorsAgreeThroughTheChipFile) {
  auto r = Daraz("-p sim --sim-chip mx.sim protect 'MX29F004 - T' 3");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find(" S03  30000 - 3FFFF  01  Lock"), std::string::npos) << r.out;
  r = Daraz("-p sim --sim-chip mx.sim --json sectors 'MX29F004 - T'");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find(R"({"sector":3,"start":196608,"end":262143,"status":"Lock","code":1})"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(cli_test::Count(r.out, "\"Lock\""), 1u);
  r = Daraz("-p sim --sim-chip mx.sim unprotect 'MX29F004 - T'");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --sim-chip mx.sim sectors 'MX29F004 - T'");
  EXPECT_NE(r.out.find("Protected: 0"), std::string::npos) << r.out;
}

TEST_F(Cli, ProtectRefusalsAndFailures) {
  // A sector that will not take protection fails the run.
  auto r = Daraz("-p sim --sim-fault refuse-protect:0x30000 protect 'MX29F004 - T' 3");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.out.find("Sector Can not protected !") + r.err.find("Sector Can not protected !"),
            2 * std::string::npos);
  // Sectors the layout does not have, a sector for the whole-chip command,
  // a device without the tools: usage errors before the board is touched.
  EXPECT_EQ(Daraz("-p sim protect 'MX29F004 - T' 11").rc, 2);
  EXPECT_EQ(Daraz("-p sim unprotect 'MX29F004 - T' 2").rc, 2);
  EXPECT_EQ(Daraz("-p sim sectors 29F010").rc, 2);
  // An LV part the identification names is changed without more ado.
  r = Daraz("-p sim protect HY29LV160B 0");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Protected: 1"), std::string::npos) << r.out;
}

}  // namespace

namespace {

// The J3's lock bits live in the chip file like any protection; the C3 and
// B3 keep none across a run, so the commands that change them are refused.
TEST_F(Cli, BlockLocksOfTheJ3ThroughTheChipFile) {
  auto r = Daraz("-p sim --sim-chip j3.sim protect '28F320 J3 ' 2");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --sim-chip j3.sim protect '28F320 J3 ' 9");
  ASSERT_EQ(r.rc, 0) << r.err;
  r = Daraz("-p sim --sim-chip j3.sim --json sectors '28F320 J3 '");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find(R"({"sector":2,"start":131072,"end":196607,"status":"Lock","code":1})"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(cli_test::Count(r.out, "\"Lock\""), 2u);
  r = Daraz("-p sim --sim-chip j3.sim unprotect '28F320 J3 ' 2");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find(" S09  90000 - 9FFFF  01  Lock"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Protected: 1"), std::string::npos) << r.out;
  r = Daraz("-p sim --sim-chip j3.sim unprotect '28F320 J3 '");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Protected: 0"), std::string::npos) << r.out;

  // The C3 shows its power-up locks; nothing it could keep is offered.
  r = Daraz("-p sim sectors '28F800 C3T'");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Protected: 23"), std::string::npos) << r.out;
  EXPECT_EQ(Daraz("-p sim protect '28F800 C3T' 0").rc, 2);
  EXPECT_EQ(Daraz("-p sim unprotect '28F400 B3T'").rc, 2);
  EXPECT_EQ(Daraz("-p sim unprotect '28F320 J3 ' 32").rc, 2);
}

}  // namespace
