#include "app/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "support/recording_host.h"

namespace app {
namespace {

std::vector<const CatalogueNode*> NodesCaptioned(std::string_view caption) {
  std::vector<const CatalogueNode*> found;
  ForEachNode(CatalogueRoot(), [&](const CatalogueNode& n) {
    if (n.caption == caption && &n != &CatalogueRoot()) found.push_back(&n);
  });
  return found;
}

const CatalogueNode& OnlyNode(std::string_view caption) {
  const auto found = NodesCaptioned(caption);
  EXPECT_EQ(found.size(), 1u) << '"' << caption << '"';
  return found.empty() ? CatalogueRoot() : *found.front();
}

// Items and labels below a node, at any depth.
int EntriesBelow(const CatalogueNode& node) {
  int count = 0;
  ForEachNode(node, [&](const CatalogueNode& n) {
    if (n.kind == CatalogueKind::kItem || n.kind == CatalogueKind::kLabel) ++count;
  });
  return count;
}

TEST(CatalogueLayout, TopLevelEntriesInMenuOrder) {
  struct Top {
    CatalogueKind kind;
    std::string_view caption;
    int entries;  // items and labels below it
  };
  using K = CatalogueKind;
  const Top expected[] = {
      {K::kGroup, "EPROM", 31},
      {K::kGroup, "EPROM Electrical Erase", 18},
      {K::kGroup, "EEPROM", 25},
      {K::kGroup, "Flash 28Fxxx", 51},
      {K::kGroup, "FLASH memory", 66},
      {K::kGroup, "Flash 29/39/49Fxxx", 116},
      {K::kGroup, "Flash 16 bit (LV) 3.3V", 41},
      {K::kGroup, "Flash  AT29C/29EExxx", 16},
      {K::kGroup, "AT49Fxxxx 8/16Bit", 11},
      {K::kSeparator, "", 0},
      {K::kGroup, "Firmware HUB / LPC", 32},
      {K::kGroup, "spi FLASH 25xxx", 98},
      {K::kGroup, "spi FLASH 45xxxx", 12},
      {K::kSeparator, "", 0},
      {K::kGroup, "MCS-51", 52},
      {K::kGroup, "MCS-48/41", 13},
      {K::kGroup, "AVR", 8},
      {K::kGroup, "SRAM", 7},
      {K::kGroup, "DS12xx/TimerKeeper", 16},
      {K::kGroup, "Unprotect 29F0x0", 8},
      {K::kGroup, "Un/Protect 29LVx00 ", 22},
      {K::kSeparator, "", 0},
      {K::kLabel, "--- Serial programming ---", 1},
      {K::kGroup, "Microchip PIC10/12/16", 135},
      {K::kGroup, "Microchip PIC18Fxxx", 86},
      {K::kGroup, "Microchip dsPIC", 23},
      {K::kGroup, "I2C -- 24Cxxx", 19},
      {K::kGroup, "SPI -- 25Cxxx", 24},
      {K::kGroup, "Microwire -- 93Cxx", 38},
      {K::kGroup, "S24H(S)xx", 4},
      {K::kSeparator, "", 0},
      {K::kLabel, " Request Adapter 3.3V", 1},
      {K::kGroup, "Flalsh 8/16bit (byte mode)", 3},
      {K::kGroup, "29VF/39LF/VF/49LFxxx", 17},
      {K::kGroup, "AT29LVxxx", 8},
  };
  const auto& top = CatalogueRoot().children;
  ASSERT_EQ(top.size(), 35u);
  for (std::size_t i = 0; i < top.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(top[i].kind, expected[i].kind);
    EXPECT_EQ(top[i].caption, expected[i].caption);
    EXPECT_EQ(EntriesBelow(top[i]), expected[i].entries);
    EXPECT_EQ(top[i].parent, &CatalogueRoot());
  }
  int groups = 0, separators = 0;
  ForEachNode(CatalogueRoot(), [&](const CatalogueNode& n) {
    groups += n.IsGroup() ? 1 : 0;
    separators += n.kind == CatalogueKind::kSeparator ? 1 : 0;
  });
  EXPECT_EQ(groups - 1, 134);  // without the root
  EXPECT_EQ(separators, 101);
}

TEST(CatalogueLayout, NestedGroupsAndTheirItems) {
  // Submenus inside submenus, separators that open or close a group, and a
  // group that holds items next to its submenus.
  const CatalogueNode& eight = OnlyNode(" 8  BIT");
  EXPECT_EQ(GroupPath(eight), "Microwire -- 93Cxx / 93 (L) Cxx");
  EXPECT_EQ(eight.children.size(), 10u);
  EXPECT_EQ(OnlyNode(" 16 BIT").children.size(), 6u);

  const CatalogueNode& microwire = OnlyNode("93 (L) Cxx");
  ASSERT_GE(microwire.children.size(), 2u);
  EXPECT_EQ(microwire.children[0].kind, CatalogueKind::kSeparator);
  EXPECT_EQ(microwire.children[1].kind, CatalogueKind::kLabel);
  EXPECT_EQ(microwire.children[1].caption, "- 16bit [Pin 6 = NC] -");

  const CatalogueNode& pic = OnlyNode("Microchip PIC10/12/16");
  EXPECT_EQ(pic.children[0].kind, CatalogueKind::kSeparator);
  EXPECT_EQ(pic.children[1].kind, CatalogueKind::kSeparator);
  EXPECT_EQ(pic.children.size(), 2u + 9u);

  const CatalogueNode& x051 = OnlyNode("AT89Cx051");
  EXPECT_EQ(x051.children.back().kind, CatalogueKind::kSeparator);

  const CatalogueNode& i2c = OnlyNode("I2C -- 24Cxxx");
  EXPECT_EQ(i2c.children[0].caption, "SDE2526");
  EXPECT_EQ(i2c.children[0].handler, HandlerId::M24C_Click);
  EXPECT_TRUE(i2c.children[1].IsGroup());

  const CatalogueNode& amd = *NodesCaptioned("Am29F100").front()->parent;
  EXPECT_EQ(GroupPath(amd), "Flash 29/39/49Fxxx / 29Fx00    8/16bit");
}

TEST(CatalogueLayout, TreeLinksAreConsistent) {
  const Catalogue& cat = DeviceCatalogue();
  ASSERT_FALSE(cat.Nodes().empty());
  EXPECT_EQ(&cat.Nodes().front(), &cat.Root());
  std::size_t reached = 0;
  ForEachNode(cat.Root(), [&](const CatalogueNode& n) {
    ++reached;
    EXPECT_EQ(&cat.Nodes()[cat.IndexOf(n)], &n);
    for (const CatalogueNode& child : n.children) EXPECT_EQ(child.parent, &n);
    if (!n.IsGroup()) {
      EXPECT_TRUE(n.children.empty()) << n.caption;
    }
    if (!n.IsItem()) {
      EXPECT_EQ(n.handler, HandlerId::kNone) << n.caption;
    }
  });
  EXPECT_EQ(reached, cat.Nodes().size());
}

TEST(CatalogueLayout, BuildsFromAnyEntryStream) {
  using namespace entry;
  const CatalogueEntry stream[] = {
      Group("A"),
      Item("a1", 1, HandlerId::M27C_Click),
      Group("B", kHidden),
      Inert("b1"),
      End(),
      Separator(),
      End(),
      Label("--"),
      Item("top", 2, HandlerId::M28C_Click),
  };
  const Catalogue cat(stream);
  const CatalogueNode& root = cat.Root();
  ASSERT_EQ(root.children.size(), 3u);
  const CatalogueNode& a = root.children[0];
  ASSERT_EQ(a.children.size(), 3u);
  EXPECT_EQ(a.children[1].caption, "B");
  EXPECT_FALSE(a.children[1].visible);
  EXPECT_EQ(a.children[1].children[0].caption, "b1");
  EXPECT_EQ(GroupPath(a.children[1].children[0]), "A / B");
  EXPECT_EQ(root.children[1].kind, CatalogueKind::kLabel);
  EXPECT_EQ(root.children[2].tag, 2);
  EXPECT_EQ(cat.Key(a.children[0]), "a1");

  // Moving keeps the nodes where they are.
  Catalogue moved(stream);
  const CatalogueNode* in_moved = &moved.Root().children[2];
  const Catalogue target = std::move(moved);
  EXPECT_EQ(&target.Root().children[2], in_moved);
  EXPECT_EQ(target.Root().children[2].parent, &target.Root());
}

TEST(CatalogueContents, CaptionsKeepTheirBlanks) {
  struct Sample {
    std::string_view caption;
    int tag;
    HandlerId handler;
    std::string_view group_path;
  };
  using enum HandlerId;
  const Sample samples[] = {
      {"27C16  (RevK)", 215, M27C_Click, "EPROM / 27Cxxx"},
      {"27C080/801   (RevK)", 209, M27C_Click, "EPROM / 27Cxxx"},
      {"W27x256   (Vpe 14V)", 1, M27E_Click, "EPROM Electrical Erase / Winbond 27E/27C"},
      {"28C16A    DIP28", 8, M28C_Click, "EEPROM / 28Cxxx"},
      {"ASD         AE49F2008", 103, AT49F00x_Click, "Flash 29/39/49Fxxx / 29/49F00x"},
      {"ASD  AE29F2008  (128)", 109, AT29C_Click, "Flash  AT29C/29EExxx"},
      {"28F320 J3 ", 301, N28F4001Click, "Flash 16 bit (LV) 3.3V / INTEL 28Fx00"},
      {"AT89S/LS8253  (12K+2K)", 52, muMCS51_Click, "MCS-51 / AT89C5x"},
      {"P8041AH  Vpp = 15V", 201, D8748_Click, "MCS-48/41 / ROM     (Vea= 12V)"},
      {"628128  128KB", 5, SRAM_Click, "SRAM"},
      {"PIC 16CR83 ", 302, M12C_Click, "Microchip PIC10/12/16 / PIC16x84"},
      {"PIC16F785/PS200", 426, M12C_Click, "Microchip PIC10/12/16 / PIC12/16Fxxx (14bit)"},
      {"24C1024  (256)", 401, kNone, "I2C -- 24Cxxx / 24Cxxx"},
      {"93C06 (8bit)", 1, M93C_Click, "Microwire -- 93Cxx / 93 (L) Cxx / 8  BIT"},
      {"29LV100", 306, Am29Fx00_Click, "29VF/39LF/VF/49LFxxx / 29LVx00  ( 8/16bit )"},
  };
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.caption);
    const CatalogueNode& n = OnlyNode(s.caption);
    EXPECT_TRUE(n.IsItem());
    EXPECT_EQ(n.tag, s.tag);
    EXPECT_EQ(n.handler, s.handler);
    EXPECT_EQ(GroupPath(n), s.group_path);
  }
  // The group path trims outer blanks for display; the nodes keep them.
  EXPECT_EQ(OnlyNode("27Cxxx  ").caption.size(), 8u);
  EXPECT_EQ(FullPath(OnlyNode("27C256")), "EPROM / 27Cxxx / 27C256");
}

TEST(CatalogueContents, HiddenAndDisabledNeverSelect) {
  // Hidden groups keep the number of items the menu has, and none selects.
  const std::map<std::string_view, int> hidden_groups = {
      {"FLASH memory", 66}, {"spi FLASH 45xxxx", 12},
      {"P87C/89Cxxxx", 16}, {"Atmel T8xC51Rx", 4},
      {"INTEL", 3},         {"DALLAS", 1},
      {"AT29LVxxx", 8},
  };
  int hidden_seen = 0;
  ForEachNode(CatalogueRoot(), [&](const CatalogueNode& n) {
    if (!n.IsGroup() || n.visible) return;
    ++hidden_seen;
    const auto it = hidden_groups.find(n.caption);
    ASSERT_NE(it, hidden_groups.end()) << n.caption;
    EXPECT_EQ(EntriesBelow(n), it->second) << n.caption;
    ForEachItem(n, [&](const CatalogueNode& item) {
      EXPECT_FALSE(IsShown(item)) << item.caption;
      EXPECT_FALSE(IsSelectable(item)) << item.caption;
    });
  });
  EXPECT_EQ(hidden_seen, 7);

  // Items hidden on their own, items disabled on their own, and items in a
  // disabled group.
  for (std::string_view caption : {"28F160 S5", "AB28F200BR -B"}) {
    const CatalogueNode& n = OnlyNode(caption);
    EXPECT_FALSE(n.visible);
    EXPECT_FALSE(IsSelectable(n)) << caption;
  }
  for (std::string_view caption : {"28C512", "29F256", "AT89S2051", "TC58FVB641"}) {
    const CatalogueNode& n = OnlyNode(caption);
    EXPECT_TRUE(IsShown(n));
    EXPECT_FALSE(n.enabled);
    EXPECT_FALSE(IsSelectable(n)) << caption;
  }
  for (std::string_view caption : {"AT89LP2052", "EN29F002T", "CAT35C104", "dsPIC30F4012"}) {
    const CatalogueNode& n = *NodesCaptioned(caption).back();
    EXPECT_TRUE(n.enabled);
    EXPECT_FALSE(IsUsable(n));
    EXPECT_FALSE(IsSelectable(n)) << caption;
  }
  EXPECT_TRUE(IsSelectable(OnlyNode("28C256")));
}

TEST(CatalogueContents, ItemsWithoutHandlerAreInert) {
  // Items that carry a device code but have no handler stay inert even where
  // a neighbour with the same code selects.
  const std::pair<std::string_view, int> inert[] = {
      {"27C202", 302},
      {"CAT28C256", 102},
      {"AT49LV1024  (3.3V)", 402},
      {"SST49LF040B", 103},
      {"D8741H  Vpp= 21V", 101},
      {"EN25D80", 5},
      {"EN25D16", 6},
      {"EN25F20", 3},
      {"EN25F40", 4},
      {"EN25F80", 5},
      {"EN25F16", 6},
      {"TC9WMA2FK", 4},
      {"P89C51RA2Hxx   (8KB)", 101},
  };
  for (const auto& [caption, tag] : inert) {
    const CatalogueNode& n = OnlyNode(caption);
    EXPECT_EQ(n.tag, tag) << caption;
    EXPECT_EQ(n.handler, HandlerId::kNone) << caption;
    EXPECT_FALSE(IsSelectable(n)) << caption;
  }
  const auto at49f1024 = NodesCaptioned("AT49F1024");
  ASSERT_EQ(at49f1024.size(), 2u);
  EXPECT_EQ(at49f1024[0]->tag, 401);
  for (const CatalogueNode* n : at49f1024) EXPECT_EQ(n->handler, HandlerId::kNone);

  // Labels are never items.
  for (std::string_view caption : {"---  FWH  ---", "---  LPC ---", "--- FWH ---"}) {
    for (const CatalogueNode* n : NodesCaptioned(caption)) {
      EXPECT_EQ(n->kind, CatalogueKind::kLabel) << caption;
    }
  }
}

TEST(CatalogueContents, HandlerTakenFromTheItemNotTheGroup) {
  // Groups that name several handlers, or none: each item runs the handler
  // whose device table lists it, so equal Tags may mean different devices.
  using enum HandlerId;
  const struct {
    std::string_view path;  // FullPath
    int tag;
    HandlerId handler;
  } cases[] = {
      {"EPROM Electrical Erase / MTP MX26Cx000 / MX26C2000", 102, MX26C10001Click},
      {"EPROM Electrical Erase / MTP MX26Cx000 / MX26C4000 (Vep 12.5V)", 5, M27E_Click},
      {"EEPROM / AT28Cxxx / AT28C17", 8, M28C_Click},
      {"EEPROM / AT28Cxxx / CAT28C64B", 101, AT28Cxxx_Click},
      {"Flash 28Fxxx / 28Fxxx / Am28F020A", 124, M28F_Click},
      {"Flash 28Fxxx / 28Fxxx / 28F001", 201, i28Fx00_Click},
      {"Flash 29/39/49Fxxx / 29Fxxx / 29F040", 107, M29F_Click},
      {"Flash 29/39/49Fxxx / 29Fxxx / M29F512B", 410, AT49F00x_Click},
      {"Flash 29/39/49Fxxx / MXIC 29Fxxx / MX29F040", 317, M29F_Click},
      {"Flash 29/39/49Fxxx / MXIC 29Fxxx / MX29F1610", 201, Am29Fx00_Click},
      {"Flash 29/39/49Fxxx / 29/49F00x / AT49F008A", 204, AT49F00x_Click},
      {"Flash 29/39/49Fxxx / 29/49F00x / SyncMOS F29C51004T", 204, M29F_Click},
      {"Flash 29/39/49Fxxx / AMD / Am28F010", 105, M28F_Click},
      {"Flash 29/39/49Fxxx / AMD / Am29F040", 204, M29F_Click},
      {"Flash 29/39/49Fxxx / AMIC / A29040A", 403, M29F_Click},
      {"Flash 29/39/49Fxxx / AMIC / A29002", 602, AT49F00x_Click},
      {"Flash 29/39/49Fxxx / ATMEL / AT29C040", 108, AT29C_Click},
      {"Flash 29/39/49Fxxx / ATMEL / AT49F020", 203, M29F_Click},
      {"Flash 29/39/49Fxxx / ATMEL / AT49F002x", 103, AT49F00x_Click},
      {"Flash 29/39/49Fxxx / SST / SST29EE010", 202, AT29C_Click},
      {"Flash 29/39/49Fxxx / SST / SST39SF010", 202, M29F_Click},
      {"Flash 29/39/49Fxxx / SST / SST49LF030", 102, SST49LF002_Click},
      {"Flash 29/39/49Fxxx / SST / SST39VF080 TSOP40A", 401, AT49F00x_Click},
      {"Flash 29/39/49Fxxx / WINBOND / W29C020              (128)", 203, AT29C_Click},
      {"Flash 29/39/49Fxxx / WINBOND / W49F002T", 103, AT49F00x_Click},
      {"Flash 29/39/49Fxxx / WINBOND / W39V040FA", 103, SST49LF002_Click},
      {"Flash  AT29C/29EExxx / SST PH29EE020  (128)", 203, AT29C_Click},
      {"AT49Fxxxx 8/16Bit / AT49LV321", 508, Am29Fx00_Click},
      {"AVR / AT90S8535   DIP40", 108, AVR_Click},
      {"DS12xx/TimerKeeper / DS1230  32KB", 3, DS12XX_Click},
      {"S24H(S)xx / AT24C44", 2, S24H30_Click},
  };
  std::map<std::string, const CatalogueNode*> by_path;
  ForEachItem(CatalogueRoot(), [&](const CatalogueNode& n) { by_path[FullPath(n)] = &n; });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto it = by_path.find(std::string(c.path));
    ASSERT_NE(it, by_path.end());
    EXPECT_EQ(it->second->tag, c.tag);
    EXPECT_EQ(it->second->handler, c.handler);
    EXPECT_TRUE(IsSelectable(*it->second));
  }
}

TEST(CatalogueContents, S25FL004SelectsLikeS25FL040) {
  const CatalogueNode& a = OnlyNode("S25FL004");
  const CatalogueNode& b = OnlyNode("S25FL040");
  EXPECT_EQ(a.handler, HandlerId::MX25L512_Click);
  EXPECT_EQ(a.tag, 404);
  EXPECT_EQ(a.handler, b.handler);
  EXPECT_EQ(a.tag, b.tag);
  EXPECT_TRUE(IsSelectable(a));
}

TEST(CatalogueContents, SelectableItemsNameADevice) {
  ForEachItem(CatalogueRoot(), [&](const CatalogueNode& n) {
    if (!IsSelectable(n)) return;
    EXPECT_LT(static_cast<int>(n.handler), static_cast<int>(HandlerId::kCount)) << n.caption;
    EXPECT_FALSE(n.caption.empty());
    // Only the ST part keeps the previous device (its Tag is 0).
    if (n.tag == 0) {
      EXPECT_EQ(n.caption, "M27C4001");
    }
  });

  // Items sharing a Tag and a handler select the same device.
  const CatalogueNode& a = OnlyNode("27C4096, 27C240");
  const CatalogueNode& b = OnlyNode("27C4002");
  EXPECT_EQ(a.parent, b.parent);
  EXPECT_EQ(a.tag, 303);
  EXPECT_EQ(a.tag, b.tag);
  EXPECT_EQ(a.handler, b.handler);
}

// Depends on the family handlers: it fails for every handler that has not
// registered itself in RegisterAllFamilies yet.
TEST(CatalogueHandlers, EverySelectableItemHasARegisteredHandler) {
  std::map<std::string_view, int> missing;
  ForEachItem(CatalogueRoot(), [&](const CatalogueNode& n) {
    if (IsSelectable(n) && Families().FindHandler(n.handler) == nullptr) {
      ++missing[HandlerName(n.handler)];
    }
  });
  for (const auto& [handler, items] : missing) {
    ADD_FAILURE() << handler << " is not registered (" << items << " catalogue items use it)";
  }
}

// Selecting through the handler each item names: the handler must know the
// item's Tag, and the family code it sets must lead back to the same handler,
// or a restart would re-select another device. Items whose handler is not
// registered yet are left to the test above.
TEST(CatalogueHandlers, EverySelectableItemSelectsItsDevice) {
  // Tags their handler lists without a size, and the item that keeps the
  // previous device.
  const std::set<std::string_view> keeps_size = {"M27C4001", "MBM29F032x", "29F320"};
  daraz_test::RecordingHost host;
  Programmer p{host};
  ForEachItem(CatalogueRoot(), [&](const CatalogueNode& n) {
    if (!IsSelectable(n) || Families().FindHandler(n.handler) == nullptr) return;
    SCOPED_TRACE(FullPath(n));
    p.SetBufferSize(0);
    SelectDevice(p, n.handler, SelectItem{n.tag, std::string(n.caption)});
    EXPECT_EQ(p.controls.Text("edDevice"), n.caption);
    if (keeps_size.count(n.caption) != 0) return;
    EXPECT_GT(p.image.device_size, 0u);
    EXPECT_EQ(p.dev.device_code, n.tag);
    EXPECT_EQ(HandlerForFamily(p.dev.family), n.handler) << "family " << p.dev.family;
    EXPECT_GE(p.dev.switch_pattern, 0);
    EXPECT_LE(p.dev.switch_pattern, 42);
  });
}

}  // namespace
}  // namespace app
