// Every selectable MCS-51, AT89Cx051 and MCS-48 item of the catalogue end to
// end on its simulated part: erase where the part erases, blank check,
// program, verify, read back; the image and the cells equal, the board at
// rest, and only the violations the part's datasheet row predicts for the
// routines' own timing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "families/mcu/mcs51_fixture.h"
#include "sim/mcs48_chip.h"

namespace daraz_test {
namespace {

using app::HandlerId;
using Strings = std::vector<std::string>;

// What the routines' timing breaks on each kind of part (see
// mcs51_parts.cpp for the figures).
const char kReadBeforeTwc[] = "byte read sooner than tWC after its write";
const char kPulseInWriteCycle[] = "program pulse during the write cycle";
const char kPulseTooLong[] = "program pulse longer than tGLGH max";
const char kContention[] = "data bus contention: the port drives while the chip's outputs are on";

struct Expect {
  HandlerId handler;
  int first, last;  // device codes
  bool erases;      // electrically erasable
  bool programs;    // not a ROM part
  Strings violations;
};

const Expect kExpect[] = {
    // AT89C51/52/55, IS89C52: tWC 1600 reads back inside the 1.5 ms typical
    // write, so every byte is written twice.
    {HandlerId::muMCS51_Click, 2, 4, true, true, {kReadBeforeTwc, kPulseInWriteCycle}},
    // AT89S8252/53: their read waits 80 ticks more, past the typical time.
    {HandlerId::muMCS51_Click, 5, 6, true, true, {kReadBeforeTwc}},
    // AT89C55WD, AT89C51RC: 50 us writes, nothing to note.
    {HandlerId::muMCS51_Click, 7, 8, true, true, {}},
    // 87C51 .. 87C58: EPROM, no erase.
    {HandlerId::muMCS51_Click, 9, 12, false, true, {}},
    // SST89C54/58 at the family's tWC 2000: inside tWC, past the typical time.
    {HandlerId::muMCS51_Click, 13, 14, true, true, {kReadBeforeTwc}},
    // AT89S51/52: no pulse as short as 1 us; 1EH at 000H meets the hardware
    // test's drive.
    {HandlerId::muMCS51_Click, 50, 51, true, true, {kContention, kPulseTooLong}},
    {HandlerId::muMCS51_Click, 52, 52, true, true, {}},  // AT89S8253
    {HandlerId::AT89Cx051_Click, 2, 5, true, true, {kReadBeforeTwc}},
    {HandlerId::D8748_Click, 101, 102, false, true, {}},
    {HandlerId::D8748_Click, 201, 203, false, false, {}},
};

const Expect* ExpectFor(const app::CatalogueNode& node) {
  for (const Expect& e : kExpect) {
    if (e.handler == node.handler && node.tag >= e.first && node.tag <= e.last) return &e;
  }
  return nullptr;
}

// Every selectable microcontroller entry of these families.
std::vector<const app::CatalogueNode*> AllItems() {
  std::vector<const app::CatalogueNode*> items;
  for (const app::CatalogueNode& node : app::DeviceCatalogue().Nodes()) {
    if (!app::IsSelectable(node)) continue;
    if (node.handler == HandlerId::muMCS51_Click || node.handler == HandlerId::AT89Cx051_Click ||
        node.handler == HandlerId::D8748_Click) {
      items.push_back(&node);
    }
  }
  return items;
}

// The entries the all-devices table walks.
std::vector<const app::CatalogueNode*> Items() {
  std::vector<const app::CatalogueNode*> items = AllItems();
#ifdef __SANITIZE_ADDRESS__
  // Under the sanitizer a sample: every third part.
  std::vector<const app::CatalogueNode*> sample;
  for (size_t i = 0; i < items.size(); i += 3) sample.push_back(items[i]);
  return sample;
#else
  return items;
#endif
}

// The round trip with one port access costing `access_ns`; `violations`
// replaces the part's expected list where it is given.
void RoundTrip(const app::CatalogueNode& node, int64_t access_ns,
               const Strings* violations = nullptr) {
  const Expect* expect = ExpectFor(node);
  ASSERT_NE(expect, nullptr) << "no expectations for " << node.caption;
  Mcs51Session s;
  s.board->SetAccessCost(access_ns);
  app::SelectDevice(s.p, node.handler, app::SelectItem{node.tag, std::string(node.caption)});
  std::unique_ptr<sim::Chip> made = app::MakeSimChip(s.p);
  sim::Chip* chip = made.get();
  ASSERT_TRUE(dynamic_cast<sim::Mcs51Chip*>(chip) || dynamic_cast<sim::Mcs48Chip*>(chip));
  s.board->InsertChip(std::move(made));
  const uint32_t size = s.p.image.device_size;
  ASSERT_EQ(chip->Contents().size(), size);
  const bool mcs48 = node.handler == HandlerId::D8748_Click;
  const std::vector<uint8_t> data = s.LoadRandom(size, static_cast<uint32_t>(node.tag));

  if (expect->programs) {
    // A flash part arrives programmed and is erased first.
    if (expect->erases) {
      chip->SetContents(std::vector<uint8_t>(size, 0x00));
      s.Erase();
    }
    s.Blank();
    EXPECT_EQ(s.Last(), mcs48 ? "Device empty " : "Device is Empty");
    s.Program();
    EXPECT_EQ(s.Last(), "Device Programmed OK");
  } else {
    chip->SetContents(data);
  }
  EXPECT_EQ(chip->Contents(), data);
  s.Verify();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  s.LoadRandom(size, 99);
  s.Read();
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data(), s.p.image.data() + size), data);
  EXPECT_EQ(s.p.image.data_end, size);

  Strings got = s.Violations(), want = violations ? *violations : expect->violations;
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

class EveryMcu : public ::testing::TestWithParam<const app::CatalogueNode*> {};

TEST_P(EveryMcu, RoundTrip) { RoundTrip(*GetParam(), 1000); }

// On a port ten times faster than an ISA one, the routines' own waits carry
// every setup and hold time: a part of each kind.
TEST(Mcs51AndMcs48OnAFastPort, RoundTrip) {
  struct Pick {
    HandlerId handler;
    int tag;
    const Strings* violations;  // where they differ from the slow port's
  };
  // The AT89S8252's tWC of 1600 ticks plus its 80-tick read set-up no longer
  // outlast the 1.5 ms typical write once the accesses are short: its bytes
  // are written twice, as the AT89C5x ones are on any port.
  const Strings twice = {kReadBeforeTwc, kPulseInWriteCycle};
  const Pick picks[] = {
      {HandlerId::AT89Cx051_Click, 3, nullptr},  // AT89C2051
      {HandlerId::muMCS51_Click, 3, nullptr},    // AT89C52
      {HandlerId::muMCS51_Click, 5, &twice},     // AT89S8252
      {HandlerId::muMCS51_Click, 7, nullptr},    // AT89C55WD
      {HandlerId::muMCS51_Click, 10, nullptr},   // i87C52
      {HandlerId::muMCS51_Click, 51, nullptr},   // AT89S52
      {HandlerId::muMCS51_Click, 52, nullptr},   // AT89S8253
      {HandlerId::D8748_Click, 101, nullptr},    // 8748H
  };
  for (const Pick& pick : picks) {
    const app::CatalogueNode* found = nullptr;
    for (const app::CatalogueNode* node : AllItems()) {
      if (node->handler == pick.handler && node->tag == pick.tag) found = node;
    }
    ASSERT_NE(found, nullptr) << pick.tag;
    SCOPED_TRACE(found->caption);
    RoundTrip(*found, 100, pick.violations);
  }
}

std::string ItemName(const ::testing::TestParamInfo<const app::CatalogueNode*>& info) {
  std::string name;
  for (const char c : info.param->caption) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryMcu, ::testing::ValuesIn(Items()), ItemName);

}  // namespace
}  // namespace daraz_test
