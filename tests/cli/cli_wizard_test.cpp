// The unprotect wizard from the command line: each step's switches and
// wires printed, the wires on the simulated board only where --sim-jumper
// names them, and the steps run in order to the end or to the first
// failure.
#include "cli_fixture.h"

namespace {

using cli_test::Cli;

const char kDie98403[] = "'Am29F040 Die 98403/6'";

bool Shows(const cli_test::RunResult& r, const std::string& text) {
  return r.out.find(text) != std::string::npos || r.err.find(text) != std::string::npos;
}

TEST_F(Cli, WizardWalksTheFiveStepsWithTheWiresNamed) {
  auto r = Daraz(std::string("-p sim --yes --sim-chip am.sim --sim-jumper a9-oe-12v "
                             "--sim-jumper a9-oe-ce-12v wizard ") +
                 kDie98403);
  ASSERT_EQ(r.rc, 0) << r.out << r.err;
  // Each step in order with its switch pattern and the wire to fit.
  const char* in_order[] = {"step 1/5 [Get ID] -- GET ID",
                            "switch pattern 19",
                            "Wiring:          none",
                            "step 2/5 -- Sector protect ALL",
                            "switch pattern 39",
                            "Wiring:          a9-oe-12v",
                            "step 3/5 -- Verify protect sector all",
                            "step 4/5 -- Sector Unprotect All",
                            "switch pattern 40",
                            "Wiring:          a9-oe-ce-12v",
                            "Check:           2/3 PIN, 4/2PIN, DIPSW setting , Short pin OE<->CE",
                            "step 5/5 -- Verify Unprotect sector all"};
  size_t at = 0;
  for (const char* text : in_order) {
    at = r.out.find(text, at);
    ASSERT_NE(at, std::string::npos) << text << "\n" << r.out;
  }
  // The DIP switches drawn as `info` draws them.
  EXPECT_NE(r.out.find("  ON     [#]"), std::string::npos);
  EXPECT_TRUE(Shows(r, "UnProtect all sector successfully")) << r.out << r.err;
}

// A step without its wire changes nothing, as on a real board; what the
// steps did change stays in the chip file for the next run.
TEST_F(Cli, WizardStepsFailWithoutTheirWiresAndTheChipFileKeepsTheRest) {
  const std::string wizard = std::string(" wizard ") + kDie98403;
  // The unprotect wire left out: every sector protected, the last check fails.
  auto r = Daraz("-p sim --yes --sim-chip am.sim --sim-jumper a9-oe-12v" + wizard);
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(Shows(r, "UnProtect all sector Fail")) << r.out << r.err;
  EXPECT_NE(r.err.find("step 5 of 5 failed"), std::string::npos) << r.err;
  // Now without the protect wire: the check after it passes only because
  // the chip file kept the protection.
  r = Daraz("-p sim --yes --sim-chip am.sim --sim-jumper a9-oe-ce-12v" + wizard);
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(Shows(r, "UnProtect all sector successfully"));
  // Again: nothing is protected now, the check fails and the run stops.
  r = Daraz("-p sim --yes --sim-chip am.sim --sim-jumper a9-oe-ce-12v" + wizard);
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(Shows(r, "Protect all sector Fail")) << r.out << r.err;
  EXPECT_NE(r.err.find("step 3 of 5 failed"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("step 4/5"), std::string::npos);
}

TEST_F(Cli, WizardRefusals) {
  // Nobody at a terminal to press Enter, and no --yes.
  auto r = Daraz(std::string("-p sim wizard ") + kDie98403);
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("--yes"), std::string::npos);
  // A device without a wizard.
  r = Daraz("-p sim --yes wizard 29F010");
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("no wizard"), std::string::npos);
  // The wires are listed in the help, one per picture.
  r = Daraz("--help");
  for (const char* wire : {"a9-oe-12v", "a9-oe-ce-12v", "oe-ce-short"}) {
    EXPECT_NE(r.out.find(wire), std::string::npos) << wire;
  }
}

// --json: one object per step run, the failing step last.
TEST_F(Cli, WizardJsonListsEachStepRun) {
  auto r = Daraz(std::string("-p sim --yes --json --sim-jumper a9-oe-12v --sim-jumper "
                             "a9-oe-ce-12v wizard ") +
                 kDie98403);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.find("step 1/5"), std::string::npos) << "no text with --json";
  EXPECT_NE(r.out.find(R"({"step":2,"caption":"Sector protect ALL","switch_pattern":39,)"
                       R"("wiring":["a9-oe-12v"],)"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(R"("result":"UnProtect all sector successfully","exit":0}])"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(cli_test::Count(r.out, "\"step\":"), 5u);
  // Without the protect wire the run stops at the check after it.
  r = Daraz(std::string("-p sim --yes --json wizard ") + kDie98403);
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.out.find(R"("result":"Protect all sector Fail","exit":1})"), std::string::npos)
      << r.out;
}

}  // namespace
