// The electrically erasable EPROMs against the EPROM model with its
// high-voltage erase: the erase loop and its faults, FastErase, the
// SST37VF single-pulse program, and every device end to end.
#include "families/parallel/ee_eprom.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "eeprom_fixture.h"
#include "sim/eprom_chip.h"

namespace {

using app::HandlerId;
using Session = daraz_test::ModelSession<sim::EpromChip>;

constexpr int kW27C512 = 2;
constexpr int64_t kTickNs = 838;  // DelayTicks(1), rounded down

sim::ChipFault Fault(const char* kind, uint32_t address = 0, int arg1 = 0, int arg2 = 0) {
  return sim::ChipFault{kind, address, arg1, arg2};
}

// A W27C512 whose cells are all programmed, erase jumpers as given.
void UsedW27C512(Session& s, bool jumpers) {
  s.Select(HandlerId::M27E_Click, kW27C512);
  s.chip->SetContents(std::vector<uint8_t>(64 * 1024, 0x00));
  s.chip->SetJumper("erase", jumpers);
}

// The W27C512's CE (the program line) is already active for reading when
// the erase loop turns Vpp on: the model sees Vpp come on under an active
// program line. The erase, which counts levels, takes place all the same.
const std::vector<std::string> kCeBeforeVpp{"Vpp raised during a program pulse"};

TEST(HighVoltageErase, ErasesInAsManyCyclesAsThePartNeeds) {
  Session s;
  UsedW27C512(s, true);
  s.chip->InjectFault(Fault("erase-cycles", 0, 3));
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device Erase OK"), 2));
  EXPECT_EQ(s.chip->erase_pulses(), 3u);
  for (uint32_t a = 0; a < 64 * 1024; ++a) ASSERT_EQ(s.chip->Cell(a), 0xFF) << a;
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.Violations(), kCeBeforeVpp);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(HighVoltageErase, GivesUpAfterTwentyCycles) {
  Session s;
  UsedW27C512(s, true);
  s.chip->InjectFault(Fault("erase-cycles", 0, 0));
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device Erase False"), 1));
  EXPECT_EQ(s.chip->erase_pulses(), 20u);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(HighVoltageErase, StubbornByteFailsTheBlankCheck) {
  Session s;
  UsedW27C512(s, true);
  s.chip->InjectFault(Fault("stuck", 0x1234, 6, 0));
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.Last(), "Device Erase False");
  EXPECT_EQ(s.chip->erase_pulses(), 20u);
  EXPECT_EQ(s.chip->erases(), 20u);
}

TEST(HighVoltageErase, WithoutTheJumpersNothingIsErased) {
  Session s;
  UsedW27C512(s, false);
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.Last(), "Device Erase False");
  EXPECT_EQ(s.chip->erase_pulses(), 0u);
  EXPECT_EQ(s.chip->Cell(0), 0x00);
  EXPECT_EQ(s.Violations(), kCeBeforeVpp);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(HighVoltageErase, OwnPgmPartWithoutJumpersGetsAnOverlongProgramPulse) {
  Session s;
  s.Select(HandlerId::M27E_Click, 3);  // W27C010: PGM pin of its own
  s.chip->SetContents(std::vector<uint8_t>(128 * 1024, 0x00));
  s.chip->RecordEvents(true);
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.Last(), "Device Erase False");
  EXPECT_EQ(s.Violations(),
            std::vector<std::string>{"program pulse longer than tPW max (over-stress)"});
  // 20 pulses at address 0 with 0xFF, each 15 x 20000 ticks.
  ASSERT_EQ(s.chip->pulse_log().size(), 20u);
  for (const auto& pulse : s.chip->pulse_log()) {
    EXPECT_EQ(pulse.address, 0u);
    EXPECT_EQ(pulse.data, 0xFF);
    EXPECT_GE(pulse.width_ns, 15 * 20000 * kTickNs);
    EXPECT_LT(pulse.width_ns, 15 * 20000 * kTickNs + 100'000);
  }
}

TEST(HighVoltageErase, CancelInTheBlankCheck) {
  Session s;
  UsedW27C512(s, true);
  s.chip->SetContents(std::vector<uint8_t>(64 * 1024, 0xFF));
  s.chip->InjectFault(Fault("erase-cycles", 0, 0));
  s.host.CancelAtRefresh(s.p, 5);
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("program interrupted!"), 1));
  EXPECT_EQ(s.chip->erase_pulses(), 1u);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(HighVoltageErase, FastEraseLeavesTheImageByteForByte) {
  Session s;
  UsedW27C512(s, true);
  const std::vector<uint8_t> data = s.LoadRandom(0x101, 4);
  const std::vector<uint8_t> before(s.p.image.data(), s.p.image.data() + 0x20000);
  families::ee_eprom::TEST27c_ERASEClick(s.p);
  EXPECT_EQ(s.Last(), "Device Erase OK");
  EXPECT_TRUE(std::equal(before.begin(), before.end(), s.p.image.data()));
  EXPECT_EQ(s.p.image.data_end, 0x101u);
}

TEST(W27C512Program, GoesThroughTheTwoPassVariantWithTheFamilysTiming) {
  Session s;
  s.Select(HandlerId::M27E_Click, kW27C512);
  EXPECT_EQ(s.p.dev.twp, 60);
  EXPECT_EQ(s.p.dev.add_step, 100);
  s.chip->RecordEvents(true);
  const std::vector<uint8_t> data = s.LoadRandom(0x100, 5);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  for (uint32_t a = 0; a < data.size(); ++a) ASSERT_EQ(s.chip->Cell(a), data[a]);
  // Pass 1: one pulse a byte of tWP + 50 = 110 ticks (92 us), longer than
  // the W27C's 55 us.
  ASSERT_GE(s.chip->pulse_log().size(), data.size());
  const auto& first = s.chip->pulse_log().front();
  EXPECT_GE(first.width_ns, 110 * kTickNs);
  EXPECT_LT(first.width_ns, 110 * kTickNs + 5'000);
  EXPECT_EQ(s.Violations(),
            std::vector<std::string>{"program pulse longer than tPW max (over-stress)"});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// --- SST37VF ----------------------------------------------------------------------------

TEST(Sst37, OnePulseAByteAndAWeakByteShowsOnlyInTheVerify) {
  Session s;
  s.Select(HandlerId::SST37VF_Click, 102);
  s.chip->RecordEvents(true);
  const std::vector<uint8_t> data = s.LoadRandom(0x80, 6);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
  EXPECT_EQ(s.chip->pulses(), 0x81u);  // to the data end inclusive
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});

  Session weak;
  weak.Select(HandlerId::SST37VF_Click, 102);
  weak.chip->InjectFault(Fault("weak", 0x10, 2));
  weak.Load(data);
  weak.Program();
  EXPECT_EQ(weak.Last().rfind(" Error at 0x000010  Chip = 0x", 0), 0u) << weak.Last();
  EXPECT_FALSE(weak.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(weak.chip->pulses(), 0x81u);  // no retry: the verify found it
  EXPECT_EQ(weak.p.error, 1);
  EXPECT_EQ(weak.Rest(), sim::kAtRest);
}

TEST(Sst37, CancelStopsTheProgramWithoutAVerify) {
  Session s;
  s.Select(HandlerId::SST37VF_Click, 102);
  s.LoadRandom(0x4000, 7);
  s.host.CancelAtRefresh(s.p, 2);
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("program interrupted!"), 1));
  EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_LT(s.chip->pulses(), 0x4000u);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(Sst37, EraseWithPromptsShowsBothBoxesAndQuietsThePartOnce) {
  Session s;
  s.Select(HandlerId::SST37VF_Click, 101);
  s.chip->SetContents(std::vector<uint8_t>(64 * 1024, 0x00));
  s.chip->SetJumper("erase");
  s.chip->InjectFault(Fault("erase-cycles", 0, 2));
  s.chip->RecordEvents(true);
  s.Erase();
  EXPECT_EQ(s.host.Informations(), (std::vector<std::string>{families::ee_eprom::kFirstPrompt,
                                                             families::ee_eprom::kSecondPrompt}));
  EXPECT_TRUE(s.host.HasMessage("Device Erase OK", 2));
  EXPECT_EQ(s.chip->erase_pulses(), 2u);
  // Vpp comes on 2000 ticks earlier in the first cycle than in the second:
  // the quiet step replaces the read level once.
  const auto& vpp = s.chip->vpp_log();
  ASSERT_EQ(vpp.size(), 4u);
  const int64_t first = vpp[1].time_ns - vpp[0].time_ns;
  const int64_t second = vpp[3].time_ns - vpp[2].time_ns;
  EXPECT_NEAR(static_cast<double>(first - second), 2000.0 * 838.1, 20'000.0);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// --- every device --------------------------------------------------------------------------

struct Device {
  const char* name;
  HandlerId handler;
  int tag;
  uint32_t size;
  std::vector<std::string> violations;  // what the routines' own timing causes
};

void PrintTo(const Device& d, std::ostream* os) { *os << d.name; }

constexpr char kCeVpp[] = "Vpp raised during a program pulse";
constexpr char kOverStress[] = "program pulse longer than tPW max (over-stress)";
constexpr char kDataSetup[] = "data setup before the program pulse shorter than tDS";

// On the W27C512 the erase puts Vpp on OE/Vpp while CE is already active
// from reading (the own-Vpp parts see OE rise under an active CE, which the
// datasheets leave alone); variant K pulses 110 ticks (93 us with the
// write that ends it) against 55 us; variants D and E give the data 1 to
// 1.8 us before the pulse against 2 us.
const Device kDevices[] = {
    {"W27C256", HandlerId::M27E_Click, 1, 32 * 1024, {}},
    {"W27C512", HandlerId::M27E_Click, 2, 64 * 1024, {kCeVpp, kOverStress}},
    {"W27C010", HandlerId::M27E_Click, 3, 128 * 1024, {kDataSetup}},
    {"W27C020", HandlerId::M27E_Click, 4, 256 * 1024, {kDataSetup}},
    {"W27C040", HandlerId::M27E_Click, 5, 512 * 1024, {kDataSetup}},
    {"SST37VF512", HandlerId::SST37VF_Click, 101, 64 * 1024, {}},
    {"SST37VF010", HandlerId::SST37VF_Click, 102, 128 * 1024, {}},
    {"SST37VF020", HandlerId::SST37VF_Click, 103, 256 * 1024, {}},
    {"SST37VF040", HandlerId::SST37VF_Click, 104, 512 * 1024, {}},
};

class EveryErasableEprom : public ::testing::TestWithParam<Device> {};

TEST_P(EveryErasableEprom, ErasesProgramsVerifiesAndReadsBack) {
  const Device& dev = GetParam();
  Session s;
  s.Select(dev.handler, dev.tag);
  ASSERT_EQ(s.p.image.device_size, dev.size);
  s.chip->SetContents(std::vector<uint8_t>(dev.size, 0x00));
  s.chip->SetJumper("erase");
  s.host.default_answer = true;
  if (dev.handler == HandlerId::M27E_Click) {
    families::ee_eprom::TEST27c_ERASEClick(s.p);
  } else {
    s.Erase();
  }
  EXPECT_TRUE(s.host.HasMessage("Device Erase OK", 2)) << s.Last();
  s.chip->SetJumper("erase", false);

  const uint32_t count = 0x300;
  const std::vector<uint8_t> data = s.LoadRandom(count, static_cast<uint32_t>(dev.tag));
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  for (uint32_t a = 0; a < count; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
  EXPECT_EQ(s.chip->Cell(count), 0xFF);
  s.Read();
  EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0));
  ASSERT_TRUE(std::equal(data.begin(), data.end(), s.p.image.data()));
  EXPECT_EQ(s.Violations(), dev.violations);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(ErasableEprom, EveryErasableEprom,
                         ::testing::ValuesIn(daraz_test::DeviceRows(kDevices)),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
