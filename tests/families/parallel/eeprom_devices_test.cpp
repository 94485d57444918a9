// Every selectable EEPROM, sector-write flash and NVRAM device end to end:
// chosen through its catalogue handler, erased where the family erases,
// programmed from a random image into the model the simulator builds for
// it, verified, read back, and left at rest. Each part's datasheet limits
// decide which violations the routines' own timing causes (named per row).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "eeprom_fixture.h"
#include "sim/parallel_eeprom.h"
#include "sim/rom_chip.h"
#include "sim/sram_chip.h"
#include "support/recording_host.h"

namespace {

using app::HandlerId;

constexpr uint32_t KB_ = 1024;

struct Device {
  const char* name;
  HandlerId handler;
  int tag;
  uint32_t size;
  int family;
  // The routines wait less than this part's datasheet write cycle (or the
  // page write re-loads a busy part): their retries write while it is busy.
  bool writes_while_busy;
};

void PrintTo(const Device& d, std::ostream* os) { *os << d.name; }

const Device kEeproms[] = {
    // 28Cxxx: the first wait (tWC 1000 ticks, 0.84 ms) is below every
    // part's write cycle, so the first bytes retry until the wait has grown.
    {"28C64", HandlerId::M28C_Click, 1, 8 * KB_, 5, true},
    {"28C128", HandlerId::M28C_Click, 2, 16 * KB_, 5, true},
    {"28C256", HandlerId::M28C_Click, 3, 32 * KB_, 5, true},
    {"28C010", HandlerId::M28C_Click, 5, 128 * KB_, 5, true},
    {"28C020", HandlerId::M28C_Click, 6, 256 * KB_, 5, true},
    {"28C040", HandlerId::M28C_Click, 7, 512 * KB_, 5, true},
    {"28C16A_DIP28", HandlerId::M28C_Click, 8, 2 * KB_, 5, true},
    {"28C16_DIP24", HandlerId::M28C_Click, 9, 2 * KB_, 5, true},
    {"XLS2816", HandlerId::M28C_Click, 10, 2 * KB_, 5, true},
    {"XLS2864", HandlerId::M28C_Click, 11, 8 * KB_, 5, true},
    {"X2804", HandlerId::M28C_Click, 12, 512, 5, true},
    {"X2808", HandlerId::M28C_Click, 13, 1 * KB_, 5, true},
    {"CAT28C64", HandlerId::M28C_Click, 114, 8 * KB_, 5, false},
    // AT28C page write: tWC 10000 ticks (8.38 ms) against 10 ms.
    {"AT28C64B", HandlerId::AT28Cxxx_Click, 101, 8 * KB_, 7, true},
    {"AT28C256", HandlerId::AT28Cxxx_Click, 102, 32 * KB_, 7, true},
    {"CAT28C512", HandlerId::AT28Cxxx_Click, 103, 64 * KB_, 7, true},
    {"AT28C010", HandlerId::AT28Cxxx_Click, 104, 128 * KB_, 7, true},
    {"AT28C020", HandlerId::AT28Cxxx_Click, 105, 256 * KB_, 7, true},
    {"AT28C040", HandlerId::AT28Cxxx_Click, 106, 512 * KB_, 7, true},
    // Sector write: tWC 17500 ticks (14.7 ms) covers 10 ms.
    {"AT29C256", HandlerId::AT29C_Click, 102, 32 * KB_, 9, false},
    {"AT29C257", HandlerId::AT29C_Click, 103, 32 * KB_, 9, false},
    {"AT29C512", HandlerId::AT29C_Click, 104, 64 * KB_, 9, false},
    {"AT29C010A", HandlerId::AT29C_Click, 105, 128 * KB_, 9, false},
    {"AT29C020", HandlerId::AT29C_Click, 106, 256 * KB_, 9, false},
    {"AT29C040A", HandlerId::AT29C_Click, 107, 512 * KB_, 9, false},
    {"AT29C040", HandlerId::AT29C_Click, 108, 512 * KB_, 9, false},
    {"AE29F2008", HandlerId::AT29C_Click, 109, 256 * KB_, 9, false},
    {"W29EE512", HandlerId::AT29C_Click, 201, 64 * KB_, 21, false},
    {"W29EE011", HandlerId::AT29C_Click, 202, 128 * KB_, 21, false},
    {"W29C020", HandlerId::AT29C_Click, 203, 256 * KB_, 21, false},
    {"W29C040", HandlerId::AT29C_Click, 204, 512 * KB_, 21, false},
};

class EveryEeprom : public ::testing::TestWithParam<Device> {};

TEST_P(EveryEeprom, ErasesProgramsVerifiesAndReadsBack) {
  const Device& dev = GetParam();
  daraz_test::ModelSession<sim::ParallelEeprom> s;
  s.Select(dev.handler, dev.tag);
  ASSERT_EQ(s.p.image.device_size, dev.size);
  ASSERT_EQ(s.p.dev.family, dev.family);
  // A used part: every cell programmed.
  s.chip->SetContents(std::vector<uint8_t>(dev.size, 0x00));

  if (dev.family != 7) {
    s.Erase();
    EXPECT_EQ(s.p.error, 0) << s.Last();
    EXPECT_EQ(s.Rest(), sim::kAtRest);
    for (uint32_t a = 0; a < dev.size; a += 97) ASSERT_EQ(s.chip->Cell(a), 0xFF) << a;
  }

  // A short image whose data end falls inside a page; the pass goes one
  // byte past it.
  const uint32_t count = std::min<uint32_t>(dev.size / 2, 700);
  const std::vector<uint8_t> data = s.LoadRandom(count, static_cast<uint32_t>(dev.tag));
  if (dev.family == 7) {
    // Page writes keep the old contents beyond the pages they write.
    s.chip->SetContents(std::vector<uint8_t>(dev.size, 0xFF));
  }
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK")) << "the verify after a program is silent";
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  for (uint32_t a = 0; a < count; ++a) ASSERT_EQ(s.chip->Cell(a), data[a]) << "at " << a;
  // Nothing past the data lands anywhere else (a stray command would).
  const std::vector<uint8_t> cells = s.chip->Contents();
  for (uint32_t a = count; a < dev.size; ++a) ASSERT_EQ(cells[a], 0xFF) << "at " << a;

  s.Read();
  EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0)) << s.Last();
  ASSERT_TRUE(std::equal(data.begin(), data.end(), s.p.image.data()));
  EXPECT_EQ(s.Rest(), sim::kAtRest);

  const std::vector<std::string> expected = dev.writes_while_busy
                                                ? std::vector<std::string>{"write while busy"}
                                                : std::vector<std::string>{};
  EXPECT_EQ(s.Violations(), expected);
}

INSTANTIATE_TEST_SUITE_P(Eeprom, EveryEeprom, ::testing::ValuesIn(daraz_test::DeviceRows(kEeproms)),
                         [](const auto& info) { return std::string(info.param.name); });

// Every selectable catalogue entry of these families finds a model of its
// own in the simulated socket, of the device's size; a missing row in a
// factory would leave the plain ROM there, which takes no write at all.
TEST(EveryCatalogueEntry, HasAModelOfItsOwn) {
  const std::set<int> families{5, 7, 9, 19, 20, 21, 23, 30, 48};
  daraz_test::RecordingHost host;
  app::Programmer p(host);
  std::set<int> seen;
  app::ForEachItem(app::CatalogueRoot(), [&](const app::CatalogueNode& n) {
    if (!app::IsSelectable(n) || n.tag == 0) return;
    app::SelectDevice(p, n.handler, app::SelectItem{n.tag, std::string(n.caption)});
    if (families.count(p.dev.family) == 0) return;
    seen.insert(p.dev.family);
    const std::unique_ptr<sim::Chip> chip = app::MakeSimChip(p);
    ASSERT_NE(chip, nullptr) << n.caption;
    EXPECT_EQ(dynamic_cast<const sim::RomChip*>(chip.get()), nullptr) << n.caption;
    EXPECT_EQ(chip->Contents().size(), p.image.full_device_size) << n.caption;
  });
  EXPECT_EQ(seen, families);
}

}  // namespace
