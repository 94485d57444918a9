// Start-up re-selection by the stored family type code and device code.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/catalogue.h"
#include "app/selection.h"
#include "support/recording_host.h"

namespace {

// For every family code the catalogue can produce, one item that produces it.
std::map<int, const app::CatalogueNode*> ItemPerFamily() {
  std::map<int, const app::CatalogueNode*> found;
  daraz_test::RecordingHost host;
  app::Programmer p(host);
  app::ForEachItem(app::CatalogueRoot(), [&](const app::CatalogueNode& n) {
    if (!app::IsSelectable(n) || n.tag == 0) return;
    app::SelectDevice(p, n.handler, app::SelectItem{n.tag, std::string(n.caption)});
    found.emplace(p.dev.family, &n);
  });
  return found;
}

TEST(ReselectByCode, EveryFamilyCodeNegativeAndTooLarge) {
  const auto items = ItemPerFamily();
  const std::set<int> selects_nothing{37, 40, 54};
  for (int family = -3; family <= 60; ++family) {
    daraz_test::RecordingHost host;
    app::Programmer p(host);
    app::SelectDevice(p, app::HandlerId::M27C_Click, app::SelectItem{204, "27C256"});
    ASSERT_EQ(p.dev.family, 0);

    const auto item = items.find(family);
    const int tag = item != items.end() ? item->second->tag : 1;
    app::ReselectByCode(p, family, tag, "stored caption");

    if (family < 0 || family > 57 || selects_nothing.count(family)) {
      EXPECT_EQ(app::HandlerForFamily(family), app::HandlerId::kNone) << family;
      EXPECT_EQ(p.controls.Text("edDevice"), "27C256") << family;
      EXPECT_EQ(p.dev.device_code, 204) << family;
      continue;
    }
    ASSERT_NE(app::HandlerForFamily(family), app::HandlerId::kNone) << family;
    EXPECT_EQ(p.controls.Text("edDevice"), "stored caption") << family;
    EXPECT_EQ(p.dev.device_code, tag) << family;
    if (item != items.end()) {
      // A code the catalogue produces comes back exactly.
      EXPECT_EQ(p.dev.family, family);
      EXPECT_EQ(app::HandlerForFamily(family), item->second->handler) << family;
    } else {
      // Codes no item sets still reach the handler that owns them.
      EXPECT_EQ(app::HandlerForFamily(p.dev.family), app::HandlerForFamily(family)) << family;
    }
  }
}

TEST(ReselectByCode, NoStoredDeviceSelectsThe29F020) {
  daraz_test::RecordingHost host;
  app::Programmer p(host);
  app::ReselectByCode(p, 0, 0, "");
  EXPECT_EQ(p.dev.family, 4);
  EXPECT_EQ(p.dev.device_code, 106);
  EXPECT_EQ(p.controls.Text("edDevice"), "29F020");
}

}  // namespace
