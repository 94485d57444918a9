// The RAM test and the NVRAM write against the RAM models: every selectable
// part, the address composition each needs, and the faults the test exists
// to find.
#include "families/parallel/sram.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "eeprom_fixture.h"
#include "sim/sram_chip.h"

namespace {

using app::HandlerId;
using Session = daraz_test::ModelSession<sim::Sram>;

constexpr uint32_t KB = 1024;

sim::ChipFault Fault(const char* kind, uint32_t address = 0, int arg1 = 0, int arg2 = 0) {
  return sim::ChipFault{kind, address, arg1, arg2};
}

// The RAM test with the random pattern of test 2 drawn from `seed`.
void TestRam(Session& s, uint32_t seed) {
  std::mt19937 random(seed);
  s.host.Clear();
  s.p.InitProgressStep(s.p.image.device_size);
  families::sram::TestRamWith(s.p, [&random] { return static_cast<uint8_t>(random()); });
}

std::vector<uint8_t> Pattern(uint32_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

struct Ram {
  const char* name;
  int tag;
  uint32_t size;
  uint32_t probe;  // a chip address that needs the part's own address map
};

void PrintTo(const Ram& r, std::ostream* os) { *os << r.name; }

const Ram kRams[] = {
    {"6116", 1, 2 * KB, 0x7FF},    {"6264", 2, 8 * KB, 0x1FFF},      {"62256", 3, 32 * KB, 0x4001},
    {"62512", 4, 64 * KB, 0xC002}, {"628128", 5, 128 * KB, 0x1C003},
};

class EveryRam : public ::testing::TestWithParam<Ram> {};

TEST_P(EveryRam, PassesAndLeavesTheSecondPatternInTheImage) {
  const Ram& ram = GetParam();
  Session s;
  s.Select(HandlerId::SRAM_Click, ram.tag);
  ASSERT_EQ(s.p.image.device_size, ram.size);
  TestRam(s, 77);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device Test OK"), 2));
  EXPECT_EQ(s.p.error, 0);
  const std::vector<uint8_t> pattern = Pattern(ram.size, 77);
  for (uint32_t i = 0; i < ram.size; ++i) ASSERT_EQ(s.p.image[i], pattern[i]) << i;
  EXPECT_EQ(s.p.image.data_end, ram.size - 1);
  EXPECT_EQ(s.chip->Cell(ram.probe), pattern[ram.probe]);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(Sram, EveryRam, ::testing::ValuesIn(kRams),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RamTest, RunsAsTheProgramActionWithoutAFile) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 1);
  ASSERT_NE(s.p.image.data_end, 0u);  // the selection leaves data to test with
  s.Program();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device Test OK"), 2));
  const std::vector<std::string> gauges = [&] {
    std::vector<std::string> out;
    for (const auto& e : s.host.Of(daraz_test::HostEvent::Type::kShowGauge)) out.push_back(e.text);
    return out;
  }();
  EXPECT_EQ(gauges, (std::vector<std::string>{" Test#1 SRAM chip", " Verify SRAM chip",
                                              " Test#2 SRAM chip", " Verify SRAM chip"}));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(RamTest, FirstPassWritesAlternatingBytesFromAddressZero) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 1);
  s.chip->InjectFault(Fault("stuck", 0x7FF, 0, 0));  // the last byte, 0x55, fails
  TestRam(s, 1);
  EXPECT_EQ(s.Last(), " Error at 0x0007FF  Chip = 0x54  buffer = 0x55");
  EXPECT_EQ(s.chip->Cell(0), 0xAA);
  EXPECT_EQ(s.chip->Cell(1), 0x55);
  EXPECT_EQ(s.chip->Cell(0x7FE), 0xAA);
  // Test 1 failed: the image keeps its pattern and test 2 never starts.
  EXPECT_EQ(s.p.image[0], 0xAA);
  EXPECT_EQ(s.p.image[1], 0x55);
  EXPECT_FALSE(s.host.HasMessage(" Test#2 SRAM chip"));
}

TEST(RamTest, SecondChipSelectNeedsItsLineHeld) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 2);  // 6264: CS2 on board A13
  s.p.dev.pin28 = false;
  TestRam(s, 3);
  // Deselected, the part drives nothing: the pull-ups read 0xFF.
  EXPECT_EQ(s.Last(), " Error at 0x000000  Chip = 0xFF  buffer = 0xAA");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->writes(), 0u);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(RamTest, ShortedAddressLinesPassTheFirstTestAndFailTheSecond) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 1);
  s.chip->InjectFault(Fault("alias", 0, 5, 4));
  TestRam(s, 11);
  const auto messages = s.host.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().second, 1);
  EXPECT_EQ(messages.back().first.rfind(" Error at 0x0000", 0), 0u) << messages.back().first;
  EXPECT_FALSE(s.host.HasMessage("Device Test OK"));
  // The alternating pattern only looks at A0: the short cannot show there.
  std::vector<std::string> gauges;
  for (const auto& e : s.host.Of(daraz_test::HostEvent::Type::kShowGauge)) {
    gauges.push_back(e.text);
  }
  EXPECT_EQ(gauges, (std::vector<std::string>{" Test#1 SRAM chip", " Verify SRAM chip",
                                              " Test#2 SRAM chip", " Verify SRAM chip"}));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(RamTest, FloatingAddressLineFailsTheSecondTest) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 3);
  s.chip->InjectFault(Fault("float", 0, 8));
  TestRam(s, 12);
  EXPECT_FALSE(s.host.HasMessage("Device Test OK"));
  EXPECT_EQ(s.p.error, 1);
}

TEST(RamTest, StuckBitFailsTheWritePassAfterSixWrites) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 1);
  s.chip->InjectFault(Fault("stuck", 0x10, 0, 1));
  TestRam(s, 13);
  EXPECT_EQ(s.Last(), " Error at 0x000010  Chip = 0xAB  buffer = 0xAA");
  EXPECT_EQ(s.chip->writes(), 0x10u + 6u);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

TEST(RamTest, WeakCellHoldsAfterRewrites) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 1);
  s.chip->InjectFault(Fault("weak", 0x20, 3));
  TestRam(s, 14);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device Test OK"), 2));
  EXPECT_EQ(s.chip->writes(), 2u * 2048u + 2u);
}

TEST(RamTest, CancelInTheReadBackInterrupts) {
  Session s;
  s.Select(HandlerId::SRAM_Click, 1);
  s.host.on_progress = [&s](int64_t) {
    const auto gauges = s.host.Of(daraz_test::HostEvent::Type::kShowGauge);
    if (!gauges.empty() && gauges.back().text == " Verify SRAM chip") s.p.cancel.store(1);
  };
  TestRam(s, 15);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("program interrupted!"), 1));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.host.HasMessage(" Test#2 SRAM chip"));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

// --- NVRAM ------------------------------------------------------------------------------

struct Nvram {
  const char* name;
  int tag;
  uint32_t size;
};

void PrintTo(const Nvram& n, std::ostream* os) { *os << n.name; }

const Nvram kNvrams[] = {
    {"DS1220", 1, 2 * KB},        {"DS1225", 2, 8 * KB},   {"DS1230", 3, 32 * KB},
    {"DS1245", 4, 128 * KB},      {"DS1249", 5, 256 * KB}, {"M48T02", 201, 2 * KB - 8},
    {"M48T35", 203, 32 * KB - 8},
};

class EveryNvram : public ::testing::TestWithParam<Nvram> {};

TEST_P(EveryNvram, ProgramsAcrossThePowerCycleAndReadsBack) {
  const Nvram& n = GetParam();
  Session s;
  s.Select(HandlerId::DS12XX_Click, n.tag);
  ASSERT_EQ(s.p.image.device_size, n.size);
  // The whole part, up to the last byte below any clock registers.
  const std::vector<uint8_t> data = s.LoadRandom(n.size, static_cast<uint32_t>(n.tag));
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK")) << "the verify after a program is silent";
  EXPECT_EQ(s.p.error, 0);
  for (uint32_t a = 0; a < n.size; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << a;
  s.Read();
  ASSERT_TRUE(std::equal(data.begin(), data.end(), s.p.image.data()));
  s.Blank();
  EXPECT_EQ(s.Last().rfind("Device is NOT Empty", 0), 0u);
  // The timekeepers' clock registers stay untouched.
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

INSTANTIATE_TEST_SUITE_P(Nvram, EveryNvram, ::testing::ValuesIn(daraz_test::DeviceRows(kNvrams)),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Nvram, DeadBatteryFailsTheVerifyAfterThePowerCycle) {
  for (const bool dead : {false, true}) {
    SCOPED_TRACE(dead ? "dead battery" : "good battery");
    Session s;
    s.Select(HandlerId::DS12XX_Click, 3);
    if (dead) s.chip->InjectFault(Fault("battery-dead"));
    s.LoadRandom(0x100, 8);
    s.Program();
    if (dead) {
      EXPECT_EQ(s.Last().rfind(" Error at 0x000000  Chip = 0x", 0), 0u) << s.Last();
    } else {
      EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device Programmed OK"), 2));
      EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
      std::vector<std::string> gauges;
      for (const auto& e : s.host.Of(daraz_test::HostEvent::Type::kShowGauge)) {
        gauges.push_back(e.text);
      }
      EXPECT_EQ(gauges, (std::vector<std::string>{"programming chip", "Verifying chip"}));
    }
    EXPECT_EQ(s.host.HasMessage("Device Programmed OK"), !dead);
    EXPECT_EQ(s.p.error, dead ? 1 : 0);
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

TEST(Nvram, TouchingAClockRegisterIsSeen) {
  Session s;
  s.Select(HandlerId::DS12XX_Click, 201);
  // Past the device size the selection leaves out.
  s.p.SetBufferSize(2 * KB);
  s.LoadRandom(2 * KB, 9);
  s.Program();
  EXPECT_EQ(s.Violations(), std::vector<std::string>{"timekeeper register touched"});
}

// A byte the part will not hold is written eleven times (ten retries) and
// reported with the byte compared; nothing is verified after it.
TEST(Nvram, AByteThatWillNotHoldFailsAfterElevenWrites) {
  Session s;
  s.Select(HandlerId::DS12XX_Click, 3);
  s.chip->InjectFault(Fault("stuck", 0x1, 0, 1));  // bit 0 of chip address 1 reads 1
  s.Load({0x20, 0x40, 0x60});
  s.Program();
  EXPECT_EQ(s.Last(), " Error at 0x000001  Chip = 0x41  buffer = 0x40");
  EXPECT_EQ(s.host.LastMessage().second, 1);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.chip->writes(), 1u + 11u);  // byte 0 once, byte 1 eleven times
  EXPECT_FALSE(s.host.HasMessage("Verifying chip"));
  EXPECT_EQ(s.Rest(), sim::kAtRest);
}

}  // namespace
