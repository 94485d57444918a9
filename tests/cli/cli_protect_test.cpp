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

}  // namespace
