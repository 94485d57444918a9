// Every program algorithm end to end: one device of each, chosen through its
// catalogue handler, programmed from a random image into the EPROM model the
// simulator builds for that device, then read back.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "families/parallel/uv_eprom.h"
#include "uv_eprom_fixture.h"

namespace {

using app::HandlerId;
using families::uv_eprom::ChooseVariant;
using families::uv_eprom::Variant;

constexpr uint32_t KB = 1024;

struct Device {
  const char* name;
  HandlerId handler;
  int tag;
  uint32_t size;
  int family;
  Variant variant;  // what family 0's dispatcher must pick
  bool wide;
};

// gtest shows the part by name rather than as raw bytes.
void PrintTo(const Device& d, std::ostream* os) { *os << d.name; }

const Device kDevices[] = {
    {"27C16", HandlerId::M27C_Click, 215, 2 * KB, 0, Variant::kA, false},
    {"2732", HandlerId::M27C_Click, 201, 4 * KB, 0, Variant::kK, false},
    {"2764", HandlerId::M27C_Click, 202, 8 * KB, 0, Variant::kB, false},
    {"27128", HandlerId::M27C_Click, 203, 16 * KB, 0, Variant::kB, false},
    {"27C256", HandlerId::M27C_Click, 204, 32 * KB, 0, Variant::kC, false},
    {"27C512", HandlerId::M27C_Click, 205, 64 * KB, 0, Variant::kK, false},
    {"27C010", HandlerId::M27C_Click, 206, 128 * KB, 0, Variant::kD, false},
    {"27C020", HandlerId::M27C_Click, 207, 256 * KB, 0, Variant::kD, false},
    {"27C040", HandlerId::M27C_Click, 208, 512 * KB, 0, Variant::kE, false},
    {"27C080", HandlerId::M27C_Click, 209, 1024 * KB, 0, Variant::kL, false},
    {"27C080_short_pulse", HandlerId::M27C_Click, 210, 1024 * KB, 0, Variant::kL, false},
    {"27C1024", HandlerId::M27C_Click, 301, 128 * KB, 0, Variant::kD, true},
    {"27C4096", HandlerId::M27C_Click, 303, 512 * KB, 0, Variant::kE, true},
    {"27C400", HandlerId::M27C_Click, 401, 512 * KB, 0, Variant::kE, true},
    {"27C160", HandlerId::M27C_Click, 403, 2048 * KB, 0, Variant::kF, true},
    {"27C322", HandlerId::M27C_Click, 404, 4096 * KB, 0, Variant::kL, true},
    {"NMOS_2716", HandlerId::M27_Click, 101, 2 * KB, 13, Variant::kGeneric, false},
    {"NMOS_2764", HandlerId::M27_Click, 103, 8 * KB, 13, Variant::kGeneric, false},
    {"NMOS_27512", HandlerId::M27_Click, 106, 64 * KB, 13, Variant::kGeneric, false},
    {"M87C256", HandlerId::M27C_Click, 501, 32 * KB, 33, Variant::kGeneric, false},
};

class EveryAlgorithm : public ::testing::TestWithParam<Device> {};

TEST_P(EveryAlgorithm, ProgramsReadsBackAndReachesTheTopAddresses) {
  const Device& dev = GetParam();
  daraz_test::EpromSession s;
  s.Select(dev.handler, dev.tag);
  ASSERT_EQ(s.p.image.device_size, dev.size);
  ASSERT_EQ(s.p.dev.family, dev.family);
  ASSERT_EQ(s.chip->config().wide, dev.wide);
  if (dev.family == 0) {
    EXPECT_EQ(ChooseVariant(dev.tag, dev.size), dev.variant);
  }

  // A random image over the start of the part; the pass goes one byte past.
  const uint32_t count = std::min(dev.size / 2, 8 * KB) - 1;
  const std::vector<uint8_t> data = s.LoadRandom(count, static_cast<uint32_t>(dev.tag));
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.p.error, 0);
  EXPECT_TRUE(s.PoweredDown());
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  for (uint32_t a = 0; a < count; ++a) {
    ASSERT_EQ(s.chip->Cell(a), data[a]) << "at " << a;
  }
  EXPECT_EQ(s.chip->Cell(count), 0xFF);
  if (dev.wide) {
    EXPECT_EQ(s.chip->Word(2), data[4] | (data[5] << 8));
  }

  s.Read();
  EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0)) << s.Last();
  EXPECT_EQ(s.p.image.data_end, dev.size);
  const std::vector<uint8_t> contents = s.chip->Contents();
  ASSERT_TRUE(std::equal(contents.begin(), contents.end(), s.p.image.data()));
  ASSERT_TRUE(std::equal(data.begin(), data.end(), s.p.image.data()));

  // The last bytes of the part, through a buffer offset: every address line
  // the part has must reach it.
  const uint32_t top = 256;
  s.p.image.buffer_offset = dev.size - top;
  const std::vector<uint8_t> high = s.LoadRandom(top, 7);
  s.host.default_answer = true;
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.host.Questions().size(), 1u);
  for (uint32_t i = 0; i < top; ++i) {
    ASSERT_EQ(s.chip->Cell(dev.size - top + i), high[i]) << "at top + " << i;
  }
  for (uint32_t a = 0; a < count; ++a) {
    ASSERT_EQ(s.chip->Cell(a), data[a]) << "at " << a;
  }
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_TRUE(s.PoweredDown());
}

INSTANTIATE_TEST_SUITE_P(UvEprom, EveryAlgorithm, ::testing::ValuesIn(kDevices),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
