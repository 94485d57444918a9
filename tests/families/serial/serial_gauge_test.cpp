// The progress gauge each serial routine opens: its caption, what it counts
// to and its colour, as the operator sees them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "serial_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::HostEvent;
using daraz_test::SerialSession;

struct Gauge {
  std::string text;
  int64_t maximum;
  std::optional<uint32_t> colour;  // where the routine's description names one
};

std::optional<Gauge> FirstGauge(const SerialSession& s) {
  for (const HostEvent& e : s.host.events) {
    if (e.type == HostEvent::Type::kShowGauge) return Gauge{e.text, e.value, e.colour};
  }
  return std::nullopt;
}

enum class Act { kRead, kVerify, kProgram, kBlank, kErase };

TEST(SerialGauge, EachRoutineCountsWhatItsDescriptionSays) {
  constexpr uint32_t kRed = 0x0000FF, kGreen = 0x008000, kWhite = 0xFFFFFF;
  // 40 bytes loaded: the end address is 40 wherever the part holds more.
  const struct {
    HandlerId handler;
    int tag;
    const char* caption;
    Act act;
    Gauge want;
  } cases[] = {
      {HandlerId::M24C_Click, 101, "X24C01", Act::kRead, {"Reading Chip", 128, {}}},
      {HandlerId::M24C_Click, 101, "X24C01", Act::kVerify, {"Verifying chip", 40, {}}},
      {HandlerId::M24C_Click, 101, "X24C01", Act::kProgram, {"programming chip", 40, {}}},
      {HandlerId::M24C_Click, 202, "24C02", Act::kRead, {"Reading Chip", 256, {}}},
      {HandlerId::M24C_Click, 202, "24C02", Act::kVerify, {"Verifying chip", 40, {}}},
      {HandlerId::M24C_Click, 202, "24C02", Act::kProgram, {"programming chip", 40, {}}},
      {HandlerId::M24C_Click, 301, "24C32     (32)", Act::kRead, {"Read chip", 4096, {}}},
      {HandlerId::M24C_Click, 301, "24C32     (32)", Act::kVerify, {"Verifying chip", 40, {}}},
      {HandlerId::M24C_Click, 301, "24C32     (32)", Act::kProgram, {"programming chip", 40, {}}},
      {HandlerId::M93C_Click, 2, "93C46 (8bit)", Act::kRead, {"Reading Chip", 128, {}}},
      {HandlerId::M93C_Click, 2, "93C46 (8bit)", Act::kVerify, {"Verifying chip", 40, kGreen}},
      {HandlerId::M93C_Click, 2, "93C46 (8bit)", Act::kProgram, {"programming chip", 40, kRed}},
      {HandlerId::CAT64LC10_Click, 102, "CAT64LC20", Act::kRead, {"Reading Chip", 256, {}}},
      {HandlerId::S24H30_Click, 2, "X24C44", Act::kRead, {"Reading Chip", 32, {}}},
      {HandlerId::S24H30_Click, 2, "X24C44", Act::kVerify, {"Comparing chip", 31, {}}},
      {HandlerId::M25C_Click, 103, "25x040", Act::kRead, {"Reading Chip", 512, {}}},
      {HandlerId::M25C_Click, 103, "25x040", Act::kVerify, {"Verifying chip", 40, {}}},
      {HandlerId::M25C_Click, 103, "25x040", Act::kProgram, {"programming chip", 40, {}}},
      {HandlerId::M25C_Click, 103, "25x040", Act::kBlank, {"Checking Device is Empty", 512, {}}},
      {HandlerId::MX25L512_Click, 404, "MX25L4005", Act::kRead, {"Reading Chip", 524288, {}}},
      // Page programming counts pages: 40 / 256.
      {HandlerId::MX25L512_Click, 404, "MX25L4005", Act::kProgram, {"programming chip", 0, {}}},
      {HandlerId::MX25L512_Click,
       404,
       "MX25L4005",
       Act::kErase,
       {"Erasing chip delay time 100 Sec", 10000, kWhite}},
      {HandlerId::MX25L512_Click, 201, "SST25VF512", Act::kProgram, {"programming chip", 40, {}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " action " + std::to_string(static_cast<int>(c.act)));
    SerialSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.LoadRandom(40);
    switch (c.act) {
      case Act::kRead:
        s.Read();
        break;
      case Act::kVerify:
        s.Verify();
        break;
      case Act::kProgram:
        s.Program();
        break;
      case Act::kBlank:
        s.Blank();
        break;
      case Act::kErase:
        s.Erase();
        break;
    }
    const std::optional<Gauge> got = FirstGauge(s);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->text, c.want.text);
    EXPECT_EQ(got->maximum, c.want.maximum);
    if (c.want.colour) {
      EXPECT_EQ(got->colour, *c.want.colour);
    }
    EXPECT_EQ(s.Rest(), sim::kAtRest);
  }
}

}  // namespace
