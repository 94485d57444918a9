// Every selectable AT90S item of the catalogue end to end on its simulated
// part: erase, blank check, program flash and EEPROM, verify, read back,
// identify; the cells and the image equal, the board at rest, no
// violations. Under the sanitizers a sample of the parts.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "families/mcu/avr_fixture.h"

namespace daraz_test {
namespace {

struct Part {
  int tag;
  uint32_t flash, eeprom;
  const char* name;  // as identification shows it
};

// Sizes and names from the parts' datasheets.
constexpr Part kParts[] = {
    {101, 1024, 64, " AT90S1200"},     {102, 2048, 128, " AT90S2313"},
    {103, 2048, 128, " AT90S2333"},    {104, 4096, 256, " AT90S/LS4433"},
    {105, 4096, 256, " AT90S/LS4414"}, {106, 8192, 512, " AT90S/LS8515"},
    {107, 4096, 256, " AT90S/LS4434"}, {108, 8192, 512, " AT90S/LS8535"},
};

std::vector<const app::CatalogueNode*> Items() {
  std::vector<const app::CatalogueNode*> items;
  for (const app::CatalogueNode& node : app::DeviceCatalogue().Nodes()) {
    if (app::IsSelectable(node) && node.handler == app::HandlerId::AVR_Click) {
      items.push_back(&node);
    }
  }
#ifdef DARAZ_SANITIZED
  // Under the sanitizers a sample, every third part: the AT90S1200 (the
  // smallest), the AT90S4433 (lock bits apart from the fuses), the AT90S4434.
  std::vector<const app::CatalogueNode*> sample;
  for (size_t i = 0; i < items.size(); i += 3) sample.push_back(items[i]);
  return sample;
#else
  return items;
#endif
}

class EveryAvr : public ::testing::TestWithParam<const app::CatalogueNode*> {};

TEST_P(EveryAvr, RoundTrip) {
  const app::CatalogueNode& node = *GetParam();
  const Part* part = nullptr;
  for (const Part& p : kParts) {
    if (p.tag == node.tag) part = &p;
  }
  ASSERT_NE(part, nullptr) << node.caption;
  AvrSession s;
  s.Select(node.tag);
  ASSERT_EQ(s.p.image.device_size, part->flash);
  s.chip->SetContents(std::vector<uint8_t>(part->flash + part->eeprom, 0x00));
  s.Erase();
  s.Blank();
  EXPECT_EQ(s.Last(), "Device is Empty");
  const std::vector<uint8_t> flash = Pattern(part->flash, static_cast<uint8_t>(node.tag));
  const std::vector<uint8_t> eeprom = Pattern(part->eeprom, 0x3C);
  s.Load(flash, eeprom);
  s.Program();
  EXPECT_EQ(s.Last(), "Device Verify OK");
  EXPECT_EQ(s.chip->flash(), flash);
  EXPECT_EQ(s.chip->eeprom(), eeprom);
  s.Load({}, std::vector<uint8_t>(part->eeprom, 0x00));
  s.Read();
  EXPECT_EQ(std::vector<uint8_t>(s.p.image.data(), s.p.image.data() + part->flash), flash);
  EXPECT_EQ(
      std::vector<uint8_t>(s.p.image.data() + 0x40000, s.p.image.data() + 0x40000 + part->eeprom),
      eeprom);
  s.GetId();
  EXPECT_EQ(s.p.controls.Text("edDeviceName"), part->name);
  EXPECT_EQ(s.p.controls.Text("edLockMode"), " Lockbit Mode 1");
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

std::string ItemName(const ::testing::TestParamInfo<const app::CatalogueNode*>& info) {
  std::string name;
  for (const char c : info.param->caption) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryAvr, ::testing::ValuesIn(Items()), ItemName);

}  // namespace
}  // namespace daraz_test
