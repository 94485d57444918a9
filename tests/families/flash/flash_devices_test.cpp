// Every selectable entry of the JEDEC and Intel flash families, end to end
// against the part it stands for: erase (every cell 0xFF on the part's own
// geometry), program, the cells, read back, the board at rest, nothing the
// part's datasheet forbids. Under AddressSanitizer a sample of every
// eighth entry keeps the run short.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

#include "app/catalogue.h"
#include "app/sim_socket_flash.h"
#include "families/flash/flash_fixture.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"
#include "sim/rom_chip.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kEvery = 8;
#else
constexpr size_t kEvery = 1;
#endif

const std::set<HandlerId> kHandlers = {
    HandlerId::M29F_Click,        HandlerId::AT49F00x_Click, HandlerId::Am29Fx00_Click,
    HandlerId::SST28xF040A1Click, HandlerId::M28F_Click,     HandlerId::i28Fx00_Click,
    HandlerId::MX28F20001Click,
};

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

TEST(FlashDevices, EverySelectableEntryHasItsOwnPartOfItsSize) {
  const std::vector<Entry> all = Entries(1);
  EXPECT_GE(all.size(), 130u);
  for (const Entry& e : all) {
    SCOPED_TRACE(std::string(e.node->caption));
    FlashSession s;
    s.Select(e.node->handler, e.node->tag, std::string(e.node->caption));
    ASSERT_EQ(dynamic_cast<sim::RomChip*>(s.chip), nullptr) << "no flash model";
    EXPECT_EQ(s.chip->Contents().size(), s.p.image.full_device_size);
  }
}

// The byte-mode entries choose P6 (single pulse) and P7 (page program) by
// flags of their own; the model rows carry the same facts from the parts'
// datasheets. Each entry must offer exactly what its part has: P6 on a part
// without single-pulse mode writes data the part ignores, and a part that has
// the mode but is not offered it loses the fast program.
TEST(FlashDevices, ByteModeEntriesAskForTheProgramModesTheirPartHas) {
  std::set<int> single_pulse, page_program;
  for (const Entry& e : Entries(1)) {
    if (e.node->handler != HandlerId::Am29Fx00_Click) continue;
    SCOPED_TRACE(std::string(e.node->caption));
    FlashSession s;
    s.Select(e.node->handler, e.node->tag, std::string(e.node->caption));
    const sim::JedecPart* part = sim::FindJedecPart(
        app::FlashPartFor(s.p.dev.family, e.node->tag, std::string(e.node->caption)));
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(s.p.dev.single_pulse, part->single_pulse);
    EXPECT_EQ(s.p.dev.page_program, part->page_size != 0);
    if (s.p.dev.single_pulse) single_pulse.insert(e.node->tag);
    if (s.p.dev.page_program) page_program.insert(e.node->tag);
  }
  // AT49F8011, AT49LV1614, AT49LV161 and AT49LV321; the MX29F1610.
  EXPECT_EQ(single_pulse, (std::set<int>{505, 506, 507, 508}));
  EXPECT_EQ(page_program, std::set<int>{201});
}

// The socket picture shows where the chip goes: the 28-pin DIP for the
// 8-bit parts up to 256 Kbit, the 32-pin DIP above, and the TSOP picture
// for every part that sits on an adapter.
TEST(FlashDevices, SocketPictureFollowsThePackage) {
  for (const Entry& e : Entries(1)) {
    const HandlerId h = e.node->handler;
    if (h != HandlerId::M29F_Click && h != HandlerId::AT49F00x_Click) continue;
    SCOPED_TRACE(std::string(e.node->caption));
    FlashSession s;
    s.Select(h, e.node->tag, std::string(e.node->caption));
    if (h == HandlerId::M29F_Click) {
      EXPECT_EQ(s.p.dev.socket_picture, s.p.image.device_size <= 32 * 1024 ? 28 : 32);
    } else {
      EXPECT_EQ(s.p.dev.socket_picture, s.p.controls.Text("lbAdapter").empty() ? 32 : 48);
    }
  }
}

class EveryFlashEntry : public ::testing::TestWithParam<Entry> {};

TEST_P(EveryFlashEntry, ErasesProgramsAndReadsBack) {
  const app::CatalogueNode& node = *GetParam().node;
  FlashSession s;
  s.Select(node.handler, node.tag, std::string(node.caption));
  s.chip->SetJumper("wirelink");  // the 28F001BX's boot block needs it
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
  // MX29F1610: P7 always sends the fast command form.
  const bool fast_form = app::FlashPartFor(s.p.dev.family, node.tag, node.caption) == "MX29F1610";
  EXPECT_EQ(s.Violations(), fast_form ? daraz_test::kFastFormShift : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryFlashEntry, ::testing::ValuesIn(Entries(kEvery)), NameOf);

// The erase by memory map on every entry it serves (family 26), and the
// block erase of the same entries, each on a part full of 0x00.
class EveryBlockEntry : public ::testing::TestWithParam<Entry> {};

TEST_P(EveryBlockEntry, ByMemoryMapErasesEveryCell) {
  const app::CatalogueNode& node = *GetParam().node;
  FlashSession s;
  s.Select(node.handler, node.tag, std::string(node.caption));
  s.chip->SetJumper("wirelink");
  s.p.controls.Check("cbMemMap");
  s.Fill(0x00);
  s.Erase();
  EXPECT_EQ(s.Last(), "erase completed");
  EXPECT_TRUE(AllErased(s.Cells()));
  EXPECT_TRUE(s.Violations().empty());
}

std::vector<Entry> BlockEntries() {
  std::vector<Entry> out;
  for (const Entry& e : Entries(kEvery)) {
    if (e.node->handler == HandlerId::i28Fx00_Click && e.node->tag < 300) out.push_back(e);
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryBlockEntry, ::testing::ValuesIn(BlockEntries()), NameOf);

}  // namespace
