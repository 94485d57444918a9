// The MX26C1000/2000 against the 12 V command-set model with the parts'
// rows: program by command with its retries, the erase and its per-address
// repetitions, and both devices end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "eeprom_fixture.h"
#include "families/parallel/ee_eprom.h"
#include "sim/flash12v.h"

namespace {

using app::HandlerId;
using Session = daraz_test::ModelSession<sim::Flash12V>;

constexpr int kMX26C1000 = 101;
constexpr uint32_t kSize1000 = 128 * 1024;
const std::vector<std::string> kNone;
constexpr char kOverErase[] = "over-erase: erase of cells not programmed to 0x00 first";

sim::ChipFault Fault(const char* kind, uint32_t address = 0, int arg1 = 0, int arg2 = 0) {
  return sim::ChipFault{kind, address, arg1, arg2};
}

void SelectMx26(Session& s) { s.Select(HandlerId::MX26C10001Click, kMX26C1000, "MX26C1000"); }

// An MX26C1000 as its erase wants it: every cell programmed to 0x00.
void UsedMx26(Session& s) {
  SelectMx26(s);
  s.chip->SetContents(std::vector<uint8_t>(kSize1000, 0x00));
}

// --- program ---------------------------------------------------------------------------

// A program operation lasts from the byte's write to the program-verify
// write: 30 + 8 + 8 ticks (38.6 us) and about three port accesses, so some
// 41.6 us. A typical cell needs 10 us; a weak one k times that, so it takes
// ceil(10 k / 41.6) operations.
TEST(Mx26Program, AByteGetsAsManyOperationsAsItsCellNeeds) {
  struct Case {
    uint32_t address;
    int weak;        // typical program times the cell needs
    int operations;  // program operations it gets
  };
  const Case cases[] = {{0x10, 1, 1}, {0x11, 6, 2}, {0x12, 10, 3}, {0x13, 15, 4}, {0x14, 19, 5}};
  Session s;
  SelectMx26(s);
  for (const Case& c : cases) ASSERT_TRUE(s.chip->InjectFault(Fault("weak", c.address, c.weak)));
  const std::vector<uint8_t> data = s.LoadRandom(0x20, 7);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Verifying chip"));
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  for (const Case& c : cases) EXPECT_EQ(s.chip->ProgramsAt(c.address), c.operations) << c.weak;
  EXPECT_EQ(s.chip->ProgramsAt(0x00), 1);
  for (uint32_t a = 0; a < data.size(); ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
  EXPECT_EQ(s.chip->Cell(0x20), 0xFF) << "the data end, inclusive, holds 0xFF";
  EXPECT_EQ(s.Violations(), kNone);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(Mx26Program, AStuckByteEndsTheRunAfterTwentySixAttempts) {
  Session s;
  SelectMx26(s);
  ASSERT_TRUE(s.chip->InjectFault(Fault("stuck", 0x21, 2, 1)));
  std::vector<uint8_t> data(0x40, 0x00);
  s.Load(data);
  s.host.default_answer = true;
  s.Program();
  EXPECT_TRUE(s.host.Questions().empty()) << "no offset, no question";
  EXPECT_EQ(s.chip->ProgramsAt(0x21), 26);
  EXPECT_EQ(s.chip->ProgramsAt(0x22), 0) << "nothing after the failing byte";
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string(" Error at 0x000021  Chip = 0x04  buffer = 0x00"), 1));
  EXPECT_FALSE(s.host.HasMessage("Verifying chip"));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(Mx26Program, WithoutVppTheCommandsAreIgnoredAndTheFirstByteFails) {
  Session s;
  SelectMx26(s);
  ASSERT_TRUE(s.chip->InjectFault(Fault("novpp")));
  s.Load({0x12, 0x34});
  s.Program();
  EXPECT_EQ(s.chip->program_operations(), 0u);
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFF  buffer = 0x12");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// Skipped 0xFF bytes are not written but are verified: an unerased cell
// there shows in the final pass, which reports the chip address.
TEST(Mx26Program, TheFinalPassReportsAnErrorAndSetsTheFlag) {
  Session s;
  SelectMx26(s);
  std::vector<uint8_t> chip(kSize1000, 0xFF);
  chip[0x105] = 0x00;
  s.chip->SetContents(chip);
  s.p.controls.Check("cbSkip_0xFF");
  std::vector<uint8_t> data(0x10, 0x5A);
  data[5] = 0xFF;
  s.Load(data);
  s.p.image.buffer_offset = 0x100;
  s.host.default_answer = true;
  s.Program();
  EXPECT_EQ(s.host.Questions().size(), 1u) << "the offset question";
  EXPECT_EQ(s.chip->Cell(0x100), 0x5A);
  EXPECT_EQ(s.chip->ProgramsAt(0x105), 0);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error at $   105"), 1));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// --- erase -----------------------------------------------------------------------------

TEST(Mx26Erase, AnAddressNeedingTwoMoreErasesIsReErasedFromThere) {
  Session s;
  UsedMx26(s);
  ASSERT_TRUE(s.chip->InjectFault(Fault("erase-pulses", 0x4000, 2)));
  s.Erase();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Erase Completed"), 2));
  EXPECT_EQ(s.chip->erase_operations(), 3u);
  // Every address verified once, 0x4000 twice more.
  EXPECT_EQ(s.chip->erase_verifies(), kSize1000 + 2);
  for (uint32_t a = 0; a < kSize1000; ++a) ASSERT_EQ(s.chip->Cell(a), 0xFF) << a;
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.Violations(), kNone);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(Mx26Erase, AnAddressThatNeverErasesFailsAfterItsThirtyFirstRepetition) {
  Session s;
  UsedMx26(s);
  ASSERT_TRUE(s.chip->InjectFault(Fault("stuck", 0x300, 7, 0)));
  const int64_t start = s.board->clock().Now();
  s.Erase();
  // 32 erase operations of 15 x 10000 ticks (125.7 ms) each: 4.02 s; the
  // power-up, some 800 verifies and the power-down add less than 0.2 s.
  const int64_t took = s.board->clock().Now() - start;
  EXPECT_GT(took, 4'023'000'000);
  EXPECT_LT(took, 4'250'000'000);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Error erasing chip"), 1));
  EXPECT_EQ(s.chip->erase_operations(), 1u + 31u);
  EXPECT_EQ(s.chip->erase_verifies(), 0x300u + 32u);
  EXPECT_FALSE(s.host.HasMessage("Erase Completed"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(Mx26Erase, AnOffsetIsNeitherAskedNorAppliedToTheVerify) {
  Session s;
  UsedMx26(s);
  s.Load({0x01, 0x02});
  s.p.image.buffer_offset = 0x1000;
  s.host.default_answer = false;
  s.Erase();
  EXPECT_TRUE(s.host.Questions().empty());
  EXPECT_EQ(s.Last(), "Erase Completed");
  EXPECT_EQ(s.chip->erase_verifies(), kSize1000);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// The erase starts from whatever the chip holds; the part wants every cell
// programmed to 0x00 first, which the routine does not do.
TEST(Mx26Erase, ErasingProgrammedDataIsOverErase) {
  Session s;
  SelectMx26(s);
  s.LoadRandom(0x100, 9);
  s.Program();
  ASSERT_TRUE(s.host.HasMessage("Device Programmed OK")) << s.Last();
  s.Erase();
  EXPECT_EQ(s.Last(), "Erase Completed");
  EXPECT_EQ(s.Violations(), std::vector<std::string>{kOverErase});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(Mx26Cancel, ProgramAndEraseStopAtTheTickPoweredDown) {
  for (const bool erase : {false, true}) {
    SCOPED_TRACE(erase ? "erase" : "program");
    Session s;
    UsedMx26(s);
    if (!erase) s.chip->SetContents(std::vector<uint8_t>(kSize1000, 0xFF));
    s.LoadRandom(0x4000, 3);
    s.host.CancelAtRefresh(s.p, 3);
    if (erase) {
      s.Erase();
    } else {
      s.Program();
    }
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("program interrupted!"), 1));
    EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
    EXPECT_FALSE(s.host.HasMessage("Erase Completed"));
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

// --- every device ----------------------------------------------------------------------

struct Device {
  const char* name;
  int tag;
  uint32_t size;
};

void PrintTo(const Device& d, std::ostream* os) { *os << d.name; }

const Device kDevices[] = {
    {"MX26C1000", 101, 128 * 1024},
    {"MX26C2000", 102, 256 * 1024},
};

class EveryMx26 : public ::testing::TestWithParam<Device> {};

TEST_P(EveryMx26, ErasesProgramsVerifiesAndReadsBack) {
  const Device& dev = GetParam();
  Session s;
  s.Select(HandlerId::MX26C10001Click, dev.tag, dev.name);
  ASSERT_EQ(s.p.image.device_size, dev.size);
  ASSERT_EQ(s.chip->part().name, dev.name);
  s.chip->SetContents(std::vector<uint8_t>(dev.size, 0x00));
  s.Erase();
  EXPECT_TRUE(s.host.HasMessage("Erase Completed", 2)) << s.Last();
  s.Blank();
  EXPECT_TRUE(s.host.HasMessage("Device is Empty", 2)) << s.Last();

  // Data across the top address line.
  const uint32_t count = dev.size / 2 + 0x200;
  const std::vector<uint8_t> data = s.LoadRandom(count, static_cast<uint32_t>(dev.tag));
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  for (uint32_t a = 0; a < count; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
  s.Verify();
  EXPECT_EQ(s.p.error, 0) << s.Last();
  s.Read();
  EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0));
  ASSERT_TRUE(std::equal(data.begin(), data.end(), s.p.image.data()));
  EXPECT_EQ(s.Violations(), kNone);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(Mx26, EveryMx26, ::testing::ValuesIn(daraz_test::DeviceRows(kDevices)),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
