// Every selectable entry of the wide (44, 45, 56) and firmware-hub (34, 35)
// families, end to end against the part it stands for: erase (every cell
// 0xFF on the part's own map), program, the cells, read back, the board at
// rest, nothing the part's datasheet forbids. Under AddressSanitizer a
// sample of every sixth entry keeps the run short.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

#include "app/catalogue.h"
#include "app/sim_socket_wide.h"
#include "families/flash/flash_fixture.h"
#include "sim/rom_chip.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kEvery = 6;
#else
constexpr size_t kEvery = 1;
#endif

const std::set<HandlerId> kHandlers = {HandlerId::MBM29LV160Click, HandlerId::N28F4001Click,
                                       HandlerId::N82802AB_Click, HandlerId::SST49LF002_Click};

struct Entry {
  const app::CatalogueNode* node;
};
void PrintTo(const Entry& e, std::ostream* os) { *os << e.node->caption; }

std::vector<Entry> Entries(size_t every) {
  std::vector<Entry> out;
  size_t n = 0;
  for (const app::CatalogueNode& node : app::DeviceCatalogue().Nodes()) {
    if (!app::IsSelectable(node) || kHandlers.count(node.handler) == 0) continue;
    if (n++ % every == 0) out.push_back({&node});
  }
  return out;
}

std::string NameOf(const ::testing::TestParamInfo<Entry>& info) {
  std::string name;
  for (const char c : info.param.node->caption) {
    name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
  }
  return name + "_" + std::to_string(info.index);
}

bool AllErased(const std::vector<uint8_t>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0xFF; });
}

TEST(WideDevices, EverySelectableEntryHasItsOwnPartOfItsSize) {
  const std::vector<Entry> all = Entries(1);
  EXPECT_GE(all.size(), 70u);
  for (const Entry& e : all) {
    SCOPED_TRACE(std::string(e.node->caption));
    FlashSession s;
    s.Select(e.node->handler, e.node->tag, std::string(e.node->caption));
    ASSERT_EQ(dynamic_cast<sim::RomChip*>(s.chip), nullptr) << "no model";
    EXPECT_EQ(s.chip->Contents().size(), s.p.image.full_device_size);
  }
}

class EveryWideEntry : public ::testing::TestWithParam<Entry> {};

TEST_P(EveryWideEntry, ErasesProgramsAndReadsBack) {
  const app::CatalogueNode& node = *GetParam().node;
  FlashSession s;
  s.Select(node.handler, node.tag, std::string(node.caption));
  // The Fujitsu parts and the Am29DL322 have the unlock-bypass (fast) mode:
  // they program through it.
  const std::string caption(node.caption);
  s.p.controls.Check("cbFujitsu_fastmode",
                     caption.rfind("MBM29", 0) == 0 || caption.rfind("Am29DL", 0) == 0);
  s.Fill(0x00);
  s.Erase();
  EXPECT_TRUE(AllErased(s.Cells())) << s.Last();
  EXPECT_EQ(s.p.error, 0) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  const std::vector<uint8_t> data = s.LoadRandom(0x600, node.tag);
  s.Program();
  EXPECT_EQ(s.p.error, 0) << s.Last();
  const std::vector<uint8_t> cells = s.Cells();
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(cells[i], data[i]) << "cell " << i;
  s.ReadBack(0x700);
  for (uint32_t i = 0; i < data.size(); ++i) ASSERT_EQ(s.p.image[i], data[i]) << "read " << i;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  // Family 44 sends its program command in the fast form: the board counts
  // its one-clock shifts (the part sees a whole address after each).
  std::vector<std::string> expected;
  if (s.p.dev.family == 44) {
    expected = daraz_test::kFastFormShift;
    expected.insert(expected.begin() + 2,
                    "word latch strobed while the address registers are mid-shift");
  }
  EXPECT_EQ(s.Violations(), expected);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryWideEntry, ::testing::ValuesIn(Entries(kEvery)), NameOf);

}  // namespace
