#include "app/device_lookup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace app {
namespace {

using ::testing::HasSubstr;

TEST(DeviceLookup, CaptionIgnoresCaseAndBlanks) {
  for (std::string_view name :
       {"27C16  (RevK)", "27C16 (RevK)", "27c16(revk)", "  27C16 (REVK) "}) {
    const DeviceLookup found = FindDevice(name);
    ASSERT_TRUE(found.ok()) << name << ": " << found.error;
    EXPECT_EQ(found.node->caption, "27C16  (RevK)");
    EXPECT_EQ(found.node->tag, 215);
    EXPECT_TRUE(found.error.empty());
  }
  for (std::string_view name : {"27C256", "27c256"}) {
    const DeviceLookup found = FindDevice(name);
    ASSERT_TRUE(found.ok()) << found.error;
    EXPECT_EQ(found.node->caption, "27C256");
    EXPECT_EQ(found.candidates.size(), 1u);
  }
  // Blanks inside the caption need not be typed.
  const DeviceLookup pic = FindDevice("pic16f84a(p5ms)");
  ASSERT_TRUE(pic.ok()) << pic.error;
  EXPECT_EQ(pic.node->caption, "PIC 16F84A  (P 5mS)");
}

TEST(DeviceLookup, SameDeviceInSeveralGroupsIsNotAmbiguous) {
  // "W49V002A" sits under the flash vendors and under the firmware hubs,
  // both times the same handler and Tag.
  const DeviceLookup found = FindDevice("w49v002a");
  ASSERT_TRUE(found.ok()) << found.error;
  ASSERT_EQ(found.candidates.size(), 2u);
  EXPECT_TRUE(SameDevice(*found.candidates[0], *found.candidates[1]));
  EXPECT_EQ(found.node, found.candidates[0]);  // the first in menu order
  EXPECT_EQ(GroupPath(*found.node), "Flash 29/39/49Fxxx / WINBOND");
}

TEST(DeviceLookup, AmbiguousNameListsItsCandidates) {
  using namespace entry;
  const CatalogueEntry stream[] = {
      Group("EPROM"),         Item("X100", 1, HandlerId::M27C_Click),   End(), Group("Flash"),
      Group("Vendor / Line"), Item("X100", 105, HandlerId::M29F_Click), End(), End(),
      Group("Copy"),          Item("x 100", 1, HandlerId::M27C_Click),  End(),
  };
  const Catalogue cat(stream);
  const DeviceLookup found = FindDevice(cat, "X100");
  EXPECT_FALSE(found.ok());
  ASSERT_EQ(found.candidates.size(), 3u);
  EXPECT_THAT(found.error, HasSubstr("\"EPROM / X100\""));
  EXPECT_THAT(found.error, HasSubstr("\"Flash / Vendor / Line / X100\""));

  // Any part of the path settles it, including a group caption with '/'.
  for (std::string_view name : {"Flash / X100", "Vendor / Line / X100", "flash/vendor/line/x100"}) {
    const DeviceLookup by_path = FindDevice(cat, name);
    ASSERT_TRUE(by_path.ok()) << name << ": " << by_path.error;
    EXPECT_EQ(by_path.node->tag, 105);
  }
  // Naming the group picks that group's item.
  const DeviceLookup eprom = FindDevice(cat, "EPROM / X100");
  ASSERT_TRUE(eprom.ok()) << eprom.error;
  EXPECT_EQ(eprom.node->tag, 1);
  // A partial group caption or the wrong order is no path.
  EXPECT_FALSE(FindDevice(cat, "Vendor / X100").ok());
  EXPECT_FALSE(FindDevice(cat, "Vendor / Line / Flash / X100").ok());
}

TEST(DeviceLookup, BlanksSettleWhatTheyCan) {
  // The word-mode and the byte-mode J3 parts differ only by a blank.
  const DeviceLookup byte_mode = FindDevice("28f320j3");
  ASSERT_TRUE(byte_mode.ok()) << byte_mode.error;
  EXPECT_EQ(byte_mode.node->handler, HandlerId::i28Fx00_Click);
  EXPECT_EQ(byte_mode.candidates.size(), 2u);

  const DeviceLookup word_mode = FindDevice("28F320  J3");
  ASSERT_TRUE(word_mode.ok()) << word_mode.error;
  EXPECT_EQ(word_mode.node->handler, HandlerId::N28F4001Click);

  // Blanks that match neither leave the choice to the user.
  const DeviceLookup neither = FindDevice("28F 640J3");
  EXPECT_FALSE(neither.ok());
  EXPECT_EQ(neither.candidates.size(), 2u);
  EXPECT_THAT(neither.error, HasSubstr("\"Flash 16 bit (LV) 3.3V / INTEL 28Fx00 / 28F640 J3\""));
  EXPECT_THAT(neither.error, HasSubstr("\"Flalsh 8/16bit (byte mode) / intel / 28F640J3\""));
  const DeviceLookup settled = FindDevice("INTEL 28Fx00 / 28F 640J3");
  ASSERT_TRUE(settled.ok()) << settled.error;
  EXPECT_EQ(settled.node->handler, HandlerId::N28F4001Click);
}

TEST(DeviceLookup, NamedByGroupPath) {
  for (std::string_view name :
       {"EPROM / 27C256", "27Cxxx / 27C256", "EPROM/27Cxxx/27C256", "eprom / 27CXXX / 27c256"}) {
    const DeviceLookup found = FindDevice(name);
    ASSERT_TRUE(found.ok()) << name << ": " << found.error;
    EXPECT_EQ(FullPath(*found.node), "EPROM / 27Cxxx / 27C256");
  }
  const DeviceLookup hub = FindDevice("Firmware HUB / LPC / Winbond / W49V002A");
  ASSERT_TRUE(hub.ok()) << hub.error;
  EXPECT_EQ(GroupPath(*hub.node), "Firmware HUB / LPC / Winbond");
  EXPECT_EQ(hub.candidates.size(), 1u);

  EXPECT_FALSE(FindDevice("27Cxxx / EPROM / 27C256").ok());
  EXPECT_FALSE(FindDevice("27xxx / 27C256").ok());
}

TEST(DeviceLookup, EverySelectableItemIsReachableByItsPath) {
  std::size_t checked = 0;
  ForEachItem(CatalogueRoot(), [&](const CatalogueNode& item) {
    if (!IsSelectable(item)) return;
    ++checked;
    const DeviceLookup found = FindDevice(FullPath(item));
    ASSERT_TRUE(found.ok()) << FullPath(item) << ": " << found.error;
    EXPECT_TRUE(SameDevice(*found.node, item)) << FullPath(item);
  });
  EXPECT_EQ(checked, SearchDevices("").size());
}

TEST(DeviceLookup, ItemsThatCannotBeChosenSayWhy) {
  // No handler: points at the neighbour with the same device code.
  const DeviceLookup inert = FindDevice("27C202");
  EXPECT_FALSE(inert.ok());
  EXPECT_TRUE(inert.candidates.empty());
  EXPECT_THAT(inert.error, HasSubstr("\"27C202\""));
  EXPECT_THAT(inert.error, HasSubstr("\"27C2048, 27C220\""));

  const DeviceLookup disabled = FindDevice("28C512");
  EXPECT_FALSE(disabled.ok());
  EXPECT_THAT(disabled.error, HasSubstr("disabled"));

  const DeviceLookup in_disabled_group = FindDevice("AT89LP2052");
  EXPECT_FALSE(in_disabled_group.ok());
  EXPECT_THAT(in_disabled_group.error, HasSubstr("disabled"));

  // Hidden items are not there at all, as in the menu.
  for (std::string_view name : {"28F160 S5", "AT45DB041D", "P89C51RA+ (8KB)", "DS89C420"}) {
    const DeviceLookup hidden = FindDevice(name);
    EXPECT_FALSE(hidden.ok()) << name;
    EXPECT_THAT(hidden.error, HasSubstr("No device is named")) << name;
  }
  // A hidden twin does not hide the visible item.
  const DeviceLookup a29010 = FindDevice("A29010");
  ASSERT_TRUE(a29010.ok()) << a29010.error;
  EXPECT_EQ(a29010.node->handler, HandlerId::M29F_Click);
}

TEST(DeviceLookup, UnknownOrEmptyNames) {
  const DeviceLookup empty = FindDevice("   ");
  EXPECT_FALSE(empty.ok());
  EXPECT_FALSE(empty.error.empty());

  // Part of a name that starts no name still earns suggestions.
  const DeviceLookup partial = FindDevice("7C25");
  EXPECT_FALSE(partial.ok());
  EXPECT_THAT(partial.error, HasSubstr("No device is named \"7C25\""));
  EXPECT_THAT(partial.error, HasSubstr("\"27C256\""));

  const DeviceLookup nothing = FindDevice("ZZ9");
  EXPECT_FALSE(nothing.ok());
  EXPECT_THAT(nothing.error, HasSubstr("Search the device list"));
}

TEST(DeviceLookup, S25FL004Selects) {
  const DeviceLookup found = FindDevice("s25fl004");
  ASSERT_TRUE(found.ok()) << found.error;
  EXPECT_EQ(found.node->handler, HandlerId::MX25L512_Click);
  EXPECT_TRUE(SameDevice(*found.node, *FindDevice("S25FL040").node));
}

TEST(DeviceSearch, SubstringOverSelectableItems) {
  const std::vector<DeviceHit> hits = SearchDevices("29f002");
  std::vector<std::string_view> captions;
  for (const DeviceHit& hit : hits) {
    EXPECT_TRUE(IsSelectable(*hit.node)) << hit.node->caption;
    EXPECT_EQ(hit.group_path, GroupPath(*hit.node));
    captions.push_back(hit.node->caption);
  }
  EXPECT_NE(std::find(captions.begin(), captions.end(), "29F002 NT"), captions.end());
  EXPECT_NE(std::find(captions.begin(), captions.end(), "AMIC        29F002T"), captions.end());
  EXPECT_NE(std::find(captions.begin(), captions.end(), "MX29F002 - T"), captions.end());
  // The disabled protect-tool part and the hidden list stay out.
  EXPECT_EQ(std::find(captions.begin(), captions.end(), "EN29F002T"), captions.end());
  EXPECT_EQ(std::find(captions.begin(), captions.end(), "MBM29F002T"), captions.end());

  int selectable = 0;
  ForEachItem(CatalogueRoot(), [&](const CatalogueNode& n) { selectable += IsSelectable(n); });
  EXPECT_EQ(SearchDevices("").size(), static_cast<std::size_t>(selectable));
  EXPECT_TRUE(SearchDevices("no such part").empty());
}

TEST(DeviceSearch, PatternWithSlashSearchesThePath) {
  const std::vector<DeviceHit> hits = SearchDevices("winbond/w39");
  ASSERT_FALSE(hits.empty());
  for (const DeviceHit& hit : hits) {
    EXPECT_THAT(FoldName(hit.group_path), HasSubstr("winbond")) << hit.node->caption;
    EXPECT_THAT(FoldName(hit.node->caption), HasSubstr("w39"));
  }
  EXPECT_EQ(hits.size(), 2u + 3u);  // two under the flash vendors, three under the hubs
}

}  // namespace
}  // namespace app

namespace {

using ::testing::HasSubstr;

TEST(DeviceLookupAliases, EachNameOfACaptionFindsIt) {
  // A caption that lists several parts, or carries a note, is found by each
  // part's bare name when no caption is named so as a whole.
  const app::DeviceLookup both = app::FindDevice("27c210");
  ASSERT_TRUE(both.ok()) << both.error;
  EXPECT_EQ(both.node->caption, "27C1024, 27C210");
  const app::DeviceLookup note = app::FindDevice("27C16");
  ASSERT_TRUE(note.ok()) << note.error;
  EXPECT_EQ(note.node->caption, "27C16  (RevK)");
  // A whole caption still wins over an alias of another item.
  EXPECT_EQ(app::FindDevice("27C160").node->caption, "27C160");
}

}  // namespace

namespace {

using app::DeviceLookup;

// Names as users type them, from a part's marking or a tool's output, and
// the menu item each must select.
TEST(DeviceNames, EveryNameACaptionListsSelectsIt) {
  const struct {
    const char* typed;
    const char* caption;
    DeviceLookup::Match match;
  } kNames[] = {
      {"27C020", "27C020/2000/2001", DeviceLookup::Match::kListedName},
      {"27c010", "27C010/1000/1001", DeviceLookup::Match::kListedName},
      {"AT90S2313", "AT90S2313   DIP20", DeviceLookup::Match::kListedName},
      {"at90s2333", "AT90S2333   DIP28", DeviceLookup::Match::kListedName},
      {"W27C256", "W27x256   (Vpe 14V)", DeviceLookup::Match::kListedName},
      {"W27E512", "W27x512  (Vpe 14V)", DeviceLookup::Match::kListedName},
      {"M25P80", "M25P80/PE80/PX80", DeviceLookup::Match::kListedName},
      {"PX80", "M25P80/PE80/PX80", DeviceLookup::Match::kListedName},
      {"49F010", "39SF/49F010", DeviceLookup::Match::kListedName},
      {"16F84A", "PIC 16F84A  (P 5mS)", DeviceLookup::Match::kListedName},
      {"16F84", "PIC 16F84", DeviceLookup::Match::kListedName},  // whole beats prefix
      {"i87C52", "i87x52   (8KB)", DeviceLookup::Match::kListedName},
      {"25C010", "25x010", DeviceLookup::Match::kListedName},
      {"27C210", "27C1024, 27C210", DeviceLookup::Match::kListedName},
      {"27C25", "27C256", DeviceLookup::Match::kPrefix},
      {"AT90S231", "AT90S2313   DIP20", DeviceLookup::Match::kPrefix},
      // A caption as a whole still comes first.
      {"27C160", "27C160", DeviceLookup::Match::kCaption},
      {"27C16 (RevK)", "27C16  (RevK)", DeviceLookup::Match::kCaption},
  };
  for (const auto& n : kNames) {
    const DeviceLookup found = app::FindDevice(n.typed);
    ASSERT_TRUE(found.ok()) << n.typed << ": " << found.error;
    EXPECT_EQ(found.node->caption, n.caption) << n.typed;
    EXPECT_EQ(found.match, n.match) << n.typed;
  }
}

TEST(DeviceNames, AmbiguousNamesListTheirDevicesWithGroups) {
  const struct {
    const char* typed;
    size_t devices;
    const char* listed;  // one candidate, with its groups
  } kAmbiguous[] = {
      // W27x010, W27x020 (and W27C02, the same device) and W27x040.
      {"W27C0", 3, "\"EPROM Electrical Erase / Winbond 27E/27C / W27x010  (Vpe 14V)\""},
      {"AT90S23", 2, "\"AVR / AT90S2333   DIP28\""},
  };
  for (const auto& a : kAmbiguous) {
    const DeviceLookup found = app::FindDevice(a.typed);
    EXPECT_FALSE(found.ok()) << a.typed;
    EXPECT_THAT(found.error, HasSubstr("names " + std::to_string(a.devices) + " devices"))
        << found.error;
    EXPECT_THAT(found.error, HasSubstr(a.listed)) << found.error;
  }
  // A name that starts hundreds of names lists twenty and counts the rest.
  const DeviceLookup many = app::FindDevice("2");
  EXPECT_FALSE(many.ok());
  EXPECT_THAT(many.error, HasSubstr(" more."));
  EXPECT_LT(std::count(many.error.begin(), many.error.end(), '"'), 2 * 20 + 3);
}

}  // namespace
